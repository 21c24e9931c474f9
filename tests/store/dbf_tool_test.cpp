#include "store/dbf_tool.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/cp850.h"
#include "platform/temp_dir.h"
#include "store/area.h"

namespace kx {
namespace {

struct Fixture {
  testing::TempDir dir;
  std::string path = dir.file("IMP0913.DBF");
  Fixture() {
    auto a = Area::create(posix_os(), path, {{"CPF", 'C', 11, 0}, {"NOMECONTR", 'C', 12, 0}, {"ESTATUS", 'N', 2, 0},
                                             {"NASC", 'D', 8, 0}, {"OBS", 'M', 10, 0}},
                          Share::Exclusive,
                          {{KeyExpr::field("CPF"), ""},
                           {KeyExpr::upper(KeyExpr::field("NOMECONTR")), dir.file("IMP0913B.CDX")},
                           {KeyExpr::field("ESTATUS"), dir.file("IMP0913C.CDX")}});
    EXPECT_TRUE(a.ok()) << a.status();
    EXPECT_TRUE((*a)->append_blank().ok());
    EXPECT_TRUE((*a)->replace({{"CPF", Value("11111111111")}, {"NOMECONTR", Value("José"_cp)}, {"ESTATUS", Value(3)},
                               {"NASC", Value(*Date::from_ymd(1960, 5, 1))}, {"OBS", Value("a\tb\nc", Type::M)}})
                    .ok());
    EXPECT_TRUE((*a)->append_blank().ok());
    EXPECT_TRUE((*a)->delete_record().ok());
  }
  int check(std::string* text = nullptr) {
    std::ostringstream out, err;
    const int rc = dbf_check(posix_os(), path, out, err);
    if (text) *text = out.str() + err.str();
    return rc;
  }
};

TEST(DbfTool, DumpShowsStructureAndRowsAsUtf8) {
  Fixture fx;
  std::ostringstream out, err;
  ASSERT_EQ(dbf_dump(posix_os(), fx.path, out, err), 0) << err.str();
  const std::string text = out.str();
  const std::string rows = text.substr(text.find("RECNO"));
  EXPECT_EQ(rows,
            "RECNO\tDEL\tCPF\tNOMECONTR\tESTATUS\tNASC\tOBS\n"
            "1\t\t11111111111\tJosé\t3\t19600501\ta\\tb\\nc\n"
            "2\t*\t\t\t0\t\t\n");
  EXPECT_NE(text.find("# NOMECONTR C 12\n"), std::string::npos);
  EXPECT_NE(text.find("# ESTATUS N 2,0\n"), std::string::npos);
  EXPECT_NE(text.find("version 0x83"), std::string::npos);
  std::ostringstream none, nerr;
  EXPECT_EQ(dbf_dump(posix_os(), fx.dir.file("NONE.DBF"), none, nerr), 1);
  EXPECT_NE(nerr.str().find("NONE.DBF"), std::string::npos);
}

TEST(DbfTool, CheckFindsWhatIsWrongAndNamesTheFile) {
  Fixture fx;
  std::string text;
  ASSERT_EQ(fx.check(&text), 0) << text;
  EXPECT_NE(text.find("IMP0913B.CDX, key UPPER(NOMECONTR), 2 entries, ok"), std::string::npos) << text;
  EXPECT_NE(text.find("IMP0913C.CDX, key ESTATUS"), std::string::npos) << text;
  const std::string dbf = fx.dir.get("IMP0913.DBF"), cdx = fx.dir.get("IMP0913B.CDX");
  struct Case {
    const char* what;
    std::function<void()> spoil;
    const char* finding;
  } cases[] = {
      {"header count", [&] { std::string b = dbf; b[4] = 1; fx.dir.put("IMP0913.DBF", b); }, "header counts 1"},
      {"damaged index page", [&] { std::string b = cdx; b[4096 + 20] ^= 1; fx.dir.put("IMP0913B.CDX", b); },
       "IMP0913B.CDX"},
      {"number with asterisks", [&] {
         std::string b = dbf;
         const std::size_t at = 32 * 6 + 1 + 1 + 11 + 12;
         b[at] = b[at + 1] = '*';
         fx.dir.put("IMP0913.DBF", b);
       }, "not a number"},
  };
  for (const Case& c : cases) {
    c.spoil();
    EXPECT_EQ(fx.check(&text), 1) << c.what << "\n" << text;
    EXPECT_NE(text.find(c.finding), std::string::npos) << c.what << "\n" << text;
    fx.dir.put("IMP0913.DBF", dbf);
    fx.dir.put("IMP0913B.CDX", cdx);
  }
}

}  // namespace
}  // namespace kx
