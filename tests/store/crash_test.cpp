// Crash points through the OS layer: each mutating operation is stopped
// after its k-th write, for every k; every state must reopen to a
// consistent table (the opening repairs what needs it) with no completed
// row lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/fault_os.h"
#include "platform/text.h"
#include "platform/temp_dir.h"
#include "store/area.h"
#include "store/dbf_tool.h"

namespace kx {
namespace {

struct Tables {
  testing::TempDir dir;
  std::string path = dir.file("T.DBF");
  Tables() {
    auto a = Area::create(posix_os(), path, {{"CPF", 'C', 11, 0}, {"VALOR", 'N', 12, 2}}, Share::Exclusive,
                          {{KeyExpr::field("CPF"), ""}, {KeyExpr::field("VALOR"), dir.file("T_B.CDX")}});
    for (int i = 0; i < 40; ++i) {
      EXPECT_TRUE((*a)->append_blank().ok());
      EXPECT_TRUE((*a)->replace({{"CPF", Value("C" + std::to_string(100 + i))}, {"VALOR", Value(i)}}).ok());
      if (i % 4 == 1) {
        EXPECT_TRUE((*a)->delete_record().ok());
      }
    }
  }
  std::vector<IndexSpec> specs() const { return {{KeyExpr::field("CPF"), ""}, {KeyExpr::field("VALOR"), dir.file("T_B.CDX")}}; }
  // Opens for repair (exclusively, so the header is set right on close),
  // then checks table and indexes; returns the live rows as "CPF=VALOR".
  std::vector<std::string> verify(const std::string& what) {
    {
      auto a = Area::open(posix_os(), path, Share::Exclusive, specs());
      EXPECT_TRUE(a.ok()) << what << ": " << a.status();
    }
    std::ostringstream out, err;
    EXPECT_EQ(dbf_check(posix_os(), path, out, err), 0) << what << ":\n" << out.str() << err.str();
    auto a = Area::open(posix_os(), path, Share::Shared, specs());
    std::vector<std::string> rows;
    if (!a.ok()) return rows;
    (void)(*a)->set_order(0);
    for ((void)(*a)->go_top(); !(*a)->eof(); (void)(*a)->skip())
      rows.push_back(rtrim((*a)->get("CPF")->text()) + "=" + (*a)->get("VALOR")->number().to_string());
    std::sort(rows.begin(), rows.end());
    return rows;
  }
};

struct Op {
  const char* name;
  Share share;
  std::function<void(Area&)> run;
  // The live rows after the operation completed, from those before.
  std::function<std::vector<std::string>(std::vector<std::string>)> after;
  // A state between the two that is also sound (the blank row of an append
  // whose values were not written yet).
  std::function<std::vector<std::string>(std::vector<std::string>)> between = {};
};

std::vector<std::string> with_blank_row(std::vector<std::string> r) {
  r.push_back("=0.00");
  std::sort(r.begin(), r.end());
  return r;
}

TEST(CrashPoints, EveryStateReopensConsistentWithNoCompletedRowLost) {
  const Op ops[] = {
      {"append", Share::Shared,
       [](Area& a) {
         if (a.append_blank().ok()) (void)a.replace({{"CPF", Value("NEW")}, {"VALOR", Value(7)}});
       },
       [](std::vector<std::string> r) { r.push_back("NEW=7.00"); std::sort(r.begin(), r.end()); return r; },
       with_blank_row},
      {"append exclusive", Share::Exclusive,
       [](Area& a) {
         if (a.append_blank().ok()) (void)a.replace({{"CPF", Value("NEW")}, {"VALOR", Value(7)}});
       },
       [](std::vector<std::string> r) { r.push_back("NEW=7.00"); std::sort(r.begin(), r.end()); return r; },
       with_blank_row},
      {"replace key", Share::Shared,
       [](Area& a) {
         if (a.seek(Value("C102")).ok() && a.found() && a.lock_record().ok())
           (void)a.replace({{"CPF", Value("Z999")}, {"VALOR", Value(-5)}});
       },
       [](std::vector<std::string> r) {
         std::replace(r.begin(), r.end(), std::string("C102=2.00"), std::string("Z999=-5.00"));
         std::sort(r.begin(), r.end());
         return r;
       }},
      {"delete", Share::Shared,
       [](Area& a) {
         if (a.seek(Value("C103")).ok() && a.found() && a.lock_record().ok()) (void)a.delete_record();
       },
       [](std::vector<std::string> r) { r.erase(std::find(r.begin(), r.end(), "C103=3.00")); return r; }},
      {"pack", Share::Shared, [](Area& a) { (void)a.pack(); }, [](std::vector<std::string> r) { return r; }},
      {"rebuild", Share::Exclusive, [](Area& a) { (void)a.reindex(); }, [](std::vector<std::string> r) { return r; }},
  };
  for (const auto mode : {FaultOs::CrashCount::Writes, FaultOs::CrashCount::Mutations})
  for (const Op& op : ops) {
    std::vector<std::string> before, done, between;
    {
      Tables s;
      before = s.verify("setup");
      done = op.after(before);
      between = op.between ? op.between(before) : before;
    }
    bool finished = false;
    for (std::uint64_t k = 0; !finished && k < 500; ++k) {
      Tables s;
      const std::string what = std::string(op.name) + " stopped after " +
                               (mode == FaultOs::CrashCount::Writes ? "write " : "change ") + std::to_string(k);
      {
        FaultOs fo(posix_os());
        auto a = Area::open(fo, s.path, op.share, s.specs());
        ASSERT_TRUE(a.ok()) << what << ": " << a.status();
        fo.crash_after(k, mode);
        op.run(**a);
        (void)(*a)->close();
        finished = !fo.crashed();
      }
      const auto rows = s.verify(what);
      if (finished) {
        EXPECT_EQ(rows, done) << what;
      } else {
        EXPECT_TRUE(rows == before || rows == done || rows == between) << what;
      }
    }
    EXPECT_TRUE(finished) << op.name;
  }
}

}  // namespace
}  // namespace kx

namespace kx {
namespace {

// I/O errors (EIO, ENOSPC) at every write, sync and rename of an operation:
// the operation reports the failure (never success), and the files reopen
// sound with the rows from before or after it.
TEST(IoErrors, EveryFailureIsReportedAndLeavesSoundFiles) {
  struct ErrOp {
    const char* name;
    Share share;
    std::function<Status(Area&)> run;
    std::function<std::vector<std::string>(std::vector<std::string>)> after;
  } ops[] = {
      {"append", Share::Shared, [](Area& a) { return a.append_blank(); }, with_blank_row},
      {"replace key", Share::Shared,
       [](Area& a) {
         Status s = a.seek(Value("C102"));
         if (s.ok()) s = a.lock_record();
         return s.ok() ? a.replace("CPF", Value("Z999")) : s;
       },
       [](std::vector<std::string> r) {
         std::replace(r.begin(), r.end(), std::string("C102=2.00"), std::string("Z999=2.00"));
         std::sort(r.begin(), r.end());
         return r;
       }},
      {"pack", Share::Shared, [](Area& a) { return a.pack(); }, [](std::vector<std::string> r) { return r; }},
      {"rebuild", Share::Exclusive, [](Area& a) { return a.reindex(); }, [](std::vector<std::string> r) { return r; }},
  };
  for (const auto op_kind : {FaultOs::Op::Write, FaultOs::Op::Sync, FaultOs::Op::Rename})
    for (const ErrOp& op : ops) {
      for (std::uint64_t k = 1; k < 200; ++k) {
        Tables s;
        const auto before = s.verify("setup");
        const std::string what = std::string(op.name) + " failing call " + std::to_string(k);
        bool fired = false;
        {
          FaultOs fo(posix_os());
          auto a = Area::open(fo, s.path, op.share, s.specs());
          ASSERT_TRUE(a.ok()) << what;
          const std::uint64_t at = fo.count(op_kind);
          fo.inject({op_kind, k, k % 2 ? EIO : ENOSPC});
          Status st = op.run(**a);
          fired = fo.count(op_kind) >= at + k;
          if (fired) {
            EXPECT_FALSE(st.ok()) << what << " reported success";
          }
          fo.clear();
          (void)(*a)->close();
        }
        const auto rows = s.verify(what);
        EXPECT_TRUE(rows == before || rows == op.after(before)) << what;
        if (!fired) break;
      }
    }
}

}  // namespace
}  // namespace kx
