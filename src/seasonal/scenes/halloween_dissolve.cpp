// The Halloween emblem dissolve on the About card: a darkening sky with two lightning strikes, the
// moon behind drifting clouds, a web spun in the corner, two ghosts chasing sweets, bats crossing
// and coloured wisps rising from below.

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/halloween_night_pieces.h"
#include "seasonal/scenes/halloween_paths.h"
#include "seasonal/scenes/halloween_treats.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
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

struct Flight {
    Point p0, p1, p2, p3;
    double start, duration;

    Point at(double t) const {
        t = std::clamp(t, 0.0, 1.0);
        const double u = 1 - t;
        return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
    }
    Point derivative(double t) const {
        t = std::clamp(t, 0.0, 1.0);
        const double u = 1 - t;
        return 3 * u * u * (p1 - p0) + 6 * u * t * (p2 - p1) + 3 * t * t * (p3 - p2);
    }
};

struct Frame {
    gfx::GraphicsContext& ctx;
    bool isDark;
    double w, h, p, envelope;
    Point origin;
    PointerWake& wake;

    WakeDisplacement wakeAt(Point at, double maxDisplacement, double strength) const {
        return wake.cursorWakeDisplacement(at.x, at.y, origin.x, origin.y, maxDisplacement, strength);
    }
};

void drawFlights(const Frame& f) {
    const Flight flights[] = {
        {{70, 44}, {160, 20}, {260, 60}, {f.w - 60, 34}, 0.1, 0.56},
        {{f.w - 70, 54}, {260, 70}, {160, 16}, {72, 38}, 0.3, 0.5},
    };
    for (int k = 0; k < 2; ++k) {
        const Flight& fl = flights[k];
        if (!(f.p >= fl.start && f.p <= fl.start + fl.duration)) continue;
        const double t = (f.p - fl.start) / fl.duration;
        const double a = smootherstep(0, 0.16, t) * (1 - smootherstep(0.74, 1, t)) * f.envelope;
        const double gz = (t - 0.5) / 0.08;
        const double swoop = std::exp(-gz * gz);
        const Point d = fl.derivative(t);
        const double speed = std::max(std::hypot(d.x, d.y), 0.001);
        const double facing = d.x / speed >= 0 ? 1 : -1;
        const Point rest = fl.at(t);
        const WakeDisplacement wg = f.wakeAt(rest, 30, 0.8);
        const Point G = rest + Point{wg.dx, wg.dy} * 0.4;

        Point gaze{0, 0};
        for (int i = 0; i <= 1; ++i) {
            const double u = std::clamp(t + 0.09 - 0.05 * swoop + 0.03 * i, 0.0, 1.0);
            const Point du = fl.derivative(u);
            const Point n = du * (1 / std::max(std::hypot(du.x, du.y), 0.001));
            Point at = fl.at(u) + Point{-n.y, n.x} * (8 * i - 4);
            const WakeDisplacement ws = f.wakeAt(at, 40, 1.2);
            at = at + Point{ws.dx, ws.dy};
            if (i == 0) {
                const Point towards = at - G;
                gaze = towards * (1 / std::max(std::hypot(towards.x, towards.y), 1.0));
                gaze.x *= facing;
            }
            gfx::GraphicsContext sweet = f.ctx;
            sweet.translateBy(at.x, at.y);
            sweet.scaleBy(0.7, 0.7);
            drawHalloweenCandy(sweet, 0, 0, (i + k) % 3, i + 9 * t + ws.spin, a);
        }
        if (!(a > 0.01)) continue;

        f.ctx.fill(Path::circle(G, 17.6),
                   Shading::radialGradient(Gradient::colors({Color::rgb(0.76, 1, 0.9).opacity(0.14 * a),
                                                             Color::rgb(0.5, 0.42, 0.92).opacity(0.06 * a),
                                                             Color::clear()}),
                                           G, 2, 17.6));
        gfx::GraphicsContext ghost = f.ctx;
        ghost.opacity *= a;
        ghost.translateBy(G.x, G.y);
        ghost.rotateBy(0.4 * facing * d.y / speed);
        ghost.scaleBy(0.55 * facing, 0.55);
        // The card's ghosts are never pushed: only the swoop opens their eyes and mouth.
        drawHalloweenGhost(ghost, 2 * k + 26 * f.p, 0, swoop, gaze);
    }
}

void drawBats(const Frame& f) {
    for (int i = 0; i <= 3; ++i) {
        const double start = 0.06 + 0.07 * i;
        if (!(f.p >= start && f.p <= start + 0.6)) continue;
        const double t = (f.p - start) / 0.6;
        const double h = spectacleUnit(7 + 23 * i);
        const double a = smootherstep(0, 0.14, t) * (1 - smootherstep(0.7, 1, t)) * f.envelope;
        const Point rest{(f.w - 80) - (f.w - 140) * t * (0.8 + 0.3 * h), 14 + 30 * h + 7 * std::sin(2.4 * kPi * t + i)};
        const WakeDisplacement w = f.wakeAt(rest, 26, 0.7);
        gfx::GraphicsContext bat = f.ctx;
        bat.opacity *= a;
        bat.translateBy(rest.x + w.dx, rest.y + w.dy);
        bat.rotateBy(-0.18 + 0.1 * std::sin(7 * t) + 0.15 * w.spin);
        bat.fill(halloweenBatPath(7.5 + 3 * h, std::sin(26 * t + i)),
                 (f.isDark ? Color::rgb(0.1, 0.06, 0.16) : Color::rgb(0.14, 0.08, 0.22)).opacity(0.95));
    }
}

void drawWisps(const Frame& f) {
    for (int i = 0; i <= 9; ++i) {
        const double start = 0.3 * spectacleUnit(7 + 29 * i);
        const double duration = 0.5 + 0.26 * spectacleUnit(3 + 41 * i);
        if (!(f.p >= start && f.p <= start + duration)) continue;
        const double t = (f.p - start) / duration;
        const Point rest{(0.16 + 0.7 * spectacleUnit(11 + 53 * i)) * f.w + 8 * std::sin(i + 4.8 * t), (0.9 - 0.7 * t) * f.h};
        const WakeDisplacement w = f.wakeAt(rest, 30, 1.0);
        const Point c = rest + Point{w.dx, w.dy};
        const double k = 0.7 * f.envelope * std::sin(kPi * t);
        const Color colour = i % 2 == 1 ? Color::rgb(0.74, 0.56, 1) : Color::rgb(0.58, 0.94, 0.62);
        f.ctx.fill(Path::circle(c, 6),
                   Shading::radialGradient(Gradient::colors({colour.opacity(0.4 * k), Color::clear()}), c, 0, 6));
        f.ctx.fill(Path::circle(c, 1.1), Color::whiteColor().opacity(0.8 * k));
    }
}

}  // namespace

void drawHalloweenDissolve(gfx::GraphicsContext& context, bool isDark, double width, double height, double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const double p = progress;
    const double e = smootherstep(0, 0.14, p) * (1 - smootherstep(0.72, 0.99, p));
    if (e <= 0.005) return;
    PointerWake& wake = PointerWake::shared();
    const Frame f{context, isDark, width, height, p, e, wake.aboutCardOriginInWindow, wake};
    const double flash = lightningFlashEnvelope(p) * e;

    const Path canvas = Path::rect({0, 0, width, height});
    context.fill(canvas, Color::rgb(0.045, 0.03, 0.105).opacity((isDark ? 0.3 : 0.48) * e));
    context.fill(canvas, Shading::radialGradient(
                             Gradient::colors({Color::clear(), Color::rgb(0.03, 0.018, 0.05).opacity(0.4 * e)}),
                             {width / 2, height / 2}, 0.18 * width, 0.62 * width));
    if (flash > 0.01) context.fill(canvas, Color::rgb(0.82, 0.8, 0.98).opacity(0.14 * flash));

    drawHalloweenMoon(context, isDark, width - 92, 30 - 10 * smootherstep(0, 0.34, p), 11, e, p);
    // The web lives on the card like every other sprite here, so its pointer uses the card's origin.
    drawHalloweenSpiderWeb(context, {.center = {width - 4, 4},
                                     .wallX = width,
                                     .startDegrees = 92,
                                     .endDegrees = 182,
                                     .radius = 52,
                                     .spokes = 6,
                                     .build = smootherstep(0.02, 0.3, p),
                                     .time = p,
                                     .opacity = 0.9 * e,
                                     .flash = flash,
                                     .pointerOrigin = f.origin});
    drawFlights(f);
    drawBats(f);
    drawWisps(f);
}

}  // namespace quillmar
