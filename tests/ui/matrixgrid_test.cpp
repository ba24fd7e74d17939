#include "ui/matrixgrid.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

void setQubits(Workspace& ws, int qubits)
{
    ws.qubitCount = qubits;
    ws.matrixSize = 1 << qubits;
}

}  // namespace

TEST(MatrixGrid, ShowsTheStartUpMatrixWithTwoDecimalsAndBinaryLabels)
{
    HeadlessPresentation ui;
    const auto ws = createWorkspace(ui);
    showMatrixInGrid(*ws, ui, ws->matrixA);
    // grid column first, then grid row
    EXPECT_EQ(ui.gridCell(4, 1), "-1.00i");
    EXPECT_EQ(ui.gridCell(3, 2), "-1.00i");
    EXPECT_EQ(ui.gridCell(2, 3), "1.00i");
    EXPECT_EQ(ui.gridCell(1, 4), "1.00i");
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c)
            if (r + c != 5) {
                EXPECT_EQ(ui.gridCell(c, r), "") << c << "," << r;
            }
    const char* labels[] = {"00", "01", "10", "11"};
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(ui.gridCell(0, r), labels[r - 1]);
        EXPECT_EQ(ui.gridCell(r, 0), labels[r - 1]);
    }
    // The corner stays unwritten; nothing outside the 5 x 5 grid is written.
    EXPECT_EQ(ui.gridCells.count({0, 0}), 0u);
    EXPECT_EQ(ui.gridCells.size(), 4u * 4u + 2u * 4u);
}

TEST(MatrixGrid, WritesEveryCellAndNeitherResizesNorShowsTheGrid)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ui.gridCells[{2, 2}] = "stale";
    ui.clearRecords();
    auto m = std::make_unique<TMATICA1>();
    (*m)(1, 1) = {1.0, 0.0};
    (*m)(1, 2) = {0.005, 0.5};
    (*m)(2, 1) = {0.5, -0.25};
    (*m)(3, 4) = {-0.004, 0.009};
    (*m)(5, 5) = {7.0, 7.0};  // outside the block
    showMatrixInGrid(*ws, ui, *m);
    EXPECT_EQ(ui.gridCell(1, 1), "1.00");
    EXPECT_EQ(ui.gridCell(2, 1), "0.50i");
    EXPECT_EQ(ui.gridCell(1, 2), "0.50-0.25i");
    EXPECT_EQ(ui.gridCell(2, 2), "") << "an empty entry still overwrites the old text";
    EXPECT_EQ(ui.gridCell(4, 3), "");
    EXPECT_EQ(ui.gridCells.count({5, 5}), 0u);
    for (const Event& e : ui.events)
        ASSERT_EQ(e.kind, EventKind::gridCell);
    EXPECT_EQ(ui.events.size(), 4u * 4u + 2u * 4u);
}

TEST(MatrixGrid, LabelsPutTheDigitOfQubitOneFirst)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    setQubits(*ws, 3);
    showMatrixInGrid(*ws, ui, ws->matrixA);
    EXPECT_EQ(ui.gridCell(0, 1), "000");
    EXPECT_EQ(ui.gridCell(0, 2), "001");
    EXPECT_EQ(ui.gridCell(5, 0), "100");
    EXPECT_EQ(ui.gridCell(8, 0), "111");
    // The 8 x 8 block of the start-up matrix holds two copies of K.
    EXPECT_EQ(ui.gridCell(8, 5), "-1.00i");
    EXPECT_EQ(ui.gridCell(4, 5), "");

    setQubits(*ws, 5);
    ui.clearRecords();
    showMatrixInGrid(*ws, ui, ws->matrixA);
    EXPECT_EQ(ui.gridCell(0, 2), "00001");
    EXPECT_EQ(ui.gridCell(17, 0), "10000");
    EXPECT_EQ(ui.gridCell(0, 32), "11111");
    EXPECT_EQ(ui.gridCell(32, 29), "");  // rows 17..32 of the start-up matrix are zero
    EXPECT_EQ(ui.gridCell(16, 13), "-1.00i");
    EXPECT_EQ(ui.events.size(), 32u * 32u + 2u * 32u);
}
