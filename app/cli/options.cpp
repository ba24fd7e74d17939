#include "app/cli/options.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "app/cli/outputclash.h"
#include "engine/endstage.h"
#include "interchange/qasm/basisgates.h"
#include "interchange/wholenumber.h"

namespace {

enum class OptionKind { flag, file, endStage, qubits, seed, basis };

// One option: how it is read, the field it sets and its lines in --help.
struct OptionRow {
    std::string_view name;
    OptionKind kind;
    bool CliOptions::*flag = nullptr;  // flag: set to flagValue
    bool flagValue = true;
    std::optional<std::string> CliOptions::*file = nullptr;  // file: the name given
    std::string_view valueName;  // shown after the name in --help
    std::string_view help;       // lines after the first are indented under it
    std::string_view alias = {};  // a short name that means the same
};

// Every option, in the order --help lists them.
constexpr OptionRow optionTable[] = {
    {"--end-stage", OptionKind::endStage, nullptr, true, nullptr, "STAGE", {}},  // lines from the end stages
    {"--no-optimize", OptionKind::flag, &CliOptions::optimize, false, nullptr, "",
     "clear \"Perform an optimization\""},
    {"--self-check", OptionKind::flag, &CliOptions::selfCheck, true, nullptr, "",
     "set \"Check after each stage of decomposition\""},
    {"--show-steps", OptionKind::flag, &CliOptions::showSteps, true, nullptr, "",
     "set \"Show optimization steps\"; every step is answered OK"},
    {"--random", OptionKind::qubits, nullptr, true, nullptr, "N",
     "decompose a random unitary of N qubits instead of a file (the sizes\n"
     "the end stage takes)"},
    {"--seed", OptionKind::seed, nullptr, true, nullptr, "S", "make the random matrices reproducible"},
    {"--compare", OptionKind::flag, &CliOptions::compare, true, nullptr, "",
     "run every route to basic gates on the matrix (2 to 5 qubits) and print\n"
     "a table of their gates, CNOTs, depths, errors, checks and times beside\n"
     "the lower bound of CNOTs; --json adds it to the summary, and --qasm,\n"
     "--qasm2, --svg and --save write the circuit with the fewest CNOTs"},
    {"--from-qasm", OptionKind::file, nullptr, true, &CliOptions::qasmInputFile, "FILE",
     "decompose the matrix of the OpenQASM 2.0 or 3 circuit in FILE"},
    {"--save", OptionKind::file, nullptr, true, &CliOptions::saveFile, "FILE",
     "save the matrix and the report after the run"},
    {"--qasm", OptionKind::file, nullptr, true, &CliOptions::qasmFile, "FILE",
     "write the circuit as OpenQASM 3 (exact, global phase included)"},
    {"--qasm2", OptionKind::file, nullptr, true, &CliOptions::qasm2File, "FILE",
     "write the circuit as OpenQASM 2.0 (up to a global phase; refused for\n"
     "a gate with two or more controls: use --end-stage l1 or basic)"},
    {"--svg", OptionKind::file, nullptr, true, &CliOptions::svgFile, "FILE",
     "write a picture of the whole circuit as SVG"},
    {"--basis", OptionKind::basis, nullptr, true, nullptr, "GATES",
     "write --qasm and --qasm2 in a standard gate set: u3,cx or rz,sx,x,cx\n"
     "or rz,sx,x,cz (a circuit of one-qubit gates and CNOTs)"},
    {"--json", OptionKind::file, nullptr, true, &CliOptions::jsonFile, "FILE",
     "write a summary of the run: end stage, gate counts, checks, stage times"},
    {"--help", OptionKind::flag, &CliOptions::help, true, nullptr, "", "show this text", "-h"},
    {"--version", OptionKind::flag, &CliOptions::version, true, nullptr, "", "show the version"},
};

const OptionRow* findOption(std::string_view name)
{
    for (const OptionRow& option : optionTable)
        if (option.name == name)
            return &option;
    return nullptr;
}

// Sets the field of `option` from `value` (empty when none was given); an error text when refused.
std::optional<std::string> applyOption(const OptionRow& option, const std::optional<std::string>& value,
                                       bool valueInline, CliOptions& options)
{
    const std::string name(option.name);
    switch (option.kind) {
    case OptionKind::flag:
        if (valueInline)
            return name + " takes no value";
        options.*option.flag = option.flagValue;
        return std::nullopt;
    case OptionKind::file:
        if (!value || value->empty())
            return name + " needs a file name";
        options.*option.file = value;
        return std::nullopt;
    case OptionKind::endStage: {
        if (!value)
            return "--end-stage needs one of " + commandWordList();
        const auto stage = endStageOfWord(*value);
        if (!stage)
            return "--end-stage '" + *value + "' is not one of " + commandWordList();
        options.endStage = stage->boxIndex;
        return std::nullopt;
    }
    case OptionKind::qubits: {
        // Which end stage takes the count is checked once all options are read.
        const auto qubits = value ? wholeNumber(*value, mostQubitsOfAnyEndStage) : std::nullopt;
        if (!qubits || *qubits < 2)
            return "--random needs a number of qubits from 2 to " + std::to_string(mostQubitsOfAnyEndStage);
        options.randomQubits = static_cast<int>(*qubits);
        return std::nullopt;
    }
    case OptionKind::seed: {
        const auto seed = value ? wholeNumber(*value) : std::nullopt;
        if (!seed)
            return "--seed needs a whole number from 0 to 18446744073709551615";
        options.seed = seed;
        return std::nullopt;
    }
    case OptionKind::basis: {
        std::vector<std::string> names;
        for (std::size_t start = 0; value && start <= value->size();) {
            const std::size_t comma = std::min(value->find(',', start), value->size());
            names.push_back(value->substr(start, comma - start));
            start = comma + 1;
        }
        const auto basis = basisGatesOf(names);
        if (!basis)
            return "--basis needs one of the gate sets " + basisGatesChoices();
        options.basis = basis;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

// One line for each end stage: its word, its box item and the sizes it takes.
std::string endStageHelp()
{
    std::string help = "one of these (default " + std::string(endStages.front().commandWord) + "):";
    for (const EndStage& stage : endStages) {
        std::string word(stage.commandWord);
        word.resize(endStageWordColumn, ' ');
        help += "\n" + word + "\"" + std::string(stage.itemText) + "\", " + std::to_string(stage.fewestQubits) +
                " to " + std::to_string(stage.mostQubits) + " qubits";
        if (!stage.finalCheck && stage.depth == Depth::basicGates)
            help += ", without the final check\n" + std::string(endStageWordColumn, ' ') + "(the window's untouched choice)";
        const std::string indent(endStageWordColumn, ' ');
        if (stage.route == Route::fewestCnots)
            help += ",\n" + indent + "block-ZXZ straight from the matrix, no two-level matrices";
        if (stage.route == Route::numerical)
            help += ",\n" + indent + "blocks instantiated numerically at the lower bound of CNOTs";
    }
    return help;
}

// The option's lines in --help: its name and value in a column of 19, then the help.
std::string usageLines(const OptionRow& option)
{
    constexpr std::size_t column = 19;
    std::string lines = "  ";
    if (!option.alias.empty())
        lines.append(option.alias).append(", ");
    lines.append(option.name);
    if (!option.valueName.empty())
        lines.append(" ").append(option.valueName);
    lines.resize(std::max(lines.size(), 2 + column), ' ');
    const std::string help = option.kind == OptionKind::endStage ? endStageHelp() : std::string(option.help);
    for (const char ch : help) {
        if (ch == '\n')
            lines.append("\n").append(2 + column, ' ');
        else
            lines.push_back(ch);
    }
    lines.push_back('\n');
    return lines;
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
        const OptionRow* option = findOption(name);
        const bool takesValue = option && option->kind != OptionKind::flag;
        // "--save --no-optimize" is a forgotten file name, not a file called "--no-optimize".
        if (takesValue && !inlineValue && k + 1 < arguments.size() && looksLikeOption(arguments[k + 1]))
            return refused(name + " needs a value, not the option '" + shown(arguments[k + 1]) + "' (write " + name +
                           "=VALUE for a value that starts with '-')");
        if (!option)
            return refused("unknown option '" + shown(arguments[k]) + "'");
        std::optional<std::string> value = inlineValue;
        if (takesValue && !value && k + 1 < arguments.size())
            value = arguments[++k];
        if (const auto error = applyOption(*option, value, inlineValue.has_value(), options))
            return refused(*error);
    }
    if (options.randomQubits && options.inputFile)
        return refused("give either --random or a matrix file, not both");
    if (options.qasmInputFile && (options.randomQubits || options.inputFile))
        return refused("give either --from-qasm or --random or a matrix file, not two of them");
    if (options.compare && given.count("--end-stage"))
        return refused("--compare runs every route to basic gates; leave out --end-stage");
    if (options.compare && options.showSteps)
        return refused("--compare runs without showing optimization steps; leave out --show-steps");
    if (options.seed && !options.randomQubits)
        return refused("--seed fixes the matrix of --random and is given without it");
    if (const EndStage& stage = endStageOfBox(options.endStage);
        options.randomQubits && !takesQubits(stage, *options.randomQubits))
        return refused("--random " + std::to_string(*options.randomQubits) + ": " +
                       sizeRefusal(stage, 1 << *options.randomQubits));
    if (const std::string clash = outputClash(options); !clash.empty())
        return refused(clash);
    return {options, {}};
}

std::string usageText()
{
    std::string optionsHelp;
    for (const OptionRow& option : optionTable)
        optionsHelp += usageLines(option);
    return "Usage: udecomp [options] [FILE.mat | FILE.npy]\n"
           "Decomposes the unitary matrix of FILE.mat (default: the start-up matrix) into a quantum\n"
           "logic circuit. The message log goes to standard output; messages go to standard error\n"
           "as lines starting with \"info: \" or \"error: \".\n"
           "A FILE ending in .npy is read as a numpy array of shape (N, N).\n"
           "\n"
           "Options:\n" +
           optionsHelp +
           "\n"
           "Files are written after the run. Each option may be given once; a value that starts\n"
           "with '-' is written --option=VALUE.\n"
           "\n"
           "Exit status: 0 the run ended normally and every check passed; 1 the run reported a\n"
           "problem or a file could not be written; 2 the input was refused (unreadable or malformed\n"
           "file, refused size, a matrix that is not unitary, bad options).\n";
}

std::string versionText() { return "udecomp " UDECOMP_VERSION "\n"; }
