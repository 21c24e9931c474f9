// Building index files from a table, checking them, and reading the key
// text of one that was not opened.
#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "platform/paths.h"
#include "store/index_file.h"
#include "store/index_layout.h"

namespace kx {

using namespace index_layout;

Result<std::unique_ptr<IndexFile>> IndexFile::build(Os& os, const std::string& path, const BoundKey& key,
                                                    Table& table) {
  if (!table.exclusive())
    return Status(StatusCode::Invalid, "rebuild index", path, 0, "needs the table opened exclusively");
  // Every record's entry.
  std::vector<std::string> entries;
  entries.reserve(table.count());
  const std::uint32_t chunk = 4096;
  const std::size_t rs = table.header().record_size;
  std::string k;
  for (std::uint32_t first = 1; first <= table.count(); first += chunk) {
    const std::uint32_t n = std::min<std::uint32_t>(chunk, table.count() - first + 1);
    auto recs = table.read_many(first, n);
    if (!recs.ok()) return recs.status();
    for (std::uint32_t i = 0; i < n; ++i) {
      key.eval_into(std::string_view(*recs).substr(i * rs, rs), k);
      entries.push_back(make_entry(k, first + i));
    }
  }
  return build(os, path, key, table, std::move(entries));
}

Result<std::unique_ptr<IndexFile>> IndexFile::build(Os& os, const std::string& path, const BoundKey& key,
                                                    Table& table, std::vector<std::string> entries) {
  if (!table.exclusive())
    return Status(StatusCode::Invalid, "rebuild index", path, 0, "needs the table opened exclusively");
  const std::size_t elen = key.length() + 4;
  std::sort(entries.begin(), entries.end());

  IndexFile shape(nullptr, key, false);
  const std::size_t fill = std::max<std::size_t>(1, shape.leaf_cap_ - shape.leaf_cap_ / 8);
  std::string file(kPage, '\0');  // page 0: the header, written last
  struct Child {
    std::string first;
    std::uint32_t page;
  };
  std::vector<Child> level;
  auto start_page = [&](char type) {
    const std::uint32_t no = static_cast<std::uint32_t>(file.size() / kPage);
    file.append(kPage, '\0');
    file[no * kPage + P_TYPE] = type;
    return no;
  };
  const std::size_t leaves = std::max<std::size_t>(1, (entries.size() + fill - 1) / fill);
  for (std::size_t l = 0; l < leaves; ++l) {
    const std::uint32_t no = start_page(kLeaf);
    char* p = file.data() + std::size_t{no} * kPage;
    const std::size_t b = l * fill, e = std::min(entries.size(), b + fill);
    for (std::size_t i = b; i < e; ++i) std::memcpy(p + P_DATA + (i - b) * elen, entries[i].data(), elen);
    put16(p + P_COUNT, static_cast<std::uint16_t>(e - b));
    put32(p + P_PREV, l == 0 ? 0 : no - 1);
    put32(p + P_NEXT, l + 1 == leaves ? 0 : no + 1);
    level.push_back({b < e ? entries[b] : std::string(elen, '\0'), no});
  }
  const std::size_t bfill = std::max<std::size_t>(2, shape.branch_cap_ - shape.branch_cap_ / 8);
  while (level.size() > 1) {
    std::vector<Child> up;
    for (std::size_t b = 0; b < level.size(); b += bfill) {
      const std::size_t e = std::min(level.size(), b + bfill);
      const std::uint32_t no = start_page(kBranch);
      char* p = file.data() + std::size_t{no} * kPage;
      for (std::size_t i = b; i < e; ++i) {
        std::memcpy(p + P_DATA + (i - b) * (elen + 4), level[i].first.data(), elen);
        put32(p + P_DATA + (i - b) * (elen + 4) + elen, level[i].page);
      }
      put16(p + P_COUNT, static_cast<std::uint16_t>(e - b));
      up.push_back({level[b].first, no});
    }
    level = std::move(up);
  }
  for (std::size_t no = 1; no < file.size() / kPage; ++no) {
    char* p = file.data() + no * kPage;
    put32(p + P_SUM, checksum(p, kPage, P_SUM));
  }

  const std::string scratch = path + "~";
  (void)os.unlink(scratch);
  auto f = os.open(scratch, OpenMode::CreateExclusive);
  if (!f.ok()) return f.status();
  std::unique_ptr<IndexFile> ix(new IndexFile(std::move(*f), key, false));
  ix->root_ = level[0].page;
  ix->first_leaf_ = 1;
  ix->pages_ = static_cast<std::uint32_t>(file.size() / kPage);
  ix->entries_ = static_cast<std::uint32_t>(entries.size());
  ix->records_ = table.count();
  ix->generation_ = table.header().generation;
  ix->record_size_ = table.header().record_size;
  ix->counter_ = 1;
  ix->known_ = true;
  if (Status s = ix->file_->write_at(kPage, std::string_view(file).substr(kPage)); !s.ok()) return s;
  if (Status s = ix->write_header(); !s.ok()) return s;
  if (Status s = ix->file_->sync(); !s.ok()) return s;
  if (Status s = os.rename(scratch, path); !s.ok()) return s;
  if (Status s = os.sync_dir(folder_of(path).empty() ? "." : folder_of(path)); !s.ok()) return s;
  return ix;
}

Result<std::string> IndexFile::expression_of(Os& os, const std::string& path) {
  auto f = os.open(path, OpenMode::Read);
  if (!f.ok()) return f.status();
  char h[kHeaderBytes];
  auto n = (*f)->read_at(0, h, sizeof h);
  if (!n.ok()) return n.status();
  if (*n != sizeof h || std::memcmp(h, kMagic, sizeof kMagic) != 0 || get32(h + H_SUM) != checksum(h, sizeof h, H_SUM))
    return corrupt(path, "not an index file of ours, or its header is damaged");
  const std::size_t len = get16(h + H_EXPRLEN);
  if (len > kHeaderBytes - H_EXPR) return corrupt(path, "index header damaged");
  return std::string(h + H_EXPR, len);
}

// ---- Check ----------------------------------------------------------------------

Status IndexFile::check(Table& table, bool against_records) {
  if (Status s = begin_read(); !s.ok()) return s;
  struct Guard {
    IndexFile* ix;
    ~Guard() { (void)ix->end_read(); }
  } guard{this};
  // The tree: every page reachable once, ordered, separators bounding children.
  std::vector<std::string> chain;
  std::set<std::uint32_t> seen;
  struct Walk {
    IndexFile& ix;
    std::set<std::uint32_t>& seen;
    Status visit(std::uint32_t no, const std::string* lo, const std::string* hi, int depth, int& leaf_depth) {
      if (!seen.insert(no).second) return corrupt(ix.path(), "index page " + std::to_string(no) + " reached twice");
      auto p = ix.page(no);
      if (!p.ok()) return p.status();
      const std::string pg = **p;
      const std::size_t count = get16(pg.data() + P_COUNT);
      if (pg[P_TYPE] == kLeaf) {
        if (leaf_depth < 0) leaf_depth = depth;
        if (leaf_depth != depth) return corrupt(ix.path(), "index leaves at different depths");
        for (std::size_t i = 0; i < count; ++i) {
          std::string_view e(pg.data() + P_DATA + i * ix.elen_, ix.elen_);
          if ((lo && e < *lo) || (hi && e >= *hi) ||
              (i > 0 && e <= std::string_view(pg.data() + P_DATA + (i - 1) * ix.elen_, ix.elen_)))
            return corrupt(ix.path(), "index page " + std::to_string(no) + " out of order");
        }
        return {};
      }
      const std::size_t slot = ix.elen_ + 4;
      for (std::size_t i = 0; i < count; ++i) {
        std::string s_lo = i == 0 ? (lo ? *lo : std::string()) : pg.substr(P_DATA + i * slot, ix.elen_);
        const bool has_hi = i + 1 < count;
        std::string s_hi = has_hi ? pg.substr(P_DATA + (i + 1) * slot, ix.elen_) : (hi ? *hi : std::string());
        if (has_hi && !s_lo.empty() && s_hi <= s_lo && i > 0)
          return corrupt(ix.path(), "index page " + std::to_string(no) + " out of order");
        const bool lo_set = i > 0 || lo != nullptr, hi_set = has_hi || hi != nullptr;
        if (Status s = visit(get32(pg.data() + P_DATA + i * slot + ix.elen_), lo_set ? &s_lo : nullptr,
                             hi_set ? &s_hi : nullptr, depth + 1, leaf_depth);
            !s.ok())
          return s;
      }
      return {};
    }
  } walk{*this, seen};
  int leaf_depth = -1;
  if (Status s = walk.visit(root_, nullptr, nullptr, 0, leaf_depth); !s.ok()) return s;
  // The leaf chain from the first leaf gives every entry in order.
  std::uint32_t leaf = first_leaf_, prev = 0;
  while (leaf != 0) {
    auto p = page(leaf);
    if (!p.ok()) return p.status();
    const std::string& pg = **p;
    if (pg[P_TYPE] != kLeaf || get32(pg.data() + P_PREV) != prev) return corrupt(path(), "index leaf chain damaged");
    for (std::size_t i = 0; i < get16(pg.data() + P_COUNT); ++i) chain.push_back(pg.substr(P_DATA + i * elen_, elen_));
    prev = leaf;
    leaf = get32(pg.data() + P_NEXT);
    if (chain.size() > entries_ + 1u) break;
  }
  if (!std::is_sorted(chain.begin(), chain.end())) return corrupt(path(), "index leaf chain out of order");
  if (chain.size() != entries_) return corrupt(path(), "index entry count differs from its header");
  if (!against_records) return {};
  // The table: one entry per record, with the record's key.
  std::vector<std::string> want;
  want.reserve(table.count());
  for (std::uint32_t r = 1; r <= table.count(); ++r) {
    auto rec = table.read(r);
    if (!rec.ok()) return rec.status();
    want.push_back(make_entry(key_.eval(*rec), r));
  }
  std::sort(want.begin(), want.end());
  if (want != chain) {
    std::size_t i = 0;
    while (i < want.size() && i < chain.size() && want[i] == chain[i]) ++i;
    const std::uint32_t r = i < want.size() ? entry_recno(want[i]) : entry_recno(chain[i]);
    return corrupt(path(), "index entries differ from the table at record " + std::to_string(r));
  }
  return {};
}

}  // namespace kx
