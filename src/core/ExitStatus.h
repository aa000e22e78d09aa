#pragma once
// The process's exit status for each way the program ends, so that a script
// or a desktop launcher can tell a normal end from a start that could not go on.
namespace pelvantz::ExitStatus {

constexpr int Normal = 0;       // a confirmed exit, or handed over to a running copy
constexpr int StartFailed = 1;  // a failure before any window opened
constexpr int SettingsFileMissing = 2;
constexpr int PresentationAppMissing = 3;
constexpr int ConverterMissing = 4;

}  // namespace pelvantz::ExitStatus
