#include "platform/date.h"

#include <algorithm>

namespace kx {

namespace {

struct Civil {
  int year;
  int month;
  int day;
};

// Day numbers are counted on a calendar whose years start on 1 March, so the
// leap day is the last day of its year and month lengths follow a fixed
// 31/30 pattern (153 days every five months) from March on.  4800 years are
// added so that every quantity stays positive for years from -4799 on.
constexpr std::int32_t jdn_from_civil(int year, int month, int day) {
  const int before_march = month <= 2 ? 1 : 0;
  const std::int64_t y = std::int64_t{year} + 4800 - before_march;
  const std::int64_t m = month + 12 * before_march - 3;  // 0 = March ... 11 = February
  const std::int64_t days = day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
  return static_cast<std::int32_t>(days);
}

Civil civil_from_jdn(std::int32_t jdn) {
  const std::int64_t a = std::int64_t{jdn} + 32044;        // days since 1 March 4801 BC
  const std::int64_t cycles = (4 * a + 3) / 146097;        // 400-year cycles
  const std::int64_t c = a - 146097 * cycles / 4;          // day within the cycle
  const std::int64_t years = (4 * c + 3) / 1461;           // years within the cycle
  const std::int64_t e = c - 1461 * years / 4;             // day within the March year
  const std::int64_t m = (5 * e + 2) / 153;                // 0 = March ... 11 = February
  const int day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
  const int month = static_cast<int>(m + 3 - 12 * (m / 10));
  const int year = static_cast<int>(100 * cycles + years - 4800 + m / 10);
  return {year, month, day};
}

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;
constexpr std::int32_t kMinJdn = jdn_from_civil(kMinYear, 1, 1);
constexpr std::int32_t kMaxJdn = jdn_from_civil(kMaxYear, 12, 31);

bool is_blank(char c) { return c == ' '; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// A run of 1..max_digits decimal digits, or -1.
int number(std::string_view s, std::size_t min_digits, std::size_t max_digits) {
  if (s.size() < min_digits || s.size() > max_digits) return -1;
  int v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

void put(std::string& out, int value, int digits) {
  std::string s(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0 && value > 0; --i, value /= 10) {
    s[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
  }
  out += s;
}

}  // namespace

std::optional<Date> Date::from_ymd(int year, int month, int day) {
  if (year < kMinYear || year > kMaxYear) return std::nullopt;
  if (day < 1 || day > days_in_month(year, month)) return std::nullopt;
  return Date(jdn_from_civil(year, month, day));
}

// Day numbers outside years 1-9999 are brought to the nearest end of that
// range, so that every non-empty date has a calendar form.
Date Date::from_day_number(std::int32_t jdn) {
  if (jdn == 0) return Date{};
  return Date(std::clamp(jdn, kMinJdn, kMaxJdn));
}

std::optional<Date> Date::parse_dmy(std::string_view text) {
  if (text.find_first_not_of(" /") == std::string_view::npos) return Date{};
  const std::size_t s1 = text.find('/');
  if (s1 == std::string_view::npos) return std::nullopt;
  const std::size_t s2 = text.find('/', s1 + 1);
  if (s2 == std::string_view::npos || text.find('/', s2 + 1) != std::string_view::npos) return std::nullopt;
  const int day = number(trim(text.substr(0, s1)), 1, 2);
  const int month = number(trim(text.substr(s1 + 1, s2 - s1 - 1)), 1, 2);
  const int year = number(trim(text.substr(s2 + 1)), 4, 4);
  if (day < 0 || month < 0 || year < 0) return std::nullopt;
  return from_ymd(year, month, day);
}

std::optional<Date> Date::parse_stored(std::string_view text) {
  if (text.empty() || text == "        ") return Date{};
  if (text.size() != 8) return std::nullopt;
  const int year = number(text.substr(0, 4), 4, 4);
  const int month = number(text.substr(4, 2), 2, 2);
  const int day = number(text.substr(6, 2), 2, 2);
  if (day < 0 || month < 0 || year < 0) return std::nullopt;
  return from_ymd(year, month, day);
}

int Date::year() const { return is_empty() ? 0 : civil_from_jdn(jdn_).year; }
int Date::month() const { return is_empty() ? 0 : civil_from_jdn(jdn_).month; }
int Date::day() const { return is_empty() ? 0 : civil_from_jdn(jdn_).day; }

// Day number 0 fell on a Monday.
int Date::weekday() const { return is_empty() ? 0 : static_cast<int>((std::int64_t{jdn_} + 1) % 7) + 1; }

std::string Date::dmy() const {
  if (is_empty()) return "  /  /    ";
  const Civil c = civil_from_jdn(jdn_);
  std::string out;
  put(out, c.day, 2);
  out += '/';
  put(out, c.month, 2);
  out += '/';
  put(out, c.year, 4);
  return out;
}

std::string Date::stored() const {
  if (is_empty()) return std::string(8, ' ');
  const Civil c = civil_from_jdn(jdn_);
  std::string out;
  put(out, c.year, 4);
  put(out, c.month, 2);
  put(out, c.day, 2);
  return out;
}

// The result stays within years 1-9999 (see from_day_number).
Date Date::add_days(std::int64_t days) const {
  if (is_empty()) return *this;
  const std::int64_t target = std::clamp<std::int64_t>(jdn_ + std::clamp<std::int64_t>(days, -kMaxJdn, kMaxJdn),
                                                       kMinJdn, kMaxJdn);
  return Date(static_cast<std::int32_t>(target));
}

bool Date::is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int Date::days_in_month(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

Date Date::end_of_month() const {
  if (is_empty()) return *this;
  const Civil c = civil_from_jdn(jdn_);
  return Date(jdn_from_civil(c.year, c.month, days_in_month(c.year, c.month)));
}

std::ostream& operator<<(std::ostream& os, Date d) { return os << d.dmy(); }

std::string TimeOfDay::hhmmss() const {
  std::string out;
  put(out, hour(), 2);
  out += ':';
  put(out, minute(), 2);
  out += ':';
  put(out, second(), 2);
  return out;
}

}  // namespace kx
