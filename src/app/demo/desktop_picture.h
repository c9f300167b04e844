#pragma once
// The whole of one simulated screen as a user would see it, for the demo's pictures: the desktop
// background, the menu bar (with the frontmost app's name and the clock), the on-screen windows
// of the desktop as framed rectangles with title bars, drawn back to front in their stacking
// order, and the Switch Bar's panel at its frame when it is shown on that screen, with the
// desktop blurred under the panel's glass as the window server blurs what lies behind a window.
// Light or dark after the system appearance.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/screens.h"

namespace quillmar::platform::sim {
class SimDesktop;
}

namespace quillmar {

class NonActivatingPanel;

struct DesktopPicture {
    // More windows than this that can show make no picture: each one drawn holds its views.
    static constexpr std::size_t kMostWindowsDrawn = 2048;

    // Writes the screen drawn at scale (pixels per point; panel may be null: no bar) to a PNG
    // file, a band of rows at a time (a whole screen's surface is never held); false with
    // `error` set when it cannot be written or made (too many windows show, or memory runs out).
    // Only what can show is drawn: a window wholly under opaque windows in front is left out.
    static bool writePng(const platform::sim::SimDesktop& desktop, const platform::Screen& screen,
                         NonActivatingPanel* panel, double scale, const std::string& path, std::string* error);

    // How many windows' bodies (title bar and content) pictures have laid out on this thread:
    // what a picture spent on windows, for tests.
    static std::uint64_t windowBodiesDrawn();
};

}  // namespace quillmar
