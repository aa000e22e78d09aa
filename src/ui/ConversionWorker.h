#pragma once
// Runs the main window's jobs on a thread of their own, one at a time, while
// the window thread goes on handling events: the window keeps painting (its
// row shows "Converting..."). What a job asks of the window (a message, a row's
// status, the end of the program) is carried out on the window thread, and a
// job's failure is thrown there.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/BatchDriver.h"
#include "ui/MainWindowServices.h"

namespace pelvantz {

class JobRows;
class UiThreadDialogs;
class UiThreadJobRows;

class ConversionWorker {
 public:
  // `services` and `rows` are the window's and outlive the worker.
  ConversionWorker(const MainWindowServices& services, JobRows& rows);
  ~ConversionWorker();
  ConversionWorker(const ConversionWorker&) = delete;
  ConversionWorker& operator=(const ConversionWorker&) = delete;

  // Called on the window thread; returns when the job is done.
  void run(const std::string& source, const std::string& target, int16_t position,
           const ConversionOptions& options, bool anotherJobFollows);

 private:
  void prepare();

  const MainWindowServices& services_;
  JobRows& rows_;
  // Made for the first job; the converter goes before what it uses.
  std::unique_ptr<UiThreadDialogs> workerDialogs_;
  std::unique_ptr<UiThreadJobRows> workerRows_;
  JobRunner convert_;
};

}  // namespace pelvantz
