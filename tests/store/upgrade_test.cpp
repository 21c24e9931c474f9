// The structure upgrade: older tables rewritten with their rows, table 01's
// line 12 moved to 23, the indexes rebuilt, a table in use left alone, and
// a crash at any point leaving a table that opens and upgrades again.
#include <gtest/gtest.h>

#include "platform/fault_os.h"
#include "platform/files.h"
#include "store/catalog_fields.h"
#include "store/opening.h"
#include "store/upgrade.h"
#include "store_fixture.h"

namespace kx {
namespace {

using testing::StoreFixture;

// The fields of table n from the first one up to (not including) `marker`.
std::vector<dbf::FieldDef> older_layout(int n, std::string_view marker) {
  std::vector<dbf::FieldDef> out;
  for (const auto& fd : table_decl(n)->fields) {
    if (fd.name == marker) break;
    out.push_back(fd);
  }
  return out;
}

// An older table 02 (no NEW1 nor the monthly block) with rows, and its
// indexes as the old program left them.
void write_old_income_table(Os& os, const std::string& path, int rows) {
  auto a = Area::create(os, path, older_layout(2, "NEW1"), Share::Exclusive, {{KeyExpr::field("CPF"), ""}});
  ASSERT_TRUE(a.ok()) << a.status();
  for (int i = 0; i < rows; ++i) {
    ASSERT_TRUE((*a)->append_blank().ok());
    ASSERT_TRUE((*a)->replace({{"CPF", Value("1000000000" + std::to_string(i))},
                               {"I1_1", Value("J")},
                               {"I1_4", Value(Decimal(1000 + i))}}).ok());
  }
  ASSERT_TRUE((*a)->close().ok());
}

TEST(Upgrade, AnIncomeTableWithoutItsMarkerIsRewrittenWithItsRowsKept) {
  StoreFixture f;
  write_old_income_table(f.os, f.data("IMP0213.DBF"), 3);
  EXPECT_EQ(corrige(f.s(), 2, f.dir.file("data")), Upgrade::Upgraded);
  ASSERT_TRUE(abertura(f.s(), 2));
  Area* a = f.areas().area(2);
  EXPECT_EQ(a->table().fields().size(), 68u);
  EXPECT_EQ(a->reccount(), 3u);
  ASSERT_TRUE(a->seek(Value("10000000001")).ok());
  ASSERT_TRUE(a->found());
  EXPECT_EQ(a->get("I1_4")->number(), Decimal(1001));
  EXPECT_EQ(a->get("NEW1")->logical(), false);
  EXPECT_EQ(a->get("I1_612")->number(), Decimal(0));
  EXPECT_FALSE(f.dir.has("data/ACERTO02.DBF"));
  // Current now: nothing more to do.
  ASSERT_TRUE(f.areas().close(2).ok());
  EXPECT_EQ(corrige(f.s(), 2, f.dir.file("data")), Upgrade::Current);
}

TEST(Upgrade, TableOneMovesExemptLineTwelveIntoLineTwentyThree) {
  StoreFixture f;
  {
    auto a = Area::create(f.os, f.data("IMP0113.DBF"), older_layout(1, "NOMCOMPA"), Share::Exclusive);
    ASSERT_TRUE(a.ok());
    ASSERT_TRUE((*a)->append_blank().ok());
    ASSERT_TRUE((*a)->replace({{"CPF", Value("11111111111")}, {"I3_12", Value(Decimal(750))},
                               {"I3_01", Value(Decimal(5))}}).ok());
    ASSERT_TRUE((*a)->close().ok());
  }
  ASSERT_TRUE(correcao(f.s(), f.dir.file("data")));
  ASSERT_TRUE(abertura(f.s(), 1));
  Area* a = f.areas().area(1);
  ASSERT_TRUE(a->go_top().ok());
  EXPECT_EQ(a->get("I3_23")->number(), Decimal(750));
  EXPECT_EQ(a->get("I3_12")->number(), Decimal(0));
  EXPECT_EQ(a->get("I3_01")->number(), Decimal(5));
  EXPECT_TRUE(a->get("NOMCOMPA").ok());
}

TEST(Upgrade, ATableInUseIsLeftAloneAndItsMissingFieldsDoNotCrashReaders) {
  StoreFixture f;
  write_old_income_table(f.os, f.data("IMP0213.DBF"), 2);
  auto held = Table::open(f.os, f.data("IMP0213.DBF"), Share::Shared);
  ASSERT_TRUE(held.ok());
  EXPECT_EQ(corrige(f.s(), 2, f.dir.file("data")), Upgrade::InUse);
  ASSERT_TRUE(abertura(f.s(), 2));
  Area* a = f.areas().area(2);
  EXPECT_EQ(a->get("NEW1").status().code(), StatusCode::NotFound);
  ASSERT_TRUE(a->lock_record().ok());
  EXPECT_FALSE(a->replace("I1_401", Value(Decimal(1))).ok());
  EXPECT_TRUE(a->unlock().ok());
}

TEST(Upgrade, ACrashAtAnyPointLeavesATableThatOpensAndIsUpgradedNextTime) {
  for (std::uint64_t k = 0;; ++k) {
    SCOPED_TRACE("crash after change " + std::to_string(k));
    StoreFixture setup;
    write_old_income_table(setup.os, setup.data("IMP0213.DBF"), 4);
    bool finished = false;
    {
      FaultOs fo(posix_os());
      StoreFixture f(fo);
      f.session->vars().set("LOCARQ", setup.dir.file("data") + "/");
      fo.crash_after(k, FaultOs::CrashCount::Mutations);
      (void)corrige(f.s(), 2, setup.dir.file("data"));
      finished = !fo.crashed();
    }
    // The next start: the upgrade runs (again) and every row is there.
    StoreFixture next;
    next.session->vars().set("LOCARQ", setup.dir.file("data") + "/");
    const Upgrade u = corrige(next.s(), 2, setup.dir.file("data"));
    EXPECT_NE(u, Upgrade::Failed);
    ASSERT_TRUE(abertura(next.s(), 2));
    Area* a = next.areas().area(2);
    EXPECT_EQ(a->table().fields().size(), 68u);
    EXPECT_EQ(a->reccount(), 4u);
    int seen = 0;
    for (Status st = a->go_top(); st.ok() && !a->eof(); st = a->skip()) ++seen;
    EXPECT_EQ(seen, 4);
    ASSERT_TRUE(a->seek(Value("10000000003")).ok());
    EXPECT_TRUE(a->found());
    if (finished) {
      EXPECT_GT(k, 5u);  // the crash points did fall inside the upgrade
      break;
    }
    ASSERT_LT(k, 400u);
  }
}

}  // namespace
}  // namespace kx
