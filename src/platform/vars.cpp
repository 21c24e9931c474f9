#include "platform/vars.h"

#include <stdexcept>

#include "platform/text.h"

namespace kx {
namespace {

bool same_kind(const Value& a, const Value& b) {
  return a.type() == b.type() || (a.is_text() && b.is_text());
}

[[noreturn]] void fail(std::string_view what, std::string_view name) {
  throw std::logic_error(std::string(what) + ": " + std::string(name));
}

}  // namespace

std::string Vars::normalize(std::string_view name) {
  std::string n = cp850::upper(trim(name));
  if (n.rfind("M->", 0) == 0) n = trim(n.substr(3));
  return n;
}

void Vars::declare(std::string_view name, Value initial) {
  vars_[normalize(name)] = Var{false, {std::move(initial)}};
}

void Vars::declare_list(std::string_view name, std::vector<Value> items) {
  vars_[normalize(name)] = Var{true, std::move(items)};
}

void Vars::release(std::string_view name) { vars_.erase(normalize(name)); }

bool Vars::has(std::string_view name) const { return vars_.count(normalize(name)) != 0; }

bool Vars::is_list(std::string_view name) const {
  auto it = vars_.find(normalize(name));
  return it != vars_.end() && it->second.is_list;
}

const Vars::Var& Vars::find(std::string_view name) const {
  auto it = vars_.find(normalize(name));
  if (it == vars_.end()) fail("unknown session variable", name);
  return it->second;
}

Vars::Var& Vars::find(std::string_view name) {
  return const_cast<Var&>(static_cast<const Vars*>(this)->find(name));
}

const Value& Vars::get(std::string_view name) const {
  const Var& v = find(name);
  if (v.is_list) fail("session variable is a list", name);
  return v.values.front();
}

void Vars::set(std::string_view name, Value value) {
  Var& v = find(name);
  if (v.is_list) fail("session variable is a list", name);
  if (!same_kind(v.values.front(), value)) fail("wrong type assigned to session variable", name);
  v.values.front() = std::move(value);
}

const std::vector<Value>& Vars::list(std::string_view name) const {
  const Var& v = find(name);
  if (!v.is_list) fail("session variable is not a list", name);
  return v.values;
}

std::vector<Value>& Vars::list(std::string_view name) {
  Var& v = find(name);
  if (!v.is_list) fail("session variable is not a list", name);
  return v.values;
}

const Value& Vars::at(std::string_view name, int index) const {
  const auto& items = list(name);
  if (index < 1 || static_cast<std::size_t>(index) > items.size())
    fail("list index out of range", name);
  return items[static_cast<std::size_t>(index - 1)];
}

void Vars::set_at(std::string_view name, int index, Value value) {
  auto& items = list(name);
  if (index < 1 || static_cast<std::size_t>(index) > items.size())
    fail("list index out of range", name);
  Value& slot = items[static_cast<std::size_t>(index - 1)];
  if (!same_kind(slot, value)) fail("wrong type assigned to list element", name);
  slot = std::move(value);
}

}  // namespace kx
