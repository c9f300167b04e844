#include "settings/switcher_settings.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/application_notifications.h"
#include "platform/kept_text.h"
#include "platform/login_items.h"
#include "platform/user_defaults.h"
#include "runtime/main_loop.h"
#include "runtime/notification_center.h"
#include "runtime/world.h"

namespace quillmar {

namespace {

using platform::DefaultsValue;
using platform::UserDefaults;

constexpr double kHoldDefault = 75.0, kHoldMin = 35.0, kHoldMax = 500.0;
constexpr double kSensitivityDefault = 1.1, kSensitivityMin = 0.3, kSensitivityMax = 3.0;
constexpr std::int64_t kFingerDefault = 4;

bool isValidFingerCount(std::int64_t n) { return n == 0 || n == 3 || n == 4; }

// Non-finite values take the default; others are held inside [lo, hi].
double corrected(double v, double fallback, double lo, double hi) {
    return std::isfinite(v) ? std::clamp(v, lo, hi) : fallback;
}

template <class E>
E enumFromDefaults(const UserDefaults& d, const std::string& key, E fallback) {
    auto text = d.stringForKey(key);
    if (!text) return fallback;
    return fromRawValue<E>(*text).value_or(fallback);
}

template <class E>
void writeCase(const std::string& key, E value) {
    UserDefaults::standard().set(key, std::string(rawValue(value)));
}

void writeBool(const std::string& key, bool value) { UserDefaults::standard().set(key, value); }

bool loginItemEnabled() { return platform::LoginItems::shared().status() == platform::LoginItemStatus::enabled; }

}  // namespace

struct SwitcherSettings::Stored {
    bool isEnabled;
    std::int64_t fingerCount;
    TriggerStyle triggerStyle;
    SwitcherMode switcherMode;
    SwitchBarStyle switchBarStyle;
    double holdDurationMs;
    double sensitivity;
    bool hapticFeedback;
    bool allowSingleFingerContinue;
    bool suppressBackgroundScroll;
    bool pauseInGames;
    bool allowQuickCloseQuit;
    bool holidaySparkle;
    HUDAppearanceStyle hudAppearance;
    bool currentSpaceOnly;
    bool launchAtLogin;
    std::vector<std::string> ignoredBundleIDs;
};

SwitcherSettings& SwitcherSettings::shared() { return runtime::World::shared<SwitcherSettings>(); }

SwitcherSettings::SwitcherSettings() : SwitcherSettings(load()) {}

SwitcherSettings::Stored SwitcherSettings::load() {
    auto& d = UserDefaults::standard();
    d.removeObject("showWindowPreviews");
    d.removeObject("launchAtLogin");
    d.registerDefaults({
        {"isEnabled", true},
        {"fingerCount", kFingerDefault},
        {"triggerStyle", "holdAndSlide"},
        {"switcherMode", "allWindows"},
        {"switchBarStyle", "horizontal"},
        {"holdDurationMs", kHoldDefault},
        {"sensitivity", kSensitivityDefault},
        {"hapticFeedback", true},
        {"allowSingleFingerContinue", true},
        {"suppressBackgroundScroll", true},
        {"pauseInGames", true},
        {"allowQuickCloseQuit", true},
        {"holidaySparkle", true},
        {"hudAppearance", "darkGlass"},
        {"currentSpaceOnly", false},
    });

    Stored s{};
    s.isEnabled = d.boolForKey("isEnabled");
    s.fingerCount = d.object("fingerCount") ? d.integerForKey("fingerCount") : kFingerDefault;
    if (!isValidFingerCount(s.fingerCount)) s.fingerCount = kFingerDefault;
    s.triggerStyle = enumFromDefaults(d, "triggerStyle", TriggerStyle::holdAndSlide);
    s.switcherMode = enumFromDefaults(d, "switcherMode", SwitcherMode::allWindows);
    s.switchBarStyle =
        d.stringForKey("switchBarStyle") == "vertical" ? SwitchBarStyle::vertical : SwitchBarStyle::horizontal;
    s.holdDurationMs = corrected(d.doubleForKey("holdDurationMs"), kHoldDefault, kHoldMin, kHoldMax);
    s.sensitivity = corrected(d.doubleForKey("sensitivity"), kSensitivityDefault, kSensitivityMin, kSensitivityMax);
    s.hapticFeedback = d.boolForKey("hapticFeedback");
    s.allowSingleFingerContinue = d.boolForKey("allowSingleFingerContinue");
    s.suppressBackgroundScroll = d.boolForKey("suppressBackgroundScroll");
    s.pauseInGames = d.boolForKey("pauseInGames");
    s.allowQuickCloseQuit = d.boolForKey("allowQuickCloseQuit");
    s.holidaySparkle = d.boolForKey("holidaySparkle");
    s.hudAppearance = enumFromDefaults(d, "hudAppearance", HUDAppearanceStyle::darkGlass);
    s.currentSpaceOnly = d.boolForKey("currentSpaceOnly");
    s.launchAtLogin = loginItemEnabled();
    // A list with a stray non-string element keeps its identifiers rather than being dropped
    // whole (which the next toggle would then make permanent).
    if (auto stored = d.object("ignoredBundleIDs"); stored && stored->is_array()) {
        for (const auto& element : *stored)
            if (element.is_string() && s.ignoredBundleIDs.size() < kMaxIgnoredBundleIDs)
                s.ignoredBundleIDs.push_back(
                    platform::keptText(element.get_ref<const std::string&>(), kMaxBundleIDBytes));
    }
    return s;
}

SwitcherSettings::SwitcherSettings(const Stored& s)
    : isEnabled(s.isEnabled, this),
      fingerCount(s.fingerCount, this),
      triggerStyle(s.triggerStyle, this),
      switcherMode(s.switcherMode, this),
      switchBarStyle(s.switchBarStyle, this),
      forceShowLayoutPicker(false, this),
      holdDurationMs(s.holdDurationMs, this),
      sensitivity(s.sensitivity, this),
      hapticFeedback(s.hapticFeedback, this),
      allowSingleFingerContinue(s.allowSingleFingerContinue, this),
      suppressBackgroundScroll(s.suppressBackgroundScroll, this),
      pauseInGames(s.pauseInGames, this),
      allowQuickCloseQuit(s.allowQuickCloseQuit, this),
      holidaySparkle(s.holidaySparkle, this),
      hudAppearance(s.hudAppearance, this),
      currentSpaceOnly(s.currentSpaceOnly, this),
      qaModeEnabled(false, this),
      launchAtLogin(s.launchAtLogin, this),
      ignoredBundleIDs(s.ignoredBundleIDs, this),
      ignoredBundleIDSet_(s.ignoredBundleIDs.begin(), s.ignoredBundleIDs.end()) {
    installObservers();

    // Re-read the login item whenever the app becomes active: the user may have approved or
    // removed it in the system settings meanwhile.
    const auto alive = lifetime_.token();
    didBecomeActive_ = runtime::NotificationCenter::defaultCenter().addObserver(
        platform::kApplicationDidBecomeActiveNotification, [this, alive](const runtime::Notification&) {
            runtime::runOnMain([this, alive] {
                if (alive.alive()) refreshLaunchAtLoginStatus();
            });
        });
}

SwitcherSettings::~SwitcherSettings() = default;

void SwitcherSettings::installObservers() {
    isEnabled.onDidSet([this](const bool&) {
        writeBool("isEnabled", isEnabled);
        syncGate();
    });
    fingerCount.onDidSet([this](const std::int64_t&) {
        if (!isValidFingerCount(fingerCount)) {
            fingerCount = kFingerDefault;
            return;
        }
        UserDefaults::standard().set("fingerCount", fingerCount.get());
        syncGate();
    });
    triggerStyle.onDidSet([this](const TriggerStyle&) {
        writeCase("triggerStyle", triggerStyle.get());
        syncGate();
    });
    switcherMode.onDidSet([this](const SwitcherMode&) { writeCase("switcherMode", switcherMode.get()); });
    switchBarStyle.onDidSet([this](const SwitchBarStyle&) {
        writeCase("switchBarStyle", switchBarStyle.get());
        syncGate();
    });
    holdDurationMs.onDidSet([this](const double&) {
        const double v = holdDurationMs;
        const double fixed = corrected(v, kHoldDefault, kHoldMin, kHoldMax);
        if (!(fixed == v)) {  // NaN compares unequal, so it is replaced too
            holdDurationMs = fixed;
            return;
        }
        UserDefaults::standard().set("holdDurationMs", v);
    });
    sensitivity.onDidSet([this](const double&) {
        const double v = sensitivity;
        const double fixed = corrected(v, kSensitivityDefault, kSensitivityMin, kSensitivityMax);
        if (!(fixed == v)) {
            sensitivity = fixed;
            return;
        }
        UserDefaults::standard().set("sensitivity", v);
    });
    const std::pair<Published<bool>*, const char*> plainBools[] = {
        {&hapticFeedback, "hapticFeedback"}, {&allowSingleFingerContinue, "allowSingleFingerContinue"},
        {&pauseInGames, "pauseInGames"},     {&allowQuickCloseQuit, "allowQuickCloseQuit"},
        {&holidaySparkle, "holidaySparkle"}, {&currentSpaceOnly, "currentSpaceOnly"},
    };
    for (const auto& entry : plainBools)
        entry.first->onDidSet([property = entry.first, key = std::string(entry.second)](const bool&) {
            writeBool(key, *property);
        });
    suppressBackgroundScroll.onDidSet([this](const bool&) {
        writeBool("suppressBackgroundScroll", suppressBackgroundScroll);
        syncGate();
    });
    hudAppearance.onDidSet([this](const HUDAppearanceStyle&) { writeCase("hudAppearance", hudAppearance.get()); });
    ignoredBundleIDs.onDidSet([this](const std::vector<std::string>&) {
        const auto& ids = ignoredBundleIDs.get();
        ignoredBundleIDSet_ = std::unordered_set<std::string>(ids.begin(), ids.end());
        UserDefaults::standard().set("ignoredBundleIDs", DefaultsValue(ids));
    });
    launchAtLogin.onDidSet([this](const bool&) {
        if (!isUpdatingLaunchAtLogin_) applyLaunchAtLogin(launchAtLogin);
    });
}

void SwitcherSettings::toggleIgnoredApp(const std::string& bundleID) {
    if (bundleID.empty()) return;
    auto ids = ignoredBundleIDs.get();
    if (std::find(ids.begin(), ids.end(), bundleID) != ids.end()) {
        std::erase(ids, bundleID);
    } else {
        ids.push_back(bundleID);
    }
    ignoredBundleIDs = std::move(ids);
}

void SwitcherSettings::setQAMode(bool on) {
    if (qaModeEnabled.get() != on) qaModeEnabled = on;
    if (!on) qaModeSwitchedOff.emit();
}

void SwitcherSettings::applyLaunchAtLogin(bool on) {
    using platform::LoginItemStatus;
    auto& service = platform::LoginItems::shared();
    const LoginItemStatus status = service.status();
    if (on) {
        const bool failed = status != LoginItemStatus::enabled && service.registerApp().has_value();
        if (!failed && service.status() == LoginItemStatus::requiresApproval) service.openSystemSettingsLoginItems();
    } else if (status == LoginItemStatus::enabled || status == LoginItemStatus::requiresApproval) {
        (void)service.unregisterApp();  // a refusal shows in the refresh below
    }
    refreshLaunchAtLoginStatus();
}

void SwitcherSettings::refreshLaunchAtLoginStatus() {
    const bool enabled = loginItemEnabled();
    if (enabled == launchAtLogin) return;
    isUpdatingLaunchAtLogin_ = true;
    launchAtLogin = enabled;
    isUpdatingLaunchAtLogin_ = false;
}

}  // namespace quillmar
