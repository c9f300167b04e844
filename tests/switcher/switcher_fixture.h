#pragma once
// A fresh world with a simulated desktop (one 1440 x 900 screen, trusted Accessibility) and every
// service the Switch Bar uses (panels, hot keys, haptics, screen reader, keyboard layout), plus
// shorthands to build scenes and open the bar.

#include <string>
#include <vector>

#include "platform/accessibility_display_options.h"
#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_hot_keys.h"
#include "platform/sim/sim_keyboard_layout.h"
#include "platform/sim/sim_panel_windows.h"
#include "platform/sim/sim_user_feedback.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"
#include "switcher/switcher_controller.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "windows/window_manager.h"

namespace quillmar::testing {

class SwitcherTest : public FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        desktop = &platform::sim::SimDesktop::install();
        desktop->setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2}}, false);
        desktop->setPointer({700, 400});
        platform::sim::SimAccessibilityApi::install(*desktop);
        panels = &platform::sim::SimPanelWindows::install();
        hotKeys = &platform::sim::SimHotKeys::install();
        haptics = &platform::sim::SimHaptics::install();
        announcer = &platform::sim::SimAccessibilityAnnouncer::install();
        layout = &platform::sim::SimKeyboardLayout::install();
        platform::sim::SimApp own;
        own.bundleIdentifier = "app.quillmar";
        own.localizedName = "Quillmar";
        own.activationPolicy = platform::ActivationPolicy::accessory;
        desktop->setOwnProcess(std::move(own));
        setTrusted(true);
    }

    void setTrusted(bool on) { desktop->extension<platform::sim::SimAccessibilityState>().trusted = on; }

    std::int32_t addApp(const std::string& name, std::uint32_t top = 0xff4a90d9u, std::uint32_t bottom = 0xff2c5aa0u) {
        platform::sim::SimApp app;
        app.localizedName = name;
        app.bundleIdentifier = "com.example." + name;
        app.bundlePath = "/Applications/" + name + ".app";
        app.icon = platform::AppIcon::roundedSquare(128, top, bottom);
        return desktop->addApp(std::move(app)).pid;
    }

    std::uint32_t addWindow(std::int32_t pid, const std::string& title, bool minimized = false) {
        platform::sim::SimWindow w;
        w.ownerPid = pid;
        w.title = title;
        w.bounds = {100, 100, 800, 600};
        w.isMinimized = minimized;
        return desktop->addWindow(std::move(w)).number;
    }

    // n apps with one window each; the first is frontmost.
    std::vector<std::int32_t> addApps(int n) {
        static const char* names[] = {"Postbox", "Inkwell", "Meridian", "Chorus", "Atlas", "Gallery", "Almanac", "Console",
                                      "Finder", "Lantern", "Shelf", "Herald", "Airwaves", "Nudge", "Ticker",
                                      "Skyline", "Dial", "Rolodeck", "Abacus", "Quire", "Lectern", "Forge"};
        static const std::uint32_t colors[] = {0xff4a90d9u, 0xffe0a030u, 0xff3aa757u, 0xffd9534fu,
                                               0xff8e6bd1u, 0xff2bb3b1u, 0xffe56fa7u, 0xff505a66u};
        std::vector<std::int32_t> pids;
        for (int i = 0; i < n; ++i) {
            const std::string name = i < 22 ? names[i] : "App" + std::to_string(i);
            auto pid = addApp(name, colors[i % 8], colors[(i + 3) % 8]);
            addWindow(pid, name + " window " + std::to_string(i + 1));
            pids.push_back(pid);
        }
        if (!pids.empty()) desktop->setFrontmost(pids.front());
        return pids;
    }

    SwitcherController& controller() { return SwitcherController::shared(); }
    SwitcherSettings& settings() { return SwitcherSettings::shared(); }
    platform::sim::SimPanelWindow* simPanel() {
        auto all = panels->panels();
        return all.empty() ? nullptr : all.front();
    }

    platform::sim::SimDesktop* desktop = nullptr;
    platform::sim::SimPanelWindows* panels = nullptr;
    platform::sim::SimHotKeys* hotKeys = nullptr;
    platform::sim::SimHaptics* haptics = nullptr;
    platform::sim::SimAccessibilityAnnouncer* announcer = nullptr;
    platform::sim::SimKeyboardLayout* layout = nullptr;
};

}  // namespace quillmar::testing
