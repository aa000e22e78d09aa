#pragma once
// Message boxes and file dialogs. The core shows every message through this
// interface; the window implements it with QMessageBox/QFileDialog and tests
// answer it with a scripted fake.
#include <optional>
#include <string>

namespace pelvantz {

enum class MessageIcon { None, Information, Critical, Question, Exclamation };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct FileDialogRequest {
  bool save = false;  // false: open dialog; true: save dialog
  std::string title;
  std::string initialFolder;      // may name a file or be empty
  std::string filterDescription;  // "PDF File (*.pdf)"
  std::string filterPattern;      // "*.pdf"
  bool promptOverwrite = false;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal; returns when the user has answered. YesNo boxes default to Yes.
  virtual MessageAnswer showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                    const std::string& title) = 0;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;
};

}  // namespace pelvantz
