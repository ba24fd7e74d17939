#pragma once
// Tpq factors and the diagonal D into fully controlled gates along Gray-code
// chains (the two-level method of Nielsen and Chuang, section 4.5.2).

class Presentation;
struct Workspace;

// Appends the gates of table entry t; they multiply to the adjoint of T_t.
// Returns false when the circuit list was full before the last gate (the
// gates opened so far stay).
bool synthesizeTpq(Workspace& ws, Presentation& ui, int t);

// Appends the controlled diagonal gates of D; false when the list was full.
bool synthesizeD(Workspace& ws, Presentation& ui);
