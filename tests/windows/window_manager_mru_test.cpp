#include <gtest/gtest.h>

#include "platform/workspace.h"
#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

using platform::Workspace;
using PIDs = std::vector<std::int32_t>;

class MRUTest : public WindowsTest {
protected:
    void postAppNotification(const char* name, std::int32_t pid) {
        platform::RunningApplication app;
        app.processIdentifier = pid;
        runtime::NotificationCenter::workspace().post(
            runtime::Notification{name, {}, {{Workspace::applicationKey, std::any(app)}}});
    }
};

TEST_F(MRUTest, SeedStartsWithTheFrontmostAppButNeverThisOne) {
    const auto a = addApp("A"), b = addApp("B"), c = addApp("C");
    desktop->setFrontmost(ownPid);
    EXPECT_EQ(wm().mruAppPIDs(), (PIDs{a, b, c}));
    runtime::World::reset();

    // A non-regular frontmost app still leads the seeded list.
    SetUp();
    const auto x = addApp("X");
    platform::sim::SimApp helper;
    helper.localizedName = "Helper";
    helper.activationPolicy = platform::ActivationPolicy::accessory;
    const auto h = desktop->addApp(helper).pid;
    desktop->setFrontmost(h);
    EXPECT_EQ(wm().mruAppPIDs(), (PIDs{h, x}));
}

TEST_F(MRUTest, WorkspaceNotificationsMoveAndDropApps) {
    const auto a = addApp("A"), b = addApp("B"), c = addApp("C");
    desktop->setFrontmost(a);
    auto& manager = wm();
    ASSERT_EQ(manager.mruAppPIDs(), (PIDs{a, b, c}));

    postAppNotification(Workspace::didActivateApplicationNotification, c);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{c, a, b}));
    postAppNotification(Workspace::didActivateApplicationNotification, ownPid);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{c, a, b}));
    postAppNotification(Workspace::didActivateApplicationNotification, 9999);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{9999, c, a, b}));

    // A notification without an application changes nothing.
    runtime::NotificationCenter::workspace().post(Workspace::didActivateApplicationNotification);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{9999, c, a, b}));

    postAppNotification(Workspace::didTerminateApplicationNotification, a);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{9999, c, b}));
    postAppNotification(Workspace::didTerminateApplicationNotification, 12345);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{9999, c, b}));
}

TEST_F(MRUTest, RealActivationAndTerminationReachTheList) {
    const auto a = addApp("A"), b = addApp("B");
    addWindow(a, "a");
    addWindow(b, "b");
    desktop->setFrontmost(a);
    auto& manager = wm();
    desktop->activate(b, 0);
    runUntilIdle();
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{b, a}));
    desktop->terminate(b);
    runUntilIdle();
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{a}));
}

TEST_F(MRUTest, FetchMovesOnlyAQualifyingFrontmostApp) {
    const auto a = addApp("A"), b = addApp("B"), c = addApp("C");
    desktop->setFrontmost(a);
    auto& manager = wm();

    desktop->setFrontmost(c);
    manager.fetchTargets(SwitcherMode::allWindows);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{c, a, b}));
    manager.fetchTargets(SwitcherMode::allWindows);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{c, a, b}));

    // This program in front (its settings window): the list stays and the most recent app counts
    // as the frontmost regular one.
    desktop->setFrontmost(ownPid);
    manager.fetchTargets(SwitcherMode::allWindows);
    EXPECT_EQ(manager.mruAppPIDs(), (PIDs{c, a, b}));
    EXPECT_EQ(manager.effectiveFrontmostRegularPID(), c);
}

TEST_F(MRUTest, NoFrontmostAndNoHistoryListsEveryWindowWithoutAppEntries) {
    desktop->setFrontmost(std::nullopt);
    auto& manager = wm();
    ASSERT_TRUE(manager.mruAppPIDs().empty());
    EXPECT_EQ(manager.effectiveFrontmostRegularPID(), std::nullopt);
    const auto a = addApp("A"), b = addApp("B");
    addApp("Empty");
    const auto wa = addWindow(a, "a");
    const auto wb = addWindow(b, "b");
    EXPECT_EQ(ids(manager.fetchTargets(SwitcherMode::activeAppWindows)), (std::vector<std::string>{win(wa), win(wb)}));
}

// Asks the cache for the icons of 128 apps (keyed by pid) that share `icon`.
void fillWith128Apps(AppIconCache& cache, const platform::AppIconRef& icon) {
    for (int i = 0; i < 128; ++i) {
        platform::RunningApplication app;
        app.processIdentifier = 1000 + i;
        app.icon = icon;
        cache.icon(app);
    }
}

TEST_F(MRUTest, IconCacheKeepsBundleKeyedIconsAndEmptiesWhenFull) {
    platform::sim::SimApp anonymous;
    anonymous.localizedName = "Anon";
    const auto anon = desktop->addApp(anonymous).pid;
    const auto named = addApp("Named");
    addWindow(anon, "x");
    addWindow(named, "y");
    auto& manager = wm();
    const auto targets = manager.fetchTargets(SwitcherMode::allWindows);
    ASSERT_EQ(targets.size(), 2u);
    for (const auto& t : targets) {
        ASSERT_TRUE(t.appIcon);
        EXPECT_EQ(t.appIcon->width, 128);  // no screen reports a higher scale than 1x
    }
    EXPECT_TRUE(manager.iconCache().contains("pid:" + std::to_string(anon)));
    EXPECT_TRUE(manager.iconCache().contains("com.example.Named"));

    desktop->terminate(anon);
    desktop->terminate(named);
    runUntilIdle();
    EXPECT_FALSE(manager.iconCache().contains("pid:" + std::to_string(anon)));
    EXPECT_TRUE(manager.iconCache().contains("com.example.Named"));

    // The 129th icon empties the cache first.
    AppIconCache cache;
    fillWith128Apps(cache, platform::AppIcon::roundedSquare(128, 0xff0000ffu, 0xff00ff00u));
    ASSERT_EQ(cache.size(), 128u);
    platform::RunningApplication last;
    last.processIdentifier = 5000;
    last.icon = platform::AppIcon::roundedSquare(256, 0xff0000ffu, 0xff00ff00u);
    EXPECT_EQ(cache.icon(last)->width, 128);
    EXPECT_EQ(cache.size(), 1u);

    // On a 2x screen the 128 points take 256 pixels; the change of screens starts afresh.
    desktop->setScreens({platform::Screen{1, "Retina", {0, 0, 1440, 900}, {0, 0, 1440, 875}, 2}}, /*notify=*/false);
    EXPECT_EQ(cache.icon(last)->width, 256);
    EXPECT_EQ(cache.size(), 1u);
}

TEST_F(MRUTest, AnIconThatComesBackAfterTheCacheWasEmptiedIsTheScaledCopyTheAppsIconKept) {
    AppIconCache cache;
    platform::RunningApplication kept;
    kept.processIdentifier = 1;
    kept.bundleIdentifier = "com.example.Kept";
    kept.icon = platform::AppIcon::roundedSquare(64, 0xff0000ffu, 0xff00ff00u);
    const auto first = cache.icon(kept);
    ASSERT_EQ(first->width, 128);
    first->pixels();
    fillWith128Apps(cache, platform::AppIcon::roundedSquare(64, 0xffff0000u, 0xff00ff00u));
    ASSERT_FALSE(cache.contains("com.example.Kept")) << "the 129th icon emptied the cache";
    const auto again = cache.icon(kept);
    EXPECT_EQ(again, first);
    EXPECT_TRUE(again->isDrawn());
    EXPECT_EQ(cache.size(), 2u);

    // The copy an icon keeps does not keep the icon alive, and is drawn right without it.
    platform::RunningApplication gone;
    gone.processIdentifier = 2;
    gone.bundleIdentifier = "com.example.Gone";
    gone.icon = platform::AppIcon::roundedSquare(64, 0xff0000ffu, 0xff00ff00u);
    std::weak_ptr<const platform::AppIcon> source = gone.icon;
    const auto copy = cache.icon(gone);
    gone.icon.reset();
    EXPECT_TRUE(source.expired());
    EXPECT_EQ(copy->pixels(), first->pixels());

    // Each size is kept once; an icon of that size already is its own.
    const auto big = kept.icon->representation(256, 256, [&] { return AppIconCache::scaled(kept.icon, 256); });
    EXPECT_EQ(kept.icon->representation(256, 256, [] { return platform::AppIconRef(); }), big);
    EXPECT_EQ(kept.icon->representation(128, 128, [] { return platform::AppIconRef(); }), first);
    EXPECT_EQ(cache.icon(gone), copy) << "served from the cache";
    const auto own = AppIconCache::scaled(kept.icon, 64);
    EXPECT_EQ(own, kept.icon);
}

TEST_F(MRUTest, IconScalingRepeatsPixelsWhenEnlargingAndAveragesWhenReducing) {
    // A 2 x 2 icon: red, green / blue, half-transparent white (premultiplied).
    auto icon = std::make_shared<platform::AppIcon>(
        2, 2, std::vector<std::uint32_t>{0xffff0000u, 0xff00ff00u, 0xff0000ffu, 0x80808080u});
    const auto big = AppIconCache::scaled(icon, 6);
    ASSERT_EQ(big->width, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(big->pixel(x, y), icon->pixel(x / 3, y / 3)) << x << "," << y;

    const auto one = AppIconCache::scaled(icon, 1);
    ASSERT_EQ(one->width, 1);
    // Each channel is the mean of four, rounded: alpha (3 * 255 + 128) / 4 = 223.25, colour 95.75.
    EXPECT_EQ(one->pixel(0, 0), 0xdf606060u);

    // Three source pixels over two: the middle one is shared half and half.
    std::vector<std::uint32_t> rows(9, 0xff000000u);
    for (int y = 0; y < 3; ++y) rows[static_cast<std::size_t>(y * 3 + 2)] = 0xffffffffu;
    auto row = std::make_shared<platform::AppIcon>(3, 3, std::move(rows));
    const auto two = AppIconCache::scaled(row, 2);
    EXPECT_EQ(two->pixel(0, 0), 0xff000000u);
    EXPECT_EQ(two->pixel(1, 1), 0xffaaaaaau);  // (0.5 * 0 + 1 * 255) / 1.5 = 170
}

}  // namespace
}  // namespace quillmar::testing
