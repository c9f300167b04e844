#include "seasonal/scenes/firework_burst.h"

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

namespace {
using gfx::Color;
using gfx::Point;
using scenes::kPi;

// The constants of the timed streak kinds (0, 1, 2).
struct StreakKind {
    double jitter;
    double reachLo, reachSpan;
    double timeLo, timeSpan;
    double exponent;
    double drop;
    double width;  // added to the base width
    double fade0, fade1;
    double twinkle, twinkleRate;
    int accentEvery;
};

constexpr StreakKind kStreakKinds[3] = {
    {0.22, 0.76, 0.32, 0.7, 0.3, 2.6, 28, 1.5, 0.45, 0.55, 0.26, 42, 5},
    {0.16, 0.8, 0.28, 0.78, 0.22, 3.0, 36, 1.0, 0.42, 0.58, 0.22, 36, 3},
    {0.24, 0.72, 0.36, 0.84, 0.16, 2.1, 64, 1.15, 0.5, 0.5, 0.2, 30, 4},
};

double streakAlpha(double tau, double f0, double f1, double twinkle, double rate, double u1) {
    const double f = scenes::clamp01((tau - f0) / f1);
    return (1 - smootherQuintic(f)) * ((1 - twinkle) + twinkle * std::sin(u1 * 6.28 + tau * rate));
}

void strokeSegment(gfx::GraphicsContext& ctx, Point a, Point b, const Color& c, double width) {
    ctx.stroke(gfx::Path::line(a, b), c, scenes::roundCapStroke(width));
}

// Tail to midpoint faint, midpoint to head full: the two-tone streak of several kinds.
void strokeTwoTone(gfx::GraphicsContext& ctx, Point tail, Point head, const Color& c, double alpha,
                   double width) {
    const Point mid = (tail + head) * 0.5;
    strokeSegment(ctx, tail, mid, c.opacity(alpha * 0.35), width);
    strokeSegment(ctx, mid, head, c.opacity(alpha), width);
}

void dot(gfx::GraphicsContext& ctx, Point at, double diameter, const Color& c) {
    ctx.fill(scenes::circlePath(at.x, at.y, diameter / 2), c);
}

struct BurstFrame {
    gfx::GraphicsContext& ctx;
    const FireworkColors& colors;
    PointerWake& wake;
    int seed;
    double cx, cy, t, k, ox, oy, w0;

    Point push(Point p) const {
        const WakeDisplacement d = wake.cursorWakeDisplacement(p.x, p.y, ox, oy, 40, 0.8);
        return {d.dx, d.dy};
    }
};

void drawTimedStreaks(const BurstFrame& f, const FireworkBurst& burst, int kind) {
    const StreakKind& K = kStreakKinds[kind];
    const double R = burst.size * f.k;
    const int n = burst.count;
    for (int i = 0; i < n; ++i) {
        const double u1 = spectacleUnit(131LL * f.seed + 17LL * i);
        const double u2 = spectacleUnit(97LL * f.seed + 29LL * i);
        const double u3 = spectacleUnit(61LL * f.seed + 41LL * i);
        const double tau = f.t / (K.timeLo + K.timeSpan * u3);
        if (tau >= 1) continue;
        const double tauc = std::max(0.0, tau);
        const double theta = 2 * kPi * i / n + (u1 - 0.5) * K.jitter;
        const double rho = (K.reachLo + K.reachSpan * u2) * R;
        auto P = [&](double x) {
            const double e = 1 - std::pow(1 - x, K.exponent);
            return Point{f.cx + std::cos(theta) * rho * e, f.cy + std::sin(theta) * rho * e + x * x * K.drop * f.k};
        };
        const Point head = P(tauc);
        const Point d = f.push(head);
        const double alpha = streakAlpha(tau, K.fade0, K.fade1, K.twinkle, K.twinkleRate, u1);
        const Color& c = i % K.accentEvery == 0 ? f.colors.accent : f.colors.primary;
        const double width = f.w0 + K.width;
        if (kind == 0) {
            strokeSegment(f.ctx, P(std::max(0.0, tau - 0.07)) + d, head + d, c.opacity(alpha), width);
            if (i % 2 == 0 && tau < 0.7) dot(f.ctx, head + d, 2.6, f.colors.glint.opacity(alpha * 0.9 * (1 - tau / 0.7)));
        } else if (kind == 1) {
            strokeTwoTone(f.ctx, P(std::max(0.0, tau - 0.2)) + d, head + d, c, alpha, width);
            if (i % 2 == 0) {
                const double s = std::sin(u2 * 6.28 + f.t * 62);
                if (s > 0.1) dot(f.ctx, P(std::max(0.0, tau - 0.12 * u3)) + d, 2.3, f.colors.glint.opacity(s * alpha));
            }
        } else {
            // The comet bends under the pointer: full push at the head, half at the middle, none at the tail.
            const Point A = P(std::max(0.0, tau - 0.4));
            const Point Q = P(std::max(0.0, tau - 0.2)) + d * 0.5;
            const Point H = head + d;
            gfx::Path comet;
            comet.move(A);
            comet.addQuadCurve(H, Q * 2 - (A + H) * 0.5);
            f.ctx.stroke(comet, scenes::linearShading(A, H, {c.opacity(0), c.opacity(alpha * 0.92)}),
                         scenes::roundCapStroke(width));
            if (i % 2 == 0 && tau < 0.82) dot(f.ctx, H, 2.5, f.colors.glint.opacity(alpha * (1 - tau / 0.82)));
        }
    }
}

void drawSplittingShell(const BurstFrame& f, const FireworkBurst& burst) {
    const double R = burst.size * f.k;
    const int n = burst.count;
    const double t = f.t;
    for (int i = 0; i < n; ++i) {
        const double u1 = spectacleUnit(131LL * f.seed + 17LL * i);
        const double u2 = spectacleUnit(97LL * f.seed + 29LL * i);
        const double theta = 2 * kPi * i / n + (u1 - 0.5) * 0.3;
        const double rho = (0.8 + 0.3 * u2) * R;
        auto P = [&](double x) {
            const double e = 1 - std::pow(1 - x, 2.4);
            return Point{f.cx + std::cos(theta) * rho * e, f.cy + std::sin(theta) * rho * e + x * x * 22 * f.k};
        };
        if (t < 0.56) {
            double h = std::max(0.0, t), hTail = std::max(0.0, t - 0.09);
            if (t > 0.47) {
                h = 0.47;
                hTail = 0.38;
            }
            const Point head = P(h);
            const Point d = f.push(head);
            const double alpha = (1 - smootherstep(0.45, 0.56, t)) * (0.8 + 0.2 * std::sin(u1 * 6.28 + t * 50));
            strokeTwoTone(f.ctx, P(hTail) + d, head + d, f.colors.primary, alpha, f.w0 + 1.7);
            dot(f.ctx, head + d, 3.2, f.colors.glint.opacity(alpha));
        }
        if (t < 0.45) continue;
        const double E = 1 - std::pow(0.55, 2.4);
        Point B{f.cx + std::cos(theta) * rho * E, f.cy + std::sin(theta) * rho * E + 0.2025 * 22 * f.k};
        B = B + f.push(B);
        const double q = (t - 0.45) / 0.55;
        if (q < 0.18) {
            const double r = 5 + 6 * q / 0.18;
            const double a = (1 - q / 0.18) * 0.7;
            f.ctx.fill(scenes::circlePath(B.x, B.y, r),
                       scenes::radialShading(B, r, {f.colors.glint.opacity(a), f.colors.glint.opacity(a * 0.32),
                                                    f.colors.glint.opacity(0)}));
        }
        for (int j = 0; j < 4; ++j) {
            const double uj = spectacleUnit(211LL * f.seed + 37LL * i + 53LL * j);
            const double speed = (15 + 11 * uj) * f.k;
            const double angle = theta + kPi / 4 + j * kPi / 2 + (uj - 0.5) * 0.3;
            auto S = [&](double x) {
                const double e = 1 - std::pow(1 - x, 2.2);
                return Point{B.x + std::cos(angle) * speed * e, B.y + std::sin(angle) * speed * e + x * x * 15 * f.k};
            };
            const double alpha = (1 - smootherQuintic(scenes::clamp01((q - 0.45) / 0.55))) *
                                 (0.78 + 0.22 * std::sin(uj * 6.28 + q * 44));
            strokeTwoTone(f.ctx, S(std::max(0.0, q - 0.14)), S(std::max(0.0, q)),
                          j % 2 == 0 ? f.colors.primary : f.colors.accent, alpha, f.w0 + 1.1);
        }
    }
}

void drawRing(const BurstFrame& f, const FireworkBurst& burst) {
    const double R = burst.size * f.k;
    const double t = f.t;
    const gfx::AffineTransform turn = gfx::AffineTransform::rotation(gfx::Angle::radians(0.4));
    if (t < 0.8) {
        const double e = 1 - std::pow(1 - t, 2.8);
        const double a = R * e, b = 0.62 * R * e;
        gfx::Path ring;
        ring.addPath(gfx::Path::ellipse({-a, -b, 2 * a, 2 * b}),
                     gfx::AffineTransform::translation(f.cx, f.cy + t * t * 24 * f.k).concatenating(turn));
        f.ctx.stroke(ring, f.colors.primary.opacity((1 - smootherstep(0.3, 0.8, t)) * 0.16), 4);
    }
    const int n = burst.count;
    for (int i = 0; i < n; ++i) {
        const double u1 = spectacleUnit(131LL * f.seed + 17LL * i);
        const double u2 = spectacleUnit(97LL * f.seed + 29LL * i);
        const double tau = t / (0.82 + 0.18 * u2);
        if (tau >= 1) continue;
        const double theta = 2 * kPi * i / n + (u1 - 0.5) * 0.03;
        const double F = 0.97 + 0.06 * u2;
        auto P = [&](double z) {
            const double e = 1 - std::pow(1 - z, 2.8);
            const Point local = turn.applyToVector({std::cos(theta) * F * R * e, 0.62 * std::sin(theta) * F * R * e});
            return Point{f.cx + local.x, f.cy + z * z * 24 * f.k + local.y};
        };
        const Point head = P(std::max(0.0, tau));
        const Point d = f.push(head);
        const double alpha = streakAlpha(tau, 0.45, 0.55, 0.24, 40, u1);
        const Color& c = i % 4 == 0 ? f.colors.accent : f.colors.primary;
        strokeSegment(f.ctx, P(std::max(0.0, tau - 0.06)) + d, head + d, c.opacity(alpha), f.w0 + 1.4);
        if (i % 2 == 0) dot(f.ctx, head + d, 2.4, f.colors.glint.opacity(alpha * 0.9));
    }
}
}  // namespace

void drawFireworkBurst(gfx::GraphicsContext& context, const FireworkBurst& burst, const FireworkColors& colors,
                       int seed, double cx, double cy, double t, double scale, double originX, double originY,
                       bool isDark) {
    if (!std::isfinite(t) || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(scale)) return;
    const BurstFrame f{context, colors, PointerWake::shared(), seed, cx, cy, t, scale, originX, originY,
                       isDark ? 0.0 : 0.25};
    switch (burst.kind) {
        case 0:
        case 1:
        case 2: drawTimedStreaks(f, burst, burst.kind); break;
        case 3: drawSplittingShell(f, burst); break;
        default: drawRing(f, burst); break;
    }
}

}  // namespace quillmar
