// The scenario loader with every step and section the demo app registers: any file is either
// loaded or refused with a reason; nothing runs.

#include <cstdint>
#include <string>

#include "app/demo/demo_app_starter.h"
#include "platform/sim/scenario_loader.h"
#include "platform/sim/scenario_runner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto* runner = [] {
        auto* r = new quillmar::platform::sim::ScenarioRunner();
        quillmar::app::installDemoApp(*r);
        return r;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto result = quillmar::platform::sim::ScenarioLoader(runner->registry()).parse(text, "fuzz.json");
    if (!result.scenario && result.error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
}
