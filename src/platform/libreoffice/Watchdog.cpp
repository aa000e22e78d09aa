#include "platform/libreoffice/Watchdog.h"

#include "platform/libreoffice/OfficeProcess.h"

namespace pelvantz::office {

Watchdog::Watchdog(OfficeProcess& process, std::chrono::seconds limit)
    : limit_(limit), thread_([this, &process] { watch(process); }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard lock(mutex_);
    done_ = true;
  }
  disarmed_.notify_one();
  thread_.join();
}

bool Watchdog::fired() const {
  std::lock_guard lock(mutex_);
  return fired_;
}

void Watchdog::watch(OfficeProcess& process) {
  std::unique_lock lock(mutex_);
  if (disarmed_.wait_for(lock, limit_, [this] { return done_; })) return;
  fired_ = true;
  process.kill();
}

}  // namespace pelvantz::office
