#include "platform/readfilebytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engine/kernel/errors.h"

namespace {

const char* kindOf(const struct stat& info)
{
    if (S_ISFIFO(info.st_mode))
        return "a named pipe (FIFO)";
    if (S_ISCHR(info.st_mode))
        return "a character device";
    if (S_ISBLK(info.st_mode))
        return "a block device";
    if (S_ISSOCK(info.st_mode))
        return "a socket";
    return "not a regular file";
}

// Opening a FIFO waits for a writer and reading a device may wait for ever, so
// only regular files are read. The probe opens without blocking, then asks
// the open file what it is.
void requireRegularFile(const std::string& fileName)
{
    const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        const int reason = errno;
        throw FileError("Cannot open \"" + fileName + "\": " + std::strerror(reason), reason, fileName);
    }
    struct stat info {};
    const bool known = ::fstat(descriptor, &info) == 0;
    ::close(descriptor);
    if (known && S_ISDIR(info.st_mode))
        throw FileError("Cannot read \"" + fileName + "\": it is a directory", EISDIR, fileName);
    if (known && !S_ISREG(info.st_mode))
        throw FileError("Cannot read \"" + fileName + "\": it is " + std::string(kindOf(info)) +
                        ", not a regular file");
}

}  // namespace

void openForReading(std::filebuf& file, const std::string& fileName)
{
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error))
        throw FileError("Cannot read \"" + fileName + "\": it is a directory", EISDIR, fileName);
    requireRegularFile(fileName);
    errno = 0;
    if (!file.open(fileName, std::ios::in | std::ios::binary))
        throw FileError("Cannot open \"" + fileName + "\": " + std::strerror(errno));
}

std::string readFileBytes(const std::string& fileName, std::size_t maxBytes)
{
    std::filebuf file;
    openForReading(file, fileName);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        errno = 0;
        const std::streamsize count = file.sgetn(buffer, sizeof buffer);
        if (count <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(count));
        if (bytes.size() > maxBytes)
            throw FileError("Cannot read \"" + fileName + "\": it is larger than " + std::to_string(maxBytes) +
                            " bytes");
    }
    // A read error (a folder's EISDIR, an I/O error) ends sgetn early with errno set.
    if (errno != 0 && errno != EINTR)
        throw FileError("Cannot read \"" + fileName + "\": " + std::strerror(errno));
    return bytes;
}
