// URL commands: the entry of a delivery, the sender check and the command grammar.
//
// Words of the grammar (all compared after lower-casing; anything else changes nothing):
//   from any sender: settings[/<tab>][?tab=<tab>], switching, trackpad, shortcuts, keys, hotkeys,
//     about, support, preview
//   from a trusted sender only: qa/{on,enable,true,1 | off,disable,user,false,0 | toggle | dump-targets},
//     toggle, enable, disable, pause, mode/{all,all-windows,allwindows | apps,appsonly,apps-only |
//     activeappwindows,current,active-app-windows}, fingers|gesture/{auto,0 | 3,three | 4,four |
//     top-edge,topedge,2}, slide/{hold,hold-and-slide | instant,immediate | top-edge,topedge},
//     layout/{vertical,list | horizontal,icons | toggle}, appearance/{dark,dark-glass,darkglass |
//     solid,solid-dark,soliddark | light,light-glass,lightglass | adaptive,system | cycle},
//     space/{current,on | all,off | toggle}, christmas[/off], toggle-game-pause,
//     pause-current-app, toggle-ignore-frontmost

#include <filesystem>
#include <set>

#include "app/app_delegate.h"
#include "app/url_sender_check.h"
#include "festive_hud/hud_festive_state.h"
#include "platform/apple_event.h"
#include "platform/folder_writer.h"
#include "settings/switcher_settings.h"
#include "settings_ui/settings_ui_state.h"
#include "switcher/switcher_controller.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {

using Effect = UrlCommandOutcome::Effect;

bool isOneOf(const std::string& word, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (word == w) return true;
    return false;
}

template <class T>
Effect assign(runtime::Published<T>& setting, T value) {
    setting = std::move(value);
    return Effect::ran;
}

}  // namespace

void AppDelegate::applicationOpenURLs(const std::vector<std::string>& urls) {
    didReceiveURLBeforeFinishLaunching_ = true;
    const bool trusted = identifyURLSender();
    for (std::size_t i = 0; i < urls.size(); ++i) {
        if (i >= static_cast<std::size_t>(kMaxURLsPerDelivery)) {
            urlCommandHandled.emit(UrlCommandOutcome{urls[i], {}, {}, trusted, Effect::beyondLimit});
            continue;
        }
        handleURLCommand(urls[i], trusted);
    }
}

bool AppDelegate::identifyURLSender() const { return UrlSenderCheck::isTrusted(platform::AppleEventManager::currentEvent()); }

void AppDelegate::handleURLCommand(const std::string& url, bool isTrustedSender) {
    UrlCommandOutcome outcome{url, {}, {}, isTrustedSender, Effect::malformed};
    if (auto parsed = UrlCommand::parse(url)) {
        outcome.command = parsed->command;
        outcome.argument = parsed->argument;
        outcome.effect = parsed->scheme == "quillmar" ? runURLCommand(*parsed, isTrustedSender) : Effect::otherScheme;
    }
    urlCommandHandled.emit(outcome);
}

UrlCommandOutcome::Effect AppDelegate::runURLCommand(const UrlCommand& c, bool trusted) {
    if (c.command == "settings") {
        const auto queried = c.firstQueryValue("tab");
        if (queried || !c.argument.empty()) selectSettingsTab(queried ? *queried : c.argument);
        openSettingsWindow();
        return Effect::ran;
    }
    if (isOneOf(c.command, {"trackpad", "switching", "shortcuts", "keys", "hotkeys", "about", "support"})) {
        selectSettingsTab(c.command);
        openSettingsWindow();
        return Effect::ran;
    }
    if (c.command == "preview") {
        presentPreview();
        return Effect::ran;
    }
    static const std::set<std::string> trustedCommands = {
        "qa",     "toggle", "enable",     "disable", "pause", "mode",      "fingers",           "gesture",
        "slide",  "layout", "appearance", "space",   "christmas", "toggle-game-pause", "pause-current-app",
        "toggle-ignore-frontmost"};
    if (!trustedCommands.count(c.command)) return Effect::unknownCommand;
    if (!trusted) return Effect::refusedUntrusted;
    return runTrustedURLCommand(c);
}

UrlCommandOutcome::Effect AppDelegate::runTrustedURLCommand(const UrlCommand& c) {
    auto& settings = SwitcherSettings::shared();
    const std::string& arg = c.argument;

    if (c.command == "qa") {
        if (isOneOf(arg, {"on", "enable", "true", "1"})) {
            if (!settings.qaModeEnabled.get()) settings.qaModeEnabled = true;
        } else if (isOneOf(arg, {"off", "disable", "user", "false", "0"})) {
            settings.setQAMode(false);
        } else if (isOneOf(arg, {"toggle", ""})) {
            settings.setQAMode(!settings.qaModeEnabled.get());
        } else if (arg == "dump-targets") {
            if (!settings.qaModeEnabled.get()) return Effect::notApplicable;
            if (!writeClassificationDump()) return Effect::failed;
        } else {
            return Effect::unknownArgument;
        }
        return Effect::ran;
    }
    if (c.command == "toggle") return assign(settings.isEnabled, !settings.isEnabled.get());
    if (c.command == "enable") return assign(settings.isEnabled, true);
    if (isOneOf(c.command, {"disable", "pause"})) return assign(settings.isEnabled, false);

    if (c.command == "mode") {
        if (isOneOf(arg, {"all", "all-windows", "allwindows"})) return assign(settings.switcherMode, SwitcherMode::allWindows);
        if (isOneOf(arg, {"apps", "appsonly", "apps-only"})) return assign(settings.switcherMode, SwitcherMode::appsOnly);
        if (isOneOf(arg, {"activeappwindows", "current", "active-app-windows"}))
            return assign(settings.switcherMode, SwitcherMode::activeAppWindows);
        return Effect::unknownArgument;
    }
    if (isOneOf(c.command, {"fingers", "gesture"})) {
        if (isOneOf(arg, {"auto", "0"})) setFingerCount(0);
        else if (isOneOf(arg, {"3", "three"})) setFingerCount(3);
        else if (isOneOf(arg, {"4", "four"})) setFingerCount(4);
        else if (isOneOf(arg, {"top-edge", "topedge", "2"})) settings.triggerStyle = TriggerStyle::topEdgeTwoFinger;
        else return Effect::unknownArgument;
        return Effect::ran;
    }
    if (c.command == "slide") {
        if (isOneOf(arg, {"hold", "hold-and-slide"})) return assign(settings.triggerStyle, TriggerStyle::holdAndSlide);
        if (isOneOf(arg, {"instant", "immediate"}))
            return assign(settings.triggerStyle, TriggerStyle::immediateHorizontalSlide);
        if (isOneOf(arg, {"top-edge", "topedge"})) return assign(settings.triggerStyle, TriggerStyle::topEdgeTwoFinger);
        return Effect::unknownArgument;
    }
    if (c.command == "layout") {
        if (isOneOf(arg, {"vertical", "list"})) return assign(settings.switchBarStyle, SwitchBarStyle::vertical);
        if (isOneOf(arg, {"horizontal", "icons"})) return assign(settings.switchBarStyle, SwitchBarStyle::horizontal);
        if (arg == "toggle")
            return assign(settings.switchBarStyle, settings.switchBarStyle.get() == SwitchBarStyle::vertical
                                                       ? SwitchBarStyle::horizontal
                                                       : SwitchBarStyle::vertical);
        return Effect::unknownArgument;
    }
    if (c.command == "appearance") {
        Effect effect = Effect::ran;
        if (isOneOf(arg, {"dark", "dark-glass", "darkglass"})) settings.hudAppearance = HUDAppearanceStyle::darkGlass;
        else if (isOneOf(arg, {"solid", "solid-dark", "soliddark"})) settings.hudAppearance = HUDAppearanceStyle::solidDark;
        else if (isOneOf(arg, {"light", "light-glass", "lightglass"})) settings.hudAppearance = HUDAppearanceStyle::lightGlass;
        else if (isOneOf(arg, {"adaptive", "system"})) settings.hudAppearance = HUDAppearanceStyle::adaptive;
        else if (arg == "cycle") cycleHUDAppearance();
        else effect = Effect::unknownArgument;
        // The bar previews whatever was asked.
        presentPreview();
        return effect;
    }
    if (c.command == "space") {
        if (isOneOf(arg, {"current", "on"})) return assign(settings.currentSpaceOnly, true);
        if (isOneOf(arg, {"all", "off"})) return assign(settings.currentSpaceOnly, false);
        if (arg == "toggle") return assign(settings.currentSpaceOnly, !settings.currentSpaceOnly.get());
        return Effect::unknownArgument;
    }
    if (c.command == "christmas") {
        auto& festive = HUDFestiveState::shared();
        if (arg == "off") {
            settings.holidaySparkle = true;
            festive.qaShowChristmasPerimeter = false;
        } else {
            if (!settings.qaModeEnabled.get()) settings.qaModeEnabled = true;
            settings.holidaySparkle = true;
            festive.qaShowChristmasPerimeter = true;
        }
        presentPreview();
        return Effect::ran;
    }
    if (c.command == "toggle-game-pause") return assign(settings.pauseInGames, !settings.pauseInGames.get());
    // pause-current-app, toggle-ignore-frontmost
    toggleIgnoreFrontmostApp();
    return Effect::ran;
}

void AppDelegate::setDumpPath(const std::string& path) {
    const std::filesystem::path p(path);
    setDumpPath(p.has_parent_path() ? p.parent_path().string() : std::string("."), p.filename().string());
}

std::string AppDelegate::dumpPath() const { return (std::filesystem::path(dumpFolder_) / dumpName_).string(); }

bool AppDelegate::writeClassificationDump() {
    const std::string text = WindowManager::shared().qaDumpClassification(SwitcherSettings::shared().switcherMode.get());
    // A failed write changes nothing else; the outcome of the command says it failed.
    const auto problem = platform::FolderWriter(dumpFolder_).write(dumpName_, text, 0600);
    classificationDumpWritten.emit(ClassificationDump{
        dumpPath(), !problem, problem ? "cannot write " + dumpPath() + ": " + platform::describe(*problem) : ""});
    return !problem;
}

}  // namespace quillmar
