#pragma once
// The gates of the two standard include files, as OpenQASM gate definitions.

#include <string_view>

// qelib1.inc: every gate keeps the meaning of its published body. Gates whose body
// only builds a controlled version of an exact gate are written with ctrl @.
extern const std::string_view qelib1Gates;

// stdgates.inc, phases included; s, t and sx written without pow(1/2) @.
extern const std::string_view stdGates;
