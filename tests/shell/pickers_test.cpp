#include "shell/pickers.h"

#include <gtest/gtest.h>

#include "platform/keys.h"
#include "platform/ui_field.h"
#include "platform/ui_hotkeys.h"
#include "shell/calculator.h"
#include "shell/windows.h"
#include "shell_fixture.h"

namespace kx {
namespace {

using test::ShellSession;

// An option window of four options on rows 6-9, columns 11-20.
struct OptionWindow : ShellSession {
  OptionWindow() {
    Windows& w = s.part<Windows>();
    w.define(6, 30, 31, 31, 5, 10, 10, 22, 0);
    w.open(6);
    w.write(6, std::string(13, ' ') + " Abrir       " + " Copiar      " + " Gravar      " + " Fechar      ");
    s.vars().set("OPCOES", "ACGF");
  }
};

TEST(EscOpcao, DownOnTheLastOptionKeepsIt) {
  OptionWindow t;
  t.s.vars().set("POSVER", 3);
  t.keys().keys({key::Down, key::Down, key::Down, key::Enter});
  EXPECT_EQ(esc_opcao(t.s, 6, 4, 1, 10, 1), 4);
  EXPECT_EQ(t.s.vars().n("POSVER"), Decimal(4));
  EXPECT_EQ(t.s.vars().n("ULTPOS"), Decimal(4));
  EXPECT_EQ(t.scr().attr(9, 11), Attr(79));  // highlighted in COR_ESCOL
  EXPECT_EQ(t.scr().attr(8, 11), Attr(30));  // the old row repainted in COR_TEL1
}

TEST(EscOpcao, HotLetterChoosesAtOnce) {
  OptionWindow t;
  t.keys().key('g');
  EXPECT_EQ(esc_opcao(t.s, 6, 4, 1, 10, 1), 3);
  EXPECT_EQ(t.scr().attr(8, 11), Attr(79));
  EXPECT_EQ(t.keys().remaining(), 0u);
}

TEST(EscOpcao, PositionLeftOverFromALongerBarIsBroughtIntoRange) {
  OptionWindow t;
  t.s.vars().set("POSVER", 9);
  t.keys().key(key::Enter);
  EXPECT_EQ(esc_opcao(t.s, 6, 4, 1, 10, 1), 4);
  t.s.vars().set("POSVER", 0);
  t.keys().keys({key::Up, key::Enter});
  EXPECT_EQ(esc_opcao(t.s, 6, 4, 1, 10, 1), 1);
}

TEST(EscOpcao, EscHelpLinesAndClose) {
  OptionWindow t;
  t.s.vars().declare_list("MENSMENU", {Value("um"), Value("dois"), Value("tres"), Value("quatro")});
  t.s.vars().set("POSVER", 2);
  struct Peek : KeyInput {
    ShellSession& t;
    std::vector<std::string> rows;
    int n = 0;
    explicit Peek(ShellSession& ts) : t(ts) {}
    std::optional<InputEvent> next(std::optional<Millis>) override {
      rows.push_back(t.scr().row_text(24));
      return InputEvent{++n == 1 ? key::Down : key::Esc};
    }
    void flush() override {}
  } peek(t);
  t.con().attach(peek, nullptr);
  EXPECT_EQ(esc_opcao(t.s, 6, 4, 1, 10, 1, true, true), 0);
  t.con().detach();
  ASSERT_EQ(peek.rows.size(), 2u);
  EXPECT_EQ(peek.rows[0].substr(38, 4), "dois");
  EXPECT_EQ(peek.rows[1].substr(38, 4), "tres");
  EXPECT_EQ(t.s.vars().n("POSVER"), Decimal(0));
  EXPECT_EQ(t.s.vars().n("ULTPOS"), Decimal(3));
  EXPECT_FALSE(t.s.part<Windows>().is_open(6));
}

TEST(EscOpcao, AltAOpensTheCalculatorAndComesBack) {
  OptionWindow t;
  t.s.vars().set("POSVER", 2);
  t.keys().keys({key::AltA, '1', 'X', key::Enter});
  EXPECT_EQ(esc_opcao(t.s, 6, 4, 1, 10, 1), 2);
  EXPECT_EQ(t.scr().text(7, 11, 6), "Copiar");  // the option window is intact
  EXPECT_EQ(t.scr().attr(7, 11), Attr(79));
}

TEST(EscItem, MarksTheCurrentItem) {
  OptionWindow t;
  t.s.vars().set("ULTESC", 2);
  t.keys().keys({key::Down, key::Enter});
  EXPECT_EQ(esc_item(t.s, 6, 4, 0, 1), 3);
  EXPECT_EQ(t.scr().text(6, 10, 1) + t.scr().text(7, 10, 1) + t.scr().text(8, 10, 1), "  *");
  EXPECT_EQ(t.s.vars().n("ULTESC"), Decimal(3));
  t.keys().keys({key::End, key::Down, key::Esc});
  EXPECT_EQ(esc_item(t.s, 6, 4, 0, 1), 0);
  EXPECT_EQ(t.s.vars().n("ULTESC"), Decimal(4));
}

// ---- Calculator -------------------------------------------------------------

Decimal D(std::string_view s) { return Decimal::parse(s).value(); }

struct CalcCase {
  const char* keys;  // '\r' Enter, '\n' Ctrl+Enter, '\b' Backspace
  const char* value;
};

TEST(Calculator, ComputesInExactDecimals) {
  const CalcCase cases[] = {
      {"7+5\r", "12"},
      {"0,1+0,2\r", "0.3"},
      {"10/3\r", "3.3333333333"},
      {"2*3+4\r", "10"},                // the running result
      {"1234567890123", "1234567890"},  // 10 integer digits at most
      {"1,234567", "1.2345"},           // 4 decimals at most
      {"5I+2\r", "-3"},
      {"9\b4\r", "4"},
      {"5M+C3+M-MR\r", "5"},  // memory +5; cleared result; 3 - ... recall 5
      {"99999999,99*3\r", "299999999.97"},
  };
  for (const auto& c : cases) {
    Calculator calc;
    for (const char* p = c.keys; *p; ++p) {
      const int k = *p == '\r' ? key::Enter : *p == '\n' ? key::CtrlEnter : *p == '\b' ? key::Backspace : *p;
      calc.key(k);
    }
    EXPECT_EQ(calc.value(), D(c.value)) << c.keys;
  }
}

TEST(Calculator, DisplayLine) {
  Calculator calc;
  for (char c : std::string("1234567+")) calc.key(c);
  EXPECT_EQ(calc.display(), "               1.234.567 +");
  calc.key('M');
  calc.key('+');
  calc.key('2');
  calc.key(',');
  calc.key('5');
  EXPECT_EQ(calc.display(), "  M                  2,5 +");
  calc.key('/');
  EXPECT_EQ(calc.display().substr(10), "1.234.569,5000 \xF6");
}

TEST(Calculadora, DivisionByZeroBeepsAndGivesNothing) {
  ShellSession t;
  t.keys().keys({'7', '/', '0', key::Enter, key::CtrlEnter});
  EXPECT_EQ(calculadora(t.s, 9, 11, 11), std::nullopt);
  EXPECT_EQ(t.con().tones().back(), (Tone{800, 1}));
  t.keys().keys({'7', '/', '2', key::CtrlEnter});
  EXPECT_EQ(calculadora(t.s, 9, 11, 11), D("3.5"));
  t.keys().keys({'7', 'X'});
  EXPECT_EQ(calculadora(t.s), std::nullopt);
  EXPECT_EQ(t.row(11), std::string(80, ' '));  // the window is closed
}

TEST(Calculadora, ArrowsMoveTheWindowWithinItsLimits) {
  ShellSession t;
  t.keys().keys({key::Down, key::Right, key::Right, key::Esc});
  calculadora(t.s, 9, 11, 47);
  EXPECT_EQ(t.s.vars().n("LCAL"), Decimal(11));  // row 11 is the limit
  EXPECT_EQ(t.s.vars().n("CCAL"), Decimal(48));
}

TEST(Calculadora, AsAHotKeyItFillsTheField) {
  ShellSession t;
  HotKeys& hot = t.s.part<HotKeys>();
  auto screen = hot.push("screen");
  screen.bind(key::AltS, calculator_hot_key(t.s));
  t.s.vars().declare("VALOR", Value(Decimal(0)));
  t.s.vars().declare("DESCR", Value(std::string("Aluguel") + std::string(13, ' ')));
  std::vector<GetField> fields{var_field(t.s.vars(), "VALOR", 3, 3, "@E 999,999.99"),
                               var_field(t.s.vars(), "DESCR", 4, 3)};
  t.keys().key(key::AltS).text("12*3").key(key::CtrlEnter).key(key::Enter);
  t.keys().key(key::AltS).text("1500").key(key::CtrlEnter).key(key::Enter);
  ReadOptions opts;
  opts.hot_keys = &hot;
  read_fields(t.con(), fields, opts);
  EXPECT_EQ(t.s.vars().n("VALOR"), Decimal(36));
  EXPECT_EQ(t.s.vars().c("DESCR"), "Aluguel 1.500,00    ");
}

}  // namespace
}  // namespace kx
