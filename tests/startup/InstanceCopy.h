#pragma once
// The test program doubles as a second copy of the program, so that
// running-copy detection is tested between two real processes.
#include <QProcess>
#include <QString>
#include <memory>

namespace pelvantz::testing {

constexpr const char* InstanceCopyOption = "--instance-copy";
constexpr const char* CrashingCopyOption = "--crashing-copy";

// Runs this process as a copy of the program on `socketPath`: prints "found"
// (a running copy was asked to come to the front) or "claimed"; a claiming copy
// then prints "activated" for each later copy and lives until its input closes.
int RunInstanceCopy(const QString& socketPath);
// Claims the socket, prints "claimed" and dies without cleaning up.
int RunCrashingCopy(const QString& socketPath);

// Ends a copy when the test is done with it: its input closes, and a copy
// that does not end then is killed, so that no copy outlives its test.
struct CopyEnder {
  void operator()(QProcess* copy) const;
};
using Copy = std::unique_ptr<QProcess, CopyEnder>;

// Starts this test program as another copy.
Copy StartCopy(const char* option, const QString& socketPath);
// The copy's next line of output, or "" when none comes.
QString NextLine(QProcess& copy);

}  // namespace pelvantz::testing
