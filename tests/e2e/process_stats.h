#pragma once

// What a running process costs, read from /proc.

#include <sys/types.h>

namespace e2e {

// Resident memory (VmRSS) in KiB. Throws std::runtime_error when the process
// is gone.
long residentKiB(pid_t pid);

// User plus system CPU time used so far, in seconds. Throws
// std::runtime_error when the process is gone.
double cpuSeconds(pid_t pid);

}  // namespace e2e
