// The Qt message boxes and pointer as a conversion on a worker thread uses
// them: real widgets, answered by clicking their buttons.
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <thread>

#include <gtest/gtest.h>

#include "base/RuntimeFailure.h"
#include "platform/qt/QtCursor.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/UiThread.h"

namespace pelvantz::testing {
namespace {

// Answers the next message box with the given button, once it shows.
void AnswerNextBox(QMessageBox::StandardButton answer, QString* seenText, QString* seenTitle, bool* yesIsDefault) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return AnswerNextBox(answer, seenText, seenTitle, yesIsDefault);
    *seenText = box->text();
    *seenTitle = box->windowTitle();
    *yesIsDefault = box->defaultButton() == box->button(QMessageBox::Yes);
    box->button(answer)->click();
  });
}

TEST(QtPlatformTest, AMessageFromAWorkerThreadIsShownByTheUiThread) {
  QtDialogs dialogs;
  for (const auto answer : {QMessageBox::Yes, QMessageBox::No}) {
    QString text;
    QString title;
    bool yesIsDefault = false;
    AnswerNextBox(answer, &text, &title, &yesIsDefault);
    MessageAnswer result = MessageAnswer::Ok;
    bool done = false;
    std::thread worker([&] {
      result = dialogs.showMessage("Go on?", MessageIcon::Question, MessageButtons::YesNo, "A title");
      QMetaObject::invokeMethod(
          qApp, [&] { done = true; }, Qt::QueuedConnection);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }));
    worker.join();
    EXPECT_EQ(result, answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No);
    EXPECT_EQ(text, "Go on?");
    EXPECT_EQ(title, "A title");
    EXPECT_TRUE(yesIsDefault);
  }
}

TEST(QtPlatformTest, AFailureOnTheUiThreadReachesTheCaller) {
  bool caught = false;
  bool done = false;
  std::thread worker([&] {
    try {
      RunOnUiThread([] { throw RuntimeFailure(ErrorNumber::FileAccess, "no access"); });
    } catch (const RuntimeFailure& failure) {
      caught = failure.number() == ErrorNumber::FileAccess;
    }
    QMetaObject::invokeMethod(
        qApp, [&] { done = true; }, Qt::QueuedConnection);
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done; }));
  worker.join();
  EXPECT_TRUE(caught);
}

TEST(QtPlatformTest, ThePointerIsBusyOrDefaultNotAStack) {
  QtCursor cursor;
  cursor.setBusy();
  cursor.setBusy();
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  cursor.setDefault();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  cursor.setDefault();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtPlatformTest, AQuestionInABusyRunShowsTheOrdinaryPointer) {
  QtCursor cursor;
  QtDialogs dialogs;
  cursor.setBusy();
  Qt::CursorShape shapeWhileAsking = Qt::WaitCursor;
  QTimer::singleShot(0, [&] {
    shapeWhileAsking = QGuiApplication::overrideCursor()->shape();
    QApplication::activeModalWidget()->close();
  });
  dialogs.showMessage("Done printing?", MessageIcon::Information, MessageButtons::Ok, "pelvantz");
  EXPECT_EQ(shapeWhileAsking, Qt::ArrowCursor);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  cursor.setDefault();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtPlatformTest, FileDialogFilterNamesItsPatternOnce) {
  FileDialogRequest request;
  request.filterDescription = "Microsoft Powerpoint (*.ppt)";
  request.filterPattern = "*.ppt";
  EXPECT_EQ(FileDialogFilter(request), "Microsoft Powerpoint (*.ppt)");
  request.filterDescription = "PDF File";
  request.filterPattern = "*.pdf";
  EXPECT_EQ(FileDialogFilter(request), "PDF File (*.pdf)");
}

}  // namespace
}  // namespace pelvantz::testing
