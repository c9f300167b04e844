#include <gtest/gtest.h>

#include "trackpad/trackpad_touch_monitor.h"
#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

class SystemOverviewTest : public WindowsTest {
protected:
    std::int32_t systemProcess(const std::string& name) {
        platform::sim::SimApp app;
        app.localizedName = name;
        app.activationPolicy = platform::ActivationPolicy::prohibited;
        return desktop->addApp(app).pid;
    }
    std::uint32_t overlay(std::int32_t pid, int layer, double width) {
        platform::sim::SimWindow w;
        w.ownerPid = pid;
        w.layer = layer;
        w.bounds = {0, 0, width, 900};
        return desktop->addWindow(w).number;
    }
};

TEST_F(SystemOverviewTest, AWideDockOrWindowManagerWindowAtLayer19Or14) {
    const auto dock = systemProcess("Dock");
    const auto lower = systemProcess("dock");
    const auto other = systemProcess("Other");
    const auto manager = systemProcess("WindowManager");
    overlay(dock, 19, 599);
    overlay(dock, 20, 2000);
    overlay(dock, 0, 2000);
    overlay(lower, 19, 2000);
    overlay(other, 14, 2000);
    const auto unbounded = overlay(dock, 14, 2000);
    desktop->window(unbounded)->infoOverrides["bounds"] = nullptr;
    EXPECT_FALSE(WindowManager::isSystemOverviewActive());

    const auto wide = overlay(dock, 19, 600);
    EXPECT_TRUE(WindowManager::isSystemOverviewActive());
    desktop->closeWindow(wide);
    overlay(manager, 14, 1200);
    EXPECT_TRUE(WindowManager::isSystemOverviewActive());

    desktop->setWindowListAvailable(false);
    EXPECT_FALSE(WindowManager::isSystemOverviewActive());
}

TEST_F(SystemOverviewTest, TheGestureEngineAsksThroughItsHook) {
    wm().connectTrackpadMonitor(TrackpadTouchMonitor::shared());
    auto& hook = TrackpadTouchMonitor::shared().isSystemOverviewActive;
    ASSERT_TRUE(hook);
    EXPECT_FALSE(hook());
    overlay(systemProcess("Dock"), 19, 1440);
    EXPECT_TRUE(hook());
}

class ClassificationDumpTest : public WindowsTest {};

TEST_F(ClassificationDumpTest, GoldenText) {
    const auto mail = addApp("Mail");
    const auto inbox = addWindow(mail, "Inbox \u2014 Mail", {-1280.7, 25.9, 900, 700.5});
    const auto draft = addWindow(mail, "Draft", {10, 10, 500, 400}, true);
    desktop->window(draft)->alpha = 0.049;
    const auto palette = addWindow(mail, "Palette", {0, 0, 200, 200});
    desktop->window(palette)->layer = 3;
    ax->windowBehaviour(palette).listed = false;

    platform::sim::SimApp bare;
    bare.localizedName = std::nullopt;
    bare.isHidden = true;
    const auto nameless = desktop->addApp(bare).pid;
    const auto quiet = addApp("Quiet");
    const auto quietWindow = addWindow(quiet, "  ", {0, 0, 640, 480});
    desktop->window(quietWindow)->infoOverrides["alpha"] = nullptr;
    ax->appBehaviour(quiet).hangs = true;
    desktop->setFrontmost(mail);

    const std::string p = std::to_string(mail), n = std::to_string(nameless), q = std::to_string(quiet);
    const std::string i = std::to_string(inbox), d = std::to_string(draft), w = std::to_string(quietWindow);
    const std::string expected =
        "Quillmar target classification dump \u00b7 mode=allWindows \u00b7 axTrusted=true\n"
        "\n"
        "Mail (pid " + p + ") hidden=false\n"
        "    CG #" + i + " onscreen=true alpha=1.00 bounds=-1280,25 900x700 title=\"Inbox \u2014 Mail\"\n"
        "    CG #" + d + " onscreen=false alpha=0.05 bounds=10,10 500x400 title=\"Draft\"\n"
        "    AX wid=" + i + " minimized=false std=true pos=-1280,25 size=900x700 title=\"Inbox \u2014 Mail\"\n"
        "    AX wid=" + d + " minimized=true std=true pos=10,10 size=500x400 title=\"Draft\"\n"
        "? (pid " + n + ") hidden=true\n"
        "    AX: (none / failed)\n"
        "Quiet (pid " + q + ") hidden=false\n"
        "    CG #" + w + " onscreen=true alpha=1.00 bounds=0,0 640x480 title=\"  \"\n"
        "    AX: (none / failed)\n"
        "\n"
        "=== fetchTargets(allWindows) ===\n"
        "0. Mail \u00b7 Inbox \u2014 Mail \u00b7 wid=" + i + " appOnly=false parked=false hasOpen=true ax=true\n"
        "1. Quiet \u00b7 Quiet \u00b7 wid=" + w + " appOnly=false parked=false hasOpen=true ax=false\n"
        "2. Mail \u00b7 Draft \u00b7 wid=" + d + " appOnly=false parked=true hasOpen=false ax=true\n"
        "3. Application \u00b7 Application \u00b7 wid=- appOnly=true parked=true hasOpen=false ax=false\n";
    EXPECT_EQ(wm().qaDumpClassification(SwitcherMode::allWindows), expected);
}

TEST_F(ClassificationDumpTest, WithNoAppsOnlyTheHeaderAndAnEmptySection) {
    ax->setTrusted(false);
    EXPECT_EQ(wm().qaDumpClassification(SwitcherMode::appsOnly),
              "Quillmar target classification dump \u00b7 mode=appsOnly \u00b7 axTrusted=false\n"
              "\n"
              "\n"
              "=== fetchTargets(appsOnly) ===\n");
}

}  // namespace
}  // namespace quillmar::testing
