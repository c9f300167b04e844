#include "app/demo/festive_steps.h"

#include <algorithm>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "festive_hud/festive_art_table.h"
#include "festive_hud/hud_christmas_perimeter_canvas_view.h"
#include "festive_hud/hud_festive_overlay_view.h"
#include "festive_hud/hud_festive_state.h"
#include "gfx/render_target.h"
#include "localization/app_language.h"
#include "platform/accessibility_display_options.h"
#include "platform/sim/event_log.h"
#include "platform/sim/scenario_loader.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_preferred_languages.h"
#include "runtime/subscription.h"
#include "runtime/wall_clock.h"
#include "settings/switcher_settings.h"
#include "runtime/world.h"
#include "switcher/hud_background.h"
#include "switcher/switcher_hud_view.h"
#include "ui/hosting_view.h"
#include "ui/stack_views.h"

namespace quillmar {

namespace {

using platform::sim::Need;
using platform::sim::ScenarioFields;
using platform::sim::StepContext;

struct FestiveDemoObservations {
    runtime::SubscriptionBag bag;
    std::optional<HUDFestiveTheme> flying;
};

const char* themeName(HUDFestiveTheme theme) {
    switch (theme) {
        case HUDFestiveTheme::stPatricks: return "stPatricks";
        case HUDFestiveTheme::easter: return "easter";
        case HUDFestiveTheme::fireworks: return "fireworks";
        case HUDFestiveTheme::halloween: return "halloween";
        case HUDFestiveTheme::harvest: return "harvest";
        case HUDFestiveTheme::christmas: return "christmas";
        case HUDFestiveTheme::newYear: return "newYear";
        case HUDFestiveTheme::lunarNewYear: return "lunarNewYear";
        case HUDFestiveTheme::midAutumn: return "midAutumn";
        case HUDFestiveTheme::oshogatsu: return "oshogatsu";
        case HUDFestiveTheme::seollal: return "seollal";
    }
    return "unknown";
}

nlohmann::ordered_json themeField(std::optional<HUDFestiveTheme> theme) {
    return theme ? nlohmann::ordered_json(themeName(*theme)) : nlohmann::ordered_json(nullptr);
}

}  // namespace

void startFestiveDemo(StepContext& ctx) {
    auto& festive = HUDFestiveState::shared();
    // The app seeds its particles from the system's entropy; a scenario is a record that must
    // come out the same on every run, so its particles follow one fixed seed.
    festive.seedRandom(0x5eed);
    auto& log = ctx.log;
    auto& observations = runtime::World::shared<FestiveDemoObservations>();
    festive.isChristmasPerimeterVisible.publisher()
        .dropFirst()
        .sink([&log](const bool& visible) { log.record("christmasPerimeter", {{"visible", visible}}); })
        .store(observations.bag);
    // A burst starts the festival flying; the step that removes the last particle ends it.
    festive.frame.publisher()
        .sink([&log, &festive, &observations](const std::int64_t&) {
            const auto active = festive.activeTheme();
            if (active == observations.flying) return;
            if (active)
                log.record("festiveBurst", {{"festival", themeName(*active)}, {"particles", festive.particles().size()}});
            else
                log.record("festiveParticlesGone", {{"festival", themeField(observations.flying)}});
            observations.flying = active;
        })
        .store(observations.bag);
}

namespace {

void festiveDayStep(ScenarioFields& f, StepContext* ctx) {
    auto date = f.string("date");
    auto language = f.string("language");
    auto zone = f.string("timeZone", Need::optional);
    if (zone && !runtime::WallClock::isKnownTimeZone(*zone))
        f.fail("timeZone", "unknown time zone " + ScenarioFields::quoted(*zone));
    auto& clock = runtime::WallClock::shared();
    std::optional<double> instant;
    if (date && f.ok()) {
        instant = platform::sim::ScenarioLoader::parseLocalDate(*date, zone.value_or(clock.timeZone()));
        if (!instant) f.fail("date", platform::sim::ScenarioLoader::dateProblem(*date));
    }
    if (!ctx || !instant || !language || !f.ok()) return;
    if (zone) clock.setTimeZone(*zone);
    clock.setVirtualNow(*instant);
    ctx->desktop.setPreferredLanguages({*language});
    platform::sim::SimPreferredLanguages::install(ctx->desktop.preferredLanguages());
    AppLanguage::chooseAgain();
    const auto& festive = HUDFestiveState::shared();
    ctx->log.record("festiveDay", {{"date", *date},
                                   {"language", std::string(AppLanguage::current().rawValue())},
                                   {"festival", themeField(festive.resolveFestiveTheme())},
                                   {"christmasPerimeterDay", festive.isChristmasPerimeterDayNow()}});
}

void reduceMotionStep(ScenarioFields& f, StepContext* ctx) {
    auto on = f.boolean("on");
    if (!ctx || !on) return;
    platform::AccessibilityDisplayOptions::shared().setReduceMotion(*on);
    ctx->log.record("reduceMotion", {{"on", *on}});
}

void hudAppearanceStep(ScenarioFields& f, StepContext* ctx) {
    auto name = f.string("style");
    const auto style = name ? fromRawValue<HUDAppearanceStyle>(*name) : std::nullopt;
    if (name && !style) f.fail("style", "expected darkGlass, solidDark, lightGlass or adaptive");
    if (!ctx || !style) return;
    SwitcherSettings::shared().hudAppearance = *style;
    ctx->log.record("hudAppearance", {{"style", *name}});
}

void qaModeStep(ScenarioFields& f, StepContext* ctx) {
    auto on = f.boolean("on");
    if (!ctx || !on) return;
    SwitcherSettings::shared().setQAMode(*on);
    ctx->log.record("qaMode", {{"on", *on}, {"festival", themeField(HUDFestiveState::shared().resolveFestiveTheme())}});
}

void snapshotFestiveArtStep(ScenarioFields& f, StepContext* ctx) {
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    const bool dark = f.boolean("dark", Need::optional).value_or(true);
    const double size = f.number("size", Need::optional, 4, 80).value_or(30);
    const double scale = f.number("scale", Need::optional, 0.5, 4).value_or(2);
    if (!ctx || !file) return;
    // One row per festival in raw-value order; each kind drawn twice, with a low and a high
    // seed (the seed picks colours and variants), at mid-life so that nothing is faded.
    const double cell = size * 1.7;
    std::size_t columns = 0;
    for (auto theme : kAllHUDFestiveThemes) columns = std::max(columns, 2 * festiveKindSpecs(theme).size());
    const gfx::Size sheet{cell * static_cast<double>(columns), cell * static_cast<double>(kAllHUDFestiveThemes.size())};
    gfx::RenderTarget target(sheet, scale);
    auto c = target.context();
    c.fill(gfx::Path::rect({0, 0, sheet.width, sheet.height}),
           dark ? gfx::Color(0.17, 0.17, 0.19) : gfx::Color(0.95, 0.95, 0.96));
    for (std::size_t row = 0; row < kAllHUDFestiveThemes.size(); ++row) {
        const auto theme = kAllHUDFestiveThemes[row];
        std::vector<HUDFestiveParticle> particles;
        const auto kinds = festiveKindSpecs(theme).size();
        for (std::size_t k = 0; k < kinds; ++k)
            for (int variant = 0; variant < 2; ++variant) {
                HUDFestiveParticle p;
                p.kind = static_cast<int>(k);
                p.seed = variant == 0 ? 0.2 : 0.8;
                p.size = size;
                p.age = 0.5;
                p.life = 2.0;
                p.vx = 160;
                p.vy = -60;
                p.x = cell * (2 * static_cast<double>(k) + variant + 0.5);
                p.y = cell * (static_cast<double>(row) + 0.5);
                particles.push_back(p);
            }
        drawFestiveParticles(c, particles, theme, dark);
    }
    ctx->writePicture(
        "festiveArtSheet", *file, caption.value_or("Every festival's particle kinds"),
        [&](const std::string& path, std::string* error) { return target.writePng(path, error); },
        {{"dark", dark}}, target.scale());
}

void snapshotChristmasPerimeterStep(ScenarioFields& f, StepContext* ctx) {
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    const bool dark = f.boolean("dark", Need::optional).value_or(true);
    const double width = f.number("width", Need::optional, 40, 2000).value_or(520);
    const double height = f.number("height", Need::optional, 40, 2000).value_or(124);
    const double radius = f.number("cornerRadius", Need::optional, 0, 200).value_or(22);
    const double scale = f.number("scale", Need::optional, 0.5, 4).value_or(2);
    if (!ctx || !file) return;
    const HUDAppearanceStyle style = dark ? HUDAppearanceStyle::darkGlass : HUDAppearanceStyle::lightGlass;
    ui::HostingView host({}, {width, height});
    const auto plate = HUDBackground::make(radius, style, !dark, host.environment());
    host.setRootView(ui::ZStack({ui::View(plate), ui::View(HUDChristmasPerimeterCanvasView{dark, radius})})
                         .frame(width, height));
    // The desk behind the plate: a mid grey that shows both plates' edges.
    const nlohmann::ordered_json fields = {{"dark", dark},
                                           {"glowSamples", HUDFestiveState::shared().christmasGlowTrail().size()}};
    ctx->writePicture(
        "christmasPerimeterSnapshot", *file,
        caption.value_or(dark ? "The Christmas perimeter, dark" : "The Christmas perimeter, light"),
        [&](const std::string& path, std::string* error) {
            return host.writePng(path, scale, dark ? ui::Color(0.36, 0.38, 0.42) : ui::Color(0.78, 0.8, 0.84),
                                 error);
        },
        fields, scale);
}

constexpr platform::sim::NamedStep kFestiveSteps[] = {
    {"festiveDay", festiveDayStep},
    {"reduceMotion", reduceMotionStep},
    {"hudAppearance", hudAppearanceStep},
    {"qaMode", qaModeStep},
    {"snapshotFestiveArt", snapshotFestiveArtStep},
    {"snapshotChristmasPerimeter", snapshotChristmasPerimeterStep},
};

}  // namespace

void registerFestiveSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerSteps(kFestiveSteps);
}

}  // namespace quillmar
