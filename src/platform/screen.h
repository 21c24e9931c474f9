// The screen: 25 rows of 80 cells, each a CP850 byte and an attribute.
//
// The screen is the one truth of what is shown: every drawing writes into
// it, saved areas are copied out of it and back, tests read it, and the
// terminal adapter shows it.  Coordinates are 0-based (row 0-24, column
// 0-79); whatever falls outside is clipped, never an error.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/colour.h"

namespace kx {

struct Cell {
  unsigned char ch = ' ';
  Attr attr{};
  friend bool operator==(const Cell&, const Cell&) = default;
};

// A rectangle, inclusive on all sides.
struct Rect {
  int top = 0, left = 0, bottom = 0, right = 0;
  int height() const { return bottom - top + 1; }
  int width() const { return right - left + 1; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A saved screen area: the rectangle as asked (it may reach off-screen) and
// the cells of its on-screen part.
struct SavedArea {
  Rect rect;
  std::vector<Cell> cells;  // row by row over `rect`; off-screen cells are kept blank
};

enum class CursorShape : std::uint8_t { Overwrite, Insert };

class Screen {
 public:
  static constexpr int kRows = 25;
  static constexpr int kCols = 80;

  Screen() { clear(); }

  static bool inside(int row, int col) { return row >= 0 && row < kRows && col >= 0 && col < kCols; }

  const Cell& at(int row, int col) const;  // off-screen gives a blank W/N cell
  void put(int row, int col, unsigned char ch, Attr a);
  // Text from (row, col) to the right; what passes column 79 is clipped.
  void write(int row, int col, std::string_view text, Attr a);
  // The same text keeping the attributes already on screen.
  void write_keep(int row, int col, std::string_view text);
  // Recolours `len` cells from (row, col).
  void recolour(int row, int col, int len, Attr a);
  void fill(const Rect& r, unsigned char ch, Attr a);
  // A single-line box on the rectangle's edges (the inside is left as it is).
  void frame(const Rect& r, Attr a);
  void clear(Attr a = Attr{0x07});

  SavedArea save(const Rect& r) const;
  void restore(const SavedArea& area);

  // Reading back (tests and the demo).
  std::string text(int row, int col, int len) const;  // CP850 bytes
  std::string row_text(int row) const { return text(row, 0, kCols); }
  Attr attr(int row, int col) const { return at(row, col).attr; }
  // The whole screen as 25 lines of UTF-8 with trailing blanks kept.
  std::string dump_utf8() const;

  // The cursor: where typing happens, whether it shows and its shape.
  int cursor_row() const { return cur_row_; }
  int cursor_col() const { return cur_col_; }
  bool cursor_visible() const { return cur_visible_; }
  CursorShape cursor_shape() const { return cur_shape_; }
  void set_cursor(int row, int col);
  void show_cursor(bool on) { cur_visible_ = on; }
  void set_cursor_shape(CursorShape s) { cur_shape_ = s; }

  // Bumped by every change, so the adapter can tell whether to redraw.
  std::uint64_t version() const { return version_; }

 private:
  std::array<Cell, kRows * kCols> cells_{};
  int cur_row_ = 0, cur_col_ = 0;
  bool cur_visible_ = true;
  CursorShape cur_shape_ = CursorShape::Overwrite;
  std::uint64_t version_ = 0;
};

}  // namespace kx
