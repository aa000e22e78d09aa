// The theme's operations over a window built with the main window's control
// names and kinds, for what the real window's load cannot show: colour text
// that is no number, and each way a picture can fail to load.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <memory>

#include "MainWindowFixture.h"
#include "support/TempFolder.h"
#include "ui/Theme.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

const QColor Design(239, 240, 244);

template <typename Control>
Control* Add(QWidget* parent, const char* name, QRect place, const QString& caption = {}) {
  auto* control = new Control(parent);
  control->setObjectName(name);
  control->setGeometry(place);
  if constexpr (std::is_base_of_v<QAbstractButton, Control> || std::is_same_v<Control, QLabel>) {
    control->setText(caption);
  }
  if constexpr (std::is_same_v<Control, QGroupBox>) control->setTitle(caption);
  return control;
}

// The main window's controls, by name and kind, at their design places.
std::unique_ptr<QWidget> MakeWindow() {
  auto window = std::make_unique<QWidget>();
  window->resize(653, 440);
  QPalette design = window->palette();
  design.setColor(QPalette::Window, Design);
  window->setPalette(design);
  auto* picMain = Add<QWidget>(window.get(), "picMain", {-22, -12, 700, 500});
  Add<QLabel>(picMain, "Image1", {40, 20, 187, 55});
  Add<QLabel>(picMain, "cmdHomeLink", {504, 46, 75, 75});
  Add<QLabel>(picMain, "cmdContactUs", {565, 46, 77, 75});
  Add<QLabel>(picMain, "cmdHelp", {626, 46, 76, 75});
  auto* line1 = Add<QFrame>(picMain, "Line1", {50, 96, 630, 2});
  line1->setFrameShape(QFrame::HLine);
  auto* frame2 = Add<QGroupBox>(picMain, "Frame2", {52, 104, 637, 313}, "Select File:");
  Add<QLabel>(frame2, "Label12", {8, 14, 107, 13}, "Select Source File:");
  Add<QLineEdit>(frame2, "txtfilepath", {8, 28, 515, 23});
  Add<QPushButton>(frame2, "cmdBrowse", {540, 26, 83, 25}, "&Browse");
  Add<QLabel>(frame2, "Label11", {8, 54, 132, 13}, "Select Target Location:");
  Add<QLineEdit>(frame2, "txtfilepathOutput", {10, 68, 511, 23});
  Add<QPushButton>(frame2, "cmdBrowseOutput", {540, 66, 83, 25}, "B&rowse");
  Add<QPushButton>(frame2, "cmdAddToList", {452, 98, 83, 25}, "&Add to List");
  Add<QPushButton>(frame2, "cmdClear", {542, 98, 83, 25}, "&Clear List");
  Add<QTreeWidget>(frame2, "lvwGeneral", {12, 128, 610, 84});
  auto* frame1 = Add<QGroupBox>(frame2, "Frame1", {174, 218, 227, 83}, "Print Size");
  Add<QRadioButton>(frame1, "optLandscape", {12, 14, 91, 17}, "Landscape");
  Add<QRadioButton>(frame1, "optPotrait", {122, 14, 77, 19}, "Potrait");
  Add<QLabel>(frame1, "Label3", {14, 38, 75, 13}, "Output Type:");
  Add<QComboBox>(frame1, "cboOutputType", {100, 34, 101, 21});
  Add<QLabel>(frame1, "Label8", {14, 62, 66, 13}, "Paper Size:");
  Add<QComboBox>(frame1, "cboPaperSize", {100, 58, 101, 21});
  Add<QCheckBox>(frame2, "chkFitToPage", {412, 226, 135, 15}, "Fit To Page");
  Add<QCheckBox>(frame2, "chkComments", {412, 246, 117, 15}, "Print Comments");
  auto* frame3 = Add<QGroupBox>(picMain, "Frame3", {42, 310, 159, 83}, "Print Range");
  Add<QRadioButton>(frame3, "chkAllPages", {10, 14, 77, 19}, "All Pages");
  Add<QRadioButton>(frame3, "chkFromTo", {10, 34, 131, 17}, "Select Page Range");
  Add<QLabel>(frame3, "Label4", {28, 54, 29, 13}, "From");
  Add<QLineEdit>(frame3, "txtFrom", {64, 52, 29, 19});
  Add<QLabel>(frame3, "Label2", {96, 54, 14, 13}, "To");
  Add<QLineEdit>(frame3, "txtTo", {118, 52, 31, 19});
  Add<QCheckBox>(picMain, "chkOpenDocEditing", {436, 378, 211, 13}, "Open After Conversion Done");
  auto* line3 = Add<QFrame>(picMain, "Line3", {26, 410, 646, 2});
  line3->setFrameShape(QFrame::HLine);
  Add<QPushButton>(picMain, "cmdConvert", {490, 418, 83, 25}, "&Convert");
  Add<QPushButton>(picMain, "cmdClose", {582, 418, 83, 25}, "&Close");
  return window;
}

QWidget& Control(QWidget& window, const char* name) {
  auto* control = window.findChild<QWidget*>(name);
  if (!control) throw std::runtime_error(std::string("no control ") + name);
  return *control;
}

QColor Colour(QWidget& window, const char* name, QPalette::ColorRole role) {
  return name ? Control(window, name).palette().color(role) : window.palette().color(role);
}

bool HasPicture(QWidget& window, const char* name) {
  auto* label = qobject_cast<QLabel*>(&Control(window, name));
  return label && !label->pixmap().isNull();
}

class ThemeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQtApplication();
    CopyShippedPictures();
    window = MakeWindow();
  }

  void CopyShippedPictures() {
    fs::create_directories(appFolder.path() / "images");
    for (const char* picture : {"home.gif", "faq.gif", "pelvant.gif", "contact.gif"}) {
      fs::copy_file(fs::path(PELVANTZ_TEST_APP_DIR) / "images" / picture, appFolder.path() / "images" / picture,
                    fs::copy_options::overwrite_existing);
    }
  }

  // The load's theme step.
  void ApplyTheme(const QString& back = ThemeBackColor, const QString& text = ThemeTextColor) {
    DoColorChange(*window, back);
    DoForeColorChange(*window, text, QString::fromStdString(appFolder.str()));
  }

  testing::TempFolder appFolder;
  std::unique_ptr<QWidget> window;
};

TEST_F(ThemeTest, TextThatIsNoNumberLeavesTheDesignColoursAndStillLoadsPictures) {
  const QPalette before = Control(*window, "Frame2").palette();
  ApplyTheme("pale green", "16384x");
  for (const char* name : {"Frame2", "chkAllPages", "cmdConvert", "Label12", "lvwGeneral"}) {
    for (const auto role : {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Button}) {
      EXPECT_EQ(Colour(*window, name, role), before.color(role)) << name << " role " << role;
    }
  }
  EXPECT_TRUE(HasPicture(*window, "cmdContactUs"));
}

TEST_F(ThemeTest, PicturesAreShownAtTheirOwnSize) {
  ApplyTheme();
  struct Picture {
    const char* control;
    QSize size;
  };
  for (const Picture& picture : {Picture{"cmdHomeLink", {75, 75}}, Picture{"cmdHelp", {76, 75}},
                                 Picture{"Image1", {187, 55}}, Picture{"cmdContactUs", {77, 75}}}) {
    auto& label = static_cast<QLabel&>(Control(*window, picture.control));
    ASSERT_TRUE(HasPicture(*window, picture.control)) << picture.control;
    EXPECT_EQ(label.pixmap().size(), picture.size) << picture.control;
    EXPECT_EQ(label.size(), picture.size) << picture.control;
    EXPECT_FALSE(label.hasScaledContents()) << picture.control;
  }
  EXPECT_EQ(Control(*window, "cmdHelp").pos(), QPoint(626, 46)) << "top-left stays in place";
}

TEST_F(ThemeTest, FirstPictureThatCannotBeLoadedEndsTheLoading) {
  struct Case {
    const char* damage;  // the picture that cannot be loaded
    bool unreadable;     // present but no picture, rather than missing
    std::vector<const char*> shown, empty;
  };
  const Case cases[] = {
      {"faq.gif", false, {"cmdHomeLink"}, {"cmdHelp", "Image1", "cmdContactUs"}},
      {"pelvant.gif", true, {"cmdHomeLink", "cmdHelp"}, {"Image1", "cmdContactUs"}},
      {"home.gif", false, {}, {"cmdHomeLink", "cmdHelp", "Image1", "cmdContactUs"}},
  };
  for (const Case& c : cases) {
    CopyShippedPictures();
    window = MakeWindow();
    const fs::path damaged = appFolder.path() / "images" / c.damage;
    fs::remove(damaged);
    if (c.unreadable) std::ofstream(damaged) << "not a picture";
    SetImages(*window, QString::fromStdString(appFolder.str()));
    for (const char* name : c.shown) EXPECT_TRUE(HasPicture(*window, name)) << c.damage << ": " << name;
    for (const char* name : c.empty) EXPECT_FALSE(HasPicture(*window, name)) << c.damage << ": " << name;
  }
}

}  // namespace
}  // namespace pelvantz
