#pragma once
// Floating panels: borderless windows that float above other applications without taking
// keyboard focus from them (the Switch Bar's window). A panel has a frame in global
// bottom-left-origin screen coordinates, a window level, collection behaviour, an alpha value
// that can be animated, and is ordered in (on screen) or out. What it shows is drawn by its
// owner; the panel only asks for a redraw.
//
//   auto panel = PanelWindows::installed()->createPanel(config);
//   panel->orderFrontRegardless();
//   panel->animateAlpha(1.0, 0.13, TimingCurve{0.2, 0.9, 0.3, 1.0}, nullptr);
//
// PanelWindows::installed() is null when the system offers no windows (tests without a desktop).
// Main thread only.

#include <functional>
#include <memory>

#include "platform/geometry.h"
#include "runtime/world.h"

namespace quillmar::platform {

// A cubic Bézier timing curve from (0, 0) to (1, 1) through two control points.
struct TimingCurve {
    double c1x = 0, c1y = 0, c2x = 1, c2y = 1;

    static constexpr TimingCurve linear() { return {0, 0, 1, 1}; }
    static constexpr TimingCurve easeOut() { return {0, 0, 0.58, 1}; }
    // The progress at time fraction t in 0...1.
    double value(double t) const;
};

struct PanelConfig {
    Rect contentRect{0, 0, 700, 170};
    bool nonActivating = true;
    bool floating = true;
    int level = 101;                       // the pop-up menu level
    unsigned collectionBehavior = 0;       // bit set, as the system numbers it
    bool opaque = false;
    bool hasShadow = true;
};

class PanelWindow {
public:
    virtual ~PanelWindow() = default;

    virtual Rect frame() const = 0;
    // Moves and resizes the panel; with animate the frame glides there.
    virtual void setFrame(const Rect& frame, bool display, bool animate = false) = 0;
    virtual int level() const = 0;
    virtual unsigned collectionBehavior() const = 0;
    virtual bool isVisible() const = 0;
    // Brings the panel in front of every window of its level without activating this application.
    virtual void orderFrontRegardless() = 0;
    virtual void orderOut() = 0;
    virtual double alphaValue() const = 0;
    // Sets the alpha at once, ending any running alpha animation (its completion does not run).
    virtual void setAlphaValue(double alpha) = 0;
    // Animates the alpha to target over duration seconds; completion runs once it is done, also
    // when a later animation or setAlphaValue replaced it (as the system's animation groups do).
    virtual void animateAlpha(double target, double duration, TimingCurve curve, std::function<void()> completion) = 0;
    virtual void invalidateShadow() = 0;
    // Whether the panel can take keyboard focus or become the main window (never, for panels).
    virtual bool canBecomeKeyWindow() const { return false; }
    virtual bool canBecomeMainWindow() const { return false; }
    // The owner draws; the panel calls this when what it shows must be drawn again.
    virtual void setNeedsDisplay() = 0;
};

class PanelWindows {
public:
    virtual ~PanelWindows() = default;
    static PanelWindows* installed() { return runtime::World::find<PanelWindows>(); }
    virtual std::unique_ptr<PanelWindow> createPanel(const PanelConfig& config) = 0;
};

}  // namespace quillmar::platform
