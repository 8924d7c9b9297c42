#pragma once

// A private X server (Xvfb) for one test: started on a free display number,
// stopped and reaped when the object goes.

#include <chrono>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"

namespace e2e {

struct VirtualDisplayOptions {
    int width = 1024;
    int height = 768;
    int depth = 24;
    std::chrono::milliseconds startTimeout{10000};
    std::vector<std::string> extraArguments;
};

class VirtualDisplay {
public:
    // Throws std::runtime_error (with the server's own messages) when Xvfb
    // cannot be started or does not report ready in time.
    explicit VirtualDisplay(const VirtualDisplayOptions& options = {});
    ~VirtualDisplay();

    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // The value for DISPLAY, e.g. ":3".
    const std::string& name() const { return name_; }
    int number() const { return number_; }
    ChildProcess& server() { return server_; }

private:
    // Xvfb writes its display number into this pipe when it is ready.
    struct ReportPipe {
        ReportPipe();
        ~ReportPipe();
        void closeWriteEnd();
        int readFd = -1;
        int writeFd = -1;
    };
    static ChildProcess startServer(const VirtualDisplayOptions& options, int reportFd);

    ReportPipe report_;  // before server_: it must exist when the server starts
    ChildProcess server_;
    int number_ = -1;
    std::string name_;
};

// A display name that no server answers: no socket or lock file exists for
// it. For checking how a program fails without a display.
std::string unservedDisplayName();

}  // namespace e2e
