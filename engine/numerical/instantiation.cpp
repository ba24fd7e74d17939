#include "engine/numerical/instantiation.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <Eigen/Cholesky>

#include "engine/kernel/randomgenerator.h"

namespace {

constexpr double pi = 3.14159265358979323846;

// One gate of the template: a U3 on `qubit` with parameters 3 * index .. 3 * index + 2,
// or (index < 0) a CNOT from `qubit` to `target`.
struct TemplateOp {
    int qubit = 0;
    int target = 0;
    int index = -1;
};

std::vector<TemplateOp> templateOps(const CnotTemplate& t)
{
    std::vector<TemplateOp> ops;
    int index = 0;
    for (int q = 1; q <= t.qubitCount; ++q)
        ops.push_back({q, 0, index++});
    for (const QubitPair& unit : t.units) {
        ops.push_back({unit.control, unit.target, -1});
        ops.push_back({unit.control, 0, index++});
        ops.push_back({unit.target, 0, index++});
    }
    return ops;
}

// U3(theta, phi, lambda) = [[c, -e^(i lambda) s], [e^(i phi) s, e^(i (phi + lambda)) c]],
// c = cos(theta / 2), s = sin(theta / 2); derivative 0 is the gate itself,
// 1..3 its derivatives by theta, phi and lambda.
Mat2 u3(const double* angles, int derivative)
{
    const double half = angles[0] / 2.0;
    const double c = std::cos(half), s = std::sin(half);
    const Scalar ePhi = std::polar(1.0, angles[1]);
    const Scalar eLambda = std::polar(1.0, angles[2]);
    const Scalar eBoth = ePhi * eLambda;
    const Scalar i(0.0, 1.0);
    Mat2 m;
    switch (derivative) {
    case 0:
        m << c, -eLambda * s, ePhi * s, eBoth * c;
        break;
    case 1:
        m << -s / 2.0, -eLambda * c / 2.0, ePhi * c / 2.0, -eBoth * s / 2.0;
        break;
    case 2:
        m << 0.0, 0.0, i * ePhi * s, i * eBoth * c;
        break;
    default:
        m << 0.0, -i * eLambda * s, 0.0, i * eBoth * c;
        break;
    }
    return m;
}

int bitOf(int qubit, int qubitCount) { return 1 << (qubitCount - qubit); }

// m = (g on qubit) * m, touching only the pairs of rows the gate mixes.
void applyToRows(CMat& m, const Mat2& g, int qubit, int qubitCount)
{
    const int bit = bitOf(qubit, qubitCount);
    for (int i = 0; i < m.rows(); ++i) {
        if (i & bit)
            continue;
        const Eigen::RowVectorXcd upper = m.row(i);
        const Eigen::RowVectorXcd lower = m.row(i | bit);
        m.row(i) = g(0, 0) * upper + g(0, 1) * lower;
        m.row(i | bit) = g(1, 0) * upper + g(1, 1) * lower;
    }
}

// m = m * (g on qubit).
void applyToColumns(CMat& m, const Mat2& g, int qubit, int qubitCount)
{
    const int bit = bitOf(qubit, qubitCount);
    for (int j = 0; j < m.cols(); ++j) {
        if (j & bit)
            continue;
        const CVec left = m.col(j);
        const CVec right = m.col(j | bit);
        m.col(j) = left * g(0, 0) + right * g(1, 0);
        m.col(j | bit) = left * g(0, 1) + right * g(1, 1);
    }
}

// A CNOT is a permutation of the basis states and its own inverse: it swaps the
// rows (or columns) whose control bit is 1 and target bit differs.
void cnotOnRows(CMat& m, int control, int target, int qubitCount)
{
    const int c = bitOf(control, qubitCount), t = bitOf(target, qubitCount);
    for (int i = 0; i < m.rows(); ++i)
        if ((i & c) && !(i & t))
            m.row(i).swap(m.row(i | t));
}

void cnotOnColumns(CMat& m, int control, int target, int qubitCount)
{
    const int c = bitOf(control, qubitCount), t = bitOf(target, qubitCount);
    for (int j = 0; j < m.cols(); ++j)
        if ((j & c) && !(j & t))
            m.col(j).swap(m.col(j | t));
}

CMat identity(int qubitCount)
{
    const int size = 1 << qubitCount;
    return CMat::Identity(size, size);
}

Scalar phaseOf(const Parameters& x) { return std::polar(1.0, x(x.size() - 1)); }

void writeResidual(const CMat& difference, Eigen::VectorXd& residual)
{
    const Eigen::Index entries = difference.size();
    residual.resize(2 * entries);
    for (Eigen::Index k = 0; k < entries; ++k) {
        residual(k) = difference(k).real();
        residual(entries + k) = difference(k).imag();
    }
}

void residualOnly(const CnotTemplate& t, const Parameters& x, const CMat& u, Eigen::VectorXd& residual)
{
    writeResidual(templateMatrix(t, x) - u, residual);
}

double largestEntryError(const Eigen::VectorXd& residual)
{
    const Eigen::Index entries = residual.size() / 2;
    double largest = 0.0;
    for (Eigen::Index k = 0; k < entries; ++k)
        largest = std::max(largest, std::hypot(residual(k), residual(entries + k)));
    return largest;
}

Parameters randomStart(int count, std::uint64_t seed)
{
    RandomGenerator random;
    random.fixSeed(seed);
    Parameters x(count);
    for (int j = 0; j < count; ++j)
        x(j) = (2.0 * random.drawReal() - 1.0) * pi;
    return x;
}

// J^T J, the lower half only: the solver reads no more, and it is half the work.
Eigen::MatrixXd normalMatrix(const Eigen::MatrixXd& jacobian)
{
    Eigen::MatrixXd normal = Eigen::MatrixXd::Zero(jacobian.cols(), jacobian.cols());
    normal.selfadjointView<Eigen::Lower>().rankUpdate(jacobian.transpose());
    return normal;
}

struct StartResult {
    Parameters x;
    double maxEntryError = 0.0;
    int evaluations = 0;
};

// How many evaluations a start may go on without lowering its cost by a
// thousandth before it counts as stuck in a local minimum.
constexpr int stuckEvaluations = 25;

// Levenberg-Marquardt from x: steps solve (J^T J + mu I) dx = -J^T r; an
// accepted step lowers mu, a refused one raises it. Runs until the error is at
// the rounding floor (two accepted steps below exactError that gain nothing more),
// the start is stuck or out of evaluations.
StartResult runStart(const CMat& u, const CnotTemplate& t, Parameters x, const InstantiationLimits& limits,
                     const std::function<bool()>& keepGoing)
{
    Eigen::VectorXd r, trial;
    Eigen::MatrixXd jacobian;
    residualAndJacobian(t, x, u, r, jacobian);
    int evaluations = 1;
    double cost = r.squaredNorm() / 2.0;
    double error = largestEntryError(r);
    Eigen::MatrixXd normal = normalMatrix(jacobian);
    Eigen::VectorXd gradient = jacobian.transpose() * r;
    double mu = 1e-3 * normal.diagonal().maxCoeff();
    double bestCostSinceCheck = cost;
    int checkAt = stuckEvaluations;
    while (evaluations < limits.evaluationsPerStart) {
        if (keepGoing && !keepGoing())
            throw InstantiationCancelled();
        Eigen::MatrixXd damped = normal;
        damped.diagonal().array() += mu;
        const Eigen::VectorXd step = damped.selfadjointView<Eigen::Lower>().ldlt().solve(-gradient);
        const Parameters next = x + step;
        residualOnly(t, next, u, trial);
        ++evaluations;
        const double nextCost = trial.squaredNorm() / 2.0;
        if (!(nextCost < cost)) {
            if (error <= limits.exactError)
                break;  // at the rounding floor
            mu *= 4.0;
        } else {
            const bool atFloor = error <= limits.exactError && nextCost > cost / 4.0;
            x = next;
            residualAndJacobian(t, x, u, r, jacobian);
            cost = r.squaredNorm() / 2.0;
            error = largestEntryError(r);
            normal = normalMatrix(jacobian);
            gradient = jacobian.transpose() * r;
            mu = std::max(mu / 3.0, 1e-15 * normal.diagonal().maxCoeff());
            if (atFloor)
                break;
        }
        if (evaluations >= checkAt) {
            if (error > limits.exactError && cost > bestCostSinceCheck * 0.999)
                break;
            bestCostSinceCheck = std::min(bestCostSinceCheck, cost);
            checkAt = evaluations + stuckEvaluations;
        }
        if (mu > 1e20)
            break;
    }
    return {x, error, evaluations};
}

}  // namespace

CMat templateMatrix(const CnotTemplate& t, const Parameters& x)
{
    CMat v = identity(t.qubitCount);
    for (const TemplateOp& op : templateOps(t)) {
        if (op.index < 0)
            cnotOnRows(v, op.qubit, op.target, t.qubitCount);
        else
            applyToRows(v, u3(&x(3 * op.index), 0), op.qubit, t.qubitCount);
    }
    return phaseOf(x) * v;
}

void residualAndJacobian(const CnotTemplate& t, const Parameters& x, const CMat& u, Eigen::VectorXd& residual,
                         Eigen::MatrixXd& jacobian)
{
    const int n = t.qubitCount;
    const std::vector<TemplateOp> ops = templateOps(t);
    const Scalar phase = phaseOf(x);

    // suffix[k]: the product of every gate after one-qubit gate k.
    std::vector<CMat> suffix(static_cast<std::size_t>(n) + 2 * t.units.size());
    CMat after = identity(n);
    for (auto op = ops.rbegin(); op != ops.rend(); ++op) {
        if (op->index < 0) {
            cnotOnColumns(after, op->qubit, op->target, n);
            continue;
        }
        suffix[static_cast<std::size_t>(op->index)] = after;
        applyToColumns(after, u3(&x(3 * op->index), 0), op->qubit, n);
    }

    const Eigen::Index entries = u.size();
    jacobian.resize(2 * entries, x.size());
    auto writeColumn = [&](Eigen::Index column, const CMat& derivative) {
        for (Eigen::Index k = 0; k < entries; ++k) {
            jacobian(k, column) = derivative(k).real();
            jacobian(entries + k, column) = derivative(k).imag();
        }
    };
    CMat before = identity(n);  // the prefix: every gate before the current one
    for (const TemplateOp& op : ops) {
        if (op.index < 0) {
            cnotOnRows(before, op.qubit, op.target, n);
            continue;
        }
        const double* angles = &x(3 * op.index);
        for (int d = 1; d <= 3; ++d) {
            CMat inner = before;
            applyToRows(inner, u3(angles, d), op.qubit, n);
            writeColumn(3 * op.index + d - 1, phase * (suffix[static_cast<std::size_t>(op.index)] * inner));
        }
        applyToRows(before, u3(angles, 0), op.qubit, n);
    }
    const CMat v = phase * before;
    writeColumn(x.size() - 1, Scalar(0.0, 1.0) * v);
    writeResidual(v - u, residual);
}

Instantiation instantiate(const CMat& u, const CnotTemplate& t, const InstantiationLimits& limits,
                          const std::function<bool()>& keepGoing)
{
    Instantiation result;
    for (int s = 0; s < limits.starts; ++s) {
        const StartResult start =
            runStart(u, t, randomStart(parameterCount(t), limits.seed + static_cast<std::uint64_t>(s)), limits, keepGoing);
        ++result.starts;
        result.evaluations += start.evaluations;
        if (start.maxEntryError < result.maxEntryError) {
            result.maxEntryError = start.maxEntryError;
            result.x = start.x;
        }
        if (start.maxEntryError <= limits.exactError) {
            result.converged = true;
            break;
        }
    }
    return result;
}

GateList templateGates(const CnotTemplate& t, const Parameters& x)
{
    GateList gates;
    for (const TemplateOp& op : templateOps(t)) {
        if (op.index < 0) {
            gates.push_back(cnotGate(op.qubit, op.target));
            continue;
        }
        Mat2 g = u3(&x(3 * op.index), 0);
        if (gates.empty())
            g *= phaseOf(x);
        gates.push_back(oneQubitGate(op.qubit, toTmatica2(g)));
    }
    return gates;
}
