// Path text helpers: pure functions on CP850 paths with '/' as separator.
// Paths are kept without a trailing separator and joined with one.
#pragma once

#include <string>
#include <string_view>

namespace kx {

// BAR_DIR: adds one trailing '/' when missing ("" stays "": the current
// folder must not turn into the root).
std::string BAR_DIR(std::string_view path);
// BAR_FORA: removes one trailing '/', but a lone "/" stays.
std::string BAR_FORA(std::string_view path);
// BAR_ESQ: adds a leading '/' when missing.
std::string BAR_ESQ(std::string_view path);
// TIRA_DIR: the part after the last '/' (all of it when there is none).
std::string TIRA_DIR(std::string_view path);
// The folder part: everything before the last '/' ("/" for "/x", "" for "x").
std::string folder_of(std::string_view path);
// dir + '/' + name, with exactly one '/' between them; `name` alone when dir is "".
std::string join_path(std::string_view dir, std::string_view name);
// Backslashes become '/' (paths stored by the Windows program).
std::string forward_slashes(std::string_view path);

// DOS wildcard match, case-folded with the CP850 case map: '*' matches any
// run of characters, '?' exactly one.  As in DOS, a pattern ending in ".*"
// also matches names without a dot ("*.*" matches "README"), and one ending
// in '.' matches only names without a dot ("*." matches "README").
bool wildcard_match(std::string_view pattern, std::string_view name);

}  // namespace kx
