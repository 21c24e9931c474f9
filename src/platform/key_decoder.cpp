#include "platform/key_decoder.h"

#include <optional>
#include <vector>

#include "platform/cp850.h"
#include "platform/input.h"
#include "platform/keys.h"

namespace kx {
namespace {

using S = DecodedKey::Status;

DecodedKey make(int k, int len) { return DecodedKey{S::Key, k, len}; }
DecodedKey skip(int len) { return DecodedKey{S::Skip, 0, len}; }
DecodedKey incomplete() { return DecodedKey{S::Incomplete, 0, 0}; }

// Modifier bits of an xterm parameter (the parameter minus 1).
struct Mods {
  bool shift = false, alt = false, ctrl = false;
};
Mods mods_of(int param) {
  Mods m;
  if (param < 2) return m;
  const int b = param - 1;
  m.shift = b & 1;
  m.alt = b & 2;
  m.ctrl = b & 4;
  return m;
}

int fkey(int n, Mods m) {
  if (n == 11) return m.alt ? key::AltF11 : m.ctrl ? key::CtrlF11 : m.shift ? key::ShiftF11 : key::F11;
  if (n == 12) return m.alt ? key::AltF12 : m.ctrl ? key::CtrlF12 : m.shift ? key::ShiftF12 : key::F12;
  return m.alt ? key::alt_f(n) : m.ctrl ? key::ctrl_f(n) : m.shift ? key::shift_f(n) : key::f(n);
}

// The cursor keys by name, with Ctrl where the key numbers have it.
enum class Cur { Up, Down, Left, Right, Home, End, PgUp, PgDn, Ins, Del };
int cursor_key(Cur c, Mods m) {
  switch (c) {
    case Cur::Up:
      return key::Up;
    case Cur::Down:
      return key::Down;
    case Cur::Left:
      return m.ctrl ? key::CtrlLeft : key::Left;
    case Cur::Right:
      return m.ctrl ? key::CtrlRight : key::Right;
    case Cur::Home:
      return m.ctrl ? key::CtrlHome : key::Home;
    case Cur::End:
      return m.ctrl ? key::CtrlEnd : key::End;
    case Cur::PgUp:
      return m.ctrl ? key::CtrlPgUp : key::PgUp;
    case Cur::PgDn:
      return m.ctrl ? key::CtrlPgDn : key::PgDn;
    case Cur::Ins:
      return key::Ins;
    case Cur::Del:
      return key::Del;
  }
  return 0;
}

// A single byte (not ESC) or UTF-8 character.
DecodedKey plain(std::string_view b, bool more) {
  const auto c = static_cast<unsigned char>(b[0]);
  switch (c) {
    case 0x0D:
      return make(key::Enter, 1);
    case 0x0A:
      return make(key::CtrlEnter, 1);
    case 0x09:
      return make(key::Tab, 1);
    case 0x08:
    case 0x7F:
      return make(key::Backspace, 1);
    default:
      break;
  }
  if (c == 0 || (c >= 28 && c < 32)) return skip(1);  // Ctrl+@, Ctrl+\ ...: no key number
  if (c < 32) return make(c, 1);                      // Ctrl+letter
  if (c < 0x80) return make(c, 1);
  // UTF-8: the CP850 byte of the character.
  const int len = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (len == 0) return skip(1);
  if (static_cast<int>(b.size()) < len) return more ? incomplete() : skip(static_cast<int>(b.size()));
  std::size_t i = 0;
  const auto cp = cp850::decode_utf8(b.substr(0, static_cast<std::size_t>(len)), i);
  if (!cp) return skip(1);
  const auto byte = cp850::from_unicode(*cp);
  if (!byte || *byte < 32) return skip(len);
  return make(*byte, len);
}

// The key after an Alt prefix (ESC + one byte).
int alt_of(unsigned char c) {
  if (int k = key::alt_letter(static_cast<char>(c))) return k;
  if (int k = key::alt_digit(static_cast<char>(c))) return k;
  if (c == '=' || c == '+') return key::AltEquals;
  if (c == '-') return key::AltMinus;
  return 0;
}

// The "ESC [ n ~" keys: cursor keys and function keys by number (rxvt and
// the Linux console send Shift+F1..F8 as F11..F20, hence the shifted rows).
struct TildeKey {
  int number;
  Cur cursor;
  int fkey;  // 0 for a cursor key
  bool shifted;
};
constexpr TildeKey kTildeKeys[] = {
    {1, Cur::Home, 0, false}, {2, Cur::Ins, 0, false},  {3, Cur::Del, 0, false},  {4, Cur::End, 0, false},
    {5, Cur::PgUp, 0, false}, {6, Cur::PgDn, 0, false}, {7, Cur::Home, 0, false}, {8, Cur::End, 0, false},
    {11, Cur::Up, 1, false},  {12, Cur::Up, 2, false},  {13, Cur::Up, 3, false},  {14, Cur::Up, 4, false},
    {15, Cur::Up, 5, false},  {17, Cur::Up, 6, false},  {18, Cur::Up, 7, false},  {19, Cur::Up, 8, false},
    {20, Cur::Up, 9, false},  {21, Cur::Up, 10, false}, {23, Cur::Up, 11, false}, {24, Cur::Up, 12, false},
    {25, Cur::Up, 3, true},   {26, Cur::Up, 4, true},   {28, Cur::Up, 5, true},   {29, Cur::Up, 6, true},
    {31, Cur::Up, 7, true},   {32, Cur::Up, 8, true},   {33, Cur::Up, 9, true},   {34, Cur::Up, 10, true},
};

// A key sent as its character code with modifiers (CSI u, modifyOtherKeys).
DecodedKey coded_key(int code, Mods m, int len) {
  if (code == 13) return make(m.ctrl ? key::CtrlEnter : key::Enter, len);
  if (code == 9) return make(m.shift ? key::ShiftTab : key::Tab, len);
  if (code == 27) return make(key::Esc, len);
  if (code == 127 || code == 8) return make(key::Backspace, len);
  if (code < 32 || code >= 127) return skip(len);
  const auto c = static_cast<unsigned char>(code);
  if (m.alt && alt_of(c)) return make(alt_of(c), len);
  if (m.ctrl && key::ctrl_letter(static_cast<char>(c)))
    return make(key::ctrl_letter(static_cast<char>(c)), len);
  return make(code, len);
}

// The final letters CSI and SS3 sequences share: cursor keys and F1-F4.
std::optional<int> cursor_or_f1_f4(char fin, Mods m) {
  switch (fin) {
    case 'A':
      return cursor_key(Cur::Up, m);
    case 'B':
      return cursor_key(Cur::Down, m);
    case 'C':
      return cursor_key(Cur::Right, m);
    case 'D':
      return cursor_key(Cur::Left, m);
    case 'H':
      return cursor_key(Cur::Home, m);
    case 'F':
      return cursor_key(Cur::End, m);
    case 'P':
      return fkey(1, m);
    case 'Q':
      return fkey(2, m);
    case 'R':
      return fkey(3, m);
    case 'S':
      return fkey(4, m);
    default:
      return std::nullopt;
  }
}

// A CSI sequence starting at b[0] == ESC, b[1] == '['.  `alt` when an ESC
// came before it.
DecodedKey csi(std::string_view b, bool more, int prefix, bool alt) {
  // Linux console F1-F5: ESC [ [ A..E
  if (b.size() >= 3 && b[2] == '[') {
    if (b.size() < 4) return more ? incomplete() : DecodedKey{};
    const char f = b[3];
    if (f >= 'A' && f <= 'E') return make(fkey(f - 'A' + 1, Mods{false, alt, false}), prefix + 4);
    return skip(prefix + 4);
  }
  // Old X10 mouse report: ESC [ M b x y
  if (b.size() >= 3 && b[2] == 'M') {
    if (b.size() < 6) return more ? incomplete() : DecodedKey{};
    const int btn = static_cast<unsigned char>(b[3]) - 32;
    const int x = static_cast<unsigned char>(b[4]) - 33, y = static_cast<unsigned char>(b[5]) - 33;
    if ((btn & 3) == 0 && (btn & 96) == 0) return DecodedKey{S::Key, key::MouseLeft, prefix + 6, y, x};
    return skip(prefix + 6);
  }
  // Parameters and final byte.
  std::size_t i = 2;
  bool sgr_mouse = false;
  if (i < b.size() && (b[i] == '<' || b[i] == '?' || b[i] == '>')) {
    sgr_mouse = b[i] == '<';
    ++i;
  }
  std::vector<int> params;
  int cur = -1;
  for (; i < b.size(); ++i) {
    const char c = b[i];
    if (c >= '0' && c <= '9') {
      cur = (cur < 0 ? 0 : cur) * 10 + (c - '0');
      if (cur > 100000) cur = 100000;
    } else if (c == ';' || c == ':') {
      params.push_back(cur < 0 ? 1 : cur);
      cur = -1;
    } else {
      break;
    }
  }
  if (i >= b.size()) return more ? incomplete() : DecodedKey{};
  params.push_back(cur < 0 ? 1 : cur);
  const char fin = b[i];
  const int len = prefix + static_cast<int>(i) + 1;
  if (static_cast<unsigned char>(fin) < 0x40 || static_cast<unsigned char>(fin) > 0x7E) {
    if (fin == '$' || fin == '^' || fin == '@') {
      // rxvt: "$" shift, "^" ctrl, "@" ctrl+shift after the number.
    } else {
      return skip(len);
    }
  }
  auto param = [&](std::size_t k) { return k < params.size() ? params[k] : 1; };
  if (sgr_mouse) {
    if (fin != 'M' || params.size() < 3) return skip(len);
    const int btn = params[0];
    if ((btn & 3) != 0 || (btn & 96) != 0) return skip(len);  // other buttons, motion, wheel
    return DecodedKey{S::Key, key::MouseLeft, len, params[2] - 1, params[1] - 1};
  }
  Mods m = mods_of(param(1));
  if (fin == '^') m.ctrl = true;
  if (fin == '$') m.shift = true;
  if (fin == '@') m.ctrl = m.shift = true;
  if (alt) m.alt = true;
  if (auto k = cursor_or_f1_f4(fin, m)) return make(*k, len);
  switch (fin) {
    case 'Z':
      return make(key::ShiftTab, len);
    case 'a':
      return make(key::Up, len);  // rxvt shifted arrows
    case 'b':
      return make(key::Down, len);
    case 'c':
      return make(key::Right, len);
    case 'd':
      return make(key::Left, len);
    case 'u':  // CSI u: code;modifiers
      return coded_key(param(0), m, len);
    case '~':
    case '^':
    case '$':
    case '@': {
      const int n = param(0);
      if (n == 27) return coded_key(param(2), mods_of(param(1)), len);  // xterm modifyOtherKeys
      for (const TildeKey& t : kTildeKeys) {
        if (t.number != n) continue;
        if (t.fkey == 0) return make(cursor_key(t.cursor, m), len);
        Mods fm = m;
        if (t.shifted) fm.shift = true;
        return make(fkey(t.fkey, fm), len);
      }
      return skip(len);
    }
    default:
      return skip(len);
  }
}

// SS3: ESC O x (application cursor keys, F1-F4, rxvt Ctrl+arrows).
DecodedKey ss3(std::string_view b, bool more, int prefix, bool alt) {
  std::size_t i = 2;
  int param = 1;
  while (i < b.size() && b[i] >= '0' && b[i] <= '9') param = b[i++] - '0';  // "ESC O 5 P" of old xterms
  if (i >= b.size()) return more ? incomplete() : DecodedKey{};
  Mods m = mods_of(param);
  if (alt) m.alt = true;
  const int len = prefix + static_cast<int>(i) + 1;
  if (auto k = cursor_or_f1_f4(b[i], m)) return make(*k, len);
  switch (b[i]) {
    case 'M':
      return make(m.ctrl ? key::CtrlEnter : key::Enter, len);  // keypad Enter
    case 'a':
      return make(key::Up, len);  // rxvt Ctrl+arrows
    case 'b':
      return make(key::Down, len);
    case 'c':
      return make(key::CtrlRight, len);
    case 'd':
      return make(key::CtrlLeft, len);
    case 'k':
      return make(alt ? key::AltEquals : '+', len);  // keypad + (Alt: as Alt+=)
    case 'm':
      return make(alt ? key::AltMinus : '-', len);
    case 'j':
      return make('*', len);
    case 'o':
      return make('/', len);
    default:
      return skip(len);
  }
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const DecodedKey& d) {
  switch (d.status) {
    case S::Key:
      os << "key " << key::key_name(d.key) << " (" << d.key << ")";
      if (d.key == key::MouseLeft) os << " at " << d.row << "," << d.col;
      break;
    case S::Skip:
      os << "skip";
      break;
    case S::Incomplete:
      os << "incomplete";
      break;
  }
  return os << " length " << d.length;
}

DecodedKey decode_key(std::string_view b, bool more) {
  if (b.empty()) return incomplete();
  if (b[0] != '\x1b') return plain(b, more);
  if (b.size() == 1) return more ? incomplete() : make(key::Esc, 1);
  auto resolve = [&](DecodedKey d) {
    // An unfinished sequence that will not be finished: the ESC alone.
    if (d.status == S::Incomplete && !more) return make(key::Esc, 1);
    if (d.status == S::Incomplete) return d;
    if (d.status == S::Key && d.length == 0) return make(key::Esc, 1);
    return d;
  };
  const char c1 = b[1];
  if (c1 == '[') return resolve(csi(b, more, 0, false));
  if (c1 == 'O') {
    // "ESC O" alone may also be Alt+O: decided when nothing follows.
    if (b.size() == 2 && !more) return make(key::AltO, 2);
    return resolve(ss3(b, more, 0, false));
  }
  if (c1 == '\x1b') {
    // ESC ESC [ ...: Alt with a sequence; ESC ESC alone: Esc, then the other.
    if (b.size() >= 3 && (b[2] == '[' || b[2] == 'O')) {
      DecodedKey d = b[2] == '[' ? csi(b.substr(1), more, 1, true) : ss3(b.substr(1), more, 1, true);
      if (d.status == S::Incomplete && !more) return make(key::Esc, 1);
      if (d.status == S::Key && d.length == 0) return make(key::Esc, 1);
      return d;
    }
    if (b.size() == 2 && more) return incomplete();
    return make(key::Esc, 1);
  }
  const auto u = static_cast<unsigned char>(c1);
  if (int k = alt_of(u)) return make(k, 2);
  return make(key::Esc, 1);  // ESC + a key with no Alt number: Esc, and that key next
}

}  // namespace kx
