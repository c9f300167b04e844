// The St Patrick's window spectacle: its timeline (the pot, the thrown coins, the trefoil, the
// notes) and where it finds the About card's emblem.

#include <gtest/gtest.h>

#include "scene_recording.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "seasonal/scenes/stpat_palette.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using gfx::DrawRecord;
using testing::countInColour;
using testing::recordFrame;
using testing::RecordedFrame;

constexpr gfx::Size kWindow{480, 592};

RecordedFrame spectacle(double p, bool isDark = true) {
    return recordFrame(kWindow, [&](gfx::GraphicsContext& ctx) {
        drawStPatricksWindowSpectacle(ctx, isDark, kWindow.width, kWindow.height, p);
    });
}

int potRims(const RecordedFrame& frame) {
    int n = 0;
    for (const auto& r : frame) n += r.op == DrawRecord::Op::fill && r.fillStyle.eoFill;
    return n;
}

int widthCount(const RecordedFrame& frame, double width) {
    int n = 0;
    for (const auto& r : frame) n += r.op == DrawRecord::Op::stroke && r.strokeStyle.lineWidth == width;
    return n;
}

class StPatricksSpectacle : public testing::FreshWorldTest {};

TEST_F(StPatricksSpectacle, OpensFromNothingAndClosesToNothing) {
    EXPECT_TRUE(spectacle(0).empty());
    EXPECT_FALSE(spectacle(0.01).empty());
    EXPECT_TRUE(spectacle(0.98).empty());
    EXPECT_TRUE(spectacle(1).empty());
}

TEST_F(StPatricksSpectacle, PotRisesLandsAndSinks) {
    EXPECT_EQ(potRims(spectacle(0.17)), 0);
    EXPECT_EQ(potRims(spectacle(0.25)), 1);
    EXPECT_EQ(potRims(spectacle(0.9)), 1);
    // The pot is drawn where it lands: its rim sits 34 points above its centre at (404, 522).
    for (const auto& r : spectacle(0.6)) {
        if (r.op == DrawRecord::Op::fill && r.fillStyle.eoFill) {
            EXPECT_NEAR(r.deviceBounds.x + r.deviceBounds.width / 2, 404, 1);
            EXPECT_NEAR(r.deviceBounds.y, 522 - 34, 1.5);
        }
    }
}

TEST_F(StPatricksSpectacle, CoinsFlyOnlyAfterTheLanding) {
    // Spinning coins outline their face with a gold ring of width 0.6; the pot's heap has none.
    EXPECT_EQ(widthCount(spectacle(0.2), 0.6), 0);
    const int sliding = widthCount(spectacle(0.31), 0.6);
    EXPECT_GT(sliding, 0);
    EXPECT_GT(widthCount(spectacle(0.5), 0.6), sliding);
}

TEST_F(StPatricksSpectacle, TrefoilIsTracedInItsWindow) {
    EXPECT_EQ(widthCount(spectacle(0.39), 3.4), 0);
    EXPECT_EQ(widthCount(spectacle(0.5), 3.4), 2);  // two tracing passes
    EXPECT_EQ(widthCount(spectacle(0.87), 3.4), 0);
}

TEST_F(StPatricksSpectacle, NotesRiseInTheLastHalf) {
    const gfx::Color cream = StpatPalette::dark().cream;
    const gfx::Color deep = StpatPalette::light().emeraldDeep;
    // Note heads are filled in cream on dark, deep emerald on light.
    auto noteHeads = [](const RecordedFrame& f, const gfx::Color& c) {
        int n = 0;
        for (const auto& r : f) {
            n += r.op == DrawRecord::Op::fill && r.colors.size() == 1 &&
                 gfx::colorsClose(r.colors[0].withAlpha(1), c, 0.002) && r.bounds.width > 5.7 && r.bounds.width < 5.9;
        }
        return n;
    };
    EXPECT_EQ(noteHeads(spectacle(0.45), cream), 0);
    EXPECT_GT(noteHeads(spectacle(0.6), cream), 0);
    EXPECT_GT(noteHeads(spectacle(0.6, false), deep), 0);
}

TEST_F(StPatricksSpectacle, EmblemSparklesLeaveTheCardsEmblem) {
    PointerWake& wake = PointerWake::shared();
    const gfx::Color goldHi = StpatPalette::dark().goldHi;
    auto sparkleCentres = [&] {
        std::vector<gfx::Point> centres;
        for (const auto& r : spectacle(0.05)) {
            if (r.op == DrawRecord::Op::fill && r.colors.size() == 1 &&
                gfx::colorsClose(r.colors[0].withAlpha(1), goldHi, 0.002) && r.bounds.width < 14) {
                centres.push_back({r.bounds.x + r.bounds.width / 2, r.bounds.y + r.bounds.height / 2});
            }
        }
        return centres;
    };
    const auto atDefault = sparkleCentres();
    ASSERT_FALSE(atDefault.empty());
    wake.aboutCardOriginInWindow = {40, 120};
    const auto moved = sparkleCentres();
    ASSERT_EQ(moved.size(), atDefault.size());
    for (std::size_t i = 0; i < moved.size(); ++i) {
        EXPECT_NEAR(moved[i].x - atDefault[i].x, 24, 1e-6);
        EXPECT_NEAR(moved[i].y - atDefault[i].y, 37, 1e-6);
        // Up and to the right of the emblem point (the card's origin plus 36, 36).
        EXPECT_GT(moved[i].x, 40 + 36);
        EXPECT_LT(moved[i].y, 120 + 36);
    }
}

}  // namespace
}  // namespace quillmar
