// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// Searches |x| <= 16 for arguments whose sine or cosine lies nearest to a
// point halfway between two doubles: the hardest to round, which the tests
// run through the accurate stage. The fast stage screens random arguments;
// MPFR measures the survivors. Prints "x function distance" lines, distance as
// a fraction of the gap between doubles, nearest first.
// Usage: hard_case_search [ARGUMENTS] [SEED]

#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "geometry/trigonometry.h"

namespace {

struct Case {
    double x;
    bool isSin;
    double distance;
};

// |value - midpoint| / gap, measured at 300 bits.
double distanceFromMidpoint(double x, bool isSin) {
    mpfr_t a, v, m;
    mpfr_inits2(300, a, v, m, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(a, x, MPFR_RNDN);
    if (isSin) mpfr_sin(v, a, MPFR_RNDN); else mpfr_cos(v, a, MPFR_RNDN);
    const double below = mpfr_get_d(v, MPFR_RNDD);
    const double above = std::nextafter(below, INFINITY);
    mpfr_set_d(m, below, MPFR_RNDN);
    mpfr_add_d(m, m, above, MPFR_RNDN);
    mpfr_div_2ui(m, m, 1, MPFR_RNDN);
    mpfr_sub(m, v, m, MPFR_RNDN);
    const double distance = std::fabs(mpfr_get_d(m, MPFR_RNDN)) / (above - below);
    mpfr_clears(a, v, m, static_cast<mpfr_ptr>(nullptr));
    return distance;
}

// The fast stage's own view of the same distance.
double estimatedDistance(const trigonometry_stages::Estimate& e) {
    const double gap = std::nextafter(std::fabs(e.hi), INFINITY) - std::fabs(e.hi);
    return std::fabs(std::fabs(e.lo) / gap - 0.5);
}

}  // namespace

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::atol(argv[1]) : 100000000;
    std::mt19937_64 random(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1);
    std::uniform_real_distribution<double> argument(-16.0, 16.0);
    std::vector<Case> found;
    for (long i = 0; i < count; ++i) {
        const double x = argument(random);
        const auto e = trigonometry_stages::fast(x);
        if (estimatedDistance(e.sin) < 0x1p-14) found.push_back({x, true, distanceFromMidpoint(x, true)});
        if (estimatedDistance(e.cos) < 0x1p-14) found.push_back({x, false, distanceFromMidpoint(x, false)});
    }
    std::sort(found.begin(), found.end(), [](const Case& a, const Case& b) { return a.distance < b.distance; });
    for (std::size_t i = 0; i < found.size() && i < 40; ++i) {
        std::printf("%a %s %.3g\n", found[i].x, found[i].isSin ? "sin" : "cos", found[i].distance);
    }
}
