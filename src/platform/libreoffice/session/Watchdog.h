#pragma once
// Bounds one call into the office: when the call has not returned in time, the
// office is killed, which makes the blocked call return with an exception.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace pelvantz {
class ChildProcess;
}

namespace pelvantz::office {

class Watchdog {
 public:
  Watchdog(ChildProcess& process, std::chrono::seconds limit);
  ~Watchdog();  // disarms
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  bool fired() const;
  std::chrono::seconds limit() const { return limit_; }

 private:
  void watch(ChildProcess& process);

  std::chrono::seconds limit_;
  std::chrono::steady_clock::time_point started_;
  mutable std::mutex mutex_;
  std::condition_variable disarmed_;
  bool done_ = false;
  bool fired_ = false;
  std::thread thread_;
};

// The office call that came closest to its limit since the last time this was
// asked, and that limit; for the benchmarks' figures on how much room the
// limits leave.
struct OfficeCallRecord {
  std::chrono::milliseconds took{0};
  std::chrono::seconds limit{0};
};
OfficeCallRecord TakeClosestOfficeCall();

}  // namespace pelvantz::office
