// The quick keys while the Switch Bar is up (Esc cancels, W closes the selected window, Q quits
// its app), caught both as hot keys and through the event tap, and the list left after a close
// or quit.

#include <algorithm>
#include <functional>
#include <map>

#include "platform/accessibility_api.h"
#include "platform/accessibility_display_options.h"
#include "platform/haptics.h"
#include "runtime/main_loop.h"
#include "settings/switcher_settings.h"
#include "switcher/hud_strip_viewport.h"
#include "switcher/quick_key_codes.h"
#include "switcher/switcher_hud_view.h"
#include "switcher/switcher_controller.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "ui/transaction.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
// The modifier sets W and Q are registered with: plain, Command, Caps Lock, both, Shift.
constexpr std::uint32_t kQuickKeyModifierSets[] = {
    0, platform::hot_key_modifiers::command, platform::hot_key_modifiers::alphaLock,
    platform::hot_key_modifiers::command | platform::hot_key_modifiers::alphaLock, platform::hot_key_modifiers::shift};
// How long the spring that closes up the list takes to come to rest, near enough.
constexpr double kRemovalSettle = 0.35;
}  // namespace

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

void SwitcherController::postKeyAction(std::function<void(SwitcherController&)> action) {
    std::weak_ptr<bool> alive = lifetime_;
    runtime::MainLoop::main().post([this, alive, action = std::move(action)] {
        if (alive.lock()) action(*this);
    });
}

bool SwitcherController::interceptHUDKeyDown(int keyCode) {
    if (!isVisible || isPreviewPresentation_) return false;
    if (keyCode == QuickKeyCodes::kEscape) {
        postKeyAction([](SwitcherController& c) { c.performHotKeyAction(cancelAction); });
        return true;
    }
    if (!SwitcherSettings::shared().allowQuickCloseQuit) return false;
    const auto codes = QuickKeyCodes::shared().lookup();
    if (keyCode == QuickKeyCodes::kAnsiW || keyCode == codes.w) {
        postKeyAction([](SwitcherController& c) { c.performHotKeyAction(closeAction); });
        return true;
    }
    if (keyCode == QuickKeyCodes::kAnsiQ || keyCode == codes.q) {
        postKeyAction([](SwitcherController& c) { c.performHotKeyAction(quitAction); });
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
    closeUpList([this] { removeTargetsAfterClose(); }, 1);
    announceAndRelayoutAfterRemoval();
}

void SwitcherController::quitSelectedTargetApp() {
    const int index = selectedIndex;
    if (!isVisible || index < 0 || index >= static_cast<int>(targets->size())) return;
    const SwitchTarget target = targets.get()[static_cast<std::size_t>(index)];
    if (!WindowManager::shared().quitTargetApp(target)) return;
    playHaptic(false);
    const auto pid = target.pid;
    const auto leaving = std::count_if(targets->begin(), targets->end(), [pid](const SwitchTarget& t) { return t.pid == pid; });
    closeUpList([this, pid] { removeTargetsAfterQuit(pid); }, static_cast<int>(leaving));
    announceAndRelayoutAfterRemoval();
}

void SwitcherController::closeUpList(const std::function<void()>& update, int leaving) {
    if (platform::AccessibilityDisplayOptions::shared().shouldReduceMotion()) {
        removalSettlesAt_ = -1;
        update();
        return;
    }
    // The panel keeps its size until the rows have moved up, so the bar's rounded bottom edge is
    // never cut off by a window that already has the smaller size.
    removalSettlesAt_ = runtime::mediaTime() + kRemovalSettle;
    // Entries a long strip or list has not built yet may slide into sight: build them first, where
    // they are now and without animation, so that each slides from its own place. Entries move on
    // by at most as many places as leave, the selection staying where it is and the scroll with
    // it: the reach widens by that many entries on either side.
    const int by = std::max(leaving, 0);
    const bool widens = leavesEntriesUnbuilt();
    if (widens) {
        auto reach = selectionReach.get();
        const int last = std::max(static_cast<int>(targets->size()) - 1, 0);
        reach.lowest = std::clamp(reach.lowest - by, 0, last);
        reach.highest = std::clamp(reach.highest + by, 0, last);
        selectionReach = reach;
        if (panel_) panel_->contentView().layoutIfNeeded();
    }
    ui::withAnimation(ui::Animation::spring(0.22, 0.85, 0), [&] {
        update();
        if (!widens || !isVisible || targets->empty()) return;
        // The entries beyond those that left are that many places further on now: so is the far
        // end of the reach, so that the removal builds no entry (one would show at its new place
        // at once, where the rest slide).
        auto reach = selectionReach.get();
        const int last = static_cast<int>(targets->size()) - 1;
        reach.highest = std::clamp(reach.highest - by, std::min(selectedIndex.get(), last), last);
        reach.lowest = std::min(reach.lowest, reach.highest);
        if (!(reach == selectionReach.get())) selectionReach = reach;
    });
}

bool SwitcherController::leavesEntriesUnbuilt() const {
    const int count = static_cast<int>(targets->size());
    const auto& reach = selectionReach.get();
    if (SwitcherSettings::shared().switchBarStyle.get() == SwitchBarStyle::vertical) {
        const auto metrics = VerticalHUDMetrics::make(count, activeScreenWidth, activeScreenHeight);
        return SwitcherHUDView::builtListRows(metrics, targets.get(), reach.lowest, reach.highest).count() < count;
    }
    const auto metrics = HUDMetrics::make(std::max(count, 1), activeScreenWidth);
    return HUDStripViewport::builtEntries(metrics, count, reach.lowest, reach.highest, activeScreenWidth).count() < count;
}

void SwitcherController::announceAndRelayoutAfterRemoval() {
    const int index = selectedIndex;
    if (index >= 0 && index < static_cast<int>(targets->size()))
        announceForVoiceOver(targets.get()[static_cast<std::size_t>(index)].appName);
    std::weak_ptr<bool> alive = lifetime_;
    const double wait = removalSettlesAt_ - runtime::mediaTime();
    if (wait <= 0) {
        runtime::MainLoop::main().post([this, alive] {
            if (alive.lock()) relayoutHUDPanel(false);
        });
        return;
    }
    removalRefit_.schedule(wait, [this, alive] {
        if (!alive.lock() || !panel_) return;
        relayoutHUDPanel(false);
        ensurePanelCentered(panel_->fittingSize());
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
