#include "shell/session_vars.h"

#include <initializer_list>
#include <string_view>
#include <utility>

#include "platform/text.h"
#include "shell/colours.h"

namespace kx {
namespace {

using Entry = std::pair<std::string_view, Value>;

Decimal dec(std::string_view text) { return *Decimal::parse(text); }

void declare_all(Vars& v, std::initializer_list<Entry> entries) {
  for (const auto& [name, value] : entries) v.declare(name, value);
}

std::vector<Value> repeat(int n, const Value& value) {
  return std::vector<Value>(static_cast<std::size_t>(n), value);
}

std::vector<Value> texts(std::initializer_list<std::string_view> items) {
  std::vector<Value> out;
  for (auto t : items) out.emplace_back(std::string(t));
  return out;
}

std::vector<Value> numbers(std::initializer_list<int> items) {
  std::vector<Value> out;
  for (int n : items) out.emplace_back(n);
  return out;
}

std::vector<Value> decimals(std::initializer_list<std::string_view> items) {
  std::vector<Value> out;
  for (auto t : items) out.emplace_back(dec(t));
  return out;
}

// Print-selection option lists; the trailing blanks are part of the texts.
void declare_print_lists(Vars& v) {
  v.declare_list("ALISTIMP",
                 texts({"IRenda modo Receita", "IRenda modo  ZORV  ", "Atividade Rural    ",
                        "Livro caixa Rural  ", "Darfes             ", "Ganho de capital   ",
                        "Renda variável     "_cp, "carta Personalizada", "Anotações especiais"_cp,
                        "Livro caixa Normal ", "Valores a cobrar   ", "Cadastro           ",
                        "Comprovante rendime", "Etiquetas disquete ", "relatório Usuário  "_cp}));
  v.declare_list("MODO1OP", texts({"folha Avulsa       ", "Formulário Contínuo"_cp,
                                   "Darf pré-impresso  "_cp}));
  v.declare_list("MODOETI", texts({"Etiquetas     ", "Folha avulsa  "}));
  v.declare_list("MODOUNI", texts({"Folha única"_cp}));
  v.declare_list("NOMCONT", texts({"Folha avulsa  "}));
  v.declare_list("MODETID", texts({"8 Eti. 116x37 ", "12 Eti. 90x24 ", "2*5 Eti.70x50 ",
                                   "Pimaco 8296   "}));
  v.declare_list("NOMEPAGR",
                 texts({"Tudo na declaração "_cp, "Tudo menos Balanço "_cp, "Só IR s/Bal/Malha  "_cp,
                        "Só IR Sem a Malha  "_cp, "Rendimentos        ", "Rendimentos PFisica",
                        "Pagamentos/Isentos ", "Bens e Dívidas     "_cp, "Resumo c/Balanço   "_cp,
                        "Resumo s/Balanço   "_cp, "Só a Malha fina    "_cp}));
  v.declare_list("NOMEPRUR", texts({"Todas pag. ", "página 1   "_cp, "página 2   "_cp}));
  v.declare_list("NOMEPAGS",
                 texts({"Toda a declaração"_cp, "Toda s/Balanço"_cp, "IR s/MF/Balanço"_cp,
                        "IR  sem a Malha ", "Rendimentos     ", "Rendimentos P.Fisica",
                        "Pagamentos/Isento", "Bens/Divida ", "Resumo c/Balanço"_cp,
                        "Resumo s/Balanço"_cp, "Malha Fina  ", "Pag.1 Rural", "Pag.2 Rural"}));
  v.declare_list("NOMEPAGCV", texts({"declar.Bens/Div"}));
  v.declare_list("NOMECON", texts({"Individual  ", "Vários      "_cp, "Todos       ",
                                   "todas Pastas", "Grupo selec."}));
  v.declare_list("AQUEIT2", numbers({1, 1, 1, 1, 3, 1, 1, 1, 1, 1, 1, 2, 1, 4, 1}));
  v.declare_list("AQUEIT3", numbers({11, 11, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

}  // namespace

void declare_program_variables(Session& s) {
  Vars& v = s.vars();
  const Date today = s.clock().today();
  const Value blank_c{std::string{}};
  const Value zero{0};

  // Terminal, folders and the terminal's configuration (filled by start-up).
  for (auto name : {"ROTADEF", "ARQDEF", "DIRDEF", "ROTADOANO", "LOCARQ", "DIRTRAB", "LOCTRAB",
                    "DIRORIG", "DIRPROV", "ROTAANTER", "ROTARECEI", "ROTAJAVA", "LOCIRPF",
                    "ROTABACK", "XDRIVE", "OPCIRPF", "NOMEAG", "MOSIMP", "MOSTEL", "MOSCPF",
                    "IMPBEM", "IMPBAL", "ULT_CPF", "APELIDO", "OPCOES"})
    v.declare(name, blank_c);
  for (auto name : {"QUEIMP", "QUEMOD", "QUEPAG", "QUECON", "COMPAGA", "MARESQ", "INIFOL",
                    "LINETI", "NRO_LIN", "SOESTE", "OPTTRAN", "ENV_STAT", "OPC_TRAN"})
    v.declare(name, zero);
  declare_all(v, {{"NUSU", "00"},
                  {"NESQ", 0},
                  {"NINIF", 0},
                  {"NLINE", 6},
                  {"NNROL", 60},
                  {"CPF", ""},
                  {"NOMECONTR", space(53)},
                  {"ULTBACK", Date::empty()}});

  // Office settings (table 43).
  for (auto name : {"VAL_SEG", "VAL_BYTE", "VAL_MIN", "VAL_CPMF", "COMO_SAL", "TEMP_SAL",
                    "TEMP_DES", "BOL_NOSNRO", "STATRAVA", "NVALDOLAR", "VAL_PARTE"})
    v.declare(name, zero);
  for (auto name : {"SER_SMTP", "NOM_USUA", "EMA_USUA", "SEN_USUA", "MEMORIZ", "VER_ATUAL",
                    "PROCESSA", "PROGCOMP", "CVALDOLAR"})
    v.declare(name, blank_c);
  v.declare("BOL_BANCO", 341);
  v.declare_list("DAT_VENC", repeat(8, Value(Date::empty())));

  // Printer routing (table 57) and the printer control sequences.
  for (auto name : {"NROIMPR", "NROLPT", "NROCOM", "TEM_LASER"}) v.declare(name, zero);
  for (auto name : {"LOCIMPR", "SAIDAPR", "NOMEIMP", "NOMEREDE"}) v.declare(name, blank_c);
  for (int i = 0; i <= 4; ++i) {
    v.declare("STRING" + std::to_string(i), blank_c);
    v.declare("SEQUA" + std::to_string(i), blank_c);
  }
  v.declare("LIN72", "&l74P");

  // Calendar (set again from today by start-up).
  declare_all(v, {{"DATCALEN", today},
                  {"HOJE", today},
                  {"DIA", today.day()},
                  {"MESCALEN", today.month()},
                  {"ANOCALEN", today.year()},
                  {"CARDIA", strzero(today.day(), 2)},
                  {"CARMES", strzero(today.month(), 2)},
                  {"CARANO", strzero(today.year(), 4)},
                  {"POSCALEN", ""},
                  {"DIAINIC", 0},
                  {"LCAL", 5},
                  {"CCAL", 40}});

  // Table opening, windows, option bars and screens.
  declare_all(v, {{"MOS_MENS", false},
                  {"REFAZ_IND", false},
                  {"TAM_OLD", 0},
                  {"NL_OLD", 0},
                  {"CONT_OLD", 0},
                  {"NT", 1},
                  {"NTA", 1},
                  {"NTB", 1},
                  {"OPCAO_1", 1},
                  {"NPOSMENU", 1},
                  {"POSVER", 1},
                  {"POSHOR", 1},
                  {"ULTESC", 1},
                  {"ULTPOS", 1},
                  {"QUALHLP", " "},
                  {"TELA", 0},
                  {"TECLAMUDA", false}});
  for (auto name : {"ALJ", "ACJ", "ALJA", "ACJA"}) v.declare_list(name, repeat(23, zero));
  for (auto name : {"ALJB", "ACJB"}) v.declare_list(name, repeat(12, zero));

  // Computation, printing and working values.
  declare_all(v, {{"CAL_AUTO", true},
                  {"JA_CALC", false},
                  {"NRO_VIAS", 1},
                  {"VIAS_CAR", "1"},
                  {"NROLINHAS", 60},
                  {"ARQ_IMP", " "},
                  {"LRECUPERA", false},
                  {"DECFINAL", "N"},
                  {"DECSAIDA", "N"},
                  {"DAY_TRADE", " "},
                  {"ATV_BRASIL", " "},
                  {"ORIGEM", space(80)},
                  {"DESTINO", space(80)},
                  {"CEMAIL_ENV", space(41)},
                  {"CASSUNTO", space(58)},
                  {"CANEXO", space(40)},
                  {"CENVPEND", "N"},
                  {"CEDITEXT", "N"},
                  {"CCORPO", ""},
                  {"NOMESAC", space(30)},
                  {"CPFSAC", space(11)},
                  {"CPFEMAIL", space(11)},
                  {"NDESINI", 1},
                  {"NDESFIM", 99},
                  {"NRODIA", 31},
                  {"NOM_MES", ""},
                  {"PRIM_DARF", true},
                  {"PRIM_ETI", true},
                  {"NTEMAGEN", 0},
                  {"VERSAO", "Lib  "},
                  {"CULTIMAVER", "23/08/13"}});
  for (auto name : {"REND_REAL", "DEDU_REAL", "LCAX_REAL", "IMPO_REAL", "IMPDEV_REAL", "IMPAPAG",
                    "IMPREC_REAL", "VAL_CORRIG", "VAL_RECEI", "VAL_CORR", "VAL_JURO", "VAL_MULTA",
                    "VAL_TOTAL", "VAL_PAGAR", "VAL_TOTMUL"})
    v.declare(name, zero);
  // Today's agenda alerts: pairs of (time hhmm, note), flattened.
  v.declare_list("AAGEN", {});
  // Captions of the print-selection pull-down (built by start-up).
  for (int i = 1; i <= 7; ++i) v.declare("ITEM" + std::to_string(i), blank_c);
  v.declare_list("MENSMENU", {});  // help lines of the current option bar

  // Colours: defaults, replaced by the terminal's colour record.
  for (const auto& c : kAttrColours) v.declare(c.name, c.value);
  for (const auto& c : kStringColours) v.declare(c.name, std::string(c.value));
  declare_all(v, {{"CORNORM", ""},
                  {"CORLIMP", ""},
                  {"CORSELE", ""},
                  {"INVISIVEL", "W/W,W/W,N/N,N/N,W/W"},
                  {"CORATEN", "R/W*"},
                  {"CORMENU", ""}});

  declare_print_lists(v);
}

namespace {

// The names a declaration session creates (and releases when it ends).
constexpr std::string_view kDeclarationNames[] = {
    "TELANT",     "OPCIR_1",    "PVEZ",       "INI",        "INI_DECLA",  "FIM_DECLA",
    "SEMHORA",    "TEM_USO",    "TAM_USO",    "SEM_SALV",   "ZOOM_BEM",   "ZOOM_DIV",
    "ZOOM_BEM2",  "ZOOM_DIV2",  "ULTTECLA",   "SO_MOS",     "REC_MENSAL", "NBASEAN1",
    "NBASEAN2",   "NBASEAN3",   "NBASEAN4",   "NDEDUAN1",   "NDEDUAN2",   "NDEDUAN3",
    "NDEDUAN4",   "NBASEME1",   "NBASEME2",   "NBASEME3",   "NBASEME4",   "NDEDUME1",
    "NDEDUME2",   "NDEDUME3",   "NDEDUME4",   "NVALDEPANO", "NVALDEPEN",  "NVALESCOL",
    "NVALAPOSE",  "NVALAPOSA",  "NDESCPRAD",  "NMAXINSS",   "TAB_DOLAR",  "DF_PAGTO"};

}  // namespace

void declare_declaration_variables(Session& s) {
  Vars& v = s.vars();
  declare_all(v, {{"TELANT", 0},
                  {"OPCIR_1", 0},
                  {"PVEZ", false},
                  {"INI", "N"},
                  {"INI_DECLA", 0},
                  {"FIM_DECLA", 0},
                  {"SEMHORA", false},
                  {"TEM_USO", 0},
                  {"TAM_USO", 0},
                  {"SEM_SALV", 0},
                  {"ZOOM_BEM", false},
                  {"ZOOM_DIV", false},
                  {"ZOOM_BEM2", false},
                  {"ZOOM_DIV2", false},
                  {"ULTTECLA", 0},
                  {"SO_MOS", 1}});
  // Month label and seven monthly columns, 13 rows (row 13 "Totais").
  v.declare_list("REC_MENSAL", repeat(13 * 8, Value(std::string{})));

  // Yearly constants of the tax tables.
  const std::pair<std::string_view, std::string_view> constants[] = {
      {"NBASEAN1", "19645.32"}, {"NBASEAN2", "29442.00"}, {"NBASEAN3", "39256.56"},
      {"NBASEAN4", "49051.80"}, {"NDEDUAN1", "1473.40"},  {"NDEDUAN2", "3681.55"},
      {"NDEDUAN3", "6625.79"},  {"NDEDUAN4", "9078.38"},  {"NBASEME1", "1637.11"},
      {"NBASEME2", "2453.50"},  {"NBASEME3", "3271.38"},  {"NBASEME4", "4087.65"},
      {"NDEDUME1", "122.78"},   {"NDEDUME2", "306.80"},   {"NDEDUME3", "552.15"},
      {"NDEDUME4", "756.53"},   {"NVALDEPANO", "1974.72"}, {"NVALDEPEN", "164.56"},
      {"NVALESCOL", "3091.35"}, {"NVALAPOSE", "1637.11"}, {"NVALAPOSA", "21282.43"},
      {"NDESCPRAD", "14542.60"}, {"NMAXINSS", "985.96"}};
  for (const auto& [name, value] : constants) v.declare(name, dec(value));
  v.declare_list("TAB_DOLAR", decimals({"1.791", "1.718", "1.795", "1.855", "1.986", "2.049",
                                        "2.029", "2.029", "2.028", "2.029", "2.067", "2.067"}));
  v.declare("DF_PAGTO", s.clock().today().end_of_month());
}

void release_declaration_variables(Session& s) {
  for (auto name : kDeclarationNames) s.vars().release(name);
}

}  // namespace kx
