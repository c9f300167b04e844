// The winter aurora hearth dissolve on the About card: a cold sky wash with the warm glow of a
// hearth at the bottom left, three waving aurora curtains with hanging rays, drifting snow motes
// and snowflakes, and embers rising from the hearth.

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "seasonal/scenes/drifting_snow.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/spectacle_renderer.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

namespace {
using gfx::Color;
using gfx::GradientStop;
using gfx::Point;
using scenes::kPi;

struct AuroraCurtain {
    double startX, endX, baseY, waveAmplitude, thickness, phase;
    Color brightColor, deepColor;
};

void drawCurtain(gfx::GraphicsContext& ctx, const AuroraCurtain& c, int n, bool isDark, double p, double fade) {
    const Color col = isDark ? c.brightColor : c.deepColor;
    const double a = (isDark ? 0.44 : 0.30) * fade;
    const double A = c.waveAmplitude;
    auto yc = [&](double x) {
        return c.baseY + A * std::sin(0.016 * x + c.phase + 2.4 * p) + 0.45 * A * std::sin(0.037 * x - 3.3 * p + 1.7 * c.phase);
    };
    auto ribbon = [&](double T, gfx::Path* crest) {
        std::array<Point, 23> top{}, bottom{};
        for (int i = 0; i <= 22; ++i) {
            const double u = i / 22.0;
            const double x = c.startX + (c.endX - c.startX) * u;
            const double hw = (0.82 + 0.18 * std::sin(0.05 * x + 4 * p + c.phase)) * std::pow(std::sin(kPi * u), 0.55) * T;
            top[static_cast<std::size_t>(i)] = {x, yc(x) - hw};
            bottom[static_cast<std::size_t>(i)] = {x, yc(x) + hw};
        }
        gfx::Path path;
        path.move(top[0]);
        for (int i = 1; i <= 22; ++i) path.addLine(top[static_cast<std::size_t>(i)]);
        for (int i = 22; i >= 0; --i) path.addLine(bottom[static_cast<std::size_t>(i)]);
        path.closeSubpath();
        if (crest) crest->addLines(std::vector<Point>(top.begin(), top.end()));
        return path;
    };
    const gfx::Shading shade = scenes::linearShading(
        {c.startX, 0}, {c.endX, 0},
        std::vector<GradientStop>{{col.opacity(0), 0}, {col.opacity(a), 0.22}, {col.opacity(1.1 * a), 0.52}, {col.opacity(a), 0.8}, {col.opacity(0), 1}});
    gfx::GraphicsContext outer = ctx;
    outer.opacity *= 0.36;
    outer.fill(ribbon(2.3 * c.thickness, nullptr), shade);
    gfx::Path crest;
    ctx.fill(ribbon(c.thickness, &crest), shade);
    ctx.stroke(crest, Color::whiteColor().opacity((isDark ? 0.55 : 0.30) * a), scenes::roundCapStroke(0.8));
    gfx::Path rays;
    for (int k = 0; k < 9; ++k) {
        const double u = (k + 0.5) / 9;
        const double x = c.startX + (c.endX - c.startX) * u;
        const double y = yc(x);
        const double L = (7 + 11 * (0.5 + 0.5 * std::sin(1.9 * k + 9 * p + 2.3 * n))) * std::sin(kPi * u);
        rays.move({x, y});
        rays.addLine({x + 1.5, y + L});
    }
    ctx.stroke(rays, col.opacity(0.45 * a), scenes::roundCapStroke(1.2));
}

void drawEmbers(gfx::GraphicsContext& ctx, double h, double p, double late, PointerWake& wake, Point origin) {
    for (int i = 0; i < 14; ++i) {
        const double hA = spectacleUnit(17 + 29 * i), hB = spectacleUnit(13 + 53 * i), hC = spectacleUnit(9 + 71 * i);
        const double p0 = 0.4 * hA;
        if (p < p0) continue;
        const double t = (p - p0) / (0.44 + 0.2 * hB);
        if (t >= 1) continue;
        const double rise = 1 - std::pow(1 - t, 1.7);
        double x = 20 + 60 * hB + 5 * std::sin(6.283 * hA + (5 + 3 * hC) * t) + 18 * (hC - 0.5) * rise;
        double y = h + 3 - (44 + 24 * hC) * rise;
        const WakeDisplacement d = wake.cursorWakeDisplacement(x, y, origin.x, origin.y, 28, 0.9);
        x += d.dx;
        y += d.dy;
        const double b = 0.92 * std::pow(std::sin(kPi * t), 0.8) * late;
        if (b <= 0) continue;  // an ember at zero brightness (its first instant, or the closing fade) shows nothing
        const double q = 1 - t;
        const Color ember(1.0, 0.36 + 0.46 * q, 0.16 + 0.22 * q);
        const double gr = 3.2 + 1.4 * hC;
        ctx.fill(scenes::circlePath(x, y, gr), scenes::radialShading({x, y}, gr, {ember.opacity(0.55 * b), ember.opacity(0)}));
        ctx.fill(scenes::circlePath(x, y, 0.9 + 0.5 * hA), Color(1.0, 0.90 + 0.08 * q, 0.62 + 0.30 * q).opacity(b));
    }
}
}  // namespace

void drawWinterAuroraHearthDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                                    double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const double p = progress, w = width, h = height;
    PointerWake& wake = PointerWake::shared();
    const Point origin = wake.aboutCardOriginInWindow;
    const double fade = smootherstep(0.02, 0.22, p) * (1 - smootherstep(0.70, 0.98, p));
    const double late = 1 - smootherstep(0.88, 1.0, p);

    if (fade > 0.004) {
        const gfx::Path all = gfx::Path::rect({0, 0, w, h});
        const Color sky = isDark ? Color(0.56, 0.72, 1.00) : Color(0.58, 0.70, 0.94);
        context.fill(all, scenes::linearShading({0, 0}, {0, 0.7 * h}, {sky.opacity((isDark ? 0.09 : 0.07) * fade), sky.opacity(0)}));
        const Color hearth(1.00, 0.66, 0.30);
        const double flicker = 0.88 + 0.12 * std::sin(53 * p) * std::sin(29 * p + 0.7);
        context.fill(scenes::glowCircle({42, h + 12}, 96), scenes::radialShading({42, h + 12}, 96,
                                                {hearth.opacity((isDark ? 0.22 : 0.13) * fade * flicker), hearth.opacity(0)}));
        const AuroraCurtain curtains[3] = {
            {74, w - 70, 17, 5, 5, 0, {0.36, 0.95, 0.74}, {0.10, 0.62, 0.50}},
            {100, w - 60, 27, 6, 4, 2.1, {0.52, 0.62, 1.00}, {0.32, 0.40, 0.86}},
            {130, w - 96, 10, 4, 3, 4.0, {0.96, 0.54, 0.82}, {0.76, 0.30, 0.60}},
        };
        for (int n = 0; n < 3; ++n) drawCurtain(context, curtains[n], n, isDark, p, fade);
    }

    const scenes::SnowFrame snow{context, w, h, p, late, wake, origin};
    const Color ink = isDark ? Color(0.94, 0.97, 1.00) : Color(0.46, 0.60, 0.80);
    scenes::drawDriftingSnow(snow, {8, 8104, 0.42, 4, 30, 42, 0.6}, scenes::FlakeLook::soft,
                             {isDark ? Color::whiteColor() : Color(0.55, 0.66, 0.84), {}, 1.1, 0.7});
    scenes::drawDriftingSnow(snow, {9, 8204, 0.74, 7, 44, 42, 1.0}, scenes::FlakeLook::spoked, {ink, {}, 2.6, 1.0});
    scenes::drawDriftingSnow(snow, {5, 8304, 0.88, 10, 56, 42, 1.25}, scenes::FlakeLook::crystal,
                             {ink, isDark ? Color::whiteColor() : Color(0.62, 0.76, 0.96), 4.4, 1.6});
    drawEmbers(context, h, p, late, wake, origin);
}

}  // namespace quillmar
