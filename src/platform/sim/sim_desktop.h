#pragma once
// The simulated desktop: one coherent in-memory model of the screens, the pointer, the processes
// and running applications, and their windows, behind the platform interfaces (Workspace,
// WindowServer, Screens, ProcessInfo). Actions have their real effects: activating an app makes it
// frontmost and brings its windows forward, raising a window reorders the stack and makes its app
// frontmost, hiding takes the app's windows off screen, terminating removes the app and its
// windows. Workspace notifications are posted on a later turn of the main loop.
//
// Tests build a scene in C++ (addApp, addWindow, setScreens...), then act through the interfaces
// or directly here, and read the effects back (windows(), frontmostPid(), callLog()). Other
// simulated services keep their per-desktop state in extension<T>() and follow changes through
// `changed`. Main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "platform/running_application.h"
#include "platform/screens.h"
#include "platform/sim/sim_app.h"
#include "platform/sim/sim_window.h"
#include "platform/window_server.h"
#include "runtime/signal.h"

namespace quillmar::platform::sim {

class SimDesktop {
public:
    SimDesktop();
    SimDesktop(const SimDesktop&) = delete;
    SimDesktop& operator=(const SimDesktop&) = delete;

    // Puts a fresh, empty desktop into the world together with its Workspace, WindowServer,
    // Screens and ProcessInfo backends, and returns it.
    static SimDesktop& install();
    // The installed desktop (installs one when there is none yet).
    static SimDesktop& shared();

    // ---- Screens and pointer ------------------------------------------------------------------
    // With notify, a change of the list posts Screens::screenParametersDidChangeNotification.
    void setScreens(std::vector<Screen> screens, bool notify = true);
    const std::vector<Screen>& screens() const { return screens_; }
    void setMainScreenIndex(std::size_t index) { mainScreenIndex_ = index; }
    std::optional<Screen> mainScreen() const;
    void setPointer(Point global) { pointer_ = global; }
    Point pointer() const { return pointer_; }

    // ---- Building the scene (no notifications, nothing logged) --------------------------------
    // Adds a process (an application unless app.isApplication is false). A pid of 0 is assigned;
    // an application remembers its windows as installed at its bundle path, so that opening it
    // after it quit launches it again with the same windows.
    SimApp& addApp(SimApp app);
    // This program's own process (replacing an earlier one).
    SimApp& setOwnProcess(SimApp app);
    std::int32_t ownPid() const { return ownPid_; }
    // Adds a window behind every window of its layer; a number of 0 is assigned.
    SimWindow& addWindow(SimWindow window);
    // An application that is installed at app.bundlePath but not running; opening it launches it
    // with these windows.
    void addInstalledApplication(SimApp app, std::vector<SimWindow> windows);
    // Puts these windows in front, in this order (front first); the others keep theirs behind.
    void setStackingOrder(const std::vector<std::uint32_t>& frontToBack);
    // Sets the frontmost application without raising anything or notifying.
    void setFrontmost(std::optional<std::int32_t> pid);
    // With notify, a change posts Workspace::activeSpaceDidChangeNotification.
    void setCurrentSpace(int space, bool notify = true);
    int currentSpace() const { return currentSpace_; }
    void setPreferredLanguages(std::vector<std::string> languages) { preferredLanguages_ = std::move(languages); }
    const std::vector<std::string>& preferredLanguages() const { return preferredLanguages_; }

    // Faults of the window server.
    void setWindowListAvailable(bool available) { windowListAvailable_ = available; }
    void setProcessLookupAvailable(bool available) { processLookupAvailable_ = available; }
    void setFrontProcessCallAvailable(bool available) { frontProcessCallAvailable_ = available; }
    bool isProcessLookupAvailable() const { return processLookupAvailable_; }
    bool isFrontProcessCallAvailable() const { return frontProcessCallAvailable_; }

    // ---- Reading --------------------------------------------------------------------------------
    // Every process (applications and others), in launch order.
    std::vector<const SimApp*> processes() const;
    SimApp* app(std::int32_t pid);
    const SimApp* app(std::int32_t pid) const;
    const SimApp* appWithBundleIdentifier(const std::string& bundleID) const;
    std::vector<RunningApplication> runningApplications() const;
    std::optional<RunningApplication> runningApplication(std::int32_t pid) const;
    RunningApplication snapshot(const SimApp& app) const;
    // The Info.plist of the bundle at a path, of a running or an installed application; nullopt
    // when no bundle can be opened there.
    std::optional<InfoDictionary> bundleInfo(const std::string& bundlePath) const;
    // The bundle path of an installed or running application with this identifier.
    std::optional<std::string> applicationPath(const std::string& bundleID) const;
    std::optional<std::int32_t> frontmostPid() const { return frontmost_; }
    // Applications most recently activated first.
    const std::vector<std::int32_t>& activationOrder() const { return activationOrder_; }

    // Windows front to back: higher layers first, then stacking order within a layer.
    std::vector<const SimWindow*> windows() const;
    std::vector<const SimWindow*> windowsOf(std::int32_t pid) const;
    SimWindow* window(std::uint32_t number);
    const SimWindow* window(std::uint32_t number) const;
    bool isOnScreen(const SimWindow& w) const;
    static bool isDesktopElement(const SimWindow& w);
    // The window server's list (nullopt while the list is made unavailable).
    std::optional<std::vector<WindowInfo>> windowList(WindowListOption options) const;
    // The part of that list made from the process's own windows: the windows it owns, unless
    // listsWindowsUnderOtherOwners() (then only the whole list says which are listed as its).
    std::optional<std::vector<WindowInfo>> windowListOfProcess(WindowListOption options, std::int32_t pid) const;
    // Whether some window's listing names another owner than its own.
    bool listsWindowsUnderOtherOwners() const;
    WindowInfo windowInfo(const SimWindow& w) const;

    // ---- Actions (the backends call these; each is logged) -------------------------------------
    bool activate(std::int32_t pid, std::uint32_t options);
    bool hide(std::int32_t pid);
    bool unhide(std::int32_t pid);
    bool terminate(std::int32_t pid);
    bool forceTerminate(std::int32_t pid);
    void yieldActivation(std::int32_t toPid);
    bool openApplication(const std::string& bundlePath, bool activates);
    // Launches a new process of app (posts did-launch), optionally activating it.
    SimApp& launch(SimApp app, std::vector<SimWindow> windows, bool activates);
    // Brings the window to the front of its layer and makes its app frontmost.
    bool raiseWindow(std::uint32_t number);
    // Unminimising shows the window and raises it.
    bool setMinimized(std::uint32_t number, bool minimized);
    bool closeWindow(std::uint32_t number);
    bool moveWindow(std::uint32_t number, const Rect& bounds);
    // Fullscreen fills the screen under the window's centre; leaving restores the old bounds.
    bool setFullscreen(std::uint32_t number, bool fullscreen);
    bool setWindowTitle(std::uint32_t number, std::string title);
    // The window server's front-process call: the process becomes frontmost with that window
    // (or its front window) in front.
    void setFrontProcess(std::int32_t pid, std::uint32_t windowNumber, std::uint32_t options);
    // Posts one of the workspace's system notifications (sleep, wake, screens, session).
    void postSystemEvent(const std::string& notificationName);

    // ---- Observation ----------------------------------------------------------------------------
    // One line per action, e.g. "activate pid 42", "raise window 7", "terminate pid 9 refused".
    const std::vector<std::string>& callLog() const { return callLog_; }
    void clearCallLog() { callLog_.clear(); }
    void logCall(std::string line) { callLog_.push_back(std::move(line)); }
    // Emitted after every change of processes, windows, screens, Space or the frontmost app.
    runtime::Signal<> changed;

    // Per-desktop state of other simulated services, created on first use.
    template <class T>
    T& extension() {
        auto& slot = extensions_[std::type_index(typeid(T))];
        if (!slot) slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

private:
    struct Installed {
        SimApp app;
        std::vector<SimWindow> windows;
    };

    void notify(const std::string& name, std::optional<RunningApplication> app = std::nullopt);
    void makeFrontmost(std::int32_t pid);
    void chooseNextFrontmost(std::int32_t leaving);
    void bringToFront(std::uint32_t number);
    void removeProcess(std::int32_t pid);
    void doUnhide(SimApp& app);
    SimWindow& insertWindow(SimWindow window, bool recordAsInstalled);
    std::optional<Screen> screenForWindow(const SimWindow& w) const;

    std::vector<std::unique_ptr<SimApp>> processes_;
    std::unordered_map<std::int32_t, SimApp*> processByPid_;  // the same processes, found by pid
    std::map<std::uint32_t, SimWindow> windows_;
    std::vector<std::uint32_t> stack_;  // front to back, all layers
    // Each app's window numbers in stack order, made again after the stack changes: asking for
    // every app's windows in turn must not walk every window for each app.
    mutable std::unordered_map<std::int32_t, std::vector<std::uint32_t>> stackByOwner_;
    mutable bool stackByOwnerValid_ = false;
    std::map<std::string, Installed> installed_;
    std::map<std::uint32_t, Rect> boundsBeforeFullscreen_;
    std::vector<std::int32_t> activationOrder_;
    std::optional<std::int32_t> frontmost_;
    std::vector<Screen> screens_;
    std::size_t mainScreenIndex_ = 0;
    Point pointer_;
    int currentSpace_ = 1;
    std::int32_t ownPid_ = 0;
    std::int32_t nextPid_ = 400;
    std::uint32_t nextWindowNumber_ = 100;
    std::vector<std::string> preferredLanguages_{"en-US"};
    bool windowListAvailable_ = true;
    bool processLookupAvailable_ = true;
    bool frontProcessCallAvailable_ = true;
    std::vector<std::string> callLog_;
    std::map<std::type_index, std::shared_ptr<void>> extensions_;
};

}  // namespace quillmar::platform::sim
