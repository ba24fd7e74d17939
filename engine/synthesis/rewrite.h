#pragma once
// In-place rewriting of the circuit list by a synthesis stage: the circuit is
// moved to the top end of the list and the result is written from slot 1
// upwards, below the gates not yet read.

class Presentation;
struct Workspace;

struct InPlaceRewrite {
    int count = 0;        // gates in the circuit before the stage
    int firstUnread = 0;  // slot of the first moved gate: maxGates - count + 1
};

// Moves gates 1..pocetb1 to slots maxGates - pocetb1 + 1 .. maxGates in their
// order and shows the progress bar (maximum pocetb1, position 0, step 1).
InPlaceRewrite beginInPlaceRewrite(Workspace& ws, Presentation& ui);

// Ends a stage that ran out of room: slots 1..written hold the rewritten head,
// the gates from slot firstUnread to maxGates are moved directly behind it,
// and pocetb1 becomes the sum, so the list is again one circuit equal to the input.
void keepUnreadTail(Workspace& ws, int written, int firstUnread);
