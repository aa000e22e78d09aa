#pragma once
#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.h"

namespace pelvantz {

// Message boxes and file dialogs as Qt widgets, modal and owned by the owner
// window once there is one (before it, by the active window), so that the
// window manager keeps them above it whether or not it is active or minimised.
// Safe to call from any thread: the dialog is always shown by the UI thread.
class QtDialogs : public Dialogs {
 public:
  void setOwner(QWidget* owner) { owner_ = owner; }
  MessageAnswer showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                            const std::string& title) override;
  std::optional<std::string> chooseFile(const FileDialogRequest& request) override;

 private:
  QWidget* owner() const;

  QPointer<QWidget> owner_;
};

// The text shown when a chosen path lies in a folder that does not exist.
std::string MissingFolderMessage(const std::string& folder);

// The Qt file-dialog filter for a description and pattern.
std::string FileDialogFilter(const FileDialogRequest& request);

}  // namespace pelvantz
