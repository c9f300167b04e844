#pragma once
// The application's own windows as the pointer effects of its views need them: each window's
// frame, whether it is visible and key, the size of its content view and where the pointer is
// in it (the window's own mouse location, read outside the event stream, origin at the bottom
// left). AppWindowList::installed() is null where no window service is in place (nothing is
// sampled). Main thread only.

#include <optional>
#include <vector>

#include "runtime/geometry.h"
#include "runtime/world.h"

namespace quillmar::platform {

struct AppWindowState {
    Rect frame;                       // global, bottom-left origin
    bool isVisible = false;
    bool isKey = false;
    std::optional<Size> contentSize;  // none: the window has no content view
    Point mouseLocationInWindow;      // bottom-left origin
};

class AppWindowList {
public:
    virtual ~AppWindowList() = default;
    static AppWindowList* installed() { return runtime::World::find<AppWindowList>(); }

    // The application's windows, front to back.
    virtual std::vector<AppWindowState> windows() const = 0;
};

}  // namespace quillmar::platform
