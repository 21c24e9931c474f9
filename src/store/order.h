// An order: the records of a table sorted by a key.  Entries are the key
// bytes followed by the record number as 4 big-endian bytes, so entries are
// unique and sort (by memcmp) by key, then by record number.  Index files
// (index_file.h) and temporary in-memory orders share this interface.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "store/key_expr.h"

namespace kx {

std::string make_entry(std::string_view key, std::uint32_t recno);
std::uint32_t entry_recno(std::string_view entry);
inline std::string_view entry_key(std::string_view entry) { return entry.substr(0, entry.size() - 4); }

class Order {
 public:
  static constexpr std::uint32_t kSameCount = 0xFFFFFFFFu;
  virtual ~Order() = default;

  // The xBase text of the key (for a temporary order, its description).
  virtual std::string text() const = 0;
  // Key bytes of a record (flag byte first) and how values are sought.
  virtual std::string key_of(std::string_view record) const = 0;
  virtual Result<std::string> seek_bytes(const Value& v) const = 0;

  // Shared orders lock around reads and changes and drop their caches when
  // another terminal changed them.  Calls nest; every begin has its end.
  // end_write publishes the change; an append tells the table's new record
  // count (kept in index headers), other changes pass kSameCount.
  virtual Status begin_read() { return {}; }
  virtual Status end_read() { return {}; }
  virtual Status begin_write() { return {}; }
  // A write that only adds the entries of a new record, the table holding
  // `count_before` records (under the append lock).
  virtual Status begin_append(std::uint32_t count_before) { (void)count_before; return begin_write(); }
  virtual Status end_write(std::uint32_t table_count) { (void)table_count; return {}; }

  // The change under way could not be completed (a write of the table
  // failed): the order is left marked so that the next opening rebuilds it.
  virtual void abandon() {}

  virtual Status insert(std::string_view entry) = 0;
  // Removing an entry that is not there is Corruption (the order is damaged).
  virtual Status erase(std::string_view entry) = 0;

  // Navigation inside begin_read/end_read (or a write).  Nothing when there
  // is no such entry.
  virtual Result<std::optional<std::string>> first() = 0;
  virtual Result<std::optional<std::string>> last() = 0;
  // The first entry >= bytes (bytes compared on their own length, so a
  // shorter text finds the first key that starts with it).
  virtual Result<std::optional<std::string>> lower_bound(std::string_view bytes) = 0;
  // The entry right after / right before `entry` (which need not exist).
  virtual Result<std::optional<std::string>> after(std::string_view entry) = 0;
  virtual Result<std::optional<std::string>> before(std::string_view entry) = 0;

  // Writes what is cached (index files); called on close.
  virtual Status flush() { return {}; }
};

// A temporary order kept in memory, built by the caller from a key function
// (MONTH(NASCIMENTO), mixed columns of a list) or an expression.
class MemOrder final : public Order {
 public:
  using KeyFn = std::function<std::string(std::string_view record)>;
  MemOrder(std::string text, KeyFn key) : text_(std::move(text)), key_(std::move(key)) {}
  explicit MemOrder(BoundKey key);

  std::string text() const override { return text_; }
  std::string key_of(std::string_view record) const override { return key_(record); }
  Result<std::string> seek_bytes(const Value& v) const override;
  Status insert(std::string_view entry) override;
  Status erase(std::string_view entry) override;
  Result<std::optional<std::string>> first() override;
  Result<std::optional<std::string>> last() override;
  Result<std::optional<std::string>> lower_bound(std::string_view bytes) override;
  Result<std::optional<std::string>> after(std::string_view entry) override;
  Result<std::optional<std::string>> before(std::string_view entry) override;
  std::size_t size() const { return entries_.size(); }
  void clear() { entries_.clear(); }

 private:
  std::string text_;
  KeyFn key_;
  std::optional<BoundKey> bound_;
  std::set<std::string, std::less<>> entries_;
};

}  // namespace kx
