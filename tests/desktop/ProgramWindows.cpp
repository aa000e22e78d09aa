#include "ProgramWindows.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "support/Commands.h"

namespace pelvantz::testing {

using namespace std::chrono_literals;

std::vector<std::string> VisibleWindows(pid_t program) {
  std::vector<std::string> ids;
  std::string id;
  for (char c : CommandOutput("xdotool search --onlyvisible --pid " + std::to_string(program) + " 2>/dev/null")) {
    if (c != '\n')
      id += c;
    else if (!id.empty())
      ids.push_back(std::exchange(id, ""));
  }
  return ids;
}

std::string NewWindow(pid_t program, const std::vector<std::string>& known, std::chrono::seconds limit) {
  for (auto waited = 0ms; waited < limit; waited += 100ms) {
    for (const std::string& id : VisibleWindows(program))
      if (std::find(known.begin(), known.end(), id) == known.end()) return id;
    std::this_thread::sleep_for(100ms);
  }
  return "";
}

std::string WindowName(const std::string& window) {
  std::string name = CommandOutput("xdotool getwindowname " + window + " 2>/dev/null");
  if (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

std::string NewWindowNamed(pid_t program, const std::string& name, const std::vector<std::string>& known,
                           std::chrono::seconds limit) {
  for (auto waited = 0ms; waited < limit; waited += 100ms) {
    for (const std::string& id : VisibleWindows(program))
      if (std::find(known.begin(), known.end(), id) == known.end() && WindowName(id) == name) return id;
    std::this_thread::sleep_for(100ms);
  }
  return "";
}

std::string VisibleWindowNames(pid_t program) {
  std::string names;
  for (const std::string& id : VisibleWindows(program)) names += "\"" + WindowName(id) + "\" ";
  return names;
}

void Xdotool(const std::string& arguments) { CommandOutput("xdotool " + arguments + " 2>/dev/null"); }

void ClickAt(const std::string& window, int x, int y) {
  Xdotool("windowactivate --sync " + window);
  Xdotool("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

pid_t StartProgram(const std::vector<std::string>& commandLine,
                   const std::vector<std::pair<std::string, std::string>>& environment) {
  const pid_t child = fork();
  if (child != 0) return child;
  for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
  std::vector<char*> argv;
  for (const std::string& argument : commandLine) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

int ExitStatusOf(pid_t program, std::chrono::seconds limit) {
  int status = 0;
  for (auto waited = 0ms; waited < limit; waited += 100ms) {
    if (waitpid(program, &status, WNOHANG) == program) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(100ms);
  }
  kill(program, SIGKILL);
  waitpid(program, &status, 0);
  return -2;
}

}  // namespace pelvantz::testing
