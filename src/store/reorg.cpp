#include "store/reorg.h"

#include <chrono>
#include <optional>
#include <vector>

#include "platform/cp850.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"
#include "store/catalog_fields.h"
#include "store/folders.h"
#include "store/index_file.h"
#include "store/notices.h"
#include "store/opening.h"
#include "store/work_areas.h"

namespace kx {
namespace {

void set_var(Session& s, std::string_view name, Value v) {
  if (s.vars().has(name)) s.vars().set(name, std::move(v));
  else s.vars().declare(name, std::move(v));
}

// The index files of declaration table n of `folder` that exist.
std::vector<std::string> existing_indexes(Os& os, const std::string& base, const CatalogEntry& e) {
  std::vector<std::string> out;
  for (const IndexSpec& spec : index_specs(e, base)) {
    const std::string p = spec.path.empty() ? index_path_of(base + ".DBF") : spec.path;
    if (auto found = find_path(os, p); found.ok()) out.push_back(*found);
  }
  return out;
}

// The program-folder tables packed by the reorganisation, in order, with
// their catalogue numbers (0: not a table of the catalogue).
struct Packed {
  std::string_view name;
  int number;
};
constexpr Packed kProgramTables[] = {
    {"PRINTS", 41},  {"CONFIG", 42},   {"DEFINE", 43},  {"HELPTXT", 45}, {"HELPATXT", 0},
    {"CODBENS", 46}, {"CODABENS", 69}, {"CODEPEN", 47}, {"CODDIVI", 48}, {"DESPESA", 49},
    {"UFIRM", 51},   {"AUXBENS", 52},  {"AUXPAG", 53},  {"LISERRO", 54}, {"BANCOS", 55},
    {"CORES", 56},   {"CONFIMP", 57},  {"OCUPACAO", 58}, {"OCUPACAB", 0}, {"CODNATUR", 59},
    {"TABPAIS", 60}, {"STATUS", 66},   {"TABEMBA", 61}, {"TABMUNI", 64}, {"TABLOGR", 65},
    {"CONTAS", 62},  {"FOLHAPG", 63},  {"BOLETO", 67},
};

// Packs one program table held alone (retried for up to 5 seconds), with
// all its index files rebuilt.  A missing file is passed over; a table in
// use is skipped and named.
void pack_program_table(Session& s, const std::string& program, const Packed& p) {
  Os& os = s.os();
  Notices& ui = store_notices(s);
  auto found = find_path(os, join_path(program, std::string(p.name) + ".DBF"));
  if (!found.ok()) return;
  std::vector<IndexSpec> specs;
  if (const CatalogEntry* e = catalog_entry(p.number); e && p.number != 0) {
    std::string base = *found;
    base.resize(base.size() - 4);
    specs = index_specs(*e, base);
  }
  ui.kept("Reorganizando " + std::string(p.name));
  std::optional<Status> last;
  for (int attempt = 0; attempt <= 10; ++attempt) {
    auto a = Area::open(os, *found, Share::Exclusive, specs);
    if (a.ok()) {
      Status st = (*a)->pack();
      if (Status c = (*a)->close(); st.ok()) st = c;
      if (!st.ok()) ui.message(st.message());
      return;
    }
    last = a.status();
    if (a.status().code() != StatusCode::Busy) break;
    if (attempt < 10 && ui.escape_within(std::chrono::milliseconds(500))) break;
  }
  if (last && last->code() == StatusCode::Busy)
    ui.message(std::string(p.name) + std::string(" em uso por outro terminal: não reorganizado"_cp));
  else if (last)
    ui.message(last->message());
}

}  // namespace

bool reorg(Session& s, const std::string& folder_in, ReorgMode mode) {
  Os& os = s.os();
  Notices& ui = store_notices(s);
  WorkAreas& wa = s.part<WorkAreas>();
  const std::string folder = BAR_FORA(forward_slashes(folder_in));
  const std::uint32_t list_row = wa.area(50) ? wa.area(50)->recno() : 0;
  bool ok = true;

  // 1-2. Each table alone: its index files go and the opening rebuilds them
  // (packing it first, as its own index is missing).  A table in use by
  // another terminal is left as it is.
  bool any_index = false;
  for (int n = 1; n <= 20; ++n)
    if (!existing_indexes(os, join_path(folder, catalog_entry(n)->file({})), *catalog_entry(n)).empty())
      any_index = true;
  if (any_index) {
    for (int n = 1; n <= 20 && ok; ++n) {
      const CatalogEntry& e = *catalog_entry(n);
      const std::string base = join_path(folder, e.file({}));
      if (!file_exists(os, base + ".DBF")) {
        (void)abrearq(s, catalog_spec(e, base, false));
        (void)wa.close(n);
        continue;
      }
      {
        auto alone = Table::open(os, base + ".DBF", Share::Exclusive);
        if (!alone.ok()) {
          if (alone.status().code() == StatusCode::Busy)
            ui.message(e.file({}) + std::string(" em uso por outro terminal: não reorganizado"_cp));
          else
            ui.message(alone.status().message());
          if (n != 9) ok = false;
          continue;
        }
        for (const auto& p : existing_indexes(os, base, e))
          if (Status st = delete_file(os, p); !st.ok()) ui.message(st.message());
      }
      if (!abrearq(s, catalog_spec(e, base, false)) && n != 9) ok = false;
      (void)wa.close(n);
    }
  }
  // 3.
  if (mode == ReorgMode::OnExit) {
    (void)wa.close_all();
    return ok;
  }
  // 4. The program folder's own tables.
  const std::string program = folder_path(s, Folder::Program);
  if (!same_folder(folder, program)) return ok;
  (void)wa.close_all();
  for (const Packed& p : kProgramTables) pack_program_table(s, program, p);
  ui.close_kept();
  // 5.
  if (mode == ReorgMode::InReindex) {
    if (open_folder_list(s) && list_row != 0) (void)wa.area(50)->go_to(list_row);
    return ok;
  }
  (void)wa.close_all();
  if (!abertura(s, 0)) ok = false;
  if (!mudadir(s, store_var(s, "LOCARQ"))) ok = false;
  set_var(s, "MOS_MENS", Value(false));
  return ok;
}

bool reindexa(Session& s) {
  Os& os = s.os();
  Notices& ui = store_notices(s);
  WorkAreas& wa = s.part<WorkAreas>();
  // 1.
  if (!ui.ask({std::string("Esta opção refará todos arquivos índices (CDX)."_cp),
               std::string("Operação recomendada a ser feita após uma queda"_cp),
               std::string("da energia ou quando arquivos forem copiados de"_cp),
               "um equipamento para outro. Se em rede saia do  ",
               "programa em todos os terminais."}))
    return false;
  // Another running terminal would keep writing to the files deleted here.
  if (auto running = running_terminals(s); !running.empty()) {
    std::string list;
    for (const auto& t : running) list += (list.empty() ? "" : ", ") + t;
    ui.message("Terminal " + list + std::string(" ainda usa o programa. Saia do programa em todos os terminais."_cp));
    return false;
  }
  // The folders of the list, read before everything is closed.
  std::vector<std::string> folders;
  if (Area* list = wa.area(50))
    for (Status st = list->go_top(); st.ok() && !list->eof(); st = list->skip())
      if (auto v = list->get("DIRETOR"); v.ok()) folders.push_back(rtrim(v->text()));
  const std::string in_hand = store_var(s, "ROTADOANO"), loc = store_var(s, "LOCARQ");
  // 2.
  set_var(s, "MOS_MENS", Value(true));
  (void)wa.close_all();
  // 3.
  const std::string work = folder_path(s, Folder::Work), program = folder_path(s, Folder::Program);
  if (auto tmp = list_matching(os, work.empty() ? "." : work, "tmp_*.*"); tmp.ok())
    for (const auto& name : *tmp) (void)delete_file(os, join_path(work, name));
  if (auto cdx = list_matching(os, program.empty() ? "." : program, "*.cdx"); cdx.ok())
    for (const auto& name : *cdx) (void)delete_file(os, join_path(program, name));
  // 4.
  bool ok = true;
  for (const auto& f : folders)
    if (folder_state(s, f) == FolderState::Present) {
      set_var(s, "ROTADOANO", Value(f));
      set_var(s, "LOCARQ", Value(BAR_DIR(BAR_FORA(forward_slashes(f)))));
      if (!reorg(s, f, ReorgMode::InReindex)) ok = false;
    }
  // 5.
  set_var(s, "ROTADOANO", Value(in_hand));
  set_var(s, "LOCARQ", Value(loc));
  set_var(s, "MOS_MENS", Value(false));
  if (!abertura(s, 0)) ok = false;
  if (!trim(loc).empty() && !mudadir(s, loc)) ok = false;
  ui.close_kept();
  return ok;
}

}  // namespace kx
