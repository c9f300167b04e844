// Every scene renderer on the recorded draw stream: empty frames, layer windows, determinism,
// the pointer contract and a sweep for numbers that must never reach the drawing layer.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "scene_test_support.h"
#include "seasonal/scenes/xmas_cozy_palette.h"
#include "seasonal/scenes/firework_burst.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/smootherstep.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {
using testing::describe;
using testing::recordFrame;
using testing::SceneHost;
using testing::scenesUnderTest;

class SceneRenderersTest : public testing::FreshWorldTest {};

TEST_F(SceneRenderersTest, FramesAreEmptyAtTheEndsOfTheirRun) {
    for (const auto& s : scenesUnderTest()) {
        if (s.host == SceneHost::mark) continue;
        const gfx::Size c = testing::defaultCanvas(s.host);
        for (bool dark : {false, true}) {
            EXPECT_TRUE(recordFrame(s, dark, c.width, c.height, 0).empty()) << s.name << " at 0";
            // The fireworks dissolve alone leaves late sparkles still rising at the end.
            if (std::string(s.name) != "fireworksDissolve") {
                EXPECT_TRUE(recordFrame(s, dark, c.width, c.height, 1).empty()) << s.name << " at 1";
            }
            EXPECT_FALSE(recordFrame(s, dark, c.width, c.height, 0.5).empty()) << s.name << " at 0.5";
        }
    }
}

TEST_F(SceneRenderersTest, EnvelopesStartDrawingAtTheirThresholds) {
    // Each dissolve draws nothing until its envelope passes its threshold; find that moment
    // from the rising edge of the envelope and look just either side of it.
    struct Edge {
        const char* name;
        double e0, e1, threshold;
    };
    for (const Edge& edge : {Edge{"easterMeadowDissolve", 0, 0.12, 0.002}, Edge{"springMeadowDissolve", 0, 0.14, 0.005}}) {
        double lo = edge.e0, hi = edge.e1;
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2;
            (smootherstep(edge.e0, edge.e1, mid) > edge.threshold ? hi : lo) = mid;
        }
        const auto& s = *std::find_if(scenesUnderTest().begin(), scenesUnderTest().end(),
                                      [&](const auto& x) { return std::string(x.name) == edge.name; });
        EXPECT_TRUE(recordFrame(s, true, 448, 80, lo * 0.999).empty()) << edge.name;
        EXPECT_FALSE(recordFrame(s, true, 448, 80, hi * 1.001).empty()) << edge.name;
    }
}

TEST_F(SceneRenderersTest, LayerWindowsOpenAndCloseWhenTheScenesSay) {
    const auto find = [](const char* name) {
        return *std::find_if(scenesUnderTest().begin(), scenesUnderTest().end(),
                             [&](const auto& x) { return std::string(x.name) == name; });
    };
    // The Easter meadow: before 0.04 only the glow, four rays, hill, ground and one tuft stroke.
    EXPECT_EQ(recordFrame(find("easterMeadowDissolve"), true, 448, 80, 0.039).size(), 8u);
    EXPECT_GT(recordFrame(find("easterMeadowDissolve"), true, 448, 80, 0.06).size(), 8u);

    // The sleigh of the window spectacle (drawn in the silhouette ink) flies from 0.30 to 0.62.
    const gfx::Color silhouette = XmasCozyPalette::make(true).silhouette;
    const auto sleighCalls = [&](double p) {
        int n = 0;
        for (const auto& r : recordFrame(find("christmasWindow"), true, 480, 592, p))
            if (!r.colors.empty() && r.colors[0].red == silhouette.red && r.colors[0].green == silhouette.green) ++n;
        return n;
    };
    EXPECT_EQ(sleighCalls(0.295), 0);
    EXPECT_EQ(sleighCalls(0.3), 0);
    EXPECT_GT(sleighCalls(0.45), 0);
    EXPECT_EQ(sleighCalls(0.625), 0);

    // The fireworks sky fades in by 0.09; the first rocket leaves at 0.03; the last burst is gone
    // by 0.984 and smoke and fountain are faded by 0.99.
    const auto& fireworks = find("fireworksWindow");
    EXPECT_FALSE(recordFrame(fireworks, true, 480, 592, 0.02).empty());  // the sky alone
    const size_t skyOnly = recordFrame(fireworks, true, 480, 592, 0.02).size();
    EXPECT_GT(recordFrame(fireworks, true, 480, 592, 0.05).size(), skyOnly);
    EXPECT_TRUE(recordFrame(fireworks, true, 480, 592, 0.995).empty());
}

TEST_F(SceneRenderersTest, RendersAreDeterministicAndAppearancesDoNotLeak) {
    for (const auto& s : scenesUnderTest()) {
        const gfx::Size c = testing::defaultCanvas(s.host);
        for (double p : {0.2, 0.5, 0.75}) {
            const std::string light = describe(recordFrame(s, false, c.width, c.height, p));
            const std::string dark = describe(recordFrame(s, true, c.width, c.height, p));
            EXPECT_EQ(light, describe(recordFrame(s, false, c.width, c.height, p))) << s.name;
            EXPECT_NE(light, dark) << s.name;
        }
    }
}

TEST_F(SceneRenderersTest, SpritesRestWithoutAPointerAndMoveAtMostTheirCap) {
    PointerWake& wake = PointerWake::shared();
    for (const auto& s : scenesUnderTest()) {
        if (s.host == SceneHost::mark) continue;
        const gfx::Size c = testing::defaultCanvas(s.host);
        const gfx::Point origin = s.host == SceneHost::dissolve ? wake.aboutCardOriginInWindow : gfx::Point{};
        for (double p : {0.35, 0.5, 0.75, 0.85}) {
            wake.currentWindowCursor.reset();
            const auto rest = recordFrame(s, true, c.width, c.height, p);
            wake.currentWindowCursor = gfx::Point{-5000, -5000};
            EXPECT_EQ(describe(rest), describe(recordFrame(s, true, c.width, c.height, p))) << s.name;
            // A pointer in the thick of the scene pushes some sprites, none by more than 44 points.
            bool anyMoved = false;
            for (int cell = 0; cell < 30; ++cell) {
                const double fx = 0.05 + 0.1 * (cell % 10), fy = 0.2 + 0.3 * (cell / 10);
                wake.currentWindowCursor = gfx::Point{origin.x + fx * c.width, origin.y + fy * c.height};
                const auto pushed = recordFrame(s, true, c.width, c.height, p);
                ASSERT_EQ(rest.size(), pushed.size()) << s.name;
                for (size_t i = 0; i < rest.size(); ++i) {
                    const gfx::Point a = rest[i].deviceBounds.center(), b = pushed[i].deviceBounds.center();
                    EXPECT_LE(gfx::distance(a, b), 44 + 1e-6) << s.name << " record " << i;
                    anyMoved = anyMoved || gfx::distance(a, b) > 1e-9;
                }
            }
            EXPECT_TRUE(anyMoved) << s.name << " at " << p;
        }
    }
}

TEST_F(SceneRenderersTest, SweepKeepsEveryNumberFiniteAndInRangeAndLeavesTheContextAlone) {
    const gfx::Size sizes[] = {{9, 9}, {120, 60}, {448, 80}, {480, 592}, {1600, 1200}};
    PointerWake& wake = PointerWake::shared();
    auto setPointer = [&](int state) {
        wake.currentWindowCursor.reset();
        wake.wakePuffs.clear();
        if (state == 1) {
            wake.currentWindowCursor = gfx::Point{250, 110};
            wake.cursorIsMoving = true;
        } else if (state == 2) {
            wake.lastCursorSampleTime = 2;
            for (int i = 0; i < 8; ++i) wake.wakePuffs.push_back({{60.0 + 40 * i, 100.0}, {300, -40}, 1.5 + 0.05 * i});
        }
    };
    int frame = 0;
    for (const auto& s : scenesUnderTest()) {
        for (int step = 0; step <= 240; ++step, ++frame) {
            const double p = step / 240.0;
            const gfx::Size size = sizes[frame % 5];
            setPointer(frame % 3);
            for (bool dark : {false, true}) {
                auto rec = gfx::DrawRecorder::make(size);
                auto ctx = gfx::DrawRecorder::contextFor(rec);
                ctx.opacity = 0.8;
                s.draw(ctx, dark, size.width, size.height, p);
                ASSERT_EQ(ctx.opacity, 0.8) << s.name;
                ASSERT_EQ(ctx.transform, gfx::AffineTransform{}) << s.name;
                for (const auto& r : rec->records()) {
                    ASSERT_TRUE(r.deviceBounds.isFinite()) << s.name << " p " << p;
                    ASSERT_TRUE(r.effectiveOpacity >= 0 && r.effectiveOpacity <= 1) << s.name;
                    for (const auto& e : r.path.elements())
                        for (const auto& pt : e.points) ASSERT_TRUE(pt.isFinite()) << s.name;
                    for (const auto& c : r.colors) ASSERT_TRUE(c.alpha >= 0 && c.alpha <= 1) << s.name;
                    if (r.op == gfx::DrawRecord::Op::stroke) {
                        ASSERT_GE(r.strokeStyle.lineWidth, 0) << s.name;
                    }
                    if (const auto* radial = r.shading.asRadial()) {
                        ASSERT_GE(radial->startRadius, 0) << s.name;
                        ASSERT_GE(radial->endRadius, 0) << s.name;
                    }
                }
            }
        }
    }
}

TEST_F(SceneRenderersTest, BadCanvasOrProgressDrawsNothing) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    for (const auto& s : scenesUnderTest()) {
        if (s.host == SceneHost::mark) continue;
        for (auto [w, h, p] : {std::tuple{inf, 80.0, 0.5}, std::tuple{448.0, inf, 0.5}, std::tuple{448.0, 80.0, nan},
                               std::tuple{nan, 80.0, 0.5}, std::tuple{-448.0, 80.0, 0.5}, std::tuple{1e300, 1e300, 0.5}}) {
            EXPECT_TRUE(recordFrame(s, true, w, h, p).empty()) << s.name << " " << w << "x" << h << " p " << p;
        }
    }
}

TEST_F(SceneRenderersTest, NegativeCountsDrawNoneOfThem) {
    auto rec = gfx::DrawRecorder::make();
    auto ctx = gfx::DrawRecorder::contextFor(rec);
    for (int kind : {0, 1, 2, 3}) {
        drawFireworkBurst(ctx, {kind, 0, 0, 0, 0, 0, 0.3, 50, -5, 0}, fireworksColors(0, true), 1, 100, 100, 0.3, 1, 0, 0, true);
        EXPECT_TRUE(rec->records().empty()) << "kind " << kind;
    }
    drawFireworkBurst(ctx, {4, 0, 0, 0, 0, 0, 0.3, 50, -5, 0}, fireworksColors(0, true), 1, 100, 100, 0.3, 1, 0, 0, true);
    EXPECT_EQ(rec->records().size(), 1u);  // the ring's outline alone

}

}  // namespace
}  // namespace quillmar
