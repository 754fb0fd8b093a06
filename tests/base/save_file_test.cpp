#include "base/save_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "temp_dir.h"

namespace velacor::base {
namespace {

using velacor::testing::ReadWholeFile;
using velacor::testing::TempDir;
namespace fs = std::filesystem;

ContentWriter Text(std::string text) {
    return [text = std::move(text)](std::ostream& out) { return static_cast<bool>(out << text); };
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SaveFile, ReplacesWholeOrNotAtAllAndLeavesNothingBehind) {
    TempDir dir;
    const std::string path = dir / "out.csv";
    ASSERT_TRUE(AtomicSave(path, Text("one\n")));
    EXPECT_EQ(ReadWholeFile(path), "one\n");

    // A writer that fails half way, and a folder of the old fixed temporary name that a
    // failed save once removed: the old file stays, the folder too, no temporary is left.
    fs::create_directory(path + ".tmp~");
    const SaveOutcome failed = SaveFile(path, [](std::ostream& out) {
        out << "half";
        return false;
    });
    EXPECT_EQ(failed.status, SaveStatus::Failed);
    EXPECT_EQ(failed.message, "Unable to open " + path + " for write");
    EXPECT_EQ(ReadWholeFile(path), "one\n");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"out.csv", "out.csv.tmp~"}));

    EXPECT_FALSE(AtomicSave(dir / "missing/out.csv", Text("x")));
    EXPECT_FALSE(AtomicSave(dir.Path().string(), Text("x")));  // a folder is not replaced
}

TEST(SaveFile, RefusesToWriteOverAnInputEvenThroughALink) {
    TempDir dir;
    const std::string raw = dir.Write("QXT0001.CSV", "raw data\n");
    fs::create_symlink(raw, dir / "link.csv");
    const std::vector<std::string> inputs = {raw};
    for (const std::string& target : {raw, dir / "link.csv", dir / "./QXT0001.CSV"}) {
        const SaveOutcome outcome = SaveFile(target, Text("results\n"), {}, inputs);
        EXPECT_EQ(outcome.status, SaveStatus::SameAsInput) << target;
        EXPECT_NE(outcome.message.find("input file"), std::string::npos);
    }
    EXPECT_EQ(ReadWholeFile(raw), "raw data\n");
    EXPECT_TRUE(SaveFile(dir / "other.csv", Text("results\n"), {}, inputs).Saved());
}

TEST(SaveFile, KeepsPermissionsAndWritesThroughALinkToItsTarget) {
    TempDir dir;
    const std::string real = dir.Write("real.csv", "old\n");
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    const std::string link = dir / "link.csv";
    fs::create_symlink("real.csv", link);  // relative, as links often are

    ASSERT_TRUE(AtomicSave(link, Text("new\n")));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), "new\n");
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // A link planted at the temporary name earlier versions used is never written through.
    const std::string victim = dir.Write("victim", "keep\n");
    fs::create_symlink(victim, real + ".tmp~");
    ASSERT_TRUE(AtomicSave(real, Text("newer\n")));
    EXPECT_EQ(ReadWholeFile(victim), "keep\n");
    EXPECT_EQ(ReadWholeFile(real), "newer\n");
}

TEST(SaveFile, APipeIsWrittenInPlace) {
    TempDir dir;
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadWholeFile(fifo); });
    EXPECT_TRUE(AtomicSave(fifo, Text("through the pipe\n")));
    reader.join();
    EXPECT_EQ(received, "through the pipe\n");
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(SaveFile, TwoSavesToOnePathAtOnceLeaveOneWholeResult) {
    TempDir dir;
    const std::string path = dir / "out.csv";
    const std::string a(4 << 20, 'a');
    const std::string b(3 << 20, 'b');
    for (int round = 0; round < 5; ++round) {
        std::thread first([&] { EXPECT_TRUE(AtomicSave(path, Text(a))); });
        std::thread second([&] { EXPECT_TRUE(AtomicSave(path, Text(b))); });
        first.join();
        second.join();
        const std::string result = ReadWholeFile(path);
        EXPECT_TRUE(result == a || result == b) << "round " << round << ": " << result.size();
    }
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.csv"});
}

TEST(SaveFile, AProcessKilledWhileSavingLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.Write("out.csv", "old and whole\n");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        (void)AtomicSave(path, [&](std::ostream& out) {
            out << std::string(1 << 20, 'x') << std::flush;
            (void)!::write(ready[1], "w", 1);  // half written: kill me now
            ::pause();
            return true;
        });
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadWholeFile(path), "old and whole\n");
}

}  // namespace
}  // namespace velacor::base
