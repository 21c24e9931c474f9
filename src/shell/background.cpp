#include "shell/background.h"

#include <string>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/session.h"
#include "platform/text.h"
#include "shell/messages.h"
#include "shell/windows.h"

namespace kx {
namespace {

using namespace kx::literals;

// The logo in block letters, one row of text per entry ('#' a full block).
constexpr std::string_view kLogo[] = {
    "#   #  ###  ####  #   # ##### #   #",
    "#  #  #   # #   # #   # #      # # ",
    "###   #   # ####  #   # ####    #  ",
    "#  #  #   # #  #   # #  #      # # ",
    "#   #  ###  #   #   #   ##### #   #",
};

}  // namespace

void draw_background(Session& s) {
  Screen& scr = console_of(s).screen();
  const Vars& v = s.vars();
  const Attr fill = colour_var(s, "COR_ENCH_C");
  scr.fill(Rect{0, 0, Screen::kRows - 1, Screen::kCols - 1}, ' ', fill);
  const Attr logo = colour_var(s, "COR_1_CLI");
  const Attr text = colour_var(s, "COR_2_CLI");
  const unsigned char block = static_cast<unsigned char>("█"_cp[0]);
  int row = 5;
  for (std::string_view line : kLogo) {
    const int col = CENTER(line);
    for (std::size_t i = 0; i < line.size(); ++i)
      if (line[i] == '#') scr.put(row, col + static_cast<int>(i), block, Attr((logo.colour & 0x0F) | (fill.colour & 0xF0)));
    ++row;
  }
  auto centred = [&](int r, const std::string& t) { scr.write(r, CENTER(t), t, text); };
  centred(12, "Terminal " + v.c("NUSU") + std::string(" IR Versão "_cp) + v.c("VERSAO"));
  centred(14, trim(v.c("NOMEAG")));
  centred(16, std::string("Versão de "_cp) + v.c("CULTIMAVER"));
}

void volta(Session& s) { (void)console_of(s).wait_key(); }

std::optional<InputEvent> omouse(Session& s) {
  Screen& scr = console_of(s).screen();
  scr.show_cursor(true);
  return console_of(s).wait_event(Millis(100));
}

}  // namespace kx
