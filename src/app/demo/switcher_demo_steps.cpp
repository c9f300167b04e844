#include "app/demo/switcher_demo_steps.h"

#include <nlohmann/json.hpp>

#include "platform/sim/event_log.h"
#include "platform/sim/sim_hot_keys.h"
#include "platform/sim/sim_keyboard_layout.h"
#include "platform/sim/sim_panel_windows.h"
#include "platform/sim/sim_user_feedback.h"
#include "runtime/subscription.h"
#include "runtime/world.h"
#include "switcher/quick_key_codes.h"
#include "switcher/switcher_controller.h"

namespace quillmar {

namespace {
using platform::sim::Need;
using platform::sim::ScenarioFields;
using platform::sim::StepContext;

struct SwitcherDemoObservations {
    runtime::SubscriptionBag bag;
};

const char* eventName(SwitcherController::Event::Kind k) {
    switch (k) {
        case SwitcherController::Event::Kind::presented: return "switchBarPresented";
        case SwitcherController::Event::Kind::selectionChanged: return "switchBarSelection";
        case SwitcherController::Event::Kind::committed: return "switchBarCommit";
        case SwitcherController::Event::Kind::dismissed: return "switchBarDismissed";
    }
    return "switchBar";
}
}  // namespace

void installSwitcherServices() {
    if (!platform::PanelWindows::installed()) platform::sim::SimPanelWindows::install();
    if (!platform::HotKeys::installed()) platform::sim::SimHotKeys::install();
    if (!platform::Haptics::installed()) platform::sim::SimHaptics::install();
    if (!platform::AccessibilityAnnouncer::installed()) platform::sim::SimAccessibilityAnnouncer::install();
    if (!platform::KeyboardLayout::installed()) platform::sim::SimKeyboardLayout::install();
}

void startSwitcherDemo(StepContext& ctx) {
    installSwitcherServices();
    auto& controller = SwitcherController::shared();
    auto& log = ctx.log;
    controller.events
        .connect([&log, &controller](const SwitcherController::Event& e) {
            nlohmann::ordered_json f = nlohmann::ordered_json::object();
            f["index"] = e.index;
            if (!e.label.empty()) f["app"] = e.label;
            if (e.kind == SwitcherController::Event::Kind::presented) {
                f["count"] = controller.targets->size();
                f["preview"] = controller.isPreviewPresentation();
            }
            log.record(eventName(e.kind), f);
        })
        .store(runtime::World::shared<SwitcherDemoObservations>().bag);
}

void registerSwitcherSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerStep("snapshotSwitchBar", [](ScenarioFields& f, StepContext* ctx) {
        auto file = f.string("file");
        auto scale = f.number("scale", Need::optional, 0.5, 4);
        auto caption = f.string("caption", Need::optional);
        if (!ctx || !file) return;
        const std::string what = caption.value_or("The Switch Bar");
        auto* controller = runtime::World::find<SwitcherController>();
        auto* panel = controller ? controller->panel() : nullptr;
        nlohmann::ordered_json fields = {{"file", *file}};
        if (!panel || !panel->isVisible()) {
            fields["written"] = false;
            fields["reason"] = "the Switch Bar is not shown";
            ctx->log.record("switchBarSnapshot", fields);
            ctx->pictureWritten(*file, what, false, "the Switch Bar is not shown");
            return;
        }
        std::string error;
        const bool ok = panel->writePng(ctx->outputPath(*file).string(), scale.value_or(2.0), &error);
        fields["written"] = ok;
        if (!ok) fields["reason"] = error;
        ctx->log.record("switchBarSnapshot", fields);
        ctx->pictureWritten(*file, what, ok, error);
    });
    registry.registerStep("previewSwitchBar", [](ScenarioFields& f, StepContext* ctx) {
        auto seconds = f.number("seconds", Need::optional, 0, 60);
        if (!ctx) return;
        SwitcherController::shared().presentPreviewHUD(seconds.value_or(2.5));
    });
    registry.registerStep("dismissSwitchBar", [](ScenarioFields& f, StepContext* ctx) {
        auto immediate = f.boolean("immediate", Need::optional);
        if (!ctx) return;
        SwitcherController::shared().dismissHUD(immediate.value_or(false));
    });
    registry.registerStep("pressQuickKey", [](ScenarioFields& f, StepContext* ctx) {
        auto key = f.string("key");
        auto modifiers = f.stringArray("modifiers", Need::optional);
        std::uint32_t bits = 0;
        if (modifiers)
            for (const auto& m : *modifiers) {
                if (m == "command") bits |= platform::hot_key_modifiers::command;
                else if (m == "shift") bits |= platform::hot_key_modifiers::shift;
                else if (m == "capsLock") bits |= platform::hot_key_modifiers::alphaLock;
                else if (m == "option") bits |= platform::hot_key_modifiers::option;
                else if (m == "control") bits |= platform::hot_key_modifiers::control;
                else f.fail("modifiers", "expected command, shift, capsLock, option or control");
            }
        if (key && *key != "escape" && *key != "w" && *key != "q") f.fail("key", "expected escape, w or q");
        if (!ctx || !key || !f.ok()) return;
        auto* hotKeys = dynamic_cast<platform::sim::SimHotKeys*>(platform::HotKeys::installed());
        if (!hotKeys) return;
        const auto codes = QuickKeyCodes::shared().lookup();
        const int code = *key == "escape" ? QuickKeyCodes::kEscape : *key == "w" ? codes.w : codes.q;
        const bool taken = hotKeys->press(static_cast<std::uint32_t>(code), bits);
        ctx->log.record("quickKey", {{"key", *key}, {"handled", taken}});
    });
}

}  // namespace quillmar
