#pragma once
// The tests behind the game pause: bundle-identifier prefixes of games and of the software that
// runs them, of virtual-machine hosts and remote-desktop clients, and the two window-list tests
// (a window at the shielding level or a high window the size of a screen; a window that fills
// at least 95% of a screen). All read the window server afresh; none keeps state.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillmar {

// Games, launchers, stores, compatibility layers, cloud gaming, emulators. Case-sensitive.
inline constexpr std::array<std::string_view, 11> gameBundlePrefixes{
    "com.codeweavers.CrossOver", "com.isaacmarovitz.Whisky", "org.winehq.",   "com.nvidia.gfnpc",
    "com.blizzard.",             "com.riotgames.",           "com.epicgames.", "net.minecraft",
    "com.roblox.",               "com.larian.",              "org.openemu.",
};

// Virtual-machine hosts, remote-desktop and game-streaming clients. Case-insensitive.
inline constexpr std::array<std::string_view, 12> remoteDesktopBundlePrefixes{
    "com.parallels.",        "com.vmware.",          "com.utmapp.",          "com.microsoft.rdc",
    "com.apple.ScreenSharing", "tv.parsec.",         "com.moonlight-stream.", "com.citrix.",
    "com.philandro.anydesk", "com.teamviewer.",      "com.carriez.rustdesk", "org.virtualbox.",
};

// Whether bundleID begins with one of the game prefixes (exact case).
bool hasGameBundlePrefix(const std::string& bundleID);
bool isVirtualizationOrRemoteApp(const std::string& bundleID);
// A window of pid at or above the shielding level, or at or above the main-menu level and within
// 2 points of a screen's size.
bool hasShieldingOrCoveringWindow(std::int32_t pid);
// A window of pid at least 95% of a screen's width and height, at any level.
bool hasNearFullscreenWindow(std::int32_t pid);

}  // namespace quillmar
