#include "platform/screen.h"

#include "platform/cp850.h"

namespace kx {

namespace {
const Cell kOffScreen{};
std::size_t index(int row, int col) { return static_cast<std::size_t>(row * Screen::kCols + col); }
}  // namespace

const Cell& Screen::at(int row, int col) const {
  return inside(row, col) ? cells_[index(row, col)] : kOffScreen;
}

void Screen::put(int row, int col, unsigned char ch, Attr a) {
  if (!inside(row, col)) return;
  cells_[index(row, col)] = Cell{ch, a};
  ++version_;
}

void Screen::write(int row, int col, std::string_view text, Attr a) {
  for (std::size_t i = 0; i < text.size(); ++i)
    put(row, col + static_cast<int>(i), static_cast<unsigned char>(text[i]), a);
}

void Screen::write_keep(int row, int col, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int c = col + static_cast<int>(i);
    if (inside(row, c)) put(row, c, static_cast<unsigned char>(text[i]), at(row, c).attr);
  }
}

void Screen::recolour(int row, int col, int len, Attr a) {
  for (int c = col; c < col + len; ++c)
    if (inside(row, c)) put(row, c, at(row, c).ch, a);
}

void Screen::fill(const Rect& r, unsigned char ch, Attr a) {
  for (int row = r.top; row <= r.bottom; ++row)
    for (int col = r.left; col <= r.right; ++col) put(row, col, ch, a);
}

void Screen::clear(Attr a) {
  cells_.fill(Cell{' ', a});
  ++version_;
}

SavedArea Screen::save(const Rect& r) const {
  SavedArea s{r, {}};
  if (r.bottom < r.top || r.right < r.left) return s;
  s.cells.reserve(static_cast<std::size_t>(r.height() * r.width()));
  for (int row = r.top; row <= r.bottom; ++row)
    for (int col = r.left; col <= r.right; ++col) s.cells.push_back(at(row, col));
  return s;
}

void Screen::restore(const SavedArea& area) {
  const Rect& r = area.rect;
  std::size_t i = 0;
  for (int row = r.top; row <= r.bottom; ++row)
    for (int col = r.left; col <= r.right; ++col, ++i)
      if (inside(row, col) && i < area.cells.size()) cells_[index(row, col)] = area.cells[i];
  ++version_;
}

std::string Screen::text(int row, int col, int len) const {
  std::string s;
  for (int c = col; c < col + len; ++c) s += static_cast<char>(at(row, c).ch);
  return s;
}

std::string Screen::dump_utf8() const {
  std::string out;
  for (int r = 0; r < kRows; ++r) {
    std::string line;
    for (int c = 0; c < kCols; ++c) {
      unsigned char ch = at(r, c).ch;
      line += static_cast<char>(ch < 32 ? ' ' : ch);
    }
    out += cp850::to_utf8(line);
    out += '\n';
  }
  return out;
}

void Screen::set_cursor(int row, int col) {
  cur_row_ = row < 0 ? 0 : row >= kRows ? kRows - 1 : row;
  cur_col_ = col < 0 ? 0 : col >= kCols ? kCols - 1 : col;
  ++version_;
}

void Screen::frame(const Rect& r, Attr a) {
  if (r.bottom < r.top || r.right < r.left) return;
  constexpr unsigned char kHoriz = 0xC4, kVert = 0xB3;
  for (int c = r.left + 1; c < r.right; ++c) {
    put(r.top, c, kHoriz, a);
    put(r.bottom, c, kHoriz, a);
  }
  for (int row = r.top + 1; row < r.bottom; ++row) {
    put(row, r.left, kVert, a);
    put(row, r.right, kVert, a);
  }
  put(r.top, r.left, 0xDA, a);
  put(r.top, r.right, 0xBF, a);
  put(r.bottom, r.left, 0xC0, a);
  put(r.bottom, r.right, 0xD9, a);
}

}  // namespace kx
