#pragma once
// Corrections to the lunar-date library's tables. In five places between 1901 and 2100 the
// library starts a lunar month a day early or late against the astronomical new moon reckoned
// in China Standard Time (UTC+8), on which the official calendar has rested since 1929, and
// against the published conversion tables. Each corrected month is listed whole with its length,
// together with the neighbour that gains or loses the day.

#include <optional>

#include "festive_hud/lunar_calendar.h"

namespace quillmar {

// The lunar date of a civil day inside one of the corrected months, or none elsewhere (the
// library's answer stands there).
std::optional<LunarDate> correctedLunarDate(int year, int month, int day);

}  // namespace quillmar
