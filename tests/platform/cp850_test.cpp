#include "platform/cp850.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kx {
namespace {

using namespace kx::literals;

// The literal is converted while compiling: these hold before any test runs.
static_assert("são joão"_cp == std::string_view("s\xC6o jo\xC6o"));
static_assert("ÇÃÕ─░"_cp == std::string_view("\x80\xC7\xE5\xC4\xB0"));
static_assert(""_cp.empty());

std::string hex(std::string_view s) {
  std::string out;
  constexpr char kDigits[] = "0123456789ABCDEF";
  for (unsigned char ch : s) {
    if (!out.empty()) out += ' ';
    out += kDigits[ch >> 4];
    out += kDigits[ch & 0xF];
  }
  return out;
}

TEST(Cp850, EveryByteSurvivesUtf8RoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const std::string utf8 = cp850::to_utf8(one);
    std::size_t i = 0;
    EXPECT_EQ(cp850::decode_utf8(utf8, i), cp850::to_unicode(static_cast<unsigned char>(b))) << "byte " << b;
    EXPECT_EQ(i, utf8.size()) << "byte " << b;
    std::size_t replaced = 99;
    EXPECT_EQ(cp850::from_utf8(utf8, '?', &replaced), one) << "byte " << b;
    EXPECT_EQ(replaced, 0u) << "byte " << b;
    all += one;
  }
  EXPECT_EQ(cp850::from_utf8(cp850::to_utf8(all)), all);
}

TEST(Cp850, KnownGlyphs) {
  struct Case {
    unsigned char byte;
    char32_t code;
    std::string_view utf8;
  };
  const Case cases[] = {
      {0xC4, 0x2500, "─"}, {0xB0, 0x2591, "░"}, {0xCD, 0x2550, "═"}, {0xDB, 0x2588, "█"},
      {0x87, 0x00E7, "ç"}, {0xC6, 0x00E3, "ã"}, {0xE4, 0x00F5, "õ"}, {0x80, 0x00C7, "Ç"},
      {0x82, 0x00E9, "é"}, {0xA7, 0x00BA, "º"}, {0xF8, 0x00B0, "°"}, {0xFF, 0x00A0, "\u00A0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cp850::to_unicode(c.byte), c.code) << "byte " << int{c.byte};
    EXPECT_EQ(cp850::to_utf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << "byte " << int{c.byte};
    EXPECT_EQ(cp850::from_unicode(c.code), c.byte) << "byte " << int{c.byte};
  }
}

TEST(Cp850, FromUtf8ReplacesWhatItCannotConvert) {
  struct Case {
    std::string_view utf8;
    std::string_view expected;  // CP850, '?' as the replacement
    std::size_t replaced;
  };
  const Case cases[] = {
      {"Ação ░", "A\x87\xC6o \xB0", 0},
      {"€ 5", "? 5", 1},                // euro: not in CP850
      {"日本", "??", 2},                 // CJK
      {"a\U0001F600b", "a?b", 1},       // four-byte sequence
      {"\x80z", "?z", 1},               // lone continuation byte
      {"a\xC3", "a?", 1},               // truncated at the end
      {"\xC3(", "?(", 1},               // lead byte without continuation
      {"\xC0\xAF", "??", 2},            // overlong '/': each byte is rejected
      {"\xE0\x80\xAF", "???", 3},       // overlong, three bytes
      {"\xED\xA0\x80", "???", 3},       // UTF-16 surrogate
      {"\xF4\x90\x80\x80", "????", 4},  // above U+10FFFF
      {"\xFF", "?", 1},
  };
  for (const auto& c : cases) {
    std::size_t replaced = 99;
    EXPECT_EQ(hex(cp850::from_utf8(c.utf8, '?', &replaced)), hex(c.expected)) << hex(c.utf8);
    EXPECT_EQ(replaced, c.replaced) << hex(c.utf8);
  }
  EXPECT_EQ(cp850::from_utf8("x€y", ' '), "x y");
}

TEST(Cp850Case, AccentedPairs) {
  struct Case {
    std::string_view lower, upper;  // one CP850 letter each
  };
  const Case cases[] = {
      {"ç"_cp, "Ç"_cp}, {"ã"_cp, "Ã"_cp}, {"õ"_cp, "Õ"_cp}, {"é"_cp, "É"_cp}, {"á"_cp, "Á"_cp},
      {"à"_cp, "À"_cp}, {"â"_cp, "Â"_cp}, {"ê"_cp, "Ê"_cp}, {"í"_cp, "Í"_cp}, {"ó"_cp, "Ó"_cp},
      {"ô"_cp, "Ô"_cp}, {"ú"_cp, "Ú"_cp}, {"ü"_cp, "Ü"_cp}, {"ñ"_cp, "Ñ"_cp}, {"è"_cp, "È"_cp},
      {"ì"_cp, "Ì"_cp}, {"ò"_cp, "Ò"_cp}, {"ù"_cp, "Ù"_cp}, {"ä"_cp, "Ä"_cp}, {"ë"_cp, "Ë"_cp},
      {"ï"_cp, "Ï"_cp}, {"ö"_cp, "Ö"_cp}, {"î"_cp, "Î"_cp}, {"û"_cp, "Û"_cp}, {"å"_cp, "Å"_cp},
      {"æ"_cp, "Æ"_cp}, {"ø"_cp, "Ø"_cp}, {"ý"_cp, "Ý"_cp}, {"þ"_cp, "Þ"_cp}, {"ð"_cp, "Ð"_cp},
  };
  for (const auto& c : cases) {
    const auto lo = static_cast<unsigned char>(c.lower[0]);
    const auto up = static_cast<unsigned char>(c.upper[0]);
    EXPECT_EQ(cp850::upper(lo), up) << cp850::to_utf8(c.lower);
    EXPECT_EQ(cp850::lower(up), lo) << cp850::to_utf8(c.lower);
    EXPECT_EQ(cp850::upper(up), up) << cp850::to_utf8(c.lower);
    EXPECT_EQ(cp850::lower(lo), lo) << cp850::to_utf8(c.lower);
    EXPECT_TRUE(cp850::is_alpha(lo) && cp850::is_alpha(up)) << cp850::to_utf8(c.lower);
  }
  EXPECT_EQ(cp850::upper("são joão, açúcar"_cp), "SÃO JOÃO, AÇÚCAR"_cp);
  EXPECT_EQ(cp850::lower("SÃO JOÃO, AÇÚCAR"_cp), "são joão, açúcar"_cp);
}

TEST(Cp850Case, AsciiAndLettersWithoutPair) {
  EXPECT_EQ(cp850::upper("abc xyz 09 @[`{"), "ABC XYZ 09 @[`{");
  EXPECT_EQ(cp850::lower("ABC XYZ 09 @[`{"), "abc xyz 09 @[`{");
  // ß, ÿ, µ and dotless ı have no partner in the code page; symbols and box
  // lines are not letters.
  for (std::string_view s : {"ß"_cp, "ÿ"_cp, "µ"_cp, "ı"_cp, "─"_cp, "°"_cp, "º"_cp, "×"_cp}) {
    const auto b = static_cast<unsigned char>(s[0]);
    EXPECT_EQ(cp850::upper(b), b) << cp850::to_utf8(s);
    EXPECT_EQ(cp850::lower(b), b) << cp850::to_utf8(s);
  }
  EXPECT_FALSE(cp850::is_alpha(static_cast<unsigned char>("─"_cp[0])));
  EXPECT_FALSE(cp850::is_alpha('1'));
}

TEST(Cp850Case, MapIsConsistentOverAllBytes) {
  // Whatever upper changes, lower brings back (and the other way round), and
  // only letters change.
  for (int i = 0; i < 256; ++i) {
    const auto b = static_cast<unsigned char>(i);
    if (cp850::upper(b) != b) {
      EXPECT_EQ(cp850::lower(cp850::upper(b)), b) << "byte " << i;
      EXPECT_TRUE(cp850::is_alpha(b)) << "byte " << i;
    }
    if (cp850::lower(b) != b) {
      EXPECT_EQ(cp850::upper(cp850::lower(b)), b) << "byte " << i;
      EXPECT_TRUE(cp850::is_alpha(b)) << "byte " << i;
    }
  }
}

}  // namespace
}  // namespace kx
