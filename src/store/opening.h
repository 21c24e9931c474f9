// Opening tables by number (ABERTURA) and the generic opening step under it
// (ABREARQ, NETUSE), table creation from the declarations (CRIA), the
// finishing step (SAI_ABRE) and closing groups of work areas.
//
// Folders come from the session variables: the program folder ARQDEF, the
// folder of declarations in hand LOCARQ, the work folder LOCTRAB and the
// terminal number NUSU.  MOS_MENS turns the progress messages on,
// REFAZ_IND makes every opening rebuild its indexes, APELIDO names the alias
// of the next opening (and is cleared by it).
//
// Every index is built while the table is held exclusively; a table whose
// own index file is missing is packed first, and every pack rebuilds all
// the index files of its table.  A reference table (no structure) that is
// missing shows "Arquivo X não localizado!" and leaves its area empty while
// the opening reports success: reads through the area functions find
// nothing and writes fail.
#pragma once

#include <string>
#include <vector>

#include "store/area.h"
#include "store/catalog_fields.h"

namespace kx {

class Os;
class Session;

// The session variable `name` as text ("" when it is not declared).
std::string store_var(Session& s, std::string_view name);
// The existing file of that name in any case, else the path as given.
std::string found_or(Os& os, const std::string& path);
// The folder of a catalogue group in this session (no trailing '/').
std::string folder_path(Session& s, Folder f);
// Path without extension of table `number` in its folder ("/x/IMP0913").
std::string table_base_path(Session& s, int number);
// The index files of catalogue entry `e` whose table lies at `base` (path
// without extension): the table's own first, then the named ones beside it.
std::vector<IndexSpec> index_specs(const CatalogEntry& e, const std::string& base);

// CRIA: creates `base` + ".DBF" with the structure of table `number`
// (1-40, and the office tables the program creates), replacing index files
// left over from an earlier table of that name, and writes the default
// record of table 43.  Keeps "Criando IMP01.DBF" (and so on) shown while it
// works.  Creations in one folder take turns on the lock of its file
// KXCRIA.LCK, and a table that exists when the turn comes (made meanwhile by
// another terminal) is left as it is.  A number without a structure:
// "Arquivo NAME não localizado!", false.
bool cria(Session& s, int number, const std::string& base);

struct OpenSpec {
  int area = 0;  // also the table number CRIA creates a missing file with
  bool exclusive = false;
  std::string base;  // path without extension
  std::string key1;  // "" = no index
  std::string key2, file2;  // file2 "" = base name + "B"
  std::string key3, file3;
  std::string alias;  // "" = the file name
};
// The opening of catalogue table `number` from `base` with its keys.
OpenSpec catalog_spec(const CatalogEntry& e, std::string base, bool exclusive);
// ABREARQ: steps 1-9 of the generic opening (see the header comment).
bool abrearq(Session& s, const OpenSpec& spec);
// NETUSE: opens `dbf_path` in area `area` in the mode asked; false at once
// when it cannot (held exclusively elsewhere, or held at all for an
// exclusive request).  The seconds are accepted and ignored: callers own
// their retry boxes.
bool netuse(Session& s, int area, const std::string& dbf_path, bool exclusive, double seconds = 0,
            const std::vector<IndexSpec>& indexes = {}, std::string alias = {});

// ABERTURA: opens table `number` (0 = the open-everything step) from the
// catalogue and makes it current.  The exclusive flag counts for tables
// 1-20, 66 and 67 only.
bool abertura(Session& s, int number, bool exclusive = false);
// SAI_ABRE: closes the kept progress window (with MOS_MENS), hides deleted
// rows again, and for 0 or 50 reopens the folder list.
void sai_abre(Session& s, int number);
// FECHA_PROV closes areas 21-40; FECHA_TODO areas 1-20 except 9, and 21-40.
void fecha_prov(Session& s);
void fecha_todo(Session& s);

// The folder list (50) opened exclusively and current; an empty list gets
// the program-folder row with SELEC "S".
bool open_folder_list(Session& s);

}  // namespace kx
