// A finished row says why, in its tooltip and accessible description: the
// real window converting with the real office and Ghostscript.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QToolTip>
#include <QTreeView>

#include "DesktopWindow.h"
#include "support/TempFolder.h"

namespace pelvantz::testing {
namespace {

namespace fs = std::filesystem;

// Hovers the row as the user does and returns the tooltip that appears.
QString HoverTooltip(QTreeView& view, int row) {
  const QRect cell = view.visualRect(view.model()->index(row, 0));
  QTest::mouseMove(view.viewport(), cell.center());
  QHelpEvent hover(QEvent::ToolTip, cell.center(), view.viewport()->mapToGlobal(cell.center()));
  QApplication::sendEvent(view.viewport(), &hover);
  WaitFor([] { return QToolTip::isVisible(); }, 5);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST(RowReasonTest, AFailedRowSaysWhyWhereTheUserLooks) {
  TempFolder out;
  OfficeTimeLimits stalled;
  stalled.load = std::chrono::seconds(0);  // the office is stopped the moment it starts loading
  stalled.loadPerMegabyte = std::chrono::seconds(0);
  const fs::path missingFolder = out.path() / "no such folder";
  const struct {
    const char* situation;
    fs::path source;
    fs::path target;
    OfficeTimeLimits limits;
    std::string reason;
  } cases[] = {
      {"encrypted deck",
       Corpus() / "oletools/encrypted.ppt",
       out.path() / "encrypted.pdf",
       {},
       "The presentation cannot be opened: it is protected by a password."},
      {"damaged file",
       Corpus() / "mimetype/ppt.ppt",
       out.path() / "ppt.pdf",
       {},
       "The presentation cannot be opened: the file is damaged."},
      {"missing target folder",
       Corpus() / "mscfb/test.ppt",
       missingFolder / "test.pdf",
       {},
       "The PDF cannot be written to \"" + (missingFolder / "test.pdf").string() + "\": the folder \"" +
           missingFolder.string() + "\" does not exist."},
      {"office timed out", Corpus() / "mscfb/test.ppt", out.path() / "test.pdf", stalled,
       "The office stopped responding after 0 s and was stopped."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.situation);
    DesktopWindow desktop(c.limits);
    ASSERT_TRUE(desktop.showActive());
    desktop.queue(c.source.string(), c.target.string());
    desktop.click("cmdConvert");
    auto* view = desktop.control<QTreeView>("lvwGeneral");
    const QModelIndex status = view->model()->index(0, 3);
    EXPECT_EQ(status.data().toString(), "Failed");
    const QString expected =
        QString::fromStdString(c.reason + "\nSource: " + c.source.string() + "\nTarget: " + c.target.string());
    EXPECT_EQ(HoverTooltip(*view, 0), expected);
    EXPECT_EQ(status.data(Qt::AccessibleDescriptionRole).toString(), expected);
    EXPECT_EQ(desktop.endProgramCalls, 0);
    QToolTip::hideText();
  }
}

}  // namespace
}  // namespace pelvantz::testing
