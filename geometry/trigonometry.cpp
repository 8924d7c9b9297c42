// Correctly rounded sine and cosine from +, -, * and comparisons of doubles.
//
// (The account of the method and its error bounds is being rewritten.)

#include "trigonometry.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "trigonometry_table.h"

namespace {

using namespace trigonometry_table;

// Adding and taking away 1.5 * 2^52 leaves the nearest integer, and the sum
// holds it in the low bits of its significand.
constexpr double kRounder = 0x1.8p52;

// Steps of pi/512 in a quarter turn: the table runs from 0 to this.
constexpr unsigned kQuarter = 256;

struct DoubleDouble {
    double hi;
    double lo;
};

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

// The bits of k, the nearest integer to the rounded sum's value minus 1.5 * 2^52.
unsigned lowBits(double shifted) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &shifted, sizeof bits);
    return static_cast<unsigned>(bits);
}

// x - k pi/512, and k modulo a whole turn of 1024 steps.
struct Reduction {
    double r;     // the nearest double to it
    double rh;    // r's leading 26 bits
    double rl;    // the rest
    unsigned step;
};

Reduction reduce(double x) {
    const double shifted = x * kStepsPerRadian + kRounder;
    const double k = shifted - kRounder;
    // Both differences are exact: k kStep[1] lies on x's grid.
    const DoubleDouble split = halves((x - k * kStep[0]) - k * kStep[1]);
    const double rl = split.lo - k * kStep[2];
    return {split.hi + rl, split.hi, rl, lowBits(shifted) & (4 * kQuarter - 1)};
}

// sin r - r and cos r - 1.
struct Tails {
    double sin;
    double cos;
};

// The series' coefficients, signed: a + b * -c rounds exactly as a - b * c.
constexpr double kSin3 = -kInverseFactorial[3][0];
constexpr double kSin5 = kInverseFactorial[5][0];
constexpr double kSin7 = -kInverseFactorial[7][0];
constexpr double kCos4 = kInverseFactorial[4][0];
constexpr double kCos6 = -kInverseFactorial[6][0];

Tails tails(double r) {
    const double r2 = r * r;
    return {r * r2 * ((r2 * kSin7 + kSin5) * r2 + kSin3), ((r2 * kCos6 + kCos4) * r2 + -0.5) * r2};
}

// sin(a + r) as hi + lo, from the table's sin a and cos a, r = rh + rl, and
// low = rl + (sin r - r).
DoubleDouble rotated(const Sine& s, const Sine& c, double rh, double low, double cosTail) {
    const double p = c.head * rh;
    const double t = s.head + p;
    const double e = p - (t - s.head);
    const double tail = ((e + s.rest) + c.rest * rh + c.value * low) + s.value * cosTail;
    const double hi = t + tail;
    return {hi, tail - (hi - t)};
}

// The fast stage's error bound, relative to |hi|. Below 2^-30 (x within about
// 2^-30 of a multiple of pi/2) the accurate stage decides.
constexpr double kFastError = 0x1p-66;
constexpr double kFastSmallest = 0x1p-30;
// 1 + 2^-11: see the rounding test at the top.
constexpr double kMargin = 1.0 + 0x1p-11;

// The tighter test, for the few results the quick one leaves.
bool settledClosely(double hi, double lo) {
    const double twice = 2.0 * kFastError * std::fabs(hi);
    return hi + (lo + twice) == hi && hi + (lo - twice) == hi;
}

// True when every number within the bound of v.hi + v.lo rounds to v.hi.
bool settled(const DoubleDouble& v) { return v.hi + v.lo * kMargin == v.hi || settledClosely(v.hi, v.lo); }

// sin(quarter pi/2 + a) from sin a and cos a.
double inQuarter(double sinA, double cosA, unsigned quarter) {
    switch (quarter & 3) {
    case 0: return sinA;
    case 1: return cosA;
    case 2: return -sinA;
    default: return -cosA;
    }
}

// +1 or -1 for sin(quarter pi/2 + a) from +-sin a or +-cos a.
double signOf(unsigned quarter) { return (quarter & 2) != 0 ? -1.0 : 1.0; }

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

// sin x and cos x, each as hi + lo, but for their signs: sin(q pi/2 + a) is
// +-sin a for even q and +-cos a for odd q, and the rotations are chosen to
// match, so only the signs are left to the quarter q.
struct FastPair {
    DoubleDouble sin;
    DoubleDouble cos;
    unsigned quarter;
};

inline FastPair fastPair(double x) {
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
    return {rotated(first, second, rh, low, tail.cos), rotated(second, first, -rh, -low, tail.cos), quarter};
}

}  // namespace

namespace trigonometry_stages {

Estimates fast(double x) {
    const FastPair p = fastPair(x);
    const auto estimate = [](const DoubleDouble& v, double sign) {
        return Estimate{sign * v.hi, sign * v.lo, kFastError * std::fabs(v.hi) + 0x1p-128};
    };
    return {estimate(p.sin, signOf(p.quarter)), estimate(p.cos, signOf(p.quarter + 1))};
}

bool settles(const Estimate& e) { return std::fabs(e.hi) >= kFastSmallest && settled({e.hi, e.lo}); }

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

namespace {

// sin(x + turns pi/2): the sine for 0 quarter turns, the cosine for 1. Zero,
// tiny and out-of-domain arguments leave by the smallest-result test or the
// domain's, for the accurate stage, which takes them first.
template <unsigned turns>
double sineTurned(double x) {
    if (std::fabs(x) <= kTrigonometryDomain) {
        const Reduction t = reduce(x);
        const unsigned j = t.step % kQuarter;
        const unsigned quarter = t.step / kQuarter + turns;
        const Tails tail = tails(t.r);
        const bool odd = (quarter & 1) != 0;
        const double flip = odd ? -1.0 : 1.0;
        // For odd quarters, cos(j h + r) = sin((256 - j) h - r).
        const DoubleDouble v = rotated(kSine[odd ? kQuarter - j : j], kSine[odd ? j : kQuarter - j],
                                       flip * t.rh, flip * (t.rl + tail.sin), tail.cos);
        if (std::fabs(v.hi) >= kFastSmallest && settled(v)) return signOf(quarter) * v.hi;
    }
    const SineCosine exact = trigonometry_stages::accurate(x);
    return turns == 0 ? exact.sin : exact.cos;
}

}  // namespace

double sine(double x) { return sineTurned<0>(x); }

double cosine(double x) { return sineTurned<1>(x); }

SineCosine sineCosine(double x) {
    if (std::fabs(x) <= kTrigonometryDomain) {
        const FastPair p = fastPair(x);
        // |cos a| <= 1, so the product is below 2^-30 whenever sin a is.
        if (std::fabs(p.sin.hi * p.cos.hi) >= kFastSmallest && settled(p.sin) && settled(p.cos)) {
            return {signOf(p.quarter) * p.sin.hi, signOf(p.quarter + 1) * p.cos.hi};
        }
    }
    return trigonometry_stages::accurate(x);
}
