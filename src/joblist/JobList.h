#pragma once
// The queue of presentations: one model, shown by the main window's list view.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ConversionJob.h"
#include "platform/Dialogs.h"

namespace pelvantz {

// What the conversion needs of the list: status updates and display names.
class JobRows {
 public:
  virtual ~JobRows() = default;
  // Positions start at 1; a position without a row is ignored.
  virtual void SetJobStatus(int16_t position, const std::string& text) = 0;
  virtual std::string displayName(int16_t position) const = 0;
};

// Told about every change, so a view can follow the model.
class JobListObserver {
 public:
  virtual ~JobListObserver() = default;
  virtual void rowAppended(int16_t position) = 0;
  virtual void statusChanged(int16_t position) = 0;
  virtual void cleared() = 0;
};

class JobList : public JobRows {
 public:
  static constexpr int16_t MaxRows = 32767;

  explicit JobList(Dialogs& dialogs);
  void setObserver(JobListObserver* observer);

  int16_t count() const;
  // The row at a position from 1 to count(); throws RuntimeFailure otherwise.
  const ConversionJob& at(int16_t position) const;

  // Queues the selection, or refuses a file name already queued.
  void AddCompleteListView(const std::string& sourceText, const std::string& targetText);
  // The Add to List rule: refuses a blank source; returns true when the
  // selection fields are to be emptied.
  bool AddToList(const std::string& sourceText, const std::string& targetText);
  void SetJobStatus(int16_t position, const std::string& text) override;
  std::string displayName(int16_t position) const override;
  void clear();

 private:
  Dialogs& dialogs_;
  JobListObserver* observer_ = nullptr;
  std::vector<ConversionJob> rows_;
};

}  // namespace pelvantz
