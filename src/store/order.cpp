#include "store/order.h"

namespace kx {

std::string make_entry(std::string_view key, std::uint32_t recno) {
  std::string e(key);
  for (int i = 3; i >= 0; --i) e += static_cast<char>(recno >> (8 * i));
  return e;
}

std::uint32_t entry_recno(std::string_view e) {
  std::uint32_t n = 0;
  for (std::size_t i = e.size() - 4; i < e.size(); ++i) n = n << 8 | static_cast<unsigned char>(e[i]);
  return n;
}

MemOrder::MemOrder(BoundKey key)
    : text_(key.expr().text()), key_([k = key](std::string_view r) { return k.eval(r); }), bound_(key) {}

Result<std::string> MemOrder::seek_bytes(const Value& v) const {
  if (bound_) return bound_->seek_bytes(v);
  if (v.is_text()) return v.text();
  if (v.type() == Type::N) return numeric_key(v.number(), 0);
  if (v.type() == Type::D) return v.date().stored();
  return std::string(1, v.logical() ? 'T' : 'F');
}

Status MemOrder::insert(std::string_view entry) {
  entries_.emplace(entry);
  return {};
}

Status MemOrder::erase(std::string_view entry) {
  auto it = entries_.find(entry);
  if (it == entries_.end()) return Status(StatusCode::Corruption, "order", text_, 0, "entry not in the order");
  entries_.erase(it);
  return {};
}

Result<std::optional<std::string>> MemOrder::first() {
  if (entries_.empty()) return std::optional<std::string>();
  return std::optional<std::string>(*entries_.begin());
}
Result<std::optional<std::string>> MemOrder::last() {
  if (entries_.empty()) return std::optional<std::string>();
  return std::optional<std::string>(*entries_.rbegin());
}
Result<std::optional<std::string>> MemOrder::lower_bound(std::string_view bytes) {
  auto it = entries_.lower_bound(bytes);
  if (it == entries_.end()) return std::optional<std::string>();
  return std::optional<std::string>(*it);
}
Result<std::optional<std::string>> MemOrder::after(std::string_view entry) {
  auto it = entries_.upper_bound(entry);
  if (it == entries_.end()) return std::optional<std::string>();
  return std::optional<std::string>(*it);
}
Result<std::optional<std::string>> MemOrder::before(std::string_view entry) {
  auto it = entries_.lower_bound(entry);
  if (it == entries_.begin()) return std::optional<std::string>();
  return std::optional<std::string>(*std::prev(it));
}

}  // namespace kx
