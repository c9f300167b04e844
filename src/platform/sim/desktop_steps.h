#pragma once
// Scenario steps that act on the simulated desktop, and the way steps name apps and windows.
//
// Steps: "advance" {seconds}; "activate" {app | pid, allWindows}; "hide", "unhide", "terminate",
// "forceTerminate" {app | pid}; "open" {bundlePath, activates}; "raiseWindow", "minimize",
// "unminimize", "closeWindow" {window | windowTitle}; "fullscreen" {window | windowTitle, on};
// "moveWindow" {window | windowTitle, bounds}; "pointer" {at}; "space" {space}; "screens"
// {screens}; "system" {event: "willSleep" | "didWake" | "screensDidSleep" | "screensDidWake" |
// "sessionDidResignActive" | "sessionDidBecomeActive"}; "setDefault" {key, value}; "note" {text}.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/sim/scenario_registry.h"

namespace quillmar::platform::sim {

class SimDesktop;

void registerDesktopSteps(ScenarioRegistry& registry);

// "pid": an integer, or "app": a localized name or bundle identifier (one of the two).
struct AppReference {
    std::optional<std::int32_t> pid;
    std::optional<std::string> name;
    std::string describe() const;
};
std::optional<AppReference> readAppReference(ScenarioFields& fields);
// The running application meant, now.
std::optional<std::int32_t> resolveApp(const SimDesktop& desktop, const AppReference& ref);

// "window": a window number, or "windowTitle": the title of a window as given, else as cut (the
// frontmost one wins).
struct WindowReference {
    std::optional<std::uint32_t> number;
    std::optional<std::string> title;
    std::string describe() const;
};
std::optional<WindowReference> readWindowReference(ScenarioFields& fields);
std::optional<std::uint32_t> resolveWindow(const SimDesktop& desktop, const WindowReference& ref);

}  // namespace quillmar::platform::sim
