#include "VirtualClock.h"

#include <utility>

namespace pelvantz::testing {

SplashClock::TimerId VirtualClock::start(int intervalMs, std::function<void()> tick) {
  const TimerId id = nextId_++;
  timers_[id] = Timer{intervalMs, now_ + intervalMs, std::move(tick)};
  return id;
}

void VirtualClock::stop(TimerId timer) { timers_.erase(timer); }

void VirtualClock::advance(int ms) {
  const long long until = now_ + ms;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.dueAt <= until && (next == timers_.end() || it->second.dueAt < next->second.dueAt)) {
        next = it;
      }
    }
    if (next == timers_.end()) break;
    now_ = next->second.dueAt;
    next->second.dueAt += next->second.intervalMs;
    const std::function<void()> tick = next->second.tick;  // the tick may stop its timer
    tick();
  }
  now_ = until;
}

}  // namespace pelvantz::testing
