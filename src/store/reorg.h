// Rebuilding every index (REINDEXA, main menu item 29) and reorganising one
// folder (REORG).
//
// Neither deletes or rebuilds a file another running terminal holds open
// (deleting an open file succeeds on Linux and the other terminal would go
// on writing to a ghost): the full reindex refuses while another terminal
// runs (each holds its folder list exclusively), and the reorganisation of
// a folder takes each table alone before touching its index files,
// skipping (and naming) a table in use.  A terminal opening the table in
// the instant between that check and the rebuild makes the rebuild's
// exclusive opening fail: the reorganisation stops and says so, and the
// next opening rebuilds the missing index.
#pragma once

#include <string>

namespace kx {

class Session;

enum class ReorgMode { OneFolder = 1, OnExit = 3, InReindex = 4 };

// REORG: rebuilds the index files of tables 1-20 of `folder` (a table whose
// own index was missing is packed first); in the program folder modes 1 and
// 4 also pack the program tables.  False when a table other than 9 could
// not be reorganised.
bool reorg(Session& s, const std::string& folder, ReorgMode mode);
// REINDEXA: asks, then rebuilds everything; false when refused or failed.
bool reindexa(Session& s);

}  // namespace kx
