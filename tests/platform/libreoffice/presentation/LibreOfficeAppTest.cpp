// The presentation application over a real LibreOffice: each test gets its own
// application folder (printer configuration, work folder, office profile).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/RuntimeFailure.h"
#include "platform/ChildProcess.h"
#include "platform/OfficeFactory.h"
#include "support/ApplicationCopy.h"
#include "support/OfficeProcesses.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::OfficeProcessesUsing;
using testing::OfficeProfileOf;
using testing::ReadFile;
namespace fs = std::filesystem;

std::string Corpus(const std::string& relative) { return (testing::Corpus() / relative).string(); }

struct PageSize {
  double width = 0;
  double height = 0;
};

// The print files are PDF print jobs; their page dictionaries are plain text.
PageSize FirstPageSize(const fs::path& printFile) {
  static const std::regex mediaBox(R"(/MediaBox\s*\[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])");
  std::smatch match;
  const std::string text = ReadFile(printFile);
  if (!std::regex_search(text, match, mediaBox)) return {};
  return {std::stod(match[1]), std::stod(match[2])};
}

class LibreOfficeAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(appFolder_.path() / "temp");
    const fs::path shippedPrinter = fs::path(PELVANTZ_TEST_APP_DIR) / "printer";
    ASSERT_TRUE(fs::exists(shippedPrinter / "psprint.conf")) << shippedPrinter;
    fs::copy(shippedPrinter, appFolder_.path() / "printer", fs::copy_options::recursive);
  }

  void TearDown() override { EXPECT_TRUE(OfficeProcessesUsing(appFolder_.path()).empty()); }

  std::unique_ptr<PresentationApp> createApp() {
    return MakeLibreOfficeFactory(appFolder_.str())->create("PowerPoint.Application");
  }

  fs::path workFile(const std::string& name) const { return appFolder_.path() / "temp" / name; }

  bool workingCopiesLeft() const {
    for (const auto& entry : fs::directory_iterator(appFolder_.path() / "temp"))
      if (entry.path().filename().string().rfind("office-work-", 0) == 0) return true;
    return false;
  }

  testing::TempFolder appFolder_;
};

int32_t FailureNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const RuntimeFailure& failure) {
    EXPECT_FALSE(failure.description().empty());
    return failure.number();
  }
  return 0;
}

TEST_F(LibreOfficeAppTest, PrintsSoundPresentationsInOneSession) {
  const std::vector<std::string> files{"apache-tika/testPPT.ppt", "format-corpus/ecdl+paris2001.ppt",
                                       "oletools/sample_with_vba.ppt", "unstructured/fake-power-point.ppt"};
  auto app = createApp();
  app->setVisible(1);
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    const std::string source = Corpus(file);
    const auto sourceBefore = fs::last_write_time(source);
    auto presentation = app->open(source);
    presentation->setActivePrinter("pelvantz");
    EXPECT_EQ(app->activePrinter(), "pelvantz");
    presentation->setFitToPage(1);
    presentation->setPrintComments(0);
    presentation->setOutputType(OutputType::Slides);
    presentation->setSlideOrientation(SlideOrientation::Landscape);
    presentation->setNotesOrientation(SlideOrientation::Landscape);
    const fs::path printFile = workFile("PsFile.ps");
    presentation->printOut(-1, -1, printFile.string());
    ASSERT_TRUE(fs::exists(printFile));
    EXPECT_EQ(ReadFile(printFile).substr(0, 5), "%PDF-");
    const PageSize page = FirstPageSize(printFile);
    EXPECT_GT(page.width, page.height);
    presentation->close();
    EXPECT_FALSE(workingCopiesLeft());
    EXPECT_EQ(fs::last_write_time(source), sourceBefore);
    EXPECT_FALSE(
        fs::exists(fs::path(source).parent_path() / (".~lock." + fs::path(source).filename().string() + "#")));
  }
  app->quit();
  const std::string configuration =
      ReadFile(appFolder_.path() / "temp/office-profile/user/registrymodifications.xcu");
  EXPECT_NE(configuration.find("<prop oor:name=\"MacroSecurityLevel\" oor:op=\"fuse\"><value>3</value>"),
            std::string::npos);
  EXPECT_NE(configuration.find("<prop oor:name=\"DisableMacrosExecution\" oor:op=\"fuse\"><value>true</value>"),
            std::string::npos);
}

TEST_F(LibreOfficeAppTest, FilesThatCannotBeOpenedFailCleanly) {
  const fs::path textFile = appFolder_.path() / "notes.ppt";
  std::ofstream(textFile) << "Just some text, no presentation.\n";
  // A drawing loads, but in Draw, not Impress.
  const fs::path drawing = appFolder_.path() / "drawing.ppt";
  std::ofstream(drawing)
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" office:version=\"1.2\" "
         "office:mimetype=\"application/vnd.oasis.opendocument.graphics\"><office:body><office:drawing>"
         "<draw:page draw:name=\"page1\"/></office:drawing></office:body></office:document>\n";
  const std::vector<std::string> files{Corpus("apache-tika/testPPT_protected_passtika.ppt"),
                                       Corpus("oletools/encrypted.ppt"),
                                       Corpus("msoffcrypto-tool/rc4cryptoapi_password.ppt"),
                                       Corpus("mimetype/ppt.ppt"),
                                       textFile.string(),
                                       drawing.string(),
                                       (appFolder_.path() / "missing.ppt").string()};
  auto app = createApp();
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    EXPECT_EQ(FailureNumber([&] { app->open(file); }), ErrorNumber::AutomationFailed);
    EXPECT_FALSE(workingCopiesLeft());
  }
  // The office is still usable after the refusals.
  auto presentation = app->open(Corpus("apache-tika/testPPT.ppt"));
  presentation->close();
  app->quit();
}

TEST_F(LibreOfficeAppTest, PrintersAreListedAndChecked) {
  auto app = createApp();
  const auto printers = app->installedPrinters();
  EXPECT_NE(std::find(printers.begin(), printers.end(), "pelvantz"), printers.end());
  EXPECT_EQ(app->activePrinter(), "pelvantz");
  auto presentation = app->open(Corpus("apache-tika/testPPT.ppt"));
  EXPECT_EQ(FailureNumber([&] { presentation->setActivePrinter("No Such Printer"); }),
            ErrorNumber::AutomationFailed);
  EXPECT_EQ(app->activePrinter(), "pelvantz");
  presentation->close();
  app->quit();
}

TEST_F(LibreOfficeAppTest, SlideRangesAreCheckedAgainstTheDeck) {
  struct Range {
    int32_t from, to;
    bool prints;
  };
  const Range ranges[] = {{1, 1, true},  {2, 16, true},  {-1, -1, true}, {0, 1, false},
                          {3, 2, false}, {1, 17, false}, {-1, 3, false}};
  auto app = createApp();
  auto presentation = app->open(Corpus("format-corpus/ecdl+paris2001.ppt"));  // 16 slides
  presentation->setActivePrinter("pelvantz");
  for (const auto& range : ranges) {
    SCOPED_TRACE(std::to_string(range.from) + ".." + std::to_string(range.to));
    const fs::path printFile = workFile("PsFile.ps");
    const int32_t failure =
        FailureNumber([&] { presentation->printOut(range.from, range.to, printFile.string()); });
    EXPECT_EQ(failure, range.prints ? 0 : ErrorNumber::AutomationFailed);
    if (range.prints) {
      EXPECT_GT(fs::file_size(printFile), 0u);
    }
  }
  presentation->close();
  app->quit();
}

TEST_F(LibreOfficeAppTest, SlideSizeAndOrientationShapeThePrint) {
  struct Setup {
    SlideOrientation orientation;
    std::optional<SlideSize> size;
    bool portraitPage;
  };
  // The order of the calls does not matter: orientation is applied to the size.
  const Setup setups[] = {{SlideOrientation::Portrait, SlideSize::A4Paper, true},
                          {SlideOrientation::Landscape, SlideSize::A3Paper, false},
                          {SlideOrientation::Portrait, std::nullopt, true}};
  auto app = createApp();
  for (const auto& setup : setups) {
    SCOPED_TRACE(std::to_string(static_cast<int32_t>(setup.orientation)) + "/" +
                 std::to_string(setup.size ? static_cast<int32_t>(*setup.size) : 0));
    auto presentation = app->open(Corpus("apache-tika/testPPT.ppt"));
    presentation->setActivePrinter("pelvantz");
    presentation->setSlideOrientation(setup.orientation);
    if (setup.size) presentation->setSlideSize(*setup.size);
    presentation->setNotesOrientation(SlideOrientation::Landscape);
    const fs::path printFile = workFile("PsFile.ps");
    presentation->printOut(-1, -1, printFile.string());
    const PageSize page = FirstPageSize(printFile);
    EXPECT_EQ(page.height > page.width, setup.portraitPage) << page.width << " x " << page.height;
    presentation->close();
  }
  auto presentation = app->open(Corpus("apache-tika/testPPT.ppt"));
  // Numbers the types have no name for.
  EXPECT_EQ(FailureNumber([&] { presentation->setSlideSize(static_cast<SlideSize>(7)); }),
            ErrorNumber::AutomationFailed);
  EXPECT_EQ(FailureNumber([&] { presentation->setSlideOrientation(static_cast<SlideOrientation>(3)); }),
            ErrorNumber::AutomationFailed);
  EXPECT_EQ(FailureNumber([&] { presentation->setOutputType(static_cast<OutputType>(7)); }),
            ErrorNumber::AutomationFailed);
  presentation->close();
  app->quit();
}

TEST_F(LibreOfficeAppTest, PrintIntoMissingFolderFails) {
  auto app = createApp();
  auto presentation = app->open(Corpus("apache-tika/testPPT.ppt"));
  presentation->setActivePrinter("pelvantz");
  const fs::path printFile = appFolder_.path() / "no-such-folder" / "PsFile.ps";
  EXPECT_EQ(FailureNumber([&] { presentation->printOut(-1, -1, printFile.string()); }), ErrorNumber::FileAccess);
  presentation->close();
  app->quit();
}

TEST_F(LibreOfficeAppTest, CreateFailsWithCannotCreateObject) {
  const fs::path brokenProgram = appFolder_.path() / "no-office" / "soffice.bin";
  EXPECT_EQ(FailureNumber([&] {
              MakeLibreOfficeFactory(appFolder_.str(), brokenProgram.string())->create("PowerPoint.Application");
            }),
            ErrorNumber::CannotCreateObject);
  EXPECT_EQ(FailureNumber(
                [&] { MakeLibreOfficeFactory(appFolder_.str(), "/bin/false")->create("PowerPoint.Application"); }),
            ErrorNumber::CannotCreateObject);
  EXPECT_EQ(FailureNumber([&] { MakeLibreOfficeFactory(appFolder_.str())->create("Word.Application"); }),
            ErrorNumber::CannotCreateObject);
  // The failure handler asks for the object under another spelling.
  MakeLibreOfficeFactory(appFolder_.str())->create("Powerpoint.Application")->quit();
}

TEST_F(LibreOfficeAppTest, AProfileTheOfficeCannotStartOnIsRenewed) {
  createApp()->quit();
  const fs::path profile = appFolder_.path() / "temp" / "office-profile";
  std::ofstream(profile / "user" / "damaged") << "x";
  // An office that refuses to start on a profile holding that file.
  const fs::path office = appFolder_.path() / "office.sh";
  std::ofstream(office) << "#!/bin/sh\n"
                           "test -e '"
                        << (profile / "user" / "damaged").string()
                        << "' && exit 1\n"
                           "exec '"
                        << InstalledOfficeProgram() << "' \"$@\"\n";
  fs::permissions(office, fs::perms::owner_all);
  auto app = MakeLibreOfficeFactory(appFolder_.str(), office.string())->create("PowerPoint.Application");
  EXPECT_FALSE(fs::exists(profile / "user" / "damaged"));
  app->open(Corpus("apache-tika/testPPT.ppt"))->close();
  app->quit();
}

TEST_F(LibreOfficeAppTest, TheOfficeItselfHoldsTheProfileLock) {
  auto app = createApp();
  const auto pids = OfficeProcessesUsing(appFolder_.path());
  ASSERT_EQ(pids.size(), 1u);
  const fs::path lock = fs::read_symlink(fs::path("/proc") / std::to_string(pids.front()) / "fd" / "3");
  EXPECT_EQ(lock, appFolder_.path() / "temp" / "office-profile.lock");
  app->quit();
}

// Each office locks a profile slot of its own; when every slot is taken the
// next one gets a private profile, which goes with it.
TEST_F(LibreOfficeAppTest, SessionsAtOnceUseSeparateProfiles) {
  std::vector<std::unique_ptr<PresentationApp>> apps;
  for (int app = 0; app < 4; ++app) apps.push_back(createApp());
  const auto pids = OfficeProcessesUsing(appFolder_.path());
  ASSERT_EQ(pids.size(), 4u);
  std::set<std::string> profilesInUse;
  for (pid_t pid : pids) profilesInUse.insert(OfficeProfileOf(pid));
  EXPECT_EQ(profilesInUse.size(), 4u);
  for (const std::string slot : {"office-profile", "office-profile-2", "office-profile-3"})
    EXPECT_EQ(profilesInUse.count((appFolder_.path() / "temp" / slot).string()), 1u) << slot;
  for (auto& app : apps) {
    auto presentation = app->open(Corpus("apache-tika/testPPT.ppt"));
    presentation->close();
  }
  for (auto& app : apps) app->quit();
  std::set<std::string> profiles;
  for (const auto& entry : fs::directory_iterator(appFolder_.path() / "temp"))
    if (entry.is_directory()) profiles.insert(entry.path().filename().string());
  // The slots stay for the next offices; the private one is gone.
  EXPECT_EQ(profiles, (std::set<std::string>{"office-profile", "office-profile-2", "office-profile-3"}));
}

TEST_F(LibreOfficeAppTest, LeftoversOfEndedProcessesAreRemoved) {
  // No process gets the highest process id; a folder named after a live process stays.
  const fs::path temp = appFolder_.path() / "temp";
  const std::vector<fs::path> leftovers{temp / "office-work-2147483647-1", temp / "office-profile-2147483647-2"};
  const fs::path live = temp / ("office-work-" + std::to_string(::getppid()) + "-1");
  for (const auto& folder : leftovers) fs::create_directories(folder / "user");
  fs::create_directories(live);
  createApp()->quit();
  for (const auto& folder : leftovers) EXPECT_FALSE(fs::exists(folder)) << folder;
  EXPECT_TRUE(fs::exists(live));
}

TEST_F(LibreOfficeAppTest, DeadOfficeIsReportedAndCleanedUp) {
  auto app = createApp();
  auto presentation = app->open(Corpus("apache-tika/testPPT.ppt"));
  const auto pids = OfficeProcessesUsing(appFolder_.path());
  ASSERT_EQ(pids.size(), 1u);
  ::kill(pids.front(), SIGKILL);
  EXPECT_EQ(FailureNumber([&] { presentation->setActivePrinter("pelvantz"); }),
            ErrorNumber::AutomationDisconnected);
  EXPECT_EQ(FailureNumber([&] { app->installedPrinters(); }), ErrorNumber::AutomationDisconnected);
  presentation.reset();
  app->quit();
  EXPECT_FALSE(workingCopiesLeft());
}

TEST_F(LibreOfficeAppTest, HungOfficeIsStoppedByTheWatchdog) {
  OfficeTimeLimits limits;
  limits.call = std::chrono::seconds(2);
  const auto factory = MakeLibreOfficeFactory(appFolder_.str(), "", limits);
  auto app = factory->create("PowerPoint.Application");
  auto presentation = app->open(Corpus("apache-tika/testPPT.ppt"));
  ASSERT_EQ(OfficeProcessesUsing(appFolder_.path()).size(), 1u);
  ::kill(OfficeProcessesUsing(appFolder_.path()).front(), SIGSTOP);
  EXPECT_EQ(FailureNumber([&] { presentation->setActivePrinter("pelvantz"); }), ErrorNumber::AutomationTimeout);
  presentation.reset();
  app->quit();

  // Quitting a hung office ends it too.
  app = factory->create("PowerPoint.Application");
  ::kill(OfficeProcessesUsing(appFolder_.path()).front(), SIGSTOP);
  app->quit();
}

TEST_F(LibreOfficeAppTest, TerminatingChildProcessesEndsEveryOffice) {
  auto app = createApp();
  ASSERT_EQ(OfficeProcessesUsing(appFolder_.path()).size(), 1u);
  TerminateChildProcesses();
  EXPECT_EQ(FailureNumber([&] { app->installedPrinters(); }), ErrorNumber::AutomationDisconnected);
  app.reset();  // without quit: the destructor reaps
}

}  // namespace
}  // namespace pelvantz
