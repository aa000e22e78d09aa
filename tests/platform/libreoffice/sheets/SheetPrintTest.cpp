// Prints real presentations through a real office into print files, turns
// them into PDF with Ghostscript and checks what came out with poppler's tools.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/drawing/XMasterPagesSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/office/XAnnotation.hpp>
#include <com/sun/star/office/XAnnotationAccess.hpp>
#include <com/sun/star/office/XAnnotationEnumeration.hpp>
#include <com/sun/star/presentation/XPresentationPage.hpp>
#include <com/sun/star/style/LineSpacing.hpp>
#include <com/sun/star/style/LineSpacingMode.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "base/RuntimeFailure.h"
#include "platform/ChildProcess.h"
#include "platform/libreoffice/presentation/SlideGeometry.h"
#include "platform/libreoffice/sheets/SheetPrint.h"
#include "platform/libreoffice/sheets/TextExport.h"
#include "support/Commands.h"
#include "support/OfficeProcesses.h"
#include "support/TempFolder.h"

namespace pelvantz::office {
namespace {

using testing::CommandOutput;
using testing::ShellQuoted;

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;
namespace fs = std::filesystem;

constexpr const char* kSoffice = "/usr/lib/libreoffice/program/soffice.bin";
constexpr const char* kPrinter = "pelvantz";
constexpr const char* kDeck = "format-corpus/ecdl+paris2001.ppt";
constexpr int kDeckSlides = 16;

OUString U(const std::string& text) { return OUString::fromUtf8(text.c_str()); }

// Runs a command line of quoted arguments and returns its standard output
// (and its error output when asked: Ghostscript's bbox device reports there).
std::string Capture(const std::string& commandLine, bool withErrors = false) {
  return CommandOutput(commandLine + (withErrors ? " 2>&1" : " 2>/dev/null"));
}

// A private office: own profile, own pipe, own psprint printer "pelvantz"
// that writes its jobs as PDF.
class TestOffice {
 public:
  // The extra environment ("NAME=value") is the office's alone.
  explicit TestOffice(std::vector<std::string> extraEnvironment = {}, const std::string& name = "composer")
      : extraEnvironment_(std::move(extraEnvironment)) {
    writePrinterConfig();
    // As the program does: a write into a connection the office has just
    // closed fails instead of ending the test program.
    ::signal(SIGPIPE, SIG_IGN);
    setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc", 1);
    local_ = cppu::defaultBootstrap_InitialComponentContext();
    pipeName_ = "pelvantz_" + name + "_" + std::to_string(getpid());
    try {
      connect();
    } catch (...) {
      reap();
      throw;
    }
  }
  ~TestOffice() {
    try {
      if (desktop_.is()) desktop_->terminate();
    } catch (const css::uno::Exception&) {
      // The office drops the bridge while it terminates.
    }
    reap();
  }

  const Reference<css::uno::XComponentContext>& context() const { return remote_; }
  const Reference<css::frame::XDesktop2>& desktop() const { return desktop_; }

  int openDocumentCount() const {
    Reference<css::container::XEnumerationAccess> components(desktop_->getComponents(), UNO_QUERY_THROW);
    int count = 0;
    for (auto all = components->createEnumeration(); all->hasMoreElements(); all->nextElement()) ++count;
    return count;
  }

 private:
  void writePrinterConfig() {
    std::ofstream conf(folder_.path() / "psprint.conf");
    conf << "[" << kPrinter << "]\nPrinter=SGENPRT/" << kPrinter
         << "\nDefaultPrinter=1\nLocation=\nComment=\nCommand=\n";
  }

  void spawn() {
    const std::string profile = "-env:UserInstallation=file://" + (folder_.path() / "profile").string();
    const std::string accept = "--accept=pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext";
    ChildCommand command;
    command.program = kSoffice;
    command.arguments = {kSoffice,      "--headless",    "--invisible", "--nologo", "--nodefault",
                         "--norestore", "--nolockcheck", profile,       accept};
    command.extraEnvironment = {"SAL_DISABLE_CUPS=1", "SAL_PSPRINT=" + folder_.str()};
    command.extraEnvironment.insert(command.extraEnvironment.end(), extraEnvironment_.begin(),
                                    extraEnvironment_.end());
    process_ = std::make_unique<ChildProcess>(command);
  }

  void connect() {
    auto resolver = css::bridge::UnoUrlResolver::create(local_);
    const OUString url = U("uno:pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext");
    spawn();
    for (int attempt = 0; attempt < 600; ++attempt) {
      try {
        remote_.set(resolver->resolve(url), UNO_QUERY_THROW);
        desktop_ = css::frame::Desktop::create(remote_);
        return;
      } catch (const css::uno::Exception&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
      }
      if (const std::optional<int> exitCode = process_->exitCode()) {
        // A brand-new profile makes the first start end with 81: start again.
        if (*exitCode != 81) throw std::runtime_error("the office ended");
        spawn();
      }
    }
    throw std::runtime_error("no connection to the office");
  }

  // The office ends by itself once told to; one that does not is killed with
  // its group, and any office left on our profile (not our child) too.
  void reap() {
    if (process_ && !process_->waitForExit(std::chrono::seconds(10))) process_->kill();
    process_.reset();
    for (const pid_t stray : testing::OfficeProcessesUsing(folder_.path() / "profile")) ::kill(stray, SIGKILL);
  }

  std::vector<std::string> extraEnvironment_;
  testing::TempFolder folder_;
  std::string pipeName_;
  std::unique_ptr<ChildProcess> process_;
  Reference<css::uno::XComponentContext> local_;
  Reference<css::uno::XComponentContext> remote_;
  Reference<css::frame::XDesktop2> desktop_;
};

struct PdfFacts {
  int pages = 0;
  double width = 0;  // points, first page
  double height = 0;
  double markedWidth = 0;  // width of what is drawn on the first page
  double lowestMark = 0;   // height of the lowest mark above the page's bottom
  std::string text;
  bool has(const std::string& words) const { return text.find(words) != std::string::npos; }
};

class SheetPrintTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A temporary folder of our own, so that leftovers are ours to count.
    static testing::TempFolder temp;
    setenv("TMPDIR", temp.str().c_str(), 1);
    office_ = new TestOffice();
  }
  static void TearDownTestSuite() {
    delete office_;
    office_ = nullptr;
  }

  void TearDown() override {
    if (presentation_.is()) {
      Reference<css::util::XCloseable>(presentation_, UNO_QUERY_THROW)->close(true);
      presentation_.clear();
    }
  }

  // Loads a private copy, as the office session does.
  void open(const std::string& corpusFile) { presentation_ = load(*office_, corpusFile); }

  Reference<css::lang::XComponent> load(const TestOffice& office, const std::string& corpusFile) {
    const fs::path copy = work_.path() / fs::path(corpusFile).filename();
    fs::copy_file(fs::path(PELVANTZ_TEST_CORPUS) / corpusFile, copy, fs::copy_options::overwrite_existing);
    css::beans::PropertyValue hidden;
    hidden.Name = "Hidden";
    hidden.Value <<= true;
    return Reference<css::lang::XComponent>(
        office.desktop()->loadComponentFromURL(U("file://" + copy.string()), "_blank", 0,
                                               css::uno::Sequence<css::beans::PropertyValue>(&hidden, 1)),
        UNO_QUERY_THROW);
  }

  SheetRequest request(OutputType outputType) const {
    SheetRequest request;
    request.layout = *layout::LayoutForOutputType(outputType);
    if (presentation_.is()) {
      request.slideSize = CurrentSlideSize(presentation_);
    }
    return request;
  }

  fs::path printFile() const { return work_.path() / "PsFile.ps"; }

  // Every step in order, as the presentation's print does it.
  void print(const SheetRequest& request, const fs::path& target, const TestOffice& office,
             const Reference<css::lang::XComponent>& deck) {
    const fs::path folder = work_.path() / "render";
    fs::create_directories(folder);
    SheetPrint job(office.context(), deck, request, folder);
    job.renderPages();
    job.setText();
    job.compose(target);
  }
  void print(const SheetRequest& request) { print(request, printFile(), *office_, presentation_); }

  // The print file through Ghostscript's pdfwrite, as the conversion does it.
  PdfFacts printAndRead(const SheetRequest& request) {
    print(request);
    return readPrint();
  }

  PdfFacts readPrint() {
    const std::string pdf = (work_.path() / "out.pdf").string();
    fs::remove(pdf);
    Capture("gs -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=" + ShellQuoted(pdf) +
            " -dCompatibilityLevel=1.4 -f " + ShellQuoted(printFile().string()));
    PdfFacts facts;
    const std::string info = Capture("pdfinfo " + ShellQuoted(pdf));
    std::smatch match;
    if (std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))"))) facts.pages = std::stoi(match[1]);
    if (std::regex_search(info, match, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+))"))) {
      facts.width = std::stod(match[1]);
      facts.height = std::stod(match[2]);
    }
    facts.text = Capture("pdftotext " + ShellQuoted(pdf) + " -");
    const std::string box =
        Capture("gs -dSAFER -dNOPAUSE -dBATCH -dFirstPage=1 -dLastPage=1 -sDEVICE=bbox " + ShellQuoted(pdf), true);
    if (std::regex_search(box, match, std::regex(R"(%%HiResBoundingBox: (-?[\d.]+) (-?[\d.]+) (-?[\d.]+))"))) {
      facts.markedWidth = std::stod(match[3]) - std::stod(match[1]);
      facts.lowestMark = std::stod(match[2]);
    }
    return facts;
  }

  SheetRequest request(OutputType outputType, int32_t from, int32_t to) const {
    SheetRequest ranged = request(outputType);
    ranged.fromSlide = from;
    ranged.toSlide = to;
    return ranged;
  }

  void expectRefused(const SheetRequest& request, int32_t number, const std::string& words,
                     const fs::path& target) {
    fs::remove(target);
    try {
      print(request, target, *office_, presentation_);
      ADD_FAILURE() << "the print was not refused";
    } catch (const RuntimeFailure& failure) {
      EXPECT_EQ(failure.number(), number);
      EXPECT_NE(failure.description().find(words), std::string::npos) << failure.description();
    }
    EXPECT_FALSE(fs::exists(target));
  }

  static TestOffice* office_;
  testing::TempFolder work_;
  Reference<css::lang::XComponent> presentation_;
};

TestOffice* SheetPrintTest::office_ = nullptr;

int SheetsFor(int slides, int perSheet) { return (slides + perSheet - 1) / perSheet; }

TEST_F(SheetPrintTest, EveryOutputTypePrintsItsSheetsWithTheSlideText) {
  open(kDeck);
  const int slides = kDeckSlides;
  struct Case {
    OutputType outputType;
    int fewestPages;
    int mostPages;
    bool landscape;
  };
  const Case cases[] = {
      {OutputType::Slides, slides, slides, true},             // slides of a landscape deck
      {OutputType::NotesPages, slides, slides, true},         // notes pages, landscape as asked
      {OutputType::Outline, 2, slides - 1, false},            // outline: the text runs over a few sheets
      {OutputType::OneSlideHandouts, slides, slides, false},  // handouts, 1 slide a sheet
      {OutputType::TwoSlideHandouts, SheetsFor(slides, 2), SheetsFor(slides, 2), false},
      {OutputType::ThreeSlideHandouts, SheetsFor(slides, 3), SheetsFor(slides, 3), false},
      {OutputType::FourSlideHandouts, SheetsFor(slides, 4), SheetsFor(slides, 4), false},
      {OutputType::SixSlideHandouts, SheetsFor(slides, 6), SheetsFor(slides, 6), false},
      {OutputType::NineSlideHandouts, SheetsFor(slides, 9), SheetsFor(slides, 9), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("output type " + std::to_string(static_cast<int>(c.outputType)));
    const PdfFacts pdf = printAndRead(request(c.outputType));
    EXPECT_GE(pdf.pages, c.fewestPages);
    EXPECT_LE(pdf.pages, c.mostPages);
    EXPECT_EQ(pdf.width > pdf.height, c.landscape) << pdf.width << " x " << pdf.height;
    EXPECT_TRUE(pdf.has("JISC Digital Library")) << pdf.text;
    EXPECT_TRUE(pdf.has("Middleware")) << pdf.text;
  }
  EXPECT_EQ(office_->openDocumentCount(), 1) << "a sheet document was left open";
}

TEST_F(SheetPrintTest, ARangePrintsOnlyItsSlides) {
  open(kDeck);
  const struct {
    OutputType outputType;
    int32_t from;
    int32_t to;
    int pages;
  } cases[] = {{OutputType::Slides, 3, 5, 3},           {OutputType::NotesPages, 3, 5, 3},
               {OutputType::SixSlideHandouts, 3, 5, 1}, {OutputType::ThreeSlideHandouts, 3, 6, 2},
               {OutputType::Outline, 3, 5, 1},          {OutputType::Slides, 16, 16, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE("output type " + std::to_string(static_cast<int>(c.outputType)) + ", slides " +
                 std::to_string(c.from) + " to " + std::to_string(c.to));
    const PdfFacts pdf = printAndRead(request(c.outputType, c.from, c.to));
    EXPECT_EQ(pdf.pages, c.pages);
    EXPECT_EQ(pdf.has("JISC: background"), c.from <= 3) << pdf.text;  // slide 3's title
    EXPECT_FALSE(pdf.has("JISC Digital Library")) << pdf.text;        // slide 1's title
  }
}

TEST_F(SheetPrintTest, RefusedPrintsWriteNothingAndLeaveNothingOpen) {
  open(kDeck);
  for (const auto& [from, to] : std::vector<std::pair<int32_t, int32_t>>{{0, 2}, {5, 3}, {1, 17}, {-1, 4}}) {
    SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
    expectRefused(request(OutputType::Slides, from, to), ErrorNumber::AutomationFailed, "slide range",
                  printFile());
  }
  expectRefused(request(OutputType::Outline), ErrorNumber::FileAccess, "missing",
                work_.path() / "missing" / "PsFile.ps");
  EXPECT_EQ(office_->openDocumentCount(), 1) << "a sheet document was left open";
}

TEST_F(SheetPrintTest, AnEarlierPrintFileIsReplaced) {
  open(kDeck);
  SheetRequest slides = request(OutputType::Slides, 1, 1);
  { std::ofstream(printFile()) << "left by an earlier job"; }
  const PdfFacts pdf = printAndRead(slides);
  EXPECT_EQ(pdf.pages, 1);
  EXPECT_TRUE(pdf.has("JISC Digital Library"));
}

TEST_F(SheetPrintTest, CommentsFollowTheSheetsOfTheirSlides) {
  open("apache-tika/testComment.ppt");  // one slide with one comment
  const struct {
    OutputType outputType;
    bool comments;
    int pages;
  } cases[] = {{OutputType::Slides, false, 1},
               {OutputType::Slides, true, 2},
               {OutputType::NotesPages, true, 2},
               {OutputType::SixSlideHandouts, true, 2},
               {OutputType::Outline, true, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE("output type " + std::to_string(static_cast<int>(c.outputType)) +
                 (c.comments ? " with comments" : ""));
    SheetRequest asked = request(c.outputType);
    asked.printComments = c.comments;
    const PdfFacts pdf = printAndRead(asked);
    EXPECT_EQ(pdf.pages, c.pages);
    EXPECT_TRUE(pdf.has("Here is some text")) << pdf.text;  // the slide
    EXPECT_EQ(pdf.has("Here is a comment"), c.comments) << pdf.text;
    EXPECT_EQ(pdf.has("Michael McCandless"), c.comments) << pdf.text;
  }
}

TEST_F(SheetPrintTest, SlidesWithoutCommentsGetNoCommentSheet) {
  open(kDeck);
  SheetRequest asked = request(OutputType::Slides);
  asked.printComments = true;
  EXPECT_EQ(printAndRead(asked).pages, kDeckSlides);
}

TEST_F(SheetPrintTest, HiddenSlidesAreLeftOut) {
  open(kDeck);
  Reference<css::drawing::XDrawPagesSupplier> slides(presentation_, UNO_QUERY_THROW);
  Reference<css::beans::XPropertySet> second(slides->getDrawPages()->getByIndex(1), UNO_QUERY_THROW);
  second->setPropertyValue("Visible", css::uno::Any(false));
  const struct {
    OutputType outputType;
    int pages;
  } cases[] = {{OutputType::Slides, kDeckSlides - 1},
               {OutputType::NotesPages, kDeckSlides - 1},
               {OutputType::SixSlideHandouts, SheetsFor(kDeckSlides - 1, 6)}};
  for (const auto& c : cases) {
    SCOPED_TRACE("output type " + std::to_string(static_cast<int>(c.outputType)));
    const PdfFacts pdf = printAndRead(request(c.outputType));
    EXPECT_EQ(pdf.pages, c.pages);
    EXPECT_FALSE(pdf.has("initiatives: contents")) << pdf.text;  // slide 2's title
    EXPECT_TRUE(pdf.has("JISC Digital Library"));
  }
  expectRefused(request(OutputType::Slides, 2, 2), ErrorNumber::AutomationFailed, "hidden", printFile());
}

TEST_F(SheetPrintTest, SheetsTurnWithTheSlidesAndTheNotesOrientation) {
  open(kDeck);
  // Turned as the office session turns a presentation before printing it.
  Reference<css::drawing::XDrawPagesSupplier> slides(presentation_, UNO_QUERY_THROW);
  Reference<css::beans::XPropertySet> first(slides->getDrawPages()->getByIndex(0), UNO_QUERY_THROW);
  first->setPropertyValue("Width", css::uno::Any(sal_Int32(19050)));
  first->setPropertyValue("Height", css::uno::Any(sal_Int32(27520)));
  const struct {
    OutputType outputType;
    bool notesLandscape;
    bool landscape;
  } cases[] = {{OutputType::Slides, true, false},
               {OutputType::NotesPages, true, true},
               {OutputType::NotesPages, false, false},
               {OutputType::SixSlideHandouts, true, false},
               {OutputType::Outline, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE("output type " + std::to_string(static_cast<int>(c.outputType)));
    SheetRequest asked = request(c.outputType, 1, 2);
    asked.notesLandscape = c.notesLandscape;
    asked.slideSize = {19050, 27520};
    const PdfFacts pdf = printAndRead(asked);
    EXPECT_EQ(pdf.width > pdf.height, c.landscape) << pdf.width << " x " << pdf.height;
  }
}

struct WordBox {
  double left = -1;  // points from the page's left edge
  double top = -1;   // points from the page's top edge
};

// Where a word first appears in a PDF.
WordBox FindWord(const fs::path& pdf, const std::string& word) {
  const std::string words = Capture("pdftotext -bbox " + ShellQuoted(pdf.string()) + " -");
  std::smatch match;
  const std::regex pattern("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>" + word + "</word>");
  if (!std::regex_search(words, match, pattern)) return {};
  return {std::stod(match[1]), std::stod(match[2])};
}

// Notes too long for their box shrink until they fit their page, as the
// deck's notes layout sets them; without that they ran off the paper.
TEST_F(SheetPrintTest, LongNotesShrinkOntoTheirPage) {
  open(kDeck);
  std::string notes;
  for (int line = 1; line <= 80; ++line) notes += "Speaker note line " + std::to_string(line) + "\n";
  notes += "Last speaker note";
  Reference<css::drawing::XDrawPagesSupplier> slides(presentation_, UNO_QUERY_THROW);
  Reference<css::presentation::XPresentationPage> first(slides->getDrawPages()->getByIndex(0), UNO_QUERY_THROW);
  const auto notesPage = first->getNotesPage();
  for (sal_Int32 i = 0; i < notesPage->getCount(); ++i) {
    // Of the notes page's two shapes only the notes placeholder holds text.
    Reference<css::text::XTextRange> text(notesPage->getByIndex(i), UNO_QUERY);
    if (text.is()) text->setString(U(notes));
  }
  const PdfFacts pdf = printAndRead(request(OutputType::NotesPages, 1, 1));
  EXPECT_EQ(pdf.pages, 1);
  EXPECT_TRUE(pdf.has("Speaker note line 40")) << pdf.text;
  const WordBox last = FindWord(work_.path() / "out.pdf", "[^<]*Last");  // after its bullet
  ASSERT_GT(last.top, 0) << "the last line ran off the page";
  EXPECT_LT(last.top, pdf.height);
}

TEST_F(SheetPrintTest, WithoutFitTheSlideKeepsItsOwnSize) {
  open(kDeck);  // 275.2 x 190.5 mm slides on A4 landscape paper
  SheetRequest fitted = request(OutputType::Slides, 1, 1);
  const PdfFacts scaled = printAndRead(fitted);
  SheetRequest ownSize = fitted;
  ownSize.fitToPage = false;
  const PdfFacts natural = printAndRead(ownSize);
  const double points = 72.0 / 25.4;
  // Slide 1's marks span close to the slide's width; fitted, they grow by 297/275.2.
  EXPECT_GT(natural.markedWidth, 0);
  EXPECT_LE(natural.markedWidth, 275.2 * points + 1);
  EXPECT_NEAR(scaled.markedWidth / natural.markedWidth, 297.0 / 275.2, 0.02);
  // An A3 slide at its own size overhangs A4 paper: what shows is cut at the paper's edges.
  SheetRequest a3 = ownSize;
  a3.slideSize = {35560, 26670};
  const PdfFacts large = printAndRead(a3);
  EXPECT_NEAR(large.width, 297 * points, 1.5);
  EXPECT_GT(large.markedWidth, 297 * points - 10);
}

struct Box {
  int32_t x, y, width, height;
};

// An empty placeholder ("Click to add title") prints nothing, and the office
// may lay it out anew by itself when the page changes (seen once at 1 x 1 mm
// when many offices ran at once): it is no shape of the print.
bool IsEmptyPlaceholder(const Reference<css::drawing::XShape>& shape) {
  const Reference<css::beans::XPropertySet> properties(shape, UNO_QUERY_THROW);
  bool empty = false;
  if (properties->getPropertySetInfo()->hasPropertyByName("IsEmptyPresentationObject"))
    properties->getPropertyValue("IsEmptyPresentationObject") >>= empty;
  return empty;
}

// The boxes of every shape that prints, on every slide and master, in page order.
std::vector<Box> ShapeBoxes(const Reference<css::lang::XComponent>& presentation) {
  std::vector<Box> boxes;
  const Reference<css::drawing::XDrawPages> pageSets[] = {
      Reference<css::drawing::XDrawPagesSupplier>(presentation, UNO_QUERY_THROW)->getDrawPages(),
      Reference<css::drawing::XMasterPagesSupplier>(presentation, UNO_QUERY_THROW)->getMasterPages()};
  for (const auto& pages : pageSets) {
    for (sal_Int32 page = 0; page < pages->getCount(); ++page) {
      Reference<css::drawing::XShapes> shapes(pages->getByIndex(page), UNO_QUERY_THROW);
      for (sal_Int32 index = 0; index < shapes->getCount(); ++index) {
        Reference<css::drawing::XShape> shape(shapes->getByIndex(index), UNO_QUERY_THROW);
        if (IsEmptyPlaceholder(shape)) continue;
        const auto position = shape->getPosition();
        const auto size = shape->getSize();
        boxes.push_back({position.X, position.Y, size.Width, size.Height});
      }
    }
  }
  return boxes;
}

// A new slide size changes no shape: with the slide's aspect nothing changes at
// all (the whole slide is scaled where it meets the paper); with another aspect
// the page grows on one side and every shape moves by half the growth, keeping
// its size, so no text is laid out again.
TEST_F(SheetPrintTest, ANewSlideSizeMovesShapesWithoutResizingThem) {
  const layout::Size a3{35560, 26670};
  const layout::Size letterPortrait{19050, 25400};
  const struct {
    const char* deck;
    layout::Size size;
  } cases[] = {{kDeck, a3},
               {kDeck, letterPortrait},
               {"apache-tika/testPPT_masterFooter.ppt", a3},
               {"apache-tika/testPPT_various.ppt", {2540, 20320}},
               {"format-corpus/unc-+oxford2001.ppt", letterPortrait},
               {"format-corpus/unc-+oxford2001.ppt", {28575, 19050}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.deck) + " to " + std::to_string(c.size.width) + " x " +
                 std::to_string(c.size.height));
    open(c.deck);
    const layout::Size from = CurrentSlideSize(presentation_);
    const std::vector<Box> before = ShapeBoxes(presentation_);
    ResizeSlides(office_->context(), presentation_, c.size);
    const layout::Size page = CurrentSlideSize(presentation_);
    const std::vector<Box> after = ShapeBoxes(presentation_);
    ASSERT_EQ(after.size(), before.size());
    const double factor = EvenFactor(page, c.size);
    EXPECT_NEAR(page.width * factor, c.size.width, 2);
    EXPECT_NEAR(page.height * factor, c.size.height, 2);
    EXPECT_TRUE(page.width == from.width || page.height == from.height);
    const int32_t offsetX = (page.width - from.width) / 2;
    const int32_t offsetY = (page.height - from.height) / 2;
    // A position can come back rounded by 1/100 mm (seen on one shape of the 38-slide deck).
    for (size_t i = 0; i < before.size(); ++i) {
      SCOPED_TRACE("shape " + std::to_string(i));
      EXPECT_NEAR(after[i].x, before[i].x + offsetX, 1);
      EXPECT_NEAR(after[i].y, before[i].y + offsetY, 1);
      EXPECT_EQ(after[i].width, before[i].width);
      EXPECT_EQ(after[i].height, before[i].height);
    }
    TearDown();
  }
}

// Slide 3 on a slide of another aspect: its footer, set on the master in a box
// as wide as its text, prints whole, and its bullets keep their indents and its
// lines their spacing (here made a fixed length) in proportion to the text, as
// on the original.
TEST_F(SheetPrintTest, AResizedSlideLooksLikeTheOriginalScaled) {
  open(kDeck);
  Reference<css::container::XEnumerationAccess> body(
      Reference<css::drawing::XShapes>(Reference<css::drawing::XDrawPagesSupplier>(presentation_, UNO_QUERY_THROW)
                                           ->getDrawPages()
                                           ->getByIndex(2),
                                       UNO_QUERY_THROW)
          ->getByIndex(1),
      UNO_QUERY_THROW);
  for (const auto paragraphs = body->createEnumeration(); paragraphs->hasMoreElements();) {
    Reference<css::beans::XPropertySet>(paragraphs->nextElement(), UNO_QUERY_THROW)
        ->setPropertyValue("ParaLineSpacing",
                           css::uno::Any(css::style::LineSpacing(css::style::LineSpacingMode::FIX, 1200)));
  }
  const fs::path pdf = work_.path() / "out.pdf";
  // Distances within the slide as shares of other distances within it: the
  // slide's own scale and place on the paper drop out.
  const auto shares = [&] {
    const WordBox title = FindWord(pdf, "JISC:");
    const WordBox firstLevel = FindWord(pdf, "Joint");
    const WordBox secondLevel = FindWord(pdf, "sub-committee");
    const WordBox nextLine = FindWord(pdf, "funds");
    EXPECT_GT(title.left, 0);
    EXPECT_GT(nextLine.top, 0);
    return std::pair((secondLevel.left - firstLevel.left) / (firstLevel.left - title.left),
                     (nextLine.top - secondLevel.top) / (secondLevel.top - title.top));
  };
  printAndRead(request(OutputType::Slides, 3, 3));
  const auto [indent, spacing] = shares();
  const layout::Size slides35mm{28575, 19050};
  ResizeSlides(office_->context(), presentation_, slides35mm);
  SheetRequest resized = request(OutputType::Slides, 3, 3);
  resized.slideSize = {slides35mm.width, slides35mm.height};
  const PdfFacts pdfFacts = printAndRead(resized);
  EXPECT_TRUE(pdfFacts.has("Chris Rusbridge: JISC Committee for Electronic Information")) << pdfFacts.text;
  const auto [scaledIndent, scaledSpacing] = shares();
  EXPECT_NEAR(scaledIndent, indent, 0.03 * std::abs(indent));
  EXPECT_NEAR(scaledSpacing, spacing, 0.03 * std::abs(spacing));
}

// Old decks keep control characters in their text (DEL inside words, vertical
// tabs for line breaks) and bullets typed in symbol fonts; set as they are in
// the outline and comment text they come out as empty boxes.
TEST_F(SheetPrintTest, OutlineAndCommentsPrintWithoutControlCharacters) {
  open(kDeck);
  Reference<css::drawing::XDrawPagesSupplier> slides(presentation_, UNO_QUERY_THROW);
  Reference<css::text::XTextRange> title(
      Reference<css::drawing::XShapes>(slides->getDrawPages()->getByIndex(0), UNO_QUERY_THROW)->getByIndex(0),
      UNO_QUERY_THROW);
  title->setString(U("Digital\x7f Library\vtitle"));
  const PdfFacts outline = printAndRead(request(OutputType::Outline, 1, 1));
  EXPECT_TRUE(outline.has("Digital Library\ntitle")) << outline.text;
  TearDown();

  // An annotation inserted through the API crashes the office when its
  // document closes soon after, so the deck's own comment is changed.
  open("apache-tika/testComment.ppt");
  Reference<css::office::XAnnotationAccess> annotations(
      Reference<css::drawing::XDrawPagesSupplier>(presentation_, UNO_QUERY_THROW)->getDrawPages()->getByIndex(0),
      UNO_QUERY_THROW);
  const auto comment = annotations->createAnnotationEnumeration()->nextElement();
  comment->getTextRange()->setString(U("Check\x7f this\vagain"));
  SheetRequest withComments = request(OutputType::Outline);
  withComments.printComments = true;
  const PdfFacts comments = printAndRead(withComments);
  EXPECT_TRUE(comments.has("Check this\nagain")) << comments.text;
  for (const PdfFacts* pdf : {&outline, &comments}) {
    for (const char* control : {"\x01", "\x0b", "\r", "\x7f", "\xc2\x85", "\uF0B7"})
      EXPECT_EQ(pdf->text.find(control), std::string::npos) << int(control[0]) << " in " << pdf->text;
  }
}

// The paper an office takes for its default follows the office's environment,
// and now and then it was not the system's. An office told that Letter is the
// paper still prints the sheets on the system's paper, turned to the slides.
TEST_F(SheetPrintTest, SheetsAreOnTheSystemPaperWhateverTheOfficeTakesForItsDefault) {
  ASSERT_EQ(std::getenv("PAPERSIZE"), nullptr) << "the system paper is to come from the system's settings";
  const TestOffice letterOffice({"PAPERSIZE=letter"}, "letter");
  const auto blank = letterOffice.desktop()->loadComponentFromURL("private:factory/sdraw", "_blank", 0,
                                                                  css::uno::Sequence<css::beans::PropertyValue>());
  css::awt::Size officePaper;
  for (const auto& setting : Reference<css::view::XPrintable>(blank, UNO_QUERY_THROW)->getPrinter())
    if (setting.Name == "PaperSize") setting.Value >>= officePaper;
  Reference<css::util::XCloseable>(blank, UNO_QUERY_THROW)->close(true);
  ASSERT_NEAR(officePaper.Width, 21590, 50) << "the office did not take Letter for its paper";

  double shortSide = 0, longSide = 0;
  ASSERT_EQ(std::sscanf(Capture("paperconf -s").c_str(), "%lf %lf", &shortSide, &longSide), 2);
  const auto deck = load(letterOffice, kDeck);
  for (const OutputType outputType : {OutputType::Slides, OutputType::SixSlideHandouts}) {
    SCOPED_TRACE("output type " + std::to_string(static_cast<int>(outputType)));
    print(request(outputType, 1, 2), printFile(), letterOffice, deck);
    const PdfFacts pdf = readPrint();
    const bool landscape = outputType == OutputType::Slides;
    EXPECT_NEAR(pdf.width, landscape ? longSide : shortSide, 1.5);
    EXPECT_NEAR(pdf.height, landscape ? shortSide : longSide, 1.5);
  }
  Reference<css::util::XCloseable>(deck, UNO_QUERY_THROW)->close(true);
}

// Text pages come from the word processor in one go: what the text holds
// prints as it is, and each run starts on a page of its own, however long the
// run before it was, and is found on the pages the export printed it on.
TEST_F(SheetPrintTest, TextRunsKeepTheirCharactersAndStartOnPagesOfTheirOwn) {
  TextPages text({21000, 29700});
  text.startRun();
  text.add({"Fish & <chips>   for\ttwo", TextRole::Heading, 0, 0});
  text.add({"Line one\nLine two", TextRole::Body, 1000, 100});
  text.startRun();
  text.add({"Second run", TextRole::CommentHeader, 1000, 500});
  // Runs of one line to a few pages, as an outline's slides or comments give them.
  constexpr int LongRuns = 24;
  const auto linesOf = [](int run) { return 1 + (run * 37) % 130; };
  for (int run = 0; run < LongRuns; ++run) {
    text.startRun();
    text.add({"Run " + std::to_string(run) + " heading", TextRole::Heading, 0, 0});
    for (int line = 1; line <= linesOf(run); ++line)
      text.add({"Run " + std::to_string(run) + " line " + std::to_string(line), TextRole::Body, 0, 100});
  }
  const fs::path pdf = work_.path() / "text.pdf";
  const std::vector<RunPages> runs = ExportTextPages(office_->context(), text, work_.path(), pdf).runs;
  ASSERT_EQ(runs.size(), 2u + LongRuns);
  std::vector<std::string> pages;
  const std::string all = Capture("pdftotext -layout " + ShellQuoted(pdf.string()) + " -");
  for (size_t start = 0, end; (end = all.find('\f', start)) != std::string::npos; start = end + 1)
    pages.push_back(all.substr(start, end - start));
  ASSERT_EQ(static_cast<int>(pages.size()), runs.back().first + runs.back().count);
  EXPECT_EQ(runs[0].first, 0);
  EXPECT_EQ(runs[0].count, 1);
  EXPECT_EQ(runs[1].first, 1);
  EXPECT_EQ(runs[1].count, 1);
  EXPECT_NE(pages[0].find("Fish & <chips>"), std::string::npos) << pages[0];
  EXPECT_NE(pages[0].find("Line one\n"), std::string::npos) << pages[0];
  EXPECT_EQ(pages[0].find("Second run"), std::string::npos);
  EXPECT_NE(pages[1].find("Second run"), std::string::npos) << pages[1];
  for (int run = 0; run < LongRuns; ++run) {
    const RunPages& found = runs[2 + run];
    const std::string name = "Run " + std::to_string(run);
    ASSERT_EQ(found.first, runs[1 + run].first + runs[1 + run].count) << name;
    EXPECT_NE(pages[found.first].find(name + " heading\n"), std::string::npos) << name << " begins elsewhere";
    EXPECT_NE(pages[found.first + found.count - 1].find(name + " line " + std::to_string(linesOf(run)) + "\n"),
              std::string::npos)
        << name << " ends elsewhere";
  }
}

}  // namespace
}  // namespace pelvantz::office
