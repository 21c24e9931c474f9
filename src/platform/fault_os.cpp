#include "platform/fault_os.h"

namespace kx {
namespace {

const char* op_name(FaultOs::Op op) {
  using Op = FaultOs::Op;
  switch (op) {
    case Op::Open: return "open";
    case Op::Read: return "read";
    case Op::Write: return "write";
    case Op::Truncate: return "truncate";
    case Op::Sync: return "sync";
    case Op::Lock: return "lock";
    case Op::Unlock: return "unlock";
    case Op::Close: return "close";
    case Op::List: return "list";
    case Op::Stat: return "stat";
    case Op::Mkdir: return "mkdir";
    case Op::Rmdir: return "rmdir";
    case Op::Unlink: return "unlink";
    case Op::Rename: return "rename";
    case Op::SyncDir: return "sync_dir";
    case Op::FreeSpace: return "free_space";
    case Op::FsType: return "fs_type";
    case Op::CurrentDir: return "getcwd";
    case Op::Spawn: return "spawn";
    case Op::Wait: return "wait";
  }
  return "?";
}

}  // namespace

// A File of a FaultOs: forwards to the real file, or with no real file (one
// created after a crash) holds nothing and accepts everything.
class FaultFile final : public File {
 public:
  using Op = FaultOs::Op;
  FaultFile(FaultOs& os, std::unique_ptr<File> base, std::string path)
      : os_(os), base_(std::move(base)), path_(std::move(path)) {}

  const std::string& path() const override { return path_; }

  Result<std::size_t> read_at(std::uint64_t offset, void* buf, std::size_t size) override {
    if (Status s = os_.enter(Op::Read, path_); !s.ok()) return s;
    if (!base_) return std::size_t{0};
    return base_->read_at(offset, buf, size);
  }

  Status write_at(std::uint64_t offset, std::string_view data) override {
    if (const FaultOs::Fault* f = os_.hit_and_count(Op::Write)) {
      if (f->short_write && base_ && !os_.crashed_) base_->write_at(offset, data.substr(0, data.size() / 2));
      return Status::from_errno(f->error, "write", path_);
    }
    if (os_.dropped(Op::Write) || !base_) return {};
    return base_->write_at(offset, data);
  }

  Result<std::uint64_t> size() override {
    if (!base_) return std::uint64_t{0};
    return base_->size();
  }

  Result<FileInfo> info() override {
    if (!base_) return FileInfo{true, false, 0, 0, 0, 0};
    return base_->info();
  }

  Status truncate(std::uint64_t size) override {
    if (Status s = os_.enter(Op::Truncate, path_); !s.ok()) return s;
    if (os_.dropped(Op::Truncate) || !base_) return {};
    return base_->truncate(size);
  }

  Status sync(SyncKind kind) override {
    if (Status s = os_.enter(Op::Sync, path_); !s.ok()) return s;
    if (os_.dropped(Op::Sync) || !base_) return {};
    return base_->sync(kind);
  }

  Status lock(std::uint64_t offset, std::uint64_t length, LockKind kind, LockWait wait) override {
    if (Status s = os_.enter(Op::Lock, path_); !s.ok()) return s;
    if (os_.lock_refused()) return Status(StatusCode::Busy, "lock", path_, EAGAIN);
    if (!base_) return {};
    return base_->lock(offset, length, kind, wait);
  }

  Status unlock(std::uint64_t offset, std::uint64_t length) override {
    if (Status s = os_.enter(Op::Unlock, path_); !s.ok()) return s;
    if (!base_) return {};
    return base_->unlock(offset, length);
  }

  Status close() override {
    if (Status s = os_.enter(Op::Close, path_); !s.ok()) return s;
    if (!base_) return {};
    return base_->close();
  }

 private:
  FaultOs& os_;
  std::unique_ptr<File> base_;
  std::string path_;
};

void FaultOs::inject(const Fault& fault) {
  faults_.push_back({fault, counts_[index(fault.op)] + fault.nth});
}

void FaultOs::crash_after(std::uint64_t k, CrashCount what) {
  crash_count_ = what;
  crash_at_ = (what == CrashCount::Writes ? counts_[index(Op::Write)] : mutations_) + k;
}

void FaultOs::use_virtual_time() {
  if (virtual_time_) return;
  wall_ = base_.now();
  steady_ = base_.steady_now();
  virtual_time_ = true;
}

void FaultOs::clear() {
  faults_.clear();
  crash_count_.reset();
  crashed_ = false;
  busy_locks_ = 0;
}

const FaultOs::Fault* FaultOs::hit_and_count(Op op) {
  const std::uint64_t n = ++counts_[index(op)];
  for (const Armed& a : faults_)
    if (a.fault.op == op && (n == a.at || (a.fault.and_later && n > a.at))) return &a.fault;
  return nullptr;
}

Status FaultOs::enter(Op op, const std::string& path) {
  if (const Fault* f = hit_and_count(op)) return Status::from_errno(f->error, op_name(op), path);
  return {};
}

bool FaultOs::dropped(Op op) {
  if (crashed_) return true;
  if (!crash_count_) return false;
  if (*crash_count_ == CrashCount::Mutations) {
    crashed_ = ++mutations_ > crash_at_;
  } else {
    // The k-th write is the last change: a later write, or any other change
    // once k writes are done, finds the system stopped.
    const std::uint64_t writes = counts_[index(Op::Write)];
    crashed_ = op == Op::Write ? writes > crash_at_ : writes >= crash_at_;
  }
  return crashed_;
}

Result<std::unique_ptr<File>> FaultOs::open(const std::string& path, OpenMode mode) {
  if (Status s = enter(Op::Open, path); !s.ok()) return s;
  const bool creates = mode == OpenMode::Create || mode == OpenMode::CreateExclusive;
  if (creates && dropped(Op::Open)) {
    // The file may not be created any more: use the one there, or none.
    auto info = base_.stat(path);
    if (!info.ok()) return info.status();
    if (!info->exists)
      return std::unique_ptr<File>(std::make_unique<FaultFile>(*this, nullptr, path));
    if (mode == OpenMode::CreateExclusive) return Status::from_errno(EEXIST, "open", path);
    mode = OpenMode::ReadWrite;
  }
  auto f = base_.open(path, mode);
  if (!f.ok()) return f.status();
  return std::unique_ptr<File>(std::make_unique<FaultFile>(*this, std::move(f).value(), path));
}

Result<std::vector<std::string>> FaultOs::list(const std::string& dir) {
  if (Status s = enter(Op::List, dir); !s.ok()) return s;
  return base_.list(dir);
}

Result<FileInfo> FaultOs::stat(const std::string& path) {
  if (Status s = enter(Op::Stat, path); !s.ok()) return s;
  return base_.stat(path);
}

Status FaultOs::mkdir(const std::string& path) {
  if (Status s = enter(Op::Mkdir, path); !s.ok()) return s;
  return dropped(Op::Mkdir) ? Status{} : base_.mkdir(path);
}

Status FaultOs::rmdir(const std::string& path) {
  if (Status s = enter(Op::Rmdir, path); !s.ok()) return s;
  return dropped(Op::Rmdir) ? Status{} : base_.rmdir(path);
}

Status FaultOs::unlink(const std::string& path) {
  if (Status s = enter(Op::Unlink, path); !s.ok()) return s;
  return dropped(Op::Unlink) ? Status{} : base_.unlink(path);
}

Status FaultOs::rename(const std::string& from, const std::string& to) {
  if (Status s = enter(Op::Rename, from + " -> " + to); !s.ok()) return s;
  return dropped(Op::Rename) ? Status{} : base_.rename(from, to);
}

Status FaultOs::sync_dir(const std::string& dir) {
  if (Status s = enter(Op::SyncDir, dir); !s.ok()) return s;
  return dropped(Op::SyncDir) ? Status{} : base_.sync_dir(dir);
}

Result<std::uint64_t> FaultOs::free_space(const std::string& path) {
  if (Status s = enter(Op::FreeSpace, path); !s.ok()) return s;
  return base_.free_space(path);
}

Result<FsType> FaultOs::fs_type(const std::string& path) {
  if (Status s = enter(Op::FsType, path); !s.ok()) return s;
  return base_.fs_type(path);
}

Result<std::string> FaultOs::current_dir() {
  if (Status s = enter(Op::CurrentDir, ""); !s.ok()) return s;
  return base_.current_dir();
}

Result<ProcessId> FaultOs::spawn(const SpawnRequest& request) {
  if (Status s = enter(Op::Spawn, request.program); !s.ok()) return s;
  return base_.spawn(request);
}

Result<ExitStatus> FaultOs::wait(ProcessId pid) {
  if (Status s = enter(Op::Wait, std::to_string(pid)); !s.ok()) return s;
  return base_.wait(pid);
}

std::optional<std::string> FaultOs::env(const std::string& name) {
  if (auto it = env_.find(name); it != env_.end()) return it->second;
  return base_.env(name);
}

std::chrono::system_clock::time_point FaultOs::now() { return virtual_time_ ? wall_ : base_.now(); }

std::chrono::steady_clock::time_point FaultOs::steady_now() {
  return virtual_time_ ? steady_ : base_.steady_now();
}

void FaultOs::sleep_for(std::chrono::milliseconds d) {
  if (!virtual_time_) return base_.sleep_for(d);
  wall_ += d;
  steady_ += d;
}

}  // namespace kx
