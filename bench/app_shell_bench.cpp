// The application shell's per-use costs: one opening of the status menu (refresh and rebuild,
// with three paused apps), taking a URL apart, one sender check over a process tree, and
// drawing the status menu for the demo.

#include <benchmark/benchmark.h>

#include "app/app_delegate.h"
#include "app/demo/status_menu_picture.h"
#include "app/demo/switcher_demo_steps.h"
#include "app/url_command.h"
#include "app/url_sender_check.h"
#include "platform/sim/sim_accessibility_api.h"
#include "platform/sim/sim_application.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_status_bar.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"

namespace {

using namespace quillmar;

struct Shell {
    platform::sim::SimDesktop* desktop = nullptr;
    platform::sim::SimStatusBar* bar = nullptr;
    std::int32_t openTool = 0;

    Shell() {
        runtime::World::reset();
        desktop = &platform::sim::SimDesktop::install();
        desktop->setScreens({platform::Screen{1, "Built-in", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2}}, false);
        platform::sim::SimApp own;
        own.bundleIdentifier = "com.quillmar.macos";
        own.activationPolicy = platform::ActivationPolicy::accessory;
        desktop->setOwnProcess(std::move(own));
        platform::sim::SimAccessibilityApi::install(*desktop);
        installSwitcherServices();
        platform::sim::SimApplication::install(*desktop);
        bar = &platform::sim::SimStatusBar::install(*desktop);
        for (int i = 0; i < 8; ++i) {
            platform::sim::SimApp app;
            app.localizedName = "App " + std::to_string(i);
            app.bundleIdentifier = "com.example.app" + std::to_string(i);
            auto pid = desktop->addApp(std::move(app)).pid;
            platform::sim::SimWindow w;
            w.ownerPid = pid;
            w.title = "Window " + std::to_string(i);
            w.bounds = {100, 100, 800, 600};
            desktop->addWindow(std::move(w));
            if (i == 0) desktop->setFrontmost(pid);
        }
        platform::sim::SimApp shell;
        shell.isApplication = false;
        shell.executablePath = "/bin/zsh";
        shell.parentPid = 1;
        const auto shellPid = desktop->addApp(std::move(shell)).pid;
        platform::sim::SimApp open;
        open.isApplication = false;
        open.executablePath = "/usr/bin/open";
        open.parentPid = shellPid;
        openTool = desktop->addApp(std::move(open)).pid;
        SwitcherSettings::shared().ignoredBundleIDs =
            std::vector<std::string>{"com.example.app3", "com.example.app1", "com.example.app5"};
        runApplication();
    }
    ~Shell() { runtime::World::reset(); }
};

void BM_StatusMenuOpening(benchmark::State& state) {
    Shell shell;
    for (auto _ : state) benchmark::DoNotOptimize(shell.bar->openMenu());
}
BENCHMARK(BM_StatusMenuOpening);

void BM_UrlCommandParse(benchmark::State& state) {
    const std::string url = "QUILLMAR://Settings/%41bout?x=1&tab=Shortcuts&y";
    for (auto _ : state) benchmark::DoNotOptimize(UrlCommand::parse(url));
}
BENCHMARK(BM_UrlCommandParse);

void BM_UrlSenderCheckThroughOpenTool(benchmark::State& state) {
    Shell shell;
    const auto event = platform::AppleEvent::fromSender(shell.openTool, std::nullopt);
    for (auto _ : state) benchmark::DoNotOptimize(UrlSenderCheck::isTrusted(&event));
}
BENCHMARK(BM_UrlSenderCheckThroughOpenTool);

void BM_StatusMenuPicture(benchmark::State& state) {
    Shell shell;
    auto* menu = shell.bar->openMenu();
    StatusMenuPictureOptions options;
    options.openSubmenu = "Switch Bar Appearance";
    for (auto _ : state) benchmark::DoNotOptimize(StatusMenuPicture::render(shell.bar->items().front().get(), *menu, options));
}
BENCHMARK(BM_StatusMenuPicture)->Unit(benchmark::kMillisecond);

}  // namespace
