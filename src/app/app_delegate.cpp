// The delegate's life cycle: the entry point, start-up, reopen, shutdown, the main menu and the
// settings-window requests.

#include "app/app_delegate.h"

#include "app/settings_window.h"

#include "festive_hud/hud_festive_overlay_view.h"
#include "switcher/switcher_hud_view.h"

#include "app/drawn_menu_image.h"
#include "autopause/app_exclusion_monitor.h"
#include "brand/logo_image.h"
#include "platform/accessibility_api.h"
#include "platform/proc_process_info.h"
#include "platform/user_defaults.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_controller.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
constexpr const char* kOnboardingKey = "hasCompletedInitialOnboarding";
constexpr const char* kHadTrustKey = "hadAccessibilityTrust";
constexpr double kPermissionRequestDelay = 0.4;
}  // namespace

AppDelegate::AppDelegate() {
    // Before any URL can be handled: a URL that launches the app arrives before start-up.
    connectSettingsWindow();
}

AppDelegate::~AppDelegate() {
    lifetime_.end();
    if (statusMenu_) statusMenu_->delegate = nullptr;
}

AppDelegate& AppDelegate::shared() { return runtime::World::shared<AppDelegate>(); }

int runApplication() {
    // On a real system nothing has put a process table in place: the URL sender check reads /proc.
    // (The simulated desktop installs its own before the app starts.)
    if (!runtime::World::find<platform::ProcessInfo>())
        runtime::World::install<platform::ProcessInfo>(std::make_unique<platform::ProcProcessInfo>());
    auto& app = platform::Application::shared();
    app.setDelegate(&AppDelegate::shared());
    app.setActivationPolicy(platform::ActivationPolicy::accessory);
    app.run();
    return 0;
}

// ---- Start-up and shutdown -----------------------------------------------------------------------

void AppDelegate::applicationDidFinishLaunching() {
    auto& app = platform::Application::shared();
    app.setApplicationIconImage(DrawnMenuImage::wrap(LogoImage::makeAppIcon(512, true)));

    // The shared objects in their order; whatever one creates of the later ones on its own is
    // found existing by the later requests.
    auto& windows = WindowManager::shared();
    // The Switch Bar draws the festive particles and the Christmas perimeter over itself.
    SwitcherHUDView::setFestiveOverlayFactory(
        [](bool isDark, double cornerRadius) { return ui::View(HUDFestiveOverlayView{isDark, cornerRadius}); });
    SwitcherController::shared();
    AppExclusionMonitor::shared();
    auto& trackpad = TrackpadTouchMonitor::shared();
    windows.connectTrackpadMonitor(trackpad);
    trackpad.start();

    installMainMenu();
    installStatusItem();
    runFirstRunAndPermissionFlow();
    // Once start-up is through, the bar is drawn once unseen, so the first gesture finds it ready.
    runtime::MainLoop::main().post([] {
        if (auto* controller = runtime::World::find<SwitcherController>()) controller->warmUp();
    });
}

void AppDelegate::connectSettingsWindow() {
    setSettingsWindowHost({[] { SettingsWindow::shared().open(); },
                           [] { SettingsWindow::shared().closeFromShortcut(); },
                           [] { return SettingsWindow::shared().notOpenReason(); }});
}

void AppDelegate::runFirstRunAndPermissionFlow() {
    auto& defaults = platform::UserDefaults::standard();
    if (!defaults.boolForKey(kOnboardingKey) && !didReceiveURLBeforeFinishLaunching_) {
        defaults.set(kOnboardingKey, true);
        openSettingsWindow();
        return;
    }
    if (platform::AccessibilityApi::shared().isProcessTrusted()) return;
    if (!defaults.boolForKey(kHadTrustKey)) return;
    // The permission was granted once and is missing now.
    selectSettingsTab("trackpad");
    openSettingsWindow();
    const auto alive = lifetime_.token();
    runtime::MainLoop::main().after(kPermissionRequestDelay, [alive] {
        if (alive.alive()) WindowManager::shared().requestAccessibilityPermission();
    });
}

bool AppDelegate::applicationShouldHandleReopen(bool /*hasVisibleWindows*/) {
    openSettingsWindow();
    return true;
}

void AppDelegate::applicationWillTerminate() {
    if (auto* controller = runtime::World::find<SwitcherController>()) controller->dismissHUD(true);
    if (auto* trackpad = runtime::World::find<TrackpadTouchMonitor>()) trackpad->stopDevices(true);
    if (auto* windows = runtime::World::find<WindowManager>()) windows->stopPermissionPolling();
}

void AppDelegate::quitApp() { platform::Application::shared().terminate(); }

// ---- Main menu -------------------------------------------------------------------------------------

void AppDelegate::installMainMenu() {
    auto mainMenu = std::make_shared<platform::Menu>();

    auto appMenu = std::make_shared<platform::Menu>();
    const auto alive = lifetime_.token();
    appMenu->addItem("Close Settings", "closeSettingsFromShortcut",
                     [this, alive](platform::MenuItem&) {
                         if (alive.alive()) closeSettingsFromShortcut();
                     },
                     "w");
    auto& appItem = mainMenu->addItem(std::make_shared<platform::MenuItem>());
    appItem.submenu = appMenu;

    // The Edit commands have no target of their own: the focused text field of the settings
    // window answers them. Here they are named for the responder chain and do nothing else.
    auto editMenu = std::make_shared<platform::Menu>("Edit");
    auto responderAction = [](platform::MenuItem&) {};
    editMenu->addItem("Undo", "undo:", responderAction, "z");
    editMenu->addItem("Redo", "redo:", responderAction, "Z");
    editMenu->addSeparator();
    editMenu->addItem("Cut", "cut:", responderAction, "x");
    editMenu->addItem("Copy", "copy:", responderAction, "c");
    editMenu->addItem("Paste", "paste:", responderAction, "v");
    editMenu->addItem("Select All", "selectAll:", responderAction, "a");
    auto& editItem = mainMenu->addItem(std::make_shared<platform::MenuItem>("Edit", "", nullptr));
    editItem.submenu = editMenu;

    platform::Application::shared().setMainMenu(std::move(mainMenu));
}

// ---- Settings window ------------------------------------------------------------------------------

void AppDelegate::openSettingsWindow() {
    ++settingsRequests_;
    settingsWindowRequested.emit();
    if (!settingsWindowHost_.open) {
        settingsWindowOpened.emit({false, "no settings window host is connected"});
        return;
    }
    settingsWindowHost_.open();
    const std::string reason = settingsWindowHost_.notOpenReason ? settingsWindowHost_.notOpenReason() : std::string();
    settingsWindowOpened.emit({reason.empty(), reason});
}

void AppDelegate::closeSettingsFromShortcut() {
    if (settingsWindowHost_.closeFromShortcut) settingsWindowHost_.closeFromShortcut();
}

}  // namespace quillmar
