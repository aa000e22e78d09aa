// The start procedure over a real application folder.
#include <gtest/gtest.h>

#include "StartupFixture.h"
#include "base/RuntimeFailure.h"
#include "core/ExitStatus.h"
#include "startup/Main.h"

namespace pelvantz {
namespace {

class StartupTest : public testing::StartupFixture {
 protected:
  bool runMain() {
    return Main(StartupServices{settings, dialogs, registry,
                                [this] {
                                  if (splashFails) throw RuntimeFailure(ErrorNumber::ObjectNotSet, "no window");
                                  ++splashesShown;
                                },
                                [this](int exitStatus) {
                                  ++programEnds;
                                  lastExitStatus = exitStatus;
                                }});
  }

  bool splashFails = false;
  int splashesShown = 0;
  int programEnds = 0;
  int lastExitStatus = -1;
};

TEST_F(StartupTest, PrerequisitesDecideTheOutcome) {
  struct Case {
    const char* situation;
    bool settingsFile, presentationApp;
    std::vector<std::string> messages;
    bool splashShown;
    int exitStatus;  // -1: the program goes on
  };
  const Case cases[] = {
      {"settings file missing",
       false,
       false,
       {"Initialization file is missing."},
       false,
       ExitStatus::SettingsFileMissing},
      {"presentation application missing",
       true,
       false,
       {PresentationAppMissingMessage},
       false,
       ExitStatus::PresentationAppMissing},
      {"both present", true, true, {}, true, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.situation);
    std::filesystem::remove(path("SETTINGS.INI"));
    std::filesystem::remove(path("pelvantz.reg"));
    if (c.settingsFile) writeSettingsFile();
    if (c.presentationApp) recordPresentationApp();
    dialogs.messages.clear();
    splashesShown = programEnds = 0;
    lastExitStatus = -1;

    EXPECT_EQ(runMain(), c.splashShown);
    ASSERT_EQ(dialogs.messages.size(), c.messages.size());
    for (size_t i = 0; i < c.messages.size(); ++i) {
      EXPECT_EQ(dialogs.messages[i].text, c.messages[i]);
      EXPECT_EQ(dialogs.messages[i].icon, MessageIcon::Critical);
      EXPECT_EQ(dialogs.messages[i].buttons, MessageButtons::Ok);
      EXPECT_EQ(dialogs.messages[i].title, ApplicationTitle);
    }
    EXPECT_EQ(splashesShown, c.splashShown ? 1 : 0);
    EXPECT_EQ(programEnds, c.splashShown ? 0 : 1);
    EXPECT_EQ(lastExitStatus, c.exitStatus);
  }
}

TEST_F(StartupTest, FailureBeforeTheSplashEndsTheStartQuietly) {
  writeSettingsFile();
  recordPresentationApp();
  splashFails = true;
  EXPECT_FALSE(runMain());
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace pelvantz
