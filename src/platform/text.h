// The text helpers the procedures use on CP850 strings (xBase style).
//
// Positions are 1-based as in the procedures that call them; a position or
// length out of range is clamped, never undefined.  "Blank" means the space
// character only, as in stored fixed-width fields.
#pragma once

#include <string>
#include <string_view>

#include "platform/cp850.h"
#include "platform/decimal.h"

namespace kx {

std::string trim(std::string_view s);   // ALLTRIM: blanks off both ends
std::string rtrim(std::string_view s);  // TRIM / RTRIM: trailing blanks off
std::string ltrim(std::string_view s);  // LTRIM: leading blanks off
bool is_blank(std::string_view s);      // EMPTY() of a text: nothing but blanks

// PADR / PADL / PADC: pad with `fill` on the right / left / both sides (the
// odd blank goes right) to `width`; a longer text is cut to its first `width`
// characters by all three, as in xBase.  A negative width gives "".
std::string padr(std::string_view s, int width, char fill = ' ');
std::string padl(std::string_view s, int width, char fill = ' ');
std::string padc(std::string_view s, int width, char fill = ' ');

std::string left(std::string_view s, int n);
std::string right(std::string_view s, int n);
// SUBSTR(s, start[, count]): start 1-based; a negative start counts from the end.
std::string substr(std::string_view s, int start);
std::string substr(std::string_view s, int start, int count);

// AT / RAT: 1-based position of the first / last occurrence, 0 when absent
// (and for an empty needle).
int at(std::string_view needle, std::string_view haystack);
int rat(std::string_view needle, std::string_view haystack);
// STRTRAN: every occurrence of `from` replaced by `to`.
std::string strtran(std::string_view s, std::string_view from, std::string_view to);
std::string replicate(std::string_view s, int times);
std::string space(int n);

// STR(n, len, dec): right-aligned in `len` with `dec` decimals, rounded half
// away from zero; asterisks when it does not fit (a display convention; the
// field writer never does this, see to_field_text).
std::string str(const Decimal& n, int len = 10, int dec = 0);
// STRZERO: STR with leading zeros ("-" stays first).
std::string strzero(const Decimal& n, int len, int dec = 0);
// VAL: the number at the start of the text (after blanks), up to the first
// character that cannot continue it; "" or "abc" give 0.  "12.50" keeps two
// decimals, "-3" is -3.  A comma is not a decimal separator here.
Decimal val(std::string_view s);

// Layout helpers of the window layer.
// CENTER: width/2 - length/2, or 0 when the text is longer than the width.
int CENTER(std::string_view text, int width = 80);
// DIREITA: width - length, or 1 when the text is longer than the width.
int DIREITA(std::string_view text, int width = 80);
// DIV: a / b rounded to `scale` decimals, or 0 when b is 0 (printouts).
Decimal DIV(const Decimal& a, const Decimal& b, int scale = 10);

}  // namespace kx
