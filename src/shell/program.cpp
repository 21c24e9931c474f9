#include "shell/program.h"

#include <exception>
#include <ostream>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/session.h"
#include "platform/text.h"
#include "platform/ui_hotkeys.h"
#include "shell/background.h"
#include "shell/cli.h"
#include "shell/colours.h"
#include "shell/main_menu.h"
#include "shell/messages.h"
#include "shell/session_vars.h"
#include "shell/shell_notices.h"
#include "shell/startup.h"
#include "shell/terminal_run.h"
#include "shell/windows.h"
#include "store/folders.h"
#include "store/opening.h"
#include "store/reorg.h"
#include "store/work_areas.h"

namespace kx {
namespace {

using namespace kx::literals;

void clear_screen(Session& s) { console_of(s).screen().clear(); }

void refuse_second_copy(Session& s) {
  (void)avisosn(s, "O programa KORVEX no terminal " + s.vars().c("NUSU") + std::string(" está em uso"_cp), 0);
  clear_screen(s);
}

}  // namespace

std::optional<int> start_up(Session& s, std::string_view argument) {
  Vars& v = s.vars();
  // 1-2. Console and table defaults, the session variables.
  s.part<WorkAreas>().set_hide_deleted(true);
  if (!v.has("NUSU")) declare_program_variables(s);
  install_shell_notices(s);
  // 3. Window slots 1-10.
  Windows& w = s.part<Windows>();
  for (int slot = 1; slot <= 10; ++slot) w.define(slot, 48, 112, 7, 0, 0, 24, 79, 0);
  // 4-5. Terminal number and program folder.
  v.set("NUSU", Value(terminal_number(s, argument)));
  set_program_folder(s);
  // The single-instance check comes before anything is written: the
  // terminal's folder list, held exclusively for the whole run, refuses a
  // second copy on this terminal number.
  if (!open_folder_list(s)) {
    refuse_second_copy(s);
    return 1;
  }
  // 6-7. Colours, calendar.
  (void)criacor(s);
  set_calendar(s);
  // 8-9. The terminal's configuration.
  if (!configura(s)) {
    mens(s, 11, "Arquivo de configuraçao sendo usado no momento"_cp);
    clear_screen(s);
    return 1;
  }
  load_configuration(s);
  // 10. The background screen.
  draw_background(s);
  // 11. Backup reminder.
  const bool go_to_backup = backup_reminder(s);
  // 12. Office settings.
  (void)load_office_settings(s);
  // 13-14. Current and work folders.
  if (!check_current_folder(s)) {
    clear_screen(s);
    return 1;
  }
  set_folder_prefixes(s);
  // 15. The message window's colours.
  w.set_colour(10, 1, static_cast<int>(v.n("COR_TEL2").to_int64()));
  w.set_colour(10, 2, static_cast<int>(v.n("COR_TEL1").to_int64()));
  w.set_colour(10, 3, static_cast<int>(v.n("COR_TEL2").to_int64()));
  // 16. Printer set-up.
  (void)load_printer_setup(s);
  // 17. The print-selection lists are declared with the session variables.
  // 18. Open everything (the folder list stays open, exclusively).
  v.set("MOS_MENS", Value(true));
  if (!open_everything(s)) {
    refuse_second_copy(s);
    return 1;
  }
  // 19. The current folder in the folder list.
  (void)list_current_folder(s);
  (void)s.part<WorkAreas>().select(50);
  // 20. Menu positions and working values.
  for (auto name : {"ULTESC", "ULTPOS", "POSVER", "POSHOR", "OPCAO_1"}) v.set(name, Value(1));
  w.close(10);
  mens(s, MensArgs{});
  v.set("NRO_VIAS", Value(1));
  v.set("VIAS_CAR", Value("1"));
  v.set("NROLINHAS", Value(60));
  v.set("CAL_AUTO", Value(true));
  v.set("JA_CALC", Value(false));
  for (auto name : {"REND_REAL", "DEDU_REAL", "LCAX_REAL", "IMPO_REAL", "IMPDEV_REAL", "IMPAPAG", "IMPREC_REAL"})
    v.set(name, Value(0));
  // 21. Today's agenda alerts.
  (void)collect_alerts(s);
  // 22. The menu bar.
  MainMenu& menu = s.part<MainMenu>();
  menu.bar = create_main_menu(s);
  // 23. The contributor master of the current folder.
  (void)abertura(s, 9);
  // 24-25.
  v.set("TELA", Value(6));
  v.set("NPOSMENU", Value(go_to_backup ? kBackupPulldown : 1));
  draw_background(s);
  return std::nullopt;
}

int menu_loop(Session& s) {
  MainMenu& menu = s.part<MainMenu>();
  Vars& v = s.vars();
  HotKeys& hot = s.part<HotKeys>();
  while (true) {
    const int wanted = static_cast<int>(v.n("NPOSMENU").to_int64());
    if (wanted != menu.pos.pulldown) menu.pos = MenuPosition{wanted, 1};
    const int id = menu.bar->run(console_of(s), menu.pos, &hot);
    v.set("NPOSMENU", Value(menu.pos.pulldown));
    if (id == 0) continue;  // Esc on the bar: the bar stays
    if (menu_select(s, id)) return 0;
    if (pulldown_of(id)) menu.pos.pulldown = static_cast<int>(v.n("NPOSMENU").to_int64());
  }
}

int run_program(Session& s, std::string_view argument) {
  if (auto end = start_up(s, argument)) return *end;
  return menu_loop(s);
}

bool rotsaida(Session& s, int id) {
  Vars& v = s.vars();
  if (id == 91 && avisosn(s, std::string("Confirma saída do programa?"_cp), 2).text() != "S") return false;
  (void)store_configuration(s, exit_configuration_fields());
  if (id == 18) {
    v.set("MOS_MENS", Value(true));
    mens(s, 3, "Encerrando...");
    // The folder's own tables are closed first: the reorganisation takes
    // each one alone.
    fecha_todo(s);
    (void)s.part<WorkAreas>().close(9);
    (void)reorg(s, v.c("ROTADOANO"), ReorgMode::OnExit);
    s.part<Windows>().close(10);
  }
  (void)s.part<WorkAreas>().close_all();
  clear_screen(s);
  return true;
}

int korvex_main(CommandIo& io, const std::string& terminal) {
  return run_on_terminal(io, "korvex", [&](Session& s) { return run_program(s, terminal); });
}

}  // namespace kx
