// The theme as the main window's load applies it, over the real window.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <filesystem>

#include "MainWindowFixture.h"

namespace pelvantz::testing {
namespace {

namespace fs = std::filesystem;

const QColor Back(157, 223, 160);
const QColor Text(0, 64, 0);

class ThemeMainWindowTest : public MainWindowTest {
 protected:
  // The shipped pictures, less the ones named.
  void shipPictures(std::initializer_list<const char*> missing = {}) {
    fs::create_directories(folder.path() / "images");
    for (const char* picture : {"home.gif", "faq.gif", "pelvant.gif", "contact.gif"}) {
      if (std::find(missing.begin(), missing.end(), std::string_view(picture)) != missing.end()) continue;
      fs::copy_file(fs::path(PELVANTZ_TEST_APP_DIR) / "images" / picture, folder.path() / "images" / picture);
    }
  }
  QColor colour(const char* name, QPalette::ColorRole role) {
    return name ? control<QWidget>(name)->palette().color(role) : window->palette().color(role);
  }
  QColor paintedAt(const char* name, QPoint point) {
    QWidget* widget = control<QWidget>(name);
    return window->grab().toImage().pixelColor(widget->mapTo(window.get(), point));
  }
  bool hasPicture(const char* name) { return !control<QLabel>(name)->pixmap().isNull(); }
};

TEST_F(ThemeMainWindowTest, LoadColoursTheListedControls) {
  shipPictures();
  const QColor systemText = QApplication::palette().color(QPalette::WindowText);
  const QColor systemButtonText = QApplication::palette().color(QPalette::ButtonText);
  open();
  struct Expectation {
    const char* control;  // nullptr: the window itself
    QPalette::ColorRole role;
    QColor colour;
  };
  const Expectation expectations[] = {
      {nullptr, QPalette::Window, Back},
      {nullptr, QPalette::WindowText, Text},
      {"picMain", QPalette::Window, Back},
      {"picMain", QPalette::WindowText, Text},
      {"Frame1", QPalette::Window, Back},
      {"Frame1", QPalette::Text, Text},
      {"Frame2", QPalette::Window, Back},
      {"Frame2", QPalette::Text, Text},
      {"Frame3", QPalette::Window, Back},
      {"Frame3", QPalette::Text, Text},
      {"chkAllPages", QPalette::Window, Back},
      {"chkAllPages", QPalette::WindowText, Text},
      {"chkFromTo", QPalette::Window, Back},
      {"chkFromTo", QPalette::WindowText, Text},
      {"chkOpenDocEditing", QPalette::Window, Back},
      {"chkOpenDocEditing", QPalette::WindowText, Text},
      {"chkComments", QPalette::Window, Back},
      {"chkComments", QPalette::WindowText, Text},
      {"chkFitToPage", QPalette::Window, Back},
      {"chkFitToPage", QPalette::WindowText, Text},
      {"optLandscape", QPalette::Window, Back},
      {"optLandscape", QPalette::WindowText, Text},
      {"optPotrait", QPalette::Window, Back},
      {"optPotrait", QPalette::WindowText, Text},
      {"Label11", QPalette::WindowText, Text},
      {"Label12", QPalette::WindowText, Text},
      {"Label2", QPalette::WindowText, Text},
      {"Label4", QPalette::WindowText, Text},
      {"Line3", QPalette::WindowText, Text},
      {"lvwGeneral", QPalette::Base, Back},
      {"lvwGeneral", QPalette::Text, Text},
      {"cmdConvert", QPalette::Button, Back},
      {"cmdClose", QPalette::Button, Back},
      {"cmdBrowse", QPalette::Button, Back},
      {"cmdBrowseOutput", QPalette::Button, Back},
      {"cmdAddToList", QPalette::Button, Back},
      {"cmdClear", QPalette::Button, Back},
      // Left alone: the system's colours stay.
      {"Label3", QPalette::WindowText, systemText},
      {"Label8", QPalette::WindowText, systemText},
      {"cmdConvert", QPalette::ButtonText, systemButtonText},
  };
  for (const auto& expected : expectations) {
    EXPECT_EQ(colour(expected.control, expected.role), expected.colour)
        << (expected.control ? expected.control : "window") << " role " << expected.role;
  }
}

TEST_F(ThemeMainWindowTest, ColoursArePainted) {
  shipPictures();
  open();
  window->show();
  EXPECT_EQ(paintedAt("Frame2", {400, 300}), Back) << "the frame's panel is not shaded";
  EXPECT_EQ(paintedAt("chkFitToPage", {control<QWidget>("chkFitToPage")->width() - 3, 7}), Back);
  EXPECT_EQ(paintedAt("cmdConvert", {8, 12}), Back);
  EXPECT_EQ(paintedAt("txtfilepath", {300, 12}), QColor(Qt::white)) << "text boxes keep their colours";
  bool lineInTextColour = false;
  for (int y = 0; y < control<QWidget>("Line3")->height(); ++y) {
    lineInTextColour |= paintedAt("Line3", {100, y}) == Text;
  }
  EXPECT_TRUE(lineInTextColour);
}

TEST_F(ThemeMainWindowTest, PicturesShowWhenAllArePresent) {
  shipPictures();
  open();
  for (const char* name : {"cmdHomeLink", "cmdHelp", "Image1", "cmdContactUs"}) {
    EXPECT_TRUE(hasPicture(name)) << name;
  }
  EXPECT_EQ(control<QLabel>("Image1")->pixmap().size(), QSize(187, 55));
}

TEST_F(ThemeMainWindowTest, MissingHelpPictureLeavesOnlyTheHomePicture) {
  shipPictures({"faq.gif"});
  open();
  EXPECT_TRUE(hasPicture("cmdHomeLink"));
  for (const char* name : {"cmdHelp", "Image1", "cmdContactUs"}) EXPECT_FALSE(hasPicture(name)) << name;
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace pelvantz::testing
