// Correctly rounded sine and cosine from +, -, * and comparisons of doubles.
//
// Every operation below is a correctly rounded IEEE-754 double operation
// (round to nearest, no fused multiply-add, no extended precision), so every
// machine that conforms computes the same bits. The method is Ziv's: a fast
// estimate with a proven error bound, and a slower, far more accurate one when
// that bound does not settle the rounding. Every constant and table comes from
// make_trigonometry_table.cpp (MPFR). u = 2^-53; 2^-27 <= |x| <= 16 below
// (smaller x round to x and 1; larger ones are outside the domain).
//
// 1. Reduction. k = the integer nearest x * 1024/pi (an error of a fraction
//    of a step only makes |r| a hair larger than pi/2048), and
//    r = x - k pi/1024, with pi/1024 split into parts of 40 bits so that
//    k * part is exact for |k| <= 5216 < 2^13. x - k*part0 is exact
//    (Sterbenz), as is every product. The fast stage keeps r = rh + rl from
//    three parts: error < 2^-114 (the parts left out, 2^-115, and one rounding
//    of the tail, 2^-116); |r| <= 2^-9.34. Its last sum may be Fast2Sum
//    because no double in the domain comes nearer than 2^-69 to a nonzero
//    multiple of the step (checked with MPFR by the tests). The accurate stage
//    adds all five parts without rounding any but the last: error < 2^-200.
// 2. x = (4m + q) pi/2 + j pi/1024 + r with j < 512. With s = sin(j pi/1024)
//    and c = cos(j pi/1024) from the table (as double-doubles, error u^2),
//    S = sin(j pi/1024 + r) = s cos r + c sin r, C = c cos r - s sin r, and
//    sin x, cos x are +-S or +-C by the quarter q.
// 3. Fast stage. sin r - r and cos r - 1 by their Taylor series to r^7 and
//    r^6 (left out: < 2^-93 |r| and 2^-90), in doubles: their errors are
//    below 2^-71.5 of the largest term they feed, as the terms are below
//    2^-19.6 and each carries a few roundings of u. c rh and s rh are exact by
//    Dekker's product (the table keeps s and c in 26-bit halves for it), the
//    head of each sum exact by Fast2Sum, and the small terms are summed in
//    doubles (< 2^-70.6 of the largest term). The terms are at most 3.4 times
//    |S| (or |C|), because the angle j pi/1024 + r stays between pi/2048 and
//    pi/2 - pi/2048 unless it is r itself. So the estimate errs by less than
//    2^-66.5 |result| + 2^-114; the bound used is 2^-65 |hi| + 2^-110. (The
//    tests measure the error of a million estimates against MPFR: under
//    2^-70 |result|.)
// 4. Rounding test: if hi + (lo + 2b) and hi + (lo - 2b) both round to hi,
//    then so does every value within b of hi + lo, as rounding is monotonic,
//    and so the exact result rounds to hi. That needs only that rounding
//    lo +- 2b errs by less than b, which holds for b >= 2^-104 |hi| since
//    |lo| <= u |hi|. Results below 2^-40 (x within about 2^-40 of a multiple
//    of pi/2) go to the accurate stage without the test, as do about one
//    argument in two thousand, those near a rounding boundary.
// 5. Accurate stage: numbers are three doubles that do not overlap, made so
//    by distillation (passes of TwoSum, each exact, until none changes: see
//    Anderson, "A distillation algorithm for floating-point summation", 1999);
//    dropping what lies beyond the third double errs by under 2^-155 each
//    time, and products keep every partial product above 2^-159 of theirs.
//    Taylor series of sin r and cos r to r^13 and r^12 (left out: < 2^-167).
//    With the table at 2^-159 and about 40 such steps, the result is within
//    2^-148 of the exact value, relatively, and is rounded exactly from its
//    three parts. That is the correctly rounded result unless the exact sine
//    or cosine lies within 2^-148 of a point halfway between two doubles. If
//    their bits beyond the 53rd behave like random ones (the model behind
//    Lefèvre and Muller's worst-case searches, which their results bear out),
//    the 2^58 doubles of the domain are expected to hold 2^-35 such cases; the
//    tests also run the hardest ones a search of 10^9 arguments found.

#include "trigonometry.h"

#include <array>
#include <cstddef>
#include <cmath>
#include <limits>

#include "trigonometry_table.h"

namespace {

using namespace trigonometry_table;

// Below this, sin x rounds to x and cos x to 1: x^3/6 and x^2/2 are under
// half the gap between x (or 1) and its neighbour.
constexpr double kTiny = 0x1p-27;

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

// Dekker's Fast2Sum: the same when |a| >= |b| or a == 0.
DoubleDouble fastTwoSum(double a, double b) {
    const double sum = a + b;
    return {sum, b - (sum - a)};
}

// a as the sum of two halves of at most 26 bits (Veltkamp's splitting).
DoubleDouble halves(double a) {
    constexpr double kSplitter = 0x1p27 + 1.0;
    const double t = kSplitter * a;
    const double high = t - (t - a);
    return {high, a - high};
}

// Dekker's product: hi + lo == a * b exactly, without a fused multiply-add,
// from both factors' halves.
DoubleDouble twoProduct(double a, const DoubleDouble& aHalves, double b, const DoubleDouble& bHalves) {
    const double product = a * b;
    return {product, ((aHalves.hi * bHalves.hi - product) + aHalves.hi * bHalves.lo +
                      aHalves.lo * bHalves.hi) +
                         aHalves.lo * bHalves.lo};
}

DoubleDouble twoProduct(double a, double b) { return twoProduct(a, halves(a), b, halves(b)); }

struct Reduction {
    double k;
    double head;  // x - k * kStep[0], exact
    DoubleDouble r;
    int quarter;  // of the turn, 0 to 3
    int step;     // of pi/1024 within the quarter, 0 to 511
};

Reduction reduce(double x) {
    // Adding and taking away 1.5 * 2^52 leaves the nearest integer.
    constexpr double kRounder = 0x1.8p52;
    const double k = (x * kStepsPerRadian + kRounder) - kRounder;
    const double head = x - k * kStep[0];
    const DoubleDouble s = twoSum(head, -(k * kStep[1]));
    // |s.hi| > 2^-70 (no double here comes nearer to a multiple of the step)
    // while the rest is below 2^-75.
    const DoubleDouble r = fastTwoSum(s.hi, s.lo - k * kStep[2]);
    // Two's complement: the step count modulo a whole turn of 2048 steps.
    const int turn = static_cast<int>(k) & 2047;
    return {k, head, r, turn >> 9, turn & 511};
}

// sin and cos of j pi/1024 + r by the fast stage, each as hi + lo.
struct FastPair {
    DoubleDouble sin;
    DoubleDouble cos;
};

template <bool wantSin, bool wantCos>
FastPair fastOfStep(const Reduction& t) {
    const double rh = t.r.hi;
    const double rl = t.r.lo;
    const double r2 = rh * rh;
    const double sinTail = rh * r2 * (r2 * (kInverseFactorial[5][0] - r2 * kInverseFactorial[7][0]) -
                                      kInverseFactorial[3][0]);
    const double cosTail = r2 * (r2 * (kInverseFactorial[4][0] - r2 * kInverseFactorial[6][0]) - 0.5) -
                           rh * rl;
    const StepValues& v = kStepValues[t.step];
    const DoubleDouble rHalves = halves(rh);
    // Fast2Sum holds for the heads: |c r| and |s r| <= pi/2048 <= s, c, or s == 0.
    FastPair result{};
    if (wantSin) {  // s + c r + (s (cos r - 1) + c (sin r - r) + the low parts)
        const DoubleDouble cr = twoProduct(v.cos[0], {v.cosHalves[0], v.cosHalves[1]}, rh, rHalves);
        const DoubleDouble head = fastTwoSum(v.sin[0], cr.hi);
        const double tail = head.lo + (cr.lo + (v.sin[1] + (v.sin[0] * cosTail +
                                                            (v.cos[0] * (rl + sinTail) + v.cos[1] * rh))));
        result.sin = fastTwoSum(head.hi, tail);
    }
    if (wantCos) {  // c - s r + (c (cos r - 1) - s (sin r - r) + the low parts)
        const DoubleDouble sr = twoProduct(v.sin[0], {v.sinHalves[0], v.sinHalves[1]}, rh, rHalves);
        const DoubleDouble head = fastTwoSum(v.cos[0], -sr.hi);
        const double tail = head.lo + (-sr.lo + (v.cos[1] + (v.cos[0] * cosTail -
                                                             (v.sin[0] * (rl + sinTail) + v.sin[1] * rh))));
        result.cos = fastTwoSum(head.hi, tail);
    }
    return result;
}

// The fast stage's error bound for a result of magnitude about |hi|. Below
// 2^-40 (x within 2^-40 of a multiple of pi/2) the accurate stage decides.
constexpr double kFastRelativeError = 0x1p-65;
constexpr double kFastAbsoluteError = 0x1p-110;
constexpr double kFastSmallest = 0x1p-40;

double fastBound(double hi) { return kFastRelativeError * std::fabs(hi) + kFastAbsoluteError; }

// True when every number within the bound of v.hi + v.lo rounds to v.hi.
bool settled(const DoubleDouble& v) {
    const double twice = 2.0 * kFastRelativeError * std::fabs(v.hi) + 2.0 * kFastAbsoluteError;
    return std::fabs(v.hi) >= kFastSmallest && v.hi + (v.lo + twice) == v.hi &&
           v.hi + (v.lo - twice) == v.hi;
}

// sin(quarter pi/2 + a) from sin a and cos a.
double inQuarter(double sinA, double cosA, int quarter) {
    switch (quarter) {
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

// sum over i < 7 of (-1)^i r2^i / (2i + first)!
Wide alternatingSeries(const Wide& r2, int first) {
    Wide sum = wide(kInverseFactorial[12 + first]);
    for (int i = 5; i >= 0; --i) {
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

// True for 2^-27 <= |x| <= 16: everything but the cases below.
bool ordinary(double x) {
    const double magnitude = std::fabs(x);
    return magnitude >= kTiny && magnitude <= kTrigonometryDomain;
}

SineCosine special(double x) {
    if (std::fabs(x) < kTiny) return {x, 1.0};
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    return {kNaN, kNaN};
}

}  // namespace

namespace trigonometry_stages {

Estimates fast(double x) {
    const Reduction t = reduce(x);
    const FastPair p = fastOfStep<true, true>(t);
    const auto estimate = [&](int quarter) {
        const double sign = quarter >= 2 ? -1.0 : 1.0;
        const DoubleDouble& v = quarter % 2 == 0 ? p.sin : p.cos;
        return Estimate{sign * v.hi, sign * v.lo, fastBound(v.hi)};
    };
    return {estimate(t.quarter), estimate((t.quarter + 1) & 3)};
}

bool settles(const Estimate& e) { return settled({e.hi, e.lo}); }

SineCosine accurate(double x) {
    const Reduction t = reduce(x);
    const Wide r = distill(std::array<double, 5>{-(t.k * kStep[4]), -(t.k * kStep[3]),
                                                 -(t.k * kStep[2]), -(t.k * kStep[1]), t.head});
    const Wide r2 = multiply(r, r);
    const Wide sinR = multiply(r, alternatingSeries(r2, 1));
    const Wide cosR = alternatingSeries(r2, 0);
    const Wide s = wide(kStepValues[t.step].sin);
    const Wide c = wide(kStepValues[t.step].cos);
    const Wide sinOfStep = add(multiply(s, cosR), multiply(c, sinR));
    const Wide cosOfStep = add(multiply(c, cosR), negated(multiply(s, sinR)));
    const double S = nearest(sinOfStep);
    const double C = nearest(cosOfStep);
    switch (t.quarter) {
    case 0: return {S, C};
    case 1: return {C, -S};
    case 2: return {-S, -C};
    default: return {-C, S};
    }
}

}  // namespace trigonometry_stages

namespace {

// sin(x + turns pi/2): the sine for 0 quarter turns, the cosine for 1.
template <int turns>
double sineTurned(double x) {
    const Reduction t = reduce(x);
    const int quarter = (t.quarter + turns) & 3;
    if (quarter % 2 == 0) {
        const DoubleDouble v = fastOfStep<true, false>(t).sin;
        if (settled(v)) return quarter == 0 ? v.hi : -v.hi;
    } else {
        const DoubleDouble v = fastOfStep<false, true>(t).cos;
        if (settled(v)) return quarter == 1 ? v.hi : -v.hi;
    }
    const SineCosine exact = trigonometry_stages::accurate(x);
    return turns == 0 ? exact.sin : exact.cos;
}

}  // namespace

double sine(double x) { return ordinary(x) ? sineTurned<0>(x) : special(x).sin; }

double cosine(double x) { return ordinary(x) ? sineTurned<1>(x) : special(x).cos; }

SineCosine sineCosine(double x) {
    if (!ordinary(x)) return special(x);
    const Reduction t = reduce(x);
    const FastPair p = fastOfStep<true, true>(t);
    if (!settled(p.sin) || !settled(p.cos)) return trigonometry_stages::accurate(x);
    return {inQuarter(p.sin.hi, p.cos.hi, t.quarter), inQuarter(p.sin.hi, p.cos.hi, (t.quarter + 1) & 3)};
}
