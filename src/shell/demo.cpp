#include "shell/demo.h"

#include <ostream>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "platform/text.h"
#include "platform/ui_grid.h"
#include "platform/ui_hotkeys.h"
#include "platform/ui_menu.h"
#include "shell/calculator.h"
#include "shell/messages.h"
#include "shell/pickers.h"
#include "shell/session_vars.h"
#include "shell/terminal_run.h"
#include "shell/windows.h"

namespace kx {
namespace {

using namespace kx::literals;

std::string S(std::string_view cp) { return std::string(cp); }

enum Item { Message = 1, Question, Prompt, Quit, Calc, Options, Table };

MenuBar demo_menu(Session& s) {
  Vars& v = s.vars();
  const std::string spec = v.c("COR_1_CLI") + "," + v.c("COR_ESC_CL") + "," + v.c("COR_ENCH_C") + "," +
                           v.c("COR_ENCH_C") + "," + v.c("COR_2_CLI") + "," + v.c("COR_2_CLI");
  std::vector<Pulldown> p = {
      {" &Janelas ",
       {{"&Mensagem", 0, "Mostra uma mensagem e espera uma tecla", Message},
        {"&Pergunta", 0, S("Faz uma pergunta de Sim ou Não"_cp), Question},
        {"&Digitar", 0, "Pede um texto numa janela", Prompt},
        {S("─"_cp), 0, "", 0},
        {"Sai&r", key::AltR, "Termina a demonstração", Quit}}},
      {" &Ferramentas ",
       {{"&Calculadora", 0, "Abre a calculadora", Calc},
        {S("&Opções"_cp), 0, S("Escolha numa barra de opções"_cp), Options},
        {"&Grade", 0, "Uma grade com colunas", Table}}},
  };
  return MenuBar(std::move(p), MenuColours::from_spec(spec));
}

struct DemoRows : GridSource {
  int rows() const override { return 30; }
  Value cell(int r, int c) const override {
    switch (c) {
      case 1:
        return Value(r);
      case 2:
        return Value("Fonte pagadora " + std::to_string(r));
      default:
        return Value(Decimal::of(static_cast<Decimal::Coefficient>(r) * 123456, 2));
    }
  }
};

// Results go on row 23, which the menu's help row and pull-downs leave alone.
void notice(Session& s, const std::string& text) { aviso(s, padr(" " + text, 80), 23, 0); }

}  // namespace

void window_demo(Session& s) {
  Console& con = console_of(s);
  Vars& v = s.vars();
  if (!v.has("DEMO_NOME")) v.declare("DEMO_NOME", Value(space(20)));
  fill_screen(s, 0xB0, static_cast<int>(v.n("COR_ENCHE").to_int64()));
  MenuBar bar = demo_menu(s);
  MenuPosition pos;
  HotKeys& hot = s.part<HotKeys>();
  while (true) {
    const int id = bar.run(con, pos, &hot);
    switch (id) {
      case Message:
        mens(s, 11, "Olá! Esta é uma janela de mensagem."_cp);
        break;
      case Question: {
        const Value a = avisosn(s, "Gostou da demonstração?"_cp, 2);
        notice(s, "Resposta: " + a.text());
        break;
      }
      case Prompt: {
        MensArgs m;
        m.code = 14;
        m.text = "Informe o seu nome";
        m.top = 10;
        m.left = std::string("C");
        m.letters = "DEMO_NOME";
        const Value nome = mens(s, m);
        notice(s, "Nome: " + trim(nome.text()));
        break;
      }
      case Calc: {
        const auto r = calculadora(s, 9, 5, 40);
        notice(s, r ? "Resultado: " + r->to_string() : std::string("Calculadora sem resultado"));
        break;
      }
      case Options: {
        Windows& w = s.part<Windows>();
        w.define(6, 30, 31, 31, 6, 30, 10, 46, 1);
        w.open(6);
        w.write(6, S(" Incluir        Alterar        Excluir        "_cp));
        v.set("OPCOES", "IAE");
        const int o = esc_opcao(s, 6, 3, 0, 15, 0, true);
        notice(s, S("Opção escolhida: "_cp) + std::to_string(o));
        break;
      }
      case Table: {
        DemoRows rows;
        const Rect area{3, 5, 20, 60};
        const SavedArea under = con.screen().save(area);
        Grid g(area, {{"Nr", 3, "999"}, {"Fonte", 24}, {"Valor", 14, "@E 999,999,999.99"}}, rows);
        g.set_frozen(1);
        g.set_footing(true);
        g.run(con, [](Grid&, int k) { return k == key::Esc ? Grid::Action::Stop : Grid::Action::Continue; });
        con.screen().restore(under);
        break;
      }
      case Quit:
        return;
      default:
        break;  // Esc on the bar: stay
    }
  }
}

int demo_windows_command(CommandIo& io, std::span<const std::string> args) {
  if (!args.empty()) throw CommandError{"demo-windows takes no arguments"};
  return run_on_terminal(io, "demo-windows", [](Session& s) {
    window_demo(s);
    return 0;
  });
}

}  // namespace kx
