// `korvex dbf FILE [--check]`: a table's structure and rows as text, and a
// validation of its header, records, memo blocks and index files.
#pragma once

#include <iosfwd>
#include <string>

#include "platform/os.h"

namespace kx {

// Prints the structure (lines starting with '#') and then one line per
// record: number, deleted mark, then the fields, tab-separated, CP850 shown
// as UTF-8 (tabs, line ends and backslashes in texts escaped as \t \n \\).
// Returns the exit status: 0, or 1 after an error line on `err`.
int dbf_dump(Os& os, const std::string& path, std::ostream& out, std::ostream& err);
// Checks the header (count against file size), every record and memo
// block, and every index file of the table (X.CDX and X?.CDX beside
// X.DBF): one line per finding on `out`; 0 when all is sound, 1 otherwise.
int dbf_check(Os& os, const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace kx
