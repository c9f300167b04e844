#pragma once
// The status menu as a user sees it, drawn to an image: the right end of the menu bar with the
// status item's button pressed near its right edge, the menu hanging below it (check marks, titles, key equivalents with
// the Command sign, submenu arrows, separators, disabled rows greyed) and, optionally, one
// submenu open beside its row, which is then highlighted. Light or dark appearance. Like the
// system's, the menu stays on the screen: no panel is wider than the screen (less room for its
// shadow), a longer title ends in an ellipsis, the menu moves left when it would pass the
// screen's right edge, a submenu opens to the left when there is no room on the right, and a
// panel taller than the room below it is cut after the last row that fits whole above the
// screen's bottom edge, where its downward scroll arrow stands (a submenu first moves up as far
// as the menu bar). The picture is as wide and as tall as what it shows, at most the screen's
// size.
//
// This stands in for the system's own menu drawing, which the simulated desktop does not have.

#include <optional>
#include <string>
#include <vector>

#include "gfx/geometry.h"
#include "gfx/image.h"
#include "platform/menu.h"
#include "platform/status_bar.h"

namespace quillmar {

struct StatusMenuPictureOptions {
    bool dark = false;
    double scale = 2.0;
    // Title of the item whose submenu is shown open.
    std::optional<std::string> openSubmenu;
    // The size of the screen whose menu bar holds the status item, in points.
    double screenWidth = 1440;
    double screenHeight = 900;
};

class StatusMenuPicture {
public:
    // Where each item of a menu lies inside the menu panel (points, panel origin at 0,0).
    struct Layout {
        gfx::Size panel;
        std::vector<gfx::Rect> rows;  // one per item, separators included
    };
    // maxWidth: the widest a panel may be (its titles are cut to fit).
    static Layout layout(const platform::Menu& menu, double maxWidth = 1e6);

    // Where the main menu's panel and the submenu's panel (when open) lie in the picture. A
    // panel shorter than its layout is cut: it shows the rows that fit above its scroll arrow.
    struct Placement {
        gfx::Size canvas;
        gfx::Rect button;
        gfx::Rect menu;
        std::optional<gfx::Rect> submenu;
    };
    static Placement place(const platform::Menu& menu, const StatusMenuPictureOptions& options);

    static gfx::Image render(const platform::StatusItem* item, const platform::Menu& menu,
                             const StatusMenuPictureOptions& options);
    static bool writePng(const platform::StatusItem* item, const platform::Menu& menu,
                         const StatusMenuPictureOptions& options, const std::string& path, std::string* error);
};

}  // namespace quillmar
