// Reorganising a folder and rebuilding every index: deleted rows packed
// away, all index files rebuilt, tables in use by another terminal left
// alone and named, and the full rebuild refused while another terminal runs.
#include <gtest/gtest.h>

#include "platform/cp850.h"
#include "platform/files.h"
#include "store/folders.h"
#include "store/lock_waits.h"
#include "store/opening.h"
#include "store/reorg.h"
#include "store/terminal_rows.h"
#include "store_fixture.h"

namespace kx {
namespace {

using testing::StoreFixture;

// Rows into table `n` (opened through the catalogue); the CPFs starting
// with '9' are deleted.
void add_rows(StoreFixture& f, int n, std::initializer_list<const char*> keys, std::string_view field = "CPF") {
  ASSERT_TRUE(abertura(f.s(), n));
  Area* a = f.areas().area(n);
  for (const char* k : keys) {
    ASSERT_TRUE(add_rec_in(f.s(), a, 5));
    ASSERT_TRUE(a->replace(field, Value(k)).ok());
    if (k[0] == '9') {
      ASSERT_TRUE(a->delete_record().ok());
    }
    ASSERT_TRUE(a->unlock().ok());
  }
  ASSERT_TRUE(f.areas().close(n).ok());
}

std::uint32_t count_of(StoreFixture& f, int n) {
  EXPECT_TRUE(abertura(f.s(), n));
  Area* a = f.areas().area(n);
  return a ? a->reccount() : 0;
}

TEST(Reorg, AFolderIsPackedAndAllItsIndexesRebuilt) {
  StoreFixture f;
  add_rows(f, 9, {"11111111111", "99999999999", "22222222222"});
  add_rows(f, 3, {"99999999998", "33333333333"});
  ASSERT_TRUE(reorg(f.s(), f.dir.file("data"), ReorgMode::OneFolder));
  for (const char* name : {"IMP0913.CDX", "IMP0913B.CDX", "IMP0913C.CDX", "IMP0313.CDX", "IMP2013.CDX"})
    EXPECT_TRUE(f.dir.has(std::string("data/") + name)) << name;
  EXPECT_EQ(count_of(f, 9), 2u);
  EXPECT_EQ(count_of(f, 3), 1u);
  Area* a = f.areas().area(9);
  ASSERT_TRUE(a->seek(Value("22222222222")).ok());
  EXPECT_TRUE(a->found());
  // The name index was rebuilt with the pack: it holds the two live rows.
  ASSERT_TRUE(a->set_order(2).ok());
  int rows = 0;
  for (Status st = a->go_top(); st.ok() && !a->eof(); st = a->skip()) ++rows;
  EXPECT_EQ(rows, 2);
}

TEST(Reorg, ATableInUseElsewhereIsNamedAndItsIndexesAreLeftAlone) {
  StoreFixture f;
  add_rows(f, 9, {"11111111111"});
  add_rows(f, 3, {"33333333333"});
  add_rows(f, 4, {"44444444444"});
  auto held9 = Table::open(f.os, f.data("IMP0913.DBF"), Share::Shared);
  ASSERT_TRUE(held9.ok());
  const auto index9 = f.os.stat(f.data("IMP0913.CDX"));
  // Table 9 in use: skipped, the walk goes on.
  EXPECT_TRUE(reorg(f.s(), f.dir.file("data"), ReorgMode::OneFolder));
  EXPECT_TRUE(f.notices().saw("message", "IMP0913 em uso por outro terminal: não reorganizado"_cp));
  EXPECT_EQ(f.os.stat(f.data("IMP0913.CDX"))->inode, index9->inode);
  // Another table in use: the reorganisation stops there and fails.
  auto held3 = Table::open(f.os, f.data("IMP0313.DBF"), Share::Shared);
  ASSERT_TRUE(held3.ok());
  const auto index3 = f.os.stat(f.data("IMP0313.CDX"));
  const auto index4 = f.os.stat(f.data("IMP0413.CDX"));
  EXPECT_FALSE(reorg(f.s(), f.dir.file("data"), ReorgMode::OneFolder));
  EXPECT_EQ(f.os.stat(f.data("IMP0313.CDX"))->inode, index3->inode);
  EXPECT_EQ(f.os.stat(f.data("IMP0413.CDX"))->inode, index4->inode);
}

TEST(Reorg, TheProgramFolderTablesArePackedPastMissingFilesInAnyCase) {
  StoreFixture f;
  f.s().vars().set("LOCARQ", f.dir.file("prog") + "/");
  ASSERT_TRUE(open_everything(f.s()));
  add_rows(f, 53, {"Fulano", "9 apagado", "Beltrano"}, "NOME");
  add_rows(f, 54, {"9"}, "DESCRI");
  ASSERT_TRUE(f.dir.has("prog/LisErro.DBF"));
  f.areas().close_all();
  ASSERT_TRUE(reorg(f.s(), f.dir.file("prog"), ReorgMode::OneFolder));
  EXPECT_TRUE(f.dir.has("prog/AUXPAG.CDX"));
  EXPECT_EQ(count_of(f, 53), 2u);
  EXPECT_EQ(count_of(f, 54), 0u);  // LisErro, found as LISERRO
  EXPECT_TRUE(f.notices().saw("kept", "Reorganizando LISERRO"));
  EXPECT_TRUE(f.notices().saw("kept", "Reorganizando AUXBENS"));  // after the missing HELPTXT
  EXPECT_FALSE(f.notices().saw("kept", "Reorganizando BOLETO"));  // never created: passed over
  EXPECT_NE(f.areas().area(50), nullptr);  // the open-everything step ran again
}

TEST(Reindex, RefusedWhileAnotherTerminalRunsAndOtherwiseRebuildsEverything) {
  StoreFixture f;
  ASSERT_TRUE(open_everything(f.s()));
  ASSERT_TRUE(add_folder(f.s(), f.dir.file("data")));
  add_rows(f, 9, {"11111111111", "99999999999"});
  ASSERT_TRUE(open_folder_list(f.s()));
  f.dir.put("work/TMP_0103.DBF", "x");
  f.dir.put("work/tmp_0902.dbf", "x");

  // "Não" ends it at once.
  f.notices().answers = {false};
  EXPECT_FALSE(reindexa(f.s()));
  EXPECT_TRUE(f.dir.has("work/TMP_0103.DBF"));

  // Terminal 02 is running: it holds its folder list.
  StoreFixture other_terminal;
  other_terminal.set_terminal("02");
  other_terminal.session->vars().set("ARQDEF", f.dir.file("prog") + "/");
  ASSERT_TRUE(open_folder_list(other_terminal.s()));
  EXPECT_EQ(running_terminals(f.s()), (std::vector<std::string>{"02"}));
  EXPECT_FALSE(reindexa(f.s()));
  EXPECT_TRUE(f.notices().saw(
      "message", "Terminal 02 ainda usa o programa. Saia do programa em todos os terminais."_cp));
  EXPECT_TRUE(f.dir.has("work/TMP_0103.DBF"));
  EXPECT_TRUE(f.dir.has("prog/AUXPAG.CDX"));

  // Terminal 02 has left.
  other_terminal.areas().close_all();
  EXPECT_TRUE(running_terminals(f.s()).empty());
  f.notices().log.clear();
  ASSERT_TRUE(reindexa(f.s()));
  EXPECT_FALSE(f.dir.has("work/TMP_0103.DBF"));
  EXPECT_FALSE(f.dir.has("work/tmp_0902.dbf"));
  EXPECT_TRUE(f.dir.has("prog/AUXPAG.CDX"));
  EXPECT_TRUE(f.dir.has("prog/DIRET03.CDX"));
  EXPECT_EQ(count_of(f, 9), 1u);
  EXPECT_FALSE(f.s().vars().l("MOS_MENS"));
}

}  // namespace
}  // namespace kx
