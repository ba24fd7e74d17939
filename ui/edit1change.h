#pragma once
// The qubit-count field's change handling, shared by the window and the file reader.

class Presentation;
struct Workspace;

// Reads the qubit field; on an accepted count sets the size, empties the
// circuit, resizes the grid and generates a random matrix.
void Edit1Change(Workspace& ws, Presentation& ui);
