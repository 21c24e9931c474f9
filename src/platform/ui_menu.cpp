#include "platform/ui_menu.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/text.h"
#include "platform/ui_hotkeys.h"

namespace kx {
namespace {

constexpr unsigned char kHoriz = 0xC4;

// Writes a caption, its hot letter in `hot`.
void write_caption(Screen& s, int row, int col, std::string_view caption, Attr normal, Attr hot) {
  bool mark = false;
  for (char c : caption) {
    if (c == '&' && !mark) {
      mark = true;
      continue;
    }
    s.put(row, col++, static_cast<unsigned char>(c), mark ? hot : normal);
    mark = false;
  }
}

std::string shortcut_label(int k) { return k ? key::key_name(k) : std::string{}; }

}  // namespace

bool MenuItem::separator() const {
  const std::string t = trim(caption);
  return !t.empty() &&
         std::all_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) == kHoriz; });
}

MenuColours MenuColours::from_spec(std::string_view spec) {
  MenuColours c;
  c.item = colour_slot(spec, 0);
  c.selected = colour_slot(spec, 1);
  c.hot = colour_slot(spec, 2);
  c.selected_hot = colour_slot(spec, 3);
  c.disabled = colour_slot(spec, 4);
  c.frame = colour_slot(spec, 5);
  return c;
}

std::string caption_text(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) continue;
    out += caption[i];
  }
  return out;
}

unsigned char hot_letter(std::string_view caption) {
  const auto amp = caption.find('&');
  if (amp == std::string_view::npos || amp + 1 >= caption.size()) return 0;
  return cp850::upper(static_cast<unsigned char>(caption[amp + 1]));
}

MenuBar::MenuBar(std::vector<Pulldown> pulldowns, MenuColours colours, int row)
    : pulldowns_(std::move(pulldowns)), colours_(colours), row_(row) {}

MenuItem* MenuBar::item(int id) {
  for (auto& p : pulldowns_)
    for (auto& i : p.items)
      if (i.id == id) return &i;
  return nullptr;
}

const MenuItem& MenuBar::at(int p, int i) const {
  return pulldowns_[static_cast<std::size_t>(p - 1)].items[static_cast<std::size_t>(i - 1)];
}

bool MenuBar::selectable(int p, int i) const {
  const auto& items = pulldowns_[static_cast<std::size_t>(p - 1)].items;
  if (i < 1 || i > static_cast<int>(items.size())) return false;
  const MenuItem& m = items[static_cast<std::size_t>(i - 1)];
  return m.enabled && !m.separator();
}

int MenuBar::step(int p, int i, int dir) const {
  const int n = static_cast<int>(pulldowns_[static_cast<std::size_t>(p - 1)].items.size());
  for (int k = 0; k < n; ++k) {
    i += dir;
    if (i > n) i = 1;
    if (i < 1) i = n;
    if (selectable(p, i)) return i;
  }
  return 0;
}

int MenuBar::caption_col(int p) const {
  int col = 0;
  for (int k = 1; k < p; ++k)
    col += static_cast<int>(caption_text(pulldowns_[static_cast<std::size_t>(k - 1)].caption).size()) + 2;
  return col;
}

Rect MenuBar::pulldown_rect(int p) const {
  const auto& items = pulldowns_[static_cast<std::size_t>(p - 1)].items;
  int width = 0;
  for (const auto& i : items) {
    int w = static_cast<int>(caption_text(i.caption).size());
    if (i.shortcut) w += 2 + static_cast<int>(shortcut_label(i.shortcut).size());
    width = std::max(width, w);
  }
  width += 4;  // frame and a blank on each side
  int left = caption_col(p);
  if (left + width > Screen::kCols) left = std::max(0, Screen::kCols - width);
  const int height = static_cast<int>(items.size()) + 2;
  return Rect{row_ + 1, left, std::min(row_ + height, Screen::kRows - 2), left + width - 1};
}

void MenuBar::draw_bar(Screen& s, int highlighted) const {
  s.fill(Rect{row_, 0, row_, Screen::kCols - 1}, ' ', colours_.item);
  for (int p = 1; p <= static_cast<int>(pulldowns_.size()); ++p) {
    const bool on = p == highlighted;
    const Attr normal = on ? colours_.selected : colours_.item;
    const Attr hot = on ? colours_.selected_hot : colours_.hot;
    const int col = caption_col(p);
    const std::string& cap = pulldowns_[static_cast<std::size_t>(p - 1)].caption;
    s.put(row_, col, ' ', normal);
    write_caption(s, row_, col + 1, cap, normal, hot);
    s.put(row_, col + 1 + static_cast<int>(caption_text(cap).size()), ' ', normal);
  }
}

void MenuBar::draw_pulldown(Screen& s, int p, int cur) const {
  const Rect r = pulldown_rect(p);
  const auto& items = pulldowns_[static_cast<std::size_t>(p - 1)].items;
  const Attr f = colours_.frame;
  s.fill(r, ' ', colours_.item);
  s.frame(r, f);
  for (int i = 1; i <= static_cast<int>(items.size()); ++i) {
    const int row = r.top + i;
    if (row >= r.bottom) break;
    const MenuItem& m = items[static_cast<std::size_t>(i - 1)];
    if (m.separator()) {
      s.put(row, r.left, 0xC3, f);
      for (int c = r.left + 1; c < r.right; ++c) s.put(row, c, kHoriz, f);
      s.put(row, r.right, 0xB4, f);
      continue;
    }
    const bool on = i == cur;
    const Attr normal = !m.enabled ? colours_.disabled : on ? colours_.selected : colours_.item;
    const Attr hot = !m.enabled ? colours_.disabled : on ? colours_.selected_hot : colours_.hot;
    s.fill(Rect{row, r.left + 1, row, r.right - 1}, ' ', normal);
    write_caption(s, row, r.left + 2, m.caption, normal, hot);
    if (m.shortcut) {
      const std::string label = shortcut_label(m.shortcut);
      s.write(row, r.right - 1 - static_cast<int>(label.size()), label, normal);
    }
  }
}

int MenuBar::run(Console& con, MenuPosition& pos, const HotKeys* hot_keys) {
  Screen& s = con.screen();
  const int n = static_cast<int>(pulldowns_.size());
  if (n == 0) return 0;
  pos.pulldown = std::clamp(pos.pulldown, 1, n);
  if (!selectable(pos.pulldown, pos.item)) pos.item = first(pos.pulldown);
  const bool cursor = s.cursor_visible();
  s.show_cursor(false);
  int chosen = -1;
  while (chosen < 0) {
    draw_bar(s, pos.pulldown);
    const SavedArea under = s.save(pulldown_rect(pos.pulldown));
    const SavedArea help_row = s.save(Rect{24, 0, 24, Screen::kCols - 1});
    draw_pulldown(s, pos.pulldown, pos.item);
    const std::string help = pos.item ? at(pos.pulldown, pos.item).help : std::string{};
    s.write(24, 0, padr(help, Screen::kCols), colours_.item);
    const InputEvent ev = con.wait_event();
    const int k = ev.key;
    int next_pulldown = pos.pulldown, next_item = pos.item;

    // Shortcut keys first: they work from anywhere in the bar.
    bool handled = false;
    for (int p = 1; p <= n && !handled; ++p)
      for (int i = 1; i <= static_cast<int>(pulldowns_[static_cast<std::size_t>(p - 1)].items.size()); ++i)
        if (k != 0 && at(p, i).shortcut == k && selectable(p, i)) {
          next_pulldown = p;
          next_item = i;
          chosen = at(p, i).id;
          handled = true;
          break;
        }
    if (!handled) {
      handled = true;
      switch (k) {
        case key::Left:
          next_pulldown = pos.pulldown == 1 ? n : pos.pulldown - 1;
          next_item = first(next_pulldown);
          break;
        case key::Right:
          next_pulldown = pos.pulldown == n ? 1 : pos.pulldown + 1;
          next_item = first(next_pulldown);
          break;
        case key::Down:
          next_item = step(pos.pulldown, pos.item, 1);
          break;
        case key::Up:
          next_item = step(pos.pulldown, pos.item, -1);
          break;
        case key::Home:
          next_item = first(pos.pulldown);
          break;
        case key::End:
          next_item = step(pos.pulldown, 0, -1);
          break;
        case key::Enter:
          if (pos.item) chosen = at(pos.pulldown, pos.item).id;
          break;
        case key::Esc:
          chosen = 0;
          break;
        case key::MouseLeft: {
          if (ev.row == row_) {
            for (int p = 1; p <= n; ++p) {
              const int c0 = caption_col(p);
              const int w =
                  static_cast<int>(caption_text(pulldowns_[static_cast<std::size_t>(p - 1)].caption).size()) +
                  2;
              if (ev.col >= c0 && ev.col < c0 + w) {
                next_pulldown = p;
                next_item = first(p);
              }
            }
          } else {
            const Rect r = pulldown_rect(pos.pulldown);
            const int i = ev.row - r.top;
            if (ev.col > r.left && ev.col < r.right && i >= 1 && i < r.height() - 1 &&
                selectable(pos.pulldown, i)) {
              next_item = i;
              chosen = at(pos.pulldown, i).id;
            }
          }
          break;
        }
        default:
          handled = false;
      }
    }
    if (!handled) {
      // Alt+letter opens a pull-down; a plain letter chooses an item.
      for (int p = 1; p <= n && !handled; ++p) {
        const unsigned char h = hot_letter(pulldowns_[static_cast<std::size_t>(p - 1)].caption);
        if (h && key::alt_letter(static_cast<char>(h)) == k) {
          next_pulldown = p;
          next_item = first(p);
          handled = true;
        }
      }
      if (!handled && key::is_printable(k)) {
        const unsigned char up = cp850::upper(static_cast<unsigned char>(k));
        const auto& items = pulldowns_[static_cast<std::size_t>(pos.pulldown - 1)].items;
        for (int i = 1; i <= static_cast<int>(items.size()); ++i)
          if (selectable(pos.pulldown, i) &&
              hot_letter(items[static_cast<std::size_t>(i - 1)].caption) == up) {
            next_item = i;
            chosen = items[static_cast<std::size_t>(i - 1)].id;
            handled = true;
            break;
          }
      }
      if (!handled && hot_keys) {
        HotKeyContext ctx{con, k, {}, std::nullopt, std::nullopt, false};
        run_hot_key(hot_keys, ctx);
      }
    }
    s.restore(help_row);
    s.restore(under);
    pos.pulldown = next_pulldown;
    pos.item = next_item;
  }
  draw_bar(s, pos.pulldown);
  s.show_cursor(cursor);
  return chosen;
}

}  // namespace kx
