// Reading a compound document's streams from real files.
#include "platform/CompoundFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "support/ApplicationCopy.h"
#include "support/TempFolder.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;
using testing::Corpus;
using testing::TempFolder;

TEST(CompoundFileTest, OpensOnlyACompoundDocumentThatReadsWhole) {
  TempFolder scratch;
  std::ofstream(scratch.path() / "notes.ppt") << "meeting notes, not slides";
  const struct {
    fs::path file;
    CompoundFile::State state;
  } cases[] = {
      {Corpus() / "mscfb/test.ppt", CompoundFile::State::Open},
      {Corpus() / "oletools/encrypted.ppt", CompoundFile::State::Open},
      {Corpus() / "mimetype/ppt.ppt", CompoundFile::State::Damaged},
      {scratch.path() / "notes.ppt", CompoundFile::State::Damaged},
      {scratch.path() / "gone.ppt", CompoundFile::State::Unreadable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.string());
    EXPECT_EQ(CompoundFile(c.file.string()).state(), c.state);
  }
}

TEST(CompoundFileTest, NamesItsStreamsAndReadsTheirStart) {
  const CompoundFile deck((Corpus() / "mscfb/test.ppt").string());
  EXPECT_TRUE(deck.holds("PowerPoint Document"));
  EXPECT_TRUE(deck.holds("Current User"));
  EXPECT_FALSE(deck.holds("PP40"));
  // The Current User stream opens with its atom's record header: type 0x0FF6.
  EXPECT_EQ(deck.streamStart("Current User", 4), (std::vector<std::uint8_t>{0x00, 0x00, 0xF6, 0x0F}));
  EXPECT_EQ(deck.streamStart("Current User", 1 << 20), std::nullopt);  // longer than the stream
  EXPECT_EQ(deck.streamStart("Absent", 4), std::nullopt);
  const CompoundFile older((Corpus() / "format-corpus/ecdl paris.ppt").string());
  EXPECT_TRUE(older.holds("PP40"));
  EXPECT_FALSE(CompoundFile((Corpus() / "mimetype/ppt.ppt").string()).holds("PowerPoint Document"));
}

}  // namespace
}  // namespace pelvantz
