#include "gfx/pango_text.h"

#include <pango/pangocairo.h>

namespace quillmar::gfx {

PangoContext* pangoTextContext() {
    // Per thread, like Pango's default font map; in practice only the main thread draws text.
    thread_local PangoContext* context = [] {
        PangoFontMap* map = pango_cairo_font_map_get_default();
        PangoContext* ctx = pango_font_map_create_context(map);
        pango_cairo_context_set_resolution(ctx, 72.0);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(ctx, options);
        cairo_font_options_destroy(options);
        // Unhinted metrics are only linear in the size when glyphs keep their fractional
        // positions; rounded to whole points, a short label at 10 points came out 5% too wide.
        pango_context_set_round_glyph_positions(ctx, FALSE);
        return ctx;
    }();
    return context;
}

}  // namespace quillmar::gfx
