#pragma once
// Parameters of one two-level factor Tpq(p, q, omega, fi), q < p, angles in radians.

struct TpqEntry {
    double omega = 0.0;
    double fi = 0.0;
    int p = 0;
    int q = 0;
};

inline constexpr int maxTpqEntries = 2080;  // 64 * 65 / 2
