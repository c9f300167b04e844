#include "app/settings_window.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/event_tap.h"
#include "platform/system_appearance.h"
#include "runtime/notification_center.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings_ui/settings_slots.h"
#include "settings_ui/settings_ui_state.h"
#include "settings_ui/settings_view.h"
#include "switcher/hud_panel_placement.h"
#include "switcher/round_half_away_from_zero.h"
#include "switcher/switcher_controller.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
constexpr std::int64_t kKeyCodeW = 13;
constexpr std::uint32_t kActivateAllWindowsIgnoringOthers = 3;
constexpr int kPermissionPollTicks = 45;

bool containsClosed(const platform::Rect& frame, platform::Point p) {
    const auto f = frame.standardized();
    return p.x >= f.minX() && p.x <= f.maxX() && p.y >= f.minY() && p.y <= f.maxY();
}
}  // namespace

SettingsWindow& SettingsWindow::shared() { return runtime::World::shared<SettingsWindow>(); }

SettingsWindow::SettingsWindow() : scheme_(SwitcherController::systemColorScheme()) {
    SettingsUIState::shared();  // outlives this host, whose view observes it
    std::weak_ptr<bool> alive = lifetime_;
    appearanceObservation_ = runtime::NotificationCenter::distributed().addObserver(
        platform::SystemAppearance::interfaceThemeChangedNotification, [this, alive](const runtime::Notification&) {
            if (auto a = alive.lock(); a && *a) setSystemColorScheme(SwitcherController::systemColorScheme());
        });
}

SettingsWindow::~SettingsWindow() {
    *lifetime_ = false;
    host_.reset();
    retired_.clear();
}

bool SettingsWindow::isVisible() const { return SettingsUIState::shared().isWindowVisible; }

std::string SettingsWindow::notOpenReason() const {
    if (!platform::TitledWindows::installed()) return "there is no windowing system";
    if (!window_) return "no window was made";
    if (!window_->isVisible()) return "the window is not visible";
    return {};
}

platform::TitledWindowConfig SettingsWindow::windowConfig() {
    using namespace platform::window_style;
    platform::TitledWindowConfig c;
    c.contentRect = {0, 0, SettingsView::windowWidth, SettingsView::windowHeight};
    c.styleMask = titled | closable | miniaturizable | fullSizeContentView;
    c.title = "Quillmar";
    c.titleVisible = false;
    c.titlebarAppearsTransparent = true;
    c.movableByWindowBackground = true;
    c.opaque = false;
    c.releasedWhenClosed = false;
    c.collectionBehavior = 2 | 256;  // move to the active space, full-screen auxiliary
    c.miniaturizeButtonEnabled = false;
    c.zoomButtonEnabled = false;
    return c;
}

std::optional<platform::Screen> SettingsWindow::targetScreen(const platform::Screens& screens) {
    const auto all = screens.screens();
    const auto pointer = screens.mouseLocation();
    for (const auto& s : all)
        if (containsClosed(s.frame, pointer)) return s;
    if (auto main = screens.mainScreen()) return main;
    if (!all.empty()) return all.front();
    return std::nullopt;
}

void SettingsWindow::positionWindow(platform::TitledWindow& window, const std::optional<platform::Screen>& screen) {
    if (!screen) {
        window.center();
        return;
    }
    const auto v = screen->visibleFrame.standardized();
    const auto w = window.frame();
    window.setFrameOrigin({roundHalfAwayFromZero(v.midX() - w.width * 0.5),
                           roundHalfAwayFromZero(v.midY() - w.height * 0.5 + v.height * 0.04)});
}

bool SettingsWindow::isCloseKeyEquivalent(const platform::KeyPress& key) {
    namespace flags = platform::event_flags;
    const auto mask = flags::shift | flags::control | flags::alternate | flags::command;
    if ((key.modifierFlags & mask) != flags::command) return false;
    std::string lowered = key.charactersIgnoringModifiers;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered == "w" || key.keyCode == kKeyCodeW;
}

void SettingsWindow::setSystemColorScheme(ui::ColorScheme scheme) {
    scheme_ = scheme;
    refreshEnvironment();
}

void SettingsWindow::refreshEnvironment() {
    if (!host_) return;
    auto env = ui::Environment::fromSystem();
    env.colorScheme = scheme_;
    if (!(env == host_->environment())) host_->setEnvironment(env);
}

void SettingsWindow::makeContent() {
    host_ = std::make_unique<ui::HostingView>(SettingsView{}, ui::Size{SettingsView::windowWidth, SettingsView::windowHeight});
    refreshEnvironment();
    host_->setOnDisplayNeeded([w = window_.get()] { w->setNeedsDisplay(); });
}

void SettingsWindow::reloadContent() {
    if (!window_) return;
    retire(std::shared_ptr<ui::HostingView>(std::move(host_)));
    makeContent();
}

void SettingsWindow::retire(std::shared_ptr<void> object) {
    retired_.push_back(std::move(object));
    runtime::MainLoop::main().post([alive = std::weak_ptr<bool>(lifetime_), this] {
        if (!alive.expired()) retired_.clear();
    });
}

void SettingsWindow::open() {
    SettingsUIState::shared().isWindowVisible = true;
    auto* windows = platform::TitledWindows::installed();
    auto* screens = runtime::World::find<platform::Screens>();
    const auto screen = screens ? targetScreen(*screens) : std::nullopt;

    if (!window_ && windows) {
        window_ = windows->createWindow(windowConfig());
        makeContent();
        window_->setWillCloseHandler([this] { windowWillClose(); });
        window_->setKeyEquivalentHandler([w = window_.get()](const platform::KeyPress& key) {
            if (!isCloseKeyEquivalent(key)) return false;
            w->performClose();
            return true;
        });
        positionWindow(*window_, screen);
    } else if (window_ && screens) {
        const auto frame = window_->frame();
        const auto all = screens->screens();
        const bool onScreen = std::any_of(all.begin(), all.end(), [&](const platform::Screen& s) {
            return frame.intersects(s.visibleFrame.standardized());
        });
        if (!onScreen) positionWindow(*window_, screen);
    }

    WindowManager::shared().startPermissionPollingIfNeeded(kPermissionPollTicks);
    bringToFront();
    // Once more after the current event is done: an activation that the click that opened the
    // window still held may otherwise leave it behind.
    runtime::MainLoop::main().post([alive = std::weak_ptr<bool>(lifetime_), this, w = window_.get()] {
        if (alive.expired() || !w || window_.get() != w) return;
        bringToFront();
    });
}

void SettingsWindow::bringToFront() {
    if (!window_) return;
    if (window_->isMiniaturized()) window_->deminiaturize();
    if (auto* windows = platform::TitledWindows::installed()) {
        windows->activateApplication(kActivateAllWindowsIgnoringOthers);
        windows->activateApplication(0);
    }
    window_->orderFrontRegardless();
    window_->makeKeyAndOrderFront();
}

void SettingsWindow::closeFromShortcut() {
    if (window_ && window_->isVisible()) window_->performClose();
}

void SettingsWindow::windowWillClose() {
    auto& ui = SettingsUIState::shared();
    ui.isWindowVisible = false;
    TrackpadTouchMonitor::shared().setLiveTelemetryEnabled(false);
    WindowManager::shared().stopPermissionPolling();
    ui.previewTargets = std::vector<SwitchTarget>{};
    stopSeasonalAnimations();
    resetHardwareStage();
    // The window and its view go once the close has finished.
    retire(std::shared_ptr<ui::HostingView>(std::move(host_)));
    retire(std::shared_ptr<platform::TitledWindow>(std::move(window_)));
}

}  // namespace quillmar
