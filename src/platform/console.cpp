#include "platform/console.h"

#include "platform/text.h"

namespace kx {

void Console::attach(KeyInput& in, Display* display) {
  input_ = &in;
  display_ = display;
}

void Console::detach() {
  input_ = nullptr;
  display_ = nullptr;
}

void Console::refresh() {
  if (display_) display_->present(screen_);
}

void Console::remember(const std::optional<InputEvent>& e) {
  if (e) last_key_ = e->key;
}

InputEvent Console::wait_event() {
  refresh();
  auto e = input().next(std::nullopt);
  while (!e) e = input().next(std::nullopt);
  remember(e);
  return *e;
}

std::optional<InputEvent> Console::wait_event(Millis timeout) {
  refresh();
  auto e = input().next(timeout);
  remember(e);
  return e;
}

std::optional<int> Console::wait_key(Millis timeout) {
  auto e = wait_event(timeout);
  if (!e) return std::nullopt;
  return e->key;
}

void Console::flush_keys() { input().flush(); }

void Console::beep(int hz, int ticks) {
  tones_.push_back(Tone{hz, ticks});
  if (display_) display_->bell();
}

void Console::set_insert_mode(bool on) {
  insert_ = on;
  screen_.set_cursor_shape(on ? CursorShape::Insert : CursorShape::Overwrite);
}

std::size_t Console::log_message(std::string kind, std::vector<std::string> lines) {
  for (auto& l : lines) l = rtrim(l);
  log_.push_back(MessageEntry{std::move(kind), std::move(lines), {}});
  return log_.size() - 1;
}

void Console::answer(std::size_t entry, std::string text) {
  if (entry < log_.size()) log_[entry].answer = std::move(text);
}

}  // namespace kx
