#include "store/area.h"

#include "platform/cp850.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace kx {
namespace {

std::string default_alias(const std::string& path) {
  std::string name = TIRA_DIR(path);
  if (auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
  return cp850::upper(name);
}

// Closes an order that is an index file (flushing it).
Status close_order(std::unique_ptr<Order>& o) {
  Status s;
  if (auto* ix = dynamic_cast<IndexFile*>(o.get())) s = ix->close();
  o.reset();
  return s;
}

}  // namespace

Area::~Area() { (void)close(); }

Result<std::unique_ptr<Area>> Area::open(Os& os, const std::string& path, Share share,
                                         const std::vector<IndexSpec>& indexes, std::string alias) {
  auto t = Table::open(os, path, share);
  if (!t.ok()) return t.status();
  if (alias.empty()) alias = default_alias(path);
  std::unique_ptr<Area> a(new Area(std::move(t).value(), std::move(alias)));
  if (Status s = a->open_indexes(os, indexes); !s.ok()) return s;
  if (Status s = a->go_top(); !s.ok()) return s;
  return a;
}

Result<std::unique_ptr<Area>> Area::create(Os& os, const std::string& path, std::vector<dbf::FieldDef> fields,
                                           Share share, const std::vector<IndexSpec>& indexes, std::string alias) {
  auto t = Table::create(os, path, std::move(fields), share);
  if (!t.ok()) return t.status();
  if (alias.empty()) alias = default_alias(path);
  std::unique_ptr<Area> a(new Area(std::move(t).value(), std::move(alias)));
  if (Status s = a->open_indexes(os, indexes); !s.ok()) return s;
  if (Status s = a->go_top(); !s.ok()) return s;
  return a;
}

Status Area::open_indexes(Os& os, const std::vector<IndexSpec>& specs) {
  if (specs.size() > 3) return Status(StatusCode::Invalid, "open", table_->path(), 0, "more than three index files");
  if (Status s = table_->lock_append(); !s.ok()) return s;
  struct Unlock {
    Table& t;
    ~Unlock() { (void)t.unlock_append(); }
  } unlock{*table_};
  if (Status s = table_->refresh(); !s.ok()) return s;
  for (const IndexSpec& spec : specs) {
    std::string ipath = spec.path.empty() ? index_path_of(table_->path()) : spec.path;
    if (auto found = find_path(os, ipath); found.ok()) ipath = *found;
    auto key = BoundKey::bind(spec.key, table_->header());
    if (!key.ok()) return key.status();
    auto ix = IndexFile::open(os, ipath, *key, *table_);
    if (!ix.ok()) {
      const StatusCode code = ix.status().code();
      if (code != StatusCode::NotFound && code != StatusCode::Corruption) return ix.status();
      const bool upgraded = !table_->exclusive();
      if (upgraded)
        if (Status s = table_->try_exclusive(); !s.ok())
          return Status(s.code(), "rebuild index", ipath, 0,
                        ix.status().message() + "; the table is in use by another terminal");
      ix = IndexFile::build(os, ipath, *key, *table_);
      if (upgraded) {
        if (ix.ok()) (void)(*ix)->close();
        if (Status s = table_->back_to_shared(); !s.ok()) return s;
        if (ix.ok()) ix = IndexFile::open(os, ipath, *key, *table_);
      }
      if (!ix.ok()) return ix.status();
    }
    files_.push_back({spec, ipath});
    orders_.push_back(std::move(ix).value());
  }
  active_ = orders_.empty() ? 0 : 1;
  return {};
}

Status Area::close() {
  if (!table_) return {};
  Status s;
  for (auto& o : orders_) {
    Status c = close_order(o);
    if (s.ok()) s = c;
  }
  orders_.clear();
  Status c = table_->close();
  table_.reset();
  return s.ok() ? c : s;
}

Status Area::flush() {
  for (auto& o : orders_)
    if (Status s = o->flush(); !s.ok()) return s;
  return table_->flush();
}

// ---- Orders ---------------------------------------------------------------------

Status Area::set_order(std::size_t n) {
  if (n > orders_.size()) return Status(StatusCode::Invalid, "set order", table_->path(), 0, "no such order");
  active_ = n;
  pos_known_ = false;
  return {};
}

Status Area::add_temp_order(const KeyExpr& key) {
  auto b = BoundKey::bind(key, table_->header());
  if (!b.ok()) return b.status();
  BoundKey k = *b;
  return add_temp_order(key.text(), [k](std::string_view r) { return k.eval(r); });
}

Status Area::add_temp_order(std::string text, MemOrder::KeyFn key) {
  auto o = std::make_unique<MemOrder>(std::move(text), std::move(key));
  if (Status s = table_->refresh(); !s.ok()) return s;
  const std::uint32_t count = table_->count();
  const std::size_t rs = table_->header().record_size;
  for (std::uint32_t first = 1; first <= count; first += 1024) {
    const std::uint32_t n = std::min<std::uint32_t>(1024, count - first + 1);
    auto recs = table_->read_many(first, n);
    if (!recs.ok()) return recs.status();
    for (std::uint32_t i = 0; i < n; ++i) {
      std::string_view r = std::string_view(*recs).substr(i * rs, rs);
      (void)o->insert(make_entry(o->key_of(r), first + i));
    }
  }
  orders_.push_back(std::move(o));
  active_ = orders_.size();
  pos_known_ = false;
  return {};
}

Status Area::rebuild_all(std::vector<std::vector<std::string>>* prepared) {
  Os& os = table_->os();
  for (std::size_t i = 0; i < orders_.size(); ++i) {
    if (i < files_.size()) {
      auto key = BoundKey::bind(files_[i].spec.key, table_->header());
      if (!key.ok()) return key.status();
      if (auto* old = dynamic_cast<IndexFile*>(orders_[i].get())) old->discard();
      orders_[i].reset();
      auto ix = prepared ? IndexFile::build(os, files_[i].path, *key, *table_, std::move((*prepared)[i]))
                         : IndexFile::build(os, files_[i].path, *key, *table_);
      if (!ix.ok()) return ix.status();
      orders_[i] = std::move(ix).value();
    } else {
      auto* mem = static_cast<MemOrder*>(orders_[i].get());
      mem->clear();
      for (std::uint32_t r = 1; r <= table_->count(); ++r) {
        auto rec = table_->read(r);
        if (!rec.ok()) return rec.status();
        (void)mem->insert(make_entry(mem->key_of(*rec), r));
      }
    }
  }
  return {};
}

Status Area::with_table_alone(const char* op, const std::function<Status()>& body) {
  const bool upgraded = !table_->exclusive();
  if (upgraded)
    if (Status s = table_->try_exclusive(); !s.ok())
      return Status(s.code(), op, table_->path(), 0, "table in use by another terminal");
  Status s = body();
  if (upgraded) {
    // Index files go back to shared use: closed (flushed) and opened again.
    for (std::size_t i = 0; i < files_.size() && i < orders_.size(); ++i) {
      Status c = close_order(orders_[i]);
      if (s.ok()) s = c;
    }
    Status b = table_->back_to_shared();
    if (s.ok()) s = b;
    for (std::size_t i = 0; i < files_.size() && i < orders_.size(); ++i) {
      auto key = BoundKey::bind(files_[i].spec.key, table_->header());
      auto ix = IndexFile::open(table_->os(), files_[i].path, *key, *table_);
      if (!ix.ok()) return ix.status();
      orders_[i] = std::move(ix).value();
    }
  }
  if (!s.ok()) return s;
  return go_top();
}

Status Area::reindex() {
  return with_table_alone("rebuild indexes", [&] { return rebuild_all(); });
}

// ---- Position -------------------------------------------------------------------

std::uint32_t Area::reccount() {
  (void)table_->refresh();
  return table_->count();
}

Status Area::load(std::uint32_t recno) {
  pos_known_ = false;
  if (Status s = table_->read_into(recno, rec_); !s.ok()) {
    phantom();
    return s;
  }
  recno_ = recno;
  eof_ = false;
  return {};
}

void Area::phantom() {
  pos_known_ = false;
  rec_ = dbf::blank_record(table_->header());
  recno_ = table_->count() + 1;
  eof_ = true;
}

bool Area::visible() {
  if (hide_deleted_ && deleted()) return false;
  return !filter_ || filter_(*this);
}

Status Area::reread() {
  if (eof_) {
    phantom();
    return {};
  }
  return load(recno_);
}

// A visible record at `from` or after it in record-number order; the
// phantom record when none.
Status Area::natural_forward(std::uint32_t from) {
  if (Status s = table_->refresh(); !s.ok()) return s;
  for (std::uint32_t r = from; r <= table_->count(); ++r) {
    if (Status s = load(r); !s.ok()) return s;
    if (visible()) return {};
  }
  phantom();
  return {};
}

// A visible record at `from` or before it; eof_ stays true when none.
Status Area::natural_backward(std::uint32_t from) {
  for (std::uint32_t r = from; r >= 1; --r) {
    if (Status s = load(r); !s.ok()) return s;
    if (visible()) return {};
  }
  phantom();
  return {};
}

Status Area::settle(std::optional<std::string> e, bool forward) {
  Order& o = *active_order();
  while (e) {
    const std::uint32_t r = entry_recno(*e);
    if (r > table_->count()) (void)table_->refresh();
    if (r >= 1 && r <= table_->count()) {
      if (Status s = load(r); !s.ok()) return s;
      if (visible()) {
        pos_entry_ = std::move(*e);
        pos_known_ = true;
        return {};
      }
    }
    auto step = forward ? o.after(*e) : o.before(*e);
    if (!step.ok()) return step.status();
    e = std::move(step).value();
  }
  phantom();
  return {};
}

namespace {
// begin_read/end_read around a navigation.
struct ReadScope {
  Order* o;
  Status status;
  explicit ReadScope(Order* order) : o(order) {
    if (o) status = o->begin_read();
  }
  ~ReadScope() {
    if (o && status.ok()) (void)o->end_read();
  }
};
}  // namespace

Status Area::go_top() {
  bof_ = false;
  if (active_ == 0) {
    if (Status s = natural_forward(1); !s.ok()) return s;
  } else {
    ReadScope rs(active_order());
    if (!rs.status.ok()) return rs.status;
    auto e = active_order()->first();
    if (!e.ok()) return e.status();
    if (Status s = settle(std::move(e).value(), true); !s.ok()) return s;
  }
  bof_ = eof_;
  return {};
}

Status Area::go_bottom() {
  bof_ = false;
  if (Status s = table_->refresh(); !s.ok()) return s;
  if (active_ == 0) {
    if (Status s = natural_backward(table_->count()); !s.ok()) return s;
  } else {
    ReadScope rs(active_order());
    if (!rs.status.ok()) return rs.status;
    auto e = active_order()->last();
    if (!e.ok()) return e.status();
    if (Status s = settle(std::move(e).value(), false); !s.ok()) return s;
  }
  bof_ = eof_;
  return {};
}

Status Area::go_to(std::uint32_t recno) {
  bof_ = false;
  if (Status s = table_->refresh(); !s.ok()) return s;
  if (recno >= 1 && recno <= table_->count()) return load(recno);
  phantom();
  return {};
}

Status Area::skip(long n) {
  if (n == 0) return reread();
  bof_ = false;
  ReadScope rs(active_order());
  if (!rs.status.ok()) return rs.status;
  for (; n > 0; --n) {
    if (eof_) break;
    if (active_ == 0) {
      if (Status s = natural_forward(recno_ + 1); !s.ok()) return s;
    } else {
      auto e = active_order()->after(position_entry(*active_order()));
      if (!e.ok()) return e.status();
      if (Status s = settle(std::move(e).value(), true); !s.ok()) return s;
    }
  }
  for (; n < 0; ++n) {
    const std::uint32_t was = recno_;
    const bool was_eof = eof_;
    if (active_ == 0) {
      if (Status s = natural_backward(was_eof ? table_->count() : recno_ - 1); !s.ok()) return s;
    } else {
      auto e = was_eof ? active_order()->last() : active_order()->before(position_entry(*active_order()));
      if (!e.ok()) return e.status();
      if (Status s = settle(std::move(e).value(), false); !s.ok()) return s;
    }
    if (eof_) {
      // Nothing before: BOF, standing on the first record (or the phantom
      // record of an empty view).
      bof_ = true;
      if (!was_eof) {
        if (Status s = load(was); !s.ok()) return s;
      }
      break;
    }
  }
  return {};
}

Status Area::seek(const Value& key, bool soft) {
  found_ = false;
  bof_ = false;
  Order* o = active_order();
  if (!o) return Status(StatusCode::Invalid, "seek", table_->path(), 0, "no active order");
  auto bytes = o->seek_bytes(key);
  if (!bytes.ok()) return bytes.status();
  ReadScope rs(o);
  if (!rs.status.ok()) return rs.status;
  auto e = o->lower_bound(*bytes);
  if (!e.ok()) return e.status();
  if (Status s = settle(std::move(e).value(), true); !s.ok()) return s;
  if (!eof_) {
    const std::string k = o->key_of(rec_);
    found_ = k.compare(0, bytes->size(), *bytes) == 0;
    if (!found_ && !soft) phantom();
  }
  return {};
}

Result<Value> Area::get(std::string_view field) {
  auto i = field_index(field);
  if (!i) return Status(StatusCode::NotFound, "field " + std::string(field), table_->path());
  return table_->value(rec_, *i);
}

// ---- Locks -----------------------------------------------------------------------

Status Area::lock_record() {
  if (eof_) return Status(StatusCode::Invalid, "lock", table_->path(), 0, "no record to lock (end of file)");
  if (Status s = table_->lock_record(recno_); !s.ok()) return s;
  return load(recno_);
}

Status Area::lock_table() {
  if (Status s = table_->lock_table(); !s.ok()) return s;
  return reread();
}

Status Area::unlock() { return table_->unlock(); }

// ---- Writes ----------------------------------------------------------------------

Status Area::write_current(const std::string& next) {
  if (eof_) return Status(StatusCode::Invalid, "replace", table_->path(), 0, "no record (end of file)");
  if (!table_->can_write(recno_))
    return Status(StatusCode::Invalid, "replace", table_->path(), 0, "write without the record or table lock");
  struct Change {
    Order* o;
    std::string old_e, new_e;
  };
  std::vector<Change> changes;
  for (auto& o : orders_) {
    std::string old_e = current_entry(*o), new_e = make_entry(o->key_of(next), recno_);
    if (old_e != new_e) changes.push_back({o.get(), std::move(old_e), std::move(new_e)});
  }
  std::size_t begun = 0;
  Status s;
  for (; begun < changes.size() && s.ok(); ++begun) s = changes[begun].o->begin_write();
  if (!s.ok()) --begun;
  if (s.ok()) {
    s = table_->write(recno_, next);
    if (!s.ok())  // the record may be partly written: the index is rebuilt on the next opening
      for (std::size_t i = 0; i < begun; ++i) changes[i].o->abandon();
  }
  if (s.ok()) {
    for (Change& c : changes) {
      Status e = c.o->erase(c.old_e);
      Status i = c.o->insert(c.new_e);
      if (s.ok()) s = e.ok() ? i : e;
    }
    rec_ = next;
    pos_known_ = false;
  }
  for (std::size_t i = 0; i < begun; ++i) {
    Status e = changes[i].o->end_write(Order::kSameCount);
    if (s.ok()) s = e;
  }
  return s;
}

Status Area::replace(std::string_view field, const Value& v) {
  return replace({{std::string(field), v}});
}

Status Area::replace(const std::vector<std::pair<std::string, Value>>& values) {
  if (eof_) return Status(StatusCode::Invalid, "replace", table_->path(), 0, "no record (end of file)");
  std::string next = rec_;
  for (const auto& [name, v] : values) {
    auto i = field_index(name);
    if (!i) return Status(StatusCode::NotFound, "field " + name, table_->path());
    if (Status s = table_->put(next, *i, v); !s.ok()) return s;
  }
  return write_current(next);
}

Result<std::uint32_t> Area::append_record(std::string_view record) {
  if (Status s = table_->lock_append(); !s.ok()) return s;
  std::size_t begun = 0;
  Status s = table_->refresh();
  const std::uint32_t before = table_->count();
  for (; begun < orders_.size() && s.ok(); ++begun) s = orders_[begun]->begin_append(before);
  if (!s.ok()) --begun;
  std::uint32_t n = 0;
  if (s.ok()) {
    auto r = table_->append(record, /*count_known=*/true);
    if (r.ok()) n = *r;
    else s = r.status();
  }
  if (s.ok()) {
    for (auto& o : orders_)
      if (Status i = o->insert(make_entry(o->key_of(record), n)); !i.ok() && s.ok()) s = i;
  } else {
    // The record may be in the file without its entries.
    for (std::size_t i = 0; i < begun; ++i) orders_[i]->abandon();
  }
  for (std::size_t i = 0; i < begun; ++i) {
    Status e = orders_[i]->end_write(table_->count());
    if (s.ok()) s = e;
  }
  Status u = table_->unlock_append();
  if (s.ok()) s = u;
  if (!s.ok()) return s;
  return n;
}

Status Area::append_blank() {
  std::string blank = dbf::blank_record(table_->header());
  auto n = append_record(blank);
  if (!n.ok()) return n.status();
  rec_ = std::move(blank);
  pos_known_ = false;
  recno_ = *n;
  eof_ = bof_ = false;
  return {};
}

Status Area::delete_record() {
  if (eof_) return Status(StatusCode::Invalid, "delete", table_->path(), 0, "no record (end of file)");
  std::string next = rec_;
  next[0] = dbf::kDeleted;
  return write_current(next);
}

Status Area::recall() {
  if (eof_) return Status(StatusCode::Invalid, "recall", table_->path(), 0, "no record (end of file)");
  std::string next = rec_;
  next[0] = dbf::kLive;
  return write_current(next);
}

Status Area::rewrite_file(bool keep_live, std::vector<std::vector<std::string>>* entries) {
  Os& os = table_->os();
  const std::string scratch = table_->path() + "~";
  (void)os.unlink(scratch);
  auto f = os.open(scratch, OpenMode::CreateExclusive);
  if (!f.ok()) return f.status();
  dbf::Header h = table_->header();
  h.generation += 1;
  h.updated = today_of(os);
  const std::size_t rs = h.record_size;
  std::uint64_t at = h.header_size;
  std::uint32_t kept = 0;
  if (keep_live) {
    for (std::uint32_t first = 1; first <= table_->count(); first += 2048) {
      const std::uint32_t n = std::min<std::uint32_t>(2048, table_->count() - first + 1);
      auto recs = table_->read_many(first, n);
      if (!recs.ok()) return recs.status();
      std::string out;
      out.reserve(recs->size());
      for (std::uint32_t i = 0; i < n; ++i)
        if ((*recs)[i * rs] != dbf::kDeleted) {
          out.append(*recs, i * rs, rs);
          ++kept;
          if (entries) {
            const std::string_view rec = std::string_view(*recs).substr(i * rs, rs);
            for (std::size_t k = 0; k < files_.size(); ++k)
              (*entries)[k].push_back(make_entry(orders_[k]->key_of(rec), kept));
          }
        }
      if (Status s = (*f)->write_at(at, out); !s.ok()) return s;
      at += out.size();
    }
  }
  if (Status s = (*f)->write_at(at, std::string(1, dbf::kEndOfFile)); !s.ok()) return s;
  h.count = kept;
  if (Status s = (*f)->write_at(0, dbf::encode_header(h)); !s.ok()) return s;
  if (Status s = (*f)->close(); !s.ok()) return s;
  return table_->swap_in(scratch);
}

Status Area::pack() {
  return with_table_alone("pack", [&] {
    std::vector<std::vector<std::string>> entries(files_.size());
    Status s = rewrite_file(true, &entries);
    return s.ok() ? rebuild_all(&entries) : s;
  });
}

Status Area::zap() {
  return with_table_alone("zap", [&] {
    Status s = rewrite_file(false);
    return s.ok() ? rebuild_all() : s;
  });
}

}  // namespace kx
