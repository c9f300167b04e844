// CairoBackend: text, drawn by Pango through Cairo.

#include "gfx/cairo_backend.h"

#include <pango/pangocairo.h>

#include <cmath>

#include "gfx/cairo_backend_internal.h"
#include "gfx/text_layout.h"

namespace quillmar::gfx {

using namespace cairo_internal;

void CairoBackend::drawText(const TextLayout& layout, Point origin, const Shading& shading, const DrawState& state) {
    if (!origin.isFinite() || layout.text().empty()) return;
    Surface& s = top();
    cairo_t* cr = s.cr;
    AffineTransform t = deviceMatrix(state.transform);
    if (std::fabs(t.apply(origin).x) > kCoordLimit || std::fabs(t.apply(origin).y) > kCoordLimit) return;
    // Glyphs squeezed below a tenth of a pixel or blown up past the font engine's range are
    // not drawn (Cairo would fail on their matrices).
    double size = layout.appliedFontSize();
    double maxScale = t.maxScale(), minScale = std::fabs(t.determinant()) / std::max(maxScale, 1e-300);
    if (minScale * size < 0.1 || maxScale * size > 8192) return;
    // Glyphs may reach past the layout's box (overhangs, stacked marks): the clip is judged by
    // their ink, with a little to spare for hinting and antialiasing.
    bool hidden = false;
    const ClipMask* clip = nullptr;
    if (state.clips) {
        PangoRectangle ink;
        pango_layout_get_extents(static_cast<PangoLayout*>(layout.pangoLayout()), &ink, nullptr);
        const Point offset = layout.layoutOffset();
        const Rect inkRect{origin.x - offset.x + double(ink.x) / PANGO_SCALE, origin.y - offset.y + double(ink.y) / PANGO_SCALE,
                           double(ink.width) / PANGO_SCALE, double(ink.height) / PANGO_SCALE};
        clip = effectiveClip(state, t.apply(inkRect.insetBy(-2, -2)), hidden);
        if (hidden) return;
    }
    // Under a skewed or unevenly scaled matrix the font engine may fail on a glyph, and Cairo then
    // puts the whole target in its error state. Such text is drawn into a group of its own first:
    // a failure loses that text and nothing else.
    const bool unusual = t.b != 0 || t.c != 0 || std::fabs(t.a - t.d) > 1e-9 * std::fabs(t.a);
    cairo_save(cr);
    if (!clip || applyClips(cr, state)) {
        cairo_identity_matrix(cr);
        if (unusual) cairo_push_group(cr);
        if (setSource(cr, shading, state.opacity, t)) {
            cairo_matrix_t m = toCairo(t);
            cairo_set_matrix(cr, &m);
            Point offset = layout.layoutOffset();
            cairo_move_to(cr, origin.x - offset.x, origin.y - offset.y);
            pango_cairo_show_layout(cr, static_cast<PangoLayout*>(layout.pangoLayout()));
        }
        if (unusual) {
            cairo_pattern_t* group = cairo_pop_group(cr);
            if (cairo_status(cr) == CAIRO_STATUS_SUCCESS && cairo_pattern_status(group) == CAIRO_STATUS_SUCCESS) {
                cairo_set_source(cr, group);
                cairo_paint(cr);
            }
            cairo_pattern_destroy(group);
        }
    }
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS && cairo_surface_status(s.surface) == CAIRO_STATUS_SUCCESS) {
        // The text failed inside its group: the target is sound; carry on with a fresh context.
        cairo_destroy(s.cr);
        s.cr = cairo_create(s.surface);
        return;
    }
    cairo_restore(cr);
    check(s);
}

}  // namespace quillmar::gfx
