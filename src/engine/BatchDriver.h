#pragma once
// The Convert press: checks the page fields, queues a pending selection and
// converts every queued row in list order.
#include <cstdint>
#include <functional>
#include <string>

#include "engine/ConversionOptions.h"
#include "engine/PageRange.h"

namespace pelvantz {

class Cursor;
class Dialogs;
class ErrorHandler;
class JobList;

enum class PageField { From, To };

// What the driver needs of the main window's fields.
class BatchWindow {
 public:
  virtual ~BatchWindow() = default;
  virtual std::string pageFieldText(PageField field) const = 0;
  // Moves the keyboard focus to the field when the field is enabled.
  virtual void focusPageField(PageField field) = 0;
  virtual std::string sourceText() const = 0;
  virtual std::string targetText() const = 0;
  // Empties both selection fields.
  virtual void clearSelection() = 0;
  // The options as the controls hold them now.
  virtual ConversionOptions currentOptions() const = 0;
};

// Converts one job; returns when the job is finished, whatever the outcome.
// `anotherJobFollows` tells whether the press has a row after this one.
using JobRunner = std::function<void(const std::string& sourcePath, const std::string& targetPath,
                                     int16_t position, const ConversionOptions& options, bool anotherJobFollows)>;

struct BatchServices {
  BatchWindow& window;
  JobList& jobs;
  Dialogs& dialogs;
  Cursor& cursor;
  ErrorHandler& errors;
  NumberFormat numberFormat;
  JobRunner runJob;
};

constexpr const char* ConvertingStatus = "Converting...";
constexpr const char* FailedStatus = "Failed";
constexpr const char* BatchErrorTag = "frmMain:Image9_Click";

class BatchDriver {
 public:
  explicit BatchDriver(BatchServices services);
  void cmdConvert_Click();

 private:
  bool pageFieldIsNumeric(PageField field);
  bool attempt(const std::function<void()>& step);
  bool convertRow(int16_t position, bool anotherJobFollows);
  void refuseRow(int16_t position, const std::string& reason);

  BatchServices s_;
};

}  // namespace pelvantz
