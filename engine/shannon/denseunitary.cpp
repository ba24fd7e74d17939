#include "engine/shannon/denseunitary.h"

#include <Eigen/SVD>

#include "engine/shannon/matrixtypes.h"

double unitarityDefect(const DenseMatrix& m)
{
    const CMat a = toCMat(m);
    const CMat defect = a.adjoint() * a - CMat::Identity(a.rows(), a.cols());
    return defect.cwiseAbs().maxCoeff();
}

DenseMatrix nearestUnitary(const DenseMatrix& m)
{
    const Eigen::BDCSVD<CMat> svd(toCMat(m), Eigen::ComputeFullU | Eigen::ComputeFullV);
    return toDenseMatrix(svd.matrixU() * svd.matrixV().adjoint());
}
