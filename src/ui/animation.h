#pragma once
// Animation curves: how a changed value travels from its old to its new value over time.
//
// - Springs take a response (seconds of one undamped oscillation), a damping fraction (1 is
//   critically damped, below 1 overshoots) and a blend duration (kept for fidelity; retargeting
//   is already continuous because animations add up, see AnimatedVector).
// - Timing curves (linear, ease-in, ease-out, ease-in-out) run for a duration; the eases are the
//   cubic Béziers (0.42, 0, 1, 1), (0, 0, 0.58, 1) and (0.42, 0, 0.58, 1).
// - delay() holds the value at its start for that long; repeatForever() repeats the curve,
//   running it backwards on every other cycle when it autoreverses.
// Progress is a pure function of the elapsed time, so tests on virtual time read exact values.

#include <memory>

namespace quillmar::ui {

class Animation {
public:
    enum class Kind { linear, easeIn, easeOut, easeInOut, timingCurve, spring };

    static Animation linear(double duration = 0.35);
    static Animation easeIn(double duration = 0.35);
    static Animation easeOut(double duration = 0.35);
    static Animation easeInOut(double duration = 0.35);
    static Animation timingCurve(double c1x, double c1y, double c2x, double c2y, double duration = 0.35);
    static Animation spring(double response = 0.55, double dampingFraction = 0.825, double blendDuration = 0);

    Animation delay(double seconds) const;
    Animation repeatForever(bool autoreverses = true) const;

    Kind kind() const { return kind_; }
    double duration() const { return duration_; }  // timing curves; springs: the settling time
    double response() const { return response_; }
    double dampingFraction() const { return damping_; }
    double blendDuration() const { return blend_; }
    double delaySeconds() const { return delay_; }
    bool repeatsForever() const { return repeatForever_; }
    bool autoreverses() const { return autoreverses_; }

    // Fraction of the way from the old to the new value `elapsed` seconds after the change:
    // 0 before it starts, 1 once finished (a spring may pass 1 on the way).
    double progress(double elapsed) const;
    // True once the value has arrived for good (never for a repeating animation).
    bool isFinished(double elapsed) const;

    friend bool operator==(const Animation&, const Animation&) = default;

private:
    Animation withKind(Kind k) const;
    double curve(double t) const;  // one run of the curve, t in seconds from its start
    double runLength() const;      // length of one run in seconds

    Kind kind_ = Kind::easeInOut;
    double duration_ = 0.35;
    double c1x_ = 0.42, c1y_ = 0, c2x_ = 0.58, c2y_ = 1;
    double response_ = 0.55, damping_ = 0.825, blend_ = 0;
    double delay_ = 0;
    bool repeatForever_ = false;
    bool autoreverses_ = true;
};

}  // namespace quillmar::ui
