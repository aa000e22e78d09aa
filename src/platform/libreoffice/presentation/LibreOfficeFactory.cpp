#include "platform/libreoffice/presentation/LibreOfficeFactory.h"

#include <strings.h>

#include <filesystem>
#include <system_error>

#include "base/RuntimeFailure.h"
#include "platform/OfficeFactory.h"
#include "platform/WorkFolder.h"
#include "platform/libreoffice/presentation/LibreOfficeApp.h"

namespace pelvantz {
namespace office {
namespace {

constexpr const char* ApplicationProgId = "PowerPoint.Application";

// Where no work folder can be had, the office's start fails later with the reason.
std::filesystem::path OfficeWorkFolder(const std::string& applicationFolder) {
  try {
    return WorkFolderOf(applicationFolder);
  } catch (const WorkFolderUnavailable&) {
    return std::filesystem::path(applicationFolder) / "temp";
  }
}

}  // namespace

// Automation names are not case-sensitive ("Powerpoint.Application" is used too).
std::unique_ptr<PresentationApp> LibreOfficeFactory::create(const std::string& progId) {
  if (strcasecmp(progId.c_str(), ApplicationProgId) != 0)
    throw RuntimeFailure(ErrorNumber::CannotCreateObject, "ActiveX component can't create object");
  std::shared_ptr<OfficeSession> session = takePrepared();
  if (!session) session = std::make_shared<OfficeSession>(settings_);
  return std::make_unique<LibreOfficeApp>(std::move(session));
}

void LibreOfficeFactory::prepareNext() {
  std::lock_guard lock(mutex_);
  if (next_.valid()) return;
  try {
    next_ = std::async(std::launch::async,
                       [settings = settings_] { return std::make_unique<OfficeSession>(settings); });
  } catch (const std::system_error&) {
    // No thread to start it on: the next create() starts its office itself.
  }
}

// The office started ahead, once it has started; nothing when none was asked
// for, when its start failed or when it has ended since.
std::unique_ptr<OfficeSession> LibreOfficeFactory::takePrepared() {
  std::future<std::unique_ptr<OfficeSession>> next;
  {
    std::lock_guard lock(mutex_);
    next = std::move(next_);
  }
  if (!next.valid()) return nullptr;
  try {
    auto session = next.get();
    if (session->alive()) return session;
  } catch (const std::exception&) {
    // Reported, if it still fails, by the start that replaces it.
  }
  return nullptr;
}

LibreOfficeFactory::~LibreOfficeFactory() { takePrepared(); }

}  // namespace office

std::unique_ptr<PresentationAppFactory> MakeLibreOfficeFactory(const std::string& applicationFolder) {
  return MakeLibreOfficeFactory(applicationFolder, "");
}

std::unique_ptr<PresentationAppFactory> MakeLibreOfficeFactory(const std::string& applicationFolder,
                                                               const std::string& officeProgram,
                                                               const OfficeTimeLimits& limits) {
  office::OfficeSettings settings;
  settings.program = officeProgram.empty() ? InstalledOfficeProgram() : officeProgram;
  settings.limits = limits;
  settings.workFolder = office::OfficeWorkFolder(applicationFolder);
  settings.printerFolder = std::filesystem::path(applicationFolder) / "printer";
  return std::make_unique<office::LibreOfficeFactory>(settings);
}

std::string InstalledOfficeProgram() { return PELVANTZ_SOFFICE_BIN; }

}  // namespace pelvantz
