// The About card hosted in a window: its items, taps through its buttons, the QA badge, the hint
// on appearance, and its look in light and dark.

#include <gtest/gtest.h>

#include "support/image_compare.h"
#include "seasonal/about_identity_card_view.h"
#include "seasonal/artisan_window_spectacle_host_view.h"
#include "seasonal/craft_test_support.h"
#include "settings/switcher_settings.h"
#include "support/fresh_world.h"
#include "ui/hosting_view.h"
#include "ui/stack_views.h"

namespace quillmar {
namespace {

class AboutCardTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        testing::setToday(2026, 12, 20);  // Christmas week
        platform::sim::SimHaptics::install();
        craft = &ArtisanCraftState::shared();
        settings = &SwitcherSettings::shared();
    }
    std::unique_ptr<ui::HostingView> host(bool dark = false) {
        auto h = std::make_unique<ui::HostingView>(
            ui::VStack({ui::View(AboutIdentityCardView{SettingsPalette(dark)}).padding(16), ui::Spacer()})
                .coordinateSpace("settingsWindowSpace"),
            Size{480, 120});
        ui::Environment env = h->environment();
        env.colorScheme = dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
        h->setEnvironment(env);
        h->layoutIfNeeded();
        return h;
    }
    static Point centre(ui::HostingView& h, const char* name) {
        const auto f = h.frame(name);
        EXPECT_TRUE(f) << name;
        return f ? Point{f->midX(), f->midY()} : Point{};
    }

    ArtisanCraftState* craft = nullptr;
    SwitcherSettings* settings = nullptr;
};

TEST_F(AboutCardTest, IconTapsUnlockTheEggAndTheQABadgeTurnsQAModeOff) {
    auto h = host();
    EXPECT_FALSE(h->contains("aboutCardQABadge"));
    EXPECT_EQ(craft->aboutCardOriginInWindow(), (Point{16, 16}));
    for (int i = 0; i < 3; ++i) {
        h->click(centre(*h, "aboutCardIcon"));
        advance(0.2);
    }
    ASSERT_TRUE(craft->activeEasterEgg.get());
    EXPECT_EQ(craft->activeEasterEgg.get()->canvasTheme, ArtisanCanvasTheme::christmasSpectacle);

    settings->setQAMode(true);
    h->layoutIfNeeded();
    ASSERT_TRUE(h->contains("aboutCardQABadge"));
    advance(1.0);
    h->click(centre(*h, "aboutCardEmblem"));  // QA mode with an egg on show: the emblem steps on
    EXPECT_EQ(craft->activeEasterEgg.get()->badgeTitle, SeasonalEasterEgg::qaRotation()[1].badgeTitle);
    h->click(centre(*h, "aboutCardQABadge"));
    runUntilIdle();
    EXPECT_FALSE(settings->qaModeEnabled.get());
    EXPECT_FALSE(craft->activeEasterEgg.get());
    EXPECT_FALSE(craft->dissolveProgress.get());
    h->layoutIfNeeded();
    EXPECT_FALSE(h->contains("aboutCardQABadge"));
}

// The window-wide spectacle lies over the whole window while it plays; the card under it must
// still take taps (a QA tester steps through the eggs while the St Patrick's one plays).
TEST_F(AboutCardTest, TapsReachTheCardThroughThePlayingWindowSpectacle) {
    ui::HostingView h(ui::ZStack({ui::VStack({ui::View(AboutIdentityCardView{SettingsPalette(false)}).padding(16),
                                              ui::Spacer()}),
                                  ArtisanWindowSpectacleHostView{false}})
                          .coordinateSpace("settingsWindowSpace"),
                      Size{480, 300});
    settings->setQAMode(true);
    craft->handleEmblemTap(false);
    ASSERT_EQ(craft->activeEasterEgg.get()->canvasTheme, ArtisanCanvasTheme::stPatricksWindowSpectacle);
    advance(0.5);
    h.layoutIfNeeded();
    h.click(centre(h, "aboutCardEmblem"));
    EXPECT_EQ(craft->qaRotationIndex, 1);
}

TEST_F(AboutCardTest, TheHintStartsOnlyInAVisibleWindowOnTheAboutTab) {
    bool visible = false;
    bool aboutTab = true;
    AboutCardHost::shared().isSettingsWindowVisible = [&] { return visible; };
    AboutCardHost::shared().isAboutTabActive = [&] { return aboutTab; };
    {
        auto h = host();
        runUntilIdle();
        EXPECT_FALSE(craft->hintProgress.get());
    }
    visible = true;
    auto h = host();
    runUntilIdle();
    EXPECT_TRUE(craft->hintProgress.get());
    h->setRootView(ui::EmptyView());  // gone while the About tab stays selected: nothing stops
    h->layoutIfNeeded();
    runUntilIdle();
    EXPECT_TRUE(craft->hintProgress.get());
    h = host();
    aboutTab = false;  // another tab was chosen
    h->setRootView(ui::EmptyView());
    h->layoutIfNeeded();
    runUntilIdle();
    EXPECT_FALSE(craft->hintProgress.get());
}

TEST_F(AboutCardTest, CardShowsItsGoldFrameAndTitleChipInBothAppearances) {
    for (bool dark : {false, true}) {
        auto h = host(dark);
        const auto image = h->renderImage(2.0, dark ? gfx::Color(0.12, 0.12, 0.14) : gfx::Color(0.93, 0.93, 0.94));
        const auto card = h->frame("aboutCard");
        ASSERT_TRUE(card);
        // The gold border on the card's top edge stands out from the window behind it.
        const auto border = gfx::probe(image, {card->midX(), card->minY() + 0.5});
        EXPECT_GT(border.red - border.blue, 0.08) << dark;
        // The title chip names today's egg and sits inside the card.
        const auto chip = h->frame("aboutCardTitleChip");
        ASSERT_TRUE(chip);
        EXPECT_GT(chip->minX(), card->minX());
        EXPECT_LT(chip->maxX(), card->maxX());
        // The emblem sits at the card's right end.
        const auto emblem = h->frame("aboutCardEmblem");
        ASSERT_TRUE(emblem);
        EXPECT_NEAR(card->maxX() - emblem->midX(), 12 + emblem->width / 2, 1.0);
    }
}

}  // namespace
}  // namespace quillmar
