// A cozy winter evening over the whole settings window: a warm room glow, twinkling stars, snow
// falling in three depths among soft bokeh lights, a reindeer sleigh crossing the sky, a candle
// and a mug of cocoa in the bottom corners, two pine garlands, a snow drift along the bottom and
// frost ferns growing in from the corners.

#include <algorithm>
#include <cmath>
#include <vector>

#include "seasonal/scenes/christmas_pieces.h"
#include "seasonal/scenes/christmas_window_pieces.h"
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

// The first crest point of the drift, as a fraction of the drift height.
constexpr double kDriftFirstCrest = 0.6559929808;

struct Evening {
    gfx::GraphicsContext& ctx;
    const XmasCozyPalette& P;
    bool isDark;
    double w, h, p;
    double ss(double a, double b) const { return smootherstep(a, b, p); }
    double dark(double d, double l) const { return isDark ? d : l; }
};

void drawRoomGlow(const Evening& e, double env) {
    const double F = 0.5 + 0.3 * std::sin(61 * e.p) + 0.2 * std::sin(97 * e.p + 1.3);
    const gfx::Path all = gfx::Path::rect({0, 0, e.w, e.h});
    const double g = (0.9 + 0.1 * F) * env * e.dark(0.26, 0.15);
    e.ctx.fill(scenes::glowCircle({52, e.h - 40}, 340), scenes::radialShading({52, e.h - 40}, 340, {e.P.amber.opacity(g), e.P.amber.opacity(0.38 * g), e.P.amber.opacity(0)}));
    const double q = env * e.dark(0.22, 0.12);
    e.ctx.fill(scenes::glowCircle({e.w - 60, e.h - 30}, 320), scenes::radialShading({e.w - 60, e.h - 30}, 320, {e.P.rose.opacity(q), e.P.rose.opacity(0.36 * q), e.P.rose.opacity(0)}));
    if (e.isDark)
        e.ctx.fill(all, scenes::linearShading({0, 0}, {0, 0.42 * e.h}, {Color(0.08, 0.09, 0.24).opacity(0.26 * env), Color::clear()}));
}

void drawStars(const Evening& e, double se) {
    for (int i = 0; i < 6; ++i) {
        const double uA = spectacleUnit(601 + 31 * i), uB = spectacleUnit(607 + 37 * i);
        const double t = std::sin(6.283 * uB + (30 + 22 * uA) * e.p);
        const double tw = 0.5 + 0.5 * t;
        e.ctx.fill(scenes::sparklePath((0.56 + 0.4 * uA) * e.w, 14 + 62 * uB, 1.6 + 1.2 * uB),
                   e.P.stardust.opacity((0.45 + 0.55 * tw * tw) * se * e.dark(0.75, 0.40)));
    }
}

void drawBokeh(const Evening& e, double be, PointerWake& wake) {
    for (int i = 0; i < 8; ++i) {
        const double u0 = spectacleUnit(901 + 17 * i), u1 = spectacleUnit(907 + 23 * i), u2 = spectacleUnit(911 + 29 * i);
        double x = (0.42 + 0.54 * u0) * e.w + 9 * std::sin(6.283 * u0 + 3 * e.p);
        double y = (0.32 + 0.56 * u1) * e.h - (28 + 44 * u2) * e.p;
        const WakeDisplacement d = wake.cursorWakeDisplacement(x, y, 0, 0, 30, 0.5);
        x += d.dx;
        y += d.dy;
        const double r = 7 + 11 * u2;
        const double pulse = 0.72 + 0.28 * std::sin(6.283 * u1 + (6 + 5 * u0) * e.p);
        const double o = (0.10 + 0.08 * u1) * be * pulse * e.dark(1.0, 0.72);
        const Color colors[4] = {e.P.amber, e.P.candleCream, e.P.rose, e.isDark ? Color(0.60, 0.90, 0.72) : e.P.pineLight};
        const Color& c = colors[i % 4];
        e.ctx.fill(scenes::circlePath(x, y, r),
                   scenes::radialShading({x, y}, r, std::vector<GradientStop>{{c.opacity(o), 0}, {c.opacity(0.55 * o), 0.62}, {c.opacity(0), 1}}));
    }
}

void drawHearthPieces(const Evening& e, double pc) {
    gfx::GraphicsContext c = e.ctx;
    c.opacity *= pc;
    drawPillarCandle(c, e.P, e.isDark, 54, e.h - 34 + 8 * (1 - e.ss(0.03, 0.18)), 30, 13, e.p, e.ss(0.13, 0.19));
    drawCocoaMug(c, e.P, e.isDark, e.w - 58, e.h - 47 + 8 * (1 - e.ss(0.07, 0.21)), e.p, e.ss(0.20, 0.34));
    PineGarland left;
    left.seed = 11;
    left.ornamentCount = 8;
    left.from = {-8, e.h - 36};
    left.to = {0.5 * e.w, e.h - 42};
    left.sag = 13;
    left.scale = 8;
    left.ornamentScale = 0.82;
    left.reveal = e.ss(0.05, 0.25);
    left.dropProgress = e.ss(0.22, 0.40);
    left.time = e.p;
    drawPineGarland(c, e.P, e.isDark, left);
    PineGarland right = left;
    right.seed = 23;
    right.from = {0.5 * e.w, e.h - 42};
    right.to = {e.w + 8, e.h - 36};
    right.reveal = e.ss(0.12, 0.32);
    right.dropProgress = e.ss(0.30, 0.48);
    drawPineGarland(c, e.P, e.isDark, right);
}

void drawDrift(const Evening& e, double D, double fo) {
    const double step = (e.w + 8) / 7;
    Point pts[8];
    for (int i = 0; i < 8; ++i) {
        const double frac = i == 0 ? kDriftFirstCrest : 0.35 + 0.65 * spectacleUnit(722 + 13 * (i - 1));
        pts[i] = {-4 + i * step, e.h - frac * D};
    }
    auto addCrest = [&](gfx::Path& path) {
        for (int i = 1; i < 8; ++i)
            path.addCurve(pts[i], {pts[i - 1].x + step / 2, pts[i - 1].y}, {pts[i].x - step / 2, pts[i].y});
    };
    gfx::Path fill;
    fill.move({-4, e.h + 2});
    fill.addLine(pts[0]);
    addCrest(fill);
    fill.addLine({e.w + 4, e.h + 2});
    fill.closeSubpath();
    if (e.isDark)
        e.ctx.fill(fill, scenes::linearShading({0, e.h - D}, {0, e.h}, {e.P.snow.opacity(0.88 * fo), e.P.snowShade.opacity(0.55 * fo)}));
    else
        e.ctx.fill(fill, scenes::linearShading({0, e.h - D}, {0, e.h - D + std::max(0.9 * D, 4.0)},
                                               {e.P.snowShade.opacity(0.42 * fo), e.P.snow.opacity(0.95 * fo)}));
    gfx::Path crest;
    crest.move(pts[0]);
    addCrest(crest);
    if (e.isDark)
        e.ctx.stroke(crest, Color::whiteColor().opacity(0.55 * fo), scenes::roundCapStroke(0.8));
    else
        e.ctx.stroke(crest, e.P.snowShade.opacity(0.62 * fo), scenes::roundCapStroke(0.9));
}

void drawFrost(const Evening& e, double m, double fr) {
    const Color frost = e.isDark ? Color(0.82, 0.91, 1.0) : Color(0.52, 0.68, 0.90);
    struct Corner {
        int first, second;
        double size;
        bool right, bottom;
    };
    constexpr Corner corners[4] = {{1, 4, 72, false, false}, {8, 11, 80, true, false}, {15, 18, 100, false, true}, {22, 25, 100, true, true}};
    for (const Corner& c : corners) {
        // T1 keeps the fern along the horizontal edge, T2 swaps x and y to run it down the vertical one.
        const double sx = c.right ? -1 : 1, sy = c.bottom ? -1 : 1;
        const double tx = c.right ? e.w : 0, ty = c.bottom ? e.h : 0;
        const gfx::AffineTransform t1{sx, 0, 0, sy, tx, ty};
        const gfx::AffineTransform t2{0, sy, sx, 0, tx, ty};
        gfx::Path ferns;
        ferns.addPath(frostFernPath(c.first, c.size, m), t1);
        ferns.addPath(frostFernPath(c.second, 0.86 * c.size, m), t2);
        e.ctx.stroke(ferns, frost.opacity(0.16 * fr), scenes::roundStroke(2.6));
        e.ctx.stroke(ferns, frost.opacity(0.62 * fr), scenes::roundStroke(0.7));
    }
}
}  // namespace

void drawChristmasWindowSpectacle(gfx::GraphicsContext& context, bool isDark, double width, double height,
                                  double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const XmasCozyPalette P = XmasCozyPalette::make(isDark);
    const Evening e{context, P, isDark, width, height, progress};
    PointerWake& wake = PointerWake::shared();

    const double env = e.ss(0, 0.18) * (1 - e.ss(0.80, 0.99));
    const double pc = e.ss(0.03, 0.16) * (1 - e.ss(0.84, 0.96));
    const double c = e.ss(0.88, 1.0);
    const double fo = 1 - e.ss(0.92, 1.0);
    const scenes::SnowFrame snow{context, width, height, progress, 1 - c, wake, {0, 0}};
    const Color flakeLine = isDark ? Color(0.94, 0.97, 1.0) : Color(0.46, 0.60, 0.80);
    const Color flakeHalo = isDark ? Color::whiteColor() : Color(0.62, 0.76, 0.96);

    if (env > 0.004) drawRoomGlow(e, env);
    const double se = e.ss(0.08, 0.22) * (1 - e.ss(0.76, 0.92));
    if (se > 0.004) drawStars(e, se);
    scenes::drawDriftingSnow(snow, {14, 2004, e.dark(0.42, 0.36), 6, 120, 42, 0.6}, scenes::FlakeLook::soft,
                             {isDark ? Color::whiteColor() : Color(0.55, 0.66, 0.84), {}, 1.2, 0.8});
    const double be = e.ss(0.15, 0.36) * (1 - e.ss(0.80, 0.95));
    if (be > 0.004) drawBokeh(e, be, wake);
    scenes::drawSleighFlight(context, P, isDark, progress,
                             {0.29, 0.63, 0.30, 0.30, 0.36, 0.56, 0.62, e.dark(0.88, 0.78),
                              {0.5 * width, 76}, {0.78 * width, 30}, {width + 44, 34}, 0.72});
    scenes::drawDriftingSnow(snow, {14, 3004, e.dark(0.62, 0.60), 10, 170, 42, 0.9}, scenes::FlakeLook::spoked,
                             {flakeLine, {}, 2.6, 1.2});
    if (pc > 0.004) drawHearthPieces(e, pc);
    const double D = 9 * e.ss(0.25, 0.92);
    if (D > 0.3 && fo > 0.01) drawDrift(e, D, fo);
    scenes::drawDriftingSnow(snow, {12, 4004, e.dark(0.86, 0.82), 14, 230, 42, 1.2}, scenes::FlakeLook::crystal,
                             {flakeLine, flakeHalo, 4.6, 2.4});
    const double m = e.ss(0.60, 0.92);
    if (m > 0.01 && fo * m > 0.01) drawFrost(e, m, fo * m);
}

}  // namespace quillmar
