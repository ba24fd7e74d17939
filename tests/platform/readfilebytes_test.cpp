// The one reader of whole files refuses what could block it, at once.
#include "platform/readfilebytes.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/kernel/errors.h"
#include "support/files.h"

namespace {

std::string refusalOf(const std::string& name)
{
    try {
        readFileBytes(name, 1 << 20);
    } catch (const FileError& e) {
        return e.what();
    }
    return "read";
}

TEST(ReadFileBytes, RefusesAPipeAndADeviceWithoutWaitingAndReadsARegularFile)
{
    TemporaryDirectory dir;
    const std::string fifo = (dir / "f.mat").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(refusalOf(fifo), "Cannot read \"" + fifo + "\": it is a named pipe (FIFO), not a regular file");
    EXPECT_EQ(refusalOf("/dev/zero"), "Cannot read \"/dev/zero\": it is a character device, not a regular file");
    EXPECT_EQ(refusalOf(dir.path().string()), "Cannot read \"" + dir.path().string() + "\": it is a directory");
    writeBytes(dir / "plain.txt", "bytes");
    EXPECT_EQ(readFileBytes((dir / "plain.txt").string(), 100), "bytes");
}

}  // namespace
