#include "platform/drives.h"

#include "platform/cp850.h"
#include "platform/files.h"
#include "platform/text.h"

namespace kx {
namespace {

std::optional<std::size_t> slot(char letter) {
  const auto up = cp850::upper(static_cast<unsigned char>(letter));
  if (up < 'A' || up > 'Z') return std::nullopt;
  return static_cast<std::size_t>(up - 'A');
}

bool has_drive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && slot(path[0]).has_value();
}

// DRIVES.TXT is edited by hand, usually in UTF-8; text that is not valid
// UTF-8 is taken as CP850 already.
std::string decode_text(std::string_view raw) {
  std::size_t bad = 0;
  std::string text = cp850::from_utf8(raw, '?', &bad);
  return bad == 0 ? text : std::string(raw);
}

}  // namespace

Status DriveMap::set(char letter, std::string_view folder) {
  const auto i = slot(letter);
  const std::string dir = BAR_FORA(forward_slashes(folder));
  if (!i || !dir.starts_with('/'))
    return Status(StatusCode::Invalid, "drive", std::string(1, letter) + "=" + std::string(folder), 0,
                  std::string("pasta do drive deve ser um caminho absoluto"_cp));
  folders_[*i] = dir;
  return {};
}

Result<std::string> DriveMap::folder(char letter) const {
  const auto i = slot(letter);
  if (!i || !folders_[*i]) {
    const char shown = static_cast<char>(cp850::upper(static_cast<unsigned char>(letter)));
    return Status(StatusCode::Invalid, "", "", 0,
                  "Drive " + std::string(1, shown) + std::string(": não está mapeado"_cp));
  }
  return *folders_[*i];
}

Result<std::string> DriveMap::resolve(std::string_view path) const {
  std::string p = forward_slashes(path);
  if (!has_drive(p)) return p;
  auto dir = folder(p[0]);
  if (!dir.ok()) return dir.status();
  std::string_view rest = std::string_view(p).substr(2);
  while (rest.starts_with('/')) rest.remove_prefix(1);
  return rest.empty() ? *dir : join_path(*dir, rest);
}

Result<DriveMap> DriveMap::load(Os& os, std::string_view program_dir) {
  DriveMap map;
  auto file = find_in_folder(os, program_dir, "DRIVES.TXT");
  if (file.ok()) {
    auto raw = read_file(os, *file);
    if (!raw.ok()) return raw.status();
    const std::string text = decode_text(*raw);
    std::size_t line_no = 0;
    for (std::string_view rest = text; !rest.empty();) {
      const auto eol = rest.find('\n');
      std::string line = trim(rest.substr(0, eol));
      rest = eol == std::string_view::npos ? std::string_view{} : rest.substr(eol + 1);
      ++line_no;
      if (!line.empty() && line.back() == '\r') line = trim(line.substr(0, line.size() - 1));
      if (line.empty() || line.front() == '#') continue;
      const auto eq = line.find('=');
      std::string key = eq == std::string::npos ? line : trim(line.substr(0, eq));
      if (key.size() == 2 && key[1] == ':') key.pop_back();  // "C:=..." is fine too
      Status s = key.size() == 1 && eq != std::string::npos
                     ? map.set(key[0], trim(line.substr(eq + 1)))
                     : Status(StatusCode::Invalid, "drive", "", 0, {});
      if (!s.ok())
        return Status(StatusCode::Invalid, "drives", *file, 0,
                      "linha " + std::to_string(line_no) +
                          std::string(": esperado LETRA=/pasta, lido \""_cp) + line + "\"");
    }
  } else if (file.status().code() != StatusCode::NotFound) {
    return file.status();
  }
  for (char l = 'A'; l <= 'Z'; ++l) {
    if (auto v = os.env(std::string("KORVEX_DRIVE_") + l); v && !v->empty()) {
      Status s = map.set(l, *v);
      if (!s.ok())
        return Status(StatusCode::Invalid, "env", std::string("KORVEX_DRIVE_") + l, 0,
                      std::string("pasta do drive deve ser um caminho absoluto: "_cp) + *v);
    }
  }
  return map;
}

}  // namespace kx
