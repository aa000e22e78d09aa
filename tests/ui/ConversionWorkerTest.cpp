// The worker that runs the window's jobs: a job runs off the window thread,
// and everything it asks of the window arrives on the window thread.
#include <QThread>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "MainWindowFixture.h"
#include "core/ExitStatus.h"
#include "ui/ConversionWorker.h"

namespace pelvantz::testing {
namespace {

using Strings = std::vector<std::string>;
using Job = std::function<void(const WorkerThreadServices& environment)>;

std::string ThreadName() {
  return QThread::currentThread() == QCoreApplication::instance()->thread() ? "window thread" : "worker thread";
}

// The window's rows and message boxes; notes every call with the thread it
// came on.
class WindowSide : public JobRows, public Dialogs {
 public:
  void SetJobStatus(int16_t position, const std::string& text) override {
    note("status " + std::to_string(position) + " " + text);
  }
  void SetJobReason(int16_t position, const std::string& reason) override {
    note("reason " + std::to_string(position) + " " + reason);
  }
  std::string displayName(int16_t position) const override { return "deck " + std::to_string(position); }
  MessageAnswer showMessage(const std::string& text, MessageIcon, MessageButtons, const std::string&) override {
    note("message " + text);
    return MessageAnswer::Ok;
  }
  std::optional<std::string> chooseFile(const FileDialogRequest&) override { return std::nullopt; }
  void note(const std::string& what) { seen.push_back(what + " on " + ThreadName()); }

  Strings seen;
};

class ConversionWorkerTest : public MainWindowTest {
 protected:
  // A worker whose converter runs `job` for every job; counts the converters made.
  std::unique_ptr<ConversionWorker> makeWorker(Job job) {
    services = std::make_unique<MainWindowServices>(
        MainWindowServices{settings, side, cursor, shell, errors, folder.str(),
                           [this](int exitStatus) { side.note("end " + std::to_string(exitStatus)); },
                           [this, job](const WorkerThreadServices& environment) -> JobRunner {
                             ++convertersMade;
                             return [job, environment](const std::string&, const std::string&, int16_t,
                                                       const ConversionOptions&, bool) { job(environment); };
                           }});
    return std::make_unique<ConversionWorker>(*services, side);
  }

  // Runs one job and notes a failure it throws, where run() throws it.
  void runJob(ConversionWorker& worker) {
    try {
      worker.run("/talks/talk.ppt", "/talks/talk.pdf", 1, ConversionOptions{}, false);
    } catch (const RuntimeFailure& failure) {
      side.note("failure " + std::to_string(failure.number()));
    }
  }

  WindowSide side;
  std::unique_ptr<MainWindowServices> services;
  int convertersMade = 0;
};

TEST_F(ConversionWorkerTest, WhatAJobAsksOfTheWindowArrivesOnTheWindowThread) {
  const struct {
    const char* situation;
    Job job;
    Strings seen;
  } cases[] = {
      {"a row's status",
       [](const WorkerThreadServices& e) { e.jobs.SetJobStatus(1, "Completed"); },
       {"job on worker thread", "status 1 Completed on window thread"}},
      {"a row's reason",
       [](const WorkerThreadServices& e) { e.jobs.SetJobReason(2, "damaged"); },
       {"job on worker thread", "reason 2 damaged on window thread"}},
      {"a message",
       [](const WorkerThreadServices& e) {
         e.dialogs.showMessage("Converting", MessageIcon::Information, MessageButtons::Ok, "pelvantz");
       },
       {"job on worker thread", "message Converting on window thread"}},
      {"the end of the program",
       [](const WorkerThreadServices& e) { e.endProgram(); },
       {"job on worker thread", "end " + std::to_string(ExitStatus::ConverterMissing) + " on window thread"}},
      {"a failure",
       [](const WorkerThreadServices&) { throw RuntimeFailure(ErrorNumber::TypeMismatch, "Type mismatch"); },
       {"job on worker thread", "failure 13 on window thread"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.situation);
    side.seen.clear();
    auto worker = makeWorker([&](const WorkerThreadServices& environment) {
      side.note("job");
      c.job(environment);
    });
    runJob(*worker);
    EXPECT_EQ(side.seen, c.seen);
  }
}

TEST_F(ConversionWorkerTest, WindowThreadHandlesEventsWhileAJobRunsAndOneConverterServesEveryJob) {
  // The job waits for an event the window thread handles only while it is
  // free to: a window that did not handle events would not paint either.
  auto worker = makeWorker([](const WorkerThreadServices&) {
    const auto handled = std::make_shared<std::atomic<bool>>(false);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [handled] { *handled = true; }, Qt::QueuedConnection);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!*handled && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!*handled) throw RuntimeFailure(ErrorNumber::TypeMismatch, "the window thread handled no event");
  });
  EXPECT_EQ(convertersMade, 0);  // nothing is made before the first job
  runJob(*worker);
  runJob(*worker);
  EXPECT_EQ(side.seen, Strings{});
  EXPECT_EQ(convertersMade, 1);
}

}  // namespace
}  // namespace pelvantz::testing
