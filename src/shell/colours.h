// The terminal's screen colours: the elements a user can change, the
// colour specifications built from them, and their row of the colour table
// (56, one row per terminal).
#pragma once

#include <array>
#include <string_view>

namespace kx {

class Session;

// One numeric colour variable (a screen attribute 0-127) and its default.
struct AttrDefault {
  std::string_view name;
  int value;
};
inline constexpr std::array<AttrDefault, 9> kAttrColours = {{{"COR_TEL1", 30},
                                                             {"COR_TEL2", 31},
                                                             {"COR_TEL3", 63},
                                                             {"COR_MENS", 112},
                                                             {"COR_PEGA", 15},
                                                             {"COR_HELP", 112},
                                                             {"COR_FERID", 28},
                                                             {"COR_ESCOL", 79},
                                                             {"COR_ENCHE", 31}}};

// One colour-string variable ("GR+/B") and its default.
struct StringDefault {
  std::string_view name;
  std::string_view value;
};
inline constexpr std::array<StringDefault, 8> kStringColours = {{{"COR_1_CLI", "GR+/B"},
                                                                 {"COR_2_CLI", "W+/B"},
                                                                 {"COR_INI", "W+/B"},
                                                                 {"COR_SAY", "N/W+"},
                                                                 {"COR_GET", "W/N"},
                                                                 {"COR_CLI_HE", "N/W"},
                                                                 {"COR_ESC_CL", "W/R+"},
                                                                 {"COR_ENCH_C", "W+/B"}}};

// CRIACOR: the colour variables from this terminal's row of table 56 (the
// row is added with the defaults when missing).  An attribute outside 0-127
// or a colour string that does not parse is replaced by its default.  Then
// the colour specifications are built.  False when the table could not be
// read (the defaults stay).
bool criacor(Session& s);

// CORNORM, CORLIMP, CORSELE and CORMENU from the colour variables
// (INVISIVEL and CORATEN are fixed).
void build_colour_specs(Session& s);

// GRAVACOR: all seventeen colour fields into this terminal's row of table
// 56 (appended when missing) under a record lock of 5 seconds; nothing is
// written when the lock fails.
bool gravacor(Session& s);

// The highlighted-value colour that goes with a chosen-item colour: bright
// red on its background, or bright white on red when the background is red.
int ferid_for(int escol);

}  // namespace kx
