// Tools > Compare routes... without a window: the table fills as the routes
// end, a chosen row becomes the circuit shown, the table goes out as text and
// CSV, and Cancel keeps the rows done.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "ui/comparisoncommands.h"
#include "workspace/comparison.h"
#include "workspace/workspace.h"

namespace {

class CompareRoutes : public ::testing::Test {
protected:
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    void useRandomMatrix(int qubits, std::uint64_t seed)
    {
        ws->qubitCount = qubits;
        ws->matrixSize = 1 << qubits;
        ws->matrixA = seededRandomUnitary(qubits, seed);
    }
};

TEST_F(CompareRoutes, TheTableFillsRowByRowAndAChosenRowIsDrawnAsIfItHadRun)
{
    useRandomMatrix(3, 2);
    ui.recordEvents = false;
    CompareRoutesClick(*ws, ui);
    ASSERT_TRUE(ws->comparison);
    const Comparison& c = *ws->comparison;
    ASSERT_EQ(c.routes.size(), 3u);
    EXPECT_EQ(c.lowerBound, 14);
    EXPECT_GE(ui.comparisonShown, 2) << "opened empty, then brought up to date as routes ended";
    EXPECT_EQ(ui.log.back(), "The routes were compared: the table is in the window \"Compare routes\".");
    EXPECT_FALSE(ui.cancelVisible);
    EXPECT_FALSE(ui.progressVisible);

    for (int k = 0; k < 3; ++k) {
        const RouteRun& route = c.routes[static_cast<std::size_t>(k)];
        const std::size_t logBefore = ui.log.size();
        CompareRowChosen(*ws, ui, k);
        ASSERT_EQ(ws->pocetb1, static_cast<int>(route.gates.size())) << k;
        EXPECT_EQ(cnotCount(std::span(ws->gates).subspan(1, ws->pocetb1)), route.figures.cnotCount) << k;
        EXPECT_EQ(ws->tpqCount, static_cast<int>(route.tpqFactors.size())) << k;
        EXPECT_EQ(ui.log.size(), logBefore + route.log.size()) << "the route's log, as if it had just run";
        EXPECT_EQ(ui.labelText(Label::Label11), std::to_string(route.gates.size())) << "No. of gates";
        EXPECT_TRUE(ui.drawingVisible);
        EXPECT_LE(compositionError(*ws, ui, seededRandomUnitary(3, 2)), 1e-12) << k;
    }
    EXPECT_GT(c.routes[0].tpqFactors.size(), 0u) << "the two-level route keeps its factors for the report";
    CompareRowChosen(*ws, ui, 7);  // no such row: nothing changes
    EXPECT_EQ(ws->pocetb1, static_cast<int>(c.routes[2].gates.size()));
}

TEST_F(CompareRoutes, TheTableGoesOutAsTabsAndAsCsv)
{
    EXPECT_EQ(comparisonClipboardText(*ws), "");
    ExportComparisonCsvClick(*ws, ui);
    ASSERT_EQ(ui.messages.size(), 1u) << "nothing compared yet";

    useRandomMatrix(2, 4);
    CompareRoutesClick(*ws, ui);
    const std::string tabs = comparisonClipboardText(*ws);
    EXPECT_EQ(std::count(tabs.begin(), tabs.end(), '\n'), 5) << "header, three routes, lower bound";
    EXPECT_EQ(std::count(tabs.begin(), tabs.end(), '\t'), 5 * 8);

    const auto file = std::filesystem::temp_directory_path() / "udecomp-comparison-test.csv";
    ui.saveFileAnswer = file.string();
    CompareRoutesClick(*ws, ui);
    ExportComparisonCsvClick(*ws, ui);
    std::ifstream in(file);
    const std::string csv{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(csv, comparisonCells(*ws->comparison, ','));
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "end stage,gates,CNOTs,one-qubit gates,depth,CNOT depth,error,checks,seconds");
    std::filesystem::remove(file);
}

TEST_F(CompareRoutes, CancelStopsTheRunAndKeepsTheRowsDone)
{
    useRandomMatrix(5, 6);
    ui.recordEvents = false;
    ui.cancelWhen = [] { return true; };
    CompareRoutesClick(*ws, ui);
    ASSERT_TRUE(ws->comparison);
    EXPECT_LT(ws->comparison->routes.size(), 3u);
    EXPECT_EQ(ui.log.back(), "The comparison of the routes was cancelled; the routes done stay in its table.");
    EXPECT_FALSE(ui.cancelVisible);
}

}  // namespace
