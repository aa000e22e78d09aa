#include "engine/JobOutcome.h"

#include <filesystem>
#include <regex>

#include "engine/PresentationFile.h"
#include "platform/FilePermissions.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The office layer names its limit in the description ("within 60 seconds").
std::string OfficeTimeoutReason(const std::string& description) {
  static const std::regex limit(R"((\d+) seconds?)");
  std::smatch match;
  if (std::regex_search(description, match, limit))
    return "The office stopped responding after " + match[1].str() + " s and was stopped.";
  return "The office stopped responding and was stopped.";
}

std::string WhyNotOpened(PresentationFileKind kind) {
  switch (kind) {
    case PresentationFileKind::Missing:
      return "the file does not exist.";
    case PresentationFileKind::Unreadable:
      return "the file cannot be read.";
    case PresentationFileKind::Empty:
      return "the file is empty.";
    case PresentationFileKind::PasswordProtected:
      return "it is protected by a password.";
    case PresentationFileKind::PowerPoint4:
      return "it is a PowerPoint 4 file, not a PowerPoint 97-2003 file.";
    case PresentationFileKind::OpenXml:
      return "it is a PowerPoint 2007 or later file, not a PowerPoint 97-2003 file.";
    case PresentationFileKind::OtherDocument:
    case PresentationFileKind::Unknown:
      return "it is not a PowerPoint 97-2003 file.";
    case PresentationFileKind::Damaged:
      return "the file is damaged.";
    case PresentationFileKind::PowerPoint97:
      break;
  }
  return "the office cannot read its contents, although it is an unprotected PowerPoint 97-2003 file.";
}

std::string WhyNotWritable(const std::string& targetPath, const std::string& description) {
  const fs::path target(targetPath);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::error_code error;
  if (!fs::exists(folder, error)) return "the folder " + Quoted(folder.string()) + " does not exist.";
  if (!fs::is_directory(folder, error)) return Quoted(folder.string()) + " is not a folder.";
  if (fs::is_directory(target, error)) return "a folder of that name is there.";
  if (fs::exists(target, error) && !MayWrite(targetPath)) return "the file there is read-only.";
  if (!MayWrite(folder.string())) return "the folder " + Quoted(folder.string()) + " may not be written to.";
  return description;
}

bool IsFileFailure(int32_t number) {
  return number == ErrorNumber::FileAccess || number == ErrorNumber::PathNotFound ||
         number == ErrorNumber::PermissionDenied;
}

}  // namespace

std::string CompletedReason(const std::string& targetPath) {
  return "The PDF was written to " + Quoted(targetPath) + ".";
}

std::string FailureReason(const FailedJob& job) {
  const RuntimeFailure& failure = job.failure;
  switch (failure.number()) {
    case ErrorNumber::AutomationTimeout:
      return OfficeTimeoutReason(failure.description());
    case ErrorNumber::AutomationDisconnected:
      return "The office ended unexpectedly.";
    case ErrorNumber::CannotCreateObject:
      return "The office could not be started: " + failure.description();
    case ErrorNumber::TypeMismatch:
    case ErrorNumber::Overflow:
      return "The page range " + Quoted(job.options.FromText) + " to " + Quoted(job.options.ToText) +
             " is not two page numbers.";
    default:
      break;
  }
  if (failure.number() == ErrorNumber::AutomationFailed && !job.presentationOpened)
    return "The presentation cannot be opened: " + WhyNotOpened(InspectPresentationFile(job.sourcePath));
  if (job.pdfCreated && IsFileFailure(failure.number()))
    return "The PDF cannot be written to " + Quoted(job.targetPath) + ": " +
           WhyNotWritable(job.targetPath, failure.description());
  // The program's own accounts of file, office and converter failures are
  // already sentences; a number would say nothing more to the user.
  if (IsFileFailure(failure.number()) || failure.number() == ErrorNumber::AutomationFailed ||
      failure.number() == ErrorNumber::ConverterTimeout)
    return failure.description();
  return failure.description() + " (error " + std::to_string(failure.number()) + ")";
}

}  // namespace pelvantz
