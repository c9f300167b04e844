#include "platform/sim/sim_accessibility_api.h"

#include <cmath>
#include <memory>

#include "platform/sim/desktop_steps.h"
#include "platform/sim/event_log.h"
#include "platform/sim/scenario_registry.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_url_opener.h"
#include "runtime/main_loop.h"
#include "runtime/notification_center.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

namespace {
void blockFor(double seconds) {
    if (seconds > 0 && std::isfinite(seconds)) runtime::MainLoop::main().advanceDuringBlockingCall(seconds);
}

std::string windowText(std::uint32_t n) { return "window " + std::to_string(n); }

std::string valueText(const AXValue& v) {
    if (const bool* b = v.boolean()) return *b ? "true" : "false";
    if (const std::string* s = v.string()) return "\"" + *s + "\"";
    if (const std::int64_t* i = v.integer()) return std::to_string(*i);
    return "?";
}

AXReadResult found(AXValue v) { return {AXError::success, std::move(v)}; }
AXReadResult missing() { return {AXError::noValue, std::nullopt}; }
AXReadResult unsupported() { return {AXError::attributeUnsupported, std::nullopt}; }
}  // namespace

SimAccessibilityApi::SimAccessibilityApi(SimDesktop& desktop)
    : desktop_(desktop), state_(&desktop.extension<SimAccessibilityState>()) {}

SimAccessibilityApi& SimAccessibilityApi::install(SimDesktop& desktop) {
    auto api = std::make_unique<SimAccessibilityApi>(desktop);
    auto* raw = api.get();
    runtime::World::install<AccessibilityApi>(std::move(api));
    return *raw;
}

SimAccessibilityState& SimAccessibilityApi::state() const { return *state_; }

// ---- The simulated system -----------------------------------------------------------------------

void SimAccessibilityApi::setTrusted(bool trusted) {
    if (state().trusted == trusted) return;
    state().trusted = trusted;
    desktop_.logCall(std::string("ax trust ") + (trusted ? "granted" : "revoked"));
    runtime::MainLoop::main().post(
        [] { runtime::NotificationCenter::distributed().post(kAccessibilityApiChangedNotification); });
}

bool SimAccessibilityApi::trusted() const { return state().trusted; }
int SimAccessibilityApi::promptCount() const { return state().promptCount; }
void SimAccessibilityApi::setWindowNumberCallAvailable(bool available) { state().windowNumberCallAvailable = available; }
SimAXAppBehaviour& SimAccessibilityApi::appBehaviour(std::int32_t pid) { return state().apps[pid]; }
SimAXWindowBehaviour& SimAccessibilityApi::windowBehaviour(std::uint32_t number) { return state().windows[number]; }

int SimAccessibilityApi::requestCount(std::int32_t pid) const {
    auto it = state().requestCounts.find(pid);
    return it == state().requestCounts.end() ? 0 : it->second;
}

AXElement SimAccessibilityApi::windowElement(std::uint32_t number) {
    const SimWindow* w = desktop_.window(number);
    if (!w) return {};
    return element({Kind::window, w->ownerPid, number, 0, 0});
}

std::vector<SimMenu> SimAccessibilityApi::standardMenuBar(const std::string& appName) {
    constexpr int shift = 1, option = 2, control = 4;
    return {
        {"Apple", {{"About This Mac", ""}, {"System Settings…", ""}, {"Lock Screen", "Q", control}}},
        {appName, {{"About " + appName, ""}, {"Settings…", ","}, {"Hide " + appName, "H"}, {"Quit " + appName, "Q"}}},
        {"File",
         {{"New Window", "N"},
          {"Open…", "O"},
          {"Close Window", "W", 0, true, SimMenuAction::closeFocusedWindow},
          {"Close All", "W", option},
          {"Save", "S"}}},
        {"Edit",
         {{"Undo", "Z"}, {"Redo", "Z", shift}, {"Cut", "X"}, {"Copy", "C"}, {"Paste", "V"}, {"Select All", "A"}}},
        {"View", {{"Show Toolbar", "T", option}, {"Enter Full Screen", "F", control}}},
        {"Window", {{"Minimize", "M"}, {"Zoom", ""}, {"Bring All to Front", ""}}},
        {"Help", {{appName + " Help", "?"}}},
    };
}

// ---- Elements -----------------------------------------------------------------------------------

AXElement SimAccessibilityApi::element(const Key& key) {
    auto it = ids_.find(key);
    if (it == ids_.end()) {
        it = ids_.emplace(key, nextId_++).first;
        keys_.emplace(it->second, key);
    }
    return AXElement(key.pid, it->second);
}

std::optional<SimAccessibilityApi::Key> SimAccessibilityApi::keyOf(const AXElement& e) const {
    if (!e) return std::nullopt;
    auto it = keys_.find(e.identity());
    if (it == keys_.end() || it->second.pid != e.pid()) return std::nullopt;
    return it->second;
}

std::optional<SimAccessibilityApi::Key> SimAccessibilityApi::live(const AXElement& e) const {
    auto key = keyOf(e);
    if (!key) return std::nullopt;
    const SimApp* app = desktop_.app(key->pid);
    if (!app || !app->isApplication) return std::nullopt;
    switch (key->kind) {
        case Kind::application:
            return key;
        case Kind::window:
        case Kind::closeButton: {
            const SimWindow* w = desktop_.window(key->window);
            if (!w || w->ownerPid != key->pid) return std::nullopt;
            return key;
        }
        case Kind::menuBar:
            return key;
        case Kind::menuBarItem:
        case Kind::menu: {
            auto menus = menusOf(key->pid);
            if (key->menu < 0 || key->menu >= static_cast<int>(menus.size())) return std::nullopt;
            return key;
        }
        case Kind::menuItem:
            return menuItem(*key) ? key : std::nullopt;
    }
    return std::nullopt;
}

std::optional<AXError> SimAccessibilityApi::deliver(const AXElement& e) {
    if (!state().trusted) return AXError::apiDisabled;
    if (!e) return AXError::illegalArgument;
    const SimApp* app = desktop_.app(e.pid());
    if (!app || !app->isApplication) return AXError::invalidUIElement;
    ++state().requestCounts[e.pid()];
    const SimAXAppBehaviour& b = state().apps[e.pid()];
    const double timeout = effectiveTimeout(e);
    if (b.hangs || b.latency > timeout) {
        blockFor(timeout);
        return AXError::cannotComplete;
    }
    const double latency = b.latency;
    const std::optional<AXError> failure = b.failsWith;
    blockFor(latency);
    return failure;
}

std::vector<SimMenu> SimAccessibilityApi::menusOf(std::int32_t pid) const {
    auto it = state().apps.find(pid);
    if (it != state().apps.end() && it->second.menuBar) return *it->second.menuBar;
    const SimApp* app = desktop_.app(pid);
    return standardMenuBar(app && app->localizedName ? *app->localizedName : "App");
}

std::optional<SimMenuItem> SimAccessibilityApi::menuItem(const Key& key) const {
    const auto menus = menusOf(key.pid);
    if (key.menu < 0 || key.menu >= static_cast<int>(menus.size())) return std::nullopt;
    const auto& items = menus[static_cast<std::size_t>(key.menu)].items;
    if (key.item < 0 || key.item >= static_cast<int>(items.size())) return std::nullopt;
    return items[static_cast<std::size_t>(key.item)];
}

std::vector<std::uint32_t> SimAccessibilityApi::listedWindows(std::int32_t pid) const {
    const auto& s = state();
    auto appIt = s.apps.find(pid);
    const bool otherSpaces = appIt != s.apps.end() && appIt->second.listsWindowsOnOtherSpaces;
    std::vector<std::uint32_t> out;
    for (const SimWindow* w : desktop_.windowsOf(pid)) {
        if (SimDesktop::isDesktopElement(*w)) continue;
        auto wb = s.windows.find(w->number);
        if (wb != s.windows.end() && !wb->second.listed) continue;
        if (!w->isMinimized && !otherSpaces && w->space != 0 && w->space != desktop_.currentSpace()) continue;
        out.push_back(w->number);
    }
    return out;
}

std::optional<std::uint32_t> SimAccessibilityApi::focusedWindow(std::int32_t pid) const {
    for (std::uint32_t n : listedWindows(pid)) {
        const SimWindow* w = desktop_.window(n);
        if (w && !w->isMinimized) return n;
    }
    return std::nullopt;
}

bool SimAccessibilityApi::isEnabled(const SimMenuItem& item, std::int32_t pid) const {
    // An item that closes the focused window is greyed out while there is none.
    if (item.action == SimMenuAction::closeFocusedWindow && !focusedWindow(pid)) return false;
    return item.enabled;
}

void SimAccessibilityApi::log(const std::string& line) { desktop_.logCall("ax " + line); }

// ---- Reads --------------------------------------------------------------------------------------

AXReadResult SimAccessibilityApi::read(const Key& key, const std::string& attribute) {
    const std::int32_t pid = key.pid;
    switch (key.kind) {
        case Kind::application: {
            const SimApp* app = desktop_.app(pid);
            if (attribute == ax::kRole) return found(ax::kApplicationRole);
            if (attribute == ax::kTitle) return app->localizedName ? found(*app->localizedName) : missing();
            if (attribute == ax::kWindows) {
                AXArray list;
                for (std::uint32_t n : listedWindows(pid)) list.emplace_back(element({Kind::window, pid, n, 0, 0}));
                return found(std::move(list));
            }
            if (attribute == ax::kFocusedWindow || attribute == ax::kMainWindow) {
                auto n = focusedWindow(pid);
                return n ? found(element({Kind::window, pid, *n, 0, 0})) : missing();
            }
            if (attribute == ax::kFrontmost) return found(desktop_.frontmostPid() == pid);
            if (attribute == ax::kMenuBar) return found(element({Kind::menuBar, pid, 0, 0, 0}));
            return unsupported();
        }
        case Kind::window: {
            const SimWindow* w = desktop_.window(key.window);
            const SimAXWindowBehaviour& b = state().windows[key.window];
            if (attribute == ax::kRole) return found(ax::kWindowRole);
            if (attribute == ax::kSubrole) return b.subrole.empty() ? unsupported() : found(b.subrole);
            if (attribute == ax::kTitle) return found(w->title);
            if (attribute == ax::kMinimized) return found(w->isMinimized);
            if (attribute == ax::kPosition) return found(w->bounds.origin());
            if (attribute == ax::kSize) return found(w->bounds.size());
            if (attribute == ax::kMain) return found(focusedWindow(pid) == key.window);
            if (attribute == ax::kFocused)
                return found(focusedWindow(pid) == key.window && desktop_.frontmostPid() == pid);
            if (attribute == ax::kCloseButton)
                return b.hasCloseButton ? found(element({Kind::closeButton, pid, key.window, 0, 0})) : missing();
            return unsupported();
        }
        case Kind::closeButton:
            if (attribute == ax::kRole) return found(ax::kButtonRole);
            if (attribute == ax::kSubrole) return found(ax::kCloseButtonSubrole);
            if (attribute == ax::kEnabled) return found(true);
            return unsupported();
        case Kind::menuBar: {
            if (attribute == ax::kRole) return found(ax::kMenuBarRole);
            if (attribute == ax::kChildren) {
                AXArray items;
                const int count = static_cast<int>(menusOf(pid).size());
                for (int i = 0; i < count; ++i) items.emplace_back(element({Kind::menuBarItem, pid, 0, i, 0}));
                return found(std::move(items));
            }
            return unsupported();
        }
        case Kind::menuBarItem: {
            if (attribute == ax::kRole) return found(ax::kMenuBarItemRole);
            if (attribute == ax::kTitle) return found(menusOf(pid)[static_cast<std::size_t>(key.menu)].title);
            if (attribute == ax::kChildren) return found(AXArray{element({Kind::menu, pid, 0, key.menu, 0})});
            return unsupported();
        }
        case Kind::menu: {
            if (attribute == ax::kRole) return found(ax::kMenuRole);
            if (attribute == ax::kChildren) {
                AXArray items;
                const int count = static_cast<int>(menusOf(pid)[static_cast<std::size_t>(key.menu)].items.size());
                for (int i = 0; i < count; ++i) items.emplace_back(element({Kind::menuItem, pid, 0, key.menu, i}));
                return found(std::move(items));
            }
            return unsupported();
        }
        case Kind::menuItem: {
            const SimMenuItem item = *menuItem(key);
            if (attribute == ax::kRole) return found(ax::kMenuItemRole);
            if (attribute == ax::kTitle) return found(item.title);
            if (attribute == ax::kMenuItemCmdChar) return item.keyEquivalent.empty() ? missing() : found(item.keyEquivalent);
            if (attribute == ax::kMenuItemCmdModifiers) return found(item.modifiers);
            if (attribute == ax::kEnabled) return found(isEnabled(item, pid));
            return unsupported();
        }
    }
    return unsupported();
}

// ---- AccessibilityApi ---------------------------------------------------------------------------

bool SimAccessibilityApi::isProcessTrusted() { return state().trusted; }

bool SimAccessibilityApi::isProcessTrustedWithOptions(bool prompt) {
    if (prompt && !state().trusted) {
        ++state().promptCount;
        desktop_.logCall("ax prompt");
    }
    return state().trusted;
}

AXElement SimAccessibilityApi::createApplication(std::int32_t pid) { return element({Kind::application, pid, 0, 0, 0}); }

AXReadResult SimAccessibilityApi::copyAttributeValue(const AXElement& e, const std::string& attribute) {
    if (auto error = deliver(e)) return {*error, std::nullopt};
    auto key = live(e);
    if (!key) return {AXError::invalidUIElement, std::nullopt};
    return read(*key, attribute);
}

AXReadResult SimAccessibilityApi::copyMultipleAttributeValues(const AXElement& e, const std::vector<std::string>& attributes,
                                                              int) {
    if (state().trusted && e && state().apps[e.pid()].batchReadsFail && desktop_.app(e.pid())) {
        ++state().requestCounts[e.pid()];
        return {AXError::failure, std::nullopt};
    }
    if (auto error = deliver(e)) return {*error, std::nullopt};
    auto key = live(e);
    if (!key) return {AXError::invalidUIElement, std::nullopt};
    AXArray values;
    values.reserve(attributes.size());
    for (const auto& name : attributes) {
        AXReadResult r = read(*key, name);
        if (r.ok() && r.value)
            values.push_back(std::move(*r.value));
        else
            values.emplace_back(r.ok() ? AXError::noValue : r.error);
    }
    return found(std::move(values));
}

AXError SimAccessibilityApi::setAttributeValue(const AXElement& e, const std::string& attribute, const AXValue& value) {
    if (auto error = deliver(e)) return *error;
    auto key = live(e);
    if (!key) return AXError::invalidUIElement;
    const bool* flag = value.boolean();
    const std::string target = key->kind == Kind::window ? windowText(key->window) : "pid " + std::to_string(key->pid);
    log("set " + attribute + "=" + valueText(value) + " " + target);
    if (key->kind == Kind::window) {
        if (attribute == ax::kMinimized) {
            if (!flag) return AXError::illegalArgument;
            desktop_.setMinimized(key->window, *flag);
            return AXError::success;
        }
        if (attribute == ax::kMain || attribute == ax::kFocused) {
            if (!flag) return AXError::illegalArgument;
            // Becoming the app's main or focused window brings it in front of the app's others.
            if (*flag && focusedWindow(key->pid) != key->window) desktop_.raiseWindow(key->window);
            return AXError::success;
        }
        return AXError::attributeUnsupported;
    }
    if (key->kind == Kind::application && attribute == ax::kFrontmost) {
        if (!flag) return AXError::illegalArgument;
        if (*flag) desktop_.activate(key->pid, 0);
        return AXError::success;
    }
    return AXError::attributeUnsupported;
}

AXError SimAccessibilityApi::performAction(const AXElement& e, const std::string& action) {
    if (auto error = deliver(e)) return *error;
    auto key = live(e);
    if (!key) return AXError::invalidUIElement;
    if (key->kind == Kind::window && action == ax::kRaiseAction) {
        log("raise " + windowText(key->window));
        desktop_.raiseWindow(key->window);
        return AXError::success;
    }
    if (key->kind == Kind::closeButton && action == ax::kPressAction) {
        const bool works = state().windows[key->window].closeButtonWorks;
        log("press close " + windowText(key->window) + (works ? "" : " failed"));
        if (!works) return AXError::cannotComplete;
        desktop_.closeWindow(key->window);
        return AXError::success;
    }
    if (key->kind == Kind::menuItem && action == ax::kPressAction) {
        const SimMenuItem item = *menuItem(*key);
        const bool enabled = isEnabled(item, key->pid);
        log("press menu \"" + item.title + "\" pid " + std::to_string(key->pid) + (enabled ? "" : " disabled"));
        if (!enabled) return AXError::cannotComplete;
        if (item.action == SimMenuAction::closeFocusedWindow) {
            if (auto n = focusedWindow(key->pid)) desktop_.closeWindow(*n);
        }
        return AXError::success;
    }
    return AXError::actionUnsupported;
}

AXWindowNumberCall SimAccessibilityApi::lookupWindowNumberCall() {
    if (!state().windowNumberCallAvailable) return {};
    return [this](const AXElement& e, std::uint32_t* out) -> AXError {
        if (!state().trusted) return AXError::apiDisabled;
        auto key = live(e);
        if (!key || key->kind != Kind::window) return AXError::invalidUIElement;
        if (!state().windows[key->window].exposesWindowNumber) return AXError::failure;
        if (out) *out = key->window;
        return AXError::success;
    };
}

// ---- Scenarios ----------------------------------------------------------------------------------

namespace {
// The desktop's Accessibility service, installed on first use.
SimAccessibilityApi& ensureInstalled(SimDesktop& desktop) {
    if (auto* api = dynamic_cast<SimAccessibilityApi*>(runtime::World::find<AccessibilityApi>())) return *api;
    if (!dynamic_cast<SimUrlOpener*>(runtime::World::find<UrlOpener>())) SimUrlOpener::install(desktop);
    return SimAccessibilityApi::install(desktop);
}
}  // namespace

void registerAccessibilityScenario(ScenarioRegistry& registry) {
    registry.registerSection("accessibility", [](ScenarioFields& f, StepContext* ctx) {
        auto trusted = f.boolean("trusted", Need::optional);
        auto numberCall = f.boolean("windowNumberCall", Need::optional);
        struct AppSetup {
            AppReference ref;
            std::optional<double> latency;
            std::optional<bool> hangs;
        };
        std::vector<AppSetup> apps;
        if (const auto* list = f.array("apps", Need::optional)) {
            for (std::size_t i = 0; i < list->size(); ++i) {
                ScenarioFields entry((*list)[i], f.pathOf("apps") + "[" + std::to_string(i) + "]");
                auto ref = readAppReference(entry);
                auto latency = entry.number("latency", Need::optional, 0, 60);
                auto hangs = entry.boolean("hangs", Need::optional);
                entry.rejectUnknown();
                f.absorb(entry);
                if (ref) apps.push_back({*ref, latency, hangs});
            }
        }
        f.rejectUnknown();
        if (!ctx || !f.ok()) return;
        auto& api = ensureInstalled(ctx->desktop);
        if (trusted) ctx->desktop.extension<SimAccessibilityState>().trusted = *trusted;
        if (numberCall) api.setWindowNumberCallAvailable(*numberCall);
        for (const auto& a : apps) {
            auto pid = resolveApp(ctx->desktop, a.ref);
            if (!pid) {
                ctx->log.record("stepSkipped", {{"reason", "no running " + a.ref.describe()}});
                continue;
            }
            if (a.latency) api.appBehaviour(*pid).latency = *a.latency;
            if (a.hangs) api.appBehaviour(*pid).hangs = *a.hangs;
        }
    });

    registry.registerStep("accessibilityTrust", [](ScenarioFields& f, StepContext* ctx) {
        auto trusted = f.boolean("trusted");
        if (!ctx || !trusted) return;
        ensureInstalled(ctx->desktop).setTrusted(*trusted);
        ctx->log.record("accessibilityTrust", {{"trusted", *trusted}});
    });
}

}  // namespace quillmar::platform::sim
