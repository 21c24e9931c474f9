#include "platform/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <string_view>

namespace kx {
namespace {

using namespace kx::literals;

Decimal D(std::string_view text) { return Decimal::parse(text).value(); }

TEST(TextTrim, BlanksOnly) {
  struct Case {
    std::string_view in, all, right, left;
    bool blank;
  };
  const Case cases[] = {
      {"  a b  ", "a b", "  a b", "a b  ", false},
      {"", "", "", "", true},
      {"   ", "", "", "", true},
      {"x", "x", "x", "x", false},
      {"\ta\t", "\ta\t", "\ta\t", "\ta\t", false},  // a tab is not a blank
      {" \t ", "\t", " \t", "\t ", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(trim(c.in), c.all) << '"' << c.in << '"';
    EXPECT_EQ(rtrim(c.in), c.right) << '"' << c.in << '"';
    EXPECT_EQ(ltrim(c.in), c.left) << '"' << c.in << '"';
    EXPECT_EQ(is_blank(c.in), c.blank) << '"' << c.in << '"';
  }
}

TEST(TextPad, PadsOrCutsToWidth) {
  struct Case {
    std::string_view in;
    int width;
    std::string_view r, l, c;
  };
  const Case cases[] = {
      {"ab", 5, "ab   ", "   ab", " ab  "},  // the odd blank goes right
      {"ab", 4, "ab  ", "  ab", " ab "},
      {"a", 4, "a   ", "   a", " a  "},
      {"abc", 3, "abc", "abc", "abc"},
      {"abcdef", 3, "abc", "abc", "abc"},  // all three keep the first characters
      {"", 2, "  ", "  ", "  "},
      {"ab", 0, "", "", ""},
      {"ab", -1, "", "", ""},
      {"ab", INT_MIN, "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(padr(c.in, c.width), c.r) << '"' << c.in << "\" " << c.width;
    EXPECT_EQ(padl(c.in, c.width), c.l) << '"' << c.in << "\" " << c.width;
    EXPECT_EQ(padc(c.in, c.width), c.c) << '"' << c.in << "\" " << c.width;
  }
  EXPECT_EQ(padl("7", 3, '0'), "007");
  EXPECT_EQ(padr("Total", 8, '.'), "Total...");
  EXPECT_EQ(padc("ção"_cp, 5, '-'), "-ção-"_cp);
}

TEST(TextSlice, LeftAndRightClamp) {
  struct Case {
    int n;
    std::string_view l, r;
  };
  const Case cases[] = {
      {2, "ab", "de"}, {5, "abcde", "abcde"}, {9, "abcde", "abcde"}, {0, "", ""},
      {-3, "", ""},    {INT_MAX, "abcde", "abcde"},                  {INT_MIN, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(left("abcde", c.n), c.l) << c.n;
    EXPECT_EQ(right("abcde", c.n), c.r) << c.n;
  }
  EXPECT_EQ(left("", 3), "");
  EXPECT_EQ(right("", 3), "");
}

TEST(TextSlice, SubstrPositions) {
  struct Case {
    std::string_view in;
    int start;
    std::optional<int> count;
    std::string_view expected;
  };
  const Case cases[] = {
      {"abcde", 1, 2, "ab"},
      {"abcde", 2, std::nullopt, "bcde"},
      {"abcde", 0, 2, "ab"},              // 0 acts as 1
      {"abcde", 0, std::nullopt, "abcde"},
      {"abcde", -2, std::nullopt, "de"},  // from the end
      {"abcde", -2, 1, "d"},
      {"abcde", -5, 2, "ab"},
      {"abcde", -9, 2, "ab"},             // before the beginning: from the first
      {"abcde", 5, 9, "e"},               // count cut at the end
      {"abcde", 6, std::nullopt, ""},     // past the end
      {"abcde", 2, 0, ""},
      {"abcde", 2, -1, ""},
      {"abcde", INT_MAX, 1, ""},
      {"abcde", INT_MIN, 2, "ab"},
      {"abcde", 3, INT_MAX, "cde"},
      {"", 1, 1, ""},
      {"", -1, std::nullopt, ""},
  };
  for (const auto& c : cases) {
    const std::string got = c.count ? substr(c.in, c.start, *c.count) : substr(c.in, c.start);
    EXPECT_EQ(got, c.expected) << '"' << c.in << "\" start " << c.start << " count "
                               << (c.count ? std::to_string(*c.count) : "none");
  }
}

TEST(TextSearch, AtAndRat) {
  struct Case {
    std::string_view needle, haystack;
    int first, last;
  };
  const Case cases[] = {
      {"b", "abcb", 2, 4},   {"bb", "abbb", 2, 3}, {"abc", "abc", 1, 1}, {"x", "abc", 0, 0},
      {"abc", "ab", 0, 0},   {"", "abc", 0, 0},    {"", "", 0, 0},       {"a", "", 0, 0},
      {"ã"_cp, "são joão"_cp, 2, 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(at(c.needle, c.haystack), c.first) << '"' << c.needle << "\" in \"" << c.haystack << '"';
    EXPECT_EQ(rat(c.needle, c.haystack), c.last) << '"' << c.needle << "\" in \"" << c.haystack << '"';
  }
}

TEST(TextBuild, StrtranReplicateSpace) {
  struct Case {
    std::string_view in, from, to, expected;
  };
  const Case cases[] = {
      {"123.456.789-00", ".", "", "123456789-00"},
      {"aaa", "a", "aa", "aaaaaa"},  // the replacement is not searched again
      {"aaaa", "aa", "b", "bb"},
      {"aaa", "aa", "b", "ba"},
      {"abc", "", "x", "abc"},
      {"abc", "z", "x", "abc"},
      {"", "a", "b", ""},
      {"ação"_cp, "ç"_cp, "c", "acão"_cp},
  };
  for (const auto& c : cases)
    EXPECT_EQ(strtran(c.in, c.from, c.to), c.expected) << '"' << c.in << "\" \"" << c.from << "\"";

  EXPECT_EQ(replicate("ab", 3), "ababab");
  EXPECT_EQ(replicate("─"_cp, 4), "────"_cp);
  EXPECT_EQ(replicate("ab", 0), "");
  EXPECT_EQ(replicate("ab", -2), "");
  EXPECT_EQ(replicate("", 5), "");
  EXPECT_EQ(space(3), "   ");
  EXPECT_EQ(space(0), "");
  EXPECT_EQ(space(-1), "");
}

TEST(TextStr, RoundsAlignsAndOverflows) {
  struct Case {
    std::string_view value;
    int len, dec;
    std::string_view expected;
  };
  const Case cases[] = {
      {"1234.5", 8, 2, " 1234.50"},
      {"-1234.5", 8, 2, "-1234.50"},
      {"7", 10, 0, "         7"},
      {"123.456", 8, 0, "     123"},
      {"1.5", 6, 3, " 1.500"},   // decimals added
      {"0.125", 6, 2, "  0.13"},  // ties away from zero
      {"-0.125", 6, 2, " -0.13"},
      {"2.5", 3, 0, "  3"},
      {"-2.5", 3, 0, " -3"},
      {"2.4999", 3, 0, "  2"},
      {"-0.004", 5, 2, " 0.00"},  // never "-0.00"
      {"-0.4", 2, 0, " 0"},
      {"0.5", 4, 2, "0.50"},
      {"0.5", 3, 2, ".50"},  // the zero goes only when nothing else fits
      {"-0.5", 4, 2, "-.50"},
      {"-0.5", 3, 2, "***"},
      {"12345", 5, 0, "12345"},
      {"12345", 3, 0, "***"},
      {"-1234", 4, 0, "****"},  // the sign needs its place too
      {"99.995", 6, 2, "100.00"},
      {"99.995", 5, 2, "*****"},  // rounding makes it too long
      {"1.5", 5, 4, "*****"},
      {"2.5", 3, -1, "  3"},  // negative decimals act as none
      {"12", 0, 0, ""},
      {"123456789012345678901234567890", 31, 0, " 123456789012345678901234567890"},
      {"0.000000000000000001", 22, 20, "0.00000000000000000100"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(str(D(c.value), c.len, c.dec), c.expected) << c.value << " len " << c.len << " dec " << c.dec;
  EXPECT_EQ(str(Decimal(42)), "        42");
}

TEST(TextStr, Strzero) {
  struct Case {
    std::string_view value;
    int len, dec;
    std::string_view expected;
  };
  const Case cases[] = {
      {"5", 3, 0, "005"},       {"-5", 4, 0, "-005"},     {"-5", 2, 0, "-5"},
      {"0", 3, 0, "000"},       {"12.5", 6, 2, "012.50"}, {"-0.004", 5, 2, "00.00"},
      {"123", 2, 0, "**"},      {"7", 1, 0, "7"},         {"2.5", 4, 0, "0003"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(strzero(D(c.value), c.len, c.dec), c.expected) << c.value << " len " << c.len << " dec " << c.dec;
}

TEST(TextVal, ReadsTheLeadingNumber) {
  struct Case {
    std::string_view in;
    std::string_view expected;  // value with the scale VAL gives it
  };
  const Case cases[] = {
      {"12.50", "12.50"},  // the decimals typed are kept
      {"-3", "-3"},
      {"+7", "7"},
      {"", "0"},
      {"   ", "0"},
      {"abc", "0"},
      {"  42abc", "42"},
      {"0012", "12"},
      {".5", "0.5"},
      {"-.5", "-0.5"},
      {"5.", "5"},
      {"1.2.3", "1.2"},  // one point only
      {"1,5", "1"},      // a comma ends the number
      {"3 4", "3"},
      {"1e5", "1"},
      {"- 3", "0"},      // nothing may stand between sign and digits
      {"-", "0"},
      {"\t5", "0"},      // only blanks are skipped
      {"-0.00", "0.00"},
      {"0.1234567890123456789", "0.123456789012345679"},  // beyond 18 decimals: rounded
  };
  for (const auto& c : cases) {
    const Decimal got = val(c.in);
    EXPECT_EQ(got.to_string(), c.expected) << '"' << c.in << '"';
  }
}

TEST(TextLayout, CenterAndDireita) {
  struct Case {
    std::string_view text;
    int width;
    int center, direita;
  };
  const Case cases[] = {
      {"abcd", 80, 38, 76}, {"abc", 80, 39, 77}, {"", 80, 40, 80}, {"abc", 10, 4, 7},
      {"abcd", 4, 0, 0},    {"abcdef", 4, 0, 1},  // longer than the width
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CENTER(c.text, c.width), c.center) << '"' << c.text << "\" " << c.width;
    EXPECT_EQ(DIREITA(c.text, c.width), c.direita) << '"' << c.text << "\" " << c.width;
  }
  EXPECT_EQ(CENTER("abcd"), 38);
  EXPECT_EQ(DIREITA("abcd"), 76);
}

TEST(TextLayout, Div) {
  struct Case {
    std::string_view a, b;
    int scale;
    std::string_view expected;
  };
  const Case cases[] = {
      {"10", "4", 2, "2.50"}, {"1", "3", 2, "0.33"}, {"2", "3", 2, "0.67"},
      {"-2", "3", 2, "-0.67"}, {"5", "0", 2, "0"},   {"0", "0", 2, "0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DIV(D(c.a), D(c.b), c.scale), D(c.expected)) << c.a << " / " << c.b << " scale " << c.scale;
  EXPECT_EQ(DIV(Decimal(1), Decimal(3)), D("0.3333333333"));
}

}  // namespace
}  // namespace kx
