// The window as it opens: controls, captions, starting state, focus order and
// the job list's columns.
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

#include "MainWindowFixture.h"

namespace pelvantz::testing {
namespace {

QStringList Entries(const QComboBox* box) {
  QStringList entries;
  for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
  return entries;
}

// The window's position of a control, in pixels.
QRect WindowPlace(const QWidget* control) {
  return QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size());
}

TEST_F(MainWindowTest, OpensWithTheDesignedStartingState) {
  open();
  EXPECT_EQ(window->windowTitle(), "Pelvantz - Powerpoint to PDF Converter");
  EXPECT_EQ(window->size(), QSize(653, 440));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(text("txtfilepath"), "");
  EXPECT_EQ(text("txtfilepathOutput"), "");
  EXPECT_EQ(control<QComboBox>("cboOutputType")->currentText(), "Slides");
  EXPECT_EQ(control<QComboBox>("cboPaperSize")->currentText(), "A3");
  EXPECT_TRUE(control<QRadioButton>("optLandscape")->isChecked());
  EXPECT_FALSE(control<QRadioButton>("optPotrait")->isChecked());
  EXPECT_TRUE(control<QCheckBox>("chkFitToPage")->isChecked());
  EXPECT_FALSE(control<QCheckBox>("chkComments")->isChecked());
  EXPECT_TRUE(control<QRadioButton>("chkAllPages")->isChecked());
  EXPECT_FALSE(control<QRadioButton>("chkFromTo")->isChecked());
  EXPECT_EQ(text("txtFrom"), "1");
  EXPECT_EQ(text("txtTo"), "2");
  EXPECT_FALSE(control<QLineEdit>("txtFrom")->isEnabled());
  EXPECT_FALSE(control<QLineEdit>("txtTo")->isEnabled());
  EXPECT_TRUE(control<QCheckBox>("chkOpenDocEditing")->isChecked());  // Launch is 1 after loading
  EXPECT_EQ(window->jobs().count(), 0);
}

TEST_F(MainWindowTest, StartingStateFollowsTheSettings) {
  struct Case {
    int16_t convertPageFrom;
    int16_t launch;
    std::string pageRange;
    bool rangeSelected;
    bool openTicked;
  };
  for (const Case& c : {Case{0, 0, "1", false, false}, Case{1, 2, "7", true, true}, Case{-3, 1, "", true, true}}) {
    settings.settings().ConvertPageFrom = c.convertPageFrom;
    settings.settings().Launch = c.launch;
    settings.settings().PageRange = c.pageRange;
    open();
    SCOPED_TRACE(c.convertPageFrom);
    EXPECT_EQ(control<QRadioButton>("chkFromTo")->isChecked(), c.rangeSelected);
    EXPECT_EQ(control<QRadioButton>("chkAllPages")->isChecked(), !c.rangeSelected);
    EXPECT_EQ(control<QLineEdit>("txtFrom")->isEnabled(), c.rangeSelected);
    EXPECT_EQ(control<QLineEdit>("txtTo")->isEnabled(), c.rangeSelected);
    EXPECT_EQ(text("txtFrom").toStdString(), c.pageRange);
    EXPECT_EQ(text("txtTo"), "2");
    EXPECT_EQ(control<QCheckBox>("chkOpenDocEditing")->isChecked(), c.openTicked);
  }
}

TEST_F(MainWindowTest, ControlsHaveTheirCaptionsAndPlaces) {
  open();
  struct Case {
    const char* name;
    const char* caption;
    QRect place;  // in the window, pixels
  };
  // picMain sits at (-22, -12); Frame2 at (30, 92) in it.
  const std::vector<Case> cases = {
      {"cmdBrowse", "&Browse", QRect(-22 + 30 + 540, -12 + 92 + 26, 83, 25)},
      {"cmdBrowseOutput", "B&rowse", QRect(-22 + 30 + 540, -12 + 92 + 66, 83, 25)},
      {"cmdAddToList", "&Add to List", QRect(-22 + 30 + 452, -12 + 92 + 98, 83, 25)},
      {"cmdClear", "&Clear List", QRect(-22 + 30 + 542, -12 + 92 + 98, 83, 25)},
      {"cmdConvert", "&Convert", QRect(-22 + 490, -12 + 418, 83, 25)},
      {"cmdClose", "&Close", QRect(-22 + 582, -12 + 418, 83, 25)},
      {"chkOpenDocEditing", "Open After Conversion Done", QRect(-22 + 436, -12 + 378, 211, 13)},
      {"optLandscape", "Landscape", QRect(-22 + 30 + 174 + 12, -12 + 92 + 218 + 14, 91, 17)},
      {"optPotrait", "Potrait", QRect(-22 + 30 + 174 + 122, -12 + 92 + 218 + 14, 77, 19)},
      {"chkFitToPage", "Fit To Page", QRect(-22 + 30 + 412, -12 + 92 + 226, 135, 15)},
      {"chkComments", "Print Comments", QRect(-22 + 30 + 412, -12 + 92 + 246, 117, 15)},
      {"chkAllPages", "All Pages", QRect(-22 + 42 + 10, -12 + 310 + 14, 77, 19)},
      {"chkFromTo", "Select Page Range", QRect(-22 + 42 + 10, -12 + 310 + 34, 131, 17)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* button = control<QAbstractButton>(c.name);
    EXPECT_EQ(button->text(), c.caption);
    EXPECT_EQ(WindowPlace(button), c.place);
  }
  const std::vector<std::pair<const char*, const char*>> labels = {{"Label12", "Select Source File:"},
                                                                   {"Label11", "Select Target Location:"},
                                                                   {"Label3", "Output Type:"},
                                                                   {"Label8", "Paper Size:"},
                                                                   {"Label4", "From"},
                                                                   {"Label2", "To"}};
  for (const auto& [name, caption] : labels) EXPECT_EQ(control<QLabel>(name)->text(), caption) << name;
  EXPECT_EQ(control<QGroupBox>("Frame2")->title(), "Select File:");
  EXPECT_EQ(control<QGroupBox>("Frame1")->title(), "Print Size");
  EXPECT_EQ(control<QGroupBox>("Frame3")->title(), "Print Range");
  EXPECT_EQ(control<QWidget>("picMain")->geometry(), QRect(-22, -12, 700, 500));
  EXPECT_EQ(control<QLabel>("cmdHomeLink")->toolTip(), "Quillborn Home Page");
  EXPECT_EQ(control<QLabel>("cmdContactUs")->toolTip(), "Contact Us");
  EXPECT_EQ(control<QLabel>("cmdHelp")->toolTip(), "Help");
  EXPECT_EQ(control<QLineEdit>("txtFrom")->maxLength(), 3);
  EXPECT_EQ(control<QLineEdit>("txtTo")->maxLength(), 3);
}

TEST_F(MainWindowTest, FontsStandInForTheDesignedOnes) {
  open();
  struct Case {
    const char* name;
    const char* family;
    qreal points;
    bool bold;
  };
  for (const Case& c :
       {Case{"Label12", "DejaVu Sans", 8.25, false}, Case{"chkAllPages", "DejaVu Sans", 8.25, false},
        Case{"txtFrom", "DejaVu Sans", 8.25, false}, Case{"txtfilepath", "DejaVu Sans", 8.25, false},
        Case{"cmdConvert", "Liberation Sans", 9, true}, Case{"Frame2", "Liberation Sans", 8.25, true},
        Case{"Frame1", "Liberation Sans", 8.25, false}, Case{"txtfilepathOutput", "Liberation Sans", 8.25, false},
        Case{"cboPaperSize", "Liberation Sans", 8.25, false}}) {
    SCOPED_TRACE(c.name);
    const QFont font = control<QWidget>(c.name)->font();
    EXPECT_EQ(font.family(), c.family);
    EXPECT_DOUBLE_EQ(font.pointSizeF(), c.points);
    EXPECT_EQ(font.bold(), c.bold);
    EXPECT_EQ(QFontInfo(font).family(), c.family);  // installed, not substituted
  }
}

TEST_F(MainWindowTest, PrintRangeFrameLiesAboveTheSelectionFrame) {
  open();
  auto* picMain = control<QWidget>("picMain");
  auto* frame3 = control<QWidget>("Frame3");
  const QPoint inside = frame3->geometry().center();
  QWidget* shown = picMain->childAt(inside);
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(shown == frame3 || frame3->isAncestorOf(shown)) << shown->objectName().toStdString();
  EXPECT_TRUE(control<QWidget>("Frame2")->geometry().contains(inside));
}

TEST_F(MainWindowTest, DropDownListsHoldExactlyTheirEntries) {
  open();
  auto* outputType = control<QComboBox>("cboOutputType");
  auto* paperSize = control<QComboBox>("cboPaperSize");
  EXPECT_EQ(Entries(outputType),
            QStringList({"Slides", "Notes", "Outline", "1 Slide Handouts", "2 Slide Handouts", "3 Slide Handouts",
                         "4 Slide Handouts", "6 Slide Handouts", "9 Slide Handouts"}));
  EXPECT_EQ(Entries(paperSize), QStringList({"A3", "A4", "35MM", "Letter", "Invoice", "Banner"}));
  EXPECT_FALSE(outputType->isEditable());
  EXPECT_FALSE(paperSize->isEditable());
}

TEST_F(MainWindowTest, TabVisitsTheControlsInTheDesignedOrder) {
  open();
  const std::vector<std::string> expected = {
      "txtfilepath",  "txtfilepathOutput", "chkAllPages",   "chkFromTo",    "txtFrom",
      "txtTo",        "chkOpenDocEditing", "optPotrait",    "optLandscape", "cboPaperSize",
      "chkFitToPage", "chkComments",       "cboOutputType", "cmdBrowse",    "cmdBrowseOutput",
      "cmdClear",     "cmdAddToList",      "cmdClose",      "cmdConvert",   "lvwGeneral"};
  std::vector<std::string> chain;
  QWidget* first = control<QWidget>("txtfilepath");
  QWidget* widget = first;
  do {
    const std::string name = widget->objectName().toStdString();
    if (std::find(expected.begin(), expected.end(), name) != expected.end()) chain.push_back(name);
    widget = widget->nextInFocusChain();
  } while (widget != first && chain.size() < expected.size());
  EXPECT_EQ(chain, expected);
  showActive();
  EXPECT_EQ(QApplication::focusWidget(), first);
}

TEST_F(MainWindowTest, JobListShowsNameAndStatusWithThePathsHidden) {
  open();
  auto* view = control<QTreeView>("lvwGeneral");
  QHeaderView* header = view->header();
  EXPECT_EQ(header->sectionSize(0), 467);
  EXPECT_EQ(header->sectionSize(1), 0);
  EXPECT_EQ(header->sectionSize(2), 0);
  EXPECT_EQ(header->sectionSize(3), 133);
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(header->sectionResizeMode(column), QHeaderView::Fixed) << column;
  }
  EXPECT_FALSE(header->sectionsClickable());
  const QStringList captions = {"Powerpoint File", "Source Location", "Target Location", "Status"};
  for (int column = 0; column < 4; ++column) {
    EXPECT_EQ(view->model()->headerData(column, Qt::Horizontal).toString(), captions[column]);
  }
  queue("/talks/Q3.ppt", "/out/Q3.pdf");
  EXPECT_EQ(view->model()->rowCount(), 1);
  EXPECT_EQ(view->model()->index(0, 0).data().toString(), "Q3.ppt");
  EXPECT_EQ(view->model()->index(0, 1).data().toString(), "/talks/Q3.ppt");
  EXPECT_EQ(view->model()->index(0, 2).data().toString(), "/out/Q3.pdf");
  EXPECT_EQ(view->model()->index(0, 3).data().toString(), "");
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(20, header->height() / 2));
  EXPECT_EQ(header->sectionSize(1), 0);
  EXPECT_EQ(view->model()->index(0, 0).data().toString(), "Q3.ppt");
}

}  // namespace
}  // namespace pelvantz::testing
