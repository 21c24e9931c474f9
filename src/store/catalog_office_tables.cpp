// Field lists of the office and configuration tables of the program folder
// that the program creates when missing, with the defaults of the records
// written at creation (43) or per terminal (42, 56, 57).
#include "store/catalog_fields.h"

namespace kx::catalog_detail {
namespace {

const FieldDefault kTerminal = placeholder(DefaultKind::Terminal);
const FieldDefault kProgramFolder = placeholder(DefaultKind::ProgramFolder);

// 41, printer models.
FieldList printer_models() {
  FieldList t;
  t.c("CONFIM", 1).c("NOMEIMP", 15).c({"SEQ0", "SEQ1", "SEQ2", "SEQ3"}, 60);
  return t;
}

// 42, terminal configuration, one record per terminal.
FieldList terminal_config() {
  const FieldDefault authority_data = text(R"(C:\ARQUIVOS DE PROGRAMAS RFB\IRPF2013\APLICACAO\DADOS)");
  FieldList t;
  t.c("NRO_TERM", 2, kTerminal);
  t.c("ROTAANTER", 80, text(R"(C:\KORVEL)"));
  t.c("ROTADOANO", 80, kProgramFolder);
  t.c("ROTAREANT", 80, text(R"(C:\ARQUIVOS DE PROGRAMAS RFB\IRPF2012\TRANSMITIDAS)"));
  t.c("ROTARECEI", 80, authority_data);
  t.c("ROTAJAVA", 80, authority_data);
  t.c("ROTABACK", 80, blank());
  t.c("DIRTRAB", 80, kProgramFolder);
  t.c("DIRPROV", 80, placeholder(DefaultKind::HomeVariable));
  t.c("DIRINST", 80, text(R"(C:\KORVEL)"));
  t.n("QUEIMP", 2, 0, number("1")).n("QUEMOD", 1, 0, number("1"));
  t.n("QUEPAG", 2, 0, number("1")).n("QUECON", 1, 0, number("1"));
  t.n("ENV_STAT", 1, 0, number("2"));
  t.n("MARESQ", 2, 0, number("0")).n("INIFOL", 2, 0, number("0"));
  t.n("LINETI", 2, 0, number("6")).n("NRO_LIN", 2, 0, number("60"));
  t.n("OPC_TRAN", 2, 0, number("7"));
  t.n("COMPAGA", 1, 0, number("1"));
  t.c("IMPBEM", 1, text("1")).c("IMPBAL", 1, text("1"));
  t.c("MOSIMP", 1, text("S")).c("MOSTEL", 1, text("S")).c("MOSCPF", 1, blank());
  t.n("ULT_TER", 1, 0, number("0")).n("ULT_MOD", 1, 0, number("1"));
  t.c("ULT_CPF", 11, blank());
  t.c("XDRIVE", 1, text("A"));
  t.n("SOESTE", 2, 0, number("9"));
  t.n("OPTTRAN", 1, 0, number("3"));
  t.n("NOVOIT", 2, 0, blank());
  t.d("ULTBACK", placeholder(DefaultKind::Today));
  t.c("OPCIRPF", 1, text("J"));
  t.c("NOMEAG", 22, blank());
  return t;
}

// 43, office settings: exactly one record, written at creation.
FieldList office_settings() {
  FieldList t;
  t.d("VCTO1", date(2013, 4, 30)).d("VCTO2", date(2013, 5, 31)).d("VCTO3", date(2013, 6, 28));
  t.d("VCTO4", date(2013, 7, 31)).d("VCTO5", date(2013, 8, 30)).d("VCTO6", date(2013, 9, 30));
  t.d("VCTO7", date(2013, 10, 31)).d("VCTO8", date(2013, 11, 29));
  t.n("VAL_SEG", 5, 2, number("3.00"));
  t.n("VAL_BYTE", 5, 2, number("2.00"));
  t.n("VAL_MIN", 8, 2, number("90"));
  t.n("COMO_SAL", 1, 0, number("2"));
  t.n("TEMP_SAL", 2, 0, number("15"));
  t.n("TEMP_DES", 2, 0, number("2"));
  t.n("VAL_CPMF", 8, 4, number("0.0000"));
  t.n("VAL_DOLAR", 8, 4, number("2.0429"));
  t.c("BOL_BANCO", 4, blank()).c("BOL_AGENCI", 4, blank()).c("BOL_CONTA", 6, blank());
  t.c("BOL_NOME", 30, blank()).c("BOL_CNPJ", 14, blank()).c("BOL_CPF", 11, blank());
  t.c("BOL_CARTEI", 3, blank());
  t.n("BOL_NOSNRO", 8, 0, blank());
  t.c("SER_SMTP", 47, blank());
  t.c("NOM_USUA", 40, blank()).c("EMA_USUA", 40, blank());
  t.c("SEN_USUA", 19, blank());
  t.c("MEMORIZ", 1, blank());
  t.c("VER_ATUAL", 1, blank());
  t.c("PROCESSA", 1, text("N"));
  t.c("PROGCOMP", 1, text("N"));
  t.n("STATRAVA", 2, 0, blank());
  return t;
}

// 44, correction list (rebuilt for each corrected-balances list).
FieldList correction_list() {
  FieldList t;
  t.c("CPF", 11).c("NOMECONTR", 53).money("IMPPGRE").n("QTD_QUOTA", 1);
  t.money({"IMPOSTO", "RESTITU", "CORRIGI"});
  return t;
}

// 50, folder list of a terminal.
FieldList folder_list() {
  FieldList t;
  t.c("SELEC", 1).c("DIRETOR", 80);
  return t;
}

// 52, remembered asset descriptions.
FieldList asset_descriptions() {
  FieldList t;
  t.c("DESCRICAO", 512).n("CODIGO", 3);
  return t;
}

// 53, remembered payees.
FieldList payees() {
  FieldList t;
  t.c("NOME", 50).c("CGCCPF", 18).n("CODIGO", 2);
  return t;
}

// 54, check messages.
FieldList check_messages() {
  FieldList t;
  t.n("CODERR", 2).c("DESCRI", 60).n("GRAU", 1).n("PAGINA", 2);
  return t;
}

// 56, colours, one record per terminal: attribute numbers, then colour strings.
FieldList colours() {
  FieldList t;
  t.c("NRO_TERM", 2, kTerminal);
  t.n("COR_TEL1", 3, 0, number("30")).n("COR_TEL2", 3, 0, number("31"));
  t.n("COR_TEL3", 3, 0, number("63")).n("COR_MENS", 3, 0, number("112"));
  t.n("COR_PEGA", 3, 0, number("15")).n("COR_HELP", 3, 0, number("112"));
  t.n("COR_FERID", 3, 0, number("28")).n("COR_ESCOL", 3, 0, number("79"));
  t.n("COR_ENCHE", 3, 0, number("31"));
  t.c("COR_1_CLI", 10, text("GR+/B")).c("COR_2_CLI", 10, text("W+/B"));
  t.c("COR_INI", 10, text("W+/B")).c("COR_SAY", 10, text("N/W+"));
  t.c("COR_GET", 10, text("W/N")).c("COR_CLI_HE", 10, text("N/W"));
  t.c("COR_ESC_CL", 10, text("W/R+")).c("COR_ENCH_C", 10, text("W+/B"));
  return t;
}

// 57, printer set-up, one record per terminal.
FieldList printer_setup() {
  FieldList t;
  t.c("NRO_TERM", 2, kTerminal);
  t.n("NROIMPR", 1, 0, number("1"));
  t.n("NROLPT", 1, 0, number("1"));
  t.n("NROCOM", 1, 0, number("0"));
  t.c("LOCIMPR", 1, text("L"));
  t.c("VERMELHO", 1, text("N"));
  t.c("SAIDAPR", 8, blank());
  t.c("NOMEIMP", 15, text("NAO DOS"));
  t.c("NOMEREDE", 60, placeholder(DefaultKind::SystemPrinter));
  t.c("SEQ0", 60, text("<018>"));
  t.c("SEQ1", 60, text("<015>"));
  t.c("SEQ2", 60, text("<027>A"));
  t.c("SEQ3", 60, text("<014>//<020>"));
  return t;
}

// 63, imported income statements.
FieldList income_statements() {
  FieldList t;
  t.c("CPF", 11).c("NOMECONTR", 47).c("NOMEFONTE", 40).c("CNPJFONTE", 18);
  t.money({"RENDIMENT", "PREVOFICA", "PREVPRIVA", "PENSAOPAG", "IRRETIDO", "ISENTOAPO", "DIARIAS",
           "PENSAOREC", "LUCRODIV", "SOCIO", "IDENIZA", "DECIMO3RO"});
  t.c({"COMPLENTA", "OUTROS", "OUTROSEXC"}, 40).money({"VALOUTRO", "VALOUTRE"}).c("IMPRE", 1);
  return t;
}

// 67, issued bank slips.
FieldList bank_slips() {
  FieldList t;
  t.n("NRODOCUM", 5).n("NOSSONRO", 8).d("DATADOC").money("VALORDOC").c("NOMESAC", 30);
  t.c("CPFSAC", 11);
  return t;
}

// 68, balance detail of a terminal.
FieldList balance_detail() {
  FieldList t;
  t.c("DESCRICAO", 40).money("VALORDOC").n({"PERCDESP", "PERCRECE"}, 6, 2);
  return t;
}

// 70, pick list for imports.
FieldList import_pick_list() {
  FieldList t;
  t.c("CPF", 11).c("NOMECONTR", 40).c("NOMEARQ", 80).c({"TIPO", "ORIGEM"}, 12).c("IMPRE", 1);
  return t;
}

// 72, agenda.
FieldList agenda() {
  FieldList t;
  t.c("NOMEAG", 22).c("HORAG", 5).c("ANOTAG", 60).d("DATAG").l("AVISAG");
  return t;
}

// 73, usage log: one row per declaration session.
FieldList usage_log() {
  FieldList t;
  t.c("NOMEAG", 22).c("CPF", 11).c("NOMECONTR", 53).d("DATAUSO");
  t.c({"INIUSO", "FIMUSO", "TEMUSO"}, 8);
  return t;
}

// 74, remembered income sources.
FieldList income_sources() {
  FieldList t;
  t.c("NOME", 50).c("CGCCPF", 18);
  return t;
}

}  // namespace

FieldList office_table(int number) {
  switch (number) {
    case 41: return printer_models();
    case 42: return terminal_config();
    case 43: return office_settings();
    case 44: return correction_list();
    case 50: return folder_list();
    case 52: return asset_descriptions();
    case 53: return payees();
    case 54: return check_messages();
    case 56: return colours();
    case 57: return printer_setup();
    case 63: return income_statements();
    case 67: return bank_slips();
    case 68: return balance_detail();
    case 70: return import_pick_list();
    case 72: return agenda();
    case 73: return usage_log();
    case 74: return income_sources();
    default: return {};
  }
}

}  // namespace kx::catalog_detail
