#pragma once
// The seventeen easter-egg scenes of the About card. The raw values are fixed: the canvas views
// choose their renderer by them and QA mode walks them in this order. The first nine are the
// Western scenes drawn by this folder; 9-16 are drawn by the seasonal card itself.

namespace quillmar {

enum class ArtisanCanvasTheme : int {
    stPatricksWindowSpectacle = 0,
    easterMeadow = 1,
    fireworksCelebration = 2,
    halloweenSpectacle = 3,
    autumnHarvestOak = 4,
    christmasSpectacle = 5,
    springMeadow = 6,
    summerStarlight = 7,
    winterAuroraHearth = 8,
    lunarNewYearSpectacle = 9,
    summerJadeLotus = 10,
    koreanCranesGeumbak = 11,
    harvestMoonOsmanthus = 12,
    kyotoSpringSakura = 13,
    kyotoSummerAoMomiji = 14,
    kyotoAutumnMomiji = 15,
    kyotoWinterPlum = 16,
};

inline constexpr int kArtisanCanvasThemeCount = 17;

}  // namespace quillmar
