// The work areas of a session: numbered areas 1-75 (a table number is the
// area it stays open in) and scratch areas above them, aliases and the
// current area.  A Session part: session.part<WorkAreas>().
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/session.h"
#include "store/area.h"

namespace kx {

class WorkAreas {
 public:
  static constexpr int kNumbered = 75;
  static constexpr int kLast = 250;  // scratch areas are kNumbered+1 .. kLast

  explicit WorkAreas(Session& session) : os_(session.os()) {}
  explicit WorkAreas(Os& os) : os_(os) {}
  ~WorkAreas();

  Os& os() { return os_; }

  // Opens a table in area `n` (closing what was open there first) and makes
  // it current.  The alias is the file name unless one is given; an alias
  // in use by another area is Invalid.
  Result<Area*> open(int n, const std::string& path, Share share, const std::vector<IndexSpec>& indexes = {},
                     std::string alias = {});
  Result<Area*> create(int n, const std::string& path, std::vector<dbf::FieldDef> fields, Share share,
                       const std::vector<IndexSpec>& indexes = {}, std::string alias = {});
  // The lowest free scratch area.
  int scratch() const;

  Status close(int n);
  Status close_all();

  // SELECT by number or alias; the current area may be empty.
  Status select(int n);
  Status select(std::string_view alias);
  int current_number() const { return current_; }
  Area* current() { return area(current_); }
  Area* area(int n);
  Area* find(std::string_view alias);
  int number_of(std::string_view alias) const;

  // SET DELETED: deleted rows hidden in every area (on by default).
  void set_hide_deleted(bool on);
  bool hide_deleted() const { return hide_deleted_; }

 private:
  Result<Area*> place(int n, Result<std::unique_ptr<Area>> opened);
  Os& os_;
  std::map<int, std::unique_ptr<Area>> areas_;
  int current_ = 1;
  bool hide_deleted_ = true;
};

}  // namespace kx
