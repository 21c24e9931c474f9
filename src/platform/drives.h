// Drive letters.  The application speaks of drives ("A:", "C:\KORVEL"); each
// letter maps to a folder, from the environment variable KORVEX_DRIVE_<L>
// (KORVEX_DRIVE_A=/mnt/floppy) or else from the file DRIVES.TXT in the
// program folder, one "A=/mnt/floppy" per line ('#' starts a comment).
// A letter without a mapping is an error, never a relative path.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os.h"

namespace kx {

class DriveMap {
 public:
  DriveMap() = default;  // no letter mapped

  // Reads the environment (through os.env) and DRIVES.TXT (any case) in
  // `program_dir`.  A missing file is no error; a malformed line, or a
  // folder that is not absolute, is Invalid naming the file and the line.
  static Result<DriveMap> load(Os& os, std::string_view program_dir);

  // Maps a letter (either case) to an absolute folder; Invalid otherwise.
  Status set(char letter, std::string_view folder);

  // The folder of a letter, or Invalid "Drive X: não está mapeado".
  Result<std::string> folder(char letter) const;

  // A stored path made usable: backslashes become '/', and a drive prefix is
  // replaced by its folder ("C:\KORVEL\2013" -> "<C>/KORVEL/2013", "C:" ->
  // "<C>", "C:KORVEL" -> "<C>/KORVEL").  Paths without a drive come back with
  // only the slashes changed.
  Result<std::string> resolve(std::string_view path) const;

 private:
  std::array<std::optional<std::string>, 26> folders_;
};

}  // namespace kx
