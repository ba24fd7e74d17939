// TEMPORARY STUB: replaced by its owner.
#include "engine/synthesis/tpqsynthesis.h"
void synthesizeTpq(Workspace&, Presentation&, int) {}
void synthesizeD(Workspace&, Presentation&) {}
