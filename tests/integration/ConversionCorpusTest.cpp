// ConvertPresentation with the real office and Ghostscript over the corpus of
// real presentations.
#include <gtest/gtest.h>

#include <QImage>

#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "engine/Converter.h"
#include "joblist/JobList.h"
#include "platform/OfficeFactory.h"
#include "platform/RegistryStore.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "support/ApplicationCopy.h"
#include "support/Commands.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"
#include "support/OfficeProcesses.h"
#include "support/PdfFacts.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::CommandOutput;
using testing::ProcessesMentioning;
using testing::ShellQuoted;

using testing::IdleCursor;
using testing::ReadFile;
using testing::RecordingShell;

namespace fs = std::filesystem;
using testing::FakeDialogs;
using testing::TempFolder;

using testing::Corpus;

struct PdfFacts {
  int pages = -1;
  double width = 0;  // of the first page, in points
  double height = 0;
};

PdfFacts ReadPdf(const fs::path& pdf) {
  PdfFacts facts;
  const std::string info = CommandOutput("pdfinfo " + ShellQuoted(pdf.string()) + " 2>/dev/null");
  if (const auto at = info.find("Pages:"); at != std::string::npos)
    std::sscanf(info.c_str() + at, "Pages: %d", &facts.pages);
  if (const auto at = info.find("Page size:"); at != std::string::npos)
    std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &facts.width, &facts.height);
  return facts;
}

// The text in reading order, every run of white space made one blank, so that
// a title wrapped on a narrow slide still reads as one phrase; of one page when asked.
std::string PdfText(const fs::path& pdf, int page = 0) {
  std::string text;
  for (char c : testing::PdfText(pdf, page)) {
    const bool blank = std::isspace(static_cast<unsigned char>(c));
    if (!blank)
      text += c;
    else if (!text.empty() && text.back() != ' ')
      text += ' ';
  }
  return text;
}

// A private copy of the built application folder per test program, so that no
// other test's office shares its profile or work folder.
class ConversionCorpusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = new TempFolder;
    testing::CopyApplicationFolder(app(), testing::InstalledGhostscript);
  }
  static void TearDownTestSuite() {
    delete scratch_;
    scratch_ = nullptr;
  }

  void SetUp() override { fs::create_directories(outFolder()); }

  static fs::path app() { return scratch_->path() / "app"; }
  static fs::path outFolder() { return scratch_->path() / "out"; }

  // Converts one presentation as the batch driver would and returns its final status.
  std::string convert(const fs::path& source, const fs::path& target, const ConversionOptions& options) {
    jobs.clear();
    jobs.AddCompleteListView(source.string(), target.string());
    jobs.SetJobStatus(1, "Converting...");
    converter.ConvertPresentation(source.string(), target.string(), 1, options);
    return jobs.at(1).Status;
  }

  static inline TempFolder* scratch_ = nullptr;
  FakeDialogs dialogs;
  IdleCursor cursor;
  ErrorHandler errors{dialogs, cursor, "Pelvantz - Powerpoint to PDF Converter"};
  RecordingShell shell;
  JobList jobs;
  RegistryStore store{RegistryStore::PathIn(app().string())};
  Registry registry{store};
  LinuxSystemVersion systemVersion;
  std::unique_ptr<PresentationAppFactory> office = MakeLibreOfficeFactory(app().string());
  Converter converter{ConversionEnvironment{*office, dialogs, errors, shell, jobs, registry, systemVersion,
                                            app().string(), [] { FAIL() << "the program would end"; }}};
};

// The window's defaults but for the output type and, when given, the page range.
ConversionOptions OptionsFor(const char* outputType, const char* from = nullptr, const char* to = nullptr) {
  ConversionOptions options;
  options.OutputType = OutputTypeForText(outputType);
  if (from) {
    options.AllPages = false;
    options.FromText = from;
    options.ToText = to;
  }
  return options;
}

struct LayoutCase {
  const char* file;
  const char* text;  // found on the first slide
  int slides;
  const char* outputType;
  bool landscape;
  int expectedPages;
  const char* from = nullptr;  // a page range when set
  const char* to = nullptr;
  const char* absentText = nullptr;  // of a slide outside the range
  const char* paperSize = "A4";
};

// The system's paper, on which the printer prints whatever slide size is
// chosen: short and long side in points.
std::pair<double, double> SystemPaperPoints() {
  double width = 595, height = 842;
  std::sscanf(CommandOutput("paperconf -s 2>/dev/null").c_str(), "%lf %lf", &width, &height);
  return {std::min(width, height), std::max(width, height)};
}

TEST_F(ConversionCorpusTest, SoundPresentationsGiveEveryLayoutWithTheirText) {
  const std::vector<LayoutCase> cases = {
      {"format-corpus/ecdl+paris2001.ppt", "JISC Digital Library", 16, "Slides", true, 16},
      {"format-corpus/ecdl+paris2001.ppt", "JISC Digital Library", 16, "Notes", true, 16},
      {"format-corpus/ecdl+paris2001.ppt", "JISC Digital Library", 16, "6 Slide Handouts", true, 3},
      {"format-corpus/ecdl+paris2001.ppt", "JISC Digital Library", 16, "4 Slide Handouts", false, 4},
      {"format-corpus/ecdl+paris2001.ppt", "JISC Digital Library", 16, "9 Slide Handouts", true, 2},
      {"format-corpus/ecdl+paris2001.ppt", "JISC Digital Library", 16, "Outline", false, -1},
      {"format-corpus/ecdl+paris2001.ppt", "JISC: background", 16, "Slides", true, 3, "3", "5", "Digital Library"},
      {"format-corpus/ecdl+paris2001.ppt", "Networking", 16, "2 Slide Handouts", true, 2, "3", "5",
       "Digital Library"},
      {"format-corpus/ecdl+paris2001.ppt", "JISC: background", 16, "Notes", true, 3, "3", "5", "Digital Library"},
      {"mscfb/test.ppt", "Lorem ipsum", 2, "Slides", false, 2},
      {"mscfb/test.ppt", "Lorem ipsum", 2, "3 Slide Handouts", true, 1},
      {"apache-tika/testComment.ppt", "Here is some text", 1, "Notes", true, 1},
      {"apache-tika/testPPT_various.ppt", "Subject is here", 1, "1 Slide Handouts", true, 1},
      {"msoffcrypto-tool/plain.ppt", "Lorem ipsum", 1, "Slides", true, 1},
      {"msoffcrypto-tool/plain.ppt", "Lorem ipsum", 1, "Slides", true, 1, nullptr, nullptr, nullptr, "Letter"},
      // A long deck at the window's default slide size.
      {"format-corpus/unc-+oxford2001.ppt", "UNC Seminar, Oxford", 38, "Slides", true, 38, nullptr, nullptr,
       nullptr, "A3"},
      {"format-corpus/unc-+oxford2001.ppt", "UNC Seminar, Oxford", 38, "6 Slide Handouts", true, 7, nullptr,
       nullptr, nullptr, "A3"},
      {"format-corpus/unc-+oxford2001.ppt", "Extensibility - e.g. Clump", 38, "Notes", true, 10, "29", "38",
       "UNC Seminar, Oxford", "A3"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(std::string(test.file) + " " + test.outputType + (test.from ? " range" : "") + " on " +
                 test.paperSize + " slides");
    ConversionOptions options = OptionsFor(test.outputType, test.from, test.to);
    options.Orientation = OrientationFor(test.landscape);
    options.PaperSize = SlideSizeForText(test.paperSize);
    const fs::path target = outFolder() / "result.pdf";
    fs::remove(target);
    ASSERT_EQ(convert(Corpus() / test.file, target, options), "Completed");
    const PdfFacts pdf = ReadPdf(target);
    RecordProperty(std::string(test.file) + " " + test.outputType + (test.from ? " range" : ""),
                   std::to_string(pdf.pages) + " pages " + std::to_string(pdf.width) + "x" +
                       std::to_string(pdf.height) + " pt");
    if (test.expectedPages > 0) {
      EXPECT_EQ(pdf.pages, test.expectedPages);
    } else {
      EXPECT_GE(pdf.pages, 1);
    }
    const std::string text = PdfText(target);
    EXPECT_NE(text.find(test.text), std::string::npos) << text.substr(0, 600);
    if (test.absentText) {
      EXPECT_EQ(text.find(test.absentText), std::string::npos);
    }
    const std::string type = test.outputType;
    if (type == "Slides") {
      EXPECT_EQ(pdf.width > pdf.height, test.landscape) << pdf.width << "x" << pdf.height;
    }
    if (type == "Notes") {
      EXPECT_GT(pdf.width, pdf.height);  // notes pages are always landscape
    }
    const auto [shortSide, longSide] = SystemPaperPoints();
    EXPECT_NEAR(std::min(pdf.width, pdf.height), shortSide, 1.5);
    EXPECT_NEAR(std::max(pdf.width, pdf.height), longSide, 1.5);
  }
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(ProcessesMentioning(app().string()).empty());
}

std::string PdfInfoLine(const fs::path& pdf, const std::string& key) {
  const std::string info = CommandOutput("pdfinfo " + ShellQuoted(pdf.string()) + " 2>/dev/null");
  const auto at = info.find(key + ":");
  if (at == std::string::npos) return {};
  const auto start = info.find_first_not_of(' ', at + key.size() + 1);
  return info.substr(start, info.find('\n', start) - start);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The PDF a user keeps carries the deck's title and author, and a bookmark per
// printed slide, in order, opening the page that shows the slide.
TEST_F(ConversionCorpusTest, PdfCarriesTitleAuthorAndABookmarkPerSlide) {
  const char* ecdlTitle = "JISC Digital Library initiatives";
  const char* oxfordTitle =
      "The Distributed National Electronic Resource and the Electronic Libraries Programme (eLib)";
  const struct {
    const char* file;
    const char* outputType;
    const char* from;
    const char* to;
    const char* title;
    const char* author;
    int bookmarks;
    int slidesPerPage;  // 0: the outline, where a slide's page is found by its heading
    const char* firstBookmark;
  } cases[] = {
      {"format-corpus/ecdl+paris2001.ppt", "Slides", nullptr, nullptr, ecdlTitle, "david", 16, 1, ecdlTitle},
      {"format-corpus/ecdl+paris2001.ppt", "Notes", nullptr, nullptr, ecdlTitle, "david", 16, 1, ecdlTitle},
      {"format-corpus/ecdl+paris2001.ppt", "6 Slide Handouts", nullptr, nullptr, ecdlTitle, "david", 16, 6,
       ecdlTitle},
      {"format-corpus/ecdl+paris2001.ppt", "Outline", nullptr, nullptr, ecdlTitle, "david", 16, 0, ecdlTitle},
      {"format-corpus/unc-+oxford2001.ppt", "Notes", "3", "8", oxfordTitle, "david", 6, 1, "Slide 3"},
      // No title of its own: the file's name stands for it; an untitled slide is named by its number.
      {"mscfb/test.ppt", "Slides", nullptr, nullptr, "test", "Richard Lehane", 2, 1, "Slide 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.outputType);
    const ConversionOptions options = OptionsFor(c.outputType, c.from, c.to);
    const fs::path target = outFolder() / "kept.pdf";
    ASSERT_EQ(convert(Corpus() / c.file, target, options), "Completed");
    EXPECT_EQ(PdfInfoLine(target, "Title"), c.title);
    EXPECT_EQ(PdfInfoLine(target, "Author"), c.author);
    EXPECT_EQ(PdfInfoLine(target, "Creator"), "Pelvantz");
    const auto bookmarks = Lines(testing::PdfBookmarks(target));
    ASSERT_EQ(static_cast<int>(bookmarks.size()), c.bookmarks);
    for (int i = 0; i < c.bookmarks; ++i) {
      const auto space = bookmarks[i].rfind(' ');
      const std::string title = bookmarks[i].substr(0, space);
      const int page = std::stoi(bookmarks[i].substr(space + 1));
      if (c.slidesPerPage > 0) {
        EXPECT_EQ(page, i / c.slidesPerPage + 1) << bookmarks[i];
      } else {
        // The heading is the slide's number and title, or its number alone.
        const std::string heading = title.rfind("Slide ", 0) == 0 ? title.substr(6) : title.substr(0, 12);
        EXPECT_NE(PdfText(target, page).find(heading), std::string::npos) << bookmarks[i];
      }
    }
    EXPECT_EQ(bookmarks.front().rfind(c.firstBookmark, 0), 0u) << bookmarks.front();
  }
}

// A slide's links stay clickable where its words are: the address outward, the
// jump to the last slide onto the page that shows it; never outside its slide.
TEST_F(ConversionCorpusTest, LinksLandOnTheirSlideAndLeadWhereTheyLed) {
  const struct {
    const char* outputType;
    double left, bottom, right, top;  // where slide 1 is on page 1 (points), as a share of the page
    const char* jumpTarget;
  } cases[] = {
      {"Slides", 0, 0, 1, 1, "page 3"},
      {"6 Slide Handouts", 0, 2.0 / 3, 0.5, 1, "page 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.outputType);
    ConversionOptions options;
    options.OutputType = OutputTypeForText(c.outputType);
    const fs::path target = outFolder() / "links.pdf";
    ASSERT_EQ(convert(fs::path(PELVANTZ_TEST_DATA) / "links.ppt", target, options), "Completed");
    const PdfFacts pdf = ReadPdf(target);
    const auto links = Lines(testing::PdfLinks(target));
    ASSERT_EQ(links.size(), 2u) << testing::PdfLinks(target);
    std::vector<std::string> targets;
    for (const auto& link : links) {
      std::istringstream fields(link);
      std::string word, address;
      int page = 0;
      double left = 0, bottom = 0, right = 0, top = 0;
      fields >> word >> page >> left >> bottom >> right >> top;
      std::getline(fields >> std::ws, address);
      targets.push_back(address);
      EXPECT_EQ(page, 1);
      EXPECT_GE(left, c.left * pdf.width - 1) << link;
      EXPECT_GE(bottom, c.bottom * pdf.height - 1) << link;
      EXPECT_LE(right, c.right * pdf.width + 1) << link;
      EXPECT_LE(top, c.top * pdf.height + 1) << link;
    }
    EXPECT_EQ(targets, (std::vector<std::string>{"http://example.com/pelvantz", c.jumpTarget}));
  }
}

TEST_F(ConversionCorpusTest, RangeOutsideThePresentationFailsTheJob) {
  ConversionOptions options;
  options.AllPages = false;
  options.FromText = "5";
  options.ToText = "9";
  const fs::path target = outFolder() / "range.pdf";
  EXPECT_EQ(convert(Corpus() / "mscfb/test.ppt", target, options), "Failed");
  EXPECT_FALSE(fs::exists(target));
  EXPECT_TRUE(ProcessesMentioning(app().string()).empty());
}

TEST_F(ConversionCorpusTest, BrokenPresentationsFailCleanlyAndLeaveTheTargetAlone) {
  std::vector<std::pair<std::string, std::string>> files;  // path, category
  std::ifstream manifest(Corpus() / "manifest.tsv");
  for (std::string line; std::getline(manifest, line);) {
    const auto tab = line.find('\t');
    const std::string category = line.substr(tab + 1);
    if (category != "sound") files.emplace_back(line.substr(0, tab), category);
  }
  ASSERT_FALSE(files.empty());
  const fs::path target = outFolder() / "kept.pdf";
  for (const auto& [file, category] : files) {
    SCOPED_TRACE(file + " (" + category + ")");
    std::ofstream(target, std::ios::binary) << "the user's earlier PDF";
    const std::string status = convert(Corpus() / file, target, ConversionOptions{});
    RecordProperty(file, status);
    if (category == "encrypted" || category == "damaged") {
      EXPECT_EQ(status, "Failed");
    } else {
      // A foreign or odd file may load after all; it must end one way or the other.
      EXPECT_TRUE(status == "Failed" || status == "Completed") << status;
    }
    if (status == "Failed") {
      EXPECT_EQ(ReadFile(target), "the user's earlier PDF");
    } else {
      EXPECT_GE(ReadPdf(target).pages, 1);
    }
    EXPECT_TRUE(ProcessesMentioning(app().string()).empty());
  }
}

// A deck in Chinese and Japanese, in the East Asian fonts real decks name:
// the characters are drawn with a font that has them, not as empty boxes, and
// come back out of the PDF as the same characters.
TEST_F(ConversionCorpusTest, ChineseAndJapaneseTextPrintsAsCharacters) {
  const fs::path target = outFolder() / "cjk.pdf";
  ASSERT_EQ(convert(fs::path(PELVANTZ_TEST_DATA) / "cjk-text.ppt", target, ConversionOptions{}), "Completed");
  const std::string text = PdfText(target);
  EXPECT_NE(text.find("中文演示文稿"), std::string::npos) << text;
  EXPECT_NE(text.find("日本語のスライドです"), std::string::npos) << text;
  const std::string fonts = CommandOutput("pdffonts " + ShellQuoted(target.string()) + " 2>/dev/null");
  EXPECT_NE(fonts.find("CJK"), std::string::npos) << fonts;
}

// The characters of a PDF's text but white space, each with how often it
// occurs: what a search finds, however the lines wrap.
std::map<std::string, int> PdfCharacters(const fs::path& pdf) {
  std::map<std::string, int> characters;
  const std::string text = PdfText(pdf);
  for (size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (text[at] != ' ') ++characters[text.substr(at, length)];
    at += length;
  }
  return characters;
}

// soffice's own PDF of the deck: its slides, or its notes pages.
fs::path SofficePdf(const fs::path& deck, const fs::path& folder, bool notes) {
  const std::string filter =
      notes ? "pdf:impress_pdf_Export:{\"ExportNotesPages\":{\"type\":\"boolean\",\"value\":\"true\"},"
              "\"ExportOnlyNotesPages\":{\"type\":\"boolean\",\"value\":\"true\"}}"
            : "pdf";
  fs::create_directories(folder);
  CommandOutput("soffice -env:UserInstallation=file://" + ShellQuoted((folder / "profile").string()) +
                " --headless --convert-to " + ShellQuoted(filter) + " --outdir " + ShellQuoted(folder.string()) +
                " " + ShellQuoted(deck.string()) + " >/dev/null 2>&1");
  return folder / (deck.stem().string() + ".pdf");
}

// Every character the office's own PDF of a deck carries comes out of ours
// as the same character, as often: words with ligatures (Carlito forms ti,
// fi, ff, ffi, tt, ft), CJK text in a font the office splits into several
// subsets, and characters outside the BMP; slides and notes pages alike.
TEST_F(ConversionCorpusTest, EveryCharacterOfTheDeckIsFoundAsTheOfficeWroteIt) {
  const struct {
    const char* deck;
    const char* outputType;
    const char* sample;  // a phrase that must be found in ours
  } cases[] = {
      {"ligatures.ppt", "Slides", "Session Objectives"}, {"ligatures.ppt", "Notes", "the first affiliate office"},
      {"cjk-split.ppt", "Slides", "カタカナ"},           {"cjk-split.ppt", "Notes", "中文备注：请记得准时开会。"},
      {"non-bmp.ppt", "Slides", "A smile \U0001F600"},   {"non-bmp.ppt", "Notes", "a bold \U0001D417"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(std::string(test.deck) + " " + test.outputType);
    const fs::path deck = fs::path(PELVANTZ_TEST_DATA) / test.deck;
    const bool notes = std::string(test.outputType) == "Notes";
    const fs::path target = outFolder() / (deck.stem().string() + "-" + test.outputType + ".pdf");
    ASSERT_EQ(convert(deck, target, OptionsFor(test.outputType)), "Completed");
    EXPECT_NE(PdfText(target).find(test.sample), std::string::npos) << PdfText(target);
    const auto ours = PdfCharacters(target);
    const auto theirs = PdfCharacters(SofficePdf(deck, outFolder() / "soffice" / test.outputType, notes));
    ASSERT_FALSE(theirs.empty()) << "soffice wrote no PDF";
    std::string missing, extra;
    for (const auto& [character, count] : theirs)
      if (ours.count(character) == 0 || ours.at(character) < count) missing += character;
    for (const auto& [character, count] : ours)
      if (theirs.count(character) == 0 || theirs.at(character) < count) extra += character;
    EXPECT_EQ(missing, "") << "characters lost";
    EXPECT_EQ(extra, "") << "characters that are not in the deck";
  }
}

struct WordBox {
  double left = -1, top = -1, right = -1, bottom = -1;
};

// Where the word first stands on the page (pdftotext's bounding boxes, in points).
WordBox WordOnPage(const fs::path& pdf, int page, const std::string& word) {
  const std::string boxes =
      CommandOutput("pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
                    ShellQuoted(pdf.string()) + " - 2>/dev/null");
  const auto end = boxes.find(">" + word + "</word>");
  if (end == std::string::npos) return {};
  const auto start = boxes.rfind("<word", end);
  WordBox box;
  std::sscanf(boxes.c_str() + start, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &box.left,
              &box.top, &box.right, &box.bottom);
  return box;
}

// How high a word of notes-edges.ppt's notes stands when printed at the size
// its deck gives it (the office's default notes text, on A4 or Letter).
constexpr double NotesWordHeight = 14.0;

// Notes pages print in landscape as a landscape notes page is laid out: the
// slide picture takes more than half the sheet's width, the notes stand
// beside it at their own size, on every notes page.
TEST_F(ConversionCorpusTest, LandscapeNotesPagesFillTheSheet) {
  const fs::path target = outFolder() / "notes-edges.pdf";
  ASSERT_EQ(convert(fs::path(PELVANTZ_TEST_DATA) / "notes-edges.ppt", target, OptionsFor("Notes")), "Completed");
  const PdfFacts facts = ReadPdf(target);
  ASSERT_EQ(facts.pages, 2);
  EXPECT_GT(facts.width, facts.height);
  for (int page = 1; page <= 2; ++page) {
    SCOPED_TRACE(page);
    const WordBox left = WordOnPage(target, page, "LEFTEDGE");
    const WordBox right = WordOnPage(target, page, "RIGHTEDGE");
    const WordBox notes = WordOnPage(target, page, "Speaker");
    ASSERT_GE(left.left, 0);
    ASSERT_GE(right.right, 0);
    ASSERT_GE(notes.left, 0);
    EXPECT_GT(right.right - left.left, facts.width / 2);
    EXPECT_GT(notes.left, right.right);
  }
  // The notes text is set at the size the deck gives it, not shrunk with a portrait page.
  const WordBox speaker = WordOnPage(target, 1, "Speaker");
  EXPECT_GT(speaker.bottom - speaker.top, NotesWordHeight) << "the notes printed smaller than the deck sets them";
}

// Writes PNG renderings of a handout page and a notes page. They are kept in
// the folder PELVANTZ_KEEP_RENDERS names, for a person to look at.
TEST_F(ConversionCorpusTest, HandoutAndNotesPagesRenderWithContent) {
  const char* keep = std::getenv("PELVANTZ_KEEP_RENDERS");
  for (const char* type : {"6 Slide Handouts", "Notes"}) {
    SCOPED_TRACE(type);
    ConversionOptions options;
    options.OutputType = OutputTypeForText(type);
    const fs::path target = outFolder() / "render.pdf";
    ASSERT_EQ(convert(Corpus() / "format-corpus/ecdl+paris2001.ppt", target, options), "Completed");
    const fs::path png = outFolder() / (std::string(type[0] == '6' ? "handout" : "notes") + ".png");
    CommandOutput("pdftoppm -png -r 60 -f 1 -l 1 -singlefile " + ShellQuoted(target.string()) + " " +
                  ShellQuoted((png.parent_path() / png.stem()).string()));
    const QImage image(QString::fromStdString(png.string()));
    ASSERT_FALSE(image.isNull());
    // A page with slides on it is far from uniformly white.
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) inked += qGray(image.pixel(x, y)) < 200 ? 1 : 0;
    EXPECT_GT(inked, image.width() * image.height() / 200);
    if (keep) fs::copy_file(png, fs::path(keep) / png.filename(), fs::copy_options::overwrite_existing);
  }
}

}  // namespace
}  // namespace pelvantz
