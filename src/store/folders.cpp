#include "store/folders.h"

#include "platform/cp850.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"
#include "store/lock_waits.h"
#include "store/notices.h"
#include "store/opening.h"
#include "store/terminal_rows.h"
#include "store/upgrade.h"
#include "store/work_areas.h"

namespace kx {
namespace {

void set_var(Session& s, std::string_view name, Value v) {
  if (s.vars().has(name)) s.vars().set(name, std::move(v));
  else s.vars().declare(name, std::move(v));
}

std::string text_of(Area& a, std::string_view field) {
  auto v = a.get(field);
  return v.ok() && v->is_text() ? rtrim(v->text()) : std::string();
}

std::string os_path(std::string_view stored) { return BAR_FORA(forward_slashes(stored)); }

}  // namespace

bool path_fits(std::string_view path) { return path.size() <= static_cast<std::size_t>(kPathWidth); }

bool same_folder(std::string_view a, std::string_view b) {
  return cp850::upper(os_path(rtrim(a))) == cp850::upper(os_path(rtrim(b)));
}

FolderState folder_state(Session& s, std::string_view path) {
  Os& os = s.os();
  const std::string p = os_path(path);
  if (p.empty()) return FolderState::Unreachable;
  auto info = os.stat(p);
  if (!info.ok()) return FolderState::Unreachable;
  if (info->exists) return info->is_dir ? FolderState::Present : FolderState::Gone;
  if (folder_exists(os, p)) return FolderState::Present;  // another case
  const std::string parent = folder_of(p);
  if (parent.empty()) return FolderState::Gone;
  auto up = os.stat(parent);
  if (!up.ok()) return FolderState::Unreachable;
  if (up->exists && up->is_dir) return FolderState::Gone;
  return folder_exists(os, parent) ? FolderState::Gone : FolderState::Unreachable;
}

bool open_everything(Session& s) {
  WorkAreas& wa = s.part<WorkAreas>();
  Notices& ui = store_notices(s);
  (void)wa.close_all();
  // 1. Another copy of the program on this terminal number holds the list.
  if (!open_folder_list(s)) return false;
  Area* list = wa.area(50);
  // 2. Folders that are gone leave the list; the others are upgraded.
  struct Row {
    std::uint32_t recno;
    std::string folder;
  };
  std::vector<Row> rows;
  for (Status st = list->go_top(); st.ok() && !list->eof(); st = list->skip())
    rows.push_back({list->recno(), text_of(*list, "DIRETOR")});
  const std::string kept_folder = store_var(s, "ROTADOANO"), kept_loc = store_var(s, "LOCARQ");
  for (const Row& r : rows) {
    switch (folder_state(s, r.folder)) {
      case FolderState::Gone:
        if (list->go_to(r.recno).ok() && rec_lock_in(s, list, 5)) {
          if (Status st = list->delete_record(); !st.ok()) ui.message(st.message());
          (void)list->unlock();
        }
        break;
      case FolderState::Present:
        set_var(s, "ROTADOANO", Value(r.folder));
        set_var(s, "LOCARQ", Value(BAR_DIR(os_path(r.folder))));
        (void)correcao(s, os_path(r.folder));
        break;
      case FolderState::Unreachable:
        break;
    }
  }
  set_var(s, "ROTADOANO", Value(kept_folder));
  set_var(s, "LOCARQ", Value(kept_loc));
  // 3. The program folder's tables.
  const std::string program = folder_path(s, Folder::Program);
  for (int n : {41, 45, 46, 47, 48, 49, 51, 52, 53, 54, 58, 66}) {
    if (n == 45 && (!file_exists(s.os(), join_path(program, "HELPTXT.DBF")) ||
                    !file_exists(s.os(), join_path(program, "HELPTXT.DBT"))))
      continue;
    if (!abertura(s, n) && n != 45 && n != 66) return false;
  }
  // 4. Only the folder list stays open.
  sai_abre(s, 0);
  return wa.area(50) != nullptr;
}

bool add_folder(Session& s, std::string_view path) {
  Notices& ui = store_notices(s);
  Area* list = s.part<WorkAreas>().area(50);
  if (!list) return false;
  const std::string folder = BAR_FORA(rtrim(path));
  if (!path_fits(folder)) {
    ui.message("Caminho com mais de 80 caracteres: " + folder);
    return false;
  }
  for (Status st = list->go_top(); st.ok() && !list->eof(); st = list->skip())
    if (same_folder(text_of(*list, "DIRETOR"), folder)) return true;
  if (!add_rec_in(s, list, 5)) return false;
  Status st = list->replace({{"SELEC", Value("N")}, {"DIRETOR", Value(folder)}});
  (void)list->unlock();
  if (!st.ok()) ui.message(st.message());
  return st.ok();
}

bool cri_ndir(Session& s, std::string_view folder, std::string_view label) {
  Os& os = s.os();
  const std::string p = os_path(folder);
  if (folder_exists(os, p)) return true;
  Notices& ui = store_notices(s);
  if (!ui.ask({std::string("Diretório novo para"_cp) + std::string(label) + "? Cria-o ?"})) return false;
  if (Status st = make_folders(os, p); !st.ok()) {
    ui.message("Problemas ao criar a pasta " + std::string(folder));
    return false;
  }
  return true;
}

bool mudadir(Session& s, std::string_view folder) {
  if (!cri_ndir(s, folder, " KORVEX")) return false;
  const CatalogEntry* e = catalog_entry(9);
  OpenSpec spec = catalog_spec(*e, join_path(os_path(folder), e->file({})), false);
  if (!abrearq(s, spec)) return false;
  Area* a = s.part<WorkAreas>().area(9);
  if (!a) return false;
  const std::string cpf = trim(store_var(s, "CPF"));
  if (!cpf.empty() && a->seek(Value(cpf)).ok() && a->found()) {
    set_var(s, "NOMECONTR", Value(text_of(*a, "NOMECONTR")));
  } else {
    (void)a->go_top();
  }
  const std::uint32_t at = a->recno();
  if (Status st = a->set_order(2); !st.ok()) return false;
  (void)a->go_to(at);
  return true;
}

bool trocasim(Session& s, int mode) {
  WorkAreas& wa = s.part<WorkAreas>();
  Notices& ui = store_notices(s);
  Area* list = wa.area(50);
  if (!list) return false;
  std::uint32_t chosen = list->eof() ? 0 : list->recno();
  // 1. No other row stays selected.
  std::vector<std::uint32_t> selected;
  for (Status st = list->go_top(); st.ok() && !list->eof(); st = list->skip())
    if (list->recno() != chosen && text_of(*list, "SELEC") == "S") selected.push_back(list->recno());
  for (std::uint32_t r : selected)
    if (list->go_to(r).ok() && rec_lock_in(s, list, 5)) {
      (void)list->replace("SELEC", Value("N"));
      (void)list->unlock();
    }
  if (mode != 1) return chosen == 0 || list->go_to(chosen).ok();
  // 2. The chosen row.
  if (list->reccount() == 0) {
    if (!add_rec_in(s, list, 5)) return false;
    chosen = list->recno();
  } else if (chosen == 0 || !list->go_to(chosen).ok() || !rec_lock_in(s, list, 5)) {
    return false;
  }
  std::string folder = text_of(*list, "DIRETOR");
  Status st = list->replace("SELEC", Value("S"));
  if (folder.empty()) {
    folder = folder_path(s, Folder::Program);
    if (st.ok()) st = list->replace("DIRETOR", Value(folder));
  } else if (!cri_ndir(s, folder, " KORVEX")) {
    (void)list->unlock();
    return false;
  }
  (void)list->unlock();
  if (!st.ok()) {
    ui.message(st.message());
    return false;
  }
  // 3. The folder in hand.
  folder = BAR_FORA(folder);
  set_var(s, "ROTADOANO", Value(folder));
  (void)correcao(s, os_path(folder));
  set_var(s, "LOCARQ", Value(BAR_DIR(os_path(folder))));
  // 4.
  bool ok = mudadir(s, store_var(s, "LOCARQ"));
  // 5. Remembered in the terminal's configuration.
  if (ensure_terminal_row(s, 42)) {
    Area* config = wa.area(42);
    if (rec_lock_in(s, config, 5)) {
      if (Status w = config->replace("ROTADOANO", Value(folder)); !w.ok()) ui.message(w.message());
      (void)config->unlock();
    }
  }
  (void)wa.select(50);
  (void)list->go_to(chosen);
  return ok;
}

std::vector<std::string> running_terminals(Session& s) {
  std::vector<std::string> out;
  const std::string program = folder_path(s, Folder::Program);
  auto names = list_matching(s.os(), program.empty() ? "." : program, "DIRET??.DBF");
  if (!names.ok()) return out;
  const std::string own = store_var(s, "NUSU");
  for (const std::string& name : *names) {
    const std::string number = cp850::upper(name).substr(5, 2);
    if (number == own) continue;
    auto t = Table::open(s.os(), join_path(program, name), Share::Exclusive);
    if (t.ok()) (void)(*t)->close();
    else if (t.status().code() == StatusCode::Busy) out.push_back(number);
  }
  return out;
}

}  // namespace kx
