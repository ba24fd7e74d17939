#pragma once
// 2 x 2 unitaries for tests: seeded random ones and the awkward cases
// (multiples of the identity, diagonal, antidiagonal, real rotations, tiny entries).

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "engine/kernel/matrix.h"

struct NamedUnitary2 {
    std::string name;
    TMATICA2 u;
};

// e^(i g) [[cos t e^(i b), sin t e^(i c)], [-sin t e^(-i c), cos t e^(-i b)]] with
// all four angles uniform over the circle.
inline TMATICA2 randomUnitary2(std::mt19937_64& engine)
{
    std::uniform_real_distribution<double> angleDraw(-std::numbers::pi, std::numbers::pi);
    const double g = angleDraw(engine);
    const double t = angleDraw(engine);
    const double b = angleDraw(engine);
    const double c = angleDraw(engine);
    const Complex phase = fromPolar(1.0, g);
    return {phase * fromPolar(std::cos(t), b), phase * fromPolar(std::sin(t), c),
            phase * fromPolar(-std::sin(t), -c), phase * fromPolar(std::cos(t), -b)};
}

inline TMATICA2 scaled2(Complex factor, const TMATICA2& m)
{
    return {factor * m.u11, factor * m.u12, factor * m.u21, factor * m.u22};
}

// The awkward unitaries; `tiny` is the size of the entries meant to sit below a tolerance.
inline std::vector<NamedUnitary2> awkwardUnitaries2(double tiny)
{
    const double s = 1.0 / std::sqrt(2.0);
    const Complex one{1.0, 0.0};
    const Complex zero{};
    const Complex i{0.0, 1.0};
    const double smallAngle = std::asin(tiny);
    std::vector<NamedUnitary2> list;
    list.push_back({"identity", identityMatrix2()});
    list.push_back({"minus identity", {-one, zero, zero, -one}});
    list.push_back({"i identity", {i, zero, zero, i}});
    list.push_back({"pauliX", {zero, one, one, zero}});
    list.push_back({"pauliY", {zero, -i, i, zero}});
    list.push_back({"pauliZ", {one, zero, zero, -one}});
    list.push_back({"phase i", {one, zero, zero, i}});
    list.push_back({"diagonal 0.3", {fromPolar(1.0, 0.3), zero, zero, fromPolar(1.0, -0.3)}});
    list.push_back({"diagonal mixed", {fromPolar(1.0, 2.5), zero, zero, fromPolar(1.0, -1.1)}});
    list.push_back({"antidiagonal real", {zero, one, -one, zero}});
    list.push_back({"antidiagonal phases", {zero, fromPolar(1.0, 0.7), fromPolar(1.0, -2.0), zero}});
    list.push_back({"hadamard", {{s, 0.0}, {s, 0.0}, {s, 0.0}, {-s, 0.0}}});
    list.push_back({"rotation 1", realRotation2(1.0)});
    list.push_back({"rotation pi", realRotation2(std::numbers::pi)});
    list.push_back({"rotation -2.2 times i", scaled2(i, realRotation2(-2.2))});
    list.push_back({"real cos sin", {{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}}});
    list.push_back({"sqrt not", {{0.5, 0.5}, {0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}}});
    list.push_back({"tiny off-diagonal",
                    {fromPolar(std::cos(smallAngle), 0.4), fromPolar(tiny, 1.0), fromPolar(-tiny, -1.0),
                     fromPolar(std::cos(smallAngle), -0.4)}});
    list.push_back({"tiny diagonal",
                    {fromPolar(tiny, 0.2), fromPolar(std::cos(smallAngle), 1.3), fromPolar(-std::cos(smallAngle), -1.3),
                     fromPolar(tiny, -0.2)}});
    list.push_back({"tiny off-diagonal with phase",
                    scaled2(fromPolar(1.0, 0.9), {fromPolar(std::cos(smallAngle), 0.4), fromPolar(tiny, 1.0),
                                                   fromPolar(-tiny, -1.0), fromPolar(std::cos(smallAngle), -0.4)})});
    list.push_back({"near identity", {fromPolar(std::cos(smallAngle), 0.0), {tiny, 0.0}, {-tiny, 0.0},
                                      fromPolar(std::cos(smallAngle), 0.0)}});
    return list;
}
