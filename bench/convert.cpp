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
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/Conversions.h"
#include "common/Programs.h"

namespace {

namespace fs = std::filesystem;
using pelvantz::ChildProcess;
using pelvantz::bench::ConvertWithSoffice;
using pelvantz::bench::Measure;
using pelvantz::bench::Median;
using pelvantz::bench::OursBatch;
using pelvantz::bench::OutputChoice;
using pelvantz::bench::RunProgram;
using pelvantz::bench::StartProgram;

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
  fs::path corpus = PELVANTZ_BENCH_CORPUS;
  fs::path appFolder = PELVANTZ_BENCH_APP_DIR;
  fs::path deckCache = PELVANTZ_BENCH_DECK_CACHE;
};

[[noreturn]] void Usage(const std::string& problem) {
  std::fprintf(stderr,
               "bench_convert: %s\n"
               "usage: bench_convert [--types slides,notes,outline,handouts3,handouts6,comments]\n"
               "                     [--decks 1,16,38,100,300] [--stress] [--corpus DIR] [--app DIR]\n"
               "                     [--deck-cache DIR]\n",
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

Settings ParseArguments(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--stress") {
      settings.stress = true;
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
  if (settings.decks.empty() || settings.outputs.empty()) Usage("nothing to run");
  return settings;
}

// ---- the stress load ------------------------------------------------------

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

// ---- figures ---------------------------------------------------------------------

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
    soffice.push_back(ConvertWithSoffice(decks[i], scratch / "soffice-out", profile, stress.pid()));
    PrintMeasure("soffice --convert-to pdf", names[i], soffice.back());
  }

  OursBatch batch(settings.appFolder, stress.pid());
  std::map<std::string, std::vector<Measure>> ours;
  for (const auto& output : settings.outputs) {
    ours[output.key] = batch.run(decks, scratch / ("out-" + output.key), output, [&](size_t i, const Measure& m) {
      PrintMeasure(output.label, names[i], m, &soffice[i]);
    });
  }

  std::printf("\nseconds per deck, ratio = ours / soffice; marginal = seconds per extra slide (fit over decks)\n");
  for (const auto& output : settings.outputs)
    PrintSummary(output.label, settings.decks, ours[output.key], soffice);
  PrintSofficeSummary(settings.decks, soffice);

  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return 0;
}
