// The console of a session: the screen, where keys come from, the bell and
// the log of messages shown.
//
// A session's console starts headless: keys come from its own script (see
// ScriptedKeys) and nothing is displayed.  The program attaches the terminal
// adapter instead (attach()).  Drawing code only writes into screen(); the
// console hands the screen to the display whenever it waits for a key.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/screen.h"

namespace kx {

// Shows the screen to a person (the terminal adapter).
class Display {
 public:
  virtual ~Display() = default;
  virtual void present(const Screen& screen) = 0;
  virtual void bell() = 0;
};

// One message or question as the user saw it.
struct MessageEntry {
  std::string kind;                // "MENS1", "MENS14", "AVISOSN2", "AVISO", "notice" ...
  std::vector<std::string> lines;  // CP850, as shown (trailing blanks trimmed)
  std::string answer;              // what the user answered ("" for none)
};

struct Tone {
  int hz = 0;
  int ticks = 0;  // 1/18 second each
  friend bool operator==(const Tone&, const Tone&) = default;
};

class Console {
 public:
  Console() = default;
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  Screen& screen() { return screen_; }
  const Screen& screen() const { return screen_; }

  // The built-in key script (used while no terminal is attached).
  ScriptedKeys& script() { return script_; }
  // Reads keys from `input` and shows the screen on `display` (may be null).
  void attach(KeyInput& input, Display* display);
  void detach();

  // Waits for a key (or click); shows the screen first.
  InputEvent wait_event();
  // The same with a time limit: nothing when it passes.
  std::optional<InputEvent> wait_event(Millis timeout);
  int wait_key() { return wait_event().key; }
  std::optional<int> wait_key(Millis timeout);
  // LASTKEY(): the last key read.
  int last_key() const { return last_key_; }
  void flush_keys();
  // Shows the screen now (no key is read): for what is drawn before work
  // that waits for no key, such as a progress notice.
  void refresh();

  // The bell, as tones (tests read them; the terminal just rings).
  void beep(int hz = 800, int ticks = 1);
  const std::vector<Tone>& tones() const { return tones_; }

  // Insert/overwrite, carried from field to field.
  bool insert_mode() const { return insert_; }
  void set_insert_mode(bool on);

  // Every message and question shown, in order.
  std::vector<MessageEntry>& log() { return log_; }
  const std::vector<MessageEntry>& log() const { return log_; }
  // Adds an entry and returns its index (for answer()).
  std::size_t log_message(std::string kind, std::vector<std::string> lines);
  void answer(std::size_t entry, std::string text);

 private:
  KeyInput& input() { return input_ ? *input_ : script_; }
  void remember(const std::optional<InputEvent>& e);

  Screen screen_;
  ScriptedKeys script_;
  KeyInput* input_ = nullptr;
  Display* display_ = nullptr;
  int last_key_ = 0;
  bool insert_ = false;
  std::vector<Tone> tones_;
  std::vector<MessageEntry> log_;
};

}  // namespace kx
