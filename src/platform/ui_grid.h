// The scrolling grid: rows of a source shown in columns with headers,
// widths and pictures, a current row and column, frozen columns kept in
// view on the left.
//
// Layout in the rectangle: the headers on its first row, the heading
// separator ("─" with "┬" under each column separator) on the second, the
// rows, and with a footing the separator ("─" with "┴") on its last row
// (the row above it when columns have footing texts, which go last).
// Columns are separated by "│".
//
// The grid moves itself: Up/Down, PgUp/PgDn (a page), Ctrl+PgUp/Ctrl+PgDn
// (first/last row), Right/Left (next/previous column, scrolling), Home/End
// (first/last visible column), Ctrl+Left/Ctrl+Right (scroll the columns),
// Ctrl+Home/Ctrl+End (first/last column).  Every other key, and a move
// that runs into the first or last row, goes to the caller's handler,
// which decides whether the grid goes on or stops.  With the append row on,
// Down from the last row reaches an empty row below it (row rows()+1); the
// record-list editor builds its append mode on it.  A click on a cell makes
// it current; a click elsewhere goes to the handler.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/input.h"
#include "platform/picture.h"
#include "platform/screen.h"
#include "platform/value.h"

namespace kx {

class Console;

struct GridColumn {
  GridColumn(std::string header_text, int width_chars, std::string picture_text = {},
             std::optional<NumberShape> number_shape = std::nullopt, std::string footing_text = {})
      : header(std::move(header_text)),
        width(width_chars),
        picture(std::move(picture_text)),
        shape(number_shape),
        footing(std::move(footing_text)) {}
  std::string header;
  int width = 10;
  std::string picture;
  std::optional<NumberShape> shape;
  std::string footing;  // shown under the footing separator (a totals line)
};

// Where the rows come from (a table, a matrix in memory).
class GridSource {
 public:
  virtual ~GridSource() = default;
  virtual int rows() const = 0;
  virtual Value cell(int row, int col) const = 0;  // both 1-based
};

struct GridColours {
  Attr normal{0x1E};
  Attr current_row{0x1F};
  Attr current_cell{0x4F};
  Attr header{0x1F};
};

class Grid {
 public:
  enum class Action { Continue, Stop };
  using Handler = std::function<Action(Grid& grid, int key)>;

  Grid(Rect area, std::vector<GridColumn> columns, GridSource& source, GridColours colours = {});

  void set_frozen(int n) { frozen_ = n; }
  void set_footing(bool on) { footing_ = on; }
  void set_append_row(bool on) { append_ = on; }
  // Whether the current row is highlighted (off when a list is only shown).
  void set_show_current(bool on) { show_current_ = on; }
  bool append_row() const { return append_; }

  int row() const { return row_; }  // 1-based; rows()+1 on the append row
  int col() const { return col_; }  // 1-based
  void set_row(int r);
  void set_col(int c);
  bool on_append_row() const { return row_ > source_.rows(); }
  const std::vector<GridColumn>& columns() const { return columns_; }
  GridSource& source() { return source_; }

  // Moves for a movement key; false for any other key and for a move that
  // runs into the first or last row.
  bool move(int key);
  // Moves to the data cell at a screen place (a click); false outside the cells.
  bool click(int screen_row, int screen_col);

  void draw(Screen& screen);
  // The screen place of the current cell (one row high), for an edit field.
  Rect cell_rect() const;
  int data_rows() const;  // rows of the rectangle that show data

  // Called while no key is pressed, every `every` (the usage clock and the
  // agenda alarms of the record lists).
  struct Idle {
    Millis every{1000};
    std::function<void()> tick;
  };

  // Draws, reads keys and moves until the handler says Stop; returns the
  // key it stopped on.
  int run(Console& console, const Handler& handler, const Idle& idle);
  int run(Console& console, const Handler& handler);

 private:
  void fit();  // keeps the current row and column in view
  std::vector<int> visible_columns() const;

  Rect area_;
  std::vector<GridColumn> columns_;
  GridSource& source_;
  GridColours colours_;
  int frozen_ = 0;
  bool footing_ = false;
  bool append_ = false;
  bool show_current_ = true;
  int row_ = 1, col_ = 1;
  int top_ = 1;       // first row shown
  int left_col_ = 1;  // first scrolling column shown
};

}  // namespace kx
