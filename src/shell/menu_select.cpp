// MENUSELECT: the action of each main-menu item and the steps after it.
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "platform/console.h"
#include "platform/keys.h"
#include "platform/ui_field.h"
#include "platform/cp850.h"
#include "platform/os.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"
#include "shell/background.h"
#include "shell/colour_screen.h"
#include "shell/main_menu.h"
#include "shell/messages.h"
#include "shell/program.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "store/lock_waits.h"
#include "store/opening.h"
#include "store/reorg.h"
#include "store/terminal_rows.h"
#include "store/work_areas.h"

namespace kx {
namespace {

using namespace kx::literals;

std::string S(std::string_view cp) { return std::string(cp); }

int number(Session& s, std::string_view name) { return static_cast<int>(s.vars().n(name).to_int64()); }

void not_available(Session& s) { mens(s, 15, not_available_text()); }

bool ask_yes(Session& s, const std::vector<std::string>& lines) { return avisosn(s, lines, 2).text() == "S"; }

void set_caption(Session& s, int id, std::string caption) {
  MainMenu& m = s.part<MainMenu>();
  if (m.bar)
    if (MenuItem* it = m.bar->item(id)) it->caption = std::move(caption);
}

WorkAreas& areas(Session& s) { return s.part<WorkAreas>(); }

// Tables 43 and 42 around items 21-36, standing on the terminal's row.
void open_settings(Session& s) {
  (void)abertura(s, 43);
  (void)ensure_terminal_row(s, 42);
}
void close_settings(Session& s) {
  (void)areas(s).close(42);
  (void)areas(s).close(43);
}

// Writes session variables of the same names into the single row of table
// 43 (record lock of 5 seconds).
bool store_office(Session& s, std::initializer_list<std::string_view> names) {
  if (!abertura(s, 43)) return false;
  Area* a = areas(s).area(43);
  bool ok = a && a->go_top().ok() && !a->eof() && rec_lock_in(s, a, 5);
  if (ok) {
    for (auto n : names) ok = a->replace(n, s.vars().get(n)).ok() && ok;
    (void)a->unlock();
  }
  (void)areas(s).close(43);
  return ok;
}

// The description of a status code in table 66 ("" when unknown or the
// table is missing).
std::string status_description(Session& s, int code) {
  std::string out;
  if (abertura(s, 66)) {
    if (Area* a = areas(s).area(66)) {
      if (a->seek(Value(strzero(Decimal(code), 2))).ok() && a->found()) {
        if (auto d = a->get("DESCRICAO"); d.ok()) out = trim(d->text());
      } else if (a->seek(Value(code)).ok() && a->found()) {
        if (auto d = a->get("DESCRICAO"); d.ok()) out = trim(d->text());
      }
    }
    (void)areas(s).close(66);
  }
  return out;
}
bool status_known(Session& s, int code) {
  bool found = false;
  if (abertura(s, 66)) {
    if (Area* a = areas(s).area(66))
      found = (a->seek(Value(strzero(Decimal(code), 2))).ok() && a->found()) ||
              (a->seek(Value(code)).ok() && a->found());
    (void)areas(s).close(66);
  }
  return found;
}

void reopen_contributors(Session& s) { (void)abertura(s, 9); }

// Item 73/74: the drive letter; false when the answer was empty (XDRIVE
// becomes "A").
bool ask_drive(Session& s) {
  Vars& v = s.vars();
  v.set("XDRIVE", Value(left(v.c("XDRIVE") + " ", 1)));
  MensArgs m;
  m.code = 14;
  m.text = "Informe a letra do Drive";
  m.top = 3;
  m.left = 25;
  m.letters = "XDRIVE";
  m.picture = "@!";
  const std::string letter = trim(mens(s, m).text());
  if (letter.empty()) {
    v.set("XDRIVE", Value("A"));
    return false;
  }
  v.set("XDRIVE", Value(cp850::upper(letter)));
  return true;
}

// Items 64 and 65 need the authority program's folder first.
bool authority_folder_set(Session& s) {
  if (!trim(s.vars().c("LOCIRPF")).empty()) return true;
  mens(s, 11, "Preencha abaixo em Pasta do IRPF a pasta do programa da receita");
  return false;
}

// A two-digit number read in a window; nothing on Esc.
std::optional<int> ask_number(Session& s, std::string text, int initial, int top, std::variant<std::monostate, int, std::string> where,
                              std::string picture, std::function<bool(const Value&)> valid = {}) {
  s.vars().declare("NRO_PERG", Value(initial));
  MensArgs m;
  m.code = 14;
  m.text = std::move(text);
  m.top = top;
  m.left = std::move(where);
  m.letters = "NRO_PERG";
  m.width = 2;
  m.picture = std::move(picture);
  m.valid = std::move(valid);
  const Value n = mens(s, m);
  const int last = console_of(s).last_key();
  s.vars().release("NRO_PERG");
  if (last == 27) return std::nullopt;
  return static_cast<int>(n.number().to_int64());
}

}  // namespace

std::string not_available_text() { return S("Função ainda não disponível nesta versão"_cp); }

bool menu_select(Session& s, int id) {
  Vars& v = s.vars();
  v.set("OPCAO_1", Value(id));
  if (const int p = pulldown_of(id)) v.set("NPOSMENU", Value(p));
  const bool settings = id >= 21 && id <= 36;
  if (settings) open_settings(s);
  // Set by the backups of items 71, 73 and 74 when one was made; it moves
  // the reminder on.  The backup functions are not in this version, so the
  // reminder stays due.
  bool backup_made = false;

  switch (id) {
    case 18:
    case 91:
      if (rotsaida(s, id)) return true;
      return false;

    case 24:
      modcor(s, true);
      if (MainMenu& m = s.part<MainMenu>(); m.bar) *m.bar = create_main_menu(s);
      draw_background(s);
      break;

    case 29:
      (void)reindexa(s);
      open_settings(s);
      break;

    case 35: {
      const bool yes = ask_yes(s, {S("Deseja fazer essa verificação sempre na entrada?"_cp)});
      v.set("VER_ATUAL", Value(yes ? "S" : "N"));
      (void)store_office(s, {"VER_ATUAL"});
      // The update check itself has no behaviour.
      break;
    }

    case 17:
      (void)areas(s).close(9);
      not_available(s);
      draw_background(s);
      reopen_contributors(s);
      break;

    case 41: case 42: case 43: case 44: case 45: case 46: case 47:
      not_available(s);
      if (MainMenu& m = s.part<MainMenu>(); m.bar) monta_itens(s, *m.bar);
      break;

    case 52: {
      const std::string path = found_or(s.os(), join_path(BAR_FORA(v.c("LOCTRAB")), "NAO-DOS.TXT"));
      auto st = s.os().stat(path);
      if (!st.ok() || !st->exists) mens(s, 11, "Gere antes o arquivo NAO DOS usando no item acima");
      else not_available(s);
      break;
    }

    case 61: {
      const bool yes = ask_yes(s, {S("Deseja que a partir de agora todas as declarações sejam transferidas"_cp),
                                   S(" para o programa da receita ao salvar a declaração?"_cp)});
      v.set("OPTTRAN", Value(yes ? 1 : 0));
      set_caption(s, 61, auto_send_caption(s));
      break;
    }

    case 62: {
      // The status is typed in place, at row 7, column 72.
      std::vector<GetField> fields{var_field(v, "SOESTE", 7, 72, "@EZ 99", NumberShape{2, 0})};
      ReadOptions opts;
      opts.edit_colour = colour_var(s, "COR_GET");
      opts.shown_colour = colour_var(s, "COR_1_CLI");
      opts.notice_colour = colour_var(s, "COR_CLI_HE");
      if (read_fields(console_of(s), fields, opts).last_key == key::Esc) break;
      const std::optional<int> code = number(s, "SOESTE");
      const std::string desc = status_description(s, *code);
      const bool yes = ask_yes(s, {S("  A partir de agora somente as declarações com o "_cp),
                                   "Estatus " + strzero(Decimal(*code), 2) + " " + desc + S(" serão transferidas para"_cp),
                                   S(" o programa da receita ao sair da declaração?"_cp)});
      if (yes) v.set("OPTTRAN", Value(2));
      set_caption(s, 62, status_send_caption(s));
      set_caption(s, 61, auto_send_caption(s));
      break;
    }

    case 63:
      if (!authority_folder_set(s)) return false;
      (void)avisosn(s, {S("Evite o envio da declaração com o IRPF da Receita aberto."_cp),
                        "O programa aceita, mas pode causar problemas"},
                    0);
      not_available(s);
      break;

    case 64:
    case 65:
      if (!authority_folder_set(s)) return false;
      (void)avisosn(s, {S("Evite enviar declarações com o IRPF da Receita aberto"_cp),
                        "O programa aceita, mas podem causar problemas"},
                    0);
      not_available(s);
      break;

    case 66: {
      const Value a = avisosn(s, S("Após o envio deseja que o Estatus passe para transmitidas?"_cp), 1);
      v.set("ENV_STAT", Value(static_cast<int>(a.number().to_int64())));
      if (a.number() == Decimal(1)) {
        const auto code = ask_number(s, S("Informe o código do Estatus de declaração transferida! "_cp),
                                     number(s, "OPC_TRAN"), 10, std::string("C"), "@z 99",
                                     [&s](const Value& x) { return status_known(s, static_cast<int>(x.number().to_int64())); });
        if (code) v.set("OPC_TRAN", Value(*code));
      }
      break;
    }

    case 67: {
      MensArgs m;
      m.code = 0;
      m.text = S("Pasta vazia não transfere p/a Receita. ALT P preenche com o Padrão"_cp);
      m.left = std::string("C");
      mens(s, m);
      not_available(s);
      break;
    }

    case 73:
      if (!ask_drive(s)) return false;
      (void)areas(s).close(9);
      set_caption(s, 73, compress_all_caption(s));
      not_available(s);
      reopen_contributors(s);
      break;

    case 74:
      (void)areas(s).close(9);
      if (!ask_drive(s)) {
        reopen_contributors(s);
        return false;
      }
      set_caption(s, 74, uncompress_all_caption(s));
      not_available(s);
      reopen_contributors(s);
      break;

    case 75:
    case 76:
      (void)areas(s).close(9);
      not_available(s);
      reopen_contributors(s);  // in every case, not only when it failed
      break;

    case 77: {
      const bool seven = v.c("PROGCOMP") == "S";
      const std::string current = seven ? "7zip" : "ICE", other = seven ? "ICE" : "7zip";
      if (ask_yes(s, {"Para compactar esta configurado para utilizar",
                      "o programa " + current + ". Troca para o " + other + " ?"}))
        v.set("PROGCOMP", Value(seven ? "N" : "S"));
      break;
    }

    case 78: {
      if (v.c("PROGCOMP") == "N") {
        mens(s, 11, "O programa ICE não funciona em 64 bits. Troque para o 7Z"_cp);
        return false;
      }
      const bool b32 = v.c("PROCESSA") == "S";
      const std::string current = b32 ? "32" : "64", other = b32 ? "64" : "32";
      if (ask_yes(s, {"O programa para compactar esta configurado para ser ",
                      "usado em processador de " + current + " bits. Troca para " + other + " bits?"}))
        v.set("PROCESSA", Value(b32 ? "N" : "S"));
      break;
    }

    default:
      // Items whose function comes with a later version of the program
      // (11-16, 21-28, 30-34, 51, 53, 68, 71, 72).
      if (pulldown_of(id) == 0) return false;
      not_available(s);
      break;
  }

  // After the action.
  if (id >= 73 && id <= 76) draw_background(s);
  if (settings) close_settings(s);
  if (backup_made) {
    if (!areas(s).area(9)) reopen_contributors(s);
    v.set("ULTBACK", Value(s.clock().today() + 4));
    (void)store_configuration(s, {"ULTBACK", "XDRIVE", "ROTABACK"});
  }
  if (id == 77 || id == 78) (void)store_office(s, {"PROCESSA", "PROGCOMP"});
  return false;
}

}  // namespace kx
