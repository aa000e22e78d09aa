#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MainWindowFixture.h"
#include "support/TempFolder.h"
#include "ui/Links.h"

namespace pelvantz {
namespace {

TEST(LinksTest, EachClickHandsOneTargetToTheShell) {
  testing::TempFolder appFolder;
  std::filesystem::create_directories(appFolder.path() / "help");
  std::ofstream(appFolder.path() / "help" / "pelvantz_PPT.html") << "<html></html>";
  const std::string helpPage = appFolder.str() + "/help/pelvantz_PPT.html";
  const std::string site = VendorSite;
  ASSERT_EQ(site.substr(site.size() - 8), ".example");

  struct Case {
    const char* link;
    std::function<void(Shell&)> click;
    std::string target;
  };
  const Case cases[] = {
      {"home", [](Shell& shell) { cmdHomeLink_Click(shell); }, site + "/default.aspx"},
      {"contact", [](Shell& shell) { cmdContactUs_Click(shell); }, site + "/frm_feedback.aspx?pg=1"},
      {"help", [&](Shell& shell) { cmdHelp_Click(shell, appFolder.str()); }, helpPage},
  };
  for (const Case& c : cases) {
    testing::RecordingShell shell;
    c.click(shell);
    c.click(shell);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{c.target, c.target})) << c.link;
  }
}

TEST(LinksTest, MissingHelpPageShowsNothing) {
  testing::TempFolder appFolder;
  testing::RecordingShell shell;
  cmdHelp_Click(shell, appFolder.str());
  EXPECT_TRUE(shell.opened.empty());
}

}  // namespace
}  // namespace pelvantz

namespace pelvantz::testing {
namespace {

TEST_F(MainWindowTest, ClicksOnTheLinkPicturesOpenTheirTargets) {
  std::filesystem::create_directories(folder.path() / "help");
  std::ofstream(folder.path() / "help" / "pelvantz_PPT.html") << "<html></html>";
  open();
  window->show();
  for (const char* link : {"cmdHomeLink", "cmdContactUs", "cmdHelp"}) {
    QTest::mouseClick(control<QWidget>(link), Qt::LeftButton, {}, QPoint(20, 20));
  }
  EXPECT_EQ(shell.opened, (std::vector<std::string>{std::string(VendorSite) + "/default.aspx",
                                                    std::string(VendorSite) + "/frm_feedback.aspx?pg=1",
                                                    folder.str() + "/help/pelvantz_PPT.html"}));
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace pelvantz::testing
