// The bar's view through its panel: layout of named nodes, the festive geometry it writes, the
// light flag and plate, the accessibility tree and clicks.

#include <cmath>

#include "festive_hud/hud_festive_state.h"
#include "support/image_compare.h"
#include "platform/sim/sim_system_appearance.h"
#include "platform/workspace.h"
#include "switcher/hud_background.h"
#include "switcher/hud_strip_viewport.h"
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
    // Quits an app whose sixty entries come first, the last of them selected, in a bar of 300:
    // the entry that takes the selection's place, far out of sight before, comes in from there.
    void quitSixtyEntriesAheadOfTheSelection(const std::string& prefix, bool vertical) {
        const auto big = addApp("Ledger");
        for (int i = 0; i < 60; ++i) addWindow(big, "Sheet " + std::to_string(i + 1));
        addApps(240);
        present();
        ASSERT_EQ(controller().targets->size(), 300u);
        ASSERT_EQ(controller().targets.get()[59].pid, big);
        controller().handleScrub((59 - controller().selectedIndex) * SwitcherController::scrubStep());
        advance(1.0);
        ASSERT_EQ(controller().selectedIndex.get(), 59);
        ASSERT_FALSE(built(prefix, 119));
        const auto comingIn = controller().targets.get()[119].id;
        const auto along = [&] {
            const auto f = *host().presentedFrame(prefix + ".59");
            return vertical ? f.y : f.x;
        };
        const double to = along();
        controller().performHotKeyAction(SwitcherController::quitAction);
        ASSERT_EQ(controller().targets->size(), 240u);
        ASSERT_EQ(controller().targets.get()[59].id, comingIn);
        advance(0.05);
        // Still on its way in, from where it was.
        EXPECT_GT(along(), to + 100);
        advance(1.0);
        EXPECT_NEAR(along(), to, 0.5);
    }
    // The reach of a selection that has been over every entry: everything built.
    void reachEverything() {
        controller().selectionReach =
            SwitcherController::SelectionReach{0, static_cast<int>(controller().targets->size()) - 1};
    }
    bool built(const std::string& prefix, int i) { return host().frame(prefix + "." + std::to_string(i)).has_value(); }
    // The built entries ("<prefix>.<i>" of `count`) are one run, and cover the bar along its axis
    // wherever entries lie beyond it.
    ::testing::AssertionResult builtEntriesCoverTheBar(const std::string& prefix, int count, const Rect& bar,
                                                       bool vertical) {
        int first = -1, last = -1;
        for (int i = 0; i < count; ++i)
            if (built(prefix, i)) {
                if (first < 0) first = i;
                if (last >= 0 && last != i - 1) return ::testing::AssertionFailure() << "gap before " << i;
                last = i;
            }
        const auto a = *host().presentedFrame(prefix + "." + std::to_string(first));
        const auto b = *host().presentedFrame(prefix + "." + std::to_string(last));
        const bool before = vertical ? a.minY() > bar.minY() : a.minX() > bar.minX();
        const bool after = vertical ? b.maxY() < bar.maxY() : b.maxX() < bar.maxX();
        if ((first > 0 && before) || (last < count - 1 && after))
            return ::testing::AssertionFailure() << "entries " << first << "..." << last << " leave part of the bar empty";
        return ::testing::AssertionSuccess();
    }
};

std::vector<const ui::AccessibilityElement*> buttonsOf(const ui::AccessibilityElement& tree) {
    return tree.findAll([](const ui::AccessibilityElement& e) { return e.traits.contains(ui::AccessibilityTraits::isButton()); });
}

// Two accessibility trees read alike: the same description, and `count` buttons, each the same
// in both, where it is. Returns the first tree's buttons.
std::vector<const ui::AccessibilityElement*> expectReadAlike(const ui::AccessibilityElement& lazy,
                                                             const ui::AccessibilityElement& full, std::size_t count) {
    EXPECT_EQ(lazy.describe(), full.describe());
    const auto a = buttonsOf(lazy), b = buttonsOf(full);
    EXPECT_EQ(a.size(), count);
    EXPECT_EQ(b.size(), count);
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        EXPECT_EQ(a[i]->label, b[i]->label) << i;
        EXPECT_EQ(a[i]->role, b[i]->role) << i;
        EXPECT_EQ(a[i]->traits.bits, b[i]->traits.bits) << i;
        EXPECT_EQ(a[i]->isEnabled, b[i]->isEnabled) << i;
        EXPECT_NEAR(a[i]->frame.x, b[i]->frame.x, 1e-6) << i;
        EXPECT_NEAR(a[i]->frame.y, b[i]->frame.y, 1e-6) << i;
        EXPECT_NEAR(a[i]->frame.width, b[i]->frame.width, 1e-6) << i;
        EXPECT_NEAR(a[i]->frame.height, b[i]->frame.height, 1e-6) << i;
    }
    return a;
}

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

    // Vertical list with a viewport: anchors move up with the list's scroll offset and never lie
    // lower than 14 points above the bottom.
    const auto v = VerticalHUDMetrics::make(20, 1440, 805);
    auto vg = SwitcherHUDView::festiveGeometry({418, 483}, 20, true, m, v, 100);
    EXPECT_DOUBLE_EQ(vg.itemAnchors[5].y, 5 * (v.rowHeight + v.rowSpacing) + v.outerPadding + v.rowHeight / 2 - 100);
    EXPECT_DOUBLE_EQ(vg.itemAnchors[19].y, 483 - 14);
    EXPECT_DOUBLE_EQ(vg.rowSpanX.lowerBound, v.outerPadding + 14);
    auto none = SwitcherHUDView::festiveGeometry({100, 30}, 0, false, m, v);
    EXPECT_TRUE(none.itemAnchors.empty());
}

// A list long enough to scroll: wherever the selection takes the list, the selected row's
// festive anchor is the middle of that row as the scrolled list shows it.
TEST_F(SwitcherHUDViewTest, ScrolledListAnchorsSitOnTheirRows) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    addApps(21);
    present();
    ASSERT_TRUE(VerticalHUDMetrics::make(21, 1440, 805).usesScrollViewport);
    for (const int row : {20, 10, 0}) {
        controller().handleScrub((row - controller().selectedIndex) * SwitcherController::scrubStep());
        advance(1.0);
        ASSERT_EQ(controller().selectedIndex, row);
        const auto bar = *host().presentedFrame("switchBar");
        const auto drawn = *host().presentedFrame("hudRow." + std::to_string(row));
        const auto& g = HUDFestiveState::shared().geometry;
        ASSERT_EQ(g.itemAnchors.size(), 21u);
        EXPECT_NEAR(g.itemAnchors[static_cast<std::size_t>(row)].y, drawn.midY() - bar.y, 0.5) << row;
        EXPECT_GT(drawn.y, bar.y);
        EXPECT_LT(drawn.maxY(), bar.maxY());
    }
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

// Entries of a long strip that are not built are still there for assistive technology, read as
// if they were: the same elements in the same places, also while the strip glides, and their
// actions commit them.
TEST_F(SwitcherHUDViewTest, AccessibilityFindsEveryEntryOfALongStripAsIfAllWereBuilt) {
    addApps(300);
    present();
    const auto m = HUDMetrics::make(300, 1440);
    // On every frame of a glide each entry is one step on from the one before, built or stood in
    // for; of the removal after a close or a quit, too, but where the entry leaves (the gap
    // closing up), and none over another.
    const auto glide = [&](const char* what, int gaps) {
        for (int frame = 0; frame < 20; ++frame) {
            advance(1.0 / 60);
            const auto tree = host().accessibilityTree();
            const auto b = buttonsOf(tree);
            int uneven = 0;
            for (std::size_t i = 1; i < b.size(); ++i) {
                const double step = b[i]->frame.x - b[i - 1]->frame.x;
                ASSERT_GT(step, m.boxSize) << what << ": " << i << " frame " << frame;
                if (std::fabs(step - m.boxSize - m.itemSpacing) > 0.01) ++uneven;
            }
            ASSERT_LE(uneven, gaps) << what << ", frame " << frame;
        }
        advance(1.0);
    };
    // Near the start, where the strip is held at its end and the scroll does not follow.
    controller().performHotKeyAction(SwitcherController::closeAction);
    glide("close at the start", 1);
    controller().handleScrub(60 * SwitcherController::scrubStep());
    glide("scrub", 0);
    controller().performHotKeyAction(SwitcherController::closeAction);
    glide("close", 1);
    controller().performHotKeyAction(SwitcherController::quitAction);
    glide("quit", 1);
    const auto count = controller().targets->size();
    const auto lastItem = "hudItem." + std::to_string(count - 1);
    ASSERT_FALSE(host().frame(lastItem));
    const auto lazy = host().accessibilityTree();
    reachEverything();
    ASSERT_TRUE(host().frame(lastItem));
    const auto a = expectReadAlike(lazy, host().accessibilityTree(), count);
    ASSERT_EQ(a.size(), count);
    const std::string name = a[250]->label;
    EXPECT_TRUE(a[250]->performDefaultAction());
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(platform::Workspace::shared().frontmostApplication()->localizedName, name);
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

TEST_F(SwitcherHUDViewTest, TheBloomDoesNotEvaluateTheEntriesAgain) {
    addApps(12);
    present();
    controller().dismissHUD(true);
    advance(0.5);
    const auto before = host().bodyEvaluationCount();
    controller().presentHUD(false);
    const auto opening = host().bodyEvaluationCount() - before;
    // Every entry is evaluated once for the opening; the bloom that follows at once re-evaluates
    // the bar's frame only.
    EXPECT_GE(opening, 12u);
    EXPECT_LT(opening, 12u + 12u);
    EXPECT_TRUE(controller().isPresentedBloom.get());
    advance(0.5);
    EXPECT_EQ(host().presentedFrame("switchBar")->width, host().frame("switchBar")->width);
}

TEST_F(SwitcherHUDViewTest, AdaptiveFollowsTheSystemAndTheFestiveSeamIsLaidOver) {
    bool sawDark = false;
    SwitcherHUDView::setFestiveOverlayFactory([&sawDark](bool isDark, double) {
        sawDark = isDark;
        return ui::View(ui::Color::clear()).named("festiveOverlay");
    });
    settings().hudAppearance = HUDAppearanceStyle::adaptive;
    addApps(2);
    auto& appearance = platform::sim::SimSystemAppearance::install(true);
    present();
    EXPECT_TRUE(sawDark);
    EXPECT_EQ(*host().frame("festiveOverlay"), *host().frame("switchBar"));
    // The system turns light while the bar is up: the bar follows without a new presentation.
    appearance.setDark(false);
    host().layoutIfNeeded();
    EXPECT_FALSE(sawDark);
    SwitcherHUDView::setFestiveOverlayFactory(nullptr);
}

TEST_F(SwitcherHUDViewTest, AStripWiderThanItsScreenScrollsToKeepTheSelectionInside) {
    desktop->setScreens({platform::Screen{1, "Small", {0, 0, 800, 600}, {0, 0, 800, 575}, 1}}, false);
    desktop->setPointer({400, 300});
    settings().sensitivity = 3.0;
    addApps(30);
    present();
    const auto bar = *host().frame("switchBar");
    EXPECT_LE(simPanel()->frame().width, 800 - 24);
    EXPECT_DOUBLE_EQ(bar.width, simPanel()->frame().width);
    const auto inside = [&](const std::string& name) {
        const auto f = host().presentedFrame(name);
        return f && f->minX() >= bar.minX() - 0.5 && f->maxX() <= bar.maxX() + 0.5;
    };
    for (int target : {15, 29, 0}) {
        controller().handleScrub((target - controller().selectedIndex) * SwitcherController::scrubStep());
        advance(1.0);
        ASSERT_EQ(controller().selectedIndex.get(), target);
        EXPECT_TRUE(inside("hudItem." + std::to_string(target))) << target;
        EXPECT_TRUE(inside("hudTitle")) << target;
        EXPECT_TRUE(inside("hudHighlight")) << target;
        // A short title fits centred under its box, even at the ends.
        EXPECT_NEAR(host().presentedFrame("hudTitle")->midX(),
                    host().presentedFrame("hudItem." + std::to_string(target))->midX(), 0.01)
            << target;
    }
    // Entries far from the selection lie outside the bar and take no clicks there.
    EXPECT_FALSE(inside("hudItem.29"));
}

// A strip of hundreds of entries builds those in reach of the selection; the rest only take
// their room. Whatever the selection does, every entry that shows in the bar is there.
TEST_F(SwitcherHUDViewTest, AStripOfHundredsBuildsWhatComesIntoSightAndNothingIsMissingOnTheWay) {
    constexpr int kCount = 300;
    addApps(kCount);
    present();
    const auto m = HUDMetrics::make(kCount, 1440);
    const auto bar = *host().frame("switchBar");
    EXPECT_DOUBLE_EQ(bar.width, HUDStripViewport::make(m, kCount, 1, 1440).viewportWidth);
    const auto built = [&](int i) { return this->built("hudItem", i); };
    int count = 0;
    for (int i = 0; i < kCount; ++i) count += built(i) ? 1 : 0;
    EXPECT_GT(count, 30);
    EXPECT_LT(count, 100);
    EXPECT_FALSE(built(kCount - 1));
    // Built entries sit where the whole row puts them.
    EXPECT_DOUBLE_EQ(host().frame("hudItem.20")->x - host().frame("hudItem.0")->x, 20 * (m.boxSize + m.itemSpacing));

    // The built entries cover the bar on every frame of a glide, however far the selection jumps.
    const auto coversTheBar = [&] { return builtEntriesCoverTheBar("hudItem", kCount, bar, false); };
    for (int target : {40, 230, 120, 299, 0}) {
        controller().handleScrub((target - controller().selectedIndex) * SwitcherController::scrubStep());
        for (int frame = 0; frame < 30; ++frame) {
            advance(1.0 / 60);
            ASSERT_TRUE(coversTheBar()) << "towards " << target << ", frame " << frame;
        }
        ASSERT_EQ(controller().selectedIndex.get(), target);
        EXPECT_TRUE(host().presentedFrame("hudHighlight")->minX() >= bar.minX() - 0.5) << target;
    }
    // What the selection passed over stays built until the bar is put away.
    for (int i = 0; i < kCount; i += 37) EXPECT_TRUE(built(i)) << i;
    controller().dismissHUD(true);
    advance(0.5);
    present();
    EXPECT_FALSE(built(kCount - 1));
}

// A close or quit builds every entry first, so the entries behind slide in from their own places,
// even from far out of sight: quitting an app with sixty entries ahead of the selection.
TEST_F(SwitcherHUDViewTest, AfterAQuitInALongStripTheEntriesBehindSlideInFromTheirPlaces) {
    quitSixtyEntriesAheadOfTheSelection("hudItem", false);
}

TEST_F(SwitcherHUDViewTest, TitlesOfATightStripStayOffTheBarsEdges) {
    auto pids = addApps(20);
    addWindow(pids[19], "A very long window title that cannot fit under one box");
    addWindow(pids[0], "Another long title at the start of the strip, far too long");
    present();
    const auto bar = *host().frame("switchBar");
    const auto m = HUDMetrics::make(22, 1440);
    ASSERT_EQ(m.horizontalPadding, 14);  // tight: the title is wider than the padding around it
    controller().handleScrub(-SwitcherController::scrubStep());
    advance(1.0);
    ASSERT_EQ(controller().selectedIndex.get(), 0);
    auto title = *host().presentedFrame("hudTitle");
    EXPECT_GE(title.minX(), bar.minX() + 8 - 0.5);
    controller().handleScrub(30 * SwitcherController::scrubStep());
    advance(1.0);
    title = *host().presentedFrame("hudTitle");
    EXPECT_LE(title.maxX(), bar.maxX() - 8 + 0.5);
    // A middle entry's title stays centred under its box.
    controller().handleScrub(-10 * SwitcherController::scrubStep());
    advance(1.0);
    const auto box = *host().frame("hudItem." + std::to_string(controller().selectedIndex.get()));
    EXPECT_NEAR(host().presentedFrame("hudTitle")->midX(), box.midX(), 0.5);
}

TEST_F(SwitcherHUDViewTest, LongVerticalListScrollsTheSelectedRowToTheMiddle) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    addApps(20);
    present();
    const auto bar = *host().frame("switchBar");
    // Opening does not scroll: the first rows are in view.
    EXPECT_LT(host().presentedFrame("hudRow.1")->maxY(), bar.midY());
    controller().handleScrub(9 * SwitcherController::scrubStep());
    advance(1.0);
    ASSERT_EQ(controller().selectedIndex.get(), 10);
    EXPECT_NEAR(host().presentedFrame("hudRow.10")->midY(), bar.midY(), 1.0);
    // Near the end the list scrolls as far as it goes: the last row rests on the bottom padding.
    controller().handleScrub(9 * SwitcherController::scrubStep());
    advance(1.0);
    ASSERT_EQ(controller().selectedIndex.get(), 19);
    const auto m = VerticalHUDMetrics::make(20, 1440, 805);
    EXPECT_NEAR(host().presentedFrame("hudRow.19")->maxY(), bar.maxY() - m.outerPadding, 1.0);
}

// A list of hundreds of rows in its viewport builds those in reach of the selection; the rest only
// take their room. Whatever the selection does, every row that shows in the bar is there.
TEST_F(SwitcherHUDViewTest, AListOfHundredsBuildsWhatComesIntoSightAndNothingIsMissingOnTheWay) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    constexpr int kCount = 300;
    addApps(kCount);
    present();
    const auto m = VerticalHUDMetrics::make(kCount, 1440, 805);
    const auto built = [&](int i) { return this->built("hudRow", i); };
    int count = 0;
    for (int i = 0; i < kCount; ++i) count += built(i) ? 1 : 0;
    EXPECT_GT(count, 20);
    EXPECT_LT(count, 80);
    EXPECT_FALSE(built(kCount - 1));
    EXPECT_DOUBLE_EQ(host().frame("hudRow.20")->y - host().frame("hudRow.0")->y, 20 * (m.rowHeight + m.rowSpacing));

    const auto bar = *host().presentedFrame("switchBar");
    const auto coversTheBar = [&] { return builtEntriesCoverTheBar("hudRow", kCount, bar, true); };
    // As if the bar had opened on row 100, then off upwards and down.
    controller().handleScrub(99 * SwitcherController::scrubStep());
    advance(1.0);
    ASSERT_EQ(controller().selectedIndex.get(), 100);
    controller().selectionReach = SwitcherController::SelectionReach{100, 100};
    advance(0.1);
    for (int target : {40, 230, 120, 299, 0}) {
        controller().handleScrub((target - controller().selectedIndex) * SwitcherController::scrubStep());
        for (int frame = 0; frame < 30; frame += 3) {
            advance(3.0 / 60);
            ASSERT_TRUE(coversTheBar()) << "towards " << target << ", frame " << frame;
        }
        ASSERT_EQ(controller().selectedIndex.get(), target);
        EXPECT_NEAR(host().presentedFrame("hudRow." + std::to_string(target))->midY(),
                    target == 0 ? bar.minY() + m.outerPadding + m.rowHeight / 2
                    : target == kCount - 1 ? bar.maxY() - m.outerPadding - m.rowHeight / 2
                                           : bar.midY(),
                    1.0)
            << target;
    }
    for (int i = 0; i < kCount; i += 37) EXPECT_TRUE(built(i)) << i;
    controller().dismissHUD(true);
    advance(0.5);
    present();
    EXPECT_FALSE(built(kCount - 1));
}

// Rows not built are still there for assistive technology, read as if they were, the rule above
// the parked entries counted whether it falls in the run below the built rows or above them.
TEST_F(SwitcherHUDViewTest, AccessibilityFindsEveryRowOfALongListAsIfAllWereBuilt) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    auto pids = addApps(240);
    for (int i = 0; i < 60; ++i) addWindow(pids[static_cast<std::size_t>(i)], "Parked " + std::to_string(i + 1), true);
    present();
    ASSERT_EQ(controller().targets->size(), 300u);
    ASSERT_FALSE(controller().targets.get()[239].isMinimizedOrHidden);
    ASSERT_TRUE(controller().targets.get()[240].isMinimizedOrHidden);
    const auto asIfAllWereBuilt = [&](int lastBuilt) {
        ASSERT_FALSE(built("hudRow", lastBuilt + 1));
        const auto lazy = host().accessibilityTree();
        const auto rowAt = *host().frame("hudRow." + std::to_string(lastBuilt));
        const auto reach = controller().selectionReach.get();
        reachEverything();
        ASSERT_TRUE(built("hudRow", 0) && built("hudRow", 299));
        EXPECT_EQ(*host().frame("hudRow." + std::to_string(lastBuilt)), rowAt);
        expectReadAlike(lazy, host().accessibilityTree(), 300);
        controller().selectionReach = reach;
    };
    // At the top the rule lies in the run below; at the bottom, in the run above.
    int lastBuilt = 0;
    while (built("hudRow", lastBuilt + 1)) ++lastBuilt;
    ASSERT_LT(lastBuilt, 200);
    asIfAllWereBuilt(lastBuilt);
    controller().handleScrub(298 * SwitcherController::scrubStep());
    advance(1.0);
    ASSERT_EQ(controller().selectedIndex.get(), 299);
    // As if the bar had opened on the last row.
    controller().selectionReach = SwitcherController::SelectionReach{299, 299};
    ASSERT_FALSE(host().frame("hudRule"));
    ASSERT_FALSE(built("hudRow", 250));
    asIfAllWereBuilt(299);
    const auto tree = host().accessibilityTree();
    const auto buttons = buttonsOf(tree);
    ASSERT_EQ(buttons.size(), 300u);
    EXPECT_TRUE(buttons[250]->performDefaultAction());
    EXPECT_FALSE(controller().isVisible);
}

// A quit in a long list first builds the rows that can come into sight, so the rows behind slide
// up from their own places, even from far out of sight.
TEST_F(SwitcherHUDViewTest, AfterAQuitInALongListTheRowsBehindSlideUpFromTheirPlaces) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    quitSixtyEntriesAheadOfTheSelection("hudRow", true);
}

TEST_F(SwitcherHUDViewTest, RowsBelowAClosedOneSlideUpAndThePanelWaitsForTheList) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    addApps(6);
    present();
    const auto before = simPanel()->frame();
    const auto removed = *host().frame("hudRow.1");
    controller().performHotKeyAction(SwitcherController::closeAction);
    for (int frame = 1; frame <= 5; ++frame) {
        advance(0.04);
        // The row that takes the closed one's place slides up from below into it.
        EXPECT_GE(host().presentedFrame("hudRow.1")->minY() + 0.5, removed.minY()) << frame;
        // The panel keeps its size while the list closes up, so the bar's rounded bottom stays inside.
        EXPECT_EQ(simPanel()->frame().height, before.height) << frame;
        EXPECT_LE(host().presentedFrame("switchBar")->maxY(), simPanel()->frame().height + 0.5) << frame;
    }
    advance(0.5);
    EXPECT_LT(simPanel()->frame().height, before.height);
    EXPECT_EQ(controller().targets->size(), 5u);
}

TEST_F(SwitcherHUDViewTest, DisplayOptionsChangedMidSwitchRedrawTheBar) {
    settings().hudAppearance = HUDAppearanceStyle::lightGlass;
    addApps(3);
    present();
    const auto glass = controller().panel()->renderImage(1.0);
    platform::AccessibilityDisplayOptions::shared().setReduceTransparency(true);
    const auto solid = controller().panel()->renderImage(1.0);
    EXPECT_FALSE(gfx::compareImages(glass, solid).matches());
    platform::AccessibilityDisplayOptions::shared().setReduceTransparency(false);
    EXPECT_TRUE(gfx::compareImages(glass, controller().panel()->renderImage(1.0)).matches());
}

}  // namespace
}  // namespace quillmar::testing
