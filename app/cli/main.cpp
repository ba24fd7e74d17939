// udecomp: decomposes one unitary matrix from the command line, without a window.
#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/options.h"
#include "app/cli/run.h"

namespace {

int runOptions(const ParsedOptions& parsed)
{
    if (!parsed.options) {
        std::cerr << "udecomp: " << parsed.error << "\nTry 'udecomp --help'.\n";
        return exitRefused;
    }
    if (parsed.options->help) {
        std::cout << usageText();
        return exitOk;
    }
    if (parsed.options->version) {
        std::cout << versionText();
        return exitOk;
    }
    try {
        return runCli(*parsed.options, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "error: " << e.what() << '\n';
        return exitProblem;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status = runOptions(parseOptions(arguments));
    // A log that could not be written (a full disk, a closed pipe) is a problem, not a success.
    errno = 0;
    std::cout.flush();
    if (!std::cout) {
        const int error = errno;
        std::cerr << "error: the standard output cannot be written" << (error != 0 ? ": " : "")
                  << (error != 0 ? std::strerror(error) : "") << std::endl;
        return status == exitOk ? exitProblem : status;
    }
    return status;
}
