#include "platform/replacefile.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/kernel/errors.h"
#include "platform/headlesspresentation.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

class TextFile : public ::testing::Test {
protected:
    TemporaryDirectory dir;
    HeadlessPresentation ui;

    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
    }
};

TEST_F(TextFile, ReplacesTheOldFileKeepingItsPermissionsAndLeavesNoTemporary)
{
    const fs::path target = dir / "out.qasm";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_TRUE(writeTextFile(target.string(), "new text\n", ui));
    EXPECT_EQ(readBytes(target), "new text\n");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EQ(filesInFolder(), 1u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TextFile, AFailedWriteKeepsTheOldFileAndGivesTheFileAndTheReason)
{
    const fs::path target = dir / "out.svg";
    std::ofstream(target) << "old picture";
    fs::permissions(target, fs::perms::all);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    const int verdict = runWithoutPrivileges([&] {
        if (writeTextFile(target.string(), "new picture", ui))
            return 1;
        return ui.messages.size() == 1 && ui.messages[0].style == MessageStyle::error &&
                       ui.messages[0].text == "Cannot write the file " + target.string() + ": its folder " +
                                                   dir.path().string() + " cannot take a new file (Permission denied)"
                   ? 0
                   : 2;
    });
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(verdict, 0) << "1: the write reported success; 2: another message";
    EXPECT_EQ(readBytes(target), "old picture");
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(TextFile, ReplaceFileRefusesADirectoryAndAMissingFolderWithTheSystemsReason)
{
    auto reasonOf = [](const fs::path& path) {
        try {
            replaceFile(path.string(), [](std::ostream& out) { out << "x"; });
        } catch (const FileError& e) {
            return std::string(e.what());
        }
        return std::string("written");
    };
    EXPECT_EQ(reasonOf(dir.path()), "Cannot write the file " + dir.path().string() + ": Is a directory");
    EXPECT_TRUE(fs::is_directory(dir.path()));
    const fs::path missing = dir / "no" / "such.json";
    EXPECT_EQ(reasonOf(missing), "Cannot write the file " + missing.string() + ": No such file or directory");
}

TEST_F(TextFile, AReadOnlyFileIsRefusedAndKept)
{
    const fs::path target = dir / "kept.mat";
    writeBytes(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir.path(), fs::perms::all);
    const int verdict = runWithoutPrivileges([&] {
        try {
            replaceFile(target.string(), [](std::ostream& out) { out << "new"; });
        } catch (const FileError& e) {
            return std::string(e.what()) == "Cannot write the file " + target.string() + ": Permission denied" ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(verdict, 0) << "1: the file was replaced; 2: another message";
    EXPECT_EQ(readBytes(target), "old");
}

TEST_F(TextFile, ALinkIsWrittenThroughAndStaysALink)
{
    const fs::path real = dir / "real.mat";
    writeBytes(real, "old");
    fs::create_symlink("real.mat", dir / "link.mat");
    fs::create_symlink(dir / "link.mat", dir / "chain.mat");
    fs::create_symlink("made.mat", dir / "dangling.mat");
    for (const char* name : {"link.mat", "chain.mat", "dangling.mat"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(writeTextFile((dir / name).string(), std::string("through ") + name, ui));
        EXPECT_TRUE(fs::is_symlink(dir / name));
    }
    EXPECT_EQ(readBytes(real), "through chain.mat");
    EXPECT_EQ(readBytes(dir / "made.mat"), "through dangling.mat");
    EXPECT_EQ(filesInFolder(), 5u) << "no temporary is left behind";
}

TEST_F(TextFile, PlantedFilesAtTheOldTemporaryNamesAreNeitherFollowedNorRemoved)
{
    writeBytes(dir / "victim.txt", "victim");
    fs::create_symlink(dir / "victim.txt", dir / "m.mat.saving");
    writeBytes(dir / "n.mat.saving", "someone's file");
    EXPECT_TRUE(writeTextFile((dir / "m.mat").string(), "m", ui));
    EXPECT_TRUE(writeTextFile((dir / "n.mat").string(), "n", ui));
    EXPECT_EQ(readBytes(dir / "m.mat"), "m");
    EXPECT_EQ(readBytes(dir / "victim.txt"), "victim");
    EXPECT_TRUE(fs::is_symlink(dir / "m.mat.saving"));
    EXPECT_EQ(readBytes(dir / "n.mat.saving"), "someone's file");
}

TEST_F(TextFile, DevicesAndPipesAreWrittenInPlace)
{
    // A pipe that nobody reads is refused at once rather than waited for, and stays a pipe.
    const fs::path pipe = dir / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(writeTextFile(pipe.string(), "lost", ui));
    EXPECT_EQ(ui.messages.at(0).text, "Cannot write the file " + pipe.string() + ": it is a pipe that nothing reads");
    EXPECT_TRUE(fs::is_fifo(pipe));

    // Private copies of /dev/null and /dev/full, where the system lets us make them.
    const fs::path null = dir / "null", full = dir / "full";
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 || mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "no device nodes can be made here";
    ui.clearRecords();
    EXPECT_TRUE(writeTextFile(null.string(), "gone", ui));
    EXPECT_FALSE(writeTextFile(full.string(), "no room", ui));
    EXPECT_EQ(ui.messages.at(0).text, "Cannot write the file " + full.string() + ": No space left on device");
    EXPECT_TRUE(fs::is_character_file(null));
    EXPECT_TRUE(fs::is_character_file(full));
}

TEST_F(TextFile, TwoWritersAtOnceLeaveOneOfTheTwoWholeFiles)
{
    const fs::path target = dir / "race.mat";
    const std::string texts[2] = {std::string(3 << 20, 'a'), std::string(2 << 20, 'b')};
    for (int round = 0; round < 8; ++round) {
        int start[2];
        ASSERT_EQ(pipe(start), 0);
        pid_t writers[2];
        for (int k = 0; k < 2; ++k) {
            writers[k] = fork();
            ASSERT_GE(writers[k], 0);
            if (writers[k] != 0)
                continue;
            close(start[1]);
            char go;
            const bool started = read(start[0], &go, 1) == 0;  // both start when the pipe closes
            try {
                // Written in pieces, so the two writers overlap.
                replaceFile(target.string(), [&](std::ostream& out) {
                    for (std::size_t at = 0; at < texts[k].size(); at += 4096)
                        out.write(texts[k].data() + at, 4096);
                });
            } catch (const FileError&) {
                _exit(1);
            }
            _exit(started ? 0 : 2);
        }
        close(start[0]);
        close(start[1]);
        for (const pid_t writer : writers) {
            int status = 0;
            waitpid(writer, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "both saves succeed";
        }
        const std::string result = readBytes(target);
        ASSERT_TRUE(result == texts[0] || result == texts[1]) << "round " << round << ": " << result.size() << " bytes";
        EXPECT_EQ(filesInFolder(), 1u);
    }
}

}  // namespace

TEST_F(TextFile, ASaveEndedBySigintOrSigtermLeavesTheOldFileAndNoTemporary)
{
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signalNumber);
        const fs::path target = dir / "big.mat";
        std::ofstream(target) << "old matrix";
        const pid_t child = fork();
        if (child == 0) {
            replaceFile(target.string(), [&](std::ostream& out) {
                out << std::string(1 << 20, 'x');
                out.flush();
                ::raise(signalNumber);
                out << "never reached";
            });
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        EXPECT_EQ(readBytes(target), "old matrix");
        EXPECT_EQ(filesInFolder(), 1u) << "a temporary file was left";
    }
}
