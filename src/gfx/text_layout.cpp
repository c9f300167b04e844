#include "gfx/text_layout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

#include "gfx/font_cjk_line_height.h"
#include "gfx/korean_word_keeping.h"
#include "gfx/pango_text.h"
#include "gfx/text_layout_single_line.h"

namespace quillmar::gfx {

struct TextLayout::Impl {
    std::string text;
    Font font;
    TextOptions options;
    double appliedSize = 13;
    PangoLayout* layout = nullptr;
    Size size;
    Point offset;  // logical rect origin inside the Pango layout
    double baseline = 0;
    int lines = 0;
    bool truncated = false;

    ~Impl() {
        if (layout) g_object_unref(layout);
    }
};

namespace {

double validSize(double s) { return std::isfinite(s) ? std::clamp(s, 0.5, 2048.0) : 13.0; }

// A font request with the faces it resolves to in the region the text is laid out for.
struct ResolvedFont {
    const Font& font;
    FontFaces faces;
};

void applyFont(PangoLayout* layout, const ResolvedFont& resolved, double size) {
    const Font& font = resolved.font;
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, resolved.faces.familyList.c_str());
    pango_font_description_set_weight(desc, static_cast<PangoWeight>(font.numericWeight()));
    pango_font_description_set_absolute_size(desc, size * PANGO_SCALE);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);

    PangoAttrList* attrs = pango_attr_list_new();
    if (font.monospacedDigits) pango_attr_list_insert(attrs, pango_attr_font_features_new("tnum 1"));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    fitCJKRunsToInterfaceLineHeight(layout, resolved.faces);
}

PangoRectangle logicalRect(PangoLayout* layout) {
    PangoRectangle ink, logical;
    pango_layout_get_extents(layout, &ink, &logical);
    return logical;
}

double widthOf(PangoLayout* layout) { return logicalRect(layout).width / double(PANGO_SCALE); }

constexpr const char* kEllipsis = "\u2026";

// Invalid UTF-8 is repaired rather than handed to Pango, which would warn and drop it.
std::string validUtf8(std::string text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
    gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string out = fixed;
    g_free(fixed);
    return out;
}

// Options with every value in its range: a bad width means none, a bad factor no shrinking.
TextOptions validOptions(TextOptions o) {
    if (o.maxWidth && !(std::isfinite(*o.maxWidth) && *o.maxWidth >= 0)) o.maxWidth.reset();
    if (!std::isfinite(o.minimumScaleFactor) || o.minimumScaleFactor <= 0) o.minimumScaleFactor = 1.0;
    o.minimumScaleFactor = std::min(1.0, o.minimumScaleFactor);
    if (!std::isfinite(o.lineSpacing)) o.lineSpacing = 0;
    if (o.lineLimit < 0) o.lineLimit = 0;
    return o;
}

// The text kept before a cut, followed by an ellipsis: white space at the cut is dropped, so the
// ellipsis follows the last word shown ("to…", not "to …").
std::string withEllipsis(std::string_view kept) {
    const char* begin = kept.data();
    const char* end = begin + kept.size();
    while (end > begin) {
        const char* last = g_utf8_find_prev_char(begin, end);
        if (!last || !g_unichar_isspace(g_utf8_get_char(last))) break;
        end = last;
    }
    return std::string(begin, end) + kEllipsis;
}

// What goes to layout, and whether lines of the text were left out of it.
struct ShownText {
    std::string text;
    bool cut = false;
};

ShownText shownText(const std::string& text, const TextOptions& o) {
    const bool singleLine = o.lineLimit == 1;
    ShownText shown;
    // A label that can only be one line goes to layout up to what a line can show.
    if (singleLine || (!o.maxWidth && text.find('\n') == std::string::npos)) {
        auto line = SingleLineText::of(text);
        shown.cut = line.cut;
        shown.text = line.cut ? withEllipsis(line.text) : std::move(line.text);
    } else {
        shown.text = text;
    }
    if (singleLine) {
        std::replace(shown.text.begin(), shown.text.end(), '\n', ' ');
    } else if (!o.maxWidth && o.lineLimit > 1) {
        // Without a width only explicit breaks make lines: keep the allowed ones.
        std::size_t pos = 0;
        for (int line = 0; line < o.lineLimit && pos != std::string::npos; ++line) {
            pos = shown.text.find('\n', pos);
            if (pos != std::string::npos && line + 1 < o.lineLimit) ++pos;
        }
        if (pos != std::string::npos) {
            shown.text = withEllipsis(std::string_view(shown.text).substr(0, pos));
            shown.cut = true;
        }
    }
    // Wrapped Korean breaks between words only.
    if (!singleLine && o.maxWidth) shown.text = keepKoreanWordsWhole(shown.text);
    return shown;
}

PangoLayout* newLayout(const std::string& shown, const TextOptions& o) {
    PangoLayout* layout = pango_layout_new(pangoTextContext());
    pango_layout_set_text(layout, shown.c_str(), static_cast<int>(shown.size()));
    switch (o.alignment) {
        case TextAlignment::leading: pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT); break;
        case TextAlignment::center: pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER); break;
        case TextAlignment::trailing: pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT); break;
    }
    pango_layout_set_spacing(layout, static_cast<int>(std::lround(o.lineSpacing * PANGO_SCALE)));
    return layout;
}

int pangoUnits(double width) { return static_cast<int>(std::clamp(width, 0.0, 1e6) * PANGO_SCALE); }

// Where the layout's ellipsis hides text: the byte offset of the first character left out.
std::optional<int> ellipsisStart(PangoLayout* layout) {
    for (GSList* l = pango_layout_get_lines_readonly(layout); l; l = l->next)
        for (GSList* r = static_cast<PangoLayoutLine*>(l->data)->runs; r; r = r->next) {
            const PangoItem* item = static_cast<const PangoGlyphItem*>(r->data)->item;
            if (item->analysis.flags & PANGO_ANALYSIS_FLAG_IS_ELLIPSIS) return item->offset;
        }
    return std::nullopt;
}

// A one-line text wider than its width shrinks as far as it may (`size`, from the font's), and
// what still overflows ends in an ellipsis. `cut`: the text was already cut before layout.
void fitOneLine(PangoLayout* layout, const ResolvedFont& font, const TextOptions& o, bool cut, double& size) {
    const double maxWidth = *o.maxWidth;
    // A cut line is wider than any width: it shrinks as far as it may.
    const double natural = cut ? INFINITY : widthOf(layout);
    if (natural > maxWidth && o.minimumScaleFactor < 1.0 && natural > 0) {
        size = validSize(size * std::max(o.minimumScaleFactor, maxWidth / natural));
        applyFont(layout, font, size);
        // Rounding in the shaper may leave the text a hair too wide; step down a little.
        const double smallest = validSize(font.font.size) * o.minimumScaleFactor;
        for (int i = 0; i < 4 && widthOf(layout) > maxWidth && size * 0.99 >= smallest; ++i) {
            size *= 0.99;
            applyFont(layout, font, size);
        }
    }
    if (widthOf(layout) > maxWidth) {
        pango_layout_set_width(layout, pangoUnits(maxWidth));
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
}

// Text wraps at its width and, with a line limit, ends in an ellipsis on its last line.
void wrapLines(PangoLayout* layout, const TextOptions& o, double size) {
    // Pango aborts the process when it must wrap at a width narrower than one glyph (mixed
    // scripts and combining marks make that reachable): wrapping never goes below two ems.
    const int floorPango = static_cast<int>(std::min(2 * size, 1e6) * PANGO_SCALE);
    pango_layout_set_width(layout, std::max(pangoUnits(*o.maxWidth), floorPango));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    if (o.lineLimit > 0) {
        pango_layout_set_height(layout, -o.lineLimit);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
}

// Pango's ellipsis follows white space when its cut falls after a space: the text is laid out
// again up to the last word shown with its ellipsis, which then fits. When the text was cut this
// way, gives the width Pango's own cut took, which the text keeps (what is laid out around it
// does not move).
std::optional<double> dropSpaceBeforeEllipsis(PangoLayout* layout, const ResolvedFont& font, double size) {
    std::optional<double> width;
    // Shaped with its text, the ellipsis may come out a hair wider; a few rounds settle it.
    for (int round = 0; round < 3; ++round) {
        const std::optional<int> start = ellipsisStart(layout);
        if (!start) break;
        const std::string shown = withEllipsis(std::string_view(pango_layout_get_text(layout)).substr(0, *start));
        if (shown.size() >= std::size_t(*start) + std::strlen(kEllipsis)) break;  // no white space there
        if (!width) width = widthOf(layout);
        pango_layout_set_text(layout, shown.c_str(), static_cast<int>(shown.size()));
        applyFont(layout, font, size);  // the CJK runs of the new text
    }
    return width;
}

}  // namespace

TextLayout::TextLayout(std::string text, const Font& font, const TextOptions& options)
    : impl_(std::make_shared<Impl>()) {
    Impl& m = *impl_;
    m.text = validUtf8(std::move(text));
    m.font = font;
    m.options = validOptions(options);
    const ShownText shown = shownText(m.text, m.options);
    m.layout = newLayout(shown.text, m.options);
    // The region is read once: the whole layout is in one CJK design.
    const ResolvedFont resolved{font, font.faces(fontRegion())};
    m.appliedSize = validSize(font.size);
    applyFont(m.layout, resolved, m.appliedSize);
    if (m.options.maxWidth && m.options.lineLimit == 1)
        fitOneLine(m.layout, resolved, m.options, shown.cut, m.appliedSize);
    else if (m.options.maxWidth)
        wrapLines(m.layout, m.options, m.appliedSize);
    const std::optional<double> cutAtSpace = dropSpaceBeforeEllipsis(m.layout, resolved, m.appliedSize);

    PangoRectangle logical = logicalRect(m.layout);
    double w = std::max(logical.width / double(PANGO_SCALE), cutAtSpace.value_or(0.0));
    if (m.options.maxWidth) w = std::min(w, *m.options.maxWidth);
    m.size = {w, logical.height / double(PANGO_SCALE)};
    m.offset = {logical.x / double(PANGO_SCALE), logical.y / double(PANGO_SCALE)};
    m.baseline = pango_layout_get_baseline(m.layout) / double(PANGO_SCALE) - m.offset.y;
    m.lines = pango_layout_get_line_count(m.layout);
    m.truncated = shown.cut || cutAtSpace.has_value() || pango_layout_is_ellipsized(m.layout);
}

TextLayout::~TextLayout() = default;
TextLayout::TextLayout(const TextLayout&) = default;
TextLayout& TextLayout::operator=(const TextLayout&) = default;
TextLayout::TextLayout(TextLayout&&) noexcept = default;
TextLayout& TextLayout::operator=(TextLayout&&) noexcept = default;

const std::string& TextLayout::text() const { return impl_->text; }
const Font& TextLayout::font() const { return impl_->font; }
double TextLayout::appliedFontSize() const { return impl_->appliedSize; }
const TextOptions& TextLayout::options() const { return impl_->options; }
Size TextLayout::size() const { return impl_->size; }
double TextLayout::firstBaseline() const { return impl_->baseline; }
int TextLayout::lineCount() const { return impl_->lines; }
bool TextLayout::isTruncated() const { return impl_->truncated; }
int TextLayout::missingGlyphCount() const { return pango_layout_get_unknown_glyphs_count(impl_->layout); }
void* TextLayout::pangoLayout() const { return impl_->layout; }
Point TextLayout::layoutOffset() const { return impl_->offset; }

}  // namespace quillmar::gfx
