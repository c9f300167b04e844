#pragma once
// The glow of the Christmas glow trail at a point of the Switch Bar: each sample of the trail
// (written by HUDFestiveState::noteChristmasFocus while the user scrubs) eases in over 0.26 s,
// then fades exponentially and linearly to nothing at 2.6 s, spreads along the bar as a Gaussian
// a fifth of the bar long, and the samples screen-combine, each adding at most 56 % of the
// remaining headroom.

#include <span>

#include "festive_hud/christmas_glow_sample.h"

namespace quillmar {

// The glow at (x, y) in the bar's own points (origin top left) on a bar width × height, at media
// time `now`: 0...1. The point is projected on the bar's main axis (x for the horizontal strip, y
// for the vertical list) with 16 points at each end reading as the first and last position.
// Non-finite inputs read as no glow.
double christmasGlowIntensity(std::span<const ChristmasGlowSample> trail, bool isVertical, double x, double y,
                              double width, double height, double now);

// The same, read from the shared festive state's trail and geometry.
double christmasGlowIntensity(double x, double y, double width, double height, double now);

}  // namespace quillmar
