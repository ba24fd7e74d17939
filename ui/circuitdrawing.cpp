// TEMPORARY STUB: replaced by its owner.
#include "ui/circuitdrawing.h"
void drawCircuit(const Workspace&, Presentation&, std::span<const TGATE1>, int, int) {}
