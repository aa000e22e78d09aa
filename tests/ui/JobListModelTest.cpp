// The list view's model over the real job list, checked by Qt's own model
// tester: every change must be announced the way views rely on.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QString>
#include <QStringList>

#include "MainWindowFixture.h"
#include "joblist/JobList.h"
#include "ui/JobListModel.h"

namespace pelvantz {
namespace {

QStringList* reported = nullptr;

void CollectReport(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (reported) reported->append(message);
}

TEST(JobListModelTest, ChangesReachViewsAsQtExpects) {
  testing::EnsureQtApplication();
  JobList jobs;
  JobListModel model(jobs);
  QStringList messages;
  reported = &messages;
  const QtMessageHandler previous = qInstallMessageHandler(CollectReport);
  {
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    jobs.AddCompleteListView("/a/One.ppt", "/a/One.pdf");
    jobs.AddCompleteListView("/a/Two.ppt", "/a/Two.pdf");
    jobs.SetJobStatus(2, "Completed");
    jobs.clear();
    jobs.AddCompleteListView("/b/Three.ppt", "/b/Three.pdf");
  }
  qInstallMessageHandler(previous);
  reported = nullptr;
  EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.index(0, JobListModel::FileColumn).data().toString(), "Three.ppt");
}

}  // namespace
}  // namespace pelvantz
