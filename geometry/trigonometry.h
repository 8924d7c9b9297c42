// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// Sine and cosine of the program's own, correctly rounded to nearest for
// every |x| <= 16 (the catalogue passes |x| < 14) and computed with IEEE-754
// double operations only, so that every conforming machine returns the same
// bits. Outside that range they return NaN.
//
// Every operation is a correctly rounded double operation (round to nearest,
// no fused multiply-add, no extended precision). The method is Ziv's: a fast
// estimate with a proven error bound, and a slower, far more accurate one when
// that bound does not settle the rounding. Every constant and table comes from
// make_trigonometry_table.cpp (MPFR). u = 2^-53, h = pi/512. The fast stage is
// here, inline, so that a caller pays no call for it; the accurate stage, and
// its account, are in trigonometry.cpp.
//
// 1. Reduction. k = the integer nearest x / h (an error of a fraction of a
//    step only makes |r| a hair larger than h/2), |k| <= 2608 < 2^12, and
//    r* = x - k h with h = H1 + H2 + H3. H1 has 41 bits, so k H1 is exact, and
//    x - k H1 is exact (Sterbenz). H2 is a multiple of 2^-61 below 2^-49, so
//    k H2 is exact and lies on the grid of 2^-61, as does x whenever k != 0
//    (then |x| > 2^-9): their difference, below 2^-8.3, is exact too.
//    Veltkamp's splitting of it gives rh, its leading 26 bits, and the rest,
//    exact; rl = the rest - RN(k H3). |r* - rh - rl| < 2^-79 |r| + 2^-102,
//    |rl| <= 2^-26 |r| + 2^-50.8, |r| <= 2^-8.34, and r = RN(rh + rl).
// 2. x = (4m + q) pi/2 + j h + r* with 0 <= j < 256. With s = sin(j h) and
//    c = cos(j h) from the table, S = sin(j h + r*) = s + c r* + s (cos r* - 1)
//    + c (sin r* - r*), C = cos(j h + r*) = sin((256 - j) h - r*), the same
//    with s and c traded and r* negated; sin x and cos x are +-S or +-C by the
//    quarter q. |S| >= |r*| (1 - 2^-15), s <= 2 |S| and c |r*| <= |S| (the angle
//    j h + r* is r* or at least h/2 from 0); for C alike.
// 3. Fast stage, one pass in doubles. The table holds each value as a head of
//    27 bits, the nearest double to the rest (2^-80 of the value together) and
//    the nearest double to the whole. head(c) rh is exact (27 by 26 bits), and
//    head(s) + head(c) rh is split exactly into T + e by Fast2Sum (head(s) is 0
//    or above h > |rh|). The rest is summed into one double, tail, largest term
//    last: e, rest(s), rest(c) rh, c (rl + sin r - r), s (cos r - 1). sin r - r
//    and cos r - 1 come from their Taylor series to r^7 and r^6 (left out: <
//    2^-81 |S|), evaluated with 8 and 5 roundings, counting r's own. Relative
//    to |S|, with |cos r - 1| <= 2^-17.69 and |sin r - r| <= 2^-19.28 |r|: the
//    cosine term errs by 7u 2 2^-17.69 (2^-66.89), the sine term by 11u
//    2^-19.28 (2^-68.82), the additions by u 2^-16.47 + u 2^-19.2 (2^-69.47 +
//    2^-72.25), the reduction by 2^-79 + 2^-102 / |S|, the table and rl by less
//    than 2^-76. For |S| >= 2^-30 that is under 2^-66.32 |S| in all; hi + lo =
//    T + tail by Fast2Sum, and the bound used is 2^-66 |hi|. Smaller results
//    (x within about 2^-30 of a multiple of pi/2, or zero) are left to the
//    accurate stage, which takes the arguments below 2^-27 and beyond 16 first.
//    (The tests measure the error of a million estimates against MPFR.)
// 4. Rounding test. With g the gap from hi to its neighbour on lo's side
//    (g >= 2^-53 |hi|): if hi + RN(lo (1 + 2^-11)) rounds to hi, then
//    |lo| (1 + 2^-11)(1 - u) <= g/2, so |lo| + 2^-66 |hi| < g/2 and every value
//    within the bound of hi + lo rounds to hi (on the other side 2^-66 |hi| <
//    g/2 as well). That test fails for about one result in 2^11; those get a
//    tighter one: if hi + (lo + 2b) and hi + (lo - 2b) both round to hi, so
//    does every value between, as rounding is monotonic, and rounding lo +- 2b
//    errs by less than b = 2^-66 |hi|. What fails it too, about one argument in
//    thirteen hundred, goes to the accurate stage; none of the frames' do.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "trigonometry_table.h"

inline constexpr double kTrigonometryDomain = 16.0;

struct SineCosine {
    double sin;
    double cos;
};

// The two stages on their own, for the tests that hold each against MPFR.
namespace trigonometry_stages {

// |exact value - (hi + lo)| <= bound: 2^-66 |hi|, and the reduction's
// 2^-102 for results below 2^-30, where the rounding test does not trust it.
struct Estimate {
    double hi;
    double lo;
    double bound;
};

struct Estimates {
    Estimate sin;
    Estimate cos;
};

// For 2^-27 <= |x| <= 16.
Estimates fast(double x);
// Whether the estimate surely rounds to e.hi; if not, the accurate stage decides.
bool settles(const Estimate& e);
// For every x: NaN beyond the domain, x and 1 below 2^-27.
SineCosine accurate(double x);

}  // namespace trigonometry_stages

namespace trigonometry_fast {

using namespace trigonometry_table;

// Steps of pi/512 in a quarter turn: the table runs from 0 to this.
inline constexpr unsigned kQuarter = 256;

// Adding and taking away 1.5 * 2^52 leaves the nearest integer, and the sum
// holds it in the low bits of its significand.
inline constexpr double kRounder = 0x1.8p52;

// The bound, relative to |hi|, and the smallest result it covers.
inline constexpr double kError = 0x1p-66;
inline constexpr double kSmallest = 0x1p-30;
// 1 + 2^-11, for the quick rounding test.
inline constexpr double kMargin = 1.0 + 0x1p-11;

// The series' coefficients, signed: a + b * -c rounds exactly as a - b * c.
inline constexpr double kSin3 = -kInverseFactorial[3][0];
inline constexpr double kSin5 = kInverseFactorial[5][0];
inline constexpr double kSin7 = -kInverseFactorial[7][0];
inline constexpr double kCos4 = kInverseFactorial[4][0];
inline constexpr double kCos6 = -kInverseFactorial[6][0];

struct DoubleDouble {
    double hi;
    double lo;
};

// x - k pi/512 = rh + rl, r the nearest double to it, and k modulo a whole
// turn of 1024 steps.
struct Reduction {
    double r;
    double rh;  // r's leading 26 bits
    double rl;
    unsigned step;
};

inline Reduction reduce(double x) {
    const double shifted = x * kStepsPerRadian + kRounder;
    const double k = shifted - kRounder;
    // Both differences are exact: k kStep[1] lies on x's grid.
    const double exact = (x - k * kStep[0]) - k * kStep[1];
    // Veltkamp's splitting: rh has 26 bits, exact - rh is exact.
    const double scaled = exact * (0x1p27 + 1.0);
    const double rh = scaled - (scaled - exact);
    const double rl = (exact - rh) - k * kStep[2];
    std::uint64_t bits = 0;
    std::memcpy(&bits, &shifted, sizeof bits);
    return {rh + rl, rh, rl, static_cast<unsigned>(bits) & (4 * kQuarter - 1)};
}

// sin r - r and cos r - 1.
struct Tails {
    double sin;
    double cos;
};

inline Tails tails(double r) {
    const double r2 = r * r;
    return {r * r2 * ((r2 * kSin7 + kSin5) * r2 + kSin3), ((r2 * kCos6 + kCos4) * r2 + -0.5) * r2};
}

// sin(a + r) as hi + lo, from the table's sin a and cos a, r = rh + rl, and
// low = rl + (sin r - r).
inline DoubleDouble rotated(const Sine& s, const Sine& c, double rh, double low, double cosTail) {
    const double p = c.head * rh;
    const double t = s.head + p;
    const double e = p - (t - s.head);
    const double tail = ((e + s.rest) + c.rest * rh + c.value * low) + s.value * cosTail;
    const double hi = t + tail;
    return {hi, tail - (hi - t)};
}

inline bool settledQuickly(const DoubleDouble& v) { return v.hi + v.lo * kMargin == v.hi; }

// +1 or -1 for sin(quarter pi/2 + a) from +-sin a or +-cos a.
inline double signOf(unsigned quarter) { return (quarter & 2) != 0 ? -1.0 : 1.0; }

// What the quick test leaves: the tighter test, then the accurate stage.
double sineCarefully(double x);
double cosineCarefully(double x);
SineCosine sineCosineCarefully(double x);

// sin(x + turns pi/2): the sine for 0 quarter turns, the cosine for 1.
template <unsigned turns>
inline double sineTurned(double x) {
    if (std::fabs(x) <= kTrigonometryDomain) {
        const Reduction t = reduce(x);
        const unsigned j = t.step % kQuarter;
        const unsigned quarter = t.step / kQuarter + turns;
        const Tails tail = tails(t.r);
        const double low = t.rl + tail.sin;
        if ((quarter & 1) != 0) {
            // cos(j h + r) = sin((256 - j) h - r), never below sin(h/2).
            const DoubleDouble v = rotated(kSine[kQuarter - j], kSine[j], -t.rh, -low, tail.cos);
            if (settledQuickly(v)) return signOf(quarter) * v.hi;
        } else {
            // Only sin(0 + r) can be small.
            const DoubleDouble v = rotated(kSine[j], kSine[kQuarter - j], t.rh, low, tail.cos);
            if ((j != 0 || std::fabs(v.hi) >= kSmallest) && settledQuickly(v)) return signOf(quarter) * v.hi;
        }
    }
    return turns == 0 ? sineCarefully(x) : cosineCarefully(x);
}

// sin x and cos x, each as hi + lo but for their signs: the rotations are
// chosen by the quarter's parity, so only the signs are left to it.
struct Pair {
    DoubleDouble sin;
    DoubleDouble cos;
    unsigned quarter;
    unsigned step;  // within the quarter
};

inline Pair pair(double x) {
    const Reduction t = reduce(x);
    const unsigned j = t.step % kQuarter;
    const unsigned quarter = t.step / kQuarter;
    const Tails tail = tails(t.r);
    const bool odd = (quarter & 1) != 0;
    const Sine& first = kSine[odd ? kQuarter - j : j];
    const Sine& second = kSine[odd ? j : kQuarter - j];
    const double flip = odd ? -1.0 : 1.0;
    const double rh = flip * t.rh;
    const double low = flip * (t.rl + tail.sin);
    return {rotated(first, second, rh, low, tail.cos), rotated(second, first, -rh, -low, tail.cos), quarter, j};
}

}  // namespace trigonometry_fast

inline double sine(double x) { return trigonometry_fast::sineTurned<0>(x); }

inline double cosine(double x) { return trigonometry_fast::sineTurned<1>(x); }

// Both of one angle, for about the price of one.
inline SineCosine sineCosine(double x) {
    using namespace trigonometry_fast;
    if (std::fabs(x) <= kTrigonometryDomain) {
        const Pair p = pair(x);
        // Only sin(0 + r), at a quarter's first step, can be small, as the
        // sine or the cosine; |cos a| <= 1, so the product is small with it.
        if ((p.step != 0 || std::fabs(p.sin.hi * p.cos.hi) >= kSmallest) && settledQuickly(p.sin) &&
            settledQuickly(p.cos)) {
            return {signOf(p.quarter) * p.sin.hi, signOf(p.quarter + 1) * p.cos.hi};
        }
    }
    return sineCosineCarefully(x);
}
