// Key numbers as the application stores and compares them.
//
// These are the classic xBase keyboard numbers: printable characters are
// their CP850 byte (32-255), control and cursor keys small positive numbers
// (several share a number with a Ctrl+letter, e.g. Home is Ctrl+A), function
// keys negative numbers, Alt combinations 256 + the keyboard scan code.
// Stored settings (last key of a screen, hot keys) hold these numbers, so
// they must never change.  The console adapter maps terminal input onto them.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kx::key {

inline constexpr int Enter = 13;
inline constexpr int Esc = 27;
inline constexpr int Tab = 9;
inline constexpr int ShiftTab = 271;
inline constexpr int PgDn = 3;
inline constexpr int PgUp = 18;
inline constexpr int Up = 5;
inline constexpr int Down = 24;
inline constexpr int Left = 19;
inline constexpr int Right = 4;
inline constexpr int Home = 1;
inline constexpr int End = 6;
inline constexpr int Ins = 22;
inline constexpr int Del = 7;
inline constexpr int Backspace = 8;
inline constexpr int CtrlEnter = 10;
inline constexpr int CtrlY = 25;
inline constexpr int CtrlW = 23;
inline constexpr int CtrlLeft = 26;
inline constexpr int CtrlRight = 2;
inline constexpr int CtrlHome = 29;
inline constexpr int CtrlEnd = 23;  // the same number as Ctrl+W
inline constexpr int CtrlPgUp = 31;
inline constexpr int CtrlPgDn = 30;
inline constexpr int Space = 32;

inline constexpr int F1 = 28;
inline constexpr int F2 = -1;
inline constexpr int F3 = -2;
inline constexpr int F4 = -3;
inline constexpr int F5 = -4;
inline constexpr int F6 = -5;
inline constexpr int F7 = -6;
inline constexpr int F8 = -7;
inline constexpr int F9 = -8;
inline constexpr int F10 = -9;
inline constexpr int F11 = -40;
inline constexpr int F12 = -41;
inline constexpr int ShiftF11 = -42;
inline constexpr int ShiftF12 = -43;
inline constexpr int CtrlF11 = -44;
inline constexpr int CtrlF12 = -45;
inline constexpr int AltF11 = -46;
inline constexpr int AltF12 = -47;

// F1..F10: n is 1-10; anything else gives 0 (no key).
constexpr int f(int n) { return n == 1 ? F1 : n >= 2 && n <= 10 ? 1 - n : 0; }
constexpr int shift_f(int n) { return n >= 1 && n <= 10 ? -9 - n : 0; }  // -10..-19
constexpr int ctrl_f(int n) { return n >= 1 && n <= 10 ? -19 - n : 0; }  // -20..-29
constexpr int alt_f(int n) { return n >= 1 && n <= 10 ? -29 - n : 0; }   // -30..-39

// Keyboard scan code of each letter A-Z; Alt+letter is 256 + the scan code.
inline constexpr std::array<int, 26> kLetterScan = {
    30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,  // A-M
    49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};  // N-Z

// Alt+letter (either case); 0 for a character that is not an ASCII letter.
constexpr int alt_letter(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c < 'A' || c > 'Z') return 0;
  return 256 + kLetterScan[static_cast<std::size_t>(c - 'A')];
}
// Alt+digit: Alt+1 376 ... Alt+9 384, Alt+0 385; 0 for a non-digit.
constexpr int alt_digit(char c) {
  if (c == '0') return 385;
  if (c >= '1' && c <= '9') return 375 + (c - '0');
  return 0;
}
inline constexpr int AltMinus = 386;
inline constexpr int AltEquals = 387;

// Ctrl+letter (either case): 1-26; 0 for a non-letter.
constexpr int ctrl_letter(char c) {
  if (c >= 'a' && c <= 'z') return c - 'a' + 1;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  return 0;
}

inline constexpr int AltA = alt_letter('A'), AltB = alt_letter('B'), AltC = alt_letter('C'),
                     AltD = alt_letter('D'), AltE = alt_letter('E'), AltF = alt_letter('F'),
                     AltG = alt_letter('G'), AltH = alt_letter('H'), AltI = alt_letter('I'),
                     AltJ = alt_letter('J'), AltK = alt_letter('K'), AltL = alt_letter('L'),
                     AltM = alt_letter('M'), AltN = alt_letter('N'), AltO = alt_letter('O'),
                     AltP = alt_letter('P'), AltQ = alt_letter('Q'), AltR = alt_letter('R'),
                     AltS = alt_letter('S'), AltT = alt_letter('T'), AltU = alt_letter('U'),
                     AltV = alt_letter('V'), AltW = alt_letter('W'), AltX = alt_letter('X'),
                     AltY = alt_letter('Y'), AltZ = alt_letter('Z');

// A printable character: a CP850 byte 32-255 other than 127 (a control code).
constexpr bool is_printable(int k) { return k >= 32 && k <= 255 && k != 127; }

// A readable name for test output and diagnostics: "Enter", "Shift+F3",
// "Alt+B", "Ctrl+K", "'a'", or the number itself.  Where keys share a number
// the cursor-key name wins (1 is "Home", 23 is "Ctrl+W").
std::string key_name(int k);

}  // namespace kx::key
