#pragma once

// Sine and cosine of the program's own, correctly rounded to nearest for
// every |x| <= 16 (the catalogue passes |x| < 14) and computed with IEEE-754
// double operations only, so that every conforming machine returns the same
// bits. Outside that range they return NaN. The method and its error bounds
// are at the top of trigonometry.cpp.

inline constexpr double kTrigonometryDomain = 16.0;

double sine(double x);
double cosine(double x);

struct SineCosine {
    double sin;
    double cos;
};

// Both of one angle, for about the price of one.
SineCosine sineCosine(double x);

// The two stages on their own, for the tests that hold each against MPFR.
namespace trigonometry_stages {

// |exact value - (hi + lo)| <= bound.
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
SineCosine accurate(double x);

}  // namespace trigonometry_stages
