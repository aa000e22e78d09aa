#include "engine/PrinterCheck.h"

#include <gtest/gtest.h>

#include "base/RuntimeFailure.h"
#include "core/ErrorHandler.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"

namespace pelvantz {
namespace {

using testing::IdleCursor;

// A system that reports the given version, or fails while asked.
class ReportedVersion : public SystemVersion {
 public:
  ReportedVersion(uint32_t platform, uint32_t major, uint32_t minor)
      : platform_(platform), major_(major), minor_(minor) {}
  bool query(OsVersionInfo& info) override {
    if (platform_ == Throws) throw RuntimeFailure(ErrorNumber::Overflow, "overflow");
    info.platformId = platform_;
    info.majorVersion = major_;
    info.minorVersion = minor_;
    return true;
  }
  static constexpr uint32_t Throws = 99;

 private:
  uint32_t platform_, major_, minor_;
};

constexpr const char* Install95 =
    "Please install 'HP Color LaserJet 5/5M PS' printer driver with default name from Windows CD.";
constexpr const char* Install98 =
    "Please install 'HP Color LaserJet 5/5M PS' printer driver with all default name from Windows CD.";
constexpr const char* NoDriver = "NO PostScript Printer Driver Found.";

TEST(PrinterCheckTest, ClassifiesEveryReportedVersion) {
  const struct {
    uint32_t platform, major, minor;
    const char* expected;
  } rows[] = {
      {1, 4, 0, "95"},    {1, 4, 10, "98"},  {1, 4, 90, "ME"}, {1, 7, 10, "98"},    {1, 4, 20, ""},
      {2, 3, 51, "3.51"}, {2, 3, 0, "3.51"}, {2, 4, 0, "4.0"}, {2, 5, 0, "2000"},   {2, 5, 1, "WinXP/.NET Server"},
      {2, 5, 2, ""},      {2, 6, 1, ""},     {2, 10, 0, ""},   {0, 5, 1, "Failed"}, {3, 5, 1, "Failed"},
  };
  testing::FakeDialogs dialogs;
  IdleCursor cursor;
  ErrorHandler errors(dialogs, cursor, "");
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.platform) + "." + std::to_string(row.major) + "." + std::to_string(row.minor));
    ReportedVersion system(row.platform, row.major, row.minor);
    EXPECT_EQ(GetSystemVersion(system, errors), row.expected);
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(PrinterCheckTest, LinuxReportsNoWindowsVersion) {
  testing::FakeDialogs dialogs;
  IdleCursor cursor;
  ErrorHandler errors(dialogs, cursor, "");
  LinuxSystemVersion system;
  EXPECT_EQ(GetSystemVersion(system, errors), "Failed");
}

TEST(PrinterCheckTest, AFailureWhileAskingGoesToTheHandlerAndGivesTheEmptyClass) {
  testing::FakeDialogs dialogs;
  IdleCursor cursor;
  ErrorHandler errors(dialogs, cursor, "");
  ReportedVersion system(ReportedVersion::Throws, 0, 0);
  EXPECT_EQ(GetSystemVersion(system, errors), "");
  ASSERT_EQ(dialogs.messages.size(), 1u);  // error 6 is one the handler shows
  EXPECT_EQ(dialogs.messages[0].text, "Error: OverFlow of Controls.\r\nYou have exceeded the control limits.");
}

TEST(PrinterCheckTest, DecidesByClassWhetherTheJobGoesOn) {
  const std::vector<std::string> legacy = {"Fax", "HP Color LaserJet 5/5M PS"};
  const std::vector<std::string> copied = {"HP Color LaserJet 5/5M PS (Copy 1)", "pelvantz"};
  const std::vector<std::string> ours = {"Fax", "pelvantz"};
  const std::vector<std::string> none;
  const struct {
    const char* versionClass;
    const char* activePrinter;
    std::vector<std::string> installed;
    bool goOn;
    const char* message;  // nullptr: none shown
  } rows[] = {
      {"95", "pelvantz", legacy, true, nullptr},
      {"95", "pelvantz", copied, false, Install95},
      {"98", "pelvantz", legacy, true, nullptr},
      {"98", "HP Color LaserJet 5/5M PS (Copy 1)", copied, false, Install98},
      {"ME", "pelvantz", legacy, true, nullptr},
      {"ME", "pelvantz", ours, false, Install95},
      {"4.0", "pelvantz", legacy, true, nullptr},
      {"4.0", "pelvantz", none, false, Install95},
      {"2000", "Fax", ours, true, nullptr},
      {"2000", "pelvantz", legacy, true, nullptr},
      {"WinXP/.NET Server", "Fax", ours, true, nullptr},
      {"WinXP/.NET Server", "pelvantz", none, true, nullptr},
      // Elsewhere PowerPoint's own printer is looked for; the notice means it is missing.
      {"3.51", "Fax", ours, true, nullptr},
      {"3.51", "pelvantz", legacy, true, NoDriver},
      {"Failed", "pelvantz", ours, true, nullptr},
      {"Failed", "pelvantz", none, true, NoDriver},
      {"", "pelvantz", ours, true, nullptr},
      {"", "PELVANTZ", ours, true, NoDriver},
      {"", "", none, true, NoDriver},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.versionClass) + " / " + row.activePrinter);
    testing::FakeDialogs dialogs;
    EXPECT_EQ(CheckPostScriptPrinter(row.versionClass, row.activePrinter, row.installed, dialogs), row.goOn);
    ASSERT_EQ(dialogs.messages.size(), row.message ? 1u : 0u);
    if (!row.message) continue;
    EXPECT_EQ(dialogs.messages[0].text, row.message);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(dialogs.messages[0].title, "pelvantz");
  }
}

}  // namespace
}  // namespace pelvantz
