#include "ui/ConversionWorker.h"

#include <QEventLoop>
#include <exception>
#include <thread>

#include "core/ExitStatus.h"
#include "engine/Converter.h"
#include "platform/qt/UiThread.h"
#include "ui/UiThreadServices.h"

namespace pelvantz {

JobRunner OfficeConverter(const ConversionEnvironment& environment) {
  // Shared, as a JobRunner is copied; the application object it holds carries
  // over from one job to the next.
  auto converter = std::make_shared<Converter>(environment);
  return [converter](const std::string& source, const std::string& target, int16_t position,
                     const ConversionOptions& options, bool anotherJobFollows) {
    converter->ConvertPresentation(source, target, position, options, anotherJobFollows);
  };
}

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
  if (environment_) return;
  workerDialogs_ = std::make_unique<UiThreadDialogs>(services_.dialogs);
  workerRows_ = std::make_unique<UiThreadJobRows>(rows_);
  environment_ = std::make_unique<ConversionEnvironment>(ConversionEnvironment{
      services_.office, *workerDialogs_, services_.errors, services_.shell, *workerRows_, services_.registry,
      services_.systemVersion, services_.applicationFolder,
      // Ending the program tears down what the user-interface thread owns.
      // The conversion ends the program only when Ghostscript is missing.
      [this] { RunOnUiThread([this] { services_.endProgram(ExitStatus::ConverterMissing); }); }});
  convert_ = services_.makeConverter(*environment_);
}

}  // namespace pelvantz
