#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <chrono>
#include <future>
#include <vector>

#include "startup/TerminationSignals.h"

namespace pelvantz {
namespace {

TEST(TerminationSignalsTest, SignalsArriveOnTheEventLoop) {
  std::vector<int> received;
  {
    TerminationSignals terminationSignals([&](int signal) { received.push_back(signal); },
                                          [](int) { ADD_FAILURE() << "the event loop took the signal"; },
                                          std::chrono::seconds(60));
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

// An event loop kept busy (a huge settings file being read) never takes the
// signal: the backstop ends the program instead, with the signal's number.
TEST(TerminationSignalsTest, ABusyEventLoopStillEndsOnASignal) {
  std::promise<int> ended;
  TerminationSignals terminationSignals([](int) { ADD_FAILURE() << "the busy loop took the signal"; },
                                        [&](int signal) { ended.set_value(signal); },
                                        std::chrono::milliseconds(100));
  ASSERT_EQ(raise(SIGTERM), 0);
  auto result = ended.get_future();
  ASSERT_EQ(result.wait_for(std::chrono::seconds(60)), std::future_status::ready);
  EXPECT_EQ(result.get(), SIGTERM);
}

}  // namespace
}  // namespace pelvantz
