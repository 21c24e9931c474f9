// The one seam between the program and the operating system.
//
// Every file, lock, folder, process, clock and environment access goes
// through an Os, so a test can wrap it (FaultOs: fail the k-th write, stop at
// a crash point, refuse a lock) and another system can get its own
// implementation.  posix_os() is the real one.
//
// Paths are CP850 strings with '/' as separator, like every string of the
// program; the implementation converts them for the system.  Relative paths
// are relative to the current folder; drive letters are resolved before a
// path gets here (DriveMap).  Calls are synchronous; those that can block
// for long say so.  No call throws: failures come back as a Status naming
// the operation and the path.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace kx {

enum class OpenMode {
  Read,             // read only; NotFound when missing
  ReadWrite,        // read and write; NotFound when missing
  Create,           // read and write; created empty when missing, kept as it is otherwise
  CreateExclusive,  // read and write; created empty, Exists when it is already there
};

enum class LockKind { Shared, Exclusive };
enum class LockWait {
  Wait,  // block until the lock is granted (no timeout: retry Try for a timed wait)
  Try,   // return Busy at once when the range is held elsewhere
};
enum class SyncKind {
  Data,  // the contents and the size (fdatasync)
  All,   // also the other metadata, such as times (fsync)
};

struct FileInfo {
  bool exists = false;
  bool is_dir = false;
  std::uint64_t size = 0;  // bytes; 0 for a folder
  std::int64_t mtime = 0;  // last change, seconds since 1970-01-01 UTC
  std::uint64_t device = 0, inode = 0;  // which file it is: equal pairs are one file (0 when unknown)
};

// An open file.  Every descriptor is close-on-exec, so a started program
// never inherits it nor, through it, our locks.  A File is used by one
// thread at a time.  Destroying it closes it (errors on that close are lost:
// call close() to see them).
class File {
 public:
  virtual ~File() = default;
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // The path it was opened with.
  virtual const std::string& path() const = 0;

  // Reads up to `size` bytes at `offset` into `buf`; the count read is less
  // than `size` only at the end of the file (0 at or past the end).  Retries
  // interrupted and partial reads.
  virtual Result<std::size_t> read_at(std::uint64_t offset, void* buf, std::size_t size) = 0;

  // Writes all of `data` at `offset`, growing the file as needed.  Ok means
  // every byte was handed to the system (not that it is on the disk: see
  // sync).  A write that stops short is a failure (NoSpace, IoError...),
  // and the bytes before the failure may or may not be in the file.
  virtual Status write_at(std::uint64_t offset, std::string_view data) = 0;

  virtual Result<std::uint64_t> size() = 0;
  // Cuts or extends (with zeros) the file to `size` bytes.
  virtual Status truncate(std::uint64_t size) = 0;
  // Blocks until the written data (and with SyncKind::All, the metadata) is
  // on the device.  A failure means earlier writes may be lost.
  virtual Status sync(SyncKind kind = SyncKind::Data) = 0;

  // Byte-range lock on [offset, offset + length), length > 0 (Invalid
  // otherwise).  Locks belong to this open file, not to the process: two
  // Files of one process conflict like two processes, and a lock of this File
  // is never disturbed by another File closing.  Ranges need not lie inside
  // the file.  Locking a range again with another kind converts it.  Shared
  // locks need the file readable, exclusive ones writable (Invalid
  // otherwise).  With LockWait::Try a held range gives Busy; with Wait the
  // call blocks until the range is free.  Locks are advisory: they stop only
  // other lockers, never reads and writes.
  virtual Status lock(std::uint64_t offset, std::uint64_t length, LockKind kind, LockWait wait) = 0;
  // Releases whatever this File holds in the range (Ok when nothing was held).
  virtual Status unlock(std::uint64_t offset, std::uint64_t length) = 0;

  // Closes the file, releasing its locks.  Later calls give Invalid.
  virtual Status close() = 0;

  // What the open file is (size, device and inode), so a caller can tell
  // whether its path still names it after another process renamed a new file
  // over it.  Invalid where the system cannot say.
  virtual Result<FileInfo> info() {
    return Status(StatusCode::Invalid, "fstat", path());
  }

  // Reads exactly `size` bytes; a file that ends first gives Corruption.
  Status read_exact(std::uint64_t offset, void* buf, std::size_t size);
};


// What kind of file system holds a path.
struct FsType {
  std::uint64_t magic = 0;  // the system's number for it (statfs f_type)
  std::string name;         // "ext4", "nfs", "cifs"..., "unknown" when not in our table
  bool network = false;     // NFS, SMB/CIFS, FUSE, 9P, AFS, Ceph and other remote or user-space ones
};

struct SpawnRequest {
  SpawnRequest() = default;
  SpawnRequest(std::string program_, std::vector<std::string> args_ = {}, std::string cwd_ = {},
               std::string output_ = {})
      : program(std::move(program_)), args(std::move(args_)), cwd(std::move(cwd_)),
        output(std::move(output_)) {}

  std::string program;            // a path, or a bare name looked up in PATH
  std::vector<std::string> args;  // the arguments after the program name
  std::string cwd;                // folder to run in; "" = ours
  std::string output;             // file that receives stdout and stderr (created or emptied); "" = ours
};

using ProcessId = long;

struct ExitStatus {
  bool signaled = false;  // killed by a signal
  int code = 0;           // exit code when not signaled
  int signal = 0;         // the signal number when signaled
  bool success() const { return !signaled && code == 0; }
};

class Os {
 public:
  virtual ~Os() = default;

  // ---- Files ----------------------------------------------------------
  // Opens `path` as `mode` says (see OpenMode); always close-on-exec.  A
  // folder gives Invalid for the writable modes.  Does not block on locks.
  virtual Result<std::unique_ptr<File>> open(const std::string& path, OpenMode mode) = 0;

  // ---- Folders and names ----------------------------------------------
  // Names in the folder, sorted by byte value, without "." and "..".  Names
  // that CP850 cannot spell come back with '?' in place of those characters.
  virtual Result<std::vector<std::string>> list(const std::string& dir) = 0;
  // Ok with exists == false when the path (or one of its folders) is missing;
  // a failure only for other errors (Denied...).  Follows symbolic links.
  virtual Result<FileInfo> stat(const std::string& path) = 0;
  // One level: the parent must exist (NotFound); Exists when the name is taken.
  virtual Status mkdir(const std::string& path) = 0;
  // Removes an empty folder; Exists when it still holds entries.
  virtual Status rmdir(const std::string& path) = 0;
  // Removes a file (not a folder).  Open Files of it stay usable.
  virtual Status unlink(const std::string& path) = 0;
  // Renames within one file system, atomically replacing an existing file at
  // `to`: another process sees the old file or the new one, never neither.
  // Durable only after sync_dir of the folder(s).
  virtual Status rename(const std::string& from, const std::string& to) = 0;
  // Blocks until the folder's entries (creations, renames, removals) are on
  // the device.  Ok on file systems that cannot sync a folder.
  virtual Status sync_dir(const std::string& dir) = 0;
  // Bytes an ordinary user can still write on the file system holding `path`.
  virtual Result<std::uint64_t> free_space(const std::string& path) = 0;
  // The file system holding `path` (which must exist).
  virtual Result<FsType> fs_type(const std::string& path) = 0;
  // The current folder of the process.
  virtual Result<std::string> current_dir() = 0;

  // ---- Processes ------------------------------------------------------
  // Starts a program with an argument list (no shell is involved, so
  // arguments need no quoting).  The child gets our environment and standard
  // input, and none of our files.  NotFound when the program or the working
  // folder is missing.  Does not wait for the child.
  virtual Result<ProcessId> spawn(const SpawnRequest& request) = 0;
  // Blocks until the child ends; each child must be waited for once.
  virtual Result<ExitStatus> wait(ProcessId pid) = 0;

  // ---- Environment and time -------------------------------------------
  // The value of an environment variable in CP850, or nothing when unset.
  virtual std::optional<std::string> env(const std::string& name) = 0;
  // The wall clock (dates shown and stored) and a clock that only moves on
  // (timeouts of lock waits).
  virtual std::chrono::system_clock::time_point now() = 0;
  virtual std::chrono::steady_clock::time_point steady_now() = 0;
  // Blocks the calling thread for about `d`.
  virtual void sleep_for(std::chrono::milliseconds d) = 0;

  // Convenience: spawn, then wait.
  Result<ExitStatus> run(const SpawnRequest& request);
};

// The real operating system.  Stateless, lives for the whole program.
Os& posix_os();

// The file system a Linux statfs f_type number stands for.
FsType fs_type_of_magic(std::uint64_t magic);

}  // namespace kx
