// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "surfaces.h"

#include "trigonometry.h"

const char* const surfaceLabels[surfaceCount] = {
    "1",
    "cos(u)",
    "u*u",
    "2-u*u",
    "1/u",
    "1 + 0.1*cos(u*2*PI) + 0.3*cos(v*4*PI)",
    "fn = 2 + cos(u*PI); u = sin(u*PI)",
};

namespace {

constexpr double kScale = 3.0;

// The ripple's wave numbers, exactly as the label writes them.
constexpr double kTwoPi = 2.0 * PI;
constexpr double kFourPi = 4.0 * PI;
static_assert(kTwoPi == 6.283184 && kFourPi == 12.566368);

struct Profile {
    double radius;
    double height;
};

Profile cylinder(double u, double) { return {1.0, u}; }
Profile barrel(double u, double) { return {cosine(u), u}; }
Profile square(double u, double) { return {u * u, u}; }
Profile invertedSquare(double u, double) { return {2.0 - u * u, u}; }

Profile reciprocal(double u, double) {
    // Near u = 0 the radius is clamped to 1 / guard, so the row that should
    // sit at u = 0 flies out about 300000 units instead of to infinity.
    const bool nearZero = -kDivisionGuard < u && u < kDivisionGuard;
    return {nearZero ? 1.0 / kDivisionGuard : 1.0 / u, u};
}

Profile ripple(double u, double v) {
    return {cosine(u * kTwoPi) * 0.1 + cosine(v * kFourPi) * 0.3 + 1.0, u};
}

Profile torus(double u, double) {
    const SineCosine phi = sineCosine(u * PI);
    return {phi.cos * 0.5 + 1.5, phi.sin * 0.5};
}

// Sweeps the profile around the y axis. One instance per surface keeps each
// evaluator straight-line code: no switch on the index per point.
template <Profile (*profile)(double u, double v)>
Vector3 revolve(double u, double v) {
    const Profile p = profile(u, v);
    const SineCosine theta = sineCosine((v + 1.0) * PI);
    return {theta.cos * p.radius * kScale, p.height * kScale, theta.sin * p.radius * -kScale};
}

}  // namespace

const SurfacePointFunction surfacePointOfRow[surfaceCount] = {
    revolve<cylinder>,   revolve<barrel>, revolve<square>, revolve<invertedSquare>,
    revolve<reciprocal>, revolve<ripple>, revolve<torus>,
};
