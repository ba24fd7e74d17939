#include "interchange/qasm/exporter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <random>
#include <sstream>

#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "support/qasmreader.h"
#include "support/unitary2samples.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"

namespace {

constexpr double pi = std::numbers::pi;

// The largest entry difference of y from e^(i p) x over the best global phase p.
double differenceUpToPhase(const TMATICA1& x, const TMATICA1& y, int n)
{
    Complex overlap{};
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c)
            overlap = overlap + conjugate(x(r, c)) * y(r, c);
    }
    const Complex phase = fromPolar(1.0, angle(overlap));
    double largest = 0.0;
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c)
            largest = std::max(largest, modulus(y(r, c) - phase * x(r, c)));
    }
    return largest;
}

TMATICA2 randomGateMatrix(std::mt19937_64& engine, const std::vector<NamedUnitary2>& awkward)
{
    if (engine() % 3 == 0)
        return awkward[engine() % awkward.size()].u;
    return randomUnitary2(engine);
}

// Fills the workspace circuit with `count` random gates of at most `maxControls` controls,
// about one in five of them an exact CNOT.
void buildRandomCircuit(Workspace& ws, int qubits, int count, int maxControls, std::uint64_t seed)
{
    std::mt19937_64 engine(seed);
    const auto awkward = awkwardUnitaries2(1e-9);
    ws.qubitCount = qubits;
    ws.matrixSize = 1 << qubits;
    ws.tolerance = 1e-7;
    ws.pocetb1 = count;
    for (int g = 1; g <= count; ++g) {
        TGATE1& gate = ws.gates[g];
        gate = TGATE1{};
        std::vector<int> order(static_cast<std::size_t>(qubits));
        for (int k = 0; k < qubits; ++k)
            order[static_cast<std::size_t>(k)] = k + 1;
        std::shuffle(order.begin(), order.end(), engine);
        const int limit = std::min(maxControls, qubits - 1);
        const bool cnot = limit >= 1 && engine() % 5 == 0;
        gate.type = static_cast<std::uint8_t>(cnot ? 1 : static_cast<int>(engine() % (limit + 1)));
        gate.target = static_cast<std::uint8_t>(order[0]);
        for (int c = 1; c <= gate.type; ++c)
            gate.controls[c] = static_cast<std::uint8_t>(order[static_cast<std::size_t>(c)]);
        gate.u = cnot ? ws.pauliX : randomGateMatrix(engine, awkward);
    }
}

class QasmExportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ws_ = createWorkspace(ui_).release(); }
    static void TearDownTestSuite()
    {
        delete ws_;
        ws_ = nullptr;
    }

    // Rounding grows with the length of the program: 1e-12, or 1e-15 per gate read back when more.
    static double readBackTolerance(const ParsedQasm& program) { return std::max(1e-12, 1e-15 * program.gateCount()); }

    // The matrix of the workspace circuit, in a buffer kept for the suite.
    static const TMATICA1& composedCircuit()
    {
        circuitMatrix(ws_->gates.data(), ws_->pocetb1, ws_->qubitCount, *expected_, ui_);
        return *expected_;
    }

    // Leaves the matrix of the program in readBack_.
    void expectExactReadBack(const QasmExport& exported, const TMATICA1& expected)
    {
        ASSERT_TRUE(exported.ok()) << exported.refusal;
        const ParsedQasm program = readQasm(exported.text);
        ASSERT_EQ(program.version, 3);
        ASSERT_EQ(program.qubitCount, ws_->qubitCount);
        programMatrix(program, *readBack_, ui_);
        EXPECT_LE(maxDifference(expected, *readBack_, ws_->matrixSize), readBackTolerance(program));
    }

    // Either reading of cu3 gives the circuit: the export must not depend on which one a tool takes.
    // Leaves the matrix of the program in readBack_.
    void expectReadBackUpToPhase(const QasmExport& exported, const TMATICA1& expected)
    {
        ASSERT_TRUE(exported.ok()) << exported.refusal;
        for (Cu3Reading reading : {Cu3Reading::qelib1Body, Cu3Reading::controlledU}) {
            const ParsedQasm program = readQasm(exported.text, reading);
            ASSERT_EQ(program.version, 2);
            ASSERT_EQ(program.qubitCount, ws_->qubitCount);
            programMatrix(program, *readBack_, ui_);
            EXPECT_LE(differenceUpToPhase(expected, *readBack_, ws_->matrixSize), readBackTolerance(program))
                << program.gateCount() << " gates read back, cu3 read as "
                << (reading == Cu3Reading::qelib1Body ? "its body" : "the controlled U");
        }
    }

    static inline HeadlessPresentation ui_;
    static inline Workspace* ws_ = nullptr;
    static inline std::unique_ptr<TMATICA1> expected_ = std::make_unique<TMATICA1>();
    static inline std::unique_ptr<TMATICA1> readBack_ = std::make_unique<TMATICA1>();
};

}  // namespace

TEST(UAngles, RebuildAwkwardAndRandomUnitariesExactly)
{
    std::mt19937_64 engine(17);
    std::vector<NamedUnitary2> cases = awkwardUnitaries2(1e-9);
    for (const NamedUnitary2& sample : awkwardUnitaries2(1e-17))
        cases.push_back({sample.name + " (1e-17)", sample.u});
    for (int k = 0; k < 300; ++k)
        cases.push_back({"random " + std::to_string(k), randomUnitary2(engine)});
    for (const NamedUnitary2& sample : cases) {
        const UAngles a = uAngles(sample.u);
        EXPECT_GE(a.theta, 0.0) << sample.name;
        EXPECT_LE(a.theta, pi) << sample.name;
        for (double x : {a.phi, a.lambda, a.gamma}) {
            EXPECT_LE(std::fabs(x), pi) << sample.name;
        }
        const TMATICA2 rebuilt = scaled2(fromPolar(1.0, a.gamma), uMatrix3(a.theta, a.phi, a.lambda));
        EXPECT_TRUE(matEqual2(rebuilt, sample.u, 1e-14)) << sample.name;
    }
}

TEST(UAngles, GiveTheTextbookAnglesOfPauliMatrices)
{
    const UAngles x = uAngles({{}, {1.0, 0.0}, {1.0, 0.0}, {}});
    EXPECT_DOUBLE_EQ(x.theta, pi);
    EXPECT_EQ(x.phi, 0.0);
    EXPECT_DOUBLE_EQ(x.lambda, pi);
    EXPECT_EQ(x.gamma, 0.0);
    const UAngles minusIdentity = uAngles({{-1.0, 0.0}, {}, {}, {-1.0, 0.0}});
    EXPECT_EQ(minusIdentity.theta, 0.0);
    EXPECT_EQ(minusIdentity.phi, 0.0);
    EXPECT_EQ(minusIdentity.lambda, 0.0);
    EXPECT_DOUBLE_EQ(minusIdentity.gamma, pi);
}

TEST_F(QasmExportTest, OpenQasm3ReadsBackToTheCircuitMatrixWithItsPhase)
{
    for (int qubits = 2; qubits <= 5; ++qubits) {
        for (std::uint64_t seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE("qubits " + std::to_string(qubits) + ", seed " + std::to_string(seed));
            buildRandomCircuit(*ws_, qubits, 30, 4, 100 * seed + static_cast<std::uint64_t>(qubits));
            expectExactReadBack(qasm3Text(*ws_), composedCircuit());
        }
    }
}

TEST_F(QasmExportTest, OpenQasm2ReadsBackUpToAGlobalPhase)
{
    for (int qubits = 2; qubits <= 5; ++qubits) {
        for (std::uint64_t seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE("qubits " + std::to_string(qubits) + ", seed " + std::to_string(seed));
            buildRandomCircuit(*ws_, qubits, 30, 1, 200 * seed + static_cast<std::uint64_t>(qubits));
            expectReadBackUpToPhase(qasm2Text(*ws_), composedCircuit());
        }
    }
}

TEST_F(QasmExportTest, EveryAwkwardMatrixSurvivesBothFormatsAsOneGateAndAsAControlledGate)
{
    const auto awkward = awkwardUnitaries2(1e-9);
    buildRandomCircuit(*ws_, 3, 0, 0, 1);
    for (const NamedUnitary2& sample : awkward) {
        SCOPED_TRACE(sample.name);
        ws_->pocetb1 = 2;
        ws_->gates[1] = TGATE1{sample.u, 0, 0, 2, {}};
        ws_->gates[2] = TGATE1{sample.u, 1, 0, 3, {0, 1}};
        expectExactReadBack(qasm3Text(*ws_), composedCircuit());
        expectReadBackUpToPhase(qasm2Text(*ws_), composedCircuit());
    }
}

TEST_F(QasmExportTest, WritesTheKnownTextOfASmallCircuit)
{
    buildRandomCircuit(*ws_, 2, 4, 0, 1);
    const Complex one{1.0, 0.0};
    ws_->gates[1] = TGATE1{{{}, one, one, {}}, 0, 0, 1, {}};                      // NOT on qubit 1
    ws_->gates[2] = TGATE1{ws_->pauliX, 1, 0, 2, {0, 1}};                         // CNOT 1 -> 2
    ws_->gates[3] = TGATE1{{one, {}, {}, {0.0, 1.0}}, 1, 0, 1, {0, 2}};           // controlled S
    ws_->gates[4] = TGATE1{{-one, {}, {}, -one}, 0, 0, 2, {}};                    // -I on qubit 2
    const std::string header =
        "// Circuit of 4 gates on 2 qubits; gate 1 acts first.\n"
        "// Qubit k of the circuit is q[k-1]. Basis state b (1..4) has b - 1 = sum of bit(k) * 2^(2-k),\n"
        "// so qubit 1, q[0], is the most significant bit.\n";
    EXPECT_EQ(qasm3Text(*ws_).text, header +
                                         "// Every gate is exact, its phase included: u = e^(i gamma) U(theta, phi, "
                                         "lambda).\n"
                                         "OPENQASM 3.0;\n"
                                         "include \"stdgates.inc\";\n"
                                         "qubit[2] q;\n"
                                         "U(3.1415926535897931, 0, 3.1415926535897931) q[0];\n"
                                         "cx q[0], q[1];\n"
                                         "ctrl(1) @ U(0, 1.5707963267948966, 0) q[1], q[0];\n"
                                         "U(0, 0, 0) q[1];\n"
                                         "gphase(3.1415926535897931);\n");
    const std::string text2 = qasm2Text(*ws_).text;
    const std::string body2 = text2.substr(text2.find("OPENQASM"));
    EXPECT_EQ(text2.substr(0, header.size()), header);
    EXPECT_EQ(body2, "OPENQASM 2.0;\n"
                     "include \"qelib1.inc\";\n"
                     "qreg q[2];\n"
                     "u3(3.1415926535897931, 0, 3.1415926535897931) q[0];  // gphase(0)\n"
                     "cx q[0],q[1];\n"
                     "crz(1.5707963267948966) q[1],q[0];\n"
                     "u1(0.78539816339744828) q[1];\n"
                     "u3(0, 0, 0) q[1];  // gphase(3.1415926535897931)\n");
}

TEST_F(QasmExportTest, ControlledPhaseGoesOnTheSameControls)
{
    buildRandomCircuit(*ws_, 4, 1, 0, 1);
    const Complex phase = fromPolar(1.0, 0.5);
    ws_->gates[1] = TGATE1{{phase, {}, {}, phase}, 3, 0, 4, {0, 1, 3, 2}};
    const QasmExport exported = qasm3Text(*ws_);
    EXPECT_NE(exported.text.find("ctrl(3) @ U(0, 0, 0) q[0], q[2], q[1], q[3];\n"), std::string::npos);
    EXPECT_NE(exported.text.find("ctrl(3) @ gphase(0.5) q[0], q[2], q[1];\n"), std::string::npos);
    expectExactReadBack(exported, composedCircuit());
}

TEST_F(QasmExportTest, AnEmptyCircuitGivesValidProgramsOfTheIdentity)
{
    buildRandomCircuit(*ws_, 3, 0, 0, 1);
    for (const QasmExport& exported : {qasm3Text(*ws_), qasm2Text(*ws_)}) {
        ASSERT_TRUE(exported.ok());
        const ParsedQasm program = readQasm(exported.text);
        EXPECT_EQ(program.qubitCount, 3);
        EXPECT_EQ(program.gateCount(), 0);
        EXPECT_EQ(program.globalPhase, 0.0);
    }
}

TEST_F(QasmExportTest, OpenQasm2RefusesAGateWithTwoControlsAndNamesIt)
{
    buildRandomCircuit(*ws_, 3, 5, 1, 7);
    ws_->gates[4] = TGATE1{ws_->pauliX, 2, 0, 3, {0, 1, 2}};
    const QasmExport refused = qasm2Text(*ws_);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.text.empty());
    EXPECT_NE(refused.refusal.find("gate 4"), std::string::npos) << refused.refusal;
    EXPECT_NE(refused.refusal.find("2 controls"), std::string::npos) << refused.refusal;
    expectExactReadBack(qasm3Text(*ws_), composedCircuit());
}

TEST_F(QasmExportTest, BrokenGatesAreRefusedRatherThanWrittenAsInvalidPrograms)
{
    struct Breakage {
        const char* name;
        TGATE1 gate;
        const char* reason;
    };
    const TMATICA2 nan{{std::nan(""), 0.0}, {}, {}, {1.0, 0.0}};
    const Breakage cases[] = {
        {"target beyond the qubits", TGATE1{identityMatrix2(), 0, 0, 4, {}}, "outside the circuit"},
        {"target zero", TGATE1{identityMatrix2(), 0, 0, 0, {}}, "outside the circuit"},
        {"control beyond the qubits", TGATE1{identityMatrix2(), 1, 0, 1, {0, 7}}, "outside the circuit"},
        {"control equal to the target", TGATE1{identityMatrix2(), 1, 0, 2, {0, 2}}, "one qubit twice"},
        {"repeated control", TGATE1{identityMatrix2(), 2, 0, 1, {0, 3, 3}}, "one qubit twice"},
        {"not unitary", TGATE1{{{2.0, 0.0}, {}, {}, {1.0, 0.0}}, 0, 0, 1, {}}, "not unitary"},
        {"not a number", TGATE1{nan, 0, 0, 1, {}}, "not unitary"},
    };
    for (const Breakage& breakage : cases) {
        SCOPED_TRACE(breakage.name);
        buildRandomCircuit(*ws_, 3, 3, 1, 9);
        ws_->gates[2] = breakage.gate;
        for (const QasmExport& exported : {qasm3Text(*ws_), qasm2Text(*ws_)}) {
            EXPECT_FALSE(exported.ok());
            EXPECT_NE(exported.refusal.find("gate 2 "), std::string::npos) << exported.refusal;
            EXPECT_NE(exported.refusal.find(breakage.reason), std::string::npos) << exported.refusal;
        }
    }
}

TEST_F(QasmExportTest, ExportWritesTheFileOrShowsWhyNot)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "udecomp-qasm-export-test";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "circuit.qasm").string();
    std::filesystem::remove(path);
    buildRandomCircuit(*ws_, 3, 10, 2, 11);
    ws_->gates[1] = TGATE1{ws_->pauliX, 2, 0, 3, {0, 1, 2}};
    HeadlessPresentation ui;

    ASSERT_TRUE(exportQasm(*ws_, QasmVersion::v3, path, ui));
    EXPECT_TRUE(ui.messages.empty());
    std::ifstream file(path, std::ios::binary);
    std::stringstream written;
    written << file.rdbuf();
    EXPECT_EQ(written.str(), qasm3Text(*ws_).text);

    EXPECT_FALSE(exportQasm(*ws_, QasmVersion::v2, path, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    EXPECT_EQ(ui.messages[0].text, qasm2Text(*ws_).refusal);

    EXPECT_FALSE(exportQasm(*ws_, QasmVersion::v3, (folder / "missing" / "circuit.qasm").string(), ui));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_NE(ui.messages[1].text.find("missing"), std::string::npos);
    std::filesystem::remove_all(folder);
}

TEST_F(QasmExportTest, DecomposedCircuitsReadBackAtEveryEndStage)
{
    const char* stageNames[] = {"basic gates", "L1(U) gates", "Generalized Toffoli gates"};
    for (int qubits = 2; qubits <= 5; ++qubits) {
        for (int endStage = 0; endStage <= 2; ++endStage) {
            SCOPED_TRACE(std::to_string(qubits) + " qubits, " + stageNames[endStage]);
            HeadlessPresentation ui;
            ui.recordEvents = false;
            ui.endStageIndex = endStage;
            const auto input = std::make_unique<TMATICA1>(seededRandomUnitary(qubits, 40 + qubits));
            loadUnitary(*ws_, *input, qubits);
            decompose(*ws_, ui);
            ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
            ASSERT_GT(ws_->pocetb1, 0);

            const TMATICA1& circuit = composedCircuit();
            expectExactReadBack(qasm3Text(*ws_), circuit);
            EXPECT_LE(maxDifference(*readBack_, *input, ws_->matrixSize), 1e-6);

            const QasmExport exported2 = qasm2Text(*ws_);
            if (endStage == 2 && maxControlCount(*ws_) >= 2) {
                EXPECT_FALSE(exported2.ok());
                continue;
            }
            expectReadBackUpToPhase(exported2, circuit);
            EXPECT_LE(differenceUpToPhase(*input, *readBack_, ws_->matrixSize), 1e-6);
        }
    }
}

TEST(QasmReader, RejectsTextOutsideTheExportedSubset)
{
    const std::string head = "OPENQASM 3.0;\ninclude \"stdgates.inc\";\nqubit[2] q;\n";
    const char* bad[] = {
        "U(1, 2, 3) q[0]\n",          // no semicolon
        "h q[0];\n",                  // gate outside the subset
        "U(1, 2, 3) q[2];\n",         // qubit out of range
        "cx q[1], q[1];\n",           // one qubit twice
        "ctrl(2) @ U(1, 2, 3) q[0], q[1];\n",  // too few operands
        "U(1, 2) q[0];\n",            // too few angles
    };
    EXPECT_NO_THROW(readQasm(head + "U(1, 2, 3) q[0];\n"));
    for (const char* statement : bad)
        EXPECT_THROW(readQasm(head + statement), QasmSyntaxError) << statement;
    EXPECT_THROW(readQasm("OPENQASM 2.0;\ninclude \"stdgates.inc\";\nqreg q[2];\n"), QasmSyntaxError);
}

TEST(QasmCircuitExport, WritesCxOnlyForAGateThatIsPauliXToTheBit)
{
    TGATE1 exact;
    exact.type = 1;
    exact.target = 2;
    exact.controls[1] = 1;
    exact.u = {{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    TGATE1 nearly = exact;
    // X e^(i 3.65e-13): a controlled phase too small for the eye, but not nothing.
    const Complex phase = fromPolar(1.0, 3.65e-13);
    nearly.u = {{0.0, 0.0}, phase, phase, {0.0, 0.0}};
    const TGATE1 gates[] = {exact, nearly};
    const QasmCircuit circuit{gates, 2};
    const std::string v3 = qasm3Text(circuit).text;
    EXPECT_NE(v3.find("cx q[0], q[1];\nctrl(1) @ U("), std::string::npos) << v3;
    EXPECT_NE(v3.find("ctrl(1) @ gphase(3.65"), std::string::npos) << v3;
    const std::string v2 = qasm2Text(circuit).text;
    EXPECT_EQ(v2.find("cx q[0],q[1];\ncx"), std::string::npos) << v2;
    EXPECT_NE(v2.find("cx q[0],q[1];\ncrz("), std::string::npos) << v2;
    EXPECT_NE(v2.find("cu3(3.1415926535897931, 0, 0) q[0],q[1];"), std::string::npos) << v2;
}
