#pragma once
// The settings window host: one ordinary titled window holding the settings view. Opening it
// creates the window (or reuses the open one) on the screen under the pointer, brings it to the
// front and makes it key; Command-W closes it; closing it switches the live touch preview off,
// stops the Accessibility poll, empties the previews and resets the live stage. Each opening
// after a close builds a new window and view; the active tab is kept.
//
//   auto& host = SettingsWindow::shared();
//   host.open();                   // the status menu, URL commands, start-up
//   host.closeFromShortcut();      // the main menu's Command-W
//
// Main thread only.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/screens.h"
#include "platform/titled_window.h"
#include "runtime/subscription.h"
#include "ui/hosting_view.h"

namespace quillmar {

class SettingsWindow {
public:
    static SettingsWindow& shared();
    SettingsWindow();
    ~SettingsWindow();
    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;

    // Opens or re-shows the window. Without a windowing system only the open flag is set.
    void open();
    // Closes the window as its close button would, when it exists and is visible.
    void closeFromShortcut();

    // Whether the window is open (set on opening, cleared when it closes; a miniaturised window
    // stays open).
    bool isVisible() const;
    // Why the window is not on screen now ("" when it is): no windowing system, or not visible.
    std::string notOpenReason() const;
    platform::TitledWindow* window() { return window_.get(); }
    ui::HostingView* contentView() { return host_.get(); }

    // Builds the window's view anew (its texts are read again), keeping the window.
    void reloadContent();

    // The scheme the system shows; the settings view follows it.
    void setSystemColorScheme(ui::ColorScheme scheme);
    ui::ColorScheme systemColorScheme() const { return scheme_; }

    // The creation parameters of the window.
    static platform::TitledWindowConfig windowConfig();
    // The screen a new window goes to: the first whose frame holds the pointer (edges included),
    // else the main screen, else the first screen, else none.
    static std::optional<platform::Screen> targetScreen(const platform::Screens& screens);
    // Centred horizontally on the screen's visible frame and 4 % of its height above its middle,
    // rounded to whole points; without a screen, centred by the system.
    static void positionWindow(platform::TitledWindow& window, const std::optional<platform::Screen>& screen);
    // Command-W, and only Command-W: the device-independent modifiers, masked to Shift, Control,
    // Option and Command, must be exactly Command; the key is "w" (ignoring case) or key code 13
    // (W in any keyboard layout).
    static bool isCloseKeyEquivalent(const platform::KeyPress& key);

private:
    void bringToFront();
    void windowWillClose();
    void refreshEnvironment();
    void makeContent();
    // Keeps a closed window or a replaced view until the current event is done.
    void retire(std::shared_ptr<void> object);

    std::unique_ptr<platform::TitledWindow> window_;
    std::unique_ptr<ui::HostingView> host_;
    std::vector<std::shared_ptr<void>> retired_;
    ui::ColorScheme scheme_;
    std::shared_ptr<bool> lifetime_ = std::make_shared<bool>(true);
    runtime::Subscription appearanceObservation_;  // follows the system's appearance
};

}  // namespace quillmar
