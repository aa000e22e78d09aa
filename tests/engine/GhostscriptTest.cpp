#include "engine/Ghostscript.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/RuntimeFailure.h"
#include "platform/PdfCheck.h"
#include "platform/PdfTextMaps.h"
#include "support/PdfFacts.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

using testing::ReadFile;
using testing::WriteFile;

namespace fs = std::filesystem;
using testing::TempFolder;

size_t EntriesIn(const fs::path& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(GhostscriptTest, CommandLineQuotesEveryPathSoThatItArrivesUnchanged) {
  struct Case {
    const char* name;
    std::string ghostscript, output, input;
    std::optional<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"plain paths", "/usr/bin/gs", "/app/temp/PdfFile.pdf", "/app/temp/PsFile.ps",
       "/usr/bin/gs -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=\"/app/temp/PdfFile.pdf\" "
       "-dCompatibilityLevel=1.4 -f \"/app/temp/PsFile.ps\""},
      {"blanks in every path", "/opt/my gs/gs", "/my app/temp/PdfFile.pdf", "/my app/temp/PsFile.ps",
       "\"/opt/my gs/gs\" -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite "
       "-sOutputFile=\"/my app/temp/PdfFile.pdf\" -dCompatibilityLevel=1.4 -f \"/my app/temp/PsFile.ps\""},
      {"percent signs are literal in the output name only", "/usr/bin/gs", "/50%/PdfFile.pdf", "/50%/PsFile.ps",
       "/usr/bin/gs -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=\"/50%%/PdfFile.pdf\" "
       "-dCompatibilityLevel=1.4 -f \"/50%/PsFile.ps\""},
      {"double quotes and backslashes in the work folder", "/usr/bin/gs", "/a\"b\\\"c\\/PdfFile.pdf",
       "/a\"b/PsFile.ps",
       "/usr/bin/gs -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=\"/a\\\"b\\\\\\\"c\\/PdfFile.pdf\" "
       "-dCompatibilityLevel=1.4 -f \"/a\\\"b/PsFile.ps\""},
      {"double quote in the program path", "/opt/\"gs\"", "/a/PdfFile.pdf", "/a/PsFile.ps", std::nullopt},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(PdfWriteCommandLine(test.ghostscript, test.output, test.input), test.expected);
  }
}

// Only the releases whose newer PDF interpreter misreads multi-character
// ToUnicode entries are told apart; the older interpreter can be asked for.
TEST(GhostscriptTest, TheReleasesThatGarbleLongTextMapEntriesAreKnown) {
  const struct {
    const char* versionText;
    std::optional<bool> legacy;  // nothing: no version read
  } cases[] = {
      {"10.00.0\n", true}, {"10.01.2", true}, {"10.02.0", false},    {"10.05.1\n", false}, {"9.56.1", false},
      {"9.27", false},     {"11.0", false},   {"ten", std::nullopt}, {"", std::nullopt},   {"10", std::nullopt},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.versionText);
    const auto version = ParseGhostscriptVersion(test.versionText);
    ASSERT_EQ(version.has_value(), test.legacy.has_value());
    if (version) {
      EXPECT_EQ(GarblesLongTextMapEntries(*version), *test.legacy);
    }
  }
  EXPECT_EQ(PdfWriteCommandLine("/usr/bin/gs", "/app/temp/PdfFile.pdf", "/app/temp/PsFile.ps", true),
            "/usr/bin/gs -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=\"/app/temp/PdfFile.pdf\" "
            "-dCompatibilityLevel=1.4 -dNEWPDF=false -f \"/app/temp/PsFile.ps\"");
}

// A one-page PDF showing the codes in a font whose ToUnicode map is given.
std::string PdfWithTextMap(const std::string& cmap, const std::string& codes) {
  const std::string content = "BT /F1 24 Tf 20 100 Td <" + codes + "> Tj ET";
  const std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 400 200] /Contents 6 0 R"
      " /Resources << /Font << /F1 4 0 R >> >> >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /ToUnicode 5 0 R >>",
      "<< /Length " + std::to_string(cmap.size()) + " >>\nstream\n" + cmap + "\nendstream",
      "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
  };
  std::string pdf = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t table = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    pdf += entry;
  }
  return pdf + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(table) + "\n%%EOF\n";
}

std::string TextOf(const fs::path& pdf) {
  std::string text = testing::PdfText(pdf);
  std::erase_if(text, [](char c) { return c == '\n' || c == '\f'; });
  return text;
}

// A map entry that gives one glyph several UTF-16 units gets a private-use
// stand-in that a reader passes on as it is, and comes back afterwards: the
// text reads the same before and after, and in between holds no ligature.
TEST(GhostscriptTest, LongTextMapEntriesTravelAsStandInsAndComeBack) {
  TempFolder folder;
  const struct {
    const char* name;
    std::string cmap, codes;
    std::string text;  // what the page reads as
    size_t standIns;
  } cases[] = {
      {"one character a glyph", "2 beginbfchar\n<01> <0074>\n<02> <4E00>\nendbfchar", "0102", "t\u4E00", 0},
      {"ligatures", "3 beginbfchar\n<01> <0074>\n<03> <00740069>\n<04> <006600660069>\nendbfchar", "010304",
       "ttiffi", 2},
      {"a surrogate pair", "1 beginbfchar\n<0C> <D835DC00>\nendbfchar", "0C", "\U0001D400", 1},
      {"a range onto a ligature", "1 beginbfrange\n<05> <06> <00660069>\nendbfrange", "0506", "fifj", 2},
      {"an array", "1 beginbfrange\n<05> <07> [<0066> <00660069> <0041>]\nendbfrange", "050607", "ffiA", 1},
      {"private use taken already",
       "1 beginbfrange\n<10> <11> <E000>\nendbfrange\n1 beginbfchar\n<12> <00660066>\nendbfchar", "101112",
       "\uE000\uE001ff", 1},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const fs::path pdf = folder.path() / "print.pdf";
    WriteFile(pdf, PdfWithTextMap("begincmap\n" + test.cmap + "\nendcmap", test.codes));
    ASSERT_EQ(TextOf(pdf), test.text);
    const auto standIns = StandInForLongTextMapEntries(pdf.string());
    ASSERT_TRUE(standIns.has_value());
    EXPECT_EQ(standIns->originals.size(), test.standIns);
    EXPECT_EQ(InspectPdf(pdf.string()).pages, 1);
    const auto again = StandInForLongTextMapEntries(pdf.string());
    ASSERT_TRUE(again.has_value());
    EXPECT_TRUE(again->empty()) << "a long entry is left";
    if (test.standIns > 0) {
      EXPECT_NE(TextOf(pdf), test.text);
    }
    ASSERT_TRUE(RestoreLongTextMapEntries(pdf.string(), *standIns));
    EXPECT_EQ(TextOf(pdf), test.text);
  }
  EXPECT_FALSE(StandInForLongTextMapEntries((folder.path() / "missing.pdf").string()).has_value());
  // A map that cannot be read whole may hide long entries: no stand-ins
  // then, and the file stays as it was.
  for (const char* broken :
       {"1 beginbfchar\n<01> <00740069>\nendcmap", "1 beginbfchar\n<01> <0074006\nendbfchar",
        "1 beginbfrange\n<05> <03> <00660069>\nendbfrange", "1 beginbfchar\n<01> ]\n<02> <00660069>\nendbfchar"}) {
    SCOPED_TRACE(broken);
    const fs::path pdf = folder.path() / "broken.pdf";
    const std::string file = PdfWithTextMap(std::string("begincmap\n") + broken, "01");
    WriteFile(pdf, file);
    EXPECT_FALSE(StandInForLongTextMapEntries(pdf.string()).has_value());
    EXPECT_EQ(ReadFile(pdf), file);
  }
}

TEST(GhostscriptTest, ConversionSucceedsOnlyWhenGhostscriptExitsCleanlyWithItsOutput) {
  TempFolder work;
  const std::string page = "%!PS\n/Helvetica findfont 24 scalefont setfont 72 700 moveto (Hello) show showpage\n";
  struct Case {
    const char* name;
    std::string ghostscript;
    std::optional<std::string> printFile;  // nothing: no print file at all
    bool expected;
  };
  const std::vector<Case> cases = {
      {"good print file", "/usr/bin/gs", page, true},
      {"error after the first page", "/usr/bin/gs", page + "nosuchoperator\n", false},
      {"no print file", "/usr/bin/gs", std::nullopt, false},
      {"Ghostscript cannot be started", (work.path() / "no-gs").string(), page, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    fs::remove(work.path() / PrintFileName);
    if (test.printFile) WriteFile(work.path() / PrintFileName, *test.printFile);
    WriteFile(work.path() / PdfFileName, "%PDF- an earlier job's result");
    EXPECT_EQ(ConvertPrintFile(test.ghostscript, work.str()).pdfCreated, test.expected);
    if (!test.expected) continue;
    EXPECT_EQ(ReadFile(work.path() / PdfFileName).substr(0, 5), "%PDF-");
    EXPECT_EQ(ReadFile(work.path() / PdfFileName).find("earlier job"), std::string::npos);
  }
}

// Ghostscript 10 exits 0 when the disk fills while it closes its output
// ("ioerror on closing pdfwrite device"): the truncated file must not pass.
TEST(GhostscriptTest, APdfCutShortByAFullDiskIsNoResult) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  TempFolder source;
  std::string pages = "%!PS\n/Helvetica findfont 9 scalefont setfont\n";
  for (int page = 1; page <= 4; ++page) {
    for (int line = 0; line < 60; ++line)
      pages += "36 " + std::to_string(780 - 12 * line) + " moveto (Page " + std::to_string(page) + " line " +
               std::to_string(line) + " of a print file that fills the disk to the brim and beyond) show\n";
    pages += "showpage\n";
  }
  WriteFile(source.path() / PrintFileName, pages);
  ASSERT_TRUE(ConvertPrintFile("/usr/bin/gs", source.str()));
  const std::string printPdf = ReadFile(source.path() / PdfFileName);

  TempFolder work;
  if (::mount("tmpfs", work.path().c_str(), "tmpfs", 0, "size=256k") != 0) GTEST_SKIP() << "cannot mount tmpfs";
  WriteFile(work.path() / PrintFileName, printPdf);
  struct statvfs space {};
  ASSERT_EQ(::statvfs(work.path().c_str(), &space), 0);
  // One block left: Ghostscript draws every page, then fails only while it
  // closes the file, and still exits 0 with the first block written.
  const uint64_t room = space.f_frsize;
  ASSERT_GT(printPdf.size(), room);
  WriteFile(work.path() / "filler", std::string(space.f_bavail * space.f_frsize - room, '\0'));
  EXPECT_FALSE(ConvertPrintFile("/usr/bin/gs", work.str()));
  EXPECT_EQ(fs::file_size(work.path() / PdfFileName), room);
  ::umount2(work.path().c_str(), MNT_DETACH);
}

// Whatever stops the copy, the user's earlier file stays as it was and no
// temporary file is left beside it.
TEST(GhostscriptTest, ReplaceFileLeavesTheOldTargetWhenTheCopyFails) {
  TempFolder folder;
  const fs::path target = folder.path() / "result.pdf";
  const fs::path source = folder.path() / "new.pdf";
  const fs::path big = folder.path() / "big.pdf";
  WriteFile(source, "new content");
  WriteFile(big, std::string(1 << 20, 'x'));
  using Undo = std::function<void()>;
  struct Case {
    const char* name;
    fs::path source;
    fs::path target;
    int32_t expectedNumber;
    std::function<Undo()> arrange;  // sets the fault up; returns how to take it away
  };
  const auto nothing = [] { return [] {}; };
  const auto readOnlyTarget = [&] {
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    return [&] { fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write); };
  };
  // A disk that fills up in the middle of the copy: the file-size limit makes
  // the write fail after part of the data went out.
  const auto diskFullHalfWay = [] {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &limited);
    return [saved, savedHandler] {
      setrlimit(RLIMIT_FSIZE, &saved);
      std::signal(SIGXFSZ, savedHandler);
    };
  };
  const std::vector<Case> cases = {
      {"source missing", folder.path() / "missing.pdf", target, ErrorNumber::FileAccess, nothing},
      {"target folder missing", source, folder.path() / "gone" / "result.pdf", ErrorNumber::PathNotFound, nothing},
      {"target is a folder", source, folder.path(), ErrorNumber::FileAccess, nothing},
      {"target read-only", source, target, ErrorNumber::PermissionDenied, readOnlyTarget},
      {"disk full half-way", big, target, ErrorNumber::FileAccess, diskFullHalfWay},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    WriteFile(target, "old content");
    std::optional<int32_t> number;
    const Undo undo = test.arrange();
    try {
      ReplaceFile(test.source.string(), test.target.string());
    } catch (const RuntimeFailure& failure) {
      number = failure.number();
      EXPECT_FALSE(failure.description().empty());
    }
    undo();
    EXPECT_EQ(number, test.expectedNumber);
    EXPECT_EQ(ReadFile(target), "old content");
    EXPECT_EQ(EntriesIn(folder.path()), 3u);
  }
}

TEST(GhostscriptTest, ReplaceFileWritesThroughALinkAndKeepsTheLink) {
  TempFolder folder;
  fs::create_directory(folder.path() / "real");
  const fs::path real = folder.path() / "real" / "result.pdf";
  const fs::path link = folder.path() / "result.pdf";
  WriteFile(real, "old content");
  fs::create_symlink(real, link);
  WriteFile(folder.path() / "new.pdf", "new content");

  ReplaceFile((folder.path() / "new.pdf").string(), link.string());

  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "new content");
}

// A name may use all 255 bytes a folder entry allows; CJK letters take three each.
TEST(GhostscriptTest, ReplaceFileTakesATargetWithTheLongestNameTheFolderAllows) {
  TempFolder folder;
  std::string name;
  for (int letter = 0; letter < 83; ++letter) name += "\u6587";
  name += "xx.pdf";
  ASSERT_EQ(name.size(), 255u);
  const fs::path target = folder.path() / name;
  WriteFile(target, "old content");
  WriteFile(folder.path() / "new.pdf", "new content");

  ReplaceFile((folder.path() / "new.pdf").string(), target.string());

  EXPECT_EQ(ReadFile(target), "new content");
  EXPECT_EQ(EntriesIn(folder.path()), 2u);
}

}  // namespace
}  // namespace pelvantz
