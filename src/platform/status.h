// Outcome of an operation on files, locks or processes.
//
// A Status is Ok or one of a small closed set of failures, and carries what
// was being done (the operation), on which file, and the OS error number, so
// the message shown to the user names both.  Storage code returns a Status
// from every call that can fail; nothing reports success after a failure.
#pragma once

#include <cassert>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace kx {

enum class StatusCode : unsigned char {
  Ok,
  NotFound,    // the file or folder does not exist
  Exists,      // it exists where it must not (exclusive create, mkdir, non-empty rmdir)
  Busy,        // a lock is held elsewhere; the file is in use
  Corruption,  // the contents are not what they must be (short file, bad header)
  IoError,     // the device failed, or an error with no better code
  NoSpace,     // the disk or the quota is full
  Denied,      // permissions, read-only file system
  Invalid,     // a wrong argument or path; a program error or a bad setting
};

std::string_view to_string(StatusCode code);  // "NotFound", for tests and logs

class Status {
 public:
  Status() = default;  // Ok
  // `op` is the operation ("open", "pwrite", "rename"...), `path` the file it
  // acted on (CP850), `os_error` the errno (0 when the failure is not the
  // OS's), `text` a sentence that replaces the generic text of the code.
  Status(StatusCode code, std::string op, std::string path, int os_error = 0,
         std::string text = {});

  // The code an errno maps to (ENOENT -> NotFound, ENOSPC -> NoSpace...).
  static StatusCode code_of_errno(int err);
  static Status from_errno(int err, std::string op, std::string path);

  bool ok() const { return code_ == StatusCode::Ok; }
  StatusCode code() const { return code_; }
  const std::string& op() const { return op_; }
  const std::string& path() const { return path_; }
  int os_error() const { return os_error_; }

  // One line in CP850 for the user: `op "path": text (ENOSPC)`.  When the
  // status has neither operation nor path the text stands alone.  "" when Ok.
  std::string message() const;

  friend bool operator==(const Status& a, const Status& b) = default;

 private:
  StatusCode code_ = StatusCode::Ok;
  int os_error_ = 0;
  std::string op_, path_, text_;
};

std::ostream& operator<<(std::ostream& os, const Status& s);
std::ostream& operator<<(std::ostream& os, StatusCode c);

// A value or the Status of why there is none.  Built from a T (success) or
// from a failed Status; value() on a failure is a program error.
template <class T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Status failure) : status_(std::move(failure)) {  // NOLINT: implicit by design
    assert(!status_.ok() && "a Result built from a Status must hold a failure");
  }

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return status_; }

  T& value() & { assert(ok()); return *value_; }
  const T& value() const& { assert(ok()); return *value_; }
  T&& value() && { assert(ok()); return std::move(*value_); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

 private:
  std::optional<T> value_;
  Status status_;
};

}  // namespace kx
