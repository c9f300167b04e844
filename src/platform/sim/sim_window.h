#pragma once
// A window of the simulated desktop. Bounds are in window-server coordinates (origin at the top
// left of the primary screen, y down). Whether it is on screen follows from its state and its
// owner's: not minimised, owner not hidden, and on the current Space (or on every Space).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "platform/geometry.h"
#include "platform/kept_text.h"

namespace quillmar::platform::sim {

struct SimWindow {
    std::uint32_t number = 0;  // 0: the desktop assigns one
    std::int32_t ownerPid = 0;
    // The longest title a window keeps, in bytes: far beyond what a title bar or the Switch Bar
    // shows (labels are laid out up to 1,024 characters), so every ordinary title is kept whole.
    // A longer one is cut where a scenario gives it, and so is a title that refers to a window
    // (scenario_limits.h).
    static constexpr std::size_t kMaxTitleBytes = 4096;

    std::string title;
    Rect bounds;
    int layer = 0;
    double alpha = 1.0;
    bool isMinimized = false;
    bool isFullscreen = false;
    int space = 1;  // 0: on every Space
    int sharingState = 1;
    // Merged over the generated window-list dictionary last: a key set to null is removed, any
    // other value replaces (or adds) that key as it stands, whatever its type.
    nlohmann::json infoOverrides = nlohmann::json::object();
    // The title as the scenario gave it (cut to its bound), when `title` was made to end with its
    // app's cut name instead: a step names the window by either.
    std::optional<std::string> givenTitle{};
};

}  // namespace quillmar::platform::sim
