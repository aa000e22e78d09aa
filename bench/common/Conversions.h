#pragma once
// Converting decks as the benches measure them: with the program's own
// Converter, one batch of jobs as the window runs them, and with LibreOffice's
// `soffice --headless --convert-to`, each timed, with the peak resident memory
// of the processes that did the work.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QuietServices.h"
#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "engine/Converter.h"
#include "joblist/JobList.h"
#include "platform/OfficeFactory.h"
#include "platform/RegistryStore.h"
#include "platform/libreoffice/session/Watchdog.h"

namespace pelvantz::bench {

struct OutputChoice {
  std::string key;  // the command line's name
  std::string label;
  std::string outputType;
  bool printComments;
};

struct Measure {
  double seconds = 0;
  int pages = 0;
  long peakKiB = 0;
  office::OfficeCallRecord closestCall;  // the office call nearest its time limit
  std::string failure;                   // empty when the output is good
  bool ok() const { return failure.empty(); }
};

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point start);
double Median(std::vector<double> values);

// The program's Converter over the application folder's registry store and
// office configuration; memory is measured leaving out the process tree of
// `skip` (a load that is not the program's).
class OursBatch {
 public:
  OursBatch(const std::filesystem::path& appFolder, pid_t skip);

  // The PDF `run` writes for the deck.
  static std::filesystem::path Target(const std::filesystem::path& outFolder, const std::filesystem::path& deck);

  // Queues every deck, then converts them in order as the window does (at its
  // default options but the output type), telling each deck's measure as soon
  // as it is taken.
  std::vector<Measure> run(const std::vector<std::filesystem::path>& decks, const std::filesystem::path& outFolder,
                           const OutputChoice& output, const std::function<void(size_t, const Measure&)>& tell);

 private:
  Measure convert(int16_t position, const OutputChoice& output, bool anotherJobFollows);

  QuietDialogs dialogs_;
  NoCursor cursor_;
  NoShell shell_;
  WindowsXp version_;
  ErrorHandler errors_;
  JobList jobs_;
  RegistryStore store_;
  Registry registry_;
  std::unique_ptr<PresentationAppFactory> office_;
  Converter converter_;
  pid_t skip_;
};

// The `--convert-to` value for the office's PDF of the slides.
constexpr const char* SofficeSlidesPdf = "pdf";

// `soffice --headless --convert-to <convertTo>` of the source into an emptied
// folder, on the given profile; its PDF is the folder's <source stem>.pdf.
Measure ConvertWithSoffice(const std::filesystem::path& source, const std::filesystem::path& outFolder,
                           const std::filesystem::path& profile, pid_t skip,
                           const std::string& convertTo = SofficeSlidesPdf);

}  // namespace pelvantz::bench
