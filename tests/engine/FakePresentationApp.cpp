#include "engine/FakePresentationApp.h"

#include <fstream>

namespace pelvantz::testing {

namespace {

std::string Join(const std::vector<std::string>& parts) {
  std::string joined;
  for (const auto& part : parts) joined += (joined.empty() ? "" : ",") + part;
  return joined;
}

// A choice recorded as the automation value it stands for.
template <typename Choice>
std::string Number(Choice value) {
  return std::to_string(static_cast<int32_t>(value));
}

class FakePresentation : public Presentation {
 public:
  explicit FakePresentation(FakeOfficeScript& script) : script_(script) {}
  void setActivePrinter(const std::string& name) override { script_.record("setActivePrinter", name); }
  void setFitToPage(int32_t value) override { script_.record("setFitToPage", std::to_string(value)); }
  void setPrintComments(int32_t value) override { script_.record("setPrintComments", std::to_string(value)); }
  void setOutputType(OutputType value) override { script_.record("setOutputType", Number(value)); }
  void setSlideOrientation(SlideOrientation value) override {
    script_.record("setSlideOrientation", Number(value));
  }
  void setSlideSize(SlideSize value) override { script_.record("setSlideSize", Number(value)); }
  void setNotesOrientation(SlideOrientation value) override {
    script_.record("setNotesOrientation", Number(value));
  }
  void printOut(int32_t from, int32_t to, const std::string& file) override {
    script_.record("printOut", Join({std::to_string(from), std::to_string(to), file}));
    if (!script_.printFileContent.empty()) std::ofstream(file, std::ios::binary) << script_.printFileContent;
  }
  void close() override { script_.record("close", ""); }

 private:
  FakeOfficeScript& script_;
};

class FakePresentationApp : public PresentationApp {
 public:
  explicit FakePresentationApp(FakeOfficeScript& script) : script_(script) { ++script_.createdApplications; }
  ~FakePresentationApp() override { ++script_.destroyedApplications; }
  void setVisible(int32_t value) override { script_.record("setVisible", std::to_string(value)); }
  std::unique_ptr<Presentation> open(const std::string& fileName) override {
    script_.record("open", fileName);
    return std::make_unique<FakePresentation>(script_);
  }
  std::string activePrinter() override {
    script_.record("activePrinter", "");
    return script_.activePrinter;
  }
  std::vector<std::string> installedPrinters() override {
    script_.record("installedPrinters", "");
    return script_.installedPrinters;
  }
  void quit() override {
    script_.record("quit", "");
    ++script_.quitApplications;
  }

 private:
  FakeOfficeScript& script_;
};

}  // namespace

void FakeOfficeScript::record(const std::string& operation, const std::string& arguments) {
  calls.push_back(operation + "(" + arguments + ")");
  const auto failure = failNext.find(operation);
  if (failure == failNext.end()) return;
  const RuntimeFailure thrown = failure->second;
  failNext.erase(failure);
  throw thrown;
}

std::unique_ptr<PresentationApp> FakePresentationAppFactory::create(const std::string& progId) {
  script_.record("create", progId);
  return std::make_unique<FakePresentationApp>(script_);
}

void FakePresentationAppFactory::prepareNext() { script_.calls.push_back("prepareNext()"); }

std::string PostScriptPages(int pages) {
  std::string document = "%!PS-Adobe-3.0\n%%Pages: " + std::to_string(pages) + "\n%%EndComments\n";
  for (int page = 1; page <= pages; ++page) {
    document += "%%Page: " + std::to_string(page) + " " + std::to_string(page) + "\n" +
                "/Helvetica findfont 36 scalefont setfont 72 600 moveto (Page " + std::to_string(page) +
                ") show showpage\n";
  }
  return document + "%%EOF\n";
}

}  // namespace pelvantz::testing
