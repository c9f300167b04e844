#include "hardware_stage_state.h"

#include <algorithm>
#include <cmath>

#include "platform/haptics.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings_ui/checked_number.h"

namespace quillmar {

namespace {

void play(platform::HapticPattern pattern) {
    if (auto* haptics = platform::Haptics::installed()) haptics->perform(pattern);
}

// Mean per-finger travel accepted as raking: below it the fingers rest, above it a frame jumped.
constexpr double kMinMeanTravel = 0.0009;
constexpr double kMaxMeanTravel = 2.0;

}  // namespace

HardwareStageState& HardwareStageState::shared() { return runtime::World::shared<HardwareStageState>(); }

void HardwareStageState::ingestTouches(const std::vector<TouchDot>& touches, bool hapticsEnabled) {
    if (touches.size() < 5) {
        if (isFiveFingerZen) isFiveFingerZen = false;
        if (!prevZenDotsByID_.empty()) prevZenDotsByID_.clear();
        sandDistanceAccumulator_ = 0;
        return;
    }
    const double now = runtime::mediaTime();
    if (!isFiveFingerZen)
        beginZen(touches, hapticsEnabled, now);
    else
        rakeSand(touches, hapticsEnabled, now);
}

void HardwareStageState::beginZen(const std::vector<TouchDot>& touches, bool hapticsEnabled, double now) {
    isFiveFingerZen = true;
    sandDistanceAccumulator_ = 0;
    sandGrainCount_ = 0;
    lastSandGrainTime_ = now;
    prevZenDotsByID_.clear();
    for (const auto& t : touches) prevZenDotsByID_[t.id] = {t.x, t.y};
    if (!hapticsEnabled) return;
    // A soft triple tap as the garden appears.
    play(platform::HapticPattern::levelChange);
    auto& loop = runtime::MainLoop::main();
    loop.after(0.042, [] { play(platform::HapticPattern::levelChange); });
    loop.after(0.09, [] { play(platform::HapticPattern::alignment); });
}

void HardwareStageState::rakeSand(const std::vector<TouchDot>& touches, bool hapticsEnabled, double now) {
    double sum = 0;
    int moved = 0;
    for (const auto& t : touches) {
        auto it = prevZenDotsByID_.find(t.id);
        if (it != prevZenDotsByID_.end()) {
            sum += std::hypot(t.x - it->second.x, t.y - it->second.y);
            ++moved;
            it->second = {t.x, t.y};
        } else {
            prevZenDotsByID_.emplace(t.id, PadPoint{t.x, t.y});
        }
    }
    if (moved == 0) return;
    const double mean = sum / moved;
    if (!std::isfinite(mean) || mean <= kMinMeanTravel || mean >= kMaxMeanTravel) return;

    sandDistanceAccumulator_ += mean;
    if (!std::isfinite(sandDistanceAccumulator_)) {
        sandDistanceAccumulator_ = 0;
        return;
    }
    if (sandDistanceAccumulator_ < kGrainTravel) return;
    // Travel beyond three grains stays in the accumulator for the frames that follow.
    const int steps = static_cast<int>(checkedWhole(sandDistanceAccumulator_ / kGrainTravel, 0, kMaxGrainsPerFrame));
    sandDistanceAccumulator_ -= kGrainTravel * steps;
    zenSandWavePhase = std::fmod(zenSandWavePhase + kPhasePerGrain * steps, 1.0);

    if (!hapticsEnabled || now - lastSandGrainTime_ < kGrainTickInterval) return;
    lastSandGrainTime_ = now;
    ++sandGrainCount_;
    play(sandGrainCount_ % 8 == 0 ? platform::HapticPattern::alignment : platform::HapticPattern::levelChange);
}

void HardwareStageState::reset() {
    hoverRatioX = std::nullopt;
    if (isFiveFingerZen) isFiveFingerZen = false;
    prevZenDotsByID_.clear();
    sandDistanceAccumulator_ = 0;
}

}  // namespace quillmar
