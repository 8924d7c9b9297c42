#pragma once

// Real input through XTest, driven by xdotool: the server sees the same
// events a keyboard and mouse would give, delivered to the focused window
// (never xdotool's --window, whose synthetic events many clients ignore).

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

// Runs `xdotool ARGS...` against the display; throws std::runtime_error with
// xdotool's own message when it fails or takes longer than `timeout`.
// Returns what it printed.
std::string runXdotool(const std::string& displayName, const std::vector<std::string>& arguments,
                std::chrono::milliseconds timeout = std::chrono::seconds(5));

// One press and release of the key named by its X keysym ("a", "space",
// "Return", "BackSpace", "Escape", ...); modifiers as the keysym needs them.
void pressKey(const std::string& displayName, const std::string& keysym);

// Many presses and releases in one xdotool run, back to back (no delay), in
// order. Each entry is a keysym, optionally with modifiers ("ctrl+a").
void pressKeys(const std::string& displayName, const std::vector<std::string>& keysyms);

// Moves the pointer to (x, y) on the root window and waits until it is there
// (at once if it is there already).
void movePointer(const std::string& displayName, int x, int y);

}  // namespace e2e
