#pragma once
// The pseudo-random source of random unitary matrices: a 64-bit Mersenne
// Twister, reseeded from the clock at every generation unless a seed was fixed
// (tests and the command line need reproducible matrices).

#include <cstdint>
#include <optional>
#include <random>

class RandomGenerator {
public:
    // Fixes the stream: later generations continue it instead of reseeding.
    void fixSeed(std::uint64_t seed);
    // Called at the start of every generation.
    void beginGeneration();
    // Uniform in 0..k-1 (k >= 1).
    int drawInteger(int k);
    // Uniform in [0, 1).
    double drawReal();

private:
    std::mt19937_64 engine_;
    bool fixed_ = false;
};
