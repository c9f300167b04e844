// Contract tests shared by the Halloween, St Patrick's, autumn oak and summer starlight renderers
// and the nature mark: determinism, resting sprites without a pointer, finite output over a sweep
// of progress, sizes and pointer states (the reference pictures are in scene_golden_test.cpp).

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gfx/image.h"
#include "gfx/render_target.h"
#include "scene_recording.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using testing::recordFrame;
using testing::RecordedFrame;
using testing::sameStream;

struct Scene {
    const char* name;
    SpectacleRenderer renderer;
    gfx::Size canvas;
};

const Scene kScenes[] = {
    {"halloween_window", drawHalloweenWindowSpectacle, {480, 592}},
    {"stpatricks_window", drawStPatricksWindowSpectacle, {480, 592}},
    {"halloween_dissolve", drawHalloweenDissolve, {448, 80}},
    {"autumn_oak_dissolve", drawAutumnHarvestOakDissolve, {448, 80}},
    {"summer_starlight_dissolve", drawSummerStarlightDissolve, {448, 80}},
};

RecordedFrame record(const Scene& s, bool isDark, double p, gfx::Size canvas) {
    return recordFrame(canvas, [&](gfx::GraphicsContext& ctx) { s.renderer(ctx, isDark, canvas.width, canvas.height, p); });
}

void placeBusyPointer(PointerWake& wake, gfx::Point at) {
    wake.currentWindowCursor = at;
    wake.cursorIsMoving = true;
    wake.lastCursorSampleTime = 10;
    wake.wakePuffs = {{at + gfx::Point{-30, 10}, {900, -200}, 9.6}, {at + gfx::Point{40, -20}, {-300, 600}, 9.9}};
}

bool finite(gfx::Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

class LaterScenes : public testing::FreshWorldTest {};

TEST_F(LaterScenes, SameFrameTwiceGivesTheSameStream) {
    for (const Scene& s : kScenes) {
        for (double p : {0.12, 0.31, 0.5, 0.77}) {
            const RecordedFrame light = record(s, false, p, s.canvas);
            EXPECT_TRUE(sameStream(light, record(s, false, p, s.canvas))) << s.name << " " << p;
            const RecordedFrame dark = record(s, true, p, s.canvas);
            EXPECT_FALSE(sameStream(light, dark)) << s.name << " " << p;
            EXPECT_TRUE(sameStream(light, record(s, false, p, s.canvas))) << s.name << " " << p;
        }
    }
}

TEST_F(LaterScenes, FarPointerLeavesEverySpriteAtRest) {
    for (const Scene& s : kScenes) {
        const RecordedFrame resting = record(s, true, 0.5, s.canvas);
        PointerWake::shared().currentWindowCursor = gfx::Point{-5000, -5000};
        EXPECT_TRUE(sameStream(resting, record(s, true, 0.5, s.canvas))) << s.name;
        PointerWake::shared().currentWindowCursor.reset();
    }
}

TEST_F(LaterScenes, NearPointerMovesSpritesAndTouchesWithAHaptic) {
    PointerWake& wake = PointerWake::shared();
    for (const Scene& s : kScenes) {
        const RecordedFrame resting = record(s, true, 0.5, s.canvas);
        bool moved = false, touched = false;
        // Sweep a moving pointer across the canvas (in window coordinates): sprites react, and a
        // close enough one asks for a haptic tap.
        const gfx::Point origin = s.canvas.height < 100 ? wake.aboutCardOriginInWindow : gfx::Point{};
        for (double y = 4; y < s.canvas.height && !(moved && touched); y += 12) {
            for (double x = 4; x < s.canvas.width && !(moved && touched); x += 12) {
                wake.pendingContactHaptic = false;
                placeBusyPointer(wake, origin + gfx::Point{x, y});
                wake.wakePuffs.clear();
                const RecordedFrame frame = record(s, true, 0.5, s.canvas);
                moved = moved || !sameStream(resting, frame);
                touched = touched || wake.pendingContactHaptic;
            }
        }
        EXPECT_TRUE(moved) << s.name;
        EXPECT_TRUE(touched) << s.name;
        wake.currentWindowCursor.reset();
    }
}

TEST_F(LaterScenes, EveryFrameOfASweepIsFiniteAndLeavesTheContextAlone) {
    const gfx::Size sizes[] = {{9, 9}, {448, 80}, {480, 592}, {1600, 1200}};
    PointerWake& wake = PointerWake::shared();
    for (const Scene& s : kScenes) {
        for (const gfx::Size size : sizes) {
            for (bool isDark : {true, false}) {
                for (int step = 0; step <= 240; ++step) {
                    const double p = step / 240.0;
                    if (step % 3 == 0) {
                        placeBusyPointer(wake, {size.width * 0.6 + 16, size.height * 0.4 + 83});
                    } else {
                        wake.currentWindowCursor.reset();
                        wake.wakePuffs.clear();
                    }
                    auto recorder = gfx::DrawRecorder::make(size);
                    gfx::GraphicsContext ctx = gfx::DrawRecorder::contextFor(recorder);
                    s.renderer(ctx, isDark, size.width, size.height, p);
                    ASSERT_EQ(ctx.opacity, 1.0);
                    ASSERT_TRUE(ctx.transform.isIdentity());
                    for (const auto& r : recorder->primitives()) {
                        ASSERT_TRUE(r.transform.isFinite()) << s.name << " p " << p;
                        ASSERT_TRUE(r.opacity >= 0 && r.opacity <= 1) << s.name << " p " << p;
                        ASSERT_TRUE(finite({r.deviceBounds.x, r.deviceBounds.y})) << s.name << " p " << p;
                        if (const auto* radial = r.shading.asRadial()) {
                            ASSERT_TRUE(finite(radial->center)) << s.name << " p " << p;
                            ASSERT_TRUE(radial->startRadius >= 0 && radial->endRadius >= 0) << s.name << " p " << p;
                        }
                        if (const auto* linear = r.shading.asLinear()) {
                            ASSERT_TRUE(finite(linear->start) && finite(linear->end)) << s.name << " p " << p;
                        }
                        if (r.op == gfx::DrawRecord::Op::stroke) {
                            ASSERT_TRUE(std::isfinite(r.strokeStyle.lineWidth) && r.strokeStyle.lineWidth >= 0);
                        }
                    }
                }
            }
        }
    }
}

TEST_F(LaterScenes, NonFiniteFramesDrawNothing) {
    const double inf = std::numeric_limits<double>::infinity();
    for (const Scene& s : kScenes) {
        EXPECT_TRUE(record(s, true, std::nan(""), s.canvas).empty()) << s.name;
        EXPECT_TRUE(recordFrame(s.canvas, [&](gfx::GraphicsContext& ctx) { s.renderer(ctx, true, inf, 80, 0.5); }).empty());
        EXPECT_TRUE(recordFrame(s.canvas, [&](gfx::GraphicsContext& ctx) { s.renderer(ctx, true, 448, std::nan(""), 0.5); }).empty());
    }
}

TEST_F(LaterScenes, PixelsLandWhereTheScenesPlaceThem) {
    // The Halloween moon rides 86 points left of the right edge; the St Patrick's pot is dark iron
    // around (404, 530) with gold heaped on top; the autumn pumpkin sits at (374, 67).
    auto halloween = gfx::render({480, 592}, 1, [](gfx::GraphicsContext& ctx) {
        drawHalloweenWindowSpectacle(ctx, true, 480, 592, 0.5);
    });
    const gfx::Color moon = gfx::probe(halloween->image(), {480 - 86, 210});
    EXPECT_GT(moon.red + moon.green + moon.blue, 2.4);
    auto stpat = gfx::render({480, 592}, 1, [](gfx::GraphicsContext& ctx) {
        drawStPatricksWindowSpectacle(ctx, true, 480, 592, 0.6);
    });
    const gfx::Color iron = gfx::probe(stpat->image(), {404 - 20, 536});
    EXPECT_GT(iron.alpha, 0.95);
    EXPECT_LT(iron.red + iron.green + iron.blue, 1.2);
    const gfx::Color gold = gfx::probe(stpat->image(), {404, 522 - 40});
    EXPECT_GT(gold.red, gold.blue + 0.3);
    auto autumnCard = gfx::render({448, 80}, 1, [](gfx::GraphicsContext& ctx) {
        drawAutumnHarvestOakDissolve(ctx, true, 448, 80, 0.6);
    });
    const gfx::Color pumpkin = gfx::probe(autumnCard->image(), {374, 60});
    EXPECT_GT(pumpkin.alpha, 0.9);
    EXPECT_GT(pumpkin.red, pumpkin.green + 0.2);
    EXPECT_GT(pumpkin.green, pumpkin.blue);
}

}  // namespace
}  // namespace quillmar
