#include "store/dbf_format.h"

#include <gtest/gtest.h>

#include "platform/cp850.h"

namespace kx::dbf {
namespace {

Header sample() {
  Header h;
  h.fields = {{"cpf", 'C', 11, 0}, {"VALOR", 'N', 12, 2}, {"NASC", 'D', 0, 0},
              {"OK", 'L', 0, 0}, {"I7_2", 'C', 512, 0}, {"OBS", 'M', 0, 0}};
  EXPECT_TRUE(layout(h, "T.DBF").ok());
  return h;
}

TEST(DbfFormat, HeaderRoundTripsWithWideCharacterAndMemo) {
  Header h = sample();
  h.count = 7;
  h.updated = *Date::from_ymd(2013, 4, 30);
  EXPECT_EQ(h.version, kVersionMemo);
  EXPECT_EQ(h.record_size, 1 + 11 + 12 + 8 + 1 + 512 + 10);
  EXPECT_EQ(h.header_size, 32 + 32 * 6 + 1);
  const std::string bytes = encode_header(h);
  ASSERT_EQ(bytes.size(), h.header_size);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x83);
  EXPECT_EQ(bytes[1], 113);
  EXPECT_EQ(static_cast<unsigned char>(bytes[29]), kCodePage850);
  // I7_2 is C 512: low byte 0 in the width, high byte 2 in the decimals byte.
  EXPECT_EQ(bytes[32 + 4 * 32 + 16], 0);
  EXPECT_EQ(bytes[32 + 4 * 32 + 17], 2);
  EXPECT_EQ(bytes[h.header_size - 1], kTerminator);
  auto back = decode_header(bytes, "T.DBF");
  ASSERT_TRUE(back.ok()) << back.status();
  EXPECT_EQ(back->fields, h.fields);
  EXPECT_EQ(back->fields[0].name, "CPF");
  EXPECT_EQ(back->fields[4].width, 512);
  EXPECT_EQ(back->count, 7u);
  EXPECT_EQ(back->updated, h.updated);
}

TEST(DbfFormat, DamagedHeadersAreCorruption) {
  const std::string good = encode_header(sample());
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"short prolog", good.substr(0, 20)},
      {"bad version", std::string("\x07") + good.substr(1)},
      {"cut inside descriptors", good.substr(0, 100)},
  };
  for (const Case& c : cases) {
    auto h = decode_header(c.bytes, "X.DBF");
    ASSERT_FALSE(h.ok()) << c.what;
    EXPECT_EQ(h.status().code(), StatusCode::Corruption) << c.what;
    EXPECT_EQ(h.status().path(), "X.DBF") << c.what;
  }
}

TEST(DbfFormat, OtherVersionsAreRead) {
  for (unsigned char v : {0x03, 0x83, 0x8B, 0xF5, 0x30}) {
    Header h = sample();
    if (v == 0x30) {  // no wide characters there: the decimals byte is only decimals
      h.fields.erase(h.fields.begin() + 4);
      ASSERT_TRUE(layout(h, "X").ok());
      h.header_size = static_cast<std::uint16_t>(h.header_size + 263);
    }
    std::string bytes = encode_header(h);
    bytes[0] = static_cast<char>(v);
    EXPECT_TRUE(decode_header(bytes, "X").ok()) << int(v);
  }
}

TEST(DbfFormat, FieldsEncodeAndDecode) {
  const Header h = sample();
  struct Case {
    std::size_t field;
    Value in;
    std::string bytes;  // "" when refused
    Value out;
  } cases[] = {
      {0, Value("123"), "123        ", Value("123        ")},
      {0, Value("1234567890123"), "12345678901", Value("12345678901")},
      {1, Value(Decimal::of(12345, 3)), "       12.35", Value(Decimal::of(1235, 2))},
      {1, Value(Decimal::of(-5, 3)), "       -0.01", Value(Decimal::of(-1, 2))},
      {1, Value(Decimal::of(99999999999, 2) * Decimal(100)), "", Value()},
      {2, Value(*Date::from_ymd(2012, 12, 31)), "20121231", Value(*Date::from_ymd(2012, 12, 31))},
      {2, Value(Date{}), "        ", Value(Date{})},
      {3, Value(true), "T", Value(true)},
      {0, Value(Decimal(1)), "", Value()},
  };
  for (const Case& c : cases) {
    const FieldDef& f = h.fields[c.field];
    auto b = encode_field(f, c.in);
    if (c.bytes.empty()) {
      ASSERT_FALSE(b.ok()) << f << " " << c.in;
      EXPECT_EQ(b.status().code(), StatusCode::Invalid);
      continue;
    }
    ASSERT_TRUE(b.ok()) << f << " " << c.in << ": " << b.status();
    EXPECT_EQ(*b, c.bytes) << f;
    std::string rec = blank_record(h);
    rec.replace(f.offset, static_cast<std::size_t>(f.width), *b);
    auto v = decode_field(f, rec, "T");
    ASSERT_TRUE(v.ok());
    EXPECT_EQ(*v, c.out) << f;
  }
}

TEST(DbfFormat, AsterisksOfAnotherProgramAreCorruptionNotZero) {
  const Header h = sample();
  std::string rec = blank_record(h);
  rec.replace(h.fields[1].offset, 12, "************");
  EXPECT_EQ(decode_field(h.fields[1], rec, "T").status().code(), StatusCode::Corruption);
  rec.replace(h.fields[1].offset, 12, "            ");
  EXPECT_EQ(*decode_field(h.fields[1], rec, "T"), Value(Decimal(0)));
}

TEST(DbfFormat, LayoutRefusesBadFieldLists) {
  std::vector<std::vector<FieldDef>> bad = {
      {},
      {{"A", 'C', 0, 0}},
      {{"A", 'N', 25, 0}},
      {{"TOOLONGNAME", 'C', 1, 0}},
      {{"A", 'C', 1, 0}, {"a", 'C', 1, 0}},
      {{"A", 'X', 1, 0}},
  };
  for (auto& fields : bad) {
    Header h;
    h.fields = fields;
    EXPECT_EQ(layout(h, "T").code(), StatusCode::Invalid) << (fields.empty() ? std::string("none") : fields[0].name);
  }
}

}  // namespace
}  // namespace kx::dbf
