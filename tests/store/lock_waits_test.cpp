// Waiting for locks: the half-second retries, Esc, the notices, a second
// process waiting for the table, and "seek, else append" between processes.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/cp850.h"
#include "platform/fault_os.h"
#include "store/lock_waits.h"
#include "store/opening.h"
#include "store_fixture.h"

namespace kx {
namespace {

using testing::StoreFixture;

const std::string kRecordGiveUp{"ATENÇAO! Registro não ficou disponível. Dado não será gravado."_cp};
const std::string kAppendGiveUp{"ATENÇÃO! Registro não ficou disponível. Dado não será gravado."_cp};

// Table 9 with one row, and a second descriptor (another terminal) on it.
struct Contended {
  explicit Contended(StoreFixture& f) {
    EXPECT_TRUE(abertura(f.s(), 9));
    a = f.areas().area(9);
    EXPECT_TRUE(add_rec_in(f.s(), a, 5));
    EXPECT_TRUE(a->replace("CPF", Value("12345678901")).ok());
    EXPECT_TRUE(a->unlock().ok());
    auto o = Area::open(f.os, f.data("IMP0913.DBF"), Share::Shared, {});
    EXPECT_TRUE(o.ok()) << o.status();
    other = std::move(o).value();
    EXPECT_TRUE(other->go_top().ok());
  }
  Area* a = nullptr;
  std::unique_ptr<Area> other;
};

TEST(LockWaits, RecordLockGivesUpAfterAboutTwoSecondsAndAtOnceOnEsc) {
  FaultOs fo(posix_os());
  fo.use_virtual_time();
  StoreFixture f(fo);
  Contended c(f);
  ASSERT_TRUE(c.other->lock_record().ok());
  const auto start = fo.steady_now();
  EXPECT_FALSE(rec_lock(f.s()));
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(fo.steady_now() - start);
  EXPECT_EQ(waited.count(), 2000);
  EXPECT_EQ(f.notices().texts("bottom"),
            (std::vector<std::string>{std::string("Aguardando registro ficar disponível no arquivo IMP0913"_cp),
                                      kRecordGiveUp}));

  f.notices().log.clear();
  f.notices().waits = 0;
  f.notices().escape_at_wait = 1;
  const auto esc_start = fo.steady_now();
  EXPECT_FALSE(rec_lock(f.s(), 30));
  EXPECT_EQ(fo.steady_now(), esc_start);
  EXPECT_EQ(f.notices().waits, 1);
  EXPECT_TRUE(f.notices().saw("bottom", kRecordGiveUp));

  // Free again: at once, no notice.
  ASSERT_TRUE(c.other->unlock().ok());
  f.notices().log.clear();
  EXPECT_TRUE(rec_lock(f.s()));
  EXPECT_TRUE(f.notices().log.empty());
}

TEST(LockWaits, SuccessAfterWaitingClearsTheBottomRow) {
  StoreFixture f;
  Contended c(f);
  ASSERT_TRUE(c.other->lock_table().ok());
  // The other terminal lets go during our second wait.
  struct Releasing final : Notices {
    RecordingNotices& rec;
    Area& other;
    int waits = 0;
    Releasing(RecordingNotices& r, Area& o) : rec(r), other(o) {}
    void bottom(std::string_view t) override { rec.bottom(t); }
    void kept(std::string_view t) override { rec.kept(t); }
    void close_kept() override { rec.close_kept(); }
    void message(std::string_view t) override { rec.message(t); }
    bool ask(const std::vector<std::string>& l) override { return rec.ask(l); }
    bool escape_within(std::chrono::milliseconds) override {
      if (++waits == 2) (void)other.unlock();
      return false;
    }
  };
  f.s().part<StoreNotices>().install(std::make_unique<Releasing>(f.notices(), *c.other));
  EXPECT_TRUE(fil_lock(f.s(), 0));
  EXPECT_EQ(f.notices().texts("bottom"),
            (std::vector<std::string>{std::string("Aguardando arquivo ficar disponível"_cp), ""}));
  ASSERT_TRUE(c.a->unlock().ok());

  ASSERT_TRUE(c.other->lock_table().ok());
  f.s().part<StoreNotices>().install(nullptr);
  f.notices().log.clear();
  f.notices().escape_at_wait = 3;
  EXPECT_FALSE(add_rec(f.s(), 0));
  EXPECT_EQ(f.notices().texts("bottom"),
            (std::vector<std::string>{std::string("Aguardando registro ficar disponível"_cp), kAppendGiveUp}));
  EXPECT_EQ(c.a->reccount(), 1u);
}

TEST(LockWaits, ASecondProcessWaitsForTheTableUntilTheFirstUnlocks) {
  StoreFixture f;
  Contended c(f);
  c.other.reset();
  ASSERT_TRUE(fil_lock(f.s(), 0));
  testing::Signal waiting;
  const pid_t pid = testing::run_child([&] {
    Session s2(posix_os(), f.clock);
    for (auto name : {"ARQDEF", "LOCARQ", "LOCTRAB", "NUSU"}) s2.vars().declare(name, f.s().vars().get(name));
    s2.vars().set("NUSU", "04");
    struct Telling final : Notices {
      RecordingNotices rec{posix_os()};
      testing::Signal& sig;
      explicit Telling(testing::Signal& s) : sig(s) {}
      void bottom(std::string_view t) override {
        rec.bottom(t);
        if (t == "Aguardando arquivo ficar disponível"_cp) sig.send();
      }
      void kept(std::string_view) override {}
      void close_kept() override {}
      void message(std::string_view) override {}
      bool ask(const std::vector<std::string>&) override { return true; }
      bool escape_within(std::chrono::milliseconds w) override { return rec.escape_within(w); }
    };
    auto tell = std::make_unique<Telling>(waiting);
    Telling* t = tell.get();
    s2.part<StoreNotices>().install(std::move(tell));
    if (!abertura(s2, 9)) return 2;
    if (!fil_lock(s2, 0)) return 3;
    if (t->rec.texts("bottom").back() != "") return 4;
    return 0;
  });
  waiting.receive();  // the child is waiting, showing the notice
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  ASSERT_TRUE(c.a->unlock().ok());
  EXPECT_EQ(testing::wait_child(pid), 0);
}

TEST(LockWaits, SeekElseAppendNeverCreatesTheSameKeyTwice) {
  StoreFixture f;
  ASSERT_TRUE(abertura(f.s(), 9));
  ASSERT_TRUE(f.areas().close(9).ok());
  constexpr int kProcesses = 4;
  std::vector<pid_t> pids;
  for (int p = 0; p < kProcesses; ++p)
    pids.push_back(testing::run_child([&] {
      Session s2(posix_os(), f.clock);
      for (auto name : {"ARQDEF", "LOCARQ", "LOCTRAB", "NUSU"}) s2.vars().declare(name, f.s().vars().get(name));
      if (!abertura(s2, 9)) return 2;
      Area* a = s2.part<WorkAreas>().area(9);
      for (int i = 0; i < 30; ++i) {
        const std::string cpf = "0000000" + std::to_string(1000 + i);
        if (!seek_or_append(s2, a, Value(cpf), "CPF", 30)) return 3;
        if (!a->unlock().ok()) return 4;
      }
      return 0;
    }));
  for (pid_t pid : pids) EXPECT_EQ(testing::wait_child(pid), 0);
  ASSERT_TRUE(abertura(f.s(), 9));
  EXPECT_EQ(f.areas().area(9)->reccount(), 30u);
}

}  // namespace
}  // namespace kx
