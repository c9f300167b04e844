#pragma once
// Decides, for the app in front right now, whether trackpad gestures pause, and publishes why:
// the app is on the excluded list, or (with pauseInGames) it is a game, covers a screen with a
// game-like window, or is a virtual-machine or remote-desktop client filling a screen. Each
// change of the reason is mirrored into the trackpad gate. It also remembers the last regular
// app in front (for the status menu and the toggle-frontmost-app command).
//
// It installs itself as the trackpad monitor's pause check, so the recogniser refreshes it
// before a gesture may begin. Main thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "autopause/auto_pause_reason.h"
#include "platform/running_application.h"
#include "runtime/lifetime.h"
#include "runtime/notification_center.h"
#include "runtime/published.h"
#include "runtime/subscription.h"

namespace quillmar {

class AppExclusionMonitor : public runtime::ObservableObject {
public:
    static constexpr std::size_t kGameCacheLimit = 256;

    static AppExclusionMonitor& shared();
    AppExclusionMonitor();
    ~AppExclusionMonitor() override;

    // Stored only when it changes; every store updates the trackpad gate's suppression.
    runtime::Published<std::optional<AutoPauseReason>> activePauseReason;
    runtime::Published<std::optional<std::string>> lastRegularAppName;
    runtime::Published<std::optional<std::string>> lastRegularBundleID;

    bool shouldSuppressTouches() const { return activePauseReason->has_value(); }

    // Records the last regular app in front, then re-evaluates at once, so that the caller can
    // read activePauseReason right after.
    void refreshFrontmostState();

    // The game test; its answer is cached per app (bundle identifier, else executable path,
    // else "pid:" and the process id), at most 256 entries.
    bool isGameApplication(const platform::RunningApplication& app, const std::string& bundleID);
    static std::string gameCacheKey(const platform::RunningApplication& app, const std::string& bundleID);
    std::size_t gameCacheSize() const { return gameBundleCache_.size(); }

private:
    void reevaluatePauseReason();
    void purgeTerminatedAppFromGameCache(const runtime::Notification& n);

    std::unordered_map<std::string, bool> gameBundleCache_;
    runtime::SubscriptionBag cancellables_;
    runtime::Lifetime lifetime_;
};

}  // namespace quillmar
