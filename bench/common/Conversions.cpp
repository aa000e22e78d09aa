#include "common/Conversions.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/Programs.h"

namespace pelvantz::bench {

namespace fs = std::filesystem;

namespace {

std::vector<pid_t> ChildrenOf(pid_t parent) {
  std::vector<pid_t> children;
  DIR* proc = opendir("/proc");
  if (!proc) return children;
  while (const dirent* entry = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0) continue;
    std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    char state;
    pid_t ppid = 0;
    rest >> state >> ppid;
    if (ppid == parent) children.push_back(pid);
  }
  closedir(proc);
  return children;
}

long ResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

// The summed resident memory of root's tree, leaving out the subtree of `skip`
// (the stress load, which is not the program's).
long TreeResidentKiB(pid_t root, bool includeRoot, pid_t skip) {
  long total = includeRoot ? ResidentKiB(root) : 0;
  for (pid_t child : ChildrenOf(root))
    if (child != skip) total += TreeResidentKiB(child, true, skip);
  return total;
}

// Samples the summed resident memory of this process (optionally) and all its
// descendants but the stress load while a measurement runs.
class PeakMemory {
 public:
  PeakMemory(bool includeSelf, pid_t skip)
      : includeSelf_(includeSelf), skip_(skip), sampler_([this] { sample(); }) {}
  ~PeakMemory() {
    stop_ = true;
    sampler_.join();
  }
  long peakKiB() const { return peak_; }

 private:
  void sample() {
    while (!stop_) {
      peak_ = std::max(peak_.load(), TreeResidentKiB(getpid(), includeSelf_, skip_));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  bool includeSelf_;
  pid_t skip_;
  std::atomic<bool> stop_{false};
  std::atomic<long> peak_{0};
  std::thread sampler_;
};

}  // namespace

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

OursBatch::OursBatch(const fs::path& appFolder, pid_t skip)
    : errors_(dialogs_, cursor_, "bench"),
      store_(RegistryStore::PathIn(appFolder.string())),
      registry_(store_),
      office_(MakeLibreOfficeFactory(appFolder.string())),
      converter_(ConversionEnvironment{
          *office_, dialogs_, errors_, shell_, jobs_, registry_, version_, appFolder.string(),
          [] {
            std::fprintf(stderr, "Ghostscript is missing: the program would end here\n");
            std::exit(2);
          }}),
      skip_(skip) {}

fs::path OursBatch::Target(const fs::path& outFolder, const fs::path& deck) {
  return outFolder / (deck.stem().string() + ".pdf");
}

std::vector<Measure> OursBatch::run(const std::vector<fs::path>& decks, const fs::path& outFolder,
                                    const OutputChoice& output,
                                    const std::function<void(size_t, const Measure&)>& tell) {
  fs::remove_all(outFolder);
  fs::create_directories(outFolder);
  jobs_.clear();
  for (const auto& deck : decks) jobs_.AddCompleteListView(deck.string(), Target(outFolder, deck).string());
  // The splash starts the first job's office and shows for four seconds.
  office_->prepareNext();
  std::this_thread::sleep_for(std::chrono::seconds(4));
  std::vector<Measure> measures;
  for (size_t i = 0; i < decks.size(); ++i) {
    measures.push_back(convert(static_cast<int16_t>(i + 1), output, i + 1 < decks.size()));
    tell(i, measures.back());
  }
  return measures;
}

Measure OursBatch::convert(int16_t position, const OutputChoice& output, bool anotherJobFollows) {
  const ConversionJob job = jobs_.at(position);
  ConversionOptions options;  // the window's defaults: A3, landscape, fit, all pages
  options.OutputType = OutputTypeForText(output.outputType);
  options.PrintComments = output.printComments;
  jobs_.SetJobStatus(position, "Converting...");
  dialogs_.last.clear();
  Measure measure;
  {
    PeakMemory memory(true, skip_);
    const auto start = Clock::now();
    converter_.ConvertPresentation(job.SourcePath, job.TargetPath, position, options, anotherJobFollows);
    measure.seconds = Seconds(start);
    measure.peakKiB = memory.peakKiB();
  }
  measure.closestCall = office::TakeClosestOfficeCall();
  measure.pages = PdfPages(job.TargetPath);
  const ConversionJob row = jobs_.at(position);
  if (row.Status != "Completed") {
    measure.failure = "status \"" + row.Status + "\": " + (row.Reason.empty() ? dialogs_.last : row.Reason);
  } else if (measure.pages <= 0) {
    measure.failure = "no readable PDF pages";
  }
  return measure;
}

Measure ConvertWithSoffice(const fs::path& source, const fs::path& outFolder, const fs::path& profile, pid_t skip,
                           const std::string& convertTo) {
  fs::remove_all(outFolder);
  fs::create_directories(outFolder);
  Measure measure;
  int code = 0;
  {
    PeakMemory memory(false, skip);
    const auto start = Clock::now();
    code = RunProgram({"soffice", "-env:UserInstallation=file://" + profile.string(), "--headless", "--convert-to",
                       convertTo, "--outdir", outFolder.string(), source.string()});
    measure.seconds = Seconds(start);
    measure.peakKiB = memory.peakKiB();
  }
  measure.pages = PdfPages(outFolder / (source.stem().string() + ".pdf"));
  if (code != 0) {
    measure.failure = "exit code " + std::to_string(code);
  } else if (measure.pages <= 0) {
    measure.failure = "no readable PDF pages";
  }
  return measure;
}

}  // namespace pelvantz::bench
