#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <vector>

#include "startup/TerminationSignals.h"

namespace pelvantz {
namespace {

TEST(TerminationSignalsTest, SignalsArriveOnTheEventLoop) {
  std::vector<int> received;
  {
    TerminationSignals terminationSignals([&](int signal) { received.push_back(signal); });
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
      const size_t before = received.size();
      ASSERT_EQ(raise(signal), 0);
      EXPECT_EQ(received.size(), before) << "nothing runs inside the signal handler";
      QDeadlineTimer limit(20000);
      while (received.size() == before && !limit.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      }
    }
  }
  EXPECT_EQ(received, (std::vector<int>{SIGINT, SIGTERM, SIGHUP}));
  struct sigaction current {};
  sigaction(SIGTERM, nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL) << "the default returns with the object's end";
}

}  // namespace
}  // namespace pelvantz
