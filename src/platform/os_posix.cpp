// The Os of Linux (and other POSIX systems with open-file-description locks).
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <thread>

#include "platform/cp850.h"
#include "platform/os.h"

extern char** environ;

namespace kx {
namespace {

constexpr auto kMaxOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());

std::string sys(const std::string& path) { return cp850::to_utf8(path); }

Status fail(std::string op, const std::string& path, int err = errno) {
  return Status::from_errno(err, std::move(op), path);
}

class PosixFile final : public File {
 public:
  PosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  const std::string& path() const override { return path_; }

  Result<std::size_t> read_at(std::uint64_t offset, void* buf, std::size_t size) override {
    if (fd_ < 0) return closed("read");
    if (offset > kMaxOffset) return Status(StatusCode::Invalid, "read", path_);
    auto* p = static_cast<char*>(buf);
    std::size_t done = 0;
    while (done < size) {
      ssize_t n = ::pread(fd_, p + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail("read", path_);
      }
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  Status write_at(std::uint64_t offset, std::string_view data) override {
    if (fd_ < 0) return closed("write");
    if (offset > kMaxOffset - data.size()) return Status(StatusCode::Invalid, "write", path_);
    std::size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done,
                           static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail("write", path_);
      }
      if (n == 0) return Status(StatusCode::IoError, "write", path_, 0, std::string("gravação incompleta"_cp));
      done += static_cast<std::size_t>(n);
    }
    return {};
  }

  Result<std::uint64_t> size() override {
    if (fd_ < 0) return closed("size");
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return fail("size", path_);
    return static_cast<std::uint64_t>(st.st_size);
  }

  Result<FileInfo> info() override {
    if (fd_ < 0) return closed("fstat");
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return fail("fstat", path_);
    FileInfo fi;
    fi.exists = true;
    fi.size = static_cast<std::uint64_t>(st.st_size);
    fi.mtime = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    fi.device = static_cast<std::uint64_t>(st.st_dev);
    fi.inode = static_cast<std::uint64_t>(st.st_ino);
    return fi;
  }

  Status truncate(std::uint64_t size) override {
    if (fd_ < 0) return closed("truncate");
    if (size > kMaxOffset) return Status(StatusCode::Invalid, "truncate", path_);
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
      if (errno != EINTR) return fail("truncate", path_);
    return {};
  }

  Status sync(SyncKind kind) override {
    if (fd_ < 0) return closed("sync");
    int rc = kind == SyncKind::Data ? ::fdatasync(fd_) : ::fsync(fd_);
    if (rc != 0) return fail("sync", path_);
    return {};
  }

  Status lock(std::uint64_t offset, std::uint64_t length, LockKind kind, LockWait wait) override {
    if (fd_ < 0) return closed("lock");
    return set_lock("lock", offset, length, kind == LockKind::Shared ? F_RDLCK : F_WRLCK,
                    wait == LockWait::Wait ? F_OFD_SETLKW : F_OFD_SETLK);
  }

  Status unlock(std::uint64_t offset, std::uint64_t length) override {
    if (fd_ < 0) return closed("unlock");
    return set_lock("unlock", offset, length, F_UNLCK, F_OFD_SETLK);
  }

  Status close() override {
    if (fd_ < 0) return closed("close");
    int fd = fd_;
    fd_ = -1;
    // On Linux the descriptor is released even when close reports EINTR.
    if (::close(fd) != 0 && errno != EINTR) return fail("close", path_);
    return {};
  }

 private:
  Status closed(const char* op) const {
    return Status(StatusCode::Invalid, op, path_, 0, std::string("arquivo já fechado"_cp));
  }

  Status set_lock(const char* op, std::uint64_t offset, std::uint64_t length, short type, int cmd) {
    if (length == 0 || offset > kMaxOffset || length > kMaxOffset - offset)
      return Status(StatusCode::Invalid, op, path_, 0, std::string("faixa de bloqueio inválida"_cp));
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    fl.l_pid = 0;  // required by open-file-description locks
    while (::fcntl(fd_, cmd, &fl) != 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EACCES)
        return Status(StatusCode::Busy, op, path_, errno);
      return fail(op, path_);
    }
    return {};
  }

  int fd_;
  std::string path_;
};

class PosixOs final : public Os {
 public:
  Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override {
    int flags = O_CLOEXEC;
    switch (mode) {
      case OpenMode::Read: flags |= O_RDONLY; break;
      case OpenMode::ReadWrite: flags |= O_RDWR; break;
      case OpenMode::Create: flags |= O_RDWR | O_CREAT; break;
      case OpenMode::CreateExclusive: flags |= O_RDWR | O_CREAT | O_EXCL; break;
    }
    const std::string name = sys(path);
    int fd;
    do fd = ::open(name.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return fail("open", path);
    return std::unique_ptr<File>(std::make_unique<PosixFile>(fd, path));
  }

  Result<std::vector<std::string>> list(const std::string& dir) override {
    DIR* d = ::opendir(sys(dir).c_str());  // opened close-on-exec by the C library
    if (!d) return fail("list", dir);
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* e = ::readdir(d)) {
      std::string_view n = e->d_name;
      if (n != "." && n != "..") names.push_back(cp850::from_utf8(n));
      errno = 0;
    }
    int err = errno;
    ::closedir(d);
    if (err != 0) return fail("list", dir, err);
    std::sort(names.begin(), names.end());
    return names;
  }

  Result<FileInfo> stat(const std::string& path) override {
    struct stat st {};
    if (::stat(sys(path).c_str(), &st) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return FileInfo{};
      return fail("stat", path);
    }
    FileInfo info;
    info.exists = true;
    info.is_dir = S_ISDIR(st.st_mode);
    info.size = info.is_dir ? 0 : static_cast<std::uint64_t>(st.st_size);
    info.mtime = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
    return info;
  }

  Status mkdir(const std::string& path) override {
    if (::mkdir(sys(path).c_str(), 0777) != 0) return fail("mkdir", path);
    return {};
  }

  Status rmdir(const std::string& path) override {
    if (::rmdir(sys(path).c_str()) != 0) return fail("rmdir", path);
    return {};
  }

  Status unlink(const std::string& path) override {
    if (::unlink(sys(path).c_str()) != 0) return fail("unlink", path);
    return {};
  }

  Status rename(const std::string& from, const std::string& to) override {
    if (::rename(sys(from).c_str(), sys(to).c_str()) != 0) return fail("rename", from + " -> " + to);
    return {};
  }

  Status sync_dir(const std::string& dir) override {
    int fd = ::open(sys(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return fail("sync_dir", dir);
    int rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    if (rc != 0 && err != EINVAL && err != EROFS) return fail("sync_dir", dir, err);
    return {};
  }

  Result<std::uint64_t> free_space(const std::string& path) override {
    struct statvfs vfs {};
    if (::statvfs(sys(path).c_str(), &vfs) != 0) return fail("free_space", path);
    return static_cast<std::uint64_t>(vfs.f_bavail) * static_cast<std::uint64_t>(vfs.f_frsize);
  }

  Result<FsType> fs_type(const std::string& path) override {
    struct statfs fs {};
    if (::statfs(sys(path).c_str(), &fs) != 0) return fail("fs_type", path);
    // f_type is signed on some ABIs; the numbers are 32-bit.
    return fs_type_of_magic(static_cast<std::uint64_t>(fs.f_type) & 0xFFFFFFFFu);
  }

  Result<std::string> current_dir() override {
    std::string buf(256, '\0');
    while (::getcwd(buf.data(), buf.size()) == nullptr) {
      if (errno != ERANGE) return fail("getcwd", "");
      buf.resize(buf.size() * 2);
    }
    buf.resize(std::char_traits<char>::length(buf.c_str()));
    return cp850::from_utf8(buf);
  }

  Result<ProcessId> spawn(const SpawnRequest& req) override;

  Result<ExitStatus> wait(ProcessId pid) override {
    int st = 0;
    while (::waitpid(static_cast<pid_t>(pid), &st, 0) < 0)
      if (errno != EINTR) return fail("wait", std::to_string(pid));
    ExitStatus out;
    if (WIFSIGNALED(st)) {
      out.signaled = true;
      out.signal = WTERMSIG(st);
    } else {
      out.code = WEXITSTATUS(st);
    }
    return out;
  }

  std::optional<std::string> env(const std::string& name) override {
    const char* v = std::getenv(sys(name).c_str());
    if (!v) return std::nullopt;
    return cp850::from_utf8(v);
  }

  std::chrono::system_clock::time_point now() override { return std::chrono::system_clock::now(); }
  std::chrono::steady_clock::time_point steady_now() override {
    return std::chrono::steady_clock::now();
  }
  void sleep_for(std::chrono::milliseconds d) override { std::this_thread::sleep_for(d); }
};

// posix_spawn attributes and file actions, released on every path out.
struct SpawnSetup {
  posix_spawnattr_t attr;
  posix_spawn_file_actions_t actions;
  SpawnSetup() {
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_init(&actions);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

Result<ProcessId> PosixOs::spawn(const SpawnRequest& req) {
  if (req.program.empty()) return Status(StatusCode::Invalid, "spawn", req.program);
  const std::string program = sys(req.program);
  const std::string cwd = sys(req.cwd);
  const std::string output = sys(req.output);
  if (!req.cwd.empty()) {
    struct stat st {};
    if (::stat(cwd.c_str(), &st) != 0) return fail("spawn (cwd)", req.cwd);
    if (!S_ISDIR(st.st_mode)) return fail("spawn (cwd)", req.cwd, ENOTDIR);
  }

  std::vector<std::string> args{program};
  for (const auto& a : req.args) args.push_back(sys(a));
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  SpawnSetup s;
  // The child starts with default signal handling and nothing blocked,
  // whatever the console layer set up for us.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  sigdelset(&all, SIGKILL);
  sigdelset(&all, SIGSTOP);
  posix_spawnattr_setsigmask(&s.attr, &none);
  posix_spawnattr_setsigdefault(&s.attr, &all);
  posix_spawnattr_setflags(&s.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  if (!req.cwd.empty()) posix_spawn_file_actions_addchdir_np(&s.actions, cwd.c_str());
  if (!req.output.empty()) {
    posix_spawn_file_actions_addopen(&s.actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0666);
    posix_spawn_file_actions_adddup2(&s.actions, STDOUT_FILENO, STDERR_FILENO);
  }

  pid_t pid = 0;
  const bool search = program.find('/') == std::string::npos;
  int rc = search ? ::posix_spawnp(&pid, program.c_str(), &s.actions, &s.attr, argv.data(), environ)
                  : ::posix_spawn(&pid, program.c_str(), &s.actions, &s.attr, argv.data(), environ);
  if (rc != 0) return fail("spawn", req.program, rc);
  return static_cast<ProcessId>(pid);
}

}  // namespace

Os& posix_os() {
  static PosixOs os;  // no state: one shared instance is as good as many
  return os;
}

}  // namespace kx
