#pragma once
// A process of the simulated desktop. Every process has a pid, an executable path and a parent;
// an application process (isApplication) also has the app's metadata and shows up in the
// workspace.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/running_application.h"

namespace quillmar::platform::sim {

struct SimApp {
    // The longest name an app keeps, in bytes. An app's name is its bundle's file name, and no
    // file name is longer, so every ordinary name is kept whole; a longer one is cut where a
    // scenario names the app, and so is a name that refers to one (scenario_limits.h).
    static constexpr std::size_t kMaxNameBytes = 255;

    std::int32_t pid = 0;  // 0: the desktop assigns one
    bool isApplication = true;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
    std::optional<std::string> bundlePath;
    std::optional<std::string> executablePath;
    std::optional<std::int32_t> parentPid;
    AppIconRef icon;
    // The app's colour (straight ARGB) its icon was made from; 0 when the icon came from elsewhere.
    std::uint32_t iconColor = 0;
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    bool isHidden = false;
    std::optional<double> launchDate;  // epoch seconds; the desktop stamps launches

    // The bundle's Info.plist; hasBundle false means no bundle can be opened at bundlePath.
    InfoDictionary infoPlist;
    bool hasBundle = true;
    // A polite quit request is delivered but ignored (an app with unsaved work, say).
    bool refusesPoliteTerminate = false;
    // Activation is refused (the app ignores activation requests).
    bool refusesActivation = false;
};

}  // namespace quillmar::platform::sim
