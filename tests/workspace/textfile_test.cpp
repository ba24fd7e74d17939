#include "workspace/textfile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/kernel/errors.h"
#include "platform/headlesspresentation.h"

namespace fs = std::filesystem;

namespace {

class TextFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "udecomp-textfile-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    static std::string contents(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir;
    HeadlessPresentation ui;
};

TEST_F(TextFile, ReplacesTheOldFileKeepingItsPermissionsAndLeavesNoTemporary)
{
    const fs::path target = dir / "out.qasm";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_TRUE(writeTextFile(target.string(), "new text\n", ui));
    EXPECT_EQ(contents(target), "new text\n");
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
    EXPECT_EQ(contents(target), "old picture");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Cannot write the file " + target.string());
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
}

TEST_F(TextFile, ReplaceFileRefusesADirectoryAndAMissingFolder)
{
    EXPECT_THROW(replaceFile(dir.string(), [](std::ostream& out) { out << "x"; }), FileError);
    EXPECT_TRUE(fs::is_directory(dir));
    EXPECT_THROW(replaceFile((dir / "no" / "such.json").string(), [](std::ostream& out) { out << "x"; }), FileError);
}

}  // namespace
