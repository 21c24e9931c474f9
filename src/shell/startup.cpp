#include "shell/startup.h"

#include <algorithm>
#include <cctype>

#include "platform/cp850.h"
#include "platform/os.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"
#include "shell/messages.h"
#include "shell/windows.h"
#include "store/folders.h"
#include "store/lock_waits.h"
#include "store/notices.h"
#include "store/opening.h"
#include "store/terminal_rows.h"
#include "store/work_areas.h"

namespace kx {
namespace {

using namespace kx::literals;

bool is_folder(Os& os, const std::string& path) {
  auto st = os.stat(path);
  return st.ok() && st->exists && st->is_dir;
}

std::string env_or(Session& s, const char* name) { return s.os().env(name).value_or(""); }

void set(Session& s, std::string_view name, Value v) {
  if (s.vars().has(name)) s.vars().set(name, std::move(v));
  else s.vars().declare(name, std::move(v));
}

Area* area(Session& s, int n) { return s.part<WorkAreas>().area(n); }

// A field as the session variable of the same name would hold it.
bool copy_field(Session& s, Area& a, std::string_view field, std::string_view var, bool trimmed) {
  auto f = a.get(field);
  if (!f.ok()) return false;
  Value v = *f;
  if (trimmed && v.is_text()) v = Value(rtrim(v.text()));
  const Vars& vars = s.vars();
  if (vars.has(var) && vars.get(var).type() != v.type() && !(vars.get(var).is_text() && v.is_text()))
    return false;
  set(s, var, std::move(v));
  return true;
}

constexpr std::string_view kFolderFields[] = {"ROTADOANO", "DIRTRAB", "DIRPROV", "ROTAANTER",
                                              "ROTARECEI", "ROTAJAVA", "ROTABACK"};
constexpr std::string_view kOtherConfigFields[] = {
    "XDRIVE", "OPCIRPF", "QUEIMP", "QUEMOD",  "QUEPAG",  "QUECON",  "MOSIMP",   "MOSTEL",   "MOSCPF",  "COMPAGA",
    "IMPBEM", "IMPBAL",  "MARESQ", "INIFOL",  "LINETI",  "NRO_LIN", "ULT_CPF",  "SOESTE",   "OPTTRAN", "ENV_STAT",
    "OPC_TRAN", "ULTBACK"};

}  // namespace

std::string two_digits(std::string_view number) {
  const std::string t = trim(number);
  if (t.empty() || !std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); })) return "00";
  return strzero(Decimal(std::stoll(right(t, 2))), 2);
}

std::string qual_usur(Session& s) {
  Os& os = s.os();
  auto cwd = os.current_dir();
  if (!cwd.ok()) return "00";
  auto fs = os.fs_type(*cwd);
  if (!fs.ok() || !fs->network) return "00";
  const std::string user = env_or(s, "USUAR"), equip = trim(env_or(s, "EQUIP"));
  const bool propose = !equip.empty() && val(equip) != Decimal(0);
  set(s, "NRO_PERG", Value(propose ? val(equip) : Decimal(0)));
  Windows& w = s.part<Windows>();
  for (int c = 1; c <= 3; ++c) w.set_colour(10, c, 30);
  MensArgs m;
  m.code = 14;
  m.text = user + (propose ? " Confirme" : std::string(" Forneça"_cp)) + std::string(" o número do terminal."_cp);
  m.top = 20;
  m.left = 2;
  m.letters = "NRO_PERG";
  m.width = 2;
  m.picture = "@z 99";
  const Value n = mens(s, m);
  s.vars().release("NRO_PERG");
  return strzero(n.number(), 2);
}

std::string terminal_number(Session& s, std::string_view argument) {
  const std::string env = trim(env_or(s, "TERMINAL"));
  if (!env.empty()) return two_digits(env);
  if (!trim(argument).empty()) return two_digits(argument);
  return qual_usur(s);
}

void set_program_folder(Session& s) {
  Os& os = s.os();
  const auto home = os.env("KVHOME");
  std::string folder;
  if (home && !home->empty()) {
    const std::string h = BAR_FORA(*home);
    if (is_folder(os, h)) {
      folder = h;
    } else {
      MensArgs m;
      m.code = 0;
      m.text = "<Dir> " + *home + std::string("não encontrado. Assumindo o padrão!"_cp);
      m.left = std::string("C");
      mens(s, m);
    }
  }
  if (folder.empty()) {
    auto cwd = os.current_dir();
    folder = cwd.ok() ? BAR_FORA(*cwd) : std::string(".");
  }
  set(s, "ROTADEF", Value(folder));
  set(s, "ARQDEF", Value(BAR_DIR(folder)));
  set(s, "DIRDEF", Value(home.value_or("")));
}

void set_calendar(Session& s) {
  const Date today = s.clock().today();
  set(s, "DATCALEN", Value(today));
  set(s, "HOJE", Value(today));
  set(s, "DIA", Value(today.day()));
  set(s, "MESCALEN", Value(today.month()));
  set(s, "ANOCALEN", Value(today.year()));
  set(s, "CARDIA", Value(strzero(Decimal(today.day()), 2)));
  set(s, "CARMES", Value(strzero(Decimal(today.month()), 2)));
  set(s, "CARANO", Value(strzero(Decimal(today.year()), 4)));
  set(s, "POSCALEN", Value("01/" + strzero(Decimal(today.month()), 2) + "/" + strzero(Decimal(today.year()), 4)));
  const Date first = *Date::from_ymd(today.year(), today.month(), 1);
  set(s, "DIAINIC", Value(first.weekday()));
}

bool configura(Session& s) { return ensure_terminal_row(s, 42) && area(s, 42); }

void load_configuration(Session& s) {
  Area* a = area(s, 42);
  if (!a) return;
  for (auto f : kFolderFields) copy_field(s, *a, f, f, true);
  for (auto f : kOtherConfigFields) copy_field(s, *a, f, f, false);
  copy_field(s, *a, "NOMEAG", "NOMEAG", true);
  Vars& v = s.vars();
  if (trim(v.c("NOMEAG")).empty()) v.set("NOMEAG", Value("USUARIO DO TERMINAL " + v.c("NUSU")));
  v.set("CPF", Value(v.c("ULT_CPF")));
  v.set("LOCIRPF", Value(trim(v.c("ROTARECEI")).empty() ? std::string() : BAR_DIR(v.c("ROTAJAVA"))));
}

bool store_configuration(Session& s, const std::vector<std::string_view>& names) {
  if (!ensure_terminal_row(s, 42)) return false;
  Area* a = area(s, 42);
  if (!a || !rec_lock_in(s, a, 5)) return false;
  std::vector<std::pair<std::string, Value>> values;
  for (auto n : names) values.emplace_back(std::string(n), s.vars().get(n));
  const Status st = a->replace(values);
  (void)a->unlock();
  if (!st.ok()) store_notices(s).message(st.message());
  return st.ok();
}

const std::vector<std::string_view>& exit_configuration_fields() {
  static const std::vector<std::string_view> names = {
      "NOMEAG",  "ROTADOANO", "ROTARECEI", "ROTAJAVA", "ULT_CPF", "DIRTRAB", "OPTTRAN", "SOESTE",  "ULTBACK",
      "OPCIRPF", "ENV_STAT",  "MARESQ",    "INIFOL",   "LINETI",  "NRO_LIN", "OPC_TRAN", "XDRIVE"};
  return names;
}

int days_without_backup(Date today, Date last_backup) {
  const std::int64_t d = today - last_backup;
  return static_cast<int>(std::clamp<std::int64_t>(d, -999, 999));
}

bool backup_reminder_due(Date today, Date last_backup) {
  return today.year() == 2013 && today.month() >= 1 && today.month() <= 4 &&
         days_without_backup(today, last_backup) > 3;
}

bool backup_reminder(Session& s) {
  const Date today = s.clock().today();
  const Date last = s.vars().d("ULTBACK");
  if (!backup_reminder_due(today, last)) return false;
  const std::string days = padl(std::to_string(days_without_backup(today, last)), 3);
  const Value a = avisosn(s,
                          {std::string(" Atenção "_cp) + days + " dia" + "s" + " sem fazer o backup compactado.",
                           std::string(" Sim - Obrigado pelo aviso. Vou fazer agora "),
                           std::string(" Não - Novo aviso so daqui 7 dias      "_cp)},
                          2);
  if (a.text() == "S") return true;
  s.vars().set("ULTBACK", Value(today + 4));
  store_configuration(s, {"ULTBACK"});
  return false;
}

bool load_office_settings(Session& s) {
  if (!abertura(s, 43)) return false;
  Area* a = area(s, 43);
  if (!a) return false;
  (void)a->go_top();
  for (auto f : {"VAL_SEG", "VAL_BYTE", "VAL_MIN", "VAL_CPMF", "COMO_SAL", "TEMP_SAL", "TEMP_DES", "BOL_NOSNRO",
                 "STATRAVA"})
    copy_field(s, *a, f, f, false);
  for (auto f : {"SER_SMTP", "NOM_USUA", "EMA_USUA", "SEN_USUA", "MEMORIZ", "VER_ATUAL", "PROCESSA", "PROGCOMP"})
    copy_field(s, *a, f, f, false);
  for (int i = 1; i <= 8; ++i) {
    auto d = a->get("VCTO" + std::to_string(i));
    if (d.ok() && d->type() == Type::D) s.vars().set_at("DAT_VENC", i, *d);
  }
  if (auto d = a->get("VAL_DOLAR"); d.ok() && d->type() == Type::N) {
    s.vars().set("NVALDOLAR", *d);
    s.vars().set("CVALDOLAR", Value(str(d->number(), 11, 4)));
  }
  (void)s.part<WorkAreas>().close(43);
  // The update check has no behaviour: nothing is looked up at start.
  return true;
}

bool check_current_folder(Session& s) {
  Vars& v = s.vars();
  const std::string folder = v.c("ROTADOANO");
  if (!folder.empty() && is_folder(s.os(), folder)) return true;
  const Value a = avisosn(s,
                          {"A Pasta " + folder + std::string(" não foi encontrada!"_cp),
                           "Sim - Assume: " + v.c("ROTADEF"), std::string("Não - Sai do programa!"_cp)},
                          2);
  if (a.text() != "S") return false;
  v.set("ROTADOANO", Value(v.c("ROTADEF")));
  store_configuration(s, {"ROTADOANO"});
  return true;
}

void set_folder_prefixes(Session& s) {
  Vars& v = s.vars();
  if (!is_folder(s.os(), v.c("DIRTRAB"))) v.set("DIRTRAB", Value(v.c("ROTADOANO")));
  v.set("LOCARQ", Value(BAR_DIR(v.c("ROTADOANO"))));
  v.set("LOCTRAB", Value(BAR_DIR(v.c("DIRTRAB"))));
  v.set("DIRORIG", Value(v.c("LOCARQ")));
}

bool load_printer_setup(Session& s) {
  for (int i = 0; i <= 4; ++i) {
    set(s, "STRING" + std::to_string(i), Value(""));
    set(s, "SEQUA" + std::to_string(i), Value(""));
  }
  const bool ok = ensure_terminal_row(s, 57);
  if (Area* a = ok ? area(s, 57) : nullptr) {
    for (auto f : {"NROIMPR", "NROLPT", "NROCOM"}) copy_field(s, *a, f, f, false);
    for (auto f : {"LOCIMPR", "SAIDAPR", "NOMEIMP", "NOMEREDE"}) copy_field(s, *a, f, f, true);
  }
  (void)s.part<WorkAreas>().close(57);
  return ok;
}

bool list_current_folder(Session& s) {
  Area* list = area(s, 50);
  if (!list) return false;
  const std::string current = BAR_FORA(s.vars().c("ROTADOANO"));
  for (Status st = list->go_top(); st.ok() && !list->eof(); st = list->skip()) {
    auto dir = list->get("DIRETOR");
    if (!dir.ok() || !same_folder(trim(dir->text()), current)) continue;
    if (trim(list->get("SELEC")->text()) == "S") return true;
    return trocasim(s, 1);
  }
  if (!add_folder(s, current)) return false;
  for (Status st = list->go_top(); st.ok() && !list->eof(); st = list->skip())
    if (same_folder(trim(list->get("DIRETOR")->text()), current)) return trocasim(s, 1);
  return false;
}

int collect_alerts(Session& s) {
  Vars& v = s.vars();
  std::vector<Value> alerts;
  if (abertura(s, 72)) {
    if (Area* a = area(s, 72)) {
      const Date today = s.clock().today();
      const TimeOfDay now = s.clock().now();
      const std::string user = trim(v.c("NOMEAG"));
      const std::string hhmm = strzero(Decimal(now.hour()), 2) + strzero(Decimal(now.minute()), 2);
      for (Status st = a->go_top(); st.ok() && !a->eof(); st = a->skip()) {
        auto flag = a->get("AVISAG"), date = a->get("DATAG"), who = a->get("NOMEAG"), at = a->get("HORAG"),
             note = a->get("ANOTAG");
        if (!flag.ok() || !date.ok() || !who.ok() || !at.ok() || !note.ok()) break;
        if (flag->type() != Type::L || !flag->logical() || date->type() != Type::D || date->date() != today)
          continue;
        if (trim(who->text()) != user || trim(at->text()) <= hhmm) continue;
        alerts.emplace_back(trim(at->text()));
        alerts.emplace_back(note->text());
      }
    }
    (void)s.part<WorkAreas>().close(72);
  }
  const int count = static_cast<int>(alerts.size() / 2);
  v.declare_list("AAGEN", std::move(alerts));
  set(s, "NTEMAGEN", Value(count));
  return count;
}

}  // namespace kx
