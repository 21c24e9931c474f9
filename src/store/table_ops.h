// Operations between tables and with session variables: copy a structure,
// copy rows to a new table with a condition, append from another table by
// field name, gather and scatter, and the delimited text of COPY TO /
// APPEND FROM ... DELIMITED.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/vars.h"
#include "store/area.h"

namespace kx {

using RowCondition = std::function<bool(Area&)>;

// A new empty table with the fields of `from` (replacing one nobody has open).
Status copy_structure(Area& from, const std::string& path);
// The visible rows of `from` in its active order, from the top, that meet
// `cond` (all when empty), into a new table with the same fields.  The area
// is left at the end.  Returns the number of rows copied.
Result<std::uint32_t> copy_rows(Area& from, const std::string& path, const RowCondition& cond = {});

struct AppendReport {
  std::uint32_t rows = 0;
  // "record 12: VALOR 123456789012.5 does not fit (N 12,2)" ... for values
  // that could not be converted or did not fit; those fields stay blank.
  std::vector<std::string> problems;
};
// APPEND FROM: every undeleted row of the table at `path` that meets `cond`
// (evaluated on the source) is appended to `to`, field by field where the
// names agree, converting types.  The source is opened shared.
Result<AppendReport> append_from(Area& to, const std::string& path, const RowCondition& cond = {});

// A value converted to a field's type (text to number or date, number to
// text...); Invalid saying why when it cannot be.
Result<Value> convert_for(const dbf::FieldDef& f, const Value& v);

// SCATTER: each field of the current record (blank at EOF) becomes a
// session variable of the same name.  GATHER: each field that has a
// variable of its name takes its value (one write; the caller holds the
// lock on a shared table).
void scatter(Area& a, Vars& vars);
Status gather(Area& a, const Vars& vars);

// COPY TO ... DELIMITED: one line per visible row meeting `cond`, fields
// (memo fields left out) separated by commas: text right-trimmed in double
// quotes, numbers without leading blanks, dates yyyymmdd (nothing for an
// empty date), logicals T/F, lines ended by CRLF.  The file is replaced
// atomically.  Returns the number of rows written.
Result<std::uint32_t> copy_to_delimited(Area& from, const std::string& path, const RowCondition& cond = {});
// APPEND FROM ... DELIMITED: values by position.  Every line is checked
// before anything is appended; a malformed line is Invalid naming the file
// and its line number, and nothing is written.
Result<std::uint32_t> append_from_delimited(Area& to, const std::string& path);

}  // namespace kx
