#include "store/index_file.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "platform/paths.h"
#include "store/index_layout.h"
#include "store/lock_layout.h"

namespace kx {

using namespace index_layout;

std::string index_path_of(const std::string& table_path, std::string_view suffix) {
  const std::string name = TIRA_DIR(table_path);
  const std::size_t dot = name.rfind('.');
  std::string base = table_path.substr(0, table_path.size() - (dot == std::string::npos ? 0 : name.size() - dot));
  const bool lower = !name.empty() && std::islower(static_cast<unsigned char>(name.back()));
  return base + std::string(suffix) + (lower ? ".cdx" : ".CDX");
}

IndexFile::IndexFile(std::unique_ptr<File> f, BoundKey key, bool shared)
    : file_(std::move(f)), key_(std::move(key)), shared_(shared), elen_(key_.length() + 4) {
  leaf_cap_ = (kPage - P_DATA) / elen_;
  branch_cap_ = (kPage - P_DATA) / (elen_ + 4);
}

IndexFile::~IndexFile() {
  if (file_) (void)close();
}

int IndexFile::cmp(const char* e, std::string_view t) const {
  const std::size_t n = std::min(elen_, t.size());
  const int c = std::memcmp(e, t.data(), n);
  if (c != 0) return c;
  return elen_ < t.size() ? -1 : elen_ > t.size() ? 1 : 0;
}

std::size_t IndexFile::leaf_lower(const std::string& p, std::string_view t) const {
  std::size_t lo = 0, hi = get16(p.data() + P_COUNT);
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (cmp(p.data() + P_DATA + mid * elen_, t) < 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

std::size_t IndexFile::leaf_upper(const std::string& p, std::string_view t) const {
  std::size_t lo = 0, hi = get16(p.data() + P_COUNT);
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (cmp(p.data() + P_DATA + mid * elen_, t) <= 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

// ---- Header ---------------------------------------------------------------

Status IndexFile::read_header(bool state_only) {
  char h[kHeaderBytes];
  auto n = file_->read_at(0, h, sizeof h);
  if (!n.ok()) return n.status();
  if (*n != sizeof h) return corrupt(path(), "index file cut short");
  if (std::memcmp(h, kMagic, sizeof kMagic) != 0) return corrupt(path(), "not an index file of ours (foreign)");
  if (get32(h + H_SUM) != checksum(h, sizeof h, H_SUM)) return corrupt(path(), "index header damaged");
  const std::uint64_t counter = get64(h + H_COUNTER);
  if (!state_only) {
    if (get16(h + H_FORMAT) != kFormat || get16(h + H_PAGE) != kPage)
      return corrupt(path(), "index of another format version (foreign)");
    const std::size_t elen = std::size_t{get16(h + H_EXPRLEN)};
    if (elen > kHeaderBytes - H_EXPR) return corrupt(path(), "index header damaged");
    if (std::string(h + H_EXPR, elen) != key_.expr().text() || get16(h + H_KEYLEN) != key_.length() ||
        h[H_KEYTYPE] != key_.type())
      return corrupt(path(), "index of another key: " + std::string(h + H_EXPR, elen) + " (foreign)");
  }
  if (static_cast<unsigned char>(h[H_STATE]) != kClean && !(changing_ && !shared_))
    return corrupt(path(), "index damaged: a change to it was cut off");
  if (counter != counter_ || !known_) {
    cache_.clear();
    dirty_.clear();
    hint_leaf_ = 0;
  }
  counter_ = counter;
  root_ = get32(h + H_ROOT);
  pages_ = get32(h + H_PAGES);
  records_ = get32(h + H_RECORDS);
  entries_ = get32(h + H_ENTRIES);
  generation_ = get32(h + H_GENERATION);
  record_size_ = get16(h + H_RECSIZE);
  first_leaf_ = get32(h + H_FIRST);
  known_ = true;
  if (root_ == 0 || root_ >= pages_ || first_leaf_ == 0 || first_leaf_ >= pages_)
    return corrupt(path(), "index header damaged");
  return {};
}

Status IndexFile::write_header() {
  std::string h(kPage, '\0');
  std::memcpy(h.data(), kMagic, sizeof kMagic);
  put16(h.data() + H_FORMAT, kFormat);
  put16(h.data() + H_PAGE, static_cast<std::uint16_t>(kPage));
  put16(h.data() + H_KEYLEN, static_cast<std::uint16_t>(key_.length()));
  h[H_KEYTYPE] = key_.type();
  h[H_STATE] = static_cast<char>(changing_ ? kChanging : kClean);
  put64(h.data() + H_COUNTER, counter_);
  put32(h.data() + H_ROOT, root_);
  put32(h.data() + H_PAGES, pages_);
  put32(h.data() + H_RECORDS, records_);
  put32(h.data() + H_ENTRIES, entries_);
  put32(h.data() + H_GENERATION, generation_);
  put16(h.data() + H_RECSIZE, record_size_);
  const std::string text = key_.expr().text();
  put16(h.data() + H_EXPRLEN, static_cast<std::uint16_t>(text.size()));
  put32(h.data() + H_FIRST, first_leaf_);
  std::memcpy(h.data() + H_EXPR, text.data(), std::min(text.size(), kHeaderBytes - H_EXPR));
  put32(h.data() + H_SUM, checksum(h.data(), kHeaderBytes, H_SUM));
  return file_->write_at(0, std::string_view(h).substr(0, kHeaderBytes));
}

// ---- Pages ----------------------------------------------------------------

Result<std::string*> IndexFile::page(std::uint32_t no) {
  // Lock discipline: on a shared table, pages are read under the index lock.
  assert(!shared_ || reads_ > 0 || writes_ > 0);
  auto it = cache_.find(no);
  if (it != cache_.end()) return &it->second;
  if (no == 0 || no >= pages_) return corrupt(path(), "index page " + std::to_string(no) + " out of range");
  std::string p(kPage, '\0');
  if (Status s = file_->read_exact(std::uint64_t{no} * kPage, p.data(), kPage); !s.ok())
    return corrupt(path(), "index page " + std::to_string(no) + " cut short");
  const std::size_t count = get16(p.data() + P_COUNT);
  if (get32(p.data() + P_SUM) != checksum(p.data(), kPage, P_SUM) ||
      (p[P_TYPE] != kLeaf && p[P_TYPE] != kBranch) ||
      count > (p[P_TYPE] == kLeaf ? leaf_cap_ : branch_cap_) || (p[P_TYPE] == kBranch && count == 0))
    return corrupt(path(), "index page " + std::to_string(no) + " damaged");
  return &cache_.emplace(no, std::move(p)).first->second;
}

std::string* IndexFile::new_page(char type) {
  const std::uint32_t no = pages_++;
  std::string p(kPage, '\0');
  p[P_TYPE] = type;
  dirty_.insert(no);
  return &cache_.insert_or_assign(no, std::move(p)).first->second;
}

Status IndexFile::write_dirty() {
  for (std::uint32_t no : dirty_) {
    std::string& p = cache_.at(no);
    put32(p.data() + P_SUM, checksum(p.data(), kPage, P_SUM));
    if (Status s = file_->write_at(std::uint64_t{no} * kPage, p); !s.ok()) return s;
  }
  dirty_.clear();
  return {};
}

// ---- Locks and publishing -----------------------------------------------------

Status IndexFile::begin_read() {
  if (!shared_ || reads_++ > 0 || writes_ > 0) return {};
  if (Status s = file_->lock(locks::kIndex, locks::kIndexLength, LockKind::Shared, LockWait::Wait); !s.ok()) {
    --reads_;
    return s;
  }
  Status s = read_header(true);
  if (!s.ok()) {
    --reads_;
    (void)file_->unlock(locks::kIndex, locks::kIndexLength);
  }
  return s;
}

Status IndexFile::end_read() {
  if (!shared_ || reads_ == 0 || --reads_ > 0 || writes_ > 0) return {};
  return file_->unlock(locks::kIndex, locks::kIndexLength);
}

Status IndexFile::begin_write() {
  if (writes_++ > 0) return {};
  if (shared_) {
    if (Status s = file_->lock(locks::kIndex, locks::kIndexLength, LockKind::Exclusive, LockWait::Wait); !s.ok()) {
      --writes_;
      return s;
    }
    if (Status s = read_header(true); !s.ok()) {
      --writes_;
      if (reads_ > 0) (void)file_->lock(locks::kIndex, locks::kIndexLength, LockKind::Shared, LockWait::Wait);
      else (void)file_->unlock(locks::kIndex, locks::kIndexLength);
      return s;
    }
  }
  if (!changing_) {
    changing_ = true;
    if (Status s = write_header(); !s.ok()) return s;
  }
  return {};
}

// An append on a shared table writes no "changing" mark first: its record
// is in the table before any index page is written, so a crash in between
// leaves the index behind the table's record count, which the next opening
// (and the next append, below) finds stale.  Only an append that changes
// several pages (a split) marks the header before writing them, since a
// single page is written whole or not at all.
Status IndexFile::begin_append(std::uint32_t count_before) {
  if (!shared_ || writes_ > 0) return begin_write();
  if (Status s = file_->lock(locks::kIndex, locks::kIndexLength, LockKind::Exclusive, LockWait::Wait); !s.ok()) return s;
  Status s = read_header(true);
  if (s.ok() && records_ != count_before)
    s = corrupt(path(), "index made for " + std::to_string(records_) + " records, the table has " +
                            std::to_string(count_before) + " (stale)");
  if (!s.ok()) {
    if (reads_ > 0) (void)file_->lock(locks::kIndex, locks::kIndexLength, LockKind::Shared, LockWait::Wait);
    else (void)file_->unlock(locks::kIndex, locks::kIndexLength);
    return s;
  }
  ++writes_;
  return {};
}

Status IndexFile::end_write(std::uint32_t table_count) {
  if (writes_ == 0 || --writes_ > 0) return {};
  if (table_count != kSameCount) records_ = table_count;
  if (!shared_) return {};
  Status s;
  if (!changing_ && dirty_.size() > 1) {
    changing_ = true;
    s = write_header();
  }
  if (s.ok()) s = write_dirty();
  if (s.ok()) {
    ++counter_;
    changing_ = broken_;
    s = write_header();
  }
  // On a failure the header still says "changing": the next open rebuilds.
  if (reads_ > 0) (void)file_->lock(locks::kIndex, locks::kIndexLength, LockKind::Shared, LockWait::Wait);
  else (void)file_->unlock(locks::kIndex, locks::kIndexLength);
  return s;
}

Status IndexFile::flush() {
  if (shared_ || !changing_) return {};
  if (Status s = write_dirty(); !s.ok()) return s;
  ++counter_;
  changing_ = broken_;
  return write_header();
}

Status IndexFile::close() {
  if (!file_) return {};
  Status s = flush();
  Status c = file_->close();
  file_.reset();
  return s.ok() ? c : s;
}

void IndexFile::discard() {
  if (!file_) return;
  cache_.clear();
  dirty_.clear();
  (void)file_->close();
  file_.reset();
}

// ---- Search -----------------------------------------------------------------

Result<std::uint32_t> IndexFile::descend(std::string_view t, bool strict,
                                         std::vector<std::pair<std::uint32_t, std::size_t>>* path) {
  std::uint32_t no = root_;
  for (int depth = 0; depth < 64; ++depth) {
    auto p = page(no);
    if (!p.ok()) return p.status();
    const std::string& pg = **p;
    if (pg[P_TYPE] == kLeaf) return no;
    const std::size_t count = get16(pg.data() + P_COUNT), slot = elen_ + 4;
    // The last child whose separator is <= t (< t when strict); child 0 else.
    std::size_t lo = 1, hi = count;
    while (lo < hi) {
      const std::size_t mid = (lo + hi) / 2;
      const int c = cmp(pg.data() + P_DATA + mid * slot, t);
      if (strict ? c < 0 : c <= 0) lo = mid + 1;
      else hi = mid;
    }
    const std::size_t child = lo - 1;
    if (path) path->emplace_back(no, child);
    no = get32(pg.data() + P_DATA + child * slot + elen_);
  }
  return corrupt(this->path(), "index tree too deep (a cycle)");
}

Result<std::optional<std::string>> IndexFile::forward_from(std::uint32_t leaf, std::size_t pos) {
  for (int guard = 0; leaf != 0; ++guard) {
    auto p = page(leaf);
    if (!p.ok()) return p.status();
    const std::string& pg = **p;
    if (pg[P_TYPE] != kLeaf) return corrupt(path(), "index leaf chain damaged");
    if (pos < get16(pg.data() + P_COUNT)) {
      hint_leaf_ = leaf;
      hint_pos_ = pos;
      return std::optional<std::string>(pg.substr(P_DATA + pos * elen_, elen_));
    }
    leaf = get32(pg.data() + P_NEXT);
    pos = 0;
    if (guard > static_cast<int>(pages_)) return corrupt(path(), "index leaf chain damaged");
  }
  return std::optional<std::string>();
}

Result<std::optional<std::string>> IndexFile::backward_from(std::uint32_t leaf, long pos) {
  for (int guard = 0; leaf != 0; ++guard) {
    auto p = page(leaf);
    if (!p.ok()) return p.status();
    const std::string& pg = **p;
    if (pg[P_TYPE] != kLeaf) return corrupt(path(), "index leaf chain damaged");
    const long count = get16(pg.data() + P_COUNT);
    if (pos >= count) pos = count - 1;
    if (pos >= 0) return std::optional<std::string>(pg.substr(P_DATA + static_cast<std::size_t>(pos) * elen_, elen_));
    leaf = get32(pg.data() + P_PREV);
    pos = 1L << 30;
    if (guard > static_cast<int>(pages_)) return corrupt(path(), "index leaf chain damaged");
  }
  return std::optional<std::string>();
}

Result<std::optional<std::string>> IndexFile::first() { return forward_from(first_leaf_, 0); }

Result<std::optional<std::string>> IndexFile::last() {
  const std::string top(elen_, '\xFF');
  auto leaf = descend(top + '\xFF', false);
  if (!leaf.ok()) return leaf.status();
  return backward_from(*leaf, 1L << 30);
}

Result<std::optional<std::string>> IndexFile::lower_bound(std::string_view bytes) {
  auto leaf = descend(bytes, false);
  if (!leaf.ok()) return leaf.status();
  auto p = page(*leaf);
  if (!p.ok()) return p.status();
  return forward_from(*leaf, leaf_lower(**p, bytes));
}

Result<std::optional<std::string>> IndexFile::after(std::string_view entry) {
  // Stepping on from the entry returned last (ordered scans) needs no descent.
  if (hint_leaf_ != 0 && entry.size() == elen_) {
    auto it = cache_.find(hint_leaf_);
    if (it != cache_.end() && hint_pos_ < get16(it->second.data() + P_COUNT) &&
        std::memcmp(it->second.data() + P_DATA + hint_pos_ * elen_, entry.data(), elen_) == 0)
      return forward_from(hint_leaf_, hint_pos_ + 1);
  }
  auto leaf = descend(entry, false);
  if (!leaf.ok()) return leaf.status();
  auto p = page(*leaf);
  if (!p.ok()) return p.status();
  return forward_from(*leaf, leaf_upper(**p, entry));
}

Result<std::optional<std::string>> IndexFile::before(std::string_view entry) {
  auto leaf = descend(entry, true);
  if (!leaf.ok()) return leaf.status();
  auto p = page(*leaf);
  if (!p.ok()) return p.status();
  return backward_from(*leaf, static_cast<long>(leaf_lower(**p, entry)) - 1);
}

// ---- Changes ------------------------------------------------------------------

Status IndexFile::insert(std::string_view e) {
  if (e.size() != elen_) return Status(StatusCode::Invalid, "index insert", path());
  hint_leaf_ = 0;
  std::vector<std::pair<std::uint32_t, std::size_t>> trail;
  auto leaf = descend(e, false, &trail);
  if (!leaf.ok()) return leaf.status();
  auto pr = page(*leaf);
  if (!pr.ok()) return pr.status();
  std::string* p = *pr;
  std::size_t count = get16(p->data() + P_COUNT);
  const std::size_t pos = leaf_lower(*p, e);
  if (pos < count && cmp(p->data() + P_DATA + pos * elen_, e) == 0) return {};
  dirty_.insert(*leaf);
  ++entries_;
  if (count < leaf_cap_) {
    char* at = p->data() + P_DATA + pos * elen_;
    std::memmove(at + elen_, at, (count - pos) * elen_);
    std::memcpy(at, e.data(), elen_);
    put16(p->data() + P_COUNT, static_cast<std::uint16_t>(count + 1));
    return {};
  }
  // Split: the upper half moves to a new right sibling.
  const std::uint32_t right_no = pages_;
  std::string* r = new_page(kLeaf);
  // new_page may not move *p (node-based map), but look it up again to be safe.
  p = &cache_.at(*leaf);
  std::string all = p->substr(P_DATA, count * elen_);
  all.insert(pos * elen_, e);
  ++count;
  const std::size_t left_n = count / 2, right_n = count - left_n;
  std::memcpy(p->data() + P_DATA, all.data(), left_n * elen_);
  std::memcpy(r->data() + P_DATA, all.data() + left_n * elen_, right_n * elen_);
  put16(p->data() + P_COUNT, static_cast<std::uint16_t>(left_n));
  put16(r->data() + P_COUNT, static_cast<std::uint16_t>(right_n));
  const std::uint32_t next = get32(p->data() + P_NEXT);
  put32(r->data() + P_PREV, *leaf);
  put32(r->data() + P_NEXT, next);
  put32(p->data() + P_NEXT, right_no);
  if (next != 0) {
    auto n = page(next);
    if (!n.ok()) return n.status();
    put32((*n)->data() + P_PREV, right_no);
    dirty_.insert(next);
  }
  return insert_into_parent(trail, all.substr(left_n * elen_, elen_), right_no);
}

Status IndexFile::insert_into_parent(std::vector<std::pair<std::uint32_t, std::size_t>>& trail, std::string sep,
                                     std::uint32_t right) {
  const std::size_t slot = elen_ + 4;
  while (true) {
    if (trail.empty()) {
      // The root split: a new root over the two halves.
      const std::uint32_t old_root = root_;
      root_ = pages_;
      std::string* nr = new_page(kBranch);
      std::memset(nr->data() + P_DATA, 0, elen_);
      put32(nr->data() + P_DATA + elen_, old_root);
      std::memcpy(nr->data() + P_DATA + slot, sep.data(), elen_);
      put32(nr->data() + P_DATA + slot + elen_, right);
      put16(nr->data() + P_COUNT, 2);
      return {};
    }
    auto [no, child] = trail.back();
    trail.pop_back();
    auto pr = page(no);
    if (!pr.ok()) return pr.status();
    std::string* p = *pr;
    dirty_.insert(no);
    std::size_t count = get16(p->data() + P_COUNT);
    std::string s = sep;
    s.append(4, '\0');
    put32(s.data() + elen_, right);
    const std::size_t at = child + 1;
    if (count < branch_cap_) {
      char* a = p->data() + P_DATA + at * slot;
      std::memmove(a + slot, a, (count - at) * slot);
      std::memcpy(a, s.data(), slot);
      put16(p->data() + P_COUNT, static_cast<std::uint16_t>(count + 1));
      return {};
    }
    const std::uint32_t right_no = pages_;
    std::string* r = new_page(kBranch);
    p = &cache_.at(no);
    std::string all = p->substr(P_DATA, count * slot);
    all.insert(at * slot, s);
    ++count;
    const std::size_t left_n = count / 2, right_n = count - left_n;
    std::memcpy(p->data() + P_DATA, all.data(), left_n * slot);
    std::memcpy(r->data() + P_DATA, all.data() + left_n * slot, right_n * slot);
    put16(p->data() + P_COUNT, static_cast<std::uint16_t>(left_n));
    put16(r->data() + P_COUNT, static_cast<std::uint16_t>(right_n));
    sep = all.substr(left_n * slot, elen_);
    right = right_no;
  }
}

Status IndexFile::erase(std::string_view e) {
  if (e.size() != elen_) return Status(StatusCode::Invalid, "index erase", path());
  hint_leaf_ = 0;
  auto leaf = descend(e, false);
  if (!leaf.ok()) return leaf.status();
  auto pr = page(*leaf);
  if (!pr.ok()) return pr.status();
  std::string* p = *pr;
  const std::size_t count = get16(p->data() + P_COUNT);
  const std::size_t pos = leaf_lower(*p, e);
  if (pos >= count || cmp(p->data() + P_DATA + pos * elen_, e) != 0) {
    broken_ = true;  // left "changing", so the next open rebuilds it
    return corrupt(path(), "index damaged: an entry to remove is missing");
  }
  char* at = p->data() + P_DATA + pos * elen_;
  std::memmove(at, at + elen_, (count - pos - 1) * elen_);
  put16(p->data() + P_COUNT, static_cast<std::uint16_t>(count - 1));
  dirty_.insert(*leaf);
  --entries_;
  return {};
}

// ---- Opening and building -------------------------------------------------------

Result<std::unique_ptr<IndexFile>> IndexFile::open(Os& os, const std::string& path, const BoundKey& key,
                                                   Table& table) {
  auto f = os.open(path, table.read_only() ? OpenMode::Read : OpenMode::ReadWrite);
  if (!f.ok()) return f.status();
  std::unique_ptr<IndexFile> ix(new IndexFile(std::move(*f), key, !table.exclusive()));
  if (Status s = ix->begin_read(); !s.ok()) return s;
  Status s = ix->read_header(false);
  if (s.ok()) {
    auto size = ix->file_->size();
    if (!size.ok()) s = size.status();
    else if (*size < std::uint64_t{ix->pages_} * kPage) s = corrupt(path, "index file cut short");
    else if (ix->generation_ != table.header().generation || ix->record_size_ != table.header().record_size)
      s = corrupt(path, "index of another table or of the table before a pack (stale)");
    else if (ix->records_ != table.count())
      s = corrupt(path, "index made for " + std::to_string(ix->records_) + " records, the table has " +
                            std::to_string(table.count()) + " (stale)");
    else if (auto root = ix->page(ix->root_); !root.ok())
      s = root.status();
    else if (auto leaf = ix->page(ix->first_leaf_); !leaf.ok())
      s = leaf.status();
  }
  (void)ix->end_read();
  if (!s.ok()) return s;
  return ix;
}

}  // namespace kx
