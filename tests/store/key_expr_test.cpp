#include "store/key_expr.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/cp850.h"

namespace kx {
namespace {

dbf::Header header() {
  dbf::Header h;
  h.fields = {{"CPF", 'C', 11, 0},  {"I7_0", 'N', 4, 0},      {"NOMECONTR", 'C', 10, 0},
              {"DT_LC", 'D', 8, 0}, {"ATV_BRASIL", 'C', 1, 0}, {"ESTATUS", 'N', 6, 2},
              {"OK", 'L', 1, 0}};
  EXPECT_TRUE(dbf::layout(h, "T").ok());
  return h;
}

TEST(KeyExpr, ParsesAndRendersTheCatalogueKeys) {
  struct Case {
    const char* text;
    const char* canonical;
  } cases[] = {
      {"CPF", "CPF"},
      {"cpf + str( i7_0 , 4 )", "CPF+STR(I7_0,4)"},
      {"UPPER(NOMECONTR)", "UPPER(NOMECONTR)"},
      {"CPF+ATV_BRASIL+DTOS(DT_LC)", "CPF+ATV_BRASIL+DTOS(DT_LC)"},
      {"STR(BEM_NRO,2)+STR(RVAR_NRO,2)+DAY_TRADE", "STR(BEM_NRO,2)+STR(RVAR_NRO,2)+DAY_TRADE"},
      {"STR(ESTATUS,6,2)", "STR(ESTATUS,6,2)"},
      {"MONTH(NASCIMENTO)", "MONTH(NASCIMENTO)"},
  };
  for (const Case& c : cases) {
    auto e = KeyExpr::parse(c.text);
    ASSERT_TRUE(e.ok()) << c.text;
    EXPECT_EQ(e->text(), c.canonical) << c.text;
    EXPECT_EQ(KeyExpr::parse(e->text())->text(), c.canonical) << c.text;
  }
  EXPECT_EQ((KeyExpr::field("cpf") + KeyExpr::str(KeyExpr::field("I7_0"), 4)).text(), "CPF+STR(I7_0,4)");
  for (const char* bad : {"", "CPF+", "SUBSTR(CPF,1,3)", "STR(I7_0,", "CPF)", "1+CPF", "UPPER(CPF"})
    EXPECT_FALSE(KeyExpr::parse(bad).ok()) << bad;
}

TEST(KeyExpr, BindingChecksFieldsAndTypes) {
  const dbf::Header h = header();
  for (const char* bad : {"NOPE", "UPPER(I7_0)", "STR(CPF,4)", "DTOS(CPF)", "CPF+I7_0", "STR(I7_0,0)"})
    EXPECT_EQ(BoundKey::bind(*KeyExpr::parse(bad), h).status().code(), StatusCode::Invalid) << bad;
  auto k = BoundKey::bind(*KeyExpr::parse("CPF+STR(I7_0,4)"), h);
  ASSERT_TRUE(k.ok());
  EXPECT_EQ(k->type(), 'C');
  EXPECT_EQ(k->length(), 15u);
}

std::string record(const dbf::Header& h, const char* cpf, const char* n, std::string_view name, const char* date,
                   const char* st) {
  std::string r = dbf::blank_record(h);
  auto put = [&](std::size_t f, std::string_view v) { r.replace(h.fields[f].offset, v.size(), v); };
  put(0, cpf);
  put(1, n);
  put(2, name);
  put(3, date);
  put(4, "1");
  put(5, st);
  return r;
}

TEST(KeyExpr, EvaluatesRecordsToKeyBytes) {
  const dbf::Header h = header();
  const std::string r = record(h, "12345678901", "  12", "joão"_cp, "20130105", "  1.50");
  struct Case {
    const char* expr;
    std::string key;
  } cases[] = {
      {"CPF+STR(I7_0,4)", "12345678901  12"},
      {"UPPER(NOMECONTR)", std::string("JOÃO"_cp) + "      "},
      {"CPF+ATV_BRASIL+DTOS(DT_LC)", "12345678901120130105"},
      {"DT_LC", "20130105"},
      {"STR(ESTATUS,6,2)", "  1.50"},
      {"MONTH(DT_LC)", numeric_key(Decimal(1), 0)},
      {"STR(MONTH(DT_LC),2)+CPF", " 112345678901"},
      {"STR(YEAR(DT_LC),4)+STR(DAY(DT_LC),2)", "2013 5"},
  };
  for (const Case& c : cases) {
    auto k = BoundKey::bind(*KeyExpr::parse(c.expr), h);
    ASSERT_TRUE(k.ok()) << c.expr;
    EXPECT_EQ(k->eval(r), c.key) << c.expr;
    EXPECT_EQ(k->eval(r).size(), k->length()) << c.expr;
  }
}

TEST(KeyExpr, NumericKeysSortAsNumbers) {
  std::vector<Decimal> values = {Decimal(-1000), Decimal::of(-150, 2), Decimal(-1), Decimal(0),
                                 Decimal::of(1, 2), Decimal(1), Decimal::of(150, 2), Decimal(99999)};
  std::vector<std::string> keys;
  for (const Decimal& d : values) keys.push_back(numeric_key(d, 2));
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
  const dbf::Header h = header();
  auto k = BoundKey::bind(KeyExpr::field("ESTATUS"), h);
  EXPECT_EQ(k->eval(record(h, "1", "1", "a", "", " -2.50")), numeric_key(Decimal::of(-25, 1), 2));
  EXPECT_EQ(*k->seek_bytes(Value(Decimal::of(-25, 1))), numeric_key(Decimal::of(-250, 2), 2));
  EXPECT_FALSE(k->seek_bytes(Value("x")).ok());
}

}  // namespace
}  // namespace kx
