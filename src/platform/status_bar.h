#pragma once
// The system status bar: items at the right of the menu bar, each a button (an image, a tool tip,
// an accessibility label) with a menu that opens when the button is clicked.
//
// StatusBar::installed() returns the installed backend or null (no status bar: nothing to show).

#include <memory>
#include <optional>
#include <string>

#include "platform/menu.h"
#include "runtime/world.h"

namespace quillmar::platform {

// How a button shows its image and title (the system's values).
enum class ImagePosition : int { noImage = 0, imageOnly = 1, imageLeft = 2 };

struct StatusBarButton {
    MenuImageRef image;
    ImagePosition imagePosition = ImagePosition::imageLeft;
    std::string toolTip;
    std::string accessibilityLabel;
};

class StatusItem {
public:
    // Width of a square item (as tall as the bar) and of an item that fits its content.
    static constexpr double squareLength = -2;
    static constexpr double variableLength = -1;

    explicit StatusItem(double length, bool hasButton) : length(length) {
        if (hasButton) button.emplace();
    }

    const double length;
    // Missing when the status bar cannot show the item (the menu still works through the item).
    std::optional<StatusBarButton> button;
    std::shared_ptr<Menu> menu;
};

class StatusBar {
public:
    virtual ~StatusBar() = default;
    static StatusBar* installed() { return runtime::World::find<StatusBar>(); }

    // A new item at the left end of the status items, kept by the bar and by the caller.
    virtual std::shared_ptr<StatusItem> statusItem(double length) = 0;
};

}  // namespace quillmar::platform
