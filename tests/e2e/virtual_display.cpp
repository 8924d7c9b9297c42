#include "virtual_display.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace e2e {

namespace {

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

}  // namespace

VirtualDisplay::ReportPipe::ReportPipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("cannot create a pipe for Xvfb: ") +
                                 std::strerror(errno));
    }
    readFd = fds[0];
    writeFd = fds[1];
}

VirtualDisplay::ReportPipe::~ReportPipe() {
    closeWriteEnd();
    if (readFd >= 0) close(readFd);
}

void VirtualDisplay::ReportPipe::closeWriteEnd() {
    if (writeFd >= 0) close(writeFd);
    writeFd = -1;
}

ChildProcess VirtualDisplay::startServer(const VirtualDisplayOptions& options, int reportFd) {
    LaunchOptions launch;
    // -displayfd: the server itself picks a free display number and writes
    // it to the descriptor once it accepts connections, so there is no race
    // with other servers starting at the same time.
    launch.argv = {"Xvfb",
                   "-displayfd", std::to_string(reportFd),
                   "-screen", "0",
                   std::to_string(options.width) + "x" + std::to_string(options.height) + "x" +
                       std::to_string(options.depth),
                   "-nolisten", "tcp",
                   "-noreset"};
    launch.argv.insert(launch.argv.end(), options.extraArguments.begin(),
                       options.extraArguments.end());
    launch.inheritedFds = {reportFd};
    return ChildProcess(launch);
}

VirtualDisplay::VirtualDisplay(const VirtualDisplayOptions& options)
    : server_(startServer(options, report_.writeFd)) {
    // Only the server may hold the write end, so that its death reads as EOF.
    report_.closeWriteEnd();

    std::string report;
    const auto deadline = std::chrono::steady_clock::now() + options.startTimeout;
    while (report.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{report_.readFd, POLLIN, 0};
        const int ready = left.count() > 0 ? poll(&fd, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        char buffer[32];
        const ssize_t n = ready > 0 ? read(report_.readFd, buffer, sizeof buffer) : 0;
        if (n <= 0) {
            const std::string why = ready > 0 ? "Xvfb ended before it was ready"
                                              : "Xvfb did not report ready in time";
            server_.stop();
            throw std::runtime_error(why + " (" + server_.status()->describe() +
                                     "); it said:\n" + server_.stderrText());
        }
        report.append(buffer, static_cast<std::size_t>(n));
    }
    number_ = std::atoi(report.c_str());
    name_ = ":" + std::to_string(number_);
}

VirtualDisplay::~VirtualDisplay() {
    // SIGTERM first, so the server removes its socket and lock file.
    server_.stop(std::chrono::milliseconds(2000));
}

std::string unservedDisplayName() {
    for (int number = 900 + getpid() % 4000;; ++number) {
        const std::string n = std::to_string(number);
        if (!exists("/tmp/.X11-unix/X" + n) && !exists("/tmp/.X" + n + "-lock")) {
            return ":" + n;
        }
    }
}

}  // namespace e2e
