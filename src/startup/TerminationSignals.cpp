#include "startup/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <utility>

namespace pelvantz {
namespace {

constexpr std::array<int, 3> HandledSignals = {SIGINT, SIGTERM, SIGHUP};
constexpr unsigned char StopBackstop = 0;
int signalPipe[2] = {-1, -1};
int backstopPipe[2] = {-1, -1};

// Only what is safe inside a signal handler: one write to each pipe.
void NoteSignal(int signal) {
  const unsigned char number = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t forLoop = write(signalPipe[1], &number, 1);
  [[maybe_unused]] const ssize_t forBackstop = write(backstopPipe[1], &number, 1);
}

void ClosePipe(int (&ends)[2]) {
  for (int& end : ends) {
    if (end >= 0) close(end);
    end = -1;
  }
}

void SetHandlers(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : HandledSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal, std::function<void(int)> whenBusy,
                                       std::chrono::milliseconds grace, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)), whenBusy_(std::move(whenBusy)), grace_(grace) {
  // Without the pipes, signals keep their defaults: they end the program at once.
  if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  if (pipe2(backstopPipe, O_CLOEXEC) != 0) {
    ClosePipe(signalPipe);
    return;
  }
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::deliver);
  backstop_ = std::thread([this] { backstop(); });
  SetHandlers(NoteSignal);
}

TerminationSignals::~TerminationSignals() {
  if (!notifier_) return;
  SetHandlers(SIG_DFL);
  [[maybe_unused]] const ssize_t written = write(backstopPipe[1], &StopBackstop, 1);
  backstop_.join();
  delete notifier_;
  ClosePipe(signalPipe);
  ClosePipe(backstopPipe);
}

void TerminationSignals::deliver() {
  unsigned char number = 0;
  while (read(signalPipe[0], &number, 1) == 1) {
    ++delivered_;
    onSignal_(number);
  }
}

// Every signal gets the grace period to be taken by the event loop.
void TerminationSignals::backstop() {
  int noted = 0;
  unsigned char number = 0;
  while (read(backstopPipe[0], &number, 1) == 1 && number != StopBackstop) {
    ++noted;
    const auto deadline = std::chrono::steady_clock::now() + grace_;
    while (delivered_ < noted && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (delivered_ < noted) whenBusy_(number);
  }
}

}  // namespace pelvantz
