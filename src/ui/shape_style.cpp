#include "ui/shape_style.h"

#include <algorithm>
#include <cmath>

#include "ui/environment.h"

namespace quillmar::ui {

ShapeStyle::ShapeStyle(const Color& c) : kind_(Kind::color), color_(c) {}

ShapeStyle ShapeStyle::hierarchical(Level l) {
    ShapeStyle s;
    s.kind_ = Kind::hierarchical;
    s.level_ = l;
    return s;
}

ShapeStyle ShapeStyle::tint() {
    ShapeStyle s;
    s.kind_ = Kind::tint;
    return s;
}

ShapeStyle ShapeStyle::linearGradient(const gfx::Gradient& g, UnitPoint start, UnitPoint end) {
    ShapeStyle s;
    s.kind_ = Kind::linearGradient;
    s.gradient_ = g;
    s.start_ = start;
    s.end_ = end;
    return s;
}

ShapeStyle ShapeStyle::radialGradient(const gfx::Gradient& g, UnitPoint center, double startRadius,
                                      double endRadius) {
    ShapeStyle s;
    s.kind_ = Kind::radialGradient;
    s.gradient_ = g;
    s.start_ = center;
    s.startRadius_ = std::isfinite(startRadius) ? std::max(0.0, startRadius) : 0;
    s.endRadius_ = std::isfinite(endRadius) ? std::max(0.0, endRadius) : 0;
    return s;
}

ShapeStyle ShapeStyle::opacity(double k) const {
    ShapeStyle s = *this;
    s.opacity_ = std::clamp(std::isnan(k) ? 0.0 : k, 0.0, 1.0) * opacity_;
    return s;
}

std::vector<Color> ShapeStyle::resolvedColors(const Environment& env) const {
    switch (kind_) {
        case Kind::color: return {color_.opacity(opacity_)};
        case Kind::tint: return {env.accentColor().opacity(opacity_)};
        case Kind::hierarchical: {
            Color c;
            switch (level_) {
                case Level::primary: c = env.systemColor(gfx::SystemColor::primaryLabel); break;
                case Level::secondary: c = env.systemColor(gfx::SystemColor::secondaryLabel); break;
                case Level::tertiary: c = env.systemColor(gfx::SystemColor::tertiaryLabel); break;
                case Level::quaternary: c = env.systemColor(gfx::SystemColor::tertiaryLabel).opacity(0.5); break;
            }
            return {c.opacity(opacity_)};
        }
        case Kind::linearGradient:
        case Kind::radialGradient: {
            std::vector<Color> out;
            for (const auto& stop : gradient_.stops) out.push_back(stop.color.opacity(opacity_));
            return out;
        }
    }
    return {};
}

gfx::Shading ShapeStyle::shading(const Rect& b, const std::vector<Color>& colors) const {
    if (!isGradient()) return gfx::Shading::color(colors.empty() ? Color::clear() : colors.front());
    std::vector<gfx::GradientStop> stops = gradient_.stops;
    for (std::size_t i = 0; i < stops.size() && i < colors.size(); ++i) stops[i].color = colors[i];
    gfx::Gradient g(std::move(stops));
    if (kind_ == Kind::linearGradient) return gfx::Shading::linearGradient(g, b.point(start_), b.point(end_));
    return gfx::Shading::radialGradient(g, b.point(start_), startRadius_, endRadius_);
}

bool operator==(const ShapeStyle& a, const ShapeStyle& b) {
    if (a.kind_ != b.kind_ || a.opacity_ != b.opacity_) return false;
    switch (a.kind_) {
        case ShapeStyle::Kind::color: return a.color_ == b.color_;
        case ShapeStyle::Kind::tint: return true;
        case ShapeStyle::Kind::hierarchical: return a.level_ == b.level_;
        case ShapeStyle::Kind::linearGradient:
        case ShapeStyle::Kind::radialGradient: {
            if (a.start_ != b.start_ || a.end_ != b.end_ || a.startRadius_ != b.startRadius_ ||
                a.endRadius_ != b.endRadius_ || a.gradient_.stops.size() != b.gradient_.stops.size())
                return false;
            for (std::size_t i = 0; i < a.gradient_.stops.size(); ++i)
                if (a.gradient_.stops[i].color != b.gradient_.stops[i].color ||
                    a.gradient_.stops[i].location != b.gradient_.stops[i].location)
                    return false;
            return true;
        }
    }
    return false;
}

std::vector<double> colorsToData(const std::vector<Color>& colors) {
    std::vector<double> out;
    out.reserve(colors.size() * 4);
    for (const auto& c : colors) {
        out.push_back(c.red * c.alpha);
        out.push_back(c.green * c.alpha);
        out.push_back(c.blue * c.alpha);
        out.push_back(c.alpha);
    }
    return out;
}

std::vector<Color> dataToColors(const double* d, std::size_t count) {
    std::vector<Color> out;
    out.reserve(count / 4);
    for (std::size_t i = 0; i + 3 < count; i += 4) {
        const double a = std::clamp(d[i + 3], 0.0, 1.0);
        if (a <= 1e-9) {
            out.push_back(Color::clear());
            continue;
        }
        out.emplace_back(d[i] / a, d[i + 1] / a, d[i + 2] / a, a);
    }
    return out;
}

}  // namespace quillmar::ui
