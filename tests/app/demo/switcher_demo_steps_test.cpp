// The demo's Switch Bar steps: the snapshot lands in the output directory and the switch's
// events reach the log.

#include <algorithm>
#include <cmath>
#include <utility>
#include <filesystem>

#include "platform/sim/event_log.h"
#include "platform/sim/scenario_fields.h"
#include "platform/sim/scenario_registry.h"
#include "app/demo/desktop_picture.h"
#include "app/demo/switcher_demo_steps.h"
#include "gfx/pixel_effects.h"
#include "platform/process_info.h"
#include "support/golden_image.h"
#include "support/image_compare.h"
#include "support/temp_path.h"
#include "switcher/switcher_fixture.h"

namespace quillmar::testing {
namespace {

class SwitcherDemoStepsTest : public SwitcherTest {
protected:
    void run(const std::string& name, const nlohmann::json& fields) {
        const auto* handler = registry.step(name);
        ASSERT_NE(handler, nullptr) << name;
        platform::sim::ScenarioFields check(fields, "step");
        (*handler)(check, nullptr);
        ASSERT_TRUE(check.ok()) << check.error();
        platform::sim::ScenarioFields act(fields, "step");
        platform::sim::StepContext ctx{*desktop, log, outDir, "test.json"};
        (*handler)(act, &ctx);
    }
    // The bar shown over `apps` apps on one 1440 x 900-pt screen (2x), with the demo's steps.
    std::vector<std::int32_t> showBarOnOneScreen(int apps) {
        registerSwitcherSteps(registry);
        desktop->setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 25, 1440, 875}, 2}}, false);
        auto pids = addApps(apps);
        platform::sim::StepContext ctx{*desktop, log, outDir, "test.json"};
        startSwitcherDemo(ctx);
        controller().presentHUD(false);
        advance(0.5);
        return pids;
    }
    // The whole screen as the step draws it, with the bar, and the desktop alone, both at 1x.
    std::optional<std::pair<gfx::Image, gfx::Image>> screenWithAndWithoutBar(const std::string& appearance) {
        run("systemAppearance", {{"appearance", appearance}});
        run("snapshotScreen", {{"file", "with-bar.png"}});
        std::string error;
        if (!DesktopPicture::writePng(*desktop, desktop->screens().front(), nullptr, 1.0,
                                      (outDir / "without-bar.png").string(), &error)) {
            ADD_FAILURE() << error;
            return std::nullopt;
        }
        auto with = gfx::Image::readPng((outDir / "with-bar.png").string(), 1.0);
        auto without = gfx::Image::readPng((outDir / "without-bar.png").string(), 1.0);
        if (!with || !without) return std::nullopt;
        return std::pair{std::move(*with), std::move(*without)};
    }
    bool logged(const std::string& fragment) {
        for (const auto& l : log.lines())
            if (l.find(fragment) != std::string::npos) return true;
        return false;
    }
    platform::sim::ScenarioRegistry registry;
    platform::sim::EventLog log;
    std::filesystem::path outDir = snapshotDirectory("switcher-demo");
};

TEST_F(SwitcherDemoStepsTest, SnapshotAndEventsOfOneSwitch) {
    registerSwitcherSteps(registry);
    addApps(3);
    platform::sim::StepContext ctx{*desktop, log, outDir, "test.json"};
    startSwitcherDemo(ctx);

    run("snapshotSwitchBar", {{"file", "none.png"}});
    EXPECT_TRUE(logged("\"written\":false"));

    run("previewSwitchBar", {{"seconds", 2.5}});
    advance(0.3);
    std::filesystem::remove(outDir / "bar.png");
    run("snapshotSwitchBar", {{"file", "bar.png"}});
    EXPECT_TRUE(std::filesystem::exists(outDir / "bar.png"));
    EXPECT_TRUE(logged("switchBarPresented"));

    run("pressQuickKey", {{"key", "escape"}});
    runUntilIdle();
    EXPECT_TRUE(logged("switchBarDismissed"));

    platform::sim::ScenarioFields bad(nlohmann::json{{"key", "x"}}, "step");
    (*registry.step("pressQuickKey"))(bad, nullptr);
    EXPECT_FALSE(bad.ok());
}

double luminance(const gfx::Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; }

TEST_F(SwitcherDemoStepsTest, WholeScreenPictureShowsTheDesktopWindowsMenuBarAndTheBarAtItsFrame) {
    registerSwitcherSteps(registry);
    desktop->setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2},
                         platform::Screen{2, "Right", {1440, 0, 1280, 800}, {1440, 0, 1280, 775}, 2}},
                        false);
    auto pids = addApps(3);
    platform::sim::SimWindow big;
    big.ownerPid = pids[0];
    big.title = "Front window";
    big.bounds = {40, 60, 600, 400};  // window-server coordinates: 60 below the primary screen's top
    const auto front = desktop->addWindow(big).number;
    desktop->setStackingOrder({front});
    platform::sim::StepContext ctx{*desktop, log, outDir, "test.json"};
    startSwitcherDemo(ctx);
    controller().presentHUD(false);
    advance(0.5);

    for (bool dark : {false, true}) {
        run("systemAppearance", {{"appearance", dark ? "dark" : "light"}});
        const std::string file = dark ? "screen-dark.png" : "screen-light.png";
        run("snapshotScreen", {{"file", file}, {"caption", "test"}});
        auto image = gfx::Image::readPng((outDir / file).string(), 1.0);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->pixelWidth(), 1440);
        // The bar's panel, where it stands (top-left coordinates on the screen).
        const auto panel = simPanel()->frame();
        const double top = 900 - panel.maxY();
        const auto bar = controller().panel()->renderImage(1.0);
        // An icon of the bar is opaque: the same colour in the picture as in the panel's own.
        const auto item = *controller().panel()->contentView().frame("hudItem.0");
        const gfx::Point icon{item.midX(), item.y + item.width / 2};
        EXPECT_TRUE(gfx::colorsClose(gfx::probe(*image, {panel.x + icon.x, top + icon.y}), gfx::probe(bar, icon), 0.03));
        // The menu bar across the top, the window's title bar below it, the desktop elsewhere.
        const auto menu = gfx::probe(*image, {700, 10});
        const auto titleBar = gfx::probe(*image, {300, 60 + 8});
        const auto desk = gfx::probe(*image, {1300, 880});
        EXPECT_GT(std::fabs(luminance(titleBar) - luminance(desk)), 0.1);
        if (dark) EXPECT_LT(luminance(menu), 0.3);
        else EXPECT_GT(luminance(menu), 0.6);
    }
    // The other screen shows no bar.
    run("snapshotScreen", {{"file", "right.png"}, {"screen", 1}});
    EXPECT_TRUE(logged("\"switchBar\":false"));
    run("snapshotScreen", {{"file", "none.png"}, {"screen", 7}});
    EXPECT_TRUE(logged("no such screen"));
}

TEST_F(SwitcherDemoStepsTest, WholeScreenPictureCastsThePanelsShadowAndDrawsOnlyWindowsThatShow) {
    const auto pids = showBarOnOneScreen(1);
    const auto panel = simPanel()->frame();
    const double top = 900 - panel.maxY();
    // A white window lies behind the bar; a smaller one peeks out from under it.
    platform::sim::SimWindow w;
    w.ownerPid = pids[0];
    w.bounds = {100, 100, 1240, 700};
    const auto white = desktop->addWindow(w).number;
    desktop->setStackingOrder({white});
    w.bounds = {20, 60, 300, 200};
    desktop->addWindow(w);
    // Beneath it, more windows than a picture may draw, every one wholly covered: under its body,
    // or of its very outline or within it, rounded corners and rim included.
    for (std::size_t i = 0; i <= DesktopPicture::kMostWindowsDrawn; ++i) {
        w.bounds = {200 + double(i % 500), 200 + double(i % 300), 300, 200};
        desktop->addWindow(w);
        const double in = double(i % 3);
        w.bounds = {100 + in, 100, 1240 - 2 * in, 700 - in};
        desktop->addWindow(w);
    }
    const auto shots = screenWithAndWithoutBar("light");
    ASSERT_TRUE(shots);
    const auto& [picture, bare] = *shots;
    // Below the middle of the bar its shadow darkens the white window; far below, nothing does.
    const auto plate = controller().panel()->behindWindowBlurFrames().front();
    const gfx::Point below{panel.x + plate.midX(), top + plate.maxY() + 6};
    EXPECT_LT(luminance(gfx::probe(picture, below)), luminance(gfx::probe(bare, below)) - 0.05);
    const gfx::Point far{below.x, below.y + 150};
    EXPECT_TRUE(gfx::colorsClose(gfx::probe(picture, far), gfx::probe(bare, far), 1.0 / 255));
    // The window peeking out shows its title bar.
    EXPECT_TRUE(gfx::colorsClose(gfx::probe(bare, {40, 66}), gfx::Color::rgb(0.92, 0.92, 0.93), 0.03));

    // Too many windows that show make a failed picture, not a failed run.
    const auto screen = desktop->screens().front();
    std::string error;
    for (std::size_t i = 0; i <= DesktopPicture::kMostWindowsDrawn; ++i) {
        w.bounds = {double(i % 64) * 20, double(i / 64) * 20, 10, 10};
        desktop->setStackingOrder({desktop->addWindow(w).number});
    }
    EXPECT_FALSE(DesktopPicture::writePng(*desktop, screen, nullptr, 1.0, (outDir / "crowded.png").string(), &error));
    EXPECT_NE(error.find("windows"), std::string::npos);
}

// A picture blurs one shadow for each look of window, not one for each window: windows stacked a
// hair apart, translucent ones and ones a little larger than the next cost no blur of their own.
// Windows stacked a hair apart draw one body for every sliver of a pixel they spread over.
TEST_F(SwitcherDemoStepsTest, WindowsOfOneSizeShareTheirShadowAndNearlyHiddenOnesDrawNoBody) {
    desktop->setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 25, 1440, 875}, 1}}, false);
    platform::sim::SimApp app;
    app.localizedName = "Atlas";
    const auto pid = desktop->addApp(app).pid;
    desktop->setFrontmost(pid);
    std::uint64_t bodiesBefore = 0;
    auto blursFor = [&](int windows, auto&& arrange) {
        std::vector<std::uint32_t> shown;
        for (const auto* w : desktop->windowsOf(pid)) shown.push_back(w->number);
        for (auto number : shown) desktop->closeWindow(number);
        for (int i = 0; i < windows; ++i) {
            platform::sim::SimWindow w;
            w.ownerPid = pid;
            w.bounds = {100, 100, 800, 600};
            arrange(w, i);
            desktop->addWindow(w);
        }
        const auto before = gfx::gaussianBlursRun();
        bodiesBefore = DesktopPicture::windowBodiesDrawn();
        std::string error;
        EXPECT_TRUE(DesktopPicture::writePng(*desktop, desktop->screens().front(), nullptr, 1.0,
                                             (outDir / "stacked.png").string(), &error)) << error;
        return gfx::gaussianBlursRun() - before;
    };
    auto bodies = [&] { return DesktopPicture::windowBodiesDrawn() - bodiesBefore; };
    // The key window and one other: a shadow of each look.
    const auto two = blursFor(2, [](platform::sim::SimWindow& w, int i) { w.bounds.x += 300 * i; });
    EXPECT_GT(two, 0u);
    EXPECT_EQ(bodies(), 2u);
    EXPECT_EQ(blursFor(12, [](platform::sim::SimWindow& w, int i) { w.bounds.x += i * 0.0001; w.bounds.y += i * 0.0001; }), two);
    EXPECT_EQ(bodies(), 1u);
    EXPECT_EQ(blursFor(12, [](platform::sim::SimWindow& w, int) { w.alpha = 0.9; }), two);
    EXPECT_EQ(bodies(), 12u);
    EXPECT_EQ(blursFor(12, [](platform::sim::SimWindow& w, int i) { w.bounds.width += i * 0.25; w.bounds.height += i * 0.25; }), two);
    EXPECT_EQ(bodies(), 12u);
    // Spread over a hundredth of a point, a window is drawn for every few: none shows more than a
    // sliver beyond a drawn one.
    blursFor(12, [](platform::sim::SimWindow& w, int i) { w.bounds.x += i * 0.001; });
    EXPECT_GT(bodies(), 1u);
    EXPECT_LT(bodies(), 12u);
}

// The largest step between neighbouring pixels of `picture` (any channel) where the bar alone
// (`bar`, at the same place) shows its plate and nothing of its own changes: what the plate lets
// through of the desktop behind it.
double edgeContrastUnderPlate(const gfx::Image& picture, const gfx::Image& bar, int left, int top) {
    double largest = 0;
    for (int y = 0; y + 1 < bar.pixelHeight(); ++y)
        for (int x = 0; x + 1 < bar.pixelWidth(); ++x) {
            const auto here = bar.pixel(x, y);
            if (here.alpha < 0.8) continue;
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
                if (!gfx::colorsClose(bar.pixel(x + dx, y + dy), here, 1.5 / 255)) continue;
                const auto a = picture.pixel(left + x, top + y), b = picture.pixel(left + x + dx, top + y + dy);
                largest = std::max({largest, std::fabs(a.red - b.red), std::fabs(a.green - b.green), std::fabs(a.blue - b.blue)});
            }
        }
    return largest;
}

TEST_F(SwitcherDemoStepsTest, GlassBlursTheDesktopBehindTheBarInBothAppearances) {
    const auto pids = showBarOnOneScreen(3);
    const auto panel = simPanel()->frame();
    const double top = 900 - panel.maxY();
    // The key window's red, yellow and green buttons lie under the plate below the first icon,
    // where the bar draws nothing but its glass.
    const auto plate = controller().panel()->behindWindowBlurFrames();
    ASSERT_EQ(plate.size(), 1u);
    const auto item = *controller().panel()->contentView().frame("hudItem.0");
    const auto key = desktop->windowsOf(pids[0]).front()->number;
    desktop->moveWindow(key, {panel.x + item.x - 6, top + plate[0].maxY() - 36, 700, 400});

    for (bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        const auto shots = screenWithAndWithoutBar(dark ? "dark" : "light");
        ASSERT_TRUE(shots);
        const auto& [picture, desk] = *shots;
        const auto bar = controller().panel()->renderImage(1.0);
        const int left = static_cast<int>(panel.x), upper = static_cast<int>(top);
        // Behind the plate the desktop has sharp detail; through the glass it is a soft blur.
        const double behind = edgeContrastUnderPlate(desk, bar, left, upper);
        const double through = edgeContrastUnderPlate(picture, bar, left, upper);
        EXPECT_GT(behind, 0.3);
        EXPECT_LT(through, 3.5 / 255);
    }
}

// The glass looks over a checkerboard of small windows, against a reference sheet: a blur that
// breaks (cut short, moved, or gone) shows in the squares seen through the plate.
TEST_F(SwitcherDemoStepsTest, GlassLooksOverAPatternedDesktop) {
    registerSwitcherSteps(registry);
    desktop->setScreens({platform::Screen{1, "Small", {0, 0, 640, 400}, {0, 25, 640, 375}, 2}}, false);
    for (auto pid : addApps(4))  // the apps' windows out of the way: the squares lie on the desktop
        desktop->moveWindow(desktop->windowsOf(pid).front()->number, {560, 340, 60, 40});
    platform::sim::SimWindow square;
    square.ownerPid = platform::ProcessInfo::shared().processIdentifier();  // never an entry of the bar
    std::vector<std::uint32_t> squares;
    for (int row = 0; row < 14; ++row)
        for (int column = row % 2; column < 22; column += 2) {
            square.bounds = {column * 30.0, 30 + row * 26.0, 30, 26};
            squares.push_back(desktop->addWindow(square).number);
        }
    desktop->setStackingOrder(squares);  // in front of the apps' windows
    platform::sim::StepContext ctx{*desktop, log, outDir, "test.json"};
    startSwitcherDemo(ctx);
    std::vector<gfx::Image> cells;
    for (auto style : {SwitchBarStyle::horizontal, SwitchBarStyle::vertical})
        for (auto look : {HUDAppearanceStyle::darkGlass, HUDAppearanceStyle::lightGlass}) {
            settings().switchBarStyle = style;
            settings().hudAppearance = look;
            controller().presentHUD(false);
            advance(0.5);
            const auto panel = simPanel()->frame();
            std::string error;
            ASSERT_TRUE(DesktopPicture::writePng(*desktop, desktop->screens().front(), controller().panel(), 2.0,
                                                 (outDir / "glass.png").string(), &error)) << error;
            const auto screen = gfx::Image::readPng((outDir / "glass.png").string(), 2.0);
            ASSERT_TRUE(screen);
            const std::string name = std::string(look == HUDAppearanceStyle::darkGlass ? "dark glass" : "light glass") +
                                     (style == SwitchBarStyle::horizontal ? ", strip" : ", list");
            // A margin round the plate shows the sharp squares beside the blurred ones.
            constexpr double kMargin = 30;
            cells.push_back(captioned(croppedTo(*screen, {panel.x - kMargin, 400 - panel.maxY() - kMargin,
                                                          panel.width + 2 * kMargin, panel.height + 2 * kMargin}),
                                      name));
            controller().dismissHUD(true);
            advance(0.5);
        }
    expectMatchesGolden("tests/app/demo/golden/glass_over_pattern.png", sheetOf(cells, 2));
}

TEST_F(SwitcherDemoStepsTest, AppsGetDistinctLetterIconsAndOptionsChangeMidRun) {
    registerSwitcherSteps(registry);
    platform::sim::SimApp a;
    a.localizedName = "Atlas";
    a.iconColor = 0xff14a38bu;
    const auto atlas = desktop->addApp(a).pid;
    platform::sim::SimApp b = a;
    b.localizedName = "Ledger";
    const auto ledger = desktop->addApp(b).pid;
    platform::sim::StepContext ctx{*desktop, log, outDir, "test.json"};
    startSwitcherDemo(ctx);
    const auto& iconA = *desktop->app(atlas)->icon;
    const auto& iconB = *desktop->app(ledger)->icon;
    // Same colour, different letters: the tiles differ where the letters are drawn.
    EXPECT_NE(iconA.pixels(), iconB.pixels());
    const auto centre = iconA.pixel(iconA.width / 2, iconA.height / 2 + 8);
    const auto tile = iconA.pixel(iconA.width / 4, iconA.height / 4);
    EXPECT_NE(centre, tile);

    auto& options = platform::AccessibilityDisplayOptions::shared();
    run("accessibilityDisplay", {{"reduceMotion", true}, {"increaseContrast", true}});
    EXPECT_TRUE(options.shouldReduceMotion());
    EXPECT_TRUE(options.shouldIncreaseContrast());
    EXPECT_FALSE(options.shouldReduceTransparency());
    run("accessibilityDisplay", {{"reduceMotion", false}});
    EXPECT_FALSE(options.shouldReduceMotion());
    EXPECT_TRUE(options.shouldIncreaseContrast());

    platform::sim::ScenarioFields empty(nlohmann::json::object(), "step");
    (*registry.step("accessibilityDisplay"))(empty, nullptr);
    EXPECT_FALSE(empty.ok());
    platform::sim::ScenarioFields dusk(nlohmann::json{{"appearance", "dusk"}}, "step");
    (*registry.step("systemAppearance"))(dusk, nullptr);
    EXPECT_FALSE(dusk.ok());
}

}  // namespace
}  // namespace quillmar::testing
