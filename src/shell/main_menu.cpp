#include "shell/main_menu.h"

#include <algorithm>

#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "platform/text.h"

namespace kx {
namespace {

using namespace kx::literals;

std::string S(std::string_view cp) { return std::string(cp); }

MenuItem item(int id, std::string_view caption, std::string_view help, int shortcut = 0) {
  return MenuItem{std::string(caption), shortcut, std::string(help), id};
}
MenuItem separator() { return MenuItem{S("─"_cp), 0, "", 0}; }

int number(Session& s, std::string_view name) { return static_cast<int>(s.vars().n(name).to_int64()); }

// The variable clamped into lo..hi and stored back.
int clamp_var(Session& s, std::string_view name, int lo, int hi) {
  const int v = std::clamp(number(s, name), lo, hi);
  s.vars().set(name, Value(v));
  return v;
}

const std::string& list_text(Session& s, std::string_view list, int index) {
  return s.vars().at(list, index).text();
}

void set_item_var(Session& s, int n, const std::string& caption) {
  const std::string name = "ITEM" + std::to_string(n);
  if (!s.vars().has(name)) s.vars().declare(name, Value(caption));
  else s.vars().set(name, Value(caption));
}

}  // namespace

std::string auto_send_caption(Session& s) {
  return S("&Automático ao salvar "_cp) + (number(s, "OPTTRAN") == 1 ? "SIM" : "NAO");
}
std::string status_send_caption(Session& s) {
  return "apenas as com stat&us  " + strzero(s.vars().n("SOESTE"), 2);
}
std::string compress_all_caption(Session& s) { return "&Compacta todos no " + s.vars().c("XDRIVE") + ":"; }
std::string uncompress_all_caption(Session& s) { return "&Descompacta todos do " + s.vars().c("XDRIVE") + ":"; }

int pulldown_of(int id) {
  if (id >= 11 && id <= 18) return 1;
  if (id >= 21 && id <= 35) return 2;
  if (id >= 41 && id <= 47) return 3;
  if (id >= 51 && id <= 53) return 4;
  if (id >= 61 && id <= 68) return 5;
  if (id >= 71 && id <= 78) return 6;
  if (id == 91) return 7;
  return 0;
}

void monta_itens(Session& s, MenuBar& bar) {
  const int queimp = clamp_var(s, "QUEIMP", 1, 15);
  std::string paper, pages;
  if (queimp <= 4) {
    s.vars().set("QUEMOD", Value(1));
    paper = list_text(s, "NOMCONT", 1);
    pages = list_text(s, "NOMEPAGR", clamp_var(s, "QUEPAG", 1, 11));
  } else {
    s.vars().set("QUEPAG", Value(1));
    pages = list_text(s, "MODOUNI", 1);
    switch (queimp) {
      case 5: paper = list_text(s, "MODO1OP", clamp_var(s, "QUEMOD", 1, 3)); break;
      case 12: paper = list_text(s, "MODOETI", clamp_var(s, "QUEMOD", 1, 2)); break;
      case 14: paper = list_text(s, "MODETID", clamp_var(s, "QUEMOD", 1, 4)); break;
      default:
        s.vars().set("QUEMOD", Value(1));
        paper = list_text(s, "NOMCONT", 1);
    }
  }
  const int quecon = clamp_var(s, "QUECON", 1, 5);
  const int vias = clamp_var(s, "NRO_VIAS", 1, 9);
  s.vars().set("VIAS_CAR", Value(std::to_string(vias)));
  const std::string captions[7] = {"&1-" + list_text(s, "ALISTIMP", queimp),
                                   "&2-" + paper,
                                   "&3-" + pages,
                                   "&4-" + list_text(s, "NOMECON", quecon),
                                   S("&5-Seleção Impressora"_cp),
                                   "&6-Configura NAO DOS",
                                   "&7-Vias " + std::to_string(vias)};
  for (int i = 0; i < 7; ++i) {
    set_item_var(s, i + 1, captions[i]);
    if (MenuItem* it = bar.item(41 + i)) it->caption = captions[i];
  }
}

MenuBar create_main_menu(Session& s) {
  std::vector<Pulldown> p;
  p.push_back({S(" Dec&laração  "_cp),
               {item(11, "&Declaração"_cp, "Inicia ou modifica uma declaração"_cp),
                item(12, "&Lancamentos", "Prepara todos os lançamentos em um so local."_cp),
                item(13, "&Conferência"_cp, "Confere uma declaração antes de gerar o disquete"_cp),
                item(14, "&Agenda", "Agenda de compromissos."),
                item(15, "&Pastas", "Seleciona o Drive e a Pasta onde a declaração ficara"_cp),
                item(16, "&Exclusão"_cp, "Elimina um contribuinte do banco de dados"),
                item(17, "&Importação"_cp, "Importa os dados de declarações do ano anterior "_cp), separator(),
                item(18, "&Terminar", "Sai do programa reorganizando os dados da pasta atual", key::AltT)}});
  p.push_back({S("O&pções"_cp),
               {item(21, "&Area de trabalho", "Seleciona drive e a pasta para guardar dados temporários"_cp),
                item(22, "&Trans.declaração"_cp, "Transfere a declaração de uma pasta para outra"_cp),
                item(24, "&Mudar as cores", "Seleciona as opções de ajustes nas cores e tonalidades do vídeo"_cp),
                item(25, "&Valores a Cobrar", "Cadastra os valores para o cálculo do custo da declaração"_cp),
                item(26, "&Gravar os dados", "Quando e como o programa deve salvar os dados"),
                item(27, "Status &Declaração"_cp, "Cadastra ou altera o status ou o número dos recibos"_cp),
                item(28, "Cadastro &SELIC", "Cadastra ou altera o valor da SELIC"),
                item(29, "&Reindexar Dados", "Refaz os índices e reinicia o banco de dados"_cp),
                item(30, "Mudar C&PF", "Modifica ou altera o CPF da declaração inteira"_cp),
                item(31, "&Copia Declaração"_cp, "Copia uma declaração ou parte dela para outra"_cp),
                item(32, "E&xporta Arquivo", "Exporta arquivos no formato TXT para uso em outros locais"),
                item(33, "&Boletos", "Configura,prepara ou gera um boleto para a cobranca"),
                item(34, "&E-mail", "Configura,prepara ou gera um email"),
                item(35, "Ver Atuali&zação"_cp, "Verifica se existe atualizações na versão atual"_cp)}});
  p.push_back({S("Selecã&o"_cp),
               {item(41, "&1-", "Selecione O QUE será impresso."_cp),
                item(42, "&2-", "Selecione o tipo de papel a ser utilizado."),
                item(43, "&3-", "Selecione a página ou páginas a ser(em) impressa(s)."_cp),
                item(44, "&4-", "Escolha quantos contribuinte(s) serão impressos."_cp),
                item(45, "&5-Seleção Impressora"_cp, "Seleciona impressora e redirecionamento de impressão."_cp),
                item(46, "&6-Configura NAO DOS", "Como usar a impressora NAO-DOS"),
                item(47, "&7-Vias ", "Informe o número de vias a ser(em) impressa(s)."_cp)}});
  p.push_back({S("&Impressão"_cp),
               {item(51, "&Impressão"_cp, "Inicia a Impressão conforme a seleção"_cp), separator(),
                item(52, "imp &Não Dos"_cp, "Imprime o arquivo gerado anteriormente na impressão NAO-DOS"_cp),
                item(53, "&Cartas", "Edita cartas ou texto para serem enviadas aos clientes")}});
  p.push_back({"&Env Receita",
               {item(63, "&Somente um contribuinte", "Seleciona um CPF para transferir para a receita"),
                item(64, "os &Cpfs selecionados ", "Envia para a receita os CPF selecionados"),
                item(65, "&Todos os CPFs da pasta atual", "Transfere todos os CPF dessa pasta"), separator(),
                item(61, auto_send_caption(s), "Transfere para a receita ao terminar a declaração"_cp),
                item(62, status_send_caption(s),
                     "Tranfere p/receita ao terminar só aquelas com o Estatus selecionado"_cp),
                separator(),
                item(66, "&Muda ou não Status"_cp, "Permite o programa mudar o Status após a transferência."_cp),
                item(67, "&Local do programa da Receita", "Seleciona a pasta onde foi instalado o Programa da receita"),
                item(68, "&Recupera Declaração do IRPF "_cp, "Recupera as declarações sumidas no programa da Receita"_cp)}});
  p.push_back({"&Backup",
               {item(71, "&Fazer a cópia    "_cp, "Faz a cópia de segurança dos arquivos em uma determinada pasta"_cp),
                item(73, compress_all_caption(s), "Faz a cópia do bancos de dados de TODAS AS PASTAS"_cp),
                item(75, "C&ompacta uma Pasta", "Copia compactando apenas uma PASTA selecionada"), separator(),
                item(72, "&Recuperar a cópia"_cp, "Recupera a cópia de segurança dos arquivos de uma pasta"_cp),
                item(74, uncompress_all_caption(s), "Recupera a cópia do bancos de dados de TODAS AS PASTAS"_cp),
                item(76, "D&escompacta uma Pasta", "Recupera dados descompactando apenas uma PASTA selecionada."),
                separator(), item(77, "I&nforma o Compactador", "Informa qual programa vai usar para compactar."),
                item(78, "&Informa o processador", "Informa o tipo do processador desse computador.")}});
  p.push_back({"&Sair", {item(91, "Sai&r ", "Sai do programa ", key::AltR)}});
  MenuBar bar(std::move(p), MenuColours::from_spec(s.vars().c("CORMENU")));
  monta_itens(s, bar);
  return bar;
}

}  // namespace kx
