#include "engine/BatchDriver.h"

#include <unordered_map>
#include <vector>

#include "core/ErrorHandler.h"
#include "core/SettingsStore.h"
#include "joblist/JobList.h"
#include "platform/Cursor.h"
#include "platform/Dialogs.h"
#include "platform/FileIdentity.h"

namespace pelvantz {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Why each row may not run (empty when it may): its PDF would replace a
// presentation that another row reads, or a PDF an earlier row writes. The
// row's own presentation as its target is the conversion's to refuse.
std::vector<std::string> OverwriteRefusals(const JobList& jobs, int rowCount) {
  std::unordered_map<std::string, int> sources;
  for (int position = 1; position <= rowCount; ++position)
    sources.emplace(FileKey(jobs.at(static_cast<int16_t>(position)).SourcePath), position);
  std::unordered_map<std::string, int> targets;
  std::vector<std::string> refusals(static_cast<size_t>(rowCount) + 1);
  for (int position = 1; position <= rowCount; ++position) {
    const ConversionJob& job = jobs.at(static_cast<int16_t>(position));
    const std::string target = FileKey(job.TargetPath);
    if (target.empty()) continue;
    const auto reader = sources.find(target);
    const auto writer = targets.emplace(target, position).first;
    std::string& refusal = refusals[static_cast<size_t>(position)];
    if (reader != sources.end() && reader->second != position) {
      refusal = "The target " + Quoted(job.TargetPath) + " is the presentation " +
                Quoted(jobs.at(static_cast<int16_t>(reader->second)).DisplayName) + " queued in row " +
                std::to_string(reader->second) + ": the PDF would replace it. Choose another file for the PDF.";
    } else if (writer->second != position) {
      refusal = "The target " + Quoted(job.TargetPath) + " is also the target of row " +
                std::to_string(writer->second) + " (" +
                Quoted(jobs.at(static_cast<int16_t>(writer->second)).DisplayName) +
                "): one PDF would replace the other. Choose another file for the PDF.";
    }
  }
  return refusals;
}

}  // namespace

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
        if (source.empty()) return;
        if (const auto refusal = s_.jobs.AddCompleteListView(source, s_.window.targetText()))
          ShowRefusal(s_.dialogs, *refusal);
      })) {
    return;
  }
  if (!attempt([this] { s_.window.clearSelection(); })) return;

  const int rowCount = s_.jobs.count();
  std::vector<std::string> refusals;
  if (!attempt([&] { refusals = OverwriteRefusals(s_.jobs, rowCount); })) return;
  for (int position = 1; position <= rowCount; ++position) {
    const auto row = static_cast<int16_t>(position);
    const std::string& refusal = refusals.empty() ? std::string() : refusals[static_cast<size_t>(position)];
    if (!refusal.empty()) {
      if (!attempt([&] { refuseRow(row, refusal); })) return;
      continue;
    }
    if (!convertRow(row, position < rowCount)) return;
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

void BatchDriver::refuseRow(int16_t position, const std::string& reason) {
  s_.jobs.SetJobStatus(position, FailedStatus);
  s_.jobs.SetJobReason(position, reason);
}

bool BatchDriver::convertRow(int16_t position, bool anotherJobFollows) {
  if (!attempt([&] { s_.jobs.SetJobStatus(position, ConvertingStatus); })) return false;
  return attempt([&] {
    const ConversionJob job = s_.jobs.at(position);
    s_.runJob(job.SourcePath, job.TargetPath, position, s_.window.currentOptions(), anotherJobFollows);
  });
}

}  // namespace pelvantz
