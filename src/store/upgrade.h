// The structure upgrade of older declaration tables (CORRECAO, CORRIGE).
//
// Tables 01, 02, 07, 09 and 15 each carry a marker field added by their
// latest structure change; a table without it is rewritten with the current
// structure.  The rewrite is crash-safe: the rows go field by field into a
// scratch table of its own ("ACERTO" + nn), which is synced and renamed
// over the old file while the old one is held exclusively; the table's
// index files are removed before the swap and rebuilt after it, still
// exclusively.  A crash leaves the old table (the upgrade runs again on
// the next start) or the new one without index files (rebuilt on opening).
// Table 01 also moves exempt line 12 (I3_12) into line 23 (I3_23).
#pragma once

#include <string>

namespace kx {

class Session;

enum class Upgrade {
  Current,   // the marker is there (or there is no table yet): nothing done
  Upgraded,  // rewritten with the current structure, rows kept, indexes rebuilt
  InUse,     // another terminal has the table open: left for the next time
  Failed,    // the rewrite failed (said so); the old table is intact
};

// CORRIGE: upgrades table `number` of `folder` (no trailing '/').
Upgrade corrige(Session& s, int number, const std::string& folder);
// CORRECAO: the five upgraded tables of `folder`; true when none failed.
bool correcao(Session& s, const std::string& folder);

}  // namespace kx
