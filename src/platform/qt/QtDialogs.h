#pragma once
#include "platform/Dialogs.h"

namespace pelvantz {

// Message boxes and file dialogs as Qt widgets, modal to the active window.
// Safe to call from any thread: the dialog is always shown by the UI thread.
class QtDialogs : public Dialogs {
 public:
  MessageAnswer showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                            const std::string& title) override;
  std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
};

// The Qt file-dialog filter for a description and pattern.
std::string FileDialogFilter(const FileDialogRequest& request);

}  // namespace pelvantz
