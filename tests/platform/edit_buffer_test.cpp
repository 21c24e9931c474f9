#include "platform/edit_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cp850.h"
#include "platform/keys.h"

namespace kx {
namespace {

using namespace kx::literals;

Decimal D(std::string_view text) { return Decimal::parse(text).value(); }

// Types each character of `chars`; returns the results in order.
std::vector<KeyResult> type(EditBuffer& b, std::string_view chars) {
  std::vector<KeyResult> out;
  for (char c : chars) out.push_back(b.key(static_cast<unsigned char>(c)));
  return out;
}

KeyResult last(EditBuffer& b, std::string_view chars) { return type(b, chars).back(); }

TEST(EditBufferText, CpfSkipsLiteralsAndLeavesOnTheLastDigit) {
  EditBuffer b(Value(std::string(11, ' ')), "@R 999.999.999-99");
  EXPECT_EQ(b.text(), "   .   .   -  ");
  EXPECT_FALSE(b.editable(3));
  EXPECT_TRUE(b.editable(4));
  const auto results = type(b, "111");
  EXPECT_EQ(b.cursor(), 4);  // jumped over the dot
  EXPECT_EQ(b.key('x'), KeyResult::Refused);
  const auto rest = type(b, "44477735");
  for (std::size_t i = 0; i + 1 < rest.size(); ++i) EXPECT_EQ(rest[i], KeyResult::Taken) << i;
  EXPECT_EQ(rest.back(), KeyResult::Filled);
  EXPECT_EQ(b.text(), "111.444.777-35");
  EXPECT_EQ(b.cursor(), 13);
  EXPECT_EQ(b.value().value, Value("11144477735"));
  EXPECT_TRUE(b.changed());
}

TEST(EditBufferText, ClearFirstOnlyWhenTheFirstKeyTypes) {
  EditBuffer k(Value("abcdef"), "@K ");
  EXPECT_EQ(k.key('x'), KeyResult::Taken);
  EXPECT_EQ(k.text(), "x     ");

  EditBuffer moved(Value("abcdef"), "@K");
  moved.key(key::Right);
  moved.key('x');
  EXPECT_EQ(moved.text(), "axcdef");

  EditBuffer plain(Value("abcdef"), "");
  plain.key('x');
  EXPECT_EQ(plain.text(), "xbcdef");

  EditBuffer refused(Value("1234"), "@K 9999");  // a refused first key clears nothing
  EXPECT_EQ(refused.key('a'), KeyResult::Refused);
  EXPECT_EQ(refused.text(), "1234");
  EXPECT_FALSE(refused.changed());
}

TEST(EditBufferText, InsertAndOverwrite) {
  EditBuffer b(Value("abcdef"), "");
  EXPECT_FALSE(b.insert_mode());
  b.key(key::Ins);
  EXPECT_TRUE(b.insert_mode());
  b.key('X');
  EXPECT_EQ(b.text(), "Xabcde");  // the last character falls off
  b.key(key::Ins);
  b.key('Y');
  EXPECT_EQ(b.text(), "XYbcde");

  // Inserting must not push a letter into a digit position.
  EditBuffer mixed(Value("ab12"), "@r xx99");
  mixed.set_insert_mode(true);
  EXPECT_EQ(mixed.key('c'), KeyResult::Refused);
  EXPECT_EQ(mixed.text(), "ab12");
  mixed.key(key::End);  // after the last typed character: stays on the last position
  EXPECT_EQ(mixed.cursor(), 3);
  mixed.key(key::Left);
  EXPECT_EQ(mixed.key('9'), KeyResult::Taken);
  EXPECT_EQ(mixed.text(), "ab91");
}

TEST(EditBufferText, DeleteBackspaceAndClearToEnd) {
  EditBuffer cpf(Value("11144477735"), "@R 999.999.999-99");
  cpf.key(key::Right), cpf.key(key::Right), cpf.key(key::Right);  // onto the first digit after the dot
  EXPECT_EQ(cpf.cursor(), 4);
  cpf.key(key::Del);
  EXPECT_EQ(cpf.text(), "111.447.773-5 ");
  cpf.key(key::Backspace);
  EXPECT_EQ(cpf.cursor(), 2);
  EXPECT_EQ(cpf.text(), "114.477.735-  ");
  cpf.key(key::CtrlY);
  EXPECT_EQ(cpf.text(), "11 .   .   -  ");
  EXPECT_EQ(cpf.value().value, Value("11         "));
  cpf.key(key::Home);
  EXPECT_EQ(cpf.key(key::Backspace), KeyResult::Taken);  // nothing left of the first position
  EXPECT_EQ(cpf.text(), "11 .   .   -  ");
}

TEST(EditBufferText, UpperCaseAndTemplateSlots) {
  EditBuffer b(Value("    "), "@!");
  type(b, "ção"_cp);
  EXPECT_EQ(b.text(), std::string("ÇÃO "_cp));

  EditBuffer agency(Value("      "), "@r !!!!!-!");
  EXPECT_EQ(last(agency, "1234ax"), KeyResult::Filled);
  EXPECT_EQ(agency.text(), "1234A-X");
  EXPECT_EQ(agency.value().value, Value("1234AX"));

  EditBuffer letters(Value("  "), "AN");
  EXPECT_EQ(letters.key('1'), KeyResult::Refused);
  EXPECT_EQ(letters.key('b'), KeyResult::Taken);
  EXPECT_EQ(letters.key('1'), KeyResult::Filled);
}

TEST(EditBufferText, TextBeyondTheTemplateIsKept) {
  EditBuffer b(Value("123456"), "@R 99-99");
  EXPECT_EQ(b.text(), "12-34");
  type(b, "98");
  EXPECT_EQ(b.value().value, Value("983456"));
  // Without @R the literal takes the place of a character.
  EditBuffer laid(Value("12345"), "99-99");
  EXPECT_EQ(laid.text(), "12-45");
  EXPECT_EQ(laid.value().value, Value("12-45"));
  EXPECT_EQ(EditBuffer(Value(std::string("memo"), Type::M), "@!").value().value,
            Value(std::string("MEMO"), Type::M));
}

TEST(EditBufferText, ScrollWindowFollowsTheCursor) {
  EditBuffer b(Value("abcdefghij"), "@S5");
  EXPECT_EQ(b.window_width(), 5);
  EXPECT_EQ(b.visible_text(), "abcde");
  for (int i = 0; i < 6; ++i) b.key(key::Right);
  EXPECT_EQ(b.cursor(), 6);
  EXPECT_EQ(b.visible_text(), "cdefg");
  EXPECT_EQ(b.visible_cursor(), 4);
  for (int i = 0; i < 4; ++i) b.key(key::Left);
  EXPECT_EQ(b.visible_text(), "cdefg");  // still visible: no scroll
  EXPECT_EQ(b.visible_cursor(), 0);
  b.key(key::Left);
  EXPECT_EQ(b.visible_text(), "bcdef");
  b.key(key::Home);
  EXPECT_EQ(b.visible_text(), "abcde");
  EXPECT_EQ(b.visible_cursor(), 0);

  EditBuffer upper(Value(std::string(60, 'a')), "@!s54");
  EXPECT_EQ(upper.visible_text(), std::string(54, 'A'));
  EXPECT_EQ(upper.text(), std::string(60, 'A'));
  EditBuffer wide(Value("abc"), "@S40");
  EXPECT_EQ(wide.window_width(), 3);
}

TEST(EditBufferText, NonEditingKeysAreLeftToTheCaller) {
  EditBuffer b(Value("ab"), "");
  for (int k : {key::Enter, key::Esc, key::Tab, key::Up, key::PgDn, key::F2, key::AltA, 127})
    EXPECT_EQ(b.key(k), KeyResult::Ignored) << key::key_name(k);
  EditBuffer empty(Value(""), "");
  EXPECT_EQ(empty.key('a'), KeyResult::Refused);
}

TEST(EditBufferNumber, TypedFromTheRight) {
  struct Case {
    std::string_view picture, start, keys, shown, value;
    KeyResult last;
  };
  const Case cases[] = {
      {"@Ez 999,999,999.99", "0", "1234,5", "      1.234,50", "1234.50", KeyResult::Taken},
      {"@Ez 999,999,999.99", "0", "1234.56", "      1.234,56", "1234.56", KeyResult::Filled},
      {"@Ez 999,999,999.99", "987.65", "7", "          7,00", "7.00", KeyResult::Taken},  // replaces
      {"@Ez 999,999,999.99", "987.65", ",5", "          0,50", "0.50", KeyResult::Taken},
      {"@Ez 999,999,999.99", "5", "-", "         -5,00", "-5", KeyResult::Taken},
      {"@Ez 999,999,999.99", "5", "-3", "         -3,00", "-3", KeyResult::Taken},  // sign kept
      {"@Ez 999,999,999.99", "0", "12-", "        -12,00", "-12", KeyResult::Taken},
      {"@Ez 999,999,999.99", "0", "12--", "         12,00", "12", KeyResult::Taken},
      {"@Ez 999,999,999.99", "0", "1,234", "          1,23", "1.23", KeyResult::Refused},
      {"@Ez 999,999,999.99", "0", "12a", "         12,00", "12", KeyResult::Refused},
      {"@Ez 999,999,999.99", "0", "1234567890", "123.456.789,00", "123456789", KeyResult::Refused},
      {"@Z 99", "5", "7", " 7", "7", KeyResult::Taken},
      {"@Z 99", "5", "73", "73", "73", KeyResult::Filled},
      {"@Z 99", "5", "73-", "73", "73", KeyResult::Refused},  // no room for the sign
      {"@z 99", "0", "05", " 5", "5", KeyResult::Filled},
      {"@Z 9", "0", "3", "3", "3", KeyResult::Filled},
      {"@Z 9", "0", ",", " ", "0", KeyResult::Refused},  // no decimals
      {"9999", "2012", "2013", "2013", "2013", KeyResult::Filled},
      {"@Z 99.999999", "0", "1.5", " 1.500000", "1.5", KeyResult::Taken},
  };
  for (const auto& c : cases) {
    EditBuffer b(Value(D(c.start)), c.picture);
    const KeyResult r = last(b, c.keys);
    const std::string at = std::string(c.picture) + " from " + std::string(c.start) + " typing " + std::string(c.keys);
    EXPECT_EQ(r, c.last) << at;
    EXPECT_EQ(b.text(), c.shown) << at;
    ASSERT_TRUE(b.value().ok()) << at;
    EXPECT_EQ(b.value().value->number(), D(c.value)) << at;
  }
}

TEST(EditBufferNumber, ValueHasThePictureDecimals) {
  EditBuffer b(Value(0), "@Ez 999,999,999.99");
  type(b, "1234,5");
  EXPECT_EQ(b.value().value->number().scale(), 2);
  EXPECT_EQ(b.value().value->number().to_string(), "1234.50");
  EditBuffer field(Value(D("1.5")), "", NumberShape{12, 2});
  EXPECT_EQ(field.text(), "        1.50");
  type(field, "42");
  EXPECT_EQ(field.value().value->number().to_string(), "42.00");
}

TEST(EditBufferNumber, BlankZeroShowsOnceTypingStarts) {
  EditBuffer b(Value(0), "@Ez 999,999,999.99");
  EXPECT_EQ(b.text(), std::string(14, ' '));
  b.key('0');
  EXPECT_EQ(b.text(), "          0,00");
  EXPECT_EQ(b.cursor(), 10);  // the units position, left of the point
  b.key(',');
  EXPECT_EQ(b.cursor(), 12);
}

TEST(EditBufferNumber, BackspaceRemovesTheLastDigit) {
  EditBuffer b(Value(D("1234.56")), "@Ez 999,999,999.99");
  const std::string_view steps[] = {"      1.234,50", "      1.234,00", "        123,00", "         12,00",
                                    "          1,00", "          0,00", "          0,00"};
  for (auto want : steps) {
    EXPECT_EQ(b.key(key::Backspace), KeyResult::Taken);
    EXPECT_EQ(b.text(), want);
  }
  type(b, "98");
  EXPECT_EQ(b.text(), "         98,00");  // after Backspace typing continues, nothing is replaced

  EditBuffer neg(Value(D("-7")), "999");
  neg.key(key::Backspace);
  EXPECT_EQ(neg.text(), " -0");
  neg.key(key::Backspace);
  EXPECT_EQ(neg.text(), "  0");
  EditBuffer cleared(Value(D("-7.25")), "@E 999.99");
  cleared.key(key::CtrlY);
  EXPECT_EQ(cleared.text(), "  0,00");
}

TEST(EditBufferDate, TypedAsDigitsAndValidated) {
  EditBuffer b(Value(Date::empty()), "@D");
  EXPECT_EQ(b.text(), "  /  /    ");
  EXPECT_TRUE(b.value().ok());
  EXPECT_EQ(b.value().value, Value(Date::empty()));
  EXPECT_EQ(b.key('a'), KeyResult::Refused);
  EXPECT_EQ(last(b, "3104201"), KeyResult::Taken);
  EXPECT_EQ(b.cursor(), 9);
  EXPECT_EQ(b.key('3'), KeyResult::Filled);
  EXPECT_EQ(b.text(), "31/04/2013");
  EXPECT_FALSE(b.value().ok());
  EXPECT_EQ(b.value().error, std::string("Data inválida"_cp));

  // Correcting the day in place (insert mode does not shift a date).
  b.set_insert_mode(true);
  b.key(key::Home);
  type(b, "30");
  EXPECT_EQ(b.text(), "30/04/2013");
  EXPECT_EQ(b.value().value, Value(Date::from_ymd(2013, 4, 30).value()));
  b.key(key::Home);
  b.key(key::Del);
  EXPECT_EQ(b.text(), " 0/04/2013");
  EXPECT_FALSE(b.value().ok());  // day 0
  b.key(key::CtrlY);
  EXPECT_EQ(b.text(), "  /  /    ");
  EXPECT_TRUE(b.value().ok());
}

TEST(EditBufferLogical, TakesYesAndNoLetters) {
  struct Case {
    std::string_view picture;
    bool start;
    char typed;
    KeyResult result;
    std::string_view shown;
    bool value;
  };
  const Case cases[] = {
      {"", false, 't', KeyResult::Filled, "T", true},  {"", true, 'n', KeyResult::Filled, "F", false},
      {"Y", false, 's', KeyResult::Filled, "Y", true}, {"Y", true, 'F', KeyResult::Filled, "N", false},
      {"", true, 'x', KeyResult::Refused, "T", true},  {"Y", false, '1', KeyResult::Refused, "N", false},
  };
  for (const auto& c : cases) {
    EditBuffer b(Value(c.start), c.picture);
    EXPECT_EQ(b.key(static_cast<unsigned char>(c.typed)), c.result) << c.picture << " " << c.typed;
    EXPECT_EQ(b.text(), c.shown) << c.picture << " " << c.typed;
    EXPECT_EQ(b.value().value, Value(c.value)) << c.picture << " " << c.typed;
  }
}

}  // namespace
}  // namespace kx
