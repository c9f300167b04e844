#pragma once
// What the application knows about itself: the values of its own bundle's info dictionary
// ("CFBundleShortVersionString", ...) and the version of the operating system it runs on.
//
// BundleInfo::shared() returns the installed backend (World::install<BundleInfo>); when none is
// installed it describes this process as run from a bare executable: no info dictionary, and
// the running kernel's release numbers as the system version.

#include <optional>
#include <string>

#include "platform/user_defaults.h"

namespace quillmar::platform {

struct OperatingSystemVersion {
    long long major = 0;
    long long minor = 0;
    long long patch = 0;
};

class BundleInfo {
public:
    virtual ~BundleInfo() = default;

    static BundleInfo& shared();

    // The value stored under key in the main bundle's info dictionary, of whatever type it has;
    // nullopt when there is no dictionary or no such key.
    virtual std::optional<DefaultsValue> infoValue(const std::string& key) const = 0;
    virtual OperatingSystemVersion operatingSystemVersion() const = 0;
};

}  // namespace quillmar::platform
