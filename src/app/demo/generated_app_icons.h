#pragma once
// Icons for the simulated apps that tell them apart at a glance: the first letter of the app's
// name on a tile of the app's colour (dark letters on light colours, white on the rest). Every
// app of the desktop with a colour gets one when the demo starts, and apps launched later get
// theirs as they appear.

#include <cstdint>
#include <string>

#include "platform/app_icon.h"

namespace quillmar::platform::sim {
class SimDesktop;
}

namespace quillmar {

struct GeneratedAppIcons {
    // A 128-pixel icon, drawn when first shown: the first character of name (upper case for Latin letters) on argb.
    static platform::AppIconRef letterIcon(const std::string& name, std::uint32_t argb);
    // Gives every app of the desktop with a colour its letter icon, now and on each later launch.
    static void install(platform::sim::SimDesktop& desktop);
};

}  // namespace quillmar
