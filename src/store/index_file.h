// An index file: one order of one table in our own B+tree format
// (docs/INDEX_FORMAT.md).  The header holds a magic, the key expression
// text, a change counter, the table's record count and pack generation, and
// a state byte that is "changing" while pages may be out of step; an index
// that is foreign (another format or key), stale (another table, an older
// pack, another record count) or damaged (a change cut off, a bad page) is
// refused by open() with Corruption saying which, and the caller rebuilds it.
//
// Shared tables: reads take the index's shared lock and writes its exclusive
// lock; the change counter tells when another terminal changed the index,
// and the page cache is dropped then.  Exclusive tables: pages are cached and
// written by flush()/close(); the header says "changing" meanwhile, so a
// crash leaves an index that the next open rebuilds.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/os.h"
#include "store/order.h"
#include "store/table.h"

namespace kx {

class IndexFile final : public Order {
 public:
  static constexpr std::size_t kPageSize = 4096;

  static Result<std::unique_ptr<IndexFile>> open(Os& os, const std::string& path, const BoundKey& key,
                                                 Table& table);
  // Builds the index of every record of `table` in a scratch file and
  // renames it over `path`.  The table must be open exclusively (nobody else
  // may have the index open).
  static Result<std::unique_ptr<IndexFile>> build(Os& os, const std::string& path, const BoundKey& key,
                                                  Table& table);
  // The same from the entries of every record, already made (by a pack
  // that read the records anyway); they need not be sorted.
  static Result<std::unique_ptr<IndexFile>> build(Os& os, const std::string& path, const BoundKey& key,
                                                  Table& table, std::vector<std::string> entries);
  // The key expression text kept in an index file's header (for tools
  // that check files they did not open themselves).
  static Result<std::string> expression_of(Os& os, const std::string& path);
  ~IndexFile() override;

  const std::string& path() const { return file_->path(); }
  const BoundKey& key() const { return key_; }
  std::uint64_t counter() const { return counter_; }
  std::uint32_t entries() const { return entries_; }

  // Walks every page (bounds, order, links, counts) and compares the entries
  // with those the table's records give.  Corruption saying what is wrong.
  Status check(Table& table, bool against_records = true);

  std::string text() const override { return key_.expr().text(); }
  std::string key_of(std::string_view record) const override { return key_.eval(record); }
  Result<std::string> seek_bytes(const Value& v) const override { return key_.seek_bytes(v); }
  Status begin_read() override;
  Status end_read() override;
  Status begin_write() override;
  Status begin_append(std::uint32_t count_before) override;
  Status end_write(std::uint32_t table_count) override;
  void abandon() override { broken_ = true; }
  Status insert(std::string_view entry) override;
  Status erase(std::string_view entry) override;
  Result<std::optional<std::string>> first() override;
  Result<std::optional<std::string>> last() override;
  Result<std::optional<std::string>> lower_bound(std::string_view bytes) override;
  Result<std::optional<std::string>> after(std::string_view entry) override;
  Result<std::optional<std::string>> before(std::string_view entry) override;
  Status flush() override;
  Status close();
  // Closes without writing what is cached: the file is about to be replaced
  // by a rebuild.
  void discard();

 private:
  IndexFile(std::unique_ptr<File> f, BoundKey key, bool shared);
  Status read_header(bool verify_only_state);
  Status write_header();
  Status write_dirty();
  Result<std::string*> page(std::uint32_t no);
  std::string* new_page(char type);
  Status insert_into_parent(std::vector<std::pair<std::uint32_t, std::size_t>>& path, std::string sep,
                            std::uint32_t right);
  // Leaf that holds (or would hold) `t`; strict: descend left of equal separators.
  Result<std::uint32_t> descend(std::string_view t, bool strict,
                                std::vector<std::pair<std::uint32_t, std::size_t>>* path = nullptr);
  Result<std::optional<std::string>> forward_from(std::uint32_t leaf, std::size_t pos);
  Result<std::optional<std::string>> backward_from(std::uint32_t leaf, long pos);
  int cmp(const char* entry, std::string_view t) const;
  std::size_t leaf_lower(const std::string& p, std::string_view t) const;
  std::size_t leaf_upper(const std::string& p, std::string_view t) const;

  std::unique_ptr<File> file_;
  BoundKey key_;
  bool shared_;
  std::size_t elen_;
  std::size_t leaf_cap_, branch_cap_;
  // Header values.
  std::uint32_t root_ = 0, pages_ = 0, entries_ = 0, records_ = 0, generation_ = 0, first_leaf_ = 0;
  std::uint16_t record_size_ = 0;
  std::uint64_t counter_ = 0;
  bool changing_ = false;  // the header on disk says "changing"
  bool known_ = false;     // the header was read since the last lock
  bool broken_ = false;    // a change found the index inconsistent: it stays changing
  int reads_ = 0, writes_ = 0;
  std::uint32_t hint_leaf_ = 0;  // where the entry returned last lies (0: unknown)
  std::size_t hint_pos_ = 0;
  std::unordered_map<std::uint32_t, std::string> cache_;
  std::set<std::uint32_t> dirty_;
};

// The name of a table's own index file ("X.DBF" -> "X.CDX"), and of a
// further one ("X.DBF", "B" -> "XB.CDX").
std::string index_path_of(const std::string& table_path, std::string_view suffix = "");

}  // namespace kx
