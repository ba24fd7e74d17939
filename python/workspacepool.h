#pragma once
// Workspaces for Python calls. Each call borrows one of its own; a finished
// circuit keeps the workspace its run left, and gives it back when Python drops
// the circuit. Given-back workspaces are reused: a fresh one would map and fault
// in its 400,001-slot circuit list again on every call.

#include <memory>

class Presentation;
struct Workspace;

// A workspace in its start-up state, for this caller alone until the last copy
// of the pointer is gone. Clears the "Show optimization steps" mark of `ui`, as
// the start-up does.
std::shared_ptr<Workspace> borrowWorkspace(Presentation& ui);
