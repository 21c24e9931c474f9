#include "store/memo.h"

#include <cstring>

namespace kx {
namespace {

std::uint32_t le32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint32_t be32(const unsigned char* p) {
  return std::uint32_t{p[3]} | std::uint32_t{p[2]} << 8 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[0]} << 24;
}
bool ends_with_fpt(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == ".FPT";
}
Status corrupt(const std::string& path, std::string text) {
  return Status(StatusCode::Corruption, "read memo", path, 0, std::move(text));
}

}  // namespace

std::string MemoFile::decode_dbt3(std::string_view bytes, bool* ended) {
  const std::size_t end = bytes.find('\x1A');
  if (ended) *ended = end != std::string_view::npos;
  return std::string(bytes.substr(0, end));
}

Result<std::unique_ptr<MemoFile>> MemoFile::open(Os& os, const std::string& path, bool writable) {
  auto f = os.open(path, writable ? OpenMode::ReadWrite : OpenMode::Read);
  if (!f.ok()) return f.status();
  unsigned char h[512] = {};
  auto n = (*f)->read_at(0, h, sizeof h);
  if (!n.ok()) return n.status();
  if (*n < 8) return corrupt(path, "memo file shorter than its header");
  if (ends_with_fpt(path)) {
    std::uint32_t bs = std::uint32_t{h[6]} << 8 | h[7];
    if (bs == 0) bs = 64;
    return std::unique_ptr<MemoFile>(new MemoFile(std::move(*f), Kind::Fpt, bs));
  }
  // dBASE IV keeps its block size at 20-21; dBASE III leaves it 0 (512).
  const std::uint32_t bs4 = std::uint32_t{h[20]} | std::uint32_t{h[21]} << 8;
  const bool iv = h[16] != 0x03 && bs4 != 0 && bs4 % 512 == 0 && bs4 != 512;
  if (iv) return std::unique_ptr<MemoFile>(new MemoFile(std::move(*f), Kind::Dbt4, bs4));
  return std::unique_ptr<MemoFile>(new MemoFile(std::move(*f), Kind::Dbt3, 512));
}

Result<std::unique_ptr<MemoFile>> MemoFile::create(Os& os, const std::string& path) {
  auto f = os.open(path, OpenMode::CreateExclusive);
  if (!f.ok()) return f.status();
  std::string h(512, '\0');
  h[0] = 1;  // next free block
  h[16] = 0x03;
  if (Status s = (*f)->write_at(0, h); !s.ok()) return s;
  return std::unique_ptr<MemoFile>(new MemoFile(std::move(*f), Kind::Dbt3, 512));
}

Result<std::string> MemoFile::read(std::uint32_t block) {
  if (block == 0) return std::string();
  const std::uint64_t at = std::uint64_t{block} * block_size_;
  auto size = file_->size();
  if (!size.ok()) return size.status();
  if (at >= *size) return corrupt(path(), "memo block " + std::to_string(block) + " past the end");
  if (kind_ == Kind::Fpt || kind_ == Kind::Dbt4) {
    unsigned char h[8];
    if (Status s = file_->read_exact(at, h, 8); !s.ok()) return s;
    std::uint32_t len = 0;
    std::uint64_t start = at + 8;
    if (kind_ == Kind::Fpt) {
      len = be32(h + 4);
    } else if (h[0] == 0xFF && h[1] == 0xFF && h[2] == 0x08 && h[3] == 0x00) {
      len = le32(h + 4);
      len = len >= 8 ? len - 8 : 0;
    } else {
      start = at;  // a dBASE III style block in a dBASE IV file
      len = 0;
    }
    if (len > 0 || kind_ == Kind::Fpt) {
      if (start + len > *size) return corrupt(path(), "memo block " + std::to_string(block) + " cut short");
      std::string text(len, '\0');
      if (Status s = file_->read_exact(start, text.data(), len); !s.ok()) return s;
      return text;
    }
  }
  // dBASE III: read until the end mark.
  std::string text;
  std::uint64_t pos = at;
  char buf[4096];
  while (pos < *size) {
    auto n = file_->read_at(pos, buf, sizeof buf);
    if (!n.ok()) return n.status();
    if (*n == 0) break;
    bool ended = false;
    text += decode_dbt3(std::string_view(buf, *n), &ended);
    if (ended) return text;
    pos += *n;
  }
  return text;  // no end mark: the text up to the end of the file
}

Result<std::uint32_t> MemoFile::append(std::string_view text) {
  if (text.empty()) return std::uint32_t{0};
  if (kind_ != Kind::Dbt3)
    return Status(StatusCode::Invalid, "write memo", path(), 0, "only dBASE III memo files are written");
  unsigned char h[4];
  if (Status s = file_->read_exact(0, h, 4); !s.ok()) return s;
  std::uint32_t next = le32(h);
  auto size = file_->size();
  if (!size.ok()) return size.status();
  const std::uint32_t by_size = static_cast<std::uint32_t>((*size + block_size_ - 1) / block_size_);
  if (next < by_size) next = by_size;  // never overwrite blocks a crash left unrecorded
  if (next == 0) next = 1;
  std::string data(text);
  data += "\x1A\x1A";
  data.resize((data.size() + block_size_ - 1) / block_size_ * block_size_, '\0');
  if (Status s = file_->write_at(std::uint64_t{next} * block_size_, data); !s.ok()) return s;
  const std::uint32_t after = next + static_cast<std::uint32_t>(data.size() / block_size_);
  std::string nh(4, '\0');
  for (int i = 0; i < 4; ++i) nh[static_cast<std::size_t>(i)] = static_cast<char>(after >> (8 * i));
  if (Status s = file_->write_at(0, nh); !s.ok()) return s;
  return next;
}

}  // namespace kx
