// The page-range controls of the real window: typed characters, the option
// buttons and the reset when the window becomes active again.
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "MainWindowFixture.h"

namespace pelvantz::testing {
namespace {

class PageRangeFieldsTest : public MainWindowTest {
 protected:
  // Shown first: becoming active for the first time sets the page mode.
  void SetUp() override {
    open();
    showActive();
    click("chkFromTo");
    ASSERT_TRUE(control<QLineEdit>("txtFrom")->isEnabled());
  }

  void activate(QWidget& other) {
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_TRUE(QTest::qWaitFor([&other] { return QApplication::activeWindow() == &other; }));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == window.get(); }));
  }
};

TEST_F(PageRangeFieldsTest, TypedCharactersPassTheFieldsRules) {
  struct Case {
    const char* field;
    const char* before;
    Qt::Key key;
    char typed;
    const char* after;
  };
  const std::vector<Case> cases = {
      {"txtFrom", "", Qt::Key_Minus, '-', ""},
      {"txtFrom", "", Qt::Key_Comma, ',', ""},
      {"txtFrom", "", Qt::Key_4, '4', "4"},
      {"txtFrom", "3", Qt::Key_Comma, ',', "3,"},
      {"txtFrom", "3", Qt::Key_Minus, '-', "3-"},
      {"txtFrom", "3,", Qt::Key_Comma, ',', "3,"},
      {"txtFrom", "3,", Qt::Key_Minus, '-', "3,"},
      {"txtFrom", "3-", Qt::Key_Minus, '-', "3-"},
      {"txtFrom", "3,", Qt::Key_5, '5', "3,5"},
      {"txtFrom", "3", Qt::Key_A, 'a', "3"},
      {"txtFrom", "3", Qt::Key_Space, ' ', "3"},
      {"txtFrom", "3", Qt::Key_Period, '.', "3"},
      {"txtFrom", "123", Qt::Key_4, '4', "123"},
      {"txtFrom", "123", Qt::Key_Backspace, '\b', "12"},
      {"txtTo", "", Qt::Key_X, 'x', ""},
      {"txtTo", "", Qt::Key_Minus, '-', "-"},
      {"txtTo", "", Qt::Key_7, '7', "7"},
      {"txtTo", "5", Qt::Key_X, 'x', "5x"},
      {"txtTo", "5x", Qt::Key_X, 'x', "5x"},
      {"txtTo", "5x", Qt::Key_Minus, '-', "5x-"},
      {"txtTo", "5", Qt::Key_Period, '.', "5."},
      {"txtTo", "999", Qt::Key_Minus, '-', "999"},
      {"txtTo", "999", Qt::Key_Backspace, '\b', "99"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " '" + c.before + "' + '" + c.typed + "'");
    auto* field = control<QLineEdit>(c.field);
    field->setText(QString::fromLatin1(c.before));
    field->setCursorPosition(field->text().size());
    QTest::keyClick(field, c.key, Qt::NoModifier);
    EXPECT_EQ(field->text(), QString::fromLatin1(c.after));
  }
}

TEST_F(PageRangeFieldsTest, TheRuleLooksAtTheEndOfTheTextWhereverTheCaretIs) {
  auto* from = control<QLineEdit>("txtFrom");
  from->setText("3,");
  from->setCursorPosition(0);
  QTest::keyClick(from, Qt::Key_Minus);
  EXPECT_EQ(from->text(), "3,");
  from->setText("34");
  from->setCursorPosition(1);
  QTest::keyClick(from, Qt::Key_Comma);
  EXPECT_EQ(from->text(), "3,4");
}

TEST_F(PageRangeFieldsTest, NavigationShortcutsAndPastingAreNotFiltered) {
  auto* from = control<QLineEdit>("txtFrom");
  auto* to = control<QLineEdit>("txtTo");
  from->setFocus();
  from->setText("12");

  QTest::keyClick(from, Qt::Key_Left);
  QTest::keyClick(from, Qt::Key_Delete);
  EXPECT_EQ(from->text(), "1");
  QTest::keyClick(from, Qt::Key_A, Qt::ControlModifier);  // select all
  QTest::keyClick(from, Qt::Key_9);
  EXPECT_EQ(from->text(), "9");
  QTest::keyClick(from, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), to);
  QTest::keyClick(to, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), from);

  QApplication::clipboard()->setText("a,b");
  from->clear();
  from->paste();
  EXPECT_EQ(from->text(), "a,b");
}

TEST_F(PageRangeFieldsTest, AllPagesDisablesTheFieldsAndKeepsTheirText) {
  settings.settings().ConvertPageFrom = 5;
  setText("txtFrom", "4");
  setText("txtTo", "9");
  click("chkAllPages");
  EXPECT_FALSE(control<QLineEdit>("txtFrom")->isEnabled());
  EXPECT_FALSE(control<QLineEdit>("txtTo")->isEnabled());
  EXPECT_EQ(text("txtFrom"), "4");
  EXPECT_EQ(text("txtTo"), "9");
  EXPECT_EQ(settings.settings().ConvertPageFrom, 0);
  EXPECT_FALSE(control<QRadioButton>("chkFromTo")->isChecked());

  click("chkFromTo");
  EXPECT_TRUE(control<QLineEdit>("txtFrom")->isEnabled());
  EXPECT_TRUE(control<QLineEdit>("txtTo")->isEnabled());
  EXPECT_EQ(text("txtFrom"), "4");
  EXPECT_EQ(text("txtTo"), "9");
  EXPECT_FALSE(control<QRadioButton>("chkAllPages")->isChecked());
}

TEST_F(PageRangeFieldsTest, ComingBackFromAnotherWindowResetsThePageMode) {
  ASSERT_TRUE(control<QRadioButton>("chkFromTo")->isChecked());
  QWidget other;
  activate(other);
  EXPECT_TRUE(control<QRadioButton>("chkAllPages")->isChecked());
  EXPECT_FALSE(control<QLineEdit>("txtFrom")->isEnabled());
  EXPECT_FALSE(control<QLineEdit>("txtTo")->isEnabled());
}

TEST_F(PageRangeFieldsTest, ComingBackFromADialogKeepsThePageMode) {
  QDialog dialog(window.get());
  activate(dialog);
  EXPECT_TRUE(control<QRadioButton>("chkFromTo")->isChecked());
  EXPECT_TRUE(control<QLineEdit>("txtTo")->isEnabled());
}

TEST_F(PageRangeFieldsTest, OpenAfterConversionFollowsTheUsersLastChoice) {
  auto* open = control<QCheckBox>("chkOpenDocEditing");
  QWidget other;
  click("chkOpenDocEditing");
  EXPECT_EQ(settings.settings().Launch, 0);
  activate(other);
  EXPECT_FALSE(open->isChecked());
  click("chkOpenDocEditing");
  EXPECT_EQ(settings.settings().Launch, 2);
  activate(other);
  EXPECT_TRUE(open->isChecked());
}

}  // namespace
}  // namespace pelvantz::testing
