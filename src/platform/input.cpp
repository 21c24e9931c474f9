#include "platform/input.h"

#include "platform/keys.h"

namespace kx {

ScriptedKeys& ScriptedKeys::key(int k) {
  queue_.push_back(InputEvent{k});
  return *this;
}

ScriptedKeys& ScriptedKeys::keys(std::initializer_list<int> ks) {
  for (int k : ks) key(k);
  return *this;
}

ScriptedKeys& ScriptedKeys::text(std::string_view cp850) {
  for (char c : cp850) key(static_cast<unsigned char>(c));
  return *this;
}

ScriptedKeys& ScriptedKeys::click(int row, int col) {
  queue_.push_back(InputEvent{key::MouseLeft, row, col});
  return *this;
}

ScriptedKeys& ScriptedKeys::pause() {
  queue_.push_back(std::nullopt);
  return *this;
}

std::optional<InputEvent> ScriptedKeys::next(std::optional<Millis> timeout) {
  if (queue_.empty()) {
    // A timed wait on an empty script is an idle moment; a loop that only
    // idles (a screen polling for a key that never comes) still ends.
    if (timeout && ++idle_waits_ < 1000) return std::nullopt;
    throw KeysExhausted("the key script ran out after " + std::to_string(used_) +
                        " keys while the program waited for another");
  }
  auto e = queue_.front();
  queue_.pop_front();
  if (!e) {
    if (timeout) return std::nullopt;
    return next(timeout);  // a pause means nothing to an untimed wait
  }
  idle_waits_ = 0;
  ++used_;
  return e;
}

}  // namespace kx
