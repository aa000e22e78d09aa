#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "platform/qt/QtInstanceWindow.h"
#include "platform/qt/UiThread.h"

namespace pelvantz {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// A question is answered with the ordinary pointer, even in the middle of a
// busy run; the busy pointer comes back with the answer.
class ArrowWhileAsking {
 public:
  ArrowWhileAsking() : pushed_(QGuiApplication::overrideCursor() != nullptr) {
    if (pushed_) QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
  }
  ~ArrowWhileAsking() {
    if (pushed_) QGuiApplication::restoreOverrideCursor();
  }
  ArrowWhileAsking(const ArrowWhileAsking&) = delete;
  ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

 private:
  bool pushed_;
};

// A message waits for an answer: a minimised owner comes back to show it.
void RestoreIfMinimised(QWidget* owner) {
  if (owner && owner->isMinimized()) BringToFront(*owner);
}

MessageAnswer AskUser(QWidget* owner, const std::string& text, MessageIcon icon, MessageButtons buttons,
                      const std::string& title) {
  RestoreIfMinimised(owner);
  QMessageBox box(BoxIcon(icon), QString::fromStdString(title), QString::fromStdString(text),
                  QMessageBox::NoButton, owner);
  const ArrowWhileAsking arrow;
  if (buttons == MessageButtons::Ok) {
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
  }
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

// The dialog opens in a folder; a remembered path may name a file instead.
QString StartFolder(const std::string& initialFolder) {
  const QFileInfo info(QString::fromStdString(initialFolder));
  if (initialFolder.empty() || info.isDir()) return info.filePath();
  return info.absolutePath();
}

// A file may be new, but its folder must exist: a path into nowhere is
// refused in the dialog, as the user types it, and the dialog stays open.
std::optional<std::string> AskForFile(QWidget* owner, const FileDialogRequest& request) {
  QFileDialog dialog(owner, QString::fromStdString(request.title), StartFolder(request.initialFolder),
                     QString::fromStdString(FileDialogFilter(request)));
  const ArrowWhileAsking arrow;
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    const QFileInfo chosen(dialog.selectedFiles().constFirst());
    if (chosen.absoluteDir().exists()) return chosen.filePath().toStdString();
    QMessageBox::warning(&dialog, dialog.windowTitle(),
                         QString::fromStdString(MissingFolderMessage(chosen.absolutePath().toStdString())));
  }
  return std::nullopt;
}

}  // namespace

std::string MissingFolderMessage(const std::string& folder) {
  return "The folder \"" + folder + "\" does not exist. Choose a folder that exists.";
}

std::string FileDialogFilter(const FileDialogRequest& request) {
  const std::string& description = request.filterDescription;
  if (request.filterPattern.empty() || description.find("(" + request.filterPattern + ")") != std::string::npos) {
    return description;
  }
  return description + " (" + request.filterPattern + ")";
}

MessageAnswer QtDialogs::showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                     const std::string& title) {
  MessageAnswer answer = MessageAnswer::Ok;
  RunOnUiThread([&] { answer = AskUser(owner(), text, icon, buttons, title); });
  return answer;
}

std::optional<std::string> QtDialogs::chooseFile(const FileDialogRequest& request) {
  std::optional<std::string> chosen;
  RunOnUiThread([&] { chosen = AskForFile(owner(), request); });
  return chosen;
}

QWidget* QtDialogs::owner() const { return owner_ ? owner_.data() : QApplication::activeWindow(); }

}  // namespace pelvantz
