#include "seasonal/scenes/pointer_wake.h"

#include <algorithm>
#include <cmath>

#include "runtime/world.h"

namespace quillmar {

PointerWake& PointerWake::shared() { return runtime::World::shared<PointerWake>(); }

WakeDisplacement PointerWake::cursorWakeDisplacement(double x, double y, double originX,
                                                     double originY, double maxDisplacement,
                                                     double strength) {
    if (!currentWindowCursor && wakePuffs.empty()) return {};
    const Point p{x + originX, y + originY};
    double dx = 0, dy = 0, spin = 0;

    if (currentWindowCursor) {
        const Point d = p - *currentWindowCursor;
        const double reach = 20 * pointerRadiusScale;
        const double len = std::hypot(d.x, d.y);
        if (len < reach) {
            const double dist = std::max(len, 1.0);
            const double f = 1 - dist / reach;
            const double push = 18 * f * f * strength;
            dx = push * d.x / dist;
            dy = push * d.y / dist;
            spin = 1.25 * f * strength * (d.x >= 0 ? 1 : -1);
            if (dist < 9 * pointerRadiusScale && strength > 0.3 && cursorIsMoving) {
                pendingContactHaptic = true;
            }
        }
    }

    for (const PointerWakePuff& puff : wakePuffs) {
        const double age = std::max(0.0, lastCursorSampleTime - puff.birth);
        if (!(age < 1.05)) continue;
        const Point c = puff.pos + puff.vel * (0.12 * age);
        const Point q = p - c;
        const double reach = (18 + 10 * age) * pointerRadiusScale;
        const double len = std::hypot(q.x, q.y);
        if (!(len < reach)) continue;
        const double dist = std::max(len, 1.0);
        const double fall = 1 - dist / reach;
        const double w = fall * fall * (1 - age / 1.05) * strength;
        dx += w * (13 * q.x / dist + 0.055 * puff.vel.x);
        dy += w * (13 * q.y / dist + 0.055 * puff.vel.y);
        const double speed = std::hypot(puff.vel.x, puff.vel.y);
        const double turn = q.y * puff.vel.x - q.x * puff.vel.y;
        spin += w * 2.2 * std::min(speed / 360, 1.8) * (turn >= 0 ? 1 : -1);
    }

    // Bad input (a non-finite point or strength) leaves the sprite at rest; a cap that is not a
    // number allows no displacement.
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(spin)) return {};
    const double cap = std::isnan(maxDisplacement) ? 0.0 : std::max(0.0, maxDisplacement);
    const double len = std::hypot(dx, dy);
    if (len > cap) {
        const double k = len > 0 ? cap / len : 0;
        dx *= k;
        dy *= k;
    }
    return {dx, dy, std::clamp(spin, -3.8, 3.8)};
}

}  // namespace quillmar
