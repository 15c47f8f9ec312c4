#include "platform/files.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/fs_path.h"
#include "platform/paths.h"
#include "support/system.h"
#include "support/test_project.h"

namespace velnor {
namespace {

using test::TestProject;

int FilesIn(const std::filesystem::path& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(Files, AppendLineWritesWindows1252AndCrLf) {
  TestProject project;
  const auto log = project.base() / "log.txt";
  ASSERT_TRUE(AppendLine(log.string(), "Füller"));
  ASSERT_TRUE(AppendLine(log.string(), "zwei"));
  EXPECT_EQ(TestProject::Read(log), "F\xFCller\r\nzwei\r\n");
}

TEST(Files, AppendLineIntoAMissingFolderFailsNamingTheFile) {
  TestProject project;
  const IoResult result = AppendLine((project.base() / "no" / "log.txt").string(), "x");
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("log.txt"), std::string::npos);
}

#ifndef _WIN32
// A FIFO that nothing reads; a second one whose reading end stays open for as long as
// this lives; a socket.
class SpecialFiles {
 public:
  explicit SpecialFiles(const std::filesystem::path& folder)
      : fifo((folder / "fifo.txt").string()),
        readFifo((folder / "read-fifo.txt").string()),
        socket((folder / "socket.txt").string()) {
    ::mkfifo(fifo.c_str(), 0644);
    ::mkfifo(readFifo.c_str(), 0644);
    reader_ = ::open(readFifo.c_str(), O_RDONLY | O_NONBLOCK);
    socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socket.copy(address.sun_path, sizeof address.sun_path - 1);
    ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  }
  ~SpecialFiles() {
    ::close(reader_);
    ::close(socket_);
  }
  SpecialFiles(const SpecialFiles&) = delete;
  SpecialFiles& operator=(const SpecialFiles&) = delete;

  const std::string fifo, readFifo, socket;

 private:
  int reader_ = -1;
  int socket_ = -1;
};

// Appends to a FIFO that nothing reads. Should the append wait for a reader, the test
// fails and a reader then lets it go, so that the tests go on.
IoResult AppendWithoutWaiting(const std::string& path) {
  std::packaged_task<IoResult()> task([path] { return AppendLine(path, "x"); });
  std::future<IoResult> result = task.get_future();
  std::thread appending(std::move(task));
  if (result.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
    ADD_FAILURE() << "the append waits for a reader of " << path;
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    appending.join();
    ::close(reader);
  } else {
    appending.join();
  }
  return result.get();
}
#endif

// A log that a write could wait on for ever (a FIFO without a reader) would hold up the
// run: only a regular file or the null device takes a line, anything else is refused at
// once, naming the file and what it is.
TEST(Files, AppendLineTakesOnlyARegularFileOrTheNullDevice) {
  TestProject project;
  const std::string folder = (project.base() / "log-folder").string();
  std::filesystem::create_directories(folder);
  struct Case {
    std::string path;
    std::string refusal;  // "" where the line is taken
  };
  std::vector<Case> cases = {{folder, "it is a folder, not a regular file"}};
#ifdef _WIN32
  cases.push_back({"NUL", ""});
  cases.push_back({(project.base() / "nul").string(), ""});
#else
  const SpecialFiles special(project.base());
  cases.push_back({"/dev/null", ""});
  cases.push_back({"/dev/zero", "it is a device, not a regular file"});
  cases.push_back({special.fifo, "it is a FIFO, not a regular file"});
  cases.push_back({special.readFifo, "it is a FIFO, not a regular file"});
  cases.push_back({special.socket, "it is a socket, not a regular file"});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
#ifdef _WIN32
    const IoResult result = AppendLine(c.path, "x");
#else
    const IoResult result = AppendWithoutWaiting(c.path);
#endif
    EXPECT_EQ(result.ok, c.refusal.empty()) << result.error;
    if (!c.refusal.empty()) {
      EXPECT_EQ(result.error, "cannot append to '" + c.path + "': " + c.refusal);
    }
  }
}

TEST(Files, AtomicWriteReplacesTheFileAndLeavesNothingBeside) {
  TestProject project;
  const auto file = project.parameterFolder() / "Program.ini";
  TestProject::Write(file, "old");
  namespace fs = std::filesystem;
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  const fs::perms before = fs::status(file).permissions();
  ASSERT_TRUE(WriteFileAtomically(file.string(), "new content"));
  EXPECT_EQ(TestProject::Read(file), "new content");
  EXPECT_EQ(FilesIn(project.parameterFolder()), 1);
  EXPECT_EQ(fs::status(file).permissions(), before);
}

TEST(Files, AtomicWriteIntoAMissingFolderCreatesNothing) {
  TestProject project;
  const auto file = project.base() / "missing" / "x.ini";
  EXPECT_FALSE(WriteFileAtomically(file.string(), "x").ok);
  EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
}

TEST(Files, CopyReplacesTheTargetWithTheSourcesBytes) {
  TestProject project;
  const auto source = project.base() / "a.bin";
  const auto target = project.base() / "b.bin";
  const std::string bytes("\0\x01\xFFxyz", 6);
  TestProject::Write(source, bytes);
  TestProject::Write(target, "previous generation");
  ASSERT_TRUE(CopyFileAtomically(source.string(), target.string()));
  EXPECT_EQ(TestProject::Read(target), bytes);
}

TEST(Files, CopyOfAFileLargerThanOneBufferKeepsEveryByte) {
  TestProject project;
  const auto source = project.base() / "big.mdb";
  const auto target = project.base() / "copy.mdb";
  std::string bytes(3 * 1024 * 1024 + 17, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  TestProject::Write(source, bytes);
  ASSERT_TRUE(CopyFileAtomically(source.string(), target.string()));
  EXPECT_EQ(TestProject::Read(target), bytes);
}

TEST(Files, AFailedCopyLeavesTheTargetAsItWasAndNamesBothFiles) {
  TestProject project;
  const auto target = project.base() / "b.bin";
  TestProject::Write(target, "previous generation");
  const IoResult result =
      CopyFileAtomically((project.base() / "gone.bin").string(), target.string());
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("gone.bin"), std::string::npos);
  EXPECT_EQ(TestProject::Read(target), "previous generation");
}

TEST(Files, LastWriteTimeCanBePutBack) {
  TestProject project;
  const auto file = project.base() / "t.bin";
  TestProject::Write(file, "x");
  const FileTime when{std::chrono::seconds(1'000'000'000)};
  ASSERT_TRUE(SetLastWriteTime(file.string(), when));
  TestProject::Write(file, "changed");
  const auto before = LastWriteTime(file.string());
  ASSERT_TRUE(before);
  EXPECT_NE(*before, when);
  ASSERT_TRUE(SetLastWriteTime(file.string(), when));
  EXPECT_EQ(LastWriteTime(file.string()), when);
}

TEST(Files, LeftoversOfDeadWritersAreRemovedAndOthersKept) {
  TestProject project;
  const auto folder = project.parameterFolder();
  const test::RunningProcess other;
  const std::string deadTemp =
      "Program.ini.velnor-tmp." + std::to_string(test::EndedProcessId()) + ".17";
  const std::vector<std::string> kept = {
      // this process writes it
      "Program.ini.velnor-tmp." + std::to_string(test::ThisProcessId()) + ".3",
      // a writer that lives
      "Program.ini.velnor-tmp." + std::to_string(other.id()) + ".3", "Program.ini.velnor-tmp.x.3",
      "Program.ini", "notes.velnor-tmp."};
  TestProject::Write(folder / deadTemp, "half");
  for (const std::string& name : kept) TestProject::Write(folder / name, "x");

  EXPECT_EQ(RemoveLeftoverTemporaries(folder.string()),
            std::vector<std::string>{(folder / deadTemp).string()});
  EXPECT_FALSE(std::filesystem::exists(folder / deadTemp));
  for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
}

// Names outside the ANSI code page of Windows and outside Windows-1252 alike.
TEST(Files, ANonAsciiFileNameIsWrittenReadAndFoundAsItIsSpelt) {
  TestProject project;
  const std::vector<std::string> names = {"Übersicht.ini", "Füller €.txt", "Ωμέγα.ini", "配置.ini"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string path = JoinPath(Utf8Of(project.base()), name);
    ASSERT_TRUE(WriteFileAtomically(path, "first"));
    ASSERT_TRUE(AppendLine(path, "second"));
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadFileBytes(path), "firstsecond\r\n");
    EXPECT_TRUE(std::filesystem::exists(project.base() / FsPath(name)));
    ASSERT_TRUE(CopyFileAtomically(path, path + ".copy"));
    EXPECT_EQ(ReadFileBytes(path + ".copy"), "firstsecond\r\n");
    EXPECT_TRUE(LastWriteTime(path));
  }
}

}  // namespace
}  // namespace velnor
