#pragma once
// Demo scenario steps of the window catalogue:
//
//   {"do": "listTargets", "mode": "appsOnly"}       logs "targets" with the list of that mode (every
//                                                  mode when "mode" is absent)
//   {"do": "activateTarget", "index": 1}            fetches the list of the mode ("mode", else the
//   {"do": "activateTarget", "label": "Notes"}      setting) and activates the entry at index, or the
//                                                  first whose label is the given one; logs
//                                                  "targetActivated" with what ended up in front
//
// Called by the application's entry point with the demo runner's registry.

namespace quillmar::platform::sim {
class ScenarioRegistry;
}

namespace quillmar {

void registerWindowSteps(platform::sim::ScenarioRegistry& registry);

}  // namespace quillmar
