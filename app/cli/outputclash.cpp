#include "app/cli/outputclash.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "app/cli/options.h"

namespace {

struct NamedFile {
    std::string_view option;
    const std::string* name = nullptr;
};

// What makes two names the same file: device and inode of a regular file that
// exists; for one that does not, device and inode of the folder it would be
// made in and its name there (so "b", "./b", "sub/../b" and "/abs/b" agree),
// or its resolved path when that folder cannot be read. Null for devices,
// pipes and folders, which several outputs may name.
struct FileIdentity {
    bool exists = false;
    bool inFolder = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::string path;  // the name in its folder, or the resolved path
};

// The program's own standard output or error is written where the stream stands, so
// several outputs follow each other there.
bool isStandardStream(const struct stat& info)
{
    for (const int descriptor : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat stream {};
        if (::fstat(descriptor, &stream) == 0 && stream.st_dev == info.st_dev && stream.st_ino == info.st_ino)
            return true;
    }
    return false;
}

std::optional<FileIdentity> identityOf(const std::string& name)
{
    FileIdentity identity;
    struct stat info {};
    if (::stat(name.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) || isStandardStream(info))
            return std::nullopt;
        identity.exists = true;
        identity.device = info.st_dev;
        identity.inode = info.st_ino;
        return identity;
    }
    const std::filesystem::path given(name);
    const std::filesystem::path leaf = given.filename();
    const std::filesystem::path folder = given.has_parent_path() ? given.parent_path() : ".";
    struct stat folderInfo {};
    if (!leaf.empty() && leaf != "." && leaf != ".." && ::stat(folder.c_str(), &folderInfo) == 0 &&
        S_ISDIR(folderInfo.st_mode)) {
        identity.inFolder = true;
        identity.device = folderInfo.st_dev;
        identity.inode = folderInfo.st_ino;
        identity.path = leaf.string();
        return identity;
    }
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(name, error);
    identity.path = error ? std::filesystem::absolute(name, error).lexically_normal().string() : resolved.string();
    return identity;
}

bool sameFile(const FileIdentity& a, const FileIdentity& b)
{
    if (a.exists != b.exists || a.inFolder != b.inFolder)
        return false;
    if (a.exists)
        return a.device == b.device && a.inode == b.inode;
    if (a.inFolder)
        return a.device == b.device && a.inode == b.inode && a.path == b.path;
    return a.path == b.path;
}

}  // namespace

std::string outputClash(const CliOptions& options)
{
    std::vector<NamedFile> inputs;
    if (options.inputFile)
        inputs.push_back({"the matrix file", &*options.inputFile});
    if (options.qasmInputFile)
        inputs.push_back({"--from-qasm", &*options.qasmInputFile});
    std::vector<NamedFile> outputs;
    const std::pair<std::string_view, const std::optional<std::string>*> candidates[] = {
        {"--save", &options.saveFile}, {"--qasm", &options.qasmFile}, {"--qasm2", &options.qasm2File},
        {"--svg", &options.svgFile},   {"--json", &options.jsonFile},
    };
    for (const auto& [option, file] : candidates) {
        if (*file)
            outputs.push_back({option, &**file});
    }
    std::vector<std::optional<FileIdentity>> outputIdentities;
    for (const NamedFile& output : outputs)
        outputIdentities.push_back(identityOf(*output.name));
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        if (!outputIdentities[k])
            continue;
        for (const NamedFile& input : inputs) {
            const std::optional<FileIdentity> inputIdentity = identityOf(*input.name);
            if (inputIdentity && sameFile(*inputIdentity, *outputIdentities[k]))
                return std::string(outputs[k].option) + " and " + std::string(input.option) +
                       " name the same file '" + *outputs[k].name + "': the input would be overwritten";
        }
        for (std::size_t m = 0; m < k; ++m) {
            if (outputIdentities[m] && sameFile(*outputIdentities[m], *outputIdentities[k]))
                return std::string(outputs[m].option) + " and " + std::string(outputs[k].option) +
                       " name the same file '" + *outputs[k].name + "': one would overwrite the other";
        }
    }
    return {};
}
