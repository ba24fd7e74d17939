// TEMPORARY STUB: replaced by its owner.
#include "engine/synthesis/toffolistage.h"
void DoL1U(Workspace&, Presentation&) {}
