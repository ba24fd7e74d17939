// Runs the built command line as a separate process and checks its output and exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <memory>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/kernel/complex.h"
#include "platform/headlesspresentation.h"
#include "support/files.h"
#include "support/oracle.h"
#include "support/qasmreader.h"
#include "support/xmlcheck.h"
#include "workspace/matrixfile.h"
#include "workspace/workspace.h"
#include "workspace/driversentences.h"

namespace fs = std::filesystem;

namespace {

struct CliResult {
    bool exited = false;  // false when the process died from a signal
    int status = -1;
    std::string out;
    std::string err;
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

class Cli : public ::testing::Test {
protected:
    TemporaryDirectory dir;

    // Runs udecomp with the arguments; standard output and error are captured in
    // files (standard output in `outFile` when one is given).
    CliResult run(const std::vector<std::string>& arguments, fs::path outFile = {}) const
    {
        if (outFile.empty())
            outFile = dir / "stdout.txt";
        const fs::path errFile = dir / "stderr.txt";
        std::vector<std::string> argv{UDECOMP_CLI_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        for (std::string& a : argv)
            pointers.push_back(a.data());
        pointers.push_back(nullptr);

        const pid_t child = fork();
        if (child == 0) {
            const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0)
                _exit(126);
            const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int in = open("/dev/null", O_RDONLY);
            dup2(out, 1);
            dup2(err, 2);
            dup2(in, 0);
            execv(pointers[0], pointers.data());
            _exit(127);
        }
        CliResult result;
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child)
            return result;
        result.exited = WIFEXITED(status);
        result.status = result.exited ? WEXITSTATUS(status) : -1;
        result.out = fs::is_regular_file(outFile) ? readBytes(outFile) : std::string();
        result.err = readBytes(errFile);
        return result;
    }

    fs::path file(const std::string& name, std::string_view bytes) const
    {
        const fs::path path = dir / name;
        writeBytes(path, bytes);
        return path;
    }
};

// The start-up matrix K in the file layout, with `entry14` in place of K[1,4].
std::string kFile(std::string_view entry14 = "0 - 1i")
{
    return "4\r\n{{0 + 0i,0 + 0i,0 + 0i," + std::string(entry14) +
           "},\r\n{0 + 0i,0 + 0i,0 - 1i,0 + 0i},\r\n{0 + 0i,0 + 1i,0 + 0i,0 + 0i},\r\n{0 + 1i,0 + 0i,0 + 0i,0 + 0i}}\r\n";
}

}  // namespace

TEST_F(Cli, HelpDescribesTheOptionsAndSucceeds)
{
    const CliResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--end-stage", "--no-optimize", "--self-check", "--show-steps", "--random", "--seed",
                               "--save", "--qasm", "--qasm2", "--svg", "--json", "--from-qasm", ".npy", "--version"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run({"-h"}).out, r.out);
    const CliResult version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("udecomp ", 0), 0u) << version.out;
    EXPECT_EQ(lines(version.out).size(), 1u);
}

TEST_F(Cli, AStandardOutputThatCannotBeWrittenIsAProblem)
{
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"--help"}}) {
        const CliResult r = run(arguments, "/dev/full");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("error: the standard output cannot be written"), std::string::npos) << r.err;
    }
}

TEST_F(Cli, BadOptionsAreRefusedWithStatusTwoAndAReason)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--end-stage", "gates"}, {"--end-stage"},        {"--random", "6"},         {"--random", "1"},
        {"--random", "3x"},       {"--random"},           {"--seed", "-1"},          {"--seed", "x"},
        {"--save"},               {"--bogus"},            {"-x"},                    {"a.mat", "b.mat"},
        {"--no-optimize=yes"},    {"--random", "3", "a.mat"},
        {"--from-qasm"},          {"--from-qasm", "a.qasm", "b.mat"}, {"--from-qasm", "--no-optimize"},
        {"--save", "--no-optimize"}, {"--json", "-h"},    {"--svg", "a", "--svg", "b"}, {"--self-check", "--self-check"},
        {"--seed", "3"},          {"--seed", "3", "a.mat"},
    };
    for (const auto& arguments : cases) {
        const CliResult r = run(arguments);
        SCOPED_TRACE(arguments[0]);
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("udecomp: "), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << "nothing runs after a refused option";
    }
    EXPECT_FALSE(fs::exists("--no-optimize"));
    EXPECT_FALSE(fs::exists(dir / "a"));
}

TEST_F(Cli, OutputsNamingOneFileOrTheInputAreRefusedBeforeAnythingRuns)
{
    const fs::path npy = dir / "in.npy";
    writeBytes(npy, "numpy bytes");
    const fs::path circuit = file("c.qasm", "OPENQASM 3;\n");
    fs::create_hard_link(circuit, dir / "also.qasm");
    const std::string x = (dir / "x").string();
    const std::string f = (dir / "f").string();
    struct Case {
        std::vector<std::string> arguments;
        std::string firstOption;
        std::string secondOption;
    };
    const Case cases[] = {
        {{"--save", x, "--json", x}, "--save", "--json"},
        {{"--qasm", f, "--qasm2", f, "--svg", f}, "--qasm", "--qasm2"},
        {{"--svg", x, "--json", (dir / "." / "x").string()}, "--svg", "--json"},
        {{npy.string(), "--save", npy.string()}, "--save", "the matrix file"},
        {{"--from-qasm", circuit.string(), "--svg", circuit.string()}, "--svg", "--from-qasm"},
        {{"--from-qasm", circuit.string(), "--qasm", (dir / "also.qasm").string()}, "--qasm", "--from-qasm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
        const CliResult r = run(c.arguments);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.firstOption + " and " + c.secondOption + " name the same file"), std::string::npos)
            << r.err;
        EXPECT_TRUE(r.out.empty()) << "nothing runs after a refusal";
    }
    EXPECT_FALSE(fs::exists(x));
    EXPECT_FALSE(fs::exists(f));
    EXPECT_EQ(readBytes(npy), "numpy bytes");
    EXPECT_EQ(readBytes(circuit), "OPENQASM 3;\n");
    // A device takes several outputs in turn.
    const CliResult r = run({"--qasm", "/dev/null", "--svg", "/dev/null", "--json", "/dev/null"});
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(Cli, BadFilesEndWithStatusTwoAndAClearMessage)
{
    std::mt19937 engine(11);
    std::string noise(3000, '\0');
    for (char& c : noise)
        c = static_cast<char>(engine() & 0xff);
    fs::create_directory(dir / "folder.mat");
    const struct {
        std::string name;
        std::string bytes;
        std::string_view errorPart;
    } cases[] = {
        {"nan.mat", kFile("NaN"), "Could not parse real portion"},
        {"infinite.mat", kFile("1E400 + 0i"), "Could not parse real portion"},
        {"truncated.mat", kFile().substr(0, 60), "The file ends"},
        {"size65.mat", "65\r\n{{0}}\r\n", "no matrix was read"},
        {"size3.mat", "3\r\n{{1,0,0},\r\n{0,1,0},\r\n{0,0,1}}\r\n", "no matrix was read"},
        {"offby1e-3.mat", kFile("0 - 1.001i"), "not unitary"},
        {"offby1e-6.mat", kFile("0 - 1.000001i"), "not unitary"},
        {"noise.mat", noise, "error: "},
        {"empty.mat", "", "Invalid numeric input"},
        {"short.npy", "\x93NUMPY\x01", "The numpy file cannot be read: it ends inside its header."},
        {"missing.mat", "", "Cannot open"},
        {"folder.mat", "", "directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path path = dir / c.name;
        if (c.name != "missing.mat" && c.name != "folder.mat")
            writeBytes(path, c.bytes);
        const CliResult r = run({path.string()});
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("error: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.errorPart), std::string::npos) << r.err;
    }
    // The conversion error is the pattern's text alone; the position follows on its own line.
    const fs::path nan = dir / "nan.mat";
    EXPECT_EQ(lines(run({nan.string()}).err),
              (std::vector<std::string>{"error: " + nan.string() + ": Could not parse real portion [<?>NaN]",
                                        "error: " + nan.string() + ": The entry in row 1, column 4 of the matrix."}));
}

TEST_F(Cli, AnOpenQasmCircuitOrANumpyMatrixIsImportedAndDecomposed)
{
    const fs::path qasm = dir / "random.qasm";
    ASSERT_EQ(run({"--random", "3", "--seed", "8", "--qasm", qasm.string()}).status, 0);
    const CliResult imported = run({"--from-qasm", qasm.string()});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("The matrix was imported from the circuit in the file."), std::string::npos);
    EXPECT_EQ(imported.out.find("randomly generated"), std::string::npos) << "no random matrix reached the user";
    const CliResult npy = run({std::string(UDECOMP_SOURCE_DIR) + "/tests/data/npy/f8-c.npy"});
    EXPECT_EQ(npy.status, 2);
    EXPECT_NE(npy.out.find("The matrix was imported from the numpy file."), std::string::npos);
    EXPECT_NE(npy.err.find("not unitary"), std::string::npos) << npy.err;
    EXPECT_NE(npy.err.find("error: The largest entry of |A^dagger A - I| is "), std::string::npos) << npy.err;
    EXPECT_NE(npy.err.find("; the tolerance is 1e-07."), std::string::npos) << npy.err;
    const CliResult refused = run({"--from-qasm", file("reset.qasm", "OPENQASM 3;\nqubit[2] q;\nreset q;\n").string()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("reset.qasm: The circuit cannot be imported: line 3: 'reset'"), std::string::npos)
        << refused.err;
}

TEST_F(Cli, TooBigAndUnsupportedSizesExplainThemselvesInTheLog)
{
    const CliResult big = run({file("big.mat", "65\r\n").string()});
    EXPECT_EQ(big.status, 2);
    EXPECT_EQ(lines(big.out), (std::vector<std::string>{"This matrix is too big,", "I'm stopping it's openning."}));
    const CliResult three = run({file("three.mat", "3\r\n").string()});
    EXPECT_EQ(three.status, 2);
    EXPECT_NE(three.out.find("size 3 is not supported"), std::string::npos) << three.out;
}

TEST_F(Cli, AGoodFileIsLoadedDecomposedAndSaved)
{
    const fs::path saved = dir / "out.mat";
    const CliResult r = run({"--save", saved.string(), file("in.mat", kFile()).string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const std::vector<std::string> log = lines(r.out);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "The matrix was successfully loaded from the file.");
    EXPECT_EQ(log[1], driverText::runStart);
    EXPECT_EQ(log.back(), "Matrix was saved into the file.");
    EXPECT_NE(r.out.find(driverText::reconstructionPassed), std::string::npos);
    const std::string text = readBytes(saved);
    EXPECT_EQ(text.substr(0, kFile().size()), kFile()) << "the matrix is restored from the input after the final check";
    EXPECT_NE(text.find("Quantum circuit corresponding to the matrix: \r\n"), std::string::npos);
}

TEST_F(Cli, TheStartUpMatrixIsTheDefaultInputAndEachEndStageRuns)
{
    for (const char* stage : {"basic", "l1", "toffoli", "none"}) {
        SCOPED_TRACE(stage);
        const CliResult r = run({"--end-stage", stage, "--self-check"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(lines(r.out).at(0), driverText::runStart);
        EXPECT_NE(r.out.find(driverText::reconstructionPassed), std::string::npos);
    }
}

TEST_F(Cli, ARandomMatrixIsReproducibleWithASeed)
{
    const fs::path first = dir / "first.mat";
    const fs::path second = dir / "second.mat";
    const fs::path third = dir / "third.mat";
    const CliResult a = run({"--random", "3", "--seed", "42", "--no-optimize", "--save", first.string()});
    const CliResult b = run({"--random", "3", "--seed", "42", "--no-optimize", "--save", second.string()});
    const CliResult c = run({"--random", "3", "--seed", "43", "--no-optimize", "--save", third.string()});
    EXPECT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(lines(a.out).at(0), "The unitary matrix was randomly generated.");
    EXPECT_EQ(a.out, b.out);
    EXPECT_TRUE(readBytes(first) == readBytes(second)) << "the same seed gives the same matrix and report";
    EXPECT_EQ(readBytes(first).substr(0, 3), "8\r\n");
    const std::string matrixOf43 = readBytes(third).substr(0, readBytes(third).find("The decomposition"));
    EXPECT_TRUE(readBytes(first).substr(0, matrixOf43.size()) != matrixOf43) << "another seed gives another matrix";
}

TEST_F(Cli, ShownStepsAreAnsweredOkOnStandardError)
{
    const CliResult r = run({"--random", "2", "--seed", "1", "--show-steps", "--end-stage", "toffoli"});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& line : lines(r.err))
        EXPECT_EQ(line.rfind("question: ", 0), 0u) << line;
}

TEST_F(Cli, AFailedSaveIsAProblemAndKeepsTheOldFile)
{
    const fs::path folder = dir / "folder.mat";
    fs::create_directory(folder);
    const CliResult r = run({"--save", folder.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("error: "), std::string::npos);
    EXPECT_TRUE(fs::is_directory(folder));
    const CliResult missing = run({"--save", (dir / "no" / "such.mat").string()});
    EXPECT_EQ(missing.status, 1);
}

TEST_F(Cli, ASaveAndAnExportThroughALinkToStandardOutputFollowTheLog)
{
    const fs::path link = dir / "out.json";
    fs::create_symlink("/proc/self/fd/1", link);
    const CliResult r = run({"--json", link.string(), "--save", link.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(link));
    const std::size_t logEnd = r.out.find(driverText::reconstructionPassed);
    EXPECT_NE(logEnd, std::string::npos) << r.out;
    const std::size_t matrix = r.out.find("4\r\n{{", logEnd);
    EXPECT_NE(matrix, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"endStage\": \"basic gates\"", matrix), std::string::npos) << r.out;
}

TEST_F(Cli, SubnormalEntriesAreReadAndDecomposed)
{
    std::string text = kFile();
    const std::string zeroRow2 = "{0 + 0i,0 + 0i,0 - 1i,0 + 0i}";
    text.replace(text.find(zeroRow2), zeroRow2.size(), "{4.9E-324 + 0i,0 - 1E-310i,0 - 1i,0 + 0i}");
    const CliResult r = run({"--end-stage", "toffoli", file("subnormal.mat", text).string()});
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(driverText::reconstructionPassed), std::string::npos);
}

namespace {

// Largest entry difference between m and `input` after m is turned by the global
// phase that best matches their largest entry of `input`.
double differenceUpToPhase(const TMATICA1& m, const TMATICA1& input, int n)
{
    int bestRow = 1, bestColumn = 1;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            if (modulus(input(r, c)) > modulus(input(bestRow, bestColumn))) {
                bestRow = r;
                bestColumn = c;
            }
    const Complex phase = input(bestRow, bestColumn) / m(bestRow, bestColumn);
    const auto turned = std::make_unique<TMATICA1>();
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            (*turned)(r, c) = m(r, c) * phase;
    return maxDifference(*turned, input, n);
}

}  // namespace

TEST_F(Cli, EveryExportOfARandomCircuitIsWrittenAndReadsBackAsTheInput)
{
    const fs::path matrix = dir / "in.mat", qasm3 = dir / "c3.qasm", qasm2 = dir / "c2.qasm", svg = dir / "c.svg",
                   json = dir / "run.json";
    const CliResult r = run({"--random", "3", "--seed", "7", "--save", matrix.string(), "--qasm", qasm3.string(),
                             "--qasm2", qasm2.string(), "--svg", svg.string(), "--json", json.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;

    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ASSERT_TRUE(loadMatrixFile(*ws, ui, matrix.string()));
    ASSERT_EQ(ws->matrixSize, 8);
    const auto composed = std::make_unique<TMATICA1>();

    const ParsedQasm program3 = readQasm(readBytes(qasm3));
    EXPECT_EQ(program3.version, 3);
    EXPECT_EQ(program3.qubitCount, 3);
    programMatrix(program3, *composed, ui);
    EXPECT_LT(maxDifference(*composed, ws->matrixA, 8), 1e-9) << "OpenQASM 3 keeps the global phase";

    const ParsedQasm program2 = readQasm(readBytes(qasm2));
    EXPECT_EQ(program2.version, 2);
    programMatrix(program2, *composed, ui);
    EXPECT_LT(differenceUpToPhase(*composed, ws->matrixA, 8), 1e-9);

    const std::string summary = readBytes(json);
    EXPECT_NE(summary.find("\"endStage\": \"basic gates\""), std::string::npos) << summary;
    EXPECT_NE(summary.find("\"gateCount\": " + std::to_string(program3.gateCount()) + ","), std::string::npos)
        << "the summary counts the gates the export wrote\n" << summary;
    for (const char* check : {"\"inputUnitary\": true", "\"reduction\": true", "\"reconstruction\": true",
                              "\"finalCircuit\": true", "\"gateUnitarity\": true"})
        EXPECT_NE(summary.find(check), std::string::npos) << check << summary;
    EXPECT_NE(summary.find("{\"name\": \"basic gates\", \"seconds\": "), std::string::npos) << summary;

    const XmlDocument picture = parseXml(readBytes(svg));
    ASSERT_TRUE(picture.wellFormed()) << picture.error;
    int gateGroups = 0;
    for (const int g : picture.named("g"))
        gateGroups += picture.elements[g].attributes.count("id") &&
                      picture.elements[g].attributes.at("id").rfind("gate-", 0) == 0;
    EXPECT_EQ(gateGroups, program3.gateCount());
}

TEST_F(Cli, OpenQasm2RefusesAToffoliStageCircuitWhileOpenQasm3WritesIt)
{
    const fs::path qasm3 = dir / "c3.qasm", qasm2 = dir / "c2.qasm";
    const CliResult r =
        run({"--random", "3", "--seed", "3", "--end-stage", "toffoli", "--qasm", qasm3.string(), "--qasm2",
             qasm2.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("error: OpenQASM 2.0 cannot express gate"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(qasm2));
    EXPECT_EQ(readQasm(readBytes(qasm3)).version, 3);
}

TEST_F(Cli, AnExportIntoAMissingFolderIsAProblemWithAMessage)
{
    for (const char* option : {"--qasm", "--qasm2", "--svg", "--json"}) {
        SCOPED_TRACE(option);
        const fs::path target = dir / "no" / "such" / "file";
        const CliResult r = run({option, target.string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("error: Cannot write the file " + target.string() + ": No such file or directory"), std::string::npos) << r.err;
        EXPECT_NE(r.out.find(driverText::reconstructionPassed), std::string::npos) << "the run itself went on";
    }
    const CliResult noName = run({"--svg"});
    EXPECT_EQ(noName.status, 2);
    EXPECT_NE(noName.err.find("--svg needs a file name"), std::string::npos) << noName.err;
}

TEST_F(Cli, AMatrixThatIsNotUnitaryGetsItsSummaryButNoCircuitFiles)
{
    const fs::path qasm = dir / "c.qasm", svg = dir / "c.svg", json = dir / "run.json";
    const CliResult r = run({"--qasm", qasm.string(), "--svg", svg.string(), "--json", json.string(),
                             file("twice.mat", kFile("0 - 2i")).string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(fs::exists(qasm)) << "no circuit of this matrix exists to export";
    EXPECT_FALSE(fs::exists(svg));
    EXPECT_NE(r.err.find("error: " + qasm.string() + ": not written, the run built no circuit"), std::string::npos)
        << r.err;
    const std::string summary = readBytes(json);
    EXPECT_NE(summary.find("\"circuitBuilt\": false"), std::string::npos) << summary;
    EXPECT_NE(summary.find("\"inputUnitary\": false"), std::string::npos) << summary;
}

TEST_F(Cli, TheFewestCnotEndStageWritesAnExactCircuitAndNamesItsRoute)
{
    const std::string help = run({"--help"}).out;
    EXPECT_NE(help.find("--end-stage STAGE  one of these (default basic):"), std::string::npos) << help;
    EXPECT_NE(help.find("shannon   \"basic gates, fewest CNOTs\", 2 to 10 qubits"), std::string::npos) << help;
    const fs::path matrix = dir / "in.mat", qasm3 = dir / "c3.qasm", json = dir / "run.json";
    const CliResult r = run({"--random", "4", "--seed", "3", "--end-stage", "shannon", "--save", matrix.string(),
                             "--qasm", qasm3.string(), "--json", json.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(driverText::fewestCnotsStart), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(driverText::basicCircuitPassed), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(driverText::synthesisStart), std::string::npos) << r.out;

    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ASSERT_TRUE(loadMatrixFile(*ws, ui, matrix.string()));
    const auto composed = std::make_unique<TMATICA1>();
    const ParsedQasm program = readQasm(readBytes(qasm3));
    programMatrix(program, *composed, ui);
    EXPECT_LT(maxDifference(*composed, ws->matrixA, 16), 1e-12) << "exact, global phase included";

    const std::string summary = readBytes(json);
    for (const char* field : {"\"endStage\": \"basic gates, fewest CNOTs\"", "\"endStageIndex\": 3,",
                              "\"reduction\": null", "\"finalCircuit\": true", "\"gateUnitarity\": true"})
        EXPECT_NE(summary.find(field), std::string::npos) << field << summary;
    const auto cnots = summary.find("\"cnotCount\": ");
    ASSERT_NE(cnots, std::string::npos);
    EXPECT_LE(std::stoi(summary.substr(cnots + 13)), 95) << summary;
}

TEST_F(Cli, TheFewestCnotEndStageTakesSixQubitsAndRefusesWhatALargeCircuitCannotBe)
{
    const fs::path qasm3 = dir / "c6.qasm", json = dir / "run6.json";
    const CliResult r = run({"--random", "6", "--seed", "4", "--end-stage", "shannon", "--qasm", qasm3.string(),
                             "--json", json.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(driverText::basicCircuitPassed), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Number of L5(U) gates:   0"), std::string::npos) << r.out;
    const std::string summary = readBytes(json);
    for (const char* field : {"\"qubitCount\": 6,", "\"cnotCount\": 1783,", "\"finalCircuit\": true",
                              "\"gateUnitarity\": true"})
        EXPECT_NE(summary.find(field), std::string::npos) << field << summary;
    const std::string program = readBytes(qasm3);
    EXPECT_NE(program.find("qubit[6] q;"), std::string::npos);
    EXPECT_GT(std::count(program.begin(), program.end(), '\n'), 1783);

    const fs::path saved = dir / "six.mat", svg = dir / "six.svg";
    const CliResult kept = run({"--random", "6", "--end-stage", "shannon", "--save", saved.string(), "--svg",
                                svg.string()});
    EXPECT_EQ(kept.status, 1);
    EXPECT_NE(kept.err.find("a .mat file holds matrices of 2 to 5 qubits"), std::string::npos) << kept.err;
    EXPECT_NE(kept.err.find("the picture draws circuits of 2 to 5 qubits"), std::string::npos) << kept.err;
    EXPECT_FALSE(fs::exists(saved));
    EXPECT_FALSE(fs::exists(svg));

    const CliResult twoLevel = run({"--random", "6"});
    EXPECT_EQ(twoLevel.status, 2);
    EXPECT_NE(twoLevel.err.find("the end stage \"basic gates\" works with 2 to 5 qubits"), std::string::npos)
        << twoLevel.err;
}

TEST_F(Cli, ASixQubitNpyFileGoesToTheFewestCnotRouteAndIsRefusedByTheTwoLevelOne)
{
    // The Kronecker product of six Hadamard gates, written as numpy writes a float64 array.
    std::string header = "{'descr': '<f8', 'fortran_order': False, 'shape': (64, 64), }";
    header.resize(118, ' ');
    header += '\n';
    std::string bytes = std::string("\x93NUMPY\x01\x00", 8) + char(header.size()) + char(0) + header;
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 64; ++c) {
            const double entry = (std::popcount(static_cast<unsigned>(r & c)) % 2 == 0 ? 1.0 : -1.0) / 8.0;
            bytes.append(reinterpret_cast<const char*>(&entry), sizeof entry);
        }
    const fs::path npy = dir / "h6.npy", json = dir / "h6.json";
    writeBytes(npy, bytes);
    const CliResult r = run({npy.string(), "--end-stage", "shannon", "--json", json.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string summary = readBytes(json);
    // A tensor product of one-qubit gates needs no CNOT.
    for (const char* field : {"\"qubitCount\": 6,", "\"cnotCount\": 0,", "\"finalCircuit\": true"})
        EXPECT_NE(summary.find(field), std::string::npos) << field << summary;

    const CliResult refused = run({npy.string()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("error: " + npy.string() + ": A matrix of size 64 can not be decomposed"),
              std::string::npos)
        << refused.err;
}

TEST_F(Cli, ASixQubitOpenQasmProgramIsDecomposedByTheFewestCnotRoute)
{
    const fs::path program = dir / "ghz6.qasm", json = dir / "ghz6.json";
    writeBytes(program, "OPENQASM 3.0;\ninclude \"stdgates.inc\";\nqubit[6] q;\nh q[0];\n"
                        "cx q[0], q[1];\ncx q[1], q[2];\ncx q[2], q[3];\ncx q[3], q[4];\ncx q[4], q[5];\nrz(0.3) q[5];\n");
    const CliResult r = run({"--from-qasm", program.string(), "--end-stage", "shannon", "--json", json.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("The matrix was imported from the circuit in the file."), std::string::npos) << r.out;
    const std::string summary = readBytes(json);
    for (const char* field : {"\"qubitCount\": 6,", "\"finalCircuit\": true"})
        EXPECT_NE(summary.find(field), std::string::npos) << field << summary;
    const auto cnots = summary.find("\"cnotCount\": ");
    ASSERT_NE(cnots, std::string::npos);
    EXPECT_LE(std::stoi(summary.substr(cnots + 13)), 1783) << summary;

    const CliResult twoLevel = run({"--from-qasm", program.string(), "--end-stage", "l1"});
    EXPECT_EQ(twoLevel.status, 2);
    EXPECT_NE(twoLevel.err.find("the end stage \"L1(U) gates\" works with 2 to 5 qubits"), std::string::npos)
        << twoLevel.err;
}

namespace {

// The value of "key": N in a one-line JSON object (the routes' entries).
std::string jsonField(const std::string& object, const std::string& key)
{
    const std::size_t at = object.find("\"" + key + "\": ");
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + key.size() + 4;
    return object.substr(start, object.find_first_of(",}\n", start) - start);
}

TEST_F(Cli, CompareAgreesWithSeparateRunsOfEachEndStageAndWritesTheFewestCnotCircuit)
{
    const std::vector<std::string> matrix{"--random", "3", "--seed", "5"};
    std::vector<std::string> arguments = matrix;
    arguments.insert(arguments.end(), {"--compare", "--json", (dir / "compare.json").string(), "--qasm",
                                       (dir / "fewest.qasm").string()});
    const CliResult compared = run(arguments);
    ASSERT_EQ(compared.status, 0) << compared.err;
    const std::vector<std::string> out = lines(compared.out);
    ASSERT_GE(out.size(), 5u);
    EXPECT_NE(compared.out.find("lower bound (3 qubits)"), std::string::npos) << compared.out;
    const std::string json = readBytes(dir / "compare.json");
    EXPECT_EQ(jsonField(json, "lowerBound"), "14");

    int lowest = 1 << 30;
    for (const auto& [word, text] : {std::pair{"basic", "basic gates"}, std::pair{"shannon", "basic gates, fewest CNOTs"},
                                     std::pair{"numerical", "basic gates, fewest CNOTs, numerical"}}) {
        std::vector<std::string> single = matrix;
        single.insert(single.end(), {"--end-stage", word, "--json", (dir / "single.json").string()});
        ASSERT_EQ(run(single).status, 0) << word;
        const std::string separate = readBytes(dir / "single.json");
        const std::size_t row = json.find("{\"endStage\": \"" + std::string(text) + "\"");
        ASSERT_NE(row, std::string::npos) << word << json;
        const std::string entry = json.substr(row, json.find('}', row) - row + 1);
        EXPECT_EQ(jsonField(entry, "cnotCount"), jsonField(separate, "cnotCount")) << word;
        EXPECT_EQ(jsonField(entry, "gateCount"), jsonField(separate, "gateCount")) << word;
        EXPECT_EQ(jsonField(entry, "maxEntryDifference"), jsonField(separate, "maxEntryDifference")) << word;
        EXPECT_EQ(jsonField(entry, "checksPassed"), "true") << word;
        lowest = std::min(lowest, std::stoi(jsonField(entry, "cnotCount")));
    }
    const std::string qasm = readBytes(dir / "fewest.qasm");
    int cx = 0;
    for (const std::string& line : lines(qasm))
        cx += line.starts_with("cx ") ? 1 : 0;
    EXPECT_EQ(cx, lowest) << "the export is the circuit with the fewest CNOTs";
}

TEST_F(Cli, CompareRefusesAnEndStageAndAMatrixBeyondFiveQubits)
{
    const CliResult withStage = run({"--compare", "--end-stage", "basic"});
    EXPECT_EQ(withStage.status, 2);
    EXPECT_NE(withStage.err.find("leave out --end-stage"), std::string::npos) << withStage.err;
    const CliResult large = run({"--compare", "--random", "6"});
    EXPECT_EQ(large.status, 2) << large.err;
}

}  // namespace

namespace {

TEST_F(Cli, BasisWritesTheExportsInTheGateSetAndRefusesControlledGates)
{
    const fs::path qasm = dir / "ibm.qasm";
    const CliResult written = run({"--random", "3", "--seed", "2", "--end-stage", "shannon", "--basis", "rz,sx,x,cx",
                                   "--qasm", qasm.string()});
    ASSERT_EQ(written.status, 0) << written.err;
    int twoQubit = 0;
    for (const std::string& line : lines(readBytes(qasm))) {
        if (line.empty() || line.starts_with("//") || line.starts_with("OPENQASM") || line.starts_with("include") ||
            line.starts_with("qubit") || line.starts_with("gphase("))
            continue;
        const std::string name = line.substr(0, line.find_first_of("( "));
        EXPECT_TRUE(name == "rz" || name == "sx" || name == "x" || name == "cx") << line;
        twoQubit += name == "cx" ? 1 : 0;
    }
    EXPECT_EQ(twoQubit, 19);

    const CliResult controlled = run({"--random", "3", "--end-stage", "l1", "--basis", "u3,cx", "--qasm2",
                                      (dir / "l1.qasm").string()});
    EXPECT_EQ(controlled.status, 1);
    EXPECT_NE(controlled.err.find("is no CNOT"), std::string::npos) << controlled.err;
    EXPECT_EQ(run({"--basis", "h,cx"}).status, 2);
}

}  // namespace
