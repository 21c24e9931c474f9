#include "shell/help.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"
#include "shell/messages.h"
#include "shell/pickers.h"
#include "shell/windows.h"
#include "store/opening.h"
#include "store/work_areas.h"

namespace kx {
namespace {

constexpr int kSlot = 8, kWidth = 52, kMaxRows = 13, kHelpTable = 45;

// Whether a help window is shown (one at a time).
struct HelpState {
  bool showing = false;
};

int number_of(Session& s, std::string_view name) {
  if (!s.vars().has(name)) return 0;
  const Value& v = s.vars().get(name);
  return v.type() == Type::N ? static_cast<int>(v.number().to_int64()) : 0;
}

// The text broken into lines of at most `width` characters, at blanks when
// possible; line breaks of the text are kept.
std::vector<std::string> wrap(std::string_view text, std::size_t width) {
  std::vector<std::string> out;
  std::string para;
  auto flush = [&](bool force) {
    while (para.size() > width) {
      std::size_t cut = para.rfind(' ', width);
      if (cut == std::string::npos || cut == 0) cut = width;
      out.push_back(rtrim(para.substr(0, cut)));
      para.erase(0, cut);
      if (!para.empty() && para[0] == ' ') para.erase(0, 1);
    }
    if (force) {
      out.push_back(rtrim(para));
      para.clear();
    }
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') continue;
    if (c == '\n') {
      flush(true);
      continue;
    }
    para += c == '\t' ? ' ' : c;
  }
  if (!para.empty()) flush(true);
  while (!out.empty() && out.back().empty()) out.pop_back();
  return out;
}

// The help text, or nothing when table 45 or the name is not there.
std::optional<std::string> help_text(Session& s, const std::string& name) {
  const std::string program = folder_path(s, Folder::Program);
  Os& os = s.os();
  if (!file_exists(os, join_path(program, "HELPTXT.DBF")) || !file_exists(os, join_path(program, "HELPTXT.DBT")))
    return std::nullopt;
  WorkAreas& wa = s.part<WorkAreas>();
  const int before = wa.current_number();
  const bool progress = s.vars().has("MOS_MENS") && s.vars().l("MOS_MENS");
  if (progress) s.vars().set("MOS_MENS", false);
  std::optional<std::string> text;
  if (abertura(s, kHelpTable))
    if (Area* a = wa.area(kHelpTable); a && a->seek(Value(padr(name, 10))).ok() && a->found())
      if (auto v = a->get("TEXTO"); v.ok() && v->is_text()) text = v->text();
  if (progress) s.vars().set("MOS_MENS", true);
  (void)wa.close(kHelpTable);
  (void)wa.select(before);
  return text;
}

void show(Session& s, const std::vector<std::string>& lines) {
  Windows& win = s.part<Windows>();
  Console& con = s.part<Console>();
  const int rows = std::clamp(static_cast<int>(lines.size()), 1, kMaxRows);
  win.define(kSlot, number_of(s, "COR_TEL1"), number_of(s, "COR_TEL2"), number_of(s, "COR_TEL2"), 1, 0,
             rows + 2, 64, 2);
  win.open(kSlot);
  win.blank(kSlot);
  win.write_at(kSlot, 0, 2, "   H E L P       ");
  win.write_at(kSlot, rows + 1, 35, " <ALT P>  Imprime este HELP");
  const Attr text_colour = colour_var(s, "COR_2_CLI");
  const int last_top = std::max(0, static_cast<int>(lines.size()) - rows);
  int top = 0;
  con.log_message("HELP", lines);
  while (true) {
    for (int r = 0; r < rows; ++r) {
      const std::size_t i = static_cast<std::size_t>(top + r);
      con.screen().write(2 + r, 1, padr(i < lines.size() ? lines[i] : std::string(), 63), text_colour);
    }
    con.refresh();
    const int k = con.wait_key();
    if (k == key::Esc) break;
    if (k == key::Down) top = std::min(top + 1, last_top);
    else if (k == key::Up) top = std::max(top - 1, 0);
    else if (k == key::PgDn) top = std::min(top + rows, last_top);
    else if (k == key::PgUp) top = std::max(top - rows, 0);
    else if (k == key::Home || k == key::CtrlPgUp) top = 0;
    else if (k == key::End || k == key::CtrlPgDn) top = last_top;
    // Alt+P (printing the help) and other keys do nothing.
  }
  win.close(kSlot);
}

}  // namespace

void txt_help(Session& s, std::string_view name_in) {
  HelpState& state = s.part<HelpState>();
  if (state.showing) return;
  const std::string program = folder_path(s, Folder::Program);
  if (!file_exists(s.os(), join_path(program, "HELPTXT.DBF")) ||
      !file_exists(s.os(), join_path(program, "HELPTXT.DBT")))
    return;
  const std::string name = cp850::upper(trim(name_in));
  if (name.empty()) {
    mens(s, 1, " Help não encontrado..."_cp);
    return;
  }
  auto text = help_text(s, name);
  if (!text) return;
  state.showing = true;
  struct Done {
    HelpState& st;
    ~Done() { st.showing = false; }
  } done{state};
  show(s, wrap(*text, kWidth));
}

void mostra_help(Session& s, int choice, std::string_view field) {
  if (choice == 0) {
    Windows& win = s.part<Windows>();
    win.define(6, number_of(s, "COR_TEL1"), number_of(s, "COR_TEL2"), number_of(s, "COR_TEL2"), 8, 25, 13, 50, 2);
    win.open(6);
    const std::string options[] = {" Geral", " Tela", " Campo", std::string(" Funções"_cp)};
    for (int i = 0; i < 4; ++i) win.write_at(6, i + 1, 1, options[i]);
    if (s.vars().has("OPCOES")) s.vars().set("OPCOES", "GTCF");
    choice = esc_opcao(s, 6, 4, 1, 24, 0, true);
  }
  switch (choice) {
    case 1: txt_help(s, "GERAL"); break;
    case 2: txt_help(s, "TELA" + strzero(number_of(s, "TELA"), 2)); break;
    case 3: mos_help(s, field); break;
    case 4: txt_help(s, "FUNCOES"); break;
    default: break;
  }
}

void mos_help(Session& s, std::string_view field) {
  std::string name(trim(field));
  if (cp850::upper(name).starts_with("M->")) name.erase(0, 3);
  txt_help(s, name);
}

}  // namespace kx
