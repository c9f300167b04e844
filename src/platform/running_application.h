#pragma once
// A running application as the workspace reports it: a snapshot of its state at the time it was
// read (or, in a notification, at the time of the event). Read it again for current values.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/app_icon.h"

namespace quillmar::platform {

// Raw values match the platform's: regular apps have a Dock icon and a menu bar, accessory apps
// have neither but may show windows, prohibited apps show nothing.
enum class ActivationPolicy : int { regular = 0, accessory = 1, prohibited = 2 };

// Loosely typed values of an application bundle's Info.plist (strings, numbers, booleans, arrays,
// dictionaries). Readers test the type they expect; anything else counts as missing.
using PropertyListValue = nlohmann::json;
using InfoDictionary = std::map<std::string, PropertyListValue>;

struct RunningApplication {
    std::int32_t processIdentifier = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
    std::optional<std::string> bundlePath;      // file-system path of the .app bundle
    std::optional<std::string> executablePath;  // file-system path of the executable
    std::optional<std::int32_t> parentProcessIdentifier;
    AppIconRef icon;                            // may be null
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    bool isHidden = false;
    bool isActive = false;                      // frontmost when the snapshot was taken
    bool isTerminated = false;
    std::optional<double> launchDate;           // seconds since the Unix epoch

    bool operator==(const RunningApplication&) const = default;
};

}  // namespace quillmar::platform
