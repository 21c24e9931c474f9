// One open .DBF file (with its memo file): records by number, the deleted
// flag, appends, and the record, table and append locks between terminals.
//
// Shared opening: every read of the count or a record goes to the file (the
// count comes from the file size), and every write needs the record lock or
// the table lock (a write without one is refused as a program error).
// Exclusive opening: nobody else has the file open, so the header is written
// back only by flush() and close().  Layout: docs/TABLE_FORMAT.md; locks:
// docs/LOCKS.md.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os.h"
#include "store/dbf_format.h"
#include "store/memo.h"

namespace kx {

enum class Share { Shared, Exclusive };

class Table {
 public:
  // Opens an existing table (the name is looked up in any case).  Busy
  // when another terminal holds it in a conflicting way; NotFound;
  // Corruption naming the file for a header that cannot be read.
  static Result<std::unique_ptr<Table>> open(Os& os, const std::string& path, Share share);
  // Creates a new empty table (with a .DBT when a memo field exists) and
  // opens it.  A table already there is replaced only when nobody has it
  // open (Busy otherwise), through a scratch file renamed over it.
  static Result<std::unique_ptr<Table>> create(Os& os, const std::string& path,
                                               std::vector<dbf::FieldDef> fields, Share share);
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  Os& os() { return os_; }
  const std::string& path() const { return path_; }
  const dbf::Header& header() const { return header_; }
  const std::vector<dbf::FieldDef>& fields() const { return header_.fields; }
  bool exclusive() const { return share_ == Share::Exclusive; }
  bool read_only() const { return read_only_; }

  // The record count as last seen; refresh() reads it again (the file size
  // in shared mode, so appends of other terminals show).
  std::uint32_t count() const { return count_; }
  Status refresh();
  // Notes on what was found when opening (a header count that disagrees
  // with the file size), for the check command and the caller.
  const std::vector<std::string>& notes() const { return notes_; }

  // The bytes of record `recno` (1..count), flag byte first.
  Result<std::string> read(std::uint32_t recno);
  // The same into a buffer the caller keeps (no allocation per record).
  Status read_into(std::uint32_t recno, std::string& rec);
  // Records first..first+n-1 in one read (scans, rebuilds, pack).
  Result<std::string> read_many(std::uint32_t first, std::uint32_t n);
  // Writes a whole record (record_size bytes).  Shared mode: the record or
  // the table must be locked by this table.
  Status write(std::uint32_t recno, std::string_view record);
  // Adds a record at the end and returns its number.  Shared mode: the new
  // record stays locked (replacing any other record lock), and Busy means
  // another terminal holds the table lock.
  // `count_known`: the caller holds the append lock and has just called
  // refresh(), so the count is not read again.
  Result<std::uint32_t> append(std::string_view record, bool count_known = false);

  // Locks.  Each is one attempt (Busy when held elsewhere); the caller
  // repeats with its own waits.  After a lock the header is read again.
  // A record lock replaces the record lock held before (one at a time).
  // In exclusive mode every lock succeeds at once.
  Status lock_record(std::uint32_t recno);
  Status lock_table();
  Status unlock();  // releases the record and table locks
  bool holds_record(std::uint32_t recno) const;
  bool holds_table() const { return table_locked_; }
  bool can_write(std::uint32_t recno) const {
    return exclusive() || table_locked_ || holds_record(recno);
  }

  // Serialises a multi-step change (append with its index entries): the
  // append lock, held only inside the engine.
  Status lock_append();
  Status unlock_append();

  // The memo file, or null when the table has no memo field.
  MemoFile* memo() { return memo_.get(); }
  // A field's value from a record (memo text read from the memo file).
  Result<Value> value(const std::string& record, std::size_t field);
  // Encodes a value into a record (a memo text goes to new memo blocks).
  Status put(std::string& record, std::size_t field, const Value& v);

  // Writes the header (count, date) now; in shared mode it is written with
  // every append.
  Status flush();
  Status close();

  // Turns a shared opening into an exclusive one when nobody else has the
  // table open (Busy otherwise), and back.  Destructive operations on a
  // table opened shared go through these.
  Status try_exclusive();
  Status back_to_shared();

  // Replaces the file by `scratch`, a complete table written beside it
  // (exclusive mode only): `scratch` is locked, synced and renamed over the
  // table, and this object then refers to it.  Used by pack and zap.
  Status swap_in(const std::string& scratch_path);

 private:
  Table(Os& os, std::unique_ptr<File> f, std::string path, Share share)
      : os_(os), file_(std::move(f)), path_(std::move(path)), share_(share) {}
  Status load_header();
  Status refresh_all();
  Status open_memo(bool writable);
  Status write_prolog();
  std::uint64_t offset_of(std::uint32_t recno) const {
    return header_.header_size + std::uint64_t{recno - 1} * header_.record_size;
  }
  static Result<std::unique_ptr<Table>> open_locked(Os& os, const std::string& path, Share share);

  Os& os_;
  std::unique_ptr<File> file_;
  std::string path_;
  std::unique_ptr<MemoFile> memo_;
  Share share_;
  bool read_only_ = false;
  dbf::Header header_;
  std::uint32_t count_ = 0;
  bool header_dirty_ = false;
  std::vector<std::string> notes_;
  std::uint32_t locked_record_ = 0;
  bool table_locked_ = false;
  bool append_locked_ = false;
};

// The memo file name of a table ("X.DBF" -> "X.DBT").
std::string memo_path_of(const std::string& table_path, bool fpt = false);
// Today as a Date from the Os clock (UTC).
Date today_of(Os& os);

}  // namespace kx
