#include "ui/animated_vector.h"

#include <cmath>

namespace quillmar::ui {

void AnimatedVector::setImmediate(std::vector<double> v) {
    target_ = std::move(v);
    records_.clear();
    hasTarget_ = true;
}

bool AnimatedVector::animateTo(std::vector<double> v, const std::optional<Animation>& animation, double now) {
    if (hasTarget_ && v == target_) return false;
    if (!hasTarget_ || !animation || v.size() != target_.size()) {
        setImmediate(std::move(v));
        return true;
    }
    std::vector<double> delta(v.size());
    bool finite = true;
    for (std::size_t i = 0; i < v.size(); ++i) {
        delta[i] = target_[i] - v[i];
        finite = finite && std::isfinite(delta[i]);
    }
    target_ = std::move(v);
    if (!finite) {
        records_.clear();
        return true;
    }
    records_.push_back(Record{std::move(delta), *animation, now});
    return true;
}

void AnimatedVector::addOffset(std::vector<double> delta, const Animation& animation, double now) {
    if (delta.size() != target_.size()) return;
    for (double d : delta)
        if (!std::isfinite(d)) return;
    records_.push_back(Record{std::move(delta), animation, now});
}

std::vector<double> AnimatedVector::value(double now) const {
    std::vector<double> out = target_;
    valueInto(now, out.data(), out.size());
    return out;
}

bool AnimatedVector::valueInto(double now, double* out, std::size_t n) const {
    if (n != target_.size()) return false;
    for (std::size_t i = 0; i < n; ++i) out[i] = target_[i];
    for (const auto& r : records_) {
        const double k = 1 - r.animation.progress(now - r.start);
        if (k == 0) continue;
        for (std::size_t i = 0; i < n; ++i) out[i] += r.delta[i] * k;
    }
    return true;
}

double AnimatedVector::value(double now, std::size_t i) const {
    if (i >= target_.size()) return 0;
    double v = target_[i];
    for (const auto& r : records_) v += r.delta[i] * (1 - r.animation.progress(now - r.start));
    return v;
}

bool AnimatedVector::isAnimating(double now) const {
    for (const auto& r : records_)
        if (!r.animation.isFinished(now - r.start)) return true;
    return false;
}

void AnimatedVector::prune(double now) {
    std::erase_if(records_, [now](const Record& r) { return r.animation.isFinished(now - r.start); });
}

}  // namespace quillmar::ui
