#include "joblist/JobList.h"

#include "base/ApplicationName.h"
#include "base/RuntimeFailure.h"
#include "base/Text.h"
#include "platform/FileIdentity.h"
#include "platform/TextCase.h"

namespace pelvantz {

namespace {

// The duplicate message carries its own title, spelled so.
constexpr const char* DuplicateTitle = "pelvantz - Powerpoint to PDF Converter";

// Only "/" separates folders here: a backslash is an ordinary character of a
// Linux file name, so it stays part of the display name.
std::string FileNameOf(const std::string& path) {
  const std::size_t separator = path.rfind('/');
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

JobRefusal Refusal(const std::string& message, const char* title) {
  return {message, MessageIcon::Information, title};
}

// Refusals of a target, in the style of the duplicate message.
constexpr const char* NoTargetMessage = "Please select a target PDF File";
constexpr const char* TargetAlreadyAddedMessage = "Target file already added.";

}  // namespace

void ShowRefusal(Dialogs& dialogs, const JobRefusal& refusal) {
  dialogs.showMessage(refusal.message, refusal.icon, MessageButtons::Ok, refusal.title);
}

void JobList::setObserver(JobListObserver* observer) { observer_ = observer; }

int16_t JobList::count() const { return static_cast<int16_t>(rows_.size()); }

const ConversionJob& JobList::at(int16_t position) const {
  if (position < 1 || position > count()) {
    throw RuntimeFailure(ErrorNumber::IndexOutOfBounds, "Index out of bounds");
  }
  return rows_[static_cast<std::size_t>(position - 1)];
}

bool JobList::isQueued(const std::string& displayName) const {
  return queuedNames_.count(UpperCaseText(displayName)) != 0;
}

std::optional<JobRefusal> JobList::AddCompleteListView(const std::string& sourceText,
                                                       const std::string& targetText) {
  const std::string name = FileNameOf(sourceText);
  if (isQueued(name)) return Refusal("File already added.", DuplicateTitle);
  // A row without a target would fail only after its whole conversion.
  if (IsAllSpaces(targetText)) return Refusal(NoTargetMessage, ApplicationTitle);
  // Two rows writing one file: the first PDF would be lost without a word.
  const std::string targetKey = FileKey(targetText);
  if (queuedTargets_.count(targetKey) != 0) return Refusal(TargetAlreadyAddedMessage, DuplicateTitle);
  if (count() == MaxRows) return Refusal(ListFullMessage, ApplicationTitle);
  const auto position = static_cast<int16_t>(count() + 1);
  if (observer_) observer_->rowAboutToBeAppended(position);
  rows_.push_back({name, sourceText, targetText, "", ""});
  queuedNames_.insert(UpperCaseText(name));
  queuedTargets_.insert(targetKey);
  if (observer_) observer_->rowAppended(position);
  return std::nullopt;
}

AddToListOutcome JobList::AddToList(const std::string& sourceText, const std::string& targetText) {
  if (IsAllSpaces(sourceText)) return {Refusal("Please select a PDF File", ApplicationTitle), false};
  // The fields keep the chosen presentation, so that only a target is missing.
  if (IsAllSpaces(targetText)) return {Refusal(NoTargetMessage, ApplicationTitle), false};
  return {AddCompleteListView(sourceText, targetText), true};
}

void JobList::SetJobStatus(int16_t position, const std::string& text) {
  if (position < 1 || position > count()) return;
  ConversionJob& row = rows_[static_cast<std::size_t>(position - 1)];
  row.Status = text;
  row.Reason.clear();
  if (observer_) observer_->statusChanged(position);
}

void JobList::SetJobReason(int16_t position, const std::string& reason) {
  if (position < 1 || position > count()) return;
  rows_[static_cast<std::size_t>(position - 1)].Reason = reason;
  if (observer_) observer_->statusChanged(position);
}

std::string JobList::displayName(int16_t position) const { return at(position).DisplayName; }

void JobList::clear() {
  if (observer_) observer_->aboutToClear();
  rows_.clear();
  queuedNames_.clear();
  queuedTargets_.clear();
  if (observer_) observer_->cleared();
}

}  // namespace pelvantz
