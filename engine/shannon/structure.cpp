#include "engine/shannon/structure.h"

#include <cmath>

CMat withQubitFirst(const CMat& u, int qubitCount, int index)
{
    if (index == 0)
        return u;
    const int size = 1 << qubitCount;
    // New bit positions: the moved qubit on top, the qubits before it one lower.
    const int movedBit = qubitCount - 1 - index;
    auto oldIndex = [&](int state) {
        const int top = (state >> (qubitCount - 1)) & 1;
        const int lowMask = (1 << movedBit) - 1;
        const int low = state & lowMask;
        const int high = (state & ((1 << (qubitCount - 1)) - 1)) >> movedBit;
        return (high << (movedBit + 1)) | (top << movedBit) | low;
    };
    CMat result(size, size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            result(r, c) = u(oldIndex(r), oldIndex(c));
    return result;
}

bool splitFirstQubit(const CMat& u, Mat2& g, CMat& rest, double tolerance)
{
    const int half = static_cast<int>(u.rows()) / 2;
    int bestI = 0;
    int bestJ = 0;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            if (u.block(i * half, j * half, half, half).squaredNorm() >
                u.block(bestI * half, bestJ * half, half, half).squaredNorm()) {
                bestI = i;
                bestJ = j;
            }
    // The largest block is g(bestI, bestJ) times a unitary: scale it to one.
    const CMat block = u.block(bestI * half, bestJ * half, half, half);
    const double scale = std::sqrt(block.squaredNorm() / half);
    if (scale == 0.0)
        return false;
    rest = block / scale;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            const CMat part = u.block(i * half, j * half, half, half);
            g(i, j) = (rest.adjoint() * part).trace() / static_cast<double>(half);
            if ((part - g(i, j) * rest).cwiseAbs().maxCoeff() > tolerance)
                return false;
        }
    return true;
}

bool isBlockDiagonal(const CMat& u, double tolerance)
{
    const int half = static_cast<int>(u.rows()) / 2;
    return u.topRightCorner(half, half).cwiseAbs().maxCoeff() <= tolerance &&
           u.bottomLeftCorner(half, half).cwiseAbs().maxCoeff() <= tolerance;
}
