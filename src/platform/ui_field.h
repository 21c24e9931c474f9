// Form input: fields (GETs) read in order (a READ).
//
// A field binds a value (through get/set, usually a session variable) to a
// place on the screen and a picture.  `when` decides whether the field is
// entered at all; `valid` runs when the field is left (except with Esc) and
// accepts, refuses (the cursor stays) or replaces the value.  Keys bound in
// the hot-key stack run while a field is read; a handler may put a value
// into the field (the calculator) or end the read (a screen change).
//
// Keys of a read: Enter and Down go to the next field (past the last one
// the read ends), Up to the previous one (the first field stays); PgUp,
// PgDn, Ctrl+W, Tab and Shift+Tab accept the field and end the read; Esc
// ends it without storing the field being typed.  The read reports the key
// that ended it (the screens store it as ULTTECLA).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/picture.h"
#include "platform/value.h"

namespace kx {

class Console;
class HotKeys;
class Vars;

struct ValidResult {
  enum class Kind { Accept, Refuse, Replace };
  Kind kind = Kind::Accept;
  Value value;
  static ValidResult accept() { return {}; }
  static ValidResult refuse() { return {Kind::Refuse, {}}; }
  static ValidResult replace(Value v) { return {Kind::Replace, std::move(v)}; }
  // A yes/no check: true accepts, false refuses.
  static ValidResult of(bool ok) { return ok ? accept() : refuse(); }
};

struct GetField {
  std::string name;  // the variable's name (help, hot keys)
  int row = 0, col = 0;
  std::string picture;
  std::optional<NumberShape> shape;  // numbers without a template
  std::function<Value()> get;
  std::function<void(const Value&)> set;
  std::function<bool()> when;                      // empty: always entered
  std::function<ValidResult(const Value&)> valid;  // empty: always accepted
  // Runs once the field is left with an accepted new value (a screen's
  // recomputation after a money field).
  std::function<void(const Value&)> on_accept;
};

// A field over a session variable.
GetField var_field(Vars& vars, std::string name, int row, int col, std::string picture = {},
                   std::optional<NumberShape> shape = std::nullopt);

struct ReadOptions {
  Attr edit_colour{0x07};    // the field being typed (enhanced)
  Attr shown_colour{0x70};   // the other fields (unselected)
  Attr notice_colour{0x70};  // the bottom-row line of an invalid entry
  bool confirm = false;      // a filled field is left only with Enter or a cursor key
  bool bell = false;         // beep when typing fills a field
  int start = 0;             // the field to start on
  // Up on the first field ends the read too (editing one cell of a grid,
  // where Up moves to the row above).
  bool up_exits = false;
  // A key taken as typed into the first field before any is read (a list
  // cell whose edit was started by typing a character); 0 for none.
  int first_key = 0;
  const HotKeys* hot_keys = nullptr;
};

struct ReadResult {
  int last_key = 0;            // the key that ended the read
  bool hot_key_ended = false;  // a hot-key handler ended it
  bool changed = false;        // some field got a new value
  int field = 0;               // the field the read ended on
};

// Draws every field's value (the picture's text) in the shown colour.
void draw_fields(Console& console, const std::vector<GetField>& fields, Attr colour);

// READ: reads the fields in order until a key ends it.
ReadResult read_fields(Console& console, std::vector<GetField>& fields, const ReadOptions& opts);

}  // namespace kx
