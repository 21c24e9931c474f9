#include "platform/paths.h"


#include "platform/cp850.h"

namespace kx {

std::string BAR_DIR(std::string_view path) {
  std::string out(path);
  if (!out.empty() && out.back() != '/') out += '/';
  return out;
}

std::string BAR_FORA(std::string_view path) {
  if (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return std::string(path);
}

std::string BAR_ESQ(std::string_view path) {
  if (!path.empty() && path.front() == '/') return std::string(path);
  return '/' + std::string(path);
}

std::string TIRA_DIR(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string folder_of(std::string_view path) {
  const auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string join_path(std::string_view dir, std::string_view name) {
  while (!name.empty() && name.front() == '/') name.remove_prefix(1);
  if (dir.empty()) return std::string(name);
  return BAR_DIR(dir) + std::string(name);
}

std::string forward_slashes(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

namespace {

// '*' and '?' matching with backtracking to the last '*' (linear in practice).
bool glob(std::string_view p, std::string_view n) {
  std::size_t pi = 0, ni = 0, star = std::string_view::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

bool wildcard_match(std::string_view pattern, std::string_view name) {
  const std::string p = cp850::upper(pattern);
  const std::string n = cp850::upper(name);
  const bool has_dot = n.find('.') != std::string::npos;
  std::string_view pv = p;
  if (pv.size() >= 2 && pv.ends_with(".*") && !has_dot) return glob(pv.substr(0, pv.size() - 2), n);
  if (pv.size() >= 2 && pv.back() == '.' && pv != "..") {
    if (has_dot) return false;
    return glob(pv.substr(0, pv.size() - 1), n);
  }
  return glob(pv, n);
}

}  // namespace kx
