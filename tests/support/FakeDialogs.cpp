#include "support/FakeDialogs.h"

namespace pelvantz::testing {

MessageAnswer FakeDialogs::showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                       const std::string& title) {
  messages.push_back({text, icon, buttons, title});
  if (whileShown) whileShown(messages.back());
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers.empty()) return MessageAnswer::Yes;
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::string> FakeDialogs::chooseFile(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (chosenFiles.empty()) return std::nullopt;
  auto chosen = chosenFiles.front();
  chosenFiles.pop_front();
  return chosen;
}

}  // namespace pelvantz::testing
