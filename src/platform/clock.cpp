#include "platform/clock.h"

#include <chrono>
#include <ctime>

#include "platform/os.h"

namespace kx {
namespace {

std::tm local_time(Os& os) {
  std::time_t t = std::chrono::system_clock::to_time_t(os.now());
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

Date SystemClock::today() const {
  std::tm tm = local_time(os_);
  return Date::from_ymd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday).value_or(Date::empty());
}

TimeOfDay SystemClock::now() const {
  std::tm tm = local_time(os_);
  return TimeOfDay{tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec};
}

void FixedClock::advance(int seconds) {
  long total = static_cast<long>(now_.seconds) + seconds;
  long days = total / 86400;
  total %= 86400;
  if (total < 0) {
    total += 86400;
    --days;
  }
  today_ = today_ + days;
  now_ = TimeOfDay{static_cast<int>(total)};
}

}  // namespace kx
