#include "ui/UiThreadServices.h"

#include "platform/qt/UiThread.h"

namespace pelvantz {

MessageAnswer UiThreadDialogs::showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                           const std::string& title) {
  MessageAnswer answer = MessageAnswer::Ok;
  RunOnUiThread([&] { answer = inner_.showMessage(text, icon, buttons, title); });
  return answer;
}

std::optional<std::string> UiThreadDialogs::chooseFile(const FileDialogRequest& request) {
  std::optional<std::string> chosen;
  RunOnUiThread([&] { chosen = inner_.chooseFile(request); });
  return chosen;
}

void UiThreadJobRows::SetJobStatus(int16_t position, const std::string& text) {
  RunOnUiThread([&] { inner_.SetJobStatus(position, text); });
}

void UiThreadJobRows::SetJobReason(int16_t position, const std::string& reason) {
  RunOnUiThread([&] { inner_.SetJobReason(position, reason); });
}

std::string UiThreadJobRows::displayName(int16_t position) const {
  std::string name;
  RunOnUiThread([&] { name = inner_.displayName(position); });
  return name;
}

}  // namespace pelvantz
