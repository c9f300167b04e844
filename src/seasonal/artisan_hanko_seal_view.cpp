#include "seasonal/artisan_hanko_seal_view.h"

#include <cmath>
#include <numbers>

#include "ui/canvas.h"
#include "ui/shape.h"
#include "ui/stack_views.h"
#include "ui/text_view.h"

namespace quillmar {

namespace {

ui::View column(const std::vector<std::string>& characters, const gfx::Color& ink) {
    ui::ViewList texts;
    texts.reserve(characters.size());
    for (std::size_t i = 0; i < characters.size(); ++i)
        texts.push_back(ui::Text(characters[i]).id(ui::Id(static_cast<int>(i))));
    return ui::VStack(ui::HorizontalAlignment::center, 1, std::move(texts))
        .font(gfx::Font::system(10.5, gfx::FontWeight::bold, gfx::FontDesign::serif))
        .foregroundColor(ink);
}

}  // namespace

gfx::Color ArtisanHankoSealView::inkColor(bool isDark) {
    return isDark ? gfx::Color(0.93, 0.25, 0.20) : gfx::Color(0.78, 0.16, 0.14);
}

double ArtisanHankoSealView::stampScale(std::optional<double> stampProgress) {
    if (!stampProgress || !std::isfinite(*stampProgress) || *stampProgress >= 0.15) return 1.0;
    const double p = std::max(*stampProgress, 0.0);
    return 1.15 - 0.15 * std::sin(std::numbers::pi * p / 0.3);
}

void ArtisanHankoSealView::renderBorder(gfx::GraphicsContext& context, ui::Size size, bool isDark) {
    const double w = size.width;
    const double h = size.height;
    if (!(w > 6 && h > 6) || !size.isFinite()) return;
    const gfx::Color ink = inkColor(isDark);
    const gfx::Rect outer{0.7, 0.7, w - 1.4, h - 1.4};
    gfx::StrokeStyle dashed;
    dashed.lineWidth = 1.35;
    dashed.lineCap = gfx::LineCap::round;
    dashed.lineJoin = gfx::LineJoin::miter;
    dashed.miterLimit = 10;
    dashed.dash = {27, 1.8, 38, 1.5, 44, 1.6};
    context.stroke(gfx::Path::roundedRect(outer, 4.2), ink.opacity(0.9), dashed);
    const gfx::Rect inner{outer.x + 1.8, outer.y + 1.8, outer.width - 3.6, outer.height - 3.6};
    context.stroke(gfx::Path::roundedRect(inner, 2.8), ink.opacity(0.28), 0.5);
}

ui::View ArtisanHankoSealView::body() const {
    const gfx::Color ink = inkColor(isDark);
    const bool dark = isDark;
    const ui::View seal =
        ui::HStack(ui::VerticalAlignment::center, 2.5,
                   {column(leftColumn, ink), ui::Rectangle().fill(ink.opacity(0.42)).frame(0.6, 26),
                    column(rightColumn, ink)})
            .padding(EdgeInsets{4, 5, 4, 5})
            .frame(34, 42)
            .background(ui::RoundedRectangle(4.5).fill(ink.opacity(dark ? 0.11 : 0.075)))
            .overlay(ui::Canvas([dark](gfx::GraphicsContext& c, ui::Size s) { renderBorder(c, s, dark); }));
    const ui::View dot = ui::Circle().fill(gfx::Color(1.0, 0.86, 0.40)).frame(3.5, 3.5).offset(-2.5, 2.5).opacity(0.88);
    return ui::ZStack(ui::Alignment::topTrailing(), {seal, dot})
        .scaleEffect(stampScale(stampProgress))
        .opacity(0.94)
        .shadow(ink.opacity(0.188), 4, 0, 1.5);
}

}  // namespace quillmar
