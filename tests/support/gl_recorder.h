// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// A recording stand-in for the GL, GLU and GLUT entry points the viewer calls.
// Test binaries link it instead of the real libraries; every call is appended
// to the log with its arguments, floats widened to double without loss.

#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct GlCall {
    std::string name;
    std::vector<double> args;
    // Pointer and string arguments: fonts, callbacks, the window title.
    const void* pointer = nullptr;
    std::string text;

    bool operator==(const GlCall& other) const {
        return name == other.name && args == other.args && pointer == other.pointer &&
               text == other.text;
    }
};

// Floats in hexadecimal: exact, and the same text on every platform.
void PrintTo(const GlCall& call, std::ostream* os);

// A call as the recorder logs it: the expected side of a comparison.
inline GlCall glCall(const char* name, std::vector<double> args = {}, const void* pointer = nullptr,
                     std::string text = {}) {
    return GlCall{name, std::move(args), pointer, std::move(text)};
}

// The calls recorded since the last clearGlLog().
std::vector<GlCall>& glLog();
void clearGlLog();

// The font handle the recorder's GLUT_BITMAP_8_BY_13 stands for.
const void* bitmapFont8By13();
