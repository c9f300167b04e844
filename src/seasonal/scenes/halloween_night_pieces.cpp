#include "seasonal/scenes/halloween_night_pieces.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "seasonal/scenes/halloween_colors.h"
#include "seasonal/scenes/halloween_paths.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

namespace {

using halloween::kMoonlight;
using halloween::kPumpkin;
using halloween::kSilk;

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Point;
using gfx::Shading;

constexpr std::array<double, 10> kRingRadii{0.04, 0.075, 0.19, 0.245, 0.31, 0.39, 0.485, 0.6, 0.73, 0.86};

Path ellipseAround(double cx, double cy, double rx, double ry) { return Path::ellipse({cx - rx, cy - ry, 2 * rx, 2 * ry}); }

Point polar(Point c, double r, double angle) { return {c.x + r * std::cos(angle), c.y + r * std::sin(angle)}; }

}  // namespace

void drawHalloweenMoon(gfx::GraphicsContext& context, bool isDark, double cx, double cy, double r, double k,
                       double drift) {
    const Point c{cx, cy};
    context.fill(Path::circle(c, 3.6 * r),
                 Shading::radialGradient(Gradient::colors({kMoonlight.opacity((isDark ? 0.2 : 0.16) * k),
                                                           Color::rgb(0.45, 0.4, 0.75).opacity(0.07 * k),
                                                           Color::clear()}),
                                         c, 0.8 * r, 3.6 * r));
    context.fill(Path::circle(c, 1.7 * r),
                 Shading::radialGradient(Gradient::colors({kMoonlight.opacity(0.3 * k), Color::clear()}), c, 0.9 * r,
                                         1.7 * r));
    context.fill(Path::circle(c, r),
                 Shading::radialGradient(Gradient::colors({Color::rgb(0.97, 0.97, 0.94).opacity(0.92 * k),
                                                           kMoonlight.opacity(0.9 * k),
                                                           Color::rgb(0.66, 0.7, 0.82).opacity(0.88 * k)}),
                                         {cx - 0.3 * r, cy - 0.3 * r}, 0, 1.25 * r));
    Path craters;
    craters.addPath(ellipseAround(cx - 0.42 * r, cy - 0.22 * r, 0.23 * r, 0.18 * r));
    craters.addPath(ellipseAround(cx + 0.08 * r, cy + 0.1 * r, 0.26 * r, 0.21 * r));
    craters.addPath(ellipseAround(cx - 0.16 * r, cy + 0.42 * r, 0.15 * r, 0.11 * r));
    context.fill(craters, Color::rgb(0.52, 0.56, 0.7).opacity(0.22 * k));

    const double u = drift - 0.5;
    const struct {
        double x, y, width, height;
        int seed;
    } clouds[] = {{cx - 36 + 74 * u, cy + 0.28 * r, 96, 11, 1}, {cx + 22 - 52 * u, cy - 0.46 * r, 72, 8, 6}};
    for (const auto& cloud : clouds) {
        const Path path = halloweenCloudPath(cloud.x, cloud.y, cloud.width, cloud.height, cloud.seed);
        gfx::GraphicsContext rim = context;
        rim.translateBy(0, -1.1);
        rim.fill(path, kMoonlight.opacity(0.16 * k));
        context.fill(path, Shading::linearGradient(
                               Gradient::colors({Color::rgb(0.12, 0.08, 0.2).opacity(0.78 * k),
                                                 Color::rgb(0.08, 0.05, 0.14).opacity(0.62 * k)}),
                               {cloud.x, cloud.y - cloud.height}, {cloud.x, cloud.y + cloud.height}));
    }
}

void drawHalloweenSpiderWeb(gfx::GraphicsContext& context, const SpiderWebSpec& web) {
    const int n = std::min(web.spokes, kSpiderWebSpokeLimit);
    const double b = web.build, o = web.opacity, l = web.flash, t = web.time, R = web.radius;
    if (n < 3 || !(b > 0.01) || !(o > 0.01)) return;
    const Point c = web.center;

    std::vector<double> angles(static_cast<std::size_t>(n));
    std::vector<double> lengths(static_cast<std::size_t>(n));
    const double step = (web.endDegrees - web.startDegrees) / (n - 1);
    for (int k = 0; k < n; ++k) {
        const double jitter = (k == 0 || k == n - 1) ? 0 : (spectacleUnit(19 * k + 3) - 0.5) * step * 0.35;
        angles[k] = (web.startDegrees + k * step + jitter) * std::numbers::pi / 180;
        lengths[k] = (0.92 + 0.08 * spectacleUnit(29 * k + 7)) * R;
    }
    auto tip = [&](int k) { return polar(c, lengths[k], angles[k]); };

    // Spokes.
    const double s0 = smootherstep(0, 0.55, b);
    Path spokes;
    for (int k = 0; k < n; ++k) {
        spokes.move(c);
        spokes.addLine(polar(c, lengths[k] * s0, angles[k]));
    }
    context.stroke(spokes, kSilk.opacity((0.06 + 0.08 * l) * o), 2.4);
    context.stroke(spokes, kSilk.opacity((0.4 + 0.45 * l) * o), 0.7);

    // Rings, laid spoke to spoke; a growing ring starts from the first spoke on even rings and the
    // last on odd ones. Rings 2 to 9 tremble near the pointer.
    const double shown = smootherstep(0.22, 1, b) * 10;
    auto threadPoint = [&](int ring, int k) {
        return polar(c, kRingRadii[ring] * R * (1 + 0.05 * (spectacleUnit(7 * k + 31 * ring) - 0.5)), angles[k]);
    };
    PointerWake& wake = PointerWake::shared();
    Path rings;
    for (int i = 0; i < 10; ++i) {
        const double frac = shown - i;
        if (frac <= 0) break;
        const int segments = frac >= 1 ? n - 1 : static_cast<int>(std::ceil(frac * (n - 1)));
        const double ringRadius = kRingRadii[i] * R;
        const double sag = 1 - (0.07 + 0.008 * std::sin(i + 7 * t));
        for (int j = 0; j < segments; ++j) {
            const int from = i % 2 == 0 ? j : (n - 1) - j;
            const int to = i % 2 == 0 ? j + 1 : from - 1;
            Point control = polar(c, ringRadius * sag, (angles[from] + angles[to]) / 2);
            if (i >= 2) {
                const WakeDisplacement w = wake.cursorWakeDisplacement(control.x, control.y, web.pointerOrigin.x,
                                                                       web.pointerOrigin.y, 12, 0.55);
                control = control + Point{w.dx, w.dy} * 0.6;
            }
            if (j == 0) rings.move(threadPoint(i, from));
            rings.addQuadCurve(threadPoint(i, to), control);
        }
    }
    if (!rings.isEmpty()) context.stroke(rings, kSilk.opacity((0.34 + 0.4 * l) * o), 0.6);

    // Frame and anchor threads tie the web to the wall and the top edge.
    if (b > 0.5) {
        const double a = smootherstep(0.5, 0.72, b);
        Path frame;
        frame.move(tip(0));
        for (int k = 0; k + 1 < n; ++k) {
            frame.addQuadCurve(tip(k + 1),
                               polar(c, 0.93 * (lengths[k] + lengths[k + 1]) / 2, (angles[k] + angles[k + 1]) / 2));
        }
        const Point first = tip(0), last = tip(n - 1);
        frame.move(first);
        frame.addLine(web.wallX + 2, first.y + 22);
        frame.move(last);
        frame.addLine(last.x - 22, -2);
        frame.move(c);
        frame.addLine(web.wallX + 2, -2);
        context.stroke(frame, kSilk.opacity((0.5 + 0.4 * l) * a * o), 0.8);
    }

    // Dew sparkles on complete rings. (A sparkle on ring 9 would need more than ten rings shown, so
    // it never appears.)
    for (int i = 0; i <= 6; ++i) {
        const int ring = 4 + static_cast<int>(spectacleUnit(43 * i + 5) * 5.99);
        if (!(ring + 1 < shown)) continue;
        const int k = std::clamp(static_cast<int>(spectacleUnit(17 * i + 1) * (n - 1) + 0.5), 0, n - 1);
        const Point at = threadPoint(ring, k);
        const double w = 0.5 + 0.5 * std::sin(1.7 * i + (9 + 8 * spectacleUnit(7 * i)) * t);
        const double z = 1.4 + 1.2 * w + 1.5 * l;
        context.fill(scenes::sparklePath(at.x, at.y, z), kMoonlight.opacity((0.35 + 0.5 * w) * o));
    }
}

void drawHalloweenSpider(gfx::GraphicsContext& context, bool isDark, double x, double y, double v, double t, double o) {
    if (!(o > 0.01)) return;
    gfx::GraphicsContext ctx = context;
    ctx.opacity *= o;
    ctx.translateBy(x, y);

    const double e = 0.45 + 0.55 * v;
    const double lift = 1.6 * e;
    Path legs;
    for (const double side : {-1.0, 1.0}) {
        const double offset = side;
        for (int i = 0; i <= 3; ++i) {
            const double w = 0.12 * v * std::sin(t + 1.6 * i + offset);
            const double upperAngle = (-1.15 + 0.75 * i) * e + w;
            const double lowerAngle = upperAngle + 0.55;
            const double upper = (i == 0 || i == 2) ? 5.8 : 6.7;
            const double lower = (5.2 - 0.3 * i) * 0.85;
            const Point root{side * 2, 0.6 + 1.1 * i};
            const Point knee{side * (2 + upper * std::cos(upperAngle)), 0.6 + 1.1 * i + upper * std::sin(upperAngle) - lift};
            const Point foot{knee.x + side * lower * std::cos(lowerAngle), knee.y + 3.4 + 0.5 * i + 5 * w};
            legs.move(root);
            legs.addLine(knee);
            legs.addQuadCurve(foot, {knee.x + side * 1.3, knee.y + 1.2});
        }
    }
    // On the dark night wash a near-black spider would vanish: there it is moonlit grey-violet.
    const Color leg = isDark ? Color::rgb(0.62, 0.57, 0.74) : Color::rgb(0.11, 0.08, 0.16);
    const Color bodyLight = isDark ? Color::rgb(0.66, 0.58, 0.78) : Color::rgb(0.26, 0.18, 0.34);
    const Color bodyDark = isDark ? Color::rgb(0.38, 0.32, 0.48) : Color::rgb(0.07, 0.05, 0.1);
    const Color head = isDark ? Color::rgb(0.5, 0.44, 0.62) : Color::rgb(0.08, 0.06, 0.12);
    ctx.stroke(legs, leg, scenes::roundStroke(0.95));
    ctx.fill(Path::ellipse({-4.4, -8, 8.8, 8.6}),
             Shading::radialGradient(Gradient::colors({bodyLight, bodyDark}), {-1.4, -5.4}, 0, 5.4));
    ctx.fill(Path::ellipse({-3, 0, 6, 5.2}), head);
    ctx.fill(Path::ellipse({-2.8, -7.3, 2.8, 3.4}), Color::rgb(0.72, 0.62, 0.92).opacity(0.16));
    Path eyes;
    eyes.addEllipse({-1.65, 3.65, 1.1, 1.1});
    eyes.addEllipse({0.55, 3.65, 1.1, 1.1});
    ctx.fill(eyes, kPumpkin);
}

void drawHalloweenGhost(gfx::GraphicsContext& ghost, double time, double k, double dip, Point look) {
    const Color kShadow = Color::rgb(0.03, 0.018, 0.05);
    const Path body = halloweenGhostPath(time, 4 + 4 * k);
    const struct {
        double opacity, dx, dy, scale;
    } echoes[] = {{0.11, -14, 3, 0.94}, {0.26, -7, 1.5, 0.97}};
    for (const auto& e : echoes) {
        gfx::GraphicsContext echo = ghost;
        echo.opacity *= e.opacity;
        echo.translateBy(e.dx, e.dy);
        echo.scaleBy(e.scale, e.scale);
        echo.fill(body, Color::rgb(0.8, 0.88, 1.0));
    }
    ghost.fill(body, Shading::linearGradient(
                         Gradient::colors({kSilk.opacity(0.9), Color::rgb(0.88, 0.92, 0.98).opacity(0.7), Color::rgb(0.78, 0.86, 0.98).opacity(0.28)}),
                         {0, -30}, {0, 20}));
    ghost.fill(Path::ellipse({-8, -19, 18, 22}),
               Shading::radialGradient(
                   Gradient::colors({Color::rgb(0.76, 1.0, 0.9).opacity(0.42), Color::rgb(0.58, 0.94, 0.62).opacity(0.1), Color::clear()}), {1, -10},
                   0, 11));
    ghost.stroke(body, Color::rgb(0.86, 0.96, 1.0).opacity(0.55), 0.6);

    const double open = 1.6 * k + 0.6 * dip;
    const Gradient eyeGradient = Gradient::colors({kShadow.opacity(0.96), Color::rgb(0.1, 0.08, 0.2).opacity(0.55)});
    const double h1 = open + 2.4, h2 = open + 2.15;
    ghost.fill(Path::ellipse({1.4, -17.5 - h1, 3.6, 2 * h1}),
               Shading::radialGradient(eyeGradient, {3.2, -17.5}, 0, open + 2.6));
    ghost.fill(Path::ellipse({7.05, -16.6 - h2, 3.1, 2 * h2}),
               Shading::radialGradient(eyeGradient, {8.6, -16.6}, 0, open + 2.3));
    Path glints;
    glints.addEllipse({3.2 + 1.1 * look.x - 0.75, -17.5 + 1.3 * look.y - 0.75, 1.5, 1.5});
    glints.addEllipse({8.6 + look.x - 0.65, -16.6 + 1.2 * look.y - 0.65, 1.3, 1.3});
    ghost.fill(glints, Color::rgb(0.86, 0.98, 0.96).opacity(0.85));

    const double mh = 1.6 * dip + 5 * k;
    const double mouthW = 1.3 + 0.8 * k, mouthH = 1.7 + mh;
    ghost.fill(Path::ellipse({6.6 - mouthW, 0.35 * mh - 9.6 - mouthH, 2 * mouthW, 2 * mouthH}), kShadow.opacity(0.92));

    Path arms;
    arms.move(9, -6);
    arms.addQuadCurve({21 + 1.2 * std::sin(time) + 5 * k, -10 - 3 * k}, {15, -11});
    arms.move(8, -1);
    arms.addQuadCurve({20 + std::sin(time), 1.5 + 2 * k}, {14, -1});
    ghost.stroke(arms, kSilk.opacity(0.8), scenes::roundCapStroke(2.4));
}

}  // namespace quillmar
