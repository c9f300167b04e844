#pragma once
// Application icons for the Switch Bar, scaled once to 128 by 128 and kept by a key that outlives
// the process (bundle identifier, else executable path, else "pid:<pid>"), so a relaunched app is
// served from the cache. The cache holds at most 128 icons: inserting into a full cache empties
// it first.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/app_icon.h"
#include "platform/running_application.h"

namespace quillmar {

class AppIconCache {
public:
    static constexpr std::size_t kCapacity = 128;
    static constexpr int kIconSize = 128;

    static std::string key(const platform::RunningApplication& app);

    // The cached icon, or the app's own icon (the workspace's icon for its bundle, or for
    // "/Applications", when it has none) scaled to 128 by 128 and stored.
    platform::AppIconRef icon(const platform::RunningApplication& app);
    // Forgets the "pid:<pid>" entry of a process that ended.
    void removeProcessEntry(std::int32_t pid);

    std::size_t size() const { return entries_.size(); }
    bool contains(const std::string& key) const { return entries_.count(key) > 0; }

    // A copy of icon resampled to size by size pixels (area average); the icon itself when it
    // already has that size.
    static platform::AppIconRef scaled(const platform::AppIconRef& icon, int size);

private:
    std::unordered_map<std::string, platform::AppIconRef> entries_;
};

}  // namespace quillmar
