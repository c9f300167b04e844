#pragma once
// The one settings object of the program. It loads every choice once from the standard user
// defaults, validates and clamps what it reads, writes each assignment back at once, publishes
// every assignment, and tells the trackpad gate when a gesture-relevant setting was assigned.
//
//   auto& s = SwitcherSettings::shared();
//   if (s.holidaySparkle) ...;                       // read (implicit conversion or .get())
//   s.fingerCount = 3;                               // assign: publish, store, observe
//   auto sub = s.isEnabled.publisher().dropFirst().receiveOnMain().sink(...);
//
// Assignment semantics (those of runtime::Published): every assignment publishes, also of an
// unchanged value; subscribers see the new value before it is stored; the property's observer
// runs after the store and may assign a corrected value, which completes (publishes, stores,
// writes, syncs) before the outer assignment returns. Assigning 2 to fingerCount therefore
// publishes 2 and then 4, writes 4 once and syncs the gate once.
//
// Persisted (user-defaults key = property name), with their defaults:
//   isEnabled true, fingerCount 4 (only 0 = automatic, 3 and 4 are kept; anything else becomes
//   4), triggerStyle holdAndSlide, switcherMode allWindows, switchBarStyle horizontal,
//   holdDurationMs 75 (35...500, non-finite becomes 75), sensitivity 1.1 (0.3...3.0,
//   non-finite becomes 1.1), hapticFeedback, allowSingleFingerContinue,
//   suppressBackgroundScroll, pauseInGames, allowQuickCloseQuit, holidaySparkle (all true),
//   hudAppearance darkGlass, currentSpaceOnly false, ignoredBundleIDs empty (at most 100
//   identifiers of at most 255 bytes are read).
// Not persisted: forceShowLayoutPicker, qaModeEnabled (both false at start) and launchAtLogin,
// which mirrors the system's login-item registration.
//
// Main thread only.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "runtime/lifetime.h"
#include "runtime/published.h"
#include "runtime/signal.h"
#include "runtime/subscription.h"
#include "settings/settings_enums.h"

namespace quillmar {

class SwitcherSettings : public runtime::ObservableObject {
public:
    template <class T>
    using Published = runtime::Published<T>;

    // The one instance of the world, loaded on first use. Use this; the constructor is public
    // only so that the world can create the instance.
    static SwitcherSettings& shared();
    SwitcherSettings();
    ~SwitcherSettings() override;

    Published<bool> isEnabled;
    Published<std::int64_t> fingerCount;
    Published<TriggerStyle> triggerStyle;
    Published<SwitcherMode> switcherMode;
    Published<SwitchBarStyle> switchBarStyle;
    Published<bool> forceShowLayoutPicker;  // not persisted; no effect inside this object
    Published<double> holdDurationMs;
    Published<double> sensitivity;
    Published<bool> hapticFeedback;
    Published<bool> allowSingleFingerContinue;
    Published<bool> suppressBackgroundScroll;
    Published<bool> pauseInGames;
    Published<bool> allowQuickCloseQuit;
    Published<bool> holidaySparkle;
    Published<HUDAppearanceStyle> hudAppearance;
    Published<bool> currentSpaceOnly;

    // QA mode, not persisted, off at every start. Switch it with setQAMode().
    Published<bool> qaModeEnabled;

    // Whether the app opens at login, as the system reports it. Assigning it registers or
    // unregisters the app (applyLaunchAtLogin) unless the object is itself correcting the value
    // from the system (isUpdatingLaunchAtLogin()); it is re-read whenever the app becomes active.
    Published<bool> launchAtLogin;

    // Bundle identifiers of apps in which gestures pause, in insertion order. As read from the
    // defaults, the list keeps its first kMaxIgnoredBundleIDs identifiers, each cut to
    // kMaxBundleIDBytes (before the character that would cross them): the status menu lists
    // every one each time it opens.
    static constexpr std::size_t kMaxIgnoredBundleIDs = 100;
    static constexpr std::size_t kMaxBundleIDBytes = 255;
    Published<std::vector<std::string>> ignoredBundleIDs;
    // The same identifiers as a set, rebuilt before the list is written.
    const std::unordered_set<std::string>& ignoredBundleIDSet() const { return ignoredBundleIDSet_; }

    // Emitted after an assignment of a gesture-relevant setting has been stored and written:
    // isEnabled, fingerCount, triggerStyle, switchBarStyle, suppressBackgroundScroll, and no
    // other. Once per completed assignment, also of an unchanged value; a corrected fingerCount
    // emits once, with the corrected value. The trackpad gate connects here and copies the
    // values it mirrors from the object it is handed. Nothing is emitted while the object is
    // created (no one can be connected yet): whoever connects fills the gate once itself.
    runtime::Signal<SwitcherSettings> gestureSettingsChanged;

    // Exact, case-sensitive membership of the ignore list.
    bool isAppIgnored(const std::string& bundleID) const { return ignoredBundleIDSet_.count(bundleID) > 0; }

    // An empty identifier does nothing. A listed identifier is removed, every occurrence of it,
    // so one toggle always un-excludes the app; an unlisted one is appended. The new list is
    // assigned to ignoredBundleIDs.
    void toggleIgnoredApp(const std::string& bundleID);

    // Assigns qaModeEnabled only when it changes. Switching off also emits qaModeSwitchedOff
    // every time, even when QA mode was already off: the festive state clears its QA Christmas
    // perimeter and stops its overlay on it. Delivery is synchronous, inside this call.
    void setQAMode(bool on);
    runtime::Signal<> qaModeSwitchedOff;

    bool shouldShowLayoutPicker() const { return true; }
    SwitchBarStyle effectiveSwitchBarStyle() const { return switchBarStyle; }

    // Brings the system's login-item registration in line with `on`: on registers unless the
    // system reports it enabled, and opens the Login Items settings when the system then waits
    // for the user's approval; off unregisters only an enabled or approval-pending item.
    // Errors are dropped. Always ends with refreshLaunchAtLoginStatus().
    void applyLaunchAtLogin(bool on);
    // Re-reads the system status and corrects launchAtLogin without applying it back.
    void refreshLaunchAtLoginStatus();
    bool isUpdatingLaunchAtLogin() const { return isUpdatingLaunchAtLogin_; }

private:
    struct Stored;
    explicit SwitcherSettings(const Stored& stored);
    static Stored load();
    void installObservers();
    void syncGate() { gestureSettingsChanged.emit(*this); }

    bool isUpdatingLaunchAtLogin_ = false;
    std::unordered_set<std::string> ignoredBundleIDSet_;
    runtime::Subscription didBecomeActive_;
    runtime::Lifetime lifetime_;
};

}  // namespace quillmar
