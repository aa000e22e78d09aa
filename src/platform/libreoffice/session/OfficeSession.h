#pragma once
// One office process and our connection to it, for the life of one job.
// Every call into the office goes through call(), which bounds it with a
// watchdog and turns the office's exceptions into RuntimeFailure.
#include <chrono>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <memory>
#include <string>

#include "base/RuntimeFailure.h"
#include "platform/ChildProcess.h"
#include "platform/OfficeFactory.h"
#include "platform/libreoffice/session/OfficeProfile.h"
#include "platform/libreoffice/session/Watchdog.h"

namespace pelvantz::office {

struct OfficeSettings {
  std::string program;                  // soffice.bin
  std::filesystem::path workFolder;     // <application folder>/temp
  std::filesystem::path printerFolder;  // psprint configuration with printer "pelvantz"
  OfficeTimeLimits limits;
};

class OfficeSession {
 public:
  // Starts the office and connects; throws RuntimeFailure(CannotCreateObject).
  explicit OfficeSession(const OfficeSettings& settings);
  ~OfficeSession();  // shutdown()
  OfficeSession(const OfficeSession&) = delete;
  OfficeSession& operator=(const OfficeSession&) = delete;

  // Runs f against the office within the limit. UNO exceptions become
  // RuntimeFailure: AutomationTimeout when the watchdog had to kill the
  // office, AutomationDisconnected when the office is gone, else AutomationFailed.
  template <class F>
  auto call(std::chrono::seconds limit, F&& f) -> decltype(f()) {
    Watchdog watchdog(process(), limit);
    try {
      return f();
    } catch (const css::lang::DisposedException& exception) {
      throw translate(exception, FailureKind::Disposed, watchdog);
    } catch (const css::uno::RuntimeException& exception) {
      throw translate(exception, FailureKind::Runtime, watchdog);
    } catch (const css::io::IOException& exception) {
      throw translate(exception, FailureKind::File, watchdog);
    } catch (const css::uno::Exception& exception) {
      throw translate(exception, FailureKind::Other, watchdog);
    } catch (const RuntimeFailure& failure) {
      throw refine(failure, watchdog);
    }
  }

  // Ends the desktop, the connection and the process; idempotent.
  void shutdown();
  // Whether the office process still runs.
  bool alive();
  // How many office processes the start took: a profile the office has never
  // set up makes it ask to be started again (exit code 81).
  int starts() const { return starts_; }

  const css::uno::Reference<css::uno::XComponentContext>& context() const { return context_; }
  const css::uno::Reference<css::frame::XDesktop2>& desktop() const { return desktop_; }
  const std::filesystem::path& workFolder() const { return settings_.workFolder; }
  const OfficeTimeLimits& limits() const { return settings_.limits; }

  // The printer a presentation of this session was last set to print to.
  const std::string& chosenPrinter() const { return chosenPrinter_; }
  void setChosenPrinter(const std::string& name) { chosenPrinter_ = name; }

 private:
  ChildProcess& process();
  [[noreturn]] void translateStartFailure();
  void startOnWorkingProfile();
  void startAndConnect();
  bool tryConnect(const std::string& pipeName);
  std::vector<std::string> argv(const std::string& pipeName) const;
  // UNO exceptions carry no run-time type here: the catch clause tells the kind.
  enum class FailureKind { Disposed, Runtime, File, Other };
  RuntimeFailure translate(const css::uno::Exception& exception, FailureKind kind, const Watchdog& watchdog);
  RuntimeFailure refine(const RuntimeFailure& failure, const Watchdog& watchdog);
  RuntimeFailure timedOut(const Watchdog& watchdog) const;
  void disposeBridge();
  void removeTemporaryFiles();

  OfficeSettings settings_;
  std::unique_ptr<OfficeProfile> profile_;
  std::filesystem::path temporaryFolder_;  // the office's own, instead of the system's
  std::vector<std::string> pipeNames_;     // every pipe it was told to accept on
  std::unique_ptr<ChildProcess> process_;
  css::uno::Reference<css::bridge::XBridge> bridge_;
  css::uno::Reference<css::uno::XComponentContext> context_;
  css::uno::Reference<css::frame::XDesktop2> desktop_;
  std::string chosenPrinter_;
  int starts_ = 0;
};

}  // namespace pelvantz::office
