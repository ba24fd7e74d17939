#pragma once
// A finished circuit as Python keeps it: 12 bytes a gate, and a 2 x 2 matrix
// only for the gates that are not a CNOT's pauliX, instead of the workspace's
// 400,001 gate slots of 72 bytes.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/synthesis/gate.h"

struct CompactGate {
    std::int32_t matrix = -1;  // index into CompactCircuit::matrices; -1 for exactly pauliX
    std::uint8_t type = 0;
    std::uint8_t removed = 0;
    std::uint8_t target = 0;
    std::array<std::uint8_t, 4> controls{};  // controls[1..4] of the gate
};

struct CompactCircuit {
    std::vector<CompactGate> gates;
    std::vector<TMATICA2> matrices;
};

CompactCircuit compactCircuit(std::span<const TGATE1> gates);
std::vector<TGATE1> expandedGates(const CompactCircuit& circuit);
