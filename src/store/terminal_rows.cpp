#include "store/terminal_rows.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"
#include "store/catalog_fields.h"
#include "store/lock_waits.h"
#include "store/notices.h"
#include "store/opening.h"
#include "store/work_areas.h"

namespace kx {

bool ensure_terminal_row(Session& s, int table) {
  const TableDecl* decl = table_decl(table);
  if (!decl || decl->default_row != DefaultRow::PerTerminal) return false;
  if (!abertura(s, table)) return false;
  Area* a = s.part<WorkAreas>().area(table);
  if (!a) return false;
  const Value terminal(store_var(s, "NUSU"));
  if (a->seek(terminal).ok() && a->found()) return true;
  if (!seek_or_append(s, a, terminal, "NRO_TERM", 5)) return false;
  // The row may have been added meanwhile by another copy: defaults go
  // only into a row this call added (its other fields still blank).
  auto cfg = a->get(decl->fields[1].name);
  bool fresh = cfg.ok();
  if (fresh) {
    const Value& v = *cfg;
    fresh = v.is_text() ? trim(v.text()).empty() : v.type() == Type::N ? v.number() == Decimal(0) : false;
  }
  Status st;
  if (fresh) {
    DefaultContext c;
    c.terminal = store_var(s, "NUSU");
    c.program_folder = BAR_FORA(folder_path(s, Folder::Program));
    c.home_variable = s.os().env("KVHOME").value_or("");
    c.today = s.clock().today();
    c.system_printer = s.os().env("PRINTER").value_or("");
    std::vector<std::pair<std::string, Value>> values;
    for (auto& fv : default_values(*decl, c)) values.emplace_back(fv.field, fv.value);
    st = a->replace(values);
  }
  (void)a->unlock();
  if (!st.ok()) store_notices(s).message(st.message());
  return st.ok();
}

bool ensure_terminal_rows(Session& s) {
  bool ok = true;
  for (int n : {42, 56, 57}) ok = ensure_terminal_row(s, n) && ok;
  return ok;
}

void declare_field_variables(Vars& v, int table) {
  const TableDecl* decl = table_decl(table);
  if (!decl) return;
  for (const dbf::FieldDef& f : decl->fields) {
    switch (f.type) {
      case 'N': v.declare(f.name, Value(0)); break;
      case 'D': v.declare(f.name, Value(Date::empty())); break;
      case 'L': v.declare(f.name, Value(false)); break;
      default: v.declare(f.name, Value(space(f.width))); break;
    }
  }
}

void release_field_variables(Vars& v, int table, std::initializer_list<std::string_view> keep) {
  if (const TableDecl* decl = table_decl(table))
    for (const dbf::FieldDef& f : decl->fields)
      if (std::find(keep.begin(), keep.end(), std::string_view(f.name)) == keep.end()) v.release(f.name);
}

}  // namespace kx
