// The Switch Bar as drawn: text legible on its plate in every look with every accessibility
// option, the highlight and the minimised badge where they belong, and CJK labels. Pictures go
// to the snapshot folder for review; the assertions are on their pixels.

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/image_compare.h"
#include "platform/sim/sim_system_appearance.h"
#include "gfx/render_target.h"
#include "support/temp_path.h"
#include "switcher/app_icon_image_cache.h"
#include "switcher/hud_metrics.h"
#include "switcher_fixture.h"

namespace quillmar::testing {
namespace {

double luminance(const gfx::Color& c) {
    auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.red) + 0.7152 * lin(c.green) + 0.0722 * lin(c.blue);
}

double contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

// The contrast of the text in a frame against its background: the background is the median
// luminance of the frame (text covers the smaller part), the text its farthest pixel from it.
double textContrast(const gfx::Image& image, const ui::Rect& frame) {
    std::vector<double> lum;
    const double s = image.scale();
    for (int y = static_cast<int>(frame.minY() * s); y < static_cast<int>(frame.maxY() * s); ++y)
        for (int x = static_cast<int>(frame.minX() * s); x < static_cast<int>(frame.maxX() * s); ++x)
            lum.push_back(luminance(image.pixel(x, y)));
    if (lum.empty()) return 0;
    std::vector<double> sorted = lum;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2), sorted.end());
    const double background = sorted[sorted.size() / 2];
    double best = 1;
    for (double l : lum) best = std::max(best, contrast(l, background));
    return best;
}

class SwitcherRenderTest : public SwitcherTest {
protected:
    void SetUp() override {
        SwitcherTest::SetUp();
        appearance = &platform::sim::SimSystemAppearance::install();
    }
    std::string outPath(const std::string& name) { return (snapshotDirectory("switcher") / name).string(); }
    ui::HostingView& host() { return controller().panel()->contentView(); }
    void present() {
        controller().presentHUD(false);
        advance(0.5);
    }
    // The bar over a mid-grey desktop, so glass and solid plates are judged alike.
    gfx::Image render() { return host().renderImage(2.0, ui::Color::white(0.5)); }

    platform::sim::SimSystemAppearance* appearance = nullptr;
};

TEST_F(SwitcherRenderTest, TextStaysLegibleInEveryLookWithEveryAccessibilityOption) {
    auto pids = addApps(5);
    addWindow(pids[1], "Second window of Inkwell");
    auto& options = platform::AccessibilityDisplayOptions::shared();
    for (auto style : {SwitchBarStyle::horizontal, SwitchBarStyle::vertical}) {
        settings().switchBarStyle = style;
        for (auto look : {HUDAppearanceStyle::darkGlass, HUDAppearanceStyle::solidDark, HUDAppearanceStyle::lightGlass,
                          HUDAppearanceStyle::adaptive}) {
            settings().hudAppearance = look;
            for (bool dark : {false, true}) {
                appearance->setDark(dark);
                present();
                for (int opts = 0; opts < 4; ++opts) {
                    options.setReduceTransparency(opts & 1);
                    options.setIncreaseContrast(opts & 2);
                    const auto image = render();
                    const std::string what = std::string(rawValue(style)) + " " + std::string(rawValue(look)) +
                                             (dark ? " dark" : " light") + " options " + std::to_string(opts);
                    const char* titleName = style == SwitchBarStyle::horizontal ? "hudTitle" : "hudRowTitle";
                    const auto titles = host().frames(titleName);
                    ASSERT_FALSE(titles.empty()) << what;
                    for (const auto& title : titles) EXPECT_GE(textContrast(image, title), 4.5) << what;
                    if (look == HUDAppearanceStyle::lightGlass && opts == 1 && !dark)
                        image.writePng(outPath(std::string(rawValue(style)) + "_light_reduce_transparency.png"));
                }
                options.setReduceTransparency(false);
                options.setIncreaseContrast(false);
                controller().dismissHUD(true);
            }
        }
    }
}

TEST_F(SwitcherRenderTest, HighlightAndBadgeSitOnTheirEntries) {
    auto pids = addApps(4);
    addWindow(pids[2], "Parked page", true);
    for (bool dark : {false, true}) {
        settings().hudAppearance = dark ? HUDAppearanceStyle::darkGlass : HUDAppearanceStyle::lightGlass;
        present();
        const auto image = render();
        image.writePng(outPath(dark ? "strip_highlight_dark.png" : "strip_highlight_light.png"));
        // The corner of a box lies outside its icon: only the selected box (index 1) is tinted there.
        const auto selected = *host().frame("hudItem.1");
        const auto other = *host().frame("hudItem.3");
        const double plate = luminance(gfx::probe(image, {other.x + 5, other.y + 5}));
        const double lit = luminance(gfx::probe(image, {selected.x + 5, selected.y + 5}));
        if (dark) EXPECT_GT(lit, plate * 1.3) << "a dark plate's highlight is lighter";
        else EXPECT_LT(lit, plate * 0.95) << "a light plate's highlight is darker";

        // The minimised window's badge: a dark disc at the bottom trailing corner of its icon.
        const auto badge = *host().presentedFrame("hudMinimizedBadge");
        const auto parked = *host().frame("hudItem.4");
        const auto m = HUDMetrics::make(5, 1440);
        const double iconMaxX = parked.midX() + m.iconSize / 2, iconMaxY = parked.y + (m.boxSize + m.iconSize) / 2;
        EXPECT_NEAR(badge.maxX(), iconMaxX - 2, 0.5);
        EXPECT_NEAR(badge.maxY(), iconMaxY - 2, 0.5);
        const auto disc = gfx::probe(image, {badge.midX(), badge.y + badge.height * 0.22});
        EXPECT_LT(luminance(disc), 0.05);
        controller().dismissHUD(true);
    }
}

TEST_F(SwitcherRenderTest, TheFadeScalesEveryChannelOfTheSteadyBar) {
    addApps(5);
    present();
    auto* panel = controller().panel();
    ASSERT_NE(panel, nullptr);
    const auto steady = panel->renderImage(2.0);
    ASSERT_FALSE(steady.isNull());
    for (double alpha : {0.37, 0.0}) {
        panel->window().setAlphaValue(alpha);
        const auto faded = panel->renderImage(2.0);
        ASSERT_EQ(faded.pixelWidth(), steady.pixelWidth());
        ASSERT_EQ(faded.pixelHeight(), steady.pixelHeight());
        int off = 0, opaque = 0;
        for (int y = 0; y < steady.pixelHeight(); ++y)
            for (int x = 0; x < steady.pixelWidth(); ++x) {
                const std::uint32_t p = steady.data()[y * steady.stride() / 4 + x];
                const std::uint32_t q = faded.data()[y * faded.stride() / 4 + x];
                opaque += (p >> 24) == 0xffu;
                for (int shift : {0, 8, 16, 24}) {
                    const double want = ((p >> shift) & 0xffu) * alpha;
                    off += std::fabs(static_cast<double>((q >> shift) & 0xffu) - want) > 0.5;
                }
            }
        EXPECT_GT(opaque, 1000) << "the steady bar has an opaque plate";
        EXPECT_EQ(off, 0) << "every premultiplied channel is scaled by the panel's alpha " << alpha;
    }
}

TEST_F(SwitcherRenderTest, AppIconsAreDrawnOnlyForTheEntriesInSight) {
    const auto pids = addApps(150);
    auto drawnIcons = [&] {
        int n = 0;
        for (auto pid : pids) n += desktop->app(pid)->icon->isDrawn();
        return n;
    };
    EXPECT_EQ(drawnIcons(), 0) << "a desktop of apps holds no icon pixels until one is shown";

    present();
    EXPECT_EQ(drawnIcons(), 0) << "laying out the bar's 150 entries draws no icon";
    ASSERT_FALSE(render().isNull());
    const int drawn = drawnIcons();
    EXPECT_GT(drawn, 5);
    EXPECT_LT(drawn, 60) << "only the entries the screen-wide bar shows";
    EXPECT_TRUE(desktop->app(pids[1])->icon->isDrawn()) << "the selected entry, in sight";
    EXPECT_FALSE(desktop->app(pids.back())->icon->isDrawn()) << "the last entry, far out of sight";

    // Drawing again draws nothing new.
    ASSERT_FALSE(render().isNull());
    EXPECT_EQ(drawnIcons(), drawn);
}

TEST_F(SwitcherRenderTest, AnIconImageReadsTheIconsPixelsAndOutlivesTheIcon) {
    auto icon = platform::AppIcon::roundedSquare(64, 0xff3aa757u, 0xff2c5aa0u);
    const std::uint32_t centre = icon->pixel(32, 32);
    gfx::Image image = AppIconImageCache::shared().image(icon);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelWidth(), 64);
    EXPECT_EQ(AppIconImageCache::shared().image(icon).cairoSurface(), image.cairoSurface()) << "made once";
    icon.reset();  // the app quits while a drawn view still holds its image
    AppIconImageCache::shared().image(platform::AppIcon::roundedSquare(8, 0xff000000u, 0xff000000u));
    EXPECT_EQ(image.data()[32 * image.stride() / 4 + 32], centre);
    // Drawing it (or with a filter that needs a private copy) leaves the pixels as they were.
    gfx::ImageStyle grey;
    grey.saturation = 0;
    gfx::render({64, 64}, 1.0, [&](gfx::GraphicsContext& ctx) { ctx.draw(image, {0, 0, 64, 64}, grey); });
    EXPECT_EQ(image.data()[32 * image.stride() / 4 + 32], centre);
}

TEST_F(SwitcherRenderTest, CJKLabelsAreDrawnWithRealGlyphs) {
    auto mail = addApp("メール", 0xff4a90d9u, 0xff2c5aa0u);
    addWindow(mail, "受信箱 — メール");
    auto notes = addApp("メモ", 0xffe0a030u, 0xffc07010u);
    addWindow(notes, "買い物リスト");
    addWindow(notes, "旅行の計画");
    auto cal = addApp("カレンダー", 0xffd9534fu, 0xffa02020u);
    addWindow(cal, "十二月", true);
    desktop->setFrontmost(mail);
    settings().hudAppearance = HUDAppearanceStyle::adaptive;
    for (auto style : {SwitchBarStyle::horizontal, SwitchBarStyle::vertical}) {
        settings().switchBarStyle = style;
        for (bool dark : {false, true}) {
            appearance->setDark(dark);
            present();
            const auto image = render();
            image.writePng(outPath(std::string("japanese_") + std::string(rawValue(style)) + (dark ? "_dark.png" : "_light.png")));
            const char* titleName = style == SwitchBarStyle::horizontal ? "hudTitle" : "hudRowTitle";
            // The minimised window's row (the last) is dimmed on purpose; every other title reads clearly.
            auto titles = host().frames(titleName);
            // The strip titles the selection only; the list has a row for each of the four windows.
            ASSERT_EQ(titles.size(), style == SwitchBarStyle::horizontal ? 1u : 4u);
            if (style == SwitchBarStyle::vertical) titles.pop_back();
            for (const auto& title : titles) EXPECT_GE(textContrast(image, title), 4.5);
            controller().dismissHUD(true);
        }
    }
}

}  // namespace
}  // namespace quillmar::testing
