#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/kernel/matrix.h"
#include "workspace/circuitmatrix.h"

namespace {

TEST(CircuitMatrix, LargestEntryDifferenceIsNaNWhereverANaNEntryStands)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int row = 1; row <= 4; ++row)
        for (int column = 1; column <= 4; ++column) {
            TMATICA1 x{};
            TMATICA1 y{};
            y(4, 4) = Complex{0.5, 0.0};
            x(row, column) = Complex{nan, 0.0};
            EXPECT_TRUE(std::isnan(largestEntryDifference(x, y, 4))) << row << ", " << column;
        }
}

TEST(CircuitMatrix, LargestEntryDifferenceIsTheLargestModulusInTheBlock)
{
    TMATICA1 x{};
    TMATICA1 y{};
    x(1, 2) = Complex{0.3, 0.4};
    y(3, 1) = Complex{0.0, -0.25};
    x(5, 5) = Complex{9.0, 0.0};  // outside the 4 x 4 block
    EXPECT_DOUBLE_EQ(largestEntryDifference(x, y, 4), 0.5);
}

}  // namespace
