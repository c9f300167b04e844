// The Halloween window spectacle and the Halloween dissolve: when they draw, when their sprites
// come and go, and how their spider webs meet the pointer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "gfx/render_target.h"
#include "scene_recording.h"
#include "support/image_compare.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using gfx::Color;
using gfx::DrawRecord;
using testing::countInColour;
using testing::recordFrame;
using testing::RecordedFrame;

constexpr gfx::Size kWindow{480, 592};
constexpr gfx::Size kCard{448, 80};
const Color kGhostOutline = Color::rgb(0.86, 0.96, 1.0);
const Color kSilk = Color::rgb(0.93, 0.91, 0.84);

RecordedFrame window(double p, bool isDark = true) {
    return recordFrame(kWindow, [&](gfx::GraphicsContext& ctx) {
        drawHalloweenWindowSpectacle(ctx, isDark, kWindow.width, kWindow.height, p);
    });
}

RecordedFrame dissolve(double p, bool isDark = true) {
    return recordFrame(kCard, [&](gfx::GraphicsContext& ctx) {
        drawHalloweenDissolve(ctx, isDark, kCard.width, kCard.height, p);
    });
}

int ghosts(const RecordedFrame& frame) { return countInColour(frame, kGhostOutline, DrawRecord::Op::stroke); }

// The web's ring threads: the only silk strokes of width 0.6.
gfx::Path webRings(const RecordedFrame& frame) {
    for (const auto& r : frame) {
        if (r.op == DrawRecord::Op::stroke && r.strokeStyle.lineWidth == 0.6 && r.colors.size() == 1 &&
            gfx::colorsClose(r.colors[0].withAlpha(1), kSilk, 0.002)) {
            return r.path;
        }
    }
    return {};
}

class HalloweenScenes : public testing::FreshWorldTest {};

TEST_F(HalloweenScenes, DrawNothingOutsideTheirEnvelopes) {
    for (double p : {0.0, 0.985, 0.99, 1.0}) EXPECT_TRUE(window(p).empty()) << p;
    EXPECT_FALSE(window(0.009).empty());
    for (double p : {0.0, 1.0}) EXPECT_TRUE(dissolve(p).empty()) << p;
    EXPECT_FALSE(dissolve(0.02).empty());
}

TEST_F(HalloweenScenes, WindowGhostsFlyTheirOwnSpans) {
    EXPECT_EQ(ghosts(window(0.05)), 0);
    EXPECT_EQ(ghosts(window(0.2)), 1);
    EXPECT_EQ(ghosts(window(0.5)), 3);
    EXPECT_EQ(ghosts(window(0.85)), 2);
}

TEST_F(HalloweenScenes, DissolveGhostsAndBatsComeAndGo) {
    EXPECT_EQ(ghosts(dissolve(0.08)), 0);
    EXPECT_EQ(ghosts(dissolve(0.2)), 1);
    EXPECT_EQ(ghosts(dissolve(0.5)), 2);
    EXPECT_EQ(ghosts(dissolve(0.82)), 0);

    const Color batDark = Color::rgb(0.1, 0.06, 0.16);
    EXPECT_EQ(countInColour(dissolve(0.05), batDark, DrawRecord::Op::fill), 0);
    EXPECT_EQ(countInColour(dissolve(0.3), batDark, DrawRecord::Op::fill), 4);
    EXPECT_EQ(countInColour(dissolve(0.8), batDark, DrawRecord::Op::fill), 1);  // only bat 3 is still out
    EXPECT_EQ(countInColour(dissolve(0.3, false), Color::rgb(0.14, 0.08, 0.22), DrawRecord::Op::fill), 4);
}

TEST_F(HalloweenScenes, LightningLightsTheSkyAtTheStrike) {
    const Color flash = Color::rgb(0.82, 0.8, 0.98);
    EXPECT_EQ(countInColour(window(0.3), flash, DrawRecord::Op::fill), 1);
    EXPECT_EQ(countInColour(window(0.45), flash, DrawRecord::Op::fill), 0);
    EXPECT_EQ(countInColour(dissolve(0.3), flash, DrawRecord::Op::fill), 1);
    EXPECT_EQ(countInColour(dissolve(0.45), flash, DrawRecord::Op::fill), 0);
}

TEST_F(HalloweenScenes, CardWebTremblesUnderThePointerInCardCoordinates) {
    PointerWake& wake = PointerWake::shared();
    const gfx::Path resting = webRings(dissolve(0.5));
    ASSERT_FALSE(resting.isEmpty());

    // A pointer over the web's rings, as the card sees it, moves them.
    const gfx::Point overRings{kCard.width - 26, 24};
    wake.currentWindowCursor = overRings + wake.aboutCardOriginInWindow;
    EXPECT_NE(webRings(dissolve(0.5)), resting);

    // The same point in window coordinates lies far from the card's web.
    wake.currentWindowCursor = overRings;
    EXPECT_EQ(webRings(dissolve(0.5)), resting);
}

TEST_F(HalloweenScenes, WindowWebMeetsThePointerInWindowCoordinates) {
    PointerWake& wake = PointerWake::shared();
    const gfx::Path resting = webRings(window(0.5));
    wake.currentWindowCursor = gfx::Point{kWindow.width - 34 - 60, 34 + 60};
    EXPECT_NE(webRings(window(0.5)), resting);
}

TEST_F(HalloweenScenes, PushedSpiderNeverClimbsAboveItsAnchor) {
    // The spider's abdomen (in the light appearance its one radial gradient from this violet) hangs below y = 42 - 8
    // however the pointer pushes it.
    const Color abdomen = Color::rgb(0.26, 0.18, 0.34);
    int seen = 0;
    double highest = 1e9;
    for (double p : {0.2, 0.4, 0.6, 0.8}) {
        for (double y = 30; y <= 270; y += 6) {
            PointerWake::shared().currentWindowCursor = gfx::Point{kWindow.width - 20, y};
            for (const auto& r : window(p, false)) {
                if (r.colors.size() > 1 && gfx::colorsClose(r.colors[0].withAlpha(1), abdomen, 0.002)) {
                    ++seen;
                    highest = std::min(highest, r.deviceBounds.y);
                }
            }
        }
    }
    EXPECT_GT(seen, 100);
    EXPECT_GE(highest, 42 - 8 - 1e-6);
    EXPECT_LT(highest, 42 - 8 + 1);  // pushed hard enough, it does reach the top of its climb
}

// The spider's legs (its strokes 0.95 wide) and head (the ellipse 6 wide under the abdomen) stand
// out of the night wash beside them, on the dark wash as on the light one.
TEST_F(HalloweenScenes, SpiderLegsAndHeadShowOnTheNightWash) {
    auto luma = [](const Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; };
    for (bool isDark : {true, false}) {
        SCOPED_TRACE(isDark ? "dark" : "light");
        std::optional<DrawRecord> legs, head;
        for (const auto& r : window(0.5, isDark)) {
            if (r.op == DrawRecord::Op::stroke && r.strokeStyle.lineWidth == 0.95) legs = r;
            if (r.op == DrawRecord::Op::fill && r.colors.size() == 1 && std::abs(r.bounds.width - 6) < 1e-9 &&
                std::abs(r.bounds.height - 5.2) < 1e-9)
                head = r;
        }
        ASSERT_TRUE(legs && head);
        gfx::RenderTarget target(kWindow, 1);
        auto ctx = target.context();
        ctx.fill(gfx::Path::rect({0, 0, kWindow.width, kWindow.height}),
                 isDark ? Color(0.118, 0.118, 0.129) : Color(0.941, 0.941, 0.949));
        drawHalloweenWindowSpectacle(ctx, isDark, kWindow.width, kWindow.height, 0.5);
        const double wash = luma(gfx::probe(target.takeImage(), {legs->deviceBounds.x - 6, legs->deviceBounds.midY()}));
        EXPECT_GT(std::abs(luma(legs->colors[0]) - wash), 0.12);
        EXPECT_GT(std::abs(luma(head->colors[0]) - wash), 0.12);
    }
}

}  // namespace
}  // namespace quillmar
