#include "shell/windows.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/session.h"

namespace kx {
namespace {

constexpr unsigned char kShade = 0xB0;

}  // namespace

Console& console_of(Session& s) { return s.part<Console>(); }

Attr WindowSlot::attr(int which) const {
  if (which < 1 || which > 3) which = 1;
  return colour_or_default(colour[which - 1]);
}

Rect WindowSlot::covered() const {
  switch (frame) {
    case 1:
      return Rect{top - 1, left - 1, bottom, right};
    case 7:
      return Rect{top, left, bottom + 2, right + 1};
    default:
      return Rect{top, left, bottom, right};
  }
}

std::string expand_runs(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == 4) {
      if (i + 2 >= text.size()) break;  // a run cut short draws nothing
      const int n = static_cast<unsigned char>(text[i + 1]);
      out.append(static_cast<std::size_t>(n), text[i + 2]);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string plain_text(std::string_view text) {
  std::string out;
  for (char c : expand_runs(text))
    if (c < 1 || c > 3) out += c;
  return out;
}

Windows::Windows(Session& s) : session_(s) {
  for (int n = 1; n <= 10; ++n) define(n, 48, 112, 7, 1, 1, 25, 80, 0);
}

WindowSlot* Windows::find(int number) {
  auto it = slots_.find(number);
  return it == slots_.end() ? nullptr : &it->second;
}

const WindowSlot* Windows::slot(int number) const {
  auto it = slots_.find(number);
  return it == slots_.end() ? nullptr : &it->second;
}

std::vector<Windows::Saved>::iterator Windows::saved_of(int slot) {
  for (auto it = saved_.begin(); it != saved_.end(); ++it)
    if (it->slot == slot) return it;
  return saved_.end();
}

void Windows::define(int slot, int c1, int c2, int c3, int top, int left, int bottom, int right, int frame) {
  WindowSlot& w = slots_[slot];
  w.number = slot;
  w.colour[0] = achacor(c1);
  w.colour[1] = achacor(c2);
  w.colour[2] = achacor(c3);
  w.top = top;
  w.left = left;
  w.bottom = frame == 7 ? bottom + 2 : bottom;
  w.right = right;
  w.frame = frame;
  w.text.clear();
}

void Windows::set_colour(int slot, int which, int number) {
  if (slot == 0) slot = 10;
  WindowSlot* w = find(slot);
  if (!w || which < 1 || which > 3) return;
  w->colour[which - 1] = achacor(number);
}

bool Windows::is_open(int slot) const {
  for (const auto& s : saved_)
    if (s.slot == slot) return true;
  return false;
}

void Windows::draw_frame(const WindowSlot& w) {
  Screen& scr = console_of(session_).screen();
  if (w.frame == 1) scr.frame(Rect{w.top - 1, w.left - 1, w.bottom - 1, w.right - 1}, w.attr(2));
  if (w.frame == 2) scr.frame(Rect{w.top, w.left, w.bottom, w.right}, w.attr(2));
}

void Windows::open(int slot) {
  WindowSlot* w = find(slot);
  if (!w) return;
  Screen& scr = console_of(session_).screen();
  if (auto it = saved_of(slot); it != saved_.end()) {
    scr.restore(it->area);
    saved_.erase(it);
  }
  saved_.push_back(Saved{slot, scr.save(w->covered())});
  draw_frame(*w);
}

void Windows::close(int slot) {
  auto it = saved_of(slot);
  if (it == saved_.end()) return;
  console_of(session_).screen().restore(it->area);
  saved_.erase(it);
}

void Windows::blank(int slot, int rows) {
  const WindowSlot* w = find(slot);
  if (!w) return;
  int bottom = w->frame == 1 || w->frame == 7 ? w->bottom - 2 : w->bottom;
  if (rows > 0) bottom = std::min(bottom, w->top + rows - 1);
  console_of(session_).screen().fill(Rect{w->top, w->left, bottom, w->usable_right()}, ' ', w->attr(1));
}

void Windows::draw_text(const WindowSlot& w, std::string_view text) {
  Screen& scr = console_of(session_).screen();
  const std::string expanded = expand_runs(text);
  const int usable = w.usable_right();
  const Attr shade = w.attr(3);
  int row = w.top, col = w.left;
  Attr colour = w.attr(1);
  for (char ch : expanded) {
    if (ch >= 1 && ch <= 3) {
      colour = w.attr(ch);
      continue;
    }
    if (col > usable) {
      if (w.frame == 7 && row != w.top) {
        scr.put(row, col, kShade, shade);
        scr.put(row, col + 1, kShade, shade);
      }
      ++row;
      col = w.left;
    }
    scr.put(row, col, static_cast<unsigned char>(ch), colour);
    ++col;
  }
  if (w.frame == 7) {
    scr.put(row, usable + 1, kShade, shade);
    scr.put(row, usable + 2, kShade, shade);
    for (int c = 0; c < usable - w.left + 2; ++c) scr.put(row + 1, w.left + 1 + c, kShade, shade);
  }
}

void Windows::write(int slot, std::string_view text) {
  Screen& scr = console_of(session_).screen();
  if (slot == 0) {
    // The bottom row: its own three colours.
    const Attr colours[3] = {colour_or_default("GR+/B"), colour_or_default("W+/B"),
                             colour_or_default("W+/B")};
    const std::string expanded = expand_runs(text);
    Attr colour = colours[0];
    int col = 0;
    for (char ch : expanded) {
      if (ch >= 1 && ch <= 3) {
        colour = colours[ch - 1];
        continue;
      }
      scr.put(24, col++, static_cast<unsigned char>(ch), colour);
    }
    return;
  }
  WindowSlot* w = find(slot);
  if (!w) return;
  w->text = plain_text(text);
  draw_text(*w, text);
}

void Windows::write_at(int slot, int row, int col, std::string_view text) {
  Screen& scr = console_of(session_).screen();
  if (slot == 0) {
    scr.write_keep(24, col, plain_text(text));
    return;
  }
  const WindowSlot* w = find(slot);
  if (!w) return;
  scr.write_keep(w->top + row, w->left + col, plain_text(text));
}

void Windows::recolour(int slot, int row, int col, int number, int len) {
  const WindowSlot* w = find(slot);
  if (!w || row < 1 || col < 1) return;
  Screen& scr = console_of(session_).screen();
  const int width = w->usable_right() - w->left + 1;
  const std::size_t start = static_cast<std::size_t>((row - 1) * width + (col - 1));
  const Attr a(number);
  for (int k = 0; k < len; ++k) {
    const int r = w->top + row - 1, c = w->left + col - 1 + k;
    const std::size_t i = start + static_cast<std::size_t>(k);
    const unsigned char ch = i < w->text.size() ? static_cast<unsigned char>(w->text[i]) : scr.at(r, c).ch;
    scr.put(r, c, ch, a);
  }
}

bool Windows::move(int slot, int drow, int dcol) {
  WindowSlot* w = find(slot);
  if (!w) return false;
  WindowSlot moved = *w;
  moved.top += drow;
  moved.bottom += drow;
  moved.left += dcol;
  moved.right += dcol;
  const Rect r = moved.covered();
  // A window moved against the edge stays where it is.
  if (r.top < 0 || r.left < 0 || r.bottom >= Screen::kRows || r.right >= Screen::kCols) return false;
  const bool was_open = is_open(slot);
  if (was_open) close(slot);
  *w = moved;
  if (was_open) {
    open(slot);
    const std::string text = w->text;
    draw_text(*w, text);
  }
  return true;
}

bool Windows::move_vertical(int slot, int direction) { return move(slot, direction == 129 ? -1 : 1, 0); }
bool Windows::move_horizontal(int slot, int direction) { return move(slot, 0, direction == 129 ? -1 : 1); }

void fill_screen(Session& s, unsigned char ch, int number) {
  console_of(s).screen().fill(Rect{0, 0, Screen::kRows - 1, Screen::kCols - 1}, ch, Attr(number));
}

}  // namespace kx
