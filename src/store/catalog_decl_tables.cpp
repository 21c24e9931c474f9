// Field lists of the twenty declaration tables of a folder (IMP0113 ..
// IMP2013), in creation order.  Every table starts with the contributor's
// CPF; money is N 12,2 unless written otherwise.
#include "store/catalog_fields.h"

namespace kx::catalog_detail {
namespace {

// Table 1, declaration summary: one row per contributor.
FieldList summary() {
  FieldList t;
  t.c("CPF", 11);
  // Exempt lines 01-25, each of 01-09 followed by the exclusive line of the same number.
  for (int i = 1; i <= 25; ++i) {
    t.money("I3_" + nn(i));
    if (i <= 9) t.money("I4_" + nn(i));
  }
  t.c("I3_OUTI", 60).c({"I4_05D", "I4_09D"}, 60);
  t.money({"I3_04GCPV", "I3_04UNIC", "I3_04REDU", "I3_04EXTR"});
  t.money({"I3_04GCPVC", "I3_04UNICC", "I3_04REDUC"});
  t.c("DESPINST", 1).n("DESPALIM", 1).c("RELDEPEN", 20);
  t.c("CPFINVENT", 11).c("NOMINVENT", 40).c("ENDINVENT", 70);
  t.d("DATAPARTI").d("DATADECIS").c("NROPROCES", 25).c("VARACIVIL", 4).c("COMARCA", 25);
  t.c("UFPROCES", 2).n("ANOOBITO", 4).c("DECFINAL", 1).c("DECSAIDA", 1).d("DATASAIDA");
  t.c("DECJUDI", 1).d("DATALAVRA");
  t.c("NOMECARTO", 80).c("CNPJCARTO", 14).c("MUNICARTO", 30).n({"LIVRCARTO", "FOLHCARTO"}, 7);
  t.c("MORTE2", 1).c("INVCONJ", 1).c("CPFCOMPA", 11).c("NOMCOMPA", 40);
  t.family("I13_", 1, 50);
  t.n("QTD_QUOTA", 1);
  t.money({"CARNEINSS", "CARNEDEPEN", "PREVIDENC", "EMPRUR", "AMORUR", "OUTREC", "VALFUTUR",
           "OUTRDES", "PREJVEN", "PREJVEN1", "PREJRUR", "PREJRVA", "LUCRRVA", "DESPNAO", "EMPREST",
           "DESPDECLA", "DESPADRAO"});
  t.n("INDALERTA", 2);
  t.money({"IMPOANTER", "CUSTOANT", "CUSTOANO", "ENTRADGP", "ISENTNAO", "CPMF", "CARTAOCRE"});
  t.n("CAL_AUTO", 1).l("SO_REC").l("NOVREG");
  return t;
}

// Table 2, income rows; kind in I1_1.
FieldList income() {
  FieldList t;
  t.c("CPF", 11).c("I1_1", 1).c("I1_2", 60).c("I1_3", 18);
  t.money({"I1_4", "I1_5", "I1_6", "I1_7"});
  t.c("I1_8", 11).c("TIPOCR", 1).d("DT_LC").money({"I1_9", "I1_10"}).c("I1_11", 1);
  t.family("I1_", 12, 20);
  t.n("I1_21", 5, 1).c("I1_22", 11);
  t.family("I1_", 23, 28);
  t.l("NEW1");
  for (int m = 1; m <= 12; ++m) t.money("I1_4" + nn(m)).money("I1_5" + nn(m)).money("I1_6" + nn(m));
  return t;
}

// Table 3, dependents, alimony recipients and heirs.
FieldList persons() {
  FieldList t;
  t.c("CPF", 11).c("NOMEDEPEN", 41).n("CODIDEPEN", 3).d("DATADEPEN").c("CPFDEPEN", 11);
  t.n("NRODEPEN", 2).c("CPFHERDE", 18).c("SAIUJUNT", 1);
  return t;
}

// Table 4, assets and rights.
FieldList assets() {
  FieldList t;
  t.c("CPF", 11).n("I7_0", 4).n("I7_1", 3).c("I7_2", 512).money({"I7_3", "I7_4"});
  t.n("I7_5", 3).n("I7_6", 4).c("I7_7", 1).c("I7_8", 3).money("I7_9").c("I7_10", 1);
  t.c("ENDEIMO", 30).c("NUMIMO", 6).c("COMPIMO", 30).c("BAIRIMO", 30);
  t.c("CEPIMO", 8).c("MUNICIMO", 30).c("UFIMO", 2).c("CODMIMO", 4);
  t.c({"MATRICU", "LIVRORG", "CARTORIO"}, 40);
  t.n("AREAIMO", 9, 1).c("UNIDADE", 1).c("REGISTRO", 1);
  return t;
}

// Table 5, debts and encumbrances.
FieldList debts() {
  FieldList t;
  t.c("CPF", 11).n("I8_0", 4).n("I8_1", 3).c("I8_2", 512).money({"I8_3", "I8_4"});
  t.n("I8_5", 3).money("I8_6");
  return t;
}

// Table 6, payments and donations.
FieldList payments() {
  FieldList t;
  t.c("CPF", 11).c("I6_1", 50).c("I6_2", 18).n("I6_3", 2).money({"I6_4", "I6_5"});
  t.n("I6_6", 2).c("I6_7", 11).n("ACER", 1);
  t.family("I6_4", 1, 12, 2, 14, 2);
  return t;
}

// Sub-keys of tables 7 and 8: operation, variable-income group and kind.
void gain_keys(FieldList& t) { t.n({"BEM_NRO", "RVAR_NRO"}, 2).c("DAY_TRADE", 1); }

// Table 7, capital-gain operations and variable-income months.
FieldList gains() {
  FieldList t;
  t.c("CPF", 11);
  gain_keys(t);
  t.n("TIPO_BEM", 1).n("NRO_ITEM", 3).c("CPF_DEPE", 11).c("CPFADQ", 18).c("MAISDE1", 1);
  t.c("CPFNOME", 250).n("PER_TRI", 10, 6).c("NOME_ADQ", 53).c("ESPC_BEM", 152);
  t.c("RUAIMO", 11).c("ENDEIMO", 30).c("NUMIMO", 6).c("COMPIMO", 21).c("BAIRIMO", 20);
  t.c("CEPIMO", 8).c("MUNICIMO", 30).c("UFIMO", 2);
  t.d("DATA_ALI").d("DATA_ADQ");
  t.c("NOME_SOCIE", 32).c("CGC_SOCIE", 14).c("CID_SOCIE", 30).c("EST_SOCIE", 2);
  t.n("IND_ALI", 11, 4);
  t.money({"VAL_ALI", "CUS_ATUAL", "VAL_RECOL", "VAL_TRIBU", "VAL_NAOTRI", "VAL_IMPOSV",
           "VAL_IMPOSP", "IMPPAGO"});
  t.c("VEN_PRAZO", 1).c("PEQ_VALOR", 1).c("NATUOPER", 20).c("PARCOMPRA", 1).c("VENDAANT", 1);
  t.money("VAL_PARTE").n("PERART31", 10, 6).n("TIPOPART", 1).n({"FR1", "FR2"}, 18, 8);
  t.money({"REDUCAO", "FATOR1", "FATOR2", "GAN_TRIV", "GAN_TRIP", "VAL_ANTE", "VAL_DIFE",
           "IMP_ANTE", "IMP_DIFE"});
  t.c("FOIDIFE", 1);
  for (int m = 1; m <= 12; ++m) {
    const std::string mm = nn(m);
    t.money("REC_MES" + mm).money("VAL_TRI" + mm).n("DIA_REC" + mm, 2);
    t.money("IMP_DEV" + mm).money("IMP_PAG" + mm).money("IMP_LEI" + mm);
  }
  return t;
}

// Table 8, acquisition parcels, cost details and share movements.
FieldList parcels() {
  FieldList t;
  t.c("CPF", 11);
  gain_keys(t);
  t.money({"VALOR_REDU", "VALOR_CUST"}).d("DATA_CUST").n("IND_CUST", 10, 4).n("PER_RED", 3);
  t.n({"PER_RED1", "PER_RED2"}, 11, 8).n("PER_CUST", 12, 6).money({"RESUL_2", "RESUL_3"});
  t.n("SALDO_COEF", 14, 4).n("CM_PONDER", 15, 6).n({"SALDO_ACAO", "MOV_ACAO"}, 9);
  t.money("CUST_UNI").n("CMED_COEF", 18, 4).n({"TIPO_OPER", "TIPO_ACAO"}, 1).c("LOTE", 17);
  return t;
}

// Table 9, contributor master: one row per contributor.
FieldList contributors() {
  FieldList t;
  t.c("CPF", 11).c("RETIFICA", 1).c("NOMECONTR", 53).c("TIPOEND", 11).c("ENDERECO", 37);
  t.c("NUMERO", 6).c("COMPLEM", 21).c("BAIRRO", 20).c("CEP", 8).c("CODMUNI", 4);
  t.c("MUNICIPIO", 30).c("UF", 2).c("CODPAIS", 3).c("CODEMB", 3);
  t.c("DDDTEL", 4).c("TELEFO", 9).c("DDDFAX", 4).c("NROFAX", 9).c("EMAIL", 40);
  t.d("NASCIMENTO").c("TITULO", 13).c("CGCPAGADOR", 18).c("OCUPACAO", 69).c("CDPRO", 3);
  t.c("CODAT", 2).c("DESCRAT", 58).c({"NRORECIBO", "RECIBOATU", "RECIBOANT"}, 12);
  t.n("CODACESSO", 12).c("SENACESSO", 15);
  t.c({"TEMRURAL", "ATV_BRASIL", "E_INVALIDO"}, 1).c("CPFCONJU", 11).c({"CONJUNTA", "NOVOEND"}, 1);
  t.n({"TEM_USO", "TAM_USO"}, 6).c("IMPRE", 1).n({"ESTATUS", "ORDEM"}, 2).c("SOMAG", 1);
  t.money({"I9_2", "I9_3"}).c({"I9_4", "I9_5"}, 1).c("DIRCONJU", 80).money("VALOREC");
  t.c("BANCO", 3).c("AGENCIA", 6).c("CONTACO", 15).c("DEBITAUT", 1);
  t.money("SALDO").n("INDGAS", 6, 2).c({"USAPADRAO", "CONJPAD"}, 1).money("IMPPGRE");
  t.money({"I13_20", "I13_24", "I13_27", "I13_28", "I13_35", "I13_44", "I13_45"});
  t.money("EXGSUSP").n("QTD_QUOTA", 1);
  for (int i = 1; i <= 5; ++i) t.money("I13_" + std::to_string(i) + "C");
  t.c("NUSUAT", 2).c({"SO_SIMPLES", "NOVO"}, 1).c({"TELCELU", "TELESCR", "TELSECR"}, 9);
  t.d("ULTRESI").d("ULTIMOV");
  t.n("NRQUOTA", 1).money("DFQUOTA");
  for (const char* kind : {"CLEAO", "GCAPIT", "RVARIV"}) t.n(std::string("NR") + kind, 2).money(std::string("DF") + kind);
  for (const char* where : {"_EX", "_BR"})
    for (const char* what : {"TRIB", "NTRIB", "PREJU", "DIVAD", "DIVPG"}) t.money(std::string(what) + where);
  t.c("NOMEAG", 22);
  return t;
}

// Table 10, monthly expenses estimated from assets.
FieldList upkeep() {
  FieldList t;
  t.c("CPF", 11).n("CODDESP", 3).c("DESCDESP", 25).money("VALODESP").c("DESCRITEM", 25);
  return t;
}

// Table 11, notes and pending items.
FieldList notes() {
  FieldList t;
  t.c("CPF", 11).c("OBSERV", 60).n("CODERR", 2).n("PAGINA", 2);
  return t;
}

// Table 12, monthly income from individuals and abroad: columns 1-7 within
// each month 01-13 (13 holds the year totals).
FieldList monthly_income() {
  FieldList t;
  t.c("CPF", 11).c("CPFDEPEN", 11);
  for (int m = 1; m <= 13; ++m)
    for (int col = 1; col <= 7; ++col) t.money("I2_" + std::to_string(col) + nn(m));
  return t;
}

// Table 13, cash book.
FieldList cash_book() {
  FieldList t;
  t.c("CPF", 11).c("CDCONTA", 4).c("DESCONTA", 60).n("VALODESP", 13, 2).n("NROITEM", 3);
  t.c("NROCGCCPF", 18).l("LANCADO").n({"MESINI", "MESFIM"}, 2).c("CPFDEPEN", 11);
  return t;
}

// Table 14, savings and investment income.
FieldList investments() {
  FieldList t;
  t.c("CPF", 11).c("DESCRICAO", 26);
  t.money({"POUPANCA", "APLICACAO", "PREJU", "OUTNT", "OUTTR", "OUTDP"}).c("TIPO", 1);
  return t;
}

// Rural tables 15-19 start with the contributor and Brazil ("S") or abroad ("N").
FieldList rural() {
  FieldList t;
  t.c("CPF", 11).c("ATV_BRASIL", 1);
  return t;
}

// Table 15, rural activity result.
FieldList rural_result() {
  FieldList t = rural();
  for (int m = 1; m <= 12; ++m) t.money("I3_" + nn(m) + "OR").money("I3_" + nn(m) + "OD");
  t.family("I4R_", 1, 7);
  t.family("I5_", 8, 10).money("I6_10").c({"OPT_20", "OPT_20E"}, 1);
  // Herd movement: columns 1-5 (stock, acquisitions, births, losses, sales) by species.
  for (int col = 1; col <= 5; ++col)
    for (const char* species : {"A", "B", "C", "S", "V1"}) t.n("I7_" + std::to_string(col) + species, 6);
  t.c("I7_V1", 22).l("SO_TOTAL");
  return t;
}

// Table 16, rural properties.
FieldList rural_properties() {
  FieldList t = rural();
  t.c("I2R_01", 60).n("I2R_02", 9, 2).c("I2R_03", 8).n("I2R_04", 6, 2).n("I2R_05", 1);
  t.c("I2R_06", 55).n("I2R_07", 2).money("VALITR").c("CODPAIS", 3).money({"RECEXT", "DESEXT"});
  t.n("VALUSE", 7, 2).money({"RESUS", "OPC20US", "OPC20RS"});
  return t;
}

// Table 17, assets of the rural activity.
FieldList rural_assets() {
  FieldList t = rural();
  t.n({"ITEM", "CODIGO"}, 3).n("I8R_0", 4).c("I8R_1", 512).money("I8R_2").c("I8R_3", 3);
  t.n("I8R_4", 1);
  return t;
}

// Table 18, debts of the rural activity.
FieldList rural_debts() {
  FieldList t = rural();
  t.n("I9R_0", 4).n("ITEM", 3).c("I9R_1", 512).money({"I9R_2", "I9R_3", "I9R_4", "I9R_5"});
  return t;
}

// Table 19, rural cash book.
FieldList rural_cash_book() {
  FieldList t = rural();
  t.d("DT_LC").c("DESCR", 41).n("VALOR", 14, 2).n("NROIMO", 2).c({"TIPOCR", "TEMITR"}, 1);
  return t;
}

// Table 20, heirs' shares of the assets of an estate.
FieldList heirs_shares() {
  FieldList t;
  t.c("CPF", 11).n("REFEREN", 4).c("NOMEDEPEN", 41).n("NRODEPEN", 2).c("CPFHERDE", 18);
  t.n("PERCENT", 6, 2);
  return t;
}

}  // namespace

FieldList declaration_table(int number) {
  switch (number) {
    case 1: return summary();
    case 2: return income();
    case 3: return persons();
    case 4: return assets();
    case 5: return debts();
    case 6: return payments();
    case 7: return gains();
    case 8: return parcels();
    case 9: return contributors();
    case 10: return upkeep();
    case 11: return notes();
    case 12: return monthly_income();
    case 13: return cash_book();
    case 14: return investments();
    case 15: return rural_result();
    case 16: return rural_properties();
    case 17: return rural_assets();
    case 18: return rural_debts();
    case 19: return rural_cash_book();
    case 20: return heirs_shares();
    default: return {};
  }
}

}  // namespace kx::catalog_detail
