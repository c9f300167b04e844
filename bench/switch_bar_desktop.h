#pragma once
// A simulated desktop as a user with many windows has it, for the benchmarks of the Switch Bar:
// a 1,440 x 900 pt screen at 2x, apps with letter icons, windows spread round-robin over the
// apps, instant accessibility answers, a built-in trackpad, and the switcher's services with its
// controller wired to the trackpad monitor.
//
//   BenchDesktop desk(40, 200);
//   desk.openWithSlide();                    // touch frames until the bar presents
//   desk.panel()->renderImage(2.0);

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/demo/generated_app_icons.h"
#include "app/demo/switcher_demo_steps.h"
#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_multitouch.h"
#include "platform/sim/touch_steps.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "switcher/switcher_controller.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar::bench {

class BenchDesktop {
public:
    BenchDesktop(int apps, int windows, SwitchBarStyle style = SwitchBarStyle::horizontal) {
        runtime::World::reset();
        desktop_ = &platform::sim::SimDesktop::install();
        desktop_->setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2}}, false);
        desktop_->setPointer({700, 400});
        platform::sim::SimAccessibilityApi::install(*desktop_);
        desktop_->extension<platform::sim::SimAccessibilityState>().trusted = true;
        platform::sim::SimApp own;
        own.localizedName = "Quillmar";
        own.activationPolicy = platform::ActivationPolicy::accessory;
        desktop_->setOwnProcess(std::move(own));
        std::vector<std::int32_t> pids;
        for (int i = 0; i < apps; ++i) {
            platform::sim::SimApp app;
            app.localizedName = "App " + std::to_string(i + 1);
            app.bundleIdentifier = "com.example.app" + std::to_string(i);
            app.bundlePath = "/Applications/App" + std::to_string(i) + ".app";
            app.iconColor = 0xff000000u | (0x3a5fd9u + static_cast<std::uint32_t>(i) * 0x1f3b17u) % 0xffffffu;
            pids.push_back(desktop_->addApp(std::move(app)).pid);
        }
        for (int k = 0; k < windows && !pids.empty(); ++k) {
            platform::sim::SimWindow w;
            w.ownerPid = pids[static_cast<std::size_t>(k) % pids.size()];
            w.title = "Document " + std::to_string(k + 1);
            w.bounds = {100.0 + k % 20 * 10, 100.0 + k % 15 * 10, 800, 600};
            desktop_->addWindow(std::move(w));
        }
        pids_ = pids;
        windows_ = windows;
        if (!pids.empty()) desktop_->setFrontmost(pids.front());
        mt_ = &platform::sim::installSimTouchHardware();
        pad_ = mt_->addDevice(platform::sim::SimMultitouchDeviceInfo::trackpad("Built-in Trackpad"));
        installSwitcherServices();
        auto& settings = SwitcherSettings::shared();
        settings.switchBarStyle = style;
        settings.fingerCount = 3;
        vertical_ = style == SwitchBarStyle::vertical;
        SwitcherController::shared();
        TrackpadTouchMonitor::shared().start();
        runtime::MainLoop::main().runUntilIdle();
        // What the app does once its start-up is through.
        SwitcherController::shared().warmUp();
        runtime::MainLoop::main().runUntilIdle();
    }
    ~BenchDesktop() {
        pad_.reset();
        runtime::World::reset();
    }
    BenchDesktop(const BenchDesktop&) = delete;
    BenchDesktop& operator=(const BenchDesktop&) = delete;

    // Three fingers land and slide to the right (down for the list), one frame at a time at 90 Hz (the framework's
    // callbacks run on this thread, the main loop drained after each), until the bar presents.
    // False when the slide ended without it.
    bool openWithSlide() {
        auto& controller = SwitcherController::shared();
        for (int i = 0; i < 40 && !controller.isVisible.get(); ++i)
            deliver(vertical_ ? 0.5 : 0.30 + 0.01 * i, vertical_ ? 0.7 - 0.01 * i : 0.5);
        return controller.isVisible.get();
    }
    // The fingers lift and the bar is put away at once; the main loop runs until it is idle.
    void close() {
        deliver(-1, 0);
        SwitcherController::shared().dismissHUD(true);
        runtime::MainLoop::main().advance(1.0);
    }
    NonActivatingPanel* panel() { return SwitcherController::shared().panel(); }
    // Opens windows again until the desktop has as many as it was built with (after a close).
    void topUpWindows() {
        for (auto n = desktop_->windows().size(); n < static_cast<std::size_t>(windows_) && !pids_.empty(); ++n) {
            platform::sim::SimWindow w;
            w.ownerPid = pids_[n % pids_.size()];
            w.title = "Document " + std::to_string(n + 1);
            w.bounds = {100.0 + double(n % 20) * 10, 100.0 + double(n % 15) * 10, 800, 600};
            desktop_->addWindow(std::move(w));
        }
    }

private:
    // One frame with the fingers centred at (x, y) (none when x is negative).
    void deliver(double x, double y) {
        auto& loop = runtime::MainLoop::main();
        loop.advance(1.0 / 90);
        std::vector<platform::sim::SimFinger> fingers;
        if (x >= 0)
            for (int f = 0; f < 3; ++f) fingers.push_back({f + 1, static_cast<float>(x + (f - 1) * 0.06),
                                     static_cast<float>(y), 1.0f, 4});
        mt_->deliverFrame(pad_.get(), platform::sim::simTouches(fingers, runtime::mediaTime()), runtime::mediaTime());
        loop.runUntilIdle();
    }

    platform::sim::SimDesktop* desktop_ = nullptr;
    platform::sim::SimMultitouchFramework* mt_ = nullptr;
    platform::MTDeviceHandle pad_;
    bool vertical_ = false;
    std::vector<std::int32_t> pids_;
    int windows_ = 0;
};

}  // namespace quillmar::bench
