#include "platform/sim/sim_desktop.h"

#include <string>
#include <vector>

#include "platform/process_info.h"
#include "platform/screens.h"
#include "platform/window_server.h"
#include "platform/workspace.h"
#include "runtime/notification_center.h"
#include "support/fresh_world.h"

namespace quillmar::platform::sim {
namespace {

class SimDesktopTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        desktop = &SimDesktop::install();
        desktop->setScreens({Screen{1, "A", {0, 0, 1440, 900}, {0, 0, 1440, 875}, 2},
                             Screen{2, "B", {1440, 0, 1920, 1080}, {1440, 0, 1920, 1055}, 1}},
                            false);
        SimApp own;
        own.pid = 300;
        own.localizedName = "Quillmar";
        own.activationPolicy = ActivationPolicy::accessory;
        desktop->setOwnProcess(own);
        browser = addApp(610, "Browser", {{201, "Page"}, {202, "Other page"}});
        editor = addApp(620, "Editor", {{211, "notes.md"}});
        mail = addApp(650, "Mail", {{231, "Inbox"}});
        desktop->setStackingOrder({201, 211, 231, 202});
        desktop->setFrontmost(browser);
        for (const char* name : {Workspace::didActivateApplicationNotification, Workspace::didHideApplicationNotification,
                                 Workspace::didUnhideApplicationNotification, Workspace::didTerminateApplicationNotification,
                                 Workspace::didLaunchApplicationNotification}) {
            runtime::NotificationCenter::workspace()
                .addObserver(name,
                             [this](const runtime::Notification& n) {
                                 const auto* app = n.info<RunningApplication>(Workspace::applicationKey);
                                 events.push_back(n.name + " " + (app ? std::to_string(app->processIdentifier) : "-"));
                             })
                .store(observers);
        }
    }

    std::int32_t addApp(std::int32_t pid, const std::string& name, std::vector<std::pair<std::uint32_t, std::string>> windows) {
        SimApp a;
        a.pid = pid;
        a.localizedName = name;
        a.bundleIdentifier = "com.example." + name;
        a.bundlePath = "/Applications/" + name + ".app";
        desktop->addApp(a);
        for (auto& [number, title] : windows) {
            SimWindow w;
            w.number = number;
            w.ownerPid = pid;
            w.title = title;
            w.bounds = {100, 100, 800, 600};
            desktop->addWindow(w);
        }
        return pid;
    }

    std::vector<std::uint32_t> onScreenOrder() {
        std::vector<std::uint32_t> out;
        const auto list = WindowServer::shared().windowList(WindowListOption::onScreenOnly);
        for (const auto& info : *list)
            out.push_back(*info.uint32(WindowKey::number));
        return out;
    }

    std::optional<std::int32_t> frontPid() {
        auto app = Workspace::shared().frontmostApplication();
        return app ? std::optional(app->processIdentifier) : std::nullopt;
    }

    SimDesktop* desktop = nullptr;
    std::int32_t browser = 0, editor = 0, mail = 0;
    std::vector<std::string> events;
    runtime::SubscriptionBag observers;
};

TEST_F(SimDesktopTest, ActivationRaisesFrontWindowOrAllWindowsAndNotifiesLater) {
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{201, 211, 231, 202}));
    ASSERT_TRUE(Workspace::shared().activate(mail, activateIgnoringOtherApps));
    EXPECT_EQ(frontPid(), mail);
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{231, 201, 211, 202}));
    EXPECT_TRUE(events.empty());  // notifications arrive on a later turn of the main loop
    runUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"WorkspaceDidActivateApplication 650"}));

    // Without the all-windows option only the app's front window comes forward.
    Workspace::shared().activate(browser, 0);
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{201, 231, 211, 202}));
    Workspace::shared().activate(browser, activateAllWindows);
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{201, 202, 231, 211}));
    // Activating the app that is already frontmost announces nothing new.
    runUntilIdle();
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(desktop->callLog().front(), "activate pid 650");
}

TEST_F(SimDesktopTest, RaisingAWindowReordersTheStackAndMakesItsAppFrontmost) {
    ASSERT_TRUE(desktop->raiseWindow(202));
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{202, 201, 211, 231}));
    EXPECT_EQ(frontPid(), browser);
    desktop->raiseWindow(211);
    EXPECT_EQ(onScreenOrder().front(), 211u);
    EXPECT_EQ(frontPid(), editor);
    EXPECT_FALSE(desktop->raiseWindow(999));

    // Layers stay above normal windows whatever the stacking says.
    SimWindow panel;
    panel.ownerPid = mail;
    panel.layer = 20;
    panel.bounds = {0, 0, 50, 50};
    const auto n = desktop->addWindow(panel).number;
    desktop->raiseWindow(211);
    EXPECT_EQ(onScreenOrder().front(), n);
}

TEST_F(SimDesktopTest, MinimisingAndUnminimising) {
    desktop->setMinimized(201, true);
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{211, 231, 202}));
    // The full list still holds the minimised window, after the on-screen ones, without the
    // on-screen key.
    auto all = *WindowServer::shared().windowList(WindowListOption::all);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all.back().uint32(WindowKey::number), 201u);
    EXPECT_FALSE(all.back().contains(WindowKey::isOnscreen));
    desktop->raiseWindow(231);
    desktop->setMinimized(201, false);
    EXPECT_EQ(onScreenOrder().front(), 201u);
    EXPECT_EQ(frontPid(), browser);
}

TEST_F(SimDesktopTest, HidingTakesWindowsOffScreenAndHandsFrontToTheNextApp) {
    ASSERT_TRUE(Workspace::shared().hide(browser));
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{211, 231}));
    EXPECT_EQ(frontPid(), editor);  // owner of the front visible window
    EXPECT_TRUE(Workspace::shared().runningApplication(browser)->isHidden);
    runUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"WorkspaceDidHideApplication 610", "WorkspaceDidActivateApplication 620"}));

    // Activating a hidden app unhides it first; its windows come back.
    events.clear();
    Workspace::shared().activate(browser, activateAllWindows);
    runUntilIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"WorkspaceDidUnhideApplication 610", "WorkspaceDidActivateApplication 610"}));
    EXPECT_EQ(onScreenOrder().size(), 4u);
}

TEST_F(SimDesktopTest, TerminationRemovesAppAndWindowsUnlessPoliteRequestIsRefused) {
    desktop->app(mail)->refusesPoliteTerminate = true;
    EXPECT_TRUE(Workspace::shared().terminate(mail));  // delivered, but ignored
    EXPECT_TRUE(Workspace::shared().runningApplication(mail).has_value());
    EXPECT_EQ(desktop->callLog().back(), "terminate pid 650 refused");
    EXPECT_TRUE(Workspace::shared().forceTerminate(mail));
    EXPECT_FALSE(Workspace::shared().runningApplication(mail).has_value());

    ASSERT_TRUE(Workspace::shared().terminate(browser));
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{211}));
    EXPECT_EQ(frontPid(), editor);
    EXPECT_FALSE(Workspace::shared().terminate(browser));  // gone: nothing to deliver to
    runUntilIdle();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0], "WorkspaceDidTerminateApplication 650");
    EXPECT_EQ(events[1], "WorkspaceDidTerminateApplication 610");
    EXPECT_EQ(events[2], "WorkspaceDidActivateApplication 620");
}

TEST_F(SimDesktopTest, TerminationNotificationCarriesATerminatedSnapshot) {
    std::optional<RunningApplication> seen;
    auto s = runtime::NotificationCenter::workspace().addObserver(
        Workspace::didTerminateApplicationNotification,
        [&](const runtime::Notification& n) { seen = *n.info<RunningApplication>(Workspace::applicationKey); });
    Workspace::shared().terminate(editor);
    runUntilIdle();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(seen->isTerminated);
    EXPECT_EQ(seen->localizedName, "Editor");
}

TEST_F(SimDesktopTest, OpeningAQuitAppLaunchesItAgainWithItsWindows) {
    Workspace::shared().terminate(editor);
    ASSERT_TRUE(Workspace::shared().openApplication("/Applications/Editor.app", true));
    auto front = Workspace::shared().frontmostApplication();
    ASSERT_TRUE(front);
    EXPECT_EQ(front->localizedName, "Editor");
    EXPECT_NE(front->processIdentifier, editor);  // a new process
    auto mine = desktop->windowsOf(front->processIdentifier);
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine[0]->title, "notes.md");
    EXPECT_EQ(onScreenOrder().front(), mine[0]->number);
    EXPECT_FALSE(Workspace::shared().openApplication("/Applications/Nothing.app", true));
    // Opening a running app only activates it.
    Workspace::shared().openApplication("/Applications/Mail.app", true);
    EXPECT_EQ(frontPid(), mail);
    EXPECT_EQ(desktop->runningApplications().size(), 4u);
}

TEST_F(SimDesktopTest, SpacesDecideWhatIsOnScreen) {
    desktop->window(231)->space = 2;
    SimWindow sticky;
    sticky.ownerPid = editor;
    sticky.space = 0;
    sticky.bounds = {0, 0, 300, 300};
    const auto stickyNumber = desktop->addWindow(sticky).number;
    desktop->setCurrentSpace(2);
    EXPECT_EQ(onScreenOrder(), (std::vector<std::uint32_t>{231, stickyNumber}));
    std::vector<std::string> spaces;
    auto s = runtime::NotificationCenter::workspace().addObserver(
        Workspace::activeSpaceDidChangeNotification, [&](const runtime::Notification& n) { spaces.push_back(n.name); });
    runUntilIdle();
    EXPECT_EQ(spaces.size(), 1u);
}

TEST_F(SimDesktopTest, WindowListDictionariesAndOverrides) {
    desktop->window(201)->infoOverrides = {{WindowKey::layer, "0"}, {WindowKey::alpha, nullptr}};
    desktop->window(201)->alpha = 0.5;
    auto list = *WindowServer::shared().windowList(WindowListOption::onScreenOnly | WindowListOption::excludeDesktopElements);
    const WindowInfo& w = list.front();
    EXPECT_EQ(w.int32(WindowKey::ownerPID), browser);
    EXPECT_EQ(w.string(WindowKey::ownerName), "Browser");
    EXPECT_EQ(w.string(WindowKey::name), "Page");
    EXPECT_FALSE(w.integer(WindowKey::layer));  // a string where an integer belongs reads as missing
    EXPECT_FALSE(w.number(WindowKey::alpha));   // removed by the override
    EXPECT_EQ(w.bounds(), (Rect{100, 100, 800, 600}));
    EXPECT_EQ(w.boolean(WindowKey::isOnscreen), true);

    SimWindow desk;
    desk.ownerPid = editor;
    desk.layer = kDesktopWindowLevel;
    desk.space = 0;
    desktop->addWindow(desk);
    EXPECT_EQ(WindowServer::shared().windowList(WindowListOption::onScreenOnly)->size(), 5u);
    EXPECT_EQ(WindowServer::shared().windowList(WindowListOption::excludeDesktopElements)->size(), 4u);
    desktop->setWindowListAvailable(false);
    EXPECT_FALSE(WindowServer::shared().windowList(WindowListOption::all));
}

// One process's part of the list is the whole list filtered by owner, whatever is hidden,
// minimised, on another Space or listed under another owner.
TEST_F(SimDesktopTest, OneProcesssWindowListIsTheWholeListFilteredByOwner) {
    auto& server = WindowServer::shared();
    const auto numbers = [](const std::optional<std::vector<WindowInfo>>& list) {
        std::vector<std::string> out;
        for (const auto& w : *list) out.push_back(w.raw().dump());
        return out;
    };
    const auto filtered = [&](WindowListOption options, std::int32_t pid) {
        auto all = server.windowList(options);
        std::erase_if(*all, [pid](const WindowInfo& w) { return w.int32(WindowKey::ownerPID) != pid; });
        return numbers(all);
    };
    const auto check = [&](const char* when) {
        for (auto options : {WindowListOption::all, WindowListOption::onScreenOnly,
                             WindowListOption::onScreenOnly | WindowListOption::excludeDesktopElements})
            for (std::int32_t pid : {browser, editor, mail, 999})
                EXPECT_EQ(numbers(server.windowListOfProcess(options, pid)), filtered(options, pid)) << when << " " << pid;
    };
    check("at first");
    desktop->setMinimized(202, true);
    desktop->window(231)->space = 2;
    SimWindow desk;
    desk.ownerPid = editor;
    desk.layer = kDesktopWindowLevel;
    desktop->addWindow(desk);
    desktop->raiseWindow(211);
    check("after changes");
    desktop->window(211)->infoOverrides = {{WindowKey::ownerPID, mail}};
    check("with a window listed under another owner");
    ASSERT_EQ(server.windowListOfProcess(WindowListOption::all, mail)->size(), 2u);
    desktop->setWindowListAvailable(false);
    EXPECT_FALSE(server.windowListOfProcess(WindowListOption::all, browser));
}

TEST_F(SimDesktopTest, FrontProcessCallAndItsAbsence) {
    ProcessSerialNumber psn;
    ASSERT_EQ(WindowServer::shared().getProcessForPID(editor, &psn), 0);
    EXPECT_NE(WindowServer::shared().getProcessForPID(4711, &psn), 0);
    WindowServer::shared().setFrontProcessWithOptions(*[&] {
        ProcessSerialNumber p;
        WindowServer::shared().getProcessForPID(browser, &p);
        return std::optional(p);
    }(), 202, 0x200);
    EXPECT_EQ(onScreenOrder().front(), 202u);
    EXPECT_EQ(frontPid(), browser);

    desktop->setFrontProcessCallAvailable(false);
    EXPECT_FALSE(WindowServer::shared().hasFrontProcessCall());
    WindowServer::shared().setFrontProcessWithOptions(psn, 211, 0x200);
    EXPECT_EQ(frontPid(), browser);
}

TEST_F(SimDesktopTest, FullscreenFillsTheScreenUnderTheWindowAndRestores) {
    desktop->moveWindow(231, {1600, -100, 800, 600});  // centre on the second screen
    desktop->setFullscreen(231, true);
    EXPECT_EQ(desktop->window(231)->bounds, (Rect{1440, 900 - 1080, 1920, 1080}));
    desktop->setFullscreen(231, false);
    EXPECT_EQ(desktop->window(231)->bounds, (Rect{1600, -100, 800, 600}));
}

TEST_F(SimDesktopTest, ProcessInfoAndScreens) {
    SimApp shell;
    shell.isApplication = false;
    shell.pid = 880;
    shell.executablePath = "/bin/zsh";
    shell.parentPid = 620;
    desktop->addApp(shell);
    EXPECT_EQ(ProcessInfo::shared().processIdentifier(), 300);
    EXPECT_EQ(ProcessInfo::shared().processPath(880), "/bin/zsh");
    EXPECT_EQ(ProcessInfo::shared().parentProcessIdentifier(880), 620);
    EXPECT_FALSE(ProcessInfo::shared().processPath(12345));
    EXPECT_FALSE(Workspace::shared().runningApplication(880));  // not an application

    auto& screens = Screens::shared();
    EXPECT_EQ(screens.screenContaining({1440, 10})->displayID, 2u);
    EXPECT_EQ(screens.screenContaining({1439.5, 899})->displayID, 1u);
    EXPECT_FALSE(screens.screenContaining({-1, 10}));
    // A window at the top left of the primary screen, in both coordinate systems.
    EXPECT_EQ(screens.toWindowServer({0, 800, 100, 100}), (Rect{0, 0, 100, 100}));
    EXPECT_EQ(screens.fromWindowServer({0, 0, 100, 100}), (Rect{0, 800, 100, 100}));

    std::vector<std::string> changes;
    auto s = runtime::NotificationCenter::defaultCenter().addObserver(
        Screens::screenParametersDidChangeNotification, [&](const runtime::Notification& n) { changes.push_back(n.name); });
    desktop->setScreens({desktop->screens().front()});
    desktop->setScreens({desktop->screens().front()});  // unchanged: nothing to announce
    runUntilIdle();
    EXPECT_EQ(changes.size(), 1u);
}

}  // namespace
}  // namespace quillmar::platform::sim
