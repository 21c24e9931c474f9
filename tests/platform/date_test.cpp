#include "platform/date.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kx {
namespace {

Date ymd(int y, int m, int d) { return Date::from_ymd(y, m, d).value(); }

TEST(DateCalendar, KnownDayNumbers) {
  struct Case {
    int y, m, d;
    std::int32_t jdn;
  };
  const Case cases[] = {
      {2013, 1, 1, 2456294}, {2000, 1, 1, 2451545}, {1970, 1, 1, 2440588}, {1858, 11, 17, 2400001},
      {2012, 2, 29, 2455987}, {2026, 12, 11, 2461386}, {1, 1, 1, 1721426},  {9999, 12, 31, 5373484},
  };
  for (const auto& c : cases) {
    const auto d = Date::from_ymd(c.y, c.m, c.d);
    ASSERT_TRUE(d.has_value()) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(d->day_number(), c.jdn) << c.y << "-" << c.m << "-" << c.d;
    const Date back = Date::from_day_number(c.jdn);
    EXPECT_EQ(back.year(), c.y) << c.jdn;
    EXPECT_EQ(back.month(), c.m) << c.jdn;
    EXPECT_EQ(back.day(), c.d) << c.jdn;
  }
}

// Every day of years 1-9999 follows the previous one and converts back to itself.
TEST(DateCalendar, EveryDayRoundTrips) {
  std::int32_t previous = Date::from_ymd(1, 1, 1)->day_number() - 1;
  for (int y = 1; y <= 9999; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= Date::days_in_month(y, m); ++d) {
        const auto date = Date::from_ymd(y, m, d);
        ASSERT_TRUE(date.has_value()) << y << "-" << m << "-" << d;
        ASSERT_EQ(date->day_number(), previous + 1) << y << "-" << m << "-" << d;
        previous = date->day_number();
        const Date back = Date::from_day_number(previous);
        ASSERT_TRUE(back.year() == y && back.month() == m && back.day() == d)
            << y << "-" << m << "-" << d << " came back as " << back;
      }
    }
  }
}

TEST(DateCalendar, LeapYearsAndMonthLengths) {
  struct Case {
    int year;
    bool leap;
  };
  const Case cases[] = {{2000, true},  {1900, false}, {2100, false}, {2400, true}, {2012, true},
                        {2013, false}, {2016, true},  {4, true},     {1, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(Date::is_leap(c.year), c.leap) << c.year;
    EXPECT_EQ(Date::days_in_month(c.year, 2), c.leap ? 29 : 28) << c.year;
    EXPECT_EQ(Date::from_ymd(c.year, 2, 29).has_value(), c.leap) << c.year;
  }
  EXPECT_EQ(Date::days_in_month(2013, 4), 30);
  EXPECT_EQ(Date::days_in_month(2013, 12), 31);
  EXPECT_EQ(Date::days_in_month(2013, 0), 0);
  EXPECT_EQ(Date::days_in_month(2013, 13), 0);
}

TEST(DateCalendar, YearsOutsideRangeGiveNothing) {
  EXPECT_FALSE(Date::from_ymd(0, 12, 31).has_value());
  EXPECT_FALSE(Date::from_ymd(10000, 1, 1).has_value());
  EXPECT_FALSE(Date::from_ymd(-1, 1, 1).has_value());
  EXPECT_FALSE(Date::from_ymd(2013, 1, 0).has_value());
  EXPECT_FALSE(Date::from_ymd(2013, 0, 1).has_value());
}

TEST(DateEmpty, BehavesAsDayZero) {
  const Date e = Date::empty();
  EXPECT_TRUE(e.is_empty());
  EXPECT_EQ(e, Date{});
  EXPECT_EQ(e.day_number(), 0);
  EXPECT_EQ(e.year(), 0);
  EXPECT_EQ(e.month(), 0);
  EXPECT_EQ(e.day(), 0);
  EXPECT_EQ(e.weekday(), 0);
  EXPECT_EQ(e.dmy(), "  /  /    ");
  EXPECT_EQ(e.stored(), "        ");
  EXPECT_LT(e, ymd(1, 1, 1));
  EXPECT_TRUE(Date::from_day_number(0).is_empty());
  EXPECT_TRUE((e + 5).is_empty());
  EXPECT_TRUE((e - 5).is_empty());
  EXPECT_TRUE(e.end_of_month().is_empty());
  EXPECT_EQ(ymd(2013, 1, 1) - e, 2456294);
}

TEST(DateParse, TypedDates) {
  struct Case {
    const char* text;
    std::optional<Date> expected;
  };
  const Case cases[] = {
      {"01/01/2013", ymd(2013, 1, 1)},
      {"11/12/2026", ymd(2026, 12, 11)},
      {"29/02/2012", ymd(2012, 2, 29)},
      {"29/02/2000", ymd(2000, 2, 29)},
      {"31/12/9999", ymd(9999, 12, 31)},
      {" 1/ 2/2013", ymd(2013, 2, 1)},
      {"1/2/2013", ymd(2013, 2, 1)},
      {"  /  /    ", Date::empty()},
      {"", Date::empty()},
      {"          ", Date::empty()},
      // Impossible dates.
      {"31/04/2013", std::nullopt},
      {"29/02/2013", std::nullopt},
      {"29/02/1900", std::nullopt},
      {"00/01/2013", std::nullopt},
      {"32/01/2013", std::nullopt},
      {"01/00/2013", std::nullopt},
      {"01/13/2013", std::nullopt},
      {"01/01/0000", std::nullopt},
      // Malformed or partly blank.
      {"01/01/13", std::nullopt},
      {"01-01-2013", std::nullopt},
      {"01/01", std::nullopt},
      {"01/01/2013/", std::nullopt},
      {"ab/01/2013", std::nullopt},
      {"  /01/2013", std::nullopt},
      {"01/01/    ", std::nullopt},
      {"001/01/2013", std::nullopt},
      {"+1/01/2013", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(Date::parse_dmy(c.text), c.expected) << "\"" << c.text << "\"";
}

TEST(DateParse, StoredDates) {
  struct Case {
    const char* text;
    std::optional<Date> expected;
  };
  const Case cases[] = {
      {"20130101", ymd(2013, 1, 1)}, {"20000229", ymd(2000, 2, 29)}, {"00010101", ymd(1, 1, 1)},
      {"", Date::empty()},           {"        ", Date::empty()},    {"2013010", std::nullopt},
      {"201301011", std::nullopt},   {"20130230", std::nullopt},     {"19000229", std::nullopt},
      {"2013 101", std::nullopt},    {"00000000", std::nullopt},     {"    ", std::nullopt},
      {"2013-1-1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(Date::parse_stored(c.text), c.expected) << "\"" << c.text << "\"";
}

TEST(DateText, ShownAndStoredRoundTrip) {
  const Date dates[] = {ymd(2013, 1, 1), ymd(1, 1, 1), ymd(9999, 12, 31), ymd(2012, 2, 29), ymd(987, 6, 5),
                        Date::empty()};
  for (const Date d : dates) {
    EXPECT_EQ(Date::parse_stored(d.stored()), d) << d.stored();
    EXPECT_EQ(Date::parse_dmy(d.dmy()), d) << d.dmy();
  }
  EXPECT_EQ(ymd(987, 6, 5).dmy(), "05/06/0987");
  EXPECT_EQ(ymd(987, 6, 5).stored(), "09870605");
}

TEST(DateArithmetic, WeekdaysOfKnownDates) {
  struct Case {
    Date date;
    int weekday;  // 1 Sunday ... 7 Saturday
  };
  const Case cases[] = {
      {ymd(2026, 12, 11), 6}, {ymd(2013, 1, 1), 3}, {ymd(2000, 1, 1), 7}, {ymd(1970, 1, 1), 5},
      {ymd(2012, 2, 29), 4},  {ymd(1, 1, 1), 2},    {ymd(9999, 12, 31), 6},
  };
  for (const auto& c : cases) EXPECT_EQ(c.date.weekday(), c.weekday) << c.date;
  // Sunday 06/01/2013 starts a full week.
  for (int i = 0; i < 14; ++i) EXPECT_EQ((ymd(2013, 1, 6) + i).weekday(), i % 7 + 1) << i;
}

TEST(DateArithmetic, DifferencesAndSteps) {
  struct Case {
    Date later;
    Date earlier;
    std::int64_t days;
  };
  const Case cases[] = {
      {ymd(2014, 1, 1), ymd(2013, 1, 1), 365},  {ymd(2013, 1, 1), ymd(2012, 1, 1), 366},
      {ymd(2013, 3, 1), ymd(2013, 2, 28), 1},   {ymd(2012, 3, 1), ymd(2012, 2, 28), 2},
      {ymd(2013, 1, 1), ymd(2012, 12, 31), 1},  {ymd(2013, 12, 31), ymd(2000, 1, 1), 5113},
      {ymd(2013, 4, 30), ymd(1999, 12, 31), 4869}, {ymd(2101, 3, 1), ymd(2100, 2, 28), 366},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.later - c.earlier, c.days) << c.later << " - " << c.earlier;
    EXPECT_EQ(c.earlier - c.later, -c.days) << c.earlier << " - " << c.later;
    EXPECT_EQ(c.earlier + c.days, c.later) << c.earlier << " + " << c.days;
    EXPECT_EQ(c.later - c.days, c.earlier) << c.later << " - " << c.days;
  }
}

TEST(DateArithmetic, StaysWithinTheCalendar) {
  EXPECT_EQ(ymd(9999, 12, 31) + 1, ymd(9999, 12, 31));
  EXPECT_EQ(ymd(1, 1, 1) - 1, ymd(1, 1, 1));
  EXPECT_EQ(ymd(2013, 1, 1) + (std::int64_t{1} << 40), ymd(9999, 12, 31));
  EXPECT_EQ(ymd(2013, 1, 1) - (std::int64_t{1} << 40), ymd(1, 1, 1));
  EXPECT_EQ(Date::from_day_number(-5), ymd(1, 1, 1));
  EXPECT_EQ(Date::from_day_number(1), ymd(1, 1, 1));
  EXPECT_EQ(Date::from_day_number(2147483647), ymd(9999, 12, 31));
}

TEST(DateArithmetic, EndOfMonth) {
  struct Case {
    Date date;
    Date end;
  };
  const Case cases[] = {
      {ymd(2012, 2, 15), ymd(2012, 2, 29)}, {ymd(2013, 2, 1), ymd(2013, 2, 28)},  {ymd(1900, 2, 10), ymd(1900, 2, 28)},
      {ymd(2013, 4, 30), ymd(2013, 4, 30)}, {ymd(2013, 12, 1), ymd(2013, 12, 31)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.date.end_of_month(), c.end) << c.date;
}

TEST(DateTimeOfDay, ClockText) {
  struct Case {
    int seconds;
    const char* text;
  };
  const Case cases[] = {{0, "00:00:00"}, {3661, "01:01:01"}, {43200, "12:00:00"}, {86399, "23:59:59"}};
  for (const auto& c : cases) EXPECT_EQ(TimeOfDay{c.seconds}.hhmmss(), c.text) << c.seconds;
}

}  // namespace
}  // namespace kx
