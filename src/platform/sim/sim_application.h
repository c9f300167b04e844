#pragma once
// The simulated application object: the life cycle as the system would drive it. run() delivers
// the URLs the app was launched with, then finishes launching; reopen(), deliverURLs() and
// pressKeyEquivalent() stand for the user and other processes; terminate() tells the delegate and
// ends the run. Every call is written to the desktop's call log ("app policy accessory",
// "app icon 512x512", "app main menu", "app finished launching", "app open urls 2", ...), so a
// test reads the start-up order there.

#include <memory>
#include <string>
#include <vector>

#include "platform/apple_event.h"
#include "platform/application.h"

namespace quillmar::platform::sim {

class SimDesktop;

class SimApplication final : public Application {
public:
    explicit SimApplication(SimDesktop& desktop) : desktop_(desktop) {}

    // Puts a SimApplication for desktop into the world as the Application.
    static SimApplication& install(SimDesktop& desktop);

    void setDelegate(ApplicationDelegate* delegate) override;
    ApplicationDelegate* delegate() const override { return delegate_; }
    bool setActivationPolicy(ActivationPolicy policy) override;
    void setApplicationIconImage(MenuImageRef image) override;
    void setMainMenu(std::shared_ptr<Menu> menu) override;
    std::shared_ptr<Menu> mainMenu() const override { return mainMenu_; }
    void activate(std::uint32_t options) override;
    void run() override;
    void terminate() override;

    // ---- The simulated user and other processes ----------------------------------------------
    // URLs that launched the app: delivered by run() before launching finishes.
    void launchWithURLs(std::vector<std::string> urls, AppleEvent event);
    // URLs sent to the running app with the event's sender attributes.
    void deliverURLs(const std::vector<std::string>& urls, const AppleEvent& event);
    // Returns what the delegate answered (false without a delegate).
    bool reopen(bool hasVisibleWindows);
    // A key press while the app is active: performs the main menu's item with this key equivalent.
    // A letter with Shift is the upper-case key equivalent. Returns whether an item ran.
    bool pressKeyEquivalent(const std::string& key, std::uint32_t modifiers);

    ActivationPolicy activationPolicy() const { return policy_; }
    const MenuImageRef& applicationIconImage() const { return icon_; }
    bool isRunning() const { return running_; }
    bool hasFinishedLaunching() const { return finishedLaunching_; }

private:
    SimDesktop& desktop_;
    ApplicationDelegate* delegate_ = nullptr;
    ActivationPolicy policy_ = ActivationPolicy::regular;
    MenuImageRef icon_;
    std::shared_ptr<Menu> mainMenu_;
    bool running_ = false;
    bool finishedLaunching_ = false;
    std::vector<std::pair<std::vector<std::string>, AppleEvent>> launchURLs_;
};

}  // namespace quillmar::platform::sim
