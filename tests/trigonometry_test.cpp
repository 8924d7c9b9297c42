// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The program's sine and cosine against MPFR: every result must be the
// correctly rounded one, which is what makes it the same on every machine.

#include "geometry/trigonometry.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "tests/support/frame_grid.h"
#include "tests/support/mpfr_reference.h"

namespace {

using trigonometry_stages::Estimate;

std::string hex(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%a", x);
    return text;
}

// |exact - (e.hi + e.lo)| <= e.bound, measured at 300 bits.
bool withinBound(double x, bool isSin, const Estimate& e) {
    mpfr_t a, error;
    mpfr_inits2(300, a, error, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(a, x, MPFR_RNDN);
    if (isSin) mpfr_sin(error, a, MPFR_RNDN); else mpfr_cos(error, a, MPFR_RNDN);
    mpfr_sub_d(error, error, e.hi, MPFR_RNDN);
    mpfr_sub_d(error, error, e.lo, MPFR_RNDN);
    const bool within = std::fabs(mpfr_get_d(error, MPFR_RNDU)) <= e.bound;
    mpfr_clears(a, error, static_cast<mpfr_ptr>(nullptr));
    return within;
}

bool leftToAccurateStage(const Estimate& e) { return !trigonometry_stages::settles(e); }

// Every way of asking, against MPFR; returns how many answers were wrong.
int misrounded(double x) {
    double s;
    double c;
    mpfrSinCos(x, s, c);
    const SineCosine both = sineCosine(x);
    int wrong = 0;
    for (const auto& [got, want, what] :
         {std::tuple{sine(x), s, "sine"}, std::tuple{cosine(x), c, "cosine"},
          std::tuple{both.sin, s, "sineCosine().sin"}, std::tuple{both.cos, c, "sineCosine().cos"}}) {
        if (got != want) {
            ++wrong;
            ADD_FAILURE() << what << "(" << hex(x) << ") = " << hex(got) << ", correctly rounded "
                          << hex(want);
        }
    }
    return wrong;
}

TEST(Trigonometry, EveryArgumentOfTheSevenFramesIsCorrectlyRounded) {
    // What the catalogue passes: cos u, cos(u 2 pi), cos(v 4 pi), and both of
    // u pi and (v + 1) pi, with its own short pi, over the grid of a frame.
    std::set<std::pair<double, char>> calls;
    auto grid = std::set<double>(kGrid.begin(), kGrid.end());
    grid.insert(kGridEnd);
    for (double t : grid) {
        calls.insert({t, 'c'});
        calls.insert({t * 6.283184, 'c'});
        calls.insert({t * 12.566368, 'c'});
        for (char f : {'s', 'c'}) {
            calls.insert({t * 3.141592, f});
            calls.insert({(t + 1.0) * 3.141592, f});
        }
    }
    EXPECT_EQ(calls.size(), 137u);
    for (const auto& [x, f] : calls) {
        EXPECT_EQ(f == 's' ? sine(x) : cosine(x), f == 's' ? mpfrSin(x) : mpfrCos(x)) << hex(x);
    }
}

TEST(Trigonometry, AMillionArgumentsOverTheWholeDomain) {
    // Half uniform over [-16, 16], half with a uniform exponent, so that small
    // arguments are as well covered as large ones.
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> uniform(-16.0, 16.0);
    std::uniform_real_distribution<double> significand(1.0, 2.0);
    std::uniform_int_distribution<int> exponent(-27, 3);
    int wrong = 0;
    int boundBroken = 0;
    int accurateWrong = 0;
    int leftToAccurate = 0;
    for (int i = 0; i < 1000000 && wrong + boundBroken + accurateWrong < 10; ++i) {
        const double x = i % 2 == 0 ? uniform(random)
                                    : std::ldexp(i % 4 == 1 ? significand(random) : -significand(random),
                                                 exponent(random));
        wrong += misrounded(x);
        if (std::fabs(x) < 0x1p-27) continue;
        const auto e = trigonometry_stages::fast(x);
        if (i % 16 == 0) {  // the stages alone; the accurate one is slow
            boundBroken += !withinBound(x, true, e.sin) + !withinBound(x, false, e.cos);
            const SineCosine a = trigonometry_stages::accurate(x);
            // sine and cosine were just held against MPFR.
            accurateWrong += (a.sin != sine(x)) + (a.cos != cosine(x));
        }
        leftToAccurate += leftToAccurateStage(e.sin) || leftToAccurateStage(e.cos);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(boundBroken, 0) << "the fast stage erred by more than its bound";
    EXPECT_EQ(accurateWrong, 0) << "the accurate stage misrounded";
    // A rounding test that never fails would be suspect, one that often
    // fails too slow: about one argument in thirteen hundred (756 here).
    EXPECT_GT(leftToAccurate, 100);
    EXPECT_LT(leftToAccurate, 5000);
}

TEST(Trigonometry, EndsOfTheDomainZerosAndBeyond) {
    const double largest = kTrigonometryDomain;
    for (double x : {largest, -largest, std::nextafter(largest, 0.0), 0x1p-27, -0x1p-27,
                     std::nextafter(0x1p-27, 0.0), 0x1p-60, std::numeric_limits<double>::denorm_min(),
                     std::numeric_limits<double>::min()}) {
        EXPECT_EQ(misrounded(x), 0) << hex(x);
    }
    EXPECT_EQ(std::signbit(sine(-0.0)), true);
    EXPECT_EQ(std::signbit(sine(0.0)), false);
    EXPECT_EQ(cosine(-0.0), 1.0);
    EXPECT_EQ(sineCosine(-0.0).sin, 0.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {std::nextafter(largest, inf), -std::nextafter(largest, inf), 1e300, inf, -inf, nan}) {
        EXPECT_TRUE(std::isnan(sine(x))) << x;
        EXPECT_TRUE(std::isnan(cosine(x))) << x;
        EXPECT_TRUE(std::isnan(sineCosine(x).sin) && std::isnan(sineCosine(x).cos)) << x;
    }
}

TEST(Trigonometry, HardestArgumentsFoundGoThroughTheAccurateStage) {
    // The hardest cases found by a search, and the doubles nearest to
    // multiples of pi/2, whose sine or cosine is tiny.
    struct Case {
        double x;
        bool isSin;
    };
    const Case cases[] = {
#include "hard_cases.inc"
        {0x1.921fb54442d18p+0, false}, {0x1.921fb54442d18p+1, true},
        {0x1.2d97c7f3321d2p+2, false}, {0x1.921fb54442d18p+2, true},
        {-0x1.f6a7a2955385ep+2, false}, {0x1.2d97c7f3321d2p+3, true},
        {0x1.5fdbbe9bba775p+3, false}, {-0x1.921fb54442d18p+3, true},
    };
    for (const Case& c : cases) {
        const auto e = trigonometry_stages::fast(c.x);
        EXPECT_TRUE(leftToAccurateStage(c.isSin ? e.sin : e.cos)) << hex(c.x);
        EXPECT_EQ(misrounded(c.x), 0) << hex(c.x);
    }
}

// Whether hi + lo + offset rounds to hi, exactly.
bool roundsToHi(double hi, double lo, double offset) {
    mpfr_t sum;
    mpfr_init2(sum, 400);
    mpfr_set_d(sum, hi, MPFR_RNDN);
    mpfr_add_d(sum, sum, lo, MPFR_RNDN);
    mpfr_add_d(sum, sum, offset, MPFR_RNDN);
    const bool rounds = mpfr_get_d(sum, MPFR_RNDN) == hi;
    mpfr_clear(sum);
    return rounds;
}

TEST(Trigonometry, RoundingTestSettlesOnlyWhatTheBoundAllows) {
    // Estimates whose low part lies just inside a rounding boundary, where the
    // quick test's margin and the tighter test's decide: whatever settles
    // must round to hi all across the fast stage's bound. The estimates' own
    // errors are far below the bound, so only this shows a test too lax.
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> significand(1.0, 2.0);
    std::uniform_int_distribution<int> exponent(-30, 3);
    std::uniform_real_distribution<double> closeness(6.0, 20.0);
    int settled = 0;
    int unsound = 0;
    for (int i = 0; i < 100000; ++i) {
        const double sign = i % 2 == 0 ? 1.0 : -1.0;
        // Some powers of two, whose gap below is half the one above.
        const double hi = sign * std::ldexp(i % 10 == 0 ? 1.0 : significand(random), exponent(random));
        const double towards = (i / 2) % 2 == 0 ? 2.0 * hi : 0.0;
        const double gap = std::fabs(std::nextafter(hi, towards) - hi);
        const double lo = std::copysign(gap / 2.0 * (1.0 - std::exp2(-closeness(random))), towards - hi);
        const double bound = 0x1p-66 * std::fabs(hi);
        if (!trigonometry_stages::settles({hi, lo, bound})) continue;
        ++settled;
        unsound += !(roundsToHi(hi, lo, bound) && roundsToHi(hi, lo, -bound));
    }
    EXPECT_EQ(unsound, 0) << "settled estimates that the bound does not let round to hi";
    // About two in five lie farther from the boundary than the bound reaches.
    EXPECT_GT(settled, 30000);
}

TEST(Trigonometry, ArgumentsBesideEveryMultipleOfAQuarterTurn) {
    // There one of sine and cosine is tiny, below where the fast stage's
    // bound holds, through every entry point and for either quarter's parity.
    const double quarterTurn = std::acos(-1.0) / 2.0;
    int wrong = 0;
    int settledSmall = 0;
    for (int n = -10; n <= 10; ++n) {
        if (n == 0) continue;
        double x = n * quarterTurn;
        for (int i = 0; i < 40; ++i) x = std::nextafter(x, 0.0);
        for (int i = 0; i <= 80; ++i, x = std::nextafter(x, n * 32.0)) {
            wrong += misrounded(x);
            const auto e = trigonometry_stages::fast(x);
            settledSmall += !leftToAccurateStage(n % 2 == 0 ? e.sin : e.cos);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(settledSmall, 0) << "results below the fast bound's reach were settled";
}

TEST(Trigonometry, NoDoubleLiesNearerThan2ToMinus70ToAMultipleOfTheStep) {
    // The accurate stage's reduction errs by under 2^-260, which is 2^-190 of
    // r only if r stays above 2^-70 whenever k != 0. Its steps of pi/64 are
    // among these of pi/1024; each multiple's nearest double is the nearest
    // that any double comes.
    mpfr_t step, multiple;
    mpfr_inits2(300, step, multiple, static_cast<mpfr_ptr>(nullptr));
    mpfr_const_pi(step, MPFR_RNDN);
    mpfr_div_ui(step, step, 1024, MPFR_RNDN);
    double nearest = 1.0;
    for (unsigned k = 1; k <= 5216; ++k) {
        mpfr_mul_ui(multiple, step, k, MPFR_RNDN);
        const double x = mpfr_get_d(multiple, MPFR_RNDN);
        mpfr_sub_d(multiple, multiple, x, MPFR_RNDN);
        nearest = std::fmin(nearest, std::fabs(mpfr_get_d(multiple, MPFR_RNDN)));
    }
    mpfr_clears(step, multiple, static_cast<mpfr_ptr>(nullptr));
    EXPECT_GT(nearest, 0x1p-70);
}

}  // namespace
