// Seconds per presentation through the whole conversion (office + Ghostscript)
// for slides, notes pages and 6-slide handouts, beside LibreOffice's own
// `soffice --headless --convert-to pdf` on the same files, with peak memory.
//
// Usage: bench_convert [corpus folder] [application folder]
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/Conversion.h"
#include "joblist/JobList.h"
#include "platform/LibreOfficeFactory.h"
#include "platform/RegistryStore.h"
#include "startup/core/ErrorHandler.h"
#include "startup/core/Registry.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Answers every message at once and remembers the last one.
class QuietDialogs : public pelvantz::Dialogs {
 public:
  pelvantz::MessageAnswer showMessage(const std::string& text, pelvantz::MessageIcon,
                                      pelvantz::MessageButtons, const std::string&) override {
    last = text;
    return pelvantz::MessageAnswer::Ok;
  }
  std::optional<std::string> chooseFile(const pelvantz::FileDialogRequest&) override { return {}; }
  std::string last;
};

class NoCursor : public pelvantz::Cursor {
 public:
  void setBusy() override {}
  void setDefault() override {}
};

class NoShell : public pelvantz::Shell {
 public:
  void open(const std::string&) override {}
};

// A system whose printer check goes on silently, so that only conversion is timed.
class WindowsXp : public pelvantz::SystemVersion {
 public:
  bool query(pelvantz::OsVersionInfo& info) override {
    info.platformId = 2;
    info.majorVersion = 5;
    info.minorVersion = 1;
    return true;
  }
};

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

long TreeResidentKiB(pid_t root, bool includeRoot) {
  long total = includeRoot ? ResidentKiB(root) : 0;
  for (pid_t child : ChildrenOf(root)) total += TreeResidentKiB(child, true);
  return total;
}

// Samples the summed resident memory of this process (optionally) and all its
// descendants while a measurement runs.
class PeakMemory {
 public:
  explicit PeakMemory(bool includeSelf) : includeSelf_(includeSelf), sampler_([this] { sample(); }) {}
  ~PeakMemory() {
    stop_ = true;
    sampler_.join();
  }
  long peakKiB() const { return peak_; }

 private:
  void sample() {
    while (!stop_) {
      peak_ = std::max(peak_.load(), TreeResidentKiB(getpid(), includeSelf_));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  bool includeSelf_;
  std::atomic<bool> stop_{false};
  std::atomic<long> peak_{0};
  std::thread sampler_;
};

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::string> SoundFiles(const fs::path& corpus) {
  std::ifstream manifest(corpus / "manifest.tsv");
  std::vector<std::string> files;
  std::string line;
  while (std::getline(manifest, line)) {
    const auto tab = line.find('\t');
    if (tab != std::string::npos && line.substr(tab + 1) == "sound") files.push_back(line.substr(0, tab));
  }
  return files;
}

int RunProgram(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Measure {
  double seconds = 0;
  bool ok = false;
  long peakKiB = 0;
};

struct Row {
  std::string file;
  std::map<std::string, Measure> ours;
  Measure soffice;
};

const std::vector<std::string> OutputTypes = {"Slides", "Notes", "6 Slide Handouts"};

Measure ConvertOurs(pelvantz::Converter& converter, pelvantz::JobList& jobs, const fs::path& source,
                    const fs::path& target, const std::string& outputType) {
  jobs.clear();
  jobs.AddCompleteListView(source.string(), target.string());
  pelvantz::ConversionOptions options;
  options.OutputType = outputType;
  fs::remove(target);
  Measure measure;
  PeakMemory memory(true);
  const auto start = Clock::now();
  converter.ConvertPresentation(source.string(), target.string(), 1, options);
  measure.seconds = Seconds(start);
  measure.ok = jobs.at(1).Status == "Completed" && fs::exists(target);
  measure.peakKiB = memory.peakKiB();
  return measure;
}

Measure ConvertWithSoffice(const fs::path& source, const fs::path& outFolder, const fs::path& profile) {
  fs::remove_all(outFolder);
  fs::create_directories(outFolder);
  Measure measure;
  PeakMemory memory(false);
  const auto start = Clock::now();
  const int code = RunProgram({"soffice", "-env:UserInstallation=file://" + profile.string(), "--headless",
                               "--convert-to", "pdf", "--outdir", outFolder.string(), source.string()});
  measure.seconds = Seconds(start);
  measure.ok = code == 0 && fs::exists(outFolder / (source.stem().string() + ".pdf"));
  measure.peakKiB = memory.peakKiB();
  return measure;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path corpus = argc > 1 ? argv[1] : PELVANTZ_BENCH_CORPUS;
  const fs::path appFolder = argc > 2 ? argv[2] : PELVANTZ_BENCH_APP_DIR;
  const fs::path scratch = fs::temp_directory_path() / ("pelvantz-bench-" + std::to_string(getpid()));
  fs::create_directories(scratch);

  QuietDialogs dialogs;
  NoCursor cursor;
  NoShell shell;
  WindowsXp version;
  pelvantz::ErrorHandler errors(dialogs, cursor, "bench");
  pelvantz::JobList jobs(dialogs);
  pelvantz::RegistryStore store(pelvantz::RegistryStore::PathIn(appFolder.string()));
  pelvantz::Registry registry(store);
  auto office = pelvantz::MakeLibreOfficeFactory(appFolder.string());
  pelvantz::Converter converter(pelvantz::ConversionEnvironment{
      *office, dialogs, errors, shell, jobs, registry, version, appFolder.string(),
      [] { std::fprintf(stderr, "Ghostscript is missing: the program would end here\n"); std::exit(2); }});

  std::vector<Row> rows;
  for (const auto& name : SoundFiles(corpus)) {
    // Copies with plain names, so neither side meets the corpus's odd characters.
    const fs::path source = scratch / ("in-" + std::to_string(rows.size()) + fs::path(name).extension().string());
    fs::copy_file(corpus / name, source, fs::copy_options::overwrite_existing);
    Row row{name, {}, {}};
    for (const auto& type : OutputTypes) {
      row.ours[type] = ConvertOurs(converter, jobs, source, scratch / "ours.pdf", type);
    }
    row.soffice = ConvertWithSoffice(source, scratch / "soffice-out", scratch / "soffice-profile");
    std::printf("%-45s", name.c_str());
    for (const auto& type : OutputTypes) {
      const Measure& m = row.ours[type];
      std::printf("  %s %5.2fs%s", type.substr(0, 5).c_str(), m.seconds, m.ok ? "" : "(failed)");
    }
    std::printf("  soffice %5.2fs%s\n", row.soffice.seconds, row.soffice.ok ? "" : "(failed)");
    std::fflush(stdout);
    rows.push_back(std::move(row));
  }

  std::printf("\nmedian seconds per presentation over %zu sound files (successful runs only)\n", rows.size());
  std::vector<double> soffice;
  long sofficePeak = 0;
  for (const auto& row : rows) {
    if (row.soffice.ok) soffice.push_back(row.soffice.seconds);
    sofficePeak = std::max(sofficePeak, row.soffice.peakKiB);
  }
  for (const auto& type : OutputTypes) {
    std::vector<double> ours;
    long peak = 0;
    int failed = 0;
    for (const auto& row : rows) {
      const Measure& m = row.ours.at(type);
      if (m.ok) ours.push_back(m.seconds);
      failed += m.ok ? 0 : 1;
      peak = std::max(peak, m.peakKiB);
    }
    std::printf("  ours %-17s %6.2f s  (%d failed)  ratio to soffice %.2f  peak memory %ld MiB\n",
                type.c_str(), Median(ours), failed, Median(ours) / Median(soffice), peak / 1024);
  }
  std::printf("  soffice --convert-to   %6.2f s  (%zu failed)  peak memory %ld MiB\n", Median(soffice),
              rows.size() - soffice.size(), sofficePeak / 1024);
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return 0;
}
