#include "settings_ui/keycap_badge.h"

#include <memory>

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "ui/ui.h"

namespace quillmar {

using ui::Color;

std::size_t KeycapBadge::graphemeCount(std::string_view text) {
    if (text.empty()) return 0;
    const icu::UnicodeString s = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) return static_cast<std::size_t>(s.countChar32());
    it->setText(s);
    std::size_t count = 0;
    for (int32_t p = it->next(); p != icu::BreakIterator::DONE; p = it->next()) ++count;
    return count;
}

double KeycapBadge::labelFontSize(std::string_view label) { return graphemeCount(label) < 2 ? 11.5 : 10.5; }

ui::View KeycapBadge::body() const {
    const bool dark = palette.isDark;
    const auto shape = ui::RoundedRectangle(5.5);
    gfx::StrokeStyle rim;
    rim.lineWidth = 0.85;

    ui::View glyph = ui::EmptyView();
    if (symbol) {
        glyph = ui::Image::systemName(*symbol)
                    .font(gfx::Font::system(10, gfx::FontWeight::semibold))
                    .foregroundStyle(ui::ShapeStyle::primary());
    } else if (label) {
        glyph = ui::Text(*label)
                    .font(gfx::Font::system(labelFontSize(*label), gfx::FontWeight::semibold, gfx::FontDesign::rounded))
                    .foregroundStyle(ui::ShapeStyle::primary());
    }
    return ui::ZStack({shape.fill(dark ? Color::whiteColor().opacity(0.075) : Color::whiteColor())
                           .shadow(Color::black().opacity(dark ? 0.35 : 0.1), 1, 0, 1.5),
                       shape.strokeBorder(dark ? Color::whiteColor().opacity(0.12) : Color::black().opacity(0.11), rim),
                       glyph.named("keycapGlyph")})
        .frame(width, 22)
        .named("keycapBadge");
}

}  // namespace quillmar
