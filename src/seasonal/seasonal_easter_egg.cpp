#include "seasonal/seasonal_easter_egg.h"

#include <cmath>
#include <optional>

#include "festive_hud/festive_calendar.h"
#include "festive_hud/lunar_calendar.h"
#include "runtime/world.h"
#include "runtime/world_scoped_cache.h"

namespace quillmar {

namespace {

using T = ArtisanCanvasTheme;

struct CacheEntry {
    AppLanguage language;
    int year;
    int month;
    int day;
    SeasonalEasterEgg egg;
};

std::optional<CacheEntry>& cacheEntry() { return runtime::worldScopedCache<CacheEntry>(); }

SeasonalEasterEgg pinEgg(std::string title, PinMotif motif, T theme, double r, double g, double b) {
    return {std::move(title), EmblemStyle::enamelPin(motif), theme, gfx::Color(r, g, b, 1)};
}

SeasonalEasterEgg sealEgg(std::string title, std::vector<std::string> right, std::vector<std::string> left, T theme,
                          double r, double g, double b) {
    return {std::move(title), EmblemStyle::cjkCarvedSeal(std::move(right), std::move(left)), theme,
            gfx::Color(r, g, b, 1)};
}

// Whole days from a festival's noon to the noon date (negative before it); none when either
// is missing. Noon to noon is a whole number of days give or take a daylight-saving hour.
std::optional<long> daysFrom(const std::optional<double>& festival, double noonDate) {
    if (!festival || !std::isfinite(*festival) || !std::isfinite(noonDate)) return std::nullopt;
    const double days = std::round((noonDate - *festival) / 86400.0);
    if (std::fabs(days) > 1e6) return std::nullopt;
    return static_cast<long>(days);
}

bool inMonthDayWindow(int month, int day, int fromMonth, int fromDay, int toMonth, int toDay) {
    const int md = month * 100 + day;
    const int from = fromMonth * 100 + fromDay;
    const int to = toMonth * 100 + toDay;
    if (from <= to) return md >= from && md <= to;
    return md >= from || md <= to;  // a window across the turn of the year
}

}  // namespace

SeasonalEasterEgg SeasonalEasterEgg::forDate(double date, AppLanguage language) {
    const auto calendar = runtime::GregorianCalendar::current();
    const auto civil = calendar.components(date);
    const int year = civil ? civil->year : 2026;
    const int month = civil ? civil->month : 4;
    const int day = civil ? civil->day : 15;

    auto& entry = cacheEntry();
    if (entry && entry->language == language && entry->year == year && entry->month == month && entry->day == day)
        return entry->egg;

    const double noonDate = calendar.noon(date).value_or(date);
    SeasonalEasterEgg egg;
    switch (language) {
        case AppLanguage::ja:
        case AppLanguage::zhHans:
        case AppLanguage::zhHant:
        case AppLanguage::ko: egg = cjkSealEgg(language, noonDate, month, day, calendar); break;
        case AppLanguage::en:
        case AppLanguage::de: egg = westernEgg(language, noonDate, year, month, day, calendar); break;
    }
    entry = CacheEntry{language, year, month, day, egg};
    return egg;
}

SeasonalEasterEgg SeasonalEasterEgg::westernEgg(AppLanguage language, double noonDate, int year, int month, int day,
                                                const runtime::GregorianCalendar& calendar) {
    const bool german = language == AppLanguage::de;
    auto title = [german](const char* en, const char* de) { return std::string(german ? de : en); };

    if (inMonthDayWindow(month, day, 3, 9, 3, 18))
        return pinEgg("St. Patrick's", PinMotif::shamrock, T::stPatricksWindowSpectacle, 0.16, 0.84, 0.48);
    if (auto d = daysFrom(easterSunday(year, calendar), noonDate); d && *d >= -8 && *d <= 1)
        return pinEgg(title("Easter", "Ostern"), PinMotif::easterEgg, T::easterMeadow, 0.56, 0.86, 0.96);
    if (!german && inMonthDayWindow(month, day, 6, 26, 7, 6))
        return pinEgg("July 4th", PinMotif::fireworksStar, T::fireworksCelebration, 0.98, 0.78, 0.30);
    if (inMonthDayWindow(month, day, 10, 22, 11, 1))
        return pinEgg("Halloween", PinMotif::jackOLantern, T::halloweenSpectacle, 1.0, 0.54, 0.16);
    if (auto d = daysFrom(thanksgivingDay(year, calendar), noonDate); d && *d >= -8 && *d <= 3)
        return pinEgg(title("Thanksgiving", "Erntedank"), PinMotif::harvestAcorn, T::autumnHarvestOak, 0.96, 0.64,
                      0.22);
    if (inMonthDayWindow(month, day, 12, 15, 12, 25))
        return pinEgg(title("Christmas", "Weihnachten"), PinMotif::sleighBellOrnament, T::christmasSpectacle, 0.94,
                      0.28, 0.30);
    if (inMonthDayWindow(month, day, 12, 26, 1, 5))
        return pinEgg(title("New Year's", "Neujahr"), PinMotif::fireworksStar, T::fireworksCelebration, 1.0, 0.84,
                      0.40);
    if (month >= 3 && month <= 5)
        return pinEgg(title("Spring", "Frühling"), PinMotif::springBlossom, T::springMeadow, 0.52, 0.88, 0.66);
    if (month >= 6 && month <= 8)
        return pinEgg(title("Summer", "Sommer"), PinMotif::shootingStar, T::summerStarlight, 0.98, 0.84, 0.42);
    if (month >= 9 && month <= 11)
        return pinEgg(title("Autumn", "Herbst"), PinMotif::harvestAcorn, T::autumnHarvestOak, 0.96, 0.62, 0.24);
    return pinEgg("Winter", PinMotif::winterSnowflake, T::winterAuroraHearth, 0.58, 0.82, 0.98);
}

SeasonalEasterEgg SeasonalEasterEgg::cjkSealEgg(AppLanguage language, double noonDate, int month, int day,
                                                const runtime::GregorianCalendar& calendar) {
    const auto& lunar = LunarCalendar::shared();
    const std::string& zone = calendar.timeZone();
    const auto today = lunar.lunarDateFor(language, noonDate, zone);

    auto isLunarNewYearWindow = [&] {
        if (today && today->month == 1 && !today->isLeapMonth && today->day >= 1 && today->day <= 15) return true;
        // Eight days ahead of the new year the window is already open.
        for (int ahead = 1; ahead <= 8; ++ahead) {
            const auto later = calendar.addingDays(noonDate, ahead);
            if (!later) continue;
            const auto l = lunar.lunarDateFor(language, *later, zone);
            if (l && l->month == 1 && l->day == 1 && !l->isLeapMonth) return true;
        }
        return false;
    };
    auto isMoonWindow = [&] { return today && today->month == 8 && !today->isLeapMonth && today->day >= 8 && today->day <= 17; };

    enum Entry { newYear, moon, spring, summer, autumn, winter };
    const Entry season = (month >= 3 && month <= 5)    ? spring
                         : (month >= 6 && month <= 8)  ? summer
                         : (month >= 9 && month <= 11) ? autumn
                                                       : winter;
    const bool gregorianNewYear = (month == 1 && day >= 1 && day <= 7) || (month == 12 && day >= 26);
    const bool japaneseNewYear = (month == 1 && day >= 1 && day <= 15) || (month == 12 && day >= 26);

    Entry entry = season;
    switch (language) {
        case AppLanguage::ja:
            entry = japaneseNewYear ? newYear : isMoonWindow() ? moon : season;
            break;
        case AppLanguage::zhHans:
        case AppLanguage::zhHant:
            entry = isLunarNewYearWindow() ? newYear : isMoonWindow() ? moon : season;
            break;
        default:  // Korean, and any language routed here by mistake
            entry = (isLunarNewYearWindow() || gregorianNewYear) ? newYear : isMoonWindow() ? moon : season;
            break;
    }

    switch (language) {
        case AppLanguage::ja:
            switch (entry) {
                case newYear: return sealEgg("初春の寿ぎ · 新春万福", {"新", "春"}, {"万", "福"}, T::kyotoWinterPlum, 0.96, 0.42, 0.52);
                case moon: return sealEgg("十五夜 · 秋月円満", {"秋", "月"}, {"円", "満"}, T::harvestMoonOsmanthus, 1.0, 0.82, 0.36);
                case spring: return sealEgg("春風招福 · 桜花の寿ぎ", {"春", "風"}, {"招", "福"}, T::kyotoSpringSakura, 1.0, 0.58, 0.74);
                case summer: return sealEgg("清風安寧 · 涼夏の祈り", {"清", "風"}, {"安", "寧"}, T::kyotoSummerAoMomiji, 0.40, 0.88, 0.60);
                case autumn: return sealEgg("錦秋吉祥 · 実りの寿ぎ", {"錦", "秋"}, {"吉", "祥"}, T::kyotoAutumnMomiji, 1.0, 0.50, 0.26);
                case winter: return sealEgg("寒梅瑞雪 · 福寿の祈り", {"瑞", "雪"}, {"福", "寿"}, T::kyotoWinterPlum, 0.96, 0.42, 0.52);
            }
            break;
        case AppLanguage::zhHans:
            switch (entry) {
                case newYear: return sealEgg("新春大吉 · 万事如意", {"新", "春"}, {"大", "吉"}, T::lunarNewYearSpectacle, 1.0, 0.80, 0.28);
                case moon: return sealEgg("花好月圆 · 阖家团圆", {"花", "好"}, {"月", "圆"}, T::harvestMoonOsmanthus, 1.0, 0.82, 0.36);
                case spring: return sealEgg("春风送暖 · 万事顺遂", {"春", "祺"}, {"如", "意"}, T::kyotoSpringSakura, 1.0, 0.58, 0.74);
                case summer: return sealEgg("清荷流金 · 夏日安康", {"清", "夏"}, {"安", "康"}, T::summerJadeLotus, 0.42, 0.85, 0.70);
                case autumn: return sealEgg("金秋送爽 · 顺遂吉祥", {"金", "秋"}, {"吉", "祥"}, T::kyotoAutumnMomiji, 1.0, 0.50, 0.26);
                case winter: return sealEgg("瑞雪寒梅 · 五福临门", {"梅", "开"}, {"五", "福"}, T::kyotoWinterPlum, 0.96, 0.42, 0.52);
            }
            break;
        case AppLanguage::zhHant:
            switch (entry) {
                case newYear: return sealEgg("新春大吉 · 萬事如意", {"新", "春"}, {"大", "吉"}, T::lunarNewYearSpectacle, 1.0, 0.80, 0.28);
                case moon: return sealEgg("花好月圓 · 闔家團圓", {"花", "好"}, {"月", "圓"}, T::harvestMoonOsmanthus, 1.0, 0.82, 0.36);
                case spring: return sealEgg("春風送暖 · 萬事順遂", {"春", "祺"}, {"如", "意"}, T::kyotoSpringSakura, 1.0, 0.58, 0.74);
                case summer: return sealEgg("清荷流金 · 夏日安康", {"清", "夏"}, {"安", "康"}, T::summerJadeLotus, 0.42, 0.85, 0.70);
                case autumn: return sealEgg("金秋送爽 · 順遂吉祥", {"金", "秋"}, {"吉", "祥"}, T::kyotoAutumnMomiji, 1.0, 0.50, 0.26);
                case winter: return sealEgg("瑞雪寒梅 · 五福臨門", {"梅", "開"}, {"五", "福"}, T::kyotoWinterPlum, 0.96, 0.42, 0.52);
            }
            break;
        default:
            break;
    }
    switch (entry) {  // Korean
        case newYear: return sealEgg("새해 축복 · 만사형통", {"만", "사"}, {"형", "통"}, T::koreanCranesGeumbak, 0.48, 0.84, 0.80);
        case moon: return sealEgg("풍요로운 한가위 · 만월다복", {"만", "월"}, {"다", "복"}, T::harvestMoonOsmanthus, 1.0, 0.82, 0.36);
        case spring: return sealEgg("따스한 봄날 · 춘풍만복", {"춘", "풍"}, {"만", "복"}, T::kyotoSpringSakura, 1.0, 0.58, 0.74);
        case summer: return sealEgg("청량한 여름 · 수복강녕", {"수", "복"}, {"강", "녕"}, T::kyotoSummerAoMomiji, 0.40, 0.88, 0.60);
        case autumn: return sealEgg("결실의 가을 · 만복운흥", {"만", "복"}, {"운", "흥"}, T::kyotoAutumnMomiji, 1.0, 0.50, 0.26);
        case winter: break;
    }
    return sealEgg("평안한 겨울 · 소원성취", {"소", "원"}, {"성", "취"}, T::kyotoWinterPlum, 0.96, 0.42, 0.52);
}

const std::vector<SeasonalEasterEgg>& SeasonalEasterEgg::qaRotation() {
    static const std::vector<SeasonalEasterEgg> rotation = {
        pinEgg("1/17 · St. Patrick's", PinMotif::shamrock, T::stPatricksWindowSpectacle, 0.16, 0.84, 0.48),
        pinEgg("2/17 · Halloween", PinMotif::jackOLantern, T::halloweenSpectacle, 0.99, 0.54, 0.16),
        pinEgg("3/17 · Christmas", PinMotif::sleighBellOrnament, T::christmasSpectacle, 0.94, 0.28, 0.30),
        pinEgg("4/17 · July 4th / NYE", PinMotif::fireworksStar, T::fireworksCelebration, 0.98, 0.78, 0.30),
        pinEgg("5/17 · Easter", PinMotif::easterEgg, T::easterMeadow, 0.56, 0.86, 0.96),
        pinEgg("6/17 · Thanksgiving", PinMotif::harvestAcorn, T::autumnHarvestOak, 0.96, 0.64, 0.22),
        pinEgg("7/17 · Spring", PinMotif::springBlossom, T::springMeadow, 0.52, 0.88, 0.66),
        pinEgg("8/17 · Summer", PinMotif::shootingStar, T::summerStarlight, 0.98, 0.84, 0.42),
        pinEgg("9/17 · Winter", PinMotif::winterSnowflake, T::winterAuroraHearth, 0.58, 0.82, 0.98),
        sealEgg("10/17 · 新春大吉 · 万事如意", {"新", "春"}, {"大", "吉"}, T::lunarNewYearSpectacle, 1.0, 0.80, 0.28),
        sealEgg("11/17 · 錦秋吉祥 · 実りの寿ぎ", {"錦", "秋"}, {"吉", "祥"}, T::kyotoAutumnMomiji, 1.0, 0.50, 0.26),
        sealEgg("12/17 · 春風招福 · 桜花の寿ぎ", {"春", "風"}, {"招", "福"}, T::kyotoSpringSakura, 1.0, 0.58, 0.74),
        sealEgg("13/17 · 清風安寧 · 涼夏の祈り", {"清", "風"}, {"安", "寧"}, T::kyotoSummerAoMomiji, 0.40, 0.88, 0.60),
        sealEgg("14/17 · 새해 축복 · 만사형통", {"만", "사"}, {"형", "통"}, T::koreanCranesGeumbak, 0.48, 0.84, 0.80),
        sealEgg("15/17 · 清荷流金 · 夏日安康", {"清", "夏"}, {"安", "康"}, T::summerJadeLotus, 0.42, 0.85, 0.70),
        sealEgg("16/17 · 花好月圓 · 闔家團圓", {"花", "好"}, {"月", "圓"}, T::harvestMoonOsmanthus, 1.0, 0.82, 0.36),
        sealEgg("17/17 · 初春の寿ぎ · 新春万福", {"新", "春"}, {"万", "福"}, T::kyotoWinterPlum, 0.96, 0.42, 0.52),
    };
    return rotation;
}

}  // namespace quillmar
