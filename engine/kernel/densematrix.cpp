#include "engine/kernel/densematrix.h"

#include <algorithm>
#include <cmath>
#include <limits>

double largestEntryDifference(const DenseMatrix& x, const DenseMatrix& y)
{
    if (x.size != y.size)
        return std::numeric_limits<double>::infinity();
    double largest = 0.0;
    for (std::size_t k = 0; k < x.entries.size(); ++k) {
        const double difference = modulus(x.entries[k] - y.entries[k]);
        if (std::isnan(difference))
            return difference;  // a NaN entry makes the whole difference NaN
        largest = std::max(largest, difference);
    }
    return largest;
}
