#include "store/memo.h"

#include <gtest/gtest.h>

#include "platform/temp_dir.h"

namespace kx {
namespace {

std::string le32(std::uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string be32(std::uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

TEST(MemoFile, ReadsTheThreeKindsOfBlocks) {
  testing::TempDir dir;
  // dBASE III: text up to 0x1A, across a block boundary; a text without an end mark.
  std::string iii = le32(4) + std::string(508, '\0');
  iii += std::string(600, 'a') + "\x1A\x1A";
  iii.resize(3 * 512, '\0');
  iii += "no end mark";
  dir.put("III.DBT", iii);
  // dBASE IV: block size 512 at offset 20 is dBASE III's; 1024 marks dBASE IV.
  std::string iv = le32(2) + std::string(16, '\0') + std::string("\x00\x04", 2);
  iv.resize(1024, '\0');
  iv += std::string("\xFF\xFF\x08\x00", 4) + le32(8 + 5) + "hello";
  dir.put("IV.DBT", iv);
  // .FPT: big-endian block size at 6; blocks of type and length.
  std::string fpt = be32(2) + std::string("\x00\x00\x00\x40", 4);
  fpt.resize(512, '\0');
  fpt += be32(1) + be32(3) + "abc";
  dir.put("X.FPT", fpt);
  struct Case {
    const char* file;
    std::uint32_t block;
    std::string text;
  } cases[] = {
      {"III.DBT", 1, std::string(600, 'a')},
      {"III.DBT", 3, "no end mark"},
      {"III.DBT", 0, ""},
      {"IV.DBT", 1, "hello"},
      {"X.FPT", 8, "abc"},
  };
  for (const Case& c : cases) {
    auto m = MemoFile::open(posix_os(), dir.file(c.file), false);
    ASSERT_TRUE(m.ok()) << c.file;
    auto t = (*m)->read(c.block);
    ASSERT_TRUE(t.ok()) << c.file << " " << c.block << ": " << t.status();
    EXPECT_EQ(*t, c.text) << c.file << " " << c.block;
  }
  auto m = MemoFile::open(posix_os(), dir.file("III.DBT"), false);
  auto past = (*m)->read(99);
  ASSERT_FALSE(past.ok());
  EXPECT_EQ(past.status().code(), StatusCode::Corruption);
  EXPECT_EQ(past.status().path(), dir.file("III.DBT"));
}

TEST(MemoFile, AppendsInNewBlocksAfterWhatIsThere) {
  testing::TempDir dir;
  auto m = MemoFile::create(posix_os(), dir.file("N.DBT"));
  ASSERT_TRUE(m.ok());
  auto a = (*m)->append(std::string(700, 'x'));
  auto b = (*m)->append("second");
  ASSERT_TRUE(a.ok() && b.ok());
  EXPECT_EQ(*a, 1u);
  EXPECT_EQ(*b, 3u);
  EXPECT_EQ(*(*m)->read(1), std::string(700, 'x'));
  EXPECT_EQ(*(*m)->read(3), "second");
  EXPECT_EQ(*(*m)->append(""), 0u);
}

}  // namespace
}  // namespace kx
