// The spring meadow dissolve on the About card: a soft sky wash and sun glow, grass blades that
// grow from the bottom edge with twinkling buds, four daisies that open with an overshoot, a
// dandelion clock shedding seeds on the wind and three butterflies on figure-of-eight loops.
// Grass tips, seeds and butterflies shy away from the pointer.

#include <cmath>

#include "seasonal/scenes/meadow_pieces.h"
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

struct SpringInks {
    Color paleMint{0.64, 0.90, 0.74};
    Color leafGreen, deepGreen;
    Color sunYellow{1.00, 0.92, 0.56};
    Color skyBlue{0.70, 0.86, 1.00};
    Color blossomPink{1.00, 0.78, 0.82};
    Color seedBrown, filament, bud, insectBody;
    Color sunCore{1.00, 0.98, 0.86};

    explicit SpringInks(bool isDark)
        : leafGreen(isDark ? Color(0.44, 0.78, 0.54) : Color(0.34, 0.66, 0.42)),
          deepGreen(isDark ? Color(0.22, 0.56, 0.36) : Color(0.16, 0.44, 0.26)),
          seedBrown(isDark ? Color(0.88, 0.84, 0.72) : Color(0.56, 0.50, 0.38)),
          filament(isDark ? Color::whiteColor() : Color(0.46, 0.52, 0.56)),
          bud(isDark ? Color::whiteColor() : Color(0.50, 0.78, 0.96)),
          insectBody(isDark ? Color(0.30, 0.24, 0.22) : Color(0.22, 0.16, 0.14)) {}
};

struct Spring {
    gfx::GraphicsContext& ctx;
    const SpringInks& ink;
    bool isDark;
    double w, h, p, env;
    PointerWake& wake;
    Point origin;
};

double releaseTime(int j) { return 0.24 + 0.34 * spectacleUnit(j * 23 + 9); }
double spokeAngle(int j) { return j * 2 * kPi / 14 - kPi / 2; }

void drawBlades(const Spring& s) {
    for (int i = 0; i < 24; ++i) {
        const double ua = spectacleUnit(i * 7 + 41), ub = spectacleUnit(i * 11 + 43), uc = spectacleUnit(i * 13 + 47);
        const double g = smootherstep(0.02 + 0.14 * uc, 0.24 + 0.14 * uc, s.p);
        if (g <= 0.01) continue;
        const double x = 70 + 14 * i + 8 * (ua - 0.5);
        const double H = (8 + 13 * ub) * g;
        double tx = x + 7 * (ua - 0.5) + 2.4 * std::sin(0.7 * i + 4.6 * s.p);
        double ty = s.h + 1 - H;
        const WakeDisplacement d = s.wake.cursorWakeDisplacement(tx, ty, s.origin.x, s.origin.y, 22, 0.4);
        tx += 0.8 * d.dx;
        ty += 0.3 * d.dy;
        gfx::Path blade;
        blade.move({x - 1.2, s.h + 1});
        blade.addQuadCurve({tx, ty}, {x - 0.5 + 0.25 * (tx - x), s.h - 0.5 * H});
        blade.addQuadCurve({x + 1.2, s.h + 1}, {x + 0.7 + 0.25 * (tx - x), s.h - 0.5 * H});
        blade.closeSubpath();
        const Color& G = i % 2 == 0 ? s.ink.deepGreen : s.ink.leafGreen;
        s.ctx.fill(blade, scenes::linearShading({x, s.h}, {tx, ty}, {G.opacity(0.92 * s.env), s.ink.paleMint.opacity(0.8 * s.env)}));
        if (i % 4 == 3) {
            const double bs = 0.46 + 0.3 * spectacleUnit((i / 4) * 17 + 3);
            const double bt = (s.p - bs) / 0.1;
            if (bt > 0 && bt < 1) {
                const double sn = std::sin(kPi * bt);
                s.ctx.fill(scenes::sparklePath(tx, ty, 2.8 * sn), s.ink.bud.opacity(0.9 * s.env * sn));
            }
        }
    }
}

void drawDaisies(const Spring& s) {
    constexpr double roots[4] = {112, 262, 318, 384};
    for (int i = 0; i < 4; ++i) {
        const double X = roots[i];
        const double Hs = 13 + 6 * spectacleUnit(i * 7 + 5);
        const double g = smootherstep(0.1 + 0.05 * i, 0.3 + 0.05 * i, s.p);
        if (g <= 0.01) continue;
        const double L = Hs * g;
        const double sway = 2 * std::sin(1.3 * i + 3.8 * s.p);
        const Point tip{X + sway, s.h + 1 - L};
        gfx::Path stem;
        stem.move({X, s.h + 1});
        stem.addQuadCurve(tip, {X + 0.3 * sway, s.h - 0.5 * L});
        s.ctx.stroke(stem, s.ink.deepGreen.opacity(0.9 * s.env), scenes::roundCapStroke(0.9));
        const double c = scenes::clamp01((s.p - (0.22 + 0.06 * i)) / 0.22);
        const double q = c - 1;
        const double bloom = 1 + 2.70158 * q * q * q + 1.70158 * q * q;
        if (bloom <= 0.02) continue;
        gfx::GraphicsContext head = s.ctx;
        head.opacity *= s.env;
        head.translateBy(tip.x, tip.y);
        head.rotateBy(0.4 * i);
        drawMeadowDaisy(head, s.isDark, 5.4 * bloom);
    }
}

void drawDandelion(const Spring& s) {
    const double a = smootherstep(0.06, 0.24, s.p);
    if (a > 0.01) {
        gfx::Path stem;
        stem.move({236, s.h + 1});
        stem.addQuadCurve({240, 49}, {234, 60});
        s.ctx.stroke(stem, s.ink.deepGreen.opacity(0.9 * a * s.env), scenes::roundCapStroke(0.9));
        gfx::Path spokes;
        for (int j = 0; j < 14; ++j) {
            if (j < 12 && !(releaseTime(j) > s.p)) continue;
            const double phi = spokeAngle(j);
            const Point P{240 + 6.4 * std::cos(phi), 49 + 6.4 * std::sin(phi)};
            spokes.move({240 + 1.6 * std::cos(phi), 49 + 1.6 * std::sin(phi)});
            spokes.addLine(P);
            for (double barb : {phi - 0.55, phi + 0.55}) {
                spokes.move(P);
                spokes.addLine({P.x + 1.7 * std::cos(barb), P.y + 1.7 * std::sin(barb)});
            }
        }
        s.ctx.stroke(spokes, s.ink.filament.opacity(0.75 * a * s.env), scenes::roundCapStroke(0.5));
        s.ctx.fill(gfx::Path::ellipse({238.2, 47.2, 3.6, 3.6}), s.ink.seedBrown.opacity(a * s.env));
    }
    for (int j = 0; j < 12; ++j) {
        const double ft = (s.p - releaseTime(j)) / 0.52;
        if (!(ft > 0 && ft < 1)) continue;
        const double ur = spectacleUnit(j * 37 + 17), ud = spectacleUnit(j * 41 + 19);
        const double phi = spokeAngle(j);
        const double x = 240 + 6.4 * std::cos(phi) + (50 + 120 * ur) * ft + 4 * std::sin(5 * ft + j);
        const double y = 49 + 6.4 * std::sin(phi) - 22 * (0.6 + 0.8 * ud) * std::sin(kPi * ft) + 14 * ft * ft +
                         3.5 * std::sin(1.3 * j + 3.7 * ft);
        const WakeDisplacement d = s.wake.cursorWakeDisplacement(x, y, s.origin.x, s.origin.y, 40, 1.3);
        double a0 = phi + kPi / 2;
        if (a0 > kPi) a0 -= 2 * kPi;
        const double turn = (1 - smootherstep(0, 0.3, ft)) * a0 + 0.35 * std::sin(3 * ft + j) + d.spin;
        const double alpha = smootherstep(0, 0.08, ft) * s.env * (1 - smootherstep(0.72, 1, ft));
        gfx::GraphicsContext c = s.ctx;
        c.opacity *= alpha;
        c.translateBy(x + d.dx, y + d.dy);
        c.rotateBy(turn);
        drawDandelionSeed(c, s.ink.filament, s.ink.seedBrown);
    }
}

struct ButterflyRow {
    double cx, cy, ax, ay, freq;
    Color aDark, aLight, bDark, bLight;
};

void drawButterflies(const Spring& s) {
    const ButterflyRow rows[3] = {
        {300, 28, 46, 13, 1.15, {0.62, 0.78, 0.98}, {0.50, 0.68, 0.95}, {0.36, 0.50, 0.82}, {0.26, 0.40, 0.74}},
        {262, 13, 32, 8, 1.4, {0.98, 0.92, 0.50}, {0.95, 0.86, 0.36}, {0.76, 0.60, 0.20}, {0.66, 0.50, 0.14}},
        {356, 46, 30, 9, 0.95, {1.00, 0.88, 0.80}, {0.99, 0.80, 0.68}, {0.96, 0.56, 0.30}, {0.88, 0.44, 0.20}},
    };
    gfx::Path wings = butterflyWingPairPath(1);
    wings.addPath(butterflyWingPairPath(-1));
    gfx::Path spots;
    for (const gfx::Rect& r : {gfx::Rect{5.0, -6.0, 1.6, 1.6}, gfx::Rect{-6.6, -6.0, 1.6, 1.6},
                               gfx::Rect{3.1, 2.6, 1.2, 1.2}, gfx::Rect{-4.3, 2.6, 1.2, 1.2}})
        spots.addEllipse(r);
    gfx::Path antennae;
    antennae.move({0, -3.2});
    antennae.addQuadCurve({2.3, -7.0}, {0.6, -6.0});
    antennae.move({0, -3.2});
    antennae.addQuadCurve({-2.3, -7.0}, {-0.6, -6.0});
    for (int i = 0; i < 3; ++i) {
        const ButterflyRow& row = rows[i];
        const double t = (s.p - (0.08 + 0.07 * i)) / 0.74;
        if (!(t > 0 && t < 1)) continue;
        const double alpha = smootherstep(0, 0.14, t) * (1 - smootherstep(0.78, 1, t)) * s.env;
        const double theta = 2 * kPi * t;
        const double ph = 2.1 * i + row.freq * theta;
        const double x = row.cx + row.ax * std::sin(ph);
        const double y = row.cy + row.ay * std::sin(2 * ph);
        const double heading = std::atan2(2 * row.ay * std::cos(2 * ph), row.ax * std::cos(ph)) + kPi / 2;
        const double fw = 0.22 + 0.78 * std::fabs(std::cos(1.3 * i + 10 * theta));
        const WakeDisplacement d = s.wake.cursorWakeDisplacement(x, y, s.origin.x, s.origin.y, 36, 0.8);
        const Color& A = s.isDark ? row.aDark : row.aLight;
        const Color& B = s.isDark ? row.bDark : row.bLight;
        gfx::GraphicsContext c = s.ctx;
        c.opacity *= alpha;
        c.translateBy(x + d.dx, y + d.dy);
        c.rotateBy(heading + 0.3 * d.spin);
        gfx::GraphicsContext flap = c;
        flap.scaleBy(fw, 1);
        flap.fill(wings, scenes::radialShading({0, -1}, 8.6,
                                               std::vector<gfx::GradientStop>{{Color::whiteColor().opacity(0.85), 0},
                                                                              {A, 0.45},
                                                                              {B, 1}}));
        flap.stroke(wings, B.opacity(0.75), gfx::StrokeStyle{0.5, gfx::LineCap::butt, gfx::LineJoin::round, 10, {}, 0});
        flap.fill(spots, B.opacity(0.85));
        c.fill(gfx::Path::ellipse({-0.7, -3.4, 1.4, 7.8}), s.ink.insectBody);
        c.stroke(antennae, s.ink.insectBody.opacity(0.9), scenes::roundCapStroke(0.45));
    }
}
}  // namespace

void drawSpringMeadowDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                              double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const double env = smootherstep(0, 0.14, progress) * (1 - smootherstep(0.8, 0.98, progress));
    if (env <= 0.005) return;
    PointerWake& wake = PointerWake::shared();
    const SpringInks ink(isDark);
    const Spring s{context, ink, isDark, width, height, progress, env, wake, wake.aboutCardOriginInWindow};
    const double k1 = (isDark ? 0.18 : 0.13) * env, k2 = (isDark ? 0.26 : 0.18) * env;
    context.fill(gfx::Path::rect({0, 0, width, height}),
                 scenes::linearShading({0, 0}, {0, height},
                                       std::vector<gfx::GradientStop>{{ink.skyBlue.opacity(k1), 0},
                                                                      {ink.blossomPink.opacity(0.8 * k1), 0.55},
                                                                      {ink.sunYellow.opacity(0.9 * k1), 1}}));
    context.fill(gfx::Path::ellipse({210, -102, 172, 172}),
                 scenes::radialShading({296, -16}, 86,
                                       std::vector<gfx::GradientStop>{{ink.sunCore.opacity(k2), 0},
                                                                      {ink.sunYellow.opacity(0.45 * k2), 0.4},
                                                                      {ink.sunYellow.opacity(0), 1}}));
    drawBlades(s);
    drawDaisies(s);
    drawDandelion(s);
    drawButterflies(s);
}

}  // namespace quillmar
