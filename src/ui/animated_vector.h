#pragma once
// A vector of numbers that animates toward its target. Animations add up: each change made
// under an animation records the jump (old target − new target) and lets it decay along its
// curve, so the presented value is target + Σ jump × (1 − progress). A change in the middle of
// an animation therefore starts from exactly where the value is, and springs retarget smoothly.
// A change without an animation drops every running one and jumps.

#include <optional>
#include <vector>

#include "ui/animation.h"

namespace quillmar::ui {

class AnimatedVector {
public:
    AnimatedVector() = default;
    explicit AnimatedVector(std::vector<double> target) : target_(std::move(target)) {}

    const std::vector<double>& target() const { return target_; }
    bool hasTarget() const { return hasTarget_; }

    // Sets the value with no animation (also stops running ones).
    void setImmediate(std::vector<double> v);
    // Moves the target. With an animation the presented value travels from where it is now;
    // a target of another length, or no animation, jumps. Returns whether the target changed.
    bool animateTo(std::vector<double> v, const std::optional<Animation>& animation, double now);
    // Adds a jump that decays along `animation`: right now the value shows target + delta.
    void addOffset(std::vector<double> delta, const Animation& animation, double now);

    // The presented value at `now`.
    std::vector<double> value(double now) const;
    // The same into `out` (n numbers, the target's length): false, leaving `out` alone, when
    // the lengths differ.
    bool valueInto(double now, double* out, std::size_t n) const;
    double value(double now, std::size_t i) const;
    bool isAnimating(double now) const;
    // No animation recorded (finished or not): the presented value is the target.
    bool isSettled() const { return records_.empty(); }
    // Forgets animations that have finished by `now`.
    void prune(double now);
    void clearAnimations() { records_.clear(); }

private:
    struct Record {
        std::vector<double> delta;
        Animation animation;
        double start = 0;
    };
    std::vector<double> target_;
    std::vector<Record> records_;
    bool hasTarget_ = false;
};

}  // namespace quillmar::ui
