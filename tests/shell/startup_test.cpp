// Start-up of the program on a temporary program folder: the terminal
// number, the first start on an empty folder, the backup reminder and the
// refusal of a second copy on the same terminal number.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/keys.h"
#include "program_fixture.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "store/work_areas.h"

namespace kx {
namespace {

using namespace kx::literals;
using test::ProgramRun;
using test::row_field;

Date dmy(int d, int m, int y) { return *Date::from_ymd(y, m, d); }

TEST(Startup, TerminalNumberComesFromTerminalThenTheArgumentAlwaysTwoDigits) {
  struct Case {
    const char* terminal_env;  // nullptr: unset
    const char* argument;
    const char* expected;
  } cases[] = {
      {nullptr, "", "00"}, {nullptr, "3", "03"}, {"7", "3", "07"}, {nullptr, "12", "12"},
      {nullptr, "x", "00"}, {"", "5", "05"},     {nullptr, "123", "23"},
  };
  for (const Case& c : cases) {
    ProgramRun run(false);
    if (c.terminal_env) run.os.set_env("TERMINAL", c.terminal_env);
    EXPECT_EQ(terminal_number(run.s(), c.argument), c.expected)
        << "TERMINAL=" << (c.terminal_env ? c.terminal_env : "(unset)") << " argument=" << c.argument;
  }
}

TEST(Startup, MissingKvhomeFolderTakesTheCurrentFolderWithANotice) {
  ProgramRun run(false);
  run.os.set_env("KVHOME", run.dir.file("nao-existe"));
  set_program_folder(run.s());
  EXPECT_TRUE(run.told("<Dir> " + run.dir.file("nao-existe") + std::string("não encontrado. Assumindo o padrão!"_cp)))
      << run.log_text();
  EXPECT_NE(run.vars().c("ROTADEF"), run.dir.file("nao-existe"));
  EXPECT_EQ(run.vars().c("ARQDEF"), run.vars().c("ROTADEF") + "/");

  run.os.set_env("KVHOME", run.dir.path() + "/");  // a trailing '/' is ignored
  set_program_folder(run.s());
  EXPECT_EQ(run.vars().c("ROTADEF"), run.dir.path());
  EXPECT_EQ(run.vars().c("ARQDEF"), run.dir.path() + "/");
}

TEST(Startup, FirstStartOnAnEmptyFolderCreatesTheTerminalRowsAndTheFolderList) {
  ProgramRun run;
  run.os.set_env("TERMINAL", "4");
  ASSERT_EQ(start_up(run.s(), ""), std::nullopt) << run.log_text();
  Vars& v = run.vars();
  EXPECT_EQ(v.c("NUSU"), "04");
  EXPECT_EQ(v.c("ROTADOANO"), run.dir.path());
  EXPECT_EQ(v.c("LOCARQ"), run.dir.path() + "/");
  EXPECT_EQ(v.c("NOMEAG"), "USUARIO DO TERMINAL 04");
  EXPECT_EQ(v.n("NPOSMENU"), Decimal(1));
  EXPECT_EQ(v.c("CORMENU"), "GR+/B,W/R+,W+/B,W+/B,W+/B,W+/B");
  EXPECT_EQ(v.c("CORNORM"), "N/W+,W/N,N/N,N/N,N/W+");
  EXPECT_EQ(v.at("DAT_VENC", 1).date(), dmy(30, 4, 2013));
  EXPECT_EQ(v.c("CVALDOLAR"), "     2.0429");
  EXPECT_EQ(v.c("NOMEIMP"), "NAO DOS");

  const std::string prog = run.dir.path();
  EXPECT_EQ(rtrim(row_field(prog + "/CONFIG.DBF", "04", "ROTADOANO").text()), prog);
  EXPECT_EQ(row_field(prog + "/CONFIG.DBF", "04", "ULTBACK").date(), dmy(10, 3, 2013));
  EXPECT_EQ(row_field(prog + "/CORES.DBF", "04", "COR_ESCOL").number(), Decimal(79));
  EXPECT_EQ(rtrim(row_field(prog + "/CONFIMP.DBF", "04", "NOMEIMP").text()), "NAO DOS");
  {
    Area* list = run.s().part<WorkAreas>().area(50);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->reccount(), 1u);
    ASSERT_TRUE(list->go_top().ok());
    EXPECT_EQ(list->get("SELEC")->text(), "S");
    EXPECT_EQ(rtrim(list->get("DIRETOR")->text()), prog);
  }
  EXPECT_TRUE(run.dir.has("DEFINE.DBF"));

  // Table 9 of the current folder is open, the folder list held.
  WorkAreas& wa = run.s().part<WorkAreas>();
  EXPECT_NE(wa.area(9), nullptr);
  ASSERT_NE(wa.area(50), nullptr);
  EXPECT_TRUE(wa.area(50)->table().exclusive());
  EXPECT_FALSE(run.told("Arquivo CODBENS não localizado!"_cp));
}

TEST(Startup, BackupReminderCountsDaysOnlyInJanuaryToApril2013) {
  struct Case {
    Date today, last;
    bool due;
    int days;
  } cases[] = {
      {dmy(10, 3, 2013), dmy(7, 3, 2013), false, 3},   {dmy(10, 3, 2013), dmy(6, 3, 2013), true, 4},
      {dmy(10, 5, 2013), dmy(1, 1, 2013), false, 129}, {dmy(10, 3, 2014), dmy(1, 1, 2014), false, 68},
      {dmy(2, 1, 2013), Date::empty(), true, 999},     {dmy(30, 4, 2013), dmy(1, 1, 2000), true, 999},
      {dmy(31, 12, 2012), dmy(1, 1, 2012), false, 365},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(backup_reminder_due(c.today, c.last), c.due) << c.today.dmy() << " last " << c.last.dmy();
    EXPECT_EQ(days_without_backup(c.today, c.last), c.days) << c.today.dmy() << " last " << c.last.dmy();
  }
}

TEST(Startup, ReminderNaoPostponesFourDaysAndSimOpensTheBackupMenu) {
  ProgramRun run;
  run.clock.set(dmy(1, 3, 2013));
  ASSERT_EQ(start_up(run.s(), ""), std::nullopt) << run.log_text();  // ULTBACK = 01/03/2013

  const std::string reminder = std::string(" Atenção   9 dias sem fazer o backup compactado."_cp);
  run.restart();
  run.clock.set(dmy(10, 3, 2013));
  run.keys().key('N');
  ASSERT_EQ(start_up(run.s(), ""), std::nullopt) << run.log_text();
  EXPECT_TRUE(run.told(reminder)) << run.log_text();
  EXPECT_EQ(row_field(run.dir.file("CONFIG.DBF"), "00", "ULTBACK").date(), dmy(14, 3, 2013));
  EXPECT_EQ(run.vars().n("NPOSMENU"), Decimal(1));

  run.restart();
  run.clock.set(dmy(17, 3, 2013));
  ASSERT_EQ(start_up(run.s(), ""), std::nullopt) << run.log_text();
  EXPECT_EQ(run.log_text().find("backup compactado"), std::string::npos) << run.log_text();

  run.restart();
  run.clock.set(dmy(18, 3, 2013));
  run.keys().key('S');
  ASSERT_EQ(start_up(run.s(), ""), std::nullopt) << run.log_text();
  EXPECT_TRUE(run.told(std::string(" Atenção   4 dias sem fazer o backup compactado."_cp))) << run.log_text();
  EXPECT_EQ(run.vars().n("NPOSMENU"), Decimal(6));
  EXPECT_EQ(row_field(run.dir.file("CONFIG.DBF"), "00", "ULTBACK").date(), dmy(14, 3, 2013));

  // The menu opens on "&Backup": Enter chooses its first item.
  run.keys().key(key::Enter).key(key::Enter).key(key::AltR).key('S');
  EXPECT_EQ(menu_loop(run.s()), 0);
  EXPECT_TRUE(run.told(not_available_text())) << run.log_text();
  EXPECT_EQ(run.vars().n("OPCAO_1"), Decimal(91));
  std::vector<std::string> firsts;
  for (const auto& e : run.con().log()) firsts.push_back(e.lines.empty() ? "" : rtrim(e.lines[0]));
  ASSERT_GE(firsts.size(), 2u) << run.log_text();
  const auto box = std::find(firsts.begin(), firsts.end(), not_available_text());
  const auto exit = std::find(firsts.begin(), firsts.end(), std::string("Confirma saída do programa?"_cp));
  EXPECT_TRUE(box < exit) << run.log_text();
}

TEST(Startup, ASecondCopyOnTheSameTerminalIsRefusedBeforeWritingAnything) {
  ProgramRun first;
  ASSERT_EQ(start_up(first.s(), ""), std::nullopt) << first.log_text();
  const std::string config = first.bytes("CONFIG.DBF"), colours = first.bytes("CORES.DBF");

  // The same folder and terminal, another session (another copy).
  Session second(first.os, first.clock);
  declare_program_variables(second);
  second.part<Console>().script().key(key::Enter);
  first.clock.set(dmy(20, 3, 2013));  // a reminder would be due and written
  EXPECT_EQ(start_up(second, ""), std::optional<int>(1));
  bool refused = false;
  for (const auto& e : second.part<Console>().log())
    for (const auto& l : e.lines)
      if (rtrim(l) == "O programa KORVEX no terminal 00 está em uso"_cp) refused = true;
  EXPECT_TRUE(refused);
  EXPECT_EQ(first.bytes("CONFIG.DBF"), config);
  EXPECT_EQ(first.bytes("CORES.DBF"), colours);

  // The first copy goes on: its folder list is still held and usable.
  EXPECT_TRUE(first.s().part<WorkAreas>().area(50)->table().exclusive());

  // Another terminal number on the same folder starts.
  Session other(first.os, first.clock);
  declare_program_variables(other);
  first.os.set_env("TERMINAL", "02");
  other.part<Console>().script().key('N');
  EXPECT_EQ(start_up(other, ""), std::nullopt);
}

}  // namespace
}  // namespace kx
