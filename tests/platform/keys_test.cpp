#include "platform/keys.h"

#include <gtest/gtest.h>

#include <set>

namespace kx {
namespace {

TEST(Keys, ClassicNumbers) {
  struct Case {
    int key, number;
    std::string_view name;
  };
  const Case cases[] = {
      {key::Enter, 13, "Enter"},        {key::Esc, 27, "Esc"},
      {key::ShiftTab, 271, "Shift+Tab"}, {key::PgDn, 3, "PgDn"},
      {key::PgUp, 18, "PgUp"},          {key::Home, 1, "Home"},
      {key::End, 6, "End"},             {key::Ins, 22, "Ins"},
      {key::CtrlEnd, 23, "Ctrl+W"},     {key::CtrlPgDn, 30, "Ctrl+PgDn"},
      {key::CtrlPgUp, 31, "Ctrl+PgUp"}, {key::CtrlHome, 29, "Ctrl+Home"},
      {key::F1, 28, "F1"},              {key::f(2), -1, "F2"},
      {key::f(10), -9, "F10"},          {key::F11, -40, "F11"},
      {key::F12, -41, "F12"},           {key::shift_f(1), -10, "Shift+F1"},
      {key::shift_f(10), -19, "Shift+F10"}, {key::ctrl_f(1), -20, "Ctrl+F1"},
      {key::ctrl_f(10), -29, "Ctrl+F10"}, {key::alt_f(1), -30, "Alt+F1"},
      {key::alt_f(10), -39, "Alt+F10"}, {key::ShiftF11, -42, "Shift+F11"},
      {key::AltF12, -47, "Alt+F12"},    {key::AltQ, 272, "Alt+Q"},
      {key::AltA, 286, "Alt+A"},        {key::AltB, 304, "Alt+B"},
      {key::AltC, 302, "Alt+C"},        {key::AltZ, 300, "Alt+Z"},
      {key::AltM, 306, "Alt+M"},        {key::AltL, 294, "Alt+L"},
      {key::alt_digit('1'), 376, "Alt+1"}, {key::alt_digit('9'), 384, "Alt+9"},
      {key::alt_digit('0'), 385, "Alt+0"}, {key::AltMinus, 386, "Alt+-"},
      {key::AltEquals, 387, "Alt+="},   {key::ctrl_letter('k'), 11, "Ctrl+K"},
      {'a', 97, "'a'"},                 {1000, 1000, "1000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.key, c.number) << c.name;
    EXPECT_EQ(key::key_name(c.number), c.name) << c.number;
  }
}

TEST(Keys, AltLettersAreDistinctAndCaseBlind) {
  std::set<int> seen;
  for (char c = 'A'; c <= 'Z'; ++c) {
    const int k = key::alt_letter(c);
    EXPECT_EQ(k, key::alt_letter(static_cast<char>(c - 'A' + 'a'))) << c;
    EXPECT_TRUE(k >= 272 && k <= 306) << c;
    EXPECT_TRUE(seen.insert(k).second) << c;
  }
  EXPECT_EQ(key::alt_letter('1'), 0);
  EXPECT_FALSE(key::is_printable(key::AltA));
  EXPECT_FALSE(key::is_printable(key::F2));
  EXPECT_TRUE(key::is_printable(0xC6));  // ã in CP850
}

}  // namespace
}  // namespace kx
