#include "platform/files.h"

#include <cerrno>
#include <functional>

#include "platform/cp850.h"

namespace kx {
namespace {

std::vector<std::string_view> split_path(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const auto slash = path.find('/');
    const auto part = path.substr(0, slash);
    if (!part.empty()) parts.push_back(part);
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return parts;
}

std::string dir_or_current(std::string_view dir) { return dir.empty() ? "." : std::string(dir); }

// The path as it exists (in any case), or as given when there is none yet.
std::string existing_or_given(Os& os, std::string_view path) {
  auto found = find_path(os, path);
  return found.ok() ? *found : std::string(path);
}

// The path itself when it exists, else its folder: the place whose disk counts.
Result<std::string> nearest_existing(Os& os, std::string_view path) {
  std::string p = existing_or_given(os, path);
  auto info = os.stat(p);
  if (!info.ok()) return info.status();
  if (info->exists) return p;
  return dir_or_current(folder_of(p));
}

// Fills a new temporary file beside `path`, then puts it in place of `path`.
Status replace_with(Os& os, std::string_view path, const std::function<Status(File&)>& fill) {
  const std::string target = existing_or_given(os, path);
  const std::string dir = folder_of(target);
  const std::string name = TIRA_DIR(target);
  if (name.empty()) return Status(StatusCode::Invalid, "replace", target);

  std::string temp;
  std::unique_ptr<File> file;
  for (int n = 1; !file; ++n) {
    temp = join_path(dir, ".~" + name + "." + std::to_string(n));
    auto opened = os.open(temp, OpenMode::CreateExclusive);
    if (opened.ok()) {
      file = std::move(opened).value();
    } else if (opened.status().code() != StatusCode::Exists || n == 100) {
      return opened.status();
    }
  }

  Status s = fill(*file);
  if (s.ok()) s = file->sync(SyncKind::Data);
  Status closed = file->close();
  if (s.ok()) s = closed;
  if (s.ok()) s = os.rename(temp, target);
  if (!s.ok()) {
    os.unlink(temp);  // best effort: the failure to report is `s`
    return s;
  }
  return os.sync_dir(dir_or_current(dir));
}

}  // namespace

Result<std::string> find_in_folder(Os& os, std::string_view dir, std::string_view name) {
  const std::string exact = join_path(dir, name);
  auto info = os.stat(exact);
  if (!info.ok()) return info.status();
  if (info->exists) return exact;
  auto names = os.list(dir_or_current(dir));
  if (!names.ok()) {
    if (names.status().code() == StatusCode::NotFound) return Status::from_errno(ENOENT, "find", exact);
    return names.status();
  }
  const std::string wanted = cp850::upper(name);
  for (const auto& n : *names)
    if (cp850::upper(n) == wanted) return join_path(dir, n);
  return Status::from_errno(ENOENT, "find", exact);
}

Result<std::string> find_path(Os& os, std::string_view path) {
  const std::string whole(path);
  if (whole.empty()) return Status(StatusCode::Invalid, "find", whole);
  auto info = os.stat(whole);
  if (!info.ok()) return info.status();
  if (info->exists) return whole;
  std::string current = path.starts_with('/') ? "/" : "";
  for (auto part : split_path(path)) {
    auto found = find_in_folder(os, current, part);
    if (!found.ok()) {
      if (found.status().code() == StatusCode::NotFound) return Status::from_errno(ENOENT, "find", whole);
      return found.status();
    }
    current = std::move(found).value();
  }
  return current;
}

Result<std::vector<std::string>> list_matching(Os& os, std::string_view dir, std::string_view pattern,
                                               Entries entries) {
  const std::string folder = dir_or_current(existing_or_given(os, dir));
  auto names = os.list(folder);
  if (!names.ok()) return names.status();
  std::vector<std::string> out;
  for (auto& n : *names) {
    if (!wildcard_match(pattern, n)) continue;
    if (entries != Entries::Both) {
      auto info = os.stat(join_path(folder, n));
      if (!info.ok()) return info.status();
      if (!info->exists || info->is_dir != (entries == Entries::Folders)) continue;
    }
    out.push_back(std::move(n));
  }
  return out;
}

namespace {
bool exists_as(Os& os, std::string_view path, bool dir) {
  auto found = find_path(os, path);
  if (!found.ok()) return false;
  auto info = os.stat(*found);
  return info.ok() && info->exists && info->is_dir == dir;
}
}  // namespace

bool file_exists(Os& os, std::string_view path) { return exists_as(os, path, false); }
bool folder_exists(Os& os, std::string_view path) { return exists_as(os, path, true); }

Status make_folders(Os& os, std::string_view path) {
  std::string current = path.starts_with('/') ? "/" : "";
  for (auto part : split_path(path)) {
    auto found = find_in_folder(os, current, part);
    std::string next = found.ok() ? *found : join_path(current, part);
    if (!found.ok()) {
      if (found.status().code() != StatusCode::NotFound) return found.status();
      Status s = os.mkdir(next);
      if (!s.ok() && s.code() != StatusCode::Exists) return s;  // Exists: made meanwhile
    }
    auto info = os.stat(next);
    if (!info.ok()) return info.status();
    if (!info->is_dir) return Status::from_errno(info->exists ? EEXIST : ENOENT, "mkdir", next);
    current = std::move(next);
  }
  return {};
}

Result<std::string> read_file(Os& os, std::string_view path) {
  auto found = find_path(os, path);
  if (!found.ok()) return found.status();
  auto file = os.open(*found, OpenMode::Read);
  if (!file.ok()) return file.status();
  auto size = (*file)->size();
  if (!size.ok()) return size.status();
  std::string data(*size, '\0');
  if (Status s = (*file)->read_exact(0, data.data(), data.size()); !s.ok()) return s;
  return data;
}

Status replace_file(Os& os, std::string_view path, std::string_view contents) {
  return replace_with(os, path, [&](File& f) { return f.write_at(0, contents); });
}

Status copy_file(Os& os, std::string_view from, std::string_view to) {
  auto source = find_path(os, from);
  if (!source.ok()) return source.status();
  auto in = os.open(*source, OpenMode::Read);
  if (!in.ok()) return in.status();
  File& src = **in;
  return replace_with(os, to, [&](File& out) {
    std::string buf(64 * 1024, '\0');
    for (std::uint64_t offset = 0;;) {
      auto got = src.read_at(offset, buf.data(), buf.size());
      if (!got.ok()) return got.status();
      if (*got == 0) return Status{};
      if (Status s = out.write_at(offset, std::string_view(buf).substr(0, *got)); !s.ok()) return s;
      offset += *got;
    }
  });
}

Status delete_file(Os& os, std::string_view path) {
  auto found = find_path(os, path);
  if (!found.ok()) return found.status();
  return os.unlink(*found);
}

Status rename_file(Os& os, std::string_view from, std::string_view to) {
  auto source = find_path(os, from);
  if (!source.ok()) return source.status();
  auto target = find_path(os, to);
  if (target.ok() && *target != *source)  // a change of case only is allowed
    return Status::from_errno(EEXIST, "rename", *target);
  return os.rename(*source, std::string(to));
}

Result<std::uint64_t> free_disk_space(Os& os, std::string_view path) {
  auto where = nearest_existing(os, path);
  if (!where.ok()) return where.status();
  return os.free_space(*where);
}

Result<bool> is_network_drive(Os& os, std::string_view path) {
  auto where = nearest_existing(os, path);
  if (!where.ok()) return where.status();
  auto type = os.fs_type(*where);
  if (!type.ok()) return type.status();
  return type->network;
}

}  // namespace kx
