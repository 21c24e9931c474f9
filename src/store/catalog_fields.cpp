// The field-list builder, the registry of table structures, default records
// and the opening catalogue.
#include "store/catalog_fields.h"

#include <array>
#include <optional>
#include <stdexcept>
#include <utility>

#include "platform/decimal.h"

namespace kx {

// ---- Builder ------------------------------------------------------------------

std::string nn(int n, int digits) {
  std::string s = std::to_string(n);
  if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<std::size_t>(digits) - s.size(), '0');
  return s;
}

FieldDefault text(std::string_view v) { return {{}, DefaultKind::Text, std::string(v)}; }
FieldDefault number(std::string_view v) { return {{}, DefaultKind::Number, std::string(v)}; }
FieldDefault date(int year, int month, int day) {
  return {{}, DefaultKind::Date, nn(year, 4) + nn(month) + nn(day)};
}
FieldDefault blank() { return {{}, DefaultKind::Blank, {}}; }
FieldDefault placeholder(DefaultKind kind) { return {{}, kind, {}}; }

namespace {
// Fixed widths of the types whose width the declaration does not choose.
constexpr int kDateWidth = 8, kLogicalWidth = 1, kMemoWidth = 10;
}  // namespace

FieldList& FieldList::add(dbf::FieldDef f, std::optional<FieldDefault> def) {
  if (def) {
    def->field = f.name;
    defaults.push_back(std::move(*def));
  }
  fields.push_back(std::move(f));
  return *this;
}

FieldList& FieldList::c(std::string_view name, int width, std::optional<FieldDefault> def) {
  return add({std::string(name), 'C', width, 0}, std::move(def));
}
FieldList& FieldList::n(std::string_view name, int width, int decimals, std::optional<FieldDefault> def) {
  return add({std::string(name), 'N', width, decimals}, std::move(def));
}
FieldList& FieldList::money(std::string_view name, std::optional<FieldDefault> def) { return n(name, 12, 2, std::move(def)); }
FieldList& FieldList::d(std::string_view name, std::optional<FieldDefault> def) {
  return add({std::string(name), 'D', kDateWidth, 0}, std::move(def));
}
FieldList& FieldList::l(std::string_view name) { return add({std::string(name), 'L', kLogicalWidth, 0}); }
FieldList& FieldList::m(std::string_view name) { return add({std::string(name), 'M', kMemoWidth, 0}); }

FieldList& FieldList::c(std::initializer_list<std::string_view> names, int width) {
  for (auto name : names) c(name, width);
  return *this;
}
FieldList& FieldList::n(std::initializer_list<std::string_view> names, int width, int decimals) {
  for (auto name : names) n(name, width, decimals);
  return *this;
}
FieldList& FieldList::money(std::initializer_list<std::string_view> names) { return n(names, 12, 2); }

FieldList& FieldList::family(std::string_view prefix, int from, int to, int digits, int width, int decimals,
                             std::string_view suffix) {
  for (int i = from; i <= to; ++i)
    n(std::string(prefix) + nn(i, digits) + std::string(suffix), width, decimals);
  return *this;
}

int TableDecl::find(std::string_view name) const {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].name == name) return static_cast<int>(i);
  return -1;
}

// ---- Registry -----------------------------------------------------------------

namespace {

DefaultRow default_row_of(int number) {
  switch (number) {
    case 43: return DefaultRow::AtCreation;
    case 42: case 56: case 57: return DefaultRow::PerTerminal;
    default: return DefaultRow::None;
  }
}

using Registry = std::array<std::optional<TableDecl>, kLastTable + 1>;

Registry build_registry() {
  Registry r;
  auto put = [&](int number, FieldList list) {
    if (list.fields.empty()) return;
    r[static_cast<std::size_t>(number)] =
        TableDecl{number, std::move(list.fields), std::move(list.defaults), default_row_of(number)};
  };
  for (int n = 1; n <= 20; ++n) {
    put(n, catalog_detail::declaration_table(n));
    put(n + 20, catalog_detail::declaration_table(n));  // the terminal's work copy
  }
  for (int n = 41; n <= kLastTable; ++n) put(n, catalog_detail::office_table(n));
  return r;
}

const Registry& registry() {
  static const Registry r = build_registry();
  return r;
}

}  // namespace

const TableDecl* table_decl(int number) {
  if (number < 0 || number > kLastTable) return nullptr;
  const auto& slot = registry()[static_cast<std::size_t>(number)];
  return slot ? &*slot : nullptr;
}

std::vector<FieldValue> default_values(const TableDecl& t, const DefaultContext& ctx) {
  std::vector<FieldValue> out;
  for (const FieldDefault& d : t.defaults) {
    const int i = t.find(d.field);
    if (i < 0) throw std::logic_error("default for unknown field " + d.field);
    const char type = t.fields[static_cast<std::size_t>(i)].type;
    auto bad = [&] { return std::logic_error("default of " + d.field + " does not fit its type"); };
    switch (d.kind) {
      case DefaultKind::Blank:
        continue;
      case DefaultKind::Text:
        if (type != 'C') throw bad();
        out.push_back({d.field, Value(d.value)});
        break;
      case DefaultKind::Number: {
        auto v = Decimal::parse(d.value);
        if (type != 'N' || !v) throw bad();
        out.push_back({d.field, Value(*v)});
        break;
      }
      case DefaultKind::Date: {
        auto v = Date::parse_stored(d.value);
        if (type != 'D' || !v) throw bad();
        out.push_back({d.field, Value(*v)});
        break;
      }
      case DefaultKind::Today:
        if (type != 'D') throw bad();
        out.push_back({d.field, Value(ctx.today)});
        break;
      case DefaultKind::Terminal:
      case DefaultKind::ProgramFolder:
      case DefaultKind::HomeVariable:
      case DefaultKind::SystemPrinter: {
        if (type != 'C') throw bad();
        const std::string& v = d.kind == DefaultKind::Terminal        ? ctx.terminal
                               : d.kind == DefaultKind::ProgramFolder ? ctx.program_folder
                               : d.kind == DefaultKind::HomeVariable  ? ctx.home_variable
                                                                      : ctx.system_printer;
        out.push_back({d.field, Value(v)});
        break;
      }
    }
  }
  return out;
}

std::string creation_notice(int number) {
  if (number >= 1 && number <= kLastWorkCopy) return "Criando IMP" + nn((number - 1) % 20 + 1) + ".DBF";
  if (number == 50) return "Criando DIRETOR.DBF";
  return {};
}

std::span<const UpgradeMarker> upgrade_markers() {
  static constexpr UpgradeMarker kMarkers[] = {
      {1, "NOMCOMPA", 'C'}, {2, "NEW1", 'L'}, {7, "FOIDIFE", 'C'}, {9, "NUSUAT", 'C'}, {15, "OPT_20E", 'C'},
  };
  return kMarkers;
}

// ---- Opening catalogue --------------------------------------------------------

std::string declaration_base(int table, std::string_view year) {
  return "IMP" + nn(table) + std::string(year);
}

std::string CatalogEntry::file(std::string_view terminal) const {
  return per_terminal ? base + std::string(terminal) : base;
}

namespace {

// One catalogue row, written as a chain that reads like the catalogue:
//   row(55, "BANCOS").key("NUMBAN").key("NOMEBAN", "BANCOSB").closes_window()
struct Row {
  CatalogEntry e;
  Row(int number, std::string base, Folder folder = Folder::Program) {
    e.number = number;
    e.base = std::move(base);
    e.folder = folder;
  }
  Row& key(std::string_view k, std::string_view file = {}) {
    e.indexes.push_back({std::string(file), std::string(k)});
    return *this;
  }
  Row& exclusive() { e.mode = OpenAs::Exclusive; return *this; }
  Row& honours_flag() { e.exclusive_flag_honoured = true; return *this; }
  Row& closes_window() { e.closes_progress_window = true; return *this; }
  Row& per_terminal() { e.per_terminal = true; return *this; }
  Row& needs_memo() { e.needs_memo_file = true; return *this; }
  Row& seeds_folder() { e.seeds_program_folder = true; return *this; }
  Row& temporary(std::string_view k) { e.temporary_key = k; return *this; }
  Row& note(std::string_view n) { e.note = n; return *this; }
  Row& reads(std::initializer_list<std::string_view> fields) { e.fields_read = fields; return *this; }
};

// First key of declaration table n in the folder.
std::string_view declaration_key(int n) {
  switch (n) {
    case 4: return "CPF+STR(I7_0,4)";
    case 5: return "CPF+STR(I8_0,4)";
    case 6: return "CPF+STR(I6_3,2)";
    case 15: case 16: case 17: case 18: return "CPF+ATV_BRASIL";
    case 19: return "CPF+ATV_BRASIL+DTOS(DT_LC)";
    default: return "CPF";
  }
}

// Key of the work copy of declaration table n while a session has it open.
std::string_view work_copy_key(int n) {
  switch (n) {
    case 4: return "I7_0";
    case 5: return "I8_0";
    case 7: return "STR(BEM_NRO,2)+STR(RVAR_NRO,2)+DAY_TRADE";
    case 8: return "STR(BEM_NRO,2)+STR(RVAR_NRO,2)";
    case 10: return "CODDESP";
    case 11: return "CODERR";
    case 15: case 16: return "CPF+ATV_BRASIL";
    case 17: return "I8R_0";
    case 18: return "I9R_0";
    default: return "CPF";
  }
}

std::vector<CatalogEntry> build_catalogue() {
  std::vector<Row> rows;
  rows.push_back(Row(0, "", Folder::None).note("open-everything step"));
  for (int n = 1; n <= 20; ++n) {
    Row r(n, declaration_base(n), Folder::Data);
    r.key(declaration_key(n)).honours_flag();
    if (n == 9) r.key("UPPER(NOMECONTR)", "IMP0913B").key("ESTATUS", "IMP0913C");
    rows.push_back(std::move(r));
  }
  for (int n = 1; n <= 20; ++n) {
    Row r(n + 20, "TMP_" + nn(n), Folder::Work);
    r.per_terminal().exclusive().key(work_copy_key(n));
    r.e.work_copy = true;
    if (n == 13) r.note("no work copy in a declaration session; the cash book is edited in the folder");
    rows.push_back(std::move(r));
  }
  rows.push_back(Row(41, "PRINTS"));
  rows.push_back(Row(42, "CONFIG").key("NRO_TERM").closes_window());
  rows.push_back(Row(43, "DEFINE").closes_window());
  rows.push_back(Row(44, "IMPCORRIG").exclusive());
  rows.push_back(Row(45, "HELPTXT").key("UPPER(NOME)").needs_memo().reads({"NOME", "TEXTO"}));
  rows.push_back(Row(46, "CODBENS").key("CODBEM").reads({"CODBEM", "DESCBENS", "DESPBEM"}));
  rows.push_back(Row(47, "CODEPEN").key("CODDEP").reads({"CODDEP", "DESCRICAO"}));
  rows.push_back(Row(48, "CODDIVI").key("CODDIV").reads({"CODDIV", "DESCDIV"}));
  rows.push_back(Row(49, "DESPESA").key("CODDES").reads({"CODDES", "DESCDOA"}));
  rows.push_back(Row(50, "DIRET").per_terminal().exclusive().key("UPPER(DIRETOR)").seeds_folder());
  rows.push_back(Row(51, "UFIRM").key("ANOMES").reads({"ANOMES", "TJM"}));
  // The description is C 512; its key is the first 240 characters, the
  // longest key an index holds.
  rows.push_back(Row(52, "AUXBENS").key("LEFT(DESCRICAO,240)"));
  rows.push_back(Row(53, "AUXPAG").key("NOME"));
  rows.push_back(Row(54, "LisErro").key("CODERR"));
  rows.push_back(Row(55, "BANCOS").key("NUMBAN").key("NOMEBAN", "BANCOSB").closes_window().reads({"NUMBAN", "NOMEBAN"}));
  rows.push_back(Row(56, "CORES").key("NRO_TERM").closes_window());
  rows.push_back(Row(57, "CONFIMP").key("NRO_TERM").closes_window());
  rows.push_back(Row(58, "OCUPACAO").key("CDPRO").key("UPPER(OCUPACAO)", "OCUPACAB").reads({"CDPRO", "OCUPACAO"}));
  rows.push_back(Row(59, "CODNATUR").key("CODAT").key("UPPER(DESCRAT)", "CODNATB").closes_window()
                     .reads({"CODAT", "DESCRAT"}));
  rows.push_back(Row(60, "TABPAIS").key("CODPAIS").closes_window().reads({"CODPAIS", "NOMPAIS"}));
  rows.push_back(Row(61, "TABEMBA").key("CD_EX").closes_window().reads({"CD_EX", "NM_CIDADE", "NM_PAIS", "NM_REP"}));
  rows.push_back(Row(62, "CONTAS").key("CDCONTA").closes_window().reads({"CDCONTA", "NMDESCRICA"}));
  rows.push_back(Row(63, "FOLHAPG").key("CPF").closes_window());
  rows.push_back(Row(64, "TABMUNI").closes_window().temporary("UPPER(NOMEMUNI)+UNIFED")
                     .reads({"NOMEMUNI", "UNIFED", "NROMUNI"}));
  rows.push_back(Row(65, "TABLOGR").key("UPPER(NOMELOGRA)").closes_window().reads({"NOMELOGRA"}));
  rows.push_back(Row(66, "STATUS").key("COD").honours_flag().closes_window().reads({"COD", "DESCRICAO"}));
  rows.push_back(Row(67, "BOLETO").key("NOSSONRO").honours_flag().closes_window());
  rows.push_back(Row(68, "DETALH").per_terminal().exclusive());
  rows.push_back(Row(69, "CODABENS").key("CODBEM").reads({"CODBEM", "DESCBENS"}));
  rows.push_back(Row(70, "LISNOME").key("NOMECONTR").key("CPF", "LISNOMEB").exclusive());
  rows.push_back(Row(72, "AGENDA").key("NOMEAG").key("HORAG+DTOS(DATAG)", "AGENDAB"));
  rows.push_back(Row(73, "USOLOG").key("NOMEAG").key("CPF", "USOLOGB"));
  rows.push_back(Row(74, "AUXFON").key("NOME"));
  rows.push_back(Row(75, "ECACIDAD").key("NOME").reads({"UF", "CIDADE", "CNPJ"}));

  std::vector<CatalogEntry> out(kLastTable + 1);
  for (auto& r : rows) out[static_cast<std::size_t>(r.e.number)] = std::move(r.e);
  out[71].number = -1;  // no table 71
  return out;
}

}  // namespace

const CatalogEntry* catalog_entry(int number) {
  static const std::vector<CatalogEntry> catalogue = build_catalogue();
  if (number < 0 || number > kLastTable) return nullptr;
  const CatalogEntry& e = catalogue[static_cast<std::size_t>(number)];
  return e.number == number ? &e : nullptr;
}

std::string catalog_file(int number, std::string_view terminal) {
  const CatalogEntry* e = catalog_entry(number);
  return e ? e->file(terminal) : std::string();
}

}  // namespace kx
