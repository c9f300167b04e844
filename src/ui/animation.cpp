#include "ui/animation.h"

#include <algorithm>
#include <cmath>

namespace quillmar::ui {
namespace {

constexpr double kPi = 3.14159265358979323846;
// A spring counts as settled once it stays within this fraction of the travel.
constexpr double kSettleEpsilon = 1e-4;

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }
double positiveDuration(double d) { return std::max(0.0, finiteOr(d, 0.35)); }

// Remaining displacement (1 at t = 0, 0 at rest) of a unit spring released without velocity.
double springDisplacement(double response, double zeta, double t) {
    const double w0 = 2 * kPi / response;
    if (zeta < 1) {
        const double wd = w0 * std::sqrt(1 - zeta * zeta);
        return std::exp(-zeta * w0 * t) * (std::cos(wd * t) + (zeta * w0 / wd) * std::sin(wd * t));
    }
    if (zeta == 1) return std::exp(-w0 * t) * (1 + w0 * t);
    const double s = std::sqrt(zeta * zeta - 1);
    const double r1 = -w0 * (zeta - s), r2 = -w0 * (zeta + s);
    return (r2 * std::exp(r1 * t) - r1 * std::exp(r2 * t)) / (r2 - r1);
}

double springSettlingTime(double response, double zeta) {
    const double w0 = 2 * kPi / response;
    if (zeta < 1) {
        const double amplitude = 1 / std::sqrt(1 - zeta * zeta);
        return std::log(amplitude / kSettleEpsilon) / (zeta * w0);
    }
    // Monotone: bisect for the time the displacement falls to epsilon.
    double lo = 0, hi = response;
    while (springDisplacement(response, zeta, hi) > kSettleEpsilon && hi < 1e4) hi *= 2;
    for (int i = 0; i < 80; ++i) {
        const double mid = (lo + hi) / 2;
        (springDisplacement(response, zeta, mid) > kSettleEpsilon ? lo : hi) = mid;
    }
    return hi;
}

double cubicBezier(double a, double b, double t) {  // one coordinate with P0 = 0, P3 = 1
    const double u = 1 - t;
    return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
}
double cubicBezierSlope(double a, double b, double t) {
    const double u = 1 - t;
    return 3 * u * u * a + 6 * u * t * (b - a) + 3 * t * t * (1 - b);
}

// y for x on the Bézier timing curve with control points (c1x, c1y), (c2x, c2y).
double solveTimingCurve(double c1x, double c1y, double c2x, double c2y, double x) {
    if (x <= 0) return 0;
    if (x >= 1) return 1;
    double t = x;
    for (int i = 0; i < 8; ++i) {  // Newton first, it converges fast on sane curves
        const double err = cubicBezier(c1x, c2x, t) - x;
        if (std::fabs(err) < 1e-12) return cubicBezier(c1y, c2y, t);
        const double slope = cubicBezierSlope(c1x, c2x, t);
        if (std::fabs(slope) < 1e-9) break;
        t -= err / slope;
        if (t < 0 || t > 1) break;
    }
    double lo = 0, hi = 1;
    t = x;
    for (int i = 0; i < 100; ++i) {  // then bisection, which always converges
        const double v = cubicBezier(c1x, c2x, t);
        if (std::fabs(v - x) < 1e-13) break;
        (v < x ? lo : hi) = t;
        t = (lo + hi) / 2;
    }
    return cubicBezier(c1y, c2y, t);
}

}  // namespace

Animation Animation::linear(double duration) {
    Animation a;
    a.kind_ = Kind::linear;
    a.duration_ = positiveDuration(duration);
    a.c1x_ = a.c1y_ = 0;
    a.c2x_ = a.c2y_ = 1;
    return a;
}

Animation Animation::easeIn(double duration) { return timingCurve(0.42, 0, 1, 1, duration).withKind(Kind::easeIn); }
Animation Animation::easeOut(double duration) { return timingCurve(0, 0, 0.58, 1, duration).withKind(Kind::easeOut); }
Animation Animation::easeInOut(double duration) {
    return timingCurve(0.42, 0, 0.58, 1, duration).withKind(Kind::easeInOut);
}

Animation Animation::timingCurve(double c1x, double c1y, double c2x, double c2y, double duration) {
    Animation a;
    a.kind_ = Kind::timingCurve;
    a.duration_ = positiveDuration(duration);
    a.c1x_ = std::clamp(finiteOr(c1x, 0.42), 0.0, 1.0);
    a.c1y_ = finiteOr(c1y, 0);
    a.c2x_ = std::clamp(finiteOr(c2x, 0.58), 0.0, 1.0);
    a.c2y_ = finiteOr(c2y, 1);
    return a;
}

Animation Animation::spring(double response, double dampingFraction, double blendDuration) {
    Animation a;
    a.kind_ = Kind::spring;
    a.response_ = std::max(0.001, finiteOr(response, 0.55));
    a.damping_ = std::clamp(finiteOr(dampingFraction, 0.825), 0.01, 100.0);
    a.blend_ = std::max(0.0, finiteOr(blendDuration, 0));
    a.duration_ = springSettlingTime(a.response_, a.damping_);
    return a;
}

Animation Animation::withKind(Kind k) const {
    Animation a = *this;
    a.kind_ = k;
    return a;
}

Animation Animation::delay(double seconds) const {
    Animation a = *this;
    a.delay_ = std::max(0.0, finiteOr(seconds, 0));
    return a;
}

Animation Animation::repeatForever(bool autoreverses) const {
    Animation a = *this;
    a.repeatForever_ = true;
    a.autoreverses_ = autoreverses;
    return a;
}

double Animation::runLength() const { return duration_; }

double Animation::curve(double t) const {
    if (t <= 0) return 0;
    if (kind_ == Kind::spring) {
        if (t >= duration_) return 1;
        return 1 - springDisplacement(response_, damping_, t);
    }
    if (duration_ <= 0 || t >= duration_) return 1;
    const double x = t / duration_;
    if (kind_ == Kind::linear) return x;
    return solveTimingCurve(c1x_, c1y_, c2x_, c2y_, x);
}

double Animation::progress(double elapsed) const {
    if (!std::isfinite(elapsed)) return elapsed > 0 && !repeatForever_ ? 1 : 0;
    const double t = elapsed - delay_;
    if (t <= 0) return 0;
    if (!repeatForever_) return curve(t);
    const double run = runLength();
    if (run <= 0) return 1;
    const double cycle = std::floor(t / run);
    const double phase = t - cycle * run;
    const bool backwards = autoreverses_ && std::fmod(cycle, 2.0) == 1.0;
    return backwards ? curve(run - phase) : curve(phase);
}

bool Animation::isFinished(double elapsed) const {
    if (repeatForever_) return false;
    return elapsed - delay_ >= duration_;
}

}  // namespace quillmar::ui
