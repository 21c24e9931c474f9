// A fresh folder for one test: made under $TMPDIR (or /tmp) with a unique
// name, removed with everything in it when the fixture goes away.  Paths are
// CP850 like every path given to an Os; put/get touch the disk directly (not
// through an Os) to set up and check a test's files.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp850.h"

namespace kx::testing {

class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/kx-test-XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + tmpl);
    native_ = tmpl;
    path_ = cp850::from_utf8(tmpl);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(native_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing '/'.
  const std::string& path() const { return path_; }
  // The path of `name` (CP850, may hold '/') inside the folder.
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

  // Writes a file (creating its folders) and returns its path.
  std::string put(std::string_view name, std::string_view contents) const {
    const std::filesystem::path p = native(name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
    return file(name);
  }
  // The contents of a file, or "<missing>" when there is none.
  std::string get(std::string_view name) const {
    std::ifstream in(native(name), std::ios::binary);
    if (!in) return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool has(std::string_view name) const { return std::filesystem::exists(native(name)); }
  // Makes a folder (and its parents).
  std::string mkdir(std::string_view name) const {
    std::filesystem::create_directories(native(name));
    return file(name);
  }
  // Names in a folder of the fixture (UTF-8 on disk, returned as CP850), sorted.
  std::vector<std::string> names(std::string_view sub = "") const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(sub.empty() ? std::filesystem::path(native_) : native(sub)))
      out.push_back(cp850::from_utf8(e.path().filename().string()));
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  std::filesystem::path native(std::string_view name) const {
    return std::filesystem::path(native_) / cp850::to_utf8(name);
  }
  std::string native_, path_;
};

}  // namespace kx::testing
