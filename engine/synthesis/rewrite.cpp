#include "engine/synthesis/rewrite.h"

#include <algorithm>

#include "platform/presentation.h"
#include "workspace/workspace.h"

InPlaceRewrite beginInPlaceRewrite(Workspace& ws, Presentation& ui)
{
    const int count = ws.pocetb1;
    // Backwards, so no gate is overwritten before it has moved.
    std::copy_backward(ws.gates.begin() + 1, ws.gates.begin() + count + 1, ws.gates.begin() + maxGates + 1);
    ui.setProgressMaximum(count);
    ui.setProgressPosition(0);
    ui.setProgressStep(1);
    ui.setProgressVisible(true);
    return {count, maxGates - count + 1};
}

void keepUnreadTail(Workspace& ws, int written, int firstUnread)
{
    // written < firstUnread always holds, so a forward copy never reads a slot it wrote.
    std::copy(ws.gates.begin() + firstUnread, ws.gates.begin() + maxGates + 1, ws.gates.begin() + written + 1);
    ws.pocetb1 = written + (maxGates - firstUnread + 1);
}
