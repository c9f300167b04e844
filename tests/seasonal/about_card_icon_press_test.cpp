// The About card's app icon gives under the finger: a tap presses it in for the first quarter of
// its burst (the second tap deeper), then it springs back while the burst plays on.

#include <gtest/gtest.h>

#include <cmath>

#include "gfx/draw_recorder.h"
#include "seasonal/about_identity_card_view.h"
#include "seasonal/craft_test_support.h"
#include "support/fresh_world.h"
#include "ui/hosting_view.h"
#include "ui/stack_views.h"

namespace quillmar {
namespace {

class AboutCardIconPress : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::setToday(2026, 5, 12);
        platform::sim::SimHaptics::install();
        host = std::make_unique<ui::HostingView>(
            ui::VStack({ui::View(AboutIdentityCardView{SettingsPalette(false)}).padding(16), ui::Spacer()})
                .coordinateSpace("settingsWindowSpace"),
            Size{480, 120});
        host->layoutIfNeeded();
    }
    // The width the app icon's picture is drawn at now (its outer rounded square, the widest
    // fill drawn through a scaled frame).
    double iconWidth() {
        auto recorder = gfx::DrawRecorder::make({480, 120});
        auto ctx = gfx::DrawRecorder::contextFor(recorder);
        host->draw(ctx);
        for (const auto& r : recorder->primitives())
            if (r.op == gfx::DrawRecord::Op::fill && r.transform.a < 0.9 && r.bounds.width > 80) return r.deviceBounds.width;
        ADD_FAILURE() << "no icon drawn";
        return 0;
    }
    void tapIcon() {
        const auto f = host->frame("aboutCardIcon");
        ASSERT_TRUE(f);
        host->click({f->midX(), f->midY()});
    }
    std::unique_ptr<ui::HostingView> host;
};

TEST_F(AboutCardIconPress, ATapPressesTheIconForAQuarterOfItsBurstThenItSpringsBack) {
    const double rest = iconWidth();
    ASSERT_GT(rest, 40);
    tapIcon();
    advance(0.15);
    EXPECT_LT(iconWidth() / rest, 0.96);
    EXPECT_GT(iconWidth() / rest, 0.93);
    advance(0.2);  // 0.35 s: a third of the way through the burst the icon is back
    EXPECT_GT(iconWidth() / rest, 0.985);
    // The second tap presses it deeper.
    advance(0.5);
    tapIcon();
    advance(0.15);
    EXPECT_LT(iconWidth() / rest, 0.935);
}

}  // namespace
}  // namespace quillmar
