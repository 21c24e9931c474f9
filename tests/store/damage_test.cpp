// Damaged and truncated files: every opening either works or fails with a
// clear error naming the file; nothing crashes (run under the sanitizers)
// and nothing is written to a file that could not be read.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "platform/temp_dir.h"
#include "store/area.h"
#include "store/dbf_tool.h"

namespace kx {
namespace {

TEST(Damage, FlippedBytesAndCutFilesNeverCrash) {
  testing::TempDir dir;
  const std::string path = dir.file("T.DBF");
  {
    auto a = Area::create(posix_os(), path, {{"CPF", 'C', 11, 0}, {"V", 'N', 8, 2}, {"D", 'D', 8, 0}, {"M", 'M', 10, 0}},
                          Share::Exclusive, {{KeyExpr::field("CPF"), ""}});
    ASSERT_TRUE(a.ok());
    for (int i = 0; i < 300; ++i) {
      ASSERT_TRUE((*a)->append_blank().ok());
      ASSERT_TRUE((*a)->replace({{"CPF", Value(std::to_string(i * 37 % 1000))}, {"V", Value(i)},
                                 {"M", Value(std::string(i % 7 * 100, 'm'), Type::M)}})
                      .ok());
    }
  }
  const std::string dbf = dir.get("T.DBF"), cdx = dir.get("T.CDX"), dbt = dir.get("T.DBT");
  std::mt19937 rng(5);
  for (int round = 0; round < 90; ++round) {
    std::string d = dbf, c = cdx, m = dbt;
    std::string* target = round % 3 == 0 ? &d : round % 3 == 1 ? &c : &m;
    if (round % 5 == 4) {
      target->resize(rng() % target->size());
    } else {
      const std::size_t region = round % 2 ? 4096 * 2 : target->size();  // often the headers
      for (int k = 0; k < 1 + static_cast<int>(rng() % 8); ++k)
        (*target)[rng() % std::min(region, target->size())] ^= static_cast<char>(1 + rng() % 255);
    }
    dir.put("T.DBF", d);
    dir.put("T.CDX", c);
    dir.put("T.DBT", m);
    const std::string what = "round " + std::to_string(round);
    auto a = Area::open(posix_os(), path, Share::Shared, {{KeyExpr::field("CPF"), ""}});
    if (!a.ok()) {
      EXPECT_FALSE(a.status().path().empty()) << what << ": " << a.status();
      EXPECT_EQ(dir.get("T.DBF"), d) << what << ": written although the opening failed";
      continue;
    }
    for (Status s = (*a)->go_top(); s.ok() && !(*a)->eof(); s = (*a)->skip()) {
      for (const char* f : {"CPF", "V", "D", "M"}) (void)(*a)->get(f);
    }
    (void)(*a)->seek(Value("5"));
    (void)(*a)->close();
    std::ostringstream out, err;
    (void)dbf_check(posix_os(), path, out, err);
    (void)dbf_dump(posix_os(), path, out, err);
  }
}

}  // namespace
}  // namespace kx
