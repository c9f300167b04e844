#include "seasonal/scenes/coin_flight.h"

#include <algorithm>
#include <cmath>

#include "seasonal/scenes/spectacle_hash.h"

namespace quillmar {

CoinFlightState coinFlight(double t, int i, double x0, double y0, double yG) {
    constexpr double kGravity = 2400;
    const double ua = spectacleUnit(59 * i + 17);
    const double ub = spectacleUnit(83 * i + 7);
    const double uc = spectacleUnit(97 * i + 29);

    // About one coin in six flies right; the others fly left.
    const double vx = ua < 0.16 ? 34 + 60 * ua / 0.16 : -60 - 215 * (ua - 0.16) / 0.84;
    const double vy = 800 + 200 * ub;
    const double w = 12 + 7 * uc;
    const double q = (2.6 + 2 * ub) * (uc >= 0.5 ? -1 : 1);
    const double flip0 = 1.3 * i, tilt0 = 0.7 * i;

    // The later root: the coin comes down onto the ground line, also one above the launch point.
    // A ground line above the top of the arc is never reached; the coin then lands at the top
    // (the root taken as 0), and a non-finite input gives the same instead of a NaN time.
    const double discriminant = vy * vy + 2 * kGravity * (yG - y0);
    const double landing = (vy + std::sqrt(std::max(0.0, discriminant))) / kGravity;

    CoinFlightState c;
    if (t < landing) {
        c.x = x0 + vx * t;
        c.y = y0 - vy * t + 0.5 * kGravity * t * t;
        c.flipPhase = flip0 + w * t;
        c.tilt = tilt0 + q * t;
        return c;
    }

    const double dt = t - landing;
    const double xL = x0 + vx * landing;
    const double flipL = flip0 + w * landing;
    const double tiltL = tilt0 + q * landing;
    const double vb = 0.38 * (kGravity * landing - vy);  // 38 % of the impact speed, upwards
    const double bounce = 2 * vb / kGravity;
    if (dt < bounce) {
        c.x = xL + 0.5 * vx * dt;
        c.y = yG - vb * dt + 0.5 * kGravity * dt * dt;
        c.squash = std::exp(-60 * dt);
        c.flatness = 0.45 * dt / bounce;
        c.flipPhase = flipL + 0.45 * w * dt;
        c.tilt = (1 - dt / bounce) * tiltL;
        return c;
    }
    const double d2 = dt - bounce;
    c.x = xL + 0.5 * vx * bounce + 0.06 * vx * (1 - std::exp(-18 * d2));
    c.y = yG;
    c.squash = 0.6 * std::exp(-60 * d2);
    c.flatness = 0.45 + 0.55 * std::min(d2 / 0.05, 1.0);
    c.flipPhase = flipL + 0.45 * w * bounce;
    c.tilt = 0;
    return c;
}

}  // namespace quillmar
