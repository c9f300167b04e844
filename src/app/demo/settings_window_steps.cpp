#include "app/demo/settings_window_steps.h"

#include <nlohmann/json.hpp>

#include "app/demo/pointer_arrow.h"
#include "app/settings_window.h"
#include "localization/app_language.h"
#include "platform/event_tap.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_preferred_languages.h"
#include "platform/sim/sim_titled_windows.h"
#include "platform/sim/sim_user_feedback.h"
#include "runtime/world.h"
#include "settings_ui/settings_ui_state.h"
#include "settings_ui/settings_view.h"

namespace quillmar {

namespace {
using platform::sim::Need;
using platform::sim::ScenarioFields;
using platform::sim::StepContext;

ui::HostingView* openHost(StepContext& ctx, const char* what) {
    auto* host = SettingsWindow::shared().contentView();
    if (!host) ctx.log.record("settingsStepSkipped", {{"step", what}, {"reason", "the settings window is not open"}});
    return host;
}

// A point given either as "at" in window points or as a named control with an optional unit
// point on it ("on", default its centre).
struct Target {
    std::optional<ui::Point> at;
    std::optional<std::string> control;
    std::optional<ui::Point> on;

    static Target read(ScenarioFields& f, const char* pointKey, const char* unitKey) {
        Target t{f.point(pointKey, Need::optional), f.string("control", Need::optional), f.point(unitKey, Need::optional)};
        if (!t.at && !t.control) f.fail(pointKey, std::string("expected \"") + pointKey + "\" or \"control\"");
        return t;
    }
    std::optional<ui::Point> resolve(ui::HostingView& host, StepContext& ctx) const {
        if (at) return at;
        auto frame = host.frame(*control);
        if (!frame) {
            ctx.log.record("settingsControlMissing", {{"control", *control}});
            return std::nullopt;
        }
        const ui::Point unit = on.value_or(ui::Point{0.5, 0.5});
        return ui::Point{frame->x + frame->width * unit.x, frame->y + frame->height * unit.y};
    }
};

nlohmann::ordered_json pointJson(ui::Point p) { return nlohmann::ordered_json::array({p.x, p.y}); }

// Where a step last put the pointer in the window (a hover, a click, the end of a drag), until it
// leaves or the window closes; the pictures draw it there.
struct SettingsPointerSpot {
    std::optional<ui::Point> at;
};

void placePointer(std::optional<ui::Point> at) { runtime::World::shared<SettingsPointerSpot>().at = at; }


void openSettingsStep(ScenarioFields&, StepContext* ctx) {
    if (!ctx) return;
    if (!platform::TitledWindows::installed()) platform::sim::SimTitledWindows::install();
    if (!platform::Haptics::installed()) platform::sim::SimHaptics::install();
    auto& host = SettingsWindow::shared();
    host.open();
    nlohmann::ordered_json f = nlohmann::ordered_json::object();
    if (auto* w = host.window()) {
        const auto r = w->frame();
        f["frame"] = {r.x, r.y, r.width, r.height};
        f["key"] = w->isKeyWindow();
    }
    f["tab"] = std::string(SettingsUIState::shared().activeTab->rawValue());
    ctx->log.record("settingsOpened", f);
}

void closeSettingsStep(ScenarioFields&, StepContext* ctx) {
    if (!ctx) return;
    SettingsWindow::shared().closeFromShortcut();
    placePointer(std::nullopt);
    ctx->log.record("settingsClosed", {{"open", SettingsWindow::shared().isVisible()}});
}

void selectSettingsTabStep(ScenarioFields& f, StepContext* ctx) {
    auto tab = f.string("tab");
    auto tap = f.boolean("tap", Need::optional);
    if (!ctx || !tab) return;
    if (tap.value_or(false)) {
        auto* host = openHost(*ctx, "selectSettingsTab");
        const auto frame = host ? host->frame("tab." + *tab) : std::nullopt;
        if (frame) host->click(frame->center());
        else ctx->log.record("settingsControlMissing", {{"control", "tab." + *tab}});
    } else {
        SettingsView::selectTab(*tab);
    }
    ctx->log.record("settingsTab", {{"tab", std::string(SettingsUIState::shared().activeTab->rawValue())}});
}

void settingsClickStep(ScenarioFields& f, StepContext* ctx) {
    auto target = Target::read(f, "at", "on");
    if (!ctx || !f.ok()) return;
    auto* host = openHost(*ctx, "settingsClick");
    if (!host) return;
    if (auto p = target.resolve(*host, *ctx)) {
        const auto hit = host->nameAt(*p);
        host->click(*p);
        placePointer(*p);
        ctx->log.record("settingsClick", {{"at", pointJson(*p)}, {"control", hit.value_or("")}});
    }
}

void settingsHoverStep(ScenarioFields& f, StepContext* ctx) {
    auto exit = f.boolean("exit", Need::optional);
    Target target;
    if (!exit.value_or(false)) target = Target::read(f, "at", "on");
    if (!ctx || !f.ok()) return;
    auto* host = openHost(*ctx, "settingsHover");
    if (!host) return;
    if (exit.value_or(false)) {
        host->pointerExited();
        placePointer(std::nullopt);
        ctx->log.record("settingsHover", {{"exit", true}});
    } else if (auto p = target.resolve(*host, *ctx)) {
        host->pointerMoved(*p);
        placePointer(*p);
        ctx->log.record("settingsHover", {{"at", pointJson(*p)}});
    }
}

void settingsDragStep(ScenarioFields& f, StepContext* ctx) {
    auto control = f.string("control", Need::optional);
    auto from = f.point(control ? "from" : "fromPoint");
    auto to = f.point(control ? "to" : "toPoint");
    auto steps = f.integer("steps", Need::optional, 1, 240);
    if (!ctx || !from || !to || !f.ok()) return;
    auto* host = openHost(*ctx, "settingsDrag");
    if (!host) return;
    ui::Point a = *from, b = *to;
    if (control) {
        Target ta{std::nullopt, control, from}, tb{std::nullopt, control, to};
        auto pa = ta.resolve(*host, *ctx), pb = tb.resolve(*host, *ctx);
        if (!pa || !pb) return;
        a = *pa;
        b = *pb;
    }
    host->drag(a, b, static_cast<int>(steps.value_or(12)));
    placePointer(b);
    ctx->log.record("settingsDrag", {{"from", pointJson(a)}, {"to", pointJson(b)}});
}

void settingsKeyStep(ScenarioFields& f, StepContext* ctx) {
    auto characters = f.string("characters", Need::optional);
    auto keyCode = f.integer("keyCode", Need::optional, 0, 255);
    auto modifiers = f.stringArray("modifiers", Need::optional);
    std::uint64_t bits = 0;
    if (modifiers)
        for (const auto& m : *modifiers) {
            namespace flags = platform::event_flags;
            if (m == "command") bits |= flags::command;
            else if (m == "shift") bits |= flags::shift;
            else if (m == "option") bits |= flags::alternate;
            else if (m == "control") bits |= flags::control;
            else if (m == "capsLock") bits |= flags::alphaShift;
            else f.fail("modifiers", "expected command, shift, option, control or capsLock");
        }
    if (!ctx || !f.ok()) return;
    auto* windows = dynamic_cast<platform::sim::SimTitledWindows*>(platform::TitledWindows::installed());
    const bool handled =
        windows && windows->pressKey({keyCode.value_or(-1), characters.value_or(""), bits});
    ctx->log.record("settingsKey", {{"characters", characters.value_or("")}, {"handled", handled},
                                    {"open", SettingsWindow::shared().isVisible()}});
}

void settingsAppearanceStep(ScenarioFields& f, StepContext* ctx) {
    auto scheme = f.string("scheme");
    if (scheme && *scheme != "light" && *scheme != "dark") f.fail("scheme", "expected light or dark");
    if (!ctx || !f.ok()) return;
    SettingsWindow::shared().setSystemColorScheme(*scheme == "dark" ? ui::ColorScheme::dark : ui::ColorScheme::light);
    ctx->log.record("settingsAppearance", {{"scheme", *scheme}});
}

void settingsLanguageStep(ScenarioFields& f, StepContext* ctx) {
    auto languages = f.stringArray("languages");
    if (!ctx || !languages) return;
    // The language is chosen once per run; the demo chooses again to show the same window in
    // another language, and rebuilds the open view so that every text is read anew.
    platform::sim::SimPreferredLanguages::install(*languages);
    AppLanguage::chooseAgain();
    SettingsWindow::shared().reloadContent();
    ctx->log.record("settingsLanguage", {{"language", std::string(AppLanguage::current().rawValue())}});
}

void snapshotSettingsStep(ScenarioFields& f, StepContext* ctx) {
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    auto scale = f.number("scale", Need::optional, 0.5, 4);
    if (!ctx || !file) return;
    const std::string what = caption.value_or("The settings window");
    auto* host = SettingsWindow::shared().contentView();
    if (!host) {
        ctx->pictureUnavailable("settingsSnapshot", *file, what, "the settings window is not open");
        return;
    }
    const double s = scale.value_or(2.0);
    const auto pointer = runtime::World::shared<SettingsPointerSpot>().at;
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
    if (pointer) fields["pointer"] = pointJson(*pointer);
    ctx->writePicture(
        "settingsSnapshot", *file, what,
        [&](const std::string& path, std::string* error) {
            return writeViewPicture(*host, path, s, std::nullopt, pointer, error);
        },
        fields, s);
}

constexpr platform::sim::NamedStep kSettingsWindowSteps[] = {
    {"openSettings", openSettingsStep},
    {"closeSettings", closeSettingsStep},
    {"selectSettingsTab", selectSettingsTabStep},
    {"settingsClick", settingsClickStep},
    {"settingsHover", settingsHoverStep},
    {"settingsDrag", settingsDragStep},
    {"settingsKey", settingsKeyStep},
    {"settingsAppearance", settingsAppearanceStep},
    {"settingsLanguage", settingsLanguageStep},
    {"snapshotSettings", snapshotSettingsStep},
};

}  // namespace

void registerSettingsWindowSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerSteps(kSettingsWindowSteps);
}

}  // namespace quillmar
