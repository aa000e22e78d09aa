// Seconds per office start: create() until the office answers, then quit(),
// on a new application folder whose profile is kept between starts. With
// --prepared, each create() follows a prepareNext() given time to finish,
// which is how the program asks for the next job's office.
//
// Usage: bench_office_start [starts] [--prepared] [application folder]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/OfficeFactory.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int starts = 5;
  bool prepared = false;
  fs::path shippedApp = PELVANTZ_BENCH_APP_DIR;
  for (int index = 1; index < argc; ++index) {
    const std::string argument = argv[index];
    if (argument == "--prepared")
      prepared = true;
    else if (argument.find_first_not_of("0123456789") == std::string::npos)
      starts = std::atoi(argument.c_str());
    else
      shippedApp = argument;
  }
  const fs::path appFolder = fs::temp_directory_path() / ("pelvantz-start-" + std::to_string(getpid()));
  fs::create_directories(appFolder / "temp");
  fs::copy(shippedApp / "printer", appFolder / "printer", fs::copy_options::recursive);

  std::vector<double> createSeconds, quitSeconds;
  {
    auto factory = pelvantz::MakeLibreOfficeFactory(appFolder.string());
    for (int start = 0; start <= starts; ++start) {
      if (prepared) {
        factory->prepareNext();
        std::this_thread::sleep_for(std::chrono::seconds(8));
      }
      const auto began = Clock::now();
      auto app = factory->create("PowerPoint.Application");
      const auto created = Clock::now();
      app->quit();
      const auto quit = Clock::now();
      // The first start sets up a new profile; it is shown but not counted.
      std::printf("%s %d: create %.2f s, quit %.2f s\n", start == 0 ? "first start" : "start", start,
                  Seconds(created - began), Seconds(quit - created));
      std::fflush(stdout);
      if (start == 0) continue;
      createSeconds.push_back(Seconds(created - began));
      quitSeconds.push_back(Seconds(quit - created));
    }
  }
  std::printf("median over %d starts on a used profile%s: create %.2f s, quit %.2f s\n", starts,
              prepared ? " (prepared ahead)" : "", Median(createSeconds), Median(quitSeconds));
  std::error_code ignored;
  fs::remove_all(appFolder, ignored);
  return 0;
}
