#pragma once
// A Dialogs double for what a test cannot click: records every message box and
// file dialog and answers them from a script.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace pelvantz::testing {

struct ShownMessage {
  std::string text;
  MessageIcon icon;
  MessageButtons buttons;
  std::string title;
};

class FakeDialogs : public Dialogs {
 public:
  MessageAnswer showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                            const std::string& title) override;
  std::optional<std::string> chooseFile(const FileDialogRequest& request) override;

  // Answers for YesNo boxes, in order; Yes once the script is used up.
  std::deque<MessageAnswer> answers;
  // Answers for file dialogs, in order; nothing (cancel) once used up.
  std::deque<std::optional<std::string>> chosenFiles;

  // Runs while each message is up, as something the user's machine does then.
  std::function<void(const ShownMessage&)> whileShown;

  std::vector<ShownMessage> messages;
  std::vector<FileDialogRequest> fileRequests;
};

}  // namespace pelvantz::testing
