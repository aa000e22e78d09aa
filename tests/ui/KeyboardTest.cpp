// The window from the keyboard: Tab over the option groups and the pictures,
// pastes through the page fields' filters, names for assistive tools, F1,
// Enter on a button, and no focus moved by input swallowed during a run.
#include <QAbstractButton>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <sstream>

#include "MainWindowFixture.h"
#include "core/ExitStatus.h"

namespace pelvantz::testing {
namespace {

using Strings = std::vector<std::string>;

class KeyboardTest : public MainWindowTest {
 protected:
  void SetUp() override {
    open();
    showActive();
  }
  // The controls Tab visits from `start` on, `count` presses.
  Strings tabFrom(const char* start, int count) {
    control<QWidget>(start)->setFocus();
    Strings visited;
    for (int i = 0; i < count; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited.push_back(QApplication::focusWidget()->objectName().toStdString());
    }
    return visited;
  }
};

TEST_F(KeyboardTest, AnOptionGroupIsOneTabStopItsSelectedButton) {
  const struct {
    const char* select;  // clicked first
    const char* start;
    Strings visited;
  } cases[] = {
      {"optLandscape", "chkOpenDocEditing", {"optLandscape", "cboPaperSize"}},
      {"optPotrait", "chkOpenDocEditing", {"optPotrait", "cboPaperSize"}},
      {"chkAllPages", "txtfilepathOutput", {"chkAllPages", "chkOpenDocEditing"}},
      {"chkFromTo", "txtfilepathOutput", {"chkFromTo", "txtFrom", "txtTo", "chkOpenDocEditing"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.select);
    click(c.select);
    EXPECT_EQ(tabFrom(c.start, static_cast<int>(c.visited.size())), c.visited);
  }
  // Arrow keys still move within a group, and select as they go.
  control<QWidget>("optLandscape")->setFocus();
  click("optLandscape");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), "optPotrait");
  EXPECT_TRUE(control<QAbstractButton>("optPotrait")->isChecked());
}

TEST_F(KeyboardTest, APasteFromTheKeyboardPassesTheFieldsFilterAsTheCharacterCtrlVTypes) {
  click("chkFromTo");
  const struct {
    const char* field;
    const char* before;
    QKeyCombination key;
    const char* clipboard;
    const char* after;
  } cases[] = {
      {"txtFrom", "3", Qt::ControlModifier | Qt::Key_V, "abc", "3"},
      {"txtFrom", "3", Qt::ShiftModifier | Qt::Key_Insert, "12", "3"},
      {"txtFrom", "", Qt::ControlModifier | Qt::Key_V, "7", ""},
      {"txtTo", "", Qt::ControlModifier | Qt::Key_V, "7", ""},
      {"txtTo", "-", Qt::ShiftModifier | Qt::Key_Insert, "x", "-"},
      // Behind numeric text the To field lets any character through, this one too.
      {"txtTo", "5", Qt::ControlModifier | Qt::Key_V, "x", "5x"},
      {"txtTo", "5", Qt::ShiftModifier | Qt::Key_Insert, "9", "59"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " \"" + c.before + "\" + \"" + c.clipboard + "\"");
    auto* field = control<QLineEdit>(c.field);
    field->setText(QString::fromLatin1(c.before));
    field->setFocus();
    QGuiApplication::clipboard()->setText(QString::fromLatin1(c.clipboard));
    QTest::keyClick(field, c.key.key(), c.key.keyboardModifiers());
    EXPECT_EQ(field->text().toStdString(), c.after);
  }
}

TEST_F(KeyboardTest, EveryFieldIsNamedByItsLabelAndThePicturesByTheirTooltips) {
  const struct {
    const char* label;
    const char* field;
    const char* name;
  } fields[] = {
      {"Label12", "txtfilepath", "Select Source File"},
      {"Label11", "txtfilepathOutput", "Select Target Location"},
      {"Label3", "cboOutputType", "Output Type"},
      {"Label8", "cboPaperSize", "Paper Size"},
      {"Label4", "txtFrom", "From"},
      {"Label2", "txtTo", "To"},
  };
  for (const auto& f : fields) {
    SCOPED_TRACE(f.field);
    EXPECT_EQ(control<QLabel>(f.label)->buddy(), control<QWidget>(f.field));
    EXPECT_EQ(control<QWidget>(f.field)->accessibleName().toStdString(), f.name);
  }
  EXPECT_EQ(tabFrom("lvwGeneral", 3), (Strings{"cmdHomeLink", "cmdContactUs", "cmdHelp"}));
  for (const char* picture : {"cmdHomeLink", "cmdContactUs", "cmdHelp"})
    EXPECT_EQ(control<QWidget>(picture)->accessibleName(), control<QWidget>(picture)->toolTip());
}

TEST_F(KeyboardTest, PicturesOpenTheirTargetsFromTheKeyboardAndF1OpensHelp) {
  std::filesystem::create_directories(folder.path() / "help");
  std::ofstream(folder.path() / "help" / "pelvantz_PPT.html") << "<html></html>";
  control<QWidget>("cmdHomeLink")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  control<QWidget>("cmdHelp")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  control<QWidget>("txtfilepath")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
  const std::string help = folder.str() + "/help/pelvantz_PPT.html";
  ASSERT_EQ(shell.opened.size(), 3u);
  EXPECT_NE(shell.opened[0].find("/default.aspx"), std::string::npos);
  EXPECT_EQ(shell.opened[1], help);
  EXPECT_EQ(shell.opened[2], help);
}

// What pressing a button did, as the user sees it.
std::string Effect(FrmMain& window, FakeDialogs& dialogs, const std::vector<RunJob>& runJobs) {
  std::ostringstream effect;
  effect << window.jobs().count() << " rows, " << runJobs.size() << " run;";
  for (const auto& request : dialogs.fileRequests) effect << " dialog " << request.title << ";";
  for (const auto& message : dialogs.messages) effect << " message " << message.text << ";";
  return effect.str();
}

TEST_F(KeyboardTest, EnterOnAFocusedButtonPressesItAsAClickDoes) {
  const char* buttons[] = {"cmdBrowse", "cmdBrowseOutput", "cmdAddToList", "cmdClear", "cmdConvert", "cmdClose"};
  const std::vector<std::function<void(QWidget*)>> presses = {
      [](QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); },
      [](QWidget* button) { QTest::keyClick(button, Qt::Key_Return); },
      [](QWidget* button) { QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier); },
  };
  for (const char* name : buttons) {
    SCOPED_TRACE(name);
    std::vector<std::string> effects;
    for (const auto& press : presses) {
      open();
      showActive();
      queue("/a/1.ppt", "/a/1.pdf");
      setText("txtfilepath", "/a/2.ppt");
      dialogs = FakeDialogs();
      dialogs.answers.push_back(MessageAnswer::No);  // stay when Close asks
      runJobs.clear();
      QWidget* button = control<QWidget>(name);
      button->setFocus();
      press(button);
      effects.push_back(Effect(*window, dialogs, runJobs));
    }
    EXPECT_NE(effects[0], "1 rows, 0 run;");  // the click did something
    EXPECT_EQ(effects[1], effects[0]);
    EXPECT_EQ(effects[2], effects[0]);
  }
  // No button became the default: Enter in a field presses none.
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->isDefault());
    EXPECT_FALSE(button->autoDefault());
  }
  dialogs = FakeDialogs();
  control<QWidget>("txtfilepath")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(Effect(*window, dialogs, runJobs), "1 rows, 0 run;");
}

TEST_F(KeyboardTest, AClickOrKeySwallowedDuringARunMovesNoFocus) {
  queue("/a/1.ppt", "/a/1.pdf");
  control<QWidget>("txtfilepath")->setFocus();
  std::string focusDuringRun;
  // Delivered as the windowing system delivers them: to the native window.
  const auto clickOn = [this](const char* name) {
    QWidget* target = control<QWidget>(name);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      target->mapTo(window.get(), target->rect().center()));
  };
  duringJob = [&] {
    clickOn("txtTo");
    clickOn("txtfilepathOutput");
    QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
    focusDuringRun = QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "";
  };
  click("cmdConvert");
  EXPECT_EQ(focusDuringRun, "cmdConvert");
  EXPECT_EQ(statuses(), Strings{"Completed"});
}

TEST_F(KeyboardTest, AMissingConverterEndsTheProgramWithItsOwnExitStatus) {
  queue("/a/1.ppt", "/a/1.pdf");
  outcomes["/a/1.ppt"] = "end program";
  click("cmdConvert");
  EXPECT_EQ(exitStatuses, std::vector<int>{ExitStatus::ConverterMissing});
}

}  // namespace
}  // namespace pelvantz::testing
