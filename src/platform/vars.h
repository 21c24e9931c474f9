// Session variables: the program-wide named variables of the procedures.
//
// Names are kept as the procedures write them, in capitals; lookups fold case
// and accept the "M->" prefix some callers pass ("m->xdrive" is XDRIVE).  A
// variable has the type it was declared with: assigning a value of another
// type is a program error (std::logic_error naming the variable), so a typo or
// a wrong type shows up in the first test instead of as a wrong screen.  Text
// and memo values are interchangeable.  Lists (the "A" variables) hold values
// of any type and are indexed from 1.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/value.h"

namespace kx {

class Vars {
 public:
  // "m->xdrive " -> "XDRIVE".
  static std::string normalize(std::string_view name);

  // Declares a variable with its value (a variable declared again takes the
  // new type and value).
  void declare(std::string_view name, Value initial);
  void declare_list(std::string_view name, std::vector<Value> items);
  // Drops a variable (variables created by one declaration session are
  // dropped when it ends).  Dropping an unknown name does nothing.
  void release(std::string_view name);

  bool has(std::string_view name) const;
  bool is_list(std::string_view name) const;

  const Value& get(std::string_view name) const;
  void set(std::string_view name, Value v);

  // Typed reads.
  const std::string& c(std::string_view name) const { return get(name).text(); }
  const Decimal& n(std::string_view name) const { return get(name).number(); }
  Date d(std::string_view name) const { return get(name).date(); }
  bool l(std::string_view name) const { return get(name).logical(); }

  // Lists.
  const std::vector<Value>& list(std::string_view name) const;
  std::vector<Value>& list(std::string_view name);
  // Element `index` (1-based); out of range is a program error.
  const Value& at(std::string_view name, int index) const;
  void set_at(std::string_view name, int index, Value v);

  std::size_t size() const { return vars_.size(); }

 private:
  struct Var {
    bool is_list = false;
    std::vector<Value> values;  // one value for a scalar
  };
  const Var& find(std::string_view name) const;
  Var& find(std::string_view name);

  std::unordered_map<std::string, Var> vars_;
};

}  // namespace kx
