// Opening by number: creation of missing tables and indexes, packing when a
// table's own index is gone, reference tables that are missing, the default
// record of DEFINE and the alias of an opening.
#include <gtest/gtest.h>

#include "platform/cp850.h"
#include "platform/files.h"
#include "store/catalog_fields.h"
#include "store/lock_waits.h"
#include "store/opening.h"
#include "store_fixture.h"

namespace kx {
namespace {

using testing::StoreFixture;

std::vector<std::string> field_names(Os& os, const std::string& path) {
  std::vector<std::string> out;
  auto t = Table::open(os, path, Share::Shared);
  EXPECT_TRUE(t.ok()) << path << ": " << t.status();
  if (t.ok())
    for (const auto& f : (*t)->fields()) out.push_back(f.name);
  return out;
}

TEST(Opening, ANewFolderGetsItsTwentyTablesInTheDeclaredFieldOrder) {
  StoreFixture f;
  for (int n = 1; n <= 20; ++n) {
    ASSERT_TRUE(abertura(f.s(), n)) << n;
    EXPECT_TRUE(f.notices().saw("kept", "Criando IMP" + nn(n) + ".DBF")) << n;
  }
  for (int n = 1; n <= 20; ++n) {
    const auto names = field_names(f.os, f.data(declaration_base(n) + ".DBF"));
    std::vector<std::string> declared;
    for (const auto& fd : table_decl(n)->fields) declared.push_back(fd.name);
    EXPECT_EQ(names, declared) << "table " << n;
  }
  const auto t1 = field_names(f.os, f.data("IMP0113.DBF"));
  ASSERT_GE(t1.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(t1.begin(), t1.begin() + 4),
            (std::vector<std::string>{"CPF", "I3_01", "I4_01", "I3_02"}));
  const auto t12 = field_names(f.os, f.data("IMP1213.DBF"));
  EXPECT_EQ(t12.size(), 93u);
  EXPECT_EQ(t12.back(), "I2_713");
  const auto t2 = field_names(f.os, f.data("IMP0213.DBF"));
  ASSERT_EQ(t2.size(), 68u);
  EXPECT_EQ(t2[31], "NEW1");
  EXPECT_EQ(t2[32], "I1_401");
  EXPECT_EQ(t2.back(), "I1_612");
  EXPECT_EQ(field_names(f.os, f.data("IMP0713.DBF")).size(), 128u);
  EXPECT_EQ(field_names(f.os, f.data("IMP0713.DBF")).back(), "IMP_LEI12");
}

TEST(Opening, TheWorkCopyOfTableNineOnTerminalSevenHasItsNinetyNineFields) {
  StoreFixture f(posix_os(), "07");
  EXPECT_EQ(table_base_path(f.s(), 29), f.dir.file("work/TMP_0907"));
  ASSERT_TRUE(cria(f.s(), 29, table_base_path(f.s(), 29)));
  EXPECT_TRUE(f.notices().saw("kept", "Criando IMP09.DBF"));
  auto names = field_names(f.os, f.dir.file("work/TMP_0907.DBF"));
  EXPECT_EQ(names.size(), 99u);
  ASSERT_TRUE(abertura(f.s(), 9));
  EXPECT_EQ(names, field_names(f.os, f.data("IMP0913.DBF")));
}

TEST(Opening, TableNineOpenedTwiceCreatesNothingTheSecondTime) {
  StoreFixture f;
  ASSERT_TRUE(abertura(f.s(), 9));
  for (const char* name : {"IMP0913.DBF", "IMP0913.CDX", "IMP0913B.CDX", "IMP0913C.CDX"})
    EXPECT_TRUE(f.dir.has(std::string("data/") + name)) << name;
  Area* a = f.areas().area(9);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->alias(), "IMP0913");
  EXPECT_EQ(a->order_count(), 3u);
  EXPECT_EQ(a->order(), 1u);
  auto before = f.os.stat(f.data("IMP0913B.CDX"));
  f.notices().log.clear();
  ASSERT_TRUE(abertura(f.s(), 9));
  EXPECT_TRUE(f.notices().log.empty()) << f.notices().log.front().text;
  auto after = f.os.stat(f.data("IMP0913B.CDX"));
  EXPECT_EQ(before->inode, after->inode);
}

TEST(Opening, AMissingOwnIndexPacksTheTableAndRebuildsEveryIndexOfIt) {
  StoreFixture f;
  ASSERT_TRUE(abertura(f.s(), 4));
  Area* a = f.areas().area(4);
  struct Row { const char* cpf; int line; bool drop; } rows[] = {
      {"22222222222", 20, false}, {"11111111111", 10, true}, {"11111111111", 30, false}};
  for (const Row& r : rows) {
    ASSERT_TRUE(add_rec_in(f.s(), a, 5));
    ASSERT_TRUE(a->replace({{"CPF", Value(r.cpf)}, {"I7_0", Value(r.line)}}).ok());
    if (r.drop) { ASSERT_TRUE(a->delete_record().ok()); }
    ASSERT_TRUE(a->unlock().ok());
  }
  ASSERT_TRUE(f.areas().close(4).ok());
  ASSERT_TRUE(delete_file(f.os, f.data("IMP0413.CDX")).ok());
  ASSERT_TRUE(abertura(f.s(), 4));
  a = f.areas().area(4);
  EXPECT_TRUE(f.dir.has("data/IMP0413.CDX"));
  EXPECT_EQ(a->reccount(), 2u);  // the deleted row is gone
  EXPECT_EQ(a->order_text(1), "CPF+STR(I7_0,4)");
  ASSERT_TRUE(a->seek(Value("11111111111  30")).ok());
  EXPECT_TRUE(a->found());

  // Table 9: the pack goes with a rebuild of the B and C index files too.
  ASSERT_TRUE(abertura(f.s(), 9));
  a = f.areas().area(9);
  for (const char* cpf : {"33333333333", "44444444444"}) {
    ASSERT_TRUE(add_rec_in(f.s(), a, 5));
    ASSERT_TRUE(a->replace({{"CPF", Value(cpf)}, {"NOMECONTR", Value(std::string("Nome ") + cpf)}}).ok());
    if (cpf[0] == '3') { ASSERT_TRUE(a->delete_record().ok()); }
    ASSERT_TRUE(a->unlock().ok());
  }
  ASSERT_TRUE(f.areas().close(9).ok());
  ASSERT_TRUE(delete_file(f.os, f.data("IMP0913.CDX")).ok());
  ASSERT_TRUE(abertura(f.s(), 9));
  a = f.areas().area(9);
  EXPECT_EQ(a->reccount(), 1u);
  ASSERT_TRUE(a->set_order(2).ok());
  ASSERT_TRUE(a->seek(Value("NOME 44444444444")).ok());
  EXPECT_TRUE(a->found());
  EXPECT_EQ(a->recno(), 1u);
}

TEST(Opening, ATableCreatedOverLeftoverIndexFilesGetsThemRebuilt) {
  StoreFixture f;
  ASSERT_TRUE(abertura(f.s(), 9));
  Area* a = f.areas().area(9);
  ASSERT_TRUE(add_rec_in(f.s(), a, 5));
  ASSERT_TRUE(a->replace("CPF", Value("55555555555")).ok());
  ASSERT_TRUE(a->unlock().ok());
  ASSERT_TRUE(f.areas().close(9).ok());
  ASSERT_TRUE(delete_file(f.os, f.data("IMP0913.DBF")).ok());
  ASSERT_TRUE(abertura(f.s(), 9));
  a = f.areas().area(9);
  EXPECT_EQ(a->reccount(), 0u);
  for (std::size_t o = 1; o <= 3; ++o) {
    ASSERT_TRUE(a->set_order(o).ok());
    ASSERT_TRUE(a->go_top().ok());
    EXPECT_TRUE(a->eof()) << "order " << o;
  }
}

TEST(Opening, RebuildAskedForRebuildsAllIndexesWithProgressMessages) {
  StoreFixture f;
  ASSERT_TRUE(abertura(f.s(), 9));
  f.notices().log.clear();
  f.s().vars().set("REFAZ_IND", true);
  f.s().vars().set("MOS_MENS", true);
  ASSERT_TRUE(abertura(f.s(), 9));
  EXPECT_TRUE(f.notices().saw("kept", "Verificando o Arquivo IMP0913"));
  EXPECT_TRUE(f.notices().saw("kept", "Criando o indice IMP0913.CDX"));
  EXPECT_TRUE(f.notices().saw("kept", "Criando o índice IMP0913B.CDX"_cp));
  EXPECT_TRUE(f.notices().saw("kept", "Criando o índice IMP0913C.CDX"_cp));
}

TEST(Opening, AMissingReferenceTableIsNamedAndLeavesItsAreaEmpty) {
  StoreFixture f;
  EXPECT_TRUE(abertura(f.s(), 60));
  EXPECT_TRUE(f.notices().saw("message", "Arquivo TABPAIS não localizado!"_cp));
  EXPECT_EQ(f.areas().area(60), nullptr);
  EXPECT_FALSE(f.dir.has("prog/TABPAIS.DBF"));
  // Reads find nothing, locks and appends fail cleanly.
  EXPECT_FALSE(rec_lock_in(f.s(), f.areas().area(60), 1));
  EXPECT_FALSE(add_rec_in(f.s(), f.areas().area(60), 1));
  // The help texts need their memo file as well.
  f.dir.put("prog/HELPTXT.DBF", "not opened without its memo file");
  EXPECT_TRUE(abertura(f.s(), 45));
  EXPECT_TRUE(f.notices().saw("message", "Arquivo HELPTXT não localizado!"_cp));
  EXPECT_EQ(f.areas().area(45), nullptr);
}

TEST(Opening, DefineIsCreatedWithItsOneDefaultRecord) {
  StoreFixture f;
  ASSERT_TRUE(abertura(f.s(), 43));
  Area* a = f.areas().area(43);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->reccount(), 1u);
  EXPECT_EQ(a->get("VCTO1")->date(), Date::from_ymd(2013, 4, 30).value());
  EXPECT_EQ(a->get("VCTO8")->date(), Date::from_ymd(2013, 11, 29).value());
  EXPECT_EQ(a->get("VAL_DOLAR")->number(), *Decimal::parse("2.0429"));
  EXPECT_EQ(a->get("PROCESSA")->text(), "N");
  ASSERT_TRUE(abertura(f.s(), 43));
  EXPECT_EQ(f.areas().area(43)->reccount(), 1u);
}

// AUXBENS keys its C 512 description on the first 240 characters.
TEST(Opening, RememberedAssetDescriptionsAreSoughtByTheirFirst240Characters) {
  StoreFixture f;
  ASSERT_TRUE(abertura(f.s(), 52));
  Area* a = f.areas().area(52);
  EXPECT_EQ(a->order_text(1), "LEFT(DESCRICAO,240)");
  const std::string first = std::string(300, 'A') + "casa";
  const std::string second = std::string(100, 'B') + "apartamento";
  for (const auto& d : {first, second}) {
    ASSERT_TRUE(add_rec_in(f.s(), a, 5));
    ASSERT_TRUE(a->replace("DESCRICAO", Value(d)).ok());
    ASSERT_TRUE(a->unlock().ok());
  }
  ASSERT_TRUE(a->seek(Value(std::string(100, 'B') + "apart")).ok());
  EXPECT_TRUE(a->found());
  EXPECT_EQ(a->recno(), 2u);
  ASSERT_TRUE(a->seek(Value(first.substr(0, 240))).ok());
  EXPECT_TRUE(a->found());
  EXPECT_EQ(a->recno(), 1u);
}

TEST(Opening, ModesAliasesAndTheExclusiveFlag) {
  StoreFixture f;
  f.s().vars().set("APELIDO", "CONTRIB");
  ASSERT_TRUE(abertura(f.s(), 9, true));
  EXPECT_EQ(f.areas().area(9)->alias(), "CONTRIB");
  EXPECT_TRUE(f.areas().area(9)->table().exclusive());
  EXPECT_EQ(f.s().vars().c("APELIDO"), "");
  ASSERT_TRUE(abertura(f.s(), 42, true));  // not honoured by CONFIG
  EXPECT_FALSE(f.areas().area(42)->table().exclusive());
  ASSERT_TRUE(abertura(f.s(), 50));  // the folder list is always exclusive
  EXPECT_TRUE(f.areas().area(50)->table().exclusive());
  EXPECT_EQ(f.areas().area(50)->alias(), "DIRET03");

  // A table held exclusively elsewhere cannot be opened: false, no message.
  auto other = Table::open(f.os, f.data("IMP0913.DBF"), Share::Shared);
  ASSERT_FALSE(other.ok());  // we hold it exclusively
  ASSERT_TRUE(f.areas().close(9).ok());
  other = Table::open(f.os, f.data("IMP0913.DBF"), Share::Shared);
  ASSERT_TRUE(other.ok());
  f.notices().log.clear();
  EXPECT_FALSE(abertura(f.s(), 9, true));
  EXPECT_TRUE(f.notices().texts("message").empty());
  EXPECT_TRUE(abertura(f.s(), 9));

  fecha_todo(f.s());
  EXPECT_NE(f.areas().area(9), nullptr);
  EXPECT_NE(f.areas().area(50), nullptr);
}

}  // namespace
}  // namespace kx
