// The bytes of a .DBF table: header, field descriptors and records.
//
// Pure decoders and encoders (bytes in, values or a Status out); the file
// work is in table.h.  Layout (docs/TABLE_FORMAT.md):
//   0      version: 0x03 plain, 0x83 with a .DBT memo (we write these two);
//          0x8B (dBASE IV memo), 0xF5 (memo in .FPT), 0x30 (.DBC family) read
//   1-3    date of last update: year - 1900, month, day
//   4-7    record count (little-endian)
//   8-9    header length, 10-11 record length
//   16-19  pack generation (ours; other programs leave zeros)
//   29     code page mark: 0x02 is code page 850
//   32...  32-byte field descriptors, then 0x0D (and, for 0x30, 263 bytes)
//   records: one flag byte (' ' live, '*' deleted) then the fields' bytes
//   after the last record: 0x1A (tolerated when missing)
// Character fields wider than 255 keep the high byte of the length in the
// decimals byte.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/date.h"
#include "platform/status.h"
#include "platform/value.h"

namespace kx::dbf {

inline constexpr unsigned char kVersionPlain = 0x03;
inline constexpr unsigned char kVersionMemo = 0x83;
inline constexpr unsigned char kCodePage850 = 0x02;
inline constexpr char kTerminator = 0x0D;
inline constexpr char kEndOfFile = 0x1A;
inline constexpr char kLive = ' ';
inline constexpr char kDeleted = '*';
inline constexpr std::size_t kPrologSize = 32;
inline constexpr std::size_t kDescriptorSize = 32;
inline constexpr int kMaxCharWidth = 65535;

struct FieldDef {
  std::string name;  // up to 10 characters, capitals
  char type = 'C';   // C N D L M (other letters of other programs are read as raw text)
  int width = 0;
  int decimals = 0;
  std::size_t offset = 0;  // of the field in the record, after the flag byte (set by layout)

  friend bool operator==(const FieldDef& a, const FieldDef& b) {
    return a.name == b.name && a.type == b.type && a.width == b.width && a.decimals == b.decimals;
  }
};
std::ostream& operator<<(std::ostream& os, const FieldDef& f);

// A field list as code declares it; widths of D, L and M are fixed (8, 1, 10)
// and filled in by layout.
struct Header {
  unsigned char version = kVersionPlain;
  Date updated;
  std::uint32_t count = 0;
  std::uint16_t header_size = 0;
  std::uint16_t record_size = 0;
  std::uint32_t generation = 0;
  unsigned char code_page = kCodePage850;
  std::vector<FieldDef> fields;

  bool has_memo() const;
  // The field's index by name (any case), or nothing.
  std::optional<std::size_t> find(std::string_view name) const;
};

// Checks a field list for writing (names, types, widths) and fills in the
// offsets, the record and header sizes and the version byte.
Status layout(Header& h, const std::string& path);

// Decodes the 32-byte prolog and the descriptors.  `bytes` holds at least
// the whole header (header_size bytes).  Corruption names `path`.
Result<Header> decode_header(std::string_view bytes, const std::string& path);
// Only the prolog: version, date, count, sizes, generation, code page.
Result<Header> decode_prolog(std::string_view bytes, const std::string& path);
// The whole header in dBASE III layout (header_size bytes).
std::string encode_header(const Header& h);
// The 32-byte prolog alone (rewritten on every count change).
std::string encode_prolog(const Header& h);

// A blank record (flag ' ', every field blank).
std::string blank_record(const Header& h);

// A field's value from its bytes in a record (`record` holds the flag byte
// first).  N fields that do not hold a number (asterisks of another
// program's overflow) give Corruption; M fields give the block number as N
// (the memo text is in memo.h).
Result<Value> decode_field(const FieldDef& f, std::string_view record, const std::string& path);
// The bytes of a value for a field: text cut or padded to the width; numbers
// rounded half away from zero to the field's decimals, and refused (Invalid,
// naming the field) when they do not fit; dates as yyyymmdd; logicals T/F.
// A value of the wrong type is Invalid.
Result<std::string> encode_field(const FieldDef& f, const Value& v);

// The memo block number kept in an M field ("" / blanks / 0: none).
std::uint32_t memo_block(const FieldDef& f, std::string_view record);
std::string encode_memo_block(const FieldDef& f, std::uint32_t block);

}  // namespace kx::dbf
