#pragma once
// The pointer state that the seasonal scenes read while they draw, and the displacement by which
// their sprites shy away from the pointer and from its wake.
//
// PointerWake is the process's one shared object (PointerWake::shared(), created on first use).
// It is a plain record: the seasonal card's craft state samples the pointer into it (cursor,
// moving flag, sample time on the media clock, wake puffs left behind by a moving pointer),
// stores the About card's origin in the window, and consumes the contact-haptic flag. The scene
// renderers only read it, through cursorWakeDisplacement(), whose one side effect is that flag.
// Everything runs on the main thread.

#include <optional>
#include <vector>

#include "runtime/geometry.h"

namespace quillmar {

// A puff of air left behind by the moving pointer: where it was let go (window points), its
// velocity (points per second) and its birth time (seconds on the media clock).
struct PointerWakePuff {
    Point pos;
    Point vel;
    double birth = 0;
};

// What a sprite does about the pointer: move by (dx, dy) points, and optionally turn by `spin`
// (only some sprites use it).
struct WakeDisplacement {
    double dx = 0;
    double dy = 0;
    double spin = 0;
};

class PointerWake {
public:
    static PointerWake& shared();

    // The last sampled pointer in window coordinates; absent while no sample is held.
    std::optional<Point> currentWindowCursor;
    bool cursorIsMoving = false;
    // Media-clock seconds of the last pointer sample; the wake puffs age against it.
    double lastCursorSampleTime = 0;
    // Scales every reach of the pointer and of its wake.
    double pointerRadiusScale = 1.0;
    std::vector<PointerWakePuff> wakePuffs;
    // Set when a strong enough sprite is touched by a moving pointer; the seasonal card turns it
    // into one haptic tap and clears it.
    bool pendingContactHaptic = false;
    // Top-left corner of the About card in the settings window's coordinate space. Scenes drawn
    // inside the card pass it as their canvas origin; full-window scenes pass (0, 0).
    Point aboutCardOriginInWindow{16, 83};

    // The displacement of a sprite resting at (x, y) on a canvas whose origin sits at
    // (originX, originY) in the window. The push is capped at maxDisplacement points and the
    // spin at +-3.8; strength scales push and spin (above 1 it enlarges them before the cap).
    // With no cursor and no puffs the sprite stays where it is.
    WakeDisplacement cursorWakeDisplacement(double x, double y, double originX, double originY,
                                            double maxDisplacement, double strength);
};

}  // namespace quillmar
