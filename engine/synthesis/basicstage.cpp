// TEMPORARY STUB: replaced by its owner.
#include "engine/synthesis/basicstage.h"
void Doelementarnych(Workspace&, Presentation&) {}
