// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

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

// Both at once, for about the price of one.
inline void mpfrSinCos(double x, double& sin, double& cos) {
    mpfr_t argument, s, c;
    mpfr_inits2(53, argument, s, c, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(argument, x, MPFR_RNDN);
    const int inexact = mpfr_sin_cos(s, c, argument, MPFR_RNDN);
    // mpfr_sin_cos encodes both ternary values in one: sine's in bits 0-1.
    const int sinInexact = inexact & 3;
    const int cosInexact = inexact >> 2;
    mpfr_subnormalize(s, sinInexact == 2 ? -1 : sinInexact, MPFR_RNDN);
    mpfr_subnormalize(c, cosInexact == 2 ? -1 : cosInexact, MPFR_RNDN);
    sin = mpfr_get_d(s, MPFR_RNDN);
    cos = mpfr_get_d(c, MPFR_RNDN);
    mpfr_clears(argument, s, c, static_cast<mpfr_ptr>(nullptr));
}
