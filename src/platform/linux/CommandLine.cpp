#include "platform/CommandLine.h"

#include <cstdlib>
#include <filesystem>

#include "base/Text.h"
#include "platform/FilePermissions.h"

namespace pelvantz {

namespace {

// Where a program name ending before each blank run (and at the end) would end.
std::vector<std::size_t> CandidateEnds(std::string_view line) {
  std::vector<std::size_t> ends;
  for (std::size_t at = 1; at < line.size(); ++at) {
    if (IsSpaceOrTab(line[at]) && !IsSpaceOrTab(line[at - 1])) ends.push_back(at);
  }
  ends.push_back(line.size());
  return ends;
}

std::optional<ResolvedCommandLine> WithArguments(const std::string& program, std::string_view rest) {
  const std::optional<std::string> executable = FindExecutable(program);
  if (!executable) return std::nullopt;
  ResolvedCommandLine resolved{*executable, {program}};
  for (std::string& argument : SplitArguments(rest)) resolved.arguments.push_back(std::move(argument));
  return resolved;
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (c == '\\') {
      std::size_t backslashes = 0;
      while (at < text.size() && text[at] == '\\') ++backslashes, ++at;
      const bool beforeQuote = at < text.size() && text[at] == '"';
      current.append(beforeQuote ? backslashes / 2 : backslashes, '\\');
      if (beforeQuote && backslashes % 2 == 1) {
        current += '"';
        ++at;
      }
      inArgument = true;
    } else if (c == '"') {
      quoted = !quoted;
      inArgument = true;
      ++at;
    } else if (IsSpaceOrTab(c) && !quoted) {
      if (inArgument) arguments.push_back(std::move(current));
      current.clear();
      inArgument = false;
      ++at;
    } else {
      current += c;
      inArgument = true;
      ++at;
    }
  }
  if (inArgument) arguments.push_back(std::move(current));
  return arguments;
}

std::optional<std::string> FindExecutable(const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (name.find('/') != std::string::npos) {
    if (!IsRunnableFile(name)) return std::nullopt;
    return std::filesystem::absolute(name).lexically_normal().string();
  }
  const char* path = std::getenv("PATH");
  const std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = folders.find(':', start);
    if (end == std::string_view::npos) end = folders.size();
    const std::string folder(folders.substr(start, end - start));
    const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
    if (IsRunnableFile(candidate)) return std::filesystem::absolute(candidate).lexically_normal().string();
    start = end + 1;
  }
  return std::nullopt;
}

std::optional<ResolvedCommandLine> ResolveCommandLine(std::string_view commandLine) {
  const std::string_view line = TrimLeadingSpacesAndTabs(commandLine);
  if (line.empty()) return std::nullopt;
  if (line.front() == '"') {
    const std::size_t closing = line.find('"', 1);
    if (closing == std::string_view::npos) return WithArguments(std::string(line.substr(1)), {});
    return WithArguments(std::string(line.substr(1, closing - 1)), line.substr(closing + 1));
  }
  for (const std::size_t end : CandidateEnds(line)) {
    std::optional<ResolvedCommandLine> resolved =
        WithArguments(std::string(line.substr(0, end)), line.substr(end));
    if (resolved) return resolved;
  }
  return std::nullopt;
}

}  // namespace pelvantz
