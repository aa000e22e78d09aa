// The plain reasons a finished row gives, over real presentation files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/Ghostscript.h"
#include "engine/JobOutcome.h"
#include "engine/PresentationFile.h"
#include "support/ApplicationCopy.h"
#include "support/TempFolder.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

using testing::Corpus;

class JobOutcomeTest : public ::testing::Test {
 protected:
  JobOutcomeTest() {
    std::ofstream(scratch.path() / "empty.ppt");
    std::ofstream(scratch.path() / "notes.ppt") << "meeting notes, not slides";
    fs::create_directories(scratch.path() / "folder.ppt");
  }
  TempFolder scratch;
};

TEST_F(JobOutcomeTest, TheContainerTellsWhatKindOfFileAPresentationIs) {
  const struct {
    fs::path file;
    PresentationFileKind kind;
  } cases[] = {
      {Corpus() / "mscfb/test.ppt", PresentationFileKind::PowerPoint97},
      {Corpus() / "apache-tika/pictures.ppt", PresentationFileKind::PowerPoint97},
      {Corpus() / "oletools/encrypted.ppt", PresentationFileKind::PasswordProtected},
      {Corpus() / "apache-tika/testPPT_protected_passtika.ppt", PresentationFileKind::PasswordProtected},
      {Corpus() / "msoffcrypto-tool/rc4cryptoapi_password.ppt", PresentationFileKind::PasswordProtected},
      {Corpus() / "format-corpus/ecdl paris.ppt", PresentationFileKind::PowerPoint4},
      {Corpus() / "unstructured/eng_spa_mult.ppt", PresentationFileKind::OpenXml},
      {Corpus() / "mimetype/ppt.ppt", PresentationFileKind::Damaged},
      {scratch.path() / "empty.ppt", PresentationFileKind::Empty},
      {scratch.path() / "notes.ppt", PresentationFileKind::Unknown},
      {scratch.path() / "folder.ppt", PresentationFileKind::Unreadable},
      {scratch.path() / "gone.ppt", PresentationFileKind::Missing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.string());
    EXPECT_EQ(InspectPresentationFile(c.file.string()), c.kind);
  }
}

TEST_F(JobOutcomeTest, EachFailureIsExplainedInPlainWords) {
  const std::string missingFolderTarget = (scratch.path() / "nowhere" / "talk.pdf").string();
  const std::string writableTarget = (scratch.path() / "talk.pdf").string();
  const struct {
    const char* situation;
    int32_t number;
    std::string description;
    fs::path source;
    std::string target;
    bool opened, pdfCreated;
    std::string reason;
  } cases[] = {
      {"office hung while loading", ErrorNumber::AutomationTimeout,
       "The office did not answer within 75 seconds and was stopped.", Corpus() / "mscfb/test.ppt", writableTarget,
       false, false, "The office stopped responding after 75 s and was stopped."},
      {"office hung, limit not named", ErrorNumber::AutomationTimeout, "hung", Corpus() / "mscfb/test.ppt",
       writableTarget, true, false, "The office stopped responding and was stopped."},
      {"office crashed", ErrorNumber::AutomationDisconnected, "The office ended unexpectedly: bridge gone",
       Corpus() / "mscfb/test.ppt", writableTarget, true, false, "The office ended unexpectedly."},
      {"encrypted", ErrorNumber::AutomationFailed, "could not be opened", Corpus() / "oletools/encrypted.ppt",
       writableTarget, false, false, "The presentation cannot be opened: it is protected by a password."},
      {"damaged", ErrorNumber::AutomationFailed, "could not be opened", Corpus() / "mimetype/ppt.ppt",
       writableTarget, false, false, "The presentation cannot be opened: the file is damaged."},
      {"PowerPoint 4", ErrorNumber::AutomationFailed, "could not be opened",
       Corpus() / "format-corpus/ecdl paris.ppt", writableTarget, false, false,
       "The presentation cannot be opened: it is a PowerPoint 4 file, not a PowerPoint 97-2003 file."},
      {"plain text named .ppt", ErrorNumber::AutomationFailed, "could not be opened", scratch.path() / "notes.ppt",
       writableTarget, false, false, "The presentation cannot be opened: it is not a PowerPoint 97-2003 file."},
      {"sound file the office cannot read", ErrorNumber::AutomationFailed, "could not be opened",
       Corpus() / "apache-tika/pictures.ppt", writableTarget, false, false,
       "The presentation cannot be opened: the office cannot read its contents, although it is an unprotected "
       "PowerPoint 97-2003 file."},
      {"target folder missing", ErrorNumber::PathNotFound, "Cannot write", Corpus() / "mscfb/test.ppt",
       missingFolderTarget, true, true,
       "The PDF cannot be written to \"" + missingFolderTarget + "\": the folder \"" +
           (scratch.path() / "nowhere").string() + "\" does not exist."},
      {"target is a folder", ErrorNumber::FileAccess, "Cannot write", Corpus() / "mscfb/test.ppt",
       (scratch.path() / "folder.ppt").string(), true, true,
       "The PDF cannot be written to \"" + (scratch.path() / "folder.ppt").string() +
           "\": a folder of that name is there."},
      {"page range", ErrorNumber::TypeMismatch, "Type mismatch", Corpus() / "mscfb/test.ppt", writableTarget, true,
       false, "The page range \"1,3\" to \"5\" is not two page numbers."},
      {"print refused after opening", ErrorNumber::AutomationFailed, "The office rendered no pages.",
       Corpus() / "mscfb/test.ppt", writableTarget, true, false, "The office rendered no pages."},
      {"no target chosen", ErrorNumber::FileAccess,
       "No target PDF was chosen for this presentation. Choose one with Browse.", Corpus() / "mscfb/test.ppt", "",
       false, false, "No target PDF was chosen for this presentation. Choose one with Browse."},
      {"something unforeseen", ErrorNumber::InternalError, "Internal error", Corpus() / "mscfb/test.ppt",
       writableTarget, true, false, "Internal error (error 51)"},
  };
  ConversionOptions options;
  options.FromText = "1,3";
  options.ToText = "5";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.situation);
    const RuntimeFailure failure(c.number, c.description);
    const std::string source = c.source.string();
    EXPECT_EQ(FailureReason({failure, source, c.target, options, c.opened, c.pdfCreated}), c.reason);
  }
}

}  // namespace
}  // namespace pelvantz
