// The per-terminal rows of the program folder (42 CONFIG, 56 CORES, 57
// CONFIMP) created with their defaults when the terminal has none, and the
// field-named session variables of the single-row tables.
#pragma once

#include <initializer_list>
#include <string_view>

namespace kx {

class Session;
class Vars;

// Opens table 42, 56 or 57 and stands on this terminal's row (NUSU),
// adding it with the declared defaults when missing.  Another terminal
// adding its own row at the same moment is never overwritten: the append
// happens under the table lock after a second seek.
bool ensure_terminal_row(Session& s, int table);
// All three.
bool ensure_terminal_rows(Session& s);

// Declares one session variable per field of table `table` (1, 9 ...) with
// its blank value: spaces of the field's width, 0, the empty date, false.
void declare_field_variables(Vars& v, int table);
// Drops them again, except the names in `keep` (variables that also live
// for the whole run, such as CPF and NOMECONTR).
void release_field_variables(Vars& v, int table, std::initializer_list<std::string_view> keep = {});

}  // namespace kx
