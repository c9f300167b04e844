#include "runtime/world.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

namespace {
// Stands in for the live stage's own shared state until the stage is built.
struct StageSelectionStandIn {
    HardwareStageSelection selection;
};
HardwareStageSelection& standIn() { return runtime::World::shared<StageSelectionStandIn>().selection; }
}  // namespace

HardwareStageSelection hardwareStageSelection() { return standIn(); }
void setHardwareStageSimulatedIndex(std::int64_t index) { standIn().simulatedIndex = index; }
void resetHardwareStage() { standIn() = {}; }

}  // namespace quillmar
