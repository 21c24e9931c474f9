#include "shell/pickers.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "shell/calculator.h"
#include "shell/messages.h"
#include "shell/windows.h"

namespace kx {
namespace {

int int_var(Session& s, std::string_view name) {
  const Value& v = s.vars().get(name);
  return v.type() == Type::N ? static_cast<int>(v.number().to_int64()) : 0;
}

int clamp_pos(int p, int count) { return std::clamp(p, 1, std::max(1, count)); }

void open_calculator(Session& s) { calculadora(s, 9, int_var(s, "LCAL"), int_var(s, "CCAL")); }

// The help line of option p: MENSMENU as a list (one line per option) or a text.
std::string help_line(Session& s, int p) {
  Vars& v = s.vars();
  if (!v.has("MENSMENU")) return {};
  if (v.is_list("MENSMENU")) {
    const auto& l = v.list("MENSMENU");
    if (p >= 1 && p <= static_cast<int>(l.size()) && l[static_cast<std::size_t>(p - 1)].is_text())
      return l[static_cast<std::size_t>(p - 1)].text();
    return {};
  }
  return v.get("MENSMENU").is_text() ? v.c("MENSMENU") : std::string{};
}

// Home, End, Down and Up move the current choice, without wrapping; false for
// any other key.
bool move_choice(int k, int& pos, int count) {
  switch (k) {
    case key::Home:
      pos = 1;
      return true;
    case key::End:
      pos = count;
      return true;
    case key::Down:
      pos = std::min(count, pos + 1);
      return true;
    case key::Up:
      pos = std::max(1, pos - 1);
      return true;
    default:
      return false;
  }
}

}  // namespace

int esc_opcao(Session& s, int slot, int count, int col, int width, int row_offset, bool close, bool help) {
  Windows& win = s.part<Windows>();
  const WindowSlot* w = win.slot(slot);
  Console& con = console_of(s);
  Screen& scr = con.screen();
  Vars& vars = s.vars();
  if (!w || count < 1) return 0;
  const Attr chosen = colour_var(s, "COR_ESCOL");
  const Attr plain = colour_var(s, "COR_TEL1");
  const std::string hot = cp850::upper(vars.get("OPCOES").is_text() ? vars.c("OPCOES") : std::string{});
  auto row_of = [&](int p) { return w->top + row_offset + p - 1; };
  int pos = clamp_pos(int_var(s, "POSVER"), count);
  int shown = 0;  // the highlighted option
  bool done = false;
  int result = 0;
  scr.show_cursor(false);
  while (!done) {
    if (shown != pos) {
      if (shown) scr.recolour(row_of(shown), w->left + col, width, plain);
      scr.recolour(row_of(pos), w->left + col, width, chosen);
      shown = pos;
      MensArgs m;
      if (help) {
        m.code = 0;
        m.text = help_line(s, pos);
        m.left = std::string("C");
      }
      mens(s, m);
      scr.show_cursor(false);
    }
    const InputEvent ev = con.wait_event();
    const int k = ev.key;
    if (move_choice(k, pos, count)) continue;
    switch (k) {
      case key::Enter:
        result = pos;
        done = true;
        break;
      case key::Esc:
        result = 0;
        done = true;
        break;
      case key::AltA:
        open_calculator(s);
        break;
      case key::MouseLeft:
        if (ev.row >= row_of(1) && ev.row <= row_of(count) && ev.col >= w->left + col &&
            ev.col < w->left + col + width) {
          pos = ev.row - row_of(1) + 1;
          result = pos;
          done = true;
        }
        break;
      default:
        if (key::is_printable(k)) {
          const char up = static_cast<char>(cp850::upper(static_cast<unsigned char>(k)));
          const auto at = hot.find(up);
          if (at != std::string::npos && static_cast<int>(at) < count) {
            pos = static_cast<int>(at) + 1;
            result = pos;
            done = true;
          }
        }
    }
  }
  if (shown != pos) {  // a hot letter: show what was chosen
    if (shown) scr.recolour(row_of(shown), w->left + col, width, plain);
    scr.recolour(row_of(pos), w->left + col, width, chosen);
  }
  vars.set("ULTPOS", pos);
  vars.set("POSVER", result);
  win.close(10);
  if (close) win.close(slot);
  return result;
}

int esc_item(Session& s, int slot, int count, int col, int row_offset, bool close) {
  Windows& win = s.part<Windows>();
  const WindowSlot* w = win.slot(slot);
  Console& con = console_of(s);
  Screen& scr = con.screen();
  Vars& vars = s.vars();
  if (!w || count < 1) return 0;
  auto row_of = [&](int p) { return w->top + row_offset + p - 1; };
  int item = clamp_pos(int_var(s, "ULTESC"), count);
  int marked = 0;
  int result = -1;
  scr.show_cursor(false);
  while (result < 0) {
    if (marked != item) {
      if (marked) scr.write_keep(row_of(marked), w->left + col, " ");
      scr.write_keep(row_of(item), w->left + col, "*");
      marked = item;
    }
    const InputEvent ev = con.wait_event();
    if (move_choice(ev.key, item, count)) continue;
    switch (ev.key) {
      case key::Enter:
        result = item;
        break;
      case key::Esc:
        result = 0;
        break;
      case key::AltA:
        open_calculator(s);
        break;
      case key::MouseLeft:
        if (ev.row >= row_of(1) && ev.row <= row_of(count)) {
          item = ev.row - row_of(1) + 1;
          result = item;
        }
        break;
      default:
        break;
    }
  }
  if (marked != item) {
    if (marked) scr.write_keep(row_of(marked), w->left + col, " ");
    scr.write_keep(row_of(item), w->left + col, "*");
  }
  vars.set("ULTESC", item);
  win.close(10);
  if (close) win.close(slot);
  return result;
}

}  // namespace kx
