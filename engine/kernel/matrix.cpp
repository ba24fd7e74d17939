#include "engine/kernel/matrix.h"

void setIdentity(TMATICA1& m, int n)
{
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            m(r, c) = r == c ? Complex{1.0, 0.0} : Complex{};
}

void matMul(const TMATICA1& x, const TMATICA1& y, TMATICA1& result, int n)
{
    // Loop order i-k-j keeps the inner loop on contiguous columns while every
    // entry is still summed k = 1..n upwards from 0, so results match the plain
    // triple loop bit for bit.
    Complex row[TMATICA1::capacity];
    // Row i of x is read only while row i of the result is formed, so result may
    // be x; y is read throughout, so it is copied once when result is y.
    static thread_local TMATICA1 rightCopy;
    const TMATICA1* right = &y;
    if (&result == &y) {
        rightCopy = y;
        right = &rightCopy;
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            row[j] = Complex{};
        for (int k = 0; k < n; ++k) {
            const Complex a = x.e[i][k];
            const Complex* yRow = right->e[k];
            for (int j = 0; j < n; ++j)
                row[j] = row[j] + a * yRow[j];
        }
        for (int j = 0; j < n; ++j)
            result.e[i][j] = row[j];
    }
}

bool matEqual(const TMATICA1& x, const TMATICA1& y, int n, double tolerance)
{
    bool equal = true;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            if (!(modulus(x.e[r][c] - y.e[r][c]) <= tolerance))
                equal = false;
    return equal;
}
