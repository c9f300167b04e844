#include "switcher/switcher_controller.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "autopause/app_exclusion_monitor.h"
#include "festive_hud/hud_festive_state.h"
#include "platform/accessibility_announcer.h"
#include "platform/accessibility_api.h"
#include "platform/accessibility_display_options.h"
#include "platform/haptics.h"
#include "platform/keyboard_layout.h"
#include "platform/workspace.h"
#include "runtime/notification_center.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "switcher/hud_panel_placement.h"
#include "switcher/quick_key_codes.h"
#include "switcher/switcher_hud_view.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "ui/transaction.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {

constexpr double kFadeInDuration = 0.13;
constexpr double kFadeOutDuration = 0.085;
constexpr platform::TimingCurve kFadeInCurve{0.2, 0.9, 0.3, 1.0};

bool reduceMotion() { return platform::AccessibilityDisplayOptions::shared().shouldReduceMotion(); }

// The modifier sets W and Q are registered with: plain, Command, Caps Lock, both, Shift.
constexpr std::uint32_t kQuickKeyModifierSets[] = {
    0, platform::hot_key_modifiers::command, platform::hot_key_modifiers::alphaLock,
    platform::hot_key_modifiers::command | platform::hot_key_modifiers::alphaLock, platform::hot_key_modifiers::shift};

}  // namespace

SwitcherController& SwitcherController::shared() { return runtime::World::shared<SwitcherController>(); }

SwitcherController::SwitcherController() {
    wireGestureCallbacks();
    installHotKeyHandler();
    subscribeToSettingsAndSystem();
}

SwitcherController::~SwitcherController() {
    *lifetime_ = false;
    if (auto* hotKeys = platform::HotKeys::installed())
        for (auto ref : activeHotKeyRefs_) hotKeys->unregisterHotKey(ref);
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
    int start = 0;
    if (count >= 2) {
        const auto front = WindowManager::shared().effectiveFrontmostRegularPID();
        if ((!front || *front == list[0].pid) && !list[1].isMinimizedOrHidden && list[1].hasOpenWindow) start = 1;
    }
    const std::string startName = list[static_cast<std::size_t>(start)].appName;
    targets = std::move(list);

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

    const int index = std::clamp(static_cast<int>(std::round(position)), 0, count - 1);
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

void SwitcherController::clearTargets() {
    if (!targets->empty()) targets = std::vector<SwitchTarget>{};
}

void SwitcherController::dismissHUD(bool immediate) {
    previewDismissWorkItem_.cancel();
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

// ---- Panel and screen choice -------------------------------------------------------------------

ui::View SwitcherController::makeRootView() const { return SwitcherHUDView(); }

void SwitcherController::setSystemColorScheme(ui::ColorScheme scheme) {
    systemColorScheme_ = scheme;
    if (panel_) panel_->refreshEnvironment(scheme);
}

void SwitcherController::makeHUDPanel(const std::optional<platform::Screen>& screenArg) {
    if (!panel_) panel_ = NonActivatingPanel::create(makeRootView());
    ++presentationGeneration_;
    const bool reduce = reduceMotion();
    isPresentedBloom = reduce;
    if (!panel_) return;

    panel_->refreshEnvironment(systemColorScheme_);
    panel_->setRootView(makeRootView());
    const auto size = panel_->fittingSize();
    auto screen = screenArg ? screenArg : screenUnderMouse();
    if (screen) panel_->setFrame(hudPanelFrame(*screen, size), true);
    panel_->window().invalidateShadow();

    auto& window = panel_->window();
    if (reduce) {
        window.setAlphaValue(1.0);
        window.orderFrontRegardless();
        return;
    }
    if (!window.isVisible()) window.setAlphaValue(0);
    window.orderFrontRegardless();
    window.animateAlpha(1.0, kFadeInDuration, kFadeInCurve, nullptr);
    ui::withAnimation(ui::Animation::spring(0.22, 0.84, 0), [this] { isPresentedBloom = true; });
}

void SwitcherController::ensurePanelCentered(platform::Size size) {
    if (!isVisible || !panel_ || !size.isFinite() || !(size.width > 40) || !(size.height > 40)) return;
    auto screen = screenUnderMouse();
    if (!screen) return;
    const auto target = hudPanelFrame(*screen, size);
    const auto current = panel_->frame();
    if (std::fabs(target.x - current.x) > 1.0 || std::fabs(target.y - current.y) > 1.0 ||
        std::fabs(target.width - current.width) > 1.0 || std::fabs(target.height - current.height) > 1.0) {
        panel_->setFrame(target, true);
        panel_->window().invalidateShadow();
    }
}

void SwitcherController::relayoutHUDPanel(bool animated) {
    if (!isVisible || !panel_) return;
    panel_->setRootView(makeRootView());
    const auto size = panel_->fittingSize();
    const auto old = panel_->frame();
    platform::Rect next{0, 0, size.width, size.height};
    if (auto screen = screenUnderMouse()) {
        const auto placed = hudPanelFrame(*screen, size);
        next.x = placed.x;
        if (animated) next.y = placed.y;
        else if (SwitcherSettings::shared().switchBarStyle.get() == SwitchBarStyle::vertical)
            next.y = clampHUDPanelY(*screen, old.maxY() - size.height, size.height);
        else next.y = old.y;
    } else {
        next.x = roundHalfAwayFromZero(old.midX() - size.width / 2);
        next.y = old.y;
    }
    panel_->setFrame(next, true, animated);
    panel_->window().invalidateShadow();
}

std::optional<platform::Screen> SwitcherController::screenUnderMouse() {
    auto* screens = runtime::World::find<platform::Screens>();
    if (!screens) return std::nullopt;
    const auto all = screens->screens();
    const auto p = screens->mouseLocation();
    for (const auto& s : all) {
        const auto f = s.frame.standardized();
        // The frame grown by one point on every side, edges included.
        if (p.x >= f.minX() - 1 && p.x <= f.maxX() + 1 && p.y >= f.minY() - 1 && p.y <= f.maxY() + 1) return s;
    }
    if (auto main = screens->mainScreen()) return main;
    if (!all.empty()) return all.front();
    return std::nullopt;
}

// ---- Quick keys --------------------------------------------------------------------------------

void SwitcherController::registerHotKey(std::uint32_t id, std::uint32_t keyCode, std::uint32_t modifiers) {
    auto* hotKeys = platform::HotKeys::installed();
    if (!hotKeys) return;
    if (auto ref = hotKeys->registerHotKey(keyCode, modifiers, {kHotKeySignature, id})) activeHotKeyRefs_.push_back(*ref);
}

void SwitcherController::registerHUDHotKeys(bool includeQuickKeys) {
    unregisterHUDHotKeys();
    registerHotKey(cancelAction, QuickKeyCodes::kEscape, 0);
    registerHotKey(cancelAction, QuickKeyCodes::kEscape, platform::hot_key_modifiers::alphaLock);
    if (!includeQuickKeys || !SwitcherSettings::shared().allowQuickCloseQuit) return;
    const auto codes = QuickKeyCodes::shared().lookup();
    for (auto modifiers : kQuickKeyModifierSets) {
        registerHotKey(closeAction, static_cast<std::uint32_t>(codes.w), modifiers);
        registerHotKey(quitAction, static_cast<std::uint32_t>(codes.q), modifiers);
    }
}

void SwitcherController::unregisterHUDHotKeys() {
    if (auto* hotKeys = platform::HotKeys::installed())
        for (auto ref : activeHotKeyRefs_) hotKeys->unregisterHotKey(ref);
    activeHotKeyRefs_.clear();
}

bool SwitcherController::passesDebounce() {
    const double now = runtime::mediaTime();
    if (!(now - lastHotKeyActionTimestamp_ > kHotKeyDebounce)) return false;
    lastHotKeyActionTimestamp_ = now;
    return true;
}

void SwitcherController::performHotKeyAction(std::uint32_t id) {
    if (!isVisible || !passesDebounce()) return;
    switch (id) {
        case closeAction:
        case closeAltAction: closeSelectedTarget(); break;
        case quitAction:
        case quitAltAction: quitSelectedTargetApp(); break;
        case cancelAction:
            TrackpadTouchMonitor::shared().cancelCurrentGesture();
            dismissHUD(false);
            break;
        default: break;
    }
}

void SwitcherController::scheduleDebounced(std::function<void(SwitcherController&)> action) {
    std::weak_ptr<bool> alive = lifetime_;
    runtime::MainLoop::main().post([this, alive, action = std::move(action)] {
        if (alive.lock()) action(*this);
    });
}

bool SwitcherController::interceptHUDKeyDown(int keyCode) {
    if (!isVisible || isPreviewPresentation_) return false;
    if (keyCode == QuickKeyCodes::kEscape) {
        scheduleDebounced([](SwitcherController& c) { c.performHotKeyAction(cancelAction); });
        return true;
    }
    if (!SwitcherSettings::shared().allowQuickCloseQuit) return false;
    const auto codes = QuickKeyCodes::shared().lookup();
    if (keyCode == QuickKeyCodes::kAnsiW || keyCode == codes.w) {
        scheduleDebounced([](SwitcherController& c) { c.performHotKeyAction(closeAction); });
        return true;
    }
    if (keyCode == QuickKeyCodes::kAnsiQ || keyCode == codes.q) {
        scheduleDebounced([](SwitcherController& c) { c.performHotKeyAction(quitAction); });
        return true;
    }
    return false;
}

void SwitcherController::closeSelectedTarget() {
    const int index = selectedIndex;
    if (!isVisible || index < 0 || index >= static_cast<int>(targets->size())) return;
    const SwitchTarget target = targets.get()[static_cast<std::size_t>(index)];
    if (!platform::AccessibilityApi::shared().isProcessTrusted()) {
        TrackpadTouchMonitor::shared().cancelCurrentGesture();
        dismissHUD(false);
        WindowManager::shared().requestAccessibilityPermission();
        return;
    }
    if (!WindowManager::shared().closeTargetWindow(target)) {
        if (auto* haptics = platform::Haptics::installed()) haptics->beep();
        return;
    }
    playHaptic(false);
    ui::withAnimation(ui::Animation::spring(0.22, 0.85, 0), [this] { removeTargetsAfterClose(); });
    updateTargetsAfterRemoval();
}

void SwitcherController::quitSelectedTargetApp() {
    const int index = selectedIndex;
    if (!isVisible || index < 0 || index >= static_cast<int>(targets->size())) return;
    const SwitchTarget target = targets.get()[static_cast<std::size_t>(index)];
    if (!WindowManager::shared().quitTargetApp(target)) return;
    playHaptic(false);
    const auto pid = target.pid;
    ui::withAnimation(ui::Animation::spring(0.22, 0.85, 0), [this, pid] { removeTargetsAfterQuit(pid); });
    updateTargetsAfterRemoval();
}

void SwitcherController::updateTargetsAfterRemoval() {
    const int index = selectedIndex;
    if (index >= 0 && index < static_cast<int>(targets->size()))
        announceForVoiceOver(targets.get()[static_cast<std::size_t>(index)].appName);
    std::weak_ptr<bool> alive = lifetime_;
    runtime::MainLoop::main().post([this, alive] {
        if (alive.lock()) relayoutHUDPanel(false);
    });
}

void SwitcherController::removeTargetsAfterClose() {
    auto list = targets.get();
    const int index = selectedIndex;
    if (index >= 0 && index < static_cast<int>(list.size())) list.erase(list.begin() + index);
    replaceTargetsAfterRemoval(std::move(list));
}

void SwitcherController::removeTargetsAfterQuit(std::int32_t pid) {
    auto list = targets.get();
    std::erase_if(list, [pid](const SwitchTarget& t) { return t.pid == pid; });
    replaceTargetsAfterRemoval(std::move(list));
}

void SwitcherController::replaceTargetsAfterRemoval(std::vector<SwitchTarget> remaining) {
    targets = std::move(remaining);
    if (targets->empty()) {
        dismissHUD(false);
        return;
    }
    refreshDisplayLabels();
    selectedIndex = std::max(0, std::min(selectedIndex.get(), static_cast<int>(targets->size()) - 1));
    anchorIndex_ = selectedIndex;
    accumulatedDeltaX_ = 0;
}

void SwitcherController::refreshDisplayLabels() {
    std::map<std::int32_t, int> perPid;
    for (const auto& t : targets.get()) ++perPid[t.pid];
    auto list = targets.get();
    for (auto& t : list) {
        const std::string& label = perPid[t.pid] > 1 && !t.isAppOnly ? t.cleanedWindowTitle : t.appName;
        if (t.displayLabel != label) t.displayLabel = label;
    }
    targets = std::move(list);
}

}  // namespace quillmar
