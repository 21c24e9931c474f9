// The real terminal, through ncursesw: shows the screen and reads keys.
//
// CP850 cells are drawn as their Unicode characters in the 16 colours (a
// terminal with fewer than 16 colours shows a bright foreground as bold and
// drops a bright background; blink is the terminal's blink; without colours
// the selection colours are shown reversed and bright text bold).  Only the cells that changed
// since the last frame are sent.  A terminal smaller than 80x25 shows a
// notice until it is made larger, then the screen is redrawn whole.
//
// Input is raw: the bytes are decoded by decode_key (Ctrl+C arrives as a key,
// never as an interrupt), with a short delay to tell Esc from Alt.  Mouse
// clicks are reported when the terminal supports xterm mouse reports.
//
// The terminal is restored whatever way the program ends: by the destructor,
// after SIGTERM or SIGHUP (the next key wait throws TerminalClosed so the
// program unwinds and closes its files), and after a crash signal (restored
// from the handler, then the signal takes its course).
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/console.h"

namespace kx {

// The terminal was closed or the program asked to end (SIGTERM, SIGHUP).
struct TerminalClosed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct TerminalOptions {
  bool colour = true;  // false when the user asked for no colours (NO_COLOR)
  bool mouse = true;
};

class CursesTerminal final : public KeyInput, public Display {
 public:
  // Takes over the terminal on standard input and output; throws
  // std::runtime_error when they are not a terminal.  One at a time.
  explicit CursesTerminal(TerminalOptions options = {});
  ~CursesTerminal() override;
  CursesTerminal(const CursesTerminal&) = delete;
  CursesTerminal& operator=(const CursesTerminal&) = delete;

  void present(const Screen& screen) override;
  void bell() override;
  std::optional<InputEvent> next(std::optional<Millis> timeout) override;
  void flush() override;

  // Colour depth in use: 16, 8 or 0 (monochrome).
  int colours() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kx
