// The real file dialogs insist that the chosen file's folder exists.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/qt/QtDialogs.h"
#include "support/TempFolder.h"

namespace pelvantz::testing {
namespace {

// Answers whatever modal window comes up next, one step at a time.
class ModalScript {
 public:
  explicit ModalScript(std::vector<std::function<bool(QWidget&)>> steps) : steps_(std::move(steps)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { answerNext(); });
    timer_.start(20);
  }

 private:
  void answerNext() {
    QWidget* modal = QApplication::activeModalWidget();
    if (next_ < steps_.size() && modal && steps_[next_](*modal)) ++next_;
  }
  std::vector<std::function<bool(QWidget&)>> steps_;
  std::size_t next_ = 0;
  QTimer timer_;
};

// Types the path into the dialog's file name box and presses Enter.
void TypeFileName(QFileDialog& dialog, const QString& path) {
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(name, nullptr);
  name->setText(path);
  QTest::keyClick(name, Qt::Key_Return);
}

TEST(QtDialogsFileTest, APathInAMissingFolderIsRefusedAndTheDialogStaysOpen) {
  TempFolder folder;
  const QString missing = QString::fromStdString((folder.path() / "no such folder" / "talk.pdf").string());
  const QString existing = QString::fromStdString((folder.path() / "talk.pdf").string());
  QString refusal;
  for (const bool save : {true, false}) {
    SCOPED_TRACE(save ? "save dialog" : "open dialog");
    ModalScript script({
        [&](QWidget& modal) {
          auto* dialog = qobject_cast<QFileDialog*>(&modal);
          if (!dialog) return false;
          TypeFileName(*dialog, missing);
          return true;
        },
        [&](QWidget& modal) {
          auto* box = qobject_cast<QMessageBox*>(&modal);
          if (!box) return false;
          refusal = box->text();
          box->accept();
          return true;
        },
        [&](QWidget& modal) {
          auto* dialog = qobject_cast<QFileDialog*>(&modal);
          if (!dialog) return false;
          TypeFileName(*dialog, existing);
          return true;
        },
    });
    QtDialogs dialogs;
    FileDialogRequest request;
    request.save = save;
    request.initialFolder = folder.str();
    EXPECT_EQ(dialogs.chooseFile(request), existing.toStdString());
    EXPECT_EQ(refusal.toStdString(), MissingFolderMessage((folder.path() / "no such folder").string()));
  }
}

}  // namespace
}  // namespace pelvantz::testing
