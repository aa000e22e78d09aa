#include "platform/libreoffice/session/OfficeSession.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>

#include <rtl/textcvt.h>
#include <rtl/ustring.h>
#include <atomic>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cstdlib>
#include <thread>

#include "platform/libreoffice/session/UnoHelpers.h"

namespace pelvantz::office {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;
using namespace std::chrono_literals;

// A brand-new profile makes the office set itself up and ask to be started again.
constexpr int RestartExitCode = 81;
constexpr int MostStarts = 3;
// A call that fails because the office is going down often returns before the
// process has ended; waiting this long for its end tells an office that died
// from one that reported a failure and lives on.
constexpr auto DyingOfficeExitWait = 500ms;

// Our own end of UNO; made once and kept for the life of the program, because
// tearing it down at exit races with the bridges' threads.
Reference<css::uno::XComponentContext> LocalContext() {
  static const auto* context = [] {
    // A bridge may still write to an office that has just closed its end (it
    // ended, or was stopped): that write must fail, and the bridge report the
    // lost office, instead of SIGPIPE ending the whole program.
    ::signal(SIGPIPE, SIG_IGN);
    ::setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" PELVANTZ_LO_PROGRAM_DIR "/fundamentalrc", 0);
    return new Reference<css::uno::XComponentContext>(cppu::defaultBootstrap_InitialComponentContext());
  }();
  return *context;
}

std::string UniquePipeName() {
  static std::atomic<int> counter{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  return "pelvantz-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "-" + std::to_string(ticks);
}

// The office's pipes are sockets in the system's temporary folder, which an
// office that was killed leaves behind: ours go by name, the office's own
// instance pipe once nobody listens on it any more (as the office itself
// judges a stale one).
std::filesystem::path PipeFolder() { return ::access("/tmp", W_OK) == 0 ? "/tmp" : "/var/tmp"; }

bool NobodyListensOn(const std::filesystem::path& socketFile) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = socketFile.string();
  if (path.size() >= sizeof address.sun_path) return false;
  path.copy(address.sun_path, path.size());
  const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return false;
  const bool refused =
      ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 && errno == ECONNREFUSED;
  ::close(probe);
  return refused;
}

std::string PipePrefix() { return "OSL_PIPE_" + std::to_string(::getuid()) + "_"; }

// The socket the office makes for the pipe of that name.
std::string PipeSocket(const std::string& name) { return (PipeFolder() / (PipePrefix() + name)).string(); }

void RemoveOfficePipes(const std::vector<std::string>& ourNames) {
  const std::string prefix = PipePrefix();
  const std::filesystem::path folder = PipeFolder();
  std::error_code ignored;
  for (const auto& name : ourNames) std::filesystem::remove(PipeSocket(name), ignored);
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix + "SingleOfficeIPC_", 0) == 0 && entry.is_socket(ignored) &&
        NobodyListensOn(entry.path()))
      std::filesystem::remove(entry.path(), ignored);
  }
}

bool IsUtf8(const std::string& text) {
  rtl_uString* converted = nullptr;
  const bool valid = rtl_convertStringToUString(
      &converted, text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8,
      RTL_TEXTTOUNICODE_FLAGS_UNDEFINED_ERROR | RTL_TEXTTOUNICODE_FLAGS_MBUNDEFINED_ERROR |
          RTL_TEXTTOUNICODE_FLAGS_INVALID_ERROR);
  if (converted != nullptr) rtl_uString_release(converted);
  return valid;
}

// The office reads folder names in its environment as UTF-8. A folder whose
// name is not (an old archive's byte) is handed over open instead, and named
// by the office's own descriptor for it.
class FolderHandOver {
 public:
  explicit FolderHandOver(std::vector<int> inherited) : inherited_(std::move(inherited)) {}
  ~FolderHandOver() {
    for (int descriptor : opened_) ::close(descriptor);
  }
  FolderHandOver(const FolderHandOver&) = delete;
  FolderHandOver& operator=(const FolderHandOver&) = delete;

  std::string name(const std::filesystem::path& folder) {
    if (IsUtf8(folder.string())) return folder.string();
    const int descriptor = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return folder.string();
    opened_.push_back(descriptor);
    inherited_.push_back(descriptor);
    return "/proc/self/fd/" + std::to_string(FirstInheritedDescriptor + inherited_.size() - 1);
  }
  const std::vector<int>& inherited() const { return inherited_; }

 private:
  static constexpr size_t FirstInheritedDescriptor = 3;
  std::vector<int> inherited_;
  std::vector<int> opened_;
};

RuntimeFailure CannotStart(const std::string& reason) {
  return RuntimeFailure(ErrorNumber::CannotCreateObject, "Cannot create the presentation application: " + reason);
}

}  // namespace

OfficeSession::OfficeSession(const OfficeSettings& settings) : settings_(settings) {
  try {
    profile_ = std::make_unique<OfficeProfile>(settings_.workFolder, OfficeSetupVersion(settings_.program));
    temporaryFolder_ = NewProcessFolder(settings_.workFolder, OfficeTemporaryPrefix);
    startOnWorkingProfile();
  } catch (...) {
    shutdown();
    translateStartFailure();
  }
}

// Called from a catch clause: the start failure as the one failure the caller expects.
void OfficeSession::translateStartFailure() {
  try {
    throw;
  } catch (const RuntimeFailure& failure) {
    if (failure.number() == ErrorNumber::CannotCreateObject) throw;
    throw CannotStart(failure.description());
  } catch (const cppu::BootstrapException& exception) {
    throw CannotStart(ToStdString(exception.getMessage()));
  } catch (const css::uno::Exception& exception) {
    throw CannotStart(ToStdString(exception.Message));
  } catch (const std::exception& exception) {
    throw CannotStart(exception.what());
  }
}

OfficeSession::~OfficeSession() { shutdown(); }

ChildProcess& OfficeSession::process() {
  if (!process_) throw RuntimeFailure(ErrorNumber::AutomationDisconnected, "The office has been closed.");
  return *process_;
}

std::vector<std::string> OfficeSession::argv(const std::string& pipeName) const {
  return {settings_.program,
          "--headless",
          "--invisible",
          "--nologo",
          "--nodefault",
          "--norestore",
          "--nolockcheck",
          "-env:UserInstallation=" + ToStdString(FileUrl(profile_->folder())),
          "--accept=pipe,name=" + pipeName + ";urp;StarOffice.ComponentContext"};
}

// A profile damaged by an earlier office (killed while writing it, say) must not
// keep every later office from starting: it holds nothing of the user's.
void OfficeSession::startOnWorkingProfile() {
  try {
    startAndConnect();
  } catch (const RuntimeFailure&) {
    if (!profile_->used()) throw;
    process_.reset();
    profile_->renew();
    startAndConnect();
  }
}

void OfficeSession::startAndConnect() {
  const std::string pipeName = UniquePipeName();
  pipeNames_.push_back(pipeName);
  std::vector<int> inherited;
  if (profile_->lockDescriptor() >= 0) inherited.push_back(profile_->lockDescriptor());
  FolderHandOver folders(inherited);
  const std::vector<std::string> environment{"SAL_DISABLE_CUPS=1",
                                             "SAL_PSPRINT=" + folders.name(settings_.printerFolder),
                                             "TMPDIR=" + folders.name(temporaryFolder_)};
  const auto deadline = std::chrono::steady_clock::now() + settings_.limits.start;
  for (int start = 0; start < MostStarts; ++start) {
    process_ = std::make_unique<ChildProcess>(
        // An office killed at the program's end leaves its socket: it goes with the office.
        ChildCommand{
            settings_.program, argv(pipeName), environment, "", folders.inherited(), {PipeSocket(pipeName)}});
    ++starts_;
    while (!tryConnect(pipeName)) {
      if (const auto exitCode = process_->exitCode()) {
        if (*exitCode == RestartExitCode) break;
        throw CannotStart("the office ended at start with exit code " + std::to_string(*exitCode) + ".");
      }
      if (std::chrono::steady_clock::now() >= deadline)
        throw CannotStart("the office did not answer within " + std::to_string(settings_.limits.start.count()) +
                          " seconds.");
      std::this_thread::sleep_for(100ms);
    }
    if (desktop_.is()) return;
  }
  throw CannotStart("the office kept asking to be started again.");
}

bool OfficeSession::tryConnect(const std::string& pipeName) {
  const auto local = LocalContext();
  Reference<css::connection::XConnection> connection;
  try {
    connection = css::connection::Connector::create(local)->connect(ToOUString("pipe,name=" + pipeName));
  } catch (const css::connection::NoConnectException&) {
    return false;
  }
  call(settings_.limits.start, [&] {
    bridge_ = css::bridge::BridgeFactory::create(local)->createBridge("", "urp", connection, nullptr);
    context_.set(bridge_->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
    desktop_ = css::frame::Desktop::create(context_);
  });
  return true;
}

RuntimeFailure OfficeSession::timedOut(const Watchdog& watchdog) const {
  return RuntimeFailure(ErrorNumber::AutomationTimeout, "The office did not answer within " +
                                                            std::to_string(watchdog.limit().count()) +
                                                            " seconds and was stopped.");
}

RuntimeFailure OfficeSession::translate(const css::uno::Exception& exception, FailureKind kind,
                                        const Watchdog& watchdog) {
  const std::string message = ToStdString(exception.Message);
  if (watchdog.fired()) return timedOut(watchdog);
  const bool gone = kind == FailureKind::Disposed ||
                    (kind == FailureKind::Runtime && process_ && process_->waitForExit(DyingOfficeExitWait));
  if (gone)
    return RuntimeFailure(ErrorNumber::AutomationDisconnected,
                          "The office ended unexpectedly" + (message.empty() ? "." : ": " + message));
  // The office's messages name its internals and source lines, not the cause.
  if (kind == FailureKind::File)
    return RuntimeFailure(ErrorNumber::AutomationFailed,
                          "The office could not read or write a file it needed; the disk may be full.");
  return RuntimeFailure(ErrorNumber::AutomationFailed, "The office reported a failure it did not explain.");
}

// Failures our own code reports from inside a call, seen in the light of the office's state.
RuntimeFailure OfficeSession::refine(const RuntimeFailure& failure, const Watchdog& watchdog) {
  if (watchdog.fired()) return timedOut(watchdog);
  if (failure.number() == ErrorNumber::AutomationFailed && process_ && process_->waitForExit(DyingOfficeExitWait))
    return RuntimeFailure(ErrorNumber::AutomationDisconnected,
                          "The office ended unexpectedly: " + failure.description());
  return failure;
}

bool OfficeSession::alive() { return process_ && process_->running(); }

void OfficeSession::shutdown() {
  if (!process_) {
    removeTemporaryFiles();
    return;
  }
  if (desktop_.is() && process_->running()) {
    try {
      Watchdog watchdog(*process_, settings_.limits.call);
      desktop_->terminate();
    } catch (const css::uno::Exception&) {
      // A dead or dying office: the process is ended below either way.
    }
  }
  desktop_.clear();
  context_.clear();
  disposeBridge();
  if (!process_->waitForExit(10s)) process_->terminate(3s);
  process_.reset();
  profile_.reset();
  removeTemporaryFiles();
}

void OfficeSession::removeTemporaryFiles() {
  std::error_code ignored;
  if (!temporaryFolder_.empty()) std::filesystem::remove_all(temporaryFolder_, ignored);
  temporaryFolder_.clear();
  if (!pipeNames_.empty()) RemoveOfficePipes(pipeNames_);
  pipeNames_.clear();
}

void OfficeSession::disposeBridge() {
  if (!bridge_.is()) return;
  try {
    Reference<css::lang::XComponent>(bridge_, UNO_QUERY_THROW)->dispose();
  } catch (const css::uno::Exception&) {
    // Already gone with the office.
  }
  bridge_.clear();
}

}  // namespace pelvantz::office
