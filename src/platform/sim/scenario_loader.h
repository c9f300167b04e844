#pragma once
// Reads a scenario file (JSON) and checks all of it, steps and registered sections included,
// before anything runs (the format for users, every step with its fields: docs/scenarios.md). A problem gives a message naming the file and the place:
// "scenarios/demo.json: steps[3].seconds: expected a number, found a string".
//
// Top-level fields (all optional but "apps"):
//   "description": text, the heading of the scenario's pictures on the run's index page
//   "screens": [{"name", "frame": [x, y, w, h], "visibleFrame": [...], "scale"}], global
//              coordinates with the origin at the bottom left of the first screen
//   "mainScreen": index, "pointer": [x, y], "space": current Space (1 when absent)
//   "languages": preferred languages, e.g. ["de-DE", "en"]
//   "date": local "YYYY-MM-DDTHH:MM[:SS]" in "timeZone" (an IANA id, "UTC" when absent)
//   "settings": {key: value} written into the user defaults before the app starts
//   "ownProcess": {"pid", "name", "bundleID", "bundlePath", "executablePath", "policy"}
//   "processes": [{"pid", "path", "parentPid"}] processes that are not applications
//   "apps": [{"pid", "name", "bundleID", "bundlePath", "executablePath", "parentPid", "policy":
//            "regular" | "accessory" | "prohibited", "hidden", "running", "icon": "#RRGGBB",
//            "info": {Info.plist keys}, "hasBundle", "refusesTerminate", "refusesActivation",
//            "windows": [{"number", "title", "bounds": [x, y, w, h] (top-left origin), "layer",
//            "alpha", "minimized", "fullscreen", "space" (0: every Space), "sharingState",
//            "info": {window-list keys that override the generated ones}}]}]
//   "frontmost": pid or app name, "stacking": [window numbers front to back]
//   "steps": [{"do": name, ...}]
//   any section registered with the registry.
// A step's "file" (where it writes a picture) must name a file inside the output folder: absolute
// names and ".." are refused when the scenario loads, and so are the names the run writes itself
// (ScenarioRegistry::reserveOutputName: the index page, the classification dump). Only regular
// files of at most kMaxFileBytes, nested at most kMaxJsonNesting deep, are read. Every field is
// read within its bound (scenario_limits.h: a string cut, a list over its bound refused), and a
// desktop holds at most ScenarioLimits::kWindows windows, all apps together.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/json_nesting.h"
#include "platform/sim/scenario.h"
#include "platform/sim/scenario_registry.h"

namespace quillmar::platform::sim {

struct ScenarioLoadResult {
    std::optional<Scenario> scenario;
    std::string error;  // set when scenario is not
};

class ScenarioLoader {
public:
    explicit ScenarioLoader(const ScenarioRegistry& registry) : registry_(registry) {}

    static constexpr std::uintmax_t kMaxFileBytes = kMaxJsonFileBytes;

    ScenarioLoadResult loadFile(const std::string& path) const;
    // fileName is used in messages only.
    ScenarioLoadResult parse(const std::string& text, const std::string& fileName) const;

    // "YYYY-MM-DDTHH:MM[:SS]" in a zone to epoch seconds; nullopt for a malformed or impossible date
    // (or one longer than kMaxDateLength characters).
    static constexpr std::size_t kMaxDateLength = 64;
    static std::optional<double> parseLocalDate(const std::string& text, const std::string& timeZone);
    // The message for a date that parseLocalDate refuses (the text quoted, cut when long).
    static std::string dateProblem(const std::string& text);

    // Why name cannot be an output file inside the output folder, or nullopt when it can.
    static std::optional<std::string> outputNameProblem(const std::string& name);

private:
    const ScenarioRegistry& registry_;
};

}  // namespace quillmar::platform::sim
