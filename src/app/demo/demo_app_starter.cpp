#include "app/demo/demo_app_starter.h"

#include <string>

#include "autopause/app_exclusion_monitor.h"
#include "localization/app_language.h"
#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_bundle_info.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_login_items.h"
#include "platform/sim/sim_preferred_languages.h"
#include "platform/sim/sim_system_preferences.h"
#include "platform/sim/touch_steps.h"
#include "runtime/subscription.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "app/demo/scene_steps.h"
#include "app/demo/app_shell_steps.h"
#include "app/demo/festive_steps.h"
#include "app/demo/settings_stage_steps.h"
#include "app/demo/seasonal_steps.h"
#include "app/demo/settings_window_steps.h"
#include "app/demo/switcher_demo_steps.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "app/demo/window_demo_steps.h"
#include "windows/window_manager.h"

namespace quillmar::app {

namespace {

// Keeps the demo's observations alive for the life of the world.
struct DemoObservations {
    runtime::SubscriptionBag bag;
};

template <class Service>
bool isInstalled() {
    return runtime::World::find<Service>() != nullptr;
}

void startApp(platform::sim::StepContext& ctx) {
    auto& desktop = ctx.desktop;
    // The services the subsystems read, unless the scenario put its own in place.
    platform::sim::SimPreferredLanguages::install(desktop.preferredLanguages());
    if (!isInstalled<platform::LoginItems>()) platform::sim::SimLoginItems::install();
    if (!isInstalled<platform::BundleInfo>()) platform::sim::SimBundleInfo::install();
    if (!isInstalled<platform::SystemPreferences>()) platform::sim::SimSystemPreferences::install();
    platform::sim::installSimTouchHardware();

    auto& log = ctx.log;
    auto& bag = runtime::World::shared<DemoObservations>().bag;

    auto& settings = SwitcherSettings::shared();
    log.record("appStarted", {{"language", std::string(AppLanguage::current().rawValue())},
                              {"enabled", settings.isEnabled.get()},
                              {"fingerCount", settings.fingerCount.get()}});

    // The application's own start-up brings the subsystems up in their order.
    installSwitcherServices();
    startAppShellDemo(ctx);

    auto& windows = WindowManager::shared();
    windows.isAccessibilityTrusted.publisher()
        .sink([&log](const bool& trusted) { log.record("accessibilityTrust", {{"trusted", trusted}}); })
        .store(bag);

    auto& pause = AppExclusionMonitor::shared();
    pause.activePauseReason.publisher()
        .dropFirst()
        .sink([&log](const std::optional<AutoPauseReason>& reason) {
            nlohmann::ordered_json f = nlohmann::ordered_json::object();
            f["paused"] = reason.has_value();
            if (reason) {
                f["kind"] = reason->isExcludedApp() ? "excludedApp" : "gameActive";
                f["app"] = reason->appName();
            }
            log.record("pauseReason", f);
        })
        .store(bag);

    // The Switch Bar's events.
    startSwitcherDemo(ctx);
    startFestiveDemo(ctx);

    auto& trackpad = TrackpadTouchMonitor::shared();
    trackpad.gestureEvents
        .connect([&log](const GestureEvent& e) {
            nlohmann::ordered_json f = nlohmann::ordered_json::object();
            if (e.kind == GestureEvent::Kind::scrub || e.kind == GestureEvent::Kind::crossAxisSwipe)
                f["value"] = e.value;
            log.record(std::string(GestureEvent::name(e.kind)), f);
        })
        .store(bag);
}

}  // namespace

void installDemoApp(platform::sim::ScenarioRunner& runner) {
    auto& registry = runner.registry();
    platform::sim::registerTouchSteps(registry);
    platform::sim::registerAccessibilityScenario(registry);
    registerWindowSteps(registry);
    registerSwitcherSteps(registry);
    registerSceneSteps(registry);
    registerAppShellSteps(registry);
    registerFestiveSteps(registry);
    registerSettingsStageSteps(registry);
    registerSeasonalSteps(registry);
    registerSettingsWindowSteps(registry);
    runner.setAppStarter(startApp);
}

}  // namespace quillmar::app
