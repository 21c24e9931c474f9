// The catalogue of session variables: their names and starting values.
//
// Start-up declares the program's variables once; each declaration session
// declares its own on entry and releases them when it ends.  Values that come
// from the configuration tables start blank here and are filled by the
// start-up steps that read those tables.
#pragma once

#include "platform/session.h"

namespace kx {

// The variables that live for the whole run, with their initial values.
void declare_program_variables(Session& s);
// The variables of a declaration session (state and yearly constants).
void declare_declaration_variables(Session& s);
void release_declaration_variables(Session& s);

}  // namespace kx
