#include "gfx/text_layout.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

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

void applyFont(PangoLayout* layout, const Font& font, double size) {
    PangoFontDescription* desc = pango_font_description_new();
    std::string families = font.familyList();
    pango_font_description_set_family(desc, families.c_str());
    pango_font_description_set_weight(desc, static_cast<PangoWeight>(font.numericWeight()));
    pango_font_description_set_absolute_size(desc, size * PANGO_SCALE);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);

    PangoAttrList* attrs = pango_attr_list_new();
    if (font.monospacedDigits) pango_attr_list_insert(attrs, pango_attr_font_features_new("tnum 1"));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    fitCJKRunsToInterfaceLineHeight(layout, font);
}

PangoRectangle logicalRect(PangoLayout* layout) {
    PangoRectangle ink, logical;
    pango_layout_get_extents(layout, &ink, &logical);
    return logical;
}

double widthOf(PangoLayout* layout) { return logicalRect(layout).width / double(PANGO_SCALE); }

}  // namespace

TextLayout::TextLayout(std::string text, const Font& font, const TextOptions& options)
    : impl_(std::make_shared<Impl>()) {
    Impl& m = *impl_;
    // Invalid UTF-8 is repaired rather than handed to Pango, which would warn and drop it.
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
        text = fixed;
        g_free(fixed);
    }
    m.text = std::move(text);
    m.font = font;
    m.options = options;
    if (m.options.maxWidth && !(std::isfinite(*m.options.maxWidth) && *m.options.maxWidth >= 0))
        m.options.maxWidth.reset();
    if (!std::isfinite(m.options.minimumScaleFactor) || m.options.minimumScaleFactor <= 0)
        m.options.minimumScaleFactor = 1.0;
    m.options.minimumScaleFactor = std::min(1.0, m.options.minimumScaleFactor);
    if (!std::isfinite(m.options.lineSpacing)) m.options.lineSpacing = 0;
    if (m.options.lineLimit < 0) m.options.lineLimit = 0;

    const bool singleLine = m.options.lineLimit == 1;
    // A label that can only be one line goes to layout up to what a line can show.
    const bool oneLine = singleLine || (!m.options.maxWidth && m.text.find('\n') == std::string::npos);
    std::string shown;
    bool cutLines = false, cutLine = false;
    if (oneLine) {
        auto line = SingleLineText::of(m.text);
        shown = std::move(line.text);
        if ((cutLine = line.cut)) shown += "\u2026";
    } else {
        shown = m.text;
    }
    if (singleLine) {
        std::replace(shown.begin(), shown.end(), '\n', ' ');
    } else if (!m.options.maxWidth && m.options.lineLimit > 1) {
        // Without a width only explicit breaks make lines: keep the allowed ones.
        std::size_t pos = 0;
        for (int line = 0; line < m.options.lineLimit && pos != std::string::npos; ++line) {
            pos = shown.find('\n', pos);
            if (pos != std::string::npos && line + 1 < m.options.lineLimit) ++pos;
        }
        if (pos != std::string::npos) {
            shown = shown.substr(0, pos) + "\u2026";
            cutLines = true;
        }
    }

    // Wrapped Korean breaks between words only.
    if (!singleLine && m.options.maxWidth) shown = keepKoreanWordsWhole(shown);

    m.layout = pango_layout_new(pangoTextContext());
    pango_layout_set_text(m.layout, shown.c_str(), static_cast<int>(shown.size()));
    switch (m.options.alignment) {
        case TextAlignment::leading: pango_layout_set_alignment(m.layout, PANGO_ALIGN_LEFT); break;
        case TextAlignment::center: pango_layout_set_alignment(m.layout, PANGO_ALIGN_CENTER); break;
        case TextAlignment::trailing: pango_layout_set_alignment(m.layout, PANGO_ALIGN_RIGHT); break;
    }
    pango_layout_set_spacing(m.layout, static_cast<int>(std::lround(m.options.lineSpacing * PANGO_SCALE)));

    m.appliedSize = validSize(font.size);
    applyFont(m.layout, font, m.appliedSize);

    const int maxWidthPango =
        m.options.maxWidth ? static_cast<int>(std::clamp(*m.options.maxWidth, 0.0, 1e6) * PANGO_SCALE) : -1;
    if (singleLine) {
        if (m.options.maxWidth) {
            // A cut line is wider than any width: it shrinks as far as it may.
            const double natural = cutLine ? INFINITY : widthOf(m.layout);
            if (natural > *m.options.maxWidth && m.options.minimumScaleFactor < 1.0 && natural > 0) {
                double scale = std::max(m.options.minimumScaleFactor, *m.options.maxWidth / natural);
                m.appliedSize = validSize(m.appliedSize * scale);
                applyFont(m.layout, font, m.appliedSize);
                // Rounding in the shaper may leave the text a hair too wide; step down a little.
                for (int i = 0; i < 4 && widthOf(m.layout) > *m.options.maxWidth &&
                                m.appliedSize * 0.99 >= validSize(font.size) * m.options.minimumScaleFactor;
                     ++i) {
                    m.appliedSize *= 0.99;
                    applyFont(m.layout, font, m.appliedSize);
                }
            }
            if (widthOf(m.layout) > *m.options.maxWidth) {
                pango_layout_set_width(m.layout, maxWidthPango);
                pango_layout_set_ellipsize(m.layout, PANGO_ELLIPSIZE_END);
            }
        }
    } else if (m.options.maxWidth) {
        // Pango aborts the process when it must wrap at a width narrower than one glyph (mixed
        // scripts and combining marks make that reachable): wrapping never goes below two ems.
        const int floorPango = static_cast<int>(std::min(2 * m.appliedSize, 1e6) * PANGO_SCALE);
        pango_layout_set_width(m.layout, std::max(maxWidthPango, floorPango));
        pango_layout_set_wrap(m.layout, PANGO_WRAP_WORD_CHAR);
        if (m.options.lineLimit > 0) {
            pango_layout_set_height(m.layout, -m.options.lineLimit);
            pango_layout_set_ellipsize(m.layout, PANGO_ELLIPSIZE_END);
        }
    }

    PangoRectangle logical = logicalRect(m.layout);
    double w = logical.width / double(PANGO_SCALE);
    if (m.options.maxWidth) w = std::min(w, *m.options.maxWidth);
    m.size = {w, logical.height / double(PANGO_SCALE)};
    m.offset = {logical.x / double(PANGO_SCALE), logical.y / double(PANGO_SCALE)};
    m.baseline = pango_layout_get_baseline(m.layout) / double(PANGO_SCALE) - m.offset.y;
    m.lines = pango_layout_get_line_count(m.layout);
    m.truncated = cutLines || cutLine || pango_layout_is_ellipsized(m.layout);
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
