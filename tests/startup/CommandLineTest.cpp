// The built program, started in an application folder of its own with
// arguments that Qt would act on if it were given them.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <QTest>
#include <filesystem>
#include <string>

#include "support/TempFolder.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;

constexpr int StartLimitMs = 30000;

TEST(CommandLineTest, TheProgramIgnoresItsArguments) {
  const fs::path built(PELVANTZ_TEST_APP_DIR);
  if (!fs::exists(built / "pelvantz")) GTEST_SKIP() << "the program is not built in " << built;
  testing::TempFolder app;
  testing::TempFolder runtime;  // the copy's private runtime folder, where it claims its socket
  fs::permissions(runtime.path(), fs::perms::owner_all, fs::perm_options::replace);
  for (const char* file : {"pelvantz", "SETTINGS.INI", "pelvantz.reg"}) {
    fs::copy_file(built / file, app.path() / file);
  }

  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(runtime.str()));
  program.setProcessEnvironment(environment);
  program.start(QString::fromStdString((app.path() / "pelvantz").string()),
                {"-platform", "no-such-platform", "-style", "no-such-style", "-reverse", "Talk.ppt"});
  ASSERT_TRUE(program.waitForStarted());

  // At the splash's hand-off the program becomes the running copy: it is up.
  const fs::path socket = runtime.path() / ("pelvantz-" + std::to_string(getuid()));
  const bool settled =
      QTest::qWaitFor([&] { return fs::exists(socket) || program.state() == QProcess::NotRunning; }, StartLimitMs);
  ASSERT_TRUE(settled) << "neither up nor ended";
  ASSERT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();

  const pid_t pid = static_cast<pid_t>(program.processId());
  ASSERT_GT(pid, 0);
  kill(pid, SIGTERM);
  ASSERT_TRUE(program.waitForFinished(StartLimitMs));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 128 + SIGTERM) << "ended like a confirmed exit, not by Qt";
}

}  // namespace
}  // namespace pelvantz
