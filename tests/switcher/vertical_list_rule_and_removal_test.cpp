// The vertical list's rows: the rule that parts the minimised and hidden entries from the rest
// stands only between two groups, and a row whose window is closed fades while it shrinks a little
// about its centre, the row below sliding up into its place with the selection highlight on it
// (where a step of the selection glides the highlight from row to row). While rows leave a long
// list, its entries, built or stood in for, stay in order and apart.

#include <cmath>
#include <string>

#include "switcher/switcher_hud_view.h"
#include "switcher_fixture.h"
#include "ui/transaction.h"

namespace quillmar::testing {
namespace {

class VerticalListRowsTest : public SwitcherTest {
protected:
    ui::HostingView& host() { return controller().panel()->contentView(); }
};

TEST_F(VerticalListRowsTest, TheRuleStandsOnlyBetweenOpenAndParkedEntries) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    const auto open = addApp("Postbox");
    const auto inbox = addWindow(open, "Inbox");
    addWindow(addApp("Inkwell"), "Draft", true);
    desktop->setFrontmost(open);
    controller().presentHUD(false);
    advance(0.5);
    EXPECT_EQ(host().frames("hudRule").size(), 1u);
    controller().dismissHUD(true);

    // Nothing open: the parked entries start the list, with no rule above them.
    desktop->window(inbox)->isMinimized = true;
    controller().presentHUD(false);
    advance(0.5);
    ASSERT_TRUE(controller().targets->front().isMinimizedOrHidden);
    EXPECT_TRUE(host().frames("hudRule").empty());
}

TEST_F(VerticalListRowsTest, TheHighlightGlidesToTheNextRowButRidesOnTheRowTakingAClosedOnesPlace) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    addApps(6);
    controller().presentHUD(false);
    advance(0.5);
    // A step glides the highlight from row to row.
    ASSERT_EQ(controller().selectedIndex.get(), 1);
    controller().handleScrub(SwitcherController::scrubStep());
    advance(0.033);
    const auto highlight = *host().presentedFrame("hudHighlight");
    EXPECT_GT(highlight.midY(), host().frame("hudRow.1")->midY() + 1);
    EXPECT_LT(highlight.midY(), host().frame("hudRow.2")->midY() - 1);
    controller().handleScrub(-SwitcherController::scrubStep());
    advance(1.0);

    const auto closed = *host().frame("hudRow.1");
    controller().performHotKeyAction(SwitcherController::closeAction);

    int frames = 0;
    for (int frame = 1; frame <= 6; ++frame) {
        advance(0.03);
        // While it leaves, the closed row and the one taking its place both carry its index.
        const auto rows = host().presentedViews("hudRow.1");
        if (rows.size() < 2) break;
        const auto& leaving = rows.front();
        const auto& arriving = rows.back();
        EXPECT_NEAR(leaving.frame.midX(), closed.midX(), 0.1) << frame;
        EXPECT_NEAR(leaving.frame.midY(), closed.midY(), 0.1) << frame;
        EXPECT_LT(leaving.frame.height, closed.height - 0.1) << frame;
        EXPECT_GE(leaving.frame.height, 0.96 * closed.height - 0.5) << frame;
        EXPECT_LT(leaving.opacity, 1) << frame;
        // One highlight, drawn on the row now selected wherever that row is on its way up.
        const auto highlights = host().presentedViews("hudHighlight");
        ASSERT_EQ(highlights.size(), 1u) << frame;
        EXPECT_NEAR(highlights.front().frame.minY(), arriving.frame.minY(), 0.5) << frame;
        if (arriving.frame.minY() > closed.minY() + 1) ++frames;
    }
    EXPECT_GE(frames, 2);
    advance(1.0);
    EXPECT_EQ(host().presentedViews("hudRow.1").size(), 1u);
}

// A long list builds its rows as the selection comes near them. Those rows were in the list all
// along: they appear whole, where a new entry comes in with the row transition.
TEST_F(VerticalListRowsTest, ARowBuiltAsTheSelectionReachesItAppearsWholeAndOnlyANewEntryFadesIn) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    addApps(300);
    controller().presentHUD(false);
    advance(0.5);
    const auto isBuilt = [&](int i) { return host().frame("hudRow." + std::to_string(i)).has_value(); };
    ASSERT_FALSE(isBuilt(120));
    controller().handleScrub(120 * SwitcherController::scrubStep());
    int drawn = 0, partly = 0;
    for (int frame = 0; frame < 12; ++frame) {
        advance(1.0 / 60);
        for (int i = 60; i <= 140; ++i) {
            const auto name = "hudRow." + std::to_string(i);
            for (const auto& row : host().presentedViews(name)) {
                ++drawn;
                if (row.opacity < 1 || std::fabs(row.frame.width - host().frame(name)->width) > 1e-6)
                    ++partly;
            }
        }
        const auto highlight = host().presentedViews("hudHighlight");
        ASSERT_EQ(highlight.size(), 1u);
        EXPECT_NEAR(highlight.front().frame.width, host().frame("hudRow.0")->width, 1e-6) << frame;
    }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(partly, 0);

    auto grown = controller().targets.get();
    auto entry = grown.front();
    entry.id = "win-new";
    entry.appName = "Newcomer";
    grown.insert(grown.begin() + controller().selectedIndex + 1, entry);
    ui::withAnimation(ui::Animation::spring(0.22, 0.85, 0), [&] { controller().targets = grown; });
    advance(0.03);
    const auto newcomer = host().presentedViews("hudRow." + std::to_string(controller().selectedIndex + 1));
    ASSERT_EQ(newcomer.size(), 1u);
    EXPECT_LT(newcomer.front().opacity, 1);
}

// On every frame of a removal from a list of 60, assistive technology reads the entries, drawn or
// stood in for, in order along the list and none over another; an entry coming into reach on the
// way slides in one step behind the one before it, not at its place at once.
TEST_F(VerticalListRowsTest, WhileRowsLeaveALongListItsEntriesStayInOrderAndSlideTogether) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    std::vector<std::int32_t> pids;
    for (int a = 0; a < 6; ++a) {
        pids.push_back(addApp("G" + std::to_string(a)));
        for (int w = 0; w < 10; ++w) addWindow(pids.back(), "Sheet " + std::to_string(w + 1));
    }
    desktop->setFrontmost(pids.front());
    const auto m = VerticalHUDMetrics::make(60, 1440, 805);
    const auto openOnTheSeventh = [&] {
        controller().presentHUD(false);
        advance(0.5);
        ASSERT_EQ(controller().targets->size(), 60u);
        controller().handleScrub((6 - controller().selectedIndex) * SwitcherController::scrubStep());
        advance(0.5);
        ASSERT_EQ(controller().selectedIndex.get(), 6);
    };
    // Each entry one row on from the one before (or, once, further: where the gap closes up).
    const auto removal = [&](const std::string& what, double seconds) {
        const auto isEntry = [](const ui::AccessibilityElement& e) {
            return e.traits.contains(ui::AccessibilityTraits::isButton());
        };
        for (int frame = 0; frame < static_cast<int>(seconds * 60); ++frame) {
            const auto tree = host().accessibilityTree();
            const auto b = tree.findAll(isEntry);
            ASSERT_EQ(b.size(), controller().targets->size()) << what;
            int uneven = 0;
            for (std::size_t i = 1; i < b.size(); ++i) {
                const double down = b[i]->frame.y - b[i - 1]->frame.y;
                ASSERT_GE(down, m.rowHeight - 0.01) << what << ": entry " << i << ", frame " << frame;
                if (std::fabs(down - m.rowHeight - m.rowSpacing) > 0.01) ++uneven;
            }
            ASSERT_LE(uneven, 1) << what << ", frame " << frame;
            advance(1.0 / 60);
        }
    };
    openOnTheSeventh();
    controller().performHotKeyAction(SwitcherController::quitAction);
    removal("first quit", 0.32);
    controller().performHotKeyAction(SwitcherController::quitAction);
    ASSERT_EQ(controller().targets->size(), 40u);
    removal("second quit", 0.6);
    controller().dismissHUD(true);
    advance(0.5);

    for (int a = 0; a < 2; ++a) {
        pids.push_back(addApp("H" + std::to_string(a)));
        for (int w = 0; w < 10; ++w) addWindow(pids.back(), "Page " + std::to_string(w + 1));
    }
    openOnTheSeventh();
    controller().performHotKeyAction(SwitcherController::closeAction);
    ASSERT_EQ(controller().targets->size(), 59u);
    removal("close", 0.6);
}

}  // namespace
}  // namespace quillmar::testing
