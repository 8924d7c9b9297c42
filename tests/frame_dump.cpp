// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// Prints every GL call of one frame of each surface, every argument exactly
// (hexadecimal floats, the same text on every platform). With --against FILE
// it compares this build's frames with a dump from another build instead:
// any difference fails, naming the first differing call and value, and a
// table gives per function how many calls differ and by how many float steps
// at most.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/current_surface.h"
#include "app/frame.h"
#include "geometry/surfaces.h"
#include "tests/support/gl_recorder.h"

namespace {

std::vector<std::string> dumpLines() {
    std::vector<std::string> lines;
    for (unsigned surface = 0; surface < surfaceCount; ++surface) {
        currentSurface = surface;
        clearGlLog();
        display();
        lines.push_back("surface " + std::to_string(surface) + ": " +
                        std::to_string(glLog().size()) + " calls");
        for (const GlCall& call : glLog()) {
            std::ostringstream line;
            PrintTo(call, &line);
            lines.push_back(line.str());
        }
    }
    return lines;
}

// A line split into its function name and numeric arguments; false if it is
// no call or has other arguments than numbers.
bool parseCall(const std::string& line, std::string& name, std::vector<double>& args) {
    const auto open = line.find('(');
    if (open == std::string::npos || line.back() != ')') return false;
    name = line.substr(0, open);
    args.clear();
    std::istringstream list(line.substr(open + 1, line.size() - open - 2));
    for (std::string item; std::getline(list, item, ',');) {
        char* end = nullptr;
        args.push_back(std::strtod(item.c_str(), &end));
        if (end == item.c_str() || *end != '\0') return false;
    }
    return true;
}

// Values of the same sign in order, as integers: their difference counts
// the representable values between them.
template <typename Float, typename Int>
double ordered(Float value) {
    Int bits;
    std::memcpy(&bits, &value, sizeof bits);
    return static_cast<double>(bits < 0 ? std::numeric_limits<Int>::min() - bits : bits);
}

// Steps between two values, in float steps when both are floats (every
// vertex and normal is), otherwise in double steps.
double steps(double a, double b) {
    if (double(float(a)) == a && double(float(b)) == b)
        return std::fabs(ordered<float, std::int32_t>(float(a)) - ordered<float, std::int32_t>(float(b)));
    return std::fabs(ordered<double, std::int64_t>(a) - ordered<double, std::int64_t>(b));
}

struct Tally {
    long calls = 0;
    long differing = 0;
    double maxSteps = 0;
};

int compare(const std::vector<std::string>& here, const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> there;
    for (std::string line; std::getline(file, line);) there.push_back(line);
    if (!file.eof() || there.empty()) {
        std::cerr << "frame_dump: cannot read a dump from " << path << '\n';
        return 2;
    }
    if (there.size() != here.size()) {
        std::cout << "frame_dump: FAIL: " << here.size() << " lines here, " << there.size() << " in "
                  << path << '\n';
        return 1;
    }
    std::map<std::string, Tally> tally;
    std::string surface;
    std::ostringstream first;  // the first difference, empty while there is none
    for (std::size_t i = 0; i < here.size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1);
        if (here[i].rfind("surface ", 0) == 0) surface = here[i].substr(0, here[i].find(':'));
        std::string name, otherName;
        std::vector<double> args, otherArgs;
        const bool isCall = parseCall(here[i], name, args);
        if (isCall) ++tally[name].calls;
        if (here[i] == there[i]) continue;
        if (!isCall || !parseCall(there[i], otherName, otherArgs) || otherName != name ||
            otherArgs.size() != args.size()) {
            std::cout << "frame_dump: FAIL: the call streams differ in shape at " << where
                      << "\n  here  " << here[i] << "\n  there " << there[i] << '\n';
            return 1;
        }
        Tally& t = tally[name];
        ++t.differing;
        for (std::size_t a = 0; a < args.size(); ++a) {
            const double s = steps(args[a], otherArgs[a]);
            t.maxSteps = std::max(t.maxSteps, s);
            // -0 and +0 are no step apart, yet they differ.
            const bool differs =
                args[a] != otherArgs[a] || std::signbit(args[a]) != std::signbit(otherArgs[a]);
            if (first.tellp() == 0 && differs) {
                first << surface << ", " << where << ", " << name << " argument " << a + 1 << ", "
                      << long(s) << " steps\n  here  " << here[i] << "\n  there " << there[i];
            }
        }
    }
    if (first.tellp() == 0) {
        std::cout << "frame_dump: all " << here.size() << " lines are identical to " << path << '\n';
        return 0;
    }
    for (const auto& [name, t] : tally) {
        if (t.differing > 0) {
            std::cout << name << ": " << t.differing << " of " << t.calls
                      << " calls differ, by at most " << long(t.maxSteps) << " steps\n";
        }
    }
    std::cout << "first difference: " << first.str() << "\nframe_dump: FAIL: this build's frames differ from "
              << path << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> lines = dumpLines();
    if (argc == 1) {
        for (const std::string& line : lines) std::cout << line << '\n';
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--against") return compare(lines, argv[2]);
    std::cerr << "usage: frame_dump [--against DUMP]\n";
    return 2;
}
