// Today and the time of day, through one injectable clock.
//
// Production reads the system clock (local time, so faketime and TZ work);
// tests fix the clock and move it by hand.
#pragma once

#include "platform/date.h"

namespace kx {

class Os;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual Date today() const = 0;        // DATE()
  virtual TimeOfDay now() const = 0;     // SECONDS() / TIME()
};

// The system clock in local time, read through the OS layer.
class SystemClock final : public Clock {
 public:
  explicit SystemClock(Os& os) : os_(os) {}
  Date today() const override;
  TimeOfDay now() const override;

 private:
  Os& os_;
};

// A clock that says what a test tells it.
class FixedClock final : public Clock {
 public:
  FixedClock(Date today, TimeOfDay now = {}) : today_(today), now_(now) {}
  Date today() const override { return today_; }
  TimeOfDay now() const override { return now_; }
  void set(Date today, TimeOfDay now = {}) {
    today_ = today;
    now_ = now;
  }
  // Moves the time on, rolling over midnight into the next day.
  void advance(int seconds);

 private:
  Date today_;
  TimeOfDay now_;
};

}  // namespace kx
