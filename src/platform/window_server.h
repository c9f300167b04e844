#pragma once
// The window server: the list of windows of every process in front-to-back order, the shielding
// window level, and the front-process calls that some systems lack (callers test availability
// and skip silently when missing).

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/window_info.h"
#include "runtime/world.h"

namespace quillmar::platform {

// Bits of the window-list options (raw values match the platform's).
enum class WindowListOption : std::uint32_t {
    all = 0,                      // every window, on screen or not
    onScreenOnly = 1,             // only windows on screen now
    excludeDesktopElements = 16,  // leave out the desktop and its icons
};
constexpr WindowListOption operator|(WindowListOption a, WindowListOption b) {
    return static_cast<WindowListOption>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr bool hasOption(WindowListOption set, WindowListOption bit) {
    return (static_cast<std::uint32_t>(set) & static_cast<std::uint32_t>(bit)) != 0;
}

// Window levels the product compares against.
inline constexpr int kNormalWindowLevel = 0;
inline constexpr int kMainMenuWindowLevel = 24;
inline constexpr int kDesktopWindowLevel = -2147483623;

// The serial number of a process on the window server: two 32-bit halves.
struct ProcessSerialNumber {
    std::uint32_t highLongOfPSN = 0;
    std::uint32_t lowLongOfPSN = 0;
    bool operator==(const ProcessSerialNumber&) const = default;
};

class WindowServer {
public:
    virtual ~WindowServer() = default;

    static WindowServer& shared() { return runtime::World::shared<WindowServer>(); }

    // The windows in front-to-back order (with `all`, on-screen windows first, then the others);
    // nullopt when the list cannot be had. (Keep the result in a variable before iterating it:
    // `for (auto& w : *server.windowList(...))` would walk a destroyed temporary.)
    virtual std::optional<std::vector<WindowInfo>> windowList(WindowListOption options) const = 0;
    // The windows of one process as windowList(options) lists them (the same order, the same
    // facts); a window server that keeps its windows by owner answers without reading the others.
    virtual std::optional<std::vector<WindowInfo>> windowListOfProcess(WindowListOption options, std::int32_t pid) const;
    // The level of the screen-shielding window (games and screen savers capture the screen at it).
    virtual int shieldingWindowLevel() const = 0;

    // The process-serial-number lookup; absent on some systems.
    virtual bool hasProcessLookup() const = 0;
    // OS status: 0 and the serial number in out on success; -600 when there is no such process.
    virtual int getProcessForPID(std::int32_t pid, ProcessSerialNumber* out) const = 0;
    // The call that makes a process frontmost with a chosen window (0 for none); absent on some
    // systems. Its result is not reported.
    virtual bool hasFrontProcessCall() const = 0;
    virtual void setFrontProcessWithOptions(const ProcessSerialNumber& psn, std::uint32_t windowNumber,
                                            std::uint32_t options) = 0;
};

}  // namespace quillmar::platform
