#include "platform/ui_grid.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/keys.h"
#include "platform/text.h"

namespace kx {
namespace {
constexpr unsigned char kHoriz = 0xC4, kVert = 0xB3, kTee = 0xC2, kUpTee = 0xC1;
}

Grid::Grid(Rect area, std::vector<GridColumn> columns, GridSource& source, GridColours colours)
    : area_(area), columns_(std::move(columns)), source_(source), colours_(colours) {}

namespace {
bool has_footing_text(const std::vector<GridColumn>& cols) {
  for (const auto& c : cols)
    if (!c.footing.empty()) return true;
  return false;
}
}  // namespace

int Grid::data_rows() const {
  const int foot = footing_ ? (has_footing_text(columns_) ? 2 : 1) : 0;
  return std::max(1, area_.height() - 2 - foot);
}

void Grid::set_row(int r) {
  const int last = source_.rows() + (append_ ? 1 : 0);
  row_ = std::clamp(r, 1, std::max(1, last));
  fit();
}

void Grid::set_col(int c) {
  col_ = std::clamp(c, 1, std::max(1, static_cast<int>(columns_.size())));
  fit();
}

std::vector<int> Grid::visible_columns() const {
  std::vector<int> out;
  int used = 0;
  const int width = area_.width();
  const int n = static_cast<int>(columns_.size());
  auto add = [&](int c) {
    const int w = columns_[static_cast<std::size_t>(c - 1)].width + (out.empty() ? 0 : 1);
    if (!out.empty() && used + w > width) return false;
    out.push_back(c);
    used += w;
    return true;
  };
  for (int c = 1; c <= std::min(frozen_, n); ++c)
    if (!add(c)) return out;
  for (int c = std::max(left_col_, frozen_ + 1); c <= n; ++c)
    if (!add(c)) break;
  return out;
}

void Grid::fit() {
  const int last = source_.rows() + (append_ ? 1 : 0);
  row_ = std::clamp(row_, 1, std::max(1, last));
  const int rows = data_rows();
  if (row_ < top_) top_ = row_;
  if (row_ >= top_ + rows) top_ = row_ - rows + 1;
  if (top_ < 1) top_ = 1;
  if (col_ > frozen_) {
    if (col_ < left_col_) left_col_ = col_;
    while (true) {
      const auto vis = visible_columns();
      if (std::find(vis.begin(), vis.end(), col_) != vis.end() || left_col_ >= col_) break;
      ++left_col_;
    }
  }
  if (left_col_ <= frozen_) left_col_ = frozen_ + 1;
}

bool Grid::move(int k) {
  const int rows = source_.rows();
  const int last = rows + (append_ ? 1 : 0);
  const int ncols = static_cast<int>(columns_.size());
  const int page = data_rows();
  switch (k) {
    case key::Up:
      if (row_ <= 1) return false;
      --row_;
      break;
    case key::Down:
      if (row_ >= last) return false;
      ++row_;
      break;
    case key::PgUp:
      if (row_ <= 1) return false;
      row_ = std::max(1, row_ - page);
      top_ = std::max(1, top_ - page);
      break;
    case key::PgDn:
      if (row_ >= std::max(1, rows)) return false;
      row_ = std::min(std::max(1, rows), row_ + page);
      top_ += page;
      if (top_ > std::max(1, rows - page + 1)) top_ = std::max(1, rows - page + 1);
      break;
    case key::CtrlPgUp:
      row_ = 1;
      break;
    case key::CtrlPgDn:
      row_ = std::max(1, rows);
      break;
    case key::Right:
      if (col_ >= ncols) return true;
      ++col_;
      break;
    case key::Left:
      if (col_ <= 1) return true;
      --col_;
      break;
    case key::Home: {
      const auto vis = visible_columns();
      col_ = vis.empty() ? 1 : vis.front();
      break;
    }
    case key::End: {
      const auto vis = visible_columns();
      col_ = vis.empty() ? 1 : vis.back();
      break;
    }
    case key::CtrlLeft:
      if (left_col_ > frozen_ + 1) --left_col_;
      if (col_ > frozen_) {
        const auto vis = visible_columns();
        if (std::find(vis.begin(), vis.end(), col_) == vis.end()) col_ = vis.back();
      }
      return true;
    case key::CtrlRight: {
      const auto vis = visible_columns();
      if (!vis.empty() && vis.back() < ncols) ++left_col_;
      const auto now = visible_columns();
      if (col_ > frozen_ && std::find(now.begin(), now.end(), col_) == now.end()) col_ = left_col_;
      return true;
    }
    case key::CtrlHome:
      col_ = 1;
      left_col_ = frozen_ + 1;
      break;
    case key::CtrlEnd:
      col_ = ncols;
      break;
    default:
      return false;
  }
  fit();
  return true;
}

void Grid::draw(Screen& s) {
  fit();
  const auto vis = visible_columns();
  const int rows = source_.rows();
  const int drows = data_rows();
  s.fill(area_, ' ', colours_.normal);
  const bool foot_text = footing_ && has_footing_text(columns_);
  const int foot_sep = foot_text ? area_.bottom - 1 : area_.bottom;
  // Headers and separators.
  int col = area_.left;
  for (std::size_t i = 0; i < vis.size(); ++i) {
    const GridColumn& c = columns_[static_cast<std::size_t>(vis[i] - 1)];
    if (i > 0) {
      s.put(area_.top, col, kVert, colours_.header);
      s.put(area_.top + 1, col, kTee, colours_.header);
      for (int r = 0; r < drows; ++r) s.put(area_.top + 2 + r, col, kVert, colours_.normal);
      if (footing_) s.put(foot_sep, col, kUpTee, colours_.header);
      if (foot_text) s.put(area_.bottom, col, kVert, colours_.header);
      ++col;
    }
    s.write(area_.top, col, padr(c.header, c.width), colours_.header);
    for (int k = 0; k < c.width; ++k) {
      s.put(area_.top + 1, col + k, kHoriz, colours_.header);
      if (footing_) s.put(foot_sep, col + k, kHoriz, colours_.header);
    }
    if (foot_text) s.write(area_.bottom, col, padr(c.footing, c.width), colours_.header);
    col += c.width;
  }
  // Rows.
  for (int r = 0; r < drows; ++r) {
    const int row = top_ + r;
    const bool current = show_current_ && row == row_;
    int x = area_.left;
    for (std::size_t i = 0; i < vis.size(); ++i) {
      const GridColumn& c = columns_[static_cast<std::size_t>(vis[i] - 1)];
      if (i > 0) ++x;
      std::string text(static_cast<std::size_t>(c.width), ' ');
      if (row <= rows) text = padr(transform(source_.cell(row, vis[i]), c.picture, c.shape), c.width);
      const Attr a =
          current ? (vis[i] == col_ ? colours_.current_cell : colours_.current_row) : colours_.normal;
      if (row <= rows || current) s.write(area_.top + 2 + r, x, text, a);
      x += c.width;
    }
  }
}

Rect Grid::cell_rect() const {
  const auto vis = visible_columns();
  int x = area_.left;
  for (std::size_t i = 0; i < vis.size(); ++i) {
    if (i > 0) ++x;
    const int w = columns_[static_cast<std::size_t>(vis[i] - 1)].width;
    if (vis[i] == col_) {
      const int y = area_.top + 2 + (row_ - top_);
      return Rect{y, x, y, x + w - 1};
    }
    x += w;
  }
  return Rect{area_.top + 2, area_.left, area_.top + 2, area_.left};
}

int Grid::run(Console& con, const Handler& handler) { return run(con, handler, Idle{}); }

bool Grid::click(int screen_row, int screen_col) {
  const int r = screen_row - (area_.top + 2);
  if (r < 0 || r >= data_rows()) return false;
  const int row = top_ + r;
  if (row > source_.rows() + (append_ ? 1 : 0)) return false;
  const auto vis = visible_columns();
  int x = area_.left;
  for (std::size_t i = 0; i < vis.size(); ++i) {
    if (i > 0) ++x;
    const int w = columns_[static_cast<std::size_t>(vis[i] - 1)].width;
    if (screen_col >= x && screen_col < x + w) {
      row_ = row;
      col_ = vis[i];
      fit();
      return true;
    }
    x += w;
  }
  return false;
}

int Grid::run(Console& con, const Handler& handler, const Idle& idle) {
  while (true) {
    draw(con.screen());
    const Rect cell = cell_rect();
    con.screen().set_cursor(cell.top, cell.left);
    InputEvent ev;
    if (idle.tick) {
      std::optional<InputEvent> got;
      while (!(got = con.wait_event(idle.every))) idle.tick();
      ev = *got;
    } else {
      ev = con.wait_event();
    }
    const int k = ev.key;
    if (k == key::MouseLeft && click(ev.row, ev.col)) continue;
    if (move(k)) continue;
    if (handler(*this, k) == Action::Stop) return k;
  }
}

}  // namespace kx
