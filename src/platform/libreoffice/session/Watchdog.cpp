#include "platform/libreoffice/session/Watchdog.h"

#include <utility>

#include "platform/ChildProcess.h"

namespace pelvantz {
namespace office {
namespace {

std::mutex closestMutex;
OfficeCallRecord closest;

double ShareOfLimit(const OfficeCallRecord& call) {
  return call.limit.count() > 0 ? std::chrono::duration<double>(call.took) / call.limit : 0;
}

void Record(const OfficeCallRecord& call) {
  std::lock_guard lock(closestMutex);
  if (ShareOfLimit(call) >= ShareOfLimit(closest)) closest = call;
}

}  // namespace

Watchdog::Watchdog(ChildProcess& process, std::chrono::seconds limit)
    : limit_(limit), started_(std::chrono::steady_clock::now()), thread_([this, &process] { watch(process); }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard lock(mutex_);
    done_ = true;
  }
  disarmed_.notify_one();
  thread_.join();
  Record({std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_),
          limit_});
}

bool Watchdog::fired() const {
  std::lock_guard lock(mutex_);
  return fired_;
}

void Watchdog::watch(ChildProcess& process) {
  std::unique_lock lock(mutex_);
  if (disarmed_.wait_for(lock, limit_, [this] { return done_; })) return;
  fired_ = true;
  process.kill();
}

OfficeCallRecord TakeClosestOfficeCall() {
  std::lock_guard lock(closestMutex);
  return std::exchange(closest, {});
}

}  // namespace office
}  // namespace pelvantz
