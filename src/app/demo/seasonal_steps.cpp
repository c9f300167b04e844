#include "app/demo/seasonal_steps.h"

#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "platform/app_window_list.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_user_feedback.h"
#include "runtime/main_loop.h"
#include "runtime/subscription.h"
#include "runtime/world.h"
#include "seasonal/about_identity_card_view.h"
#include "seasonal/artisan_craft_state.h"
#include "seasonal/artisan_window_spectacle_host_view.h"
#include "settings/switcher_settings.h"
#include "ui/hosting_view.h"
#include "ui/shape.h"
#include "ui/stack_views.h"
#include "ui/text_view.h"

namespace quillmar {

namespace {

using platform::sim::Need;
using platform::sim::ScenarioFields;
using platform::sim::StepContext;

constexpr double kWindowWidth = 480;
constexpr double kWindowHeight = 200;

// The settings window on the About tab, as far as the card needs one: a title band, the card at
// (16, 83) and the window-wide spectacle over everything.
struct DemoAboutWindowView {
    bool isDark = false;

    ui::View body() const {
        const gfx::Color background = isDark ? gfx::Color(0.13, 0.13, 0.15) : gfx::Color(0.94, 0.94, 0.95);
        const ui::View header =
            ui::VStack(ui::HorizontalAlignment::leading, 4,
                       {ui::Text("Quillmar Settings").font(gfx::Font::system(13, gfx::FontWeight::semibold)),
                        ui::Text("About").font(gfx::Font::system(11)).foregroundStyle(ui::ShapeStyle::secondary())})
                .padding(EdgeInsets{24, 16, 0, 16})
                .frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .minHeight = 83, .maxHeight = 83,
                                         .alignment = ui::Alignment::topLeading()});
        const ui::View content =
            ui::VStack(ui::HorizontalAlignment::leading, 0,
                       {header, ui::View(AboutIdentityCardView{SettingsPalette(isDark)}).padding(ui::Edges::horizontal(), 16),
                        ui::Spacer()});
        return ui::ZStack(ui::Alignment::topLeading(),
                          {ui::Rectangle().fill(background), content, ArtisanWindowSpectacleHostView{isDark}})
            .coordinateSpace("settingsWindowSpace");
    }
    friend bool operator==(const DemoAboutWindowView&, const DemoAboutWindowView&) = default;
};

// The open window: its view, where it sits on the screen, and what the run logs about it.
struct DemoAboutWindow {
    std::unique_ptr<ui::HostingView> host;
    Point topLeft{520, 760};  // global, bottom-left origin
    bool isDark = false;
    runtime::SubscriptionBag bag;

    Rect frame() const { return {topLeft.x, topLeft.y - kWindowHeight, kWindowWidth, kWindowHeight}; }
    void show(bool dark) {
        isDark = dark;
        ui::Environment env = host->environment();
        env.colorScheme = dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
        host->setEnvironment(env);
        host->setRootView(DemoAboutWindowView{dark});
        host->layoutIfNeeded();
    }
};

// The window list the craft state samples the pointer in: the one demo window, key, with the
// simulated desktop's pointer.
class DemoWindowList final : public platform::AppWindowList {
public:
    std::vector<platform::AppWindowState> windows() const override {
        auto* window = runtime::World::find<DemoAboutWindow>();
        if (!window || !window->host) return {};
        const Rect f = window->frame();
        const Point pointer = platform::sim::SimDesktop::shared().pointer();
        return {{f, true, true, Size{f.width, f.height}, Point{pointer.x - f.x, pointer.y - f.y}}};
    }
};

DemoAboutWindow* openWindow() {
    auto* window = runtime::World::find<DemoAboutWindow>();
    return window && window->host ? window : nullptr;
}

std::optional<Point> centerOf(DemoAboutWindow& window, const char* name) {
    const auto frame = window.host->frame(name);
    if (!frame) return std::nullopt;
    return Point{frame->x + frame->width / 2, frame->y + frame->height / 2};
}

void logState(StepContext& ctx, const std::string& event) {
    auto& craft = ArtisanCraftState::shared();
    nlohmann::ordered_json f = nlohmann::ordered_json::object();
    f["tapCount"] = craft.iconTapCount;
    f["burstLevel"] = craft.tapBurstLevel.get();
    if (const auto& egg = craft.activeEasterEgg.get()) f["egg"] = egg->badgeTitle;
    if (const auto p = craft.dissolveProgress.get()) f["dissolve"] = *p;
    ctx.log.record(event, f);
}

void tap(StepContext& ctx, const char* target, const std::optional<std::int64_t>& times,
         const std::optional<double>& interval) {
    auto* window = openWindow();
    if (!window) {
        ctx.log.record("skipped", {{"reason", "the About window is not open"}});
        return;
    }
    const std::int64_t n = times.value_or(1);
    for (std::int64_t i = 0; i < n; ++i) {
        if (i > 0) runtime::MainLoop::main().advance(interval.value_or(0.3));
        const auto at = centerOf(*window, target);
        if (!at) {
            ctx.log.record("skipped", {{"reason", std::string("nothing named ") + target}});
            return;
        }
        window->host->click(*at);
        runtime::MainLoop::main().runUntilIdle();
        logState(ctx, target == std::string("aboutCardIcon") ? "aboutIconTap" : "aboutEmblemTap");
    }
}

}  // namespace

void registerSeasonalSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerStep("openAboutCard", [](ScenarioFields& f, StepContext* ctx) {
        auto at = f.point("at", Need::optional);
        auto dark = f.boolean("dark", Need::optional);
        if (!ctx) return;
        // The objects the window observes exist before it, so they outlive it when the world ends.
        SwitcherSettings::shared();
        ArtisanCraftState::shared();
        PointerWake::shared();
        AboutCardHost::shared();
        if (!platform::Haptics::installed()) platform::sim::SimHaptics::install();
        if (!platform::AppWindowList::installed())
            runtime::World::install<platform::AppWindowList>(std::make_unique<DemoWindowList>());
        auto& window = runtime::World::shared<DemoAboutWindow>();
        if (at) window.topLeft = *at;
        auto& host = AboutCardHost::shared();
        host.isSettingsWindowVisible = [] { return openWindow() != nullptr; };
        host.isAboutTabActive = [] { return openWindow() != nullptr; };
        auto& log = ctx->log;
        window.bag = {};
        ArtisanCraftState::shared()
            .activeEasterEgg.publisher()
            .dropFirst()
            .sink([&log](const std::optional<SeasonalEasterEgg>& egg) {
                log.record("easterEgg", {{"shown", egg ? egg->badgeTitle : std::string()}});
            })
            .store(window.bag);
        window.host = std::make_unique<ui::HostingView>(ui::View(), Size{kWindowWidth, kWindowHeight});
        window.show(dark.value_or(false));
        runtime::MainLoop::main().runUntilIdle();
        logState(*ctx, "aboutCardOpened");
    });
    registry.registerStep("closeAboutCard", [](ScenarioFields&, StepContext* ctx) {
        if (!ctx) return;
        auto* window = openWindow();
        if (!window) return;
        window->host.reset();
        auto& craft = ArtisanCraftState::shared();
        craft.stopHint();
        craft.stopTapBurst();
        craft.stopDissolve();
        runtime::MainLoop::main().runUntilIdle();
        logState(*ctx, "aboutCardClosed");
    });
    registry.registerStep("tapAboutIcon", [](ScenarioFields& f, StepContext* ctx) {
        auto times = f.integer("times", Need::optional, 1, 40);
        auto interval = f.number("interval", Need::optional, 0, 10);
        if (!ctx) return;
        tap(*ctx, "aboutCardIcon", times, interval);
    });
    registry.registerStep("tapAboutEmblem", [](ScenarioFields& f, StepContext* ctx) {
        auto times = f.integer("times", Need::optional, 1, 40);
        auto interval = f.number("interval", Need::optional, 0, 10);
        if (!ctx) return;
        tap(*ctx, "aboutCardEmblem", times, interval);
    });
    registry.registerStep("moveAboutPointer", [](ScenarioFields& f, StepContext* ctx) {
        auto from = f.point("from");
        auto to = f.point("to");
        auto seconds = f.number("seconds", Need::optional, 0, 60);
        if (!ctx || !from || !to) return;
        auto& window = runtime::World::shared<DemoAboutWindow>();
        const Rect frame = window.frame();
        const double total = seconds.value_or(0.5);
        const int steps = std::max(1, static_cast<int>(total * 60));
        for (int i = 0; i <= steps; ++i) {
            const double k = static_cast<double>(i) / steps;
            const Point local{from->x + (to->x - from->x) * k, from->y + (to->y - from->y) * k};
            ctx->desktop.setPointer({frame.x + local.x, frame.y + frame.height - local.y});
            if (window.host) window.host->pointerMoved(local);
            if (i < steps) runtime::MainLoop::main().advance(total / steps);
        }
        const auto& wake = PointerWake::shared();
        ctx->log.record("aboutPointer", {{"at", {to->x, to->y}},
                                         {"sampled", wake.currentWindowCursor.has_value()},
                                         {"wakePuffs", wake.wakePuffs.size()}});
    });
    registry.registerStep("aboutQAMode", [](ScenarioFields& f, StepContext* ctx) {
        auto on = f.boolean("on");
        if (!ctx || !on) return;
        SwitcherSettings::shared().setQAMode(*on);
        runtime::MainLoop::main().runUntilIdle();
        logState(*ctx, *on ? "qaModeOn" : "qaModeOff");
    });
    registry.registerStep("clickAboutQABadge", [](ScenarioFields&, StepContext* ctx) {
        if (!ctx) return;
        tap(*ctx, "aboutCardQABadge", 1, 0);
    });
    registry.registerStep("snapshotAbout", [](ScenarioFields& f, StepContext* ctx) {
        auto file = f.string("file");
        auto caption = f.string("caption", Need::optional);
        auto dark = f.boolean("dark", Need::optional);
        auto scale = f.number("scale", Need::optional, 0.5, 4);
        if (!ctx || !file) return;
        const std::string what = caption.value_or("The About card");
        auto* window = openWindow();
        if (!window) {
            ctx->pictureWritten(*file, what, false, "the About window is not open");
            return;
        }
        const bool wasDark = window->isDark;
        if (dark && *dark != wasDark) window->show(*dark);
        std::string error;
        const bool ok = window->host->writePng(ctx->outputPath(*file).string(), scale.value_or(2.0), std::nullopt, &error);
        if (dark && *dark != wasDark) window->show(wasDark);
        nlohmann::ordered_json fields = {{"file", *file}, {"written", ok}};
        if (auto p = ArtisanCraftState::shared().dissolveProgress.get()) fields["dissolve"] = *p;
        if (auto* haptics = dynamic_cast<platform::sim::SimHaptics*>(platform::Haptics::installed()))
            fields["haptics"] = haptics->patterns().size();
        ctx->log.record("aboutSnapshot", fields);
        ctx->pictureWritten(*file, what, ok, error);
    });
}

}  // namespace quillmar
