#include "store/upgrade.h"

#include "platform/decimal.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "store/catalog_fields.h"
#include "store/index_file.h"
#include "store/notices.h"
#include "store/opening.h"
#include "store/table_ops.h"

namespace kx {
namespace {

const UpgradeMarker* marker_of(int number) {
  for (const UpgradeMarker& m : upgrade_markers())
    if (m.table == number) return &m;
  return nullptr;
}

bool has_marker(const Table& t, const UpgradeMarker& m) {
  auto i = t.header().find(m.field);
  return i && t.fields()[*i].type == m.type;
}

// Copies every live row of `old` into the new empty table `into`.
Status copy_rows_into(Table& old, Area& into, int number) {
  const auto& from = old.fields();
  const auto& to = into.table().fields();
  const bool move_line_12 = number == 1;
  for (std::uint32_t r = 1; r <= old.count(); ++r) {
    auto rec = old.read(r);
    if (!rec.ok()) return rec.status();
    if (!rec->empty() && (*rec)[0] == dbf::kDeleted) continue;
    std::vector<std::pair<std::string, Value>> values;
    for (std::size_t i = 0; i < from.size(); ++i) {
      auto target = into.table().header().find(from[i].name);
      if (!target) continue;
      auto v = old.value(*rec, i);
      if (!v.ok()) return v.status();
      auto conv = convert_for(to[*target], *v);
      if (!conv.ok())
        return Status(StatusCode::Invalid, "upgrade", old.path(), 0,
                      "record " + std::to_string(r) + ": " + conv.status().message());
      values.emplace_back(from[i].name, std::move(conv).value());
    }
    if (move_line_12) {
      Decimal line12(0);
      for (auto& [name, v] : values)
        if (name == "I3_12" && v.type() == Type::N) line12 = v.number();
      for (auto it = values.begin(); it != values.end();)
        it = (it->first == "I3_12" || it->first == "I3_23") ? values.erase(it) : it + 1;
      values.emplace_back("I3_23", Value(line12));
      values.emplace_back("I3_12", Value(Decimal(0)));
    }
    if (Status s = into.append_blank(); !s.ok()) return s;
    if (Status s = into.replace(values); !s.ok()) return s;
  }
  return into.flush();
}

}  // namespace

Upgrade corrige(Session& s, int number, const std::string& folder) {
  Os& os = s.os();
  Notices& ui = store_notices(s);
  const UpgradeMarker* m = marker_of(number);
  const TableDecl* decl = table_decl(number);
  const CatalogEntry* entry = catalog_entry(number);
  if (!m || !decl || !entry) return Upgrade::Current;
  const std::string base = join_path(folder, entry->file({}));
  const std::string dbf = base + ".DBF";
  if (!file_exists(os, dbf)) return Upgrade::Current;

  // 1. A shared look at the marker.
  {
    auto t = Table::open(os, dbf, Share::Shared);
    if (!t.ok()) return t.status().code() == StatusCode::Busy ? Upgrade::InUse : Upgrade::Failed;
    if (has_marker(**t, *m)) return Upgrade::Current;
  }
  // 2. The table alone.
  auto old = Table::open(os, dbf, Share::Exclusive);
  if (!old.ok()) return old.status().code() == StatusCode::Busy ? Upgrade::InUse : Upgrade::Failed;
  Table& t = **old;
  if (has_marker(t, *m)) return Upgrade::Current;

  auto fail = [&](const Status& st) {
    ui.message("Problemas ao corrigir " + TIRA_DIR(base) + ": " + st.message());
    return Upgrade::Failed;
  };
  // 3. The rows into the scratch table.
  const std::string scratch = join_path(folder, "ACERTO" + nn(number) + ".DBF");
  {
    auto into = Area::create(os, scratch, decl->fields, Share::Exclusive);
    if (!into.ok()) return fail(into.status());
    Status st = copy_rows_into(t, **into, number);
    if (Status c = (*into)->close(); st.ok()) st = c;
    if (!st.ok()) {
      (void)delete_file(os, scratch);
      return fail(st);
    }
  }
  // 4. The old index files go, the scratch table replaces the old one, and
  // the indexes are built while the table is still held alone.
  const std::vector<IndexSpec> specs = index_specs(*entry, base);
  std::vector<std::string> index_paths;
  for (const IndexSpec& spec : specs) {
    std::string p = spec.path.empty() ? index_path_of(t.path()) : spec.path;
    index_paths.push_back(found_or(os, p));
  }
  for (const auto& p : index_paths)
    if (file_exists(os, p))
      if (Status st = delete_file(os, p); !st.ok()) return fail(st);
  if (Status st = t.swap_in(found_or(os, scratch)); !st.ok()) return fail(st);
  for (std::size_t i = 0; i < specs.size(); ++i) {
    auto key = BoundKey::bind(specs[i].key, t.header());
    if (!key.ok()) return fail(key.status());
    auto ix = IndexFile::build(os, index_paths[i], *key, t);
    if (!ix.ok()) return fail(ix.status());
    if (Status st = (*ix)->close(); !st.ok()) return fail(st);
  }
  if (Status st = t.close(); !st.ok()) return fail(st);
  ui.bottom("");
  return Upgrade::Upgraded;
}

bool correcao(Session& s, const std::string& folder) {
  bool ok = true;
  for (const UpgradeMarker& m : upgrade_markers())
    if (corrige(s, m.table, folder) == Upgrade::Failed) ok = false;
  return ok;
}

}  // namespace kx
