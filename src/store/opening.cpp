#include "store/opening.h"

#include "platform/cp850.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"
#include "store/folders.h"
#include "store/index_file.h"
#include "store/notices.h"
#include "store/work_areas.h"

namespace kx {
namespace {

// The file whose lock serialises table creation in a folder.
constexpr const char* kCreationLock = "KXCRIA.LCK";

// Waits for this terminal's turn to create tables or build indexes in the
// folder of `base`; the turn lasts while the returned file is open.
Result<std::unique_ptr<File>> creation_turn(Os& os, const std::string& base) {
  auto turn = os.open(join_path(folder_of(base), kCreationLock), OpenMode::Create);
  if (!turn.ok()) return turn.status();
  if (Status st = (*turn)->lock(0, 1, LockKind::Exclusive, LockWait::Wait); !st.ok()) return st;
  return turn;
}

bool progress_on(Session& s) {
  return s.vars().has("MOS_MENS") && s.vars().get("MOS_MENS").type() == Type::L && s.vars().l("MOS_MENS");
}
bool rebuild_asked(Session& s) {
  return s.vars().has("REFAZ_IND") && s.vars().get("REFAZ_IND").type() == Type::L && s.vars().l("REFAZ_IND");
}
void set_var(Session& s, std::string_view name, Value v) {
  if (s.vars().has(name)) s.vars().set(name, std::move(v));
  else s.vars().declare(name, std::move(v));
}

std::string index_file_path(const std::string& base, const std::string& file) {
  return join_path(folder_of(base), file + ".CDX");
}

DefaultContext default_context(Session& s) {
  DefaultContext c;
  c.terminal = store_var(s, "NUSU");
  c.program_folder = BAR_FORA(store_var(s, "ARQDEF"));
  c.home_variable = s.os().env("KVHOME").value_or("");
  c.today = s.clock().today();
  c.system_printer = s.os().env("PRINTER").value_or("");
  return c;
}

// Writes the values into the current record of `a` (locked or exclusive).
Status write_values(Area& a, const std::vector<FieldValue>& values) {
  std::vector<std::pair<std::string, Value>> pairs;
  for (const auto& v : values) pairs.emplace_back(v.field, v.value);
  return a.replace(pairs);
}

}  // namespace

std::string found_or(Os& os, const std::string& path) {
  auto f = find_path(os, path);
  return f.ok() ? *f : path;
}

std::string store_var(Session& s, std::string_view name) {
  if (!s.vars().has(name)) return {};
  const Value& v = s.vars().get(name);
  return v.is_text() ? v.text() : std::string();
}

std::string folder_path(Session& s, Folder f) {
  switch (f) {
    case Folder::Data: return BAR_FORA(forward_slashes(store_var(s, "LOCARQ")));
    case Folder::Program: return BAR_FORA(forward_slashes(store_var(s, "ARQDEF")));
    case Folder::Work: return BAR_FORA(forward_slashes(store_var(s, "LOCTRAB")));
    case Folder::None: break;
  }
  return {};
}

std::string table_base_path(Session& s, int number) {
  const CatalogEntry* e = catalog_entry(number);
  if (!e || number == 0) return {};
  return join_path(folder_path(s, e->folder), e->file(store_var(s, "NUSU")));
}

std::vector<IndexSpec> index_specs(const CatalogEntry& e, const std::string& base) {
  std::vector<IndexSpec> out;
  for (const IndexDecl& d : e.indexes) {
    auto key = KeyExpr::parse(d.key);
    if (!key.ok()) continue;  // the catalogue's keys are checked by its tests
    out.push_back({*key, d.file.empty() ? std::string() : index_file_path(base, d.file)});
  }
  return out;
}

bool cria(Session& s, int number, const std::string& base) {
  Notices& ui = store_notices(s);
  const std::string name = TIRA_DIR(base);
  const TableDecl* decl = table_decl(number);
  if (!decl) {
    ui.message(std::string("Arquivo ") + name + std::string(" não localizado!"_cp));
    return false;
  }
  // Terminals starting together must not create the same table twice (the
  // second creation would replace the first table and the rows already
  // written to it): creations in a folder take turns on its creation lock,
  // and a table that exists once the turn comes is left as it is.
  auto turn = creation_turn(s.os(), base);
  if (!turn.ok()) {
    ui.message("Problemas ao criar " + name + ": " + turn.status().message());
    return false;
  }
  if (file_exists(s.os(), base + ".DBF")) return true;
  std::string notice = creation_notice(number);
  if (notice.empty()) notice = "Criando " + cp850::upper(name) + ".DBF";
  ui.kept(notice);
  const std::string dbf = base + ".DBF";
  // Index files of an earlier table of this name describe other rows.
  std::vector<std::string> leftovers{index_path_of(dbf)};
  if (const CatalogEntry* e = catalog_entry(number))
    for (const IndexDecl& d : e->indexes)
      if (!d.file.empty()) leftovers.push_back(index_file_path(base, d.file));
  bool ok = true;
  for (const auto& ix : leftovers)
    if (auto found = find_path(s.os(), ix); found.ok())
      if (Status st = delete_file(s.os(), *found); !st.ok()) {
        ui.message("Problemas ao criar " + name + ": " + st.message());
        ok = false;
      }
  if (ok) {
    auto a = Area::create(s.os(), dbf, decl->fields, Share::Exclusive);
    if (!a.ok()) {
      ui.message("Problemas ao criar " + name + ": " + a.status().message());
      ok = false;
    } else {
      Area& area = **a;
      Status st;
      if (decl->default_row == DefaultRow::AtCreation) {
        st = area.append_blank();
        if (st.ok()) st = write_values(area, default_values(*decl, default_context(s)));
      }
      if (Status c = area.close(); st.ok()) st = c;
      if (!st.ok()) {
        ui.message("Problemas ao criar " + name + ": " + st.message());
        ok = false;
      }
    }
  }
  ui.close_kept();
  return ok;
}

bool netuse(Session& s, int area, const std::string& dbf_path, bool exclusive, double /*seconds*/,
            const std::vector<IndexSpec>& indexes, std::string alias) {
  auto r = s.part<WorkAreas>().open(area, dbf_path, exclusive ? Share::Exclusive : Share::Shared, indexes,
                                    std::move(alias));
  return r.ok();
}

bool abrearq(Session& s, const OpenSpec& spec) {
  Os& os = s.os();
  Notices& ui = store_notices(s);
  WorkAreas& wa = s.part<WorkAreas>();
  const bool progress = progress_on(s);
  const std::string name = TIRA_DIR(spec.base);
  const std::string dbf = spec.base + ".DBF";

  // 1. The area is emptied first.
  (void)wa.close(spec.area);
  (void)wa.select(spec.area);
  std::vector<std::pair<std::string, std::string>> keys;  // key, index file path ("" = own)
  if (!spec.key1.empty()) {
    keys.emplace_back(spec.key1, "");
    if (!spec.key2.empty())
      keys.emplace_back(spec.key2,
                        index_file_path(spec.base, spec.file2.empty() ? name + "B" : spec.file2));
    if (!spec.key3.empty())
      keys.emplace_back(spec.key3,
                        index_file_path(spec.base, spec.file3.empty() ? name + "C" : spec.file3));
  }
  std::vector<IndexSpec> indexes;
  for (const auto& [k, path] : keys) {
    auto key = KeyExpr::parse(k);
    if (!key.ok()) {
      ui.message(key.status().message());
      return false;
    }
    indexes.push_back({*key, path});
  }

  // 2-3. A missing table is created; a reference table stays absent.
  if (progress) ui.kept(std::string("Verificando o Arquivo ") + name);
  if (!file_exists(os, dbf)) {
    if (progress) ui.kept(name + ".dbf" + std::string(" não localizado está sendo criado "_cp));
    if (!cria(s, spec.area, spec.base)) return table_decl(spec.area) == nullptr;
  }

  // 6-7. Missing index files (or a rebuild asked for) are built with the
  // table alone; a missing own index means the table is packed first, and
  // the pack rebuilds every index file of the table.
  const std::string own = index_path_of(found_or(os, dbf));
  bool own_missing = false, any_missing = false;
  auto look = [&] {
    own_missing = !indexes.empty() && !file_exists(os, own);
    any_missing = own_missing;
    for (std::size_t i = 1; i < indexes.size(); ++i)
      if (!file_exists(os, indexes[i].path)) any_missing = true;
  };
  look();
  const bool rebuild = !indexes.empty() && rebuild_asked(s);
  std::unique_ptr<File> turn;
  if (any_missing && !rebuild) {
    // Another terminal may be building them right now: its turn first.
    auto t = creation_turn(os, spec.base);
    if (!t.ok()) {
      ui.message(t.status().message());
      return false;
    }
    turn = std::move(t).value();
    look();
  }
  if (any_missing || rebuild) {
    for (std::size_t i = 0; i < indexes.size(); ++i) {
      const std::string shown = i == 0 ? "Criando o indice " + name + ".CDX"
                                       : std::string("Criando o índice "_cp) + TIRA_DIR(indexes[i].path);
      if (rebuild || !file_exists(os, i == 0 ? own : indexes[i].path))
        ui.kept(substr(shown, 1, 79));
    }
    auto alone = Area::open(os, dbf, Share::Exclusive, indexes);
    if (!alone.ok()) return false;
    Status st;
    if (own_missing) st = (*alone)->pack();
    else if (rebuild) st = (*alone)->reindex();
    if (Status c = (*alone)->close(); st.ok()) st = c;
    if (!progress) ui.close_kept();
    if (!st.ok()) {
      ui.message(st.message());
      return false;
    }
  }

  // 4-5, 8. The opening in the mode asked, with its order list.
  if (!netuse(s, spec.area, dbf, spec.exclusive, 0, indexes, spec.alias)) {
    // A terminal that has just built the indexes may still hold the table
    // alone for a moment: once its turn is over, one more attempt.
    if (turn) return false;
    auto t = creation_turn(os, spec.base);
    if (!t.ok() || !netuse(s, spec.area, dbf, spec.exclusive, 0, indexes, spec.alias)) return false;
  }
  // 9.
  set_var(s, "TAM_OLD", Value(0));
  return true;
}

OpenSpec catalog_spec(const CatalogEntry& e, std::string base, bool exclusive) {
  OpenSpec spec;
  spec.area = e.number;
  spec.exclusive = e.mode == OpenAs::Exclusive || exclusive;
  spec.base = std::move(base);
  for (std::size_t i = 0; i < e.indexes.size() && i < 3; ++i) {
    const IndexDecl& d = e.indexes[i];
    if (i == 0) spec.key1 = d.key;
    if (i == 1) spec.key2 = d.key, spec.file2 = d.file;
    if (i == 2) spec.key3 = d.key, spec.file3 = d.file;
  }
  return spec;
}

bool abertura(Session& s, int number, bool exclusive) {
  if (number == 0) return open_everything(s);
  const CatalogEntry* e = catalog_entry(number);
  if (!e || e->work_copy) return false;
  Notices& ui = store_notices(s);
  const std::string base = table_base_path(s, number);
  std::string alias = store_var(s, "APELIDO");
  if (s.vars().has("APELIDO")) s.vars().set("APELIDO", Value(std::string()));
  if (e->needs_memo_file &&
      (!file_exists(s.os(), base + ".DBF") || !file_exists(s.os(), base + ".DBT"))) {
    (void)s.part<WorkAreas>().close(number);
    ui.message(std::string("Arquivo ") + TIRA_DIR(base) + std::string(" não localizado!"_cp));
    return true;
  }
  OpenSpec spec = catalog_spec(*e, base, e->exclusive_flag_honoured && exclusive);
  spec.alias = trim(alias);
  bool ok = abrearq(s, spec);
  if (ok && e->seeds_program_folder) {
    if (Area* a = s.part<WorkAreas>().area(number); a && a->reccount() == 0) {
      Status st = a->append_blank();
      if (st.ok())
        st = a->replace({{"SELEC", Value("S")}, {"DIRETOR", Value(BAR_FORA(folder_path(s, Folder::Program)))}});
      if (st.ok()) st = a->go_top();
      if (!st.ok()) {
        ui.message(st.message());
        ok = false;
      }
    }
  }
  if (e->closes_progress_window) ui.close_kept();
  if (ok) (void)s.part<WorkAreas>().select(number);
  return ok;
}

bool open_folder_list(Session& s) { return abertura(s, 50); }

void sai_abre(Session& s, int number) {
  if (progress_on(s)) store_notices(s).close_kept();
  s.part<WorkAreas>().set_hide_deleted(true);
  set_var(s, "TAM_OLD", Value(0));
  if (number == 0 || number == 50) {
    (void)s.part<WorkAreas>().close_all();
    (void)open_folder_list(s);
  }
}

void fecha_prov(Session& s) {
  WorkAreas& wa = s.part<WorkAreas>();
  for (int n = kFirstWorkCopy; n <= kLastWorkCopy; ++n) (void)wa.close(n);
}

void fecha_todo(Session& s) {
  WorkAreas& wa = s.part<WorkAreas>();
  for (int n = 1; n <= 20; ++n)
    if (n != 9) (void)wa.close(n);
  fecha_prov(s);
}

}  // namespace kx
