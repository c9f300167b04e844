#pragma once
// The one table from theme to art type, shared by the spawner, the physics step and the
// overlay, so that all three always agree on a festival's kinds:
//
//   auto specs = withFestiveArt(theme, []<class Art>() { return Art::kindSpecs(); });

#include <span>

#include "festive_hud/christmas_festive_art.h"
#include "festive_hud/easter_festive_art.h"
#include "festive_hud/fireworks_festive_art.h"
#include "festive_hud/halloween_festive_art.h"
#include "festive_hud/harvest_festive_art.h"
#include "festive_hud/hud_festive_art.h"
#include "festive_hud/hud_festive_theme.h"
#include "festive_hud/lunar_new_year_festive_art.h"
#include "festive_hud/mid_autumn_festive_art.h"
#include "festive_hud/new_year_festive_art.h"
#include "festive_hud/oshogatsu_festive_art.h"
#include "festive_hud/seollal_festive_art.h"
#include "festive_hud/st_patricks_festive_art.h"

namespace quillmar {

static_assert(HUDFestiveArt<StPatricksFestiveArt> && HUDFestiveArt<EasterFestiveArt> &&
              HUDFestiveArt<FireworksFestiveArt> && HUDFestiveArt<HalloweenFestiveArt> &&
              HUDFestiveArt<HarvestFestiveArt> && HUDFestiveArt<ChristmasFestiveArt> &&
              HUDFestiveArt<NewYearFestiveArt> && HUDFestiveArt<LunarNewYearFestiveArt> &&
              HUDFestiveArt<MidAutumnFestiveArt> && HUDFestiveArt<OshogatsuFestiveArt> &&
              HUDFestiveArt<SeollalFestiveArt>);

// Calls f.template operator()<Art>() with the art type of the theme and returns its result.
template <class F>
decltype(auto) withFestiveArt(HUDFestiveTheme theme, F&& f) {
    switch (theme) {
        case HUDFestiveTheme::easter: return f.template operator()<EasterFestiveArt>();
        case HUDFestiveTheme::fireworks: return f.template operator()<FireworksFestiveArt>();
        case HUDFestiveTheme::halloween: return f.template operator()<HalloweenFestiveArt>();
        case HUDFestiveTheme::harvest: return f.template operator()<HarvestFestiveArt>();
        case HUDFestiveTheme::christmas: return f.template operator()<ChristmasFestiveArt>();
        case HUDFestiveTheme::newYear: return f.template operator()<NewYearFestiveArt>();
        case HUDFestiveTheme::lunarNewYear: return f.template operator()<LunarNewYearFestiveArt>();
        case HUDFestiveTheme::midAutumn: return f.template operator()<MidAutumnFestiveArt>();
        case HUDFestiveTheme::oshogatsu: return f.template operator()<OshogatsuFestiveArt>();
        case HUDFestiveTheme::seollal: return f.template operator()<SeollalFestiveArt>();
        case HUDFestiveTheme::stPatricks:
        default:  // only the eleven raw values can be formed through festiveThemeFromRawValue
            return f.template operator()<StPatricksFestiveArt>();
    }
}

inline std::span<const HUDFestiveKindSpec> festiveKindSpecs(HUDFestiveTheme theme) {
    return withFestiveArt(theme, []<class Art>() { return Art::kindSpecs(); });
}

}  // namespace quillmar
