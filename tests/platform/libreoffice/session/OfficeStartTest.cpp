// Starting the real office: the profile's set-up version, the profile slots,
// and the office started ahead of the next create().
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "base/RuntimeFailure.h"
#include "platform/ChildProcess.h"
#include "platform/OfficeFactory.h"
#include "platform/libreoffice/session/OfficeProfile.h"
#include "platform/libreoffice/session/OfficeSession.h"
#include "support/ApplicationCopy.h"
#include "support/OfficeProcesses.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::OfficeProcessesUsing;
using testing::OfficeProfileOf;
using testing::ReadFile;
using testing::WriteFile;

std::string Corpus(const std::string& relative) { return (testing::Corpus() / relative).string(); }

std::string LastVersionItem(const std::string& version) {
  return "<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" "
         "oor:op=\"fuse\"><value>" +
         version + "</value></prop></item>";
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class OfficeStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(appFolder_.path() / "temp");
    fs::copy(fs::path(PELVANTZ_TEST_APP_DIR) / "printer", appFolder_.path() / "printer",
             fs::copy_options::recursive);
  }

  void TearDown() override { EXPECT_TRUE(OfficeProcessesUsing(appFolder_.path()).empty()); }

  office::OfficeSettings settings() const {
    office::OfficeSettings result;
    result.program = InstalledOfficeProgram();
    result.workFolder = appFolder_.path() / "temp";
    result.printerFolder = appFolder_.path() / "printer";
    return result;
  }

  fs::path slot(const std::string& name = "office-profile") const { return appFolder_.path() / "temp" / name; }

  std::string profileFile(const std::string& name = "office-profile") const {
    return ReadFile(slot(name) / "user" / "registrymodifications.xcu");
  }

  std::unique_ptr<PresentationAppFactory> factory() const { return MakeLibreOfficeFactory(appFolder_.str()); }

  // The office processes once there are `count` of them (waits for a start
  // on another thread); what there is after a minute otherwise.
  std::vector<pid_t> officesOnce(size_t count) const {
    for (int poll = 0; poll < 600; ++poll) {
      const auto pids = OfficeProcessesUsing(appFolder_.path());
      if (pids.size() == count) return pids;
      std::this_thread::sleep_for(100ms);
    }
    return OfficeProcessesUsing(appFolder_.path());
  }

  testing::TempFolder appFolder_;
};

TEST_F(OfficeStartTest, TheSetUpVersionIsReadFromTheOfficesFiles) {
  EXPECT_TRUE(std::regex_match(office::OfficeSetupVersion(InstalledOfficeProgram()), std::regex(R"(\d+\.\d+)")));
  // The schema declares the property without a value; the data layer gives it.
  const fs::path install = appFolder_.path() / "office";
  fs::create_directories(install / "program");
  fs::create_directories(install / "share" / "registry");
  WriteFile(install / "program" / "soffice.bin", "");
  WriteFile(install / "share" / "registry" / "main.xcd",
            "<oor:data><oor:component-schema><prop oor:name=\"ooSetupVersion\" oor:type=\"xs:string\">\n"
            "<value/></prop></oor:component-schema><oor:component-data><node oor:name=\"Product\">"
            "<prop oor:name=\"ooSetupVersion\">\n  <value>25.8</value>\n</prop></node></oor:component-data>"
            "</oor:data>");
  EXPECT_EQ(office::OfficeSetupVersion(install / "program" / "soffice.bin"), "25.8");
  EXPECT_EQ(office::OfficeSetupVersion(appFolder_.path() / "nowhere" / "soffice.bin"), "");
}

// Without the set-up version every start ran the office's first-start checks,
// and a brand-new profile made it ask to be started again (exit code 81).
TEST_F(OfficeStartTest, AStartedProfileCarriesTheSetUpVersionAndStartsAtOnceAgain) {
  const std::string version = office::OfficeSetupVersion(InstalledOfficeProgram());
  ASSERT_FALSE(version.empty());
  {
    office::OfficeSession first(settings());
    EXPECT_GE(first.starts(), 1);
  }
  // The office has written the profile back at its end and kept the item.
  EXPECT_EQ(Occurrences(profileFile(), LastVersionItem(version)), 1u);
  office::OfficeSession second(settings());
  EXPECT_EQ(second.starts(), 1);
  second.shutdown();
  EXPECT_EQ(Occurrences(profileFile(), LastVersionItem(version)), 1u);
}

TEST_F(OfficeStartTest, AProfileOfAnEarlierOfficeFollowsTheInstalledOne) {
  const std::string version = office::OfficeSetupVersion(InstalledOfficeProgram());
  office::OfficeSession(settings()).shutdown();
  office::PrepareProfileFile(slot(), "6.4");  // as an office before an upgrade left it
  ASSERT_EQ(Occurrences(profileFile(), LastVersionItem("6.4")), 1u);
  office::OfficeSession upgraded(settings());
  EXPECT_EQ(upgraded.starts(), 1);
  upgraded.shutdown();
  EXPECT_EQ(Occurrences(profileFile(), LastVersionItem("6.4")), 0u);
  EXPECT_EQ(Occurrences(profileFile(), "ooSetupLastVersion"), 1u);
  EXPECT_EQ(Occurrences(profileFile(), LastVersionItem(version)), 1u);
  const std::string macros = "<prop oor:name=\"MacroSecurityLevel\" oor:op=\"fuse\"><value>3</value>";
  EXPECT_EQ(Occurrences(profileFile(), macros), 1u);
}

// The current job's office and the one started ahead for the next job.
TEST_F(OfficeStartTest, TheOfficeStartedAheadIsTheOneTheNextCreateHandsOut) {
  const auto office = factory();
  {
    // Set-up profiles in both slots: one process per start, whose id stays.
    auto first = office->create("PowerPoint.Application");
    office->create("PowerPoint.Application")->quit();
    first->quit();
  }
  auto current = office->create("PowerPoint.Application");
  const auto currentPids = OfficeProcessesUsing(appFolder_.path());
  ASSERT_EQ(currentPids.size(), 1u);
  office->prepareNext();
  office->prepareNext();  // one is enough
  const auto pids = officesOnce(2);
  ASSERT_EQ(pids.size(), 2u);
  const pid_t ahead = pids[0] == currentPids[0] ? pids[1] : pids[0];
  EXPECT_EQ(OfficeProfileOf(currentPids[0]), slot().string());
  EXPECT_EQ(OfficeProfileOf(ahead), slot("office-profile-2").string());
  current->quit();
  current.reset();

  auto next = office->create("PowerPoint.Application");
  EXPECT_EQ(OfficeProcessesUsing(appFolder_.path()), std::vector<pid_t>{ahead});
  next->open(Corpus("apache-tika/testPPT.ppt"))->close();
  next->quit();
  // Asked for once, handed out once: the create after starts its own.
  auto later = office->create("PowerPoint.Application");
  const auto laterPids = OfficeProcessesUsing(appFolder_.path());
  ASSERT_EQ(laterPids.size(), 1u);
  EXPECT_NE(laterPids[0], ahead);
  later->quit();
}

TEST_F(OfficeStartTest, ACreateWhileTheOfficeAheadStillStartsWaitsForIt) {
  const auto office = factory();
  office->prepareNext();
  auto app = office->create("PowerPoint.Application");
  EXPECT_EQ(OfficeProcessesUsing(appFolder_.path()).size(), 1u);
  app->open(Corpus("apache-tika/testPPT.ppt"))->close();
  app->quit();
}

TEST_F(OfficeStartTest, AnOfficeAheadThatDiedIsReplacedByANewOne) {
  const auto office = factory();
  office->create("PowerPoint.Application")->quit();  // a set-up profile: one process per start
  office->prepareNext();
  const auto pids = officesOnce(1);
  ASSERT_EQ(pids.size(), 1u);
  ::kill(pids[0], SIGKILL);
  auto app = office->create("PowerPoint.Application");
  const auto newPids = OfficeProcessesUsing(appFolder_.path());
  ASSERT_EQ(newPids.size(), 1u);
  EXPECT_NE(newPids[0], pids[0]);
  app->open(Corpus("apache-tika/testPPT.ppt"))->close();
  app->quit();
}

TEST_F(OfficeStartTest, AnOfficeAheadNeverHandedOutEndsWithTheFactory) {
  auto office = factory();
  office->prepareNext();
  ASSERT_EQ(officesOnce(1).size(), 1u);
  office.reset();
  EXPECT_TRUE(OfficeProcessesUsing(appFolder_.path()).empty());
  // Also while it is still starting.
  office = factory();
  office->prepareNext();
  office.reset();
  EXPECT_TRUE(OfficeProcessesUsing(appFolder_.path()).empty());
}

// The program's fatal and signalled end: the offices are killed and the process
// leaves at once, with the start ahead still running on its thread. Nothing
// may be left, wherever that start was.
TEST_F(OfficeStartTest, AnOfficeAheadDoesNotOutliveAProgramEndingAtOnce) {
  for (const bool officeRunning : {false, true}) {
    SCOPED_TRACE(officeRunning ? "office running" : "office starting");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto office = factory();
      office->prepareNext();
      if (officeRunning) officesOnce(1);
      TerminateChildProcesses(true);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // A killed office is gone once the kernel has ended it; no live one may be left.
    EXPECT_TRUE(officesOnce(0).empty());
  }
}

// An office that ends while a call is still being written to it is a lost
// office like any other (the call fails), not the end of the program.
TEST_F(OfficeStartTest, AnOfficeEndingMidWriteFailsTheCallNotTheProgram) {
  office::OfficeSession session(settings());
  const auto desktop = session.desktop();
  const pid_t office = OfficeProcessesUsing(appFolder_.path()).front();
  ::kill(office, SIGSTOP);
  std::thread ender([office] {
    std::this_thread::sleep_for(1s);
    ::kill(office, SIGKILL);
  });
  // Far more than the connection buffers hold: the write is still going on when the office ends.
  const std::string hugeUrl = "file:///" + std::string(16 << 20, 'p');
  EXPECT_THROW(
      session.call(
          std::chrono::seconds(60),
          [&] { desktop->loadComponentFromURL(rtl::OUString::fromUtf8(hugeUrl.c_str()), "_blank", 0, {}); }),
      RuntimeFailure);
  ender.join();
}

}  // namespace
}  // namespace pelvantz
