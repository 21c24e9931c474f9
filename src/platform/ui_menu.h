// The pull-down menu bar.
//
// A bar of captions on one row, each with a pull-down of items.  "&" in a
// caption marks its hot letter, shown in the hot colour.  An item caption
// that is one "─" is a separator row.  Keys while the bar runs:
//   Left/Right     the previous/next pull-down (wrapping)
//   Up/Down        the previous/next item (wrapping, separators and
//                  disabled items skipped); Home/End the first/last
//   Enter          chooses the highlighted item
//   a letter       chooses the item of the open pull-down with that hot letter
//   Alt+letter     opens the pull-down with that hot letter
//   a shortcut     chooses its item from anywhere in the bar (Alt+T, F-keys)
//   a click        on a caption opens its pull-down, on an item chooses it
//   Esc            leaves the bar (no item)
// Other keys go to the hot-key stack.  The help line of the highlighted item
// is shown on row 24.  Widgets draw only into the screen.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "platform/screen.h"

namespace kx {

class Console;
class HotKeys;

struct MenuItem {
  std::string caption;  // CP850, "&" before the hot letter
  int shortcut = 0;     // key number that chooses the item anywhere (0 none)
  std::string help;     // the line shown on row 24 while highlighted
  int id = 0;           // what the bar returns when the item is chosen
  bool enabled = true;
  bool separator() const;
};

struct Pulldown {
  std::string caption;
  std::vector<MenuItem> items;
};

// Colours in the order of the menu colour set (CORMENU): item,
// selected item, hot letter, selected hot letter, disabled item, frame.
struct MenuColours {
  Attr item{0x1E}, selected{0xC7}, hot{0x1F}, selected_hot{0x1F}, disabled{0x1F}, frame{0x1F};
  static MenuColours from_spec(std::string_view spec);
};

// The caption without its "&"; the hot letter (upper case) or 0.
std::string caption_text(std::string_view caption);
unsigned char hot_letter(std::string_view caption);

struct MenuPosition {
  int pulldown = 1;  // 1-based
  int item = 1;      // 1-based, within the pull-down
};

class MenuBar {
 public:
  MenuBar(std::vector<Pulldown> pulldowns, MenuColours colours, int row = 0);

  std::vector<Pulldown>& pulldowns() { return pulldowns_; }
  const std::vector<Pulldown>& pulldowns() const { return pulldowns_; }
  // The item with this id (to change its caption), or null.
  MenuItem* item(int id);

  // Runs the bar starting with `pos` open; returns the chosen item's id, or
  // 0 when left with Esc.  `pos` ends on the pull-down and item last shown.
  int run(Console& console, MenuPosition& pos, const HotKeys* hot_keys = nullptr);

  // Drawing pieces (also for tests).
  void draw_bar(Screen& screen, int highlighted) const;  // highlighted 1-based, 0 none
  int caption_col(int pulldown) const;                   // first column of its caption
  Rect pulldown_rect(int pulldown) const;                // the box of its items, frame included

 private:
  void draw_pulldown(Screen& screen, int pulldown, int item) const;
  int step(int pulldown, int item, int dir) const;  // next selectable item, or 0
  int first(int pulldown) const { return step(pulldown, 0, 1); }
  bool selectable(int pulldown, int item) const;
  const MenuItem& at(int pulldown, int item) const;

  std::vector<Pulldown> pulldowns_;
  MenuColours colours_;
  int row_;
};

}  // namespace kx
