#pragma once
// One window of an app as the Accessibility tree reports it, read under the catalogue's time
// budget.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/accessibility_api.h"
#include "platform/geometry.h"

namespace quillmar {

struct ParsedAXWindow {
    platform::AXElement element;
    std::size_t hash = 0;            // the element's hash; identifies it within one catalogue call
    std::uint32_t windowID = 0;      // the window server's number; 0 when unknown
    bool isMinimized = false;
    bool isStandardOrDialog = true;  // standard window or dialog, or the subrole could not be read
    std::string title;               // trimmed; "" when none
    platform::Point position;        // (0, 0) when not read
    platform::Size size{400, 300};   // 400 by 300 when not read
};

// The windows of one app, and whether the app answered at all (an app that answered may have no
// windows; one that did not gives none).
struct AXWindowsAnswer {
    std::vector<ParsedAXWindow> windows;
    bool answered = false;
};

}  // namespace quillmar
