#include "store/work_areas.h"

#include "platform/cp850.h"

namespace kx {

WorkAreas::~WorkAreas() { (void)close_all(); }

Result<Area*> WorkAreas::place(int n, Result<std::unique_ptr<Area>> opened) {
  if (!opened.ok()) return opened.status();
  std::unique_ptr<Area> a = std::move(opened).value();
  const int other = number_of(a->alias());
  if (other != 0 && other != n)
    return Status(StatusCode::Invalid, "open", a->table().path(), 0, "alias " + a->alias() + " already in use");
  a->set_hide_deleted(hide_deleted_);
  (void)a->go_top();
  Area* p = a.get();
  areas_[n] = std::move(a);
  current_ = n;
  return p;
}

Result<Area*> WorkAreas::open(int n, const std::string& path, Share share, const std::vector<IndexSpec>& indexes,
                              std::string alias) {
  if (n < 1 || n > kLast) return Status(StatusCode::Invalid, "select", path, 0, "no work area " + std::to_string(n));
  if (Status s = close(n); !s.ok()) return s;
  return place(n, Area::open(os_, path, share, indexes, cp850::upper(alias)));
}

Result<Area*> WorkAreas::create(int n, const std::string& path, std::vector<dbf::FieldDef> fields, Share share,
                                const std::vector<IndexSpec>& indexes, std::string alias) {
  if (n < 1 || n > kLast) return Status(StatusCode::Invalid, "select", path, 0, "no work area " + std::to_string(n));
  if (Status s = close(n); !s.ok()) return s;
  return place(n, Area::create(os_, path, std::move(fields), share, indexes, cp850::upper(alias)));
}

int WorkAreas::scratch() const {
  for (int n = kNumbered + 1; n <= kLast; ++n)
    if (!areas_.count(n)) return n;
  return 0;
}

Status WorkAreas::close(int n) {
  auto it = areas_.find(n);
  if (it == areas_.end()) return {};
  Status s = it->second->close();
  areas_.erase(it);
  return s;
}

Status WorkAreas::close_all() {
  Status s;
  for (auto& [n, a] : areas_) {
    Status c = a->close();
    if (s.ok()) s = c;
  }
  areas_.clear();
  return s;
}

Status WorkAreas::select(int n) {
  if (n < 1 || n > kLast) return Status(StatusCode::Invalid, "select", std::to_string(n), 0, "no such work area");
  current_ = n;
  return {};
}

Status WorkAreas::select(std::string_view alias) {
  const int n = number_of(alias);
  if (n == 0) return Status(StatusCode::NotFound, "select", std::string(alias), 0, "no work area with this alias");
  current_ = n;
  return {};
}

Area* WorkAreas::area(int n) {
  auto it = areas_.find(n);
  return it == areas_.end() ? nullptr : it->second.get();
}

Area* WorkAreas::find(std::string_view alias) { return area(number_of(alias)); }

int WorkAreas::number_of(std::string_view alias) const {
  const std::string want = cp850::upper(alias);
  for (const auto& [n, a] : areas_)
    if (a->alias() == want) return n;
  return 0;
}

void WorkAreas::set_hide_deleted(bool on) {
  hide_deleted_ = on;
  for (auto& [n, a] : areas_) a->set_hide_deleted(on);
}

}  // namespace kx
