#include "engine/Converter.h"

#include <filesystem>
#include <vector>

#include "base/Text.h"
#include "core/ErrorHandler.h"
#include "core/SettingsStore.h"
#include "engine/Ghostscript.h"
#include "engine/JobOutcome.h"
#include "engine/PageRange.h"
#include "engine/PrinterCheck.h"
#include "platform/ApplicationFolder.h"
#include "platform/FileIdentity.h"
#include "platform/TextCase.h"
#include "platform/WorkFolder.h"

namespace pelvantz {

namespace {

constexpr const char* StatusCompleted = "Completed";
constexpr const char* StatusFailed = "Failed";
constexpr const char* GhostscriptMissingMessage =
    "Converter is missing or corrupted. Please contact our Support Team.";
constexpr const char* NoPdfMessage = "Failed to create PDF.";

std::string WaitMessage(const std::string& displayName) {
  return "Converting " + UpperCaseText(displayName) +
         "... Please wait until Powerpoint finished printing.\r\n\r\n"
         "Click on OK button after printing is done.";
}

// The PDF would be written over the presentation (the target box takes
// typing): refused before anything runs.
void RefuseTargetThatIsSource(const std::string& sourcePath, const std::string& targetPath) {
  if (SameFile(sourcePath, targetPath))
    throw RuntimeFailure(
        ErrorNumber::FileAccess,
        "The target \"" + targetPath + "\" is the presentation itself. Choose another file for the PDF.");
}

// The program's own folder is no place to guess a file's folder from: a path
// must say where the file is.
void RefuseUnusablePaths(const std::string& sourcePath, const std::string& targetPath) {
  if (IsAllSpacesOrTabs(targetPath))
    throw RuntimeFailure(ErrorNumber::FileAccess,
                         "No target PDF was chosen for this presentation. Choose one with Browse.");
  if (!std::filesystem::path(sourcePath).is_absolute())
    throw RuntimeFailure(ErrorNumber::FileAccess, "The presentation \"" + sourcePath +
                                                      "\" is not given with its folder. Choose it with Browse.");
  if (!std::filesystem::path(targetPath).is_absolute())
    throw RuntimeFailure(ErrorNumber::FileAccess,
                         "The target \"" + targetPath + "\" is not given with its folder. Choose it with Browse.");
}

}  // namespace

// What one run of ConvertPresentation works with.
struct Converter::Run {
  const std::string& sourcePath;
  const std::string& targetPath;
  int16_t row;
  const ConversionOptions& options;
  bool anotherJobFollows;
  std::string ghostscriptPath;
  std::unique_ptr<Presentation> presentation;
  std::string workFolder;
  std::unique_ptr<WorkFolderLock> workFolderLock;
  bool presentationOpened = false;
  bool pdfCreated = false;
  std::string noPdfProblem;  // why Ghostscript made no PDF, in words
  // The PDF is at its target and the row says so: nothing after may change that.
  bool delivered = false;

  Presentation& openPresentation() {
    if (!presentation)
      throw RuntimeFailure(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
    return *presentation;
  }
};

Converter::Converter(ConversionEnvironment environment) : env_(std::move(environment)) {}

Converter::~Converter() { abandonApplication(); }

void Converter::ConvertPresentation(const std::string& sourcePath, const std::string& targetPath, int16_t row,
                                    const ConversionOptions& options, bool anotherJobFollows) {
  Run run{sourcePath, targetPath, row, options, anotherJobFollows, {}, {}, {}, {}, false, false, {}, false};
  const std::vector<std::function<StepOutcome()>> steps = {
      [&] { return locateGhostscript(run); },
      [&] {
        RefuseUnusablePaths(run.sourcePath, run.targetPath);
        RefuseTargetThatIsSource(run.sourcePath, run.targetPath);
        return StepOutcome::Next;
      },
      [&] {
        holdWorkFolder(run);
        return StepOutcome::Next;
      },
      [&] {
        createApplication(PresentationProgId);
        return StepOutcome::Next;
      },
      [&] {
        application().setVisible(Flag::On);
        return StepOutcome::Next;
      },
      [&] {
        run.presentation = application().open(run.sourcePath);
        run.presentationOpened = true;
        return StepOutcome::Next;
      },
      [&] { return checkPrinter(); },
      [&] {
        setPrintOptions(run);
        return StepOutcome::Next;
      },
      [&] {
        print(run);
        return StepOutcome::Next;
      },
      [&] {
        prepareNextApplication(run);
        return StepOutcome::Next;
      },
      [&] {
        const PrintFileConversion conversion =
            ConvertPrintFile(run.ghostscriptPath, run.workFolder, env_.ghostscriptLimit);
        run.pdfCreated = conversion.pdfCreated;
        run.noPdfProblem = conversion.problem;
        return StepOutcome::Next;
      },
      [&] {
        finishJob(run);
        return StepOutcome::Next;
      },
      [&] {
        closePresentation(run);
        return StepOutcome::Next;
      },
      [&] {
        quitApplication();
        return StepOutcome::Next;
      },
  };
  for (const auto& step : steps) {
    try {
      if (step() == StepOutcome::Stop) return;
    } catch (const std::exception& failure) {
      if (!recoverFrom(AsRuntimeFailure(failure), run)) return;
    }
  }
}

// Another job (of another copy of the program on this folder) may be using the
// work files: this one waits its turn, its row showing "Converting...".
void Converter::holdWorkFolder(Run& run) {
  try {
    run.workFolder = WorkFolderOf(env_.applicationFolder);
    run.workFolderLock = std::make_unique<WorkFolderLock>(run.workFolder);
  } catch (const WorkFolderUnavailable& failure) {
    throw RuntimeFailure(ErrorNumber::FileAccess, failure.what());
  }
}

Converter::StepOutcome Converter::locateGhostscript(Run& run) {
  if (auto path = LocateGhostscript(env_.registry)) {
    run.ghostscriptPath = std::move(*path);
    return StepOutcome::Next;
  }
  env_.dialogs.showMessage(GhostscriptMissingMessage, MessageIcon::Critical, MessageButtons::Ok, ApplicationTitle);
  // A job stopped at the printer check may have left its application running;
  // ending the program must not orphan it.
  abandonApplication();
  env_.endProgram();
  return StepOutcome::Stop;
}

void Converter::createApplication(const std::string& progId) {
  // A job stopped at the printer check left its application running: end it
  // before its reference is replaced, or its office would outlive us.
  abandonApplication();
  app_ = env_.office.create(progId);
}

Converter::StepOutcome Converter::checkPrinter() {
  const std::string versionClass = GetSystemVersion(env_.systemVersion, env_.errors);
  const std::string activePrinter = application().activePrinter();
  const bool goOn =
      CheckPostScriptPrinter(versionClass, activePrinter, application().installedPrinters(), env_.dialogs);
  return goOn ? StepOutcome::Next : StepOutcome::Stop;
}

void Converter::setPrintOptions(Run& run) {
  Presentation& presentation = run.openPresentation();
  const ConversionOptions& options = run.options;
  presentation.setActivePrinter(PostScriptPrinterName);
  presentation.setFitToPage(MapFlag(options.FitToPage));
  presentation.setPrintComments(MapFlag(options.PrintComments));
  if (options.OutputType) presentation.setOutputType(*options.OutputType);
  presentation.setSlideOrientation(options.Orientation);
  if (options.PaperSize) presentation.setSlideSize(*options.PaperSize);
  presentation.setNotesOrientation(SlideOrientation::Landscape);
}

void Converter::print(Run& run) {
  const PrintRange range = MapPrintRange(run.options);
  Presentation& presentation = run.openPresentation();
  // A print file of an earlier job must never be converted as this one's.
  const std::string printFile = run.workFolder + PathSeparator + PrintFileName;
  RemoveFileIfPresent(printFile);
  presentation.printOut(range.From, range.To, printFile);
}

// The office is done with this job: the next job's starts during Ghostscript
// and the wait message.
void Converter::prepareNextApplication(Run& run) {
  if (run.anotherJobFollows) env_.office.prepareNext();
}

void Converter::finishJob(Run& run) {
  RemoveFileIfPresent(run.workFolder + PathSeparator + RangeFileName);
  if (!run.pdfCreated) {
    run.workFolderLock.reset();
    env_.jobs.SetJobStatus(run.row, StatusFailed);
    env_.jobs.SetJobReason(run.row, run.noPdfProblem);
    env_.dialogs.showMessage(NoPdfMessage, MessageIcon::Critical, MessageButtons::Ok, PostScriptPrinterName);
    return;
  }
  ReplaceFile(run.workFolder + PathSeparator + PdfFileName, run.targetPath);
  // The work files are done with: another job need not wait for our message.
  run.workFolderLock.reset();
  env_.jobs.SetJobStatus(run.row, StatusCompleted);
  env_.jobs.SetJobReason(run.row, CompletedReason(run.targetPath));
  run.delivered = true;
  env_.dialogs.showMessage(WaitMessage(env_.jobs.displayName(run.row)), MessageIcon::Information,
                           MessageButtons::Ok, PostScriptPrinterName);
  if (run.options.OpenAfterConversion) env_.shell.open(run.targetPath);
}

void Converter::closePresentation(Run& run) {
  run.openPresentation().close();
  run.presentation.reset();
}

void Converter::quitApplication() {
  if (!app_) return;
  // Released even when quit fails: the object's destructor ends what is left.
  const std::unique_ptr<PresentationApp> app = std::move(app_);
  app->quit();
}

void Converter::abandonApplication() noexcept {
  try {
    quitApplication();
  } catch (const std::exception&) {
    // Already released; the object's destructor ended what was left.
  }
}

// The failure handler: true continues with the step after the failing one.
bool Converter::recoverFrom(const RuntimeFailure& failure, Run& run) {
  run.presentation.reset();
  // Closing or quitting an office that failed after the PDF was delivered
  // changes nothing of the job: its office is ended without a word.
  if (run.delivered) {
    abandonApplication();
    return false;
  }
  if (failure.number() != ErrorNumber::CannotCreateObject) return giveUp(failure, run);
  markFailed(failure, run);
  // A second start that fails too ends the job like any other failure.
  try {
    createApplication(RetryProgId);
    return true;
  } catch (const std::exception& retryFailure) {
    return giveUp(AsRuntimeFailure(retryFailure), run);
  }
}

void Converter::markFailed(const RuntimeFailure& failure, Run& run) {
  env_.jobs.SetJobStatus(run.row, StatusFailed);
  env_.jobs.SetJobReason(run.row, FailureReason({failure, run.sourcePath, run.targetPath, run.options,
                                                 run.presentationOpened, run.pdfCreated}));
}

// The job ends here: its office is quit and the failure reported.
bool Converter::giveUp(const RuntimeFailure& failure, Run& run) {
  markFailed(failure, run);
  abandonApplication();
  env_.errors.ReportError(failure.number(), failure.description(), ConversionErrorTag);
  return false;
}

PresentationApp& Converter::application() {
  if (!app_) throw RuntimeFailure(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  return *app_;
}

}  // namespace pelvantz
