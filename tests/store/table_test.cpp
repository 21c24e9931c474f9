#include "store/table.h"

#include <gtest/gtest.h>

#include "platform/fault_os.h"
#include "platform/temp_dir.h"

namespace kx {
namespace {

std::vector<dbf::FieldDef> fields() {
  return {{"CPF", 'C', 11, 0}, {"VALOR", 'N', 12, 2}, {"OBS", 'M', 0, 0}};
}

std::string row(Table& t, const char* cpf, const char* valor) {
  std::string r = dbf::blank_record(t.header());
  EXPECT_TRUE(t.put(r, 0, Value(cpf)).ok());
  EXPECT_TRUE(t.put(r, 1, Value(*Decimal::parse(valor))).ok());
  return r;
}

TEST(Table, CreateAppendReopen) {
  testing::TempDir dir;
  const std::string path = dir.file("T.DBF");
  {
    auto t = Table::create(posix_os(), path, fields(), Share::Exclusive);
    ASSERT_TRUE(t.ok()) << t.status();
    std::string r = row(**t, "11111111111", "10.5");
    ASSERT_TRUE((*t)->put(r, 2, Value("nota longa"_cp.data(), Type::M)).ok());
    EXPECT_EQ(*(*t)->append(r), 1u);
    EXPECT_EQ(*(*t)->append(row(**t, "22222222222", "-3")), 2u);
    ASSERT_TRUE((*t)->close().ok());
  }
  EXPECT_TRUE(dir.has("T.DBT"));
  const std::string bytes = dir.get("T.DBF");
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x83);
  EXPECT_EQ(bytes[4], 2);
  EXPECT_EQ(bytes.back(), dbf::kEndOfFile);
  auto t = Table::open(posix_os(), dir.file("t.dbf"), Share::Shared);
  ASSERT_TRUE(t.ok()) << t.status();
  EXPECT_EQ((*t)->count(), 2u);
  EXPECT_TRUE((*t)->notes().empty());
  auto r = (*t)->read(1);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(*(*t)->value(*r, 1), Value(Decimal::of(1050, 2)));
  EXPECT_EQ((*t)->value(*r, 2)->text(), "nota longa"_cp);
  // Shared writes need a lock.
  EXPECT_EQ((*t)->write(1, *r).code(), StatusCode::Invalid);
  ASSERT_TRUE((*t)->lock_record(1).ok());
  EXPECT_TRUE((*t)->write(1, *r).ok());
}

TEST(Table, SharedAndExclusiveOpeningsConflict) {
  testing::TempDir dir;
  const std::string path = dir.file("T.DBF");
  ASSERT_TRUE(Table::create(posix_os(), path, fields(), Share::Exclusive).ok());
  auto a = Table::open(posix_os(), path, Share::Shared);
  ASSERT_TRUE(a.ok());
  EXPECT_TRUE(Table::open(posix_os(), path, Share::Shared).ok());
  EXPECT_EQ(Table::open(posix_os(), path, Share::Exclusive).status().code(), StatusCode::Busy);
  EXPECT_EQ(Table::create(posix_os(), path, fields(), Share::Exclusive).status().code(), StatusCode::Busy);
  (void)(*a)->close();
  auto x = Table::open(posix_os(), path, Share::Exclusive);
  ASSERT_TRUE(x.ok());
  EXPECT_EQ(Table::open(posix_os(), path, Share::Shared).status().code(), StatusCode::Busy);
}

TEST(Table, RecordAndTableLocksBetweenTwoOpenings) {
  testing::TempDir dir;
  const std::string path = dir.file("T.DBF");
  {
    auto t = Table::create(posix_os(), path, fields(), Share::Exclusive);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE((*t)->append(row(**t, "1", "1")).ok());
  }
  auto a = std::move(Table::open(posix_os(), path, Share::Shared).value());
  auto b = std::move(Table::open(posix_os(), path, Share::Shared).value());
  ASSERT_TRUE(a->lock_record(2).ok());
  EXPECT_EQ(b->lock_record(2).code(), StatusCode::Busy);
  EXPECT_TRUE(b->lock_record(3).ok());
  EXPECT_EQ(b->lock_table().code(), StatusCode::Busy);
  EXPECT_EQ(a->lock_record(3).code(), StatusCode::Busy);
  ASSERT_TRUE(a->lock_record(1).ok());  // replaces the lock of 2
  EXPECT_TRUE(b->lock_record(2).ok());
  ASSERT_TRUE(a->unlock().ok());
  ASSERT_TRUE(b->unlock().ok());
  ASSERT_TRUE(a->lock_table().ok());
  EXPECT_EQ(b->lock_record(1).code(), StatusCode::Busy);
  EXPECT_EQ(b->append(row(*b, "9", "9")).status().code(), StatusCode::Busy);
  ASSERT_TRUE(a->unlock().ok());
  auto n = b->append(row(*b, "9", "9"));
  ASSERT_TRUE(n.ok());
  EXPECT_EQ(*n, 4u);
  EXPECT_TRUE(b->holds_record(4));
  ASSERT_TRUE(a->lock_record(1).ok());
  EXPECT_EQ(a->count(), 4u);  // the header is read again after a lock
}

TEST(Table, CountFromFileSizeAndDisagreementReported) {
  testing::TempDir dir;
  const std::string path = dir.file("T.DBF");
  {
    auto t = Table::create(posix_os(), path, {{"A", 'C', 3, 0}}, Share::Exclusive);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE((*t)->append(std::string(" abc")).ok());
  }
  std::string bytes = dir.get("T.DBF");
  struct Case {
    const char* what;
    std::string bytes;
    std::uint32_t count;
    bool noted;
  } cases[] = {
      {"as written", bytes, 3, false},
      {"header count behind (crash after the record write)", [&] { auto b = bytes; b[4] = 2; return b; }(), 3, true},
      {"header count ahead (file cut)", [&] { auto b = bytes; b[4] = 9; return b; }(), 3, true},
      {"no end byte", bytes.substr(0, bytes.size() - 1), 3, false},
      {"torn last record", bytes.substr(0, bytes.size() - 3), 2, true},
  };
  for (const Case& c : cases) {
    dir.put("T.DBF", c.bytes);
    auto t = Table::open(posix_os(), path, Share::Shared);
    ASSERT_TRUE(t.ok()) << c.what;
    EXPECT_EQ((*t)->count(), c.count) << c.what;
    EXPECT_EQ(!(*t)->notes().empty(), c.noted) << c.what;
  }
  dir.put("T.DBF", bytes.substr(0, 40));
  auto t = Table::open(posix_os(), path, Share::Shared);
  ASSERT_FALSE(t.ok());
  EXPECT_EQ(t.status().code(), StatusCode::Corruption);
  EXPECT_EQ(t.status().path(), path);
}

}  // namespace
}  // namespace kx
