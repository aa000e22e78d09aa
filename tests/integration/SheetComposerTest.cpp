// Prints real presentations through a real office into PDF print jobs, turns
// them into PDF with Ghostscript and checks what came out with poppler's tools.
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/RuntimeFailure.h"
#include "platform/libreoffice/SheetComposer.h"
#include "support/TempFolder.h"

extern char** environ;

namespace pelvantz::office {
namespace {

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

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs a command line of quoted arguments and returns its standard output.
std::string Capture(const std::string& commandLine) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((commandLine + " 2>/dev/null").c_str(), "r"), pclose);
  std::string output;
  std::array<char, 4096> buffer{};
  while (pipe && fgets(buffer.data(), buffer.size(), pipe.get())) output += buffer.data();
  return output;
}

// A private office: own profile, own pipe, own psprint printer "pelvantz"
// that writes its jobs as PDF.
class TestOffice {
 public:
  TestOffice() {
    writePrinterConfig();
    setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:/usr/lib/libreoffice/program/fundamentalrc", 1);
    local_ = cppu::defaultBootstrap_InitialComponentContext();
    pipeName_ = "pelvantz_composer_" + std::to_string(getpid());
    connect();
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
    std::vector<std::string> args = {kSoffice, "--headless", "--invisible", "--nologo", "--nodefault",
                                     "--norestore", "--nolockcheck", profile, accept};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = {"SAL_DISABLE_CUPS=1", "SAL_PSPRINT=" + folder_.str()};
    for (char** entry = environ; *entry; ++entry) env.emplace_back(*entry);
    std::vector<char*> envp;
    for (auto& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    if (posix_spawn(&pid_, kSoffice, nullptr, nullptr, argv.data(), envp.data()) != 0) {
      throw std::runtime_error("cannot start the office");
    }
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
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        // A brand-new profile makes the first start end with 81: start again.
        if (!(WIFEXITED(status) && WEXITSTATUS(status) == 81)) throw std::runtime_error("the office ended");
        spawn();
      }
    }
    throw std::runtime_error("no connection to the office");
  }

  void reap() {
    for (int i = 0; i < 100; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

  testing::TempFolder folder_;
  std::string pipeName_;
  pid_t pid_ = -1;
  Reference<css::uno::XComponentContext> local_;
  Reference<css::uno::XComponentContext> remote_;
  Reference<css::frame::XDesktop2> desktop_;
};

struct PdfFacts {
  int pages = 0;
  double width = 0;   // points, first page
  double height = 0;
  std::string text;
};

class SheetComposerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { office_ = new TestOffice(); }
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
  void open(const std::string& corpusFile) {
    const fs::path copy = work_.path() / fs::path(corpusFile).filename();
    fs::copy_file(fs::path(PELVANTZ_TEST_CORPUS) / corpusFile, copy, fs::copy_options::overwrite_existing);
    css::beans::PropertyValue hidden;
    hidden.Name = "Hidden";
    hidden.Value <<= true;
    presentation_.set(office_->desktop()->loadComponentFromURL(U("file://" + copy.string()), "_blank", 0,
                                                                css::uno::Sequence<css::beans::PropertyValue>(&hidden, 1)),
                      UNO_QUERY_THROW);
  }

  SheetRequest request(int32_t outputType) const {
    SheetRequest request;
    request.outputType = outputType;
    request.printerName = kPrinter;
    request.targetFile = (work_.path() / "PsFile.ps").string();
    return request;
  }

  void print(const SheetRequest& request) { PrintSheets(office_->context(), presentation_, request); }

  // The print file through Ghostscript's pdfwrite, as the conversion does it.
  PdfFacts printAndRead(const SheetRequest& request) {
    print(request);
    const std::string pdf = (work_.path() / "out.pdf").string();
    fs::remove(pdf);
    Capture("gs -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=" + Quoted(pdf) +
            " -dCompatibilityLevel=1.4 -f " + Quoted(request.targetFile));
    PdfFacts facts;
    const std::string info = Capture("pdfinfo " + Quoted(pdf));
    std::smatch match;
    if (std::regex_search(info, match, std::regex(R"(Pages:\s+(\d+))"))) facts.pages = std::stoi(match[1]);
    if (std::regex_search(info, match, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+))"))) {
      facts.width = std::stod(match[1]);
      facts.height = std::stod(match[2]);
    }
    facts.text = Capture("pdftotext " + Quoted(pdf) + " -");
    return facts;
  }

  static TestOffice* office_;
  testing::TempFolder work_;
  Reference<css::lang::XComponent> presentation_;
};

TestOffice* SheetComposerTest::office_ = nullptr;

int SheetsFor(int slides, int perSheet) { return (slides + perSheet - 1) / perSheet; }

TEST_F(SheetComposerTest, EveryOutputTypePrintsItsSheetsWithTheSlideText) {
  open(kDeck);
  const int slides = kDeckSlides;
  struct Case {
    int32_t outputType;
    int fewestPages;
    int mostPages;
    bool landscape;
  };
  const Case cases[] = {
      {1, slides, slides, true},    // slides of a landscape deck
      {5, slides, slides, true},    // notes pages, landscape as asked
      {6, 2, slides - 1, false},    // outline: the text runs over a few sheets
      {10, slides, slides, false},  // handouts, 1 slide a sheet
      {2, SheetsFor(slides, 2), SheetsFor(slides, 2), false},
      {3, SheetsFor(slides, 3), SheetsFor(slides, 3), false},
      {8, SheetsFor(slides, 4), SheetsFor(slides, 4), false},
      {4, SheetsFor(slides, 6), SheetsFor(slides, 6), false},
      {9, SheetsFor(slides, 9), SheetsFor(slides, 9), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("output type " + std::to_string(c.outputType));
    const PdfFacts pdf = printAndRead(request(c.outputType));
    EXPECT_GE(pdf.pages, c.fewestPages);
    EXPECT_LE(pdf.pages, c.mostPages);
    EXPECT_EQ(pdf.width > pdf.height, c.landscape) << pdf.width << " x " << pdf.height;
    EXPECT_NE(pdf.text.find("JISC Digital Library"), std::string::npos) << pdf.text;
  }
  EXPECT_EQ(office_->openDocumentCount(), 1) << "a sheet document was left open";
}

}  // namespace
}  // namespace pelvantz::office
