#include "app/demo/window_demo_steps.h"

#include <nlohmann/json.hpp>

#include "platform/sim/event_log.h"
#include "platform/sim/scenario_registry.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "settings/switcher_settings.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
using platform::sim::ScenarioFields;
using platform::sim::StepContext;

std::optional<SwitcherMode> readMode(ScenarioFields& f) {
    auto text = f.string("mode", platform::sim::Need::optional);
    if (!text) return std::nullopt;
    auto mode = fromRawValue<SwitcherMode>(*text);
    if (!mode) f.fail("mode", "expected allWindows, appsOnly or activeAppWindows");
    return mode;
}

nlohmann::ordered_json describe(const SwitchTarget& t, std::size_t index) {
    nlohmann::ordered_json j = {{"index", index},
                        {"id", t.id},
                        {"label", t.displayLabel},
                        {"app", t.appName},
                        {"title", t.windowTitle},
                        {"appOnly", t.isAppOnly},
                        {"parked", t.isMinimizedOrHidden},
                        {"hasOpen", t.hasOpenWindow}};
    if (t.windowID) j["window"] = *t.windowID;
    return j;
}

// What is in front now: the frontmost app and the frontmost normal window.
nlohmann::ordered_json frontState() {
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    if (auto front = platform::Workspace::shared().frontmostApplication()) {
        j["frontmostPid"] = front->processIdentifier;
        if (front->localizedName) j["frontmostApp"] = *front->localizedName;
    }
    if (auto list = platform::WindowServer::shared().windowList(platform::WindowListOption::onScreenOnly |
                                                                 platform::WindowListOption::excludeDesktopElements)) {
        for (const auto& w : *list) {
            if (w.integer(platform::WindowKey::layer) != 0) continue;
            j["frontWindow"] = w.uint32(platform::WindowKey::number).value_or(0);
            j["frontWindowTitle"] = w.string(platform::WindowKey::name).value_or("");
            break;
        }
    }
    return j;
}

void listTargetsStep(ScenarioFields& f, StepContext* ctx) {
    auto mode = readMode(f);
    if (!ctx || !f.ok()) return;
    std::vector<SwitcherMode> modes;
    if (mode)
        modes.push_back(*mode);
    else
        for (auto m : allCases<SwitcherMode>()) modes.push_back(m);
    for (auto m : modes) {
        const auto targets = WindowManager::shared().fetchTargets(m);
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < targets.size(); ++i) list.push_back(describe(targets[i], i));
        ctx->log.record("targets", {{"mode", std::string(rawValue(m))}, {"targets", std::move(list)}});
    }
}

void activateTargetStep(ScenarioFields& f, StepContext* ctx) {
    auto mode = readMode(f);
    auto index = f.integer("index", platform::sim::Need::optional, 0, 10000);
    auto label = f.string("label", platform::sim::Need::optional);
    if (!index && !label && f.ok()) f.failHere("expected \"index\" or \"label\"");
    if (!ctx || !f.ok()) return;
    const SwitcherMode m = mode.value_or(SwitcherSettings::shared().switcherMode.get());
    const auto targets = WindowManager::shared().fetchTargets(m);
    const SwitchTarget* chosen = nullptr;
    if (index && static_cast<std::size_t>(*index) < targets.size()) chosen = &targets[static_cast<std::size_t>(*index)];
    if (!index && label) {
        for (const auto& t : targets) {
            if (t.displayLabel == *label) {
                chosen = &t;
                break;
            }
        }
    }
    if (!chosen) {
        ctx->log.record("stepSkipped", {{"reason", "no such target in " + std::string(rawValue(m))}});
        return;
    }
    nlohmann::ordered_json entry = {{"mode", std::string(rawValue(m))},
                            {"target", describe(*chosen, static_cast<std::size_t>(chosen - targets.data()))}};
    WindowManager::shared().activate(*chosen);
    entry["after"] = frontState();
    ctx->log.record("targetActivated", std::move(entry));
}

constexpr platform::sim::NamedStep kWindowSteps[] = {
    {"listTargets", listTargetsStep},
    {"activateTarget", activateTargetStep},
};

}  // namespace

void registerWindowSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerSteps(kWindowSteps);
}

}  // namespace quillmar
