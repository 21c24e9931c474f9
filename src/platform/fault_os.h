// An Os that forwards to another and lets a test break it on purpose: fail
// the k-th call of an operation with a chosen errno (or as a short write),
// "crash" after k writes, refuse locks, set environment variables, and run a
// clock that sleeping only advances.  It counts every call.
//
// Counting is per operation, from the FaultOs's creation; the rules armed
// below count from the moment they are armed.  Files opened through a
// FaultOs must not outlive it.  One thread at a time.
#pragma once

#include <array>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include "platform/os.h"

namespace kx {

class FaultOs final : public Os {
 public:
  enum class Op {
    Open, Read, Write, Truncate, Sync, Lock, Unlock, Close,
    List, Stat, Mkdir, Rmdir, Unlink, Rename, SyncDir, FreeSpace, FsType, CurrentDir,
    Spawn, Wait,
  };
  static constexpr std::size_t kOps = static_cast<std::size_t>(Op::Wait) + 1;
  static constexpr std::uint64_t kForever = std::numeric_limits<std::uint64_t>::max();

  explicit FaultOs(Os& base) : base_(base) {}

  // Calls of `op` made so far (failed and dropped ones included).
  std::uint64_t count(Op op) const { return counts_[index(op)]; }

  struct Fault {
    Fault(Op op_ = Op::Write, std::uint64_t nth_ = 1, int error_ = EIO, bool and_later_ = false,
          bool short_write_ = false)
        : op(op_), nth(nth_), error(error_), and_later(and_later_), short_write(short_write_) {}
    Op op = Op::Write;
    std::uint64_t nth = 1;     // the nth call of `op` from now fails (1 = the next one)
    int error = EIO;           // the errno reported: EIO, ENOSPC, EACCES...
    bool and_later = false;    // every call after the nth fails too
    bool short_write = false;  // Write: the first half of the bytes reach the file, then the failure
  };
  void inject(const Fault& fault);
  // Shorthand: the nth write from now fails with `error`.
  void fail_write(std::uint64_t nth, int error = EIO) { inject({Op::Write, nth, error}); }

  // Simulated crash: the system stops right after the next k writes (or,
  // with Mutations, after the next k changes of any kind: writes, truncates,
  // syncs, creations, renames, removals, mkdirs).  Every later change is
  // dropped while reporting success, so the files stay as they were at that
  // moment; changes other than writes made before the k-th write still land
  // in Writes mode.  k = 0 stops at once.  A file created after the crash
  // exists only in the process (reads as empty).
  enum class CrashCount { Writes, Mutations };
  void crash_after(std::uint64_t k, CrashCount what = CrashCount::Writes);
  bool crashed() const { return crashed_; }

  // The next `attempts` lock calls (Try or Wait) give Busy without locking.
  void busy_locks(std::uint64_t attempts = kForever) { busy_locks_ = attempts; }

  // Environment seen through env(): set, or mark unset, over the real one.
  void set_env(const std::string& name, std::string value) { env_[name] = std::move(value); }
  void unset_env(const std::string& name) { env_[name] = std::nullopt; }

  // From now, sleep_for returns at once and moves steady_now and now by its
  // duration instead; the clocks stand still otherwise.
  void use_virtual_time();

  // Removes the armed faults, the crash and the busy locks (not the counts,
  // the environment or the clock).
  void clear();

  // Os
  Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) override;
  Result<std::vector<std::string>> list(const std::string& dir) override;
  Result<FileInfo> stat(const std::string& path) override;
  Status mkdir(const std::string& path) override;
  Status rmdir(const std::string& path) override;
  Status unlink(const std::string& path) override;
  Status rename(const std::string& from, const std::string& to) override;
  Status sync_dir(const std::string& dir) override;
  Result<std::uint64_t> free_space(const std::string& path) override;
  Result<FsType> fs_type(const std::string& path) override;
  Result<std::string> current_dir() override;
  Result<ProcessId> spawn(const SpawnRequest& request) override;
  Result<ExitStatus> wait(ProcessId pid) override;
  std::optional<std::string> env(const std::string& name) override;
  std::chrono::system_clock::time_point now() override;
  std::chrono::steady_clock::time_point steady_now() override;
  void sleep_for(std::chrono::milliseconds d) override;

 private:
  friend class FaultFile;
  static std::size_t index(Op op) { return static_cast<std::size_t>(op); }

  // Counts a call; the armed fault that hits it, if any.
  const Fault* hit_and_count(Op op);
  // Counts a call; a failure when an armed fault hits it.
  Status enter(Op op, const std::string& path);
  // Counts a change for the crash rule; true when it must be dropped.
  bool dropped(Op op);
  bool lock_refused() {
    if (busy_locks_ == 0) return false;
    if (busy_locks_ != kForever) --busy_locks_;
    return true;
  }

  struct Armed {
    Fault fault;
    std::uint64_t at;  // the count of fault.op at which it fires
  };

  Os& base_;
  std::array<std::uint64_t, kOps> counts_{};
  std::vector<Armed> faults_;
  std::uint64_t mutations_ = 0;
  std::optional<CrashCount> crash_count_;
  std::uint64_t crash_at_ = 0;  // the count (writes or mutations) from which changes drop
  bool crashed_ = false;
  std::uint64_t busy_locks_ = 0;
  std::map<std::string, std::optional<std::string>> env_;
  bool virtual_time_ = false;
  std::chrono::system_clock::time_point wall_{};
  std::chrono::steady_clock::time_point steady_{};
};

}  // namespace kx
