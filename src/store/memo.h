// Memo files beside a table: .DBT (dBASE III: 512-byte blocks, the text
// ends with 0x1A; dBASE IV blocks with their length header are read too) and
// .FPT (read only).  Layout: docs/TABLE_FORMAT.md.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/os.h"

namespace kx {

class MemoFile {
 public:
  enum class Kind { Dbt3, Dbt4, Fpt };

  // Opens an existing memo file; `writable` for tables opened to write.
  static Result<std::unique_ptr<MemoFile>> open(Os& os, const std::string& path, bool writable);
  // Creates an empty dBASE III memo file (replacing none: Exists when there).
  static Result<std::unique_ptr<MemoFile>> create(Os& os, const std::string& path);

  // The text of the memo starting at `block` (0: none, "").  A block past
  // the end of the file, or a text without an end mark, gives Corruption
  // (or the text up to the end of the file for the missing mark).
  Result<std::string> read(std::uint32_t block);
  // Writes a text in new blocks at the end and returns the first block
  // (0 for an empty text, which needs none).  dBASE III files only.  The
  // caller holds the table's append lock in shared mode.
  Result<std::uint32_t> append(std::string_view text);

  Kind kind() const { return kind_; }
  const std::string& path() const { return file_->path(); }
  Status close() { return file_->close(); }

  // Pure decoding of the text of a dBASE III block run (`bytes` from the
  // block start to as far as read): up to the first 0x1A.
  static std::string decode_dbt3(std::string_view bytes, bool* ended = nullptr);

 private:
  MemoFile(std::unique_ptr<File> f, Kind k, std::uint32_t block_size)
      : file_(std::move(f)), kind_(k), block_size_(block_size) {}
  std::unique_ptr<File> file_;
  Kind kind_;
  std::uint32_t block_size_;
};

}  // namespace kx
