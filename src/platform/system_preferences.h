#pragma once
// Reads of the system's own preference domains (the CoreFoundation-style "copy app value" of a
// key in an application domain), such as the trackpad's "TrackpadThreeFingerDrag" in
// "com.apple.AppleMultitouchTrackpad". Every read is fresh: the system or the user may change a
// value at any time.
//
// SystemPreferences::shared() returns the installed backend (World::install<SystemPreferences>);
// when none is installed no domain holds any value.

#include <optional>
#include <string>

#include "platform/user_defaults.h"

namespace quillmar::platform {

class SystemPreferences {
public:
    virtual ~SystemPreferences() = default;

    static SystemPreferences& shared();

    // The value stored under key in the domain, of whatever type it has; nullopt when absent.
    virtual std::optional<DefaultsValue> copyAppValue(const std::string& key, const std::string& domain) const = 0;

    // The key read as a Bool with the user defaults' conversion rules; nullopt when absent.
    std::optional<bool> boolValue(const std::string& key, const std::string& domain) const {
        auto v = copyAppValue(key, domain);
        if (!v) return std::nullopt;
        return UserDefaults::toBool(*v);
    }
};

}  // namespace quillmar::platform
