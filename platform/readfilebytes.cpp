#include "platform/readfilebytes.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engine/kernel/errors.h"

void openForReading(std::filebuf& file, const std::string& fileName)
{
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error))
        throw FileError("Cannot read \"" + fileName + "\": it is a directory");
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
