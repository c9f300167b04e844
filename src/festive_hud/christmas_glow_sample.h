#pragma once
// One sample of the Christmas glow trail: where along the bar the smoothed selection was, when
// (media time, seconds) and how strongly it glows.

namespace quillmar {

struct ChristmasGlowSample {
    double normalizedPos = 0;  // 0 at the first item, 1 at the last
    double timestamp = 0;
    double strength = 0;  // 0.55...1.0 from scrubbing; 0.65 for the sample seeded at arming
};

}  // namespace quillmar
