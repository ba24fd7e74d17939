#include "workspace/textfile.h"

#include <gtest/gtest.h>

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
    EXPECT_FALSE(fs::exists(dir / "out.qasm.saving"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TextFile, AFailedWriteKeepsTheOldFileAndSaysWhichFile)
{
    const fs::path target = dir / "out.svg";
    std::ofstream(target) << "old picture";
    fs::create_directory(dir / "out.svg.saving");  // the temporary cannot be created
    EXPECT_FALSE(writeTextFile(target.string(), "new picture", ui));
    EXPECT_EQ(readBytes(target), "old picture");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Cannot write the file " + target.string());
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
}

TEST_F(TextFile, ReplaceFileRefusesADirectoryAndAMissingFolder)
{
    EXPECT_THROW(replaceFile(dir.path().string(), [](std::ostream& out) { out << "x"; }), FileError);
    EXPECT_TRUE(fs::is_directory(dir.path()));
    EXPECT_THROW(replaceFile((dir / "no" / "such.json").string(), [](std::ostream& out) { out << "x"; }), FileError);
}

}  // namespace
