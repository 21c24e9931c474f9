#include "platform/picture.h"

#include <gtest/gtest.h>

#include "platform/cp850.h"

#include <string>
#include <string_view>

namespace kx {
namespace {

using namespace kx::literals;

Decimal D(std::string_view text) { return Decimal::parse(text).value(); }

TEST(Picture, FunctionsAndTemplate) {
  struct Case {
    std::string_view picture;
    std::string_view functions;  // letters set, in the order E Z R ! K B C X D
    std::optional<int> scroll;
    std::string_view mask;
  };
  const Case cases[] = {
      {"@Ez 999,999,999.99", "EZ", {}, "999,999,999.99"},
      {"@R 999.999.999-99", "R", {}, "999.999.999-99"},
      {"@r xx99-9999", "R", {}, "xx99-9999"},
      {"@!", "!", {}, ""},
      {"@!s54", "!", 54, ""},
      {"@S40", "", 40, ""},
      {"@KS", "K", 0, ""},
      {"@k ", "K", {}, ""},
      {"@ !", "", {}, "!"},
      {"@ 9999999", "", {}, "9999999"},
      {"@99", "", {}, ""},  // digits without a function letter: ignored
      {"@Z999.99", "Z", {}, "999.99"},
      {"@z999.9", "Z", {}, "999.9"},
      {"@ez 99", "EZ", {}, "99"},
      {"@ZE 999,999.9", "EZ", {}, "999,999.9"},
      {"@ez   999,999,999.99", "EZ", {}, "  999,999,999.99"},
      {"@d", "D", {}, ""},
      {"@BCX", "BCX", {}, ""},
      {"@E?Q 99", "E", {}, "99"},  // unknown letters ignored
      {"999.99", "", {}, "999.99"},
      {"", "", {}, ""},
      {"@", "", {}, ""},
  };
  for (const auto& c : cases) {
    const Picture p = Picture::parse(c.picture);
    std::string got;
    if (p.european) got += 'E';
    if (p.blank_zero) got += 'Z';
    if (p.insert) got += 'R';
    if (p.upper) got += '!';
    if (p.clear_first) got += 'K';
    if (p.left_align) got += 'B';
    if (p.credit) got += 'C';
    if (p.debit) got += 'X';
    if (p.date) got += 'D';
    EXPECT_EQ(got, c.functions) << c.picture;
    EXPECT_EQ(p.scroll, c.scroll) << c.picture;
    EXPECT_EQ(p.mask, c.mask) << c.picture;
  }
}

TEST(Picture, TemplateSlotsAccept) {
  struct Case {
    char slot;
    std::string_view accepted, refused;
  };
  const Case cases[] = {
      {'9', "0129", "a -+."},
      {'#', "09 -+", "a."},
      {'A', "aZ\x87\x80", "1 -"},  // ç Ç are letters
      {'N', "a1Z", " -"},
      {'X', "a1 -\x87", ""},
      {'!', "a1 ", ""},
      {'L', "TtFfYyNn", "Sx1"},
      {'Y', "YyNn", "TF"},
      {'-', "", "-a1"},  // a literal takes nothing
  };
  for (const auto& c : cases) {
    for (char ch : c.accepted)
      EXPECT_TRUE(mask_accepts(c.slot, static_cast<unsigned char>(ch))) << c.slot << " '" << ch << "'";
    for (char ch : c.refused)
      EXPECT_FALSE(mask_accepts(c.slot, static_cast<unsigned char>(ch))) << c.slot << " '" << ch << "'";
  }
}

TEST(TransformNumber, Table) {
  struct Case {
    std::string_view picture, value, shown;
  };
  const Case cases[] = {
      {"@Ez 999,999,999.99", "1234.5", "      1.234,50"},
      {"@Ez 999,999,999.99", "0", "              "},
      {"@Ez 999,999,999.99", "-0.004", "              "},  // rounds to zero
      {"@Ez 999,999,999.99", "999999999.99", "999.999.999,99"},
      {"@Ez 999,999,999.99", "1000000000", "**************"},
      {"@E 999,999.99", "-1234.5", " -1.234,50"},
      {"@E 999,999.99", "-123456", "**********"},  // no room for the sign
      {"@E 999,999.99", "-12345", "-12.345,00"},
      {"@E 999,999.99", "0", "      0,00"},
      {"@E 999,999.99", "0.5", "      0,50"},
      {"@E 999,999.99", "-0.5", "     -0,50"},
      {"999,999.99", "1234.5", "  1,234.50"},
      {"@Ez 99,999,999,999", "1234567", "     1.234.567"},
      {"@Ez 99,999,999,999", "1234567.5", "     1.234.568"},  // half away from zero
      {"@Ez 99,999,999,999", "-999", "          -999"},
      {"@Ez 99,999,999,999", "-1000", "        -1.000"},
      {"@Z 99", "5", " 5"},
      {"@Z 99", "0", "  "},
      {"@z 99", "-5", "-5"},
      {"99", "0", " 0"},
      {"999", "1234", "***"},
      {"999", "-12", "-12"},
      {"999", "-123", "***"},
      {"@Z999.99", "3.14159", "  3.14"},
      {"@Z999.99", "-2.675", " -2.68"},
      {"@Z999.99", "0", "      "},
      {"@ez 99", "7", " 7"},
      {"@ez 99", "0", "  "},
      {"@ez   999,999,999.99", "10", "           10,00"},  // blanks before the template are literals
      {"@Ez 9999,999.99", "1234567.8", "1234.567,80"},
      {"@ 9999999", "123", "    123"},
      {"@Z 99.999999", "1.5", " 1.500000"},
      {".99", "0.25", ".25"},
      {"@B 9999", "12", "12  "},
      {"@C 999", "12", " 12 CR"},
      {"@X 999", "-12", "-12 DB"},
      {"@X 999", "12", " 12"},
      {"$999", "12", "$ 12"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(transform(Value(D(c.value)), c.picture), c.shown) << c.picture << " of " << c.value;
}

TEST(TransformNumber, WithoutTemplateUsesShapeOrOwnWidth) {
  struct Case {
    std::string_view picture, value;
    std::optional<NumberShape> shape;
    std::string_view shown;
  };
  const Case cases[] = {
      {"", "1234.5", NumberShape{12, 2}, "     1234.50"},
      {"@E", "1234.5", NumberShape{12, 2}, "     1234,50"},
      {"@Z", "0", NumberShape{5, 0}, "     "},
      {"", "42", {}, "        42"},  // like STR: ten integer positions
      {"", "-1.25", {}, "        -1.25"},
      {"@99", "7", NumberShape{2, 0}, " 7"},  // "@99" carries no template
      {"", "123", NumberShape{2, 0}, "**"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(transform(Value(D(c.value)), c.picture, c.shape), c.shown) << c.picture << " of " << c.value;
}

TEST(TransformText, Table) {
  struct Case {
    std::string_view picture;
    std::string value, shown;
  };
  const Case cases[] = {
      {"@R 999.999.999-99", "11144477735", "111.444.777-35"},
      {"@r 999.999.999-99", "           ", "   .   .   -  "},
      {"@r 99.999.999/9999-99", "11222333000181", "11.222.333/0001-81"},
      {"@R ##:##", "0930", "09:30"},
      {"@r xx99-9999", "ab123456", "ab12-3456"},
      {"@r !!!!!-!", "1234x5", "1234X-5"},
      {"@R 999.999.999-99", "123", "123.   .   -  "},  // short value: blanks fill
      {"@R 99-99", "123456", "12-34"},                 // long value: cut to the template
      {"99-99", "123456", "12-45"},                    // without @R the literal replaces a character
      {"@ !!!!!-!", "123456", "12345- "},
      {"!!!", "abc", "ABC"},
      {"X!X", "abc", "aBc"},
      {"", "as is ", "as is "},
      {"@!", std::string("são joão"_cp), std::string("SÃO JOÃO"_cp)},
      {"@!", std::string("ação ç"_cp), std::string("AÇÃO Ç"_cp)},
      {"@S5", "abcdefgh", "abcde"},
      {"@S40", "short", "short"},
      {"@!s54", "x" + std::string(60, 'a'), "X" + std::string(53, 'A')},
      {"@KS", "keep", "keep"},
      {"@K ", "keep", "keep"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(transform(Value(c.value), c.picture), c.shown) << c.picture << " of " << c.value;
  EXPECT_EQ(transform(Value(std::string("memo"), Type::M), "@!"), "MEMO");
}

TEST(TransformDateAndLogical, Table) {
  const Date d = Date::from_ymd(2013, 4, 30).value();
  for (std::string_view pic : {"@D", "@d", "@E", "", "99/99/9999"}) {
    EXPECT_EQ(transform(Value(d), pic), "30/04/2013") << pic;
    EXPECT_EQ(transform(Value(Date::empty()), pic), "  /  /    ") << pic;
  }
  EXPECT_EQ(transform(Value(true), ""), "T");
  EXPECT_EQ(transform(Value(false), "L"), "F");
  EXPECT_EQ(transform(Value(true), "Y"), "Y");
  EXPECT_EQ(transform(Value(false), "@ y"), "N");
  EXPECT_EQ(transform(Value(true), "@!"), "T");
}

}  // namespace
}  // namespace kx
