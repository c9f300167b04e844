#pragma once
// Helpers for tests of the seasonal scenes: record one frame of a renderer, compare recorded
// streams, and pick out draw calls by colour or line width.

#include <functional>
#include <vector>

#include "gfx/draw_recorder.h"
#include "support/image_compare.h"

namespace quillmar::testing {

using RecordedFrame = std::vector<gfx::DrawRecord>;
using FrameDrawer = std::function<void(gfx::GraphicsContext&)>;

inline RecordedFrame recordFrame(gfx::Size canvas, const FrameDrawer& draw) {
    auto recorder = gfx::DrawRecorder::make(canvas);
    gfx::GraphicsContext ctx = gfx::DrawRecorder::contextFor(recorder);
    draw(ctx);
    return recorder->primitives();
}

inline bool sameStream(const RecordedFrame& a, const RecordedFrame& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto &x = a[i], &y = b[i];
        if (x.op != y.op || !(x.path == y.path) || x.colors != y.colors || x.opacity != y.opacity ||
            !(x.transform == y.transform) || x.strokeStyle.lineWidth != y.strokeStyle.lineWidth) {
            return false;
        }
    }
    return true;
}

// Draw calls whose single colour (at any opacity) is close to `rgb`.
inline int countInColour(const RecordedFrame& frame, const gfx::Color& rgb, gfx::DrawRecord::Op op) {
    int n = 0;
    for (const auto& r : frame) {
        if (r.op == op && r.colors.size() == 1 && r.colors[0].alpha > 0 &&
            gfx::colorsClose(r.colors[0].withAlpha(1), rgb.withAlpha(1), 0.002)) {
            ++n;
        }
    }
    return n;
}

// Draw calls whose gradient begins with `rgb`.
inline int countGradientsFrom(const RecordedFrame& frame, const gfx::Color& rgb) {
    int n = 0;
    for (const auto& r : frame) {
        if (r.colors.size() > 1 && gfx::colorsClose(r.colors[0].withAlpha(1), rgb.withAlpha(1), 0.002)) ++n;
    }
    return n;
}

}  // namespace quillmar::testing
