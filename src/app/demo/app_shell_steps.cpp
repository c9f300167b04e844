#include "app/demo/app_shell_steps.h"

#include <nlohmann/json.hpp>

#include "app/app_delegate.h"
#include "app/demo/status_menu_picture.h"
#include "platform/kept_text.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_application.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_status_bar.h"
#include "platform/sim/sim_titled_windows.h"
#include "platform/sim/sim_url_opener.h"
#include "platform/sim/sim_user_feedback.h"
#include "platform/sim/sim_window.h"
#include "platform/url_opener.h"
#include "runtime/subscription.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "settings_ui/settings_ui_state.h"

namespace quillmar {

namespace {
using platform::sim::Need;
using platform::sim::ScenarioFields;
using platform::sim::StepContext;

struct AppShellDemoObservations {
    runtime::SubscriptionBag bag;
};

nlohmann::ordered_json rowsOf(const platform::Menu& menu) {
    auto rows = nlohmann::ordered_json::array();
    for (const auto& item : menu.items()) {
        if (item->isSeparator) {
            rows.push_back("---");
            continue;
        }
        // Cut as a window's title is: a row names an app or an identifier of the settings.
        nlohmann::ordered_json row = {
            {"title", platform::keptText(item->title, platform::sim::SimWindow::kMaxTitleBytes)}};
        if (item->state == 1) row["checked"] = true;
        if (!item->isSelectable()) row["enabled"] = false;
        if (!item->keyEquivalent.empty()) row["key"] = item->keyEquivalent;
        if (item->submenu) row["submenu"] = rowsOf(*item->submenu);
        rows.push_back(row);
    }
    return rows;
}

platform::sim::SimStatusBar* simStatusBar() {
    return dynamic_cast<platform::sim::SimStatusBar*>(platform::StatusBar::installed());
}

platform::sim::SimApplication* simApplication() {
    return dynamic_cast<platform::sim::SimApplication*>(runtime::World::find<platform::Application>());
}

// Logs each assignment of a setting after the first value, under its key.
template <class T, class ToJson>
void logChanges(runtime::Published<T>& setting, const char* key, platform::sim::EventLog& log, ToJson toJson) {
    setting.publisher()
        .dropFirst()
        .sink([&log, key, toJson](const T& value) { log.record("settingChanged", {{"key", key}, {"value", toJson(value)}}); })
        .store(runtime::World::shared<AppShellDemoObservations>().bag);
}

template <class T>
void logChanges(runtime::Published<T>& setting, const char* key, platform::sim::EventLog& log) {
    logChanges(setting, key, log, [](const T& v) {
        if constexpr (std::is_enum_v<T>) return std::string(rawValue(v));
        else return v;
    });
}

void connectLog(platform::sim::EventLog& log, platform::sim::PictureIndex* pictures) {
    auto& bag = runtime::World::shared<AppShellDemoObservations>().bag;
    auto& delegate = AppDelegate::shared();
    delegate.urlCommandHandled
        .connect([&log](const UrlCommandOutcome& o) {
            nlohmann::ordered_json f = {{"url", o.url}};
            if (!o.command.empty()) f["command"] = o.command;
            if (!o.argument.empty()) f["argument"] = o.argument;
            f["trusted"] = o.trusted;
            f["result"] = UrlCommandOutcome::name(o.effect);
            log.record("urlCommand", f);
        })
        .store(bag);
    delegate.settingsWindowRequested
        .connect([&log] {
            log.record("settingsWindowRequested",
                       {{"tab", std::string(SettingsUIState::shared().activeTab.get().rawValue())}});
        })
        .store(bag);
    delegate.settingsWindowOpened
        .connect([&log](const AppDelegate::SettingsWindowOpening& o) {
            nlohmann::ordered_json f = {{"opened", o.opened}};
            if (!o.opened) f["reason"] = o.reason;
            log.record("settingsWindowOpened", f);
        })
        .store(bag);
    delegate.classificationDumpWritten
        .connect([&log, pictures](const AppDelegate::ClassificationDump& dump) {
            nlohmann::ordered_json f = {{"path", dump.path}, {"written", dump.written}};
            if (!dump.written) f["reason"] = dump.problem;
            log.record("classificationDump", f);
            if (!dump.written && pictures) pictures->addFailedFile(dump.path, dump.problem);
        })
        .store(bag);

    auto& s = SwitcherSettings::shared();
    logChanges(s.isEnabled, "isEnabled", log);
    logChanges(s.fingerCount, "fingerCount", log);
    logChanges(s.triggerStyle, "triggerStyle", log);
    logChanges(s.switcherMode, "switcherMode", log);
    logChanges(s.switchBarStyle, "switchBarStyle", log);
    logChanges(s.hudAppearance, "hudAppearance", log);
    logChanges(s.currentSpaceOnly, "currentSpaceOnly", log);
    logChanges(s.pauseInGames, "pauseInGames", log);
    logChanges(s.allowQuickCloseQuit, "allowQuickCloseQuit", log);
    logChanges(s.holidaySparkle, "holidaySparkle", log);
    logChanges(s.qaModeEnabled, "qaModeEnabled", log);
    logChanges(s.launchAtLogin, "launchAtLogin", log);
    logChanges(s.ignoredBundleIDs, "ignoredBundleIDs", log);
}

}  // namespace

void startAppShellDemo(StepContext& ctx) {
    auto& desktop = ctx.desktop;
    if (!runtime::World::find<platform::Application>()) platform::sim::SimApplication::install(desktop);
    if (!platform::StatusBar::installed()) platform::sim::SimStatusBar::install(desktop);
    if (!runtime::World::find<platform::UrlOpener>()) platform::sim::SimUrlOpener::install(desktop);
    // The simulated desktop has its windowing system from the start: whatever opens the settings
    // window (the first launch, the status menu, a reopen, a URL) shows it.
    if (!platform::TitledWindows::installed()) platform::sim::SimTitledWindows::install();
    if (!platform::Haptics::installed()) platform::sim::SimHaptics::install();
    // The simulated system's temporary folder lies inside the output folder.
    AppDelegate::shared().setDumpPath(ctx.outputFolder().string(), kSimulatedDumpName);
    // Connected first: the log hears what the start-up itself asks for.
    connectLog(ctx.log, ctx.pictures);
    runApplication();
}

namespace {
// URLs as one process sends them: {"urls": [...], "senderPid": n, "tokenPid": n}.
struct UrlsFromSender {
    std::optional<std::vector<std::string>> urls;
    std::optional<std::int64_t> senderPid;
    std::optional<std::int64_t> tokenPid;

    static UrlsFromSender read(ScenarioFields& f) {
        UrlsFromSender u;
        u.urls = f.stringArray("urls");
        u.senderPid = f.integer("senderPid", Need::optional, INT32_MIN, INT32_MAX);
        u.tokenPid = f.integer("tokenPid", Need::optional, INT32_MIN, INT32_MAX);
        return u;
    }
    platform::AppleEvent event() const {
        auto pid = [](const std::optional<std::int64_t>& p) {
            return p ? std::optional<std::int32_t>(static_cast<std::int32_t>(*p)) : std::nullopt;
        };
        return platform::AppleEvent::fromSender(pid(senderPid), pid(tokenPid));
    }
};

// The URLs that launch the app, delivered before it finishes launching.
void launchURLsSection(ScenarioFields& f, StepContext* ctx) {
    const auto sent = UrlsFromSender::read(f);
    if (!ctx || !sent.urls) return;
    auto* app = simApplication();
    if (!app) app = &platform::sim::SimApplication::install(ctx->desktop);
    if (!platform::TitledWindows::installed()) platform::sim::SimTitledWindows::install();
    app->launchWithURLs(*sent.urls, sent.event());
}

void openStatusMenuStep(ScenarioFields&, StepContext* ctx) {
    if (!ctx) return;
    auto* bar = simStatusBar();
    auto* menu = bar ? bar->openMenu() : nullptr;
    if (!menu) {
        ctx->log.record("statusMenu", {{"shown", false}});
        return;
    }
    ctx->log.record("statusMenu", {{"rows", rowsOf(*menu)}});
}

void pickStatusMenuItemStep(ScenarioFields& f, StepContext* ctx) {
    auto path = f.stringArray("path");
    if (path && path->empty()) f.fail("path", "expected at least one title");
    if (!ctx || !path || !f.ok()) return;
    auto* bar = simStatusBar();
    auto* menu = bar ? bar->openMenu() : nullptr;
    const bool ran = menu && bar->pick(*menu, *path);
    ctx->log.record("statusMenuPicked", {{"path", *path}, {"ran", ran}});
}

void snapshotStatusMenuStep(ScenarioFields& f, StepContext* ctx) {
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    auto appearance = f.string("appearance", Need::optional);
    auto submenu = f.string("openSubmenu", Need::optional);
    auto scale = f.number("scale", Need::optional, 0.5, 4);
    if (appearance && *appearance != "light" && *appearance != "dark") f.fail("appearance", "expected light or dark");
    if (!ctx || !file || !f.ok()) return;
    const std::string what = caption.value_or("The status menu");
    auto* bar = simStatusBar();
    auto* menu = bar ? bar->openMenu() : nullptr;
    if (!menu) {
        ctx->pictureUnavailable("statusMenuSnapshot", *file, what, "there is no status menu");
        return;
    }
    StatusMenuPictureOptions options;
    options.dark = appearance.value_or("light") == "dark";
    options.scale = scale.value_or(2.0);
    options.openSubmenu = submenu;
    if (auto screen = ctx->desktop.mainScreen()) {  // the menu bar's
        options.screenWidth = screen->frame.width;
        options.screenHeight = screen->frame.height;
    }
    ctx->writePicture(
        "statusMenuSnapshot", *file, what,
        [&](const std::string& path, std::string* error) {
            return StatusMenuPicture::writePng(bar->items().front().get(), *menu, options, path, error);
        },
        {}, options.scale);
}

void deliverURLsStep(ScenarioFields& f, StepContext* ctx) {
    const auto sent = UrlsFromSender::read(f);
    if (!ctx || !sent.urls) return;
    auto* app = simApplication();
    if (!app) return;
    const auto event = sent.event();
    nlohmann::ordered_json fields = {{"count", sent.urls->size()}};
    if (sent.senderPid) fields["senderPid"] = *sent.senderPid;
    {
        platform::AppleEventManager::Handling handling(event);
        fields["trusted"] = AppDelegate::shared().identifyURLSender();
    }
    ctx->log.record("urlDelivery", fields);
    app->deliverURLs(*sent.urls, event);
}

void reopenAppStep(ScenarioFields&, StepContext* ctx) {
    if (!ctx) return;
    if (auto* app = simApplication()) ctx->log.record("appReopened", {{"handled", app->reopen(false)}});
}

void quitAppStep(ScenarioFields&, StepContext* ctx) {
    if (!ctx) return;
    AppDelegate::shared().quitApp();
    auto* app = simApplication();
    ctx->log.record("appTerminated", {{"running", app && app->isRunning()}});
}

void pressMenuKeyStep(ScenarioFields& f, StepContext* ctx) {
    auto key = f.string("key");
    const std::uint32_t bits = f.flags("modifiers", {{"command", platform::key_modifiers::command},
                                                     {"shift", platform::key_modifiers::shift},
                                                     {"option", platform::key_modifiers::option},
                                                     {"control", platform::key_modifiers::control}});
    if (!ctx || !key || !f.ok()) return;
    auto* app = simApplication();
    const bool ran = app && app->pressKeyEquivalent(*key, bits);
    ctx->log.record("menuKey", {{"key", *key}, {"handled", ran}});
}

constexpr platform::sim::NamedStep kAppShellSteps[] = {
    {"openStatusMenu", openStatusMenuStep},
    {"pickStatusMenuItem", pickStatusMenuItemStep},
    {"snapshotStatusMenu", snapshotStatusMenuStep},
    {"deliverURLs", deliverURLsStep},
    {"reopenApp", reopenAppStep},
    {"quitApp", quitAppStep},
    {"pressMenuKey", pressMenuKeyStep},
};

}  // namespace

void registerAppShellSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerSection("launchURLs", launchURLsSection);
    registry.registerSteps(kAppShellSteps);
    registry.reserveOutputName(kSimulatedDumpName, "the classification dump's");
}

}  // namespace quillmar
