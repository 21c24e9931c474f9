#include "platform/ui_menu.h"

#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"

namespace kx {
namespace {

using namespace kx::literals;

std::string S(std::string_view cp) { return std::string(cp); }

MenuBar sample_bar() {
  const std::string sep = S("─"_cp);
  std::vector<Pulldown> p = {
      {S(" Dec&laração  "_cp),
       {{S("&Declaração"_cp), 0, S("Inicia ou modifica uma declaração"_cp), 11},
        {"&Agenda", 0, "Agenda de compromissos.", 14},
        {sep, 0, "", 0},
        {"&Terminar", key::AltT, "Sai do programa reorganizando os dados da pasta atual", 18}}},
      {S("O&pções"_cp),
       {{"&Area de trabalho", 0, S("Seleciona drive e a pasta para guardar dados temporários"_cp), 21},
        {"&Mudar as cores", 0, "Seleciona as cores", 24, false},
        {"&Reindexar Dados", 0, S("Refaz os índices"_cp), 29}}},
      {"&Sair", {{"Sai&r ", key::AltR, "Sai do programa ", 91}}},
  };
  return MenuBar(std::move(p), MenuColours::from_spec("GR+/B,W/R+,W+/B,W+/BG,W/B,W+/B"));
}

struct MenuRun {
  Console con;
  MenuBar bar = sample_bar();
  MenuPosition pos;
  int run() { return bar.run(con, pos); }
};

TEST(MenuBar, BarCaptionsHotLettersAndHelpRow) {
  MenuRun r;
  struct Peek : KeyInput {
    Console& c;
    Screen seen;
    explicit Peek(Console& con) : c(con) {}
    std::optional<InputEvent> next(std::optional<Millis>) override {
      seen = c.screen();
      return InputEvent{key::Esc};
    }
    void flush() override {}
  } peek(r.con);
  r.con.attach(peek, nullptr);
  EXPECT_EQ(r.run(), 0);
  r.con.detach();
  const Screen& s = peek.seen;
  EXPECT_EQ(s.text(0, 0, 30), "  Declaração    Opções  Sair  "_cp);
  EXPECT_EQ(s.attr(0, 1), parse_colour("W/R+"));   // the open pull-down's caption
  EXPECT_EQ(s.attr(0, 5), parse_colour("W+/BG"));  // its hot letter "l"
  EXPECT_EQ(s.attr(0, 18), parse_colour("GR+/B"));
  EXPECT_EQ(s.attr(0, 17), parse_colour("W+/B"));  // "p" of Opções
  // The pull-down: a frame, the items, a separator row, the shortcut.
  EXPECT_EQ(s.text(1, 0, 3), "┌──"_cp);
  EXPECT_EQ(s.text(2, 2, 11), "Declaração "_cp);
  EXPECT_EQ(s.attr(2, 2), parse_colour("W+/BG"));  // hot letter of the highlighted item
  EXPECT_EQ(s.attr(2, 3), parse_colour("W/R+"));
  EXPECT_EQ(s.text(4, 0, 3), "├──"_cp);
  EXPECT_NE(s.row_text(5).find("Terminar"), std::string::npos);
  EXPECT_NE(s.row_text(5).find("Alt+T"), std::string::npos);
  EXPECT_EQ(s.row_text(24).substr(0, 33), "Inicia ou modifica uma declaração"_cp);
  // Closed again: the pull-down and the help row are gone.
  EXPECT_EQ(r.con.screen().text(2, 2, 10), "          ");
  EXPECT_EQ(r.con.screen().row_text(24), std::string(80, ' '));
}

TEST(MenuBar, KeysChooseItems) {
  const struct {
    const char* what;
    std::vector<InputEvent> keys;
    int id;
    int pulldown;
  } cases[] = {
      {"Enter on the first item", {{key::Enter}}, 11, 1},
      {"Down skips the separator", {{key::Down}, {key::Down}, {key::Enter}}, 18, 1},
      {"Up wraps to the last item", {{key::Up}, {key::Enter}}, 18, 1},
      {"hot letter of an item", {{'a'}}, 14, 1},
      {"shortcut from another pull-down", {{key::Right}, {key::AltT}}, 18, 1},
      {"shortcut Alt+R", {{key::AltR}}, 91, 3},
      {"Right then Down skips a disabled item", {{key::Right}, {key::Down}, {key::Enter}}, 29, 2},
      {"Left wraps to the last pull-down", {{key::Left}, {key::Enter}}, 91, 3},
      {"Alt+hot letter opens a pull-down", {{key::AltP}, {key::Enter}}, 21, 2},
      {"disabled item's letter does nothing", {{key::Right}, {'m'}, {'r'}}, 29, 2},
      {"click on a caption", {{key::MouseLeft, 0, 27}, {key::Enter}}, 91, 3},
      {"click on an item", {{key::MouseLeft, 5, 4}}, 18, 1},
      {"Esc", {{key::Right}, {key::Esc}}, 0, 2},
  };
  for (const auto& c : cases) {
    MenuRun r;
    for (const auto& e : c.keys) {
      if (e.key == key::MouseLeft)
        r.con.script().click(e.row, e.col);
      else
        r.con.script().key(e.key);
    }
    EXPECT_EQ(r.run(), c.id) << c.what;
    EXPECT_EQ(r.pos.pulldown, c.pulldown) << c.what;
    EXPECT_EQ(r.con.script().remaining(), 0u) << c.what;
  }
}

TEST(MenuBar, OpensOnAGivenPositionAndCaptionsCanChange) {
  MenuRun r;
  r.pos = MenuPosition{2, 3};
  r.bar.item(29)->caption = "Re&organiza";
  r.con.script().key('o');
  EXPECT_EQ(r.run(), 29);
  EXPECT_EQ(caption_text("Sai&r "), "Sair ");
  EXPECT_EQ(hot_letter(S("Selecã&o"_cp)), 'O');
  EXPECT_EQ(hot_letter("nada"), 0);
}

}  // namespace
}  // namespace kx
