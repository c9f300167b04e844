#pragma once
// One entry of the Switch Bar: a window, or an app shown as a whole. A plain value, copied into
// the bar, its previews and the activation, close and quit calls.
//
//   SwitchTarget t({.id = "win-42", .pid = 501, .windowID = 42u, .appName = "Mail",
//                   .windowTitle = "Inbox — Mail", .bounds = {0, 25, 900, 700}});
//   t.cleanedWindowTitle;  // "Inbox"
//   t.displayLabel;        // "Mail" until the catalogue labels it

#include <cstdint>
#include <optional>
#include <string>

#include "platform/accessibility_api.h"
#include "platform/app_icon.h"
#include "platform/geometry.h"

namespace quillmar {

struct SwitchTarget {
    // Construction arguments; the three optional ones take their defaults when absent:
    // cleanedWindowTitle = the app name for app entries, else the cleaned window title;
    // displayLabel = the app name; hasOpenWindow = !isMinimizedOrHidden.
    struct Fields {
        std::string id{};
        std::int32_t pid = 0;
        std::optional<std::string> bundleIdentifier{};
        std::optional<std::uint32_t> windowID{};
        std::string appName{};
        std::string windowTitle{};
        std::optional<std::string> cleanedWindowTitle{};
        std::optional<std::string> displayLabel{};
        platform::AppIconRef appIcon{};
        platform::Rect bounds{};
        std::optional<platform::AXElement> axWindow{};
        bool isAppOnly = false;
        bool isMinimizedOrHidden = false;
        std::optional<bool> hasOpenWindow{};
    };

    explicit SwitchTarget(Fields f);

    std::string id;  // "app-<pid>", "win-<window number>" or "axwin-<pid>-<index>"
    std::int32_t pid = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::uint32_t> windowID;
    std::string appName;
    std::string windowTitle;
    std::string cleanedWindowTitle;
    std::string displayLabel;
    platform::AppIconRef appIcon;
    platform::Rect bounds;  // window server / Accessibility space; zero for app entries
    std::optional<platform::AXElement> axWindow;
    bool isAppOnly = false;
    bool isMinimizedOrHidden = false;
    bool hasOpenWindow = false;

    SwitchTarget withDisplayLabel(std::string label) const;

    // Equal when the id, display label, cleaned title and the two visibility flags are equal;
    // the other fields do not take part.
    friend bool operator==(const SwitchTarget& a, const SwitchTarget& b) {
        return a.id == b.id && a.displayLabel == b.displayLabel && a.cleanedWindowTitle == b.cleanedWindowTitle &&
               a.isMinimizedOrHidden == b.isMinimizedOrHidden && a.hasOpenWindow == b.hasOpenWindow;
    }
};

}  // namespace quillmar
