#pragma once
// Application icons for the Switch Bar, scaled once to 128 by 128 points (pixels: 128 times the
// highest backing scale of the screens, so a 2x screen draws them sharp) and kept by a key that
// outlives the process (bundle identifier, else executable path, else "pid:<pid>"), so a
// relaunched app is served from the cache. The cache holds at most 128 icons: inserting into a
// full cache empties it first. The scaled copy is a representation the app's own icon keeps, so
// an entry that comes back after the cache was emptied finds the copy already drawn.

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
    static constexpr int kIconPoints = 128;

    // The icons' size in pixels for the screens attached now (128 at 1x, 256 at 2x; at most 4x).
    static int iconPixels();

    static std::string key(const platform::RunningApplication& app);

    // The cached icon, or the app's own icon (the workspace's icon for its bundle, or for
    // "/Applications", when it has none) scaled to iconPixels() square and stored.
    platform::AppIconRef icon(const platform::RunningApplication& app);
    // Forgets the "pid:<pid>" entry of a process that ended.
    void removeProcessEntry(std::int32_t pid);

    std::size_t size() const { return entries_.size(); }
    bool contains(const std::string& key) const { return entries_.count(key) > 0; }

    // A copy of icon resampled to size by size pixels (area average), drawn when first read; the
    // icon itself when it already has that size. The copy reads the icon through its pixel
    // source, so the icon may keep it without keeping itself alive.
    static platform::AppIconRef scaled(const platform::AppIconRef& icon, int size);

private:
    std::unordered_map<std::string, platform::AppIconRef> entries_;
    int entryPixels_ = 0;  // the size every entry has; a change of screens starts afresh
};

}  // namespace quillmar
