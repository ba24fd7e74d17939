// Two outputs that would land in one new file clash however the names are
// written: relative or absolute, with "." or ".." on the way.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/cli/options.h"
#include "support/files.h"

namespace fs = std::filesystem;

namespace {

// Runs in the temporary folder, so that relative names resolve there.
class OutputClash : public ::testing::Test {
protected:
    TemporaryDirectory dir;
    fs::path before = fs::current_path();

    void SetUp() override
    {
        fs::create_directory(dir / "sub");
        fs::current_path(dir.path());
    }
    void TearDown() override { fs::current_path(before); }
};

TEST_F(OutputClash, NamesOfOneNewFileClashHoweverTheyAreWritten)
{
    const std::string absolute = (dir / "b").string();
    const std::pair<std::string, std::string> same[] = {
        {"./b", "b"}, {absolute, "b"}, {"sub/../b", "b"}, {"sub/./c", "sub/c"}, {"sub/../sub/c", (dir / "sub").string() + "/../sub/c"}};
    for (const auto& [first, second] : same) {
        const ParsedOptions parsed = parseOptions({"--save", first, "--json", second});
        EXPECT_FALSE(parsed.options) << first << " and " << second;
        EXPECT_NE(parsed.error.find("--save and --json name the same file"), std::string::npos) << parsed.error;
    }
    const std::pair<std::string, std::string> different[] = {{"b", "c"}, {"sub/b", "b"}, {"./sub/b", "sub/c"}};
    for (const auto& [first, second] : different)
        EXPECT_TRUE(parseOptions({"--save", first, "--json", second}).options) << first << " and " << second;
    EXPECT_FALSE(fs::exists(dir / "b"));
}

}  // namespace
