// The table engine on the declaration workload: a table with the 68 fields
// of table 2 (813-byte rows), 100,000 rows over 5,000 CPFs, one index on
// CPF; in shared and in exclusive mode.  Each benchmark runs once over the
// whole workload (the phases build on one another, in this order).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/cp850.h"
#include "store/area.h"

namespace kx {
namespace {

constexpr std::uint32_t kRows = 100000, kCpfs = 5000;

std::vector<dbf::FieldDef> table2_fields() {
  std::vector<dbf::FieldDef> f = {{"CPF", 'C', 11, 0},    {"I1_1", 'C', 1, 0},  {"I1_2", 'C', 60, 0},
                                  {"I1_3", 'C', 18, 0},   {"I1_4", 'N', 12, 2}, {"I1_5", 'N', 12, 2},
                                  {"I1_6", 'N', 12, 2},   {"I1_7", 'N', 12, 2}, {"I1_8", 'C', 11, 0},
                                  {"TIPOCR", 'C', 1, 0},  {"DT_LC", 'D', 8, 0}, {"I1_9", 'N', 12, 2},
                                  {"I1_10", 'N', 12, 2},  {"I1_11", 'C', 1, 0}};
  for (int i = 12; i <= 20; ++i) f.push_back({"I1_" + std::to_string(i), 'N', 12, 2});
  f.push_back({"I1_21", 'N', 5, 1});
  f.push_back({"I1_22", 'C', 11, 0});
  for (int i = 23; i <= 28; ++i) f.push_back({"I1_" + std::to_string(i), 'N', 12, 2});
  f.push_back({"NEW1", 'L', 1, 0});
  for (int m = 1; m <= 12; ++m)
    for (int k = 4; k <= 6; ++k) {
      char name[11];
      std::snprintf(name, sizeof name, "I1_%d%02d", k, m);
      f.push_back({name, 'N', 12, 2});
    }
  return f;
}

std::string cpf_of(std::uint32_t n) {
  char b[12];
  std::snprintf(b, sizeof b, "%011u", 10000000u + n * 7919u % 90000000u);
  return b;
}

struct Workload {
  std::string dir;
  ~Workload() {
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
  }
  std::string path() const { return dir + "/IMP0213.DBF"; }
  std::vector<IndexSpec> keys() const { return {{KeyExpr::field("CPF"), ""}}; }
};

Workload& workload(Share share) {
  static Workload w[2];
  Workload& x = w[share == Share::Shared ? 0 : 1];
  if (x.dir.empty()) {
    std::string tmpl = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/kx-bench-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    x.dir = tmpl;
  }
  return x;
}

void finish(benchmark::State& state, double items) {
  state.counters["rate"] = benchmark::Counter(items, benchmark::Counter::kIsRate);
}

void BM_Append(benchmark::State& state) {
  const Share share = state.range(0) ? Share::Shared : Share::Exclusive;
  Workload& w = workload(share);
  for (auto _ : state) {
    auto a = Area::create(posix_os(), w.path(), table2_fields(), share, w.keys());
    if (!a.ok()) state.SkipWithError(a.status().message().c_str());
    Table& t = (*a)->table();
    std::string rec = dbf::blank_record(t.header());
    for (std::uint32_t i = 0; i < kRows; ++i) {
      (void)t.put(rec, 0, Value(cpf_of(i % kCpfs)));
      (void)t.put(rec, 4, Value(Decimal::of(i * 37 % 1000000, 2)));
      if (!(*a)->append_record(rec).ok()) state.SkipWithError("append");
      if (share == Share::Shared) (void)(*a)->unlock();
    }
    (void)(*a)->close();
  }
  finish(state, kRows);
}

void BM_Seek(benchmark::State& state) {
  const Share share = state.range(0) ? Share::Shared : Share::Exclusive;
  Workload& w = workload(share);
  auto a = Area::open(posix_os(), w.path(), share, w.keys());
  if (!a.ok()) return state.SkipWithError(a.status().message().c_str());
  std::mt19937 rng(7);
  std::uint32_t found = 0;
  for (auto _ : state)
    for (std::uint32_t i = 0; i < kRows; ++i) {
      (void)(*a)->seek(Value(cpf_of(rng() % kCpfs)));
      found += (*a)->found();
    }
  if (found != kRows) state.SkipWithError("a seek failed");
  finish(state, kRows);
}

void BM_SkipInIndexOrder(benchmark::State& state) {
  const Share share = state.range(0) ? Share::Shared : Share::Exclusive;
  Workload& w = workload(share);
  auto a = Area::open(posix_os(), w.path(), share, w.keys());
  if (!a.ok()) return state.SkipWithError(a.status().message().c_str());
  std::uint32_t n = 0;
  for (auto _ : state)
    for ((void)(*a)->go_top(); !(*a)->eof(); (void)(*a)->skip()) ++n;
  if (n != kRows) state.SkipWithError("skip count");
  finish(state, kRows);
}

void BM_LockReplaceUnlock(benchmark::State& state) {
  const Share share = state.range(0) ? Share::Shared : Share::Exclusive;
  Workload& w = workload(share);
  auto a = Area::open(posix_os(), w.path(), share, w.keys());
  if (!a.ok()) return state.SkipWithError(a.status().message().c_str());
  std::mt19937 rng(11);
  constexpr int kN = 10000;
  for (auto _ : state)
    for (int i = 0; i < kN; ++i) {
      (void)(*a)->go_to(1 + rng() % kRows);
      if (!(*a)->lock_record().ok() || !(*a)->replace("I1_5", Value(Decimal::of(i, 2))).ok())
        state.SkipWithError("replace");
      (void)(*a)->unlock();
    }
  finish(state, kN);
}

void BM_DeleteTenthAndPack(benchmark::State& state) {
  const Share share = state.range(0) ? Share::Shared : Share::Exclusive;
  Workload& w = workload(share);
  auto a = Area::open(posix_os(), w.path(), share, w.keys());
  if (!a.ok()) return state.SkipWithError(a.status().message().c_str());
  (void)(*a)->set_order(0);
  for (std::uint32_t r = 10; r <= kRows; r += 10) {
    (void)(*a)->go_to(r);
    (void)(*a)->lock_record();
    (void)(*a)->delete_record();
  }
  (void)(*a)->unlock();
  for (auto _ : state)
    if (Status s = (*a)->pack(); !s.ok()) state.SkipWithError(s.message().c_str());
  if ((*a)->reccount() != kRows - kRows / 10) state.SkipWithError("pack count");
  (void)(*a)->close();
}

#define KX_BENCH(fn) BENCHMARK(fn)->ArgName("shared")->Arg(0)->Arg(1)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond)
KX_BENCH(BM_Append);
KX_BENCH(BM_Seek);
KX_BENCH(BM_SkipInIndexOrder);
KX_BENCH(BM_LockReplaceUnlock);
KX_BENCH(BM_DeleteTenthAndPack);

}  // namespace
}  // namespace kx

BENCHMARK_MAIN();
