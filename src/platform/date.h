// Calendar dates as day numbers, with an empty value.
//
// A date is its Julian day number (so 01/01/2013 is 2456294); the empty date
// is day number 0 and compares below every real date.  Arithmetic on the empty
// date follows the day number (today - empty is a large count: callers that
// show such a count clamp it), but adding days to the empty date keeps it empty.
// Gregorian rules in full (2000 is leap, 1900 and 2100 are not), years 1-9999.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace kx {

class Date {
 public:
  constexpr Date() = default;  // empty
  static constexpr Date empty() { return Date{}; }
  static std::optional<Date> from_ymd(int year, int month, int day);
  static Date from_day_number(std::int32_t jdn);

  // "dd/mm/yyyy" as typed or shown.  All blanks and separators only
  // ("  /  /    ") give the empty date; an impossible date (31/04/2013,
  // 29/02/2013, 00/01/2013) or a malformed text gives nothing.
  static std::optional<Date> parse_dmy(std::string_view text);
  // "yyyymmdd" as stored in D fields and keys; 8 blanks (or "") is the empty
  // date; anything else that is not a valid date gives nothing.
  static std::optional<Date> parse_stored(std::string_view text);

  bool is_empty() const { return jdn_ == 0; }
  std::int32_t day_number() const { return jdn_; }
  int year() const;   // 0 for the empty date
  int month() const;  // 0 for the empty date
  int day() const;    // 0 for the empty date
  // DOW: 1 Sunday ... 7 Saturday; 0 for the empty date.
  int weekday() const;

  std::string dmy() const;     // "dd/mm/yyyy"; "  /  /    " when empty
  std::string stored() const;  // "yyyymmdd"; 8 blanks when empty

  Date add_days(std::int64_t days) const;
  friend Date operator+(Date d, std::int64_t days) { return d.add_days(days); }
  friend Date operator-(Date d, std::int64_t days) { return d.add_days(-days); }
  friend std::int64_t operator-(Date a, Date b) { return std::int64_t{a.jdn_} - b.jdn_; }

  static bool is_leap(int year);
  static int days_in_month(int year, int month);  // 0 for a month outside 1-12
  // Last day of the month of this date (empty stays empty).
  Date end_of_month() const;

  friend bool operator==(Date a, Date b) = default;
  friend std::strong_ordering operator<=>(Date a, Date b) = default;

 private:
  constexpr explicit Date(std::int32_t jdn) : jdn_(jdn) {}
  std::int32_t jdn_ = 0;
};

std::ostream& operator<<(std::ostream& os, Date d);

// Time of day in whole seconds since midnight (SECONDS(), TIME()).
struct TimeOfDay {
  int seconds = 0;
  int hour() const { return seconds / 3600; }
  int minute() const { return seconds / 60 % 60; }
  int second() const { return seconds % 60; }
  std::string hhmmss() const;  // "hh:mm:ss"
  friend bool operator==(TimeOfDay, TimeOfDay) = default;
  friend auto operator<=>(TimeOfDay, TimeOfDay) = default;
};

}  // namespace kx
