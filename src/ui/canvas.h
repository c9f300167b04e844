#pragma once
// Immediate-mode drawing and per-frame redraws.
//
// - Canvas: a view that fills the frame it is offered and draws with a closure given a graphics
//   context (origin at the canvas's top-left corner) and the canvas size; drawing is clipped to
//   the canvas.
// - TimelineView: re-evaluates its content on the main loop's frame clock (60 Hz), at most every
//   `minimumInterval` seconds, with the current time; paused, it keeps its last content.

#include <functional>

#include "gfx/graphics_context.h"
#include "ui/view.h"

namespace quillmar::ui {

using CanvasRenderer = std::function<void(gfx::GraphicsContext& context, Size size)>;

View Canvas(CanvasRenderer renderer);

struct TimelineContext {
    double date = 0;       // wall clock: seconds since the Unix epoch
    double mediaTime = 0;  // the main loop's media clock
};

View TimelineView(double minimumInterval, std::function<View(const TimelineContext&)> content, bool paused = false);

}  // namespace quillmar::ui
