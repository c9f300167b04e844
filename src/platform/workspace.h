#pragma once
// The workspace: the running applications, the frontmost one, and the actions on them (launch,
// activate, hide, unhide, terminate). Its notifications are posted on
// runtime::NotificationCenter::workspace(), on a later turn of the main loop than the change that
// caused them, each carrying the application (a RunningApplication snapshot taken at the event)
// under applicationKey where one is concerned.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/running_application.h"
#include "runtime/world.h"

namespace quillmar::platform {

// Bits of the activation options.
enum ActivationOption : std::uint32_t {
    activateAllWindows = 1,        // bring every window of the app forward, not only its front one
    activateIgnoringOtherApps = 2  // activate even when another app is active
};

class Workspace {
public:
    virtual ~Workspace() = default;

    // The installed workspace (the simulated desktop installs its own).
    static Workspace& shared() { return runtime::World::shared<Workspace>(); }

    // Notification names. Those about one application carry it under applicationKey.
    static constexpr const char* didLaunchApplicationNotification = "WorkspaceDidLaunchApplication";
    static constexpr const char* didActivateApplicationNotification = "WorkspaceDidActivateApplication";
    static constexpr const char* didHideApplicationNotification = "WorkspaceDidHideApplication";
    static constexpr const char* didUnhideApplicationNotification = "WorkspaceDidUnhideApplication";
    static constexpr const char* didTerminateApplicationNotification = "WorkspaceDidTerminateApplication";
    static constexpr const char* activeSpaceDidChangeNotification = "WorkspaceActiveSpaceDidChange";
    static constexpr const char* willSleepNotification = "WorkspaceWillSleep";
    static constexpr const char* didWakeNotification = "WorkspaceDidWake";
    static constexpr const char* screensDidSleepNotification = "WorkspaceScreensDidSleep";
    static constexpr const char* screensDidWakeNotification = "WorkspaceScreensDidWake";
    static constexpr const char* sessionDidResignActiveNotification = "WorkspaceSessionDidResignActive";
    static constexpr const char* sessionDidBecomeActiveNotification = "WorkspaceSessionDidBecomeActive";
    // userInfo key of the RunningApplication in the notifications above.
    static constexpr const char* applicationKey = "application";

    // Running applications in launch order (terminated ones are gone).
    virtual std::vector<RunningApplication> runningApplications() const = 0;
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;
    virtual std::optional<RunningApplication> runningApplication(std::int32_t pid) const = 0;

    // Makes the app frontmost and brings its front window (all its windows with
    // activateAllWindows) above the others; a hidden app is unhidden first. False when there is no
    // such app or it cannot be activated (prohibited policy).
    virtual bool activate(std::int32_t pid, std::uint32_t options) = 0;
    virtual bool hide(std::int32_t pid) = 0;
    virtual bool unhide(std::int32_t pid) = 0;
    // A polite quit request: true when it was delivered; the app may still refuse and keep running.
    virtual bool terminate(std::int32_t pid) = 0;
    virtual bool forceTerminate(std::int32_t pid) = 0;
    // This application hands activation over to another (it takes effect with that app's activation).
    virtual void yieldActivation(std::int32_t toPid) = 0;
    // Opens the application at bundlePath: launches it when it is not running, otherwise reopens
    // it; with activates it becomes frontmost. False when nothing can be opened there.
    virtual bool openApplication(const std::string& bundlePath, bool activates) = 0;

    // The Info.plist of the bundle at bundlePath; nullopt when no bundle can be opened there.
    virtual std::optional<InfoDictionary> infoDictionary(const std::string& bundlePath) const = 0;
    // The icon the file browser shows for a file or bundle path (never null).
    virtual AppIconRef iconForFile(const std::string& path) const = 0;
    // Where the application with this bundle identifier is installed (running or not); nullopt
    // when the system knows none.
    virtual std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) const {
        (void)bundleIdentifier;
        return std::nullopt;
    }
};

}  // namespace quillmar::platform
