#include "switcher/switcher_controller.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>
#include <unordered_set>

#include "autopause/app_exclusion_monitor.h"
#include "festive_hud/hud_festive_state.h"
#include "platform/accessibility_announcer.h"
#include "platform/accessibility_api.h"
#include "platform/accessibility_display_options.h"
#include "platform/haptics.h"
#include "platform/keyboard_layout.h"
#include "platform/system_appearance.h"
#include "platform/workspace.h"
#include "runtime/notification_center.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "switcher/hud_panel_placement.h"
#include "switcher/quick_key_codes.h"
#include "switcher/round_half_away_from_zero.h"
#include "switcher/switcher_hud_view.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "ui/transaction.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {

constexpr double kFadeOutDuration = 0.085;

bool reduceMotion() { return platform::AccessibilityDisplayOptions::shared().shouldReduceMotion(); }

}  // namespace

SwitcherController& SwitcherController::shared() { return runtime::World::shared<SwitcherController>(); }

SwitcherController::SwitcherController() {
    // Every selection widens the reach; nothing narrows it but a new presentation.
    selectedIndex.onDidSet([this](const int&) {
        const int i = selectedIndex.get();
        const auto& r = selectionReach.get();
        if (i < r.lowest || i > r.highest)
            selectionReach = SelectionReach{std::min(i, r.lowest), std::max(i, r.highest)};
    });
    targets.onDidSet([this](const std::vector<SwitchTarget>& before) { markNewEntries(before); });
    wireGestureCallbacks();
    installHotKeyHandler();
    subscribeToSettingsAndSystem();
}

SwitcherController::~SwitcherController() {
    *lifetime_ = false;
    if (auto* hotKeys = platform::HotKeys::installed())
        for (auto ref : activeHotKeyRefs_) hotKeys->unregisterHotKey(ref);
}

void SwitcherController::markNewEntries(const std::vector<SwitchTarget>& before) {
    const auto& now = targets.get();
    const auto sameId = [](const SwitchTarget& a, const SwitchTarget& b) { return a.id == b.id; };
    if (std::equal(now.begin(), now.end(), before.begin(), before.end(), sameId)) return;  // relabelled only
    newEntryIds_.clear();
    if (before.empty()) return;  // a fresh list comes in with the bar
    std::unordered_set<std::string_view> had;
    had.reserve(before.size());
    for (const auto& t : before) had.insert(t.id);
    for (const auto& t : now)
        if (!had.contains(t.id)) newEntryIds_.insert(t.id);
}

// ---- Wiring ------------------------------------------------------------------------------------

void SwitcherController::wireGestureCallbacks() {
    auto& monitor = TrackpadTouchMonitor::shared();
    std::weak_ptr<bool> alive = lifetime_;
    monitor.onGestureStart = [this, alive] {
        if (alive.lock()) presentHUD(false);
    };
    monitor.onGestureScrub = [this, alive](double dx) {
        if (alive.lock()) handleScrub(dx);
    };
    monitor.onGestureCommit = [this, alive] {
        if (alive.lock()) commitSelection();
    };
    monitor.onGestureCancel = [this, alive] {
        if (alive.lock()) dismissHUD(false);
    };
    monitor.onGestureCrossAxisSwipe = [this, alive](int direction) {
        if (alive.lock()) handleCrossAxisSwipe(direction);
    };
    monitor.onForwardedKeyDown = [this, alive](int keyCode) { return alive.lock() ? interceptHUDKeyDown(keyCode) : false; };
}

void SwitcherController::installHotKeyHandler() {
    auto* hotKeys = platform::HotKeys::installed();
    if (!hotKeys) return;
    // The handler outlives any one controller: it defers to whichever is the shared one then.
    hotKeys->installHandler([](const platform::HotKeyID& id) {
        if (id.signature != kHotKeySignature) return false;
        const std::uint32_t action = id.id;
        runtime::MainLoop::main().post([action] {
            if (auto* controller = runtime::World::find<SwitcherController>()) controller->performHotKeyAction(action);
        });
        return true;
    });
}

void SwitcherController::subscribeToSettingsAndSystem() {
    auto& settings = SwitcherSettings::shared();
    std::weak_ptr<bool> alive = lifetime_;
    auto guarded = [this, alive](auto fn) {
        return [this, alive, fn](const auto& value) {
            if (alive.lock()) fn(*this, value);
        };
    };

    settings.isEnabled.publisher()
        .dropFirst()
        .receiveOnMain()
        .sink(guarded([](SwitcherController& c, bool on) {
            if (!on) c.dismissHUD(false);
        }))
        .store(cancellables_);
    settings.allowQuickCloseQuit.publisher()
        .dropFirst()
        .receiveOnMain()
        .sink(guarded([](SwitcherController& c, bool) {
            if (c.isVisible) c.registerHUDHotKeys(!c.isPreviewPresentation_ && c.gestureIsActive());
        }))
        .store(cancellables_);
    settings.switchBarStyle.publisher()
        .dropFirst()
        .receiveOnMain()
        .sink(guarded([alive](SwitcherController& c, SwitchBarStyle) {
            if (!c.isVisible) return;
            runtime::MainLoop::main().post([&c, alive] {
                if (alive.lock()) c.relayoutHUDPanel(true);
            });
        }))
        .store(cancellables_);
    AppExclusionMonitor::shared()
        .activePauseReason.publisher()
        .dropFirst()
        .receiveOnMain()
        .sink(guarded([](SwitcherController& c, const std::optional<AutoPauseReason>& reason) {
            if (reason) c.dismissHUD(false);
        }))
        .store(cancellables_);

    auto& workspace = runtime::NotificationCenter::workspace();
    for (const char* name : {platform::Workspace::willSleepNotification, platform::Workspace::screensDidSleepNotification,
                             platform::Workspace::sessionDidResignActiveNotification}) {
        workspace
            .addObserver(name,
                         [this, alive](const runtime::Notification&) {
                             if (alive.lock()) dismissHUD(false);
                         })
            .store(cancellables_);
    }
    // The bar follows the system's appearance and accessibility display options while it is up.
    runtime::NotificationCenter::distributed()
        .addObserver(platform::SystemAppearance::interfaceThemeChangedNotification,
                     [this, alive](const runtime::Notification&) {
                         if (alive.lock()) refreshPanelEnvironment();
                     })
        .store(cancellables_);
    workspace
        .addObserver(platform::AccessibilityDisplayOptions::displayOptionsDidChangeNotification,
                     [this, alive](const runtime::Notification&) {
                         if (alive.lock()) refreshPanelEnvironment();
                     })
        .store(cancellables_);
    runtime::NotificationCenter::defaultCenter()
        .addObserver(platform::KeyboardLayout::keyboardSelectionDidChangeNotification,
                     [](const runtime::Notification&) { QuickKeyCodes::shared().invalidate(); })
        .store(cancellables_);
}

// ---- One switch --------------------------------------------------------------------------------

bool SwitcherController::gestureIsActive() const {
    auto* monitor = runtime::World::find<TrackpadTouchMonitor>();
    return monitor && monitor->isGestureActive();
}

void SwitcherController::playHaptic(bool alignment) {
    if (!SwitcherSettings::shared().hapticFeedback) return;
    if (auto* haptics = platform::Haptics::installed())
        haptics->perform(alignment ? platform::HapticPattern::alignment : platform::HapticPattern::generic);
}

void SwitcherController::presentHUD(bool isPreview) {
    previewDismissWorkItem_.cancel();

    auto& monitor = TrackpadTouchMonitor::shared();
    if (!monitor.hasEventTap() && platform::AccessibilityApi::shared().isProcessTrusted()) monitor.installEventTap();

    auto list = WindowManager::shared().fetchTargets(SwitcherSettings::shared().switcherMode);
    if (list.empty()) {
        monitor.cancelCurrentGesture();
        dismissHUD(false);
        return;
    }

    auto screen = screenUnderMouse();
    if (screen) {
        const double w = screen->visibleFrame.width, h = screen->visibleFrame.height;
        if (std::isfinite(w) && activeScreenWidth.get() != w) activeScreenWidth = w;
        if (std::isfinite(h) && activeScreenHeight.get() != h) activeScreenHeight = h;
    }

    isPreviewPresentation_ = isPreview;
    const int count = static_cast<int>(list.size());
    const int start = openingIndex(list);
    const std::string startName = list[static_cast<std::size_t>(start)].appName;
    targets = std::move(list);

    resetSelectionReach(start);
    selectedIndex = start;
    anchorIndex_ = start;
    accumulatedDeltaX_ = 0;
    isVisible = true;

    HUDFestiveState::shared().armFestiveOverlay(count >= 2 ? static_cast<double>(start) / (count - 1) : 0.5);
    registerHUDHotKeys(!isPreview && gestureIsActive());
    playHaptic(false);
    makeHUDPanel(screen);
    announceForVoiceOver(startName);
    events.emit(Event{Event::Kind::presented, start, startName});
}

int SwitcherController::openingIndex(const std::vector<SwitchTarget>& list) {
    if (list.size() < 2) return 0;
    const auto front = WindowManager::shared().effectiveFrontmostRegularPID();
    return (!front || *front == list[0].pid) && !list[1].isMinimizedOrHidden && list[1].hasOpenWindow ? 1 : 0;
}

double SwitcherController::scrubStep() {
    const double sensitivity = SwitcherSettings::shared().sensitivity;
    // A non-finite or non-positive sensitivity cannot make a step: take the floor.
    if (!std::isfinite(sensitivity) || sensitivity <= 0) return 0.025;
    return std::max(0.072 / sensitivity, 0.025);
}

void SwitcherController::handleScrub(double dx) {
    const auto& list = targets.get();
    if (!isVisible || list.empty()) return;
    if (!std::isfinite(dx)) return;  // bad travel would poison the accumulator for the whole switch
    const int count = static_cast<int>(list.size());
    const double step = scrubStep();
    const double lo = -anchorIndex_ * step;
    const double hi = std::max(count - 1 - anchorIndex_, 0) * step;
    accumulatedDeltaX_ = std::max(lo, std::min(accumulatedDeltaX_ + dx, hi));
    const double position = accumulatedDeltaX_ / step + anchorIndex_;

    const double normalized = count < 2 ? 0.5 : std::clamp(position / (count - 1), 0.0, 1.0);
    HUDFestiveState::shared().noteChristmasFocus(normalized, std::fabs(dx));

    const int index = std::clamp(static_cast<int>(roundHalfAwayFromZero(position)), 0, count - 1);
    if (index == selectedIndex.get()) return;
    const bool forward = selectedIndex.get() < index;
    selectedIndex = index;
    playHaptic(true);
    const std::string name = targets.get()[static_cast<std::size_t>(index)].appName;
    announceForVoiceOver(name);
    HUDFestiveState::shared().noteFestiveHop(index, forward ? 1.0 : -1.0);
    events.emit(Event{Event::Kind::selectionChanged, index, name});
}

void SwitcherController::commitSelection() {
    if (!isVisible) return;
    const int index = selectedIndex;
    std::optional<SwitchTarget> chosen;
    if (index >= 0 && index < static_cast<int>(targets->size())) chosen = targets.get()[static_cast<std::size_t>(index)];

    bool skip = false;
    if (index == 0 && chosen && chosen->hasOpenWindow && !chosen->isMinimizedOrHidden) {
        auto* workspace = runtime::World::find<platform::Workspace>();
        auto front = workspace ? workspace->frontmostApplication() : std::nullopt;
        skip = front && front->processIdentifier == chosen->pid;
    }

    events.emit(Event{Event::Kind::committed, index, chosen ? chosen->appName : std::string()});
    dismissHUD(false);
    if (chosen && !skip) WindowManager::shared().activate(*chosen);
}

void SwitcherController::selectAndCommit(int index) {
    if (index < 0 || index >= static_cast<int>(targets->size())) return;
    selectedIndex = index;
    commitSelection();
}

void SwitcherController::resetSelectionReach(int start) {
    const SelectionReach fresh{start, start};
    if (!(selectionReach.get() == fresh)) selectionReach = fresh;
}

void SwitcherController::clearTargets() {
    if (!targets->empty()) targets = std::vector<SwitchTarget>{};
}

void SwitcherController::dismissHUD(bool immediate) {
    previewDismissWorkItem_.cancel();
    removalRefit_.cancel();
    removalSettlesAt_ = -1;
    glowSweep_.clear();
    unregisterHUDHotKeys();
    isPreviewPresentation_ = false;
    const bool wasVisible = isVisible;
    isVisible = false;
    isPresentedBloom = false;
    HUDFestiveState::shared().stopFestiveOverlay();
    const std::uint64_t generation = ++presentationGeneration_;
    if (wasVisible) events.emit(Event{Event::Kind::dismissed, selectedIndex, {}});

    if (!panel_) {
        clearTargets();
        return;
    }
    if (!immediate && wasVisible && !reduceMotion()) {
        std::weak_ptr<bool> alive = lifetime_;
        panel_->window().animateAlpha(0.0, kFadeOutDuration, platform::TimingCurve::easeOut(), [this, alive, generation] {
            if (!alive.lock()) return;
            if (presentationGeneration_ != generation || isVisible) return;  // a newer presentation owns the panel
            panel_->window().orderOut();
            clearTargets();
        });
        return;
    }
    panel_->window().setAlphaValue(0);
    panel_->window().orderOut();
    clearTargets();
}

void SwitcherController::presentPreviewHUD(double duration) {
    presentHUD(true);
    if (!isVisible) return;
    glowSweep_.clear();
    if (HUDFestiveState::shared().isChristmasPerimeterVisible) {
        std::weak_ptr<bool> alive = lifetime_;
        for (int k = 1; k <= 12; ++k) {
            glowSweep_.push_back(runtime::MainLoop::main().schedule(k * 0.055, [this, alive, k] {
                if (!alive.lock() || !isVisible || !isPreviewPresentation_) return;
                HUDFestiveState::shared().noteChristmasFocus(k / 12.0, 0.025);
            }));
        }
    }
    std::weak_ptr<bool> alive = lifetime_;
    previewDismissWorkItem_.schedule(std::isfinite(duration) ? std::max(duration, 0.0) : 0.0, [this, alive] {
        if (!alive.lock() || gestureIsActive()) return;
        dismissHUD(false);
    });
}

void SwitcherController::announceForVoiceOver(const std::string& text) {
    auto* announcer = platform::AccessibilityAnnouncer::installed();
    if (!announcer || !announcer->isVoiceOverEnabled() || text.empty()) return;
    announcer->postAnnouncement(text, platform::AnnouncementPriority::high, panel_ ? "panel" : "application");
}

}  // namespace quillmar
