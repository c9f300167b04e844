#pragma once
// The flight of one gold coin thrown out of the pot: a ballistic arc, one bounce on the ground
// line and a short slide while it falls flat.

namespace quillmar {

struct CoinFlightState {
    double x = 0, y = 0;     // centre, points
    double squash = 0;       // 0 in flight; a decaying impact squash after touching the ground
    double flatness = 0;     // 0 in flight, rising to 1 as the coin comes to lie flat
    double flipPhase = 0;    // spin about the coin's vertical axis, radians
    double tilt = 0;         // rotation in the canvas plane, radians
};

// Coin `index` at its own time t (0...1 over its flight), thrown from (originX, originY) onto the
// ground line y = groundY.
CoinFlightState coinFlight(double t, int index, double originX, double originY, double groundY);

}  // namespace quillmar
