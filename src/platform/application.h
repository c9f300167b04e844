#pragma once
// The application object: the process's one connection to the desktop. It has a delegate that
// hears the life cycle (finished launching, reopen, URLs to open, about to terminate), an
// activation policy (an accessory app has no Dock icon and no menu bar of its own until one of
// its windows is key), an icon and a main menu whose key equivalents reach their items while the
// app is active.
//
// Application::shared() returns the installed backend. Main thread only.

#include <memory>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/running_application.h"
#include "runtime/world.h"

namespace quillmar::platform {

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching() = 0;
    // The user opened the app again (from the file browser or the Dock). Returns whether the app
    // handled it.
    virtual bool applicationShouldHandleReopen(bool hasVisibleWindows) = 0;
    // URLs sent to the app; AppleEventManager::currentEvent() is the event that carries them.
    virtual void applicationOpenURLs(const std::vector<std::string>& urls) = 0;
    virtual void applicationWillTerminate() = 0;
};

class Application {
public:
    virtual ~Application() = default;
    static Application& shared() { return runtime::World::shared<Application>(); }

    // The delegate is not owned; it must outlive the application's run.
    virtual void setDelegate(ApplicationDelegate* delegate) = 0;
    virtual ApplicationDelegate* delegate() const = 0;
    virtual bool setActivationPolicy(ActivationPolicy policy) = 0;
    virtual void setApplicationIconImage(MenuImageRef image) = 0;
    virtual void setMainMenu(std::shared_ptr<Menu> menu) = 0;
    virtual std::shared_ptr<Menu> mainMenu() const = 0;
    // Makes this app the active one (options as Workspace::activate).
    virtual void activate(std::uint32_t options) = 0;
    // Finishes launching (the delegate's applicationDidFinishLaunching) and handles events until
    // terminate() ends the loop.
    virtual void run() = 0;
    // Tells the delegate the app will terminate, then ends the run.
    virtual void terminate() = 0;
};

}  // namespace quillmar::platform
