// Tables checked against independent readers and writers of the format
// (Debian's python3-dbfread and python3-dbf, run by /usr/bin/python3).
#include <gtest/gtest.h>

#include "platform/cp850.h"
#include "platform/temp_dir.h"
#include "store/area.h"

namespace kx {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Runs a Python script in the folder; its stdout (UTF-8) or a failure.
std::optional<std::string> python(const testing::TempDir& dir, const std::string& script) {
  dir.put("script.py", script);
  auto st = posix_os().run(SpawnRequest(kPython, {dir.file("script.py")}, dir.path(), dir.file("out.txt")));
  if (!st.ok() || !st->success()) {
    ADD_FAILURE() << "python failed: " << dir.get("out.txt");
    return std::nullopt;
  }
  return dir.get("out.txt");
}

bool have_module(const char* module) {
  testing::TempDir dir;
  dir.put("probe.py", std::string("import ") + module + "\n");
  auto st = posix_os().run(SpawnRequest(kPython, {dir.file("probe.py")}, dir.path(), dir.file("out.txt")));
  return st.ok() && st->success();
}

TEST(Readers, DbfreadReadsWhatWeWrite) {
  if (!have_module("dbfread")) GTEST_SKIP() << "python3-dbfread is not installed (scripts/deps.sh)";
  testing::TempDir dir;
  {
    auto a = Area::create(posix_os(), dir.file("OURS.DBF"),
                          {{"CPF", 'C', 11, 0}, {"I7_2", 'C', 512, 0}, {"VALOR", 'N', 12, 2}, {"QTD", 'N', 3, 0},
                           {"NASC", 'D', 8, 0}, {"OK", 'L', 1, 0}, {"OBS", 'M', 10, 0}},
                          Share::Exclusive, {{KeyExpr::field("CPF"), ""}});
    ASSERT_TRUE(a.ok()) << a.status();
    struct Row {
      const char* cpf;
      std::string wide;
      const char* valor;
      int qtd;
      Date nasc;
      bool ok;
      std::string obs;
    } rows[] = {
        {"12345678901", std::string("São João "_cp) + std::string(490, 'x') + "fim", "-1234.56", 7,
         *Date::from_ymd(1970, 1, 31), true, std::string("memo ção"_cp)},
        {"22222222222", "", "0", 0, Date{}, false, ""},
        {"33333333333", "apagado", "9.99", 1, *Date::from_ymd(2012, 12, 31), true, "x"},
    };
    for (const Row& r : rows) {
      ASSERT_TRUE((*a)->append_blank().ok());
      ASSERT_TRUE((*a)->replace({{"CPF", Value(r.cpf)}, {"I7_2", Value(r.wide)}, {"VALOR", Value(*Decimal::parse(r.valor))},
                                 {"QTD", Value(r.qtd)}, {"NASC", Value(r.nasc)}, {"OK", Value(r.ok)},
                                 {"OBS", Value(r.obs, Type::M)}})
                      .ok());
    }
    ASSERT_TRUE((*a)->delete_record().ok());
  }
  auto out = python(dir, R"(
import dbfread
t = dbfread.DBF('OURS.DBF', encoding='cp850', char_decode_errors='strict')
dec = {f.name: f.decimal_count for f in t.fields}
print('%x' % t.header.dbversion, len(t), len(t.deleted), [ (f.name, f.type, f.length) for f in t.fields ])
for r in t:
    cells = []
    for k, v in r.items():
        if isinstance(v, float): v = ('%.' + str(dec[k]) + 'f') % v
        cells.append('%s=%s' % (k, v))
    print('|'.join(cells))
)");
  ASSERT_TRUE(out);
  const std::string want =
      "83 2 1 [('CPF', 'C', 11), ('I7_2', 'C', 512), ('VALOR', 'N', 12), ('QTD', 'N', 3), ('NASC', 'D', 8), "
      "('OK', 'L', 1), ('OBS', 'M', 10)]\n"
      "CPF=12345678901|I7_2=São João " + std::string(490, 'x') + "fim|VALOR=-1234.56|QTD=7|NASC=1970-01-31|OK=True|"
      "OBS=memo ção\n"
      "CPF=22222222222|I7_2=|VALOR=0.00|QTD=0|NASC=None|OK=False|OBS=None\n";  // no memo block: None
  EXPECT_EQ(*out, want);
}

TEST(Readers, WeReadWhatPythonDbfWritesInClipperMode) {
  if (!have_module("dbf")) GTEST_SKIP() << "python3-dbf is not installed (scripts/deps.sh)";
  testing::TempDir dir;
  ASSERT_TRUE(python(dir, R"(
import dbf, datetime
t = dbf.Table('PY.DBF', 'CPF C(11); NOME C(30); VALOR N(12,2); NASC D; OK L; OBS M', dbf_type='clp', codepage='cp850')
t.open(dbf.READ_WRITE)
t.append(('12345678901', 'São João', 1234.5, datetime.date(1970, 1, 31), True, 'linha um\r\nlinha dois'))
t.append(('22222222222', 'Ênio', -0.01, None, False, ''))
t.append(('33333333333', 'apagado', 3, datetime.date(2012, 12, 31), True, 'x' * 700))
dbf.delete(t[2])
t.close()
)"));
  auto a = Area::open(posix_os(), dir.file("PY.DBF"), Share::Shared, {{KeyExpr::upper(KeyExpr::field("NOME")), ""}});
  ASSERT_TRUE(a.ok()) << a.status();
  EXPECT_EQ((*a)->table().header().version, 0x83);
  EXPECT_EQ((*a)->reccount(), 3u);
  ASSERT_TRUE((*a)->go_to(1).ok());
  EXPECT_EQ((*a)->get("NOME")->text(), std::string("São João"_cp) + std::string(22, ' '));
  EXPECT_EQ(*(*a)->get("VALOR"), Value(Decimal::of(123450, 2)));
  EXPECT_EQ(*(*a)->get("NASC"), Value(*Date::from_ymd(1970, 1, 31)));
  EXPECT_EQ(*(*a)->get("OK"), Value(true));
  EXPECT_EQ((*a)->get("OBS")->text(), "linha um\r\nlinha dois");
  ASSERT_TRUE((*a)->go_to(2).ok());
  EXPECT_EQ(*(*a)->get("VALOR"), Value(Decimal::of(-1, 2)));
  EXPECT_EQ(*(*a)->get("NASC"), Value(Date{}));
  ASSERT_TRUE((*a)->go_to(3).ok());
  EXPECT_TRUE((*a)->deleted());
  EXPECT_EQ((*a)->get("OBS")->text(), std::string(700, 'x'));
  // In name order (CP850 bytes: "Ê" is 0xD2, after "S"), the deleted row hidden.
  std::vector<std::uint32_t> order;
  ASSERT_TRUE((*a)->go_top().ok());
  for (; !(*a)->eof(); (void)(*a)->skip()) order.push_back((*a)->recno());
  EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 2}));
}

}  // namespace
}  // namespace kx
