#pragma once
// Which festival the Switch Bar celebrates on a day, for an interface language.
//
// A day's festival comes from fixed Gregorian dates, Easter Sunday, the fourth Thursday of
// November and two lunar dates (new year 1/1, moon festival 8/15, neither in a leap month): on
// Korea's lunar calendar for Korean, on China's for the other languages. December 25 is
// Christmas in every language; otherwise each language tests its own festivals in order:
//
//   en      Mar 17 stPatricks, Easter easter, Oct 31 halloween, Jul 4 fireworks,
//           4th Thu of Nov harvest, Jan 1 newYear
//   de      Mar 17 stPatricks, Easter easter, Oct 31 halloween, Jan 1 newYear
//   ja      Jan 1 oshogatsu, moon festival midAutumn
//   zh-Hans, zh-Hant   lunar new year lunarNewYear, moon festival midAutumn
//   ko      lunar new year seollal, Jan 1 seollal, moon festival midAutumn
//
// A festival also shows on its eve: a day without one takes tomorrow's. Dates are instants in
// seconds since the Unix epoch; every day is judged at 12:00 of its own civil day in the wall
// clock's time zone, so a late evening never spills into the next day.
//
// Main thread only (the one-entry cache is a plain process-wide value, cleared by World::reset).

#include <optional>

#include "festive_hud/hud_festive_theme.h"
#include "localization/app_language.h"
#include "runtime/gregorian_calendar.h"

namespace quillmar {

using runtime::GregorianCalendar;

// The festival of that very day.
std::optional<HUDFestiveTheme> festiveThemeOfDay(AppLanguage language, double date);

// The festival of the day, else that of the next day (one day added with `calendar`).
std::optional<HUDFestiveTheme> festiveThemeWithEve(AppLanguage language, double date,
                                                   const GregorianCalendar& calendar);

// festiveThemeWithEve, remembered for one language and local calendar day: asking again on the
// same day in the same language returns the stored answer (none included) without computing.
std::optional<HUDFestiveTheme> cachedFestiveTheme(AppLanguage language, double date);

// December 24 or 25 in the wall clock's time zone.
bool isChristmasPerimeterDay(double date);

// Easter Sunday of a Gregorian year at 12:00 (anonymous Gregorian computus).
std::optional<double> easterSunday(int year, const GregorianCalendar& calendar);

// The fourth Thursday of November of a year at 12:00.
std::optional<double> thanksgivingDay(int year, const GregorianCalendar& calendar);

}  // namespace quillmar
