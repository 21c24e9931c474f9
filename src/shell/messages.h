// Messages and questions: MENS (bottom-row notices, message boxes, one-key
// questions, one-field prompts), the confirmation box AVISOSN, AVISO and
// BEEP_ERRO.  Every message and question shown is also written to the
// console's log with its answer, so tests assert what the user was told.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/colour.h"
#include "platform/value.h"

namespace kx {

class Session;

// A session colour variable as an attribute: a number (COR_TEL1) or a colour
// string (COR_SAY).
Attr colour_var(Session& s, std::string_view name);

struct MensArgs {
  // Frame style x 10 + mode: 0 bottom-row notice, 1 box and wait for a key
  // (with a beep), 2 one-key question, 3 kept window, 4 one-field prompt, 5
  // as 1 without the beep.  Nothing: blank the bottom row.
  std::optional<int> code;
  std::string text;
  std::optional<int> top;                               // default 20
  std::variant<std::monostate, int, std::string> left;  // column, "E", "C"; default 75 - width
  int lines = 1;
  std::string letters;                      // mode 2: the answers ("SN"); mode 4: the variable's name
  std::optional<int> width;                 // mode 4: a number's display width
  std::string picture;                      // mode 4; default "@KS"
  std::function<bool(const Value&)> valid;  // mode 4; default always valid
  int slot = 10;
};

// MENS: "" (modes 0, 1, 3, 5), the letter answered (2), or the variable's
// value after the prompt (4).
Value mens(Session& s, const MensArgs& args);
// The common forms.
void mens(Session& s, int code, std::string_view text);
std::string mens_ask(Session& s, int code, std::string_view text, std::string_view letters);

// AVISOSN: a centred box with the lines and a row of buttons, in COR_SAY.
//   kind 0 "Ok" -> ""                  1 "Sim" "Não" -> 1, 2 (Esc 0)
//   kind 2 "Sim" "Não" -> "S", "N" (Esc "N")
//   kind 3 "Sim" "Não" "Ignore" -> "S", "N", "I" (Esc "N")
//   kind 4 "Sim" "Não" "Fim" -> "S", "N", "F" (Esc "N")
//   kind 5 "1" "2" "3" -> "1".."3" (Esc "0")     kind 7 "1".."7" -> 1..7 (Esc 0)
// Left/Right/Tab move between the buttons, a button's first letter answers
// with it, Enter answers with the highlighted one.  Other kinds act as 0.
Value avisosn(Session& s, const std::vector<std::string>& lines, int kind);
Value avisosn(Session& s, std::string_view line, int kind);
// AVISO: the text in COR_CLI_HE at (row, col).
void aviso(Session& s, std::string_view text, int row = 24, int col = 0);
// BEEP_ERRO: 300 Hz then 499 Hz, one tick each, twice per repetition.
void beep_erro(Session& s, int repetitions = 1);

}  // namespace kx
