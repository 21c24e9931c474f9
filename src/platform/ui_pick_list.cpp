#include "platform/ui_pick_list.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/text.h"
#include "platform/ui_hotkeys.h"

namespace kx {

int pick_list(Console& con, const std::vector<std::string>& choices, const PickListOptions& o, int* current) {
  Screen& s = con.screen();
  const int n = static_cast<int>(choices.size());
  const int rows = std::max(1, o.area.height());
  const int width = o.area.width();
  if (n == 0) return 0;
  int cur = std::clamp(o.start, 1, n);
  int top = 1;
  int result = -1;
  const bool cursor = s.cursor_visible();
  s.show_cursor(false);
  while (result < 0) {
    if (cur < top) top = cur;
    if (cur >= top + rows) top = cur - rows + 1;
    for (int r = 0; r < rows; ++r) {
      const int i = top + r;
      const std::string text = i <= n ? choices[static_cast<std::size_t>(i - 1)] : std::string{};
      s.write(o.area.top + r, o.area.left, padr(text, width), i == cur ? o.selected : o.normal);
    }
    const InputEvent ev = con.wait_event();
    const int k = ev.key;
    switch (k) {
      case key::Up:
        cur = std::max(1, cur - 1);
        break;
      case key::Down:
        cur = std::min(n, cur + 1);
        break;
      case key::PgUp:
        cur = std::max(1, cur - rows);
        break;
      case key::PgDn:
        cur = std::min(n, cur + rows);
        break;
      case key::Home:
      case key::CtrlPgUp:
        cur = 1;
        break;
      case key::End:
      case key::CtrlPgDn:
        cur = n;
        break;
      case key::Enter:
        result = cur;
        break;
      case key::Esc:
        result = 0;
        break;
      case key::MouseLeft:
        if (ev.row >= o.area.top && ev.row <= o.area.bottom && ev.col >= o.area.left &&
            ev.col <= o.area.right && top + ev.row - o.area.top <= n) {
          cur = top + ev.row - o.area.top;
          result = cur;
        }
        break;
      default:
        if (key::is_printable(k)) {
          // The next choice starting with the letter, from the one after the current.
          const unsigned char up = cp850::upper(static_cast<unsigned char>(k));
          for (int step = 1; step <= n; ++step) {
            const int i = (cur - 1 + step) % n + 1;
            const std::string t = ltrim(choices[static_cast<std::size_t>(i - 1)]);
            if (!t.empty() && cp850::upper(static_cast<unsigned char>(t[0])) == up) {
              cur = i;
              break;
            }
          }
        } else if (o.hot_keys) {
          HotKeyContext ctx{con, k, {}, std::nullopt, std::nullopt, false};
          run_hot_key(o.hot_keys, ctx);
        }
    }
  }
  if (current) *current = cur;
  s.show_cursor(cursor);
  return result;
}

}  // namespace kx
