#include "platform/readfilebytes.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/kernel/errors.h"

std::string readFileBytes(const std::string& fileName, std::size_t maxBytes)
{
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error))
        throw FileError("Cannot read \"" + fileName + "\": it is a directory");
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw FileError("Cannot open \"" + fileName + "\": " + std::strerror(errno));
    std::string bytes;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
        if (bytes.size() > maxBytes)
            throw FileError("Cannot read \"" + fileName + "\": it is larger than " + std::to_string(maxBytes) +
                            " bytes");
    }
    if (file.bad())
        throw FileError("Cannot read \"" + fileName + "\": " + std::strerror(errno));
    return bytes;
}
