#pragma once
// A scenario as loaded and checked: the desktop to build, the settings, language, date and time
// zone to start with, and the steps to run. Everything in it has been checked; applying it cannot
// fail.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/screens.h"
#include "platform/sim/sim_app.h"
#include "platform/sim/sim_window.h"

namespace quillmar::platform::sim {

struct ScenarioApp {
    SimApp app;
    std::vector<SimWindow> windows;  // front to back
    bool running = true;             // false: installed only, launched by a step
};

struct ScenarioEntry {
    std::string name;      // the step or section name
    nlohmann::json args;   // its object as read, every field within its bound
    std::string path;      // where it is in the file, for messages ("steps[3]")
};

struct Scenario {
    std::string file;
    std::string description;
    std::vector<Screen> screens;
    std::size_t mainScreen = 0;
    std::optional<Point> pointer;
    int space = 1;
    SimApp ownProcess;
    std::vector<SimApp> processes;  // processes that are not applications
    std::vector<ScenarioApp> apps;
    std::optional<std::int32_t> frontmost;
    std::vector<std::uint32_t> stacking;  // window numbers, front to back; the rest follow
    std::vector<std::string> languages;
    double epochSeconds = 0;
    std::string timeZone = "UTC";
    std::map<std::string, nlohmann::json> settings;
    std::vector<ScenarioEntry> sections;
    std::vector<ScenarioEntry> steps;
};

}  // namespace quillmar::platform::sim
