#include <algorithm>
#include <climits>

#include "settings_ui/hardware_stage_state.h"
#include "settings_ui/settings_slots.h"

namespace quillmar {

HardwareStageSelection hardwareStageSelection() {
    const auto& stage = HardwareStageState::shared();
    return {stage.simulatedIndex.get(), stage.hoverRatioX->has_value()};
}
void setHardwareStageSimulatedIndex(std::int64_t index) {
    HardwareStageState::shared().simulatedIndex = static_cast<int>(std::clamp<std::int64_t>(index, INT_MIN, INT_MAX));
}
void resetHardwareStage() { HardwareStageState::shared().reset(); }

}  // namespace quillmar
