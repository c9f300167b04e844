// The Easter meadow dissolve on the About card: a sun glow with rays, a hill and a wavy ground,
// swaying grass, flowers and decorated eggs that pop up, three hopping bunnies and two
// butterflies. Eggs and butterflies shy away from the pointer.

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/easter_art.h"
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

double groundY(double h, double x) { return h - 10 + 1.8 * std::sin(0.021 * x) + 1.2 * std::cos(0.047 * x); }

struct Meadow {
    gfx::GraphicsContext& ctx;
    const EasterArt::Palette& P;
    bool isDark;
    double w, h, p, env;
    PointerWake& wake;
    Point origin;
    double dark(double d, double l) const { return isDark ? d : l; }
};

void drawSky(const Meadow& m) {
    const double cx = 0.64 * m.w;
    const double k = m.dark(0.22, 0.26);
    m.ctx.fill(gfx::Path::ellipse({cx - 70, -92, 140, 140}),
               scenes::radialShading({cx, -22}, 70, {m.P.sun.opacity(k * m.env), m.P.sun.opacity(0.32 * k * m.env),
                                                    m.P.sun.opacity(0)}));
    for (int i = 0; i < 4; ++i) {
        const double th = 0.035 * std::sin(1.3 * i + 2.4 * m.p) + 0.36 * (i - 1.5) + kPi / 2;
        gfx::Path ray;
        ray.addPolygon({{cx, -22},
                        {cx + 150 * std::cos(th - 0.065), -22 + 150 * std::sin(th - 0.065)},
                        {cx + 150 * std::cos(th + 0.065), -22 + 150 * std::sin(th + 0.065)}});
        const double o = (0.75 + 0.25 * std::sin(2.1 * i + 5 * m.p)) * m.dark(0.1, 0.12) * m.env;
        m.ctx.fill(ray, scenes::linearShading({cx, -22}, {cx + 150 * std::cos(th), -22 + 150 * std::sin(th)},
                                              {m.P.sun.opacity(o), m.P.sun.opacity(0)}));
    }
}

void drawGround(const Meadow& m) {
    const double w = m.w, h = m.h;
    gfx::Path hill;
    hill.move({0, h});
    hill.addLine({0, h - 16});
    hill.addCurve({0.5 * w, h - 20}, {0.18 * w, h - 24}, {0.34 * w, h - 13});
    hill.addCurve({w, h - 15}, {0.68 * w, h - 27}, {0.86 * w, h - 12});
    hill.addLine({w, h});
    hill.closeSubpath();
    m.ctx.fill(hill, m.P.mint.opacity(m.dark(0.2, 0.22) * m.env));

    gfx::Path ground;
    ground.move({0, h});
    ground.addLine({0, groundY(h, 0)});
    for (double x0 = 0; w > x0; x0 += 28) {
        const double xe = std::min(x0 + 28, w), xm = (x0 + xe) / 2;
        ground.addQuadCurve({xe, groundY(h, xe)}, {xm, 2 * groundY(h, xm) - (groundY(h, x0) + groundY(h, xe)) / 2});
    }
    ground.addLine({w, h});
    ground.closeSubpath();
    m.ctx.fill(ground, scenes::linearShading({0, h - 12}, {0, h},
                                             {m.P.grass.opacity(m.dark(0.42, 0.4) * m.env), m.P.grass.opacity(0.1 * m.env)}));

    gfx::Path tufts;
    for (int i = 0; i < 10; ++i) {
        const double x = 74 + i * (w - 128) / 9 + (spectacleUnit(i * 31 + 501) - 0.5) * 14;
        const double y = groundY(h, x) + 0.5;
        const double H = 5 + 4 * spectacleUnit(i * 37 + 503);
        const double S = 1.4 * std::sin(0.05 * x + 7 * m.p);
        tufts.move({x - 0.9, y});
        tufts.addQuadCurve({x + S - 2.2, y - 0.72 * H}, {x + 0.3 * (S - 2.2), y - 0.396 * H});
        tufts.move({x, y});
        tufts.addQuadCurve({x + S, y - H}, {x + 0.3 * S, y - 0.55 * H});
        tufts.move({x + 0.9, y});
        tufts.addQuadCurve({x + S + 2.2, y - 0.72 * H}, {x + 0.3 * (S + 2.2), y - 0.396 * H});
    }
    m.ctx.stroke(tufts, m.P.grass.opacity(0.85 * m.env), scenes::roundCapStroke(0.9));
}

void drawFlowers(const Meadow& m) {
    gfx::Path petals;
    for (int k = 0; k < 6; ++k)
        petals.addPath(gfx::Path::ellipse({0.8, -0.96, 3.04, 1.92}),
                       gfx::AffineTransform::rotation(gfx::Angle::radians(k * kPi / 3)));
    const gfx::Path centre = gfx::Path::ellipse({-1.024, -1.024, 2.048, 2.048});
    for (int i = 0; i < 5; ++i) {
        const double a = smootherstep(0.06 + 0.05 * i, 0.22 + 0.05 * i, m.p);
        if (a <= 0.01) continue;
        const double x = 96 + 66 * i + (spectacleUnit(i * 41 + 601) - 0.5) * 22;
        const double y = groundY(m.h, x) - 3;
        const double sc = a * (1 + 0.22 * std::sin(kPi * a));
        gfx::GraphicsContext c = m.ctx;
        c.opacity *= m.env;
        c.translateBy(x, y);
        c.rotateBy(0.08 * std::sin(i + 4 * m.p));
        c.scaleBy(sc, sc);
        c.fill(petals, m.P.cream);
        c.stroke(petals, m.P.blush.opacity(m.dark(0.55, 0.7)), 0.45);
        c.fill(centre, m.P.butter);
    }
}

void drawEggs(const Meadow& m) {
    for (int i = 0; i < 4; ++i) {
        const double rise = smootherstep(0.04 + 0.045 * i, 0.18 + 0.045 * i, m.p);
        const double vis = rise * (1 - smootherstep(0.8, 0.96, m.p));
        if (vis <= 0.01) continue;
        const double se = 4.4 + spectacleUnit(i * 47 + 709);
        const double x = 124 + 76 * i + (spectacleUnit(i * 43 + 701) - 0.5) * 18;
        const double y = groundY(m.h, x) - 0.95 * se;
        const double pop = 0.55 + 0.45 * vis + 0.14 * std::sin(kPi * vis);
        const WakeDisplacement d = m.wake.cursorWakeDisplacement(x, y, m.origin.x, m.origin.y, 30, 0.8);
        const double tilt = 0.08 * std::sin(1.9 * i + 6 * m.p) + 0.6 * d.spin;
        m.ctx.fill(gfx::Path::ellipse({x - 0.9 * se + 0.3 * d.dx, y + 0.7 * se, 1.8 * se, 0.5 * se}),
                   m.P.ink.opacity(0.12 * vis * std::max(0.0, 1 - std::fabs(d.dy) / 20)));
        gfx::GraphicsContext c = m.ctx;
        c.opacity *= vis;
        c.translateBy(x + d.dx, y + d.dy);
        c.rotateBy(tilt);
        c.scaleBy(pop, pop);
        EasterArt::drawEgg(c, i, m.P, m.isDark, se);
    }
}

struct BunnyRow {
    bool tanFur;
    double startX, hopLength;
    int hops;
    double scale, from, to;
};

void drawBunnies(const Meadow& m) {
    constexpr BunnyRow rows[3] = {
        {false, 88, 30, 3, 1.0, 0.05, 0.72},
        {true, 196, 24, 4, 0.76, 0.14, 0.80},
        {false, 272, 30, 3, 0.94, 0.24, 0.88},
    };
    for (const BunnyRow& row : rows) {
        const double t = (m.p - row.from) / (row.to - row.from);
        if (!(t > 0 && t < 1)) continue;
        const double vis = smootherstep(0, 0.1, t) * (1 - smootherstep(0.82, 1, t));
        const double ph = row.hops * t;
        const double k = std::floor(ph), f = ph - k;
        const double sc = row.scale;
        const double lift = 15 * sc * std::pow(std::sin(kPi * f), 0.9);
        const double bx = row.startX + row.hopLength * (k + smootherstep(0, 1, f));
        const double gy = groundY(m.h, bx) - 0.5;
        const double sw = 11 * sc * (1 - lift / 40);
        m.ctx.fill(gfx::Path::ellipse({bx - sw, gy - 0.6, 2 * sw, 1.8 * sc}),
                   m.P.ink.opacity(0.14 * vis * std::max(0.0, 1 - lift / 22)));
        if (k >= 1 && f < 0.22) {
            const double fd = f / 0.22;
            const double lx = row.startX + row.hopLength * k;
            const double od = (1 - fd) * 0.3 * vis;
            const double R = (1 + 3 * fd) * sc;
            m.ctx.fill(scenes::circlePath(lx - 4 - 9 * fd, gy - 1 - 4 * fd, R), m.P.cream.opacity(od));
            m.ctx.fill(scenes::circlePath(lx + 1 - 3 * fd, gy - 0.5 - 2.5 * fd, 0.7 * R), m.P.cream.opacity(0.8 * od));
        }
        const double q = (smootherstep(0.6, 1, f) + 1 - smootherstep(0, 0.2, f)) / 2;
        gfx::GraphicsContext c = m.ctx;
        c.opacity *= vis;
        c.translateBy(bx, gy - lift);
        c.rotateBy(-0.26 * std::cos(kPi * f));
        c.scaleBy(sc * (1 + 0.1 * std::sin(kPi * f)), sc * (0.88 + 0.14 * std::sin(kPi * f)));
        EasterArt::drawBunny(c, row.tanFur ? m.P.tan : m.P.cream, m.P, m.isDark,
                             std::clamp(q - 0.55 * std::sin(kPi * f), -0.6, 0.6));
    }
}

void drawButterflies(const Meadow& m) {
    gfx::Path wing;
    wing.move({0, -0.4});
    wing.addCurve({4.6, -3.6}, {1.4, -3.6}, {3.6, -4.6});
    wing.addCurve({0.4, 0.2}, {5.2, -1.6}, {2.6, -0.2});
    wing.addCurve({3.4, 2.8}, {2.6, 0.8}, {4.2, 1.8});
    wing.addCurve({0, 0.8}, {2.0, 3.4}, {0.6, 2.2});
    wing.closeSubpath();
    for (int j = 0; j < 2; ++j) {
        const double start = j == 0 ? 0.10 : 0.24, length = j == 0 ? 0.64 : 0.62;
        const double t = (m.p - start) / length;
        if (!(t > 0 && t < 1)) continue;
        const double vis = smootherstep(0, 0.12, t) * (1 - smootherstep(0.8, 1, t));
        const double x = (j == 0 ? 120 : 250) + 120 * t + 10 * std::sin(7 * t + j);
        const double y = (j == 0 ? 18 : 26) + 8 * std::sin(4.5 * t + 2 * j);
        const WakeDisplacement d = m.wake.cursorWakeDisplacement(x, y, m.origin.x, m.origin.y, 34, 1.2);
        const Color wingColor = j == 0 ? m.P.lilac : m.P.butter;
        const double fw = 0.18 + 0.82 * std::fabs(std::sin(46 * m.p + 1.7 * j));
        gfx::GraphicsContext c = m.ctx;
        c.opacity *= vis;
        c.translateBy(x + d.dx, y + d.dy);
        c.rotateBy(0.18 * std::sin(6 * t) + 0.3 * d.spin);
        for (double side : {fw, -fw}) {
            gfx::GraphicsContext half = c;
            half.scaleBy(side, 1);
            half.fill(wing, wingColor);
            half.stroke(wing, m.P.ink.opacity(m.dark(0.25, 0.35)), 0.4);
        }
        c.stroke(gfx::Path::line({0, -1.6}, {0, 2.2}), m.P.ink.opacity(0.8), scenes::roundCapStroke(0.9));
    }
}
}  // namespace

void drawEasterMeadowDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                              double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const EasterArt::Palette P = EasterArt::palette(isDark);
    PointerWake& wake = PointerWake::shared();
    const double env = smootherstep(0, 0.12, progress) * (1 - smootherstep(0.78, 0.98, progress));
    if (env <= 0.002) return;
    const Meadow m{context, P, isDark, width, height, progress, env, wake, wake.aboutCardOriginInWindow};
    drawSky(m);
    drawGround(m);
    drawFlowers(m);
    drawEggs(m);
    drawBunnies(m);
    drawButterflies(m);
}

}  // namespace quillmar
