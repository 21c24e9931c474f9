// The bytes of index files (docs/INDEX_FORMAT.md): offsets and helpers
// shared by the parts of IndexFile.  Internal to src/store.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/status.h"
#include "store/index_file.h"

namespace kx::index_layout {

inline constexpr char kMagic[8] = {'K', 'X', 'N', 'D', 'X', '\x01', '\r', '\n'};
inline constexpr std::uint16_t kFormat = 1;
inline constexpr std::size_t kHeaderBytes = 512;  // checksummed part of page 0
// Header offsets.
inline constexpr std::size_t H_FORMAT = 8, H_PAGE = 10, H_KEYLEN = 12, H_KEYTYPE = 14, H_STATE = 15,
                      H_COUNTER = 16, H_ROOT = 24, H_PAGES = 28, H_RECORDS = 32, H_ENTRIES = 36,
                      H_GENERATION = 40, H_RECSIZE = 44, H_EXPRLEN = 46, H_FIRST = 48, H_SUM = 52,
                      H_EXPR = 56;
inline constexpr unsigned char kClean = 0, kChanging = 1;
// Page offsets.
inline constexpr char kLeaf = 1, kBranch = 2;
inline constexpr std::size_t P_TYPE = 0, P_COUNT = 2, P_PREV = 4, P_NEXT = 8, P_SUM = 12, P_DATA = 16;
inline constexpr std::size_t kPage = IndexFile::kPageSize;

inline std::uint32_t get32(const char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;  // little-endian hosts only, as the layout
}
inline void put32(char* p, std::uint32_t v) { std::memcpy(p, &v, 4); }
inline std::uint16_t get16(const char* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void put16(char* p, std::uint16_t v) { std::memcpy(p, &v, 2); }
inline std::uint64_t get64(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline void put64(char* p, std::uint64_t v) { std::memcpy(p, &v, 8); }

// A fast 32-bit checksum over 8-byte words (bytes at `skip` read as zero).
inline std::uint32_t checksum(const char* p, std::size_t n, std::size_t skip) {
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
  for (std::size_t i = 0; i < n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (skip >= i && skip < i + 8) {
      std::uint64_t mask = 0xFFFFFFFFull << (8 * (skip - i));
      w &= ~mask;
    }
    h = (h ^ w) * 0x100000001B3ull;
    h ^= h >> 29;
  }
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

inline Status corrupt(const std::string& path, std::string text) {
  return Status(StatusCode::Corruption, "index", path, 0, std::move(text));
}


}  // namespace kx::index_layout
