#pragma once
// The test program doubles as the program of a user who may not write the
// application folder, so that the settings are tested in a real process
// without that right, even when the tests run as the administrator.
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace pelvantz::testing {

constexpr const char* SettingsUserOption = "--settings-user";

// Opens and loads the settings of `applicationFolder` as the start-up does,
// writes "KEY=value" when given, and prints what it found, a line each:
// "open 1", "file <path>", "recent <RecentFolder>", "launch <Launch>",
// "written 1", "work <work folder>", "message <text>".
int RunSettingsUser(const QString& applicationFolder, const QString& assignment);

// Runs this test program in that mode without the right to write a folder that
// is not open to writing (chmod), also for the administrator; its output lines.
std::vector<std::string> RunAsSettingsUser(const QString& applicationFolder, const QString& assignment,
                                           const QStringList& environment);

}  // namespace pelvantz::testing
