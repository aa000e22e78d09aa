// A copy of the conversion side of the program, for tests that need a second
// process on one application folder or a real process to kill.
//
// Usage: pelvantz_convert_worker [--output-type TYPE] APPLICATION_FOLDER SOURCE TARGET [SOURCE TARGET]...
// Converts each pair in order as the batch driver does, at the window's
// default options but for the output type ("Notes", "Outline", ... as the
// list shows them), and prints one line per job: "<status>\t<target>\t<reason>"
// ("started" first, once the first job has begun).
#include <cstdio>
#include <memory>
#include <string>

#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "engine/Converter.h"
#include "joblist/JobList.h"
#include "platform/OfficeFactory.h"
#include "platform/RegistryStore.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"

int main(int argc, char* argv[]) {
  using namespace pelvantz;
  ConversionOptions options;
  if (argc > 2 && std::string(argv[1]) == "--output-type") {
    options.OutputType = OutputTypeForText(argv[2]);
    argv[2] = argv[0];
    argv += 2;
    argc -= 2;
  }
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: %s [--output-type TYPE] APPLICATION_FOLDER SOURCE TARGET [SOURCE TARGET]...\n",
                 argv[0]);
    return 2;
  }
  const std::string app = argv[1];
  testing::FakeDialogs dialogs;
  testing::IdleCursor cursor;
  testing::RecordingShell shell;
  ErrorHandler errors{dialogs, cursor, "Pelvantz - Powerpoint to PDF Converter"};
  JobList jobs;
  RegistryStore store{RegistryStore::PathIn(app)};
  Registry registry{store};
  LinuxSystemVersion systemVersion;
  const std::unique_ptr<PresentationAppFactory> office = MakeLibreOfficeFactory(app);
  Converter converter{ConversionEnvironment{*office, dialogs, errors, shell, jobs, registry, systemVersion, app,
                                            [] { std::_Exit(3); }}};
  std::printf("started\n");
  std::fflush(stdout);
  for (int pair = 2; pair + 1 < argc; pair += 2) {
    // One row at a time: the same presentation may come more than once.
    jobs.clear();
    jobs.AddCompleteListView(argv[pair], argv[pair + 1]);
    jobs.SetJobStatus(1, "Converting...");
    converter.ConvertPresentation(argv[pair], argv[pair + 1], 1, options, pair + 2 < argc);
    std::printf("%s\t%s\t%s\n", jobs.at(1).Status.c_str(), argv[pair + 1], jobs.at(1).Reason.c_str());
    std::fflush(stdout);
  }
  return 0;
}
