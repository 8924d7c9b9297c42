#pragma once

// Sine and cosine correctly rounded by MPFR: the reference every machine
// agrees on, independent of the code under test.

#include <mpfr.h>

inline double mpfrRounded(int (*function)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), double x) {
    mpfr_t argument, result;
    mpfr_init2(argument, 53);
    mpfr_init2(result, 53);
    mpfr_set_d(argument, x, MPFR_RNDN);
    const int inexact = function(result, argument, MPFR_RNDN);
    mpfr_subnormalize(result, inexact, MPFR_RNDN);
    const double rounded = mpfr_get_d(result, MPFR_RNDN);
    mpfr_clear(argument);
    mpfr_clear(result);
    return rounded;
}

inline double mpfrSin(double x) { return mpfrRounded(mpfr_sin, x); }
inline double mpfrCos(double x) { return mpfrRounded(mpfr_cos, x); }
