#include "store/catalog_fields.h"

#include "store/key_expr.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace kx {
namespace {

std::vector<int> tables_with_structure() {
  std::vector<int> out;
  for (int n = 0; n <= kLastTable; ++n)
    if (table_decl(n)) out.push_back(n);
  return out;
}

std::string name_at(int table, int position) {  // position counts from 1
  const TableDecl* t = table_decl(table);
  if (!t || position < 1 || position > static_cast<int>(t->fields.size())) return "?";
  return t->fields[static_cast<std::size_t>(position - 1)].name;
}

TEST(Catalog, ExactlyTheTablesTheProgramCreatesHaveAStructure) {
  std::vector<int> expected;
  for (int n = 1; n <= 40; ++n) expected.push_back(n);
  for (int n : {41, 42, 43, 44, 50, 52, 53, 54, 56, 57, 63, 67, 68, 70, 72, 73, 74}) expected.push_back(n);
  EXPECT_EQ(tables_with_structure(), expected);
  EXPECT_EQ(table_decl(-1), nullptr);
  EXPECT_EQ(table_decl(76), nullptr);
}

// Names, types and widths every table must respect to be written.
TEST(Catalog, EveryFieldIsWellFormed) {
  for (int n : tables_with_structure()) {
    const TableDecl& t = *table_decl(n);
    EXPECT_EQ(t.number, n);
    std::set<std::string> seen;
    std::size_t record = 1;
    for (const dbf::FieldDef& f : t.fields) {
      SCOPED_TRACE("table " + std::to_string(n) + " field " + f.name);
      EXPECT_TRUE(seen.insert(f.name).second) << "twice";
      ASSERT_FALSE(f.name.empty());
      EXPECT_LE(f.name.size(), 10u);
      EXPECT_TRUE(std::isupper(static_cast<unsigned char>(f.name[0])));
      for (char c : f.name)
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) ||
                    c == '_');
      switch (f.type) {
        case 'C': EXPECT_TRUE(f.width >= 1 && f.width <= 512) << f.width; EXPECT_EQ(f.decimals, 0); break;
        case 'N':
          EXPECT_TRUE(f.width >= 1 && f.width <= 20) << f.width;
          EXPECT_TRUE(f.decimals == 0 || f.decimals <= f.width - 2) << f.width << "," << f.decimals;
          break;
        case 'D': EXPECT_EQ(f.width, 8); break;
        case 'L': EXPECT_EQ(f.width, 1); break;
        case 'M': EXPECT_EQ(f.width, 10); break;
        default: ADD_FAILURE() << "type " << f.type;
      }
      record += static_cast<std::size_t>(f.width);
    }
    EXPECT_LT(record, 65536u) << "table " << n;
    // The storage engine's own check of a field list for creation.
    dbf::Header h;
    h.fields = t.fields;
    EXPECT_TRUE(dbf::layout(h, "T.DBF").ok()) << "table " << n;
  }
}

TEST(Catalog, DeclarationTablesBeginWithTheContributor) {
  for (int n = 1; n <= 20; ++n) {
    const dbf::FieldDef& f = table_decl(n)->fields.front();
    EXPECT_EQ(f, (dbf::FieldDef{"CPF", 'C', 11, 0})) << "table " << n;
  }
}

TEST(Catalog, WorkCopiesHaveExactlyTheFieldsOfTheirTable) {
  for (int k = 1; k <= 20; ++k) {
    const TableDecl* copy = table_decl(k + 20);
    ASSERT_NE(copy, nullptr) << k;
    EXPECT_EQ(copy->fields, table_decl(k)->fields) << "table " << k;
    EXPECT_EQ(copy->number, k + 20);
  }
  EXPECT_EQ(table_decl(29)->fields.size(), 99u);
  EXPECT_EQ(catalog_file(29, "07"), "TMP_0907");
}

// Field counts and positions transcribed from the layouts (first field is 1).
TEST(Catalog, CountsAndPositions) {
  struct Case {
    int table;
    std::size_t count;
    std::vector<std::pair<int, std::string>> at;  // position, name
  };
  const Case cases[] = {
      {1, 151, {{2, "I3_01"}, {3, "I4_01"}, {4, "I3_02"}, {19, "I4_09"}, {20, "I3_10"}, {35, "I3_25"},
                {36, "I3_OUTI"}, {73, "I13_01"}, {122, "I13_50"}, {123, "QTD_QUOTA"}, {151, "NOVREG"}}},
      {2, 68, {{2, "I1_1"}, {11, "DT_LC"}, {32, "NEW1"}, {33, "I1_401"}, {34, "I1_501"}, {35, "I1_601"},
               {36, "I1_402"}, {68, "I1_612"}}},
      {3, 8, {{8, "SAIUJUNT"}}},
      {4, 26, {{2, "I7_0"}, {4, "I7_2"}, {12, "I7_10"}, {26, "REGISTRO"}}},
      {5, 8, {{8, "I8_6"}}},
      {6, 21, {{9, "ACER"}, {10, "I6_401"}, {21, "I6_412"}}},
      {7, 128, {{4, "DAY_TRADE"}, {56, "FOIDIFE"}, {57, "REC_MES01"}, {59, "DIA_REC01"}, {62, "IMP_LEI01"},
                {63, "REC_MES02"}, {128, "IMP_LEI12"}}},
      {8, 23, {{5, "VALOR_REDU"}, {23, "LOTE"}}},
      {9, 99, {{3, "NOMECONTR"}, {20, "NASCIMENTO"}, {59, "I13_20"}, {65, "I13_45"}, {68, "I13_1C"},
               {73, "NUSUAT"}, {83, "NRCLEAO"}, {89, "TRIB_EX"}, {94, "TRIB_BR"}, {98, "DIVPG_BR"},
               {99, "NOMEAG"}}},
      {10, 5, {{5, "DESCRITEM"}}},
      {11, 4, {{4, "PAGINA"}}},
      {12, 93, {{3, "I2_101"}, {4, "I2_201"}, {9, "I2_701"}, {10, "I2_102"}, {93, "I2_713"}}},
      {13, 10, {{10, "CPFDEPEN"}}},
      {14, 9, {{9, "TIPO"}}},
      {15, 66, {{3, "I3_01OR"}, {4, "I3_01OD"}, {26, "I3_12OD"}, {27, "I4R_01"}, {34, "I5_08"},
                {37, "I6_10"}, {39, "OPT_20E"}, {40, "I7_1A"}, {44, "I7_1V1"}, {45, "I7_2A"},
                {64, "I7_5V1"}, {65, "I7_V1"}, {66, "SO_TOTAL"}}},
      {16, 17, {{3, "I2R_01"}, {10, "VALITR"}, {17, "OPC20RS"}}},
      {17, 9, {{6, "I8R_1"}, {9, "I8R_4"}}},
      {18, 9, {{3, "I9R_0"}, {9, "I9R_5"}}},
      {19, 8, {{3, "DT_LC"}, {8, "TEMITR"}}},
      {20, 6, {{6, "PERCENT"}}},
      {41, 6, {{1, "CONFIM"}, {6, "SEQ3"}}},
      {42, 36, {{1, "NRO_TERM"}, {15, "ENV_STAT"}, {34, "ULTBACK"}, {36, "NOMEAG"}}},
      {43, 33, {{1, "VCTO1"}, {8, "VCTO8"}, {16, "VAL_DOLAR"}, {33, "STATRAVA"}}},
      {44, 7, {{7, "CORRIGI"}}},
      {50, 2, {{1, "SELEC"}, {2, "DIRETOR"}}},
      {52, 2, {{2, "CODIGO"}}},
      {53, 3, {{3, "CODIGO"}}},
      {54, 4, {{4, "PAGINA"}}},
      {56, 18, {{2, "COR_TEL1"}, {10, "COR_ENCHE"}, {11, "COR_1_CLI"}, {18, "COR_ENCH_C"}}},
      {57, 13, {{9, "NOMEREDE"}, {13, "SEQ3"}}},
      {63, 22, {{5, "RENDIMENT"}, {16, "DECIMO3RO"}, {22, "IMPRE"}}},
      {67, 6, {{6, "CPFSAC"}}},
      {68, 4, {{4, "PERCRECE"}}},
      {70, 6, {{6, "IMPRE"}}},
      {72, 5, {{5, "AVISAG"}}},
      {73, 7, {{7, "TEMUSO"}}},
      {74, 2, {{2, "CGCCPF"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("table " + std::to_string(c.table));
    ASSERT_NE(table_decl(c.table), nullptr);
    EXPECT_EQ(table_decl(c.table)->fields.size(), c.count);
    for (const auto& [pos, name] : c.at) EXPECT_EQ(name_at(c.table, pos), name) << "position " << pos;
  }
}

// Types and widths that differ from the usual ones of their table.
TEST(Catalog, TypesAndWidths) {
  struct Case {
    int table;
    dbf::FieldDef field;
  };
  const Case cases[] = {
      {1, {"I3_01", 'N', 12, 2}},     {1, {"I3_OUTI", 'C', 60, 0}},  {1, {"DESPALIM", 'N', 1, 0}},
      {1, {"DATAPARTI", 'D', 8, 0}},  {1, {"LIVRCARTO", 'N', 7, 0}}, {1, {"INDALERTA", 'N', 2, 0}},
      {1, {"SO_REC", 'L', 1, 0}},     {2, {"I1_21", 'N', 5, 1}},     {2, {"NEW1", 'L', 1, 0}},
      {2, {"I1_612", 'N', 12, 2}},    {4, {"I7_2", 'C', 512, 0}},    {4, {"AREAIMO", 'N', 9, 1}},
      {5, {"I8_2", 'C', 512, 0}},     {6, {"I6_401", 'N', 14, 2}},   {7, {"PER_TRI", 'N', 10, 6}},
      {7, {"FR2", 'N', 18, 8}},       {7, {"DIA_REC12", 'N', 2, 0}}, {7, {"CPFNOME", 'C', 250, 0}},
      {8, {"CM_PONDER", 'N', 15, 6}}, {8, {"SALDO_ACAO", 'N', 9, 0}}, {9, {"CODACESSO", 'N', 12, 0}},
      {9, {"INDGAS", 'N', 6, 2}},     {9, {"I13_5C", 'N', 12, 2}},   {13, {"VALODESP", 'N', 13, 2}},
      {15, {"I7_3S", 'N', 6, 0}},     {15, {"I7_V1", 'C', 22, 0}},   {16, {"VALUSE", 'N', 7, 2}},
      {17, {"I8R_1", 'C', 512, 0}},   {19, {"VALOR", 'N', 14, 2}},   {20, {"PERCENT", 'N', 6, 2}},
      {42, {"QUEMOD", 'N', 1, 0}},    {43, {"VAL_CPMF", 'N', 8, 4}}, {43, {"VAL_MIN", 'N', 8, 2}},
      {52, {"DESCRICAO", 'C', 512, 0}}, {72, {"HORAG", 'C', 5, 0}},  {72, {"AVISAG", 'L', 1, 0}},
  };
  for (const Case& c : cases) {
    const TableDecl* t = table_decl(c.table);
    const int i = t->find(c.field.name);
    ASSERT_GE(i, 0) << "table " << c.table << " lacks " << c.field.name;
    EXPECT_EQ(t->fields[static_cast<std::size_t>(i)], c.field) << "table " << c.table;
  }
}

TEST(Catalog, UpgradeMarkersAreFieldsOfTheirTables) {
  ASSERT_EQ(upgrade_markers().size(), 5u);
  for (const UpgradeMarker& m : upgrade_markers()) {
    const TableDecl* t = table_decl(m.table);
    const int i = t->find(m.field);
    ASSERT_GE(i, 0) << m.field;
    EXPECT_EQ(t->fields[static_cast<std::size_t>(i)].type, m.type) << m.field;
  }
}

// ---- Default records ------------------------------------------------------------

DefaultContext run() {
  return {"03", "C:\\KORVEX", "D:\\KV", *Date::from_ymd(2013, 3, 15), "Impressora"};
}

const Value* value_of(const std::vector<FieldValue>& values, std::string_view field) {
  for (const auto& v : values)
    if (v.field == field) return &v.value;
  return nullptr;
}

TEST(Catalog, DefaultRecordsAreWhereTheyBelong) {
  for (int n : tables_with_structure()) {
    const TableDecl& t = *table_decl(n);
    const bool has = n == 42 || n == 43 || n == 56 || n == 57;
    EXPECT_EQ(!t.defaults.empty(), has) << "table " << n;
    EXPECT_EQ(t.default_row, n == 43 ? DefaultRow::AtCreation : has ? DefaultRow::PerTerminal : DefaultRow::None)
        << "table " << n;
    // Every default names a field and fits its type (default_values throws otherwise).
    for (const FieldDefault& d : t.defaults) EXPECT_GE(t.find(d.field), 0) << d.field;
    EXPECT_NO_THROW(default_values(t, run())) << "table " << n;
  }
  // The layouts give a default for every field of these four tables.
  for (int n : {42, 43, 56, 57}) EXPECT_EQ(table_decl(n)->defaults.size(), table_decl(n)->fields.size()) << n;
}

TEST(Catalog, DefaultValuesFillPlaceholdersAndKeepBlanksOut) {
  struct Case {
    int table;
    std::string_view field;
    Value expected;
  };
  const Case cases[] = {
      {42, "NRO_TERM", Value("03")},
      {42, "ROTAANTER", Value("C:\\KORVEL")},
      {42, "ROTADOANO", Value("C:\\KORVEX")},
      {42, "DIRTRAB", Value("C:\\KORVEX")},
      {42, "DIRPROV", Value("D:\\KV")},
      {42, "ROTAJAVA", Value("C:\\ARQUIVOS DE PROGRAMAS RFB\\IRPF2013\\APLICACAO\\DADOS")},
      {42, "NRO_LIN", Value(60)},
      {42, "MARESQ", Value(0)},
      {42, "ULTBACK", Value(*Date::from_ymd(2013, 3, 15))},
      {42, "OPCIRPF", Value("J")},
      {43, "VCTO1", Value(*Date::from_ymd(2013, 4, 30))},
      {43, "VCTO8", Value(*Date::from_ymd(2013, 11, 29))},
      {43, "VAL_DOLAR", Value(*Decimal::parse("2.0429"))},
      {43, "VAL_SEG", Value(3)},
      {43, "PROGCOMP", Value("N")},
      {56, "NRO_TERM", Value("03")},
      {56, "COR_MENS", Value(112)},
      {56, "COR_ENCH_C", Value("W+/B")},
      {57, "NOMEREDE", Value("Impressora")},
      {57, "SEQ3", Value("<014>//<020>")},
      {57, "NROCOM", Value(0)},
  };
  for (const Case& c : cases) {
    const auto values = default_values(*table_decl(c.table), run());
    const Value* v = value_of(values, c.field);
    ASSERT_NE(v, nullptr) << c.table << " " << c.field;
    EXPECT_EQ(*v, c.expected) << c.table << " " << c.field;
  }
  for (auto [table, field] : {std::pair{42, "ROTABACK"}, {42, "NOVOIT"}, {43, "BOL_NOSNRO"}, {57, "SAIDAPR"}})
    EXPECT_EQ(value_of(default_values(*table_decl(table), run()), field), nullptr) << field;
}

// ---- Opening catalogue ------------------------------------------------------------

// Field names a key expression refers to (words not followed by "(").
std::vector<std::string> key_fields(std::string_view key) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < key.size();) {
    if (!std::isalpha(static_cast<unsigned char>(key[i]))) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < key.size() && (std::isalnum(static_cast<unsigned char>(key[j])) || key[j] == '_')) ++j;
    if (j >= key.size() || key[j] != '(') out.emplace_back(key.substr(i, j - i));
    i = j;
  }
  return out;
}

TEST(Catalog, EveryNumberButSeventyOneHasAnEntry) {
  for (int n = 0; n <= kLastTable; ++n) {
    const CatalogEntry* e = catalog_entry(n);
    if (n == 71) {
      EXPECT_EQ(e, nullptr);
      continue;
    }
    ASSERT_NE(e, nullptr) << n;
    EXPECT_EQ(e->number, n);
    EXPECT_EQ(e->folder, n == 0 ? Folder::None : n <= 20 ? Folder::Data : n <= 40 ? Folder::Work : Folder::Program)
        << n;
    EXPECT_EQ(e->work_copy, n >= 21 && n <= 40) << n;
  }
  EXPECT_EQ(catalog_entry(76), nullptr);
}

TEST(Catalog, KeysReferToFieldsOfTheTable) {
  for (int n = 1; n <= kLastTable; ++n) {
    const CatalogEntry* e = catalog_entry(n);
    const TableDecl* t = table_decl(n);
    if (!e || !t) continue;
    std::vector<std::string> keys;
    for (const auto& ix : e->indexes) keys.push_back(ix.key);
    if (!e->temporary_key.empty()) keys.emplace_back(e->temporary_key);
    for (const auto& k : keys)
      for (const auto& f : key_fields(k)) EXPECT_GE(t->find(f), 0) << "table " << n << " key " << k;
  }
}

// The key texts are what the index engine parses; bound to the table's
// fields they must evaluate (field names and types agree).
TEST(Catalog, KeysParseAndBindToTheirTables) {
  for (int n = 0; n <= kLastTable; ++n) {
    const CatalogEntry* e = catalog_entry(n);
    if (!e) continue;
    std::vector<std::string> keys;
    for (const auto& ix : e->indexes) keys.push_back(ix.key);
    if (!e->temporary_key.empty()) keys.emplace_back(e->temporary_key);
    for (const auto& k : keys) {
      auto parsed = KeyExpr::parse(k);
      ASSERT_TRUE(parsed.ok()) << "table " << n << " key " << k << ": " << parsed.status();
      const TableDecl* t = table_decl(n);
      if (!t) continue;
      dbf::Header h;
      h.fields = t->fields;
      ASSERT_TRUE(dbf::layout(h, "T.DBF").ok());
      auto bound = BoundKey::bind(*parsed, h);
      EXPECT_TRUE(bound.ok()) << "table " << n << " key " << k << ": " << bound.status();
    }
  }
}

TEST(Catalog, FilesFoldersKeysAndModes) {
  struct Case {
    int table;
    std::string file;  // on terminal 03
    OpenAs mode;
    std::vector<std::pair<std::string, std::string>> indexes;  // file, key
  };
  const Case cases[] = {
      {1, "IMP0113", OpenAs::Shared, {{"", "CPF"}}},
      {4, "IMP0413", OpenAs::Shared, {{"", "CPF+STR(I7_0,4)"}}},
      {6, "IMP0613", OpenAs::Shared, {{"", "CPF+STR(I6_3,2)"}}},
      {9, "IMP0913", OpenAs::Shared,
       {{"", "CPF"}, {"IMP0913B", "UPPER(NOMECONTR)"}, {"IMP0913C", "ESTATUS"}}},
      {16, "IMP1613", OpenAs::Shared, {{"", "CPF+ATV_BRASIL"}}},
      {19, "IMP1913", OpenAs::Shared, {{"", "CPF+ATV_BRASIL+DTOS(DT_LC)"}}},
      {21, "TMP_0103", OpenAs::Exclusive, {{"", "CPF"}}},
      {24, "TMP_0403", OpenAs::Exclusive, {{"", "I7_0"}}},
      {27, "TMP_0703", OpenAs::Exclusive, {{"", "STR(BEM_NRO,2)+STR(RVAR_NRO,2)+DAY_TRADE"}}},
      {28, "TMP_0803", OpenAs::Exclusive, {{"", "STR(BEM_NRO,2)+STR(RVAR_NRO,2)"}}},
      {36, "TMP_1603", OpenAs::Exclusive, {{"", "CPF+ATV_BRASIL"}}},
      {38, "TMP_1803", OpenAs::Exclusive, {{"", "I9R_0"}}},
      {39, "TMP_1903", OpenAs::Exclusive, {{"", "CPF"}}},
      {41, "PRINTS", OpenAs::Shared, {}},
      {44, "IMPCORRIG", OpenAs::Exclusive, {}},
      {50, "DIRET03", OpenAs::Exclusive, {{"", "UPPER(DIRETOR)"}}},
      {55, "BANCOS", OpenAs::Shared, {{"", "NUMBAN"}, {"BANCOSB", "NOMEBAN"}}},
      {59, "CODNATUR", OpenAs::Shared, {{"", "CODAT"}, {"CODNATB", "UPPER(DESCRAT)"}}},
      {68, "DETALH03", OpenAs::Exclusive, {}},
      {70, "LISNOME", OpenAs::Exclusive, {{"", "NOMECONTR"}, {"LISNOMEB", "CPF"}}},
      {72, "AGENDA", OpenAs::Shared, {{"", "NOMEAG"}, {"AGENDAB", "HORAG+DTOS(DATAG)"}}},
      {75, "ECACIDAD", OpenAs::Shared, {{"", "NOME"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("table " + std::to_string(c.table));
    const CatalogEntry* e = catalog_entry(c.table);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(catalog_file(c.table, "03"), c.file);
    EXPECT_EQ(e->mode, c.mode);
    std::vector<std::pair<std::string, std::string>> got;
    for (const auto& ix : e->indexes) got.emplace_back(ix.file, ix.key);
    EXPECT_EQ(got, c.indexes);
  }
  EXPECT_EQ(declaration_base(4, "12"), "IMP0412");
}

TEST(Catalog, OpeningNotes) {
  std::set<int> closes, honours;
  for (int n = 0; n <= kLastTable; ++n)
    if (const CatalogEntry* e = catalog_entry(n)) {
      if (e->closes_progress_window) closes.insert(n);
      if (e->exclusive_flag_honoured) honours.insert(n);
    }
  EXPECT_EQ(closes, (std::set<int>{42, 43, 55, 56, 57, 59, 60, 61, 62, 63, 64, 65, 66, 67}));
  std::set<int> expected_honours{66, 67};
  for (int n = 1; n <= 20; ++n) expected_honours.insert(n);
  EXPECT_EQ(honours, expected_honours);
  EXPECT_TRUE(catalog_entry(45)->needs_memo_file);
  EXPECT_TRUE(catalog_entry(50)->seeds_program_folder);
  EXPECT_EQ(catalog_entry(64)->temporary_key, "UPPER(NOMEMUNI)+UNIFED");
  // Reference tables: no structure, but the fields read are listed.
  for (int n : {45, 46, 47, 48, 49, 51, 55, 58, 59, 60, 61, 62, 64, 65, 66, 69, 75}) {
    EXPECT_EQ(table_decl(n), nullptr) << n;
    EXPECT_FALSE(catalog_entry(n)->fields_read.empty()) << n;
  }
}

TEST(Catalog, CreationNotices) {
  EXPECT_EQ(creation_notice(1), "Criando IMP01.DBF");
  EXPECT_EQ(creation_notice(20), "Criando IMP20.DBF");
  EXPECT_EQ(creation_notice(29), "Criando IMP09.DBF");
  EXPECT_EQ(creation_notice(50), "Criando DIRETOR.DBF");
  EXPECT_EQ(creation_notice(42), "");
}

TEST(Catalog, NewLineNumbersStayInsideTheirFourDigitField) {
  struct Case {
    long recno;
    int line;
  } cases[] = {{1, 10}, {99, 990}, {999, 9990}, {1000, 9999}, {54321, 9999}};
  for (const Case& c : cases) EXPECT_EQ(new_line_number(c.recno), c.line) << "record " << c.recno;
}

}  // namespace
}  // namespace kx
