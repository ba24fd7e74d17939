// udecomp: decomposes one unitary matrix from the command line, without a window.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/options.h"
#include "app/cli/run.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedOptions parsed = parseOptions(arguments);
    if (!parsed.options) {
        std::cerr << "udecomp: " << parsed.error << "\nTry 'udecomp --help'.\n";
        return exitRefused;
    }
    if (parsed.options->help) {
        std::cout << usageText();
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
