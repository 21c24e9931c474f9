#include "platform/console.h"

#include <gtest/gtest.h>

#include "platform/cp850.h"
#include "platform/keys.h"

namespace kx {
namespace {

using namespace kx::literals;

TEST(Screen, WritesAreClippedAtTheEdges) {
  Screen s;
  s.write(0, 77, "abcdef", Attr(0x1E));
  EXPECT_EQ(s.text(0, 76, 4), " abc");
  EXPECT_EQ(s.attr(0, 79), Attr(0x1E));
  s.write(25, 0, "x", Attr(0x1E));  // off-screen rows change nothing
  s.write(-1, 0, "x", Attr(0x1E));
  s.write(3, -2, "xyz", Attr(0x1E));  // the part left of column 0 is dropped
  EXPECT_EQ(s.text(3, 0, 2), "z ");
  EXPECT_EQ(s.at(30, 90).ch, ' ');
}

TEST(Screen, SaveAndRestoreAnAreaReachingOffScreen) {
  Screen s;
  s.fill(Rect{20, 70, 24, 79}, 'x', Attr(0x1F));
  const SavedArea saved = s.save(Rect{22, 75, 26, 82});
  s.fill(Rect{0, 0, 24, 79}, '.', Attr(0x07));
  s.restore(saved);
  EXPECT_EQ(s.text(22, 74, 6), ".xxxxx");
  EXPECT_EQ(s.text(21, 75, 1), ".");
  EXPECT_EQ(s.attr(24, 79), Attr(0x1F));
}

TEST(Screen, DumpShowsCp850AsUtf8) {
  Screen s;
  s.write(0, 0, "não ░"_cp, Attr());
  EXPECT_EQ(s.dump_utf8().substr(0, 8), "não ░");
}

TEST(ScriptedKeys, FailsInsteadOfWaitingForever) {
  Console c;
  c.script().text("ab").key(key::Enter).click(3, 4);
  EXPECT_EQ(c.wait_key(), 'a');
  EXPECT_EQ(c.wait_key(), 'b');
  EXPECT_EQ(c.wait_key(), key::Enter);
  EXPECT_EQ(c.last_key(), key::Enter);
  EXPECT_EQ(c.wait_event(), (InputEvent{key::MouseLeft, 3, 4}));
  EXPECT_THROW(c.wait_key(), KeysExhausted);
}

TEST(ScriptedKeys, TimedWaitsSeePausesAndEndWhenOnlyIdling) {
  Console c;
  c.script().pause().key('x');
  EXPECT_EQ(c.wait_key(Millis(100)), std::nullopt);
  EXPECT_EQ(c.wait_key(Millis(100)), 'x');
  // A loop that polls an empty script ends with the failure, not a hang.
  EXPECT_THROW(while (true) c.wait_key(Millis(100)), KeysExhausted);
}

TEST(Console, LogAndTones) {
  Console c;
  const auto i = c.log_message("MENS1", {"Arquivo gravado   "});
  c.answer(i, "S");
  ASSERT_EQ(c.log().size(), 1u);
  EXPECT_EQ(c.log()[0].lines[0], "Arquivo gravado");
  EXPECT_EQ(c.log()[0].answer, "S");
  c.beep(300, 1);
  EXPECT_EQ(c.tones(), (std::vector<Tone>{{300, 1}}));
  c.set_insert_mode(true);
  EXPECT_EQ(c.screen().cursor_shape(), CursorShape::Insert);
}

}  // namespace
}  // namespace kx
