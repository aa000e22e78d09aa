#include "engine/Selection.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/ApplicationName.h"
#include "base/ErrorNumbers.h"
#include "base/Text.h"
#include "core/ErrorHandler.h"
#include "core/SettingsStore.h"
#include "platform/Dialogs.h"

namespace pelvantz {
namespace {

constexpr const char* BrowseErrorTag = "frmMain:cmdBrowse";
constexpr std::string_view PresentationExtension = ".ppt";
constexpr std::string_view PdfExtension = ".pdf";

void ShowInvalidChoice(Dialogs& dialogs, const char* message) {
  dialogs.showMessage(message, MessageIcon::Critical, MessageButtons::Ok, ApplicationTitle);
}

bool IsPresentation(const std::string& path) { return EndsWithIgnoringAsciiCase(path, PresentationExtension); }

}  // namespace

std::string ProposedTarget(const std::string& source) {
  return source.substr(0, source.size() - PresentationExtension.size()) + std::string(PdfExtension);
}

std::vector<std::string> PresentationsAmong(const std::vector<std::string>& localFiles) {
  std::vector<std::string> presentations;
  for (const std::string& path : localFiles) {
    std::error_code unreadable;
    if (IsPresentation(path) && !std::filesystem::is_directory(path, unreadable)) presentations.push_back(path);
  }
  return presentations;
}

Selection::Selection(Dialogs& dialogs, SettingsStore& settings, ErrorHandler& errors,
                     std::string applicationFolder)
    : dialogs_(dialogs), settings_(settings), errors_(errors), applicationFolder_(std::move(applicationFolder)) {}

// A failure inside either Browse goes to the error handler; what was chosen
// before it stays chosen.
SelectionChange Selection::BrowseSource() {
  SelectionChange change;
  RunSteps(errors_, BrowseErrorTag, {[&] { chooseSource(change); }});
  return change;
}

SelectionChange Selection::BrowseTarget() {
  SelectionChange change;
  RunSteps(errors_, BrowseErrorTag, {[&] { chooseTarget(change); }});
  return change;
}

void Selection::chooseSource(SelectionChange& change) {
  AppSettings& settings = settings_.settings();
  FileDialogRequest request;
  request.title = "Select Source File";
  request.initialFolder = settings.RecentFolder.empty() ? applicationFolder_ : settings.RecentFolder;
  request.filterDescription = "Microsoft Powerpoint (*.ppt)";
  request.filterPattern = "*.ppt";
  const std::optional<std::string> chosen = dialogs_.chooseFile(request);
  if (!chosen || chosen->empty()) return;
  // The choice is remembered even when it is refused below.
  settings.RecentFolder = *chosen;
  settings_.WriteSetting(SettingsSection, "PATH", *chosen);
  if (!IsPresentation(*chosen)) {
    ShowInvalidChoice(dialogs_, "Invalid file selected. Please select valid Powerpoint file only.");
    change.source = "";
    return;
  }
  change.source = *chosen;
  change.target = ProposedTarget(*chosen);
}

void Selection::chooseTarget(SelectionChange& change) {
  AppSettings& settings = settings_.settings();
  FileDialogRequest request;
  request.save = true;
  request.title = "Save As";
  request.filterDescription = "PDF File (*.pdf)";
  request.filterPattern = "*.pdf";
  request.promptOverwrite = true;
  const std::size_t separator = settings.RecentOutputFolder.rfind('/');
  if (separator != std::string::npos) {
    // A file directly under the root keeps the root as its folder.
    request.initialFolder = settings.RecentOutputFolder.substr(0, std::max<std::size_t>(separator, 1));
  } else if (!errors_.ReportError(ErrorNumber::InvalidProcedureCall, "Invalid procedure call or argument",
                                  BrowseErrorTag)) {
    return;
  }
  const std::optional<std::string> chosen = dialogs_.chooseFile(request);
  if (!chosen) return;
  if (!EndsWithIgnoringAsciiCase(*chosen, PdfExtension)) {
    ShowInvalidChoice(dialogs_, "Invalid Output file. Please select valid PDF file.");
    return;
  }
  change.target = *chosen;
  settings.RecentOutputFolder = *chosen;
  settings_.WriteSetting(SettingsSection, "OUTPUTPATH", *chosen);
}

}  // namespace pelvantz
