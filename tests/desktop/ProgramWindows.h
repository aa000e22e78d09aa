#pragma once
// A running copy of the program, driven from outside as a user drives it:
// its windows as the X server lists them, keys and clicks through xdotool.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace pelvantz::testing {

// The program's visible windows, by X window id.
std::vector<std::string> VisibleWindows(pid_t program);
// Waits for a visible window of the program other than `known`; empty after the limit.
std::string NewWindow(pid_t program, const std::vector<std::string>& known = {},
                      std::chrono::seconds limit = std::chrono::seconds(60));
// Waits for a visible window of the program, other than `known`, with this title.
std::string NewWindowNamed(pid_t program, const std::string& name, const std::vector<std::string>& known = {},
                           std::chrono::seconds limit = std::chrono::seconds(60));
// The window's title.
std::string WindowName(const std::string& window);
// The program's visible windows' titles, for a failure message.
std::string VisibleWindowNames(pid_t program);
void Xdotool(const std::string& arguments);
// Clicks at a point of the window, in its own coordinates.
void ClickAt(const std::string& window, int x, int y);

// Starts the command line (a bare program name is looked up on PATH) with
// the variables set in its environment.
pid_t StartProgram(const std::vector<std::string>& commandLine,
                   const std::vector<std::pair<std::string, std::string>>& environment);
// The program's exit status; -1 when a signal ended it, -2 when it was still
// running after the limit (it is killed then).
int ExitStatusOf(pid_t program, std::chrono::seconds limit = std::chrono::seconds(30));

}  // namespace pelvantz::testing
