#include "platform/os.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/temp_dir.h"

namespace kx {
namespace {

using testing::TempDir;

std::unique_ptr<File> open_ok(const std::string& path, OpenMode mode) {
  auto f = posix_os().open(path, mode);
  EXPECT_TRUE(f.ok()) << f.status();
  return f.ok() ? std::move(f).value() : nullptr;
}

TEST(OsStatus, MessageNamesOperationFileAndError) {
  struct Case {
    Status status;
    std::string message;
  } cases[] = {
      {Status::from_errno(ENOSPC, "write", "/d/IMP0113.DBF"), "write \"/d/IMP0113.DBF\": disco cheio (ENOSPC)"},
      {Status::from_errno(ENOENT, "open", "/d/x"), "open \"/d/x\": " + std::string("não encontrado"_cp) + " (ENOENT)"},
      {Status(StatusCode::Busy, "lock", "/d/t.dbf"), "lock \"/d/t.dbf\": em uso por outro terminal"},
      {Status(StatusCode::Invalid, "", "", 0, "texto próprio"), "texto próprio"},
      {Status(), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.status.message(), c.message) << c.status;
}

TEST(OsStatus, ErrnoMapsToCode) {
  struct Case {
    int err;
    StatusCode code;
  } cases[] = {{ENOENT, StatusCode::NotFound}, {ENOTDIR, StatusCode::NotFound}, {EEXIST, StatusCode::Exists},
               {ENOTEMPTY, StatusCode::Exists},  {EAGAIN, StatusCode::Busy},       {ENOSPC, StatusCode::NoSpace},
               {EDQUOT, StatusCode::NoSpace},     {EACCES, StatusCode::Denied},     {EROFS, StatusCode::Denied},
               {EINVAL, StatusCode::Invalid},     {EIO, StatusCode::IoError},       {0, StatusCode::IoError}};
  for (const auto& c : cases) {
    Status s = Status::from_errno(c.err, "op", "f");
    EXPECT_EQ(s.code(), c.code) << "errno " << c.err;
    EXPECT_FALSE(s.ok()) << "errno " << c.err;
  }
}

TEST(OsFile, ReadsWritesAtOffsetsAndReportsTheEnd) {
  TempDir dir;
  auto f = open_ok(dir.file("a.dat"), OpenMode::Create);
  ASSERT_TRUE(f);
  ASSERT_TRUE(f->write_at(4, "abc").ok());
  EXPECT_EQ(*f->size(), 7u);
  char buf[16] = {};
  auto got = f->read_at(0, buf, sizeof buf);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(std::string(buf, *got), std::string("\0\0\0\0abc", 7));
  EXPECT_EQ(*f->read_at(100, buf, 4), 0u);
  Status past = f->read_exact(5, buf, 4);
  EXPECT_EQ(past.code(), StatusCode::Corruption) << past;
  ASSERT_TRUE(f->truncate(2).ok());
  EXPECT_EQ(*f->size(), 2u);
  ASSERT_TRUE(f->sync(SyncKind::All).ok());
  ASSERT_TRUE(f->close().ok());
  EXPECT_EQ(f->close().code(), StatusCode::Invalid);
  EXPECT_EQ(f->write_at(0, "x").code(), StatusCode::Invalid);
}

TEST(OsFile, OpenModes) {
  TempDir dir;
  dir.put("old.dat", "keep");
  Os& os = posix_os();
  EXPECT_EQ(os.open(dir.file("none.dat"), OpenMode::Read).status().code(), StatusCode::NotFound);
  EXPECT_EQ(os.open(dir.file("none.dat"), OpenMode::ReadWrite).status().code(), StatusCode::NotFound);
  EXPECT_EQ(os.open(dir.file("old.dat"), OpenMode::CreateExclusive).status().code(), StatusCode::Exists);
  EXPECT_EQ(os.open(dir.path(), OpenMode::ReadWrite).status().code(), StatusCode::Invalid);
  {
    auto f = open_ok(dir.file("old.dat"), OpenMode::Create);  // keeps what is there
    ASSERT_TRUE(f);
    EXPECT_EQ(*f->size(), 4u);
  }
  auto ro = open_ok(dir.file("old.dat"), OpenMode::Read);
  ASSERT_TRUE(ro);
  Status s = ro->write_at(0, "x");
  EXPECT_FALSE(s.ok());
  EXPECT_NE(s.message().find("old.dat"), std::string::npos) << s;
  EXPECT_EQ(dir.get("old.dat"), "keep");
}

TEST(OsFile, DescriptorsAreCloseOnExec) {
  TempDir dir;
  auto held = open_ok(dir.file("held.dat"), OpenMode::Create);
  ASSERT_TRUE(held);
  // The child lists the targets of its own descriptors: it must see its
  // output file but not the file we hold open.
  auto st = posix_os().run({"sh", {"-c", "ls -l /proc/$$/fd"}, "", dir.file("fds.txt")});
  ASSERT_TRUE(st.ok()) << st.status();
  EXPECT_TRUE(st->success());
  const std::string listing = dir.get("fds.txt");
  EXPECT_NE(listing.find("fds.txt"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("held.dat"), std::string::npos) << listing;
}

TEST(OsLock, TwoDescriptorsOfOneProcessConflict) {
  struct Case {
    LockKind first, second;
    std::uint64_t second_offset;
    bool busy;
  } cases[] = {
      {LockKind::Shared, LockKind::Shared, 5, false},
      {LockKind::Shared, LockKind::Exclusive, 5, true},
      {LockKind::Exclusive, LockKind::Shared, 5, true},
      {LockKind::Exclusive, LockKind::Exclusive, 9, true},
      {LockKind::Exclusive, LockKind::Exclusive, 10, false},  // just past [0, 10)
  };
  TempDir dir;
  const std::string path = dir.put("t.dbf", "");
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "first " << int(c.first) << " second " << int(c.second) << " at "
                                      << c.second_offset);
    auto a = open_ok(path, OpenMode::ReadWrite);
    auto b = open_ok(path, OpenMode::ReadWrite);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->lock(0, 10, c.first, LockWait::Try).ok());
    Status s = b->lock(c.second_offset, 1, c.second, LockWait::Try);
    EXPECT_EQ(s.code(), c.busy ? StatusCode::Busy : StatusCode::Ok) << s;
    // Once the first lock goes, the second always gets its range.
    ASSERT_TRUE(a->unlock(0, 10).ok());
    EXPECT_TRUE(b->lock(c.second_offset, 1, c.second, LockWait::Try).ok());
  }
}

TEST(OsLock, ClosingAFileReleasesOnlyItsOwnLocks) {
  TempDir dir;
  const std::string path = dir.put("t.dbf", "");
  auto a = open_ok(path, OpenMode::ReadWrite);
  auto b = open_ok(path, OpenMode::ReadWrite);
  auto c = open_ok(path, OpenMode::ReadWrite);
  ASSERT_TRUE(a && b && c);
  ASSERT_TRUE(a->lock(0, 1, LockKind::Exclusive, LockWait::Try).ok());
  ASSERT_TRUE(b->close().ok());  // with process-wide locks this would drop a's lock
  EXPECT_EQ(c->lock(0, 1, LockKind::Shared, LockWait::Try).code(), StatusCode::Busy);
  a.reset();
  EXPECT_TRUE(c->lock(0, 1, LockKind::Exclusive, LockWait::Try).ok());
}

TEST(OsLock, RejectsBadRangesAndModes) {
  TempDir dir;
  const std::string path = dir.put("t.dbf", "");
  auto rw = open_ok(path, OpenMode::ReadWrite);
  auto ro = open_ok(path, OpenMode::Read);
  ASSERT_TRUE(rw && ro);
  EXPECT_EQ(rw->lock(0, 0, LockKind::Shared, LockWait::Try).code(), StatusCode::Invalid);
  EXPECT_EQ(ro->lock(0, 1, LockKind::Exclusive, LockWait::Try).code(), StatusCode::Invalid);
  EXPECT_TRUE(ro->lock(0, 1, LockKind::Shared, LockWait::Try).ok());
  // Far beyond any data, as lock tables place them.
  EXPECT_TRUE(rw->lock(0x7FFFFFFE00000000ull, 0x100, LockKind::Exclusive, LockWait::Try).ok());
}

TEST(OsLock, WaitBlocksUntilTheRangeIsFree) {
  TempDir dir;
  const std::string path = dir.put("t.dbf", "");
  auto a = open_ok(path, OpenMode::ReadWrite);
  auto b = open_ok(path, OpenMode::ReadWrite);
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(a->lock(0, 1, LockKind::Exclusive, LockWait::Try).ok());
  std::atomic<bool> granted{false};
  std::thread waiter([&] {
    EXPECT_TRUE(b->lock(0, 1, LockKind::Exclusive, LockWait::Wait).ok());
    granted = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(granted);
  ASSERT_TRUE(a->unlock(0, 1).ok());
  waiter.join();
  EXPECT_TRUE(granted);
}

TEST(OsLock, ConflictsWithAnotherProcess) {
  TempDir dir;
  const std::string path = dir.put("t.dbf", "");
  auto mine = open_ok(path, OpenMode::ReadWrite);
  ASSERT_TRUE(mine);
  ASSERT_TRUE(mine->lock(100, 1, LockKind::Exclusive, LockWait::Try).ok());
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // Child: its own open file must find 100 taken and 101 free.
    int rc = 0;
    auto f = posix_os().open(path, OpenMode::ReadWrite);
    if (!f.ok()) rc |= 1;
    else {
      if ((*f)->lock(100, 1, LockKind::Shared, LockWait::Try).code() != StatusCode::Busy) rc |= 2;
      if (!(*f)->lock(101, 1, LockKind::Exclusive, LockWait::Try).ok()) rc |= 4;
    }
    ::_exit(rc);
  }
  int st = 0;
  ASSERT_EQ(::waitpid(pid, &st, 0), pid);
  ASSERT_TRUE(WIFEXITED(st));
  EXPECT_EQ(WEXITSTATUS(st), 0) << "bit 1: open failed, 2: lock not busy, 4: free range refused";
}

TEST(OsFolder, CreatesListsRenamesAndRemoves) {
  TempDir dir;
  Os& os = posix_os();
  const std::string sub = dir.file("SUB");
  ASSERT_TRUE(os.mkdir(sub).ok());
  EXPECT_EQ(os.mkdir(sub).code(), StatusCode::Exists);
  EXPECT_EQ(os.mkdir(dir.file("no/such")).code(), StatusCode::NotFound);

  const std::string accented = "AÇÃO.DBF"_cp.data();
  dir.put("SUB/" + accented, "new");
  dir.put("SUB/b.txt", "old");
  auto names = os.list(sub);
  ASSERT_TRUE(names.ok()) << names.status();
  EXPECT_EQ(*names, (std::vector<std::string>{accented, "b.txt"}));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(cp850::to_utf8(dir.path())) / "SUB/AÇÃO.DBF"));

  auto info = os.stat(sub + "/" + accented);
  ASSERT_TRUE(info.ok());
  EXPECT_TRUE(info->exists);
  EXPECT_FALSE(info->is_dir);
  EXPECT_EQ(info->size, 3u);
  EXPECT_GT(info->mtime, 1'600'000'000);
  EXPECT_TRUE(os.stat(sub)->is_dir);
  EXPECT_FALSE(os.stat(dir.file("none"))->exists);
  EXPECT_FALSE(os.stat(dir.file("none/deeper"))->exists);

  ASSERT_TRUE(os.rename(sub + "/" + accented, sub + "/b.txt").ok());  // replaces
  EXPECT_EQ(dir.get("SUB/b.txt"), "new");
  ASSERT_TRUE(os.sync_dir(sub).ok());
  EXPECT_EQ(os.rmdir(sub).code(), StatusCode::Exists);
  ASSERT_TRUE(os.unlink(sub + "/b.txt").ok());
  EXPECT_EQ(os.unlink(sub + "/b.txt").code(), StatusCode::NotFound);
  ASSERT_TRUE(os.rmdir(sub).ok());
  EXPECT_EQ(os.list(sub).status().code(), StatusCode::NotFound);
}

TEST(OsFolder, FreeSpaceAndFileSystemType) {
  TempDir dir;
  auto free = posix_os().free_space(dir.path());
  ASSERT_TRUE(free.ok()) << free.status();
  EXPECT_GT(*free, 0u);
  auto type = posix_os().fs_type(dir.path());
  ASSERT_TRUE(type.ok()) << type.status();
  EXPECT_FALSE(type->name.empty());
  EXPECT_EQ(posix_os().fs_type(dir.file("none")).status().code(), StatusCode::NotFound);
  EXPECT_TRUE(posix_os().current_dir().ok());
}

TEST(OsFolder, FileSystemNumbersTellNetworkFromLocal) {
  struct Case {
    std::uint64_t magic;
    const char* name;
    bool network;
  } cases[] = {{0x6969, "nfs", true},          {0xFF534D42, "cifs", true}, {0xFE534D42, "smb2", true},
               {0x517B, "smb", true},           {0x65735546, "fuse", true}, {0x01021997, "9p", true},
               {0x00C36400, "ceph", true},      {0xEF53, "ext4", false},    {0x01021994, "tmpfs", false},
               {0x12345678, "unknown", false}};
  for (const auto& c : cases) {
    FsType t = fs_type_of_magic(c.magic);
    EXPECT_EQ(t.name, c.name) << std::hex << c.magic;
    EXPECT_EQ(t.network, c.network) << std::hex << c.magic;
  }
}

TEST(OsSpawn, ReportsExitCodesSignalsAndMissingPrograms) {
  Os& os = posix_os();
  auto three = os.run({"sh", {"-c", "exit 3"}});
  ASSERT_TRUE(three.ok()) << three.status();
  EXPECT_FALSE(three->signaled);
  EXPECT_EQ(three->code, 3);
  EXPECT_FALSE(three->success());

  auto killed = os.run({"sh", {"-c", "kill -9 $$"}});
  ASSERT_TRUE(killed.ok()) << killed.status();
  EXPECT_TRUE(killed->signaled);
  EXPECT_EQ(killed->signal, 9);

  EXPECT_EQ(os.spawn({"kx-no-such-program"}).status().code(), StatusCode::NotFound);
  EXPECT_EQ(os.spawn({"/nonexistent/prog"}).status().code(), StatusCode::NotFound);
  EXPECT_EQ(os.spawn({"sh", {}, "/nonexistent/folder"}).status().code(), StatusCode::NotFound);
}

TEST(OsSpawn, PassesArgumentsUnsplitAndRunsInTheFolder) {
  TempDir dir;
  auto st = posix_os().run(
      {"sh", {"-c", "printf '%s|' \"$@\"; pwd", "sh", "a b", "*", "$HOME"}, dir.path(), dir.file("out.txt")});
  ASSERT_TRUE(st.ok()) << st.status();
  EXPECT_TRUE(st->success());
  EXPECT_EQ(dir.get("out.txt"), "a b|*|$HOME|" + std::filesystem::canonical(cp850::to_utf8(dir.path())).string() + "\n");
}

TEST(OsEnv, LooksUpVariables) {
  EXPECT_TRUE(posix_os().env("PATH").has_value());
  EXPECT_FALSE(posix_os().env("KX_SURELY_UNSET_VARIABLE").has_value());
}

}  // namespace
}  // namespace kx
