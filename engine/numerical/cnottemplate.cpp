#include "engine/numerical/cnottemplate.h"

int cnotLowerBound(int qubitCount)
{
    const long long fourToN = 1LL << (2 * qubitCount);
    return static_cast<int>((fourToN - 3LL * qubitCount - 1 + 3) / 4);
}

CnotTemplate cyclingTemplate(int qubitCount, int cnots)
{
    std::vector<QubitPair> cycle;
    if (qubitCount == 3) {
        cycle = {{1, 2}, {2, 3}, {1, 3}};
    } else if (qubitCount == 4) {
        cycle = {{1, 2}, {3, 4}, {2, 3}, {1, 4}, {1, 3}, {2, 4}};
    } else {
        for (int a = 1; a <= qubitCount; ++a)
            for (int b = a + 1; b <= qubitCount; ++b)
                cycle.push_back({a, b});
    }
    CnotTemplate t{qubitCount, {}};
    for (int k = 0; k < cnots; ++k)
        t.units.push_back(cycle[static_cast<std::size_t>(k) % cycle.size()]);
    return t;
}
