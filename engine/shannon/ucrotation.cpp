// Uniformly controlled rotations: Mottonen, Vartiainen, Bergholm, Salomaa (2004).
#include "engine/shannon/ucrotation.h"

#include <bit>
#include <cmath>

namespace {

int grayCode(int i) { return i ^ (i >> 1); }

// Whether theta is the same for both values of index bit `bit`.
bool independentOfBit(std::span<const double> theta, int bit, double tolerance)
{
    const std::size_t mask = std::size_t{1} << bit;
    for (std::size_t j = 0; j < theta.size(); ++j)
        if ((j & mask) == 0 && std::fabs(theta[j] - theta[j | mask]) > tolerance)
            return false;
    return true;
}

// theta without index bit `bit` (the states with that bit 0 kept).
std::vector<double> withoutBit(std::span<const double> theta, int bit)
{
    std::vector<double> kept;
    const std::size_t mask = std::size_t{1} << bit;
    for (std::size_t j = 0; j < theta.size(); ++j)
        if ((j & mask) == 0)
            kept.push_back(theta[j]);
    return kept;
}

void appendRotation(GateList& out, int target, double alpha)
{
    if (alpha != 0.0)
        out.push_back(oneQubitGate(target, rzMatrix(alpha)));
}

}  // namespace

std::vector<double> grayCodeAngles(std::span<const double> theta)
{
    // theta_j = sum_i (-1)^(j . g_i) alpha_i with g_i the i-th Gray code word.
    const int count = static_cast<int>(theta.size());
    std::vector<double> alpha(theta.size(), 0.0);
    for (int i = 0; i < count; ++i) {
        double sum = 0.0;
        for (int j = 0; j < count; ++j)
            sum += (std::popcount(static_cast<unsigned>(j & grayCode(i))) % 2 == 0) ? theta[j] : -theta[j];
        alpha[i] = sum / count;
    }
    return alpha;
}

void appendUniformlyControlledRz(GateList& out, int target, std::span<const int> controls,
                                 std::span<const double> theta, ChainEnds ends, double sameAngle)
{
    std::vector<int> keptControls(controls.begin(), controls.end());
    std::vector<double> keptTheta(theta.begin(), theta.end());
    if (ends == ChainEnds::full) {
        // Index bit b belongs to control m - 1 - b; test from the last control up.
        for (int bit = 0; bit < static_cast<int>(keptControls.size());) {
            if (independentOfBit(keptTheta, bit, sameAngle)) {
                keptTheta = withoutBit(keptTheta, bit);
                keptControls.erase(keptControls.end() - 1 - bit);
            } else {
                ++bit;
            }
        }
    }
    const int m = static_cast<int>(keptControls.size());
    const int count = 1 << m;
    const std::vector<double> alpha = grayCodeAngles(keptTheta);
    if (m == 0) {
        appendRotation(out, target, alpha[0]);
        return;
    }
    // The CNOT after rotation i flips the bit in which g_i and g_(i+1) differ.
    auto controlAfter = [&](int i) {
        const int changed = grayCode(i) ^ grayCode((i + 1) % count);
        return keptControls[m - 1 - std::countr_zero(static_cast<unsigned>(changed))];
    };
    if (ends == ChainEnds::withoutFirst) {
        // The reverse chain gives the transpose of the same diagonal, that is itself.
        for (int i = count - 1; i >= 0; --i) {
            appendRotation(out, target, alpha[i]);
            if (i > 0)
                out.push_back(cnotGate(controlAfter(i - 1), target));
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        appendRotation(out, target, alpha[i]);
        if (i < count - 1 || ends == ChainEnds::full)
            out.push_back(cnotGate(controlAfter(i), target));
    }
}
