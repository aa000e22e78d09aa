// ConvertPresentation against a recording presentation application and the
// real Ghostscript, job list, registry store and error handler.
#include "engine/Converter.h"
#include "support/Commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "core/SettingsStore.h"
#include "engine/FakePresentationApp.h"
#include "joblist/JobList.h"
#include "platform/RegistryStore.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::CommandOutput;
using testing::ShellQuoted;

using testing::IdleCursor;
using testing::ReadFile;
using testing::RecordingShell;
using testing::WriteFile;

namespace fs = std::filesystem;
using testing::FakeDialogs;
using testing::FakeOfficeScript;
using testing::FakePresentationAppFactory;
using testing::PostScriptPages;
using testing::ShownMessage;
using testing::TempFolder;

const std::string Ghostscript = "/usr/bin/gs";
const std::string GhostscriptMissing = "Converter is missing or corrupted. Please contact our Support Team.";

// Reports the version of a system whose class is chosen by the test.
class FixedSystemVersion : public SystemVersion {
 public:
  bool query(OsVersionInfo& info) override {
    info.platformId = platformId;
    info.majorVersion = majorVersion;
    info.minorVersion = minorVersion;
    return true;
  }
  uint32_t platformId = 2;  // Windows XP: the printer check goes on silently
  uint32_t majorVersion = 5;
  uint32_t minorVersion = 1;
};

std::string RegistryText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

int PdfPageCount(const fs::path& pdf) {
  const std::string info = CommandOutput("pdfinfo " + ShellQuoted(pdf.string()) + " 2>/dev/null");
  int pages = -1;
  if (const auto at = info.find("Pages:"); at != std::string::npos)
    std::sscanf(info.c_str() + at, "Pages: %d", &pages);
  return pages;
}

std::vector<std::string> Texts(const std::vector<ShownMessage>& messages) {
  std::vector<std::string> texts;
  for (const auto& message : messages) texts.push_back(message.text);
  return texts;
}

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(appFolder());
    setGhostscriptValue("\"" + RegistryText(Ghostscript) + "\"");
    office.printFileContent = PostScriptPages(3);
    WriteFile(source(), "a presentation");
    addJob(source(), target());
  }

  fs::path appFolder() const { return appFolder_; }
  // Moves the program to another folder; the next conversion runs from there.
  void useApplicationFolder(const fs::path& folder) {
    appFolder_ = folder;
    fs::create_directories(folder);
    setGhostscriptValue("\"" + RegistryText(Ghostscript) + "\"");
    converter_.reset();
  }
  fs::path workFolder() const { return appFolder() / "temp"; }
  fs::path source() const { return scratch.path() / "Quarterly Review.ppt"; }
  fs::path target() const { return scratch.path() / "out" / "Quarterly Review.pdf"; }

  // `data` is the right-hand side of the registry line, e.g. "\"/usr/bin/gs\"".
  void setGhostscriptValue(const std::string& data) {
    WriteFile(RegistryStore::PathIn(appFolder().string()),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\GS]\n\"GSPath\"=" + data + "\n");
  }

  void addJob(const fs::path& sourcePath, const fs::path& targetPath) {
    jobs.AddCompleteListView(sourcePath.string(), targetPath.string());
    jobs.SetJobStatus(jobs.count(), "Converting...");
    fs::create_directories(targetPath.parent_path());
  }

  Converter& converter() {
    if (!converter_) {
      store_ = std::make_unique<RegistryStore>(RegistryStore::PathIn(appFolder().string()));
      registry_ = std::make_unique<Registry>(*store_);
      converter_ = std::make_unique<Converter>(
          ConversionEnvironment{factory, dialogs, errors, shell, jobs, *registry_, systemVersion,
                                appFolder().string(), [this] { ++endProgramCalls; }});
    }
    return *converter_;
  }

  void convert(int16_t row = 1, bool anotherJobFollows = false) {
    const ConversionJob& job = jobs.at(row);
    converter().ConvertPresentation(job.SourcePath, job.TargetPath, row, options, anotherJobFollows);
  }

  std::string status(int16_t row = 1) const { return jobs.at(row).Status; }

  // The calls after the presentation was opened and before it was closed.
  std::vector<std::string> printCalls() const {
    const auto& calls = office.calls;
    auto first = std::find_if(calls.begin(), calls.end(),
                              [](const std::string& call) { return call.starts_with("setActivePrinter"); });
    auto last =
        std::find_if(first, calls.end(), [](const std::string& call) { return call.starts_with("printOut"); });
    if (last != calls.end()) ++last;
    return {first, last};
  }

  std::string printOutCall(const std::string& range) const {
    return "printOut(" + range + "," + (workFolder() / "PsFile.ps").string() + ")";
  }

  TempFolder scratch;
  FakeDialogs dialogs;
  IdleCursor cursor;
  ErrorHandler errors{dialogs, cursor, ApplicationTitle};
  RecordingShell shell;
  JobList jobs;
  FixedSystemVersion systemVersion;
  FakeOfficeScript office;
  FakePresentationAppFactory factory{office};
  ConversionOptions options;
  int endProgramCalls = 0;

 private:
  fs::path appFolder_ = scratch.path() / "app";
  std::unique_ptr<RegistryStore> store_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Converter> converter_;
};

std::string WaitMessageFor(const std::string& upperName) {
  return "Converting " + upperName +
         "... Please wait until Powerpoint finished printing.\r\n\r\nClick on OK button after printing is done.";
}

TEST_F(ConversionTest, SuccessfulJobRunsEveryStepInOrderAndDeliversThePdf) {
  convert();

  const std::string printFile = (workFolder() / "PsFile.ps").string();
  const std::vector<std::string> expected = {"create(PowerPoint.Application)",
                                             "setVisible(1)",
                                             "open(" + source().string() + ")",
                                             "activePrinter()",
                                             "installedPrinters()",
                                             "setActivePrinter(pelvantz)",
                                             "setFitToPage(1)",
                                             "setPrintComments(0)",
                                             "setOutputType(1)",
                                             "setSlideOrientation(1)",
                                             "setSlideSize(9)",
                                             "setNotesOrientation(1)",
                                             "printOut(-1,-1," + printFile + ")",
                                             "close()",
                                             "quit()"};
  EXPECT_EQ(office.calls, expected);
  EXPECT_EQ(status(), "Completed");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, WaitMessageFor("QUARTERLY REVIEW.PPT"));
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(dialogs.messages[0].title, "pelvantz");
  EXPECT_EQ(PdfPageCount(target()), 3);
  EXPECT_TRUE(fs::exists(workFolder() / "PdfFile.pdf"));
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_EQ(office.destroyedApplications, 1);
  EXPECT_EQ(endProgramCalls, 0);
}

struct PrintSettingsCase {
  const char* name;
  ConversionOptions options;
  std::vector<std::string> expectedSettings;  // setActivePrinter .. setNotesOrientation
  std::string expectedRange;
};

ConversionOptions With(void (*change)(ConversionOptions&)) {
  ConversionOptions options;
  change(options);
  return options;
}

TEST_F(ConversionTest, PassesEveryOptionToThePrintStepAsMapped) {
  const std::vector<PrintSettingsCase> cases = {
      {"notes portrait",
       With([](ConversionOptions& o) {
         o.OutputType = OutputTypeForText("Notes");
         o.Orientation = OrientationFor(false);
       }),
       {"setActivePrinter(pelvantz)", "setFitToPage(1)", "setPrintComments(0)", "setOutputType(5)",
        "setSlideOrientation(2)", "setSlideSize(9)", "setNotesOrientation(1)"},
       "-1,-1"},
      {"unknown paper size sets no slide size",
       With([](ConversionOptions& o) {
         o.PaperSize = SlideSizeForText("a4");
         o.FitToPage = false;
         o.PrintComments = true;
       }),
       {"setActivePrinter(pelvantz)", "setFitToPage(0)", "setPrintComments(1)", "setOutputType(1)",
        "setSlideOrientation(1)", "setNotesOrientation(1)"},
       "-1,-1"},
      {"unknown output type sets none",
       With([](ConversionOptions& o) {
         o.OutputType = OutputTypeForText("Handouts");
         o.PaperSize = SlideSizeForText("Invoice");
       }),
       {"setActivePrinter(pelvantz)", "setFitToPage(1)", "setPrintComments(0)", "setSlideOrientation(1)",
        "setSlideSize(8)", "setNotesOrientation(1)"},
       "-1,-1"},
      {"handouts in another case, page range",
       With([](ConversionOptions& o) {
         o.OutputType = OutputTypeForText("6 slide handouts");
         o.AllPages = false;
         o.FromText = "3";
         o.ToText = "5";
       }),
       {"setActivePrinter(pelvantz)", "setFitToPage(1)", "setPrintComments(0)", "setOutputType(4)",
        "setSlideOrientation(1)", "setSlideSize(9)", "setNotesOrientation(1)"},
       "3,5"},
      {"all pages ignores the range texts",
       With([](ConversionOptions& o) {
         o.FromText = "x";
         o.ToText = "1e10";
       }),
       {"setActivePrinter(pelvantz)", "setFitToPage(1)", "setPrintComments(0)", "setOutputType(1)",
        "setSlideOrientation(1)", "setSlideSize(9)", "setNotesOrientation(1)"},
       "-1,-1"},
      {"fractional range rounds halves to even",
       With([](ConversionOptions& o) {
         o.AllPages = false;
         o.FromText = "2.5";
         o.ToText = "3.5";
       }),
       {"setActivePrinter(pelvantz)", "setFitToPage(1)", "setPrintComments(0)", "setOutputType(1)",
        "setSlideOrientation(1)", "setSlideSize(9)", "setNotesOrientation(1)"},
       "2,4"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    office.calls.clear();
    options = test.options;
    convert();
    std::vector<std::string> expected = test.expectedSettings;
    expected.push_back(printOutCall(test.expectedRange));
    EXPECT_EQ(printCalls(), expected);
    EXPECT_EQ(status(), "Completed");
  }
}

TEST_F(ConversionTest, MissingGhostscriptEndsTheProgramAndDoesNothingElse) {
  fs::create_directories(scratch.path() / "a folder");
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"no value", ""},
      {"no such file", "\"" + RegistryText((scratch.path() / "gs-nowhere").string()) + "\""},
      {"a folder", "\"" + RegistryText((scratch.path() / "a folder").string()) + "\""},
      {"a file that may not be run", "\"" + RegistryText((scratch.path() / "gs-not-executable").string()) + "\""},
      {"empty text", "\"\""},
  };
  WriteFile(scratch.path() / "gs-not-executable", "#!/bin/sh\nexec /usr/bin/gs \"$@\"\n");
  for (const auto& [name, data] : cases) {
    SCOPED_TRACE(name);
    if (data.empty()) {
      WriteFile(RegistryStore::PathIn(appFolder().string()), "REGEDIT4\n");
    } else {
      setGhostscriptValue(data);
    }
    dialogs.messages.clear();
    endProgramCalls = 0;
    convert();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, GhostscriptMissing);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(dialogs.messages[0].title, "Pelvantz - Powerpoint to PDF Converter");
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_TRUE(office.calls.empty());
    EXPECT_EQ(status(), "Converting...");
    EXPECT_FALSE(fs::exists(target()));
  }
}

TEST_F(ConversionTest, GhostscriptPathIsCleanedOfNulsAndMayHoldBlanksAndPercentSigns) {
  const fs::path folder = scratch.path() / "Program Files 100%" / "gs";
  fs::create_directories(folder);
  fs::create_symlink(Ghostscript, folder / "gs bin");
  const std::string path = RegistryText((folder / "gs bin").string());
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"stored with its NUL", "\"" + path + "\""},
      {"NUL in the middle", "hex(1):" +
                                [&] {
                                  std::string bytes;
                                  const std::string raw = (folder / "gs bin").string();
                                  for (size_t i = 0; i < raw.size(); ++i) {
                                    char hex[8];
                                    std::snprintf(hex, sizeof hex, "%02x,", static_cast<unsigned char>(raw[i]));
                                    bytes += hex;
                                    if (i == 3) bytes += "00,";
                                  }
                                  return bytes + "00";
                                }()},
  };
  for (const auto& [name, data] : cases) {
    SCOPED_TRACE(name);
    setGhostscriptValue(data);
    fs::remove(target());
    convert();
    EXPECT_EQ(status(), "Completed");
    EXPECT_EQ(PdfPageCount(target()), 3);
    EXPECT_EQ(endProgramCalls, 0);
  }
}

TEST_F(ConversionTest, TheNextApplicationIsAskedForOnlyWhenAJobFollowsAndOnlyOnceThisOneHasPrinted) {
  convert(1, true);
  const std::string printFile = (workFolder() / "PsFile.ps").string();
  const std::vector<std::string> tail = {"printOut(-1,-1," + printFile + ")", "prepareNext()", "close()",
                                         "quit()"};
  ASSERT_GE(office.calls.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(office.calls.end() - 4, office.calls.end()), tail);
  EXPECT_EQ(std::count(office.calls.begin(), office.calls.end(), "prepareNext()"), 1);
  EXPECT_EQ(status(), "Completed");

  const auto addAnotherJob = [this] {
    const fs::path another = scratch.path() / ("job" + std::to_string(jobs.count() + 1) + ".ppt");
    WriteFile(another, "another presentation");
    addJob(another, scratch.path() / "out" / another.filename().replace_extension(".pdf"));
    return static_cast<int16_t>(jobs.count());
  };

  // The last job of a press asks for nothing.
  office.calls.clear();
  const int16_t last = addAnotherJob();
  convert(last, false);
  EXPECT_EQ(std::count(office.calls.begin(), office.calls.end(), "prepareNext()"), 0);
  EXPECT_EQ(status(last), "Completed");

  // A job that fails before it has printed asks for nothing either.
  for (const char* failing : {"open", "printOut"}) {
    SCOPED_TRACE(failing);
    office.calls.clear();
    office.failNext.emplace(failing, RuntimeFailure(ErrorNumber::AutomationFailed, "failed"));
    convert(addAnotherJob(), true);
    EXPECT_EQ(std::count(office.calls.begin(), office.calls.end(), "prepareNext()"), 0);
    EXPECT_EQ(office.lastCall(), "quit()");
  }
}

TEST_F(ConversionTest, OpenFailureMarksTheJobFailedQuitsAndReports) {
  const std::string description = "General input/output error";
  // A number of the handler's database family, so that its report is visible.
  office.failNext.emplace("open", RuntimeFailure(static_cast<int32_t>(0x80004005), description));
  convert();
  const std::vector<std::string> expected = {"create(PowerPoint.Application)", "setVisible(1)",
                                             "open(" + source().string() + ")", "quit()"};
  EXPECT_EQ(office.calls, expected);
  EXPECT_EQ(status(), "Failed");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].text.find(description), std::string::npos);
  EXPECT_EQ(office.destroyedApplications, 1);
  EXPECT_FALSE(fs::exists(target()));
}

TEST_F(ConversionTest, CannotCreateObjectCreatesTheApplicationAgainAndGoesOn) {
  office.failNext.emplace("create", RuntimeFailure(ErrorNumber::CannotCreateObject, "Cannot create object"));
  convert();
  ASSERT_GE(office.calls.size(), 3u);
  EXPECT_EQ(office.calls[0], "create(PowerPoint.Application)");
  EXPECT_EQ(office.calls[1], "create(Powerpoint.Application)");
  EXPECT_EQ(office.calls[2], "setVisible(1)");
  EXPECT_EQ(office.lastCall(), "quit()");
  // The job went on from the step after the failure and finished.
  EXPECT_EQ(status(), "Completed");
  EXPECT_EQ(PdfPageCount(target()), 3);
}

// The second start failing too ends the job as any failure does (reported to
// the handler, which shows nothing for this family), instead of escaping the
// conversion.
TEST_F(ConversionTest, ASecondFailedStartFailsTheJobAndReportsIt) {
  office.failNext.emplace("create", RuntimeFailure(ErrorNumber::CannotCreateObject, "Cannot create object"));
  office.failNext.emplace("create", RuntimeFailure(ErrorNumber::CannotCreateObject, "no office today"));
  EXPECT_NO_THROW(convert());
  EXPECT_EQ(office.calls,
            (std::vector<std::string>{"create(PowerPoint.Application)", "create(Powerpoint.Application)"}));
  EXPECT_EQ(status(), "Failed");
  EXPECT_EQ(jobs.at(1).Reason, "The office could not be started: no office today");
  EXPECT_FALSE(fs::exists(target()));
}

// Once the PDF is at its target and the row says "Completed", an office that
// fails to close or quit (killed during the wait message) changes nothing the
// user sees: no "Failed", no error message, no office left.
TEST_F(ConversionTest, FailuresAfterDeliveryLeaveTheRowCompleted) {
  for (const char* operation : {"close", "quit"}) {
    SCOPED_TRACE(operation);
    fs::remove(target());
    dialogs.messages.clear();
    office.failNext.emplace(operation,
                            RuntimeFailure(ErrorNumber::AutomationDisconnected, "The office ended unexpectedly."));
    convert();
    EXPECT_EQ(status(), "Completed");
    EXPECT_EQ(jobs.at(1).Reason, "The PDF was written to \"" + target().string() + "\".");
    EXPECT_EQ(Texts(dialogs.messages), std::vector<std::string>{WaitMessageFor("QUARTERLY REVIEW.PPT")});
    EXPECT_EQ(PdfPageCount(target()), 3);
    EXPECT_EQ(office.createdApplications, office.destroyedApplications);
  }
}

TEST_F(ConversionTest, CannotCreateObjectAfterOpenLosesThePresentationAndFailsCleanly) {
  office.failNext.emplace("open", RuntimeFailure(ErrorNumber::CannotCreateObject, "Cannot create object"));
  convert();
  const std::vector<std::string> expected = {"create(PowerPoint.Application)",
                                             "setVisible(1)",
                                             "open(" + source().string() + ")",
                                             "quit()",
                                             "create(Powerpoint.Application)",
                                             "activePrinter()",
                                             "installedPrinters()",
                                             "quit()"};
  EXPECT_EQ(office.calls, expected);
  EXPECT_EQ(status(), "Failed");
  EXPECT_EQ(office.createdApplications, office.destroyedApplications);
}

TEST_F(ConversionTest, PrinterCheckStopLeavesTheJobConvertingAndTheNextJobEndsTheOldApplication) {
  systemVersion.platformId = 1;  // Windows 98
  systemVersion.minorVersion = 10;
  office.installedPrinters = {"HP Color LaserJet 5/5M PS (Copy 2)"};
  convert();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            "Please install 'HP Color LaserJet 5/5M PS' printer driver with all default name from Windows CD.");
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(dialogs.messages[0].title, "pelvantz");
  EXPECT_EQ(status(), "Converting...");
  EXPECT_EQ(office.lastCall(), "installedPrinters()");
  EXPECT_EQ(office.destroyedApplications, 0);

  const fs::path secondSource = scratch.path() / "second.ppt";
  WriteFile(secondSource, "another presentation");
  addJob(secondSource, scratch.path() / "out" / "second.pdf");
  office.calls.clear();
  convert(2);
  ASSERT_GE(office.calls.size(), 2u);
  EXPECT_EQ(office.calls[0], "quit()");
  EXPECT_EQ(office.calls[1], "create(PowerPoint.Application)");
  EXPECT_EQ(office.createdApplications, 2);
  EXPECT_EQ(office.quitApplications, 1);
  EXPECT_EQ(office.destroyedApplications, 1);
}

TEST_F(ConversionTest, UnrecognisedSystemShowsTheNoticeAndPrints) {
  systemVersion.platformId = 2;
  systemVersion.majorVersion = 6;
  office.installedPrinters = {"Some Inkjet"};
  convert();
  EXPECT_EQ(Texts(dialogs.messages), (std::vector<std::string>{"NO PostScript Printer Driver Found.",
                                                               WaitMessageFor("QUARTERLY REVIEW.PPT")}));
  EXPECT_EQ(status(), "Completed");
}

TEST_F(ConversionTest, NoUsablePdfFailsWithTheMessageAndLeavesTheTargetAlone) {
  struct Case {
    const char* name;
    std::string printFile;
    bool stalePdf;
    std::string reason;
    std::string ghostscript = Ghostscript;
  };
  const fs::path noInterpreter = scratch.path() / "gs-without-interpreter";
  WriteFile(noInterpreter, "#!/nonexistent/interpreter\n");
  fs::permissions(noInterpreter, fs::perms::owner_all);
  const std::vector<Case> cases = {
      {"nothing printed", "", false, "No pages were printed: the print file is missing or empty."},
      {"nothing printed, PDF of an earlier job present", "", true,
       "No pages were printed: the print file is missing or empty."},
      // Ghostscript writes the first page, then stops at the error with exit code 1.
      {"print file Ghostscript rejects", PostScriptPages(1) + "nosuchoperator\n", true,
       "Ghostscript stopped with exit code 1 and made no PDF."},
      {"print file cut short", "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n2 0 obj\n<< /Ty",
       true,
       "The printed pages are damaged (it is cut short or its cross-reference table is damaged): no PDF was "
       "made."},
      {"Ghostscript that cannot be started", PostScriptPages(1), true,
       "Ghostscript \"" + noInterpreter.string() + "\" could not be started.", noInterpreter.string()},
  };
  WriteFile(target(), "the previous result");
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    office.printFileContent = test.printFile;
    setGhostscriptValue("\"" + RegistryText(test.ghostscript) + "\"");
    fs::create_directories(workFolder());
    WriteFile(workFolder() / "PsFile.ps", PostScriptPages(2));  // an earlier job's print file
    if (test.stalePdf) WriteFile(workFolder() / "PdfFile.pdf", "%PDF-1.4 an earlier job's result");
    WriteFile(workFolder() / "PdfFiletemp.pdf", "left over");
    dialogs.messages.clear();
    office.calls.clear();
    options.OpenAfterConversion = true;
    convert();
    EXPECT_EQ(status(), "Failed");
    EXPECT_EQ(jobs.at(1).Reason, test.reason);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Failed to create PDF.");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(dialogs.messages[0].title, "pelvantz");
    EXPECT_EQ(ReadFile(target()), "the previous result");
    EXPECT_FALSE(fs::exists(workFolder() / "PdfFiletemp.pdf"));
    EXPECT_TRUE(shell.opened.empty());
    ASSERT_GE(office.calls.size(), 2u);
    EXPECT_EQ(office.calls[office.calls.size() - 2], "close()");
    EXPECT_EQ(office.lastCall(), "quit()");
  }
}

TEST_F(ConversionTest, ExistingTargetIsReplacedAndOpenedWhenAsked) {
  WriteFile(target(), "the previous result");
  fs::permissions(target(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  options.OpenAfterConversion = true;
  convert();
  EXPECT_EQ(status(), "Completed");
  EXPECT_EQ(PdfPageCount(target()), 3);
  EXPECT_EQ(fs::status(target()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(shell.opened, std::vector<std::string>{target().string()});
  // Nothing of the copy is left beside the target.
  EXPECT_EQ(std::distance(fs::directory_iterator(target().parent_path()), fs::directory_iterator()), 1);
}

TEST_F(ConversionTest, FailedCopyIsARuntimeFailureAndDoesNotReportCompleted) {
  struct Case {
    const char* name;
    fs::path target;
  };
  const fs::path folderTarget = scratch.path() / "out" / "a folder.pdf";
  fs::create_directories(folderTarget / "inside");
  const std::vector<Case> cases = {
      {"target folder missing", scratch.path() / "nowhere" / "x.pdf"},
      {"target is a folder", folderTarget},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    dialogs.messages.clear();
    office.calls.clear();
    converter().ConvertPresentation(source().string(), test.target.string(), 1, options);
    EXPECT_EQ(status(), "Failed");
    EXPECT_TRUE(dialogs.messages.empty());  // a file error is not of a family the handler shows
    EXPECT_EQ(office.lastCall(), "quit()");
    EXPECT_EQ(std::count(office.calls.begin(), office.calls.end(), "close()"), 0);
  }
  EXPECT_TRUE(fs::is_directory(folderTarget / "inside"));
  EXPECT_FALSE(fs::exists(scratch.path() / "nowhere"));
}

TEST_F(ConversionTest, UnconvertiblePageTextFailsAtThePrintStep) {
  options.AllPages = false;
  options.ToText = "1e10";
  convert();
  EXPECT_EQ(status(), "Failed");
  EXPECT_EQ(office.lastCall(), "quit()");
  EXPECT_EQ(std::count_if(office.calls.begin(), office.calls.end(),
                          [](const std::string& call) { return call.starts_with("printOut"); }),
            0);
}

TEST_F(ConversionTest, SuccessMessageUpperCasesNonAsciiNames) {
  const fs::path unusual = scratch.path() / "Präsentation übersicht.ppt";
  WriteFile(unusual, "a presentation");
  const fs::path unusualTarget = scratch.path() / "out" / "Präsentation 'über' \"sicht\".pdf";
  addJob(unusual, unusualTarget);
  convert(2);
  EXPECT_EQ(status(2), "Completed");
  EXPECT_EQ(PdfPageCount(unusualTarget), 3);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, WaitMessageFor("PRÄSENTATION ÜBERSICHT.PPT"));
}

// The work folder lies wherever the user put the program.
TEST_F(ConversionTest, ApplicationFolderMayHoldBlanksPercentSignsAndNonAsciiLetters) {
  for (const char* name : {"my programs/pelvantz app", "100% sure/app %d", "Programme/Präsentationen",
                           "the \"best\" app", "back\\\"slash\\ app"}) {
    SCOPED_TRACE(name);
    useApplicationFolder(scratch.path() / name);
    fs::remove(target());
    dialogs.messages.clear();
    convert();
    EXPECT_EQ(status(), "Completed");
    EXPECT_EQ(PdfPageCount(target()), 3);
    EXPECT_EQ(Texts(dialogs.messages), std::vector<std::string>{WaitMessageFor("QUARTERLY REVIEW.PPT")});
  }
}

// A quoted program path ends at the next quote, so Ghostscript cannot be
// started from a path that holds one.
TEST_F(ConversionTest, GhostscriptPathWithADoubleQuoteFailsTheJobClearly) {
  const fs::path folder = scratch.path() / "the \"gs\" folder";
  fs::create_directories(folder);
  fs::create_symlink(Ghostscript, folder / "gs");
  setGhostscriptValue("\"" + RegistryText((folder / "gs").string()) + "\"");
  convert();
  EXPECT_EQ(status(), "Failed");
  EXPECT_EQ(Texts(dialogs.messages), std::vector<std::string>{"Failed to create PDF."});
  EXPECT_FALSE(fs::exists(target()));
  EXPECT_EQ(office.lastCall(), "quit()");
}

TEST_F(ConversionTest, WorkFolderIsCreatedWhenMissing) {
  fs::remove_all(workFolder());
  convert();
  EXPECT_EQ(status(), "Completed");
  EXPECT_TRUE(fs::is_directory(workFolder()));
}

}  // namespace
}  // namespace pelvantz
