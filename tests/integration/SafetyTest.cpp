// Nothing lost, nothing wrong delivered, nothing left running: the converter
// with the real office and real or stand-in Ghostscripts, in failures a user
// can meet (a broken converter, a target typed over the presentation, two
// copies of the program on one folder, a hung converter, a killed program,
// a deck that links to the web).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/ErrorHandler.h"
#include "core/Registry.h"
#include "engine/Converter.h"
#include "joblist/JobList.h"
#include "platform/OfficeFactory.h"
#include "platform/RegistryStore.h"
#include "platform/linux/LinuxSystemVersion.h"
#include "support/ApplicationCopy.h"
#include "support/Commands.h"
#include "support/Doubles.h"
#include "support/FakeDialogs.h"
#include "support/OfficeProcesses.h"
#include "support/PdfFacts.h"
#include "support/ProcessWatch.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace pelvantz {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::CommandOutput;
using testing::Corpus;
using testing::PdfText;
using testing::ReadFile;
using testing::ShellQuoted;
using testing::TempFolder;
using testing::WriteFile;

constexpr const char* SmallDeck = "mscfb/test.ppt";                    // 2 slides, "Lorem ipsum"
constexpr const char* OtherDeck = "apache-tika/testComment.ppt";       // 1 slide, "Here is some text"
constexpr const char* LongDeck = "format-corpus/unc-+oxford2001.ppt";  // 38 slides
constexpr const char* UsersEarlierPdf = "the user's earlier PDF";

// An executable shell script standing in for Ghostscript. `action` runs with
// $out set to the -sOutputFile path.
fs::path StandIn(const fs::path& folder, const std::string& name, const std::string& action) {
  const fs::path script = folder / name;
  WriteFile(script,
            "#!/bin/sh\nfor a; do case \"$a\" in -sOutputFile=*) out=\"${a#-sOutputFile=}\";; esac; done\n" +
                action + "\n");
  fs::permissions(script, fs::perms::owner_all);
  return script;
}

int PdfPages(const fs::path& pdf) {
  int pages = -1;
  const std::string info = CommandOutput("pdfinfo " + ShellQuoted(pdf.string()) + " 2>/dev/null");
  if (const auto at = info.find("Pages:"); at != std::string::npos)
    std::sscanf(info.c_str() + at, "Pages: %d", &pages);
  return pages;
}

// A zombie ("Z") has ended; it only waits for its parent to collect it.
bool Alive(pid_t pid) {
  const char state = testing::ProcessState(pid);
  return state != 0 && state != 'Z';
}

// The converter as the window drives it, on an application folder of its own.
class SafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::CopyApplicationFolder(app(), testing::InstalledGhostscript);
    fs::create_directories(out());
  }
  void TearDown() override { EXPECT_TRUE(testing::OfficeProcessesUsing(app()).empty()); }

  fs::path app() const { return scratch.path() / "app"; }
  fs::path out() const { return scratch.path() / "out"; }

  void useGhostscript(const fs::path& program) { testing::CopyApplicationFolder(app(), program.string()); }

  std::string convert(const fs::path& source, const fs::path& target) {
    jobs.clear();
    jobs.AddCompleteListView(source.string(), target.string());
    jobs.SetJobStatus(1, "Converting...");
    converter->ConvertPresentation(source.string(), target.string(), 1, ConversionOptions{});
    return jobs.at(1).Status;
  }

  void makeConverter(GhostscriptTimeLimit limit = {}) {
    office = MakeLibreOfficeFactory(app().string());
    converter = std::make_unique<Converter>(
        ConversionEnvironment{*office, dialogs, errors, shell, jobs, registry, systemVersion, app().string(),
                              [] { FAIL() << "the program would end"; }, limit});
  }

  TempFolder scratch;
  testing::FakeDialogs dialogs;
  testing::IdleCursor cursor;
  testing::RecordingShell shell;
  ErrorHandler errors{dialogs, cursor, "Pelvantz - Powerpoint to PDF Converter"};
  JobList jobs;
  RegistryStore store{RegistryStore::PathIn(app().string())};
  Registry registry{store};
  LinuxSystemVersion systemVersion;
  std::unique_ptr<PresentationAppFactory> office;
  std::unique_ptr<Converter> converter;
};

// A converter that exits 0 after writing something that is not a whole PDF
// (as Ghostscript does when the disk fills while it closes its file) never
// gets its output delivered.
TEST_F(SafetyTest, AnUnreadableResultFailsAndTheTargetKeepsTheUsersFile) {
  const struct {
    const char* name;
    std::string action;
  } converters[] = {
      {"garbage", "head -c 5000 /dev/urandom > \"$out\"; exit 0"},
      {"truncated PDF",
       "/usr/bin/gs \"$@\" >/dev/null 2>&1; head -c 3000 \"$out\" > \"$out.part\"; mv \"$out.part\" \"$out\"; "
       "exit 0"},
      {"a page short", "/usr/bin/gs -dLastPage=1 \"$@\" >/dev/null 2>&1; exit 0"},
  };
  for (const auto& standIn : converters) {
    SCOPED_TRACE(standIn.name);
    useGhostscript(StandIn(scratch.path(), "gs-stand-in", standIn.action));
    makeConverter();
    const fs::path target = out() / "result.pdf";
    WriteFile(target, UsersEarlierPdf);
    dialogs.messages.clear();
    EXPECT_EQ(convert(Corpus() / SmallDeck, target), "Failed");
    EXPECT_EQ(ReadFile(target), UsersEarlierPdf);
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().text, "Failed to create PDF.");
  }
}

// Rewrites the data of the first stream with the given filter in place, its
// length kept: the file still reads, the stream no longer decodes.
constexpr const char* DamageStreamScript = R"(import sys
data = bytearray(open(sys.argv[1], 'rb').read())
start = data.find(b'stream', data.find(b'/' + sys.argv[2].encode())) + len('stream')
while data[start] in b'\r\n':
    start += 1
end = data.find(b'endstream', start)
for i in range(start + (end - start) // 4, end - 2):
    data[i] = 0x5a
open(sys.argv[1], 'wb').write(data)
)";

// Converters that exit 0 with a PDF that reads, but is not the print file's:
// one that reads only half its input (as from a print file cut short), one
// whose image or page data is damaged; and one that cannot be started. None
// is delivered, and each row says why.
TEST_F(SafetyTest, AConverterThatSpoilsThePdfIsCaughtAndTheRowSaysWhy) {
  const fs::path damage = scratch.path() / "damage.py";
  WriteFile(damage, DamageStreamScript);
  const std::string damageCommand = "/usr/bin/python3 " + ShellQuoted(damage.string()) + " \"$out\" ";
  const fs::path cannotStart = scratch.path() / "gs-cannot-start";
  WriteFile(cannotStart, "#!/nonexistent/interpreter\n");
  fs::permissions(cannotStart, fs::perms::owner_all);
  const struct {
    const char* name;
    fs::path ghostscript;
    std::string reason;
  } converters[] = {
      {"reads half its input",
       StandIn(scratch.path(), "gs-half",
               "for a; do in=\"$a\"; done; head -c $(( $(stat -c %s \"$in\") / 2 )) \"$in\" > \"$in.half\"; "
               "/usr/bin/gs -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=\"$out\" -f \"$in.half\" "
               ">/dev/null 2>&1; rm -f \"$in.half\"; exit 0"),
       "The PDF Ghostscript wrote has lost the printed text."},
      {"damages a picture",
       StandIn(scratch.path(), "gs-jpeg", "/usr/bin/gs \"$@\" >/dev/null 2>&1; " + damageCommand + "DCTDecode"),
       "The PDF Ghostscript wrote is damaged: the data of an image or a page cannot be decoded."},
      {"damages a stream",
       StandIn(scratch.path(), "gs-flate", "/usr/bin/gs \"$@\" >/dev/null 2>&1; " + damageCommand + "FlateDecode"),
       "The PDF Ghostscript wrote is damaged: the data of an image or a page cannot be decoded."},
      {"cannot be started", cannotStart, "Ghostscript \"" + cannotStart.string() + "\" could not be started."},
  };
  for (const auto& converter : converters) {
    SCOPED_TRACE(converter.name);
    useGhostscript(converter.ghostscript);
    makeConverter();
    const fs::path target = out() / "result.pdf";
    WriteFile(target, UsersEarlierPdf);
    dialogs.messages.clear();
    EXPECT_EQ(convert(Corpus() / LongDeck, target), "Failed");
    EXPECT_EQ(jobs.at(1).Reason, converter.reason);
    EXPECT_EQ(ReadFile(target), UsersEarlierPdf);
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().text, "Failed to create PDF.");
  }
}

// The office dies while the wait message is up: the PDF is already whole at
// its target, so the row stays "Completed" and no error follows.
TEST_F(SafetyTest, TheOfficeKilledDuringTheWaitMessageLeavesTheRowCompleted) {
  makeConverter();
  dialogs.whileShown = [this](const testing::ShownMessage& message) {
    if (message.title != "pelvantz" || message.icon != MessageIcon::Information) return;
    for (const pid_t office : testing::OfficeProcessesUsing(app())) ::kill(office, SIGKILL);
  };
  const fs::path target = out() / "delivered.pdf";
  EXPECT_EQ(convert(Corpus() / SmallDeck, target), "Completed");
  dialogs.whileShown = nullptr;
  EXPECT_EQ(jobs.at(1).Reason, "The PDF was written to \"" + target.string() + "\".");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(PdfPages(target), 2);
  EXPECT_NE(PdfText(target).find("Lorem ipsum"), std::string::npos);
  // The next job gets an office of its own.
  EXPECT_EQ(convert(Corpus() / OtherDeck, out() / "next.pdf"), "Completed");
}

// A file system of its own on the work folder, taken away at the end.
class SmallWorkFolder {
 public:
  explicit SmallWorkFolder(const fs::path& folder) : folder_(folder) {
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64m") == 0;
    if (!mounted_) error_ = std::strerror(errno);
  }
  ~SmallWorkFolder() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }
  // Fills the file system until only `room` bytes are left.
  void leaveRoom(uint64_t room) const {
    struct statvfs space {};
    ASSERT_EQ(::statvfs(folder_.c_str(), &space), 0);
    const uint64_t free = space.f_bavail * space.f_frsize;
    ASSERT_GT(free, room);
    WriteFile(folder_ / "filler", std::string(free - room, '\0'));
  }
  void makeRoom() const { fs::remove(folder_ / "filler"); }

 private:
  fs::path folder_;
  bool mounted_ = false;
  std::string error_;
};

// temp/ fills while the pages are printed: the print fails with its reason
// instead of a file cut short turning into blank pages, nothing reaches the
// target, and with room again the next job converts. The office's export
// needs more room for a moment than the print file does (its own temporary
// copy), so it is the office's write or ours that meets the full disk; the
// sheet writer's own test fills the disk under the print file alone.
TEST_F(SafetyTest, AWorkFolderThatFillsWhileThePagesArePrintedDeliversNothing) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a file system on the work folder needs root";
  const fs::path temp = app() / "temp";
  const SmallWorkFolder small(temp);
  if (!small.mounted()) GTEST_SKIP() << "cannot mount tmpfs on the work folder: " << small.error();
  makeConverter();
  // A first job sets the office's profile up and shows how large the print file grows.
  ASSERT_EQ(convert(Corpus() / LongDeck, out() / "first.pdf"), "Completed");
  const uint64_t printed = fs::file_size(temp / "PsFile.ps");
  fs::remove(temp / "PsFile.ps");
  fs::remove(temp / "PdfFile.pdf");
  // Room for the deck's working copy and the office's pages (about as large
  // as the print file), and for half the print file.
  small.leaveRoom(fs::file_size(Corpus() / LongDeck) + printed + printed / 2);
  const fs::path target = out() / "result.pdf";
  WriteFile(target, UsersEarlierPdf);
  EXPECT_EQ(convert(Corpus() / LongDeck, target), "Failed");
  const std::string& reason = jobs.at(1).Reason;
  EXPECT_TRUE(reason.ends_with("the disk may be full.") ||
              reason == "The print file \"" + (temp / "PsFile.ps").string() +
                            "\" cannot be written: No space left on device.")
      << reason;
  EXPECT_EQ(ReadFile(target), UsersEarlierPdf);
  EXPECT_FALSE(fs::exists(temp / "PsFile.ps"));
  EXPECT_FALSE(fs::exists(temp / "PdfFile.pdf"));

  small.makeRoom();
  EXPECT_EQ(convert(Corpus() / LongDeck, target), "Completed");
  EXPECT_EQ(PdfPages(target), 38);
  converter.reset();
  office.reset();
}

// The target box takes typing: a target that names the presentation, however
// spelled, is refused before the office starts, and the deck stays as it was.
TEST_F(SafetyTest, ATargetThatIsThePresentationIsRefusedAndThePresentationKept) {
  makeConverter();
  const fs::path deck = out() / "deck.ppt";
  fs::copy_file(Corpus() / SmallDeck, deck);
  const std::string original = ReadFile(deck);
  fs::create_symlink(deck, out() / "link.pdf");
  fs::create_hard_link(deck, out() / "hard.pdf");
  fs::create_directories(out() / "sub");
  for (const fs::path& target :
       {deck, out() / "sub" / ".." / "deck.ppt", out() / "link.pdf", out() / "hard.pdf"}) {
    SCOPED_TRACE(target.string());
    EXPECT_EQ(convert(deck, target), "Failed");
    EXPECT_EQ(ReadFile(deck), original);
    EXPECT_FALSE(fs::exists(app() / "temp" / "PdfFile.pdf"));
  }
}

// A second copy of the program on the same application folder (another user
// or session) waits for the work files instead of reading this one's.
TEST_F(SafetyTest, TwoProcessesOnOneFolderEachDeliverTheirOwnPdfs) {
  constexpr int Rounds = 3;
  const auto run = [&](const char* deck, const std::string& prefix) {
    std::string command = ShellQuoted(PELVANTZ_CONVERT_WORKER) + " " + ShellQuoted(app().string());
    for (int round = 0; round < Rounds; ++round)
      command += " " + ShellQuoted((Corpus() / deck).string()) + " " +
                 ShellQuoted((out() / (prefix + std::to_string(round) + ".pdf")).string());
    return command + " 2>/dev/null";
  };
  std::string otherOutput;
  std::thread other([&] { otherOutput = CommandOutput(run(OtherDeck, "other-")); });
  const std::string ownOutput = CommandOutput(run(SmallDeck, "own-"));
  other.join();
  for (const std::string& output : {ownOutput, otherOutput}) {
    EXPECT_EQ(output.find("Failed"), std::string::npos) << output;
  }
  for (int round = 0; round < Rounds; ++round) {
    SCOPED_TRACE(round);
    const fs::path own = out() / ("own-" + std::to_string(round) + ".pdf");
    const fs::path theirs = out() / ("other-" + std::to_string(round) + ".pdf");
    EXPECT_EQ(PdfPages(own), 2);
    EXPECT_NE(PdfText(own).find("Lorem ipsum"), std::string::npos);
    EXPECT_EQ(PdfPages(theirs), 1);
    EXPECT_NE(PdfText(theirs).find("Here is some text"), std::string::npos);
  }
}

// A converter that never returns is stopped at its limit; the job fails with
// the reason and the next job of the queue still runs.
TEST_F(SafetyTest, AHungConverterIsStoppedAndTheQueueGoesOn) {
  const fs::path pidFile = scratch.path() / "hung.pid";
  useGhostscript(
      StandIn(scratch.path(), "gs-hung", "echo $$ > " + ShellQuoted(pidFile.string()) + "; exec sleep 3600"));
  makeConverter(GhostscriptTimeLimit{2s, 0s});
  const fs::path target = out() / "hung.pdf";
  WriteFile(target, UsersEarlierPdf);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(convert(Corpus() / SmallDeck, target), "Failed");
  EXPECT_LT(std::chrono::steady_clock::now() - started, 60s);
  EXPECT_EQ(ReadFile(target), UsersEarlierPdf);
  const pid_t hung = std::stoi(ReadFile(pidFile));
  EXPECT_FALSE(Alive(hung));

  useGhostscript("/usr/bin/gs");
  const fs::path next = out() / "next.pdf";
  EXPECT_EQ(convert(Corpus() / OtherDeck, next), "Completed");
  EXPECT_EQ(PdfPages(next), 1);
}

// However the program dies, its office dies with it.
TEST_F(SafetyTest, KillingTheProgramMidJobLeavesNoOfficeRunning) {
  const std::string command = ShellQuoted(PELVANTZ_CONVERT_WORKER) + " " + ShellQuoted(app().string()) + " " +
                              ShellQuoted((Corpus() / LongDeck).string()) + " " +
                              ShellQuoted((out() / "killed.pdf").string());
  const std::string shellCommand = "exec " + command + " >/dev/null 2>&1";
  const pid_t program = fork();
  if (program == 0) {
    execl("/bin/sh", "sh", "-c", shellCommand.c_str(), nullptr);
    _exit(127);
  }
  std::vector<pid_t> offices;
  for (int wait = 0; wait < 600 && offices.empty(); ++wait) {
    std::this_thread::sleep_for(50ms);
    offices = testing::OfficeProcessesUsing(app());
  }
  ASSERT_FALSE(offices.empty()) << "the program never started its office";
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  const auto anyAlive = [&] {
    for (pid_t pid : offices)
      if (Alive(pid)) return true;
    return false;
  };
  // The kernel ends the office at once; tearing down a large process takes a moment.
  for (int wait = 0; wait < 100 && anyAlive(); ++wait) std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(anyAlive());
  EXPECT_FALSE(fs::exists(out() / "killed.pdf"));
}

// Answers every request on 127.0.0.1 with a small PNG, counting them.
class LocalHttpServer {
 public:
  LocalHttpServer() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 16);
    thread_ = std::thread([this] { serve(); });
  }
  ~LocalHttpServer() {
    shutdown(listener_, SHUT_RDWR);
    close(listener_);
    thread_.join();
  }
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  int requests() const { return requests_; }
  void forget() { requests_ = 0; }

 private:
  void serve() {
    for (;;) {
      const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) return;
      ++requests_;
      char request[4096];
      [[maybe_unused]] const ssize_t got = recv(client, request, sizeof request, 0);
      const std::string png = ReadFile(fs::path(PELVANTZ_TEST_APP_DIR) / "icons" / "pelvantz.png");
      const std::string answer =
          "HTTP/1.0 200 OK\r\nContent-Type: image/png\r\nContent-Length: " + std::to_string(png.size()) +
          "\r\n\r\n" + png;
      [[maybe_unused]] const ssize_t sent = send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
      close(client);
    }
  }

  int listener_;
  int port_ = 0;
  std::atomic<int> requests_{0};
  std::thread thread_;
};

// A picture linked from the web is a beacon: the office must not fetch it.
TEST_F(SafetyTest, ALinkedPictureIsNeverFetched) {
  LocalHttpServer server;
  const fs::path deck = out() / "linked.ppt";
  CommandOutput("/usr/bin/python3 " + ShellQuoted(PELVANTZ_TEST_SOURCE_DIR "/integration/make_linked_deck.py") +
                " " + ShellQuoted(server.url("/beacon.png")) + " " + ShellQuoted(deck.string()) +
                " >/dev/null 2>&1");
  ASSERT_TRUE(fs::exists(deck)) << "the deck could not be built";
  ASSERT_GT(server.requests(), 0) << "the deck's builder fetches the picture it links: the server must answer";
  server.forget();
  makeConverter();
  EXPECT_EQ(convert(deck, out() / "linked.pdf"), "Completed");
  EXPECT_EQ(server.requests(), 0);
}

// Files the office cannot tell from a new document, or names that are not
// UTF-8, in the deck's name and the application folder's (whose work files then
// go to the user's own folder: the converter's command line cannot carry them).
TEST_F(SafetyTest, EmptyDecksFailAndNamesThatAreNotUtf8Convert) {
  const fs::path cache = scratch.path() / "cache";
  ASSERT_EQ(setenv("XDG_CACHE_HOME", cache.c_str(), 1), 0);
  const fs::path oddApp = scratch.path() / "app-\xE9t\xE9";
  testing::CopyApplicationFolder(oddApp, testing::InstalledGhostscript);
  office = MakeLibreOfficeFactory(oddApp.string());
  converter = std::make_unique<Converter>(ConversionEnvironment{*office, dialogs, errors, shell, jobs, registry,
                                                                systemVersion, oddApp.string(),
                                                                [] { FAIL() << "the program would end"; }});
  const fs::path empty = out() / "empty.ppt";
  WriteFile(empty, "");
  const fs::path oddName = out() / "r\xE9sum\xE9 \xA4.ppt";
  fs::copy_file(Corpus() / SmallDeck, oddName);
  EXPECT_EQ(convert(empty, out() / "empty.pdf"), "Failed");
  EXPECT_FALSE(fs::exists(out() / "empty.pdf"));
  const fs::path target = out() / "r\xE9sum\xE9.pdf";
  EXPECT_EQ(convert(oddName, target), "Completed");
  EXPECT_EQ(PdfPages(target), 2);
  EXPECT_TRUE(fs::exists(cache / "pelvantz" / "PdfFile.pdf"));
  converter.reset();
  office.reset();
  unsetenv("XDG_CACHE_HOME");
  EXPECT_TRUE(testing::OfficeProcessesUsing(scratch.path()).empty());
}

}  // namespace
}  // namespace pelvantz
