// A message of a job stays with the main window: owned by it and above it
// when the window was minimised, or behind another program, as it appeared.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTimer>
#include <algorithm>

#include "DesktopWindow.h"
#include "VirtualDesktop.h"
#include "platform/qt/UiThread.h"
#include "support/Commands.h"

namespace pelvantz::testing {
namespace {

bool StackedAbove(unsigned long upper, unsigned long lower) {
  const auto order = StackingOrder();
  const auto u = std::find(order.begin(), order.end(), upper);
  const auto l = std::find(order.begin(), order.end(), lower);
  return u != order.end() && l != order.end() && u > l;
}

// What the user saw of the message once the main window was back.
struct Seen {
  unsigned long owner = 0;
  bool ownerIconicWhenShown = true;
  bool windowBack = false;
  bool messageAbove = false;
};

TEST(OwnedMessageTest, AJobsMessageIsOwnedByTheWindowAndAboveItOnceTheWindowIsBack) {
  const struct {
    const char* situation;
    std::function<void(DesktopWindow&, std::unique_ptr<OtherProgram>&)> leaveWindow;
  } cases[] = {
      {"window minimised", [](DesktopWindow& d, std::unique_ptr<OtherProgram>&) { d.window().showMinimized(); }},
      {"another program in front",
       [](DesktopWindow&, std::unique_ptr<OtherProgram>& other) {
         other = std::make_unique<OtherProgram>(
             std::vector<std::string>{"xmessage", "-geometry", "1000x800+0+0", "another program"});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.situation);
    Seen seen;
    std::unique_ptr<OtherProgram> other;
    std::unique_ptr<DesktopWindow> desktop;
    desktop = std::make_unique<DesktopWindow>(OfficeTimeLimits{}, [&](const WorkerThreadServices& environment) {
      return [&, environment](const std::string&, const std::string&, int16_t position, const ConversionOptions&,
                              bool) {
        RunOnUiThread([&] {
          c.leaveWindow(*desktop, other);
          WaitFor([&] { return QApplication::activeWindow() == nullptr; });
        });
        environment.jobs.SetJobStatus(position, "Completed");
        environment.dialogs.showMessage("Converting TALK.PPT...", MessageIcon::Information, MessageButtons::Ok,
                                        "pelvantz");
      };
    });
    ASSERT_TRUE(desktop->showActive());
    desktop->queue("/talks/talk.ppt", "/talks/talk.pdf");
    // Once the message is up, the user activates the window, as through the task bar.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!message) return;
      poll.stop();
      const unsigned long messageId = message->winId();
      WaitFor([&] { return TransientFor(messageId) != 0; });
      seen.owner = TransientFor(messageId);
      seen.ownerIconicWhenShown = !WaitFor([&] { return !IsIconic(desktop->windowId()); });
      CommandOutput("xdotool windowactivate " + std::to_string(desktop->windowId()) + " 2>/dev/null");
      seen.windowBack = WaitFor([&] { return !IsIconic(desktop->windowId()); });
      seen.messageAbove = WaitFor([&] { return StackedAbove(messageId, desktop->windowId()); });
      message->close();
    });
    poll.start(50);
    desktop->click("cmdConvert");
    EXPECT_EQ(seen.owner, desktop->windowId());
    // A minimised window comes back with its message.
    EXPECT_FALSE(seen.ownerIconicWhenShown);
    EXPECT_TRUE(seen.windowBack);
    EXPECT_TRUE(seen.messageAbove);
  }
}

}  // namespace
}  // namespace pelvantz::testing
