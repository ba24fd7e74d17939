#include "workspace/matrixfile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <locale>
#include <numbers>
#include <random>
#include <sstream>

#include "engine/kernel/errors.h"
#include "platform/headlesspresentation.h"
#include "support/files.h"
#include "workspace/workspace.h"

namespace fs = std::filesystem;

namespace {

// The state that a refused load must leave exactly as it was.
struct WorkspaceSnapshot {
    int qubitCount;
    int matrixSize;
    int pocetb1;
    std::string fieldText;
    std::vector<unsigned char> matrixBytes;

    static WorkspaceSnapshot of(const Workspace& ws, const HeadlessPresentation& ui)
    {
        const auto* raw = reinterpret_cast<const unsigned char*>(&ws.matrixA);
        return {ws.qubitCount, ws.matrixSize, ws.pocetb1, ui.qubitField,
                std::vector<unsigned char>(raw, raw + sizeof ws.matrixA)};
    }
    bool operator==(const WorkspaceSnapshot&) const = default;
};

// A valid n x n file in the written layout with distinct, easily recognised entries.
std::string matrixFileText(int n, std::string_view lineEnd = "\r\n")
{
    std::string text = std::to_string(n) + std::string(lineEnd);
    for (int r = 1; r <= n; ++r) {
        text += r == 1 ? "{{" : "{";
        for (int c = 1; c <= n; ++c) {
            if (c > 1)
                text += ',';
            text += complexText({0.125 * r, -0.5 * c});
        }
        text += r == n ? "}}" : "},";
        text += lineEnd;
    }
    return text + "The decomposition of aforementioned matrix yielded: " + std::string(lineEnd);
}

class MatrixFile : public ::testing::Test {
protected:
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);
    TemporaryDirectory dir;

    void SetUp() override { ui.clearRecords(); }

    bool loadText(std::string_view bytes)
    {
        const fs::path file = dir / "in.mat";
        writeBytes(file, bytes);
        return loadMatrixFile(*ws, ui, file.string());
    }
};

}  // namespace

TEST_F(MatrixFile, SavingTheStartUpStateWritesTheExactLayout)
{
    const fs::path file = dir / "start.mat";
    saveMatrixFile(*ws, ui, file.string());

    const std::string expected =
        "4\r\n"
        "{{0 + 0i,0 + 0i,0 + 0i,0 - 1i},\r\n"
        "{0 + 0i,0 + 0i,0 - 1i,0 + 0i},\r\n"
        "{0 + 0i,0 + 1i,0 + 0i,0 + 0i},\r\n"
        "{0 + 1i,0 + 0i,0 + 0i,0 + 0i}}\r\n"
        "The decomposition of aforementioned matrix yielded: \r\n"
        "Parameters of matrices Tpq: \r\n"
        "p    q     omega    fi ; in degrees omega fi\r\n"
        "Angles (in RAD, degrees) of complex unities in matrix D: \r\n"
        "0.0000  0.0000\r\n"
        "0.0000  0.0000\r\n"
        "0.0000  0.0000\r\n"
        "0.0000  0.0000\r\n"
        "\r\n"
        "Quantum circuit corresponding to the matrix: \r\n"
        "Overall number of gates: 0\r\n"
        "Number,removed,type,target   ,control qubits , matrix u\r\n";
    EXPECT_EQ(readBytes(file), expected);
    EXPECT_EQ(ui.log, std::vector<std::string>{"Matrix was saved into the file."});
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "nothing but the saved file is left behind";
}

TEST_F(MatrixFile, ReportListsTpqLinesAnglesAndEveryGateIncludingRemovedOnes)
{
    ws->tpqCount = 2;
    ws->tpqTable[1] = {std::numbers::pi / 6, std::numbers::pi / 2, 3, 1};
    ws->tpqTable[2] = {-std::numbers::pi / 6, 0.0, 4, 2};
    ws->dAngles[1] = -0.0;  // minus the angle of 1
    ws->dAngles[2] = -std::numbers::pi;
    ws->dAngles[3] = 1e-9;
    ws->dAngles[4] = 2.5;
    ws->pocetb1 = 2;
    ws->gates[1] = {ws->pauliZ, 0, 1, 2, {}};
    ws->gates[2] = {ws->pauliX, 3, 0, 4, {0, 1, 2, 3, 0}};
    ws->gates[2].u.u11 = {0.5, -0.25};

    const fs::path file = dir / "report.mat";
    saveMatrixFile(*ws, ui, file.string());
    const std::string text = readBytes(file);
    const std::string expectedTail =
        "p    q     omega    fi ; in degrees omega fi\r\n"
        "3  1  0.5236  1.5708  30.0000  90.0000\r\n"
        "4  2  -0.5236  0.0000  -30.0000  0.0000\r\n"
        "Angles (in RAD, degrees) of complex unities in matrix D: \r\n"
        "0.0000  0.0000\r\n"
        "-3.1416  -180.0000\r\n"
        "0.0000  0.0000\r\n"
        "2.5000  143.2394\r\n"
        "\r\n"
        "Quantum circuit corresponding to the matrix: \r\n"
        "Overall number of gates: 2\r\n"
        "Number,removed,type,target   ,control qubits , matrix u\r\n"
        "1 Y 0   2     1 + 0i 0 + 0i 0 + 0i -1 + 0i\r\n"
        "2 N 3   4 1 2 3     0.5 - 0.25i 1 + 0i 1 + 0i 0 + 0i\r\n";
    ASSERT_GE(text.size(), expectedTail.size());
    EXPECT_EQ(text.substr(text.size() - expectedTail.size()), expectedTail);
}

TEST_F(MatrixFile, EntriesUseAPointEvenUnderACommaLocale)
{
    struct CommaPoint : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    ws->matrixA(1, 1) = {0.5, 0.0};
    ws->dAngles[1] = 0.25;
    const fs::path file = dir / "comma.mat";
    saveMatrixFile(*ws, ui, file.string());
    std::locale::global(previous);

    const std::string text = readBytes(file);
    EXPECT_EQ(text.substr(0, text.find("\r\n", 3)), "4\r\n{{0.5 + 0i,0 + 0i,0 + 0i,0 - 1i},");
    EXPECT_NE(text.find("\r\n0.2500  14.3239\r\n"), std::string::npos);
}

TEST_F(MatrixFile, RoundTripRestoresEveryEntryToFifteenSignificantDigits)
{
    std::mt19937_64 engine(7);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-20, 8);
    ui.qubitField = "5";
    ws->qubitCount = 5;
    ws->matrixSize = 32;
    TMATICA1 original;
    for (int r = 1; r <= 32; ++r)
        for (int c = 1; c <= 32; ++c)
            original(r, c) = {mantissa(engine) * std::pow(10.0, exponent(engine)),
                              mantissa(engine) * std::pow(10.0, exponent(engine))};
    original(1, 1) = {1.0 / 3.0, -2.0 / 3.0};
    original(1, 2) = {1e-17, 0.0};
    original(1, 3) = {123456789012345.0, -0.0};
    ws->matrixA = original;
    const fs::path file = dir / "round.mat";
    saveMatrixFile(*ws, ui, file.string());

    ws->matrixA = TMATICA1{};
    ASSERT_TRUE(loadMatrixFile(*ws, ui, file.string()));
    auto relativeError = [](double a, double b) { return a == b ? 0.0 : std::fabs(a - b) / std::fabs(a); };
    double worst = 0.0;
    for (int r = 1; r <= 32; ++r)
        for (int c = 1; c <= 32; ++c) {
            const Complex a = original(r, c);
            const Complex b = ws->matrixA(r, c);
            worst = std::max({worst, relativeError(a.re, b.re), relativeError(a.im, b.im)});
        }
    EXPECT_LE(worst, 1e-14);
}

TEST_F(MatrixFile, LineFeedAloneCarriageReturnAloneAndBothReadTheSame)
{
    ui.qubitField = "3";
    ws->qubitCount = 3;
    ws->matrixSize = 8;
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(static_cast<int>(lineEnd[0]));
        ws->matrixA = TMATICA1{};
        ASSERT_TRUE(loadText(matrixFileText(8, lineEnd)));
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 8; ++c) {
                EXPECT_EQ(ws->matrixA(r, c).re, 0.125 * r);
                EXPECT_EQ(ws->matrixA(r, c).im, -0.5 * c);
            }
    }
    EXPECT_TRUE(loadText("4   \r{{1,0,0,0},  \r{0,1,0,0},\r{0,0,1,0},\r{0,0,0,1}}"));
}

TEST_F(MatrixFile, HandWrittenEntriesWithBlanksAndRealNumbersAreRead)
{
    ASSERT_TRUE(loadText("  4  \n{{ 1 , 0,0 ,0},\n{0,-1,0,0},\n{0,0,0+1I,0},\n{0,0,0,   2.5e-1 - 1E0i  }}"));
    EXPECT_EQ(ws->matrixA(1, 1).re, 1.0);
    EXPECT_EQ(ws->matrixA(2, 2).re, -1.0);
    EXPECT_EQ(ws->matrixA(3, 3).im, 1.0);
    EXPECT_EQ(ws->matrixA(4, 4).re, 0.25);
    EXPECT_EQ(ws->matrixA(4, 4).im, -1.0);
}

TEST_F(MatrixFile, SameQubitCountKeepsTheCircuitAndTheOuterEntries)
{
    ws->pocetb1 = 9;
    const Complex outside = ws->matrixA(5, 8);
    ASSERT_TRUE(loadText(matrixFileText(4)));
    EXPECT_EQ(ws->pocetb1, 9);
    EXPECT_EQ(ws->matrixA(5, 8).im, outside.im);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(ui.gridColumns, 0) << "the qubit-count handling must not run";
}

TEST_F(MatrixFile, OtherQubitCountGoesThroughTheQubitFieldBeforeTheEntriesAreCopied)
{
    ws->pocetb1 = 9;
    ASSERT_TRUE(loadText(matrixFileText(16)));
    EXPECT_EQ(ui.qubitField, "4");
    EXPECT_EQ(ws->qubitCount, 4);
    EXPECT_EQ(ws->matrixSize, 16);
    EXPECT_EQ(ws->pocetb1, 0);
    EXPECT_EQ(ui.gridColumns, 17);
    EXPECT_TRUE(ui.logContains("The unitary matrix was randomly generated."));
    // The file's entries overwrite the random matrix.
    EXPECT_EQ(ws->matrixA(16, 16).re, 2.0);
    EXPECT_EQ(ws->matrixA(16, 16).im, -8.0);
    EXPECT_EQ(ws->matrixA(1, 16).im, -8.0);
}

TEST_F(MatrixFile, EverySizeFromZeroToSixtyFiveIsReadOrRefusedAsItShouldBe)
{
    for (int size = 0; size <= 65; ++size) {
        SCOPED_TRACE(size);
        auto ws2 = createWorkspace(ui);
        ui.setQubitFieldText("2");
        ui.clearRecords();
        const WorkspaceSnapshot before = WorkspaceSnapshot::of(*ws2, ui);
        const fs::path file = dir / "size.mat";
        writeBytes(file, size >= 1 ? matrixFileText(size) : "0\r\n{{1}}\r\n");
        const bool loaded = loadMatrixFile(*ws2, ui, file.string());
        EXPECT_TRUE(ui.messages.empty());
        if (size == 4 || size == 8 || size == 16 || size == 32) {
            EXPECT_TRUE(loaded);
            EXPECT_EQ(ws2->matrixSize, size);
            EXPECT_EQ(ws2->matrixSize, 1 << ws2->qubitCount);
            EXPECT_EQ(ws2->matrixA(size, size).im, -0.5 * size);
            continue;
        }
        EXPECT_FALSE(loaded);
        EXPECT_EQ(WorkspaceSnapshot::of(*ws2, ui), before);
        if (size < 2) {
            EXPECT_TRUE(ui.log.empty());
        } else if (size > 64) {
            EXPECT_EQ(ui.log, (std::vector<std::string>{"This matrix is too big,", "I'm stopping it's openning."}));
        } else {
            ASSERT_EQ(ui.log.size(), 1u);
            EXPECT_NE(ui.log[0].find("size " + std::to_string(size) + " is not supported"), std::string::npos);
        }
    }
}

TEST_F(MatrixFile, SizesBeyondAnyIntegerAreStillTooBigOrTooSmall)
{
    const WorkspaceSnapshot before = WorkspaceSnapshot::of(*ws, ui);
    EXPECT_FALSE(loadText("99999999999999999999999999\r\n{{0,0}}\r\n"));
    EXPECT_EQ(ui.log, (std::vector<std::string>{"This matrix is too big,", "I'm stopping it's openning."}));
    ui.clearRecords();
    EXPECT_FALSE(loadText("-99999999999999999999999999\r\n{{1}}\r\n"));
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(WorkspaceSnapshot::of(*ws, ui), before);
}

TEST_F(MatrixFile, EveryTruncationOfAValidFileIsRefusedWithoutChangingTheWorkspace)
{
    // Eight by eight, so a premature qubit-count change would show in the snapshot.
    const std::string text = matrixFileText(8);
    const std::size_t matrixEnd = text.find("}}") + 2;
    const WorkspaceSnapshot before = WorkspaceSnapshot::of(*ws, ui);
    for (std::size_t length = 0; length < matrixEnd; ++length) {
        EXPECT_THROW(parseMatrixFile(std::string_view(text).substr(0, length)), FileError) << "length " << length;
        // Opening files is slow on some machines: every fifth length goes through a real file.
        if (length % 5 == 0 || length + 3 >= matrixEnd) {
            EXPECT_THROW(loadText(text.substr(0, length)), FileError) << "length " << length;
            ASSERT_EQ(WorkspaceSnapshot::of(*ws, ui), before) << "length " << length;
        }
    }
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(loadText(text.substr(0, matrixEnd)));
}

TEST_F(MatrixFile, MalformedFilesThrowWithAClearMessageAndChangeNothing)
{
    const std::string good = matrixFileText(8, "\n");
    auto replaced = [&](std::string_view from, std::string_view to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Case {
        std::string bytes;
        bool conversion;  // ConversionError (the whole message and its detail) rather than FileError
        std::string messagePart;
        std::string_view detail = {};
    };
    const std::string_view firstEntry = "The entry in row 1, column 1 of the matrix.";
    const std::vector<Case> cases = {
        {"", false, "Invalid numeric input"},
        {"   \r\n  \n", false, "Invalid numeric input"},
        {"four\n{{1}}", false, "Invalid numeric input"},
        {"4x\n{{1}}", false, "Invalid numeric input"},
        {std::string(5000, '4'), false, "its first 300 characters hold no whole line"},
        {std::string(5000, '\n'), false, "its first 300 characters hold no whole line"},
        {replaced("0.125 - 0.5i", "NaN"), true, "Could not parse real portion [<?>NaN]", firstEntry},
        {replaced("1 - 4i}}", "1 - 4j}}"), true, "Could not parse required 'i' symbol [1 - 4<?>j]",
         "The entry in row 8, column 8 of the matrix."},
        {replaced("0.125 - 0.5i", "1E999"), true, "Could not parse real portion [<?>1E999]", firstEntry},
        {replaced("0.125 - 0.5i", "inf + 0i"), true, "Could not parse real portion [<?>inf + 0i]", firstEntry},
        {replaced("0.125 - 0.5i", "1 + 2"), true, "Could not parse required 'i' symbol [1 + 2<?>]", firstEntry},
        {replaced("0.125 - 0.5i", std::string("1 +\0 2i\x7f", 8)), true,
         "Could not parse imaginary portion [1 +<?>\\x00 2i\\x7F]", firstEntry},
        {replaced("0.125 - 0.5i", "1" + std::string(100, '0') + std::string(150, '\x19')), true,
         "Could not parse required '+' (or '-') symbol [..." + std::string(60, '0') + "<?>" +
             [] { std::string s; for (int k = 0; k < 15; ++k) s += "\\x19"; return s; }() + "...]",
         firstEntry},
        {replaced("0.125 - 0.5i", std::string(3 << 20, '7')), false, "Entry 1 of row 1 is longer than 300 characters."},
        {replaced("},\n{", "},"+ std::string(400, ' ') + "\n{"), false, "Row 1 of the matrix is followed by more than"},
        {replaced("{{", "{"), false, "Missing"},
        {replaced("{{", "[{"), false, "Missing"},
        {replaced("},\n{", "}\n{"), false, "Missing the ',' after row 1"},
        {replaced("0.125 - 0.5i,", "0.125 - 0.5i}"), false, "entries instead of 8"},
        {replaced("0.125 - 4i}", "0.125 - 4i,9}"), false, "more than 8 entries"},
        {replaced("0.125 - 4i}", "0.125 - 4i\n}"), false, "The line ends inside entry 8 of row 1"},
        {good.substr(0, good.find("}}")), false, "The file ends inside entry 8 of row 8"},
    };
    const WorkspaceSnapshot before = WorkspaceSnapshot::of(*ws, ui);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 40));
        try {
            loadText(c.bytes);
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& e) {
            EXPECT_TRUE(c.conversion) << e.what();
            EXPECT_EQ(e.what(), c.messagePart);
            EXPECT_EQ(e.detail(), c.detail);
        } catch (const FileError& e) {
            EXPECT_FALSE(c.conversion) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.messagePart), std::string::npos) << e.what();
            EXPECT_LT(std::string(e.what()).size(), 200u) << "no echo of a long text";
        }
        EXPECT_EQ(WorkspaceSnapshot::of(*ws, ui), before);
    }
    EXPECT_TRUE(ui.log.empty());
}

TEST_F(MatrixFile, FilesThatCannotBeReadGiveAFileError)
{
    EXPECT_THROW(loadMatrixFile(*ws, ui, (dir / "missing.mat").string()), FileError);
    EXPECT_THROW(loadMatrixFile(*ws, ui, dir.path().string()), FileError);
    EXPECT_TRUE(ui.log.empty());
}

TEST_F(MatrixFile, AFileWithoutReadPermissionGivesAFileError)
{
    const fs::path locked = dir / "locked.mat";
    writeBytes(locked, matrixFileText(4));
    fs::permissions(locked, fs::perms::none);
    fs::permissions(dir.path(), fs::perms::all);
    const int verdict = runWithoutPrivileges([&] {
        try {
            loadMatrixFile(*ws, ui, locked.string());
        } catch (const FileError&) {
            return ui.log.empty() && ws->qubitCount == 2 ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(verdict, 0) << "1: the file was read; 2: the workspace or log changed";
}

TEST_F(MatrixFile, AFailedSaveLeavesTheOldFileIntact)
{
    const fs::path target = dir / "old.mat";
    writeBytes(target, "old contents");

    // A directory in the way of the target.
    const fs::path directory = dir / "folder.mat";
    fs::create_directory(directory);
    EXPECT_THROW(saveMatrixFile(*ws, ui, directory.string()), FileError);
    EXPECT_TRUE(fs::is_directory(directory));

    // A folder that does not exist.
    EXPECT_THROW(saveMatrixFile(*ws, ui, (dir / "no" / "such.mat").string()), FileError);

    // The disk fills up in the middle of the report: a child process with a file size limit.
    ws->pocetb1 = 1000;
    for (int g = 1; g <= 1000; ++g)
        ws->gates[static_cast<std::size_t>(g)] = {ws->pauliX, 1, 0, 1, {0, 2, 0, 0, 0}};
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            saveMatrixFile(*ws, ui, target.string());
        } catch (const FileError&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save must report the write failure";
    EXPECT_EQ(readBytes(target), "old contents");
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
        << "no temporary file is left behind";
}

TEST_F(MatrixFile, SavingIntoAFolderWithoutWritePermissionKeepsTheOldFile)
{
    const fs::path target = dir / "old.mat";
    writeBytes(target, "old contents");
    fs::permissions(target, fs::perms::all);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                    fs::perms::others_exec | fs::perms::group_read | fs::perms::group_exec);
    const int verdict = runWithoutPrivileges([&] {
        try {
            saveMatrixFile(*ws, ui, target.string());
        } catch (const FileError&) {
            return ui.log.empty() ? 0 : 2;
        }
        return 1;
    });
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(verdict, 0) << "1: the save reported success; 2: it logged a line";
    EXPECT_EQ(readBytes(target), "old contents");
}

TEST(MatrixFileParser, ReadsOnlyTheMatrixAndIgnoresTheReport)
{
    const MatrixFileContent content = parseMatrixFile("4\r\n{{1,2,3,4},\r\n{5,6,7,8},\r\n{9,10,11,12},\r\n"
                                                      "{13,14,15,16}}\r\nanything {{{ ,,, here\r\n");
    ASSERT_EQ(content.verdict, MatrixFileContent::Verdict::matrix);
    ASSERT_EQ(content.entries.size(), 16u);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(content.entries[static_cast<std::size_t>(k)].re, k + 1.0);
}
