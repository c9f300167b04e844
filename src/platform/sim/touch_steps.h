#pragma once
// Scenario section and steps for the simulated trackpads, the event stream and the keyboard.
// Frames go through the framework's real background thread, one at a time, with the virtual
// clock moved by one frame interval before each, so a run is the same every time.
//
// Section "trackpads": {"devices": [{"name": "Built-in Trackpad"}, {"name": "Magic Mouse",
//   "kind": "mouse"}]} installs the simulated framework, device registry and event tap (see
//   installSimTouchHardware) and attaches the devices.
// Steps:
//   "attachTrackpad" {name, kind: "trackpad" | "mouse"}; "detachTrackpad" {name};
//   "touch" {fingers, at: [x, y], seconds, frameRate, spacing, device}: fingers land and rest;
//   "slide" {fingers, path: [[x, y], ...], seconds, frameRate, spacing, lift, device}: fingers
//     at the first point slide along the path (pad coordinates, 0...1, y up) and, unless lift
//     is false, lift at its end;
//   "lift" {device}: every finger leaves the pad;
//   "scroll" {deltaY, phase}; "systemGesture" {type: "swipe" | "magnify" | "rotate" |
//     "gesture" | "smartMagnify"}; "key" {keyCode, flags, repeats}: events sent down the session
//     stream, each logged as delivered to the app or swallowed by a tap.
// Defaults: fingers 3, seconds 0.25 (touch: 0.1), frameRate 90, spacing 0.06, lift true, the
// first attached trackpad.

#include "platform/sim/scenario_registry.h"
#include "platform/sim/sim_multitouch.h"

namespace quillmar::platform::sim {

// Installs the simulated multitouch framework, device registry and event tap, each unless one
// is installed already; returns the framework. Call it before the trackpad monitor is created.
SimMultitouchFramework& installSimTouchHardware();

void registerTouchSteps(ScenarioRegistry& registry);

}  // namespace quillmar::platform::sim
