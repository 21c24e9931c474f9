#include "store/table_ops.h"

#include <gtest/gtest.h>

#include "platform/cp850.h"
#include "platform/temp_dir.h"

namespace kx {
namespace {

struct Fixture {
  testing::TempDir dir;
  std::unique_ptr<Area> a;
  Fixture() {
    a = std::move(Area::create(posix_os(), dir.file("SRC.DBF"),
                               {{"CPF", 'C', 11, 0}, {"NOME", 'C', 20, 0}, {"VALOR", 'N', 12, 2},
                                {"NASC", 'D', 8, 0}, {"OK", 'L', 1, 0}, {"OBS", 'M', 10, 0}},
                               Share::Exclusive, {{KeyExpr::field("CPF"), ""}})
                .value());
  }
  void add(const char* cpf, std::string_view nome, const char* valor, Date nasc, bool ok) {
    ASSERT_TRUE(a->append_blank().ok());
    ASSERT_TRUE(a->replace({{"CPF", Value(cpf)}, {"NOME", Value(nome)}, {"VALOR", Value(*Decimal::parse(valor))},
                            {"NASC", Value(nasc)}, {"OK", Value(ok)}, {"OBS", Value(std::string("memo ") + cpf, Type::M)}})
                    .ok());
  }
};

TEST(TableOps, CopyRowsWithConditionAndAppendFromByFieldName) {
  Fixture fx;
  fx.add("333", "três"_cp, "3.5", *Date::from_ymd(1980, 1, 2), true);
  fx.add("111", "um", "-1", Date{}, false);
  fx.add("222", "dois", "123456.78", *Date::from_ymd(1990, 3, 4), true);
  ASSERT_TRUE(fx.a->go_to(2).ok());
  ASSERT_TRUE(fx.a->delete_record().ok());
  auto n = copy_rows(*fx.a, fx.dir.file("OUT.DBF"), [](Area& a) { return a.get("OK")->logical(); });
  ASSERT_TRUE(n.ok()) << n.status();
  EXPECT_EQ(*n, 2u);
  auto out = Area::open(posix_os(), fx.dir.file("OUT.DBF"), Share::Shared, {});
  ASSERT_TRUE(out.ok());
  EXPECT_EQ((*out)->reccount(), 2u);
  ASSERT_TRUE((*out)->go_to(1).ok());
  EXPECT_EQ((*out)->get("CPF")->text(), "222        ");  // index order of the source
  EXPECT_EQ((*out)->get("OBS")->text(), "memo 222");
  (void)(*out)->close();

  ASSERT_TRUE(fx.a->close().ok());  // APPEND FROM opens the source shared
  // A target with other types and a narrower number.
  auto dst = Area::create(posix_os(), fx.dir.file("DST.DBF"),
                          {{"VALOR", 'N', 6, 2}, {"CPF", 'N', 11, 0}, {"NASC", 'C', 8, 0}, {"EXTRA", 'C', 3, 0}},
                          Share::Shared);
  ASSERT_TRUE(dst.ok());
  auto r = append_from(**dst, fx.dir.file("SRC.DBF"));
  ASSERT_TRUE(r.ok()) << r.status();
  EXPECT_EQ(r->rows, 2u);  // the deleted row is not taken
  ASSERT_EQ(r->problems.size(), 1u);
  EXPECT_NE(r->problems[0].find("VALOR"), std::string::npos) << r->problems[0];
  ASSERT_TRUE((*dst)->go_to(1).ok());
  EXPECT_EQ(*(*dst)->get("CPF"), Value(333));
  EXPECT_EQ(*(*dst)->get("NASC"), Value("19800102"));
  EXPECT_EQ(*(*dst)->get("VALOR"), Value(Decimal::of(350, 2)));
  ASSERT_TRUE((*dst)->go_to(2).ok());
  EXPECT_EQ(*(*dst)->get("VALOR"), Value(Decimal(0)));  // did not fit: reported, left blank
}

TEST(TableOps, ScatterAndGather) {
  Fixture fx;
  fx.add("111", "um", "1", Date{}, false);
  Vars vars;
  scatter(*fx.a, vars);
  EXPECT_EQ(vars.c("NOME"), "um                  ");
  EXPECT_EQ(vars.get("OBS").type(), Type::M);
  vars.set("VALOR", Value(Decimal::of(2505, 3)));
  vars.set("NOME", Value("outro"));
  ASSERT_TRUE(gather(*fx.a, vars).ok());
  ASSERT_TRUE(fx.a->reread().ok());
  EXPECT_EQ(*fx.a->get("VALOR"), Value(Decimal::of(251, 2)));
  EXPECT_EQ(fx.a->get("NOME")->text(), "outro               ");
  ASSERT_TRUE(fx.a->go_to(9).ok());
  scatter(*fx.a, vars);
  EXPECT_EQ(vars.n("VALOR"), Decimal(0));
}

TEST(TableOps, DelimitedTextRoundTripsAndMalformedLinesChangeNothing) {
  Fixture fx;
  fx.add("111", "São Paulo"_cp, "-1.5", *Date::from_ymd(2012, 12, 31), true);
  fx.add("222", "x", "0", Date{}, false);
  ASSERT_TRUE(copy_to_delimited(*fx.a, fx.dir.file("OUT.TXT")).ok());
  EXPECT_EQ(fx.dir.get("OUT.TXT"),
            "\"111\",\"" + std::string("São Paulo"_cp) + "\",-1.50,20121231,T\r\n\"222\",\"x\",0.00,,F\r\n");
  auto n = append_from_delimited(*fx.a, fx.dir.file("OUT.TXT"));
  ASSERT_TRUE(n.ok()) << n.status();
  EXPECT_EQ(*n, 2u);
  ASSERT_TRUE(fx.a->go_to(3).ok());
  EXPECT_EQ(fx.a->get("NOME")->text(), "São Paulo           "_cp);
  EXPECT_EQ(*fx.a->get("VALOR"), Value(Decimal::of(-150, 2)));
  EXPECT_EQ(*fx.a->get("NASC"), Value(*Date::from_ymd(2012, 12, 31)));
  struct Case {
    const char* text;
    const char* where;
  } bad[] = {
      {"\"1\",\"a\",1,20120101,T\r\n\"2\",\"b\",x1,20120101,T\r\n", "line 2"},
      {"\"1\",\"a\r\n", "line 1"},
      {"\"1\",\"a\",1,20121399,T\r\n", "line 1"},
      {"\"1\",\"a\",1,20120101,T,9\r\n", "line 1"},
      {"\"1\",\"a\",1234567890123,20120101,T\r\n", "line 1"},
  };
  for (const Case& c : bad) {
    fx.dir.put("BAD.TXT", c.text);
    auto r = append_from_delimited(*fx.a, fx.dir.file("BAD.TXT"));
    ASSERT_FALSE(r.ok()) << c.text;
    EXPECT_NE(r.status().message().find(c.where), std::string::npos) << r.status();
    EXPECT_NE(r.status().message().find("BAD.TXT"), std::string::npos) << r.status();
    EXPECT_EQ(fx.a->reccount(), 4u) << c.text;
  }
}

}  // namespace
}  // namespace kx
