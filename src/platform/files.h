// File and folder helpers over an Os.
//
// Folders copied from Windows hold "imp0113.dbf" where the program asks for
// "IMP0113.DBF", so an existing file or folder is looked up case-insensitively
// (the exact name first, then a scan with the CP850 case map); new files are
// created with the name given.  Every failure is a Status naming the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os.h"
#include "platform/paths.h"

namespace kx {

// The path of the entry of `dir` called `name` in any case: the exact name
// when it exists, else the first (in byte order) whose upper-case form is
// the same.  NotFound naming dir/name when there is none.
Result<std::string> find_in_folder(Os& os, std::string_view dir, std::string_view name);
// The same for every level of a path ("korvel/2013/IMP0113.DBF"); the parts
// that exist as written are not scanned.
Result<std::string> find_path(Os& os, std::string_view path);

enum class Entries { Files, Folders, Both };
// Names (not paths) in `dir` matching a DOS wildcard pattern, case-folded
// ("imp??13.dbf", "tmp_*.*", "*.cdx"), sorted by byte value.
Result<std::vector<std::string>> list_matching(Os& os, std::string_view dir,
                                               std::string_view pattern,
                                               Entries entries = Entries::Files);

// A file (not a folder) / a folder exists under this name in any case.
bool file_exists(Os& os, std::string_view path);
bool folder_exists(Os& os, std::string_view path);

// Creates the folder and every missing folder above it; Ok when it already
// exists; Exists when a level is a file.
Status make_folders(Os& os, std::string_view path);

// The whole contents of a file.
Result<std::string> read_file(Os& os, std::string_view path);

// Writes `contents` to a new file in the same folder, syncs it, renames it
// over `path` and syncs the folder: a crash leaves the old contents or the
// new, never a mix (a stray temporary file at worst).  An existing file in
// another case is the one replaced.
Status replace_file(Os& os, std::string_view path, std::string_view contents);

// Copies the contents of `from` to `to` the same way (nothing but the
// contents is kept: not times, not permissions).  Replaces `to`.
Status copy_file(Os& os, std::string_view from, std::string_view to);

// Removes a file; NotFound when there is none.
Status delete_file(Os& os, std::string_view path);
// Renames a file or folder; as in DOS, Exists when `to` is already there.
Status rename_file(Os& os, std::string_view from, std::string_view to);

// Bytes free for us on the disk of `path` (a missing file: its folder's disk).
Result<std::uint64_t> free_disk_space(Os& os, std::string_view path);
// Whether `path` (or, when missing, its folder) lies on a network file system.
Result<bool> is_network_drive(Os& os, std::string_view path);

}  // namespace kx
