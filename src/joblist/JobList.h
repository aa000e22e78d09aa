#pragma once
// The queue of presentations: one model, shown by the main window's list view.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "joblist/ConversionJob.h"
#include "platform/Dialogs.h"

namespace pelvantz {

// What the conversion needs of the list: status updates and display names.
class JobRows {
 public:
  virtual ~JobRows() = default;
  // Positions start at 1; a position without a row is ignored. A new status
  // clears the reason of the old one.
  virtual void SetJobStatus(int16_t position, const std::string& text) = 0;
  // Why the row's job ended as its status says.
  virtual void SetJobReason(int16_t position, const std::string& reason) = 0;
  virtual std::string displayName(int16_t position) const = 0;
};

// Told about every change, so a view can follow the model. Appending and
// clearing are announced before and after, as item views need them.
class JobListObserver {
 public:
  virtual ~JobListObserver() = default;
  virtual void rowAboutToBeAppended(int16_t position) = 0;
  virtual void rowAppended(int16_t position) = 0;
  // The status or the reason of the row.
  virtual void statusChanged(int16_t position) = 0;
  virtual void aboutToClear() = 0;
  virtual void cleared() = 0;
};

// Why an add queued nothing: the message box (one OK button) that the caller
// shows the user.
struct JobRefusal {
  std::string message;
  MessageIcon icon;
  std::string title;
};

void ShowRefusal(Dialogs& dialogs, const JobRefusal& refusal);

struct AddToListOutcome {
  std::optional<JobRefusal> refusal;
  bool emptyFields;  // whether the selection fields are to be emptied
};

// Rows are appended in adding order and addressed from 1 by a 16-bit position,
// so the list holds at most MaxRows. A row past that is refused with the
// message ListFullMessage instead of being given a position that cannot be
// addressed.
class JobList : public JobRows {
 public:
  static constexpr int16_t MaxRows = 32767;
  static constexpr const char* ListFullMessage = "The list is full: at most 32767 presentations can be queued.";

  void setObserver(JobListObserver* observer);

  int16_t count() const;
  // The row at a position from 1 to count(); throws RuntimeFailure 35600
  // "Index out of bounds" otherwise.
  const ConversionJob& at(int16_t position) const;

  // Queues the selection, or refuses a file name already queued (compared
  // without regard to letter case), a blank target, a target another row
  // already writes, or a row past MaxRows.
  std::optional<JobRefusal> AddCompleteListView(const std::string& sourceText, const std::string& targetText);
  // The Add to List rule: refuses a blank source or a blank target, keeping
  // the fields; otherwise adds and has the fields emptied, refused or not.
  AddToListOutcome AddToList(const std::string& sourceText, const std::string& targetText);
  void SetJobStatus(int16_t position, const std::string& text) override;
  void SetJobReason(int16_t position, const std::string& reason) override;
  // The row's file name; throws like at() for a position without a row.
  std::string displayName(int16_t position) const override;
  void clear();

 private:
  bool isQueued(const std::string& displayName) const;

  JobListObserver* observer_ = nullptr;
  std::vector<ConversionJob> rows_;
  // The upper-cased display names of rows_, for the duplicate check.
  std::unordered_set<std::string> queuedNames_;
  // The FileKey of every row's target, for the same-target check.
  std::unordered_set<std::string> queuedTargets_;
};

}  // namespace pelvantz
