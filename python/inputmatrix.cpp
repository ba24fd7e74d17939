#include "python/inputmatrix.h"

#include <cmath>
#include <string>

#include "python/refusal.h"

namespace {

std::string shapeText(const std::vector<long long>& shape)
{
    std::string text = "(";
    for (std::size_t k = 0; k < shape.size(); ++k)
        text += (k == 0 ? "" : ", ") + std::to_string(shape[k]);
    return text + (shape.size() == 1 ? ",)" : ")");
}

}  // namespace

SquareMatrix checkedMatrix(const std::vector<long long>& shape, std::vector<Complex> entries)
{
    if (shape.size() != 2 || shape[0] != shape[1] || shape[0] < 2)
        throw Refusal("The matrix has the shape " + shapeText(shape) +
                      ": a square matrix of size 4 to 1024, a power of 2 (2 to 10 qubits), is needed.");
    const long long n = shape[0];
    if (n < 4 || n > 1024 || (n & (n - 1)) != 0)
        throw Refusal("The matrix size " + std::to_string(n) +
                      " is not supported: the size has to be a power of 2 from 4 to 1024 (2 to 10 qubits).");
    for (long long k = 0; k < n * n; ++k) {
        const Complex z = entries[static_cast<std::size_t>(k)];
        if (!std::isfinite(z.re) || !std::isfinite(z.im))
            throw Refusal("The entry in row " + std::to_string(k / n + 1) + ", column " + std::to_string(k % n + 1) +
                          " is not a finite number.");
    }
    return {static_cast<int>(n), std::move(entries)};
}
