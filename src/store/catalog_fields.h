// Every table of the system declared once, as data.
//
// table_decl(n) gives the field list of table number n: 1-20 the
// declaration tables of a folder ("IMP" + nn + "13"), 21-40 the terminal's
// work copies (exactly the fields of table n - 20), and the office and
// configuration tables 41-75 that the program creates when missing.  The
// reference tables supplied with the program (45-49, 51, 55, 58-62, 64-66,
// 69, 75) have no structure: table_decl gives nullptr and the catalogue
// lists the fields the program reads from them.
//
// catalog_entry(n) is the opening catalogue: file name, folder, index files
// with their key expressions as xBase text (parsed by key_expr.h), sharing
// mode and the finishing notes of the opening step.
//
// Default records (table 42 per terminal, 43 at creation, 56 and 57 per
// terminal) are data too: values that depend on the run (terminal number,
// program folder, today ...) are placeholders that default_values() fills
// from a DefaultContext.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date.h"
#include "platform/value.h"
#include "store/dbf_format.h"

namespace kx {

inline constexpr std::string_view kYearSuffix = "13";  // declaration year in every folder file name
inline constexpr int kFirstWorkCopy = 21;
inline constexpr int kLastWorkCopy = 40;
inline constexpr int kLastTable = 75;
// Line numbers of assets and debts (I7_0, I8_0, I8R_0, I9R_0: N 4) stop at
// 9999: a new row gets its record number x 10, clamped there, so the field
// never overflows.
inline constexpr int kLastLineNumber = 9999;
constexpr int new_line_number(long recno) {
  return recno >= kLastLineNumber / 10 + 1 ? kLastLineNumber : static_cast<int>(recno * 10);
}

// ---- Default values of created records ---------------------------------------

enum class DefaultKind {
  Blank,          // left as the appended blank record has it
  Text,           // value: the text
  Number,         // value: decimal text ("3.00", "90")
  Date,           // value: "yyyymmdd"
  Terminal,       // the terminal number (NUSU, two characters)
  ProgramFolder,  // the program folder, without trailing backslash
  HomeVariable,   // the value of the KVHOME environment variable
  Today,          // the date of the run
  SystemPrinter,  // the name of the system's default printer
};

struct FieldDefault {
  std::string field;
  DefaultKind kind = DefaultKind::Blank;
  std::string value;
};

// What the placeholders stand for in this run.
struct DefaultContext {
  std::string terminal;        // "03"
  std::string program_folder;  // "C:\KORVEX"
  std::string home_variable;   // value of KVHOME ("" when unset)
  Date today;
  std::string system_printer;
};

// When the default record is written.
enum class DefaultRow {
  None,         // tables are created empty
  AtCreation,   // one record appended when the table is created (table 43)
  PerTerminal,  // one record per terminal, added when the terminal has none
};

// ---- Field lists --------------------------------------------------------------

// Builder of a field list that reads like the layout tables: one call per
// field, in creation order, with an optional default.
class FieldList {
 public:
  FieldList& c(std::string_view name, int width, std::optional<FieldDefault> def = {});
  FieldList& n(std::string_view name, int width, int decimals = 0, std::optional<FieldDefault> def = {});
  FieldList& money(std::string_view name, std::optional<FieldDefault> def = {});  // N 12,2
  FieldList& d(std::string_view name, std::optional<FieldDefault> def = {});
  FieldList& l(std::string_view name);
  FieldList& m(std::string_view name);
  // Several fields of one type: c({"TELCELU", "TELESCR"}, 9).
  FieldList& c(std::initializer_list<std::string_view> names, int width);
  FieldList& n(std::initializer_list<std::string_view> names, int width, int decimals = 0);
  FieldList& money(std::initializer_list<std::string_view> names);
  // prefix + from..to with `digits` digits (zero-padded) + suffix, N width,decimals:
  // family("I13_", 1, 50) is I13_01 .. I13_50 as N 12,2.
  FieldList& family(std::string_view prefix, int from, int to, int digits = 2, int width = 12,
                    int decimals = 2, std::string_view suffix = {});
  FieldList& add(dbf::FieldDef f, std::optional<FieldDefault> def = {});

  std::vector<dbf::FieldDef> fields;
  std::vector<FieldDefault> defaults;  // only fields declared with a default
};

// Default helpers for the builder.
FieldDefault text(std::string_view v);
FieldDefault number(std::string_view v);
FieldDefault date(int year, int month, int day);
FieldDefault blank();
FieldDefault placeholder(DefaultKind kind);

// `n` zero-padded to `digits` digits: nn(7) is "07".
std::string nn(int n, int digits = 2);

struct TableDecl {
  int number = 0;
  std::vector<dbf::FieldDef> fields;  // widths of D, L, M are 8, 1, 10
  std::vector<FieldDefault> defaults;
  DefaultRow default_row = DefaultRow::None;

  // Index of a field by exact name, or -1.
  int find(std::string_view name) const;
};

// The structure of table `number`, or nullptr when the program has none
// (reference tables, 0, 71, numbers out of range).
const TableDecl* table_decl(int number);

// The values to write into a new default record: every field with a
// non-blank default, placeholders filled from `ctx`, typed as the field.
struct FieldValue {
  std::string field;
  Value value;
};
std::vector<FieldValue> default_values(const TableDecl& t, const DefaultContext& ctx);

// The progress message shown while table `number` is created, or "".
// Declaration tables and their work copies: "Criando IMP" + nn + ".DBF" with
// the declaration table's number; the folder list: "Criando DIRETOR.DBF".
std::string creation_notice(int number);

// Marker field added by the latest structure change of an upgraded table
// (01, 02, 07, 09, 15): when the field is present with this type the table
// is current.
struct UpgradeMarker {
  int table;
  std::string_view field;
  char type;
};
std::span<const UpgradeMarker> upgrade_markers();

// ---- Opening catalogue --------------------------------------------------------

enum class Folder {
  None,     // table 0 (open-everything step)
  Data,     // the current folder of declarations (LOCARQ)
  Program,  // the program folder (ARQDEF)
  Work,     // the work folder (LOCTRAB)
};
enum class OpenAs { Shared, Exclusive };

struct IndexDecl {
  std::string file;  // "" = the table's own compound index (same base name)
  std::string key;   // xBase key expression ("CPF+STR(I7_0,4)")
};

struct CatalogEntry {
  int number = 0;
  std::string base;           // file name without extension; per-terminal: before NUSU
  bool per_terminal = false;  // the terminal number follows the base name
  Folder folder = Folder::None;
  std::vector<IndexDecl> indexes;  // the first is the active order
  OpenAs mode = OpenAs::Shared;
  bool exclusive_flag_honoured = false;  // the caller's exclusive flag changes the mode
  bool closes_progress_window = false;   // the kept message window is closed afterwards
  bool needs_memo_file = false;          // opened only when the .DBF and its .DBT exist
  bool seeds_program_folder = false;     // an empty list gets the program-folder row
  bool work_copy = false;                // opened by the session, not by the opening routine
  std::string_view temporary_key;  // key callers build themselves when the table has none
  std::string_view note;
  std::vector<std::string_view> fields_read;  // reference tables: the fields the program reads

  std::string file(std::string_view terminal) const;
};

// The catalogue entry of table `number` (0-75; 71 has none), or nullptr.
const CatalogEntry* catalog_entry(int number);
// The file name without extension of table `number` on terminal `terminal`
// (two characters, NUSU): "IMP0413", "DIRET03", "TMP_0907", "" when unknown.
std::string catalog_file(int number, std::string_view terminal);
// Base name of declaration table 1-20 for a year suffix ("12" for last
// year's tables): declaration_base(4, "12") is "IMP0412".
std::string declaration_base(int table, std::string_view year = kYearSuffix);

// Builders of the field lists, one per group of tables (used by table_decl).
namespace catalog_detail {
FieldList declaration_table(int number);  // 1-20; empty list for other numbers
FieldList office_table(int number);       // 41-75; empty list for tables without structure
}  // namespace catalog_detail

}  // namespace kx
