// In the apps-only list, an app whose windows are all on other Spaces counts as having an open
// window unless the list is kept to the current Space; then it moves behind the apps that do.

#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

class AppsOnOtherSpacesTest : public WindowsTest {};

TEST_F(AppsOnOtherSpacesTest, CurrentSpaceOnlyMovesAppsWhoseWindowsAreElsewhereBehind) {
    const auto here = addApp("Here");
    addWindow(here, "on this Space");
    const auto away = addApp("Away");
    addWindow(away, "on Space 2", {100, 100, 800, 600}, false, 2);
    desktop->setFrontmost(here);
    desktop->setFrontmost(away);  // the most recent

    auto entry = [](const std::vector<SwitchTarget>& targets, std::int32_t pid) {
        std::optional<SwitchTarget> found;
        for (const auto& t : targets)
            if (t.pid == pid) found = t;
        EXPECT_TRUE(found);
        return found.value_or(targets.front());
    };
    auto targets = wm().fetchTargets(SwitcherMode::appsOnly);
    EXPECT_TRUE(entry(targets, away).hasOpenWindow);
    EXPECT_EQ(ids(targets).front(), appEntry(away));

    SwitcherSettings::shared().currentSpaceOnly = true;
    targets = wm().fetchTargets(SwitcherMode::appsOnly);
    EXPECT_FALSE(entry(targets, away).hasOpenWindow);
    EXPECT_FALSE(entry(targets, away).isMinimizedOrHidden);
    EXPECT_EQ(ids(targets).front(), appEntry(here));
}

}  // namespace
}  // namespace quillmar::testing
