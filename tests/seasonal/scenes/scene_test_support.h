#pragma once
// What the scene tests share: every renderer behind one call, and a recorded frame as a
// comparable text (one line per draw call: operation, shading, colours, opacity, geometry).

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "gfx/draw_recorder.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar::testing {

enum class SceneHost { window, dissolve, mark };

struct SceneUnderTest {
    const char* name;
    SceneHost host;
    std::function<void(gfx::GraphicsContext&, bool, double, double, double)> draw;
};

inline const std::vector<SceneUnderTest>& scenesUnderTest() {
    static const std::vector<SceneUnderTest> all = {
        {"fireworksWindow", SceneHost::window, drawFireworksWindowSpectacle},
        {"christmasWindow", SceneHost::window, drawChristmasWindowSpectacle},
        {"fireworksDissolve", SceneHost::dissolve,
         [](gfx::GraphicsContext& c, bool d, double w, double h, double p) { drawFireworksDissolve(c, d, w, h, p, w - 29, h * 0.5); }},
        {"easterMeadowDissolve", SceneHost::dissolve, drawEasterMeadowDissolve},
        {"springMeadowDissolve", SceneHost::dissolve, drawSpringMeadowDissolve},
        {"christmasDissolve", SceneHost::dissolve, drawChristmasDissolve},
        {"winterAuroraHearthDissolve", SceneHost::dissolve, drawWinterAuroraHearthDissolve},
        // The marks take a variant and an intensity instead of a progress: p picks both.
        {"winterMarkChristmas", SceneHost::mark,
         [](gfx::GraphicsContext& c, bool d, double, double, double p) {
             drawWinterSeasonalMark(c, ArtisanCanvasTheme::christmasSpectacle, static_cast<int>(p * 8), d, 5.6, p);
         }},
        {"winterMarkHearth", SceneHost::mark,
         [](gfx::GraphicsContext& c, bool d, double, double, double p) {
             drawWinterSeasonalMark(c, ArtisanCanvasTheme::winterAuroraHearth, static_cast<int>(p * 8), d, 4.8, p);
         }},
    };
    return all;
}

inline gfx::Size defaultCanvas(SceneHost host) {
    switch (host) {
        case SceneHost::window: return {480, 592};
        case SceneHost::dissolve: return {448, 80};
        case SceneHost::mark: return {24, 24};
    }
    return {480, 592};
}

// One recorded frame.
inline std::vector<gfx::DrawRecord> recordFrame(const SceneUnderTest& s, bool isDark, double w, double h, double p) {
    auto rec = gfx::DrawRecorder::make({w, h});
    auto ctx = gfx::DrawRecorder::contextFor(rec);
    s.draw(ctx, isDark, w, h, p);
    return rec->records();
}

inline std::string describe(const std::vector<gfx::DrawRecord>& records) {
    std::string out;
    char buf[160];
    for (const auto& r : records) {
        std::snprintf(buf, sizeof buf, "%d %d op%.6g b%.6g,%.6g,%.6g,%.6g n%zu", static_cast<int>(r.op),
                      static_cast<int>(r.shadingKind), r.effectiveOpacity, r.deviceBounds.x, r.deviceBounds.y,
                      r.deviceBounds.width, r.deviceBounds.height, r.path.elements().size());
        out += buf;
        for (const auto& c : r.colors) {
            std::snprintf(buf, sizeof buf, " %.5g/%.5g/%.5g/%.5g", c.red, c.green, c.blue, c.alpha);
            out += buf;
        }
        out += '\n';
    }
    return out;
}

}  // namespace quillmar::testing
