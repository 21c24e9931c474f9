#include "platform/session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os.h"

namespace kx {
namespace {

struct Log {
  std::vector<std::string> lines;
};

struct Counter {
  int n = 0;
};

struct NeedsSession {
  explicit NeedsSession(Session& s) : log(s.part<Log>()) { log.lines.push_back("made"); }
  ~NeedsSession() { log.lines.push_back("gone"); }
  Log& log;
};

TEST(Session, PartsAreMadeOnceAndDestroyedInReverseOrder) {
  FixedClock clock{*Date::from_ymd(2013, 1, 2)};
  std::vector<std::string> seen;
  {
    Session s{posix_os(), clock};
    EXPECT_FALSE(s.has_part<Counter>());
    s.part<Counter>().n = 5;
    EXPECT_EQ(s.part<Counter>().n, 5);
    NeedsSession& p = s.part<NeedsSession>();
    EXPECT_EQ(&s.part<NeedsSession>(), &p);
    EXPECT_EQ(p.log.lines, std::vector<std::string>{"made"});
    p.log.lines.clear();
    // Log was made before NeedsSession, so it outlives it.
    s.part<Log>().lines.push_back("x");
    seen = s.part<Log>().lines;
  }
  EXPECT_EQ(seen, std::vector<std::string>{"x"});
}

TEST(Clock, FixedClockAdvancesOverMidnight) {
  FixedClock clock{*Date::from_ymd(2012, 12, 31), TimeOfDay{86390}};
  clock.advance(15);
  EXPECT_EQ(clock.today(), *Date::from_ymd(2013, 1, 1));
  EXPECT_EQ(clock.now().seconds, 5);
  clock.advance(-10);
  EXPECT_EQ(clock.today(), *Date::from_ymd(2012, 12, 31));
  EXPECT_EQ(clock.now().seconds, 86395);
}

TEST(Clock, SystemClockReadsTheOsTime) {
  SystemClock clock{posix_os()};
  Date today = clock.today();
  EXPECT_FALSE(today.is_empty());
  EXPECT_GE(today.year(), 2024);
  EXPECT_LT(clock.now().seconds, 86400);
}

}  // namespace
}  // namespace kx
