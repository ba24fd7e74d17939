#pragma once
// File helpers of the tests: a private temporary folder and whole-file bytes.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed (whatever its
// permissions by then) when the object goes.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, std::string_view bytes);

// Runs `check` where file permissions bind: directly for an ordinary user, and
// for root (CI runs as root) in a child process that has become user nobody.
// Returns check's result, or -1 when the child could not run it.
int runWithoutPrivileges(const std::function<int()>& check);
