// Block-ZXZ recursion (Krol and Al-Ars, arXiv:2403.13692 (2024)) with the
// demultiplexing and CNOT hand-over of Shende, Bullock, Markov (2006).
#include "engine/shannon/zxzrecursion.h"

#include <array>
#include <functional>
#include <cmath>
#include <vector>

#include "engine/shannon/blockzxz.h"
#include "engine/shannon/demultiplex.h"
#include "engine/shannon/sidebyside.h"
#include "engine/shannon/structure.h"
#include "engine/shannon/ucrotation.h"

namespace {

// From this many qubits on, a level's independent pieces run side by side; at
// five qubits and below every piece is quicker than a thread.
constexpr int sideBySideQubits = 6;

std::vector<int> without(std::span<const int> qubits, std::size_t index)
{
    std::vector<int> rest;
    for (std::size_t i = 0; i < qubits.size(); ++i)
        if (i != index)
            rest.push_back(qubits[i]);
    return rest;
}

std::vector<int> withFirst(std::span<const int> qubits, std::size_t index)
{
    std::vector<int> order{qubits[index]};
    const std::vector<int> rest = without(qubits, index);
    order.insert(order.end(), rest.begin(), rest.end());
    return order;
}

// diag(d_j, conj(d_j)) on the target is Rz(-2 arg d_j).
std::vector<double> rotationAngles(const CVec& d)
{
    std::vector<double> theta(static_cast<std::size_t>(d.size()));
    for (int j = 0; j < d.size(); ++j)
        theta[j] = -2.0 * std::arg(d(j));
    return theta;
}

void appendRotations(BlockCircuit& circuit, const CVec& d, std::span<const int> qubits, ChainEnds ends)
{
    GateList gates;
    const std::vector<double> theta = rotationAngles(d);
    appendUniformlyControlledRz(gates, qubits[0], qubits.subspan(1), theta, ends, circuit.tolerances.sameAngle);
    for (const TGATE1& g : gates)
        appendGate(circuit, g);
}

// diag(p, q) on qubits[0]: w, the rotations, v.
void appendMultiplexor(BlockCircuit& circuit, const CMat& p, const CMat& q, std::span<const int> qubits)
{
    const Demultiplexed split = demultiplex(p, q);
    appendUnitary(circuit, split.w, qubits.subspan(1));
    appendRotations(circuit, split.d, qubits, ChainEnds::full);
    appendUnitary(circuit, split.v, qubits.subspan(1));
}

// One Newton-Schulz step, u (3 I - u^dagger u) / 2: a deviation from unitarity of d becomes one of about d^2.
CMat nearUnitaryPolished(const CMat& u)
{
    const int size = static_cast<int>(u.rows());
    return u * (3.0 * CMat::Identity(size, size) - u.adjoint() * u) / 2.0;
}

}  // namespace

void appendUnitary(BlockCircuit& circuit, const CMat& unpolished, std::span<const int> qubits)
{
    const int count = static_cast<int>(qubits.size());
    // Rounding leaves each factor unitary only to some 1e-14; left alone, that
    // grows level by level into the one-qubit gates.
    const CMat u = nearUnitaryPolished(unpolished);
    if (count == 1) {
        appendGate(circuit, oneQubitGate(qubits[0], toTmatica2(u)));
        return;
    }
    // A qubit that splits off costs no CNOT; the rest is smaller.
    for (int index = 0; index < count; ++index) {
        Mat2 factor;
        CMat rest;
        if (splitFirstQubit(withQubitFirst(u, count, index), factor, rest, circuit.tolerances.structure)) {
            appendGate(circuit, oneQubitGate(qubits[index], toTmatica2(factor)));
            const std::vector<int> others = without(qubits, index);
            appendUnitary(circuit, rest, others);
            return;
        }
    }
    if (count == 2) {
        appendBlock(circuit, u, qubits[0], qubits[1]);
        return;
    }
    // A multiplexor on any qubit skips the factorization.
    for (int index = 0; index < count; ++index) {
        const CMat reordered = withQubitFirst(u, count, index);
        if (isBlockDiagonal(reordered, circuit.tolerances.structure)) {
            const int half = static_cast<int>(reordered.rows()) / 2;
            const std::vector<int> order = withFirst(qubits, index);
            appendMultiplexor(circuit, reordered.topLeftCorner(half, half), reordered.bottomRightCorner(half, half),
                              order);
            return;
        }
    }
    appendZxzLevel(circuit, u, qubits, appendUnitary);
}

// One block-ZXZ level on qubits[0]. In circuit order diag(I, C), H, diag(I, B),
// H, diag(A1, A2); the outer multiplexors give their outer halves and
// rotations, their inner halves join the middle one. The rotation chains end
// on a CNOT from qubits[1] next to each H; H turns it into a CZ, diagonal,
// which joins the middle multiplexor as Z on qubits[1] in its lower block.
void appendZxzLevel(BlockCircuit& circuit, const CMat& u, std::span<const int> qubits, const HalfAppender& appendHalf)
{
    const bool large = static_cast<int>(qubits.size()) >= sideBySideQubits;
    const bool sideBySide = circuit.sideBySide && large;
    const BlockZxz f = blockZxz(u, sideBySide);
    const int half = static_cast<int>(f.a1.rows());
    Demultiplexed outerC;
    Demultiplexed outerA;
    const std::function<void()> outerHalves[] = {
        // Beyond five qubits the products by I and by Z below are left out: they
        // change nothing but signs, and their time is worth saving there.
        [&] { outerC = large ? demultiplexFromIdentity(f.c) : demultiplex(CMat::Identity(half, half), f.c); },
        [&] { outerA = demultiplex(f.a1, f.a2); },
    };
    if (sideBySide)
        runSideBySide(outerHalves);
    else
        for (const auto& task : outerHalves)
            task();

    CMat zOnSecond = CMat::Identity(half, half);
    zOnSecond.bottomRightCorner(half / 2, half / 2) *= -1.0;
    auto conjugatedByZ = [&](CMat m) {
        if (!large)
            return CMat(zOnSecond * m * zOnSecond);
        // diag(I, -I) m diag(I, -I) negates the two off-diagonal quarters.
        m.topRightCorner(half / 2, half / 2) *= -1.0;
        m.bottomLeftCorner(half / 2, half / 2) *= -1.0;
        return m;
    };
    const CMat top = outerA.w * outerC.v;
    const CMat bottom = conjugatedByZ(outerA.w * f.b * outerC.v);
    const Demultiplexed middle = demultiplex(top, bottom);

    const std::span<const int> rest = qubits.subspan(1);
    const TGATE1 hadamard = oneQubitGate(qubits[0], hadamardMatrix());
    if (!sideBySide) {
        appendHalf(circuit, outerC.w, rest);
        appendRotations(circuit, outerC.d, qubits, ChainEnds::withoutLast);
        appendGate(circuit, hadamard);
        appendHalf(circuit, middle.w, rest);
        appendRotations(circuit, middle.d, qubits, ChainEnds::full);
        appendHalf(circuit, middle.v, rest);
        appendGate(circuit, hadamard);
        appendRotations(circuit, outerA.d, qubits, ChainEnds::withoutFirst);
        appendHalf(circuit, outerA.v, rest);
        return;
    }
    // The four halves are independent: each is made into a circuit of its own,
    // and the four are joined in order, so the result is the same gate for gate.
    std::array<BlockCircuit, 4> parts;
    const std::array<const CMat*, 4> halves{&outerC.w, &middle.w, &middle.v, &outerA.v};
    std::array<std::function<void()>, 4> tasks;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        parts[k].tolerances = circuit.tolerances;
        parts[k].sideBySide = true;
        tasks[k] = [&, k] { appendHalf(parts[k], *halves[k], rest); };
    }
    runSideBySide(tasks);
    appendCircuit(circuit, parts[0]);
    appendRotations(circuit, outerC.d, qubits, ChainEnds::withoutLast);
    appendGate(circuit, hadamard);
    appendCircuit(circuit, parts[1]);
    appendRotations(circuit, middle.d, qubits, ChainEnds::full);
    appendCircuit(circuit, parts[2]);
    appendGate(circuit, hadamard);
    appendRotations(circuit, outerA.d, qubits, ChainEnds::withoutFirst);
    appendCircuit(circuit, parts[3]);
}
