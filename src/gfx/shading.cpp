#include "gfx/shading.h"

#include <algorithm>
#include <cmath>

namespace quillmar::gfx {

Gradient::Gradient(std::vector<GradientStop> s) : stops(std::move(s)) {}

Gradient Gradient::colors(const std::vector<Color>& colors) {
    std::vector<GradientStop> s;
    s.reserve(colors.size());
    for (std::size_t i = 0; i < colors.size(); ++i) {
        double loc = colors.size() > 1 ? double(i) / double(colors.size() - 1) : 0.0;
        s.push_back({colors[i], loc});
    }
    return Gradient(std::move(s));
}

std::vector<GradientStop> Gradient::resolvedStops(double opacity) const {
    if (std::isnan(opacity)) opacity = 0;
    opacity = std::clamp(opacity, 0.0, 1.0);
    std::vector<GradientStop> sorted;
    sorted.reserve(stops.size());
    for (const GradientStop& s : stops) {
        double loc = std::isfinite(s.location) ? std::clamp(s.location, 0.0, 1.0) : (s.location > 0 ? 1.0 : 0.0);
        sorted.push_back({s.color, loc});
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const GradientStop& a, const GradientStop& b) { return a.location < b.location; });
    std::vector<GradientStop> out;
    out.reserve(sorted.size() + 2);
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const GradientStop& s = sorted[i];
        if (s.color.alpha > 0) {
            out.push_back({s.color.opacity(opacity), s.location});
            continue;
        }
        // A clear stop fades toward each neighbour in that neighbour's own colour, so a fade to
        // clear never passes through grey or black.
        const GradientStop* prev = i > 0 ? &sorted[i - 1] : nullptr;
        const GradientStop* next = i + 1 < sorted.size() ? &sorted[i + 1] : nullptr;
        if (prev && prev->color.alpha > 0) out.push_back({prev->color.withAlpha(0), s.location});
        if (next && next->color.alpha > 0) out.push_back({next->color.withAlpha(0), s.location});
        if ((!prev || prev->color.alpha <= 0) && (!next || next->color.alpha <= 0))
            out.push_back({s.color, s.location});
    }
    return out;
}

Color Gradient::lastColor() const {
    if (stops.empty()) return Color::clear();
    auto it = std::max_element(stops.begin(), stops.end(), [](const GradientStop& a, const GradientStop& b) {
        return a.location < b.location;  // the last of equal maxima wins below
    });
    // With several stops at the largest location, the one written last is the end colour.
    double maxLoc = it->location;
    for (auto r = stops.rbegin(); r != stops.rend(); ++r)
        if (r->location == maxLoc) return r->color;
    return it->color;
}

Gradient Gradient::opacity(double k) const {
    Gradient g = *this;
    for (GradientStop& s : g.stops) s.color = s.color.opacity(k);
    return g;
}

Shading Shading::linearGradient(const Gradient& g, Point start, Point end, GradientExtend extend) {
    return Shading(Linear{g, start, end, extend});
}

Shading Shading::radialGradient(const Gradient& g, Point center, double startRadius, double endRadius,
                                GradientExtend extend) {
    return Shading(Radial{g, center, startRadius, endRadius, extend});
}

std::vector<Color> Shading::colors() const {
    if (const Color* c = asColor()) return {*c};
    const Gradient& g = asLinear() ? asLinear()->gradient : asRadial()->gradient;
    std::vector<Color> out;
    for (const GradientStop& s : g.resolvedStops()) out.push_back(s.color);
    return out;
}

bool Shading::isDegenerate() const {
    if (const Linear* l = asLinear()) {
        return !(l->start.isFinite() && l->end.isFinite()) || distance(l->start, l->end) < 1e-9 ||
               l->gradient.stops.size() < 2;
    }
    if (const Radial* r = asRadial()) {
        return !r->center.isFinite() || !std::isfinite(r->startRadius) || !std::isfinite(r->endRadius) ||
               std::max(r->startRadius, r->endRadius) <= 1e-9 ||
               std::fabs(r->endRadius - r->startRadius) < 1e-9 || r->gradient.stops.size() < 2;
    }
    return false;
}

}  // namespace quillmar::gfx
