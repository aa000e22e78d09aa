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
int signalPipe[2] = {-1, -1};

// Only what is safe inside a signal handler: one write to the pipe.
void NoteSignal(int signal) {
  const unsigned char number = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &number, 1);
}

void SetHandlers(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : HandledSignals) sigaction(signal, &action, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // signals then keep their defaults
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::deliver);
  SetHandlers(NoteSignal);
}

TerminationSignals::~TerminationSignals() {
  if (!notifier_) return;
  SetHandlers(SIG_DFL);
  delete notifier_;
  close(signalPipe[0]);
  close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::deliver() {
  unsigned char number = 0;
  while (read(signalPipe[0], &number, 1) == 1) onSignal_(number);
}

}  // namespace pelvantz
