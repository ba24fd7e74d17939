// The comparison of the routes: each row against a separate run of its end
// stage on the same matrix, the lower bound, and the table in its three forms.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "engine/endstage.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/comparison.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"

namespace {

struct SeparateRun {
    RunSummary summary;
    std::vector<TGATE1> gates;
};

SeparateRun runEndStage(const TMATICA1& matrix, int qubits, int endStage)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.endStageIndex = endStage;
    auto ws = createWorkspace(ui);
    ws->qubitCount = qubits;
    ws->matrixSize = 1 << qubits;
    ws->matrixA = matrix;
    SeparateRun run{decomposeRecorded(*ws, ui), {}};
    run.gates.assign(ws->gates.begin() + 1, ws->gates.begin() + 1 + ws->pocetb1);
    return run;
}

TEST(Comparison, EveryRowIsWhatARunOfItsEndStageGives)
{
    for (const int qubits : {2, 3}) {
        const TMATICA1 matrix = seededRandomUnitary(qubits, 7);
        std::vector<int> seen;
        ComparisonSettings settings;
        settings.routeDone = [&](const RouteRun& route) { seen.push_back(route.figures.endStage); };
        const Comparison c = compareRoutes(matrix, qubits, settings);
        EXPECT_EQ(c.qubitCount, qubits);
        EXPECT_EQ(c.lowerBound, qubits == 2 ? 3 : 14);
        ASSERT_EQ(c.routes.size(), 3u) << "two-level, fewest CNOTs, numerical";
        EXPECT_EQ(seen, comparedEndStages(qubits)) << "told as each route finished, in the table's order";
        for (const RouteRun& route : c.routes) {
            const RouteFigures& f = route.figures;
            const SeparateRun separate = runEndStage(matrix, qubits, f.endStage);
            const std::string what = std::string(endStageOfBox(f.endStage).itemText) + ", " + std::to_string(qubits);
            EXPECT_EQ(f.gateCount, separate.summary.gateCount) << what;
            EXPECT_EQ(f.cnotCount, separate.summary.cnotCount) << what;
            EXPECT_EQ(route.gates.size(), separate.gates.size()) << what;
            ASSERT_TRUE(f.maxEntryDifference && separate.summary.maxEntryDifference) << what;
            EXPECT_EQ(*f.maxEntryDifference, *separate.summary.maxEntryDifference) << what;
            EXPECT_LE(*f.maxEntryDifference, 1e-12) << what;
            EXPECT_TRUE(f.checksPassed) << what;
            EXPECT_EQ(f.oneQubitGateCount + f.cnotCount, f.gateCount) << what << ": basic gates only";
            EXPECT_GT(f.depth, 0) << what;
            EXPECT_LE(f.cnotDepth, f.cnotCount) << what;
            EXPECT_FALSE(route.log.empty()) << what;
        }
        EXPECT_EQ(fewestCnotRoute(c).figures.cnotCount, qubits == 2 ? 3 : 14);
    }
}

TEST(Comparison, AFailedRouteIsNeverTheOneWithTheFewestCnots)
{
    Comparison c;
    c.routes.resize(3);
    c.routes[0].figures = {0, 10, 2, 8, 5, 2, 1e-14, false, 0.1};
    c.routes[1].figures = {3, 10, 4, 6, 5, 4, 1e-14, true, 0.1};
    c.routes[2].figures = {4, 10, 4, 6, 5, 4, 1e-14, true, 0.1};
    EXPECT_EQ(fewestCnotRoute(c).figures.endStage, 3) << "the first of the equal ones that passed";
}

TEST(Comparison, TheTableAlignsItsColumnsAndItsCellsAndJsonHoldEveryRow)
{
    const Comparison c = compareRoutes(seededRandomUnitary(2, 3), 2, {});
    const std::string table = comparisonTable(c);
    std::istringstream lines(table);
    std::string header, line;
    std::getline(lines, header);
    EXPECT_EQ(header.substr(0, 9), "end stage");
    const std::size_t cnotsEnd = header.find("CNOTs") + 5;
    int rows = 0;
    while (std::getline(lines, line)) {
        ++rows;
        // Right-aligned: every CNOT count ends where the header does.
        ASSERT_GE(line.size(), cnotsEnd) << line;
        EXPECT_NE(line[cnotsEnd - 1], ' ') << line;
        EXPECT_TRUE(cnotsEnd == line.size() || line[cnotsEnd] == ' ') << line;
    }
    EXPECT_EQ(rows, 4) << "three routes and the lower bound";
    EXPECT_NE(table.find("lower bound (2 qubits)"), std::string::npos);

    const std::string tabs = comparisonCells(c, '\t');
    EXPECT_EQ(tabs.substr(0, tabs.find('\n')), "end stage\tgates\tCNOTs\tone-qubit gates\tdepth\tCNOT depth\terror\tchecks\tseconds");
    const std::string csv = comparisonCells(c, ',');
    EXPECT_NE(csv.find("\"basic gates, fewest CNOTs\","), std::string::npos) << "a name with a comma is quoted";

    const std::string json = comparisonJson(c, "{\n  \"endStage\": \"basic gates\"\n}\n");
    EXPECT_EQ(json.substr(0, 30), "{\n  \"endStage\": \"basic gates\",");
    EXPECT_NE(json.find("\"lowerBound\": 3,"), std::string::npos) << json;
    for (const char* key : {"\"gateCount\"", "\"cnotCount\"", "\"oneQubitGateCount\"", "\"depth\"", "\"cnotDepth\"",
                            "\"maxEntryDifference\"", "\"checksPassed\": true", "\"seconds\""}) {
        std::size_t count = 0;
        for (std::size_t at = json.find(key); at != std::string::npos; at = json.find(key, at + 1))
            ++count;
        EXPECT_EQ(count, 3u) << key;
    }
    EXPECT_EQ(json.substr(json.size() - 6), "  ]\n}\n");
}

}  // namespace
