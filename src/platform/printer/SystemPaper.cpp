#include "platform/printer/SystemPaper.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "base/Text.h"

namespace pelvantz::printer {
namespace {

constexpr int32_t Millimetres(double mm) { return static_cast<int32_t>(mm * 100 + 0.5); }
constexpr int32_t Inches(double inches) { return Millimetres(inches * 25.4); }

struct NamedPaper {
  const char* name;
  layout::Size size;
};

// The sizes the paper library gives these names.
constexpr NamedPaper KnownPapers[] = {
    {"a3", {Millimetres(297), Millimetres(420)}}, {"a4", {Millimetres(210), Millimetres(297)}},
    {"a5", {Millimetres(148), Millimetres(210)}}, {"a6", {Millimetres(105), Millimetres(148)}},
    {"b4", {Millimetres(250), Millimetres(353)}}, {"b5", {Millimetres(176), Millimetres(250)}},
    {"letter", {Inches(8.5), Inches(11)}},        {"legal", {Inches(8.5), Inches(14)}},
    {"executive", {Inches(7.25), Inches(10.5)}},  {"halfletter", {Inches(5.5), Inches(8.5)}},
    {"tabloid", {Inches(11), Inches(17)}},        {"ledger", {Inches(17), Inches(11)}},
    {"11x17", {Inches(11), Inches(17)}},
};

std::optional<layout::Size> PaperFromEnvironment(const char* variable, bool namesFile) {
  const char* value = std::getenv(variable);
  if (!value || !*value) return std::nullopt;
  if (!namesFile) return PaperNamed(value);
  const auto name = PaperNameInFile(value);
  return name ? PaperNamed(*name) : std::nullopt;
}

// glibc keeps the locale's paper in whole millimetres.
std::optional<layout::Size> LocalePaper() {
  const locale_t locale = newlocale(LC_PAPER_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return std::nullopt;
  const auto width = static_cast<int32_t>(reinterpret_cast<intptr_t>(nl_langinfo_l(_NL_PAPER_WIDTH, locale)));
  const auto height = static_cast<int32_t>(reinterpret_cast<intptr_t>(nl_langinfo_l(_NL_PAPER_HEIGHT, locale)));
  freelocale(locale);
  if (width <= 0 || height <= 0) return std::nullopt;
  // Letter is 215.9 x 279.4 mm; the locale rounds it.
  if (width == 216 && height == 279) return PaperNamed("letter");
  return layout::Size{width * 100, height * 100};
}

}  // namespace

std::optional<layout::Size> PaperNamed(const std::string& name) {
  // The names are ASCII: the user's locale has no say in how they fold.
  const std::string wanted = AsciiLower(name);
  for (const auto& paper : KnownPapers)
    if (wanted == paper.name) return paper.size;
  return std::nullopt;
}

std::optional<std::string> PaperNameInFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    const auto start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') continue;
    const auto end = line.find_first_of(" \t\r#", start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
  }
  return std::nullopt;
}

layout::Size SystemPaper() {
  if (const auto paper = PaperFromEnvironment("PAPERSIZE", false)) return *paper;
  if (const auto paper = PaperFromEnvironment("PAPERCONF", true)) return *paper;
  if (const auto name = PaperNameInFile("/etc/papersize"))
    if (const auto paper = PaperNamed(*name)) return *paper;
  if (const auto paper = LocalePaper()) return *paper;
  return *PaperNamed("a4");
}

}  // namespace pelvantz::printer
