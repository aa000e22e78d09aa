#include "InstanceCopy.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>

#include "platform/qt/QtInstanceWindow.h"

namespace pelvantz::testing {
namespace {

// A copy left behind by a failed test ends by itself.
constexpr int CopyLifetimeMs = 60000;
constexpr int LineWaitMs = 20000;

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

}  // namespace

int RunInstanceCopy(const QString& socketPath) {
  QtInstanceWindow instance(socketPath);
  if (instance.activateRunningCopy()) {
    Say("found");
    return 0;
  }
  Say("claimed");
  instance.onActivationRequest([] { Say("activated"); });
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[64];
    if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) QCoreApplication::quit();
  });
  QTimer::singleShot(CopyLifetimeMs, [] { QCoreApplication::exit(2); });
  return QCoreApplication::exec();
}

int RunCrashingCopy(const QString& socketPath) {
  QtInstanceWindow instance(socketPath);
  if (instance.activateRunningCopy()) return 1;
  Say("claimed");
  kill(getpid(), SIGKILL);
  return 1;
}

void CopyEnder::operator()(QProcess* copy) const {
  copy->closeWriteChannel();
  if (!copy->waitForFinished(LineWaitMs)) {
    copy->kill();
    copy->waitForFinished();
  }
  delete copy;
}

Copy StartCopy(const char* option, const QString& socketPath) {
  Copy copy(new QProcess);
  copy->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  copy->start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(option), socketPath});
  copy->waitForStarted();
  return copy;
}

QString NextLine(QProcess& copy) {
  while (!copy.canReadLine()) {
    if (!copy.waitForReadyRead(LineWaitMs)) return {};
  }
  return QString::fromUtf8(copy.readLine()).trimmed();
}

}  // namespace pelvantz::testing
