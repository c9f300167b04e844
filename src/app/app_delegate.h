#pragma once
// The application delegate: Quillmar's start-up and shutdown, its main menu, its status item
// with the menu rebuilt on every opening, the status-menu actions and the setters they share with
// URL commands, and the entry of URL commands with the check of their sender.
//
// One delegate exists per process (AppDelegate::shared()); runApplication() installs it in the
// application object and runs the app as an accessory (no Dock icon, no menu bar of its own).
//
// Start-up (applicationDidFinishLaunching), strictly in this order: the application icon; the
// window catalogue, the Switch Bar controller (which brings the trackpad and auto-pause monitors
// with it), the auto-pause monitor and the trackpad monitor; the trackpad starts; the main menu;
// the status item; then the first-run and lost-permission flow. Shutdown hides the Switch Bar
// and stops the trackpad devices at once, then stops the Accessibility poll.
//
// The settings window is reached only through openSettingsWindow(): the delegate connects the
// settings window as its host when it is made, before any URL can arrive (a URL that launches
// the app opens the window too); setSettingsWindowHost() puts another host in place. Every request
// is counted and announced on settingsWindowRequested, then what came of it on
// settingsWindowOpened.
//
// Main thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/url_command.h"
#include "platform/application.h"
#include "platform/menu.h"
#include "platform/status_bar.h"
#include "runtime/lifetime.h"
#include "runtime/signal.h"

namespace quillmar {

class AppDelegate final : public platform::ApplicationDelegate, public platform::Menu::Delegate {
public:
    AppDelegate();
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // The process's delegate (created on first use).
    static AppDelegate& shared();

    // ---- Application life cycle --------------------------------------------------------------
    void applicationDidFinishLaunching() override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;
    void applicationOpenURLs(const std::vector<std::string>& urls) override;
    void applicationWillTerminate() override;
    void quitApp();

    // ---- Settings window ------------------------------------------------------------------------
    struct SettingsWindowHost {
        std::function<void()> open;
        std::function<void()> closeFromShortcut;
        // Why the window is not open after open() ran ("" when it is); none: the host always opens.
        std::function<std::string()> notOpenReason;
    };
    void setSettingsWindowHost(SettingsWindowHost host) { settingsWindowHost_ = std::move(host); }
    // Connects the settings window as the host (the delegate's constructor does).
    void connectSettingsWindow();
    void openSettingsWindow();
    void closeSettingsFromShortcut();
    // How many times openSettingsWindow() was called, hosted or not.
    int settingsWindowRequests() const { return settingsRequests_; }
    // Every openSettingsWindow(), hosted or not.
    runtime::Signal<> settingsWindowRequested;
    // What came of each request: whether the window is open now, and if not, why.
    struct SettingsWindowOpening {
        bool opened = false;
        std::string reason;
    };
    runtime::Signal<SettingsWindowOpening> settingsWindowOpened;

    // ---- Status item and menu -------------------------------------------------------------------
    void installStatusItem();
    void menuWillOpen(platform::Menu& menu) override;
    void rebuildStatusMenu(platform::Menu& menu);
    std::string statusGestureDescription() const;
    std::string statusLineText(const std::string& gesture) const;
    static std::string displayName(const std::string& bundleID);
    const std::shared_ptr<platform::StatusItem>& statusItem() const { return statusItem_; }
    const std::shared_ptr<platform::Menu>& statusMenu() const { return statusMenu_; }

    // ---- Status-menu actions ----------------------------------------------------------------------
    void toggleEnabled();
    void toggleQuickKeys();
    void toggleCurrentSpaceOnly();
    void toggleLaunchAtLogin();
    void togglePauseInGames();
    void toggleHolidaySparkle();
    void grantAccessibilityFromMenu();
    void toggleIgnoreCurrentApp() { toggleIgnoreFrontmostApp(); }
    void unignoreBundleIDFromMenu(const platform::MenuItem& sender);
    void resumeAllPausedApps();
    void selectHUDAppearanceFromMenu(const platform::MenuItem& sender);
    void openAboutTab();
    void toggleQAModeFromMenu();
    void cycleQAHUDAppearance();
    void toggleQAChristmasPerimeter();

    // ---- Setters shared with URL commands ---------------------------------------------------------
    // count: 0 (three or four fingers), 3 or 4. Leaves the top-edge trigger first.
    void setFingerCount(int count);
    void cycleHUDAppearance();
    void toggleIgnoreFrontmostApp();

    // ---- URL commands -----------------------------------------------------------------------------
    bool didReceiveURLBeforeFinishLaunching() const { return didReceiveURLBeforeFinishLaunching_; }
    // Whether the sender of the event being handled may change state.
    bool identifyURLSender() const;
    void handleURLCommand(const std::string& url, bool isTrustedSender);
    // What became of each URL of a delivery (for the event log; the app itself reports nothing).
    runtime::Signal<UrlCommandOutcome> urlCommandHandled;

    static constexpr int kMaxURLsPerDelivery = 4;
    static constexpr const char* kDumpFolder = "/tmp";
    static constexpr const char* kDumpName = "quillmar-targets-dump.txt";
    // Where the classification dump goes: a name inside a folder, written without following
    // anything that stands in the folder (tests and the simulated desktop point it elsewhere).
    void setDumpPath(std::string folder, std::string name) {
        dumpFolder_ = std::move(folder);
        dumpName_ = std::move(name);
    }
    void setDumpPath(const std::string& path);
    std::string dumpPath() const;
    // Each dump written or not: where, and why not (for the event log; the app reports nothing).
    struct ClassificationDump {
        std::string path;
        bool written = false;
        std::string problem;  // set when not written
    };
    runtime::Signal<ClassificationDump> classificationDumpWritten;

private:
    void installMainMenu();
    void runFirstRunAndPermissionFlow();
    void presentPreview();
    UrlCommandOutcome::Effect runURLCommand(const UrlCommand& command, bool trusted);
    UrlCommandOutcome::Effect runTrustedURLCommand(const UrlCommand& command);
    // Whether the dump was written.
    bool writeClassificationDump();
    platform::MenuItem& addAction(platform::Menu& menu, std::string title, std::string actionName,
                                  void (AppDelegate::*action)(), std::string key = {});

    std::shared_ptr<platform::StatusItem> statusItem_;
    std::shared_ptr<platform::Menu> statusMenu_;
    bool didReceiveURLBeforeFinishLaunching_ = false;
    SettingsWindowHost settingsWindowHost_;
    std::string dumpFolder_ = kDumpFolder;
    std::string dumpName_ = kDumpName;
    runtime::Lifetime lifetime_;
    int settingsRequests_ = 0;
};

// The entry point: installs the delegate in the shared application, makes the app an accessory
// and runs it. Returns 0 when the run ends.
int runApplication();

}  // namespace quillmar
