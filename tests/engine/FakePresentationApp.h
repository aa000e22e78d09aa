#pragma once
// A recording double of the presentation application: every call lands in one
// log shared by all application objects of a factory, failures are scripted by
// operation name, and the print step writes the script's print file.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/RuntimeFailure.h"
#include "platform/PresentationApp.h"

namespace pelvantz::testing {

struct FakeOfficeScript {
  // "create(PowerPoint.Application)", "setVisible(1)", "printOut(-1,-1,<file>)", ...
  std::vector<std::string> calls;  // the factory's prepareNext() lands here too
  // Operation name ("open", "printOut", "create", ...) -> the failure its next
  // call throws; an operation listed twice fails its next two calls.
  std::multimap<std::string, RuntimeFailure> failNext;
  // What printOut writes to its file; nothing is written when empty.
  std::string printFileContent;
  std::string activePrinter = "pelvantz";
  std::vector<std::string> installedPrinters{"pelvantz"};
  int createdApplications = 0;
  int quitApplications = 0;
  int destroyedApplications = 0;

  // Records the call and throws the failure scripted for the operation.
  void record(const std::string& operation, const std::string& arguments);
  std::string lastCall() const { return calls.empty() ? std::string() : calls.back(); }
};

class FakePresentationAppFactory : public PresentationAppFactory {
 public:
  explicit FakePresentationAppFactory(FakeOfficeScript& script) : script_(script) {}
  std::unique_ptr<PresentationApp> create(const std::string& progId) override;
  void prepareNext() override;

 private:
  FakeOfficeScript& script_;
};

// A PostScript document of `pages` letter pages, each reading "Page <n>".
std::string PostScriptPages(int pages);

}  // namespace pelvantz::testing
