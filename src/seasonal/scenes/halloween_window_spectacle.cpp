// The Halloween night over the whole settings window: a violet wash with lightning, stars, the
// moon, two bare trees growing in, fog, a corner web with its spider, jack-o'-lanterns circled by
// moths, bats leaving the moon, ghosts chasing sweets, falling leaves and rising embers.

#include <algorithm>
#include <array>
#include <cmath>

#include "seasonal/scenes/bare_tree.h"
#include "seasonal/scenes/halloween_night_pieces.h"
#include "seasonal/scenes/halloween_paths.h"
#include "seasonal/scenes/halloween_treats.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/soft_radial_wash.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Point;
using gfx::Shading;

using scenes::kPi;

const Color kNightWash = Color::rgb(0.045, 0.03, 0.105);
const Color kVignetteMiddle = Color::rgb(0.2, 0.07, 0.28);
const Color kVignetteEdge = Color::rgb(0.03, 0.018, 0.05);
const Color kLightning = Color::rgb(0.82, 0.8, 0.98);
const Color kStar = Color::rgb(0.84, 0.88, 0.96);
const Color kLimb = Color::rgb(0.035, 0.022, 0.06);
const Color kFog = Color::rgb(0.56, 0.54, 0.7);
const Color kThread = Color::rgb(0.93, 0.91, 0.84);
const Color kLanternGlow = Color::rgb(1.0, 0.52, 0.12);
const Color kMothWing = Color::rgb(0.95, 0.88, 0.72);
const Color kMothBody = Color::rgb(0.5, 0.42, 0.32);
const Color kBatBody = Color::rgb(0.05, 0.03, 0.08);
const Color kAuraCentre = Color::rgb(0.76, 1.0, 0.9);
const Color kAuraRim = Color::rgb(0.5, 0.42, 0.92);
const std::array<Color, 3> kLeafColors{Color::rgb(0.46, 0.18, 0.06), Color::rgb(0.3, 0.13, 0.05),
                                       Color::rgb(0.58, 0.34, 0.08)};
const Color kMidrib = Color::rgb(0.7, 0.4, 0.14);
const std::array<Color, 3> kEmberColors{Color::rgb(0.58, 0.94, 0.62), Color::rgb(0.74, 0.56, 1.0),
                                        Color::rgb(0.76, 1.0, 0.9)};

constexpr std::array<double, 5> kLimbWidths{6.5, 3.8, 2.2, 1.25, 0.7};

struct Lantern {
    double x, y, size, delay, phase;
};

struct Flight {
    Point p0, p1, p2, p3;
    double start, duration, scale;

    Point at(double s) const {
        const double u = 1 - s;
        return u * u * u * p0 + 3 * u * u * s * p1 + 3 * u * s * s * p2 + s * s * s * p3;
    }
    Point derivative(double s) const {
        const double u = 1 - s;
        return 3 * u * u * (p1 - p0) + 6 * u * s * (p2 - p1) + 3 * s * s * (p3 - p2);
    }
};

double length(Point v) { return std::hypot(v.x, v.y); }

using scenes::roundStroke;

struct Frame {
    gfx::GraphicsContext& ctx;
    bool isDark;
    double w, h, p;
    double envelope, flash;
    PointerWake& wake;

    WakeDisplacement wakeAt(Point at, double maxDisplacement, double strength) const {
        return wake.cursorWakeDisplacement(at.x, at.y, 0, 0, maxDisplacement, strength);
    }
};

void drawSky(const Frame& f) {
    const double E = f.envelope, F = f.flash;
    const Path canvas = Path::rect({0, 0, f.w, f.h});
    const double k = f.isDark ? 0.5 : 0.78;
    f.ctx.fill(canvas, kNightWash.opacity(std::max(0.0, k * E * (1 + 0.035 * std::sin(2.6 * kPi * f.p + 0.4)) - 0.12 * F)));
    const double a = f.isDark ? 0.26 : 0.36, b = f.isDark ? 0.5 : 0.64;
    fillSoftRadialWash(f.ctx, f.w, f.h,
                       Shading::radialGradient(Gradient::colors({Color::clear(), kVignetteMiddle.opacity(a * E),
                                                                 kVignetteEdge.opacity(b * E)}),
                                               {0.5 * f.w, 0.4 * f.h}, 80, 0.8 * std::max(f.w, f.h)));
    if (F > 0.01) f.ctx.fill(canvas, kLightning.opacity(0.17 * F));

    const double D = (1 - 0.85 * F) * E;
    for (int i = 0; i <= 15; ++i) {
        const double ux = spectacleUnit(i * 37 + 11), uy = spectacleUnit(i * 53 + 5), ur = spectacleUnit(i * 71 + 3);
        const double r = 0.55 + 0.75 * ur;
        f.ctx.fill(Path::circle({ux * f.w, 0.46 * uy * f.h}, r),
                   kStar.opacity(D * (0.16 + 0.48 * (0.5 + 0.5 * std::sin(6.28 * ur + (14 + 22 * ur) * f.p)))));
    }
}

void drawTrees(const Frame& f) {
    const struct {
        double growth, opacity;
        BareTreeSpec spec;
    } trees[] = {
        {smootherstep(0.05, 0.42, f.p), 0.92 * f.envelope, {4, 3, f.w + 12, f.h + 24, -2.02, 150, 0, 4 * f.p}},
        {smootherstep(0.12, 0.5, f.p), 0.88 * f.envelope, {3, 11, -14, 0.6 * f.h, -0.42, 78, 0, 4 * f.p}},
    };
    for (auto tree : trees) {
        if (!(tree.opacity > 0.01 && tree.growth > 0.002)) continue;
        tree.spec.growth = tree.growth;
        const std::vector<Path> limbs = buildBareTree(tree.spec);
        for (std::size_t d = 0; d < limbs.size() && d < kLimbWidths.size(); ++d) {
            f.ctx.stroke(limbs[d], kLimb.opacity(tree.opacity), roundStroke(kLimbWidths[d]));
            if (f.flash > 0.02) {
                gfx::GraphicsContext rim = f.ctx;
                rim.translateBy(-0.7, -0.7);
                rim.stroke(limbs[d], kLightning.opacity(0.38 * f.flash), roundStroke(std::max(0.42 * kLimbWidths[d], 0.5)));
            }
        }
    }
}

void drawFogBank(const Frame& f, int bank) {
    const double md = f.isDark ? 0.85 : 1.0;
    const double A = (1 + 0.9 * f.flash) * md * f.envelope;
    const double lift = 120 * (1 - smootherstep(0, 0.32, f.p));
    const struct {
        double factor, top, shift, period, phase1, phase2, amplitude;
    } banks[] = {
        {0.14 * A, f.h - 190 + lift + 4 * std::sin(2.1 * f.p), 26, 230, 0.6, 1.02, 14},
        {0.2 * A, f.h - 118 + 0.8 * lift, -44, 170, 2.4, 4.08, 11},
        {0.26 * A, f.h - 58 + 0.6 * lift, 68, 120, 4.1, 6.97, 9},
    };
    const auto& b = banks[bank];
    if (!(b.factor > 0.004 && f.h + 10 > b.top)) return;
    auto edge = [&](double x) {
        const double wv = (x + b.shift * f.p) / b.period;
        return b.top + b.amplitude * (0.7 * std::sin(2 * kPi * wv + b.phase1) + 0.3 * std::sin(4.3 * kPi * wv + b.phase2));
    };
    Path fog;
    fog.move(-40, f.h + 20);
    fog.addLine(-40, edge(-40));
    auto xAt = [&](int k) { return -40 + k * (f.w + 80) / 10; };
    for (int k = 1; k <= 10; ++k) {
        const double x0 = xAt(k - 1), x1 = xAt(k), mx = (x0 + x1) / 2;
        fog.addQuadCurve({x1, edge(x1)}, {mx, 2 * edge(mx) - (edge(x0) + edge(x1)) / 2});
    }
    fog.addLine(f.w + 40, f.h + 20);
    fog.closeSubpath();
    f.ctx.fill(fog, Shading::linearGradient(
                        Gradient::colors({kFog.opacity(0), kFog.opacity(0.75 * b.factor), kFog.opacity(b.factor)}),
                        {0, b.top - b.amplitude}, {0, f.h}));
}

void drawSpider(const Frame& f) {
    const double p = f.p;
    const double a = smootherstep(0.1, 0.17, p) * (1 - smootherstep(0.86, 0.95, p));
    if (!(a > 0.01)) return;
    const double descent = smootherstep(0.12, 0.46, p), climb = smootherstep(0.72, 0.9, p);
    const double bob = 2.5 * (1 - climb) * std::sin(9 * p), swing = 3 * std::sin(5.3 * p);
    const Point rest{f.w - 20 + swing, 44 + 214 * descent - 200 * climb + bob};
    const WakeDisplacement w = f.wakeAt(rest, 60, 1.2);
    const double push = std::min(std::hypot(w.dx, w.dy) / 24, 1.0);
    // Pushed, the spider pulls itself up its thread, never above y = 42.
    const double x = rest.x + 0.35 * w.dx;
    const double y = std::max(rest.y - 64 * push + 0.15 * w.dy, 42.0);
    Path thread;
    thread.move(f.w - 34, 34);
    thread.addQuadCurve({x, y - 5}, {(f.w - 34 + x) / 2 + 0.6 * swing + 0.3 * w.dx, (y + 34) / 2});
    f.ctx.stroke(thread, kThread.opacity(0.5 * a * f.envelope), 0.7);
    drawHalloweenSpider(f.ctx, f.isDark, x, y, 1 - 0.6 * push, (18 + 40 * push + 30 * climb) * p, a * f.envelope);
}

void drawLanterns(const Frame& f, const std::array<Lantern, 3>& lanterns, std::array<double, 3>& flicker) {
    for (std::size_t n = 0; n < lanterns.size(); ++n) {
        const Lantern& l = lanterns[n];
        const double p = f.p;
        flicker[n] = 0.82 + 0.1 * std::sin(160 * p + l.phase) + 0.06 * std::sin(2.3 * l.phase + 371 * p) +
                     0.04 * std::sin(l.phase + 59 * p);
        const double appear = smootherstep(l.delay, l.delay + 0.16, p);
        if (!(appear > 0.01)) continue;
        const Point glowCentre{l.x, l.y + 0.95 * l.size};
        f.ctx.fill(Path::ellipse({glowCentre.x - 3.2 * l.size, glowCentre.y - 0.9 * l.size, 6.4 * l.size, 1.8 * l.size}),
                   Shading::radialGradient(
                       Gradient::colors({kLanternGlow.opacity(0.2 * f.envelope * appear * flicker[n]), Color::clear()}),
                       glowCentre, 0, 3.2 * l.size));
        gfx::GraphicsContext lantern = f.ctx;
        lantern.opacity *= f.envelope * appear;
        lantern.translateBy(l.x, l.y + 6 * (1 - appear));
        lantern.scaleBy(0.92 + 0.08 * appear, 0.92 + 0.08 * appear);
        drawJackOLantern(lantern, f.isDark, l.size, flicker[n]);
    }
}

void drawMoths(const Frame& f, const std::array<Lantern, 3>& lanterns, const std::array<double, 3>& flicker) {
    constexpr int kLanternOf[8] = {0, 0, 0, 2, 2, 2, 1, 1};
    for (int i = 0; i <= 7; ++i) {
        const int n = kLanternOf[i];
        const Lantern& l = lanterns[n];
        const double alpha = smootherstep(l.delay + 0.12, l.delay + 0.28, f.p) * (1 - smootherstep(0.76, 0.9, f.p));
        if (!(alpha > 0.01)) continue;
        const double uA = spectacleUnit(i * 17 + 9), uB = spectacleUnit(i * 29 + 4);
        const double wA = 34 + 20 * uA, angleA = 6.28 * uA + wA * f.p;
        const double wB = 27 + 16 * uB, angleB = 6.28 * uB + wB * f.p;
        const double rA = (1.8 + 1.4 * uA) * l.size, rB = (1.3 + uB) * l.size;
        const Point rest{l.x + rA * std::cos(angleA), l.y - 0.6 * l.size + rB * std::sin(angleB)};
        const WakeDisplacement w = f.wakeAt(rest, 40, 1.0);
        const double o = alpha * f.envelope * 0.8 * flicker[n];
        if (!(o > 0.01)) continue;
        const double flap = 0.25 + 0.75 * std::abs(std::sin(i + (420 + 120 * uA) * f.p));
        const double heading = std::atan2(rB * wB * std::cos(angleB), -rA * wA * std::sin(angleA)) + kPi / 2;

        gfx::GraphicsContext moth = f.ctx;
        moth.opacity *= o;
        moth.translateBy(rest.x + w.dx, rest.y + w.dy);
        moth.rotateBy(heading);
        Path wings;
        for (const double side : {1.0, -1.0}) {
            wings.move(0, 0);
            wings.addQuadCurve({side * -2.9 * flap, -1.7}, {side * -1.5 * flap, -2.7});
            wings.addQuadCurve({side * -2.2 * flap, 1.1}, {side * -3.4 * flap, 0.2});
            wings.addQuadCurve({0, 0}, {side * -flap, 1.0});
            wings.closeSubpath();
        }
        moth.fill(wings, kMothWing);
        moth.fill(Path::ellipse({-0.5, -1.4, 1.0, 2.8}), kMothBody);
    }
}

void drawBats(const Frame& f, Point moon) {
    for (int i = 0; i <= 5; ++i) {
        const double start = 0.305 + 0.028 * i;
        if (!(f.p >= start && f.p <= start + 0.46)) continue;
        const double t = (f.p - start) / 0.46;
        const double uA = spectacleUnit(i * 23 + 7), uB = spectacleUnit(i * 41 + 2);
        const double o = smootherstep(0, 0.12, t) * (1 - smootherstep(0.75, 1, t)) * f.envelope;
        const Point from = moon + Point{50 * (uA - 0.5), 40 * (uB - 0.5)};
        const Point to{60 * uB - 50, 230 * uA + 70};
        const double ease = 1 - std::pow(1 - t, 1.8);
        const Point at = from + (to - from) * ease + Point{0, 16 * std::sin(3 * kPi * t + i)};
        const WakeDisplacement w = f.wakeAt(at, 44, 0.7);
        const double flap = std::sin(1.3 * i + (24 + 8 * uA) * kPi * t);

        gfx::GraphicsContext bat = f.ctx;
        bat.opacity *= o;
        bat.translateBy(at.x + w.dx, at.y + w.dy);
        bat.rotateBy(0.12 * std::sin(6 * t + i) - 0.32 + 0.15 * w.spin);
        const Path body = halloweenBatPath(10 + 5 * uA, flap);
        if (f.flash > 0.02) {
            gfx::GraphicsContext rim = bat;
            rim.translateBy(-0.6, -0.6);
            rim.stroke(body, kLightning.opacity(0.6 * f.flash), 0.8);
        }
        bat.fill(body, kBatBody.opacity(0.96));
        Path eyes;
        eyes.addEllipse({-1.4, -2.8, 1, 1});
        eyes.addEllipse({0.4, -2.8, 1, 1});
        bat.fill(eyes, kLanternGlow.opacity(0.9));
    }
}

void drawGhosts(const Frame& f) {
    const Flight flights[] = {
        {{-60, 330}, {120, 240}, {300, 400}, {f.w + 70, 262}, 0.08, 0.72, 1.25},
        {{f.w + 60, 470}, {330, 392}, {150, 548}, {-70, 436}, 0.24, 0.68, 1.1},
        {{30, f.h + 50}, {110, 330}, {270, 560}, {f.w + 60, 300}, 0.42, 0.54, 0.95},
    };
    for (int e = 0; e < 3; ++e) {
        const Flight& fl = flights[e];
        if (!(f.p >= fl.start && f.p <= fl.start + fl.duration)) continue;
        const double t = (f.p - fl.start) / fl.duration;
        const double o = smootherstep(0, 0.14, t) * (1 - smootherstep(0.78, 1, t)) * f.envelope * (f.isDark ? 0.95 : 0.9);
        const double tau = t - 0.05 * std::sin(2 * kPi * t);
        const double dipZ = (t - 0.5) / 0.07;
        const double dip = std::exp(-dipZ * dipZ);
        const double s = std::clamp(tau, 0.0, 1.0);
        const Point B = fl.at(s);
        const Point T = fl.derivative(s);
        const double speed = std::max(length(T), 0.001);
        const double facing = T.x >= 0 ? 1 : -1;

        // A light touch nudges the ghost away; a strong one draws it towards the pointer.
        const WakeDisplacement w = f.wakeAt(B, 60, 1.0);
        const double m = std::hypot(w.dx, w.dy);
        const double k = smootherstep(2.5, 20, m);
        Point G = B + Point{w.dx, w.dy} * (0.25 * (1 - k));
        if (m > 0.5) G = G - Point{w.dx, w.dy} * (16 * k / m);

        Point look{0, 0};
        for (int j = 0; j <= 2; ++j) {
            const double lead = tau + 0.075 + 0.03 * std::sin(3 * kPi * t) - 0.045 * dip;
            const double q = std::clamp(lead + 0.02 * j, 0.0, 1.0);
            const Point Tq = fl.derivative(q);
            const Point v = Tq * (1 / std::max(length(Tq), 0.001));
            const double off = 11 * (j - 1) + 6 * std::sin(12 * t + e + 2 * j);
            Point Q = fl.at(q) + Point{-v.y, v.x} * off;
            const WakeDisplacement ws = f.wakeAt(Q, 76, 1.25);
            Q = Q + Point{ws.dx, ws.dy};
            drawHalloweenCandy(f.ctx, Q.x, Q.y, (j + e) % 3, 2.1 * j + 10 * t + 1.5 * ws.spin, o);
            if (j == 0) {
                const Point d = Q - G;
                look = d * (1 / std::max(length(d), 1.0));
                look.x *= facing;
            }
        }
        if (!(o > 0.01)) continue;

        const double tilt = 0.08 * w.spin + 0.45 * facing * T.y / speed;
        const double sc = fl.scale * (1 + 0.18 * k);
        f.ctx.fill(Path::circle(G, 32 * sc),
                   Shading::radialGradient(Gradient::colors({kAuraCentre.opacity((0.14 + 0.26 * k) * o),
                                                             kAuraRim.opacity(0.06 * o), Color::clear()}),
                                           G, 2, 32 * sc));
        gfx::GraphicsContext ghost = f.ctx;
        ghost.opacity *= o;
        ghost.translateBy(G.x, G.y);
        ghost.rotateBy(tilt);
        ghost.scaleBy(facing * sc, sc);
        drawHalloweenGhost(ghost, 1.9 * e + 26 * f.p, k, dip, look);
    }
}

void drawLeaves(const Frame& f) {
    for (int i = 0; i <= 13; ++i) {
        const double start = 0.34 * spectacleUnit(i * 23 + 17);
        if (!(f.p > start)) continue;
        const double duration = 0.5 + 0.3 * spectacleUnit(i * 31 + 9);
        const double l = (f.p - start) / duration;
        if (!(l < 1)) continue;
        const double ux = spectacleUnit(i * 41 + 5), uy = spectacleUnit(i * 53 + 11), us = spectacleUnit(i * 67 + 3);
        const double o = smootherstep(0, 0.12, l) * (1 - smootherstep(0.72, 1, l)) * 0.88 * f.envelope;
        const Point at{0.6 * ux * f.w - 20 + 18 * std::sin(6 * l + i) + (190 + 180 * us) * l,
                       0.45 * uy * f.h + 120 + 10 * std::cos(4 * l + i) + (150 + 160 * uy) * l};
        const WakeDisplacement w = f.wakeAt(at, 64, 1.1);
        const double flip = 0.25 + 0.75 * std::abs(std::cos(7 * l + i + 0.5 * w.spin));

        gfx::GraphicsContext leaf = f.ctx;
        leaf.opacity *= o;
        leaf.translateBy(at.x + w.dx, at.y + w.dy);
        leaf.rotateBy(1.3 * i + 5 * l + w.spin);
        leaf.scaleBy(flip, 1);
        const double z = 4.5 + 3 * us;
        leaf.fill(halloweenLeafPath(z, i % 2 == 1), kLeafColors[i % 3]);
        leaf.stroke(Path::line({0, -0.8 * z}, {0, 0.8 * z}), kMidrib.opacity(0.35), 0.5);
    }
}

void drawEmbers(const Frame& f) {
    for (int i = 0; i <= 9; ++i) {
        const double start = 0.1 + 0.36 * spectacleUnit(i * 29 + 7);
        const double duration = 0.4 + 0.26 * spectacleUnit(i * 41 + 3);
        if (!(f.p >= start && f.p <= start + duration)) continue;
        const double l = (f.p - start) / duration;
        const double ux = spectacleUnit(i * 53 + 11);
        const Point at{(0.06 + 0.88 * ux) * f.w + 14 * std::sin(i + 5 * l), f.h - 40 - (120 + 110 * ux) * l};
        const WakeDisplacement w = f.wakeAt(at, 52, 1.0);
        const Point c = at + Point{w.dx, w.dy};
        const double o = std::sin(kPi * l) * f.envelope * 0.75;
        const double z = 3 + 2 * ux;
        const Color& colour = kEmberColors[i % 3];
        f.ctx.fill(Path::circle(c, 2.4 * z),
                   Shading::radialGradient(Gradient::colors({colour.opacity(0.4 * o), Color::clear()}), c, 0, 2.4 * z));
        f.ctx.fill(Path::circle(c, 0.45 * z), Color::whiteColor().opacity(0.8 * o));
    }
}

}  // namespace

void drawHalloweenWindowSpectacle(gfx::GraphicsContext& context, bool isDark, double width, double height,
                                  double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const double p = progress;
    const double E = smootherstep(0, 0.11, p) * (1 - smootherstep(0.8, 0.985, p));
    if (E <= 0.004) return;
    const Frame f{context, isDark, width, height, p, E, lightningFlashEnvelope(p) * E, PointerWake::shared()};

    drawSky(f);
    const Point moon{width - 86, 236 - 26 * smootherstep(0.02, 0.38, p)};
    drawHalloweenMoon(context, isDark, moon.x, moon.y, 27, E, p);
    drawTrees(f);
    drawFogBank(f, 0);
    drawFogBank(f, 1);
    drawHalloweenSpiderWeb(context, {.center = {width - 34, 34},
                                     .wallX = width,
                                     .startDegrees = 88,
                                     .endDegrees = 184,
                                     .radius = 172,
                                     .spokes = 11,
                                     .build = smootherstep(0.03, 0.34, p),
                                     .time = p,
                                     .opacity = E,
                                     .flash = f.flash,
                                     .pointerOrigin = {0, 0}});
    drawSpider(f);
    const std::array<Lantern, 3> lanterns{{{60, height - 56, 16, 0.08, 0.0},
                                           {128, height - 40, 10.5, 0.14, 2.1},
                                           {width - 168, height - 46, 12.5, 0.11, 4.3}}};
    std::array<double, 3> flicker{};
    drawLanterns(f, lanterns, flicker);
    drawFogBank(f, 2);
    drawMoths(f, lanterns, flicker);
    drawBats(f, moon);
    drawGhosts(f);
    drawLeaves(f);
    drawEmbers(f);
}

}  // namespace quillmar
