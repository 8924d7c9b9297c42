// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

extern char** environ;

namespace e2e {

namespace {

constexpr std::chrono::milliseconds kPollInterval(5);

// The whole file; an empty string when it cannot be read.
std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Opened afresh through this path, a file is read from its start.
std::string openedFile(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

std::vector<std::string> mergedEnvironment(const Environment& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (changes.count(text.substr(0, text.find('='))) == 0) result.push_back(text);
    }
    for (const auto& [name, value] : changes) result.emplace_back(name).append("=").append(value);
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    result.reserve(strings.size() + 1);
    for (std::string& s : strings) {
        result.push_back(s.data());
    }
    result.push_back(nullptr);
    return result;
}

}  // namespace

std::string ExitStatus::describe() const {
    if (exited) {
        return "exit status " + std::to_string(code);
    }
    return "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

std::optional<std::string> findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return access(name.c_str(), X_OK) == 0 ? std::optional<std::string>(name) : std::nullopt;
    }
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Environment& environment) {
    for (const std::string& word : argv) {
        commandLine_ += (commandLine_.empty() ? "" : " ") + word;
    }
    const std::optional<std::string> program = findProgram(argv.at(0));
    if (!program) {
        throw std::runtime_error("cannot start '" + commandLine_ + "': " + argv[0] + " not found");
    }

    // Everything the child needs is prepared here: between fork and exec it
    // may only make async-signal-safe calls.
    std::vector<std::string> argvStrings = argv;
    std::vector<std::string> envStrings = mergedEnvironment(environment);
    std::vector<char*> argvPointers = pointers(argvStrings);
    std::vector<char*> envPointers = pointers(envStrings);

    stdoutFd_ = memfd_create("child-stdout", MFD_CLOEXEC);
    stderrFd_ = memfd_create("child-stderr", MFD_CLOEXEC);
    const pid_t parent = getpid();
    const pid_t pid = stdoutFd_ >= 0 && stderrFd_ >= 0 ? fork() : -1;
    if (pid == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);  // the parent is already gone
        }
        const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
        dup2(devNull, STDIN_FILENO);
        dup2(stdoutFd_, STDOUT_FILENO);
        dup2(stderrFd_, STDERR_FILENO);
        execve(program->c_str(), argvPointers.data(), envPointers.data());
        _exit(127);
    }
    if (pid < 0) {
        const std::string message = "cannot start '" + commandLine_ + "': " + std::strerror(errno);
        release();
        throw std::runtime_error(message);
    }
    pid_ = pid;
    setpgid(pid_, pid_);  // also here, so that the group exists before any kill
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !status_) {
        stop();
    }
    release();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      stdoutFd_(std::exchange(other.stdoutFd_, -1)),
      stderrFd_(std::exchange(other.stderrFd_, -1)),
      commandLine_(std::move(other.commandLine_)),
      status_(other.status_) {}

void ChildProcess::release() {
    if (stdoutFd_ >= 0) close(stdoutFd_);
    if (stderrFd_ >= 0) close(stderrFd_);
    stdoutFd_ = stderrFd_ = -1;
}

bool ChildProcess::reap(bool block) {
    if (status_ || pid_ <= 0) {
        return true;
    }
    int raw = 0;
    pid_t result = 0;
    do {
        result = waitpid(pid_, &raw, block ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result != pid_) {
        return false;
    }
    status_ = ExitStatus{WIFEXITED(raw), WIFEXITED(raw) ? WEXITSTATUS(raw) : 0,
                         WIFSIGNALED(raw) ? WTERMSIG(raw) : 0};
    return true;
}

std::optional<ExitStatus> ChildProcess::waitFor(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!reap(false)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return status_;
}

ExitStatus ChildProcess::stop(std::chrono::milliseconds grace) {
    if (pid_ > 0 && !reap(false)) {
        if (grace.count() > 0) {
            kill(-pid_, SIGTERM);
            waitFor(grace);
        }
        if (!status_) {
            kill(-pid_, SIGKILL);
            reap(true);
        }
    }
    return status_.value_or(ExitStatus{});
}

std::string ChildProcess::stdoutText() const { return readFile(openedFile(stdoutFd_)); }
std::string ChildProcess::stderrText() const { return readFile(openedFile(stderrFd_)); }

namespace {

std::string procFile(pid_t pid, const char* name) {
    const std::string path = "/proc/" + std::to_string(pid) + "/" + name;
    std::string text = readFile(path);
    if (text.empty()) throw std::runtime_error("cannot read " + path + " (has the process ended?)");
    return text;
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
    // The command name, in parentheses, may hold blanks: count fields after
    // it. The state is field 3, then utime is field 14 and stime field 15.
    const std::string stat = procFile(pid, "stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string skipped;
    for (int number = 3; number < 14; ++number) fields >> skipped;
    unsigned long long user = 0;
    unsigned long long system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace e2e
