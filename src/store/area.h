// A work area: an open table with its order list, a current record and the
// navigation and writes of the procedures (GO TOP/BOTTOM, SKIP, SEEK,
// REPLACE, APPEND BLANK, DELETE, RECALL, PACK, ZAP).
//
// The current record's bytes are held in a buffer; past the last record the
// area stands on the blank phantom record (EOF, record number count + 1).
// Every write goes through the area, so the orders of its list are kept
// current, and a shared table is only written under the record or table
// lock (a write without one is refused as a program error: Invalid).
// Deleted rows are skipped by navigation while hidden (the default, as the
// program always has it), and so are rows the filter rejects.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os.h"
#include "platform/value.h"
#include "store/index_file.h"
#include "store/order.h"
#include "store/table.h"

namespace kx {

// One index file of an order list: its key and its file ("" = the table's
// own index file, X.CDX for X.DBF).
struct IndexSpec {
  KeyExpr key;
  std::string path;
};

class Area {
 public:
  // Opens the table and its index files, building any index that is
  // missing, foreign, stale or damaged (which needs the table alone: when
  // another terminal has it open the opening fails with Busy naming the
  // index).  The first index is the active order.
  static Result<std::unique_ptr<Area>> open(Os& os, const std::string& path, Share share,
                                            const std::vector<IndexSpec>& indexes, std::string alias = {});
  // Creates a table from a field list (see Table::create) and opens it.
  static Result<std::unique_ptr<Area>> create(Os& os, const std::string& path,
                                              std::vector<dbf::FieldDef> fields, Share share,
                                              const std::vector<IndexSpec>& indexes = {},
                                              std::string alias = {});
  ~Area();

  Table& table() { return *table_; }
  const std::string& alias() const { return alias_; }
  void set_alias(std::string a) { alias_ = std::move(a); }
  Status close();

  // ---- Settings --------------------------------------------------------
  void set_hide_deleted(bool on) { hide_deleted_ = on; }
  bool hide_deleted() const { return hide_deleted_; }
  // SET FILTER: a predicate on the area standing on a candidate record.
  using Filter = std::function<bool(Area&)>;
  void set_filter(Filter f) { filter_ = std::move(f); }

  // ---- Orders ------------------------------------------------------------
  std::size_t order_count() const { return orders_.size(); }
  // 0 = natural (record number) order; 1.. the order list.
  Status set_order(std::size_t n);
  std::size_t order() const { return active_; }
  Order* active_order() { return active_ == 0 ? nullptr : orders_[active_ - 1].get(); }
  std::string order_text(std::size_t n) const { return orders_.at(n - 1)->text(); }
  // A temporary order in memory over the whole table, made active; kept
  // current by the writes of this area until closed.
  Status add_temp_order(const KeyExpr& key);
  Status add_temp_order(std::string text, MemOrder::KeyFn key);
  // Rebuilds every index file of the list (table alone, as for open).
  Status reindex();

  // ---- Position ------------------------------------------------------------
  std::uint32_t recno() const { return recno_; }
  bool bof() const { return bof_; }
  bool eof() const { return eof_; }
  bool found() const { return found_; }
  // RECCOUNT (read again from the file in shared mode), RECSIZE, HEADER.
  std::uint32_t reccount();
  std::size_t record_size() const { return table_->header().record_size; }
  std::size_t header_size() const { return table_->header().header_size; }

  Status go_top();
  Status go_bottom();
  // GO n: a number past the end stands on the phantom record.
  Status go_to(std::uint32_t recno);
  Status skip(long n = 1);
  // SEEK: a text matches on the length given; soft seek stands on the next
  // key when there is no match (EOF when none).
  Status seek(const Value& key, bool soft = false);
  // Reads the current record again (after a lock, or to see others' change).
  Status reread();

  // ---- The current record ----------------------------------------------------
  const std::string& record() const { return rec_; }
  bool deleted() const { return !rec_.empty() && rec_[0] == dbf::kDeleted; }
  std::optional<std::size_t> field_index(std::string_view name) const { return table_->header().find(name); }
  // A field's value (blank on the phantom record).  NotFound for an unknown field.
  Result<Value> get(std::string_view field);

  // ---- Locks -------------------------------------------------------------------
  // One attempt each (Busy when held elsewhere); the record is read again.
  Status lock_record();
  Status lock_table();
  Status unlock();

  // ---- Writes --------------------------------------------------------------------
  // REPLACE: numbers rounded to the field's decimals; a value that does not
  // fit is refused (Invalid naming the field) and nothing is written.
  Status replace(std::string_view field, const Value& v);
  Status replace(const std::vector<std::pair<std::string, Value>>& values);
  // APPEND BLANK: the new record is current (and locked in shared mode).
  Status append_blank();
  // Appends a whole record (flag byte first) with its index entries.
  Result<std::uint32_t> append_record(std::string_view record);
  Status delete_record();
  Status recall();
  // PACK and ZAP: need the table alone (Busy otherwise); the new file is
  // written beside the table and renamed over it, then the indexes rebuilt.
  Status pack();
  Status zap();
  // Writes cached index pages and the header (exclusive tables).
  Status flush();

 private:
  Area(std::unique_ptr<Table> t, std::string alias) : table_(std::move(t)), alias_(std::move(alias)) {}
  Status open_indexes(Os& os, const std::vector<IndexSpec>& specs);
  // Rebuilds the orders; `prepared` holds the entries of each index file
  // when the caller made them already.
  Status rebuild_all(std::vector<std::vector<std::string>>* prepared = nullptr);
  // Runs `body` with the table opened exclusively (taken for the moment
  // when it was opened shared: Busy when another terminal has it open).
  Status with_table_alone(const char* op, const std::function<Status()>& body);
  Status load(std::uint32_t recno);
  void phantom();
  bool visible();
  Status write_current(const std::string& next);
  // Stands on the first visible record at or after (forward) / before
  // (backward) the given start in the active order.
  Status settle(std::optional<std::string> entry, bool forward);
  Status natural_forward(std::uint32_t from);
  Status natural_backward(std::uint32_t from);
  Status rewrite_file(bool keep_live, std::vector<std::vector<std::string>>* entries = nullptr);
  std::string current_entry(Order& o) const { return make_entry(o.key_of(rec_), recno_); }
  std::string position_entry(Order& o) const { return pos_known_ ? pos_entry_ : current_entry(o); }

  std::unique_ptr<Table> table_;
  std::string alias_;
  struct Index {
    IndexSpec spec;
    std::string path;
  };
  std::vector<Index> files_;                 // the index files of the list, in order
  std::vector<std::unique_ptr<Order>> orders_;  // files first, then temporary orders
  std::size_t active_ = 0;
  std::uint32_t recno_ = 0;
  std::string rec_;
  // The active order's entry the area stands on, when known (saves working
  // the key out again on every skip).
  std::string pos_entry_;
  bool pos_known_ = false;
  bool bof_ = false, eof_ = true, found_ = false;
  bool hide_deleted_ = true;
  Filter filter_;
};

}  // namespace kx
