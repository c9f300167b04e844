#pragma once
// The simulated desktop the view benchmarks draw from: a fresh world with one Retina screen,
// trusted Accessibility, panels, and `apps` apps with one window each, the first frontmost.

#include <string>

#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_panel_windows.h"
#include "runtime/world.h"

namespace quillmar::bench {

inline platform::sim::SimDesktop& setUpBenchDesktop(int apps) {
    runtime::World::reset();
    auto& desktop = platform::sim::SimDesktop::install();
    desktop.setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2}}, false);
    desktop.setPointer({700, 400});
    platform::sim::SimAccessibilityApi::install(desktop);
    desktop.extension<platform::sim::SimAccessibilityState>().trusted = true;
    platform::sim::SimPanelWindows::install();
    platform::sim::SimApp own;
    own.localizedName = "Quillmar";
    own.activationPolicy = platform::ActivationPolicy::accessory;
    desktop.setOwnProcess(std::move(own));
    std::int32_t first = 0;
    for (int i = 0; i < apps; ++i) {
        platform::sim::SimApp app;
        app.localizedName = "App " + std::to_string(i + 1);
        app.bundleIdentifier = "com.example.app" + std::to_string(i);
        app.bundlePath = "/Applications/App" + std::to_string(i) + ".app";
        app.icon = platform::AppIcon::roundedSquare(128, 0xff4a90d9u + static_cast<std::uint32_t>(i) * 0x0a0a00u,
                                                    0xff2c5aa0u);
        auto pid = desktop.addApp(std::move(app)).pid;
        if (i == 0) first = pid;
        platform::sim::SimWindow w;
        w.ownerPid = pid;
        w.title = "Document " + std::to_string(i + 1);
        w.bounds = {100, 100, 800, 600};
        desktop.addWindow(std::move(w));
    }
    desktop.setFrontmost(first);
    return desktop;
}

}  // namespace quillmar::bench
