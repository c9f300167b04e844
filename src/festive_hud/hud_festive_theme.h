#pragma once
// The eleven festivals of the Switch Bar. The raw values are fixed: they pick the particle art
// and order the QA rotation. "No festival" is an absent theme (std::optional), never a case.

#include <array>
#include <optional>
#include <string>

namespace quillmar {

enum class HUDFestiveTheme : int {
    stPatricks = 0,
    easter = 1,
    fireworks = 2,
    halloween = 3,
    harvest = 4,
    christmas = 5,
    newYear = 6,
    lunarNewYear = 7,
    midAutumn = 8,
    oshogatsu = 9,
    seollal = 10,
};

// Every theme in raw-value order; also the order QA mode rotates through.
inline constexpr std::array<HUDFestiveTheme, 11> kAllHUDFestiveThemes{
    HUDFestiveTheme::stPatricks, HUDFestiveTheme::easter,       HUDFestiveTheme::fireworks,
    HUDFestiveTheme::halloween,  HUDFestiveTheme::harvest,      HUDFestiveTheme::christmas,
    HUDFestiveTheme::newYear,    HUDFestiveTheme::lunarNewYear, HUDFestiveTheme::midAutumn,
    HUDFestiveTheme::oshogatsu,  HUDFestiveTheme::seollal,
};

constexpr int rawValue(HUDFestiveTheme theme) { return static_cast<int>(theme); }

// The theme of a raw value; any integer outside 0...10 gives none.
constexpr std::optional<HUDFestiveTheme> festiveThemeFromRawValue(int raw) {
    if (raw < 0 || raw >= static_cast<int>(kAllHUDFestiveThemes.size())) return std::nullopt;
    return kAllHUDFestiveThemes[static_cast<std::size_t>(raw)];
}

// One emoji (UTF-8) shown beside the festival in the status menu.
std::string menuEmoji(HUDFestiveTheme theme);

}  // namespace quillmar
