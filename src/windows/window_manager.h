#pragma once
// The one object through which the program reaches other applications and their windows: it keeps
// the most-recently-used order of apps, lists windows and apps as Switch Bar targets, activates,
// closes and quits a target, watches and requests the Accessibility permission, tells whether
// the system's window overview is showing, and describes its classification as text.
//
//   auto& wm = WindowManager::shared();
//   auto targets = wm.fetchTargets(SwitcherMode::allWindows);   // one 0.16 s Accessibility budget
//   wm.activate(targets[1]);
//   if (!wm.closeTargetWindow(targets[0])) beep();
//
// Main thread only, except refreshAccessibilityTrust(), which may be called from any thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/accessibility_api.h"
#include "platform/running_application.h"
#include "platform/window_info.h"
#include "runtime/lifetime.h"
#include "runtime/main_loop.h"
#include "runtime/notification_center.h"
#include "runtime/published.h"
#include "runtime/subscription.h"
#include "settings/settings_enums.h"
#include "windows/app_icon_cache.h"
#include "windows/parsed_ax_window.h"
#include "windows/switch_target.h"

namespace quillmar {

class TrackpadTouchMonitor;

class WindowManager : public runtime::ObservableObject {
public:
    // The user default set once the permission has been seen granted.
    static constexpr const char* kHadAccessibilityTrustKey = "hadAccessibilityTrust";
    static constexpr const char* kAccessibilitySettingsURL =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
    // All Accessibility reads of one catalogue call share this budget (seconds).
    static constexpr double kCatalogueBudget = 0.16;

    // The one instance, created on first use.
    static WindowManager& shared();
    WindowManager();
    ~WindowManager() override;

    // Whether this process may use the Accessibility interface (stored only when it changes).
    runtime::Published<bool> isAccessibilityTrusted;

    // ---- Catalogue -----------------------------------------------------------------------------
    // The targets of one Switch Bar opening, in display order: visible windows, then apps without
    // an open window, then minimised or hidden entries. Moves the frontmost app to the front of
    // the MRU order first.
    std::vector<SwitchTarget> fetchTargets(SwitcherMode mode);
    // The frontmost regular app other than this one, else the most recently used app.
    std::optional<std::int32_t> effectiveFrontmostRegularPID() const;
    static std::string cleanWindowLabel(std::string_view windowTitle, std::string_view appName);

    // ---- Activation, close and quit ------------------------------------------------------------
    // Brings the target's app forward and, for a window target, that very window (un-minimising
    // and unhiding as needed). Best effort; nothing is reported.
    void activate(const SwitchTarget& target);
    // Closes the target's window, and only that window; an app-only target closes the app's
    // front window or, with nothing to close, hides the app. True when something was done.
    bool closeTargetWindow(const SwitchTarget& target);
    // Asks the target's app to quit, when its pid still belongs to that app.
    bool quitTargetApp(const SwitchTarget& target);

    // ---- Diagnostics ---------------------------------------------------------------------------
    // What the window server and the Accessibility tree say about every app, and the targets
    // built from it for mode.
    std::string qaDumpClassification(SwitcherMode mode);

    // ---- Accessibility permission --------------------------------------------------------------
    void requestAccessibilityPermission();
    // Any thread: re-reads the trust; applied at once on the main thread, else posted there.
    void refreshAccessibilityTrust();
    // Polls every 1.5 s for at least maxTicks firings while untrusted.
    void startPermissionPollingIfNeeded(int maxTicks);
    void stopPermissionPolling();
    void openAccessibilitySettings();
    bool isPermissionPolling() const { return permissionPollTimer_.isValid(); }
    int permissionPollRemainingTicks() const { return permissionPollRemainingTicks_; }
    bool hasShownSystemAXPrompt() const { return hasShownSystemAXPrompt_; }

    // ---- System overview -----------------------------------------------------------------------
    // Whether the system's own window overview is on screen (a wide Dock or window-manager window
    // at layer 19 or 14).
    static bool isSystemOverviewActive();
    // Lets the trackpad monitor ask, before each gesture, whether the system overview is showing
    // (the application's start-up connects the two once both exist).
    void connectTrackpadMonitor(TrackpadTouchMonitor& monitor);

    // ---- Notification handlers -----------------------------------------------------------------
    void appDidActivate(const runtime::Notification& note);
    void appDidTerminate(const runtime::Notification& note);
    void handleAppBecameActive(const runtime::Notification& note);
    void handleAccessibilityChanged(const runtime::Notification& note);

    // ---- Accessibility reading layer -----------------------------------------------------------
    // The app's element with the given messaging timeout; nullopt while the app is benched as
    // unresponsive.
    std::optional<platform::AXElement> axApplicationElement(std::int32_t pid, float timeout);
    // Benches the app for 2.5 s when a request failed with cannotComplete after 0.05 s or more.
    void markUnresponsiveIfSlow(platform::AXError error, std::int32_t pid, double elapsed);
    // The app's standard windows, dialogs and minimised windows, within deadline (media clock).
    AXWindowsAnswer parseAXWindows(std::int32_t pid, double deadline);
    // Whether the private window-number call exists on this system.
    bool hasWindowNumberCall();

    // ---- Read-only views of the private state --------------------------------------------------
    const std::vector<std::int32_t>& mruAppPIDs() const { return mruAppPIDs_; }
    const AppIconCache& iconCache() const { return iconCache_; }
    std::optional<double> unresponsiveUntil(std::int32_t pid) const;
    // How many window labels the catalogue has worked out, and how many it keeps for reuse (those
    // of the windows its last call listed).
    std::size_t labelsWorkedOut() const { return labelsWorkedOut_; }
    std::size_t keptLabelCount() const { return keptLabels_.size(); }

    // A window-server record that is not on screen, kept for the off-screen pass.
    struct OffscreenCGWindowCandidate {
        std::uint32_t windowID = 0;
        platform::Rect bounds;
        std::string title;
    };

private:
    // The qualifying apps of one catalogue call, in running-applications order, by pid.
    struct AppSet {
        std::vector<platform::RunningApplication> apps;
        std::unordered_map<std::int32_t, std::size_t> indexByPID;
        const platform::RunningApplication* find(std::int32_t pid) const;
    };
    using MRURank = std::unordered_map<std::int32_t, std::size_t>;
    using AXWindowsByPID = std::unordered_map<std::int32_t, AXWindowsAnswer>;

    // Lifecycle and MRU.
    void seedMRU();
    void moveToFrontOfMRU(std::int32_t pid);
    bool qualifies(const platform::RunningApplication& app, std::int32_t ownPid) const;

    // Passes.
    std::vector<SwitchTarget> buildAppTargets(const std::vector<platform::RunningApplication>& apps,
                                              const MRURank& rank, double deadline);
    std::vector<SwitchTarget> buildWindowTargets(const AppSet& apps, const MRURank& rank, bool includeAppOnly,
                                                 double deadline);
    struct WindowPass;  // the steps of one window pass and what they have listed
    // The map's answer for pid, read and stored first when missing (it lives as long as the map).
    const AXWindowsAnswer& cachedAXWindows(std::int32_t pid, AXWindowsByPID& map, bool allowFetch, double deadline);
    // An app's Accessibility windows by window number (the first of each) and those without one,
    // so that matching a record is a look-up rather than a walk over all of them.
    struct AXWindowNumbers {
        std::unordered_map<std::uint32_t, const ParsedAXWindow*> first;
        std::vector<const ParsedAXWindow*> unnumbered;
    };
    // The matching window of `windows` (found through `numbers` when given, made from them), or null.
    const ParsedAXWindow* matchAXToCGWindow(std::uint32_t windowNumber, const std::vector<ParsedAXWindow>& windows,
                                            const platform::Rect& bounds, const AXWindowNumbers* numbers = nullptr);
    static std::string offscreenWindowTitle(const OffscreenCGWindowCandidate& c, const ParsedAXWindow* match,
                                            const std::string& appName);
    platform::AppIconRef appIcon(const platform::RunningApplication& app);
    // The apps in MRU order (stable: apps not in the MRU list keep their order, after the others),
    // in time linear in the apps and the MRU list.
    static std::vector<const platform::RunningApplication*> inMRUOrder(const std::vector<platform::RunningApplication>& apps,
                                                                       const MRURank& rank);
    static std::vector<SwitchTarget> regroupAndLabel(std::vector<SwitchTarget> targets);
    // The window's cleaned title: the one kept from the last call while its title and app name
    // are unchanged, else worked out and kept.
    std::string windowLabel(const std::string& id, const std::string& title, const std::string& appName);
    // Lets go of the labels of windows that targets does not list.
    void keepLabelsOf(const std::vector<SwitchTarget>& targets);

    // Activation, close and quit.
    // Whether window is the target's window: by window number when both are known, else by frame
    // (within kMatchTolerance). With exactNumber (closing), a target that has a number matches
    // only a window that reports that very number: a window whose number cannot be read is not it.
    bool windowMatchesTarget(const platform::AXElement& window, const SwitchTarget& target, bool exactNumber = false);
    std::optional<platform::AXElement> identifyTargetWindow(const SwitchTarget& target, const platform::AXElement& app);
    bool pressCloseButton(const platform::AXElement& window);
    bool closeThroughMenuBar(const platform::AXElement& app);
    bool closeFrontWindowOfApp(const platform::AXElement& app);
    bool processStillBelongsToTarget(const SwitchTarget& target) const;
    void openApplication(std::int32_t pid);

    // Permission.
    void applyAccessibilityTrust(bool value);
    void permissionPollTick();

    // The private calls, bound once on first use.
    void bindPrivateCalls();

    std::vector<std::int32_t> mruAppPIDs_;
    AppIconCache iconCache_;
    std::unordered_map<std::int32_t, double> unresponsiveUntilByPID_;
    // Cleaning a title costs ICU work over all of it, and every opening of the bar lists the same
    // windows again, mostly with the same titles: each listed window's label, by target id.
    struct KeptLabel {
        std::string title;
        std::string appName;
        std::string label;
    };
    std::unordered_map<std::string, KeptLabel> keptLabels_;
    std::size_t labelsWorkedOut_ = 0;
    runtime::TimerHandle permissionPollTimer_;
    int permissionPollRemainingTicks_ = 0;
    bool hasShownSystemAXPrompt_ = false;

    std::once_flag privateCallsOnce_;
    platform::AXWindowNumberCall windowNumberCall_;
    bool hasProcessLookup_ = false;
    bool hasFrontProcessCall_ = false;

    runtime::SubscriptionBag observers_;
    // Work queued for later holds this weakly, so that it does nothing once the manager is gone.
    runtime::Lifetime lifetime_;
};

}  // namespace quillmar
