#include "app/demo/settings_stage_steps.h"

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/sim/event_log.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "settings_ui/app_quit_mock_stage.h"
#include "settings_ui/hardware_stage_state.h"
#include "settings_ui/keycap_badge.h"
#include "settings_ui/minimized_bar_mock_stage.h"
#include "settings_ui/settings_ui_state.h"
#include "settings_ui/window_close_mock_stage.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "ui/ui.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
using platform::sim::Need;
using platform::sim::ScenarioFields;
using platform::sim::StepContext;

ui::Color windowBackground(bool dark) { return dark ? ui::Color::rgb(0.16, 0.16, 0.18) : ui::Color::rgb(0.93, 0.93, 0.94); }

std::optional<bool> readDark(ScenarioFields& f) {
    auto text = f.string("appearance", Need::optional);
    if (!text) return std::nullopt;
    if (*text != "light" && *text != "dark") f.fail("appearance", "expected light or dark");
    return *text == "dark";
}

void applyAppearance(ui::HostingView& host, bool dark) {
    auto env = host.environment();
    env.colorScheme = dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
    host.setEnvironment(env);
}

void settle(double seconds) { runtime::MainLoop::main().advance(seconds); }

void writePicture(StepContext& ctx, ui::HostingView& host, const std::string& file, const std::string& caption,
                  double scale, bool dark, nlohmann::ordered_json fields) {
    ctx.writePicture(
        "settingsStageSnapshot", file, caption,
        [&](const std::string& path, std::string* error) {
            return host.writePng(path, scale, windowBackground(dark), error);
        },
        fields, scale);
}

std::optional<ShortcutHoverKind> readHovered(ScenarioFields& f) {
    auto text = f.string("hovered", Need::optional);
    if (!text || *text == "none") return std::nullopt;
    if (*text == "closeWindow") return ShortcutHoverKind::closeWindow;
    if (*text == "quitApp") return ShortcutHoverKind::quitApp;
    if (*text == "minimizedBar") return ShortcutHoverKind::minimizedBar;
    f.fail("hovered", "expected none, closeWindow, quitApp or minimizedBar");
    return std::nullopt;
}

// The Shortcuts tab's illustrations side by side, as its cards lay them out.
struct ShortcutStagesBoard {
    SettingsPalette palette;
    std::vector<SwitchTarget> targets;
    std::optional<ShortcutHoverKind> hovered;

    ui::View body() const {
        const auto icon = targets.empty() ? platform::AppIconRef{} : targets.front().appIcon;
        const ui::View close = ui::View(WindowCloseMockStage{palette, hovered == ShortcutHoverKind::closeWindow})
                                   .frame(ui::FlexibleFrame{.maxWidth = ui::infinity})
                                   .frame(std::nullopt, 100);
        const ui::View quit = ui::View(AppQuitMockStage{palette, icon, hovered == ShortcutHoverKind::quitApp})
                                  .frame(ui::FlexibleFrame{.maxWidth = ui::infinity})
                                  .frame(std::nullopt, 100);
        const ui::View parked =
            ui::View(MinimizedBarMockStage{palette, targets, hovered == ShortcutHoverKind::minimizedBar}).frame(172, 58);
        const ui::View keys = ui::HStack(ui::VerticalAlignment::center, 3,
                                         {KeycapBadge{"W", std::nullopt, 24, palette},
                                          KeycapBadge{"Q", std::nullopt, 24, palette},
                                          KeycapBadge{"esc", std::nullopt, 34, palette},
                                          KeycapBadge{std::nullopt, "xmark", 24, palette}});
        return ui::VStack(ui::HorizontalAlignment::center, 12,
                          {ui::HStack(ui::VerticalAlignment::center, 12, {close, quit}),
                           ui::HStack(ui::VerticalAlignment::center, 20, {parked, keys})})
            .padding(14);
    }
};

std::vector<SwitchTarget> previewTargets() {
    auto list = WindowManager::shared().fetchTargets(SwitcherSettings::shared().switcherMode);
    if (list.size() > SettingsUIState::maxPreviewTargets)
        list.erase(list.begin() + SettingsUIState::maxPreviewTargets, list.end());
    return list;
}

nlohmann::ordered_json stageFacts() {
    auto& stage = HardwareStageState::shared();
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    j["touches"] = TrackpadTouchMonitor::shared().telemetry.liveTouches->size();
    j["zen"] = stage.isFiveFingerZen.get();
    j["wavePhase"] = stage.zenSandWavePhase.get();
    j["hovered"] = stage.hoverRatioX->has_value();
    j["simulatedIndex"] = stage.simulatedIndex.get();
    return j;
}


void stageSettingsStep(ScenarioFields& f, StepContext* ctx) {
    auto style = f.string("switchBarStyle", Need::optional);
    auto trigger = f.string("triggerStyle", Need::optional);
    auto fingers = f.integer("fingerCount", Need::optional, 0, 4);
    auto sensitivity = f.number("sensitivity", Need::optional, 0.3, 3.0);
    std::optional<SwitchBarStyle> barStyle;
    std::optional<TriggerStyle> triggerStyle;
    if (style && !(barStyle = fromRawValue<SwitchBarStyle>(*style))) f.fail("switchBarStyle", "expected horizontal or vertical");
    if (trigger && !(triggerStyle = fromRawValue<TriggerStyle>(*trigger)))
        f.fail("triggerStyle", "expected holdAndSlide, immediateHorizontalSlide or topEdgeTwoFinger");
    if (!ctx || !f.ok()) return;
    auto& settings = SwitcherSettings::shared();
    if (barStyle) settings.switchBarStyle = *barStyle;
    if (triggerStyle) settings.triggerStyle = *triggerStyle;
    if (fingers) settings.fingerCount = *fingers;
    if (sensitivity) settings.sensitivity = *sensitivity;
    settle(0.5);
    ctx->log.record("stageSettings", {{"switchBarStyle", std::string(rawValue(settings.switchBarStyle.get()))},
                                      {"triggerStyle", std::string(rawValue(settings.triggerStyle.get()))},
                                      {"fingerCount", settings.fingerCount.get()},
                                      {"sensitivity", settings.sensitivity.get()}});
}

// What the stage shows now, and whether live telemetry runs.
void logHardwareStageStep(ScenarioFields&, StepContext* ctx) {
    if (!ctx) return;
    auto facts = stageFacts();
    facts["liveTelemetry"] = TrackpadTouchMonitor::shared().gateFlags().liveTelemetryEnabled;
    facts["tab"] = std::string(SettingsUIState::shared().activeTab->rawValue());
    ctx->log.record("hardwareStage", facts);
}

void snapshotShortcutStagesStep(ScenarioFields& f, StepContext* ctx) {
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    auto dark = readDark(f);
    auto hovered = readHovered(f);
    auto scale = f.number("scale", Need::optional, 0.5, 4);
    if (!ctx || !file || !f.ok()) return;
    const bool isDark = dark.value_or(false);
    ui::HostingView host(ShortcutStagesBoard{SettingsPalette(isDark), previewTargets(), hovered}, {560, 224});
    applyAppearance(host, isDark);
    host.layoutIfNeeded();
    nlohmann::ordered_json facts = {{"hovered", hovered ? static_cast<int>(*hovered) : -1}, {"dark", isDark}};
    writePicture(*ctx, host, *file, caption.value_or("The Shortcuts tab's illustrations"), scale.value_or(2.0), isDark,
                 facts);
}

constexpr platform::sim::NamedStep kSettingsStageSteps[] = {
    {"stageSettings", stageSettingsStep},
    {"logHardwareStage", logHardwareStageStep},
    {"snapshotShortcutStages", snapshotShortcutStagesStep},
};

}  // namespace

void registerSettingsStageSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerSteps(kSettingsStageSteps);
}

}  // namespace quillmar
