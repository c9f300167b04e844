#include "app/demo/seasonal_steps.h"

#include <functional>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "app/demo/pointer_arrow.h"
#include "app/settings_window.h"
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

DemoAboutWindow* openWindow() {
    auto* window = runtime::World::find<DemoAboutWindow>();
    return window && window->host ? window : nullptr;
}

// Where the card is shown: the settings window on its About tab when it is open, else the
// stand-alone About window of this file.
struct AboutSurface {
    ui::HostingView* host = nullptr;
    Rect frame;  // global, bottom-left origin; the content fills it
    bool isSettingsWindow = false;
};

std::optional<AboutSurface> currentSurface() {
    if (auto* settings = runtime::World::find<SettingsWindow>();
        settings && settings->isVisible() && settings->contentView() && settings->window())
        return AboutSurface{settings->contentView(), settings->window()->frame(), true};
    if (auto* window = openWindow()) return AboutSurface{window->host.get(), window->frame(), false};
    return std::nullopt;
}

// The window list the craft state samples the pointer in: the open surface, key, with the
// simulated desktop's pointer.
class DemoWindowList final : public platform::AppWindowList {
public:
    std::vector<platform::AppWindowState> windows() const override {
        const auto surface = currentSurface();
        if (!surface) return {};
        const Rect f = surface->frame;
        const Size content = surface->host->size();
        const Point pointer = platform::sim::SimDesktop::shared().pointer();
        return {{f, true, true, content, Point{pointer.x - f.x, pointer.y - f.y}}};
    }
};

// Writes each egg that comes on show to the run's log (once per world).
struct SeasonalDemoLog {
    runtime::SubscriptionBag bag;
    bool connected = false;
};
void logEggs(StepContext& ctx) {
    auto& craft = ArtisanCraftState::shared();  // made before the log, so it outlives the subscription
    auto& demoLog = runtime::World::shared<SeasonalDemoLog>();
    if (demoLog.connected) return;
    demoLog.connected = true;
    auto& log = ctx.log;
    craft.activeEasterEgg.publisher()
        .dropFirst()
        .sink([&log](const std::optional<SeasonalEasterEgg>& egg) {
            log.record("easterEgg", {{"shown", egg ? egg->badgeTitle : std::string()}});
        })
        .store(demoLog.bag);
}

void installPointerWindows() {
    if (!platform::AppWindowList::installed())
        runtime::World::install<platform::AppWindowList>(std::make_unique<DemoWindowList>());
}

std::optional<Point> centerOf(ui::HostingView& host, const char* name) {
    const auto frame = host.frame(name);
    if (!frame) return std::nullopt;
    return Point{frame->x + frame->width / 2, frame->y + frame->height / 2};
}

// Where a step last put the pointer on the open surface, in its points: a tap's click or the end
// of a pointer move. The pictures draw it there, as the system would on screen.
struct AboutPointerSpot {
    std::optional<Point> at;
};

void placePointer(std::optional<Point> at) { runtime::World::shared<AboutPointerSpot>().at = at; }

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
    installPointerWindows();
    logEggs(ctx);
    const std::int64_t n = times.value_or(1);
    for (std::int64_t i = 0; i < n; ++i) {
        if (i > 0) runtime::MainLoop::main().advance(interval.value_or(0.3));
        const auto surface = currentSurface();
        const auto at = surface ? centerOf(*surface->host, target) : std::nullopt;
        if (!at) {
            ctx.log.record("skipped", {{"reason", std::string("no About card showing ") + target}});
            return;
        }
        surface->host->click(*at);
        placePointer(*at);
        runtime::MainLoop::main().runUntilIdle();
        logState(ctx, target == std::string("aboutCardIcon") ? "aboutIconTap" : "aboutEmblemTap");
    }
}


// The card and a margin around it, within the surface.
std::optional<Rect> cardCrop(ui::HostingView& host) {
    constexpr double kMargin = 8;
    const auto card = host.frame("aboutCard");
    if (!card) return std::nullopt;
    const Size size = host.size();
    const double x0 = std::max(0.0, card->x - kMargin), y0 = std::max(0.0, card->y - kMargin);
    const double x1 = std::min(size.width, card->x + card->width + kMargin);
    const double y1 = std::min(size.height, card->y + card->height + kMargin);
    if (x1 <= x0 || y1 <= y0) return std::nullopt;
    return Rect{x0, y0, x1 - x0, y1 - y0};
}

void openAboutCardStep(ScenarioFields& f, StepContext* ctx) {
    auto at = f.point("at", Need::optional);
    auto dark = f.boolean("dark", Need::optional);
    if (!ctx) return;
    // The objects the window observes exist before it, so they outlive it when the world ends.
    SwitcherSettings::shared();
    ArtisanCraftState::shared();
    PointerWake::shared();
    AboutCardHost::shared();
    if (!platform::Haptics::installed()) platform::sim::SimHaptics::install();
    installPointerWindows();
    auto& window = runtime::World::shared<DemoAboutWindow>();
    if (at) window.topLeft = *at;
    auto& host = AboutCardHost::shared();
    host.isSettingsWindowVisible = [] { return openWindow() != nullptr; };
    host.isAboutTabActive = [] { return openWindow() != nullptr; };
    logEggs(*ctx);
    window.host = std::make_unique<ui::HostingView>(ui::View(), Size{kWindowWidth, kWindowHeight});
    window.show(dark.value_or(false));
    runtime::MainLoop::main().runUntilIdle();
    logState(*ctx, "aboutCardOpened");
}

void closeAboutCardStep(ScenarioFields&, StepContext* ctx) {
    if (!ctx) return;
    auto* window = openWindow();
    if (!window) return;
    window->host.reset();
    placePointer(std::nullopt);
    auto& craft = ArtisanCraftState::shared();
    craft.stopHint();
    craft.stopTapBurst();
    craft.stopDissolve();
    runtime::MainLoop::main().runUntilIdle();
    logState(*ctx, "aboutCardClosed");
}

void tapAboutIconStep(ScenarioFields& f, StepContext* ctx) {
    auto times = f.integer("times", Need::optional, 1, 40);
    auto interval = f.number("interval", Need::optional, 0, 10);
    if (!ctx) return;
    tap(*ctx, "aboutCardIcon", times, interval);
}

void tapAboutEmblemStep(ScenarioFields& f, StepContext* ctx) {
    auto times = f.integer("times", Need::optional, 1, 40);
    auto interval = f.number("interval", Need::optional, 0, 10);
    if (!ctx) return;
    tap(*ctx, "aboutCardEmblem", times, interval);
}

void moveAboutPointerStep(ScenarioFields& f, StepContext* ctx) {
    auto from = f.point("from");
    auto to = f.point("to");
    auto seconds = f.number("seconds", Need::optional, 0, 60);
    if (!ctx || !from || !to) return;
    installPointerWindows();
    const auto surface = currentSurface();
    if (!surface) {
        ctx->log.record("skipped", {{"reason", "no About card is showing"}});
        return;
    }
    const Rect frame = surface->frame;
    const auto card = surface->host->frame("aboutCard");
    const Point cardOrigin = card ? Point{card->x, card->y} : Point{0, 0};
    const double total = seconds.value_or(0.5);
    const int steps = std::max(1, static_cast<int>(total * 60));
    for (int i = 0; i <= steps; ++i) {
        const double k = static_cast<double>(i) / steps;
        const Point local{cardOrigin.x + from->x + (to->x - from->x) * k,
                          cardOrigin.y + from->y + (to->y - from->y) * k};
        ctx->desktop.setPointer({frame.x + local.x, frame.y + frame.height - local.y});
        surface->host->pointerMoved(local);
        placePointer(local);
        if (i < steps) runtime::MainLoop::main().advance(total / steps);
    }
    const auto& wake = PointerWake::shared();
    ctx->log.record("aboutPointer", {{"at", {to->x, to->y}},
                                     {"sampled", wake.currentWindowCursor.has_value()},
                                     {"wakePuffs", wake.wakePuffs.size()}});
}

void aboutQAModeStep(ScenarioFields& f, StepContext* ctx) {
    auto on = f.boolean("on");
    if (!ctx || !on) return;
    SwitcherSettings::shared().setQAMode(*on);
    runtime::MainLoop::main().runUntilIdle();
    logState(*ctx, *on ? "qaModeOn" : "qaModeOff");
}

void clickAboutQABadgeStep(ScenarioFields&, StepContext* ctx) {
    if (!ctx) return;
    tap(*ctx, "aboutCardQABadge", 1, 0);
}

void snapshotAboutStep(ScenarioFields& f, StepContext* ctx) {
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    auto dark = f.boolean("dark", Need::optional);
    auto scale = f.number("scale", Need::optional, 0.5, 4);
    auto crop = f.string("crop", Need::optional);
    if (crop && *crop != "card") f.fail("crop", "expected \"card\"");
    if (!ctx || !file || !f.ok()) return;
    const std::string what = caption.value_or("The About card");
    const auto surface = currentSurface();
    if (!surface) {
        ctx->pictureUnavailable("aboutSnapshot", *file, what, "no About card is showing");
        return;
    }
    // Light or dark as the system would show it, put back afterwards.
    std::function<bool()> isDarkNow;
    std::function<void(bool)> setDark;
    if (surface->isSettingsWindow) {
        isDarkNow = [] { return SettingsWindow::shared().systemColorScheme() == ui::ColorScheme::dark; };
        setDark = [](bool on) {
            SettingsWindow::shared().setSystemColorScheme(on ? ui::ColorScheme::dark : ui::ColorScheme::light);
        };
    } else {
        isDarkNow = [] { return openWindow()->isDark; };
        setDark = [](bool on) { openWindow()->show(on); };
    }
    const bool wasDark = isDarkNow();
    if (dark && *dark != wasDark) setDark(*dark);
    surface->host->layoutIfNeeded();
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
    if (auto p = ArtisanCraftState::shared().dissolveProgress.get()) fields["dissolve"] = *p;
    if (auto* haptics = dynamic_cast<platform::sim::SimHaptics*>(platform::Haptics::installed()))
        fields["haptics"] = haptics->patterns().size();
    const double s = scale.value_or(2.0);
    std::optional<Rect> area;
    if (crop) {
        area = cardCrop(*surface->host);
        fields["crop"] = *crop;
    }
    const auto pointer = runtime::World::shared<AboutPointerSpot>().at;
    if (pointer) fields["pointer"] = {pointer->x, pointer->y};
    // A crop of the card is shown on the index page at twice its size.
    ctx->writePicture(
        "aboutSnapshot", *file, what,
        [&](const std::string& path, std::string* error) {
            return writeViewPicture(*surface->host, path, s, area, pointer, error);
        },
        fields, area ? s / 2 : s);
    if (dark && *dark != wasDark) setDark(wasDark);
}

constexpr platform::sim::NamedStep kSeasonalSteps[] = {
    {"openAboutCard", openAboutCardStep},
    {"closeAboutCard", closeAboutCardStep},
    {"tapAboutIcon", tapAboutIconStep},
    {"tapAboutEmblem", tapAboutEmblemStep},
    {"moveAboutPointer", moveAboutPointerStep},
    {"aboutQAMode", aboutQAModeStep},
    {"clickAboutQABadge", clickAboutQABadgeStep},
    {"snapshotAbout", snapshotAboutStep},
};

}  // namespace

void registerSeasonalSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerSteps(kSeasonalSteps);
}

}  // namespace quillmar
