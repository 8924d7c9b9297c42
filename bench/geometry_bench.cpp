// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The program's own work per frame, with the GL calls going to the do-nothing
// stand-in: one surface point, one frame's tessellation, one whole frame.

#include <benchmark/benchmark.h>

#include <vector>

#include "app/current_surface.h"
#include "app/frame.h"
#include "geometry/surfaces.h"
#include "geometry/tessellation.h"
#include "tests/support/gl_null.h"

namespace {

constexpr double kCellsPerFrame = 21.0 * 21.0;

// The parameter values of a frame, accumulated the way the grid does it.
std::vector<double> gridValues() {
    std::vector<double> values;
    // NOLINTNEXTLINE(clang-analyzer-security.FloatLoopCounter): accumulated like the grid
    for (double t = -1.0; t <= 1.0; t += 0.1) values.push_back(t);
    values.push_back(values.back() + 0.1);
    return values;
}

void BM_SurfacePoint(benchmark::State& state) {
    currentSurface = static_cast<unsigned>(state.range(0));
    const std::vector<double> grid = gridValues();
    std::size_t i = 0;
    std::size_t j = 0;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        benchmark::DoNotOptimize(surfacePoint(grid[i], grid[j]));
        if (++j == grid.size()) {
            j = 0;
            if (++i == grid.size()) i = 0;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DrawSurface(benchmark::State& state) {
    currentSurface = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        drawSurface();
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = benchmark::Counter(kCellsPerFrame, benchmark::Counter::kIsIterationInvariantRate);
}

// Everything the program does for a frame short of the GL's own work: the
// axes, the surface, the label and the calls themselves.
void BM_Display(benchmark::State& state) {
    currentSurface = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop
        display();
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_SurfacePoint)->DenseRange(0, surfaceCount - 1);
BENCHMARK(BM_DrawSurface)->DenseRange(0, surfaceCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Display)->DenseRange(0, surfaceCount - 1)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
