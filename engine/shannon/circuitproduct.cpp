#include "engine/shannon/circuitproduct.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/shannon/matrixtypes.h"

namespace {

// Local bit masks of a gate on a matrix whose basis follows `qubits` (the first most significant).
struct GateMasks {
    Eigen::Index target = 0;
    Eigen::Index controls = 0;
};

Eigen::Index bitOf(const std::vector<int>& qubits, int qubit)
{
    const auto at = std::find(qubits.begin(), qubits.end(), qubit);
    return Eigen::Index{1} << (qubits.end() - at - 1);
}

GateMasks masksOf(const TGATE1& g, const std::vector<int>& qubits)
{
    GateMasks masks;
    masks.target = bitOf(qubits, g.target);
    for (int k = 1; k <= g.type; ++k)
        masks.controls |= bitOf(qubits, g.controls[k]);
    return masks;
}

// m := g * m, touching only the row pairs g acts on.
void applyGate(CMat& m, const TGATE1& g, const std::vector<int>& qubits)
{
    const GateMasks masks = masksOf(g, qubits);
    const Eigen::Index size = m.rows();
    const Scalar u11(g.u.u11.re, g.u.u11.im), u12(g.u.u12.re, g.u.u12.im);
    const Scalar u21(g.u.u21.re, g.u.u21.im), u22(g.u.u22.re, g.u.u22.im);
    const bool cnot = isExactCnot(g);
    for (Eigen::Index c = 0; c < size; ++c) {
        Scalar* column = m.col(c).data();
        for (Eigen::Index r = 0; r < size; ++r) {
            if ((r & masks.target) != 0 || (r & masks.controls) != masks.controls)
                continue;
            Scalar& zero = column[r];
            Scalar& one = column[r | masks.target];
            if (cnot) {
                std::swap(zero, one);
                continue;
            }
            const Scalar x = zero;
            const Scalar y = one;
            zero = u11 * x + u12 * y;
            one = u21 * x + u22 * y;
        }
    }
}

bool touches(const TGATE1& g, int qubit)
{
    if (g.target == qubit)
        return true;
    for (int k = 1; k <= g.type; ++k)
        if (g.controls[k] == qubit)
            return true;
    return false;
}

// m := (m on `rest`, for either value of the qubit at `bit`) * m.
void applyOnRest(CMat& m, const CMat& onRest, Eigen::Index bit)
{
    const Eigen::Index half = m.rows() / 2;
    const Eigen::Index low = bit - 1;
    auto fullRow = [&](Eigen::Index restRow, Eigen::Index value) {
        return ((restRow & ~low) << 1) | (value * bit) | (restRow & low);
    };
    CMat rows(half, m.cols());
    for (Eigen::Index value = 0; value < 2; ++value) {
        for (Eigen::Index r = 0; r < half; ++r)
            rows.row(r) = m.row(fullRow(r, value));
        const CMat product = onRest * rows;
        for (Eigen::Index r = 0; r < half; ++r)
            m.row(fullRow(r, value)) = product.row(r);
    }
}

// The product of `gates`, all on `qubits`.
CMat compose(std::span<const TGATE1> gates, const std::vector<int>& qubits)
{
    const Eigen::Index size = Eigen::Index{1} << qubits.size();
    CMat m = CMat::Identity(size, size);
    // A run pays for its own product on half the qubits only when it is long.
    const auto worthSplitting = [&](std::size_t run) { return run >= static_cast<std::size_t>(size / 2); };
    if (qubits.size() <= 2 || !worthSplitting(gates.size())) {
        for (const TGATE1& g : gates)
            applyGate(m, g, qubits);
        return m;
    }
    // Split off the qubit the fewest gates touch: the runs between them are longest.
    std::vector<std::size_t> touching(qubits.size(), 0);
    for (const TGATE1& g : gates)
        for (std::size_t i = 0; i < qubits.size(); ++i)
            touching[i] += touches(g, qubits[i]) ? 1 : 0;
    const std::size_t split = static_cast<std::size_t>(std::min_element(touching.begin(), touching.end()) - touching.begin());
    const int splitQubit = qubits[split];
    std::vector<int> rest = qubits;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(split));
    const Eigen::Index splitBit = bitOf(qubits, splitQubit);

    std::size_t runStart = 0;
    auto flushRun = [&](std::size_t runEnd) {
        const std::span<const TGATE1> run = gates.subspan(runStart, runEnd - runStart);
        if (worthSplitting(run.size()))
            applyOnRest(m, compose(run, rest), splitBit);
        else
            for (const TGATE1& g : run)
                applyGate(m, g, qubits);
    };
    for (std::size_t i = 0; i < gates.size(); ++i) {
        if (!touches(gates[i], splitQubit))
            continue;
        flushRun(i);
        applyGate(m, gates[i], qubits);
        runStart = i + 1;
    }
    flushRun(gates.size());
    return m;
}

}  // namespace

DenseMatrix circuitProduct(std::span<const TGATE1> gates, int qubitCount)
{
    if (qubitCount < 1 || qubitCount > 10)
        throw std::invalid_argument("circuitProduct takes 1 to 10 qubits, not " + std::to_string(qubitCount));
    for (const TGATE1& g : gates) {
        bool named = g.target >= 1 && g.target <= qubitCount && g.type <= 4;
        for (int k = 1; named && k <= g.type; ++k)
            named = g.controls[k] >= 1 && g.controls[k] <= qubitCount && g.controls[k] != g.target;
        if (!named)
            throw std::invalid_argument("a gate names a qubit outside 1.." + std::to_string(qubitCount));
    }
    std::vector<int> qubits(static_cast<std::size_t>(qubitCount));
    for (int q = 1; q <= qubitCount; ++q)
        qubits[static_cast<std::size_t>(q - 1)] = q;
    return toDenseMatrix(compose(gates, qubits));
}
