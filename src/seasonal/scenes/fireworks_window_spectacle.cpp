// The fireworks celebration over the whole settings window: a night-blue wash with twinkling
// stars, eight rockets that climb on curved paths and burst with flashes and drifting smoke, and
// a closing fountain of golden sparks from the lower right corner that shies away from the
// pointer. The burst table is laid out for a 480 x 592 canvas and scaled to the real one.

#include <algorithm>
#include <array>
#include <cmath>

#include "seasonal/scenes/firework_burst.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/spectacle_renderer.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

namespace {
using gfx::Color;
using gfx::Point;
using scenes::kPi;

double U(long long seed) { return spectacleUnit(seed); }

constexpr std::array<FireworkBurst, 8> kWindowBursts{{
    {0, 322, 338, 168, 0.03, 0.1, 0.26, 70, 26, 0},
    {4, 150, 238, 128, 0.14, 0.1, 0.26, 54, 28, 4},
    {1, 430, 402, 214, 0.25, 0.1, 0.3, 86, 30, 1},
    {3, 215, 160, 250, 0.35, 0.09, 0.28, 58, 10, 2},
    {2, 372, 326, 118, 0.45, 0.11, 0.36, 118, 22, 0},
    {0, 70, 104, 310, 0.55, 0.09, 0.24, 52, 24, 3},
    {1, 286, 282, 180, 0.61, 0.085, 0.27, 108, 32, 5},
    {4, 452, 424, 332, 0.7, 0.08, 0.19, 44, 24, 2},
}};

void fillGlow(gfx::GraphicsContext& ctx, Point c, double radius, const Color& color, double a, double mid) {
    ctx.fill(scenes::circlePath(c.x, c.y, radius),
             scenes::radialShading(c, radius, {color.opacity(a), color.opacity(mid), color.opacity(0)}));
}

void drawSkyAndStars(gfx::GraphicsContext& ctx, bool isDark, double w, double h, double p, double env) {
    const Color skyTop(0.04, 0.07, 0.2);
    const Color skyBottom = isDark ? Color(0.03, 0.05, 0.14) : Color(0.1, 0.12, 0.28);
    const double a = (isDark ? 0.26 : 0.36) * env;
    ctx.fill(gfx::Path::rect({0, 0, w, h}),
             scenes::linearShading({0, 0}, {0, h},
                                   std::vector<gfx::GradientStop>{{skyTop.opacity(a), 0},
                                                                  {skyTop.opacity(a * 0.62), 0.45},
                                                                  {skyBottom.opacity(a * 0.24), 1.0}}));
    const Color star = isDark ? Color(0.94, 0.96, 1.0) : Color(0.9, 0.74, 0.36);
    const double so = (isDark ? 0.78 : 0.55) * env;
    for (int i = 0; i < 36; ++i) {
        const double x = U(7 * i + 3) * w;
        const double y = U(11 * i + 5) * h * 0.66;
        const double u = U(13 * i + 9);
        const double r = 0.5 + 0.7 * u;
        const double dim = (y < 60 && x > 64 && x < 222) ? 0.25 : 1.0;
        const double b = (0.3 + 0.7 * (0.5 + 0.5 * std::sin(u * 6.28 + (14 + 22 * u) * p))) * so * dim;
        ctx.fill(scenes::circlePath(x, y, r), star.opacity(b));
        if (i % 9 == 0) ctx.fill(scenes::sparklePath(x, y, 3.6 * r), star.opacity(b * 0.5));
    }
}

struct Quad {
    Point a, c, b;
    Point at(double t) const {
        const double m = 1 - t;
        return a * (m * m) + c * (2 * m * t) + b * (t * t);
    }
};

void drawRocket(gfx::GraphicsContext& ctx, const FireworkBurst& burst, const FireworkColors& colors, int i,
                bool isDark, double h, double p, Point launch, Point centre) {
    const double q = (p - burst.start) / burst.rise;
    const double e = 1 - std::pow(1 - q, 2.15);
    const double a = smootherstep(0, 0.1, q);
    const Quad path{launch,
                    {(centre.x + launch.x) / 2 + (U(13 * i + 14) - 0.5) * 56, (h + 6 + centre.y) * 0.52},
                    centre};
    const Point head = path.at(e);
    const Point tail = path.at(std::max(0.0, e - 0.16));
    const Point mid = (head + tail) * 0.5;
    const gfx::StrokeStyle trail = scenes::roundCapStroke(isDark ? 1.1 : 1.4);
    ctx.stroke(gfx::Path::line(tail, mid), colors.primary.opacity(a * 0.85 * 0.35), trail);
    ctx.stroke(gfx::Path::line(mid, head), colors.primary.opacity(a * 0.85), trail);
    fillGlow(ctx, head, 6.5, colors.primary, 0.55 * a, 0.55 * a * 0.32);
    ctx.fill(scenes::circlePath(head.x, head.y, 1.4), colors.glint.opacity(a));
    const Point dir = head - tail;
    const double len = std::max(std::hypot(dir.x, dir.y), 0.001);
    const Point normal{-dir.y / len, dir.x / len};
    for (int n = 0; n < 5; ++n) {
        const double s = e - 0.022 * (n + 1) - 0.006 * n * n;
        if (s <= 0) continue;
        const Point at = path.at(s) + normal * ((1.1 + 0.55 * n) * std::sin(2.3 * n + 70 * q + i + 1));
        const double alpha = (0.6 + 0.4 * std::sin(1.7 * n + 90 * q)) * (1 - n / 5.5) * 0.8 * a;
        ctx.fill(scenes::circlePath(at.x, at.y, 1.1 - 0.14 * n), colors.accent.opacity(alpha));
    }
}

void drawSmoke(gfx::GraphicsContext& ctx, const FireworkBurst& burst, int i, bool isDark, double p, double k,
               Point centre, double b0) {
    const double w = (p - (b0 + 0.05)) / (burst.duration + 0.3);
    if (!(w > 0 && w < 1)) return;
    const double fade = 1 - smootherQuintic(scenes::clamp01((p - 0.9) / 0.085));
    const double m = std::sin(kPi * w) * (isDark ? 0.07 : 0.055) * fade;
    if (m <= 0.002) return;
    const Color smoke = isDark ? Color(0.7, 0.72, 0.82) : Color(0.42, 0.44, 0.56);
    const double K = burst.size * k;
    const double s = (0.35 + 0.55 * w) * K;
    const Point puffs[2] = {
        {centre.x + (U(53 * i + 7) - 0.5) * 60 + 26 * w, centre.y - 10 - 22 * w + 0.12 * K},
        {centre.x + (U(53 * i + 26) - 0.5) * 60 + 26 * w, centre.y + 18 - 22 * w + 0.12 * K},
    };
    const double sizes[2] = {s, 0.75 * s};
    for (int n = 0; n < 2; ++n) {
        const Point c = puffs[n];
        const double z = sizes[n];
        ctx.fill(gfx::Path::ellipse({c.x - 1.3 * z, c.y - 0.8 * z, 2.6 * z, 1.6 * z}),
                 scenes::radialShading(c, 1.3 * z, {smoke.opacity(m), smoke.opacity(0.4 * m), smoke.opacity(0)}));
    }
}

void drawBurstLife(gfx::GraphicsContext& ctx, int i, bool isDark, double w, double h, double p, double sx,
                   double sy, double k) {
    const FireworkBurst& burst = kWindowBursts[static_cast<std::size_t>(i)];
    const FireworkColors colors = fireworksColors(burst.colorIndex, isDark);
    const Point centre{burst.x * sx, burst.y * sy};
    const Point launch{burst.launchX * sx, h + 6};
    const double b0 = burst.start + burst.rise + 0.014;
    if (p >= burst.start && p < burst.start + burst.rise)
        drawRocket(ctx, burst, colors, i, isDark, h, p, launch, centre);
    if (p >= burst.start + burst.rise && p < b0) {
        const double f = (p - burst.start - burst.rise) / 0.014;
        const double a = 0.35 + 0.4 * f;
        fillGlow(ctx, centre, 4 + 10 * f, colors.primary, a, a * 0.32);
        ctx.fill(scenes::circlePath(centre.x, centre.y, 1.6 + 1.2 * f), colors.glint);
    }
    if (p >= b0 && p < b0 + burst.duration) {
        const double t = (p - b0) / burst.duration;
        if ((i == 4 || i == 6) && t < 0.14) {
            const double fl = 1 - t / 0.14;
            ctx.fill(gfx::Path::rect({0, 0, w, h}), colors.primary.opacity(fl * fl * (isDark ? 0.09 : 0.07)));
        }
        if (burst.size >= 80 && t < 0.5) {
            const double ramp = t < 0.06 ? t / 0.06 : 1 - (t - 0.06) / 0.44;
            const double g = std::pow(ramp, 1.4) * (isDark ? 0.2 : 0.15);
            const Point c{centre.x, h + 20};
            ctx.fill(gfx::Path::ellipse({c.x - 230 * k, c.y - 110 * k, 460 * k, 220 * k}),
                     scenes::radialShading(c, 230 * k, {colors.primary.opacity(g), colors.primary.opacity(0.3 * g),
                                                        colors.primary.opacity(0)}));
        }
        if (t < 0.24) {
            const double a = std::pow(1 - t / 0.24, 1.7) * (isDark ? 0.55 : 0.46);
            const double r = burst.size * k * t * 1.1 + 10;
            ctx.fill(scenes::circlePath(centre.x, centre.y, r),
                     scenes::radialShading(centre, r, {colors.glint.opacity(a), colors.primary.opacity(0.45 * a),
                                                       colors.primary.opacity(0)}));
        }
        drawFireworkBurst(ctx, burst, colors, i + 1, centre.x, centre.y, t, k, 0, 0, isDark);
    }
    drawSmoke(ctx, burst, i, isDark, p, k, centre, b0);
}

void drawFountain(gfx::GraphicsContext& ctx, bool isDark, double w, double h, double p, double sx, double k,
                  double env2) {
    const FireworkColors gold = fireworksColors(0, isDark);
    const double g = (isDark ? 0.16 : 0.13) * env2;
    fillGlow(ctx, {w - 34, h + 24}, 170 * k, gold.primary, g, 0.32 * g);
    PointerWake& wake = PointerWake::shared();
    for (int j = 0; j < 36; ++j) {
        const double ua = U(7 * j + 401), ub = U(11 * j + 409), uc = U(13 * j + 419), ud = U(17 * j + 421);
        const double start = 0.66 + 0.2 * ua;
        const double span = 0.15 + 0.11 * ub;
        const double tau = (p - start) / span;
        if (!(tau > 0 && tau < 1)) continue;
        const double fade = (1 - smootherQuintic(scenes::clamp01((tau - 0.62) / 0.38))) *
                            smootherQuintic(std::min(tau / 0.12, 1.0));
        double x = w - 14 - 92 * sx * uc + 4.5 * std::sin(j + (7 + 4 * ud) * tau);
        double y = 0.985 * h - (0.38 + 0.3 * ud) * h * tau;
        const WakeDisplacement d = wake.cursorWakeDisplacement(x, y, 0, 0, 44, 1.0);
        x += d.dx;
        y += d.dy;
        const double r = 1.4 + 2.2 * ub;
        if (j % 4 == 0) {
            ctx.fill(scenes::sparklePath(x, y, 1.9 * r),
                     gold.primary.opacity((0.6 + 0.4 * std::sin(ua * 6.28 + 80 * p)) * fade));
            ctx.fill(scenes::circlePath(x, y, 0.8), gold.glint.opacity(fade));
        } else {
            ctx.fill(scenes::circlePath(x, y, r), gold.primary.opacity(0.85 * fade));
            if (r > 2.2)
                ctx.fill(scenes::circlePath(x - 0.35 * r, y - 0.35 * r, 0.32 * r), Color::whiteColor().opacity(0.9 * fade));
        }
    }
}
}  // namespace

void drawFireworksWindowSpectacle(gfx::GraphicsContext& context, bool isDark, double width, double height,
                                  double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const double w = width, h = height, p = progress;
    const double sx = w / 480, sy = h / 592, k = std::min(sx, sy);

    const double env = smootherstep(0, 0.09, p) * (1 - smootherstep(0.88, 1.0, p));
    if (env > 0.003) drawSkyAndStars(context, isDark, w, h, p, env);
    for (int i = 0; i < static_cast<int>(kWindowBursts.size()); ++i) drawBurstLife(context, i, isDark, w, h, p, sx, sy, k);
    const double env2 = smootherstep(0.66, 0.74, p) * (1 - smootherstep(0.93, 0.99, p));
    if (env2 > 0.003) drawFountain(context, isDark, w, h, p, sx, k, env2);
}

}  // namespace quillmar
