#pragma once
// A splash clock that moves only when the test says so.
#include <map>

#include "startup/SplashClock.h"

namespace pelvantz::testing {

class VirtualClock : public SplashClock {
 public:
  TimerId start(int intervalMs, std::function<void()> tick) override;
  void stop(TimerId timer) override;
  // Moves the time on, firing every tick that falls due, in time order
  // (timers due together fire in the order they were started).
  void advance(int ms);
  int runningTimers() const { return int(timers_.size()); }

 private:
  struct Timer {
    int intervalMs;
    long long dueAt;
    std::function<void()> tick;
  };
  std::map<TimerId, Timer> timers_;
  long long now_ = 0;
  TimerId nextId_ = 1;
};

}  // namespace pelvantz::testing
