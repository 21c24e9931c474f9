// The main menu: its tree, the print-selection captions with their clamps,
// the items whose behaviour the shell owns, and the exit step.
#include <gtest/gtest.h>

#include "platform/keys.h"
#include "program_fixture.h"
#include "shell/main_menu.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "store/opening.h"
#include "store/work_areas.h"

namespace kx {
namespace {

using namespace kx::literals;
using test::ProgramRun;
using test::row_field;

std::string S(std::string_view cp) { return std::string(cp); }

struct Started : ProgramRun {
  Started() { EXPECT_EQ(start_up(s(), ""), std::nullopt) << log_text(); }
  MenuBar& bar() { return *s().part<MainMenu>().bar; }
  std::string caption(int id) { return bar().item(id) ? bar().item(id)->caption : "<none>"; }
};

TEST(MainMenu, SevenPulldownsWithTheirCaptionsShortcutsAndPulldownOfEachItem) {
  Started run;
  const auto& p = run.bar().pulldowns();
  ASSERT_EQ(p.size(), 7u);
  const std::string captions[] = {S(" Dec&laração  "_cp), S("O&pções"_cp), S("Selecã&o"_cp), S("&Impressão"_cp),
                                  "&Env Receita", "&Backup", "&Sair"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(p[static_cast<std::size_t>(i)].caption, captions[i]) << i + 1;
  EXPECT_EQ(run.bar().item(18)->shortcut, key::AltT);
  EXPECT_EQ(run.bar().item(91)->shortcut, key::AltR);
  EXPECT_EQ(run.caption(91), "Sai&r ");
  EXPECT_EQ(run.caption(61), S("&Automático ao salvar NAO"_cp));  // OPTTRAN 3 by default
  EXPECT_EQ(run.caption(62), "apenas as com stat&us  09");
  EXPECT_EQ(run.caption(73), "&Compacta todos no A:");
  EXPECT_EQ(run.caption(41), "&1-IRenda modo Receita");
  EXPECT_EQ(run.caption(47), "&7-Vias 1");
  // Every item's identifier belongs to the pull-down that holds it, and
  // separators sit where the tree has them.
  for (std::size_t i = 0; i < p.size(); ++i)
    for (const MenuItem& it : p[i].items)
      if (!it.separator()) {
        EXPECT_EQ(pulldown_of(it.id), static_cast<int>(i + 1)) << it.id;
      }
  EXPECT_TRUE(p[0].items[7].separator());
  EXPECT_TRUE(p[4].items[3].separator());
  EXPECT_TRUE(p[4].items[6].separator());
  EXPECT_TRUE(p[5].items[3].separator());
  EXPECT_TRUE(p[5].items[7].separator());

  // The bar on screen: the captions on row 0 and the help line on row 24.
  MenuPosition pos;
  EXPECT_THROW(run.bar().run(run.con(), pos), KeysExhausted);
  EXPECT_NE(run.con().screen().row_text(0).find(S("Declaração    Opções  Selecão"_cp)), std::string::npos)
      << cp850::to_utf8(run.con().screen().row_text(0));
  EXPECT_NE(run.con().screen().row_text(24).find(S("Inicia ou modifica uma declaração"_cp)), std::string::npos);
}

TEST(MainMenu, MontaItensClampsThePrintSelectionIntoItsLists) {
  struct Case {
    int queimp, quemod, quepag, quecon, vias;
    int queimp_after, quemod_after, quepag_after, quecon_after, vias_after;
    std::string item42, item43;
  } cases[] = {
      {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, "&2-Folha avulsa  ", S("&3-Tudo na declaração "_cp)},
      {1, 5, 20, 9, 12, 1, 1, 11, 5, 9, "&2-Folha avulsa  ", S("&3-Só a Malha fina    "_cp)},
      {5, 7, 4, 1, 2, 5, 3, 1, 1, 2, S("&2-Darf pré-impresso  "_cp), S("&3-Folha única"_cp)},
      {5, 0, 0, 1, 1, 5, 1, 1, 1, 1, "&2-folha Avulsa       ", S("&3-Folha única"_cp)},
      {12, 0, 1, 1, 1, 12, 1, 1, 1, 1, "&2-Etiquetas     ", S("&3-Folha única"_cp)},
      {14, 9, 3, 1, 1, 14, 4, 1, 1, 1, "&2-Pimaco 8296   ", S("&3-Folha única"_cp)},
      {14, 2, 1, 1, 1, 14, 2, 1, 1, 1, "&2-12 Eti. 90x24 ", S("&3-Folha única"_cp)},
      {99, 3, 3, 1, 1, 15, 1, 1, 1, 1, "&2-Folha avulsa  ", S("&3-Folha única"_cp)},
      {-3, 1, 1, 1, 1, 1, 1, 1, 1, 1, "&2-Folha avulsa  ", S("&3-Tudo na declaração "_cp)},
  };
  Started run;
  Vars& v = run.vars();
  for (const Case& c : cases) {
    v.set("QUEIMP", Value(c.queimp));
    v.set("QUEMOD", Value(c.quemod));
    v.set("QUEPAG", Value(c.quepag));
    v.set("QUECON", Value(c.quecon));
    v.set("NRO_VIAS", Value(c.vias));
    monta_itens(run.s(), run.bar());
    const std::string in = std::to_string(c.queimp) + "/" + std::to_string(c.quemod) + "/" +
                           std::to_string(c.quepag) + "/" + std::to_string(c.quecon) + "/" + std::to_string(c.vias);
    EXPECT_EQ(v.n("QUEIMP"), Decimal(c.queimp_after)) << in;
    EXPECT_EQ(v.n("QUEMOD"), Decimal(c.quemod_after)) << in;
    EXPECT_EQ(v.n("QUEPAG"), Decimal(c.quepag_after)) << in;
    EXPECT_EQ(v.n("QUECON"), Decimal(c.quecon_after)) << in;
    EXPECT_EQ(v.n("NRO_VIAS"), Decimal(c.vias_after)) << in;
    EXPECT_EQ(run.caption(42), c.item42) << in;
    EXPECT_EQ(run.caption(43), c.item43) << in;
    EXPECT_EQ(v.c("ITEM2"), c.item42) << in;
    EXPECT_EQ(run.caption(47), "&7-Vias " + std::to_string(c.vias_after)) << in;
  }
}

TEST(MainMenu, TerminarReorganisesWithoutAskingSairAsksFirst) {
  Started run;
  // "Não" at the question goes back to the menu; then "Sim" ends.
  run.keys().key('N');
  EXPECT_FALSE(menu_select(run.s(), 91));
  EXPECT_TRUE(run.told(S("Confirma saída do programa?"_cp)));
  EXPECT_FALSE(run.told("Encerrando..."));
  EXPECT_NE(run.s().part<WorkAreas>().area(9), nullptr);
  run.keys().key('S');
  run.vars().set("NOMEAG", Value("MARIA"));
  EXPECT_TRUE(menu_select(run.s(), 91));
  EXPECT_FALSE(run.told("Encerrando..."));
  EXPECT_EQ(rtrim(row_field(run.dir.file("CONFIG.DBF"), "00", "NOMEAG").text()), "MARIA");
  EXPECT_EQ(run.s().part<WorkAreas>().area(50), nullptr);  // every table closed

  Started again;
  again.vars().set("ULT_CPF", Value("12345678909"));
  const std::size_t before = again.con().log().size();
  try {
    EXPECT_TRUE(menu_select(again.s(), 18));
  } catch (const KeysExhausted&) {
    ADD_FAILURE() << again.log_text();
  }
  EXPECT_TRUE(again.told("Encerrando...")) << again.log_text();
  EXPECT_FALSE(again.told(S("Confirma saída do programa?"_cp)));
  EXPECT_GT(again.con().log().size(), before);
  EXPECT_EQ(row_field(again.dir.file("CONFIG.DBF"), "00", "ULT_CPF").text(), "12345678909");
}

TEST(MainMenu, EmptyDriveLetterSetsAAndDoesNothingElse) {
  for (int id : {73, 74}) {
    Started run;
    run.vars().set("XDRIVE", Value(" "));
    run.keys().key(key::Enter);
    const std::string caption = run.caption(id);
    EXPECT_FALSE(menu_select(run.s(), id));
    EXPECT_EQ(run.vars().c("XDRIVE"), "A") << id;
    EXPECT_EQ(run.caption(id), caption) << id;
    EXPECT_FALSE(run.told(not_available_text())) << id;
    EXPECT_NE(run.s().part<WorkAreas>().area(9), nullptr) << id;
    EXPECT_EQ(run.keys().remaining(), 0u);
  }
  // A letter given: the caption shows it and the contributor master is open
  // again afterwards.
  Started run;
  run.keys().key('d').key(key::Enter).key(key::Enter);
  EXPECT_FALSE(menu_select(run.s(), 73));
  EXPECT_EQ(run.vars().c("XDRIVE"), "D");
  EXPECT_EQ(run.caption(73), "&Compacta todos no D:");
  EXPECT_NE(run.s().part<WorkAreas>().area(9), nullptr);
}

TEST(MainMenu, ArchiverProcessorAndUpdateChoicesAreStoredInTheOfficeSettings) {
  Started run;
  Vars& v = run.vars();
  // 78 with the ICE archiver refuses at once.
  run.keys().key(key::Enter);
  EXPECT_FALSE(menu_select(run.s(), 78));
  EXPECT_TRUE(run.told(S("O programa ICE não funciona em 64 bits. Troque para o 7Z"_cp)));
  // 77 switches to 7zip, 78 then to 32 bits; both stored in table 43.
  run.keys().key('S');
  menu_select(run.s(), 77);
  EXPECT_EQ(v.c("PROGCOMP"), "S");
  EXPECT_TRUE(run.told("o programa ICE. Troca para o 7zip ?"));
  run.keys().key('S');
  menu_select(run.s(), 78);
  EXPECT_TRUE(run.told("usado em processador de 64 bits. Troca para 32 bits?"));
  EXPECT_EQ(v.c("PROCESSA"), "S");
  run.keys().key('N');
  menu_select(run.s(), 35);
  EXPECT_EQ(v.c("VER_ATUAL"), "N");

  auto office = Area::open(posix_os(), run.dir.file("DEFINE.DBF"), Share::Shared, {});
  ASSERT_TRUE(office.ok());
  ASSERT_TRUE((*office)->go_top().ok());
  EXPECT_EQ((*office)->get("PROGCOMP")->text(), "S");
  EXPECT_EQ((*office)->get("PROCESSA")->text(), "S");
  EXPECT_EQ((*office)->get("VER_ATUAL")->text(), "N");
  (void)(*office)->close();
  // Tables 42 and 43 are closed after the items of "Opções"; 9 stays open.
  EXPECT_EQ(run.s().part<WorkAreas>().area(43), nullptr);
  EXPECT_EQ(run.s().part<WorkAreas>().area(42), nullptr);
  EXPECT_NE(run.s().part<WorkAreas>().area(9), nullptr);
}

TEST(MainMenu, AutomaticSendingCaptionsAndItemsNotYetAvailable) {
  Started run;
  run.keys().key('S');
  menu_select(run.s(), 61);
  EXPECT_EQ(run.vars().n("OPTTRAN"), Decimal(1));
  EXPECT_EQ(run.caption(61), S("&Automático ao salvar SIM"_cp));
  EXPECT_EQ(run.vars().n("NPOSMENU"), Decimal(5));
  EXPECT_EQ(run.vars().n("OPCAO_1"), Decimal(61));

  // Only one status: typed in place, then confirmed.
  run.keys().text("12").key(key::Enter).key('S');
  menu_select(run.s(), 62);
  EXPECT_EQ(run.vars().n("SOESTE"), Decimal(12)) << run.log_text();
  EXPECT_EQ(run.vars().n("OPTTRAN"), Decimal(2));
  EXPECT_EQ(run.caption(62), "apenas as com stat&us  12");
  EXPECT_EQ(run.caption(61), S("&Automático ao salvar NAO"_cp));
  EXPECT_TRUE(run.told(S("Estatus 12  serão transferidas para"_cp))) << run.log_text();

  // The authority program's folder is asked for before sending.
  run.vars().set("LOCIRPF", Value(""));
  run.keys().key(key::Enter);
  menu_select(run.s(), 65);
  EXPECT_TRUE(run.told("Preencha abaixo em Pasta do IRPF a pasta do programa da receita"));
  EXPECT_FALSE(run.told(not_available_text()));

  for (int id : {11, 14, 16, 25, 33, 51, 71}) {
    run.con().log().clear();
    run.keys().key(key::Enter);
    EXPECT_FALSE(menu_select(run.s(), id));
    EXPECT_TRUE(run.told(not_available_text())) << id;
    EXPECT_NE(run.s().part<WorkAreas>().area(9), nullptr) << id;
  }
  run.keys().key(key::Enter);
  menu_select(run.s(), 52);
  EXPECT_TRUE(run.told("Gere antes o arquivo NAO DOS usando no item acima"));
}

}  // namespace
}  // namespace kx
