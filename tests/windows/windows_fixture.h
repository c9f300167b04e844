#pragma once
// A fresh world with a simulated desktop (and its Accessibility and URL services) for the window
// catalogue's tests, plus shorthands to build scenes.

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_url_opener.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"
#include "windows/window_manager.h"

namespace quillmar::testing {

class WindowsTest : public FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        desktop = &platform::sim::SimDesktop::install();
        ax = &platform::sim::SimAccessibilityApi::install(*desktop);
        urls = &platform::sim::SimUrlOpener::install(*desktop);
        platform::sim::SimApp own;
        own.bundleIdentifier = "app.quillmar";
        own.localizedName = "Quillmar";
        own.activationPolicy = platform::ActivationPolicy::accessory;
        ownPid = desktop->setOwnProcess(std::move(own)).pid;
        desktop->extension<platform::sim::SimAccessibilityState>().trusted = true;
    }

    std::int32_t addApp(const std::string& name, std::optional<std::string> bundleID = std::nullopt,
                        bool hidden = false) {
        platform::sim::SimApp app;
        app.localizedName = name;
        app.bundleIdentifier = bundleID ? bundleID : std::optional<std::string>("com.example." + name);
        app.bundlePath = "/Applications/" + name + ".app";
        app.isHidden = hidden;
        return desktop->addApp(std::move(app)).pid;
    }

    // Added behind every window added before it.
    std::uint32_t addWindow(std::int32_t pid, const std::string& title, platform::Rect bounds = {100, 100, 800, 600},
                            bool minimized = false, int space = 1) {
        platform::sim::SimWindow w;
        w.ownerPid = pid;
        w.title = title;
        w.bounds = bounds;
        w.isMinimized = minimized;
        w.space = space;
        return desktop->addWindow(std::move(w)).number;
    }

    WindowManager& wm() { return WindowManager::shared(); }

    std::vector<std::string> ids(const std::vector<SwitchTarget>& targets) {
        std::vector<std::string> out;
        for (const auto& t : targets) out.push_back(t.id);
        return out;
    }
    std::vector<std::string> labels(const std::vector<SwitchTarget>& targets) {
        std::vector<std::string> out;
        for (const auto& t : targets) out.push_back(t.displayLabel);
        return out;
    }
    static std::string win(std::uint32_t n) { return "win-" + std::to_string(n); }
    static std::string appEntry(std::int32_t pid) { return "app-" + std::to_string(pid); }

    bool logged(const std::string& line) const {
        const auto& log = desktop->callLog();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    // Whether the lines appear in this order (others may come between).
    bool loggedInOrder(const std::vector<std::string>& lines) const {
        const auto& log = desktop->callLog();
        auto it = log.begin();
        for (const auto& l : lines) {
            it = std::find(it, log.end(), l);
            if (it == log.end()) return false;
            ++it;
        }
        return true;
    }

    platform::sim::SimDesktop* desktop = nullptr;
    platform::sim::SimAccessibilityApi* ax = nullptr;
    platform::sim::SimUrlOpener* urls = nullptr;
    std::int32_t ownPid = 0;
};

}  // namespace quillmar::testing
