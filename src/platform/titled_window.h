#pragma once
// Ordinary titled windows of this application (the settings window): a frame in global
// bottom-left-origin screen coordinates, ordering and key status, miniaturising, closing, and
// the key equivalents pressed while the window is key. What a window shows is drawn by its
// owner; the window only asks for a redraw.
//
//   auto window = TitledWindows::installed()->createWindow(config);
//   window->setFrameOrigin({x, y});
//   window->makeKeyAndOrderFront();
//   window->setKeyEquivalentHandler([](const KeyPress& k) { ...; return handled; });
//
// TitledWindows::installed() is null when the system offers no windows (tests without a
// desktop). Main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/geometry.h"
#include "runtime/world.h"

namespace quillmar::platform {

// Style mask bits, as the system numbers them.
namespace window_style {
inline constexpr std::uint32_t titled = 1u << 0;
inline constexpr std::uint32_t closable = 1u << 1;
inline constexpr std::uint32_t miniaturizable = 1u << 2;
inline constexpr std::uint32_t resizable = 1u << 3;
inline constexpr std::uint32_t fullSizeContentView = 1u << 15;
}  // namespace window_style

struct TitledWindowConfig {
    Rect contentRect{0, 0, 480, 592};
    std::uint32_t styleMask = window_style::titled | window_style::closable;
    std::string title;
    bool titleVisible = true;
    bool titlebarAppearsTransparent = false;
    bool movableByWindowBackground = false;
    bool opaque = true;
    bool releasedWhenClosed = false;
    std::uint32_t collectionBehavior = 0;
    bool miniaturizeButtonEnabled = true;
    bool zoomButtonEnabled = true;
};

// A key press as the window receives it: the key code, the characters ignoring modifiers, and
// the device-independent modifier flags (platform::event_flags bits).
struct KeyPress {
    std::int64_t keyCode = 0;
    std::string charactersIgnoringModifiers;
    std::uint64_t modifierFlags = 0;
};

class TitledWindow {
public:
    virtual ~TitledWindow() = default;

    virtual const TitledWindowConfig& config() const = 0;
    virtual Rect frame() const = 0;
    virtual void setFrameOrigin(Point origin) = 0;
    // Centres the window on the main screen, a little above the middle, as the system does.
    virtual void center() = 0;

    virtual bool isVisible() const = 0;
    virtual bool isKeyWindow() const = 0;
    virtual bool isMiniaturized() const = 0;
    virtual void miniaturize() = 0;
    virtual void deminiaturize() = 0;
    // Brings the window in front of every window, even while the application is inactive.
    virtual void orderFrontRegardless() = 0;
    // Brings the window to the front and gives it keyboard focus.
    virtual void makeKeyAndOrderFront() = 0;

    // As if the close button were clicked: the will-close handler runs, then the window leaves
    // the screen. Closing a closed window does nothing.
    virtual void performClose() = 0;
    virtual void setWillCloseHandler(std::function<void()> handler) = 0;
    // Key equivalents pressed while the window is key; true when handled.
    virtual void setKeyEquivalentHandler(std::function<bool(const KeyPress&)> handler) = 0;

    // The owner draws; the window calls this when what it shows must be drawn again.
    virtual void setNeedsDisplay() = 0;
};

class TitledWindows {
public:
    virtual ~TitledWindows() = default;
    static TitledWindows* installed() { return runtime::World::find<TitledWindows>(); }

    virtual std::unique_ptr<TitledWindow> createWindow(const TitledWindowConfig& config) = 0;
    // Makes this application the active one (workspace activation options, as the system
    // numbers them).
    virtual void activateApplication(std::uint32_t options) = 0;
};

}  // namespace quillmar::platform
