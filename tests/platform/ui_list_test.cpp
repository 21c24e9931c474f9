#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/ui_grid.h"
#include "platform/ui_pick_list.h"

namespace kx {
namespace {

using namespace kx::literals;

TEST(PickList, MovesScrollsAndChooses) {
  const std::vector<std::string> streets = {"Avenida", "Beco", "Rua", "Rodovia", "Travessa", "Via"};
  const struct {
    const char* what;
    std::vector<int> keys;
    int chosen, current;
  } cases[] = {
      {"Enter", {key::Enter}, 1, 1},
      {"Down twice", {key::Down, key::Down, key::Enter}, 3, 3},
      {"Up at the top stays", {key::Up, key::Enter}, 1, 1},
      {"End", {key::End, key::Down, key::Enter}, 6, 6},
      {"PgDn by a page of 3", {key::PgDn, key::Enter}, 4, 4},
      {"letters go to the next match", {'r', 'r', key::Enter}, 4, 4},
      {"Esc", {key::Down, key::Esc}, 0, 2},
  };
  for (const auto& c : cases) {
    Console con;
    for (int k : c.keys) con.script().key(k);
    PickListOptions o;
    o.area = Rect{5, 10, 7, 19};
    int current = 0;
    EXPECT_EQ(pick_list(con, streets, o, &current), c.chosen) << c.what;
    EXPECT_EQ(current, c.current) << c.what;
  }
  // Scrolled to the end, the last rows show the last choices.
  Console con;
  con.script().keys({key::End, key::Esc});
  PickListOptions o;
  o.area = Rect{5, 10, 7, 19};
  pick_list(con, streets, o);
  EXPECT_EQ(con.screen().text(5, 10, 10), "Rodovia   ");
  EXPECT_EQ(con.screen().text(7, 10, 10), "Via       ");
  EXPECT_EQ(con.screen().attr(7, 10), o.selected);
  con.script().click(6, 12);
  EXPECT_EQ(pick_list(con, streets, o), 2);
}

// A table of rows held in memory.
struct Rows : GridSource {
  std::vector<std::vector<Value>> data;
  int rows() const override { return static_cast<int>(data.size()); }
  Value cell(int r, int c) const override {
    return data[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c - 1)];
  }
};

Rows payments(int n) {
  Rows r;
  for (int i = 1; i <= n; ++i)
    r.data.push_back({Value(Decimal(i)), Value("Fonte " + std::to_string(i)), Value("12345678000190"),
                      Value(Decimal::of(i * 1000050, 2)), Value(Decimal::of(i * 1000, 2))});
  return r;
}

std::vector<GridColumn> payment_columns() {
  return {{"Nr", 2, "99", {}},
          {"Fonte pagadora", 20, "", {}},
          {"CNPJ", 18, "@R 99.999.999/9999-99", {}},
          {"Rendimento", 14, "@E 999,999,999.99", {}},
          {"Imposto", 14, "@E 999,999,999.99", {}}};
}

TEST(Grid, DrawsHeadersSeparatorsAndCells) {
  Rows src = payments(3);
  Grid g(Rect{2, 0, 10, 79}, payment_columns(), src);
  g.set_footing(true);
  Console con;
  g.draw(con.screen());
  const Screen& s = con.screen();
  EXPECT_EQ(s.text(2, 0, 24), "Nr│Fonte pagadora      │"_cp);
  EXPECT_EQ(s.text(3, 0, 24), "──┬────────────────────┬"_cp);
  EXPECT_EQ(s.text(4, 0, 43), " 1│Fonte 1             │12.345.678/0001-90│"_cp);
  EXPECT_EQ(s.text(4, 43, 14), "     10.000,50");
  EXPECT_EQ(s.text(10, 0, 3), "──┴"_cp);
  EXPECT_EQ(s.attr(4, 0), GridColours{}.current_cell);
  EXPECT_EQ(s.attr(4, 3), GridColours{}.current_row);
  EXPECT_EQ(s.attr(5, 3), GridColours{}.normal);
  EXPECT_EQ(g.data_rows(), 6);
}

TEST(Grid, MovesScrollsAndFrozenColumnsStay) {
  Rows src = payments(20);
  Grid g(Rect{0, 0, 7, 39}, payment_columns(), src);  // 6 data rows, 40 columns
  g.set_frozen(1);
  g.set_col(2);
  Console con;
  // Ctrl+End goes to the last column; the frozen number stays in view.
  ASSERT_TRUE(g.move(key::CtrlEnd));
  g.draw(con.screen());
  EXPECT_EQ(g.col(), 5);
  EXPECT_EQ(con.screen().text(0, 0, 3), "Nr│"_cp);
  EXPECT_NE(con.screen().row_text(0).find("Imposto"), std::string::npos);
  EXPECT_EQ(con.screen().row_text(0).find("Fonte"), std::string::npos);
  ASSERT_TRUE(g.move(key::CtrlHome));
  EXPECT_EQ(g.col(), 1);
  // Rows: PgDn by a page, Ctrl+PgDn to the last, Down there runs into the edge.
  ASSERT_TRUE(g.move(key::PgDn));
  EXPECT_EQ(g.row(), 7);
  ASSERT_TRUE(g.move(key::CtrlPgDn));
  EXPECT_EQ(g.row(), 20);
  EXPECT_FALSE(g.move(key::Down));
  g.draw(con.screen());
  EXPECT_EQ(con.screen().text(7, 0, 2), "20");
  g.set_append_row(true);
  ASSERT_TRUE(g.move(key::Down));
  EXPECT_TRUE(g.on_append_row());
  EXPECT_EQ(g.row(), 21);
  ASSERT_TRUE(g.move(key::Up));
  EXPECT_FALSE(g.on_append_row());
  ASSERT_TRUE(g.move(key::CtrlPgUp));
  EXPECT_FALSE(g.move(key::Up));
}

TEST(Grid, RunHandsOtherKeysToTheCaller) {
  Rows src = payments(2);
  Grid g(Rect{0, 0, 7, 79}, payment_columns(), src);
  Console con;
  std::vector<int> seen;
  con.script().click(3, 50).click(0, 0);  // a cell of row 2, column 4; then a header
  con.script().keys({key::Up, key::Left, key::Left, key::Enter, key::Down, key::Down, key::Del, key::Esc});
  const int last = g.run(con, [&](Grid& grid, int k) {
    seen.push_back(k);
    if (k == key::Del) {
      grid.source();
      src.data.erase(src.data.begin() + grid.row() - 1);
    }
    return k == key::Esc ? Grid::Action::Stop : Grid::Action::Continue;
  });
  EXPECT_EQ(last, key::Esc);
  // The click on the header, Enter, Down at the last row (the edge), Del and
  // Esc reached the caller.
  EXPECT_EQ(seen, (std::vector<int>{key::MouseLeft, key::Enter, key::Down, key::Del, key::Esc}));
  EXPECT_EQ(g.row(), 1);  // brought back into the shorter table
  EXPECT_EQ(g.col(), 2);
  EXPECT_EQ(g.cell_rect(), (Rect{2, 3, 2, 22}));
}

TEST(Grid, FootingTotalsAndAListOnlyShown) {
  Rows src = payments(2);
  auto cols = payment_columns();
  cols[3].footing = "     20.000,50";
  Grid g(Rect{0, 0, 6, 79}, cols, src);
  g.set_footing(true);
  g.set_show_current(false);
  Console con;
  g.draw(con.screen());
  EXPECT_EQ(g.data_rows(), 3);
  EXPECT_EQ(con.screen().text(5, 0, 3), "──┴"_cp);
  EXPECT_EQ(con.screen().text(6, 43, 14), "     20.000,50");
  EXPECT_EQ(con.screen().attr(2, 3), GridColours{}.normal);  // the current row painted plain
}

TEST(Grid, IdleTicksWhileNoKeyIsPressed) {
  Rows src = payments(2);
  Grid g(Rect{0, 0, 7, 79}, payment_columns(), src);
  Console con;
  con.script().pause().pause().key(key::Esc);
  int ticks = 0;
  Grid::Idle idle;
  idle.every = Millis(10);
  idle.tick = [&] { ++ticks; };
  g.run(
      con, [](Grid&, int) { return Grid::Action::Stop; }, idle);
  EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace kx
