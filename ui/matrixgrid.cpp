#include "ui/matrixgrid.h"

#include <string>

#include "platform/presentation.h"
#include "workspace/workspace.h"

void showMatrixInGrid(const Workspace& ws, Presentation& ui, const TMATICA1& m)
{
    const int n = ws.matrixSize;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            ui.setGridCell(c, r, complexToText(m(r, c), 2));
    for (int r = 1; r <= n; ++r) {
        // The digit of qubit 1 (the most significant bit) comes first.
        std::string label;
        for (int bit = ws.qubitCount - 1; bit >= 0; --bit)
            label += ((r - 1) >> bit) & 1 ? '1' : '0';
        ui.setGridCell(0, r, label);
        ui.setGridCell(r, 0, label);
    }
}
