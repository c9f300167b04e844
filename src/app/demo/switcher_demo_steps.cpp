#include "app/demo/switcher_demo_steps.h"

#include <nlohmann/json.hpp>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/demo/desktop_picture.h"
#include "app/demo/generated_app_icons.h"
#include "gfx/cairo_backend.h"
#include "platform/accessibility_display_options.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_system_appearance.h"
#include "platform/sim/sim_hot_keys.h"
#include "platform/sim/sim_keyboard_layout.h"
#include "platform/sim/sim_panel_windows.h"
#include "platform/sim/sim_user_feedback.h"
#include "runtime/subscription.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
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

// A snapshot is a one-off: the buffers kept for the bar's frames (made again after it) are given
// back, and the heap pages they held go back to the system before the picture takes its own.
void releaseMemoryForPicture() {
    gfx::CairoBackend::releaseKeptBuffers();
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace

void installSwitcherServices() {
    if (!platform::PanelWindows::installed()) platform::sim::SimPanelWindows::install();
    if (!platform::HotKeys::installed()) platform::sim::SimHotKeys::install();
    if (!platform::Haptics::installed()) platform::sim::SimHaptics::install();
    if (!platform::AccessibilityAnnouncer::installed()) platform::sim::SimAccessibilityAnnouncer::install();
    if (!platform::KeyboardLayout::installed()) platform::sim::SimKeyboardLayout::install();
    if (!platform::SystemAppearance::installed()) platform::sim::SimSystemAppearance::install();
    if (auto* desktop = runtime::World::find<platform::sim::SimDesktop>()) GeneratedAppIcons::install(*desktop);
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

namespace {

void snapshotSwitchBarStep(ScenarioFields& f, StepContext* ctx) {
    auto file = f.string("file");
    auto scale = f.number("scale", Need::optional, 0.5, 4);
    auto caption = f.string("caption", Need::optional);
    if (!ctx || !file) return;
    const std::string what = caption.value_or("The Switch Bar");
    auto* controller = runtime::World::find<SwitcherController>();
    auto* panel = controller ? controller->panel() : nullptr;
    if (!panel || !panel->isVisible()) {
        ctx->pictureUnavailable("switchBarSnapshot", *file, what, "the Switch Bar is not shown");
        return;
    }
    const double s = scale.value_or(2.0);
    releaseMemoryForPicture();
    ctx->writePicture("switchBarSnapshot", *file, what,
                      [&](const std::string& path, std::string* error) { return panel->writePng(path, s, error); },
                      {}, s);
}

void snapshotScreenStep(ScenarioFields& f, StepContext* ctx) {
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    auto screenIndex = f.integer("screen", Need::optional, 0, 15);
    auto scale = f.number("scale", Need::optional, 0.5, 4);
    if (!ctx || !file) return;
    const std::string what = caption.value_or("The whole screen");
    const auto& screens = ctx->desktop.screens();
    std::optional<platform::Screen> screen;
    if (screenIndex) {
        if (static_cast<std::size_t>(*screenIndex) < screens.size()) screen = screens[static_cast<std::size_t>(*screenIndex)];
    } else {
        screen = SwitcherController::screenUnderMouse();
    }
    if (!screen) {
        ctx->pictureUnavailable("screenSnapshot", *file, what, "no such screen");
        return;
    }
    auto* controller = runtime::World::find<SwitcherController>();
    auto* panel = controller ? controller->panel() : nullptr;
    // The bar shows only on the screen its panel lies on.
    if (panel && !screen->frame.intersects(panel->frame())) panel = nullptr;
    const double s = scale.value_or(1.0);
    releaseMemoryForPicture();
    ctx->writePicture("screenSnapshot", *file, what,
                      [&](const std::string& path, std::string* error) {
                          return DesktopPicture::writePng(ctx->desktop, *screen, panel, s, path, error);
                      },
                      {{"screen", screen->name}, {"switchBar", panel != nullptr && panel->isVisible()}}, s);
}

void systemAppearanceStep(ScenarioFields& f, StepContext* ctx) {
    auto appearance = f.string("appearance");
    if (appearance && *appearance != "light" && *appearance != "dark") f.fail("appearance", "expected light or dark");
    if (!ctx || !appearance || !f.ok()) return;
    auto* sim = dynamic_cast<platform::sim::SimSystemAppearance*>(platform::SystemAppearance::installed());
    if (!sim) sim = &platform::sim::SimSystemAppearance::install();
    sim->setDark(*appearance == "dark");
    ctx->log.record("systemAppearance", {{"appearance", *appearance}});
}

void accessibilityDisplayStep(ScenarioFields& f, StepContext* ctx) {
    auto motion = f.boolean("reduceMotion", Need::optional);
    auto transparency = f.boolean("reduceTransparency", Need::optional);
    auto contrast = f.boolean("increaseContrast", Need::optional);
    if (!motion && !transparency && !contrast)
        f.failHere("set at least one of reduceMotion, reduceTransparency, increaseContrast");
    if (!ctx || !f.ok()) return;
    auto& options = platform::AccessibilityDisplayOptions::shared();
    if (motion) options.setReduceMotion(*motion);
    if (transparency) options.setReduceTransparency(*transparency);
    if (contrast) options.setIncreaseContrast(*contrast);
    ctx->log.record("accessibilityDisplay", {{"reduceMotion", options.shouldReduceMotion()},
                                             {"reduceTransparency", options.shouldReduceTransparency()},
                                             {"increaseContrast", options.shouldIncreaseContrast()}});
}

void switchBarSettingsStep(ScenarioFields& f, StepContext* ctx) {
    auto style = f.string("switchBarStyle", Need::optional);
    auto look = f.string("hudAppearance", Need::optional);
    auto sensitivity = f.number("sensitivity", Need::optional, 0.3, 3.0);
    if (style && !fromRawValue<SwitchBarStyle>(*style)) f.fail("switchBarStyle", "expected horizontal or vertical");
    if (look && !fromRawValue<HUDAppearanceStyle>(*look))
        f.fail("hudAppearance", "expected darkGlass, solidDark, lightGlass or adaptive");
    if (!ctx || !f.ok()) return;
    auto& settings = SwitcherSettings::shared();
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
    if (style) {
        settings.switchBarStyle = *fromRawValue<SwitchBarStyle>(*style);
        fields["switchBarStyle"] = *style;
    }
    if (look) {
        settings.hudAppearance = *fromRawValue<HUDAppearanceStyle>(*look);
        fields["hudAppearance"] = *look;
    }
    if (sensitivity) {
        settings.sensitivity = *sensitivity;
        fields["sensitivity"] = settings.sensitivity.get();
    }
    ctx->log.record("switchBarSettings", fields);
}

void previewSwitchBarStep(ScenarioFields& f, StepContext* ctx) {
    auto seconds = f.number("seconds", Need::optional, 0, 60);
    if (!ctx) return;
    SwitcherController::shared().presentPreviewHUD(seconds.value_or(2.5));
}

void dismissSwitchBarStep(ScenarioFields& f, StepContext* ctx) {
    auto immediate = f.boolean("immediate", Need::optional);
    if (!ctx) return;
    SwitcherController::shared().dismissHUD(immediate.value_or(false));
}

void pressQuickKeyStep(ScenarioFields& f, StepContext* ctx) {
    auto key = f.string("key");
    const std::uint32_t bits = f.flags("modifiers", {{"command", platform::hot_key_modifiers::command},
                                                     {"shift", platform::hot_key_modifiers::shift},
                                                     {"capsLock", platform::hot_key_modifiers::alphaLock},
                                                     {"option", platform::hot_key_modifiers::option},
                                                     {"control", platform::hot_key_modifiers::control}});
    if (key && *key != "escape" && *key != "w" && *key != "q") f.fail("key", "expected escape, w or q");
    if (!ctx || !key || !f.ok()) return;
    auto* hotKeys = dynamic_cast<platform::sim::SimHotKeys*>(platform::HotKeys::installed());
    if (!hotKeys) return;
    const auto codes = QuickKeyCodes::shared().lookup();
    const int code = *key == "escape" ? QuickKeyCodes::kEscape : *key == "w" ? codes.w : codes.q;
    const bool taken = hotKeys->press(static_cast<std::uint32_t>(code), bits);
    ctx->log.record("quickKey", {{"key", *key}, {"handled", taken}});
}

constexpr platform::sim::NamedStep kSwitcherSteps[] = {
    {"snapshotSwitchBar", snapshotSwitchBarStep},
    {"snapshotScreen", snapshotScreenStep},
    {"systemAppearance", systemAppearanceStep},
    {"accessibilityDisplay", accessibilityDisplayStep},
    {"switchBarSettings", switchBarSettingsStep},
    {"previewSwitchBar", previewSwitchBarStep},
    {"dismissSwitchBar", dismissSwitchBarStep},
    {"pressQuickKey", pressQuickKeyStep},
};

}  // namespace

void registerSwitcherSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerSteps(kSwitcherSteps);
}

}  // namespace quillmar
