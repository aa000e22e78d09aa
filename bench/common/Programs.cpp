#include "common/Programs.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/CommandLine.h"

namespace pelvantz::bench {

std::unique_ptr<ChildProcess> StartProgram(const std::vector<std::string>& arguments, int standardOutput) {
  const std::optional<std::string> program = FindExecutable(arguments.front());
  if (!program) return nullptr;
  try {
    ChildCommand command;
    command.program = *program;
    command.arguments = arguments;
    command.standardOutput = standardOutput;
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
  // OutputOf keeps at most 64 KiB, less than a long deck's text or JSON:
  // the output is read here from a pipe of our own.
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return std::nullopt;
  const std::unique_ptr<ChildProcess> child = StartProgram(arguments, pipeEnds[1]);
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
