#include "platform/keys.h"

#include <utility>

namespace kx::key {
namespace {

struct Named {
  int code;
  std::string_view name;
};

// Names of the keys that have one; the first entry of a shared number wins.
constexpr Named kNamed[] = {
    {Enter, "Enter"},         {Esc, "Esc"},           {Tab, "Tab"},
    {ShiftTab, "Shift+Tab"},  {PgDn, "PgDn"},         {PgUp, "PgUp"},
    {Up, "Up"},               {Down, "Down"},         {Left, "Left"},
    {Right, "Right"},         {Home, "Home"},         {End, "End"},
    {Ins, "Ins"},             {Del, "Del"},           {Backspace, "Backspace"},
    {CtrlEnter, "Ctrl+Enter"}, {CtrlY, "Ctrl+Y"},     {CtrlW, "Ctrl+W"},
    {CtrlLeft, "Ctrl+Left"},  {CtrlRight, "Ctrl+Right"}, {CtrlHome, "Ctrl+Home"},
    {CtrlPgUp, "Ctrl+PgUp"},  {CtrlPgDn, "Ctrl+PgDn"}, {Space, "Space"},
    {F1, "F1"},               {F11, "F11"},           {F12, "F12"},
    {ShiftF11, "Shift+F11"},  {ShiftF12, "Shift+F12"}, {CtrlF11, "Ctrl+F11"},
    {CtrlF12, "Ctrl+F12"},    {AltF11, "Alt+F11"},    {AltF12, "Alt+F12"},
    {AltMinus, "Alt+-"},      {AltEquals, "Alt+="},
};

}  // namespace

std::string key_name(int k) {
  for (const auto& n : kNamed)
    if (n.code == k) return std::string(n.name);
  // Function keys by their modifier block: F2..F10 are -1..-9, then Shift,
  // Ctrl and Alt F1..F10 in blocks of ten.
  if (k <= -1 && k >= -39) {
    static constexpr std::string_view kPrefix[] = {"", "Shift+", "Ctrl+", "Alt+"};
    const int block = (-k) / 10;  // -1..-9 -> 0, -10..-19 -> 1 ...
    const int n = block == 0 ? 1 - k : -k - 10 * block + 1;
    return std::string(kPrefix[block]) + "F" + std::to_string(n);
  }
  for (char c = 'A'; c <= 'Z'; ++c) {
    if (k == alt_letter(c)) return std::string("Alt+") + c;
    if (k == ctrl_letter(c)) return std::string("Ctrl+") + c;
  }
  for (char c = '0'; c <= '9'; ++c)
    if (k == alt_digit(c)) return std::string("Alt+") + c;
  if (is_printable(k)) return std::string("'") + static_cast<char>(k) + "'";
  return std::to_string(k);
}

}  // namespace kx::key
