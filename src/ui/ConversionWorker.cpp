#include "ui/ConversionWorker.h"

#include <QEventLoop>
#include <exception>
#include <thread>

#include "core/ExitStatus.h"
#include "platform/qt/UiThread.h"
#include "ui/UiThreadServices.h"

namespace pelvantz {

ConversionWorker::ConversionWorker(const MainWindowServices& services, JobRows& rows)
    : services_(services), rows_(rows) {}

ConversionWorker::~ConversionWorker() = default;

void ConversionWorker::run(const std::string& source, const std::string& target, int16_t position,
                           const ConversionOptions& options, bool anotherJobFollows) {
  prepare();
  std::exception_ptr failure;
  QEventLoop loop;
  std::thread worker([&] {
    try {
      convert_(source, target, position, options, anotherJobFollows);
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

void ConversionWorker::prepare() {
  if (convert_) return;
  workerDialogs_ = std::make_unique<UiThreadDialogs>(services_.dialogs);
  workerRows_ = std::make_unique<UiThreadJobRows>(rows_);
  convert_ = services_.makeConverter(WorkerThreadServices{
      *workerDialogs_, *workerRows_,
      // Ending the program tears down what the user-interface thread owns.
      // The conversion ends the program only when Ghostscript is missing.
      [this] { RunOnUiThread([this] { services_.endProgram(ExitStatus::ConverterMissing); }); }});
}

}  // namespace pelvantz
