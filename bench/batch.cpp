// Seconds for one press of Convert over several corpus presentations (slides,
// all pages), as the batch driver runs it: one converter, each job told
// whether another follows, so that the next job's office can start ahead.
// The wait message is answered at once, so no user's reading time hides work.
//
// Usage: bench_batch [presentations (default 8)] [--alone] [corpus folder] [application folder]
//   --alone: no job is told that another follows (every office starts in its job)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "QuietServices.h"
#include "common/Corpus.h"
#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "engine/Converter.h"
#include "joblist/JobList.h"
#include "platform/OfficeFactory.h"
#include "platform/RegistryStore.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using pelvantz::bench::NoCursor;
using pelvantz::bench::NoShell;
using pelvantz::bench::QuietDialogs;
using pelvantz::bench::WindowsXp;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

}  // namespace

int main(int argc, char** argv) {
  size_t count = 8;
  bool alone = false;
  std::vector<std::string> folders;
  for (int index = 1; index < argc; ++index) {
    const std::string argument = argv[index];
    if (argument == "--alone")
      alone = true;
    else if (argument.find_first_not_of("0123456789") == std::string::npos)
      count = std::stoul(argument);
    else
      folders.push_back(argument);
  }
  const fs::path corpus = folders.size() > 0 ? folders[0] : PELVANTZ_BENCH_CORPUS;
  const fs::path shippedApp = folders.size() > 1 ? folders[1] : PELVANTZ_BENCH_APP_DIR;
  // An application folder of its own: no profile of an earlier run is reused.
  const fs::path scratch = fs::temp_directory_path() / ("pelvantz-batch-" + std::to_string(getpid()));
  const fs::path appFolder = scratch / "app";
  fs::create_directories(appFolder / "temp");
  fs::copy(shippedApp / "printer", appFolder / "printer", fs::copy_options::recursive);
  fs::copy_file(pelvantz::RegistryStore::PathIn(shippedApp.string()),
                pelvantz::RegistryStore::PathIn(appFolder.string()));

  QuietDialogs dialogs;
  NoCursor cursor;
  NoShell shell;
  WindowsXp version;
  pelvantz::ErrorHandler errors(dialogs, cursor, "bench");
  pelvantz::JobList jobs;
  pelvantz::RegistryStore store(pelvantz::RegistryStore::PathIn(appFolder.string()));
  pelvantz::Registry registry(store);
  auto office = pelvantz::MakeLibreOfficeFactory(appFolder.string());

  std::vector<std::string> files = pelvantz::bench::SoundCorpusFiles(corpus);
  files.resize(std::min(files.size(), count));
  for (size_t index = 0; index < files.size(); ++index) {
    const fs::path source =
        scratch / ("in-" + std::to_string(index) + fs::path(files[index]).extension().string());
    fs::copy_file(corpus / files[index], source);
    jobs.AddCompleteListView(source.string(), (scratch / ("out-" + std::to_string(index) + ".pdf")).string());
  }

  double total = 0;
  int completed = 0;
  for (int run = 0; run < 2; ++run) {  // the first run warms the profiles and the disk cache
    pelvantz::Converter converter(pelvantz::ConversionEnvironment{
        *office, dialogs, errors, shell, jobs, registry, version, appFolder.string(), [] {
          std::fprintf(stderr, "Ghostscript is missing: the program would end here\n");
          std::exit(2);
        }});
    const auto start = Clock::now();
    completed = 0;
    for (int16_t row = 1; row <= jobs.count(); ++row) {
      const auto jobStart = Clock::now();
      const pelvantz::ConversionJob job = jobs.at(row);
      converter.ConvertPresentation(job.SourcePath, job.TargetPath, row, pelvantz::ConversionOptions{},
                                    !alone && row < jobs.count());
      const bool done = jobs.at(row).Status == "Completed";
      completed += done ? 1 : 0;
      if (run == 1)
        std::printf(
            "  %-50s %5.2f s%s\n", files[row - 1].c_str(), Seconds(Clock::now() - jobStart),
            done ? "" : ("  " + jobs.at(row).Status + ", last message: " + dialogs.last.substr(0, 100)).c_str());
    }
    total = Seconds(Clock::now() - start);
  }
  std::printf("one press over %zu presentations%s: %.2f s (%d completed)\n", files.size(),
              alone ? ", no office started ahead" : "", total, completed);
  office.reset();
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return 0;
}
