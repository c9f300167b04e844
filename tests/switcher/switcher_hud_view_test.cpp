// The bar's view through its panel: layout of named nodes, the festive geometry it writes, the
// light flag and plate, the accessibility tree and clicks.

#include "festive_hud/hud_festive_state.h"
#include "platform/workspace.h"
#include "switcher/hud_background.h"
#include "switcher/switcher_hud_view.h"
#include "switcher_fixture.h"

namespace quillmar::testing {
namespace {

class SwitcherHUDViewTest : public SwitcherTest {
protected:
    ui::HostingView& host() { return controller().panel()->contentView(); }
    void present() {
        controller().presentHUD(false);
        advance(0.5);
    }
};

TEST_F(SwitcherHUDViewTest, StripLaysOutBoxesFromTheMetricsAndFitsThePanel) {
    addApps(5);
    present();
    const auto m = HUDMetrics::make(5, 1440);
    auto items = host().frames("hudItem.0");
    ASSERT_EQ(items.size(), 1u);
    auto first = *host().frame("hudItem.0");
    auto second = *host().frame("hudItem.1");
    EXPECT_DOUBLE_EQ(second.x - first.x, m.boxSize + m.itemSpacing);
    EXPECT_DOUBLE_EQ(first.width, m.boxSize);
    EXPECT_DOUBLE_EQ(first.height, m.boxSize + 6 + 17);
    const auto bar = *host().frame("switchBar");
    EXPECT_DOUBLE_EQ(bar.width, 5 * m.boxSize + 4 * m.itemSpacing + 2 * m.horizontalPadding);
    EXPECT_DOUBLE_EQ(bar.height, m.topPadding + m.boxSize + 23 + m.bottomPadding);
    // The panel took the content's size, centred on the screen.
    const auto panelFrame = simPanel()->frame();
    EXPECT_DOUBLE_EQ(panelFrame.width, bar.width);
    EXPECT_DOUBLE_EQ(panelFrame.height, bar.height);
    EXPECT_NEAR(panelFrame.midX(), 720, 1);
    // Only the selected box has a highlight and a title.
    EXPECT_EQ(host().frames("hudHighlight").size(), 1u);
    EXPECT_EQ(host().frames("hudTitle").size(), 1u);
    EXPECT_DOUBLE_EQ(host().frame("hudHighlight")->x, second.x);
}

TEST_F(SwitcherHUDViewTest, FestiveGeometryIsWrittenForTheLayout) {
    addApps(5);
    present();
    const auto m = HUDMetrics::make(5, 1440);
    const auto& g = HUDFestiveState::shared().geometry;
    ASSERT_EQ(g.itemAnchors.size(), 5u);
    EXPECT_FALSE(g.isVertical);
    EXPECT_DOUBLE_EQ(g.itemAnchors[2].x, 2 * (m.itemSpacing + m.boxSize) + m.horizontalPadding + m.boxSize / 2);
    EXPECT_DOUBLE_EQ(g.itemAnchors[2].y, 0.45 * m.boxSize + m.topPadding);
    EXPECT_DOUBLE_EQ(g.floorY, g.size.height - 5);

    // Vertical list with a viewport: anchors below the middle stay at h / 2, never below h - 14.
    const auto v = VerticalHUDMetrics::make(20, 1440, 805);
    auto vg = SwitcherHUDView::festiveGeometry({418, 483}, 20, true, m, v);
    EXPECT_DOUBLE_EQ(vg.itemAnchors[19].y, 483 / 2.0);
    EXPECT_DOUBLE_EQ(vg.rowSpanX.lowerBound, v.outerPadding + 14);
    auto none = SwitcherHUDView::festiveGeometry({100, 30}, 0, false, m, v);
    EXPECT_TRUE(none.itemAnchors.empty());
}

TEST_F(SwitcherHUDViewTest, TinyContentSizesAreIgnored) {
    addApps(3);
    present();
    HUDFestiveState::shared().geometry = {};
    const int changes = simPanel()->frameChangeCount();
    SwitcherHUDView::handleContentSize({20, 300});
    EXPECT_TRUE(HUDFestiveState::shared().geometry.itemAnchors.empty());
    EXPECT_EQ(simPanel()->frameChangeCount(), changes);
}

TEST_F(SwitcherHUDViewTest, VerticalListShowsTheRuleAboveTheFirstParkedEntry) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    auto pids = addApps(3);
    addWindow(pids[1], "Old note", true);
    present();
    const auto m = VerticalHUDMetrics::make(4, 1440, 805);
    const auto row0 = *host().frame("hudRow.0");
    EXPECT_DOUBLE_EQ(row0.height, m.rowHeight);
    EXPECT_DOUBLE_EQ(row0.width, m.panelWidth - 2 * m.outerPadding);
    ASSERT_EQ(host().frames("hudRule").size(), 1u);
    EXPECT_LT(host().frame("hudRule")->y, host().frame("hudRow.3")->y);
    EXPECT_GT(host().frame("hudRule")->y, host().frame("hudRow.2")->y);
    EXPECT_EQ(host().frames("hudMinimizedBadge").size(), 1u);
}

TEST_F(SwitcherHUDViewTest, AccessibilityTreeHasOneButtonPerEntryAndActsOnIt) {
    addApps(3);
    present();
    auto tree = host().accessibilityTree();
    auto buttons = tree.findAll([](const ui::AccessibilityElement& e) {
        return e.traits.contains(ui::AccessibilityTraits::isButton());
    });
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0]->label, "Postbox");
    EXPECT_TRUE(buttons[1]->traits.contains(ui::AccessibilityTraits::isSelected()));
    EXPECT_FALSE(buttons[0]->traits.contains(ui::AccessibilityTraits::isSelected()));
    EXPECT_TRUE(buttons[2]->performDefaultAction());
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(platform::Workspace::shared().frontmostApplication()->localizedName, "Meridian");
}

TEST_F(SwitcherHUDViewTest, ClickingAnEntryCommitsIt) {
    addApps(4);
    present();
    const auto f = *host().frame("hudItem.3");
    host().click(f.center());
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(platform::Workspace::shared().frontmostApplication()->localizedName, "Chorus");
}

TEST_F(SwitcherHUDViewTest, LightFlagAndPlateFollowAppearanceAndAccessibility) {
    using S = HUDAppearanceStyle;
    EXPECT_FALSE(HUDBackground::isLightAppearance(S::darkGlass, ui::ColorScheme::light, false));
    EXPECT_TRUE(HUDBackground::isLightAppearance(S::lightGlass, ui::ColorScheme::dark, false));
    EXPECT_TRUE(HUDBackground::isLightAppearance(S::adaptive, ui::ColorScheme::light, false));
    EXPECT_FALSE(HUDBackground::isLightAppearance(S::adaptive, ui::ColorScheme::dark, false));
    EXPECT_FALSE(HUDBackground::isLightAppearance(S::lightGlass, ui::ColorScheme::light, true));

    ui::Environment env;
    auto plate = HUDBackground::make(28, S::darkGlass, false, env);
    EXPECT_FALSE(plate.isSolid);
    EXPECT_DOUBLE_EQ(plate.borderWidth(), 0.8);
    env.colorSchemeContrast = ui::ColorSchemeContrast::increased;
    plate = HUDBackground::make(28, S::darkGlass, false, env);
    EXPECT_DOUBLE_EQ(plate.borderWidth(), 1.15);
    EXPECT_DOUBLE_EQ(plate.borderColor().alpha, 0.45);
    env = {};
    platform::AccessibilityDisplayOptions::shared().setReduceTransparency(true);
    plate = HUDBackground::make(28, S::lightGlass, true, env);
    EXPECT_TRUE(plate.isSolid);
    EXPECT_TRUE(plate.isHighContrast);
}

TEST_F(SwitcherHUDViewTest, ChristmasPerimeterForcesTheDarkLook) {
    settings().holidaySparkle = true;
    settings().qaModeEnabled = true;
    HUDFestiveState::shared().qaShowChristmasPerimeter = true;
    settings().hudAppearance = HUDAppearanceStyle::lightGlass;
    addApps(2);
    present();
    ASSERT_TRUE(HUDFestiveState::shared().shouldShowChristmasPerimeter());
    // The selected title is drawn in light colours on the dark plate.
    auto image = controller().panel()->renderImage(1.0);
    const auto plate = image.pixel(10, image.pixelHeight() / 2);
    EXPECT_LT(plate.red, 0.5);
}

TEST_F(SwitcherHUDViewTest, HighlightGlidesUnlessMotionIsReduced) {
    addApps(4);
    present();
    const double from = host().frame("hudItem.1")->x, to = host().frame("hudItem.2")->x;
    controller().handleScrub(SwitcherController::scrubStep());
    advance(0.04);
    const double mid = host().presentedFrame("hudHighlight")->x;
    EXPECT_GT(mid, from + 1);
    EXPECT_LT(mid, to - 1);
    advance(1.0);
    EXPECT_NEAR(host().presentedFrame("hudHighlight")->x, to, 0.5);

    controller().dismissHUD(true);
    platform::AccessibilityDisplayOptions::shared().setReduceMotion(true);
    present();
    controller().handleScrub(SwitcherController::scrubStep());
    advance(0.04);
    EXPECT_NEAR(host().presentedFrame("hudHighlight")->x, host().frame("hudItem.2")->x, 0.5);
}

TEST_F(SwitcherHUDViewTest, AdaptiveFollowsTheSystemAndTheFestiveSeamIsLaidOver) {
    bool sawDark = false;
    SwitcherHUDView::setFestiveOverlayFactory([&sawDark](bool isDark, double) {
        sawDark = isDark;
        return ui::View(ui::Color::clear()).named("festiveOverlay");
    });
    settings().hudAppearance = HUDAppearanceStyle::adaptive;
    addApps(2);
    controller().setSystemColorScheme(ui::ColorScheme::dark);
    present();
    EXPECT_TRUE(sawDark);
    EXPECT_EQ(*host().frame("festiveOverlay"), *host().frame("switchBar"));
    controller().setSystemColorScheme(ui::ColorScheme::light);
    host().layoutIfNeeded();
    EXPECT_FALSE(sawDark);
    SwitcherHUDView::setFestiveOverlayFactory(nullptr);
}

}  // namespace
}  // namespace quillmar::testing
