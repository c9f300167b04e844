#pragma once
// The easter egg of the day: the title of its chip on the About card, its emblem, the scene it
// plays and its tint. English and German eggs follow Western holiday windows and then the
// season, each with a collector pin; Japanese, Chinese and Korean eggs follow the lunar new year
// (Japanese: the Gregorian new year), the moon festival and the season, each with a carved seal.
//
//   auto egg = SeasonalEasterEgg::forDate(WallClock::shared().now(), AppLanguage::current());
//   SeasonalEasterEgg::qaRotation()[3]   // the fourth of the seventeen QA eggs
//
// Dates are instants (seconds since the Unix epoch); every day is judged at 12:00 of its own
// civil day in the wall clock's time zone. forDate remembers one answer per language and civil
// day (a plain process-wide value, cleared by World::reset). Main thread only.

#include <string>
#include <vector>

#include "gfx/color.h"
#include "localization/app_language.h"
#include "runtime/gregorian_calendar.h"
#include "seasonal/emblem_style.h"
#include "seasonal/scenes/artisan_canvas_theme.h"

namespace quillmar {

struct SeasonalEasterEgg {
    std::string badgeTitle;
    EmblemStyle emblem = EmblemStyle::enamelPin(PinMotif::shamrock);
    ArtisanCanvasTheme canvasTheme = ArtisanCanvasTheme::stPatricksWindowSpectacle;
    gfx::Color touchTintColor;

    friend bool operator==(const SeasonalEasterEgg&, const SeasonalEasterEgg&) = default;

    // The egg of the civil day holding `date`, for `language` (cached per language and day).
    static SeasonalEasterEgg forDate(double date, AppLanguage language);

    // The Western rules (English, German): holiday windows in order, then the season. `noonDate`
    // is 12:00 of the day whose Gregorian year, month and day are given.
    static SeasonalEasterEgg westernEgg(AppLanguage language, double noonDate, int year, int month, int day,
                                        const runtime::GregorianCalendar& calendar);

    // The East Asian rules (Japanese, Simplified and Traditional Chinese, Korean; any other
    // language takes the Korean ones). Only the time zone of `calendar` is used, for the lunar
    // dates (Korea's lunar calendar for Korean, China's for the others); `month` and `day` are
    // the Gregorian month and day of `noonDate`.
    static SeasonalEasterEgg cjkSealEgg(AppLanguage language, double noonDate, int month, int day,
                                        const runtime::GregorianCalendar& calendar);

    // The seventeen eggs QA mode steps through, one per canvas theme.
    static const std::vector<SeasonalEasterEgg>& qaRotation();
};

}  // namespace quillmar
