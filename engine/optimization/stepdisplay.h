#pragma once
// Showing one step of a drag: the circuit as it stands at that moment of the
// drag is drawn, and the user is asked whether to go on showing steps.

#include <string_view>

class Presentation;
struct OptimizationRun;
struct Workspace;

// The partner lies left of the moving gate. Fills run.stepList, sets
// ws.selectedGate, draws the list and asks; Cancel clears "Show optimization steps".
void showLeftStep(Workspace& ws, Presentation& ui, OptimizationRun& run, std::string_view text);

// The same with the partner right of the moving gate.
void showRightStep(Workspace& ws, Presentation& ui, OptimizationRun& run, std::string_view text);
