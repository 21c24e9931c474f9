// A program folder in a fresh temporary folder, a session that starts the
// program on it (fixed clock, scripted keys, its own environment), and the
// reference tables the program only reads, created empty so that start-up
// shows no "não localizado" boxes.
#pragma once

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/fault_os.h"
#include "platform/os.h"
#include "platform/session.h"
#include "platform/temp_dir.h"
#include "platform/text.h"
#include "shell/session_vars.h"
#include "store/catalog_fields.h"
#include "store/work_areas.h"

namespace kx::test {

inline void create_reference_tables(const std::string& folder) {
  for (int n = 41; n <= 75; ++n) {
    const CatalogEntry* e = catalog_entry(n);
    if (!e || table_decl(n) || e->fields_read.empty() || e->needs_memo_file || e->folder != Folder::Program)
      continue;
    std::vector<dbf::FieldDef> fields;
    for (auto f : e->fields_read) fields.push_back({std::string(f), 'C', n == 66 && f == "COD" ? 2 : 40});
    auto a = Area::create(posix_os(), folder + "/" + e->file("00") + ".DBF", fields, Share::Exclusive);
    if (a.ok()) (void)(*a)->close();
  }
}

struct ProgramRun {
  kx::testing::TempDir dir;
  FaultOs os{posix_os()};
  FixedClock clock{*Date::from_ymd(2013, 3, 10)};
  std::unique_ptr<Session> session;

  explicit ProgramRun(bool with_reference_tables = true) {
    os.set_env("KVHOME", dir.path());
    os.unset_env("TERMINAL");
    if (with_reference_tables) create_reference_tables(dir.path());
    restart();
  }
  // A new session on the same folder (the next start of the program).
  void restart() {
    session.reset();
    session = std::make_unique<Session>(os, clock);
    declare_program_variables(*session);
  }
  Session& s() { return *session; }
  Console& con() { return s().part<Console>(); }
  ScriptedKeys& keys() { return con().script(); }
  Vars& vars() { return s().vars(); }

  // Whether some message or question shown had a line equal to `line`
  // (trailing blanks ignored).
  bool told(std::string_view line) const {
    for (const auto& e : session->part<Console>().log())
      for (const auto& l : e.lines)
        if (rtrim(l) == rtrim(line)) return true;
    return false;
  }
  std::string log_text() {
    std::string out;
    for (const auto& e : con().log()) {
      out += e.kind + ":";
      for (const auto& l : e.lines) out += " [" + cp850::to_utf8(l) + "]";
      out += " -> " + e.answer + "\n";
    }
    return out;
  }
  std::string bytes(std::string_view name) const {
    std::ifstream in(dir.file(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

// Reads one field of the row of `table` (program folder) whose first field
// is `key`, through a separate opening of the file.
inline Value row_field(const std::string& path, std::string_view key, std::string_view field) {
  auto a = Area::open(posix_os(), path, Share::Shared, {});
  if (!a.ok()) return Value("<no table>");
  Area& t = **a;
  for (Status st = t.go_top(); st.ok() && !t.eof(); st = t.skip()) {
    const std::string first = t.table().header().fields[0].name;
    if (rtrim(t.get(first)->text()) == key) {
      Value v = *t.get(field);
      (void)t.close();
      return v;
    }
  }
  (void)t.close();
  return Value("<no row>");
}

}  // namespace kx::test
