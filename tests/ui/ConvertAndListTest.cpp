// The list buttons and the Convert press on the real window; jobs run on the
// window's worker thread through a recording job runner.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "MainWindowFixture.h"
#include "joblist/JobList.h"

namespace pelvantz::testing {
namespace {

using Strings = std::vector<std::string>;

std::vector<std::string> Sources(const std::vector<RunJob>& jobs) {
  std::vector<std::string> sources;
  for (const RunJob& job : jobs) sources.push_back(job.source);
  return sources;
}

TEST_F(MainWindowTest, AddToListQueuesOrRefusesTheSelection) {
  open();
  setText("txtfilepath", "   ");
  setText("txtfilepathOutput", "/out/x.pdf");
  click("cmdAddToList");
  EXPECT_EQ(messageTexts(), Strings{"Please select a PDF File"});
  EXPECT_EQ(window->jobs().count(), 0);
  EXPECT_EQ(text("txtfilepath"), "   ");
  EXPECT_EQ(text("txtfilepathOutput"), "/out/x.pdf");

  // Without a target the selection stays, so that only the target is left to choose.
  setText("txtfilepath", "/talks/Talk.ppt");
  setText("txtfilepathOutput", "  ");
  click("cmdAddToList");
  EXPECT_EQ(messageTexts().back(), "Please select a target PDF File");
  EXPECT_EQ(window->jobs().count(), 0);
  EXPECT_EQ(text("txtfilepath"), "/talks/Talk.ppt");

  queue("/talks/Talk.ppt", "/talks/Talk.pdf");
  EXPECT_EQ(sources(), Strings{"/talks/Talk.ppt"});
  EXPECT_EQ(window->jobs().at(1).TargetPath, "/talks/Talk.pdf");
  EXPECT_EQ(text("txtfilepath"), "");

  queue("/other/Other.ppt", "/talks/Talk.pdf");
  EXPECT_EQ(messageTexts().back(), "Target file already added.");
  EXPECT_EQ(sources(), Strings{"/talks/Talk.ppt"});

  queue("/other/TALK.PPT", "/other/TALK.pdf");
  EXPECT_EQ(messageTexts().back(), "File already added.");
  EXPECT_EQ(sources(), Strings{"/talks/Talk.ppt"});
  EXPECT_EQ(text("txtfilepath"), "");
  EXPECT_EQ(text("txtfilepathOutput"), "");
}

TEST_F(MainWindowTest, ClearListEmptiesTheListAndKeepsTheSelection) {
  open();
  queue("/a/One.ppt");
  queue("/a/Two.ppt");
  setText("txtfilepath", "/a/Three.ppt");
  click("cmdClear");
  EXPECT_EQ(window->jobs().count(), 0);
  EXPECT_EQ(text("txtfilepath"), "/a/Three.ppt");
  click("cmdClear");
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, ConvertRefusesPageFieldsThatAreNoNumbers) {
  struct Case {
    bool rangeSelected;
    const char* from;
    const char* to;
    const char* message;
    const char* focused;
  };
  const std::vector<Case> cases = {
      {true, "", "2", "Please enter value in Page Range From field", "txtFrom"},
      {true, "2-5", "7", "Please enter value in Page Range From field", "txtFrom"},
      {true, "3", "x", "Please enter value in Page Range To field", "txtTo"},
      {true, "3", "5x", "Please enter value in Page Range To field", "txtTo"},
      // A disabled field does not take the focus; it stays on the pressed button.
      {false, "", "2", "Please enter value in Page Range From field", "cmdConvert"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.from) + " / " + c.to);
    open();
    showActive();
    queue("/a/One.ppt");
    setText("txtfilepath", "/a/Pending.ppt");
    click(c.rangeSelected ? "chkFromTo" : "chkAllPages");
    setText("txtFrom", c.from);
    setText("txtTo", c.to);
    QTest::mouseClick(control<QLineEdit>("txtfilepathOutput"), Qt::LeftButton);
    dialogs.messages.clear();
    cursor.calls.clear();
    ASSERT_EQ(control<QLineEdit>("txtFrom")->isEnabled(), c.rangeSelected);
    click("cmdConvert");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, c.message);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].title, ApplicationTitle);
    ASSERT_NE(window->focusWidget(), nullptr);
    EXPECT_EQ(window->focusWidget()->objectName(), c.focused);
    EXPECT_TRUE(runJobs.empty());
    EXPECT_EQ(statuses(), Strings{""});
    EXPECT_EQ(text("txtfilepath"), "/a/Pending.ppt");
    EXPECT_EQ(cursor.calls, (Strings{"busy", "default"}));
  }
}

TEST_F(MainWindowTest, ConvertWithNothingQueuedDoesNothing) {
  open();
  click("cmdConvert");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(runJobs.empty());
  EXPECT_EQ(cursor.calls, (Strings{"busy", "default"}));
}

TEST_F(MainWindowTest, ConvertQueuesThePendingSelectionAndConvertsIt) {
  open();
  setText("txtfilepath", "/talks/Q3.ppt");
  setText("txtfilepathOutput", "/out/Q3.pdf");
  click("cmdConvert");
  ASSERT_EQ(runJobs.size(), 1u);
  EXPECT_EQ(runJobs[0].source, "/talks/Q3.ppt");
  EXPECT_EQ(runJobs[0].target, "/out/Q3.pdf");
  EXPECT_EQ(runJobs[0].position, 1);
  EXPECT_EQ(statuses(), Strings{"Completed"});
  EXPECT_EQ(text("txtfilepath"), "");
  EXPECT_EQ(text("txtfilepathOutput"), "");
}

TEST_F(MainWindowTest, ConvertRunsEveryRowAgainInListOrder) {
  open();
  queue("/a/Done.ppt", "/o/Done.pdf");
  queue("/a/Broken.ppt", "/o/Broken.pdf");
  queue("/a/New.ppt", "/o/New.pdf");
  window->jobs().SetJobStatus(1, "Completed");
  window->jobs().SetJobStatus(2, "Failed");
  setText("txtfilepath", "/a/DONE.ppt");  // a duplicate: refused, the run goes on
  outcomes["/a/Broken.ppt"] = "Failed";
  click("cmdConvert");
  EXPECT_EQ(messageTexts(), Strings{"File already added."});
  EXPECT_EQ(Sources(runJobs), (Strings{"/a/Done.ppt", "/a/Broken.ppt", "/a/New.ppt"}));
  for (const RunJob& job : runJobs) EXPECT_EQ(job.statusShownAtStart, "Converting...") << job.source;
  EXPECT_EQ(statuses(), (Strings{"Completed", "Failed", "Completed"}));
  EXPECT_EQ(cursor.calls.front(), "busy");
  EXPECT_EQ(cursor.calls.back(), "default");
}

TEST_F(MainWindowTest, AFailingJobDoesNotStopTheRun) {
  open();
  queue("/a/1.ppt");
  queue("/a/2.ppt");
  queue("/a/3.ppt");
  outcomes["/a/1.ppt"] = "Failed";
  outcomes["/a/2.ppt"] = "throw 13";  // escapes the job; the handler says go on
  click("cmdConvert");
  EXPECT_EQ(Sources(runJobs), (Strings{"/a/1.ppt", "/a/2.ppt", "/a/3.ppt"}));
  EXPECT_EQ(statuses(), (Strings{"Failed", "Converting...", "Completed"}));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(cursor.calls.back(), "default");
}

TEST_F(MainWindowTest, EachJobSeesTheOptionsAsTheControlsHoldThemThen) {
  open();
  queue("/a/1.ppt");
  queue("/a/2.ppt");
  click("chkFromTo");
  setText("txtFrom", "2");
  setText("txtTo", "4");
  control<QComboBox>("cboOutputType")->setCurrentText("Notes");
  control<QComboBox>("cboPaperSize")->setCurrentText("Letter");
  click("optPotrait");
  click("chkComments");
  click("chkFitToPage");
  click("chkOpenDocEditing");
  // Between the jobs the program changes an option (the user cannot).
  duringJob = [this] { control<QComboBox>("cboOutputType")->setCurrentText("Outline"); };
  click("cmdConvert");
  ASSERT_EQ(runJobs.size(), 2u);
  const ConversionOptions& first = runJobs[0].options;
  EXPECT_EQ(first.OutputType, OutputType::NotesPages);
  EXPECT_EQ(first.PaperSize, SlideSize::LetterPaper);
  EXPECT_EQ(first.Orientation, SlideOrientation::Portrait);
  EXPECT_FALSE(first.AllPages);
  EXPECT_EQ(first.FromText, "2");
  EXPECT_EQ(first.ToText, "4");
  EXPECT_TRUE(first.PrintComments);
  EXPECT_FALSE(first.FitToPage);
  EXPECT_FALSE(first.OpenAfterConversion);
  EXPECT_EQ(runJobs[1].options.OutputType, OutputType::Outline);
}

TEST_F(MainWindowTest, TheWindowTakesNoInputWhileItConverts) {
  open();
  showActive();
  queue("/a/1.ppt");
  queue("/a/2.ppt");
  duringJob = [&] {
    click("cmdClear");
    click("cmdConvert");
    setText("txtfilepath", "");
    QTest::keyClicks(control<QLineEdit>("txtfilepath"), "typed");
    QTest::keyClick(window.get(), Qt::Key_L, Qt::AltModifier);
  };
  click("cmdConvert");
  EXPECT_EQ(runJobs.size(), 2u);  // no second press started inside the first
  EXPECT_EQ(sources(), (Strings{"/a/1.ppt", "/a/2.ppt"}));
  EXPECT_EQ(text("txtfilepath"), "");
  click("cmdClear");
  EXPECT_EQ(window->jobs().count(), 0);  // input is taken again after the run
}

TEST_F(MainWindowTest, ClosingDuringARunStillAsks) {
  open();
  showActive();
  queue("/a/1.ppt");
  queue("/a/2.ppt");
  dialogs.answers = {MessageAnswer::No};
  duringJob = [&] {
    if (dialogs.messages.empty()) window->close();
  };
  click("cmdConvert");
  EXPECT_EQ(messageTexts(), Strings{"Do you really want to exit the application?"});
  EXPECT_EQ(endProgramCalls, 0);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(runJobs.size(), 2u);
  EXPECT_EQ(statuses(), (Strings{"Completed", "Completed"}));
}

}  // namespace
}  // namespace pelvantz::testing
