#pragma once
// Decorators that let a conversion running on a worker thread reach the
// window's services: every call is carried out by the user-interface thread.
#include "joblist/JobList.h"
#include "platform/Dialogs.h"

namespace pelvantz {

class UiThreadDialogs : public Dialogs {
 public:
  explicit UiThreadDialogs(Dialogs& inner) : inner_(inner) {}
  MessageAnswer showMessage(const std::string& text, MessageIcon icon, MessageButtons buttons,
                            const std::string& title) override;
  std::optional<std::string> chooseFile(const FileDialogRequest& request) override;

 private:
  Dialogs& inner_;
};

class UiThreadJobRows : public JobRows {
 public:
  explicit UiThreadJobRows(JobRows& inner) : inner_(inner) {}
  void SetJobStatus(int16_t position, const std::string& text) override;
  void SetJobReason(int16_t position, const std::string& reason) override;
  std::string displayName(int16_t position) const override;

 private:
  JobRows& inner_;
};

}  // namespace pelvantz
