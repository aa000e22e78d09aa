// The source and target dialogs, the remembered paths, and leaving the program.
#include <QLineEdit>

#include "MainWindowFixture.h"
#include "core/ExitStatus.h"
#include "joblist/JobList.h"

namespace pelvantz::testing {
namespace {

using Strings = std::vector<std::string>;
constexpr const char* WrongSource = "Invalid file selected. Please select valid Powerpoint file only.";
constexpr const char* WrongTarget = "Invalid Output file. Please select valid PDF file.";
constexpr const char* ExitQuestion = "Do you really want to exit the application?";

TEST_F(MainWindowTest, SourceDialogChecksTheExtensionAndProposesATarget) {
  struct Case {
    std::string chosen;
    std::string source;   // txtfilepath afterwards
    std::string target;   // txtfilepathOutput afterwards
    const char* message;  // nullptr: none
  };
  const std::vector<Case> cases = {
      {"/talks/Q3.ppt", "/talks/Q3.ppt", "/talks/Q3.pdf", nullptr},
      {"/talks/Q3.PPT", "/talks/Q3.PPT", "/talks/Q3.pdf", nullptr},
      {"/talks/Q3.pps", "", "/old/target.pdf", WrongSource},
      {"/talks/Q3.pptx", "", "/old/target.pdf", WrongSource},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    open();
    dialogs.messages.clear();
    setText("txtfilepath", "/old/source.ppt");
    setText("txtfilepathOutput", "/old/target.pdf");
    dialogs.chosenFiles.push_back(c.chosen);
    click("cmdBrowse");
    EXPECT_EQ(text("txtfilepath").toStdString(), c.source);
    EXPECT_EQ(text("txtfilepathOutput").toStdString(), c.target);
    EXPECT_EQ(messageTexts(), c.message ? Strings{c.message} : Strings{});
    if (c.message) {
      EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
    }
    // Remembered even when refused.
    EXPECT_EQ(settings.settings().RecentFolder, c.chosen);
    EXPECT_EQ(iniValue("PATH"), c.chosen);
  }
}

TEST_F(MainWindowTest, SourceDialogOpensWhereTheUserLastWas) {
  settings.settings().RecentFolder = "";
  open();
  click("cmdBrowse");  // cancelled
  dialogs.chosenFiles.push_back("/talks/Q3.ppt");
  click("cmdBrowse");
  click("cmdBrowse");  // cancelled
  ASSERT_EQ(dialogs.fileRequests.size(), 3u);
  const FileDialogRequest& first = dialogs.fileRequests[0];
  EXPECT_FALSE(first.save);
  EXPECT_EQ(first.title, "Select Source File");
  EXPECT_EQ(first.filterDescription, "Microsoft Powerpoint (*.ppt)");
  EXPECT_EQ(first.filterPattern, "*.ppt");
  EXPECT_EQ(first.initialFolder, folder.str());
  EXPECT_EQ(dialogs.fileRequests[2].initialFolder, "/talks/Q3.ppt");
  EXPECT_EQ(text("txtfilepath"), "/talks/Q3.ppt");  // the cancel changed nothing
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, TargetDialogAcceptsOnlyPdfNames) {
  struct Case {
    std::optional<std::string> chosen;
    std::string target;  // txtfilepathOutput afterwards
    std::string remembered;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"/out/report", "/old/target.pdf", "/old/target.pdf", WrongTarget},
      {"/out/Out.PDF", "/out/Out.PDF", "/out/Out.PDF", nullptr},
      {std::nullopt, "/old/target.pdf", "/old/target.pdf", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen.value_or("cancel"));
    settings.settings().RecentOutputFolder = "/old/target.pdf";
    settings.WriteSetting(SettingsSection, "OUTPUTPATH", "/old/target.pdf");
    open();
    dialogs.messages.clear();
    dialogs.fileRequests.clear();
    setText("txtfilepath", "/keep/source.ppt");
    setText("txtfilepathOutput", "/old/target.pdf");
    dialogs.chosenFiles.push_back(c.chosen);
    click("cmdBrowseOutput");
    EXPECT_EQ(text("txtfilepathOutput").toStdString(), c.target);
    EXPECT_EQ(text("txtfilepath"), "/keep/source.ppt");
    EXPECT_EQ(settings.settings().RecentOutputFolder, c.remembered);
    EXPECT_EQ(iniValue("OUTPUTPATH"), c.remembered);
    EXPECT_EQ(messageTexts(), c.message ? Strings{c.message} : Strings{});
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const FileDialogRequest& request = dialogs.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Save As");
    EXPECT_EQ(request.filterDescription, "PDF File (*.pdf)");
    EXPECT_EQ(request.initialFolder, "/old");
  }
}

TEST_F(MainWindowTest, TargetDialogWithoutARememberedFolderOpensAnyway) {
  settings.settings().RecentOutputFolder = "";
  open();
  dialogs.chosenFiles.push_back("/out/a.pdf");
  click("cmdBrowseOutput");
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(dialogs.fileRequests[0].initialFolder, "");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(text("txtfilepathOutput"), "/out/a.pdf");
  dialogs.chosenFiles.push_back(std::nullopt);
  click("cmdBrowseOutput");
  EXPECT_EQ(dialogs.fileRequests[1].initialFolder, "/out");
}

TEST_F(MainWindowTest, CloseThenNoKeepsEverything) {
  open();
  queue("/a/One.ppt");
  setText("txtfilepath", "/a/Two.ppt");
  setText("txtFrom", "5");
  dialogs.answers = {MessageAnswer::No, MessageAnswer::No};
  click("cmdClose");
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_FALSE(window->close());
  ASSERT_EQ(dialogs.messages.size(), 2u);
  for (const ShownMessage& message : dialogs.messages) {
    EXPECT_EQ(message.text, ExitQuestion);
    EXPECT_EQ(message.icon, MessageIcon::Question);
    EXPECT_EQ(message.buttons, MessageButtons::YesNo);
    EXPECT_EQ(message.title, ApplicationTitle);
  }
  EXPECT_EQ(endProgramCalls, 0);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(sources(), Strings{"/a/One.ppt"});
  EXPECT_EQ(text("txtfilepath"), "/a/Two.ppt");
  EXPECT_EQ(text("txtFrom"), "5");
}

TEST_F(MainWindowTest, YesEndsTheProgramAfterExactlyOneQuestion) {
  for (const bool throughCloseButton : {true, false}) {
    SCOPED_TRACE(throughCloseButton ? "Close button" : "close request");
    open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    dialogs.messages.clear();
    endProgramCalls = 0;
    dialogs.answers = {MessageAnswer::Yes};
    if (throughCloseButton) {
      click("cmdClose");
    } else {
      window->close();
    }
    EXPECT_EQ(messageTexts(), Strings{ExitQuestion});
    EXPECT_EQ(endProgramCalls, 1);
    EXPECT_EQ(exitStatuses.back(), ExitStatus::Normal);
  }
}

}  // namespace
}  // namespace pelvantz::testing
