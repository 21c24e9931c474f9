#include "shell/windows.h"

#include <gtest/gtest.h>

#include "shell/messages.h"
#include "shell_fixture.h"

namespace kx {
namespace {

using namespace kx::literals;
using test::ShellSession;

const std::string kH = std::string("─"_cp);

TEST(Windows, RunCodesColourCodesAndWrapping) {
  ShellSession t;
  Windows& w = t.s.part<Windows>();
  w.define(3, 30, 31, 63, 5, 10, 8, 17, 0);  // 8 usable columns
  w.open(3);
  // Code 4, count 5, "─" writes five lines; codes 2 and 1 switch colours.
  w.write(3, std::string("\x04\x05") + kH +
                 "\x02"
                 "ab"
                 "\x01"
                 "cdefgh");
  EXPECT_EQ(t.scr().text(5, 10, 8), kH + kH + kH + kH + kH + "abc");
  EXPECT_EQ(t.scr().text(6, 10, 5), "defgh");  // wrapped to the window's left column
  EXPECT_EQ(t.scr().attr(5, 10), Attr(30));
  EXPECT_EQ(t.scr().attr(5, 15), Attr(31));  // "ab" in colour 2
  EXPECT_EQ(t.scr().attr(5, 17), Attr(30));
  EXPECT_EQ(w.slot(3)->text, kH + kH + kH + kH + kH + "abcdefgh");
  w.close(3);
  EXPECT_EQ(t.scr().text(5, 10, 8), "        ");
}

TEST(Windows, OpenSavesAndCloseRestoresByFrameStyle) {
  ShellSession t;
  Windows& w = t.s.part<Windows>();
  t.scr().fill(Rect{0, 0, 24, 79}, '.', Attr(7));
  w.define(4, 30, 31, 63, 5, 10, 8, 20, 1);
  w.open(4);
  // Style 1: frame one row above and one column left, ending at bottom-1 and right-1.
  EXPECT_EQ(t.scr().text(4, 9, 11), "┌─────────┐"_cp);
  EXPECT_EQ(t.scr().text(7, 9, 11), "└─────────┘"_cp);
  EXPECT_EQ(t.scr().text(5, 10, 3), "...");  // the inside is not cleared
  EXPECT_EQ(t.scr().attr(4, 9), Attr(31));
  t.scr().fill(Rect{4, 9, 8, 20}, 'x', Attr(7));
  w.open(4);  // reopening restores first, then saves again
  EXPECT_EQ(t.scr().text(8, 10, 3), "...");
  w.close(4);
  EXPECT_EQ(t.scr().text(4, 9, 12), "............");
  w.close(4);  // closing a closed slot does nothing
  w.close(99);
  w.write(99, "x");

  // Style 7: the bottom is extended by 2 rows, the shadow follows the text.
  w.define(5, 30, 31, 63, 2, 2, 3, 9, 7);
  EXPECT_EQ(w.slot(5)->bottom, 5);
  w.open(5);
  w.write(5, "abcdefghijkl");  // 6 usable columns: two rows
  EXPECT_EQ(t.scr().text(2, 2, 8), "abcdef..");
  EXPECT_EQ(t.scr().text(3, 2, 8), "ghijkl░░"_cp);
  EXPECT_EQ(t.scr().text(4, 2, 8), ".░░░░░░░"_cp);
  EXPECT_EQ(t.scr().attr(3, 8), Attr(63));
  w.close(5);
  EXPECT_EQ(t.scr().text(4, 2, 8), "........");
}

TEST(Windows, MovesStayOnScreenAndRedrawTheText) {
  ShellSession t;
  Windows& w = t.s.part<Windows>();
  w.define(6, 30, 31, 63, 0, 0, 1, 5, 0);
  w.open(6);
  w.write(6, "hello");
  EXPECT_FALSE(w.move_vertical(6, 129));  // against the top edge: stays
  EXPECT_FALSE(w.move_horizontal(6, 129));
  EXPECT_TRUE(w.move_vertical(6, 1));
  EXPECT_EQ(t.scr().text(1, 0, 5), "hello");
  EXPECT_EQ(t.scr().text(0, 0, 5), "     ");
  w.define(7, 30, 31, 63, 23, 74, 24, 79, 0);
  EXPECT_FALSE(w.move_vertical(7, 1));
  EXPECT_FALSE(w.move_horizontal(7, 1));
  EXPECT_EQ(w.slot(7)->top, 23);
}

TEST(Windows, RecolourAndWriteAtKeepTheText) {
  ShellSession t;
  Windows& w = t.s.part<Windows>();
  w.define(3, 30, 31, 63, 10, 10, 12, 14, 0);
  w.open(3);
  w.write(3, "abcdefghij");
  w.recolour(3, 2, 2, 79, 3);  // row 2, column 2 counted from 1: "gh" and "i"
  EXPECT_EQ(t.scr().attr(11, 11), Attr(79));
  EXPECT_EQ(t.scr().attr(11, 13), Attr(79));
  EXPECT_EQ(t.scr().attr(11, 14), Attr(30));
  EXPECT_EQ(t.scr().text(11, 10, 5), "fghij");
  w.write_at(3, 0, 1, "XY");
  EXPECT_EQ(t.scr().text(10, 10, 5), "aXYde");
  EXPECT_EQ(t.scr().attr(10, 11), Attr(30));
  w.write_at(0, 0, 3, "bottom");
  EXPECT_EQ(t.scr().text(24, 3, 6), "bottom");
  fill_screen(t.s, 0xB0, 31);
  EXPECT_EQ(t.scr().at(24, 79).ch, 0xB0);
  EXPECT_EQ(t.scr().attr(0, 0), Attr(31));
}

TEST(Windows, BottomRowColourCodesAndUserColoursLast) {
  ShellSession t;
  Windows& w = t.s.part<Windows>();
  t.s.vars().set("COR_1_CLI", "W/N");
  w.write(0,
          "a\x02"
          "b\x03"
          "c");
  EXPECT_EQ(t.scr().attr(24, 0), parse_colour("GR+/B"));
  EXPECT_EQ(t.scr().attr(24, 1), parse_colour("W+/B"));
  EXPECT_EQ(t.scr().text(24, 0, 3), "abc");
  // Writing text does not undo the user's colour choice.
  EXPECT_EQ(t.s.vars().c("COR_1_CLI"), "W/N");
}

}  // namespace
}  // namespace kx
