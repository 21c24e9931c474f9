// The session: all state of one running program.
//
// A Session owns the session variables and refers to the OS layer and the
// clock it was given.  Each subsystem keeps its own state (open tables,
// window slots, the console ...) as a part of the session, created on first
// use and destroyed with it; there are no other mutable globals, so a test
// creates a fresh session on a temporary folder and throws it away.
#pragma once

#include <memory>
#include <type_traits>
#include <typeinfo>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/vars.h"

namespace kx {

class Os;

class Session {
 public:
  Session(Os& os, Clock& clock) : os_(os), clock_(clock) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session();

  Os& os() { return os_; }
  Clock& clock() { return clock_; }
  Vars& vars() { return vars_; }
  const Vars& vars() const { return vars_; }

  // The session's part of type T, made on first use: T(Session&) when T has
  // such a constructor, else T().  Parts are destroyed in reverse order of
  // creation, so a part may use the parts it created before.
  template <class T>
  T& part() {
    auto it = index_.find(std::type_index(typeid(T)));
    if (it != index_.end()) return *static_cast<T*>(parts_[it->second]->get());
    std::unique_ptr<Holder<T>> h;
    if constexpr (std::is_constructible_v<T, Session&>)
      h = std::make_unique<Holder<T>>(*this);
    else
      h = std::make_unique<Holder<T>>();
    T* p = &h->value;
    index_.emplace(std::type_index(typeid(T)), parts_.size());
    parts_.push_back(std::move(h));
    return *p;
  }
  template <class T>
  bool has_part() const {
    return index_.count(std::type_index(typeid(T))) != 0;
  }

 private:
  struct HolderBase {
    virtual ~HolderBase() = default;
    virtual void* get() = 0;
  };
  template <class T>
  struct Holder final : HolderBase {
    template <class... A>
    explicit Holder(A&&... a) : value(std::forward<A>(a)...) {}
    void* get() override { return &value; }
    T value;
  };

  Os& os_;
  Clock& clock_;
  Vars vars_;
  std::vector<std::unique_ptr<HolderBase>> parts_;
  std::unordered_map<std::type_index, std::size_t> index_;
};

}  // namespace kx
