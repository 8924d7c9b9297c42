// SPDX-FileCopyrightText: 2026 surface-viewer contributors
//
// SPDX-License-Identifier: MIT

// The real viewer under stress and bad input: thousands of keys, thousands
// of redraws, idling, resizing, closing and killing through the window
// system, and whatever GLUT arguments a user may type. Each test prints what
// it measured ("[ FIGURE ]") and keeps it in build/tests/e2e-figures/.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/e2e_gtest.h"
#include "tests/e2e/viewer_support.h"

namespace {

using e2e::Box;
using e2e::keepPicture;
using e2e::reportFigure;
using e2e::Rgb;
using e2e::RgbImage;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Keys that reach the keyboard callback, each with one character code: every
// code a keyboard gives from the server's default keymap but Esc (27), that
// is 0 to 127 and 177. Ctrl+3 and Ctrl+[ would give Esc too and are left out.
const std::vector<std::string> kCharacterKeys = [] {
    std::vector<std::string> keys = {
        // 8, 9, 10, 13, 127 and 177 (plus-minus, the one Latin-1 key of the keymap)
        "BackSpace", "Tab", "Linefeed", "Return", "Delete", "plusminus",
        // the keypad's operators and Enter
        "KP_Add", "KP_Subtract", "KP_Multiply", "KP_Divide", "KP_Enter",
        // 0 and 28 to 31
        "ctrl+space", "ctrl+backslash", "ctrl+bracketright", "ctrl+asciicircum", "ctrl+underscore",
        // Alt changes no character
        "alt+x", "alt+5"};
    for (char c = ' '; c <= '~'; ++c) keys.push_back(e2e::keysymName(c));  // 32 to 126
    for (char c = 'a'; c <= 'z'; ++c) keys.push_back(std::string("ctrl+") + c);  // 1 to 26
    return keys;
}();

// Keys that give no character: they reach no callback of the viewer.
const std::vector<std::string> kOtherKeys = {
    "Left", "Right", "Up", "Down", "Home", "End", "Prior", "Next", "Insert",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "Shift_L", "Shift_R", "Control_L", "Control_R", "Alt_L", "Alt_R", "Super_L", "Menu",
    "Pause", "Print", "XF86AudioPlay", "shift+Left", "ctrl+F5",
    // Shift+Tab is ISO_Left_Tab, which has no character, unlike Tab.
    "shift+Tab"};

constexpr int kKeyEvents = 10000;
constexpr int kKeysPerBatch = 500;
constexpr int kRedraws = 5000;

// Memory is judged by the allocations the viewer holds, counted by heaptrack,
// not by its resident size. That grows in steps of about 516 KiB: llvmpipe's
// vertex buffers come from the heap or from mappings of their own, and how
// many are alive at once depends on how far its threads lag, that is on the
// machine's load. And a small leak hides in resident memory for thousands of
// frames, filling free space in the heap before the heap grows. The count of
// live allocations stays within a few from redraw 2,000 on; a leak of one
// allocation a frame adds 2,500 from there to redraw 4,500. heaptrack's
// clock starts with the viewer, during its start-up, a little after the
// test's; the last 500 redraws, 8 s or more, keep the second reading inside
// the redraws, before the viewer tears down at its end.
constexpr int kSettledAfterRedraws = 2000;
constexpr int kMeasuredUntilRedraw = 4500;
constexpr long kKeptAllocationBound = (kMeasuredUntilRedraw - kSettledAfterRedraws) / 10;
// Idle for 10 s with no idle callback: the process sleeps in the main loop.
constexpr double kIdleCpuBoundSeconds = 0.05;

// Where the label is drawn in a 400 x 400 frame, wide enough for the longest.
constexpr Box kLabelStrip{8, 26, 322, 24};

std::string kib(long value) {
    return std::to_string(value) + " KiB";
}

std::string growth(long from, long to) {
    return (to >= from ? "+" : "") + kib(to - from);
}

class ViewerUnderStress : public e2e::ViewerTest {
protected:
    void SetUp() override {
        E2E_REQUIRE_PROGRAMS("Xvfb");
        ASSERT_NO_THROW(e2e::goldenFrames()) << "run scripts/gallery to write them";
        ASSERT_NO_FATAL_FAILURE(start());
        session_->focus(viewer_->window);
    }

    pid_t pid() const { return viewer_->process.pid(); }
};

TEST_F(ViewerUnderStress, TenThousandRandomKeysLeaveTheSurfaceTheirCountPredicts) {
    const unsigned seed =
        static_cast<unsigned>(std::stoul(e2e::environmentOr("SURFACE_VIEWER_STRESS_SEED", "20261208")));
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, kCharacterKeys.size() + kOtherKeys.size() - 1);
    std::vector<std::string> keys;
    int characterKeys = 0;
    for (int i = 0; i < kKeyEvents; ++i) {
        const std::size_t n = pick(random);
        const bool character = n < kCharacterKeys.size();
        characterKeys += character ? 1 : 0;
        keys.push_back(character ? kCharacterKeys[n] : kOtherKeys[n - kCharacterKeys.size()]);
    }

    const long firstKiB = e2e::residentKiB(pid());
    for (std::size_t start = 0; start < keys.size(); start += kKeysPerBatch) {
        const auto end = keys.begin() + static_cast<std::ptrdiff_t>(
                                            std::min(keys.size(), start + kKeysPerBatch));
        session_->pressKeys({keys.begin() + static_cast<std::ptrdiff_t>(start), end});
        ASSERT_TRUE(viewer_->process.running()) << "after " << start << " keys" << describe();
    }
    // The viewer has worked through the keys when it shows the surface their
    // count predicts, and stays there. A fixed quiet time instead would take,
    // on a busy machine, a picture from the middle of the keys for the last.
    const int expected = characterKeys % e2e::kSurfaceCount;
    const RgbImage picture =
        session_
            ->waitForStablePicture(
                viewer_->window, [&](const RgbImage& p) { return e2e::surfaceShown(p) == expected; },
                milliseconds(300), seconds(60))
            .picture;
    const long lastKiB = e2e::residentKiB(pid());

    const int seen = e2e::surfaceShown(picture);
    reportFigure("keys sent " + std::to_string(kKeyEvents) + " (" + std::to_string(characterKeys) +
                 " character keys, " + std::to_string(kKeyEvents - characterKeys) +
                 " others; seed " + std::to_string(seed) + "): surface expected " +
                 std::to_string(expected) + ", seen " +
                 (seen < 0 ? std::string("none of the seven") : std::to_string(seen)));
    // Only reported: memory is judged by the redraws below.
    reportFigure("resident memory over the keys: first " + kib(firstKiB) + ", last " + kib(lastKiB) +
                 " (" + growth(firstKiB, lastKiB) + ")");
    EXPECT_EQ(seen, expected) << keepPicture(picture, "after-keys");
    expectEscapeEndsWithStatusOne();
}

// What the viewer held, read back from heaptrack's record once it has ended.
// The record (zstd-compressed text) has a line per allocation ("+ INFO") and
// per free ("- INFO"), where INFO numbers the "a SIZE TRACE" lines, and about
// every 10 ms a time stamp since start-up ("c MS"); all numbers hexadecimal.
class HeapRecord {
public:
    struct Live {
        long allocations = 0;
        long long bytes = 0;
    };

    explicit HeapRecord(const std::string& path) {
        const std::string command = "zstd -dcq '" + path + "'";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        if (!pipe) throw std::runtime_error("cannot run " + command);
        std::vector<long long> sizes;
        Live live;
        // POSIX getline: a line of a file name may be long.
        struct Line {
            char* text = nullptr;
            std::size_t capacity = 0;
            ~Line() { std::free(text); }
        } line;
        while (getline(&line.text, &line.capacity, pipe.get()) > 0) {
            const long long value = std::strtoll(line.text + 1, nullptr, 16);
            switch (line.text[0]) {
                case 'a': sizes.push_back(value); break;
                case '+': ++live.allocations; live.bytes += sizes.at(value); break;
                case '-': --live.allocations; live.bytes -= sizes.at(value); break;
                case 'c': stamps_.emplace_back(value, live); break;
                default: break;
            }
        }
        if (stamps_.empty()) throw std::runtime_error("no time stamps in " + path);
    }

    // What was live at the first time stamp at or after `ms`, or at the end.
    Live at(long long ms) const {
        for (const auto& [stamp, live] : stamps_) {
            if (stamp >= ms) return live;
        }
        return stamps_.back().second;
    }

private:
    std::vector<std::pair<long long, Live>> stamps_;
};

class ViewerUnderHeaptrack : public e2e::ViewerTest {
protected:
    void SetUp() override {
        E2E_REQUIRE_PROGRAMS("Xvfb", "heaptrack", "zstd");
        ASSERT_NO_THROW(e2e::goldenFrames()) << "run scripts/gallery to write them";
        record_ = ::testing::TempDir() + "surface-viewer-heap." + std::to_string(getpid());
        std::vector<std::string> command = {"heaptrack", "--output", record_};
        for (const std::string& word : e2e::viewerCommand()) command.push_back(word);
        launched_ = std::chrono::steady_clock::now();
        // Every allocation of start-up is traced: slower than a plain start.
        ASSERT_NO_FATAL_FAILURE(start(command, {}, seconds(60)));
        session_->focus(viewer_->window);
    }

    void TearDown() override {
        e2e::ViewerTest::TearDown();
        std::remove((record_ + ".zst").c_str());
    }

    // Milliseconds since the viewer was started, as heaptrack's time stamps
    // count, give or take the start of heaptrack's script.
    long long sinceLaunch() const {
        return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - launched_)
            .count();
    }

    std::string record_;
    std::chrono::steady_clock::time_point launched_;
};

TEST_F(ViewerUnderHeaptrack, FiveThousandRedrawsKeepNoAllocations) {
    // Each key's frame is waited for (its label strip must match the next
    // surface's) before the next key, so every one of them is really drawn.
    const std::vector<RgbImage>& golden = e2e::goldenFrames();
    std::vector<RgbImage> strips;
    strips.reserve(golden.size());
    for (const RgbImage& frame : golden) strips.push_back(e2e::crop(frame, kLabelStrip));

    e2e::XSession& session = *session_;
    const auto drawOnce = [&](int surface) {
        session.pressKey("space");
        const auto deadline = std::chrono::steady_clock::now() + seconds(5);
        for (;;) {
            const RgbImage strip = session.capture(viewer_->window, kLabelStrip);
            if (e2e::matchesGolden(
                    e2e::comparePictures(strip, strips[surface], e2e::kGoldenStepTolerance))) {
                return true;
            }
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    };

    long long settledMs = 0;
    long long lastMs = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= kRedraws; ++i) {
        ASSERT_TRUE(drawOnce(i % e2e::kSurfaceCount))
            << "redraw " << i << " never showed surface " << i % e2e::kSurfaceCount << describe()
            << keepPicture(session_->capture(viewer_->window), "redraw-" + std::to_string(i));
        if (i == kSettledAfterRedraws) settledMs = sinceLaunch();
        if (i == kMeasuredUntilRedraw) lastMs = sinceLaunch();
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // heaptrack writes its record out as the viewer ends, then exits with its status.
    session_->pressKey("Escape");
    const std::optional<e2e::ExitStatus> status = viewer_->process.waitFor(seconds(60));
    ASSERT_TRUE(status) << "still running a minute after Esc" << describe();
    EXPECT_TRUE(status->exitedWith(1)) << describe();

    std::optional<HeapRecord> heap;
    ASSERT_NO_THROW(heap.emplace(record_ + ".zst")) << describe();
    const HeapRecord::Live settled = heap->at(settledMs);
    const HeapRecord::Live last = heap->at(lastMs);
    const long kept = last.allocations - settled.allocations;
    char figure[320];
    std::snprintf(figure, sizeof figure,
                  "%d redraws (%.1f s, %.2f ms a redraw); live heap after redraw %d: %ld allocations, "
                  "%lld bytes; after redraw %d: %ld allocations (%+ld; bound %+ld), %lld bytes (%+lld)",
                  kRedraws, elapsed, 1000 * elapsed / kRedraws, kSettledAfterRedraws, settled.allocations,
                  settled.bytes, kMeasuredUntilRedraw, last.allocations, kept, kKeptAllocationBound, last.bytes,
                  last.bytes - settled.bytes);
    reportFigure(figure);
    EXPECT_LT(kept, kKeptAllocationBound);
}

TEST_F(ViewerUnderStress, IdleForTenSecondsUsesNextToNoCpu) {
    const double before = e2e::cpuSeconds(pid());
    std::this_thread::sleep_for(seconds(10));
    const double used = e2e::cpuSeconds(pid()) - before;
    char figure[128];
    std::snprintf(figure, sizeof figure, "CPU time while idle for 10 s: %.2f s (bound %.2f s)", used,
                  kIdleCpuBoundSeconds);
    reportFigure(figure);
    EXPECT_LE(used, kIdleCpuBoundSeconds);
    // Nothing was redrawn meanwhile either.
    EXPECT_TRUE(session_->capture(viewer_->window) == viewer_->firstFrame);
    expectEscapeEndsWithStatusOne();
}

bool isBackground(Rgb c) {
    return e2e::near(c, Rgb{51, 51, 178}, 2);
}

bool isLabelGrey(Rgb c) {
    return e2e::near(c, Rgb{128, 128, 128}, 8);
}

TEST_F(ViewerUnderStress, ResizedTo200By600AndBackItKeepsDrawing) {
    const std::vector<RgbImage>& golden = e2e::goldenFrames();
    e2e::XSession& session = *session_;
    // A frame the viewer drew at the new size: right after a resize the
    // window still holds the old frame, cut or with an unpainted strip, for
    // as long as the viewer takes to redraw, and on a busy machine that may be
    // longer than any quiet time. The viewer's frame has background in the
    // corners away from the axes.
    const auto pictureOfSize = [&](int width, int height, const RgbImage& other) {
        return session.waitForStablePicture(
            viewer_->window,
            [&](const RgbImage& p) {
                return p.width() == width && p.height() == height && p != other &&
                       isBackground(p.at(2, height - 3)) && isBackground(p.at(width - 3, 2));
            },
            milliseconds(300));
    };

    // Tall and narrow: the projection keeps its aspect ratio of 1, so the
    // picture is squeezed to the window; the label is text and keeps its size.
    session.resize(viewer_->window, 200, 600);
    const e2e::PictureWait tall = pictureOfSize(200, 600, {});
    ASSERT_TRUE(tall.settled) << describe() << keepPicture(tall.picture, "tall");
    session_->focus(viewer_->window);
    session_->pressKey("space");
    const e2e::PictureWait tallNext = pictureOfSize(200, 600, tall.picture);
    ASSERT_TRUE(tallNext.settled) << "no new frame after a key" << describe()
                                  << keepPicture(tallNext.picture, "tall-after-key");

    std::string figure = "at 200 x 600:";
    for (int surface : {0, 1}) {
        const RgbImage& got = surface == 0 ? tall.picture : tallNext.picture;
        const RgbImage stretched = e2e::resample(golden[surface], 200, 600);
        const int agree = countPixels(got, Box{0, 0, 200, 600}, [&](int x, int y, Rgb c) {
            return isBackground(c) == isBackground(stretched.at(x, y));
        });
        // The label keeps its pixels: the same text at the same scene point.
        const int labelThen = countPixels(golden[surface], Box{8, 20, 80, 30},
                                          [](int, int, Rgb c) { return isLabelGrey(c); });
        const int labelNow = countPixels(got, Box{0, 30, 80, 50},
                                         [](int, int, Rgb c) { return isLabelGrey(c); });
        const double share = 100.0 * agree / (200 * 600);
        char line[160];
        std::snprintf(line, sizeof line,
                      " surface %d agrees with its frame stretched in %.1f%% of pixels, label %d pixels (%d at 400 x 400);",
                      surface, share, labelNow, labelThen);
        figure += line;
        EXPECT_GE(share, 97.0) << keepPicture(got, "tall-" + std::to_string(surface))
                               << keepPicture(stretched, "stretched-" + std::to_string(surface));
        EXPECT_EQ(labelNow, labelThen) << keepPicture(got, "tall-" + std::to_string(surface));
    }

    session.resize(viewer_->window, e2e::kViewerWindowSize, e2e::kViewerWindowSize);
    const e2e::PictureWait back = pictureOfSize(400, 400, {});
    ASSERT_TRUE(back.settled) << describe() << keepPicture(back.picture, "back");
    const e2e::PixelDifference difference =
        e2e::comparePictures(back.picture, golden[1], e2e::kGoldenStepTolerance);
    figure += " back at 400 x 400: " + toString(difference, e2e::kGoldenStepTolerance) +
              " from the golden frame";
    reportFigure(figure);
    EXPECT_TRUE(e2e::matchesGolden(difference)) << keepPicture(back.picture, "back");
    expectEscapeEndsWithStatusOne();
}

TEST_F(ViewerUnderStress, KilledThroughTheWindowSystemItEndsWithoutACrash) {
    // What a window manager does to a client that ignores a polite close:
    // XKillClient. Xlib then reports the broken connection and exits.
    session_->killClient(viewer_->window);
    const std::optional<e2e::ExitStatus> status = viewer_->process.waitFor(seconds(5));
    ASSERT_TRUE(status) << "still running 5 s after its connection was killed" << describe();
    const std::string message = viewer_->process.stderrText();
    reportFigure("killed by the server (XKillClient): " + status->describe() + ", stderr: " +
                 message.substr(0, message.find('\n')));
    EXPECT_TRUE(status->exited && status->code != 0) << describe();
    EXPECT_NE(message.find("X connection to"), std::string::npos) << describe();
}

TEST(ViewerUnderAWindowManager, ClosedByTheWindowManagerItExitsWithStatusZero) {
    // freeglut's default for WM_DELETE_WINDOW (GLUT_ACTION_EXIT): destroy the
    // window, tidy up and exit(0).
    E2E_REQUIRE_PROGRAMS("Xvfb", "evilwm");
    e2e::XSession session;
    // "fixed" is built into every X server: a fresh machine has no font
    // packages, and evilwm will not start without a font.
    e2e::ChildProcess windowManager = session.launch({"evilwm", "-fn", "fixed"});
    const auto deadline = std::chrono::steady_clock::now() + seconds(10);
    while (!session.windowManagerRunning()) {
        ASSERT_TRUE(windowManager.running()) << e2e::describe(windowManager);
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "evilwm never took over";
        std::this_thread::sleep_for(milliseconds(20));
    }
    std::optional<e2e::LaunchedViewer> viewer;
    ASSERT_NO_THROW(viewer.emplace(e2e::launchViewer(session)));
    // evilwm gives the focus to the window under the pointer; Ctrl+Alt+Esc is
    // its key to close that window. Had evilwm not taken the key, the viewer
    // would have seen Esc and ended with status 1.
    session.focus(viewer->window);
    session.pressKey("ctrl+alt+Escape");
    // Generous for a run under a memory checker, which reports before it ends.
    const std::optional<e2e::ExitStatus> status = viewer->process.waitFor(seconds(60));
    ASSERT_TRUE(status) << "still running a minute after the close" << e2e::describe(viewer->process);
    reportFigure("closed through evilwm (WM_DELETE_WINDOW): " + status->describe() +
                 ", stderr " + (viewer->process.stderrText().empty() ? "empty" : "not empty"));
    EXPECT_TRUE(status->exitedWith(0)) << e2e::describe(viewer->process);
    EXPECT_EQ(viewer->process.stderrText(), "");
    viewer.reset();
    windowManager.stop();
}

// GLUT's own arguments and everything else a user may type: the viewer runs
// normally (its first frame is the golden one, Esc ends it with 1) or ends at
// once with freeglut's message and a non-zero status. Never a crash or a hang.
enum class Outcome { Runs, FreeglutRefuses, Either };

struct ArgumentCase {
    std::string label;
    std::vector<std::string> arguments;
    Outcome expected;
};

std::vector<ArgumentCase> argumentCases() {
    const std::string unserved = e2e::unservedDisplayName();
    return {
        {"-display " + unserved, {"-display", unserved}, Outcome::FreeglutRefuses},
        {"-display (no value)", {"-display"}, Outcome::FreeglutRefuses},
        {"-display '' (means $DISPLAY)", {"-display", ""}, Outcome::Runs},
        {"-display <10,000 x>", {"-display", std::string(10000, 'x')}, Outcome::FreeglutRefuses},
        {"-geometry garbage", {"-geometry", "garbage"}, Outcome::Runs},
        {"-geometry (no value)", {"-geometry"}, Outcome::FreeglutRefuses},
        {"-geometry 300x200+10+20", {"-geometry", "300x200+10+20"}, Outcome::Runs},
        {"-geometry <huge numbers>", {"-geometry", "99999999999999999999x99999999999-0+-5"}, Outcome::Runs},
        {"-iconic", {"-iconic"}, Outcome::Runs},
        {"-direct", {"-direct"}, Outcome::Runs},
        // Depends on the server: Xvfb offers no indirect GL unless started with +iglx.
        {"-indirect", {"-indirect"}, Outcome::Either},
        {"-direct -indirect", {"-direct", "-indirect"}, Outcome::FreeglutRefuses},
        // freeglut then checks the GL error state after every frame and reports any error.
        {"-gldebug", {"-gldebug"}, Outcome::Runs},
        {"-sync", {"-sync"}, Outcome::Runs},
        {"unknown words", {"hello", "--help", "-foo", "-", "--"}, Outcome::Runs},
        {"<100,000 x>", {std::string(100000, 'x')}, Outcome::Runs},
        {"non-ASCII", {"\xC3\xA9", "\xFF\xFE", "\xC3\xBC" "berfl\xC3\xA4" "chen \xE2\x86\x92 \xE2\x88\x91"}, Outcome::Runs},
        {"'' (empty)", {""}, Outcome::Runs},
    };
}

TEST(ViewerArguments, EveryArgumentRunsNormallyOrEndsWithFreeglutsMessage) {
    E2E_REQUIRE_PROGRAMS("Xvfb");
    ASSERT_NO_THROW(e2e::goldenFrames()) << "run scripts/gallery to write them";
    e2e::XSession session;
    int runs = 0;
    int refused = 0;
    for (const ArgumentCase& c : argumentCases()) {
        SCOPED_TRACE(c.label);
        std::vector<std::string> command = e2e::viewerCommand();
        command.insert(command.end(), c.arguments.begin(), c.arguments.end());
        e2e::ChildProcess viewer = session.launch(command);

        // Either its window comes or it ends; 10 s of neither is a hang.
        const std::optional<e2e::WindowId> window = e2e::waitForViewerWindow(session, viewer, seconds(10));

        std::string outcome;
        if (window) {
            ++runs;
            const e2e::PictureWait drawn = session.waitForDrawnPicture(*window);
            const e2e::WindowGeometry place = session.geometry(*window);
            const bool golden = drawn.settled && e2e::surfaceShown(drawn.picture) == 0;
            session.focus(*window);
            session.pressKey("space");  // one more frame, for -gldebug to check
            session.pressKey("Escape");
            const std::optional<e2e::ExitStatus> status = viewer.waitFor(seconds(5));
            outcome = std::string("runs: ") + (golden ? "first frame golden" : "first frame WRONG") +
                      ", window " + std::to_string(place.width) + "x" + std::to_string(place.height) +
                      "+" + std::to_string(place.x) + "+" + std::to_string(place.y) + ", Esc gives " +
                      (status ? status->describe() : "nothing (still running)");
            EXPECT_NE(c.expected, Outcome::FreeglutRefuses) << outcome;
            EXPECT_TRUE(golden) << keepPicture(drawn.picture, "first-frame");
            // The program's own size and place win over -geometry.
            EXPECT_EQ(place.width, 400);
            EXPECT_EQ(place.height, 400);
            EXPECT_TRUE(status && status->exitedWith(1)) << e2e::describe(viewer);
            EXPECT_EQ(viewer.stderrText(), "") << "a normal run writes nothing";
        } else if (!viewer.running()) {
            ++refused;
            const e2e::ExitStatus status = *viewer.status();
            const std::string message = viewer.stderrText();
            outcome = "ends: " + status.describe() + ", " +
                      message.substr(0, std::min<std::size_t>(message.find('\n'), 110));
            EXPECT_NE(c.expected, Outcome::Runs) << outcome;
            EXPECT_TRUE(status.exited && status.code != 0) << outcome;
            EXPECT_EQ(message.rfind("freeglut (", 0), 0u) << "no message from freeglut: " << message;
        } else {
            outcome = "HANGS: neither a window nor an end within 10 s";
            ADD_FAILURE() << outcome << e2e::describe(viewer);
        }
        reportFigure(c.label + " -> " + outcome);
    }
    reportFigure(std::to_string(runs + refused) + " argument cases: " + std::to_string(runs) +
                 " run normally, " + std::to_string(refused) + " end with freeglut's message");
}

}  // namespace
