#include "gfx/font_cjk_line_height.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gfx/font.h"

namespace quillmar::gfx {

namespace {

std::string runFamily(const PangoGlyphItem* run) {
    PangoFontDescription* desc = pango_font_describe(run->item->analysis.font);
    const char* family = pango_font_description_get_family(desc);
    std::string name = family ? family : "";
    pango_font_description_free(desc);
    return name;
}

// Ascent plus descent of `face` at the layout's font, in Pango units.
int lineHeightOf(PangoLayout* layout, const std::string& face) {
    PangoFontDescription* desc = pango_font_description_copy(pango_layout_get_font_description(layout));
    pango_font_description_set_family(desc, face.c_str());
    PangoFontMetrics* metrics = pango_context_get_metrics(pango_layout_get_context(layout), desc, nullptr);
    const int height = pango_font_metrics_get_ascent(metrics) + pango_font_metrics_get_descent(metrics);
    pango_font_metrics_unref(metrics);
    pango_font_description_free(desc);
    return height;
}

}  // namespace

void fitCJKRunsToInterfaceLineHeight(PangoLayout* layout, const FontFaces& faces) {
    if (!layout || faces.cjkFace.empty() || faces.lineBoxFace.empty()) return;
    // Han, Kana and Hangul lie above U+0800, where UTF-8 lead bytes are 0xE0 and up: text without
    // such a byte is not laid out here a first time.
    const std::string_view text = pango_layout_get_text(layout);
    if (std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xE0; })) return;
    std::vector<std::pair<int, int>> ranges;  // byte offset and length of each run in the CJK face
    for (GSList* l = pango_layout_get_lines_readonly(layout); l; l = l->next)
        for (GSList* r = static_cast<PangoLayoutLine*>(l->data)->runs; r; r = r->next) {
            const auto* run = static_cast<const PangoGlyphItem*>(r->data);
            if (runFamily(run) == faces.cjkFace) ranges.emplace_back(run->item->offset, run->item->length);
        }
    if (ranges.empty()) return;

    const int height = lineHeightOf(layout, faces.lineBoxFace);
    if (height <= 0) return;
    PangoAttrList* existing = pango_layout_get_attributes(layout);
    PangoAttrList* attrs = existing ? pango_attr_list_copy(existing) : pango_attr_list_new();
    for (const auto& [start, length] : ranges) {
        PangoAttribute* a = pango_attr_line_height_new_absolute(height);
        a->start_index = static_cast<guint>(start);
        a->end_index = static_cast<guint>(start + length);
        pango_attr_list_insert(attrs, a);
    }
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
}

}  // namespace quillmar::gfx
