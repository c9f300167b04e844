#include "settings_ui/anodized_trackpad_surface.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "localization/l10n.h"
#include "settings_ui/checked_number.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;
using ui::ShapeStyle;

namespace {

constexpr double kCornerRadius = 10;
constexpr double kRestingDotDiameter = 10.5;
// The top-edge label stands at the band's leading end, clear of the corner's curve and of the two
// resting fingers in the middle of the band, which would otherwise strike it through.
constexpr double kTopEdgeLabelInset = 12;
constexpr double kTopEdgeLabelGapToFingers = 6;

ui::Shape padShape() { return ui::RoundedRectangle(kCornerRadius); }

// The lift of the middle fingers of a ghost row: they are longer, so they rest higher.
double ghostLift(std::size_t k, std::size_t count) {
    if (count == 3) return k == 1 ? -2.5 : 0;
    if (count == 4) return k == 1 || k == 2 ? -2.5 : 0;
    return 0;
}

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

struct DotColours {
    ShapeStyle dot;
    ShapeStyle glow;
};

DotColours dotColours(bool zen, const std::optional<Color>& tint, bool isDark) {
    if (zen) return {Color::rgb(0.98, 0.88, 0.62), Color::rgb(0.94, 0.78, 0.38, 0.32)};
    if (tint) return {*tint, tint->opacity(0.28)};
    if (isDark) return {Color::whiteColor().opacity(0.9), Color::whiteColor().opacity(0.22)};
    return {ShapeStyle::tint().opacity(0.84), ShapeStyle::tint().opacity(0.2)};
}

}  // namespace

int AnodizedTrackpadSurface::tickCount(double sensitivity) {
    return static_cast<int>(checkedWhole(std::round(sensitivity * 7), 5, 15));
}

std::vector<double> AnodizedTrackpadSurface::ghostOffsets(TriggerStyle style, std::int64_t fingerCount) {
    if (style == TriggerStyle::topEdgeTwoFinger) return {-13, 13};
    if (fingerCount == 4) return {-25, -8.5, 8.5, 25};
    return {-17, 0, 17};
}

std::vector<AnodizedTrackpadSurface::FingerDot> AnodizedTrackpadSurface::fingerDots(ui::Size size) const {
    const double w = size.width, h = size.height;
    std::vector<FingerDot> dots;
    if (!liveTouches.empty()) {
        for (const auto& t : liveTouches) {
            const double d = std::clamp(11 + 5 * finiteOr(t.z, 0), 11.0, 19.0);
            dots.push_back({{w * finiteOr(t.x, 0.5), h * (1 - finiteOr(t.y, 0.5))}, d, 1, d + 8});
        }
        return dots;
    }
    const bool topEdge = triggerStyle == TriggerStyle::topEdgeTwoFinger;
    const auto offsets = ghostOffsets(triggerStyle, fingerCount);
    const auto hx = hoverRatioX.get();
    for (std::size_t k = 0; k < offsets.size(); ++k) {
        const double lift = topEdge ? 0 : ghostLift(k, offsets.size());
        if (hx) {
            const double y0 = topEdge ? h * 0.16 : h * finiteOr(hoverRatioY.get(), 0.52);
            dots.push_back({{finiteOr(*hx, 0.5) * w + offsets[k], y0 + lift}, 12, 1, 20});
        } else {
            const double y0 = topEdge ? h * 0.16 : h * 0.48;
            dots.push_back({{w * 0.5 + offsets[k], y0 + lift}, kRestingDotDiameter, isEnabled ? 0.55 : 0.22, 0});
        }
    }
    return dots;
}

AnodizedTrackpadSurface::HoverEffect AnodizedTrackpadSurface::hoverEffect(const ui::HoverPhase& phase, ui::Size size,
                                                                        bool isEnabled,
                                                                        std::optional<double> currentX,
                                                                        double currentY) {
    HoverEffect e;
    if (!isEnabled || !phase.active) {
        e.clearsX = currentX.has_value();
        return e;
    }
    const double w = size.width < 1 ? 1 : size.width;
    const double h = size.height < 1 ? 1 : size.height;
    // A NaN location lands on the low end of each range instead of escaping the clamp.
    const double rx = std::clamp(finiteOr(phase.location.x / w, 0), 0.14, 0.86);
    const double ry = std::clamp(finiteOr(phase.location.y / h, 0), 0.24, 0.74);
    // Dead zones keep sub-pixel jitter from republishing the stage model.
    if (!currentX || std::fabs(*currentX - rx) > 0.003) e.newX = rx;
    if (!(std::fabs(currentY - ry) <= 0.004)) e.newY = ry;
    e.scrub = rx;
    return e;
}

void AnodizedTrackpadSurface::handleHover(const ui::HoverPhase& phase, ui::Size size) const {
    const auto e = hoverEffect(phase, size, isEnabled, hoverRatioX.get(), hoverRatioY.get());
    if (e.clearsX) hoverRatioX.set(std::nullopt);
    if (e.newX) hoverRatioX.set(*e.newX);
    if (e.newY) hoverRatioY.set(*e.newY);
    if (e.scrub && onHoverScrub) onHoverScrub(*e.scrub);
}

ui::View AnodizedTrackpadSurface::padBody() const {
    const bool dark = palette.isDark;
    gfx::StrokeStyle highlight;
    highlight.lineWidth = 1;
    gfx::StrokeStyle rim;
    rim.lineWidth = 0.75;
    const auto sheen = ShapeStyle::linearGradient(
        gfx::Gradient::colors({Color::whiteColor().opacity(dark ? 0.24 : 0.95), Color::clear()}), ui::UnitPoint::top(),
        ui::UnitPoint::bottom());
    return padShape()
        .fill(palette.surfaceGradient())
        .shadow(Color::black().opacity(dark ? 0.45 : 0.12), 10, 0, 5)
        .overlay(padShape().strokeBorder(sheen, highlight))
        .overlay(padShape().strokeBorder(Color::black().opacity(dark ? 0.65 : 0.14), rim));
}

ui::View AnodizedTrackpadSurface::ruler() const {
    const int n = tickCount(sensitivity);
    ui::ViewList ticks;
    for (int i = 0; i < n; ++i) {
        const bool tall = i == n / 2;
        ticks.push_back(ui::Rectangle().fill(ShapeStyle::primary().opacity(tall ? 0.36 : 0.18)).frame(1, tall ? 9 : 5));
        if (i + 1 < n) ticks.push_back(ui::Spacer(0));
    }
    return ui::VStack(0, {ui::Spacer(), ui::HStack(ui::VerticalAlignment::center, 0, std::move(ticks))
                                            .padding(ui::Edges::horizontal(), 26)
                                            .padding(ui::Edges::bottom(), 7)})
        .named("stageRuler");
}

ui::View AnodizedTrackpadSurface::topEdgeZone(ui::Size size) const {
    gfx::StrokeStyle dashed;
    dashed.lineWidth = 1;
    dashed.dash = {3, 3};
    const auto line = ui::Shape::custom([](const ui::Rect& r) { return gfx::Path::line({r.x, r.y}, {r.maxX(), r.y}); })
                          .stroke(ShapeStyle::tint().opacity(0.45), dashed)
                          .frame(std::nullopt, 1);
    const double fingersStart = size.width / 2 + ghostOffsets(triggerStyle, fingerCount).front() - kRestingDotDiameter / 2;
    const double labelRoom = std::max(0.0, fingersStart - kTopEdgeLabelGapToFingers - kTopEdgeLabelInset);
    const auto label = ui::Text(L10n::stageTopEdgeZone())
                           .font(gfx::Font::system(10.5, gfx::FontWeight::medium))
                           .foregroundStyle(ShapeStyle::tint())
                           .lineLimit(1)
                           .minimumScaleFactor(0.8)
                           .named("stageTopEdgeLabel")
                           .frame(ui::FlexibleFrame{.maxWidth = labelRoom, .alignment = ui::Alignment::leading()})
                           .padding(ui::Edges::leading(), kTopEdgeLabelInset);
    const auto panel = ui::ZStack(ui::Alignment::leading(),
                                  {ui::Rectangle().fill(ShapeStyle::tint().opacity(palette.isDark ? 0.15 : 0.11)), label})
                           .frame(std::nullopt, size.height * 0.3)
                           .overlay(line, ui::Alignment::bottom());
    return ui::VStack(0, {panel, ui::Spacer(0)}).clipShape(padShape()).named("stageTopEdgeZone");
}

ui::View AnodizedTrackpadSurface::sandCanvas() const {
    double mx = 0, my = 0;
    for (const auto& t : liveTouches) {
        mx += t.x;
        my += t.y;
    }
    const double n = static_cast<double>(liveTouches.size());
    mx /= n;
    my /= n;
    const double phase = zenWavePhase;
    const bool dark = palette.isDark;
    return ui::Canvas([mx, my, phase, dark](gfx::GraphicsContext& ctx, ui::Size size) {
               drawZenSand(ctx, size, {size.width * mx, size.height * (1 - my)}, phase, dark);
           })
        .clipShape(padShape())
        .allowsHitTesting(false)
        .named("stageZenSand");
}

void drawZenSand(gfx::GraphicsContext& ctx, ui::Size size, ui::Point c, double phase, bool isDark) {
    const double w = size.width, h = size.height;
    if (!(w > 4) || !(h > 4) || !std::isfinite(w) || !std::isfinite(h)) return;
    if (!std::isfinite(phase)) phase = 0;
    if (!std::isfinite(c.x) || !std::isfinite(c.y)) c = {w / 2, h / 2};
    const Color sand = isDark ? Color::rgb(0.94, 0.82, 0.54) : Color::rgb(0.58, 0.46, 0.24);
    constexpr double tau = 2 * std::numbers::pi;

    gfx::StrokeStyle raked;
    raked.lineWidth = 0.75;
    for (int i = 1; i <= 7; ++i) {
        const double y = h * i / 8;
        gfx::Path p;
        p.move(8, y);
        p.addQuadCurve({w - 8, y}, {c.x, y + 2.2 * std::sin(tau * phase + 0.65 * i)});
        ctx.stroke(p, gfx::Shading::color(sand.opacity(0.12)), raked);
    }
    for (double o : {0.0, 0.25, 0.5, 0.75}) {
        const double t = std::fmod(phase + o, 1.0);
        const double alpha = 0.34 * std::sin(std::numbers::pi * t);
        if (!(alpha > 0)) continue;
        const double rx = 18 + 82 * t, ry = 10 + 40 * t;
        ctx.stroke(gfx::Path::ellipse({c.x - rx, c.y - ry, 2 * rx, 2 * ry}), gfx::Shading::color(sand.opacity(alpha)), 1);
    }
}

ui::View AnodizedTrackpadSurface::dotsLayer(ui::Size size) const {
    const auto colours = dotColours(isFiveFingerZen, customTouchTint, palette.isDark);
    const auto dots = fingerDots(size);
    const bool live = !liveTouches.empty();
    std::vector<std::pair<std::string, FingerDot>> keyed;
    for (std::size_t k = 0; k < dots.size(); ++k)
        keyed.emplace_back(live ? "live-" + std::to_string(liveTouches[k].id) : "ghost-" + std::to_string(k), dots[k]);
    auto views = ui::ForEach(keyed, [](const auto& e) { return e.first; }, [&](const auto& e) {
        const FingerDot& d = e.second;
        const double box = std::max(d.diameter, d.glowDiameter);
        ui::View dot = ui::Circle().fill(colours.dot).frame(d.diameter, d.diameter).opacity(d.opacity);
        if (d.glowDiameter > 0)
            dot = ui::ZStack({ui::Circle().fill(colours.glow).frame(d.glowDiameter, d.glowDiameter), dot});
        return dot.frame(box, box).offset(d.center.x - box / 2, d.center.y - box / 2).named("stageFingerDot");
    });
    return ui::ZStack(ui::Alignment::topLeading(), {ui::View(Color::clear()).frame(size.width, size.height), views})
        .allowsHitTesting(false);
}

ui::View AnodizedTrackpadSurface::body() const {
    auto self = *this;
    return ui::GeometryReader([self](const ui::GeometryProxy& g) {
        const ui::Size size = g.size();
        const bool sand = self.isFiveFingerZen && !self.liveTouches.empty();
        const bool topEdge = self.triggerStyle == TriggerStyle::topEdgeTwoFinger;
        return ui::ZStack({self.padBody(), ui::when(sand, [&] { return self.sandCanvas(); }),
                           ui::when(topEdge, [&] { return self.topEdgeZone(size); }), self.ruler(),
                           self.dotsLayer(size)})
            .frame(size.width, size.height)
            .contentShape(padShape())
            .onContinuousHover([self, size](const ui::HoverPhase& phase) { self.handleHover(phase, size); })
            .named("anodizedTrackpad");
    });
}

}  // namespace quillmar
