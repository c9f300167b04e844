// The St Patrick's evening over the whole settings window: a green wash and a gold glow, rising
// lantern lights, sparkles from the About card's emblem, the rainbow landing in a pot of gold,
// coins thrown out of the pot, drifting clovers, a traced trefoil, music notes and twinkling stars.

#include <cmath>

#include "seasonal/scenes/coin_flight.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/smootherstep.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "seasonal/scenes/stpat_clovers.h"
#include "seasonal/scenes/stpat_coin.h"
#include "seasonal/scenes/stpat_flourishes.h"
#include "seasonal/scenes/stpat_palette.h"
#include "seasonal/scenes/stpat_pot_of_gold.h"
#include "seasonal/scenes/stpat_rainbow.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Gradient;
using gfx::Path;
using gfx::Shading;

constexpr double kPotX = 404, kPotY = 522, kLanding = 0.32;

void drawIntro(gfx::GraphicsContext& ctx, const StpatPalette& palette, bool isDark, double w, double h, double p,
               double fade) {
    const double a = smootherstep(0, 1, p / 0.16) * fade;
    if (!(a > 0.005)) return;
    ctx.fill(Path::rect({0, 0, w, h}),
             Shading::linearGradient(Gradient::withStops({{Color::clear(), 0},
                                                          {Color::clear(), 0.3},
                                                          {palette.emeraldDeep.opacity(a * (isDark ? 0.26 : 0.13)), 1}}),
                                     {0, 0}, {0, h}));
    const double s = smootherstep(0.12, 0.32, p);
    const double glow = ((0.3 * std::sin(46 * p) + 0.7) * 0.3 * s + 0.08) * a * (isDark ? 1 : 0.72);
    const double r = 140 + 60 * s;
    ctx.fill(Path::circle({404, 492}, r),
             Shading::radialGradient(
                 Gradient::colors({palette.gold.opacity(glow), palette.emerald.opacity(0.35 * glow), Color::clear()}),
                 {404, 492}, 4, r));
}

void drawLanternLights(gfx::GraphicsContext& ctx, const StpatPalette& palette, bool isDark, double w, double h,
                       double p, double fade) {
    for (int i = 0; i <= 6; ++i) {
        const double u1 = spectacleUnit(307 + i * 29);
        const double u2 = spectacleUnit(301 + i * 17);
        const double u3 = spectacleUnit(311 + i * 41);
        const double start = 0.03 + 0.1 * u2;
        const double a = smootherstep(start, start + 0.18, p) * fade;
        if (!(a > 0.01)) continue;
        const double opacity = (0.4 * std::sin(1.9 * i + 7 * p) + 0.6) * a * (isDark ? 0.3 : 0.15);
        const gfx::Point centre{24 + u2 * (w - 48), 0.66 * h + 0.3 * h * u1 - 16 * p};
        const double radius = 12 + 16 * u3;
        ctx.fill(Path::circle(centre, radius),
                 Shading::radialGradient(Gradient::colors({palette.lantern.opacity(opacity),
                                                           palette.lantern.opacity(0.42 * opacity), Color::clear()}),
                                         centre, 0, radius));
    }
}

void drawThrownCoins(gfx::GraphicsContext& ctx, const StpatPalette& palette, double p, double fade,
                     PointerWake& wake) {
    for (int i = 0; i <= 15; ++i) {
        const double u = spectacleUnit(601 + i * 23);
        const double start = 0.32 + 0.017 * i + 0.014 * u;
        const double t = (p - start) / 0.54;
        if (!(t > 0 && t < 1)) continue;
        const CoinFlightState c = coinFlight(t, i, 404, 488, 566);
        const double env = smootherstep(0, 1, t / 0.05) * (1 - smootherstep(0, 1, (t - 0.8) / 0.2)) * fade;
        if (!(env > 0.01)) continue;
        const WakeDisplacement wd = wake.cursorWakeDisplacement(c.x, c.y, 0, 0, 28, 0.45);
        const double k = 1 - 0.66 * c.flatness;

        // The squash pivots about the coin's bottom edge.
        gfx::GraphicsContext squashed = ctx;
        squashed.translateBy(c.x + wd.dx, c.y + wd.dy + 5.6 * k);
        squashed.scaleBy(1 + 0.32 * c.squash, 1 - 0.42 * c.squash);
        squashed.translateBy(0, -5.6 * k);
        gfx::GraphicsContext coin = squashed;
        coin.opacity *= env;
        coin.rotateBy(c.tilt + 0.3 * wd.spin);
        drawSpinningCoin(coin, 5.6, c.flipPhase + 0.5 * wd.spin, k, 1 - 0.5 * c.flatness, palette);
    }
}

}  // namespace

void drawStPatricksWindowSpectacle(gfx::GraphicsContext& context, bool isDark, double width, double height,
                                   double progress) {
    if (!spectacleFrameIsDrawable(width, height, progress)) return;
    const double p = progress;
    const StpatPalette palette = StpatPalette::forAppearance(isDark);
    const double fade = 1 - smootherstep(0.86, 0.98, p);
    PointerWake& wake = PointerWake::shared();
    const gfx::Point emblem{wake.aboutCardOriginInWindow.x + 36, wake.aboutCardOriginInWindow.y + 36};

    drawIntro(context, palette, isDark, width, height, p, fade);
    drawLanternLights(context, palette, isDark, width, height, p, fade);
    drawStPatricksEmblemSparkles(context, p, palette, emblem.x, emblem.y);
    drawStPatricksRainbow(context, p, palette, isDark);
    drawRainbowSlidingCoins(context, p, palette, fade);
    drawPotOfGold(context, p, palette, isDark, kPotX, kPotY, kLanding);
    drawThrownCoins(context, palette, p, fade, wake);
    drawDriftingClovers(context, p, palette, fade);
    drawTrefoilTrace(context, p, palette, isDark, width - 45, emblem.y);
    drawMusicNotes(context, height, p, palette, isDark, fade);
    drawRainbowTwinkles(context, p, palette, isDark, fade, kPotX, kPotY);
}

}  // namespace quillmar
