#include "workspace/textfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/kernel/errors.h"
#include "platform/presentation.h"

namespace {

std::string systemErrorText()
{
    return errno != 0 ? std::strerror(errno) : "write error";
}

}  // namespace

void replaceFile(const std::string& fileName, const std::function<void(std::ostream&)>& write)
{
    const std::filesystem::path target(fileName);
    std::filesystem::path temporary = target;
    temporary += ".saving";
    std::error_code error;
    if (std::filesystem::is_directory(target, error))
        throw FileError("Cannot write \"" + fileName + "\": it is a directory");
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!out)
            throw FileError("Cannot create \"" + temporary.string() + "\": " + systemErrorText());
        write(out);
        out.flush();
        const bool written = static_cast<bool>(out);
        const std::string reason = systemErrorText();
        out.close();
        if (!written || out.fail()) {
            std::filesystem::remove(temporary, error);
            throw FileError("Cannot write \"" + fileName + "\": " + reason);
        }
    }
    const auto oldStatus = std::filesystem::status(target, error);
    if (!error && std::filesystem::exists(oldStatus))
        std::filesystem::permissions(temporary, oldStatus.permissions(), error);
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw FileError("Cannot write \"" + fileName + "\": " + error.message());
    }
}

bool writeTextFile(const std::string& fileName, std::string_view text, Presentation& ui)
{
    try {
        replaceFile(fileName, [&](std::ostream& out) { out.write(text.data(), static_cast<std::streamsize>(text.size())); });
    } catch (const FileError&) {
        ui.showMessage("Cannot write the file " + fileName, MessageStyle::error);
        return false;
    }
    return true;
}
