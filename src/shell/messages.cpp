#include "shell/messages.h"

#include <algorithm>
#include <sstream>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "platform/text.h"
#include "platform/ui_field.h"
#include "platform/ui_hotkeys.h"
#include "shell/windows.h"

namespace kx {
namespace {

using namespace kx::literals;

int number_var(Session& s, std::string_view name) {
  const Value& v = s.vars().get(name);
  return v.type() == Type::N ? static_cast<int>(v.number().to_int64()) : colour_or_default(v.text()).colour;
}

std::string answer_text(const Value& v) {
  if (v.is_text()) return rtrim(v.text());
  std::ostringstream os;
  os << v;
  return os.str();
}

// The rows of a window text as the user sees them (for the log).
std::vector<std::string> rows_of(std::string_view text, int width) {
  std::vector<std::string> out;
  const std::string plain = plain_text(text);
  if (width < 1) width = 1;
  for (std::size_t i = 0; i < plain.size(); i += static_cast<std::size_t>(width))
    out.push_back(plain.substr(i, static_cast<std::size_t>(width)));
  if (out.empty()) out.emplace_back();
  return out;
}

void blank_bottom(Screen& scr) { scr.fill(Rect{24, 0, 24, 79}, ' ', colour_or_default("GR+/B")); }

}  // namespace

Attr colour_var(Session& s, std::string_view name) {
  const Value& v = s.vars().get(name);
  if (v.type() == Type::N) return Attr(static_cast<int>(v.number().to_int64()));
  return colour_or_default(v.text());
}

Value mens(Session& s, const MensArgs& a) {
  Console& con = console_of(s);
  Screen& scr = con.screen();
  Vars& vars = s.vars();
  Windows& win = s.part<Windows>();
  if (!a.code || a.text.empty()) {
    blank_bottom(scr);
    return Value("");
  }
  const int code = *a.code;
  const int frame = code / 10, mode = code % 10;
  scr.show_cursor(false);

  std::string text = a.text;
  const int prompt_len = static_cast<int>(text.size());
  int field_width = 0;
  std::optional<NumberShape> shape;
  if (mode == 4) {
    const Value& v = vars.get(a.letters);
    switch (v.type()) {
      case Type::C:
      case Type::M:
        field_width = static_cast<int>(v.text().size());
        break;
      case Type::N:
        field_width = a.width.value_or(10);
        shape = NumberShape{field_width, 0};
        break;
      case Type::D:
        field_width = 10;
        break;  // dd/mm/yyyy: the century is always shown
      case Type::L:
        field_width = 1;
        break;
    }
    text += space(field_width);
  }
  const int len = static_cast<int>(text.size());
  const int lines = std::max(1, a.lines);
  int width = len + 2;
  if (lines > 1) {
    width = (len + 2) / lines + 1;
    int target = lines * width;
    if (frame != 7) target -= lines + 1;
    if (len < target) text = padr(text, target);
  }

  const int top = a.top.value_or(20);
  int left = 75 - width;
  if (const int* n = std::get_if<int>(&a.left)) left = *n;
  if (const std::string* t = std::get_if<std::string>(&a.left)) {
    if (*t == "E" || *t == "e")
      left = 2;
    else if (*t == "C" || *t == "c")
      left = (80 - width) / 2;
  }
  // The default column is never negative (a long text starts at the edge).
  if (std::holds_alternative<std::monostate>(a.left) || std::holds_alternative<std::string>(a.left))
    left = std::max(frame == 1 ? 1 : 0, left);

  if (mode == 0) {
    blank_bottom(scr);
    const std::string plain = plain_text(text);
    const auto* align = std::get_if<std::string>(&a.left);
    const int col = align && (*align == "C" || *align == "c") ? CENTER(plain) : 1;
    scr.write(24, col, plain, colour_or_default("GR+/B"));
    scr.show_cursor(true);
    con.log_message("MENS0", {plain});
    con.refresh();  // a notice is often followed by work without a key wait
    return Value("");
  }

  if (frame == 7) width += 1;
  const int slot = a.slot;
  const bool reuse = mode == 3 && width == number_var(s, "TAM_OLD") && lines == number_var(s, "NL_OLD") &&
                     frame == number_var(s, "CONT_OLD") && win.is_open(slot);
  if (!reuse) {
    win.define(slot, number_var(s, "COR_TEL1"), number_var(s, "COR_TEL2"),
               number_var(s, frame == 7 ? "COR_TEL3" : "COR_TEL2"), top, left, top + lines + 1, left + width,
               frame);
    win.open(slot);
    win.blank(slot, lines);
  }
  win.write(slot, text);
  vars.set("TAM_OLD", width);
  vars.set("NL_OLD", lines);
  vars.set("CONT_OLD", frame);
  con.flush_keys();

  const WindowSlot* w = win.slot(slot);
  const int usable = w->usable_right() - w->left + 1;
  const std::size_t entry = con.log_message("MENS" + std::to_string(code), rows_of(text, usable));

  switch (mode) {
    case 1:
    case 5: {
      if (mode == 1) con.beep();
      con.wait_key();
      win.close(slot);
      return Value("");
    }
    case 2: {
      const std::string letters = cp850::upper(a.letters);
      while (true) {
        const int k = con.wait_key();
        if (!key::is_printable(k)) continue;
        const char up = static_cast<char>(cp850::upper(static_cast<unsigned char>(k)));
        if (letters.find(up) != std::string::npos) {
          win.close(slot);
          con.answer(entry, std::string(1, up));
          return Value(std::string(1, up));
        }
      }
    }
    case 4: {
      const int row = w->top + lines - 1;
      const int col = lines == 1 ? w->left + prompt_len + 1 : w->usable_right() - field_width + 1;
      std::vector<GetField> fields{
          var_field(vars, a.letters, row, col, a.picture.empty() ? "@KS" : a.picture, shape)};
      if (a.valid) {
        auto check = a.valid;
        fields[0].valid = [check](const Value& v) { return ValidResult::of(check(v)); };
      }
      ReadOptions opts;
      opts.edit_colour = colour_var(s, "COR_GET");
      opts.shown_colour = w->attr(1);
      opts.notice_colour = colour_var(s, "COR_CLI_HE");
      opts.hot_keys = &s.part<HotKeys>();
      const ReadResult r = read_fields(con, fields, opts);
      if (r.last_key == key::Esc) {
        const Type t = vars.get(a.letters).type();
        vars.set(a.letters, t == Type::D ? Value(s.clock().today()) : Value::blank(t));
      }
      win.close(slot);
      const Value result = vars.get(a.letters);
      con.answer(entry, r.last_key == key::Esc ? "Esc" : answer_text(result));
      return result;
    }
    default:
      con.refresh();  // mode 3: the window stays open while the caller works
      return Value("");
  }
}

void mens(Session& s, int code, std::string_view text) {
  MensArgs a;
  a.code = code;
  a.text = std::string(text);
  mens(s, a);
}

std::string mens_ask(Session& s, int code, std::string_view text, std::string_view letters) {
  MensArgs a;
  a.code = code;
  a.text = std::string(text);
  a.letters = std::string(letters);
  return mens(s, a).text();
}

// ---- AVISOSN ----------------------------------------------------------------

namespace {

struct Buttons {
  std::vector<std::string> captions;
};

Buttons buttons_of(int kind) {
  switch (kind) {
    case 1:
    case 2:
      return {{"Sim", std::string("Não"_cp)}};
    case 3:
      return {{"Sim", std::string("Não"_cp), "Ignore"}};
    case 4:
      return {{"Sim", std::string("Não"_cp), "Fim"}};
    case 5:
      return {{"1", "2", "3"}};
    case 7:
      return {{"1", "2", "3", "4", "5", "6", "7"}};
    default:
      return {{"Ok"}};
  }
}

// The answer for button `b` (0-based), or for Esc when b is -1.
Value answer_of(int kind, int b) {
  switch (kind) {
    case 1:
      return Value(b + 1);
    case 2:
      return Value(b == 0 ? "S" : "N");
    case 3:
      return Value(b < 0 ? "N" : b == 0 ? "S" : b == 1 ? "N" : "I");
    case 4:
      return Value(b < 0 ? "N" : b == 0 ? "S" : b == 1 ? "N" : "F");
    case 5:
      return Value(std::to_string(b + 1));
    case 7:
      return Value(b + 1);
    default:
      return Value("");
  }
}

}  // namespace

Value avisosn(Session& s, const std::vector<std::string>& lines_in, int kind) {
  Console& con = console_of(s);
  Screen& scr = con.screen();
  const Buttons bt = buttons_of(kind);
  std::vector<std::string> lines;
  for (const auto& l : lines_in) lines.push_back(plain_text(l).substr(0, 74));
  if (lines.size() > 19) lines.resize(19);

  // Buttons: " Sim " each, two blanks apart.
  int buttons_len = 0;
  for (const auto& c : bt.captions) buttons_len += static_cast<int>(c.size()) + 2;
  buttons_len += 2 * (static_cast<int>(bt.captions.size()) - 1);
  int inner = buttons_len;
  for (const auto& l : lines) inner = std::max(inner, static_cast<int>(l.size()));
  const int width = inner + 4;
  const int height = static_cast<int>(lines.size()) + 4;
  const Rect box{(25 - height) / 2, (80 - width) / 2, (25 - height) / 2 + height - 1,
                 (80 - width) / 2 + width - 1};
  const SavedArea saved = scr.save(box);
  const Attr colour = colour_var(s, "COR_SAY");
  const Attr chosen = colour_var(s, "COR_ESCOL");
  scr.fill(box, ' ', colour);
  // Frame.
  for (int c = box.left + 1; c < box.right; ++c) {
    scr.put(box.top, c, 0xC4, colour);
    scr.put(box.bottom, c, 0xC4, colour);
  }
  for (int r = box.top + 1; r < box.bottom; ++r) {
    scr.put(r, box.left, 0xB3, colour);
    scr.put(r, box.right, 0xB3, colour);
  }
  scr.put(box.top, box.left, 0xDA, colour);
  scr.put(box.top, box.right, 0xBF, colour);
  scr.put(box.bottom, box.left, 0xC0, colour);
  scr.put(box.bottom, box.right, 0xD9, colour);
  for (std::size_t i = 0; i < lines.size(); ++i)
    scr.write(box.top + 1 + static_cast<int>(i), box.left + 2, lines[i], colour);

  const int brow = box.bottom - 1;
  const int bleft = box.left + 2 + (inner - buttons_len) / 2;
  std::vector<int> bcol;
  {
    int c = bleft;
    for (const auto& cap : bt.captions) {
      bcol.push_back(c);
      c += static_cast<int>(cap.size()) + 4;
    }
  }
  const std::size_t entry = con.log_message("AVISOSN" + std::to_string(kind), lines);
  con.flush_keys();
  const bool hidden = !scr.cursor_visible();
  scr.show_cursor(false);
  int sel = 0;
  const int n = static_cast<int>(bt.captions.size());
  int result = -2;
  while (result == -2) {
    for (int b = 0; b < n; ++b)
      scr.write(brow, bcol[static_cast<std::size_t>(b)], " " + bt.captions[static_cast<std::size_t>(b)] + " ",
                b == sel ? chosen : colour);
    const InputEvent ev = con.wait_event();
    const int k = ev.key;
    if (k == key::Esc)
      result = -1;
    else if (k == key::Enter)
      result = sel;
    else if (k == key::Left || k == key::ShiftTab)
      sel = (sel + n - 1) % n;
    else if (k == key::Right || k == key::Tab)
      sel = (sel + 1) % n;
    else if (k == key::MouseLeft && ev.row == brow) {
      for (int b = 0; b < n; ++b) {
        const int c0 = bcol[static_cast<std::size_t>(b)];
        if (ev.col >= c0 &&
            ev.col < c0 + static_cast<int>(bt.captions[static_cast<std::size_t>(b)].size()) + 2)
          result = b;
      }
    } else if (key::is_printable(k)) {
      const unsigned char up = cp850::upper(static_cast<unsigned char>(k));
      for (int b = 0; b < n; ++b)
        if (cp850::upper(static_cast<unsigned char>(bt.captions[static_cast<std::size_t>(b)][0])) == up) {
          result = b;
          break;
        }
    }
  }
  scr.restore(saved);
  scr.show_cursor(!hidden);
  con.answer(entry, result < 0 ? "Esc" : bt.captions[static_cast<std::size_t>(result)]);
  if (result < 0) {
    switch (kind) {
      case 1:
      case 7:
        return Value(0);
      case 5:
        return Value("0");
      case 2:
      case 3:
      case 4:
        return Value("N");
      default:
        return Value("");
    }
  }
  return answer_of(kind, result);
}

Value avisosn(Session& s, std::string_view line, int kind) {
  return avisosn(s, std::vector<std::string>{std::string(line)}, kind);
}

void aviso(Session& s, std::string_view text, int row, int col) {
  Console& con = console_of(s);
  const std::string plain = plain_text(text);
  con.screen().write(row, col, plain, colour_var(s, "COR_CLI_HE"));
  con.log_message("AVISO", {plain});
  con.refresh();
}

void beep_erro(Session& s, int repetitions) {
  Console& con = console_of(s);
  for (int r = 0; r < repetitions; ++r)
    for (int t = 0; t < 2; ++t) {
      con.beep(300, 1);
      con.beep(499, 1);
    }
}

}  // namespace kx
