#pragma once
// A fresh world with the simulated desktop and every service the application shell starts:
// application object, status bar, URL opener, login items, the Switch Bar's services. start()
// runs the entry point; the status menu is then open-able through the status bar.

#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "app/url_sender_check.h"
#include "app/demo/switcher_demo_steps.h"
#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_application.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_login_items.h"
#include "platform/sim/sim_status_bar.h"
#include "platform/sim/sim_titled_windows.h"
#include "platform/sim/sim_url_opener.h"
#include "platform/user_defaults.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"

namespace quillmar::testing {

class AppShellTest : public FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        desktop = &platform::sim::SimDesktop::install();
        desktop->setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2}}, false);
        platform::sim::SimApp own;
        own.pid = 300;
        own.bundleIdentifier = "com.quillmar.macos";
        own.localizedName = "Quillmar";
        own.executablePath = "/Applications/Quillmar.app/Contents/MacOS/Quillmar";
        own.parentPid = 1;
        own.activationPolicy = platform::ActivationPolicy::accessory;
        desktop->setOwnProcess(std::move(own));
        platform::sim::SimAccessibilityApi::install(*desktop);
        setTrusted(true);
        installSwitcherServices();
        app = &platform::sim::SimApplication::install(*desktop);
        statusBar = &platform::sim::SimStatusBar::install(*desktop);
        urls = &platform::sim::SimUrlOpener::install(*desktop);
        loginItems = &platform::sim::SimLoginItems::install();
        platform::sim::SimTitledWindows::install();
        // Not a first run unless a test says so.
        defaults().set("hasCompletedInitialOnboarding", true);
    }

    void setTrusted(bool on) { desktop->extension<platform::sim::SimAccessibilityState>().trusted = on; }
    static platform::UserDefaults& defaults() { return platform::UserDefaults::standard(); }
    static SwitcherSettings& settings() { return SwitcherSettings::shared(); }
    static AppDelegate& delegate() { return AppDelegate::shared(); }

    void start() {
        runApplication();
        runUntilIdle();
    }

    std::int32_t addApp(const std::string& name, const std::string& bundleID, std::optional<std::int32_t> parent = {},
                        std::string path = {}) {
        platform::sim::SimApp a;
        a.localizedName = name;
        a.bundleIdentifier = bundleID;
        a.bundlePath = "/Applications/" + name + ".app";
        a.executablePath = path.empty() ? "/Applications/" + name + ".app/Contents/MacOS/" + name : path;
        a.parentPid = parent;
        return desktop->addApp(std::move(a)).pid;
    }

    std::int32_t addProcess(const std::string& path, std::optional<std::int32_t> parent) {
        platform::sim::SimApp p;
        p.isApplication = false;
        p.executablePath = path;
        p.parentPid = parent;
        return desktop->addApp(std::move(p)).pid;
    }

    std::uint32_t addWindow(std::int32_t pid, const std::string& title) {
        platform::sim::SimWindow w;
        w.ownerPid = pid;
        w.title = title;
        w.bounds = {100, 100, 800, 600};
        return desktop->addWindow(std::move(w)).number;
    }

    // Whether a URL event from this sender, with this pid in its audit token, passes the check.
    static bool senderTrusted(std::optional<std::int32_t> senderPid, std::optional<std::int32_t> tokenPid = std::nullopt) {
        const auto event = platform::AppleEvent::fromSender(senderPid, tokenPid);
        return UrlSenderCheck::isTrusted(&event);
    }

    platform::Menu& openMenu() {
        auto* menu = statusBar->openMenu();
        EXPECT_NE(menu, nullptr);
        return *menu;
    }

    std::vector<std::string> titles(const platform::Menu& menu) {
        std::vector<std::string> out;
        for (const auto& item : menu.items()) out.push_back(item->isSeparator ? "---" : item->title);
        return out;
    }

    platform::MenuItem* item(const std::string& title) { return openMenu().itemWithTitle(title); }

    bool pick(const std::vector<std::string>& path) { return statusBar->pick(openMenu(), path); }

    platform::sim::SimDesktop* desktop = nullptr;
    platform::sim::SimApplication* app = nullptr;
    platform::sim::SimStatusBar* statusBar = nullptr;
    platform::sim::SimUrlOpener* urls = nullptr;
    platform::sim::SimLoginItems* loginItems = nullptr;
};

}  // namespace quillmar::testing
