#include "store/area.h"

#include <gtest/gtest.h>

#include "platform/temp_dir.h"
#include "store/work_areas.h"

namespace kx {
namespace {

std::vector<dbf::FieldDef> fields() {
  return {{"CPF", 'C', 11, 0}, {"I7_0", 'N', 4, 0}, {"VALOR", 'N', 12, 2}, {"NASC", 'D', 8, 0}};
}
std::vector<IndexSpec> keys() { return {{*KeyExpr::parse("CPF+STR(I7_0,4)"), ""}}; }

struct Fixture {
  testing::TempDir dir;
  std::string path = dir.file("IMP0413.DBF");
  std::unique_ptr<Area> a;
  explicit Fixture(Share share = Share::Exclusive) {
    a = std::move(Area::create(posix_os(), path, fields(), share, keys()).value());
  }
  void add(const char* cpf, int line, const char* valor = "0") {
    ASSERT_TRUE(a->append_blank().ok());
    ASSERT_TRUE(a->replace({{"CPF", Value(cpf)}, {"I7_0", Value(line)}, {"VALOR", Value(*Decimal::parse(valor))}}).ok());
  }
  // The record numbers of a walk from the top (or from the bottom backwards).
  std::vector<std::uint32_t> walk(bool backward = false) {
    std::vector<std::uint32_t> out;
    EXPECT_TRUE((backward ? a->go_bottom() : a->go_top()).ok());
    while (!(backward ? a->bof() : a->eof())) {
      out.push_back(a->recno());
      EXPECT_TRUE(a->skip(backward ? -1 : 1).ok());
      if (out.size() > 1000) break;
    }
    return out;
  }
};

using Recs = std::vector<std::uint32_t>;

TEST(Area, NavigatesInIndexAndNaturalOrder) {
  Fixture fx;
  fx.add("222", 10);
  fx.add("111", 20);
  fx.add("222", 5);
  fx.add("111", 10);
  EXPECT_EQ(fx.walk(), (Recs{4, 2, 3, 1}));
  EXPECT_EQ(fx.walk(true), (Recs{1, 3, 2, 4}));
  ASSERT_TRUE(fx.a->set_order(0).ok());
  EXPECT_EQ(fx.walk(), (Recs{1, 2, 3, 4}));
  ASSERT_TRUE(fx.a->set_order(1).ok());
  // Skipping past the ends: the phantom record, then BOF on the first.
  ASSERT_TRUE(fx.a->go_bottom().ok());
  ASSERT_TRUE(fx.a->skip(1).ok());
  EXPECT_TRUE(fx.a->eof());
  EXPECT_EQ(fx.a->recno(), 5u);
  EXPECT_EQ(*fx.a->get("CPF"), Value("           "));
  EXPECT_EQ(*fx.a->get("VALOR"), Value(Decimal(0)));
  ASSERT_TRUE(fx.a->skip(-1).ok());
  EXPECT_EQ(fx.a->recno(), 1u);
  ASSERT_TRUE(fx.a->go_top().ok());
  ASSERT_TRUE(fx.a->skip(-1).ok());
  EXPECT_TRUE(fx.a->bof());
  EXPECT_EQ(fx.a->recno(), 4u);
  ASSERT_TRUE(fx.a->skip(2).ok());
  EXPECT_EQ(fx.a->recno(), 3u);
  ASSERT_TRUE(fx.a->go_to(2).ok());
  EXPECT_EQ(*fx.a->get("I7_0"), Value(20));
  ASSERT_TRUE(fx.a->go_to(99).ok());
  EXPECT_TRUE(fx.a->eof());
}

TEST(Area, SeekMatchesOnTheLengthGivenAndSoftSeekStandsOnTheNext) {
  Fixture fx;
  fx.add("12345678901", 10);
  fx.add("12345678901", 2);
  fx.add("22222222222", 1);
  struct Case {
    const char* key;
    bool soft, found, eof;
    std::uint32_t recno;
  } cases[] = {
      {"12345678901", false, true, false, 2},
      {"12345678901  10", false, true, false, 1},
      {"123", false, true, false, 2},
      {"2", false, true, false, 3},
      {"15", false, false, true, 4},
      {"15", true, false, false, 3},
      {"9", true, false, true, 4},
      {"12345678901  11", true, false, false, 3},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(fx.a->seek(Value(c.key), c.soft).ok()) << c.key;
    EXPECT_EQ(fx.a->found(), c.found) << c.key;
    EXPECT_EQ(fx.a->eof(), c.eof) << c.key;
    EXPECT_EQ(fx.a->recno(), c.recno) << c.key;
  }
  EXPECT_EQ(fx.a->seek(Value(Decimal(1))).code(), StatusCode::Invalid);
}

TEST(Area, DeletedRowsAndFiltersAreSkippedEverywhere) {
  Fixture fx;
  for (int i = 1; i <= 6; ++i) fx.add("111", i, std::to_string(i).c_str());
  ASSERT_TRUE(fx.a->go_to(2).ok());
  ASSERT_TRUE(fx.a->delete_record().ok());
  ASSERT_TRUE(fx.a->go_to(5).ok());
  ASSERT_TRUE(fx.a->delete_record().ok());
  EXPECT_EQ(fx.walk(), (Recs{1, 3, 4, 6}));
  EXPECT_EQ(fx.walk(true), (Recs{6, 4, 3, 1}));
  ASSERT_TRUE(fx.a->seek(Value("111    2")).ok());
  EXPECT_FALSE(fx.a->found());
  fx.a->set_filter([](Area& a) { return a.get("VALOR")->number() > Decimal(3); });
  EXPECT_EQ(fx.walk(), (Recs{4, 6}));
  fx.a->set_filter({});
  fx.a->set_hide_deleted(false);
  EXPECT_EQ(fx.walk().size(), 6u);
  ASSERT_TRUE(fx.a->go_to(2).ok());
  ASSERT_TRUE(fx.a->recall().ok());
  fx.a->set_hide_deleted(true);
  EXPECT_EQ(fx.walk(), (Recs{1, 2, 3, 4, 6}));
}

TEST(Area, ReplaceRoundsAndRefusesWhatDoesNotFit) {
  Fixture fx;
  fx.add("111", 1);
  struct Case {
    const char* field;
    Value v;
    bool ok;
    Value stored;
  } cases[] = {
      {"VALOR", Value(Decimal::of(12345, 3)), true, Value(Decimal::of(1235, 2))},
      {"VALOR", Value(Decimal::of(-12345, 3)), true, Value(Decimal::of(-1235, 2))},
      {"VALOR", Value(Decimal(1000000000)), false, Value(Decimal::of(-1235, 2))},
      {"I7_0", Value(Decimal(99999)), false, Value(1)},
      {"I7_0", Value(Decimal(-999)), true, Value(-999)},
      {"CPF", Value(Decimal(1)), false, Value("111        ")},
      {"NASC", Value(*Date::from_ymd(1970, 2, 28)), true, Value(*Date::from_ymd(1970, 2, 28))},
  };
  for (const Case& c : cases) {
    Status s = fx.a->replace(c.field, c.v);
    EXPECT_EQ(s.ok(), c.ok) << c.field << " " << c.v << ": " << s;
    EXPECT_EQ(*fx.a->get(c.field), c.stored) << c.field << " " << c.v;
    ASSERT_TRUE(fx.a->reread().ok());
    EXPECT_EQ(*fx.a->get(c.field), c.stored) << c.field << " after reading back";
  }
  EXPECT_EQ(fx.a->replace("NOPE", Value("x")).code(), StatusCode::NotFound);
}

TEST(Area, PackAndZapRemoveRowsAndRebuildIndexes) {
  Fixture fx;
  for (int i = 1; i <= 20; ++i) fx.add(i % 2 ? "111" : "222", i);
  for (std::uint32_t r = 1; r <= 20; r += 3) {
    ASSERT_TRUE(fx.a->go_to(r).ok());
    ASSERT_TRUE(fx.a->delete_record().ok());
  }
  ASSERT_TRUE(fx.a->pack().ok());
  EXPECT_EQ(fx.a->reccount(), 13u);
  auto ix = IndexFile::open(posix_os(), index_path_of(fx.path), *BoundKey::bind(keys()[0].key, fx.a->table().header()),
                            fx.a->table());
  ASSERT_TRUE(ix.ok()) << ix.status();
  EXPECT_TRUE((*ix)->check(fx.a->table()).ok()) << (*ix)->check(fx.a->table());
  ix->reset();
  ASSERT_TRUE(fx.a->seek(Value("222")).ok());
  EXPECT_EQ(*fx.a->get("I7_0"), Value(2));
  ASSERT_TRUE(fx.a->zap().ok());
  EXPECT_EQ(fx.a->reccount(), 0u);
  EXPECT_TRUE(fx.a->eof() && fx.a->bof());
  ASSERT_TRUE(fx.a->close().ok());
  auto again = Area::open(posix_os(), fx.path, Share::Shared, keys());
  ASSERT_TRUE(again.ok()) << again.status();
  EXPECT_EQ((*again)->reccount(), 0u);
}

TEST(Area, MissingOrStaleIndexIsRebuiltOnOpen) {
  Fixture fx;
  for (int i = 1; i <= 5; ++i) fx.add("111", 6 - i);
  ASSERT_TRUE(fx.a->close().ok());
  const std::string cdx = fx.dir.get("IMP0413.CDX");
  for (const char* spoil : {"missing", "garbage", "stale"}) {
    if (std::string(spoil) == "missing") std::remove(cp850::to_utf8(fx.dir.file("IMP0413.CDX")).c_str());
    if (std::string(spoil) == "garbage") fx.dir.put("IMP0413.CDX", "garbage");
    if (std::string(spoil) == "stale") {
      auto t = Table::open(posix_os(), fx.path, Share::Exclusive);
      std::string r = dbf::blank_record((*t)->header());
      ASSERT_TRUE((*t)->append(r).ok());
    }
    auto a = Area::open(posix_os(), fx.path, Share::Shared, keys());
    ASSERT_TRUE(a.ok()) << spoil << ": " << a.status();
    ASSERT_TRUE((*a)->go_top().ok());
    EXPECT_EQ((*a)->recno(), std::string(spoil) == "stale" ? 6u : 5u) << spoil;
  }
  // While another terminal has the table open, a rebuild cannot happen.
  auto other = Table::open(posix_os(), fx.path, Share::Shared);
  ASSERT_TRUE(other.ok());
  fx.dir.put("IMP0413.CDX", "garbage");
  auto a = Area::open(posix_os(), fx.path, Share::Shared, keys());
  ASSERT_FALSE(a.ok());
  EXPECT_EQ(a.status().code(), StatusCode::Busy);
  EXPECT_NE(a.status().path().find("IMP0413.CDX"), std::string::npos);
}

TEST(Area, TemporaryOrdersAndTwoTerminals) {
  Fixture fx(Share::Shared);
  auto b = Area::open(posix_os(), fx.path, Share::Shared, keys());
  ASSERT_TRUE(b.ok());
  fx.add("333", 1, "5");
  fx.add("111", 1, "7");
  ASSERT_TRUE(fx.a->unlock().ok());
  // The other terminal sees the rows and the index entries.
  EXPECT_EQ((*b)->reccount(), 2u);
  ASSERT_TRUE((*b)->seek(Value("111")).ok());
  EXPECT_TRUE((*b)->found());
  EXPECT_EQ((*b)->recno(), 2u);
  // It must lock before writing, and cannot while we hold the record.
  EXPECT_EQ((*b)->replace("VALOR", Value(Decimal(1))).code(), StatusCode::Invalid);
  ASSERT_TRUE(fx.a->go_to(2).ok());
  ASSERT_TRUE(fx.a->lock_record().ok());
  EXPECT_EQ((*b)->lock_record().code(), StatusCode::Busy);
  ASSERT_TRUE(fx.a->replace("CPF", Value("000")).ok());
  ASSERT_TRUE(fx.a->unlock().ok());
  ASSERT_TRUE((*b)->lock_record().ok());
  EXPECT_EQ((*b)->get("CPF")->text(), "000        ");  // read again after the lock
  ASSERT_TRUE((*b)->unlock().ok());
  ASSERT_TRUE((*b)->seek(Value("000")).ok());
  EXPECT_TRUE((*b)->found());
  // A temporary order on VALOR, descending by way of the key function.
  ASSERT_TRUE(fx.a->add_temp_order(KeyExpr::str(KeyExpr::field("VALOR"), 12, 2)).ok());
  EXPECT_EQ(fx.walk(), (Recs{1, 2}));
  ASSERT_TRUE(fx.a->add_temp_order("CPF desc", [](std::string_view r) {
                     std::string k(r.substr(1, 11));
                     for (char& c : k) c = static_cast<char>(255 - static_cast<unsigned char>(c));
                     return k;
                   }).ok());
  EXPECT_EQ(fx.walk(), (Recs{1, 2}));
  fx.add("999", 1);
  EXPECT_EQ(fx.walk(), (Recs{3, 1, 2}));
  // Pack needs the table alone.
  EXPECT_EQ(fx.a->pack().code(), StatusCode::Busy);
  ASSERT_TRUE((*b)->close().ok());
  EXPECT_TRUE(fx.a->pack().ok());
}

TEST(WorkAreas, NumberedAreasAliasesAndScratch) {
  testing::TempDir dir;
  WorkAreas wa(posix_os());
  auto a = wa.create(9, dir.file("IMP0913.DBF"), {{"CPF", 'C', 11, 0}}, Share::Shared, {{KeyExpr::field("CPF"), ""}});
  ASSERT_TRUE(a.ok()) << a.status();
  EXPECT_EQ(wa.current_number(), 9);
  EXPECT_EQ((*a)->alias(), "IMP0913");
  auto b = wa.create(wa.scratch(), dir.file("ACERTO.DBF"), {{"X", 'C', 1, 0}}, Share::Exclusive, {}, "tmp");
  ASSERT_TRUE(b.ok());
  EXPECT_EQ(wa.current_number(), 76);
  EXPECT_EQ(wa.scratch(), 77);
  ASSERT_TRUE(wa.select("imp0913").ok());
  EXPECT_EQ(wa.current(), *a);
  EXPECT_EQ(wa.select("NONE").code(), StatusCode::NotFound);
  EXPECT_EQ(wa.open(10, dir.file("IMP0913.DBF"), Share::Shared, {}, "TMP").status().code(), StatusCode::Invalid);
  // Opening in an area closes what was there.
  ASSERT_TRUE(wa.open(9, dir.file("ACERTO.DBF"), Share::Shared).status().code() == StatusCode::Busy);
  ASSERT_TRUE(wa.close(76).ok());
  ASSERT_TRUE(wa.open(9, dir.file("ACERTO.DBF"), Share::Shared).ok());
  EXPECT_EQ(wa.find("IMP0913"), nullptr);
  wa.set_hide_deleted(false);
  EXPECT_FALSE(wa.area(9)->hide_deleted());
}

}  // namespace
}  // namespace kx
