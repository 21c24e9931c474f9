// Keyboard and mouse input: where keys come from.
//
// The console reads events through KeyInput.  The terminal adapter is one
// source; ScriptedKeys is the other, for tests and headless runs: it is fed
// keys, text and clicks beforehand and fails loudly (KeysExhausted) when a
// screen waits for a key the script does not have, so a test that goes
// wrong stops instead of hanging.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kx {

namespace key {
// The left mouse button pressed; the event carries the cell.
inline constexpr int MouseLeft = 1002;
}  // namespace key

struct InputEvent {
  int key = 0;
  int row = -1, col = -1;  // the clicked cell (key::MouseLeft only)
  friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

using Millis = std::chrono::milliseconds;

class KeyInput {
 public:
  virtual ~KeyInput() = default;
  // The next event.  Without a timeout it waits as long as it takes; with one
  // it gives nothing when the time passes without a key.
  virtual std::optional<InputEvent> next(std::optional<Millis> timeout) = 0;
  // Drops keys typed ahead and not read yet.
  virtual void flush() = 0;
};

// Raised by a key script that is asked for a key it does not have.
struct KeysExhausted : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ScriptedKeys final : public KeyInput {
 public:
  ScriptedKeys& key(int k);
  ScriptedKeys& keys(std::initializer_list<int> ks);
  // Each byte of a CP850 text as one key.
  ScriptedKeys& text(std::string_view cp850);
  ScriptedKeys& click(int row, int col);
  // One timed wait that passes without a key (an idle moment).
  ScriptedKeys& pause();

  std::optional<InputEvent> next(std::optional<Millis> timeout) override;
  // The keys of a script are what the user types after the screen shows,
  // so they are never dropped; flush only counts.
  void flush() override { ++flushes_; }

  std::size_t remaining() const { return queue_.size(); }
  int flushes() const { return flushes_; }
  // Events consumed so far.
  std::size_t used() const { return used_; }

 private:
  std::deque<std::optional<InputEvent>> queue_;  // nothing = a pause
  std::size_t used_ = 0;
  int idle_waits_ = 0;
  int flushes_ = 0;
};

}  // namespace kx
