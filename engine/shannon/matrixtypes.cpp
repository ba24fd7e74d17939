#include "engine/shannon/matrixtypes.h"

CMat toCMat(const TMATICA1& m, int size)
{
    CMat result(size, size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            result(r, c) = Scalar(m.e[r][c].re, m.e[r][c].im);
    return result;
}

CMat toCMat(const DenseMatrix& m)
{
    CMat result(m.size, m.size);
    for (int r = 0; r < m.size; ++r)
        for (int c = 0; c < m.size; ++c)
            result(r, c) = Scalar(m(r, c).re, m(r, c).im);
    return result;
}

DenseMatrix toDenseMatrix(const CMat& m)
{
    DenseMatrix result(static_cast<int>(m.rows()));
    for (int r = 0; r < result.size; ++r)
        for (int c = 0; c < result.size; ++c)
            result(r, c) = Complex{m(r, c).real(), m(r, c).imag()};
    return result;
}
