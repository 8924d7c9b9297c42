// The frame allocates nothing: every surface, key press and display included,
// runs without a single heap allocation.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/current_surface.h"
#include "app/frame.h"
#include "geometry/surfaces.h"
#include "support/allocation_counter.h"
#include "support/gl_null.h"

namespace {

// Kept where the optimiser cannot prove the allocations unused.
void* volatile sink;

TEST(AllocationCounter, SeesOperatorNewAndMalloc) {
    startCountingAllocations();
    std::vector<int>* v = new std::vector<int>(16);
    sink = v;
    delete v;
    EXPECT_GE(stopCountingAllocations(), 2u);

    if (!countsCAllocations()) GTEST_SKIP() << "malloc is only counted with glibc";
    startCountingAllocations();
    sink = std::malloc(32);
    std::free(sink);
    sink = std::calloc(4, 8);
    sink = std::realloc(sink, 64);
    std::free(sink);
    EXPECT_EQ(stopCountingAllocations(), 3u);
}

TEST(FrameAllocation, NoFrameOfAnySurfaceAllocates) {
    currentSurface = 0;
    display();  // whatever happens once is not per frame
    resetGlNullCounts();

    startCountingAllocations();
    // Two full turns of the cycle: a key, then the frame it asks for.
    for (unsigned press = 0; press < 2 * surfaceCount; ++press) {
        keyboard(' ', 0, 0);
        display();
    }
    const unsigned long allocations = stopCountingAllocations();

    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(currentSurface, 0u);
    // The frames really ran: 882 primitives of the surface and one of the axes each.
    EXPECT_EQ(glNullCounts().primitives, 2 * surfaceCount * 883);
}

}  // namespace
