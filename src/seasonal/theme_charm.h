#pragma once
// The small charm of each scene theme (a star, a petal, a leaf, a coin, a snow crystal), drawn
// centred on the context's origin within about `size` points. The caller has already moved,
// turned, scaled and faded the context; the charm never does. `index` is the charm's number in
// its caller's loop (several themes alternate their charm by it) and `phase` (0...1) a twinkle
// or bloom value that some charms brighten or glint with.
//
// The icon hint floats one charm off the app icon and throws charms among its tap-burst shards;
// the dissolve lets sixteen (eleven for the lunar new year) drift over its scene.

#include "gfx/color.h"
#include "gfx/graphics_context.h"
#include "seasonal/scenes/artisan_canvas_theme.h"

namespace quillmar {

void drawThemeCharm(gfx::GraphicsContext& context, ArtisanCanvasTheme theme, int index, bool isDark, double size,
                    double phase);

// The charm shapes of the East Asian themes, each centred on the origin and scaled by s.
gfx::Path cherryPetalPath(double s);
gfx::Path mapleLeafPath(double s);
gfx::Path fanLeafPath(double s);
gfx::Path lensLeafPath(double s);
// Four round petals on the diagonals and an orange heart.
void drawOsmanthusBlossom(gfx::GraphicsContext& context, double s, bool isDark);
// Three strokes through the centre at 60° steps.
void drawSnowCrystal(gfx::GraphicsContext& context, double s, bool isDark);
// The petal colour of the Kyoto spring charm, cycling with the index.
gfx::Color blossomColor(bool isDark, int index);

}  // namespace quillmar
