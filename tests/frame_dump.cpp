// Prints every GL call of one frame of each surface, every argument exactly
// (hexadecimal floats, the same text on every platform). With --against FILE
// it compares this build's frames with a dump from another build instead:
// any difference fails, naming the first differing call and value, and a
// table gives per function how many calls differ and by how many float steps
// at most.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
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

std::string hex(double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::hex).ptr;
    return (std::signbit(value) ? "-0x" : "0x") + std::string(text, end);
}

std::vector<std::string> dumpLines() {
    std::vector<std::string> lines;
    for (unsigned surface = 0; surface < surfaceCount; ++surface) {
        currentSurface = surface;
        clearGlLog();
        display();
        lines.push_back("surface " + std::to_string(surface) + ": " +
                        std::to_string(glLog().size()) + " calls");
        for (const GlCall& call : glLog()) {
            std::string line = call.name + '(';
            const char* separator = "";
            for (double arg : call.args) line += separator + hex(arg), separator = ", ";
            // The font's address changes from run to run; its identity does not.
            if (call.pointer == bitmapFont8By13()) line += separator + std::string("GLUT_BITMAP_8_BY_13");
            else if (call.pointer != nullptr) line += separator + std::string("pointer");
            if (!call.text.empty()) line += separator + ('"' + call.text + '"');
            lines.push_back(line + ')');
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
Int ordered(Float value) {
    Int bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits < 0 ? std::numeric_limits<Int>::min() - bits : bits;
}

// Steps between two values, in float steps when both are floats (every
// vertex and normal is), otherwise in double steps.
double steps(double a, double b) {
    if (double(float(a)) == a && double(float(b)) == b)
        return std::fabs(double(ordered<float, std::int32_t>(float(a))) -
                         double(ordered<float, std::int32_t>(float(b))));
    return std::fabs(double(ordered<double, std::int64_t>(a)) - double(ordered<double, std::int64_t>(b)));
}

struct Tally {
    long calls = 0, differing = 0;
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
    std::map<std::string, Tally> tally;
    std::string first, surface;
    bool sameShape = here.size() == there.size();
    for (std::size_t i = 0; i < std::min(here.size(), there.size()) && sameShape; ++i) {
        if (here[i].rfind("surface ", 0) == 0) surface = here[i];
        std::string name, otherName;
        std::vector<double> args, otherArgs;
        if (!parseCall(here[i], name, args)) {
            sameShape = here[i] == there[i];
            if (!sameShape) first = "line " + std::to_string(i + 1) + ": here " + here[i] + ", there " + there[i];
            continue;
        }
        Tally& t = tally[name];
        ++t.calls;
        if (here[i] == there[i]) continue;
        if (!parseCall(there[i], otherName, otherArgs) || otherName != name || otherArgs.size() != args.size()) {
            sameShape = false;
            first = "line " + std::to_string(i + 1) + ": here " + here[i] + ", there " + there[i];
            break;
        }
        ++t.differing;
        double callSteps = 0;
        for (std::size_t a = 0; a < args.size(); ++a) {
            const double s = steps(args[a], otherArgs[a]);
            if (s > 0 && first.empty())
                first = surface.substr(0, surface.find(':')) + ", line " + std::to_string(i + 1) + ", " +
                        name + " argument " + std::to_string(a + 1) + ": here " + hex(args[a]) +
                        ", there " + hex(otherArgs[a]) + " (" + std::to_string(long(s)) + " steps)\n  here  " +
                        here[i] + "\n  there " + there[i];
            callSteps = std::max(callSteps, s);
        }
        t.maxSteps = std::max(t.maxSteps, callSteps);
    }
    if (!sameShape) {
        if (first.empty())
            first = "here " + std::to_string(here.size()) + " lines, there " + std::to_string(there.size());
        std::cout << "frame_dump: the call streams differ in shape against " << path << "\n  first: " << first
                  << '\n';
        return 1;
    }
    for (const auto& [name, t] : tally) {
        if (t.differing == 0) continue;
        std::cout << std::fixed << std::setprecision(0) << name << ": " << t.differing << " of " << t.calls
                  << " calls differ, by at most "
                  << t.maxSteps << " steps\n";
    }
    if (first.empty()) {
        std::cout << "frame_dump: all " << here.size() << " lines are identical to " << path << '\n';
        return 0;
    }
    std::cout << "first difference: " << first << '\n';
    std::cout << "frame_dump: FAIL: this build's frames differ from " << path << '\n';
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
