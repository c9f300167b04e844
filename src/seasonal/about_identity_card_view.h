#pragma once
// The identity card at the top of the About tab: the app icon, the product name with its version
// chip, the tagline, the title chip and emblem of the easter egg on show (today's, unless one was
// unlocked) and, in QA mode, a badge that turns QA mode off. It is also the easter egg's stage:
// taps on the icon row count toward the unlock, a tap on the emblem replays the egg, and the card
// carries the icon hint and the dissolve as overlays. It records where it sits in the settings
// window (coordinate space "settingsWindowSpace") for the pointer effects of the scenes.
//
// The card keeps no state: everything lives in ArtisanCraftState and the settings. What it needs
// to know of the window around it comes through AboutCardHost, which the settings window fills.
//
// Names for inspection: "aboutCard", "aboutCardIcon", "aboutCardEmblem", "aboutCardQABadge",
// "aboutCardTitleChip", "aboutCardVersion".

#include <functional>

#include "seasonal/artisan_craft_state.h"
#include "settings/switcher_settings.h"
#include "settings_ui/palette/settings_palette.h"
#include "ui/view.h"

namespace quillmar {

// What the card asks of the settings window that hosts it (both false until the window says).
struct AboutCardHost {
    std::function<bool()> isSettingsWindowVisible;
    std::function<bool()> isAboutTabActive;

    static AboutCardHost& shared();
    bool windowVisible() const { return isSettingsWindowVisible && isSettingsWindowVisible(); }
    bool aboutTabActive() const { return isAboutTabActive && isAboutTabActive(); }
};

struct AboutIdentityCardView {
    SettingsPalette palette;
    ArtisanCraftState* artisan = &ArtisanCraftState::shared();
    SwitcherSettings* settings = &SwitcherSettings::shared();

    ui::View body() const;

    // The icon's press scale: a young tap burst shrinks it (more from the second tap), the first
    // tenth of a dissolve too; the burst wins when both apply.
    static double iconPressScale(std::optional<double> tapBurstProgress, int tapBurstLevel,
                                 std::optional<double> dissolveProgress);
    // The QA badge's action: QA mode off, every animation stopped, the egg on show cleared.
    static void turnOffQAMode(ArtisanCraftState& artisan);

    friend bool operator==(const AboutIdentityCardView& a, const AboutIdentityCardView& b) {
        return a.palette == b.palette && a.artisan == b.artisan && a.settings == b.settings;
    }

private:
    ui::View identityRow(const SeasonalEasterEgg& egg) const;
    ui::View emblem(const SeasonalEasterEgg& egg) const;
};

}  // namespace quillmar
