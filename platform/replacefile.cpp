#include "platform/replacefile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <ostream>
#include <streambuf>

#include "engine/kernel/errors.h"
#include "platform/presentation.h"

namespace {

[[noreturn]] void fail(const std::string& fileName, int error)
{
    throw FileError("Cannot write the file " + fileName + ": " + std::strerror(error));
}

// An output buffer over a file descriptor that keeps the first write error.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int descriptor) : descriptor_(descriptor) { setp(buffer_, buffer_ + sizeof buffer_); }
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override
    {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain()
    {
        if (error_ != 0)
            return false;
        for (const char* p = pbase(); p < pptr();) {
            const ssize_t written = ::write(descriptor_, p, static_cast<std::size_t>(pptr() - p));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                error_ = errno;
                return false;
            }
            p += written;
        }
        setp(buffer_, buffer_ + sizeof buffer_);
        return true;
    }

    int descriptor_;
    int error_ = 0;
    char buffer_[1 << 16];
};

// Closes the descriptor when it goes, unless closed before.
struct OpenFile {
    int descriptor = -1;
    ~OpenFile()
    {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    int close()
    {
        const int result = ::close(descriptor);
        descriptor = -1;
        return result;
    }
};

// Temporary files being written, for the handler of SIGINT and SIGTERM to remove
// before the program ends as the signal says. A SIGKILL cannot be caught: it may leave
// one behind, and a later save to the same folder picks another name.
struct PendingTemporary {
    std::atomic<bool> used{false};
    char path[PATH_MAX + 1] = {};
};
std::array<PendingTemporary, 16> pendingTemporaries;

extern "C" void removeTemporariesAndEnd(int signalNumber)
{
    for (PendingTemporary& pending : pendingTemporaries) {
        if (pending.used.load())
            ::unlink(pending.path);
    }
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

// Installs the handler once, for each of the two signals whose action is still the default
// (a program that ignores or handles one keeps its own choice).
void installSignalCleanup()
{
    static const bool installed = [] {
        for (const int signalNumber : {SIGINT, SIGTERM}) {
            struct sigaction old {};
            if (::sigaction(signalNumber, nullptr, &old) != 0 || old.sa_handler != SIG_DFL)
                continue;
            struct sigaction action {};
            action.sa_handler = removeTemporariesAndEnd;
            sigemptyset(&action.sa_mask);
            ::sigaction(signalNumber, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

// Holds SIGINT and SIGTERM back while a temporary is created or renamed, so that
// no signal falls between the file system and the table of pending temporaries.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        sigaddset(&held, SIGINT);
        sigaddset(&held, SIGTERM);
        ::pthread_sigmask(SIG_BLOCK, &held, &old_);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t old_;
};

// Removes the temporary file when it goes, unless it was renamed.
struct TemporaryName {
    std::string path;
    PendingTemporary* pending = nullptr;

    void remember()
    {
        if (path.size() > PATH_MAX)
            return;
        for (PendingTemporary& slot : pendingTemporaries) {
            bool expected = false;
            if (slot.used.load() || !slot.used.compare_exchange_strong(expected, true))
                continue;
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            pending = &slot;
            return;
        }
    }
    void forget()
    {
        if (pending != nullptr)
            pending->used.store(false);
        pending = nullptr;
    }
    ~TemporaryName()
    {
        SignalsHeld held;
        if (!path.empty())
            ::unlink(path.c_str());
        forget();
    }
};

// Runs `write` into the descriptor; 0 when every byte arrived, else the system's error number.
int writeStream(int descriptor, const std::function<void(std::ostream&)>& write)
{
    DescriptorBuffer buffer(descriptor);
    std::ostream out(&buffer);
    write(out);
    out.flush();
    if (buffer.error() != 0)
        return buffer.error();
    return out ? 0 : EIO;
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The descriptor of the program's own standard output or error when the file is
// one of them, else -1. Writing through that descriptor puts the text where the
// stream stands, so what the program writes there before and after stays in order.
int standardStreamOf(const struct stat& info)
{
    for (const int descriptor : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat stream {};
        if (::fstat(descriptor, &stream) == 0 && sameFile(info, stream))
            return descriptor;
    }
    return -1;
}

// The path a chain of links finally names (a relative link counts from its own
// folder); the name itself when it is no link. Null for a loop or a link of the
// system that names no path (/proc/self/fd/N of a deleted file).
std::optional<std::string> finalPath(const std::string& name)
{
    std::string path = name;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= link.size())
            return std::nullopt;
        link.resize(static_cast<std::size_t>(length));
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (link[0] != '/' && !folder.empty())
            link = (folder / link).string();
        path = link;
    }
    return std::nullopt;
}

// Creates a file of a new name <folder>/.<base>.saving-<six letters> for writing,
// exclusively and without following a link, with the permissions a new file gets.
int createTemporary(const std::string& folder, const std::string& base, std::string& path)
{
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937_64 engine{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = folder + "/." + base + ".saving-";
        for (int k = 0; k < 6; ++k)
            path += letters[engine() % (sizeof letters - 1)];
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

// Devices, pipes and the standard streams: no rename, the file itself takes the bytes.
void writeInPlace(const std::string& fileName, int flags, const std::function<void(std::ostream&)>& write)
{
    // Opened without blocking, so a pipe that nobody reads is refused rather than waited for forever.
    OpenFile file{::open(fileName.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK | flags)};
    if (file.descriptor < 0 && errno == ENXIO)
        throw FileError("Cannot write the file " + fileName + ": it is a pipe that nothing reads");
    if (file.descriptor < 0)
        fail(fileName, errno);
    const int status = ::fcntl(file.descriptor, F_GETFL);
    if (status >= 0)
        ::fcntl(file.descriptor, F_SETFL, status & ~O_NONBLOCK);
    if (const int error = writeStream(file.descriptor, write))
        fail(fileName, error);
    if (file.close() != 0)
        fail(fileName, errno);
}

// A regular file: a unique temporary in the same folder (created exclusively, so
// no planted file or link is used), renamed over the target when complete.
void writeThroughTemporary(const std::string& fileName, const std::string& target, const struct stat* old,
                           const std::function<void(std::ostream&)>& write)
{
    const std::filesystem::path path(target);
    const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
    // Cut so that the temporary's name stays within the system's limit of 255 bytes.
    const std::string base = path.filename().string().substr(0, 200);
    installSignalCleanup();
    std::string temporaryPath;
    std::optional<SignalsHeld> held(std::in_place);
    OpenFile file{createTemporary(folder, base, temporaryPath)};
    if (file.descriptor < 0) {
        const int error = errno;
        held.reset();
        if (error == EACCES || error == EPERM)
            throw FileError("Cannot write the file " + fileName + ": its folder " + folder +
                            " cannot take a new file (" + std::strerror(error) + ")");
        fail(fileName, error);
    }
    TemporaryName temporary{temporaryPath};
    temporary.remember();
    held.reset();
    // Root gives the file back to its owner; anyone else may not (EPERM) and becomes the owner.
    if (old && ::fchown(file.descriptor, old->st_uid, old->st_gid) != 0 && errno != EPERM)
        fail(fileName, errno);
    if (old && ::fchmod(file.descriptor, old->st_mode & 07777) != 0)
        fail(fileName, errno);
    if (const int error = writeStream(file.descriptor, write))
        fail(fileName, error);
    if (file.close() != 0)
        fail(fileName, errno);
    held.emplace();
    if (::rename(temporary.path.c_str(), target.c_str()) != 0) {
        const int error = errno;
        held.reset();
        fail(fileName, error);
    }
    temporary.path.clear();
    temporary.forget();
}

}  // namespace

void replaceFile(const std::string& fileName, const std::function<void(std::ostream&)>& write)
{
    if (fileName.empty())
        fail(fileName, ENOENT);
    struct stat info {};
    const bool exists = ::stat(fileName.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        fail(fileName, errno);
    if (exists && S_ISDIR(info.st_mode))
        fail(fileName, EISDIR);
    if (exists && !S_ISREG(info.st_mode) && standardStreamOf(info) < 0) {
        writeInPlace(fileName, 0, write);
        return;
    }
    if (const int stream = exists ? standardStreamOf(info) : -1; stream >= 0) {
        if (const int error = writeStream(stream, write))
            fail(fileName, error);
        return;
    }
    const std::optional<std::string> target = finalPath(fileName);
    if (exists) {
        struct stat targetInfo {};
        if (!target || ::stat(target->c_str(), &targetInfo) != 0 || !sameFile(info, targetInfo)) {
            writeInPlace(fileName, O_TRUNC, write);
            return;
        }
        // Refused as opening it for writing would be (root may write anything but a read-only file system).
        if (::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0)
            fail(fileName, errno);
    }
    writeThroughTemporary(fileName, target.value_or(fileName), exists ? &info : nullptr, write);
}

bool writeTextFile(const std::string& fileName, std::string_view text, Presentation& ui)
{
    try {
        replaceFile(fileName, [&](std::ostream& out) { out.write(text.data(), static_cast<std::streamsize>(text.size())); });
    } catch (const FileError& error) {
        ui.showMessage(error.what(), MessageStyle::error);
        return false;
    }
    return true;
}
