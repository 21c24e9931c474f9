#include "platform/ui_hotkeys.h"

#include <stdexcept>

namespace kx {

HotKeys::Scope::~Scope() {
  if (!keys_) return;
  auto& lv = keys_->levels_;
  // Innermost first; a scope destroyed out of order also drops those above it.
  for (std::size_t i = lv.size(); i-- > 0;) {
    if (lv[i].id == id_) {
      lv.erase(lv.begin() + static_cast<std::ptrdiff_t>(i), lv.end());
      break;
    }
  }
}

HotKeys::Scope& HotKeys::Scope::bind(int key, Handler h) {
  for (auto& l : keys_->levels_)
    if (l.id == id_) {
      for (auto& b : l.bindings)
        if (b.key == key) {
          b.handler = std::move(h);
          return *this;
        }
      l.bindings.push_back(Binding{key, std::move(h)});
      return *this;
    }
  throw std::logic_error("binding a hot key in a scope that was popped");
}

HotKeys::Scope& HotKeys::Scope::block(int key) { return bind(key, Handler{}); }

HotKeys::Scope HotKeys::push(std::string name) {
  const int id = next_id_++;
  levels_.push_back(Level{id, std::move(name), {}});
  return Scope(this, id);
}

const HotKeys::Handler* HotKeys::find(int key) const {
  for (auto l = levels_.rbegin(); l != levels_.rend(); ++l)
    for (const auto& b : l->bindings)
      if (b.key == key) return b.handler ? &b.handler : nullptr;
  return nullptr;
}

std::vector<std::string> HotKeys::scopes() const {
  std::vector<std::string> out;
  for (const auto& l : levels_) out.push_back(l.name);
  return out;
}

bool run_hot_key(const HotKeys* keys, HotKeyContext& ctx) {
  if (!keys) return false;
  const HotKeys::Handler* h = keys->find(ctx.key);
  if (!h) return false;
  // Copy: the handler may push and pop scopes of its own.
  HotKeys::Handler call = *h;
  call(ctx);
  return true;
}

}  // namespace kx
