// The summer meadow dissolve on the About card: a warm sky with a sun on the top edge throwing
// lens flares, rolling hills, grass that bends from the pointer, a vine and a leafy stem growing
// in from the right-hand corners, flowers that pop open, butterflies, bees, a dragonfly and
// fireflies.

#include <algorithm>
#include <cmath>
#include <vector>

#include "seasonal/scenes/meadow_pieces.h"
#include "seasonal/scenes/oak_pieces.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "seasonal/scenes/summer_pieces.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Point;
using gfx::Shading;

using scenes::kPi;

const Color kHoney = Color::rgb(1.00, 0.84, 0.36);
const Color kSunCream = Color::rgb(1.00, 0.98, 0.88);
const Color kSkyBlue = Color::rgb(0.56, 0.80, 1.00);
const Color kMintGlow = Color::rgb(0.72, 0.96, 0.80);
const Point kSun{316, -6};

struct Palette {
    Color leafLight, leafMid, leafDeep, leafDark, fireflyCore;

    static Palette of(bool isDark) {
        if (isDark) {
            return {Color::rgb(0.70, 0.92, 0.48), Color::rgb(0.42, 0.76, 0.38), Color::rgb(0.22, 0.60, 0.34),
                    Color::rgb(0.12, 0.42, 0.24), Color::rgb(1.00, 0.90, 0.52)};
        }
        return {Color::rgb(0.62, 0.86, 0.42), Color::rgb(0.36, 0.68, 0.32), Color::rgb(0.18, 0.52, 0.28),
                Color::rgb(0.10, 0.38, 0.20), Color::rgb(0.92, 0.70, 0.16)};
    }
};

struct Frame {
    gfx::GraphicsContext& ctx;
    bool isDark;
    double w, h, p, e;
    Palette colors;
    Point origin;
    PointerWake& wake;

    double pick(double dark, double light) const { return isDark ? dark : light; }
    WakeDisplacement wakeAt(double x, double y, double maxDisplacement, double strength) const {
        return wake.cursorWakeDisplacement(x, y, origin.x, origin.y, maxDisplacement, strength);
    }
};

struct Quad {
    Point p0, p1, p2;
    Point at(double t) const { return (1 - t) * (1 - t) * p0 + 2 * t * (1 - t) * p1 + t * t * p2; }
    Point tangent(double t) const {
        const Point d = 2 * (1 - t) * (p1 - p0) + 2 * t * (p2 - p1);
        return d * (1 / std::max(std::hypot(d.x, d.y), 0.001));
    }
    // The part of the curve for parameters 0...s.
    Path partial(double s) const {
        Path path;
        path.move(p0);
        path.addQuadCurve(at(s), p0 + (p1 - p0) * s);
        return path;
    }
};

double pop(double t) {
    const double c = t - 1;
    return 1 + 1.70158 * c * c + 2.70158 * c * c * c;
}

using scenes::roundCapStroke;

void drawSky(const Frame& f) {
    const double B = f.pick(0.28, 0.13) * f.e;
    f.ctx.fill(Path::rect({0, 0, f.w, f.h}),
               Shading::linearGradient(Gradient::withStops({{kSkyBlue.opacity(B), 0},
                                                            {kSunCream.opacity(0.7 * B), 0.55},
                                                            {kHoney.opacity(0.85 * B), 1}}),
                                       {0, 0}, {0, f.h}));
    const double G = f.pick(0.55, 0.36) * f.e;
    f.ctx.fill(Path::ellipse({238, -84, 156, 156}),
               Shading::radialGradient(Gradient::withStops({{kSunCream.opacity(G), 0},
                                                            {kSunCream.opacity(0.85 * G), 0.1},
                                                            {kSunCream.opacity(0.45 * G), 0.3},
                                                            {kSunCream.opacity(0), 1}}),
                                       kSun, 0, 78));
    f.ctx.fill(Path::ellipse({307, -15, 18, 18}), kSunCream.opacity(f.pick(0.92, 0.8) * f.e));

    const struct {
        double t, r, alpha;
        Color colour;
        bool hexagon;
    } flares[] = {{0.22, 5.0, 0.12, kHoney, false},
                  {0.40, 7.0, 0.09, kMintGlow, true},
                  {0.62, 3.5, 0.12, kSkyBlue, false},
                  {0.84, 9.5, 0.06, kHoney, true}};
    for (int i = 0; i < 4; ++i) {
        const auto& fl = flares[i];
        const double t = fl.t + 0.02 * std::sin(i + 2 * f.p);
        const Point c{316 + t * (0.28 * f.w - 316), -6 + t * (0.95 * f.h + 6)};
        const Path shape = fl.hexagon ? hexagonPath(c.x, c.y, fl.r, 0.3 + 0.4 * f.p)
                                      : Path::ellipse({c.x - fl.r, c.y - fl.r, 2 * fl.r, 2 * fl.r});
        f.ctx.fill(shape, fl.colour.opacity(fl.alpha * f.e * f.pick(1.3, 1.0)));
    }
}

void drawHills(const Frame& f) {
    const double w = f.w, h = f.h;
    struct Curve {
        Point end, c1, c2;
    };
    const struct {
        double y0;
        std::vector<Curve> curves;
        Color top, bottom;
        double alpha;
    } hills[] = {
        {h - 22,
         {{{0.34 * w, h - 28}, {0.1 * w, h - 30}, {0.22 * w, h - 22}},
          {{0.72 * w, h - 20}, {0.5 * w, h - 35}, {0.62 * w, h - 20}},
          {{w, h - 26}, {0.84 * w, h - 20}, {0.94 * w, h - 29}}},
         f.colors.leafLight, f.colors.leafMid, f.pick(0.5, 0.38)},
        {h - 14,
         {{{0.44 * w, h - 18}, {0.14 * w, h - 20}, {0.3 * w, h - 12}},
          {{w, h - 12}, {0.64 * w, h - 25}, {0.86 * w, h - 11}}},
         f.colors.leafMid, f.colors.leafDeep, f.pick(0.7, 0.58)},
        {h - 7,
         {{{0.52 * w, h - 10}, {0.18 * w, h - 11}, {0.36 * w, h - 6}},
          {{w, h - 5}, {0.7 * w, h - 14}, {0.88 * w, h - 4}}},
         f.colors.leafDeep, f.colors.leafDark, f.pick(0.86, 0.78)},
    };
    for (const auto& hill : hills) {
        Path path;
        path.move(0, hill.y0);
        for (const Curve& c : hill.curves) path.addCurve(c.end, c.c1, c.c2);
        path.addLine(w, h);
        path.addLine(0, h);
        path.closeSubpath();
        const double a = hill.alpha * f.e;
        f.ctx.fill(path, Shading::linearGradient(Gradient::colors({hill.top.opacity(a), hill.bottom.opacity(a)}),
                                                 {0, h - 30}, {0, h}));
    }
}

void drawGrass(const Frame& f) {
    Path even, odd, seeds;
    for (int i = 0; i <= 17; ++i) {
        const double u1 = spectacleUnit(83 + 17 * i), u2 = spectacleUnit(89 + 19 * i), u3 = spectacleUnit(91 + 23 * i);
        const double x = 70 + 21 * i + 10 * (u1 - 0.5);
        const double H = 8 + 9 * u2;
        const double g = smootherstep(0.02 + 0.12 * u3, 0.26 + 0.12 * u3, f.p);
        if (g <= 0.01) continue;
        const double lean = 5 * (u1 - 0.5) + 2.2 * std::sin(0.8 * i + 4 * f.p);
        const WakeDisplacement w = f.wakeAt(x + lean, f.h - 4 - H * g, 20, 0.4);
        const Point T{x + lean + 0.75 * w.dx, f.h - 4 - H * g + 0.25 * w.dy};
        Path& blade = i % 2 == 0 ? even : odd;
        blade.move(x, f.h - 2);
        blade.addQuadCurve(T, {x + 0.2 * (T.x - x), f.h - 3 - 0.55 * H * g});
        if (i % 3 != 1) addHighlightLens(seeds, T, {T.x + 0.12 * (T.x - x), T.y - 3 * g}, 0.7);
    }
    f.ctx.stroke(even, f.colors.leafLight.opacity(0.95 * f.e), roundCapStroke(0.8));
    f.ctx.stroke(odd, f.colors.leafDark.opacity(0.95 * f.e), roundCapStroke(0.8));
    f.ctx.fill(seeds, Color::rgb(0.86, 0.78, 0.46).opacity(0.9 * f.e));
}

void drawVineAndStem(const Frame& f) {
    const double s = smootherstep(0.04, 0.34, f.p);
    if (s <= 0.01) return;

    const double sigma = 1.6 * std::sin(2.6 * f.p);
    const Quad vine{{f.w + 6, -4}, {408 + 0.3 * sigma, 2 + 0.4 * sigma}, {340 + 0.6 * sigma, 14 + sigma}};
    f.ctx.stroke(vine.partial(s), Color::rgb(0.40, 0.30, 0.14).opacity(0.9 * f.e), roundCapStroke(1.1));
    Path leaves, veins;
    for (int k = 0; k <= 7; ++k) {
        const double t = 0.1 + 0.12 * k;
        if (!(s + 0.04 > t)) continue;
        const double lg = smootherstep(t - 0.08, t + 0.06, s);
        if (lg <= 0.01) continue;
        const Point Q = vine.at(t);
        const Point T = vine.tangent(t);
        const Point N{-T.y, T.x};
        const double side = k % 2 == 0 ? 1 : -1;
        const double L = (7.5 + 2.5 * spectacleUnit(131 + 7 * k)) * lg;
        const Point D{0.62 * T.x + 0.78 * side * N.x + 0.08 * sigma * std::sin(9 * t + k), 0.62 * T.y + 0.78 * side * N.y};
        const Point E = Q + D * L;
        addHighlightLens(leaves, Q, E, 0.3 * L);
        veins.move(Q);
        veins.addQuadCurve(E, (Q + E) * 0.5 + N * (0.6 * side));
    }
    f.ctx.fill(leaves, Shading::radialGradient(Gradient::withStops({{f.colors.leafLight.opacity(f.e), 0},
                                                                    {f.colors.leafMid.opacity(f.e), 0.45},
                                                                    {f.colors.leafDeep.opacity(f.e), 1}}),
                                               kSun, 10, 150));
    f.ctx.stroke(veins,
                 f.isDark ? Color::rgb(0.88, 1.00, 0.78).opacity(0.55 * f.e) : Color::rgb(0.08, 0.32, 0.16).opacity(0.5 * f.e),
                 roundCapStroke(0.45));

    const double sigma2 = std::sin(3.1 * f.p + 1);
    const Quad stem{{f.w + 2, f.h + 3}, {420, 66}, {366 + 0.6 * sigma2, 54 + 1.2 * sigma2}};
    f.ctx.stroke(stem.partial(s), f.colors.leafDark.opacity(0.9 * f.e), roundCapStroke(0.9));
    Path pairs;
    for (int j = 0; j <= 8; ++j) {
        const double t = 0.08 + 0.105 * j;
        const double lg = smootherstep(t - 0.06, t + 0.08, s);
        if (lg <= 0.01) continue;
        const double L = (7 - 0.55 * j) * lg;
        const Point Q = stem.at(t);
        const Point T = stem.tangent(t);
        addHighlightLens(pairs, Q, Q + Point{0.55 * T.x - 0.82 * T.y, 0.82 * T.x + 0.55 * T.y} * L, 0.2 * L);
        addHighlightLens(pairs, Q, Q + Point{0.55 * T.x + 0.82 * T.y, 0.55 * T.y - 0.82 * T.x} * L, 0.2 * L);
    }
    f.ctx.fill(pairs, Shading::linearGradient(Gradient::colors({f.colors.leafDark.opacity(0.95 * f.e),
                                                                f.colors.leafMid.opacity(0.95 * f.e)}),
                                              stem.p0, stem.p2));
}

void drawFlowers(const Frame& f) {
    enum class Kind { sunflower, poppy, daisy };
    const struct {
        Kind kind;
        double height, x;
    } flowers[] = {{Kind::sunflower, 36, 250}, {Kind::sunflower, 28, 284}, {Kind::poppy, 20, 232}, {Kind::poppy, 16, 304},
                   {Kind::poppy, 22, 356},     {Kind::daisy, 12, 130},     {Kind::daisy, 14, 392}};
    for (int i = 0; i <= 6; ++i) {
        const auto& fl = flowers[i];
        const bool sunflower = fl.kind == Kind::sunflower;
        const double g = smootherstep(0.04 + 0.025 * i, 0.28 + 0.025 * i, f.p);
        if (g <= 0.01) continue;
        const double sway = std::sin(1.1 * i + 3.4 * f.p) * (sunflower ? 1.2 : 2.0);
        const double x = fl.x, H = fl.height;
        const Point T{x + sway, f.h - 2 - H * g};
        Path stem;
        stem.move(x, f.h - 1);
        stem.addQuadCurve(T, {x + 0.3 * sway, f.h - 0.5 * H * g});
        f.ctx.stroke(stem, f.colors.leafDeep.opacity(0.95 * f.e),
                     sunflower ? roundCapStroke(1.3) : gfx::StrokeStyle{.lineWidth = 0.9});
        if (sunflower) {
            const double ly = f.h - 2 - 0.45 * H * g;
            Path leaves;
            addHighlightLens(leaves, {x + 0.5 * sway, ly}, {x - 7 * g, ly - 4}, 2.2 * g);
            addHighlightLens(leaves, {x + 0.5 * sway, ly + 5}, {x + 7 * g, ly + 1.5}, 2 * g);
            f.ctx.fill(leaves, f.colors.leafMid.opacity(0.95 * f.e));
        }
        const double k = pop(std::clamp((f.p - (0.2 + 0.035 * i)) / 0.24, 0.0, 1.0));
        if (!(k > 0.02)) continue;
        gfx::GraphicsContext head = f.ctx;
        head.opacity *= f.e;
        head.translateBy(T.x, T.y);
        switch (fl.kind) {
            case Kind::sunflower:
                // Sunflowers lean toward the sun.
                head.rotateBy(0.28 * (std::atan2(-6 - T.y, 316 - T.x) + kPi / 2));
                drawSunflowerHead(head, f.isDark, k * (i == 0 ? 7.2 : 6.2));
                break;
            case Kind::poppy:
                head.rotateBy(0.5 * i);
                drawPoppyHead(head, f.isDark, k * 3.8);
                break;
            case Kind::daisy:
                head.rotateBy(0.4 * i);
                drawMeadowDaisy(head, f.isDark, k * 4.8);
                break;
        }
    }
}

void drawButterflies(const Frame& f) {
    const struct {
        double cx, cy, ax, ay, frequency;
        Color wingDark, wingLight, edgeDark, edgeLight;
    } butterflies[] = {
        {268, 18, 34, 8, 1.1, Color::rgb(0.98, 0.62, 0.26), Color::rgb(0.92, 0.52, 0.18), Color::rgb(0.48, 0.22, 0.10),
         Color::rgb(0.40, 0.18, 0.08)},
        {372, 12, 24, 6, 1.35, Color::rgb(0.60, 0.78, 1.00), Color::rgb(0.46, 0.66, 0.96), Color::rgb(0.30, 0.44, 0.80),
         Color::rgb(0.22, 0.34, 0.70)},
    };
    const Color bodyColour = f.isDark ? Color::rgb(0.30, 0.24, 0.22) : Color::rgb(0.22, 0.16, 0.14);
    for (int b = 0; b <= 1; ++b) {
        const auto& bf = butterflies[b];
        const double q = (f.p - (0.1 + 0.08 * b)) / 0.74;
        if (!(q > 0 && q < 1)) continue;
        const double fade = smootherstep(0, 0.14, q) * (1 - smootherstep(0.78, 1, q));
        const double psi = 2.4 * b + bf.frequency * 2 * kPi * q;
        const double x = bf.cx + bf.ax * std::sin(psi);
        const double y = bf.cy + bf.ay * std::sin(2 * psi);
        const double heading = std::atan2(2 * bf.ay * std::cos(2 * psi), bf.ax * std::cos(psi)) + kPi / 2;
        const double flap = std::abs(std::cos(1.3 * b + 18 * kPi * q));
        const WakeDisplacement w = f.wakeAt(x, y, 36, 0.8);

        gfx::GraphicsContext fly = f.ctx;
        fly.opacity *= fade * f.e;
        fly.translateBy(x + w.dx, y + w.dy);
        fly.rotateBy(heading + 0.3 * w.spin);
        const Color wing = f.isDark ? bf.wingDark : bf.wingLight;
        const Color edge = f.isDark ? bf.edgeDark : bf.edgeLight;
        gfx::GraphicsContext wingCtx = fly;
        wingCtx.scaleBy(0.22 + 0.78 * flap, 1);
        Path wings = butterflyWingPairPath(1);
        wings.addPath(butterflyWingPairPath(-1));
        wingCtx.fill(wings, Shading::radialGradient(Gradient::withStops({{Color::whiteColor().opacity(0.85), 0},
                                                                         {wing, 0.45},
                                                                         {edge, 1}}),
                                                    {0, -1}, 0, 8.6));
        wingCtx.stroke(wings, edge.opacity(0.75),
                       gfx::StrokeStyle{.lineWidth = 0.5, .lineCap = gfx::LineCap::butt, .lineJoin = gfx::LineJoin::round});
        Path spots;
        spots.addEllipse({5.0, -6.0, 1.6, 1.6});
        spots.addEllipse({-6.6, -6.0, 1.6, 1.6});
        spots.addEllipse({3.1, 2.6, 1.2, 1.2});
        spots.addEllipse({-4.3, 2.6, 1.2, 1.2});
        wingCtx.fill(spots, edge.opacity(0.85));

        fly.fill(Path::ellipse({-0.7, -3.4, 1.4, 7.8}), bodyColour);
        Path antennae;
        antennae.move(0, -3.2);
        antennae.addQuadCurve({2.3, -7.0}, {0.6, -6.0});
        antennae.move(0, -3.2);
        antennae.addQuadCurve({-2.3, -7.0}, {-0.6, -6.0});
        fly.stroke(antennae, bodyColour.opacity(0.9), roundCapStroke(0.45));
    }
}

void drawBees(const Frame& f) {
    for (int k = 0; k <= 1; ++k) {
        const double q = (f.p - (0.22 + 0.1 * k)) / 0.62;
        if (!(q > 0 && q < 1)) continue;
        const double fade = smootherstep(0, 0.12, q) * (1 - smootherstep(0.8, 1, q));
        const Point centre = k == 0 ? Point{250, f.h - 38} : Point{284, f.h - 30};
        const double phi = k * kPi + 1.6 * 2 * kPi * q;
        const double X = centre.x + 13 * std::cos(phi) + 1.2 * std::sin(17 * q + k);
        const double Y = centre.y - 5 + 6 * std::sin(phi) + 0.9 * std::cos(23 * q);
        const WakeDisplacement w = f.wakeAt(X, Y, 30, 0.7);
        gfx::GraphicsContext bee = f.ctx;
        bee.opacity *= fade * f.e;
        bee.translateBy(X + w.dx, Y + w.dy);
        // The bee faces its direction of travel.
        if (std::sin(phi) > 0) bee.scaleBy(-1, 1);
        bee.rotateBy(0.25 * std::sin(phi));
        drawBee(bee, f.isDark, std::abs(std::sin(k + 120 * f.p)));
    }
}

void drawDragonflyLayer(const Frame& f) {
    const double rise = smootherstep(0.32, 0.4, f.p), dart = smootherstep(0.58, 0.66, f.p);
    const double fade = smootherstep(0.1, 0.2, f.p) * (1 - smootherstep(0.84, 0.94, f.p));
    if (fade <= 0.01) return;
    const double X = 140 + 70 * rise + 92 * dart;
    const double Y = 9 + 3 * rise - 1.5 * dart + 0.8 * std::sin(25 * f.p);
    const WakeDisplacement w = f.wakeAt(X, Y, 28, 0.6);
    const double tilt = rise * (1 - rise) + dart * (1 - dart);
    gfx::GraphicsContext fly = f.ctx;
    fly.opacity *= fade * f.e;
    fly.translateBy(X + w.dx, Y + w.dy);
    fly.rotateBy(0.03 * std::sin(25 * f.p) - 0.6 * tilt);
    drawDragonfly(fly, f.isDark, 0.5 + 0.5 * std::sin(90 * f.p));
}

void drawFireflies(const Frame& f) {
    for (int i = 0; i <= 13; ++i) {
        const double uA = spectacleUnit(103 + 7 * i), uB = spectacleUnit(107 + 11 * i), uC = spectacleUnit(109 + 13 * i);
        const double d = f.p * (12 + 20 * uC);
        double X = f.w * (0.12 + 0.82 * uA) + 0.6 * d;
        double Y = f.h * (0.06 + 0.7 * uB) - 0.5 * d + 3 * std::sin(1.3 * i + 4 * f.p);
        const WakeDisplacement w = f.wakeAt(X, Y, 30, 1.2);
        X += w.dx;
        Y += w.dy;
        const double base = 0.5 + 0.5 * std::sin(1.9 * i + 8 * f.p);
        const double a = f.e * (0.35 + 0.65 * base * base);
        f.ctx.fill(Path::ellipse({X - 3, Y - 3, 6, 6}), kHoney.opacity(0.2 * a));
        f.ctx.fill(Path::ellipse({X - 0.9, Y - 0.9, 1.8, 1.8}), f.colors.fireflyCore.opacity(0.9 * a));
    }
}

}  // namespace

void drawSummerStarlightDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height,
                                 double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const double e = smootherstep(0, 0.14, progress) * (1 - smootherstep(0.8, 0.98, progress));
    if (e <= 0.005) return;
    PointerWake& wake = PointerWake::shared();
    const Frame f{context, isDark, width, height, progress, e, Palette::of(isDark), wake.aboutCardOriginInWindow, wake};
    drawSky(f);
    drawHills(f);
    drawGrass(f);
    drawVineAndStem(f);
    drawFlowers(f);
    drawButterflies(f);
    drawBees(f);
    drawDragonflyLayer(f);
    drawFireflies(f);
}

}  // namespace quillmar
