#pragma once
// Tools > Compare routes... and what its window asks of the program.

#include <string>

class Presentation;
struct Workspace;

// Runs every route to basic gates on the matrix beside the window: the
// comparison window fills row by row, the progress bar counts the routes and
// Cancel stops the run (the rows done stay). The comparison stays in the workspace.
void CompareRoutesClick(Workspace& ws, Presentation& ui);

// The compared route `index` drawn with its statistics in the log, as if it had just run.
void CompareRowChosen(Workspace& ws, Presentation& ui, int index);

// Asks for a file name and writes the comparison as CSV.
void ExportComparisonCsvClick(Workspace& ws, Presentation& ui);

// The comparison as tab-separated text, for a spreadsheet; empty when there is none.
std::string comparisonClipboardText(const Workspace& ws);
