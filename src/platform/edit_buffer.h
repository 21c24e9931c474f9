// The edit buffer of one field: a value being typed through its picture.
//
// The console draws text() (or, for @S<n>, visible_text()) and places the
// cursor; every key goes to key(), whose answer says whether the key was an
// editing key, was refused (beep), or filled the last position (the caller
// moves to the next field).  value() gives the typed value back, or the
// message to show when the text is not a valid value (the field is then not
// left).
//
// Text fields are typed in place: characters are checked against their
// template position (9 digits, A letters, ! upper-cased, ...), the cursor
// skips literals, Ins switches between insert and overwrite.  Numbers are
// typed calculator style (see number_entry.h).  Dates are typed as
// dd/mm/yyyy digits; logicals take T/Y/S or F/N.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/number_entry.h"
#include "platform/picture.h"
#include "platform/value.h"

namespace kx {

class EditBuffer {
 public:
  // `shape` is the layout of a number field whose picture has no template.
  EditBuffer(const Value& value, std::string_view picture,
             std::optional<NumberShape> shape = std::nullopt);
  EditBuffer(const Value& value, const Picture& picture,
             std::optional<NumberShape> shape = std::nullopt);

  // Printable characters (CP850 32-255), Left, Right, Home, End, Backspace,
  // Del, Ins and Ctrl+Y; every other key is Ignored.
  KeyResult key(int k);

  const std::string& text() const { return text_; }  // the whole field
  int cursor() const { return cursor_; }              // position in text()
  // A position that takes typing (false for a literal of the template).
  bool editable(int pos) const;
  // Insert (true) or overwrite mode; Ins toggles it.  The console carries it
  // from field to field and shapes the cursor after it.  Dates and logicals
  // are always overwritten.
  bool insert_mode() const { return insert_; }
  void set_insert_mode(bool on) { insert_ = on; }
  // Whether anything was typed or deleted since the buffer was made.
  bool changed() const { return changed_; }

  // The @S<n> window: n columns that follow the cursor (the whole field when
  // there is no window, or it is wider than the field).
  int window_width() const;
  std::string visible_text() const;
  int visible_cursor() const { return cursor_ - offset_; }

  struct Result {
    std::optional<Value> value;
    std::string error;  // set when there is no value: the message to show
    bool ok() const { return value.has_value(); }
  };
  // C and M with @R: the template positions only, literals dropped; what lay
  // beyond the template in the original value is kept after it.
  Result value() const;

 private:
  KeyResult type_char(unsigned char c);
  KeyResult type_logical(unsigned char c);
  bool shift_right(int from);  // insert: open a blank at `from`
  bool shift_left(int from);   // delete the character at `from`
  int next_editable(int pos) const;  // first editable position after pos, or -1
  int prev_editable(int pos) const;  // last editable position before pos, or -1
  int first_editable() const { return next_editable(-1); }
  void follow_cursor();

  Type type_;
  Picture picture_;
  std::optional<NumberEntry> number_;
  std::string text_;
  std::string slots_;  // template character of each position; '\0' for a literal
  std::string tail_;   // the original value beyond the template (C, M)
  int cursor_ = 0;
  int offset_ = 0;     // first column of the @S window
  bool insert_ = false;
  bool fresh_ = true;  // no key yet: @K clears on the first character
  bool changed_ = false;
};

}  // namespace kx
