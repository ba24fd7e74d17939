#include "app/cli/options.h"

#include "app/cli/outputclash.h"
#include "interchange/wholenumber.h"

#include <set>
#include <string_view>

namespace {

std::optional<int> endStageIndex(std::string_view name)
{
    if (name == "basic")
        return 0;
    if (name == "l1")
        return 1;
    if (name == "toffoli")
        return 2;
    if (name == "none")
        return -1;
    return std::nullopt;
}

// The field an export option names, or null.
std::optional<std::string>* outputFile(CliOptions& options, std::string_view name)
{
    if (name == "--qasm")
        return &options.qasmFile;
    if (name == "--qasm2")
        return &options.qasm2File;
    if (name == "--svg")
        return &options.svgFile;
    if (name == "--json")
        return &options.jsonFile;
    return nullptr;
}

// Options followed by a value ("--name value" or "--name=value").
bool takesValue(std::string_view name)
{
    return name == "--end-stage" || name == "--random" || name == "--seed" || name == "--save" ||
           name == "--from-qasm" || name == "--qasm" ||
           name == "--qasm2" || name == "--svg" || name == "--json";
}

// "-" alone is a name; anything else that starts with '-' is taken for an option.
bool looksLikeOption(std::string_view argument) { return argument.size() > 1 && argument[0] == '-'; }

// Arguments echoed in a refusal are cut to a readable length.
std::string shown(std::string_view argument)
{
    constexpr std::size_t longest = 60;
    return argument.size() <= longest ? std::string(argument) : std::string(argument.substr(0, longest)) + "...";
}

ParsedOptions refused(std::string error) { return {std::nullopt, std::move(error)}; }

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& arguments)
{
    CliOptions options;
    bool optionsEnded = false;
    std::set<std::string> given;
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        std::string name = arguments[k] == "-h" && !optionsEnded ? "--help" : arguments[k];
        if (optionsEnded || name.size() < 2 || name.substr(0, 2) != "--") {
            if (looksLikeOption(name) && !optionsEnded)
                return refused("unknown option '" + shown(name) + "'");
            if (options.inputFile)
                return refused("more than one matrix file given ('" + shown(*options.inputFile) + "' and '" +
                               shown(name) + "')");
            options.inputFile = name;
            continue;
        }
        if (name == "--") {
            optionsEnded = true;
            continue;
        }
        // "--name=value" and "--name value" both work.
        std::optional<std::string> inlineValue;
        if (const auto equals = name.find('='); equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.resize(equals);
        }
        if (!given.insert(name).second)
            return refused(shown(name) + " is given more than once");
        // "--save --no-optimize" is a forgotten file name, not a file called "--no-optimize".
        if (takesValue(name) && !inlineValue && k + 1 < arguments.size() && looksLikeOption(arguments[k + 1]))
            return refused(name + " needs a value, not the option '" + shown(arguments[k + 1]) + "' (write " + name +
                           "=VALUE for a value that starts with '-')");
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue)
                return inlineValue;
            if (k + 1 < arguments.size())
                return arguments[++k];
            return std::nullopt;
        };
        auto flag = [&](bool& target) {
            target = true;
            return !inlineValue;
        };

        if (name == "--help") {
            if (!flag(options.help))
                return refused("--help takes no value");
        } else if (name == "--version") {
            if (!flag(options.version))
                return refused("--version takes no value");
        } else if (name == "--no-optimize") {
            bool set = false;
            if (!flag(set))
                return refused("--no-optimize takes no value");
            options.optimize = false;
        } else if (name == "--self-check") {
            if (!flag(options.selfCheck))
                return refused("--self-check takes no value");
        } else if (name == "--show-steps") {
            if (!flag(options.showSteps))
                return refused("--show-steps takes no value");
        } else if (name == "--end-stage") {
            const auto text = value();
            if (!text)
                return refused("--end-stage needs one of basic, l1, toffoli, none");
            const auto stage = endStageIndex(*text);
            if (!stage)
                return refused("--end-stage '" + *text + "' is not one of basic, l1, toffoli, none");
            options.endStage = *stage;
        } else if (name == "--random") {
            const auto text = value();
            const auto qubits = text ? wholeNumber(*text, 5) : std::nullopt;
            if (!qubits || *qubits < 2)
                return refused("--random needs a number of qubits from 2 to 5");
            options.randomQubits = static_cast<int>(*qubits);
        } else if (name == "--seed") {
            const auto text = value();
            const auto seed = text ? wholeNumber(*text) : std::nullopt;
            if (!seed)
                return refused("--seed needs a whole number from 0 to 18446744073709551615");
            options.seed = seed;
        } else if (name == "--save") {
            const auto text = value();
            if (!text || text->empty())
                return refused("--save needs a file name");
            options.saveFile = text;
        } else if (name == "--from-qasm") {
            const auto text = value();
            if (!text || text->empty())
                return refused("--from-qasm needs a file name");
            options.qasmInputFile = text;
        } else if (auto* target = outputFile(options, name)) {
            const auto text = value();
            if (!text || text->empty())
                return refused(name + " needs a file name");
            *target = text;
        } else {
            return refused("unknown option '" + shown(arguments[k]) + "'");
        }
    }
    if (options.randomQubits && options.inputFile)
        return refused("give either --random or a matrix file, not both");
    if (options.qasmInputFile && (options.randomQubits || options.inputFile))
        return refused("give either --from-qasm or --random or a matrix file, not two of them");
    if (options.seed && !options.randomQubits)
        return refused("--seed fixes the matrix of --random and is given without it");
    if (const std::string clash = outputClash(options); !clash.empty())
        return refused(clash);
    return {options, {}};
}

std::string usageText()
{
    return "Usage: udecomp [options] [FILE.mat | FILE.npy]\n"
           "Decomposes the unitary matrix of FILE.mat (default: the start-up matrix) into a quantum\n"
           "logic circuit. The message log goes to standard output; messages go to standard error\n"
           "as lines starting with \"info: \" or \"error: \".\n"
           "A FILE ending in .npy is read as a numpy array of shape (N, N).\n"
           "\n"
           "Options:\n"
           "  --end-stage STAGE  basic (default), l1, toffoli, or none (the window's untouched choice)\n"
           "  --no-optimize      clear \"Perform an optimization\"\n"
           "  --self-check       set \"Check after each stage of decomposition\"\n"
           "  --show-steps       set \"Show optimization steps\"; every step is answered OK\n"
           "  --random N         decompose a random unitary of N qubits (2 to 5) instead of a file\n"
           "  --seed S           make the random matrices reproducible\n"
           "  --from-qasm FILE   decompose the matrix of the OpenQASM 2.0 or 3 circuit in FILE\n"
           "  --save FILE        save the matrix and the report after the run\n"
           "  --qasm FILE        write the circuit as OpenQASM 3 (exact, global phase included)\n"
           "  --qasm2 FILE       write the circuit as OpenQASM 2.0 (up to a global phase; refused for\n"
           "                     a gate with two or more controls: use --end-stage l1 or basic)\n"
           "  --svg FILE         write a picture of the whole circuit as SVG\n"
           "  --json FILE        write a summary of the run: end stage, gate counts, checks, stage times\n"
           "  -h, --help         show this text\n"
           "  --version          show the version\n"
           "\n"
           "Files are written after the run. Each option may be given once; a value that starts\n"
           "with '-' is written --option=VALUE.\n"
           "\n"
           "Exit status: 0 the run ended normally and every check passed; 1 the run reported a\n"
           "problem or a file could not be written; 2 the input was refused (unreadable or malformed\n"
           "file, refused size, a matrix that is not unitary, bad options).\n";
}

std::string versionText() { return "udecomp " UDECOMP_VERSION "\n"; }
