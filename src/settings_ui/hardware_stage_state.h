#pragma once
// The model behind the settings window's live hardware stage: where the pointer hovers over the
// drawn pad, which entry the miniature Switch Bar highlights while hover drives it, and the
// five-finger Zen garden. Each list of live touches from the trackpad goes through
// ingestTouches(): five or more fingers turn the pad into raked sand whose wave advances with the
// fingers' travel, with a soft haptic grain tick as the sand is raked.
//
//   auto& stage = HardwareStageState::shared();
//   stage.ingestTouches(telemetry.liveTouches, settings.hapticFeedback);
//   stage.isFiveFingerZen;   // published: the stage view redraws on change
//
// Main thread only.

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "runtime/published.h"
#include "trackpad/touch_dot.h"

namespace quillmar {

class HardwareStageState : public runtime::ObservableObject {
public:
    static HardwareStageState& shared();

    // Pointer over the drawn pad as fractions of its width (absent while outside) and height.
    runtime::Published<std::optional<double>> hoverRatioX{std::nullopt, this};
    runtime::Published<double> hoverRatioY{0.52, this};
    // The entry hover scrub highlights in the miniature Switch Bar.
    runtime::Published<int> simulatedIndex{0, this};
    runtime::Published<bool> isFiveFingerZen{false, this};
    // Phase of the sand waves, in [0, 1).
    runtime::Published<double> zenSandWavePhase{0, this};

    // Pad travel (mean per finger, in pad fractions) that rakes one grain of sand, and the wave
    // phase one grain advances.
    static constexpr double kGrainTravel = 0.0082;
    static constexpr double kPhasePerGrain = 0.075;
    static constexpr int kMaxGrainsPerFrame = 3;
    // Haptic grain ticks closer together than this are dropped.
    static constexpr double kGrainTickInterval = 0.024;

    void ingestTouches(const std::vector<TouchDot>& touches, bool hapticsEnabled);
    // Leaves the pointer-hover position and Zen; the vertical hover, the simulated index and the
    // wave phase stay.
    void reset();

    double sandDistanceAccumulator() const { return sandDistanceAccumulator_; }
    int sandGrainCount() const { return sandGrainCount_; }

private:
    struct PadPoint {
        double x = 0;
        double y = 0;
    };
    void beginZen(const std::vector<TouchDot>& touches, bool hapticsEnabled, double now);
    void rakeSand(const std::vector<TouchDot>& touches, bool hapticsEnabled, double now);

    std::unordered_map<std::int32_t, PadPoint> prevZenDotsByID_;
    double sandDistanceAccumulator_ = 0;
    double lastSandGrainTime_ = 0;
    int sandGrainCount_ = 0;
};

}  // namespace quillmar
