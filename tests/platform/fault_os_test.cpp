#include "platform/fault_os.h"

#include <gtest/gtest.h>

#include "platform/temp_dir.h"

namespace kx {
namespace {

using testing::TempDir;
using Op = FaultOs::Op;

std::unique_ptr<File> open_ok(Os& os, const std::string& path, OpenMode mode) {
  auto f = os.open(path, mode);
  EXPECT_TRUE(f.ok()) << f.status();
  return f.ok() ? std::move(f).value() : nullptr;
}

TEST(FaultOsWrite, FailsTheChosenWriteWithTheChosenError) {
  struct Case {
    int err;
    StatusCode code;
  } cases[] = {{EIO, StatusCode::IoError}, {ENOSPC, StatusCode::NoSpace}, {EACCES, StatusCode::Denied}};
  for (const auto& c : cases) {
    TempDir dir;
    FaultOs os(posix_os());
    auto f = open_ok(os, dir.file("t.dbf"), OpenMode::Create);
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->write_at(0, "a").ok());  // before arming: not counted for the rule
    os.fail_write(2, c.err);
    EXPECT_TRUE(f->write_at(1, "b").ok());
    Status s = f->write_at(2, "c");
    EXPECT_EQ(s.code(), c.code) << "errno " << c.err << ": " << s;
    EXPECT_EQ(s.os_error(), c.err);
    EXPECT_NE(s.message().find("t.dbf"), std::string::npos) << s;
    EXPECT_TRUE(f->write_at(3, "d").ok());  // only the second one
    EXPECT_EQ(dir.get("t.dbf"), std::string("ab\0d", 4)) << "errno " << c.err;  // "c" never written
    EXPECT_EQ(os.count(Op::Write), 4u);
  }
}

TEST(FaultOsWrite, EveryLaterWriteAndShortWrites) {
  TempDir dir;
  FaultOs os(posix_os());
  auto f = open_ok(os, dir.file("t.dbf"), OpenMode::Create);
  ASSERT_TRUE(f);
  os.inject({Op::Write, 2, ENOSPC, /*and_later=*/true, /*short_write=*/true});
  EXPECT_TRUE(f->write_at(0, "1234").ok());
  EXPECT_EQ(f->write_at(4, "abcdef").code(), StatusCode::NoSpace);
  EXPECT_EQ(f->write_at(10, "xy").code(), StatusCode::NoSpace);
  // Half of each failed write reached the file.
  EXPECT_EQ(dir.get("t.dbf"), std::string("1234abc\0\0\0x", 11));
  os.clear();
  EXPECT_TRUE(f->write_at(0, "Z").ok());
}

TEST(FaultOsWrite, OtherCallsFailToo) {
  TempDir dir;
  dir.put("a", "");
  FaultOs os(posix_os());
  os.inject({Op::Rename, 1, EACCES});
  os.inject({Op::Open, 1, EIO});
  EXPECT_EQ(os.open(dir.file("a"), OpenMode::Read).status().code(), StatusCode::IoError);
  EXPECT_TRUE(os.open(dir.file("a"), OpenMode::Read).ok());
  Status s = os.rename(dir.file("a"), dir.file("b"));
  EXPECT_EQ(s.code(), StatusCode::Denied);
  EXPECT_TRUE(dir.has("a"));
}

TEST(FaultOsCrash, ChangesAfterTheCrashPointAreDropped) {
  TempDir dir;
  dir.put("old.txt", "old");
  FaultOs os(posix_os());
  auto f = open_ok(os, dir.file("t.dbf"), OpenMode::Create);
  ASSERT_TRUE(f);
  os.crash_after(2);
  EXPECT_TRUE(f->write_at(0, "aa").ok());
  EXPECT_TRUE(f->write_at(2, "bb").ok());
  EXPECT_FALSE(os.crashed());
  EXPECT_TRUE(f->write_at(4, "cc").ok());  // reported done, never written
  EXPECT_TRUE(os.crashed());
  EXPECT_TRUE(f->truncate(0).ok());
  EXPECT_TRUE(f->sync().ok());
  EXPECT_TRUE(os.rename(dir.file("old.txt"), dir.file("t.dbf")).ok());
  EXPECT_TRUE(os.unlink(dir.file("old.txt")).ok());
  EXPECT_TRUE(os.mkdir(dir.file("sub")).ok());
  auto ghost = open_ok(os, dir.file("new.txt"), OpenMode::CreateExclusive);
  ASSERT_TRUE(ghost);
  EXPECT_TRUE(ghost->write_at(0, "lost").ok());
  EXPECT_EQ(*ghost->size(), 0u);
  EXPECT_EQ(os.open(dir.file("old.txt"), OpenMode::CreateExclusive).status().code(), StatusCode::Exists);

  EXPECT_EQ(dir.get("t.dbf"), "aabb");
  EXPECT_EQ(dir.get("old.txt"), "old");
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"old.txt", "t.dbf"}));
}

TEST(FaultOsCrash, CountingMutationsStopsBeforeARename) {
  TempDir dir;
  dir.put("a", "A");
  FaultOs os(posix_os());
  os.crash_after(1, FaultOs::CrashCount::Mutations);
  EXPECT_TRUE(os.mkdir(dir.file("sub")).ok());                 // the one change allowed
  EXPECT_TRUE(os.rename(dir.file("a"), dir.file("b")).ok());  // dropped
  EXPECT_TRUE(os.crashed());
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"a", "sub"}));
}

TEST(FaultOsLock, BusyForAChosenNumberOfAttempts) {
  TempDir dir;
  FaultOs os(posix_os());
  auto f = open_ok(os, dir.file("t.dbf"), OpenMode::Create);
  ASSERT_TRUE(f);
  os.busy_locks(2);
  EXPECT_EQ(f->lock(0, 1, LockKind::Exclusive, LockWait::Try).code(), StatusCode::Busy);
  EXPECT_EQ(f->lock(0, 1, LockKind::Exclusive, LockWait::Wait).code(), StatusCode::Busy);
  EXPECT_TRUE(f->lock(0, 1, LockKind::Exclusive, LockWait::Try).ok());
  EXPECT_EQ(os.count(Op::Lock), 3u);
  // The real lock was taken by the third attempt.
  auto other = open_ok(posix_os(), dir.file("t.dbf"), OpenMode::ReadWrite);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->lock(0, 1, LockKind::Shared, LockWait::Try).code(), StatusCode::Busy);
}

TEST(FaultOsEnvAndTime, OverridesEnvironmentAndRunsAVirtualClock) {
  FaultOs os(posix_os());
  os.set_env("KX_TEST_VAR", "valor");
  os.unset_env("PATH");
  EXPECT_EQ(os.env("KX_TEST_VAR"), "valor");
  EXPECT_FALSE(os.env("PATH").has_value());
  EXPECT_TRUE(os.env("HOME") == posix_os().env("HOME"));

  os.use_virtual_time();
  const auto t0 = os.steady_now();
  const auto w0 = os.now();
  const auto real0 = std::chrono::steady_clock::now();
  os.sleep_for(std::chrono::seconds(5));
  EXPECT_EQ(os.steady_now() - t0, std::chrono::seconds(5));
  EXPECT_EQ(os.now() - w0, std::chrono::seconds(5));
  EXPECT_LT(std::chrono::steady_clock::now() - real0, std::chrono::seconds(1));
}

}  // namespace
}  // namespace kx
