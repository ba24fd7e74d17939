// udecomp: the headless command line (placeholder until the full front arrives).
#include <iostream>

#include "platform/headlesspresentation.h"
#include "ui/matrixgrid.h"
#include "workspace/workspace.h"

int main()
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ui.setGridSize(ws->matrixSize + 1, ws->matrixSize + 1);
    showMatrixInGrid(*ws, ui, ws->matrixA);
    for (int r = 0; r <= ws->matrixSize; ++r) {
        for (int c = 0; c <= ws->matrixSize; ++c)
            std::cout << (c ? "\t" : "") << ui.gridCell(c, r);
        std::cout << '\n';
    }
    return 0;
}
