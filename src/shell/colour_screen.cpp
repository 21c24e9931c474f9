#include "shell/colour_screen.h"

#include <string>

#include "platform/colour.h"
#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "platform/text.h"
#include "shell/background.h"
#include "shell/colours.h"
#include "shell/messages.h"
#include "shell/pickers.h"
#include "shell/windows.h"

namespace kx {
namespace {

using namespace kx::literals;

// The window slots of the screen.
constexpr int kList = 1, kPalette = 2, kSample = 3;
constexpr int kPaletteRows = 8, kPaletteCols = 16;

// Whether the palette and sample are on screen for the element in hand.
struct ColourScreenState {
  bool palette_shown = false;
};

int attr_of(Session& s, std::string_view var) {
  return static_cast<int>(s.vars().n(var).to_int64());
}

unsigned char glyph(std::string_view cp) { return static_cast<unsigned char>(cp[0]); }

void draw_palette(Session& s, const ColourScreenLayout& l, int current) {
  Windows& w = s.part<Windows>();
  w.define(kPalette, attr_of(s, "COR_TEL1"), attr_of(s, "COR_TEL2"), attr_of(s, "COR_TEL2"), l.palette_top - 1,
           l.palette_left - 1, l.palette_top + kPaletteRows, l.palette_left + kPaletteCols, 2);
  w.open(kPalette);
  Screen& scr = console_of(s).screen();
  for (int b = 0; b < kPaletteRows; ++b)
    for (int f = 0; f < kPaletteCols; ++f) {
      const int a = f + 16 * b;
      scr.put(l.palette_top + b, l.palette_left + f, a == current ? '*' : glyph("■"_cp), Attr(a));
    }
}

void draw_sample(Session& s, const ColourScreenLayout& l) {
  Windows& w = s.part<Windows>();
  w.define(kSample, attr_of(s, "COR_TEL1"), attr_of(s, "COR_TEL2"), attr_of(s, "COR_TEL2"), l.sample_top - 1,
           l.sample_left - 1, l.sample_top + 5, l.sample_left + 16, 2);
  w.open(kSample);
  Screen& scr = console_of(s).screen();
  scr.write(l.sample_top, l.sample_left, " Cor do texto   ", colour_var(s, "COR_1_CLI"));
  const std::pair<std::string_view, std::string_view> lines[] = {{"Item Escolhido", "COR_ESC_CL"},
                                                                  {"Entrada Dados ", "COR_GET"},
                                                                  {"Mensagens     ", "COR_SAY"},
                                                                  {"Telas de Help ", "COR_CLI_HE"}};
  int row = l.sample_top + 1;
  for (const auto& [text, var] : lines) {
    scr.write(row, l.sample_left, std::string(16, ' '), colour_var(s, "COR_1_CLI"));
    scr.write(row++, l.sample_left + 1, text, colour_var(s, var));
  }
}

const ColourElementDef& element_def(int element) { return kColourElements.at(static_cast<std::size_t>(element - 1)); }

}  // namespace

const std::array<ColourElementDef, 8> kColourElements = {{
    {" Texto           ", "COR_TEL1", "COR_1_CLI"},
    {" Contorno        ", "COR_TEL2", "COR_2_CLI"},
    {" Item Escolhido  ", "COR_ESCOL", "COR_ESC_CL"},
    {" Sombra 3D       ", "COR_TEL3", ""},
    {" Entr. de dados  ", "COR_PEGA", "COR_GET"},
    {" Mensagens       ", "COR_MENS", "COR_SAY"},
    {" Help e Avisos   ", "COR_HELP", "COR_CLI_HE"},
    {" Fundo Geral     ", "COR_ENCHE", "COR_ENCH_C"},
}};

ColourScreenLayout colour_screen_layout(bool from_menu) {
  if (from_menu) return {9, 40, 4, 62, 15, 62};
  return {8, 38, 3, 61, 14, 61};
}

void destela(Session& s, bool from_menu) {
  const ColourScreenLayout l = colour_screen_layout(from_menu);
  Windows& w = s.part<Windows>();
  w.define(kList, attr_of(s, "COR_TEL1"), attr_of(s, "COR_TEL2"), attr_of(s, "COR_TEL3"), l.list_top, l.list_left,
           l.list_top + 7, l.list_left + 18, 7);
  w.open(kList);
  std::string text;
  for (const auto& e : kColourElements) text += e.caption;
  w.write(kList, text);
}

void apply_colour(Session& s, int element, int attr, bool from_menu) {
  Vars& v = s.vars();
  const ColourElementDef& e = element_def(element);
  v.set(e.attr_var, Value(attr));
  if (!e.string_var.empty()) v.set(e.string_var, Value(achacor(attr)));
  if (element == 3) v.set("COR_FERID", Value(ferid_for(attr)));
  if (element == 6) s.part<Windows>().set_colour(10, 1, attr);
  const ColourScreenLayout l = colour_screen_layout(from_menu);
  ColourScreenState& st = s.part<ColourScreenState>();
  if (element == 1 || element == 2 || element == 4) {
    destela(s, from_menu);
    draw_palette(s, l, attr);
    draw_sample(s, l);
  } else if (element == 8) {
    Windows& w = s.part<Windows>();
    for (int slot = 8; slot >= 1; --slot) w.close(slot);
    draw_background(s);
    destela(s, from_menu);
    st.palette_shown = false;
  } else if (st.palette_shown) {
    draw_sample(s, l);
  }
}

void escol_cor(Session& s, int element, bool from_menu) {
  const ColourScreenLayout l = colour_screen_layout(from_menu);
  ColourScreenState& st = s.part<ColourScreenState>();
  Console& con = console_of(s);
  Screen& scr = con.screen();
  const ColourElementDef& e = element_def(element);
  int attr = attr_of(s, e.attr_var) & 0x7F;
  int row = attr / 16, col = attr % 16;
  while (true) {
    if (!st.palette_shown) {
      draw_palette(s, l, attr);
      draw_sample(s, l);
      st.palette_shown = true;
    }
    scr.put(l.palette_top + row, l.palette_left + col, '*', Attr(attr));
    const int k = con.wait_key();
    if (k == key::Enter || k == key::Esc) break;
    int r = row, c = col;
    if (k == key::Right && c < kPaletteCols - 1) ++c;
    else if (k == key::Left && c > 0) --c;
    else if (k == key::Up && r > 0) --r;
    else if (k == key::Down && r < kPaletteRows - 1) ++r;
    if (r == row && c == col) continue;
    scr.put(l.palette_top + row, l.palette_left + col, glyph("■"_cp), Attr(attr));
    row = r;
    col = c;
    attr = col + 16 * row;
    apply_colour(s, element, attr, from_menu);
  }
  // Ending the element: the message window's colours, the colour
  // specifications, the stored row; the palette and sample close.
  Windows& w = s.part<Windows>();
  w.set_colour(10, 1, attr_of(s, "COR_MENS"));
  w.set_colour(10, 2, attr_of(s, "COR_TEL2"));
  w.set_colour(10, 3, attr_of(s, "COR_TEL3"));
  build_colour_specs(s);
  (void)gravacor(s);
  w.close(kSample);
  w.close(kPalette);
  w.close(10);
  st.palette_shown = false;
}

void modcor(Session& s, bool from_menu) {
  Vars& v = s.vars();
  draw_background(s);
  destela(s, from_menu);
  s.part<ColourScreenState>().palette_shown = false;
  v.set("POSVER", Value(1));
  while (true) {
    v.set("OPCOES", Value("TCISEMHF"));
    const int element = esc_opcao(s, kList, 8, 0, 17, 0);
    if (element == 0) break;
    escol_cor(s, element, from_menu);
    destela(s, from_menu);
    v.set("POSVER", Value(element));
  }
  Windows& w = s.part<Windows>();
  w.close(kSample);
  w.close(kPalette);
  w.close(kList);
}

}  // namespace kx
