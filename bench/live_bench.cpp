// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The viewer with the real GL in an X window (scripts/bench runs it in Xvfb).
// It starts exactly as the program does, through startViewer; this binary's
// own glutMainLoop and glutSwapBuffers stand in front of freeglut's, so all
// the measuring stays out of the program's code.
//
//   live_bench [benchmark flags]  the key path, keyboard then display, as
//                                 Google Benchmarks, one per surface
//   live_bench --figures [N]      frame time (display plus glFinish, N frames
//                                 per surface) and key-to-swap latency (N keys
//                                 per surface, sent through XTest)
//   live_bench --first-frame      time from launch to the first frame's swap;
//                                 the launch time comes from the environment
//                                 as SURFACE_VIEWER_LAUNCHED_AT, seconds since
//                                 the epoch (bash's EPOCHREALTIME)

#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/current_surface.h"
#include "app/frame.h"
#include "app/startup.h"
#include "geometry/surfaces.h"

namespace {

using Clock = std::chrono::steady_clock;

enum class Mode { benchmarks, figures, firstFrame };

Mode mode = Mode::benchmarks;
int samplesPerSurface = 200;
int* savedArgc = nullptr;
char** savedArgv = nullptr;

std::atomic<unsigned long> swaps{0};
double firstSwapEpochSeconds = 0.0;

// The key in flight: sent at keySentAt, answered by the next swap.
std::atomic<bool> keyPending{false};
std::atomic<bool> keyAnswered{false};
Clock::time_point keySentAt;
std::vector<double> keyLatencies[surfaceCount];
int keysAnswered = 0;

template <typename Function>
Function freeglutEntry(const char* name) {
    void* entry = dlsym(RTLD_NEXT, name);
    if (entry == nullptr) {
        std::fprintf(stderr, "live_bench: freeglut has no %s\n", name);
        std::exit(2);
    }
    return reinterpret_cast<Function>(entry);
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Nearest rank: the smallest sample with at least q of the samples at or below it.
double percentile(std::vector<double> samples, double q) {
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(q * static_cast<double>(samples.size()) + 0.999999);
    return samples[std::min(samples.size(), std::max<std::size_t>(rank, 1)) - 1];
}

void printKeyLatencies() {
    for (unsigned s = 0; s < surfaceCount; ++s) {
        std::printf("key-to-swap %u median %.3f p99 %.3f max %.3f ms\n", s,
                    percentile(keyLatencies[s], 0.5), percentile(keyLatencies[s], 0.99),
                    percentile(keyLatencies[s], 1.0));
    }
    std::fflush(stdout);
}

void onSwap() {
    if (mode == Mode::firstFrame && swaps == 1) {
        firstSwapEpochSeconds =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    }
    if (keyPending.exchange(false)) {
        keyLatencies[currentSurface].push_back(milliseconds(Clock::now() - keySentAt));
        if (++keysAnswered == samplesPerSurface * static_cast<int>(surfaceCount)) {
            printKeyLatencies();
            std::exit(0);
        }
        keyAnswered = true;
    }
}

void measureFrames() {
    for (unsigned s = 0; s < surfaceCount; ++s) {
        currentSurface = s;
        display();  // outside the count: the first frame of a surface may fault pages in
        glFinish();
        std::vector<double> times;
        for (int i = 0; i < samplesPerSurface; ++i) {
            const Clock::time_point start = Clock::now();
            display();
            glFinish();
            times.push_back(milliseconds(Clock::now() - start));
        }
        std::printf("frame %u median %.3f p90 %.3f ms\n", s, percentile(times, 0.5), percentile(times, 0.9));
    }
    std::fflush(stdout);
}

// Sends one key at a time into the X server, the way a user's key arrives, and
// waits for the frame it causes before the next.
void sendKeys() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "live_bench: cannot open the X display\n");
        std::exit(2);
    }
    const KeyCode space = XKeysymToKeycode(display, XK_space);
    // Without a window manager the keys go to the window under the pointer.
    XTestFakeMotionEvent(display, -1, 300, 300, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    std::mt19937 random(4);
    std::uniform_int_distribution<int> pause(1000, 4000);
    for (;;) {
        keyAnswered = false;
        keySentAt = Clock::now();
        keyPending = true;
        XTestFakeKeyEvent(display, space, True, CurrentTime);
        XTestFakeKeyEvent(display, space, False, CurrentTime);
        XFlush(display);
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
        while (!keyAnswered) {
            if (Clock::now() > deadline) {
                std::fprintf(stderr, "live_bench: no frame 5 s after a key\n");
                std::_Exit(3);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        // Keys a few milliseconds apart, not in step with anything.
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
    }
}

void keyPath(benchmark::State& state, unsigned surface) {
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        currentSurface = (surface + surfaceCount - 1) % surfaceCount;
        keyboard(' ', 0, 0);
        display();
    }
    glFinish();
}

}  // namespace

// freeglut's own, in front of which these two stand.
void FGAPIENTRY glutSwapBuffers() {
    static const auto swapBuffers = freeglutEntry<void (*)()>("glutSwapBuffers");
    swapBuffers();
    ++swaps;
    onSwap();
}

void FGAPIENTRY glutMainLoop() {
    // The window is up and every render state set: wait for the first frame.
    while (swaps == 0) glutMainLoopEvent();

    switch (mode) {
    case Mode::firstFrame: {
        const char* launched = std::getenv("SURFACE_VIEWER_LAUNCHED_AT");
        if (launched == nullptr) {
            std::fprintf(stderr, "live_bench: SURFACE_VIEWER_LAUNCHED_AT is not set\n");
            std::exit(2);
        }
        std::printf("first-frame %.3f ms\n", (firstSwapEpochSeconds - std::strtod(launched, nullptr)) * 1e3);
        break;
    }
    case Mode::figures:
        measureFrames();
        // The latency goes through freeglut's real loop, which never returns:
        // the swap that answers the last key ends the process.
        std::thread(sendKeys).detach();
        freeglutEntry<void (*)()>("glutMainLoop")();
        break;
    case Mode::benchmarks:
        benchmark::Initialize(savedArgc, savedArgv);
        for (unsigned s = 0; s < surfaceCount; ++s) {
            benchmark::RegisterBenchmark(("BM_KeyPath/" + std::to_string(s)).c_str(), keyPath, s)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();  // the rasterising runs on llvmpipe's threads
        }
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        break;
    }
    std::exit(0);
}

int main(int argc, char** argv) {
    // Take this binary's own options out before GLUT and Google Benchmark see them.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--figures") == 0) {
            mode = Mode::figures;
            if (i + 1 < argc && std::atoi(argv[i + 1]) > 0) samplesPerSurface = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--first-frame") == 0) {
            mode = Mode::firstFrame;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    // main never returns: startViewer ends in GLUT's main loop, and the
    // process ends inside it, so argc outlives every use of the pointer.
    // cppcheck-suppress danglingLifetime
    savedArgc = &argc;
    savedArgv = argv;
    startViewer(&argc, argv);
}
