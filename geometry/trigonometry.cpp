// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The accurate stage of the sine and cosine, and the fast stage's second,
// tighter rounding test. The method and the fast stage are in trigonometry.h.
//
// 5. Accurate stage, on its own reduction by pi/64 into six parts (error
//    below 2^-260; no double comes nearer than 2^-70 to a multiple of the
//    step, which the tests check with MPFR, so it is 2^-190 of r) and its own
//    table of 33 values as three doubles. Numbers are three doubles that do
//    not overlap, made so by distillation (passes of TwoSum, each exact, until
//    none changes: see Anderson, "A distillation algorithm for floating-point
//    summation", 1999); dropping what lies beyond the third double errs by
//    under 2^-155 each time, and products keep every partial product above
//    2^-159 of theirs. Taylor series of sin r and cos r to r^19 and r^18
//    (|r| <= 2^-5.34; left out: < 2^-168). With the table at 2^-159 and about
//    50 such steps, the result is within 2^-148 of the exact value, relatively,
//    and is rounded exactly from its three parts. That is the correctly rounded
//    result unless the exact sine or cosine lies within 2^-148 of a point
//    halfway between two doubles. If their bits beyond the 53rd behave like
//    random ones (the model behind Lefèvre and Muller's worst-case searches,
//    which their results bear out), the 2^58 doubles of the domain are
//    expected to hold 2^-35 such cases; the tests also run the hardest ones a
//    search of 10^9 arguments found.

#include "trigonometry.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

using namespace trigonometry_table;
using trigonometry_fast::DoubleDouble;
using trigonometry_fast::kRounder;

// The low bits of k, from the sum that rounded x times the steps per radian.
unsigned lowBits(double shifted) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &shifted, sizeof bits);
    return static_cast<unsigned>(bits);
}

// Knuth's TwoSum: hi + lo == a + b exactly.
DoubleDouble twoSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// a as the sum of two halves of at most 26 bits (Veltkamp's splitting).
DoubleDouble halves(double a) {
    constexpr double kSplitter = 0x1p27 + 1.0;
    const double t = kSplitter * a;
    const double high = t - (t - a);
    return {high, a - high};
}

// Dekker's product: hi + lo == a * b exactly, without a fused multiply-add.
DoubleDouble twoProduct(double a, double b) {
    const DoubleDouble x = halves(a);
    const DoubleDouble y = halves(b);
    const double product = a * b;
    return {product, ((x.hi * y.hi - product) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// sin(quarter pi/2 + a) from sin a and cos a.
double inQuarter(double sinA, double cosA, unsigned quarter) {
    switch (quarter & 3) {
    case 0: return sinA;
    case 1: return cosA;
    case 2: return -sinA;
    default: return -cosA;
    }
}

// Three doubles that do not overlap, the largest first.
using Wide = std::array<double, 3>;

// The sum of the doubles in v, to the three leading parts of its exact value.
template <std::size_t n>
Wide distill(std::array<double, n> v) {
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 1; i < n; ++i) {
            const DoubleDouble s = twoSum(v[i], v[i - 1]);
            changed = changed || s.hi != v[i] || s.lo != v[i - 1];
            v[i] = s.hi;
            v[i - 1] = s.lo;
        }
    }
    return {v[n - 1], v[n - 2], v[n - 3]};
}

Wide add(const Wide& a, const Wide& b) {
    return distill(std::array<double, 6>{a[2], b[2], a[1], b[1], a[0], b[0]});
}

Wide negated(const Wide& a) { return {-a[0], -a[1], -a[2]}; }

Wide multiply(const Wide& a, const Wide& b) {
    const DoubleDouble p00 = twoProduct(a[0], b[0]);
    const DoubleDouble p01 = twoProduct(a[0], b[1]);
    const DoubleDouble p10 = twoProduct(a[1], b[0]);
    return distill(std::array<double, 9>{a[2] * b[0], a[1] * b[1], a[0] * b[2], p10.lo, p01.lo,
                                         p10.hi, p01.hi, p00.lo, p00.hi});
}

Wide wide(const double (&parts)[3]) { return {parts[0], parts[1], parts[2]}; }

// The sum over i < 10 of (-1)^i r2^i / (2i + first)!.
Wide alternatingSeries(const Wide& r2, int first) {
    constexpr int kTerms = 10;
    Wide sum = negated(wide(kInverseFactorial[2 * (kTerms - 1) + first]));
    for (int i = kTerms - 2; i >= 0; --i) {
        const Wide coefficient = wide(kInverseFactorial[2 * i + first]);
        sum = add(i % 2 == 0 ? coefficient : negated(coefficient), multiply(sum, r2));
    }
    return sum;
}

// The double nearest to the exact sum of w's parts.
double nearest(const Wide& w) {
    // As w does not overlap, w[0] is the sum's nearest double unless w[1] is
    // exactly half the gap to a neighbour and w[2] tips the tie that way.
    const double neighbour = w[0] + 2.0 * w[1];
    const bool halfway = w[1] != 0.0 && neighbour - w[0] == 2.0 * w[1];
    const bool tipped = (w[1] > 0.0 && w[2] > 0.0) || (w[1] < 0.0 && w[2] < 0.0);
    return halfway && tipped ? neighbour : w[0];
}

// The tighter rounding test: see trigonometry.h.
bool settledClosely(const DoubleDouble& v) {
    const double twice = 2.0 * trigonometry_fast::kError * std::fabs(v.hi);
    return v.hi + (v.lo + twice) == v.hi && v.hi + (v.lo - twice) == v.hi;
}

// True when every number within the fast stage's bound of v.hi + v.lo rounds
// to v.hi.
bool settled(const DoubleDouble& v) { return trigonometry_fast::settledQuickly(v) || settledClosely(v); }

bool large(double hi) { return std::fabs(hi) >= trigonometry_fast::kSmallest; }

}  // namespace

namespace trigonometry_stages {

Estimates fast(double x) {
    const trigonometry_fast::Pair p = trigonometry_fast::pair(x);
    const auto estimate = [](const DoubleDouble& v, double sign) {
        return Estimate{sign * v.hi, sign * v.lo, trigonometry_fast::kError * std::fabs(v.hi) + 0x1p-102};
    };
    return {estimate(p.sin, trigonometry_fast::signOf(p.quarter)),
            estimate(p.cos, trigonometry_fast::signOf(p.quarter + 1))};
}

bool settles(const Estimate& e) { return large(e.hi) && settled({e.hi, e.lo}); }

SineCosine accurate(double x) {
    // Below 2^-27, sin x rounds to x and cos x to 1: x^3/6 and x^2/2 are under
    // half the gap between x (or 1) and its neighbour.
    if (std::fabs(x) < 0x1p-27) return {x, 1.0};
    if (!(std::fabs(x) <= kTrigonometryDomain)) {
        constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
        return {kNaN, kNaN};
    }
    const double shifted = x * kWideStepsPerRadian + kRounder;
    const double k = shifted - kRounder;
    const Wide r = distill(std::array<double, 6>{-(k * kWideStep[5]), -(k * kWideStep[4]), -(k * kWideStep[3]),
                                                 -(k * kWideStep[2]), -(k * kWideStep[1]),
                                                 x - k * kWideStep[0]});
    const Wide r2 = multiply(r, r);
    const Wide sinR = multiply(r, alternatingSeries(r2, 1));
    const Wide cosR = alternatingSeries(r2, 0);
    // 128 steps of pi/64 to a turn, 32 to a quarter.
    const unsigned step = lowBits(shifted) & 127;
    const unsigned j = step % 32;
    const Wide s = wide(kWideSine[j]);
    const Wide c = wide(kWideSine[32 - j]);
    const double S = nearest(add(multiply(s, cosR), multiply(c, sinR)));
    const double C = nearest(add(multiply(c, cosR), negated(multiply(s, sinR))));
    const unsigned quarter = step / 32;
    return {inQuarter(S, C, quarter), inQuarter(S, C, quarter + 1)};
}

}  // namespace trigonometry_stages

namespace trigonometry_fast {

double sineCarefully(double x) {
    if (std::fabs(x) <= kTrigonometryDomain) {
        const trigonometry_stages::Estimate e = trigonometry_stages::fast(x).sin;
        if (trigonometry_stages::settles(e)) return e.hi;
    }
    return trigonometry_stages::accurate(x).sin;
}

double cosineCarefully(double x) {
    if (std::fabs(x) <= kTrigonometryDomain) {
        const trigonometry_stages::Estimate e = trigonometry_stages::fast(x).cos;
        if (trigonometry_stages::settles(e)) return e.hi;
    }
    return trigonometry_stages::accurate(x).cos;
}

SineCosine sineCosineCarefully(double x) {
    if (std::fabs(x) <= kTrigonometryDomain) {
        const Pair p = pair(x);
        if (large(p.sin.hi * p.cos.hi) && settled(p.sin) && settled(p.cos)) {
            return {signOf(p.quarter) * p.sin.hi, signOf(p.quarter + 1) * p.cos.hi};
        }
    }
    return trigonometry_stages::accurate(x);
}

}  // namespace trigonometry_fast
