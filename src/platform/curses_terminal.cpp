#include "platform/curses_terminal.h"

#define NCURSES_WIDECHAR 1
#include <curses.h>
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <bitset>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstring>
#include <cwchar>

#include "platform/cp850.h"
#include "platform/key_decoder.h"

namespace kx {
namespace {

// Signal state.  A signal handler can only reach static storage, so this is
// the one place with process-wide mutable state: the flags the handlers set
// and what the crash handler needs to put the terminal back.
volatile sig_atomic_t g_end_requested = 0;
volatile sig_atomic_t g_resized = 0;
volatile sig_atomic_t g_active = 0;
struct termios g_saved_termios;
char g_reset[256];  // written to the terminal by the crash handler
std::size_t g_reset_len = 0;

void on_end(int) { g_end_requested = 1; }
void on_winch(int) { g_resized = 1; }

void on_crash(int sig) {
  if (g_active) {
    ssize_t ignored = ::write(STDOUT_FILENO, g_reset, g_reset_len);
    (void)ignored;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_termios);
  }
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

constexpr int kCrashSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};

void install(int sig, void (*handler)(int), bool restart) {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = restart ? SA_RESTART : 0;
  ::sigaction(sig, &sa, nullptr);
}

// CGA colour order (N B G BG R BR GR W) to the curses colour numbers.
constexpr std::array<short, 8> kCursesColour = {COLOR_BLACK, COLOR_BLUE,    COLOR_GREEN,  COLOR_CYAN,
                                                COLOR_RED,   COLOR_MAGENTA, COLOR_YELLOW, COLOR_WHITE};

const char kMouseOn[] = "\033[?1000h\033[?1006h";
const char kMouseOff[] = "\033[?1006l\033[?1000l";

void write_all(const char* s, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(STDOUT_FILENO, s, n);
    if (w <= 0) {
      if (w < 0 && errno == EINTR) continue;
      return;
    }
    s += w;
    n -= static_cast<std::size_t>(w);
  }
}

}  // namespace

struct CursesTerminal::Impl {
  SCREEN* screen = nullptr;
  TerminalOptions opts;
  int depth = 0;  // 16, 8, 0
  std::bitset<257> pair_made;
  Screen shown;        // what the terminal shows
  bool valid = false;  // `shown` matches the terminal
  bool too_small = false;
  std::string pending;         // input bytes not decoded yet
  std::optional<Screen> last;  // the last screen presented (redrawn after a resize)

  void make_reset() {
    std::string r = kMouseOff;
    r += "\033[0m\033[?25h";
    if (const char* rmcup = tigetstr("rmcup"); rmcup && rmcup != reinterpret_cast<char*>(-1)) r += rmcup;
    r += "\r\n";
    g_reset_len = std::min(r.size(), sizeof g_reset);
    std::memcpy(g_reset, r.data(), g_reset_len);
  }

  // The curses pair and attributes of a cell attribute.
  void style(Attr a, short& pair, attr_t& attrs) {
    attrs = A_NORMAL;
    if (a.blink) attrs |= A_BLINK;
    const int fg = a.fg(), bg = a.bg();
    if (depth == 0) {
      // Without colours: a background lighter than the text, a bright one or
      // red (the selection colours) is shown reversed; bright text is bold.
      auto light = [](int v) {
        return ((v & 4) ? 3 : 0) + ((v & 2) ? 6 : 0) + ((v & 1) ? 1 : 0) + ((v & 8) ? 5 : 0);
      };
      pair = 0;
      if (light(bg) > light(fg) || (bg & 8) || (bg & 7) == 4) attrs |= A_REVERSE;
      if (fg >= 8) attrs |= A_BOLD;
      return;
    }
    if (depth == 16) {
      pair = static_cast<short>(bg * 16 + fg + 1);
      if (!pair_made[static_cast<std::size_t>(pair)]) {
        init_pair(pair, static_cast<short>(kCursesColour[static_cast<std::size_t>(fg & 7)] + (fg & 8)),
                  static_cast<short>(kCursesColour[static_cast<std::size_t>(bg & 7)] + (bg & 8)));
        pair_made[static_cast<std::size_t>(pair)] = true;
      }
      return;
    }
    // 8 colours: a bright foreground is bold, a bright background is dropped.
    // Pair 0 is white on black, so the pair number is chosen to make W/N 0.
    if (fg >= 8) attrs |= A_BOLD;
    pair = static_cast<short>((bg & 7) * 8 + (7 - (fg & 7)));
    if (pair != 0 && !pair_made[static_cast<std::size_t>(pair)]) {
      init_pair(pair, kCursesColour[static_cast<std::size_t>(fg & 7)],
                kCursesColour[static_cast<std::size_t>(bg & 7)]);
      pair_made[static_cast<std::size_t>(pair)] = true;
    }
  }

  void put_cell(int row, int col, const Cell& c) {
    unsigned char ch = c.ch;
    wchar_t w[2] = {static_cast<wchar_t>(ch < 32 || ch == 0x7F ? U' ' : cp850::to_unicode(ch)), 0};
    short pair = 0;
    attr_t attrs = A_NORMAL;
    style(c.attr, pair, attrs);
    cchar_t cc;
    setcchar(&cc, w, attrs, pair, nullptr);
    mvadd_wch(row, col, &cc);
  }

  void handle_resize() {
    g_resized = 0;
    struct winsize ws;
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0)
      resize_term(ws.ws_row, ws.ws_col);
    clear();
    valid = false;
  }

  void draw(const Screen& s) {
    if (g_resized) handle_resize();
    int h = 0, w = 0;
    getmaxyx(stdscr, h, w);
    if (h < Screen::kRows || w < Screen::kCols) {
      if (!too_small) {
        erase();
        const std::string msg = "KORVEX precisa de uma janela de 80x25 caracteres (esta tem " +
                                std::to_string(w) + "x" + std::to_string(h) + "). Aumente a janela.";
        mvaddnstr(0, 0, msg.c_str(), static_cast<int>(msg.size()));
        curs_set(0);
        refresh();
        too_small = true;
      }
      valid = false;
      return;
    }
    if (too_small) {
      too_small = false;
      clear();
    }
    for (int r = 0; r < Screen::kRows; ++r)
      for (int c = 0; c < Screen::kCols; ++c)
        if (!valid || !(s.at(r, c) == shown.at(r, c))) put_cell(r, c, s.at(r, c));
    shown = s;
    valid = true;
    move(s.cursor_row(), s.cursor_col());
    curs_set(s.cursor_visible() ? (s.cursor_shape() == CursorShape::Insert ? 2 : 1) : 0);
    refresh();
  }

  // Waits up to `ms` (forever when negative) for input bytes; false on timeout.
  bool read_more(int ms) {
    struct pollfd p {
      STDIN_FILENO, POLLIN, 0
    };
    const int r = ::poll(&p, 1, ms);
    if (r <= 0) return false;  // timeout, or a signal (EINTR): the caller looks at the flags
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLIN))
      throw TerminalClosed("the terminal was closed");
    char buf[256];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n == 0) throw TerminalClosed("the terminal was closed");
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) return false;
      throw TerminalClosed("the terminal cannot be read");
    }
    pending.append(buf, static_cast<std::size_t>(n));
    return true;
  }
};

CursesTerminal::CursesTerminal(TerminalOptions options) : impl_(std::make_unique<Impl>()) {
  if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO))
    throw std::runtime_error("standard input and output must be a terminal");
  if (g_active) throw std::runtime_error("the terminal is already in use");
  impl_->opts = options;
  // Wide characters need a UTF-8 locale; fall back to C.UTF-8.
  std::setlocale(LC_ALL, "");
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_ALL, "C.UTF-8");
  ::tcgetattr(STDIN_FILENO, &g_saved_termios);
  // newterm, unlike initscr, reports an unknown terminal type instead of ending the process.
  impl_->screen = newterm(nullptr, stdout, stdin);
  if (!impl_->screen) throw std::runtime_error("the terminal type is not known (TERM)");
  raw();
  noecho();
  nonl();
  keypad(stdscr, FALSE);
  intrflush(stdscr, FALSE);
  if (options.colour && has_colors()) {
    start_color();
    if (COLORS >= 16 && COLOR_PAIRS > 256)
      impl_->depth = 16;
    else if (COLORS >= 8 && COLOR_PAIRS >= 64)
      impl_->depth = 8;
  }
  impl_->make_reset();
  g_end_requested = 0;
  g_active = 1;
  install(SIGTERM, on_end, false);
  install(SIGHUP, on_end, false);
  install(SIGWINCH, on_winch, false);
  for (int sig : kCrashSignals) install(sig, on_crash, false);
  if (options.mouse) write_all(kMouseOn, sizeof kMouseOn - 1);
}

CursesTerminal::~CursesTerminal() {
  if (impl_->opts.mouse) write_all(kMouseOff, sizeof kMouseOff - 1);
  curs_set(1);
  endwin();
  delscreen(impl_->screen);
  ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_termios);
  for (int sig : kCrashSignals) ::signal(sig, SIG_DFL);
  ::signal(SIGWINCH, SIG_DFL);
  ::signal(SIGTERM, SIG_DFL);
  ::signal(SIGHUP, SIG_DFL);
  g_active = 0;
}

int CursesTerminal::colours() const { return impl_->depth; }

void CursesTerminal::present(const Screen& screen) {
  impl_->last = screen;
  impl_->draw(screen);
}

void CursesTerminal::bell() { beep(); }

std::optional<InputEvent> CursesTerminal::next(std::optional<Millis> timeout) {
  using clock = std::chrono::steady_clock;
  const auto deadline = timeout ? clock::now() + *timeout : clock::time_point::max();
  Impl& m = *impl_;
  while (true) {
    if (g_end_requested) throw TerminalClosed("the program was asked to end");
    if (g_resized && m.last) m.draw(*m.last);
    if (!m.pending.empty()) {
      DecodedKey d = decode_key(m.pending, true);
      if (d.status == DecodedKey::Status::Incomplete) {
        if (m.read_more(kEscDelayMs)) continue;
        if (g_end_requested || g_resized) continue;
        d = decode_key(m.pending, false);
      }
      if (d.length <= 0) d.length = 1;
      m.pending.erase(0, static_cast<std::size_t>(d.length));
      if (d.status == DecodedKey::Status::Key) return InputEvent{d.key, d.row, d.col};
      continue;
    }
    int wait = -1;
    if (timeout) {
      const auto left = std::chrono::duration_cast<Millis>(deadline - clock::now()).count();
      if (left <= 0) return std::nullopt;
      wait = static_cast<int>(left);
    }
    m.read_more(wait);
    if (timeout && m.pending.empty() && clock::now() >= deadline) return std::nullopt;
  }
}

void CursesTerminal::flush() {
  while (impl_->read_more(0)) {
  }
  impl_->pending.clear();
}

}  // namespace kx
