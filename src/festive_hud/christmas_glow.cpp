#include "festive_hud/christmas_glow.h"

#include <algorithm>
#include <cmath>

#include "festive_hud/hud_festive_state.h"

namespace quillmar {

namespace {

constexpr double kRise = 0.26;         // seconds to ease a sample in
constexpr double kFade = 2.34;         // seconds of the linear fade after the rise
constexpr double kDecayTime = 1.1;     // time constant of the exponential fade
constexpr double kSpread = 0.08;       // 2σ² of the Gaussian along the bar (σ = 0.2)
constexpr double kShareOfHeadroom = 0.56;
constexpr double kEndInset = 16;
constexpr double kPi = 3.14159265358979323846;

}  // namespace

double christmasGlowIntensity(std::span<const ChristmasGlowSample> trail, bool isVertical, double x, double y,
                              double width, double height, double now) {
    if (trail.empty()) return 0;
    const double along = isVertical ? y : x;
    const double length = isVertical ? height : width;
    if (!std::isfinite(along) || !std::isfinite(length) || !std::isfinite(now)) return 0;
    const double span = length - 2 * kEndInset;
    double u = along - kEndInset;
    if (span >= 1) u /= span;
    u = std::clamp(u, 0.0, 1.0);

    double glow = 0;
    for (const auto& sample : trail) {
        const double age = std::max(now - sample.timestamp, 0.0);
        if (!(age < kRise + kFade)) continue;  // also a sample whose time is not a number
        const double rise = age < kRise ? 0.5 - 0.5 * std::cos(kPi * age / kRise) : 1.0;
        const double a = std::max(age - kRise, 0.0);
        const double decay = rise * std::exp(-a / kDecayTime) * std::max(1 - a / kFade, 0.0);
        const double d = u - sample.normalizedPos;
        const double w = std::exp(-d * d / kSpread);
        const double v = std::min(sample.strength * w * decay, 1.0);
        if (!std::isfinite(v)) continue;
        glow = 1 - (1 - glow) * (1 - kShareOfHeadroom * v);
    }
    return std::clamp(glow, 0.0, 1.0);
}

double christmasGlowIntensity(double x, double y, double width, double height, double now) {
    const auto& festive = HUDFestiveState::shared();
    return christmasGlowIntensity(festive.christmasGlowTrail(), festive.geometry.isVertical, x, y, width, height, now);
}

}  // namespace quillmar
