// Seconds per presentation as a batch user meets them: decks of 1, 16, 38, 100
// and 300 slides go through one Converter as one batch (one
// ConvertPresentation per deck, in order, as the window runs them), once per
// output type at the window's default options, beside LibreOffice's own
// `soffice --headless --convert-to pdf` on the same decks in the same run.
// Prints seconds, the ratio to soffice, the per-slide marginal cost and the
// peak resident memory of the program plus its children; asserts nothing.
//
// The 100- and 300-slide decks are built from corpus slides by make_decks.py
// beside this file (needs python3-uno) into a cache folder, and reused.
//
// Usage: bench_convert [--types slides,notes,outline,handouts3,handouts6,comments]
//                      [--decks 1,16,38,100,300] [--stress] [--corpus DIR]
//                      [--app DIR] [--deck-cache DIR]
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "QuietServices.h"
#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "engine/Conversion.h"
#include "joblist/JobList.h"
#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "platform/LibreOfficeFactory.h"
#include "platform/RegistryStore.h"

namespace {

namespace fs = std::filesystem;
using pelvantz::ChildCommand;
using pelvantz::ChildProcess;
using pelvantz::ChildStartFailure;
using pelvantz::FindExecutable;
using Clock = std::chrono::steady_clock;

// ---- the bench set -------------------------------------------------------

struct Deck {
  std::string name;  // what the command line and the report call it
  int slides;
  std::string corpusFile;  // empty for a deck that make_decks.py builds
};

const std::vector<Deck> AllDecks = {
    {"1", 1, "apache-tika/testPPT_various.ppt"},
    {"16", 16, "format-corpus/ecdl+paris2001.ppt"},
    {"38", 38, "format-corpus/unc-+oxford2001.ppt"},
    {"100", 100, ""},
    {"300", 300, ""},
};

struct OutputChoice {
  std::string key;  // the command line's name
  std::string label;
  std::string outputType;
  bool printComments;
};

const std::vector<OutputChoice> AllOutputs = {
    {"slides", "Slides", "Slides", false},
    {"notes", "Notes", "Notes", false},
    {"outline", "Outline", "Outline", false},
    {"handouts3", "3 Slide Handouts", "3 Slide Handouts", false},
    {"handouts6", "6 Slide Handouts", "6 Slide Handouts", false},
    {"comments", "Slides with Print Comments", "Slides", true},
};

// ---- the command line ----------------------------------------------------

struct Settings {
  std::vector<Deck> decks = AllDecks;
  std::vector<OutputChoice> outputs = AllOutputs;
  bool stress = false;
  bool fidelity = false;  // every sound corpus deck, Slides, compared with soffice's PDF
  fs::path corpus = PELVANTZ_BENCH_CORPUS;
  fs::path appFolder = PELVANTZ_BENCH_APP_DIR;
  fs::path deckCache = PELVANTZ_BENCH_DECK_CACHE;
};

[[noreturn]] void Usage(const std::string& problem) {
  std::fprintf(stderr,
               "bench_convert: %s\n"
               "usage: bench_convert [--types slides,notes,outline,handouts3,handouts6,comments]\n"
               "                     [--decks 1,16,38,100,300] [--stress] [--corpus DIR] [--app DIR]\n"
               "                     [--deck-cache DIR]\n"
               "       bench_convert --fidelity [--corpus DIR] [--app DIR]\n",
               problem.c_str());
  std::exit(2);
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::istringstream stream(text);
  for (std::string item; std::getline(stream, item, ',');)
    if (!item.empty()) items.push_back(item);
  return items;
}

// The entries of `all` whose `key` the list names, in the order of `all`.
template <typename T, typename Key>
std::vector<T> Pick(const std::vector<T>& all, const std::string& list, Key key) {
  const std::vector<std::string> wanted = SplitList(list);
  for (const auto& name : wanted)
    if (std::none_of(all.begin(), all.end(), [&](const T& item) { return key(item) == name; }))
      Usage("unknown name '" + name + "'");
  std::vector<T> picked;
  for (const auto& item : all)
    if (std::find(wanted.begin(), wanted.end(), key(item)) != wanted.end()) picked.push_back(item);
  return picked;
}

// Every deck the corpus manifest calls sound, named by its place in the list.
std::vector<Deck> SoundCorpusDecks(const fs::path& corpus) {
  std::vector<Deck> decks;
  std::ifstream manifest(corpus / "manifest.tsv");
  for (std::string line; std::getline(manifest, line);) {
    const auto tab = line.find('\t');
    if (tab != std::string::npos && line.substr(tab + 1) == "sound")
      decks.push_back({"c" + std::to_string(decks.size() + 1), 0, line.substr(0, tab)});
  }
  return decks;
}

Settings ParseArguments(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--stress") {
      settings.stress = true;
      continue;
    }
    if (option == "--fidelity") {
      settings.fidelity = true;
      continue;
    }
    if (i + 1 == argc) Usage("missing value after " + option);
    const std::string value = argv[++i];
    if (option == "--types") {
      settings.outputs = Pick(AllOutputs, value, [](const OutputChoice& o) { return o.key; });
    } else if (option == "--decks") {
      settings.decks = Pick(AllDecks, value, [](const Deck& d) { return d.name; });
    } else if (option == "--corpus") {
      settings.corpus = value;
    } else if (option == "--app") {
      settings.appFolder = value;
    } else if (option == "--deck-cache") {
      settings.deckCache = value;
    } else {
      Usage("unknown option " + option);
    }
  }
  if (settings.fidelity) {
    settings.decks = SoundCorpusDecks(settings.corpus);
    settings.outputs = {AllOutputs.front()};
  }
  if (settings.decks.empty() || settings.outputs.empty()) Usage("nothing to run");
  return settings;
}

// ---- the program's services, quiet ---------------------------------------

using pelvantz::bench::NoCursor;
using pelvantz::bench::NoShell;
using pelvantz::bench::QuietDialogs;
using pelvantz::bench::WindowsXp;

// ---- processes and memory --------------------------------------------------

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

// Starts a program found on the PATH, its output thrown away; nothing when it cannot start.
std::unique_ptr<ChildProcess> StartProgram(const std::vector<std::string>& arguments) {
  const std::optional<std::string> program = FindExecutable(arguments.front());
  if (!program) return nullptr;
  try {
    ChildCommand command;
    command.program = *program;
    command.arguments = arguments;
    return std::make_unique<ChildProcess>(command);
  } catch (const ChildStartFailure&) {
    return nullptr;
  }
}

int RunProgram(const std::vector<std::string>& arguments) {
  const std::unique_ptr<ChildProcess> program = StartProgram(arguments);
  return program ? program->wait() : -1;
}

// `stress-ng --cpu 2` for as long as the object lives.
class StressLoad {
 public:
  explicit StressLoad(bool wanted) {
    if (!wanted) return;
    process_ = StartProgram({"stress-ng", "--cpu", "2"});
    if (!process_) {
      std::fprintf(stderr, "bench_convert: cannot start stress-ng\n");
      std::exit(2);
    }
  }
  StressLoad(const StressLoad&) = delete;
  StressLoad& operator=(const StressLoad&) = delete;
  pid_t pid() const { return process_ ? process_->pid() : 0; }

 private:
  std::unique_ptr<ChildProcess> process_;
};

// The PDF's page count by pdfinfo; 0 when it has none or cannot be read.
std::string CommandText(const std::string& command) {
  std::string text;
  FILE* output = popen(command.c_str(), "r");
  if (!output) return text;
  char buffer[4096];
  for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, output)) > 0;) text.append(buffer, read);
  pclose(output);
  return text;
}

int PdfPages(const fs::path& pdf) {
  if (!fs::exists(pdf)) return 0;
  const std::string info = CommandText("pdfinfo '" + pdf.string() + "' 2>/dev/null");
  int pages = 0;
  if (const auto at = info.find("Pages:"); at != std::string::npos)
    std::sscanf(info.c_str() + at, "Pages: %d", &pages);
  return pages;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// ---- the decks ---------------------------------------------------------------

// Builds the missing large decks into the cache; ends the bench when it cannot.
void BuildLargeDecks(const Settings& settings) {
  std::vector<std::string> command = {"/usr/bin/python3", PELVANTZ_BENCH_SOURCE_DIR "/make_decks.py",
                                      settings.corpus.string(), settings.deckCache.string()};
  for (const Deck& deck : settings.decks)
    if (deck.corpusFile.empty()) command.push_back(std::to_string(deck.slides));
  if (command.size() == 4) return;
  std::printf("large decks: %s (built when missing, reused when present)\n", settings.deckCache.c_str());
  std::fflush(stdout);
  if (RunProgram(command) != 0) {
    std::fprintf(stderr, "bench_convert: make_decks.py failed (is python3-uno installed?)\n");
    std::exit(2);
  }
}

fs::path DeckSource(const Settings& settings, const Deck& deck) {
  return deck.corpusFile.empty() ? settings.deckCache / ("deck-" + deck.name + ".ppt")
                                 : settings.corpus / deck.corpusFile;
}

// Copies with plain names, so neither side meets the corpus's odd characters
// and the office's lock files stay out of the corpus.
std::vector<fs::path> CopyDecks(const Settings& settings, const fs::path& folder) {
  std::vector<fs::path> copies;
  fs::create_directories(folder);
  for (const Deck& deck : settings.decks) {
    copies.push_back(folder / ("deck-" + deck.name + ".ppt"));
    fs::copy_file(DeckSource(settings, deck), copies.back(), fs::copy_options::overwrite_existing);
  }
  return copies;
}

// ---- measurements --------------------------------------------------------------

struct Measure {
  double seconds = 0;
  int pages = 0;
  long peakKiB = 0;
  pelvantz::OfficeCallRecord closestCall;  // the office call nearest its time limit
  std::string failure;                     // empty when the output is good
  bool ok() const { return failure.empty(); }
};

// One deck's line; the ratio to soffice when there is one to compare with.
void PrintMeasure(const std::string& label, const std::string& deck, const Measure& m,
                  const Measure* soffice = nullptr) {
  std::printf("  %-27s deck %-4s %8.2f s", label.c_str(), deck.c_str(), m.seconds);
  if (soffice) std::printf("  soffice %7.2f s  ratio %6.2f", soffice->seconds, m.seconds / soffice->seconds);
  std::printf("  %4d pages  peak %5ld MiB", m.pages, m.peakKiB / 1024);
  if (m.closestCall.limit.count() > 0)
    std::printf("  slowest call %.1f s of %ld s", m.closestCall.took.count() / 1000.0,
                static_cast<long>(m.closestCall.limit.count()));
  std::printf("%s%s\n", m.ok() ? "" : "  FAILED: ", m.failure.c_str());
  std::fflush(stdout);
}

class OursBatch {
 public:
  OursBatch(const fs::path& appFolder, pid_t skip)
      : errors_(dialogs_, cursor_, "bench"),
        jobs_(dialogs_),
        store_(pelvantz::RegistryStore::PathIn(appFolder.string())),
        registry_(store_),
        office_(pelvantz::MakeLibreOfficeFactory(appFolder.string())),
        converter_(pelvantz::ConversionEnvironment{
            *office_, dialogs_, errors_, shell_, jobs_, registry_, version_, appFolder.string(),
            [] {
              std::fprintf(stderr, "Ghostscript is missing: the program would end here\n");
              std::exit(2);
            }}),
        skip_(skip) {}

  // Queues every deck, then converts them in order as the window does,
  // telling each deck's measure as soon as it is taken.
  std::vector<Measure> run(const std::vector<fs::path>& decks, const fs::path& outFolder,
                           const OutputChoice& output, const std::function<void(size_t, const Measure&)>& tell) {
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

 private:
  static fs::path Target(const fs::path& outFolder, const fs::path& deck) {
    return outFolder / (deck.stem().string() + ".pdf");
  }

  Measure convert(int16_t position, const OutputChoice& output, bool anotherJobFollows) {
    const pelvantz::ConversionJob job = jobs_.at(position);
    pelvantz::ConversionOptions options;  // the window's defaults: A3, landscape, fit, all pages
    options.OutputType = output.outputType;
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
    measure.closestCall = pelvantz::TakeClosestOfficeCall();
    measure.pages = PdfPages(job.TargetPath);
    const std::string status = jobs_.at(position).Status;
    if (status != "Completed") {
      measure.failure = "status \"" + status + "\": " + dialogs_.last;
    } else if (measure.pages <= 0) {
      measure.failure = "no readable PDF pages";
    }
    return measure;
  }

  QuietDialogs dialogs_;
  NoCursor cursor_;
  NoShell shell_;
  WindowsXp version_;
  pelvantz::ErrorHandler errors_;
  pelvantz::JobList jobs_;
  pelvantz::RegistryStore store_;
  pelvantz::Registry registry_;
  std::unique_ptr<pelvantz::PresentationAppFactory> office_;
  pelvantz::Converter converter_;
  pid_t skip_;
};

Measure ConvertWithSoffice(const fs::path& source, const fs::path& outFolder, const fs::path& profile,
                           pid_t skip) {
  fs::remove_all(outFolder);
  fs::create_directories(outFolder);
  Measure measure;
  int code = 0;
  {
    PeakMemory memory(false, skip);
    const auto start = Clock::now();
    code = RunProgram({"soffice", "-env:UserInstallation=file://" + profile.string(), "--headless", "--convert-to",
                       "pdf", "--outdir", outFolder.string(), source.string()});
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

// ---- figures ---------------------------------------------------------------------

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Seconds per extra slide: the least-squares slope of seconds over slides
// across the successful decks; nothing with fewer than two slide counts.
std::optional<double> MarginalCost(const std::vector<Deck>& decks, const std::vector<Measure>& measures) {
  std::vector<std::pair<double, double>> points;
  for (size_t i = 0; i < decks.size(); ++i)
    if (measures[i].ok()) points.emplace_back(decks[i].slides, measures[i].seconds);
  if (points.size() < 2) return {};
  double meanX = 0, meanY = 0;
  for (const auto& [x, y] : points) meanX += x / points.size(), meanY += y / points.size();
  double covariance = 0, variance = 0;
  for (const auto& [x, y] : points) {
    covariance += (x - meanX) * (y - meanY);
    variance += (x - meanX) * (x - meanX);
  }
  if (variance == 0) return {};
  return covariance / variance;
}

std::string MarginalText(const std::optional<double>& cost) {
  if (!cost) return "n/a";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s/slide", *cost);
  return text;
}

int Failures(const std::vector<Measure>& measures) {
  return static_cast<int>(
      std::count_if(measures.begin(), measures.end(), [](const Measure& m) { return !m.ok(); }));
}

long PeakMiB(const std::vector<Measure>& measures) {
  long peak = 0;
  for (const auto& m : measures) peak = std::max(peak, m.peakKiB);
  return peak / 1024;
}

// The largest share of its time limit that any office call took.
double ClosestShareOfLimit(const std::vector<Measure>& measures) {
  double share = 0;
  for (const auto& m : measures)
    if (m.closestCall.limit.count() > 0)
      share =
          std::max(share, m.closestCall.took.count() / 1000.0 / static_cast<double>(m.closestCall.limit.count()));
  return share;
}

void PrintSummary(const std::string& label, const std::vector<Deck>& decks, const std::vector<Measure>& ours,
                  const std::vector<Measure>& soffice) {
  std::vector<double> ratios;
  std::string worstDeck = "none";
  double worst = 0;
  for (size_t i = 0; i < decks.size(); ++i) {
    if (!ours[i].ok() || !soffice[i].ok()) continue;
    const double ratio = ours[i].seconds / soffice[i].seconds;
    ratios.push_back(ratio);
    if (ratio > worst) worst = ratio, worstDeck = decks[i].name;
  }
  std::printf(
      "%-27s median ratio %6.2f  worst %6.2f (deck %s)  failures %d/%zu  peak %5ld MiB  marginal %s  "
      "closest call %.0f%% of its limit\n",
      label.c_str(), Median(ratios), worst, worstDeck.c_str(), Failures(ours), decks.size(), PeakMiB(ours),
      MarginalText(MarginalCost(decks, ours)).c_str(), 100 * ClosestShareOfLimit(ours));
}

void PrintSofficeSummary(const std::vector<Deck>& decks, const std::vector<Measure>& soffice) {
  std::vector<double> seconds;
  for (const auto& m : soffice)
    if (m.ok()) seconds.push_back(m.seconds);
  std::printf("%-27s median %6.2f s             failures %d/%zu  peak %5ld MiB  marginal %s\n",
              "soffice --convert-to pdf", Median(seconds), Failures(soffice), decks.size(), PeakMiB(soffice),
              MarginalText(MarginalCost(decks, soffice)).c_str());
}

// ---- fidelity ------------------------------------------------------------------

fs::path SofficeFolder(const fs::path& scratch, size_t deck) {
  return scratch / ("soffice-out-" + std::to_string(deck));
}

std::map<std::string, int> Words(const fs::path& pdf) {
  std::map<std::string, int> words;
  std::istringstream text(CommandText("pdftotext '" + pdf.string() + "' - 2>/dev/null"));
  for (std::string word; text >> word;) ++words[word];
  return words;
}

// The share of soffice's words (with their counts) that ours has too.
double WordRecall(const fs::path& ours, const fs::path& soffice) {
  const auto theirs = Words(soffice);
  const auto mine = Words(ours);
  int total = 0, found = 0;
  for (const auto& [word, count] : theirs) {
    total += count;
    const auto match = mine.find(word);
    found += match == mine.end() ? 0 : std::min(count, match->second);
  }
  return total == 0 ? 1.0 : static_cast<double>(found) / total;
}

int LinkCount(const fs::path& pdf) {
  const std::string json = CommandText("qpdf --json --json-key=qpdf '" + pdf.string() + "' 2>/dev/null");
  int links = 0;
  for (auto at = json.find("\"/Subtype\": \"/Link\""); at != std::string::npos;
       at = json.find("\"/Subtype\": \"/Link\"", at + 1))
    ++links;
  return links;
}

// Ours beside soffice's PDF of the same deck: pages, words, links, size.
void PrintFidelity(const std::vector<Deck>& decks, const std::vector<fs::path>& copies, const fs::path& scratch) {
  std::printf("\nfidelity, Slides at the default options, against soffice --convert-to pdf\n");
  std::printf("  %-45s %7s %7s %7s %9s %9s\n", "deck", "pages", "soffice", "recall", "links", "size");
  int samePages = 0, fullRecall = 0, linksKept = 0, compared = 0;
  std::vector<double> sizes;
  for (size_t i = 0; i < decks.size(); ++i) {
    const fs::path ours = scratch / "out-slides" / (copies[i].stem().string() + ".pdf");
    const fs::path theirs = SofficeFolder(scratch, i) / (copies[i].stem().string() + ".pdf");
    if (!fs::exists(ours) || !fs::exists(theirs)) {
      std::printf("  %-45s not compared: %s\n", decks[i].corpusFile.c_str(),
                  fs::exists(ours) ? "soffice failed" : "ours failed");
      continue;
    }
    ++compared;
    const int pages = PdfPages(ours), theirPages = PdfPages(theirs);
    const double recall = WordRecall(ours, theirs);
    const int links = LinkCount(ours), theirLinks = LinkCount(theirs);
    const double size = static_cast<double>(fs::file_size(ours)) / static_cast<double>(fs::file_size(theirs));
    samePages += pages == theirPages;
    fullRecall += recall >= 0.99;
    linksKept += links == theirLinks;
    sizes.push_back(size);
    std::printf("  %-45s %3d/%-3d %7s %7.3f %4d/%-4d %8.2fx\n", decks[i].corpusFile.c_str(), pages, theirPages, "",
                recall, links, theirLinks, size);
  }
  std::printf(
      "decks compared %d of %zu: same page count %d, word recall >= 0.99 %d, links as soffice's %d, "
      "median size ratio %.2f\n",
      compared, decks.size(), samePages, fullRecall, linksKept, Median(sizes));
}

}  // namespace

int main(int argc, char** argv) {
  const Settings settings = ParseArguments(argc, argv);
  BuildLargeDecks(settings);
  const fs::path scratch = fs::temp_directory_path() / ("pelvantz-bench-" + std::to_string(getpid()));
  const std::vector<fs::path> decks = CopyDecks(settings, scratch / "decks");
  std::vector<std::string> names;
  for (const Deck& deck : settings.decks) names.push_back(deck.name);

  const StressLoad stress(settings.stress);
  std::printf("bench: %zu decks, %zu output types%s\n", decks.size(), settings.outputs.size(),
              settings.stress ? ", under stress-ng --cpu 2" : "");

  const fs::path profile = scratch / "soffice-profile";
  ConvertWithSoffice(decks.front(), scratch / "soffice-out", profile, stress.pid());  // warms the profile
  std::vector<Measure> soffice;
  for (size_t i = 0; i < decks.size(); ++i) {
    soffice.push_back(ConvertWithSoffice(decks[i], SofficeFolder(scratch, i), profile, stress.pid()));
    PrintMeasure("soffice --convert-to pdf", names[i], soffice.back());
  }

  OursBatch batch(settings.appFolder, stress.pid());
  std::map<std::string, std::vector<Measure>> ours;
  for (const auto& output : settings.outputs) {
    ours[output.key] = batch.run(decks, scratch / ("out-" + output.key), output, [&](size_t i, const Measure& m) {
      PrintMeasure(output.label, names[i], m, &soffice[i]);
    });
  }

  if (settings.fidelity) {
    PrintFidelity(settings.decks, decks, scratch);
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return 0;
  }
  std::printf("\nseconds per deck, ratio = ours / soffice; marginal = seconds per extra slide (fit over decks)\n");
  for (const auto& output : settings.outputs)
    PrintSummary(output.label, settings.decks, ours[output.key], soffice);
  PrintSofficeSummary(settings.decks, soffice);

  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return 0;
}
