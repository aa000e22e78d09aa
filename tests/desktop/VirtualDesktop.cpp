#include "VirtualDesktop.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/Commands.h"

namespace pelvantz::testing {
namespace {

using namespace std::chrono_literals;

pid_t Spawn(const std::vector<std::string>& arguments, int keepOpen = -1) {
  const pid_t child = fork();
  if (child != 0) return child;
  // The display and its programs go with the test program, however it ends.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  for (int fd = 3; fd < 256; ++fd)
    if (fd != keepOpen) close(fd);
  execvp(argv[0], argv.data());
  _exit(127);
}

void Stop(pid_t child) {
  if (child <= 0) return;
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
}

// Xvfb picks a free display and writes its number to the descriptor.
std::string StartServer(pid_t& server) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error("no pipe for Xvfb");
  server = Spawn(
      {"Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
      pipeEnds[1]);
  close(pipeEnds[1]);
  std::string number;
  char c;
  while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;
  close(pipeEnds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  return ":" + number;
}

bool WindowManagerRunning() {
  return CommandOutput("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos;
}

std::vector<unsigned long> WindowIds(const std::string& xpropLine) {
  std::vector<unsigned long> ids;
  std::size_t at = 0;
  while ((at = xpropLine.find("0x", at)) != std::string::npos) {
    ids.push_back(std::stoul(xpropLine.substr(at), nullptr, 16));
    at += 2;
  }
  return ids;
}

}  // namespace

VirtualDesktop::VirtualDesktop() {
  setenv("DISPLAY", StartServer(server_).c_str(), 1);
  windowManager_ = Spawn({"openbox", "--sm-disable"});
  for (auto waited = 0ms; !WindowManagerRunning(); waited += 50ms) {
    if (waited > 20s) throw std::runtime_error("openbox did not start");
    std::this_thread::sleep_for(50ms);
  }
}

VirtualDesktop::~VirtualDesktop() {
  Stop(windowManager_);
  Stop(server_);
}

OtherProgram::OtherProgram(const std::vector<std::string>& commandLine) : process_(Spawn(commandLine)) {}

OtherProgram::~OtherProgram() { Stop(process_); }

std::vector<unsigned long> StackingOrder() {
  return WindowIds(CommandOutput("xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null"));
}

unsigned long TransientFor(unsigned long window) {
  const auto ids =
      WindowIds(CommandOutput("xprop -id " + std::to_string(window) + " WM_TRANSIENT_FOR 2>/dev/null"));
  return ids.empty() ? 0 : ids.front();
}

bool IsIconic(unsigned long window) {
  return CommandOutput("xprop -id " + std::to_string(window) + " WM_STATE 2>/dev/null").find("Iconic") !=
         std::string::npos;
}

}  // namespace pelvantz::testing
