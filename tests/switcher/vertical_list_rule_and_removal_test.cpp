// The vertical list's rows: the rule that parts the minimised and hidden entries from the rest
// stands only between two groups, and a row whose window is closed shrinks towards the middle of
// its top edge while it fades, so the row below, sliding up with the same animation, never runs
// over it.

#include "switcher/switcher_hud_view.h"
#include "switcher_fixture.h"

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

TEST_F(VerticalListRowsTest, AClosedRowFoldsIntoItsTopEdgeAndTheNextRowNeverRunsOverIt) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    addApps(6);
    controller().presentHUD(false);
    advance(0.5);
    const auto closed = *host().frame("hudRow.1");
    controller().performHotKeyAction(SwitcherController::closeAction);

    bool sawFolding = false;
    for (int frame = 1; frame <= 6; ++frame) {
        advance(0.03);
        // While it leaves, the closed row and the one taking its place both carry its index.
        const auto rows = host().presentedViews("hudRow.1");
        if (rows.size() < 2) break;
        const auto& leaving = rows.front().frame;
        const auto& arriving = rows.back().frame;
        EXPECT_NEAR(leaving.minY(), closed.minY(), 0.5) << frame;  // the top edge stays put
        EXPECT_LT(leaving.height, closed.height - 0.5) << frame;
        EXPECT_GE(arriving.minY() + 0.5, leaving.maxY()) << frame;
        sawFolding = true;
    }
    EXPECT_TRUE(sawFolding);
    advance(1.0);
    EXPECT_EQ(host().presentedViews("hudRow.1").size(), 1u);
}

}  // namespace
}  // namespace quillmar::testing
