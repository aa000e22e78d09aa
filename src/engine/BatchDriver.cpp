#include "engine/BatchDriver.h"

#include "core/ErrorHandler.h"
#include "core/Settings.h"
#include "joblist/JobList.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"

namespace pelvantz {

BatchDriver::BatchDriver(BatchServices services) : s_(std::move(services)) {}

void BatchDriver::cmdConvert_Click() {
  s_.cursor.setBusy();
  if (!pageFieldIsNumeric(PageField::From) || !pageFieldIsNumeric(PageField::To)) {
    s_.cursor.setDefault();
    return;
  }
  // The exact-empty test is deliberate: blanks count as a selection here.
  if (!attempt([this] {
        const std::string source = s_.window.sourceText();
        if (!source.empty()) s_.jobs.AddCompleteListView(source, s_.window.targetText());
      })) {
    return;
  }
  if (!attempt([this] { s_.window.clearSelection(); })) return;

  const int rowCount = s_.jobs.count();
  for (int position = 1; position <= rowCount; ++position) {
    if (!convertRow(static_cast<int16_t>(position), position < rowCount)) return;
  }
  s_.cursor.setDefault();
}

bool BatchDriver::pageFieldIsNumeric(PageField field) {
  if (IsNumeric(s_.window.pageFieldText(field), s_.numberFormat)) return true;
  const char* message = field == PageField::From ? "Please enter value in Page Range From field"
                                                 : "Please enter value in Page Range To field";
  s_.dialogs.showMessage(message, MessageIcon::Information, MessageButtons::Ok, ApplicationTitle);
  s_.window.focusPageField(field);
  return false;
}

// Runs one step; a failure goes to the error handler, whose answer says
// whether the press goes on with the next step.
bool BatchDriver::attempt(const std::function<void()>& step) { return RunSteps(s_.errors, BatchErrorTag, {step}); }

bool BatchDriver::convertRow(int16_t position, bool anotherJobFollows) {
  if (!attempt([&] { s_.jobs.SetJobStatus(position, ConvertingStatus); })) return false;
  return attempt([&] {
    const ConversionJob job = s_.jobs.at(position);
    s_.runJob(job.SourcePath, job.TargetPath, position, s_.window.currentOptions(), anotherJobFollows);
  });
}

}  // namespace pelvantz
