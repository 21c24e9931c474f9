// Hot keys: keys bound to actions while fields, lists and menus read keys.
//
// Bindings live in a stack of scopes (the program, a declaration session, a
// screen, a list).  A scope is pushed by whoever owns it and popped when its
// handle goes out of scope, so bindings are never unbound and rebound by
// hand; the innermost binding of a key wins.  A scope may also hide a key of
// the outer scopes (block()), as a list takes Alt+U from the session.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/value.h"

namespace kx {

class Console;

// What a handler sees and may ask for.
struct HotKeyContext {
  Console& console;
  int key = 0;
  std::string field;           // name of the field being read ("" elsewhere)
  std::optional<Value> value;  // its value as typed so far
  std::optional<Value> put;    // set by the handler: the value to put into the field
  bool end_read = false;       // set by the handler: abandon the read (a screen change)
};

class HotKeys {
 public:
  using Handler = std::function<void(HotKeyContext&)>;

  class Scope {
   public:
    Scope(Scope&& o) noexcept : keys_(o.keys_), id_(o.id_) { o.keys_ = nullptr; }
    Scope& operator=(Scope&&) = delete;
    ~Scope();
    Scope& bind(int key, Handler h);
    Scope& block(int key);  // hides the outer binding of `key` while this scope is on

   private:
    friend class HotKeys;
    Scope(HotKeys* k, int id) : keys_(k), id_(id) {}
    HotKeys* keys_;
    int id_;
  };

  // Pushes a scope; it is popped when the returned handle is destroyed
  // (scopes must be destroyed innermost first).
  [[nodiscard]] Scope push(std::string name);

  // The handler of a key, innermost first; nothing when unbound or blocked.
  const Handler* find(int key) const;
  std::vector<std::string> scopes() const;  // names, outermost first

 private:
  struct Binding {
    int key;
    Handler handler;  // empty: blocked
  };
  struct Level {
    int id;
    std::string name;
    std::vector<Binding> bindings;
  };
  std::vector<Level> levels_;
  int next_id_ = 1;
};

// Calls the bound handler of ctx.key; false when the key is not bound.
bool run_hot_key(const HotKeys* keys, HotKeyContext& ctx);

}  // namespace kx
