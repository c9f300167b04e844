#pragma once
// One live festive particle. Coordinates are points in the Switch Bar content, origin at the
// top left, y downward; velocities are points per second (negative vy rises).

namespace quillmar {

// The most particles alive at once.
inline constexpr int kMaxFestiveParticles = 72;

struct HUDFestiveParticle {
    double x = 0;
    double y = 0;
    double vx = 0;
    double vy = 0;
    double rot = 0;   // radians
    double spin = 0;  // radians per second
    double size = 0;  // reference size in points, handed to the drawing
    int kind = 0;     // row of the festival's kind table
    double seed = 0;  // in [0, 1), fixed at birth: flutter phase and per-particle look
    double age = 0;   // seconds since birth
    double life = 0;  // lifetime in seconds
    int bounces = 0;  // floor bounces so far
    bool restingOnFloor = false;
    double gravityMul = 1;
    double dragMul = 1;

    friend bool operator==(const HUDFestiveParticle&, const HUDFestiveParticle&) = default;
};

}  // namespace quillmar
