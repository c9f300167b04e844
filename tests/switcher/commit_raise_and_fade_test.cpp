// What a commit does besides choosing: only the first entry, when it is the visible front window,
// is left alone; any other window of the front app is raised; and the bar fades out in well
// under a tenth of a second.

#include "switcher_fixture.h"

namespace quillmar::testing {
namespace {

class CommitRaiseAndFadeTest : public SwitcherTest {
protected:
    std::string frontWindowTitle() {
        for (const auto* w : desktop->windows())
            if (w->layer == 0 && desktop->isOnScreen(*w)) return w->title;
        return {};
    }
};

TEST_F(CommitRaiseAndFadeTest, AnotherWindowOfTheFrontAppIsRaised) {
    const auto pids = addApps(3);
    addWindow(pids[0], "Postbox drafts");  // behind every window so far
    controller().presentHUD(false);
    int drafts = -1;
    for (std::size_t i = 0; i < controller().targets->size(); ++i)
        if (controller().targets.get()[i].windowTitle == "Postbox drafts") drafts = static_cast<int>(i);
    ASSERT_GT(drafts, 0);
    controller().selectAndCommit(drafts);
    EXPECT_EQ(frontWindowTitle(), "Postbox drafts");
}

TEST_F(CommitRaiseAndFadeTest, TheBarFadesOutWithinATenthOfASecond) {
    addApps(3);
    controller().presentHUD(false);
    advance(0.5);
    ASSERT_TRUE(simPanel()->isVisible());
    controller().dismissHUD(false);
    advance(0.05);
    EXPECT_TRUE(simPanel()->isVisible());  // fading
    EXPECT_GT(simPanel()->alphaValue(), 0.0);
    advance(0.05);
    EXPECT_FALSE(simPanel()->isVisible());
}

}  // namespace
}  // namespace quillmar::testing
