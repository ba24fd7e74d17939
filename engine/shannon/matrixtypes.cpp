#include "engine/shannon/matrixtypes.h"

CMat toCMat(const TMATICA1& m, int size)
{
    CMat result(size, size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            result(r, c) = Scalar(m.e[r][c].re, m.e[r][c].im);
    return result;
}
