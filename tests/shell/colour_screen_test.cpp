// The colour screen: the marker on the palette, moves applied at once,
// COR_FERID following the chosen-item colour, the background element and
// the stored row of the colour table.
#include <gtest/gtest.h>

#include <vector>

#include "platform/colour.h"
#include "platform/keys.h"
#include "program_fixture.h"
#include "shell/colour_screen.h"
#include "shell/colours.h"
#include "shell/program.h"
#include "store/catalog_fields.h"

namespace kx {
namespace {

using test::ProgramRun;
using test::row_field;

// Keeps every screen shown (one per key wait).
struct Frames final : Display {
  void present(const Screen& screen) override { shown.push_back(screen); }
  void bell() override {}
  std::vector<Screen> shown;
};

struct ColourRun : ProgramRun {
  Frames frames;
  ColourRun() {
    EXPECT_EQ(start_up(s(), ""), std::nullopt) << log_text();
    con().attach(con().script(), &frames);
  }
  ~ColourRun() { con().detach(); }
  int number(std::string_view name) { return static_cast<int>(vars().n(name).to_int64()); }
};

constexpr int kTop = 4, kLeft = 62;  // the palette from the main menu

TEST(ColourScreen, ChosenItemMarkerMovesAndFeridFollowsTheBackground) {
  ColourRun run;
  // "I" chooses " Item Escolhido  "; Left once; Enter ends it; Esc leaves.
  run.keys().key('I').key(key::Left).key(key::Right).key(key::Right).key(key::Left).key(key::Enter).key(key::Esc);
  modcor(run.s(), true);
  // The frame waiting for the first move: marker at row 4, column 15.
  const Screen* first = nullptr;
  for (const Screen& f : run.frames.shown)
    if (f.at(kTop + 4, kLeft + 15).ch == '*') {
      first = &f;
      break;
    }
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->attr(kTop + 4, kLeft + 15).colour, 79);
  bool left_seen = false;
  for (const Screen& f : run.frames.shown)
    if (f.at(kTop + 4, kLeft + 14).ch == '*' && f.at(kTop + 4, kLeft + 15).ch != '*') left_seen = true;
  EXPECT_TRUE(left_seen);
  // Right from column 15 does nothing: Left, Right, Right, Left ends on 78.
  EXPECT_EQ(run.number("COR_ESCOL"), 78);
  EXPECT_EQ(run.vars().c("COR_ESC_CL"), achacor(78));
  EXPECT_EQ(run.number("COR_FERID"), 79);
  // Stored on ending the element.
  EXPECT_EQ(row_field(run.dir.file("CORES.DBF"), "00", "COR_ESCOL").number(), Decimal(78));
  EXPECT_EQ(row_field(run.dir.file("CORES.DBF"), "00", "COR_FERID").number(), Decimal(79));
}

// The colour row of a terminal is created from the table's declared
// defaults; the session starts from the shell's list: both must agree.
TEST(ColourScreen, SessionDefaultsAgreeWithTheColourTable) {
  const TableDecl* t = table_decl(56);
  ASSERT_NE(t, nullptr);
  auto declared = [&](std::string_view name) {
    for (const auto& d : t->defaults)
      if (d.field == name) return d.value;
    return std::string("<none>");
  };
  for (const auto& c : kAttrColours) EXPECT_EQ(declared(c.name), std::to_string(c.value)) << c.name;
  for (const auto& c : kStringColours) EXPECT_EQ(declared(c.name), c.value) << c.name;
}

TEST(ColourScreen, FeridIsBrightRedOnTheBackgroundOrWhiteOnRed) {
  struct Case {
    int escol, ferid;
  } cases[] = {{79, 79}, {78, 79}, {0x1F, 0x1C}, {0x70, 0x7C}, {0x0E, 0x0C}, {0x3A, 0x3C}};
  for (const Case& c : cases) EXPECT_EQ(ferid_for(c.escol), c.ferid) << c.escol;
}

TEST(ColourScreen, MovesStopAtThePaletteEdges) {
  ColourRun run;
  // Messages (112: row 7, column 0): Down and Left do nothing, Up moves.
  run.keys().key('M').key(key::Down).key(key::Left).key(key::Enter).key(key::Esc);
  modcor(run.s(), true);
  EXPECT_EQ(run.number("COR_MENS"), 112);
  run.keys().key('M').key(key::Up).key(key::Enter).key(key::Esc);
  modcor(run.s(), true);
  EXPECT_EQ(run.number("COR_MENS"), 96);
  EXPECT_EQ(run.vars().c("COR_SAY"), achacor(96));
}

TEST(ColourScreen, BackgroundSetToZeroBlacksTheScreenAtOnce) {
  ColourRun run;
  // COR_ENCHE 31 is row 1, column 15: Up, then Left fifteen times.
  run.keys().key('F').key(key::Up);
  for (int i = 0; i < 15; ++i) run.keys().key(key::Left);
  run.keys().key(key::Enter).key(key::Esc);
  modcor(run.s(), true);
  EXPECT_EQ(run.number("COR_ENCHE"), 0);
  EXPECT_EQ(run.vars().c("COR_ENCH_C"), "N/N");
  // The frame shown after the last move: the whole background is black.
  ASSERT_GE(run.frames.shown.size(), 3u);
  const Screen& after = run.frames.shown[run.frames.shown.size() - 3];
  EXPECT_EQ(after.at(kTop + 0, kLeft + 0).ch, '*');
  for (auto [r, c] : {std::pair{0, 0}, {24, 79}, {12, 0}, {1, 30}}) EXPECT_EQ(after.attr(r, c).colour, 0) << r << "," << c;
  EXPECT_EQ(row_field(run.dir.file("CORES.DBF"), "00", "COR_ENCHE").number(), Decimal(0));
}

TEST(ColourScreen, LeavingRebuildsTheMenuColoursAndBadStoredAttributesGetDefaults) {
  ColourRun run;
  // Texto (30 = GR+/B): Right gives 31 (W+/B).
  run.keys().key('T').key(key::Right).key(key::Enter).key(key::Esc);
  run.keys().key(key::Esc);
  EXPECT_FALSE(menu_select(run.s(), 24));
  EXPECT_EQ(run.vars().c("COR_1_CLI"), "W+/B");
  EXPECT_EQ(run.vars().c("CORMENU").substr(0, 5), "W+/B,");
  // The rebuilt bar draws its captions in the new colour.
  const MenuBar& bar = *run.s().part<MainMenu>().bar;
  Screen scr;
  bar.draw_bar(scr, 0);
  const auto col = scr.row_text(0).find('O');
  ASSERT_NE(col, std::string::npos);
  EXPECT_EQ(scr.attr(0, static_cast<int>(col)).colour, 0x1F);

  // A stored attribute outside 0-127 is replaced by its default.
  run.con().detach();
  run.restart();
  {
    auto a = Area::open(posix_os(), run.dir.file("CORES.DBF"), Share::Shared, {});
    ASSERT_TRUE(a.ok());
    ASSERT_TRUE((*a)->go_top().ok());
    ASSERT_TRUE((*a)->lock_record().ok());
    ASSERT_TRUE((*a)->replace("COR_TEL1", Value(200)).ok());
    ASSERT_TRUE((*a)->replace("COR_TEL2", Value(17)).ok());
    (void)(*a)->close();
  }
  EXPECT_EQ(start_up(run.s(), ""), std::nullopt);
  EXPECT_EQ(run.vars().n("COR_TEL1"), Decimal(30));
  EXPECT_EQ(run.vars().n("COR_TEL2"), Decimal(17));
  EXPECT_EQ(run.vars().c("COR_1_CLI"), "W+/B");
  run.con().attach(run.con().script(), &run.frames);
}

}  // namespace
}  // namespace kx
