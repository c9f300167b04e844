#include "seasonal/scenes/drifting_snow.h"

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/christmas_pieces.h"
#include "seasonal/scenes/scene_shapes.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar::scenes {

void drawDriftingSnow(const SnowFrame& f, const DriftLayer& layer, FlakeLook look, const FlakeInk& ink) {
    const double p = f.progress;
    for (int i = 0; i < layer.count; ++i) {
        const long long B = layer.base;
        const double u0 = spectacleUnit(B + 17LL * i);
        const double start = 0.32 * u0;
        if (p < start) continue;
        const double u1 = spectacleUnit(B + 4 + 29LL * i);
        const double life = (p - start) / (0.52 + 0.4 * u1);
        if (life >= 1) continue;
        const double o = smootherstep(0, 0.12, life) * (1 - smootherstep(0.74, 1.0, life)) * layer.factor * f.fade;
        if (o <= 0.004) continue;
        const double u2 = spectacleUnit(B + 8 + 41LL * i);
        const double u3 = spectacleUnit(B + 10 + 53LL * i);
        const double u4 = spectacleUnit(B + 16 + 67LL * i);
        double x = (0.02 + 0.96 * u2) * f.width + layer.wobble * std::sin(6.283 * u0 + (3 + 2.6 * u4) * life);
        double y = (-0.04 + 0.86 * u3) * f.height + layer.fall * life;
        const WakeDisplacement d =
            f.wake.cursorWakeDisplacement(x, y, f.origin.x, f.origin.y, layer.maxPush, layer.strength);
        x += d.dx;
        y += d.dy;
        const double r = ink.r0 + ink.r1 * u4;
        if (look == FlakeLook::soft) {
            f.ctx.fill(circlePath(x, y, r),
                       radialShading({x, y}, r, {ink.line.opacity(o), ink.line.opacity(0.55 * o), ink.line.opacity(0)}));
            continue;
        }
        gfx::GraphicsContext c = f.ctx;
        c.opacity *= o;
        c.translateBy(x, y);
        c.rotateBy(6.283 * u3 + (u2 > 0.5 ? 1 : -1) * (1.4 + 2.2 * u1) * life + d.spin);
        if (look == FlakeLook::spoked) {
            c.stroke(snowflakePath(r, 1), ink.line, roundStroke(0.8));
        } else {
            c.fill(circlePath(0, 0, 1.75 * r), radialShading({0, 0}, 1.75 * r, {ink.halo.opacity(0.3), ink.halo.opacity(0)}));
            c.stroke(snowflakePath(r, 2), ink.line, roundStroke(0.95));
        }
    }
}

void drawSleighFlight(gfx::GraphicsContext& ctx, const XmasCozyPalette& pal, bool isDark, double p,
                      const SleighFlight& fl) {
    if (!(p >= fl.enter && p <= fl.leave)) return;
    const double q = clamp01((p - fl.travelStart) / 0.32);
    const double s = 0.7 * q + 0.3 * smootherstep(0, 1, q);
    const double A = smootherstep(fl.in0, fl.in1, p) * (1 - smootherstep(fl.out0, fl.out1, p)) * fl.opacityFactor;
    if (A <= 0.004) return;
    auto at = [&](double t) {
        const double m = 1 - t;
        return fl.a * (m * m) + fl.control * (2 * m * t) + fl.b * (t * t);
    };
    auto unitTangent = [&](double t) {
        const gfx::Point d = (fl.control - fl.a) * (2 * (1 - t)) + (fl.b - fl.control) * (2 * t);
        const double len = std::max(std::hypot(d.x, d.y), 0.001);
        return gfx::Point{d.x / len, d.y / len};
    };
    for (int j = 0; j < 14; ++j) {
        const double t = s - 0.024 * (j + 1);
        if (t <= 0) break;
        const double uA = spectacleUnit(801 + 47 * j), uB = spectacleUnit(809 + 59 * j);
        const gfx::Point N = unitTangent(t);
        const double k = 7 * (uA - 0.5) + 0.35 * j;
        const gfx::Point c = at(t) + gfx::Point{-N.y, N.x} * k + gfx::Point{0, 0.05 * j * j};
        const double tw = 0.55 + 0.45 * std::sin(6.283 * uA + (44 + 20 * uB) * p);
        const double r = fl.scale * (1 + 1.5 * uB) * (1 - 0.4 * j / 14);
        const double o = std::pow(1 - j / 14.0, 1.4) * A * tw * (isDark ? 0.9 : 0.8);
        ctx.fill(sparklePath(c.x, c.y, r), pal.stardust.opacity(o));
    }
    const double tEnd = std::min(s, 1.0);
    const gfx::Point N = unitTangent(tEnd);
    const gfx::Point at1 = at(tEnd);
    gfx::GraphicsContext c = ctx;
    c.opacity *= A;
    c.translateBy(at1.x, at1.y);
    c.rotateBy(std::atan2(N.y, N.x));
    c.scaleBy(fl.scale, fl.scale);
    drawReindeerSleigh(c, pal.silhouette, pal, std::sin(34 * p));
}

}  // namespace quillmar::scenes
