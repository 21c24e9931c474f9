// Several terminals as several processes (fork): concurrent appends, lock
// contention and give-up, exclusive against shared opening, a lock freed
// when its holder is killed, and kill -9 in the middle of appends and packs.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <sstream>
#include <thread>

#include "platform/temp_dir.h"
#include "platform/text.h"
#include "store/area.h"
#include "store/dbf_tool.h"

namespace kx {
namespace {

std::vector<dbf::FieldDef> fields() { return {{"CPF", 'C', 11, 0}, {"WRITER", 'N', 2, 0}, {"SEQ", 'N', 6, 0}}; }
std::vector<IndexSpec> keys() { return {{KeyExpr::field("CPF"), ""}}; }

// Runs `body` in a child process; its exit status is body's result.
pid_t child(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  return pid;
}
int wait_exit(pid_t pid) {
  int st = 0;
  ::waitpid(pid, &st, 0);
  return WIFEXITED(st) ? WEXITSTATUS(st) : 100 + WTERMSIG(st);
}
// A one-byte message from a child.
struct Pipe {
  int fd[2];
  Pipe() { EXPECT_EQ(::pipe(fd), 0); }
  ~Pipe() { ::close(fd[0]); ::close(fd[1]); }
  void send() { (void)!::write(fd[1], "x", 1); }
  void receive() { char c; (void)!::read(fd[0], &c, 1); }
};

void expect_sound(const std::string& path) {
  std::ostringstream out, err;
  EXPECT_EQ(dbf_check(posix_os(), path, out, err), 0) << out.str() << err.str();
}

TEST(MultiProcess, ConcurrentAppendsGiveDistinctRowsAndAConsistentIndex) {
  testing::TempDir dir;
  const std::string path = dir.file("T.DBF");
  ASSERT_TRUE(Area::create(posix_os(), path, fields(), Share::Shared, keys()).ok());
  constexpr int kWriters = 4, kRows = 2000;
  std::vector<pid_t> pids;
  for (int w = 1; w <= kWriters; ++w)
    pids.push_back(child([&, w] {
      auto a = Area::open(posix_os(), path, Share::Shared, keys());
      if (!a.ok()) return 2;
      for (int i = 0; i < kRows; ++i) {
        Status s = (*a)->append_blank();
        for (int tries = 0; s.code() == StatusCode::Busy && tries < 1000; ++tries) s = (*a)->append_blank();
        if (!s.ok()) return 3;
        const std::string cpf = std::to_string(w) + padl(std::to_string(i), 6, '0');
        if (!(*a)->replace({{"CPF", Value(cpf)}, {"WRITER", Value(w)}, {"SEQ", Value(i)}}).ok()) return 4;
        if (!(*a)->unlock().ok()) return 5;
      }
      return (*a)->close().ok() ? 0 : 6;
    }));
  for (pid_t p : pids) EXPECT_EQ(wait_exit(p), 0);
  auto a = Area::open(posix_os(), path, Share::Shared, keys());
  ASSERT_TRUE(a.ok()) << a.status();
  EXPECT_EQ((*a)->reccount(), std::uint32_t{kWriters * kRows});
  std::set<std::string> seen;
  std::string prev;
  for ((void)(*a)->go_top(); !(*a)->eof(); (void)(*a)->skip()) {
    const std::string cpf = (*a)->get("CPF")->text();
    EXPECT_LE(prev, cpf);
    prev = cpf;
    seen.insert(cpf);
  }
  EXPECT_EQ(seen.size(), std::size_t{kWriters * kRows});
  expect_sound(path);
}

TEST(MultiProcess, LocksContendAndAreFreedWhenTheHolderIsKilled) {
  testing::TempDir dir;
  const std::string path = dir.file("T.DBF");
  {
    auto a = Area::create(posix_os(), path, fields(), Share::Shared, keys());
    ASSERT_TRUE((*a)->append_blank().ok());
    ASSERT_TRUE((*a)->append_blank().ok());
  }
  Pipe ready;
  const pid_t holder = child([&] {
    auto a = Area::open(posix_os(), path, Share::Shared, keys());
    if (!a.ok() || !(*a)->go_to(1).ok() || !(*a)->lock_record().ok()) return 2;
    ready.send();
    for (;;) ::pause();
  });
  ready.receive();
  auto a = std::move(Area::open(posix_os(), path, Share::Shared, keys()).value());
  ASSERT_TRUE(a->go_to(1).ok());
  // A waiter that retries for a while and gives up.
  const auto t0 = std::chrono::steady_clock::now();
  Status s;
  do {
    s = a->lock_record();
    if (s.code() == StatusCode::Busy) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (s.code() == StatusCode::Busy && std::chrono::steady_clock::now() - t0 < std::chrono::milliseconds(200));
  EXPECT_EQ(s.code(), StatusCode::Busy);
  EXPECT_EQ(a->lock_table().code(), StatusCode::Busy);
  ASSERT_TRUE(a->go_to(2).ok());
  EXPECT_TRUE(a->lock_record().ok());  // another record is free
  ASSERT_TRUE(a->unlock().ok());
  // Exclusive against shared opening across processes.
  EXPECT_EQ(Table::open(posix_os(), path, Share::Exclusive).status().code(), StatusCode::Busy);
  ::kill(holder, SIGKILL);
  EXPECT_EQ(wait_exit(holder), 100 + SIGKILL);
  ASSERT_TRUE(a->go_to(1).ok());
  EXPECT_TRUE(a->lock_record().ok());
  ASSERT_TRUE(a->unlock().ok());
  ASSERT_TRUE(a->close().ok());
  auto x = Table::open(posix_os(), path, Share::Exclusive);
  ASSERT_TRUE(x.ok());
  const pid_t shared = child([&] { return Table::open(posix_os(), path, Share::Shared).status().code() == StatusCode::Busy ? 0 : 1; });
  EXPECT_EQ(wait_exit(shared), 0);
}

// kill -9 at a random moment of a loop of appends (and of packs): the next
// opening repairs what needs it and keeps every completed row.
TEST(MultiProcess, KilledWhileAppendingOrPackingLeavesSoundFiles) {
  for (bool packing : {false, true}) {
    for (int round = 0; round < 3; ++round) {
      testing::TempDir dir;
      const std::string path = dir.file("T.DBF");
      ASSERT_TRUE(Area::create(posix_os(), path, fields(), Share::Exclusive, keys()).ok());
      Pipe progress;
      const pid_t pid = child([&] {
        auto a = Area::open(posix_os(), path, packing ? Share::Exclusive : Share::Shared, keys());
        if (!a.ok()) return 2;
        for (int i = 0;; ++i) {
          if (!(*a)->append_blank().ok()) return 3;
          if (!(*a)->replace({{"CPF", Value(std::to_string(i))}, {"SEQ", Value(i)}}).ok()) return 4;
          if (packing && i % 3 == 0 && !(*a)->delete_record().ok()) return 5;
          if (packing && i % 50 == 49 && !(*a)->pack().ok()) return 6;
          (void)(*a)->unlock();
          if (i == 100) progress.send();
        }
      });
      progress.receive();
      std::this_thread::sleep_for(std::chrono::milliseconds(5 + 17 * round));
      ::kill(pid, SIGKILL);
      EXPECT_EQ(wait_exit(pid), 100 + SIGKILL);
      {
        auto a = Area::open(posix_os(), path, Share::Exclusive, keys());
        ASSERT_TRUE(a.ok()) << a.status();
        EXPECT_GE((*a)->reccount(), packing ? 50u : 101u);
      }
      expect_sound(path);
    }
  }
}

}  // namespace
}  // namespace kx
