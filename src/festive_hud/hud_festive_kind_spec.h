#pragma once
// One row of a festival's particle-kind table: how particles of that kind are launched and how
// they move. Each festival's art supplies a static, non-empty table with positive weights.

#include "festive_hud/festive_closed_range.h"

namespace quillmar {

struct HUDFestiveKindSpec {
    double gravityScale = 0;  // downward acceleration in units of 380 pt/s² (negative rises)
    double dragPerSec = 0;    // exponential damping rate of both velocity components, 1/s
    double flutterAmp = 0;    // sideways sway amplitude, pt/s
    double flutterHz = 0;     // sway frequency (phase advances 2π × 0.62 × flutterHz per second)
    double restitution = 0;   // share of downward speed returned at a floor bounce
    double spinRate = 0;      // base angular speed at launch, rad/s
    double life = 1;          // base lifetime in seconds (a particle lives about twice this)
    FestiveClosedRange sizeRange{};  // base size in points
    double spawnWeight = 1;   // relative frequency in a burst
    bool bouncesOnFloor = false;  // bounces on and rests on the floor line; else falls through
    double popScale = 1;      // factor on the upward launch speed
    double sprayScale = 1;    // factor on the sideways launch speed in the hop direction
};

}  // namespace quillmar
