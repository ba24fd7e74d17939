// TEMPORARY STUB: replaced by its owner.
#include "engine/reduction/reduction.h"
void resetReduction(Workspace&) {}
void reduceStage(Workspace&, Presentation&, TMATICA1&, int) {}
