#pragma once
// The fewest-CNOT route's dense matrices: Eigen complex matrices of up to
// 1024 x 1024 (ten qubits) and their conversions from and to the program's
// DenseMatrix, TMATICA1 and TMATICA2. Only engine/shannon/ sees Eigen.

#include <complex>

#include <Eigen/Core>

#include "engine/kernel/densematrix.h"
#include "engine/kernel/matrix.h"

using Scalar = std::complex<double>;
// Rows and columns follow the basis-state order of the qubits a matrix acts
// on: the first qubit of its list is the most significant bit.
// Sized on the heap to what they hold: a fixed capacity of 32 x 32 would
// zero-fill 16 KB per matrix (std::complex constructs to 0) and grow the stack
// into fresh pages, which costs more than the arithmetic at these sizes.
using CMat = Eigen::MatrixXcd;
using CVec = Eigen::VectorXcd;
using Mat2 = Eigen::Matrix2cd;
using Mat4 = Eigen::Matrix4cd;

// The leading size x size block of m.
CMat toCMat(const TMATICA1& m, int size);
CMat toCMat(const DenseMatrix& m);
DenseMatrix toDenseMatrix(const CMat& m);

inline Mat2 toMat2(const TMATICA2& u)
{
    Mat2 m;
    m << Scalar(u.u11.re, u.u11.im), Scalar(u.u12.re, u.u12.im), Scalar(u.u21.re, u.u21.im),
        Scalar(u.u22.re, u.u22.im);
    return m;
}

inline TMATICA2 toTmatica2(const Mat2& m)
{
    auto entry = [](Scalar z) { return Complex{z.real(), z.imag()}; };
    return {entry(m(0, 0)), entry(m(0, 1)), entry(m(1, 0)), entry(m(1, 1))};
}

// Largest modulus of an entry of x - y.
inline double largestDifference(const CMat& x, const CMat& y) { return (x - y).cwiseAbs().maxCoeff(); }
