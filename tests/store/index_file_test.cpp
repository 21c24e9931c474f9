#include "store/index_file.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "platform/fault_os.h"
#include "platform/temp_dir.h"

namespace kx {
namespace {

struct Fixture {
  testing::TempDir dir;
  std::string path = dir.file("T.DBF");
  std::string ipath = dir.file("T.CDX");
  std::unique_ptr<Table> table;
  std::optional<BoundKey> key;

  explicit Fixture(int width = 200, Share share = Share::Exclusive) {
    table = std::move(Table::create(posix_os(), path, {{"K", 'C', width, 0}, {"N", 'N', 6, 0}}, share).value());
    key = *BoundKey::bind(KeyExpr::field("K"), table->header());
  }
  std::string rec(const std::string& k) {
    std::string r = dbf::blank_record(table->header());
    EXPECT_TRUE(table->put(r, 0, Value(k)).ok());
    return r;
  }
};

std::vector<std::string> scan(Order& o) {
  std::vector<std::string> out;
  EXPECT_TRUE(o.begin_read().ok());
  auto e = o.first();
  while (e.ok() && *e) {
    out.push_back(**e);
    e = o.after(**e);
  }
  EXPECT_TRUE(e.ok()) << e.status();
  (void)o.end_read();
  return out;
}

std::vector<std::string> scan_back(Order& o) {
  std::vector<std::string> out;
  auto e = o.last();
  while (e.ok() && *e) {
    out.insert(out.begin(), **e);
    e = o.before(**e);
  }
  EXPECT_TRUE(e.ok()) << e.status();
  return out;
}

// The index against an ordered model under random inserts, deletes and key
// changes, with keys long enough for a tree of several levels.
TEST(IndexFile, MatchesAnOrderedModel) {
  Fixture fx;
  auto ix = IndexFile::build(posix_os(), fx.ipath, *fx.key, *fx.table);
  ASSERT_TRUE(ix.ok()) << ix.status();
  std::multimap<std::string, std::uint32_t> model;
  std::vector<std::string> keys;  // key of each record (1-based), "" when its entry was removed
  std::mt19937 rng(42);
  auto random_key = [&] { return std::string(1, static_cast<char>('a' + rng() % 20)) + std::to_string(rng() % 500); };
  auto entries = [&] {
    std::vector<std::string> out;
    for (auto& [k, r] : model) out.push_back(make_entry(fx.key->eval(fx.rec(k)), r));
    std::sort(out.begin(), out.end());
    return out;
  };
  for (int op = 0; op < 6000; ++op) {
    const unsigned what = rng() % 10;
    ASSERT_TRUE((*ix)->begin_write().ok());
    if (what < 6 || model.empty()) {
      const std::string k = random_key();
      auto n = fx.table->append(fx.rec(k));
      ASSERT_TRUE(n.ok());
      ASSERT_TRUE((*ix)->insert(make_entry(fx.key->eval(fx.rec(k)), *n)).ok());
      model.emplace(k, *n);
      keys.push_back(k);
    } else {
      auto it = model.begin();
      std::advance(it, static_cast<long>(rng() % model.size()));
      const auto [k, r] = *it;
      model.erase(it);
      ASSERT_TRUE((*ix)->erase(make_entry(fx.key->eval(fx.rec(k)), r)).ok()) << op;
      if (what < 8) {  // a key change: the entry comes back under another key
        const std::string k2 = random_key();
        ASSERT_TRUE((*ix)->insert(make_entry(fx.key->eval(fx.rec(k2)), r)).ok());
        model.emplace(k2, r);
      }
    }
    ASSERT_TRUE((*ix)->end_write(fx.table->count()).ok());
    if (op % 1000 == 999) {
      const auto want = entries();
      ASSERT_EQ(scan(**ix), want) << "after op " << op;
      ASSERT_EQ(scan_back(**ix), want) << "after op " << op;
      for (int q = 0; q < 50; ++q) {
        const std::string prefix = random_key().substr(0, 1 + rng() % 3);
        auto got = (*ix)->lower_bound(prefix);
        ASSERT_TRUE(got.ok());
        auto it = std::lower_bound(want.begin(), want.end(), prefix);
        if (it == want.end()) EXPECT_FALSE(*got) << prefix;
        else EXPECT_EQ(**got, *it) << prefix;
      }
      ASSERT_TRUE((*ix)->check(*fx.table, false).ok()) << (*ix)->check(*fx.table, false);
    }
  }
  const auto want = entries();
  ASSERT_TRUE((*ix)->close().ok());
  ASSERT_TRUE(fx.table->flush().ok());
  auto again = IndexFile::open(posix_os(), fx.ipath, *fx.key, *fx.table);
  ASSERT_TRUE(again.ok()) << again.status();
  EXPECT_EQ(scan(**again), want);
  EXPECT_TRUE((*again)->check(*fx.table, false).ok());
}

TEST(IndexFile, BuildGivesEveryRecordInKeyOrder) {
  Fixture fx(11);
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(fx.table->append(fx.rec(std::to_string((i * 7919) % 5000))).ok());
  auto ix = IndexFile::build(posix_os(), fx.ipath, *fx.key, *fx.table);
  ASSERT_TRUE(ix.ok()) << ix.status();
  EXPECT_TRUE((*ix)->check(*fx.table).ok()) << (*ix)->check(*fx.table);
  auto s = scan(**ix);
  ASSERT_EQ(s.size(), 5000u);
  EXPECT_TRUE(std::is_sorted(s.begin(), s.end()));
  // Seeking on the length given: "12" finds the first key starting with it.
  auto e = (*ix)->lower_bound("12");
  ASSERT_TRUE(e.ok() && *e);
  EXPECT_EQ(entry_key(**e).substr(0, 3), "12 ");
}

// Two terminals: a change through one handle shows through the other.
TEST(IndexFile, SharedHandlesSeeEachOthersChanges) {
  Fixture fx(11, Share::Shared);
  ASSERT_TRUE(fx.table->close().ok());
  {
    auto t = Table::open(posix_os(), fx.path, Share::Exclusive);
    ASSERT_TRUE(IndexFile::build(posix_os(), fx.ipath, *fx.key, **t).ok());
  }
  auto ta = std::move(Table::open(posix_os(), fx.path, Share::Shared).value());
  auto tb = std::move(Table::open(posix_os(), fx.path, Share::Shared).value());
  auto a = std::move(IndexFile::open(posix_os(), fx.ipath, *fx.key, *ta).value());
  auto b = std::move(IndexFile::open(posix_os(), fx.ipath, *fx.key, *tb).value());
  EXPECT_TRUE(scan(*b).empty());
  fx.table = std::move(ta);
  for (const char* k : {"b", "a", "c"}) {
    ASSERT_TRUE(fx.table->lock_append().ok());
    auto n = fx.table->append(fx.rec(k));
    ASSERT_TRUE(n.ok());
    ASSERT_TRUE(a->begin_write().ok());
    ASSERT_TRUE(a->insert(make_entry(fx.key->eval(fx.rec(k)), *n)).ok());
    ASSERT_TRUE(a->end_write(fx.table->count()).ok());
    ASSERT_TRUE(fx.table->unlock_append().ok());
  }
  auto seen = scan(*b);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(entry_recno(seen[0]), 2u);
  EXPECT_EQ(b->counter(), a->counter());
}

TEST(IndexFile, ForeignStaleAndDamagedIndexesAreRefused) {
  struct Case {
    const char* what;
    std::function<void(Fixture&)> spoil;
    StatusCode code;
  } cases[] = {
      {"missing", [](Fixture& fx) { std::remove(cp850::to_utf8(fx.ipath).c_str()); }, StatusCode::NotFound},
      {"foreign bytes", [](Fixture& fx) { fx.dir.put("T.CDX", std::string(8192, 'x')); }, StatusCode::Corruption},
      {"cut short", [](Fixture& fx) { fx.dir.put("T.CDX", fx.dir.get("T.CDX").substr(0, 5000)); }, StatusCode::Corruption},
      {"another key", [](Fixture& fx) {
         auto other = BoundKey::bind(KeyExpr::field("N"), fx.table->header());
         (void)IndexFile::build(posix_os(), fx.ipath, *other, *fx.table);
       }, StatusCode::Corruption},
      {"stale: rows appended without it", [](Fixture& fx) { (void)fx.table->append(fx.rec("zz")); }, StatusCode::Corruption},
      {"damaged page", [](Fixture& fx) {
         std::string b = fx.dir.get("T.CDX");
         b[4096 + 40] ^= 0x55;
         fx.dir.put("T.CDX", b);
       }, StatusCode::Corruption},
      {"change cut off", [](Fixture& fx) {
         FaultOs fo(posix_os());
         auto ix = IndexFile::open(fo, fx.ipath, *fx.key, *fx.table);
         ASSERT_TRUE(ix.ok());
         ASSERT_TRUE((*ix)->begin_write().ok());
         ASSERT_TRUE((*ix)->erase(*(*ix)->first().value()).ok());
         ASSERT_TRUE((*ix)->end_write(fx.table->count()).ok());
         fo.crash_after(0);
         (void)(*ix)->close();
       }, StatusCode::Corruption},
  };
  for (const Case& c : cases) {
    Fixture fx(11);
    for (const char* k : {"x", "y"}) ASSERT_TRUE(fx.table->append(fx.rec(k)).ok());
    ASSERT_TRUE(IndexFile::build(posix_os(), fx.ipath, *fx.key, *fx.table).ok());
    ASSERT_TRUE(IndexFile::open(posix_os(), fx.ipath, *fx.key, *fx.table).ok()) << c.what;
    c.spoil(fx);
    auto ix = IndexFile::open(posix_os(), fx.ipath, *fx.key, *fx.table);
    ASSERT_FALSE(ix.ok()) << c.what;
    EXPECT_EQ(ix.status().code(), c.code) << c.what << ": " << ix.status();
    EXPECT_EQ(ix.status().path(), fx.ipath) << c.what;
  }
}

}  // namespace
}  // namespace kx
