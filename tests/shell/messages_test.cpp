#include "shell/messages.h"

#include <gtest/gtest.h>

#include "platform/keys.h"
#include "shell/windows.h"
#include "shell_fixture.h"

namespace kx {
namespace {

using namespace kx::literals;
using test::ShellSession;

TEST(Mens, BottomRowNoticeAndBlank) {
  ShellSession t;
  mens(t.s, 0, "Aguarde...");
  EXPECT_EQ(t.scr().text(24, 0, 12), " Aguarde... ");
  EXPECT_EQ(t.scr().attr(24, 79), parse_colour("GR+/B"));
  MensArgs centred;
  centred.code = 0;
  centred.text = "abcd";
  centred.left = std::string("C");
  mens(t.s, centred);
  EXPECT_EQ(t.scr().text(24, 38, 4), "abcd");
  mens(t.s, MensArgs{});  // no mode, no text: the bottom row is blanked
  EXPECT_EQ(t.row(24), std::string(80, ' '));
  EXPECT_EQ(t.con().log().back().kind, "MENS0");
}

TEST(Mens, MessageBoxWaitsForAKeyAndBeeps) {
  ShellSession t;
  t.keys().key('x');
  mens(t.s, 11, "Arquivo gravado");
  // Width 17, default column 75 - 17 = 58, row 20; the window is closed again.
  EXPECT_EQ(t.row(20), std::string(80, ' '));
  ASSERT_EQ(t.con().log().size(), 1u);
  EXPECT_EQ(t.con().log()[0].kind, "MENS11");
  EXPECT_EQ(t.con().log()[0].lines, std::vector<std::string>{"Arquivo gravado"});
  EXPECT_EQ(t.con().tones().size(), 1u);
  EXPECT_EQ(t.keys().remaining(), 0u);

  t.keys().key('x');
  mens(t.s, 15, "Sem beep");
  EXPECT_EQ(t.con().tones().size(), 1u);
}

TEST(Mens, KeptWindowIsReusedOnlyWithTheSameGeometry) {
  ShellSession t;
  mens(t.s, 13, "Criando IMP01.DBF");
  const WindowSlot* w = t.s.part<Windows>().slot(10);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->top, 20);
  EXPECT_EQ(w->left, 75 - 19);
  EXPECT_EQ(t.scr().text(20, 56, 17), "Criando IMP01.DBF");
  EXPECT_EQ(t.scr().at(19, 55).ch, 0xDA);  // framed
  // A mark in the spare cell after the text survives a reuse ...
  t.scr().put(20, 56 + 17, '#', Attr(7));
  mens(t.s, 13, "Criando IMP02.DBF");
  EXPECT_EQ(t.scr().text(20, 56, 18), "Criando IMP02.DBF#");
  // ... but a longer text redraws the window.
  mens(t.s, 13, "Criando IMP031.DBF");
  EXPECT_EQ(t.s.part<Windows>().slot(10)->left, 75 - 20);
  EXPECT_EQ(t.scr().text(20, 55, 19), "Criando IMP031.DBF ");
  EXPECT_EQ(t.s.vars().n("TAM_OLD"), Decimal(20));
  t.s.part<Windows>().close(10);
  EXPECT_EQ(t.row(20), std::string(80, ' '));
  EXPECT_EQ(t.row(19), std::string(80, ' '));
}

TEST(Mens, OneKeyQuestion) {
  ShellSession t;
  t.keys().text("xs");
  EXPECT_EQ(mens_ask(t.s, 12, "Continua? (S/N)", "SN"), "S");
  EXPECT_EQ(t.con().log().back().answer, "S");
}

TEST(Mens, DefaultColumnIsNeverNegative) {
  ShellSession t;
  mens(t.s, 13, std::string(90, 'a'));
  EXPECT_GE(t.s.part<Windows>().slot(10)->left, 0);
}

TEST(Mens, PromptReadsTheVariableAfterTheText) {
  ShellSession t;
  t.s.vars().set("XDRIVE", " ");
  MensArgs a;
  a.code = 14;
  a.text = "Informe a letra do Drive";
  a.top = 3;
  a.left = 25;
  a.letters = "m->xdrive";
  a.width = 1;
  a.picture = "@ !";
  t.keys().text("d").key(key::Enter);
  EXPECT_EQ(mens(t.s, a), Value("D"));
  EXPECT_EQ(t.s.vars().c("XDRIVE"), "D");
  EXPECT_EQ(t.con().log().back().answer, "D");

  // The field stands after the text and one blank column; Esc empties it.
  t.keys().key(key::Esc);
  t.s.vars().set("XDRIVE", "C");
  struct Peek : KeyInput {
    ShellSession& t;
    std::string seen;
    explicit Peek(ShellSession& ts) : t(ts) {}
    std::optional<InputEvent> next(std::optional<Millis>) override {
      seen = t.scr().text(3, 25, 26);
      return InputEvent{key::Esc};
    }
    void flush() override {}
  } peek(t);
  t.con().attach(peek, nullptr);
  EXPECT_EQ(mens(t.s, a), Value(""));
  t.con().detach();
  EXPECT_EQ(peek.seen, "Informe a letra do Drive C");
  EXPECT_EQ(t.s.vars().c("XDRIVE"), "");
  EXPECT_EQ(t.con().log().back().answer, "Esc");
}

TEST(Mens, PromptValidationAndEscByType) {
  ShellSession t;
  t.s.vars().declare("NUMERO", Value(0));
  MensArgs a;
  a.code = 14;
  a.text = "Quantas vias?";
  a.letters = "NUMERO";
  a.width = 2;
  a.picture = "99";
  a.valid = [](const Value& v) { return v.number() > Decimal(0); };
  t.keys().key('0').key(key::Enter).text("3").key(key::Enter);  // 0 is refused, 3 taken
  EXPECT_EQ(mens(t.s, a), Value(3));
  t.s.vars().declare("QUANDO", Value(*Date::from_ymd(2012, 1, 1)));
  a.letters = "QUANDO";
  a.picture = "@D";
  a.valid = nullptr;
  t.keys().key(key::Esc);
  EXPECT_EQ(mens(t.s, a), Value(t.clock.today()));
}

struct AvisoCase {
  int kind;
  std::vector<int> keys;
  Value expected;
};

TEST(Avisosn, AnswersByKind) {
  const AvisoCase cases[] = {
      {0, {key::Enter}, Value("")},
      {1, {key::Enter}, Value(1)},
      {1, {key::Right, key::Enter}, Value(2)},
      {1, {key::Esc}, Value(0)},
      {2, {key::Esc}, Value("N")},
      {2, {'s'}, Value("S")},
      {2, {key::Tab, key::Enter}, Value("N")},
      {2, {key::Left, key::Enter}, Value("N")},  // Left from the first wraps to the last
      {3, {'i'}, Value("I")},
      {3, {key::Esc}, Value("N")},
      {4, {'F'}, Value("F")},
      {4, {key::Esc}, Value("N")},
      {5, {'2'}, Value("2")},
      {5, {key::Esc}, Value("0")},
      {7, {'7'}, Value(7)},
      {7, {key::Esc}, Value(0)},
      {7, {key::End, key::Right, key::Right, key::Enter}, Value(3)},  // End is not a key here
  };
  for (const auto& c : cases) {
    ShellSession t;
    for (int k : c.keys) t.keys().key(k);
    EXPECT_EQ(avisosn(t.s, "Confirma saída do programa?"_cp, c.kind), c.expected)
        << "kind " << c.kind << " first key " << c.keys[0];
  }
}

TEST(Avisosn, CentredBoxInTheFormColourRestoredAfterwards) {
  ShellSession t;
  t.scr().fill(Rect{0, 0, 24, 79}, '.', Attr(7));
  struct Peek : KeyInput {
    ShellSession& t;
    Screen seen;
    explicit Peek(ShellSession& ts) : t(ts) {}
    std::optional<InputEvent> next(std::optional<Millis>) override {
      seen = t.scr();
      return InputEvent{'n'};
    }
    void flush() override {}
  } peek(t);
  t.con().attach(peek, nullptr);
  EXPECT_EQ(
      avisosn(t.s, std::vector<std::string>{std::string("A Pasta X não foi encontrada!"_cp), "Sim - Assume"},
              2),
      Value("N"));
  t.con().detach();
  const std::string all = peek.seen.dump_utf8();
  EXPECT_NE(all.find("A Pasta X não foi encontrada!"), std::string::npos);
  EXPECT_NE(all.find(" Sim    Não "), std::string::npos);
  // The box is centred and in COR_SAY; the highlighted button in COR_ESCOL.
  int row = -1;
  for (int r = 0; r < 25; ++r)
    if (peek.seen.row_text(r).find("A Pasta") != std::string::npos) row = r;
  ASSERT_GE(row, 0);
  const int col = static_cast<int>(peek.seen.row_text(row).find("A Pasta"));
  EXPECT_EQ(peek.seen.attr(row, col), parse_colour("N/W+"));
  EXPECT_NEAR(col + 15, 40, 2);
  EXPECT_EQ(t.row(row), std::string(80, '.'));
  const auto& log = t.con().log().back();
  EXPECT_EQ(log.kind, "AVISOSN2");
  EXPECT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.answer, "Não"_cp);
}

TEST(Aviso, WritesInTheNoticeColourAndBeepErroTones) {
  ShellSession t;
  aviso(t.s, "Gravando", 24, 3);
  EXPECT_EQ(t.scr().text(24, 3, 8), "Gravando");
  EXPECT_EQ(t.scr().attr(24, 3), parse_colour("N/W"));
  beep_erro(t.s, 2);
  ASSERT_EQ(t.con().tones().size(), 8u);
  EXPECT_EQ(t.con().tones()[0], (Tone{300, 1}));
  EXPECT_EQ(t.con().tones()[1], (Tone{499, 1}));
}

}  // namespace
}  // namespace kx
