#include "common/Programs.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/CommandLine.h"

namespace pelvantz::bench {

std::unique_ptr<ChildProcess> StartProgram(const std::vector<std::string>& arguments) {
  const std::optional<std::string> program = FindExecutable(arguments.front());
  if (!program) return nullptr;
  try {
    ChildCommand command;
    command.program = *program;
    command.arguments = arguments;
    return std::make_unique<ChildProcess>(command);
  } catch (const ChildStartFailure&) {
    return nullptr;
  }
}

int RunProgram(const std::vector<std::string>& arguments) {
  const std::unique_ptr<ChildProcess> program = StartProgram(arguments);
  return program ? program->wait() : -1;
}

namespace {

std::string ReadToEnd(int descriptor) {
  std::string text;
  char buffer[1 << 14];
  for (;;) {
    const ssize_t got = read(descriptor, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      return text;
    }
  }
}

}  // namespace

std::optional<std::string> ProgramOutput(const std::vector<std::string>& arguments) {
  // The primitive gives a child /dev/null for its standard output, so a small
  // shell moves it onto the pipe handed over as descriptor 3; the arguments
  // reach the program as "$@", never read by the shell.
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return std::nullopt;
  std::vector<std::string> command = {"sh", "-c", "exec \"$@\" >&3", "sh"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  std::unique_ptr<ChildProcess> child;
  if (const auto shell = FindExecutable("sh")) {
    try {
      child = std::make_unique<ChildProcess>(ChildCommand{*shell, command, {}, {}, {pipeEnds[1]}});
    } catch (const ChildStartFailure&) {
    }
  }
  close(pipeEnds[1]);
  const std::string output = child ? ReadToEnd(pipeEnds[0]) : "";
  close(pipeEnds[0]);
  if (!child || child->wait() != 0) return std::nullopt;
  return output;
}

int PdfPages(const std::filesystem::path& pdf) {
  const std::optional<std::string> info = ProgramOutput({"pdfinfo", pdf.string()});
  int pages = 0;
  if (info)
    if (const auto at = info->find("Pages:"); at != std::string::npos)
      std::sscanf(info->c_str() + at, "Pages: %d", &pages);
  return pages;
}

}  // namespace pelvantz::bench
