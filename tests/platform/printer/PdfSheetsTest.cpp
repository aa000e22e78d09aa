// Pages of real PDF files laid on sheets, measured with Ghostscript's bbox device.
#include "platform/printer/PdfSheets.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/RuntimeFailure.h"
#include "support/Commands.h"
#include "support/PdfFacts.h"
#include "support/TempFolder.h"

namespace pelvantz::printer {
namespace {

using testing::CommandOutput;
using testing::ShellQuoted;
namespace fs = std::filesystem;
using layout::Line;
using layout::Rect;
using layout::Size;

constexpr double kPoint = 2540.0 / 72.0;  // 1/100 mm
constexpr Size kA4Portrait{21000, 29700};

// A PDF of the given pages, each a filled rectangle over the whole page (points).
fs::path FilledPages(const fs::path& folder, double width, double height, int pages) {
  const fs::path pdf = folder / "source.pdf";
  std::string program;
  for (int page = 0; page < pages; ++page)
    program += "0 0 " + std::to_string(width) + " " + std::to_string(height) + " rectfill showpage ";
  CommandOutput("gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -dFIXEDMEDIA -dDEVICEWIDTHPOINTS=" +
                std::to_string(width) + " -dDEVICEHEIGHTPOINTS=" + std::to_string(height) +
                " -sOutputFile=" + ShellQuoted(pdf.string()) + " -c " + ShellQuoted(program));
  return pdf;
}

struct Marks {
  double left = 0, bottom = 0, right = 0, top = 0;  // points
};

Marks MarksOnPage(const fs::path& pdf, int page) {
  const std::string box =
      CommandOutput("gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=bbox -dFirstPage=" + std::to_string(page) +
                    " -dLastPage=" + std::to_string(page) + " " + ShellQuoted(pdf.string()) + " 2>&1");
  Marks marks;
  const auto at = box.find("%%HiResBoundingBox:");
  if (at != std::string::npos)
    std::sscanf(box.c_str() + at, "%%%%HiResBoundingBox: %lf %lf %lf %lf", &marks.left, &marks.bottom,
                &marks.right, &marks.top);
  return marks;
}

int PageCount(const fs::path& pdf) {
  int pages = 0;
  const std::string info = CommandOutput("pdfinfo " + ShellQuoted(pdf.string()));
  if (const auto at = info.find("Pages:"); at != std::string::npos)
    std::sscanf(info.c_str() + at, "Pages: %d", &pages);
  return pages;
}

// A rectangle of the sheet (1/100 mm from the top left) in points from the bottom left.
Marks Expected(const Rect& where, Size sheet) {
  return {where.x / kPoint, (sheet.height - where.bottom()) / kPoint, where.right() / kPoint,
          (sheet.height - where.y) / kPoint};
}

TEST(PdfSheetsTest, EachPageFillsItsRectangleOnItsSheet) {
  testing::TempFolder folder;
  PdfSheets sheets;
  const int source = sheets.addSource(FilledPages(folder.path(), 400, 300, 3));
  ASSERT_EQ(sheets.pageCount(source), 3);
  EXPECT_NEAR(sheets.pageSize(source, 1).width, 400 * kPoint, 2);
  EXPECT_NEAR(sheets.pageSize(source, 1).height, 300 * kPoint, 2);
  const Rect whole{0, 0, kA4Portrait.width, kA4Portrait.height};
  const Rect fitted = FitCentred(whole, sheets.pageSize(source, 0));
  const Rect corner{1000, 2000, 8000, 6000};
  const Rect overhanging = Centred(whole, {40000, 30000});
  const struct {
    const char* what;
    Rect where;
    Marks marks;
  } cases[] = {
      {"fitted to the sheet", fitted, Expected(fitted, kA4Portrait)},
      {"in a corner", corner, Expected(corner, kA4Portrait)},
      {"larger than the sheet, cut at its edges", overhanging, Expected(whole, kA4Portrait)},
  };
  for (const auto& c : cases) sheets.addSheet({kA4Portrait, {{source, 2, c.where}}, {}, {}});
  const fs::path out = folder.path() / "sheets.pdf";
  sheets.write(out);
  ASSERT_EQ(PageCount(out), 3);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(cases[i].what);
    const Marks marks = MarksOnPage(out, i + 1);
    EXPECT_NEAR(marks.left, cases[i].marks.left, 1);
    EXPECT_NEAR(marks.bottom, cases[i].marks.bottom, 1);
    EXPECT_NEAR(marks.right, cases[i].marks.right, 1);
    EXPECT_NEAR(marks.top, cases[i].marks.top, 1);
  }
}

TEST(PdfSheetsTest, FramesAndRulesAreDrawnBesideThePages) {
  testing::TempFolder folder;
  PdfSheets sheets;
  const Rect frame{2000, 2000, 5000, 4000};
  const Line rule{10000, 15000, 18000, 15000};
  sheets.addSheet({kA4Portrait, {}, {frame}, {rule}});
  const fs::path out = folder.path() / "sheets.pdf";
  sheets.write(out);
  const Marks marks = MarksOnPage(out, 1);
  // The frame's top left and the rule's right end bound what is drawn (half a line width more).
  EXPECT_NEAR(marks.left, frame.x / kPoint, 1);
  EXPECT_NEAR(marks.top, (kA4Portrait.height - frame.y) / kPoint, 1);
  EXPECT_NEAR(marks.right, rule.x2 / kPoint, 1);
  EXPECT_NEAR(marks.bottom, (kA4Portrait.height - rule.y1) / kPoint, 1);
}

TEST(PdfSheetsTest, UnreadableSourcesAndUnwritableTargetsFail) {
  testing::TempFolder folder;
  const fs::path notPdf = folder.path() / "not.pdf";
  std::ofstream(notPdf) << "left by something else";
  PdfSheets sheets;
  EXPECT_THROW(sheets.addSource(notPdf), RuntimeFailure);
  EXPECT_THROW(sheets.addSource(folder.path() / "missing.pdf"), RuntimeFailure);
  sheets.addSheet({kA4Portrait, {}, {}, {}});
  try {
    sheets.write(folder.path() / "missing" / "sheets.pdf");
    ADD_FAILURE() << "written into a missing folder";
  } catch (const RuntimeFailure& failure) {
    EXPECT_EQ(failure.number(), ErrorNumber::FileAccess);
  }
}

// A disk that fills while the sheets are written: the writer says so, and
// leaves no file cut short that a later step could take for the print file.
TEST(PdfSheetsTest, ADiskThatFillsWhileWritingFailsAndLeavesNoFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  testing::TempFolder folder;
  const fs::path small = folder.path() / "small";
  fs::create_directories(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount tmpfs";
  PdfSheets sheets;
  const int source = sheets.addSource(FilledPages(folder.path(), 200, 100, 1));
  // Far more than the 64 KB: each sheet is a page and a content stream of its own.
  for (int sheet = 0; sheet < 2000; ++sheet)
    sheets.addSheet({kA4Portrait, {{source, 0, {1000, 1000, 10000 + sheet, 5000}}}, {}, {}});
  const fs::path target = small / "PsFile.ps";
  std::string description;
  try {
    sheets.write(target);
  } catch (const RuntimeFailure& failure) {
    EXPECT_EQ(failure.number(), ErrorNumber::FileAccess);
    description = failure.description();
  }
  ::umount2(small.c_str(), MNT_DETACH);
  EXPECT_EQ(description, "The print file \"" + target.string() + "\" cannot be written: No space left on device.");
  EXPECT_FALSE(fs::exists(target));
}

// Two pages of 400 x 300 points; the first links out (left half) and to page 2 (right half).
fs::path LinkedPages(const fs::path& folder) {
  const fs::path pdf = folder / "linked.pdf";
  const std::string program =
      "[ /Rect [10 10 190 290] /Border [0 0 0] /Action << /Subtype /URI /URI (http://example.com/) >> "
      "/Subtype /Link /ANN pdfmark "
      "[ /Rect [210 10 390 290] /Border [0 0 0] /Page 2 /View [/Fit] /Subtype /Link /ANN pdfmark "
      "0 0 400 300 rectfill showpage 0 0 400 300 rectfill showpage";
  CommandOutput(
      "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -dFIXEDMEDIA -dDEVICEWIDTHPOINTS=400 "
      "-dDEVICEHEIGHTPOINTS=300 -sOutputFile=" +
      ShellQuoted(pdf.string()) + " -c " + ShellQuoted(program));
  return pdf;
}

TEST(PdfSheetsTest, LinksMoveWithTheirPageOrAreLeftOut) {
  testing::TempFolder folder;
  const Size halfWidth{kA4Portrait.width / 2, kA4Portrait.height};
  const struct {
    const char* what;
    std::vector<SheetContent> sheets;
    const char* links;
  } cases[] = {
      {"both pages, each on its sheet, at the top left in half size",
       {{kA4Portrait, {{0, 0, {0, 0, 7056, 5292}}}, {}, {}}, {kA4Portrait, {{0, 1, {0, 0, 7056, 5292}}}, {}, {}}},
       "link 1 5 697 95 837 http://example.com/\nlink 1 105 697 195 837 page 2\n"},
      {"the target page is not placed: only the outward link stays",
       {{kA4Portrait, {{0, 0, {0, 0, 7056, 5292}}}, {}, {}}},
       "link 1 5 697 95 837 http://example.com/\n"},
      {"the page overhangs the sheet's left edge: the link out of sight goes",
       {{halfWidth, {{0, 0, {-7056, 0, 14112, 10583}}}, {}, {}},
        {halfWidth, {{0, 1, {0, 0, 7056, 5292}}}, {}, {}}},
       "link 1 10 552 190 832 page 2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PdfSheets sheets;
    sheets.addSource(LinkedPages(folder.path()));
    for (const auto& sheet : c.sheets) sheets.addSheet(sheet);
    const fs::path out = folder.path() / "sheets.pdf";
    sheets.write(out);
    EXPECT_EQ(testing::PdfLinks(out), c.links);
  }
}

TEST(PdfSheetsTest, PropertiesAndBookmarksAreWritten) {
  testing::TempFolder folder;
  PdfSheets sheets;
  for (int i = 0; i < 3; ++i) sheets.addSheet({kA4Portrait, {}, {}, {}});
  sheets.setInfo({"Ünïcode title", "An author", "A subject", "one, two", "Pelvantz"});
  sheets.addBookmark("First", 0);
  sheets.addBookmark("Also on the first", 0);
  sheets.addBookmark("Third", 2);
  const fs::path out = folder.path() / "sheets.pdf";
  sheets.write(out);
  const std::string info = CommandOutput("pdfinfo " + ShellQuoted(out.string()));
  for (const char* line : {"Title:           Ünïcode title", "Author:          An author",
                           "Subject:         A subject", "Keywords:        one, two", "Creator:         Pelvantz"})
    EXPECT_NE(info.find(line), std::string::npos) << line << " in " << info;
  const std::string bookmarks = testing::PdfBookmarks(out);
  EXPECT_EQ(bookmarks, "First 1\nAlso on the first 1\nThird 3\n");
}

}  // namespace
}  // namespace pelvantz::printer
