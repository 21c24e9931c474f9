#include "store/table.h"

#include <chrono>

#include "platform/files.h"
#include "platform/paths.h"
#include "store/lock_layout.h"

namespace kx {
namespace {

Status busy_open(const std::string& path) {
  return Status(StatusCode::Busy, "open", path, 0, "table in use by another terminal");
}

}  // namespace

std::string memo_path_of(const std::string& table_path, bool fpt) {
  const std::string name = TIRA_DIR(table_path);
  const std::size_t dot = name.rfind('.');
  const std::string base = table_path.substr(0, table_path.size() - (dot == std::string::npos ? 0 : name.size() - dot));
  const bool lower = !name.empty() && std::islower(static_cast<unsigned char>(name.back()));
  std::string ext = fpt ? ".FPT" : ".DBT";
  if (lower)
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return base + ext;
}

Date today_of(Os& os) {
  const auto secs = std::chrono::duration_cast<std::chrono::seconds>(os.now().time_since_epoch()).count();
  const std::int64_t days = secs >= 0 ? secs / 86400 : (secs - 86399) / 86400;
  return Date::from_day_number(static_cast<std::int32_t>(2440588 + days));
}

Table::~Table() {
  if (file_) (void)close();
}

Result<std::unique_ptr<Table>> Table::open(Os& os, const std::string& path, Share share) {
  auto found = find_path(os, path);
  if (!found.ok()) return found.status();
  return open_locked(os, *found, share);
}

Result<std::unique_ptr<Table>> Table::open_locked(Os& os, const std::string& path, Share share) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    bool read_only = false;
    auto f = os.open(path, OpenMode::ReadWrite);
    if (!f.ok() && f.status().code() == StatusCode::Denied && share == Share::Shared) {
      f = os.open(path, OpenMode::Read);
      read_only = true;
    }
    if (!f.ok()) return f.status();
    Status s = (*f)->lock(locks::kOpen, locks::kOpenLength,
                          share == Share::Shared ? LockKind::Shared : LockKind::Exclusive, LockWait::Try);
    if (s.code() == StatusCode::Busy) return busy_open(path);
    if (!s.ok()) return s;
    // Another terminal may have renamed a new file over the name (pack, zap)
    // between our open and our lock: then we hold the old one; open again.
    auto mine = (*f)->info();
    auto named = os.stat(path);
    if (mine.ok() && named.ok() && named->exists &&
        (mine->inode != named->inode || mine->device != named->device))
      continue;
    // A table another terminal is creating this moment is still too short.
    if (auto size = (*f)->size(); size.ok() && *size < dbf::kPrologSize && attempt < 7) {
      os.sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    std::unique_ptr<Table> t(new Table(os, std::move(*f), path, share));
    t->read_only_ = read_only;
    if (Status h = t->load_header(); !h.ok()) return h;
    if (Status m = t->open_memo(!read_only); !m.ok()) return m;
    return t;
  }
  return busy_open(path);
}

Status Table::load_header() {
  char prolog[dbf::kPrologSize];
  auto n = file_->read_at(0, prolog, sizeof prolog);
  if (!n.ok()) return n.status();
  auto pr = dbf::decode_prolog(std::string_view(prolog, *n), path());
  if (!pr.ok()) return pr.status();
  std::string all(pr->header_size, '\0');
  auto m = file_->read_at(0, all.data(), all.size());
  if (!m.ok()) return m.status();
  all.resize(*m);
  auto h = dbf::decode_header(all, path());
  if (!h.ok()) return h.status();
  header_ = std::move(h).value();
  auto size = file_->size();
  if (!size.ok()) return size.status();
  if (*size < header_.header_size)
    return Status(StatusCode::Corruption, "open", path(), 0, "file cut short inside its header");
  const std::uint64_t by_size = (*size - header_.header_size) / header_.record_size;
  std::uint64_t count = by_size;
  if (header_.count < by_size) {
    // Bytes after the counted records: records whose header update was cut
    // off by a crash, or another program's padding (not a record flag).
    char flag = 0;
    auto r = file_->read_at(header_.header_size + std::uint64_t{header_.count} * header_.record_size, &flag, 1);
    if (r.ok() && *r == 1 && flag != dbf::kLive && flag != dbf::kDeleted) count = header_.count;
  }
  if (count > 0xFFFFFFFFu) return Status(StatusCode::Corruption, "open", path(), 0, "too many records");
  if (count != header_.count)
    notes_.push_back("header counts " + std::to_string(header_.count) + " records, the file holds " +
                     std::to_string(count));
  count_ = static_cast<std::uint32_t>(count);
  header_dirty_ = count_ != header_.count && exclusive() && !read_only_;
  return {};
}

Status Table::open_memo(bool writable) {
  if (!header_.has_memo()) return {};
  const bool fpt = header_.version == 0xF5 || header_.version == 0x30 || header_.version == 0x31;
  auto found = find_path(os_, memo_path_of(path(), fpt));
  if (!found.ok()) {
    if (!fpt) return found.status();
    found = find_path(os_, memo_path_of(path(), false));
    if (!found.ok()) return found.status();
  }
  auto m = MemoFile::open(os_, *found, writable);
  if (!m.ok()) return m.status();
  memo_ = std::move(m).value();
  return {};
}

Status Table::refresh() {
  if (exclusive()) return {};
  auto size = file_->size();
  if (!size.ok()) return size.status();
  const std::uint64_t n =
      *size < header_.header_size ? 0 : (*size - header_.header_size) / header_.record_size;
  if (n > count_) count_ = static_cast<std::uint32_t>(n);
  return {};
}

Result<std::string> Table::read(std::uint32_t recno) {
  if (recno == 0 || recno > count_)
    return Status(StatusCode::Invalid, "read record " + std::to_string(recno), path());
  std::string rec(header_.record_size, '\0');
  auto n = file_->read_at(offset_of(recno), rec.data(), rec.size());
  if (!n.ok()) return n.status();
  if (*n != rec.size())
    return Status(StatusCode::Corruption, "read record " + std::to_string(recno), path(), 0,
                  "file cut short");
  return rec;
}

Status Table::read_into(std::uint32_t recno, std::string& rec) {
  if (recno == 0 || recno > count_)
    return Status(StatusCode::Invalid, "read record " + std::to_string(recno), path());
  rec.resize(header_.record_size);
  auto n = file_->read_at(offset_of(recno), rec.data(), rec.size());
  if (!n.ok()) return n.status();
  if (*n != rec.size())
    return Status(StatusCode::Corruption, "read record " + std::to_string(recno), path(), 0, "file cut short");
  return {};
}

Result<std::string> Table::read_many(std::uint32_t first, std::uint32_t n) {
  if (first == 0 || n == 0 || first - 1 + std::uint64_t{n} > count_)
    return Status(StatusCode::Invalid, "read records " + std::to_string(first), path());
  std::string recs(std::size_t{n} * header_.record_size, '\0');
  auto got = file_->read_at(offset_of(first), recs.data(), recs.size());
  if (!got.ok()) return got.status();
  if (*got != recs.size())
    return Status(StatusCode::Corruption, "read records " + std::to_string(first), path(), 0, "file cut short");
  return recs;
}

Status Table::write(std::uint32_t recno, std::string_view record) {
  if (read_only_) return Status(StatusCode::Denied, "write", path());
  if (record.size() != header_.record_size || recno == 0 || recno > count_)
    return Status(StatusCode::Invalid, "write record " + std::to_string(recno), path());
  if (!can_write(recno))
    return Status(StatusCode::Invalid, "write record " + std::to_string(recno), path(), 0,
                  "write without the record or table lock");
  return file_->write_at(offset_of(recno), record);
}

Result<std::uint32_t> Table::append(std::string_view record, bool count_known) {
  if (read_only_) return Status(StatusCode::Denied, "append", path());
  if (record.size() != header_.record_size) return Status(StatusCode::Invalid, "append", path());
  const bool took = !exclusive() && !append_locked_;
  if (took)
    if (Status s = lock_append(); !s.ok()) return s;
  auto done = [&](Status s) {
    if (took) (void)unlock_append();
    return s;
  };
  if (!(count_known && append_locked_))
    if (Status s = refresh(); !s.ok()) return done(s);
  if (count_ == 0xFFFFFFFFu) return done(Status(StatusCode::NoSpace, "append", path()));
  const std::uint32_t n = count_ + 1;
  if (!exclusive() && !table_locked_) {
    Status s = file_->lock(locks::record(n), 1, LockKind::Exclusive, LockWait::Try);
    if (!s.ok()) return done(s);
    if (locked_record_ != 0 && locked_record_ != n) (void)file_->unlock(locks::record(locked_record_), 1);
    locked_record_ = n;
  }
  std::string data(record);
  data += dbf::kEndOfFile;
  if (Status s = file_->write_at(offset_of(n), data); !s.ok()) return done(s);
  count_ = n;
  header_dirty_ = true;
  if (!exclusive())
    if (Status s = write_prolog(); !s.ok()) return done(s);
  if (took)
    if (Status s = unlock_append(); !s.ok()) return s;
  return n;
}

Status Table::write_prolog() {
  header_.count = count_;
  header_.updated = today_of(os_);
  if (Status s = file_->write_at(0, dbf::encode_prolog(header_)); !s.ok()) return s;
  header_dirty_ = false;
  return {};
}

Status Table::lock_record(std::uint32_t recno) {
  if (exclusive()) return {};
  if (table_locked_) return refresh();
  if (locked_record_ == recno && recno != 0) return refresh();
  Status s = file_->lock(locks::record(recno), 1, LockKind::Exclusive, LockWait::Try);
  if (!s.ok()) return s;
  if (locked_record_ != 0) (void)file_->unlock(locks::record(locked_record_), 1);
  locked_record_ = recno;
  return refresh();
}

Status Table::lock_table() {
  if (exclusive()) return {};
  if (!table_locked_) {
    Status s = file_->lock(locks::kRecords, locks::kRecordsLength, LockKind::Exclusive, LockWait::Try);
    if (!s.ok()) return s;
    table_locked_ = true;
    locked_record_ = 0;  // merged into the table range
  }
  char prolog[dbf::kPrologSize];
  if (Status s = file_->read_exact(0, prolog, sizeof prolog); !s.ok()) return s;
  return refresh();
}

Status Table::unlock() {
  if (exclusive()) return {};
  Status s;
  if (table_locked_) s = file_->unlock(locks::kRecords, locks::kRecordsLength);
  else if (locked_record_ != 0) s = file_->unlock(locks::record(locked_record_), 1);
  table_locked_ = false;
  locked_record_ = 0;
  return s;
}

bool Table::holds_record(std::uint32_t recno) const {
  return table_locked_ || (recno != 0 && locked_record_ == recno);
}

Status Table::lock_append() {
  if (exclusive() || append_locked_) return {};
  Status s = file_->lock(locks::kAppend, locks::kAppendLength, LockKind::Exclusive, LockWait::Wait);
  if (s.ok()) append_locked_ = true;
  return s;
}

Status Table::unlock_append() {
  if (!append_locked_) return {};
  append_locked_ = false;
  return file_->unlock(locks::kAppend, locks::kAppendLength);
}

Result<Value> Table::value(const std::string& record, std::size_t field) {
  const dbf::FieldDef& f = header_.fields[field];
  if (f.type == 'M') {
    const std::uint32_t block = dbf::memo_block(f, record);
    if (!memo_ || block == 0) return Value(std::string(), Type::M);
    auto text = memo_->read(block);
    if (!text.ok()) return text.status();
    return Value(std::move(text).value(), Type::M);
  }
  return dbf::decode_field(f, record, path());
}

Status Table::put(std::string& record, std::size_t field, const Value& v) {
  const dbf::FieldDef& f = header_.fields[field];
  if (f.type == 'M') {
    if (!v.is_text()) return Status(StatusCode::Invalid, "replace", f.name, 0, "value of another type for field " + f.name);
    std::uint32_t block = 0;
    if (!v.text().empty()) {
      if (!memo_) return Status(StatusCode::NotFound, "write memo", memo_path_of(path()));
      const bool took = !exclusive() && !append_locked_;
      if (took)
        if (Status s = lock_append(); !s.ok()) return s;
      auto b = memo_->append(v.text());
      if (took) (void)unlock_append();
      if (!b.ok()) return b.status();
      block = *b;
    }
    record.replace(f.offset, static_cast<std::size_t>(f.width), dbf::encode_memo_block(f, block));
    return {};
  }
  auto bytes = dbf::encode_field(f, v);
  if (!bytes.ok()) return bytes.status();
  record.replace(f.offset, static_cast<std::size_t>(f.width), *bytes);
  return {};
}

Status Table::flush() {
  if (read_only_ || !header_dirty_) return {};
  return write_prolog();
}

Status Table::close() {
  if (!file_) return {};
  Status s = flush();
  (void)unlock_append();
  (void)unlock();
  if (memo_) {
    Status m = memo_->close();
    if (s.ok()) s = m;
    memo_.reset();
  }
  Status c = file_->close();
  if (s.ok()) s = c;
  return s;
}

Status Table::try_exclusive() {
  if (exclusive()) return {};
  if (read_only_) return Status(StatusCode::Denied, "open exclusively", path());
  Status s = file_->lock(locks::kOpen, locks::kOpenLength, LockKind::Exclusive, LockWait::Try);
  if (s.code() == StatusCode::Busy) return busy_open(path());
  if (!s.ok()) return s;
  (void)unlock();
  share_ = Share::Exclusive;
  return refresh_all();
}

Status Table::back_to_shared() {
  if (!exclusive()) return {};
  if (Status s = flush(); !s.ok()) return s;
  if (Status s = file_->lock(locks::kOpen, locks::kOpenLength, LockKind::Shared, LockWait::Try); !s.ok()) return s;
  share_ = Share::Shared;
  return {};
}

Status Table::refresh_all() {
  auto size = file_->size();
  if (!size.ok()) return size.status();
  const std::uint64_t n =
      *size < header_.header_size ? 0 : (*size - header_.header_size) / header_.record_size;
  count_ = static_cast<std::uint32_t>(n);
  return {};
}

Status Table::swap_in(const std::string& scratch_path) {
  if (!exclusive()) return Status(StatusCode::Invalid, "swap", path(), 0, "needs the table opened exclusively");
  auto f = os_.open(scratch_path, OpenMode::ReadWrite);
  if (!f.ok()) return f.status();
  if (Status s = (*f)->lock(locks::kOpen, locks::kOpenLength, LockKind::Exclusive, LockWait::Try); !s.ok())
    return s;
  if (Status s = (*f)->sync(); !s.ok()) return s;
  if (Status s = os_.rename(scratch_path, path()); !s.ok()) return s;
  if (Status s = os_.sync_dir(folder_of(path()).empty() ? "." : folder_of(path())); !s.ok()) return s;
  (void)file_->close();
  file_ = std::move(*f);
  notes_.clear();
  return load_header();
}

Result<std::unique_ptr<Table>> Table::create(Os& os, const std::string& path_in,
                                             std::vector<dbf::FieldDef> fields, Share share) {
  dbf::Header h;
  h.fields = std::move(fields);
  if (Status s = dbf::layout(h, path_in); !s.ok()) return s;
  h.updated = today_of(os);
  std::string path = path_in;
  // A table already there is replaced only when nobody has it open.
  std::unique_ptr<Table> old;
  bool existed = false;
  if (auto found = find_path(os, path_in); found.ok()) {
    existed = true;
    path = *found;
    auto o = open_locked(os, path, Share::Exclusive);
    if (!o.ok() && o.status().code() != StatusCode::Corruption) return o.status();
    if (o.ok()) {
      old = std::move(o).value();
      h.generation = old->header_.generation + 1;
    }
  }
  std::string bytes = dbf::encode_header(h);
  bytes += dbf::kEndOfFile;
  auto make_memo = [&]() -> Status {
    if (!h.has_memo()) return {};
    const std::string memo = memo_path_of(path);
    const std::string memo_scratch = memo + "~";
    (void)os.unlink(memo_scratch);
    auto m = MemoFile::create(os, memo_scratch);
    if (!m.ok()) return m.status();
    if (Status s = (*m)->close(); !s.ok()) return s;
    return os.rename(memo_scratch, memo);
  };
  const std::string dir = folder_of(path).empty() ? "." : folder_of(path);
  Result<std::unique_ptr<File>> f = Status(StatusCode::Invalid, "create", path);
  if (!existed) {
    // A new table: made under its own name with O_EXCL, so two terminals
    // creating it at once never replace each other's file; the loser is
    // told (Exists) and opens the winner's.  Openers meanwhile find it
    // locked, or too short and wait (open).
    f = os.open(path, OpenMode::CreateExclusive);
    if (!f.ok()) {
      if (f.status().code() == StatusCode::Exists)
        return Status(StatusCode::Exists, "create", path, 0, "table created meanwhile by another terminal");
      return f.status();
    }
    (void)(*f)->lock(locks::kOpen, locks::kOpenLength, LockKind::Exclusive, LockWait::Try);
    if (Status s = make_memo(); !s.ok()) return s;
    if (Status s = (*f)->write_at(0, bytes); !s.ok()) return s;
    if (Status s = (*f)->sync(); !s.ok()) return s;
  } else {
    // Over an old table, held exclusively (or unreadable): a scratch file
    // renamed over it.
    const std::string scratch = path + "~";
    (void)os.unlink(scratch);
    f = os.open(scratch, OpenMode::CreateExclusive);
    if (!f.ok()) return f.status();
    if (Status s = (*f)->lock(locks::kOpen, locks::kOpenLength, LockKind::Exclusive, LockWait::Try); !s.ok())
      return s;
    if (Status s = (*f)->write_at(0, bytes); !s.ok()) return s;
    if (Status s = (*f)->sync(); !s.ok()) return s;
    if (Status s = make_memo(); !s.ok()) return s;
    if (Status s = os.rename(scratch, path); !s.ok()) return s;
  }
  if (Status s = os.sync_dir(dir); !s.ok()) return s;
  if (old) (void)old->close();
  if (share == Share::Shared)
    if (Status s = (*f)->lock(locks::kOpen, locks::kOpenLength, LockKind::Shared, LockWait::Try); !s.ok())
      return s;
  std::unique_ptr<Table> t(new Table(os, std::move(*f), path, share));
  if (Status s = t->load_header(); !s.ok()) return s;
  if (Status s = t->open_memo(true); !s.ok()) return s;
  return t;
}

}  // namespace kx
