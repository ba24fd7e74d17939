// TEMPORARY STUB: replaced by its owner.
#include "workspace/qubitcount.h"
void Edit1Change(Workspace&, Presentation&) {}
