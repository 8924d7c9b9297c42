#include "process_stats.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace e2e {

namespace {

std::string procFile(pid_t pid, const char* name) {
    const std::string path = "/proc/" + std::to_string(pid) + "/" + name;
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    if (!file || text.str().empty()) {
        throw std::runtime_error("cannot read " + path + " (has the process ended?)");
    }
    return text.str();
}

}  // namespace

long residentKiB(pid_t pid) {
    std::istringstream status(procFile(pid, "status"));
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    throw std::runtime_error("no VmRSS for process " + std::to_string(pid));
}

double cpuSeconds(pid_t pid) {
    // The command name, in parentheses, may hold blanks: count fields after it.
    const std::string stat = procFile(pid, "stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    unsigned long long ticks = 0;
    // After the name: state is field 3, utime 14 and stime 15.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14 || number == 15) {
            ticks += std::stoull(field);
        }
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace e2e
