#include "engine/kernel/randomgenerator.h"

#include <chrono>

void RandomGenerator::fixSeed(std::uint64_t seed)
{
    engine_.seed(seed);
    fixed_ = true;
}

void RandomGenerator::beginGeneration()
{
    if (fixed_)
        return;
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    engine_.seed(static_cast<std::uint64_t>(now));
}

int RandomGenerator::drawInteger(int k)
{
    // Rejection keeps every value equally likely; written out so the stream is
    // the same with every standard library.
    const std::uint64_t range = static_cast<std::uint64_t>(k);
    const std::uint64_t limit = UINT64_MAX - UINT64_MAX % range;
    std::uint64_t value = engine_();
    while (value >= limit)
        value = engine_();
    return static_cast<int>(value % range);
}

double RandomGenerator::drawReal()
{
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}
