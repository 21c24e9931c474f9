#include "platform/edit_buffer.h"

#include <algorithm>

#include "platform/cp850.h"
#include "platform/keys.h"

namespace kx {

using namespace kx::literals;

EditBuffer::EditBuffer(const Value& value, std::string_view picture, std::optional<NumberShape> shape)
    : EditBuffer(value, Picture::parse(picture), shape) {}

EditBuffer::EditBuffer(const Value& value, const Picture& picture, std::optional<NumberShape> shape)
    : type_(value.type()), picture_(picture) {
  switch (type_) {
    case Type::N:
      number_.emplace(value.number(), picture_, shape);
      text_ = number_->text();
      cursor_ = number_->cursor();
      return;
    case Type::D:
      text_ = value.date().dmy();
      slots_ = text_;
      for (char& m : slots_) m = m == '/' ? '\0' : '9';
      break;
    case Type::L:
      text_ = std::string(1, logical_char(value.logical(), picture_));
      slots_ = "L";
      break;
    case Type::C:
    case Type::M: {
      const std::string& t = value.text();
      Picture whole = picture_;
      whole.scroll.reset();
      text_ = transform(value, whole);
      if (picture_.mask.empty()) {
        slots_.assign(t.size(), 'X');
        break;
      }
      slots_ = picture_.mask;
      std::size_t taken = picture_.insert ? 0 : slots_.size();
      for (char& m : slots_) {
        if (!is_mask_slot(m))
          m = '\0';
        else if (picture_.insert)
          ++taken;
      }
      if (t.size() > taken) tail_ = t.substr(taken);
      break;
    }
  }
  cursor_ = std::max(first_editable(), 0);
  follow_cursor();
}

bool EditBuffer::editable(int pos) const {
  if (number_) return number_->is_digit_position(pos);
  return pos >= 0 && pos < static_cast<int>(slots_.size()) && slots_[static_cast<std::size_t>(pos)] != '\0';
}

int EditBuffer::next_editable(int pos) const {
  for (int i = pos + 1; i < static_cast<int>(text_.size()); ++i)
    if (editable(i)) return i;
  return -1;
}

int EditBuffer::prev_editable(int pos) const {
  for (int i = pos - 1; i >= 0; --i)
    if (editable(i)) return i;
  return -1;
}

int EditBuffer::window_width() const {
  const int size = static_cast<int>(text_.size());
  return picture_.scroll && *picture_.scroll > 0 && *picture_.scroll < size ? *picture_.scroll : size;
}

std::string EditBuffer::visible_text() const {
  return text_.substr(static_cast<std::size_t>(offset_), static_cast<std::size_t>(window_width()));
}

void EditBuffer::follow_cursor() {
  const int width = window_width();
  if (cursor_ < offset_) offset_ = cursor_;
  if (cursor_ >= offset_ + width) offset_ = cursor_ - width + 1;
  offset_ = std::clamp(offset_, 0, static_cast<int>(text_.size()) - width);
}

// Moves the characters from `from` on one editable position to the right
// (the last one falls off) and blanks `from`.  False when a character would
// land on a position that does not take it.
bool EditBuffer::shift_right(int from) {
  int to = from;
  while (next_editable(to) >= 0) to = next_editable(to);
  for (int p = to; p != from;) {
    const int q = prev_editable(p);
    const auto c = static_cast<unsigned char>(text_[static_cast<std::size_t>(q)]);
    if (c != ' ' && !mask_accepts(slots_[static_cast<std::size_t>(p)], c)) return false;
    text_[static_cast<std::size_t>(p)] = static_cast<char>(c);
    p = q;
  }
  text_[static_cast<std::size_t>(from)] = ' ';
  return true;
}

// Removes the character at `from`, pulling the following editable ones left.
bool EditBuffer::shift_left(int from) {
  int p = from;
  for (int q = next_editable(p); q >= 0; p = q, q = next_editable(q)) {
    const auto c = static_cast<unsigned char>(text_[static_cast<std::size_t>(q)]);
    if (c != ' ' && !mask_accepts(slots_[static_cast<std::size_t>(p)], c)) return false;
    text_[static_cast<std::size_t>(p)] = static_cast<char>(c);
  }
  text_[static_cast<std::size_t>(p)] = ' ';
  return true;
}

KeyResult EditBuffer::type_logical(unsigned char c) {
  const unsigned char u = cp850::upper(c);
  if (u != 'T' && u != 'Y' && u != 'S' && u != 'F' && u != 'N') return KeyResult::Refused;
  text_[0] = logical_char(u == 'T' || u == 'Y' || u == 'S', picture_);
  changed_ = true;
  return KeyResult::Filled;
}

KeyResult EditBuffer::type_char(unsigned char c) {
  const bool clear = picture_.clear_first && fresh_;
  const int target = clear ? first_editable() : cursor_;
  if (!editable(target)) return KeyResult::Refused;  // an empty field takes nothing
  const char m = slots_[static_cast<std::size_t>(target)];
  if (picture_.upper || m == '!' || m == 'L' || m == 'Y') c = cp850::upper(c);
  if (!mask_accepts(m, c)) return KeyResult::Refused;

  const std::string before = text_;
  if (clear)
    for (int i = 0; i < static_cast<int>(text_.size()); ++i)
      if (editable(i)) text_[static_cast<std::size_t>(i)] = ' ';
  if (insert_ && type_ != Type::D && !shift_right(target)) {
    text_ = before;
    return KeyResult::Refused;
  }
  text_[static_cast<std::size_t>(target)] = static_cast<char>(c);
  fresh_ = false;
  changed_ = true;
  const int next = next_editable(target);
  cursor_ = next >= 0 ? next : target;
  follow_cursor();
  return next >= 0 ? KeyResult::Taken : KeyResult::Filled;
}

KeyResult EditBuffer::key(int k) {
  if (k == key::Ins) {
    insert_ = !insert_;
    return KeyResult::Taken;
  }
  if (number_) {
    const KeyResult r = number_->key(k);
    if (r != KeyResult::Ignored) fresh_ = false;
    changed_ = number_->changed();
    text_ = number_->text();
    cursor_ = number_->cursor();
    return r;
  }
  if (key::is_printable(k))
    return type_ == Type::L ? type_logical(static_cast<unsigned char>(k))
                            : type_char(static_cast<unsigned char>(k));

  // Dates keep their digits in place: deleting blanks a position.
  const bool in_place = type_ == Type::D;
  const auto at = [this](int pos) -> char& { return text_[static_cast<std::size_t>(pos)]; };
  switch (k) {
    case key::Left:
      if (const int p = prev_editable(cursor_); p >= 0) cursor_ = p;
      break;
    case key::Right:
      if (const int p = next_editable(cursor_); p >= 0) cursor_ = p;
      break;
    case key::Home:
      cursor_ = std::max(first_editable(), 0);
      break;
    case key::End: {
      int last = -1;
      for (int i = 0; i < static_cast<int>(text_.size()); ++i)
        if (editable(i) && at(i) != ' ') last = i;
      const int after = last >= 0 ? next_editable(last) : -1;
      cursor_ = last < 0 ? std::max(first_editable(), 0) : after >= 0 ? after : last;
      break;
    }
    case key::Backspace:
    case key::Del: {
      if (type_ == Type::L) break;
      const int p = k == key::Del ? cursor_ : prev_editable(cursor_);
      if (!editable(p)) break;
      const std::string before = text_;
      if (in_place) {
        at(p) = ' ';
      } else if (!shift_left(p)) {
        text_ = before;
        return KeyResult::Refused;
      }
      cursor_ = p;
      changed_ = true;
      break;
    }
    case key::CtrlY:
      if (type_ == Type::L) break;
      for (int i = cursor_; i < static_cast<int>(text_.size()); ++i)
        if (editable(i)) at(i) = ' ';
      changed_ = true;
      break;
    default:
      return KeyResult::Ignored;
  }
  fresh_ = false;
  follow_cursor();
  return KeyResult::Taken;
}

EditBuffer::Result EditBuffer::value() const {
  switch (type_) {
    case Type::N:
      return {Value(number_->value()), {}};
    case Type::D:
      if (auto d = Date::parse_dmy(text_)) return {Value(*d), {}};
      return {std::nullopt, std::string("Data inválida"_cp)};
    case Type::L: {
      const unsigned char u = cp850::upper(static_cast<unsigned char>(text_[0]));
      return {Value(u == 'T' || u == 'Y' || u == 'S'), {}};
    }
    case Type::C:
    case Type::M:
      break;
  }
  std::string out;
  if (picture_.insert && !picture_.mask.empty()) {
    for (std::size_t i = 0; i < text_.size(); ++i)
      if (slots_[i] != '\0') out += text_[i];
  } else {
    out = text_;
  }
  return {Value(out + tail_, type_), {}};
}

}  // namespace kx
