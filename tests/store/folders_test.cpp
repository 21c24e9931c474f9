// The folder list and the folder in hand: the open-everything step, folders
// that are gone or unreachable, case kept, selection, and the terminal rows
// of the program folder (two terminals starting together).
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/cp850.h"
#include "platform/fault_os.h"
#include "platform/files.h"
#include "platform/text.h"
#include "store/folders.h"
#include "store/lock_waits.h"
#include "store/opening.h"
#include "store/terminal_rows.h"
#include "store_fixture.h"

namespace kx {
namespace {

using testing::StoreFixture;

std::vector<std::string> listed(StoreFixture& f) {
  std::vector<std::string> out;
  Area* list = f.areas().area(50);
  if (!list) return out;
  for (Status st = list->go_top(); st.ok() && !list->eof(); st = list->skip())
    out.push_back(rtrim(list->get("SELEC")->text()) + ":" + rtrim(list->get("DIRETOR")->text()));
  return out;
}

TEST(Folders, TheFirstStartListsTheProgramFolderAndLeavesTheListOpen) {
  StoreFixture f;
  ASSERT_TRUE(open_everything(f.s()));
  EXPECT_EQ(listed(f), (std::vector<std::string>{"S:" + f.dir.file("prog")}));
  EXPECT_EQ(f.areas().current_number(), 50);
  EXPECT_TRUE(f.areas().area(50)->table().exclusive());
  for (const char* name : {"PRINTS.DBF", "AUXBENS.DBF", "AUXBENS.CDX", "AUXPAG.DBF", "LisErro.DBF"})
    EXPECT_TRUE(f.dir.has(std::string("prog/") + name)) << name;
  EXPECT_TRUE(f.notices().saw("message", "Arquivo CODBENS não localizado!"_cp));
  EXPECT_EQ(f.areas().area(41), nullptr);  // only the list stays open

  // A second copy with the same terminal number is refused.
  StoreFixture same;
  same.session->vars().set("ARQDEF", f.dir.file("prog") + "/");
  EXPECT_FALSE(open_everything(same.s()));
}

TEST(Folders, GoneFoldersLeaveTheListUnreachableAndMixedCaseOnesStay) {
  StoreFixture f;
  f.dir.mkdir("Clientes/Ano2013");
  ASSERT_TRUE(open_everything(f.s()));
  struct Case {
    std::string folder;
    bool stays;
  } cases[] = {
      {f.dir.file("Clientes/Ano2013"), true},       // typed in mixed case: kept as typed
      {f.dir.file("clientes/ano2013"), true},       // another case of an existing folder
      {f.dir.file("Clientes/Apagada"), false},      // parent there, folder gone
      {f.dir.file("SemMontagem/Pasta"), true},      // parent missing too (a share not mounted)
  };
  for (const Case& c : cases) ASSERT_TRUE(add_folder(f.s(), c.folder)) << c.folder;
  EXPECT_EQ(listed(f).size(), 4u) << "the two spellings of one folder are one row";
  ASSERT_TRUE(open_everything(f.s()));
  const auto rows = listed(f);
  for (const Case& c : cases) {
    bool found = false;
    for (const auto& r : rows) found = found || r.ends_with(":" + c.folder);
    if (c.folder.find("clientes/") != std::string::npos) continue;
    EXPECT_EQ(found, c.stays) << c.folder;
  }
  EXPECT_EQ(rows.size(), 3u);
}

TEST(Folders, AFolderIsGoneOnlyWhenItsParentIsThereAndItIsNot) {
  FaultOs fo(posix_os());
  StoreFixture f(fo);
  f.dir.mkdir("share/Ano2013");
  struct Case {
    std::string path;
    bool stat_fails;
    FolderState expected;
  } cases[] = {
      {f.dir.file("share/Ano2013"), false, FolderState::Present},
      {f.dir.file("share/ano2013/"), false, FolderState::Present},
      {f.dir.file("share/Ano2012"), false, FolderState::Gone},
      {f.dir.file("mount/Ano2013"), false, FolderState::Unreachable},
      {f.dir.file("share/Ano2013"), true, FolderState::Unreachable},  // an I/O error on the share
  };
  for (const Case& c : cases) {
    if (c.stat_fails) fo.inject({FaultOs::Op::Stat, 1, EIO, true});
    EXPECT_EQ(folder_state(f.s(), c.path), c.expected) << c.path;
    fo.clear();
  }
}

TEST(Folders, PathsLongerThanTheFieldAreRefusedNotCut) {
  StoreFixture f;
  ASSERT_TRUE(open_everything(f.s()));
  const std::string long_path = "/" + std::string(80, 'x');
  EXPECT_FALSE(add_folder(f.s(), long_path));
  EXPECT_EQ(listed(f).size(), 1u);
  EXPECT_TRUE(path_fits(std::string(80, 'y')));
}

TEST(Folders, SelectionMakesTheRowTheFolderInHandAndRemembersIt) {
  StoreFixture f;
  ASSERT_TRUE(open_everything(f.s()));
  ASSERT_TRUE(ensure_terminal_rows(f.s()));
  ASSERT_TRUE(open_folder_list(f.s()));
  const std::string chosen = f.dir.file("Escritorio/Novos");
  ASSERT_TRUE(add_folder(f.s(), chosen));
  // The new folder does not exist yet: the answer Não abandons the selection.
  f.notices().answers = {false};
  Area* list = f.areas().area(50);
  ASSERT_TRUE(list->seek(Value(cp850::upper(chosen))).ok());
  ASSERT_TRUE(list->found());
  EXPECT_FALSE(trocasim(f.s(), 1));
  EXPECT_TRUE(f.notices().saw("ask", std::string("Diretório novo para KORVEX? Cria-o ?"_cp)));
  // Sim creates it; the row is the only one selected.
  f.s().vars().set("CPF", "12345678901");
  ASSERT_TRUE(list->seek(Value(cp850::upper(chosen))).ok());
  ASSERT_TRUE(trocasim(f.s(), 1));
  EXPECT_TRUE(folder_exists(f.os, chosen));
  EXPECT_EQ(f.s().vars().c("ROTADOANO"), chosen);
  EXPECT_EQ(f.s().vars().c("LOCARQ"), chosen + "/");
  int selected = 0;
  for (const auto& r : listed(f)) selected += r.starts_with("S:");
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(f.areas().current_number(), 50);
  // Its contributor master is open in the name order, and the choice is in CONFIG.
  Area* master = f.areas().area(9);
  ASSERT_NE(master, nullptr);
  EXPECT_EQ(master->table().path(), chosen + "/IMP0913.DBF");
  EXPECT_EQ(master->order(), 2u);
  ASSERT_TRUE(ensure_terminal_row(f.s(), 42));
  EXPECT_EQ(rtrim(f.areas().area(42)->get("ROTADOANO")->text()), chosen);
}

TEST(Folders, OpeningAFolderStandsOnTheContributorInHandInNameOrder) {
  StoreFixture f;
  ASSERT_TRUE(abertura(f.s(), 9));
  Area* a = f.areas().area(9);
  for (auto [cpf, name] : {std::pair{"22222222222", "Zélia"}, {"11111111111", "Abel"}}) {
    ASSERT_TRUE(seek_or_append(f.s(), a, Value(cpf), "CPF"));
    ASSERT_TRUE(a->replace("NOMECONTR", Value(std::string(cp850::from_utf8(name)))).ok());
    ASSERT_TRUE(a->unlock().ok());
  }
  f.s().vars().set("CPF", "22222222222");
  ASSERT_TRUE(mudadir(f.s(), f.dir.file("data") + "/"));
  a = f.areas().area(9);
  EXPECT_EQ(a->order(), 2u);
  EXPECT_EQ(a->recno(), 1u);
  EXPECT_EQ(rtrim(f.s().vars().c("NOMECONTR")), "Zélia"_cp);
  // Not there: the first row by CPF (Abel, record 2).
  f.s().vars().set("CPF", "99999999999");
  ASSERT_TRUE(mudadir(f.s(), f.dir.file("data")));
  EXPECT_EQ(f.areas().area(9)->recno(), 2u);
}

TEST(TerminalRows, DefaultsAreWrittenOnceAndReadUnchangedNextTime) {
  StoreFixture f;
  ASSERT_TRUE(ensure_terminal_rows(f.s()));
  Area* config = f.areas().area(42);
  EXPECT_EQ(config->reccount(), 1u);
  EXPECT_EQ(config->get("NRO_TERM")->text(), "03");
  EXPECT_EQ(rtrim(config->get("ROTADOANO")->text()), f.dir.file("prog"));
  EXPECT_EQ(config->get("NRO_LIN")->number(), Decimal(60));
  EXPECT_EQ(config->get("ULTBACK")->date(), f.clock.today());
  EXPECT_EQ(rtrim(f.areas().area(56)->get("COR_1_CLI")->text()), "GR+/B");
  EXPECT_EQ(rtrim(f.areas().area(57)->get("SEQ3")->text()), "<014>//<020>");
  ASSERT_TRUE(rec_lock_in(f.s(), config, 1));
  ASSERT_TRUE(config->replace("NRO_LIN", Value(66)).ok());
  ASSERT_TRUE(config->unlock().ok());
  ASSERT_TRUE(ensure_terminal_rows(f.s()));
  EXPECT_EQ(f.areas().area(42)->reccount(), 1u);
  EXPECT_EQ(f.areas().area(42)->get("NRO_LIN")->number(), Decimal(66));
}

TEST(TerminalRows, TwoTerminalsStartingTogetherEachAddTheirOwnRow) {
  for (int round = 0; round < 10; ++round) {
    StoreFixture f;
    testing::Signal go;
    std::vector<pid_t> pids;
    for (const char* terminal : {"01", "02"})
      pids.push_back(testing::run_child([&, terminal] {
        Session s2(posix_os(), f.clock);
        for (auto name : {"ARQDEF", "LOCARQ", "LOCTRAB", "NUSU"}) s2.vars().declare(name, f.s().vars().get(name));
        s2.vars().set("NUSU", terminal);
        go.receive();
        if (ensure_terminal_rows(s2)) return 0;
        for (const auto& e : s2.part<StoreNotices>().recording().log)
          std::fprintf(stderr, "terminal %s %s: %s\n", terminal, e.kind.c_str(), e.text.c_str());
        return 1;
      }));
    go.send();
    go.send();
    for (pid_t pid : pids) EXPECT_EQ(testing::wait_child(pid), 0);
    ASSERT_TRUE(abertura(f.s(), 42));
    Area* config = f.areas().area(42);
    std::vector<std::string> terminals;
    for (Status st = config->go_top(); st.ok() && !config->eof(); st = config->skip()) {
      terminals.push_back(config->get("NRO_TERM")->text());
      EXPECT_EQ(config->get("NRO_LIN")->number(), Decimal(60));
    }
    EXPECT_EQ(terminals, (std::vector<std::string>{"01", "02"})) << "round " << round;
  }
}

TEST(FieldVariables, DeclaredFromTheTablesOfOneRowPerContributor) {
  Vars v;
  declare_field_variables(v, 9);
  declare_field_variables(v, 1);
  EXPECT_EQ(v.c("NOMECONTR"), std::string(53, ' '));
  EXPECT_EQ(v.n("I13_5C"), Decimal(0));
  EXPECT_EQ(v.d("NASCIMENTO"), Date::empty());
  EXPECT_FALSE(v.l("NOVREG"));
  release_field_variables(v, 1, {"CPF"});
  EXPECT_FALSE(v.has("I3_01"));
  EXPECT_TRUE(v.has("CPFCONJU"));
  release_field_variables(v, 9, {"CPF", "NOMECONTR"});
  EXPECT_FALSE(v.has("CPFCONJU"));
  EXPECT_TRUE(v.has("CPF"));
  EXPECT_TRUE(v.has("NOMECONTR"));
}

}  // namespace
}  // namespace kx
