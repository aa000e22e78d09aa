// How faithfully the PDF carries the deck's text: every sound corpus deck and
// the text decks of tests/data (Calibri ligatures, CJK text whose font the
// office splits into several subsets, characters outside the BMP) go through
// the program's Converter, Slides and Notes at the window's default options,
// beside LibreOffice's own PDF of the same deck in the same run:
// `soffice --headless --convert-to pdf` for Slides, its notes-pages export
// (impress_pdf_Export with ExportOnlyNotesPages) for Notes.
//
// Per deck: pages (ours/soffice), word recall (soffice's pdftotext words, with
// their counts, that ours has too) and word precision (ours that soffice's
// has), the characters of our text that soffice's text lacks (count and a
// sample), fonts without a ToUnicode map (pdffonts "uni" = no, ours and
// soffice's), link annotations (ours and soffice's), the file size over
// soffice's, and the seconds of the Ghostscript pass with their ratio to
// soffice's whole conversion. Decks whose text shows today's date or the time
// of the run (a date or time field) are flagged: their recall may fall short
// of 1 for that alone. One summary line per output type; asserts nothing.
//
// Ghostscript is timed without touching the program: the bench runs the
// Converter on a private application folder whose pelvantz.reg names, as
// GSPath, a small script that runs the real Ghostscript (the one the given
// application folder names) and notes how long each pdfwrite pass took.
//
// Usage: bench_fidelity [--types slides,notes] [--match TEXT] [--corpus DIR] [--app DIR]
//   --match: only the decks whose path holds TEXT (e.g. --match tests/data)
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/Conversions.h"
#include "common/Corpus.h"
#include "common/Programs.h"
#include "core/Registry.h"
#include "engine/Ghostscript.h"
#include "platform/RegistryStore.h"

namespace {

namespace fs = std::filesystem;
using pelvantz::bench::ConvertWithSoffice;
using pelvantz::bench::Measure;
using pelvantz::bench::Median;
using pelvantz::bench::OursBatch;
using pelvantz::bench::OutputChoice;
using pelvantz::bench::ProgramOutput;

// ---- the bench set ---------------------------------------------------------

struct Deck {
  std::string name;  // its path in the corpus, or tests/data/<file>
  fs::path source;
};

const std::vector<std::string> TextDecks = {"ligatures.ppt", "cjk-split.ppt", "non-bmp.ppt"};

struct FidelityOutput {
  OutputChoice choice;
  std::string sofficeConvertTo;  // the reference PDF's --convert-to value
};

const std::vector<FidelityOutput> AllOutputs = {
    {{"slides", "Slides", "Slides", false}, pelvantz::bench::SofficeSlidesPdf},
    {{"notes", "Notes", "Notes", false},
     "pdf:impress_pdf_Export:{\"ExportNotesPages\":{\"type\":\"boolean\",\"value\":\"true\"},"
     "\"ExportOnlyNotesPages\":{\"type\":\"boolean\",\"value\":\"true\"}}"},
};

struct Settings {
  std::vector<FidelityOutput> outputs = AllOutputs;
  std::string match;
  fs::path corpus = PELVANTZ_BENCH_CORPUS;
  fs::path appFolder = PELVANTZ_BENCH_APP_DIR;
};

[[noreturn]] void Usage(const std::string& problem) {
  std::fprintf(stderr,
               "bench_fidelity: %s\n"
               "usage: bench_fidelity [--types slides,notes] [--match TEXT] [--corpus DIR] [--app DIR]\n",
               problem.c_str());
  std::exit(2);
}

std::vector<FidelityOutput> PickOutputs(const std::string& list) {
  std::vector<FidelityOutput> picked;
  std::istringstream names(list);
  for (std::string name; std::getline(names, name, ',');) {
    const auto found = std::find_if(AllOutputs.begin(), AllOutputs.end(),
                                    [&](const FidelityOutput& output) { return output.choice.key == name; });
    if (found == AllOutputs.end()) Usage("unknown output type '" + name + "'");
    picked.push_back(*found);
  }
  return picked;
}

Settings ParseArguments(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; i += 2) {
    const std::string option = argv[i];
    if (i + 1 == argc) Usage("missing value after " + option);
    const std::string value = argv[i + 1];
    if (option == "--types") {
      settings.outputs = PickOutputs(value);
    } else if (option == "--match") {
      settings.match = value;
    } else if (option == "--corpus") {
      settings.corpus = value;
    } else if (option == "--app") {
      settings.appFolder = value;
    } else {
      Usage("unknown option " + option);
    }
  }
  if (settings.outputs.empty()) Usage("nothing to run");
  return settings;
}

std::vector<Deck> BenchDecks(const Settings& settings) {
  std::vector<Deck> decks;
  for (const std::string& file : pelvantz::bench::SoundCorpusFiles(settings.corpus))
    decks.push_back({file, settings.corpus / file});
  for (const std::string& file : TextDecks)
    decks.push_back({"tests/data/" + file, fs::path(PELVANTZ_BENCH_SOURCE_DIR) / ".." / "tests" / "data" / file});
  decks.erase(
      std::remove_if(decks.begin(), decks.end(),
                     [&](const Deck& deck) { return deck.name.find(settings.match) == std::string::npos; }),
      decks.end());
  if (decks.empty()) Usage("no deck matches '" + settings.match + "'");
  return decks;
}

// Copies with plain names, so neither side meets the corpus's odd characters
// and the office's lock files stay out of the corpus.
std::vector<fs::path> CopyDecks(const std::vector<Deck>& decks, const fs::path& folder) {
  std::vector<fs::path> copies;
  fs::create_directories(folder);
  for (size_t i = 0; i < decks.size(); ++i) {
    copies.push_back(folder / ("deck-" + std::to_string(i + 1) + ".ppt"));
    fs::copy_file(decks[i].source, copies.back(), fs::copy_options::overwrite_existing);
  }
  return copies;
}

// ---- Ghostscript, timed ------------------------------------------------------

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// An application folder of its own that shares everything of `original` but
// its work folder and its GSPath, which names a script that runs the real
// Ghostscript and appends "start end" (seconds) to `log` for each pdfwrite pass.
fs::path TimedApplicationFolder(const fs::path& original, const fs::path& folder, const fs::path& log) {
  pelvantz::RegistryStore originalStore(pelvantz::RegistryStore::PathIn(original.string()));
  pelvantz::Registry originalRegistry(originalStore);
  const std::optional<std::string> ghostscript = pelvantz::LocateGhostscript(originalRegistry);
  if (!ghostscript) Usage("no Ghostscript in " + originalStore.filePath());

  fs::create_directories(folder / "temp");
  for (const auto& entry : fs::directory_iterator(original)) {
    const std::string name = entry.path().filename().string();
    if (name != "temp" && name != "pelvantz.reg") fs::create_symlink(entry.path(), folder / name);
  }
  const fs::path timer = folder / "gs-timed";
  std::ofstream(timer) << "#!/bin/sh\n"
                          "# Runs Ghostscript; notes when each pdfwrite pass started and ended.\n"
                          "case \" $* \" in *' -sDEVICE=pdfwrite '*) ;; *) exec "
                       << ShellQuoted(*ghostscript)
                       << " \"$@\" ;; esac\n"
                          "start=$(date +%s.%N)\n"
                       << ShellQuoted(*ghostscript)
                       << " \"$@\"\n"
                          "code=$?\n"
                          "echo \"$start $(date +%s.%N)\" >> "
                       << ShellQuoted(log.string()) << "\nexit $code\n";
  fs::permissions(timer, fs::perms::owner_all);

  const std::string storePath = pelvantz::RegistryStore::PathIn(folder.string());
  fs::copy_file(originalStore.filePath(), storePath);
  pelvantz::RegistryStore store(storePath);
  pelvantz::Registry registry(store);
  if (registry.SetRegistryValue(pelvantz::RegistryRoot::LocalMachine, "SOFTWARE\\GS", "GSPath", timer.string(),
                                pelvantz::RegistryType::String) != 0)
    Usage("cannot write " + storePath);
  return folder;
}

// The seconds of the pdfwrite passes the log holds, which it then forgets.
double TakeGhostscriptSeconds(const fs::path& log) {
  double seconds = 0;
  std::ifstream passes(log);
  for (double start, end; passes >> start >> end;) seconds += end - start;
  passes.close();
  std::error_code ignored;
  fs::remove(log, ignored);
  return seconds;
}

// ---- what a PDF says ---------------------------------------------------------

std::string PdfText(const fs::path& pdf) { return ProgramOutput({"pdftotext", pdf.string(), "-"}).value_or(""); }

std::map<std::string, int> Words(const std::string& text) {
  std::map<std::string, int> words;
  std::istringstream stream(text);
  for (std::string word; stream >> word;) ++words[word];
  return words;
}

// The share of `wanted`'s words (with their counts) that `found` has too.
double WordShareFound(const std::map<std::string, int>& wanted, const std::map<std::string, int>& found) {
  int total = 0, matched = 0;
  for (const auto& [word, count] : wanted) {
    total += count;
    const auto match = found.find(word);
    matched += match == found.end() ? 0 : std::min(count, match->second);
  }
  return total == 0 ? 1.0 : static_cast<double>(matched) / total;
}

// The text's characters (UTF-8 sequences) but blanks.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (size_t at = 0; at < text.size();) {
    size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    if (!std::isspace(static_cast<unsigned char>(text[at]))) characters.push_back(text.substr(at, end - at));
    at = end;
  }
  return characters;
}

struct ExtraCharacters {
  int count = 0;       // every occurrence
  std::string sample;  // the first few distinct ones
};

ExtraCharacters CharactersNotIn(const std::string& ours, const std::string& theirs) {
  const std::vector<std::string> theirCharacters = Characters(theirs);
  const std::set<std::string> known(theirCharacters.begin(), theirCharacters.end());
  ExtraCharacters extra;
  std::set<std::string> sampled;
  for (const std::string& character : Characters(ours)) {
    if (known.count(character)) continue;
    ++extra.count;
    if (sampled.size() < 8 && sampled.insert(character).second) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", static_cast<unsigned char>(character[0]));
      extra.sample += std::iscntrl(static_cast<unsigned char>(character[0])) ? code : character;
    }
  }
  return extra;
}

// Fonts pdffonts lists with "no" in its "uni" column (the third field from the
// right: the font names may hold blanks); -1 when pdffonts fails.
int FontsWithoutUnicodeMap(const fs::path& pdf) {
  const std::optional<std::string> listing = ProgramOutput({"pdffonts", pdf.string()});
  if (!listing) return -1;
  std::istringstream lines(*listing);
  int count = 0, row = 0;
  for (std::string line; std::getline(lines, line); ++row) {
    if (row < 2) continue;  // the heading and its rule
    std::istringstream fields(line);
    std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
    if (field.size() >= 6 && field[field.size() - 3] == "no") ++count;
  }
  return count;
}

// Link annotations in the PDF, by qpdf's JSON view of its objects.
int LinkCount(const fs::path& pdf) {
  const std::string json = ProgramOutput({"qpdf", "--json", "--json-key=qpdf", pdf.string()}).value_or("");
  const std::string link = "\"/Subtype\": \"/Link\"";
  int links = 0;
  for (auto at = json.find(link); at != std::string::npos; at = json.find(link, at + 1)) ++links;
  return links;
}

// Whether the text shows the date of `now` (as numbers in any order, or with
// its English month name) or a time of day within ten minutes of it: what a
// date or time field shows when the page is drawn.
bool ShowsDateOrTime(const std::string& text, std::time_t now) {
  const std::tm today = *std::localtime(&now);
  const int day = today.tm_mday, month = today.tm_mon + 1, year = today.tm_year + 1900;
  static const std::regex numericDate(R"((\d{1,4})[/.\-](\d{1,2})[/.\-](\d{1,4}))");
  for (std::sregex_iterator it(text.begin(), text.end(), numericDate), end; it != end; ++it) {
    std::multiset<int> parts = {std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3])};
    if (parts == std::multiset<int>{day, month, year} || parts == std::multiset<int>{day, month, year % 100})
      return true;
  }
  char monthName[16];
  std::strftime(monthName, sizeof monthName, "%B", &today);
  const std::string name = monthName, abbreviation = name.substr(0, 3), dayText = std::to_string(day);
  const std::regex namedDate("\\b(" + name + "|" + abbreviation + ")\\.? +0?" + dayText + "\\b|\\b0?" + dayText +
                             "\\.? +(" + name + "|" + abbreviation + ")\\b");
  if (std::regex_search(text, namedDate)) return true;
  static const std::regex timeOfDay(R"(\b(\d{1,2}):(\d{2})\b)");
  const int minuteOfDay = today.tm_hour * 60 + today.tm_min;
  for (std::sregex_iterator it(text.begin(), text.end(), timeOfDay), end; it != end; ++it) {
    const int shown = std::stoi((*it)[1]) * 60 + std::stoi((*it)[2]);
    for (int clock : {minuteOfDay, minuteOfDay % (12 * 60)})
      if (std::abs(shown - clock) <= 10) return true;
  }
  return false;
}

fs::path SofficeFolder(const fs::path& scratch, const std::string& outputKey, size_t deck) {
  return scratch / ("soffice-" + outputKey + "-" + std::to_string(deck));
}

// ---- one deck beside soffice's ---------------------------------------------------

struct Fidelity {
  bool compared = false;
  std::string failure;  // why it was not compared
  int pages = 0, sofficePages = 0;
  double recall = 0, precision = 0;
  ExtraCharacters extra;
  int fontsWithoutMap = 0, sofficeFontsWithoutMap = 0;
  int links = 0, sofficeLinks = 0;
  double sizeRatio = 0;  // our file's bytes over soffice's
  double ghostscriptSeconds = 0, sofficeSeconds = 0;
  bool dated = false;
};

Fidelity Compare(const fs::path& ours, const Measure& oursMeasure, const fs::path& theirs,
                 const Measure& sofficeMeasure, double ghostscriptSeconds) {
  Fidelity fidelity;
  fidelity.ghostscriptSeconds = ghostscriptSeconds;
  fidelity.sofficeSeconds = sofficeMeasure.seconds;
  if (!oursMeasure.ok() || !sofficeMeasure.ok()) {
    fidelity.failure =
        oursMeasure.ok() ? "soffice failed: " + sofficeMeasure.failure : "FAILED: " + oursMeasure.failure;
    return fidelity;
  }
  fidelity.compared = true;
  fidelity.pages = oursMeasure.pages;
  fidelity.sofficePages = sofficeMeasure.pages;
  const std::string ourText = PdfText(ours), theirText = PdfText(theirs);
  const auto ourWords = Words(ourText), theirWords = Words(theirText);
  fidelity.recall = WordShareFound(theirWords, ourWords);
  fidelity.precision = WordShareFound(ourWords, theirWords);
  fidelity.extra = CharactersNotIn(ourText, theirText);
  fidelity.fontsWithoutMap = FontsWithoutUnicodeMap(ours);
  fidelity.sofficeFontsWithoutMap = FontsWithoutUnicodeMap(theirs);
  fidelity.links = LinkCount(ours);
  fidelity.sofficeLinks = LinkCount(theirs);
  fidelity.sizeRatio = static_cast<double>(fs::file_size(ours)) / static_cast<double>(fs::file_size(theirs));
  const std::time_t now = std::time(nullptr);
  fidelity.dated = ShowsDateOrTime(theirText, now) || ShowsDateOrTime(ourText, now);
  return fidelity;
}

void PrintDeck(const std::string& label, const std::string& deck, const Fidelity& f) {
  std::printf("  %-6s %-58s", label.c_str(), deck.c_str());
  if (!f.compared) {
    std::printf("  %s\n", f.failure.c_str());
    std::fflush(stdout);
    return;
  }
  std::printf(
      "  pages %3d/%-3d  recall %.3f  precision %.3f  extra chars %4d  no-uni fonts %d/%d  links %d/%d  size %.2fx"
      "  gs %5.2f s (%.2fx soffice)%s",
      f.pages, f.sofficePages, f.recall, f.precision, f.extra.count, f.fontsWithoutMap, f.sofficeFontsWithoutMap,
      f.links, f.sofficeLinks, f.sizeRatio, f.ghostscriptSeconds, f.ghostscriptSeconds / f.sofficeSeconds,
      f.dated ? "  [date/time]" : "");
  if (f.extra.count > 0) std::printf("  extra \"%s\"", f.extra.sample.c_str());
  std::printf("\n");
  std::fflush(stdout);
}

// The median and the worst (least for shares, most for seconds) with its deck.
struct Spread {
  double median = 0, worst = 0;
  std::string worstDeck = "none";
};

enum class Worst { Least, Most };

template <typename Value>
Spread SpreadOf(const std::vector<Deck>& decks, const std::vector<Fidelity>& results, Worst worst, Value value) {
  Spread spread;
  std::vector<double> values;
  for (size_t i = 0; i < results.size(); ++i) {
    if (!results[i].compared) continue;
    const double v = value(results[i]);
    const bool worse = worst == Worst::Least ? v < spread.worst : v > spread.worst;
    if (values.empty() || worse) spread.worst = v, spread.worstDeck = decks[i].name;
    values.push_back(v);
  }
  spread.median = Median(values);
  return spread;
}

void PrintSummary(const std::string& label, const std::vector<Deck>& decks, const std::vector<Fidelity>& results) {
  const Spread recall = SpreadOf(decks, results, Worst::Least, [](const Fidelity& f) { return f.recall; });
  const Spread precision = SpreadOf(decks, results, Worst::Least, [](const Fidelity& f) { return f.precision; });
  const Spread gs = SpreadOf(decks, results, Worst::Most, [](const Fidelity& f) { return f.ghostscriptSeconds; });
  const Spread gsRatio = SpreadOf(decks, results, Worst::Most,
                                  [](const Fidelity& f) { return f.ghostscriptSeconds / f.sofficeSeconds; });
  const Spread size = SpreadOf(decks, results, Worst::Most, [](const Fidelity& f) { return f.sizeRatio; });
  int compared = 0, samePages = 0, sameLinks = 0, undatedBelow = 0, extra = 0, withoutMap = 0,
      sofficeWithoutMap = 0;
  for (const Fidelity& f : results) {
    if (!f.compared) continue;
    ++compared;
    samePages += f.pages == f.sofficePages;
    sameLinks += f.links == f.sofficeLinks;
    undatedBelow += !f.dated && f.recall < 0.99;
    extra += f.extra.count;
    withoutMap += std::max(f.fontsWithoutMap, 0);
    sofficeWithoutMap += std::max(f.sofficeFontsWithoutMap, 0);
  }
  std::printf(
      "%-6s decks %d/%zu compared, same pages %d, same links %d, size ratio median %.2f  recall median %.3f worst "
      "%.3f (%s), undated below 0.99: %d  "
      "precision median %.3f worst %.3f (%s)  extra chars %d  no-uni fonts %d (soffice %d)  "
      "gs median %.2f s worst %.2f s (%s)  gs/soffice median %.2f worst %.2f (%s)\n",
      label.c_str(), compared, results.size(), samePages, sameLinks, size.median, recall.median, recall.worst,
      recall.worstDeck.c_str(), undatedBelow, precision.median, precision.worst, precision.worstDeck.c_str(),
      extra, withoutMap, sofficeWithoutMap, gs.median, gs.worst, gs.worstDeck.c_str(), gsRatio.median,
      gsRatio.worst, gsRatio.worstDeck.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const Settings settings = ParseArguments(argc, argv);
  const std::vector<Deck> decks = BenchDecks(settings);
  const fs::path scratch = fs::temp_directory_path() / ("pelvantz-fidelity-" + std::to_string(getpid()));
  const std::vector<fs::path> copies = CopyDecks(decks, scratch / "decks");
  const fs::path ghostscriptLog = scratch / "ghostscript-passes";
  const fs::path appFolder = TimedApplicationFolder(settings.appFolder, scratch / "app", ghostscriptLog);
  std::printf(
      "fidelity bench: %zu decks, against soffice's PDF of the same deck; recall = soffice's words found "
      "in ours, precision = ours found in soffice's\n",
      decks.size());

  const fs::path profile = scratch / "soffice-profile";
  ConvertWithSoffice(copies.front(), scratch / "soffice-warm", profile, 0);  // warms the profile
  OursBatch batch(appFolder, 0);
  std::map<std::string, std::vector<Fidelity>> results;
  for (const FidelityOutput& output : settings.outputs) {
    const std::string& key = output.choice.key;
    std::printf("\n%s\n", output.choice.label.c_str());
    std::vector<Measure> soffice;
    for (size_t i = 0; i < copies.size(); ++i)
      soffice.push_back(
          ConvertWithSoffice(copies[i], SofficeFolder(scratch, key, i), profile, 0, output.sofficeConvertTo));
    const fs::path outFolder = scratch / ("out-" + key);
    batch.run(copies, outFolder, output.choice, [&](size_t i, const Measure& ours) {
      const fs::path theirs = SofficeFolder(scratch, key, i) / (copies[i].stem().string() + ".pdf");
      results[key].push_back(Compare(OursBatch::Target(outFolder, copies[i]), ours, theirs, soffice[i],
                                     TakeGhostscriptSeconds(ghostscriptLog)));
      PrintDeck(output.choice.label, decks[i].name, results[key].back());
    });
  }

  std::printf("\nsummary (worst = least recall or precision, most Ghostscript seconds)\n");
  for (const FidelityOutput& output : settings.outputs)
    PrintSummary(output.choice.label, decks, results[output.choice.key]);

  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return 0;
}
