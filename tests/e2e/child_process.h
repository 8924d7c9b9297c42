// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#pragma once

// Starts a program as a child process with its own environment, captures
// what it writes, waits for it with a timeout and never leaves it behind.
// No Debian library does all of that (a process group to kill, death with
// the parent, output readable while it runs), hence this small helper.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// How a child process ended: a normal exit with a code, or a signal.
struct ExitStatus {
    bool exited = false;
    int code = 0;
    int signal = 0;

    bool exitedWith(int expected) const { return exited && code == expected; }
    std::string describe() const;
};

// Variables to set on top of this process's own.
using Environment = std::map<std::string, std::string>;

// The full path of an executable found in PATH (or the name itself if it
// contains a slash and is executable).
std::optional<std::string> findProgram(const std::string& name);

// The child runs in its own process group, which the destructor kills if it
// is still running; it also dies with this process (PR_SET_PDEATHSIG), so a
// test killed by a timeout leaves nothing behind. Its stdin is /dev/null, its
// stdout and stderr go to anonymous files read back with stdoutText() and
// stderrText().
class ChildProcess {
public:
    // argv[0] is looked up in PATH unless it contains a slash. Throws
    // std::runtime_error when the program is not found or cannot be started;
    // one found that then fails to run ends with status 127.
    explicit ChildProcess(const std::vector<std::string>& argv, const Environment& environment = {});
    ~ChildProcess();

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&&) = delete;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& commandLine() const { return commandLine_; }

    // False once it has ended (and then it has been reaped).
    bool running() { return !reap(false); }
    // The exit status, or nullopt if it is still running after `timeout`.
    std::optional<ExitStatus> waitFor(std::chrono::milliseconds timeout);
    // Its status if it has ended and been reaped.
    const std::optional<ExitStatus>& status() const { return status_; }

    // SIGTERM to its group, then SIGKILL after `grace` (at once if grace is
    // zero); reaps it and returns how it ended.
    ExitStatus stop(std::chrono::milliseconds grace = std::chrono::milliseconds(0));

    std::string stdoutText() const;
    std::string stderrText() const;

private:
    bool reap(bool block);
    void release();

    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    int stderrFd_ = -1;
    std::string commandLine_;
    std::optional<ExitStatus> status_;
};

// What a running process costs, read from /proc; both throw
// std::runtime_error when the process is gone.
// Resident memory (VmRSS) in KiB.
long residentKiB(pid_t pid);
// User plus system CPU time used so far, in seconds.
double cpuSeconds(pid_t pid);

}  // namespace e2e
