#include "switcher/cmd_tab_item_view.h"

#include <algorithm>
#include <cmath>

#include "switcher/app_icon_image_cache.h"
#include "switcher/round_half_away_from_zero.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

ui::View targetIconView(const SwitchTarget& target) {
    const platform::AppIconRef& icon = target.appIcon;
    if (!icon || icon->width <= 0 || icon->height <= 0)
        return ui::RoundedRectangle(6).fill(Color::rgb(0.55, 0.58, 0.62, 1));
    // Converted (and the icon drawn) only when the entry is drawn: a bar of thousands of entries
    // makes images for the ones in sight.
    return ui::Image::deferred({double(icon->width), double(icon->height)},
                               [icon] { return AppIconImageCache::shared().image(icon); })
        .resizable()
        .aspectRatio(ui::ContentMode::fit)
        .interpolation(gfx::ImageInterpolation::high);
}

double CmdTabItemView::iconOpacity() const {
    if (!target.isMinimizedOrHidden) return 1;
    return isSelected ? 0.88 : 0.52;
}

ui::View CmdTabItemView::body() const {
    const Color primary = isLight ? Color::black() : Color::whiteColor();
    const double icon = metrics.iconSize;

    ui::View iconView = targetIconView(target).frame(icon, icon);
    if (target.isMinimizedOrHidden) {
        // Only parked targets are dimmed: identity effects would still cost an offscreen layer.
        iconView = iconView.saturation(0.82).opacity(iconOpacity());
        const double d = std::max(roundHalfAwayFromZero(0.28 * icon), 13.0);
        const double glyph = std::max(roundHalfAwayFromZero(0.14 * icon), 7.0);
        gfx::StrokeStyle ring;
        ring.lineWidth = 0.75;
        ui::View badge = ui::ZStack({ui::Circle().fill(Color::black().opacity(0.72)),
                                     ui::Circle().strokeBorder(Color::whiteColor().opacity(0.32), ring),
                                     ui::Image::systemName("minus")
                                         .font(gfx::Font::system(glyph, gfx::FontWeight::bold))
                                         .foregroundColor(Color::whiteColor().opacity(0.92))})
                             .frame(d, d)
                             .named("hudMinimizedBadge")
                             .offset(-2, -2);
        iconView = iconView.overlay(badge, ui::Alignment::bottomTrailing());
    }
    ui::View box = iconView.frame(metrics.boxSize, metrics.boxSize);

    ui::View titleRow = ui::View(Color::clear()).frame(metrics.boxSize, kTitleRowHeight);
    if (isSelected) {
        const double width = titleWidth > 0 ? titleWidth : metrics.boxSize + 28;
        // Centred under the box in twice the room on the nearer side; a longer title overflows
        // that towards the farther side, so it moves off the bar's edge only as far as it needs.
        const double room = std::min(titleRoomBefore, titleRoomAfter);
        const double span = std::isfinite(room) ? std::clamp(2 * room, 0.0, width) : width;
        titleRow = titleRow.overlay(
            ui::Text(target.displayLabel)
                .font(gfx::Font::system(metrics.fontSize, gfx::FontWeight::medium))
                .foregroundColor(primary.opacity(isLight ? 0.88 : 0.95))
                .lineLimit(1)
                .named("hudTitle")
                .frame(ui::FlexibleFrame{.minWidth = 0, .maxWidth = width})
                .frame(ui::FlexibleFrame{.minWidth = span})
                .fixedSize(true, false)
                .frame(span, kTitleRowHeight,
                       titleRoomBefore < titleRoomAfter ? ui::Alignment::leading() : ui::Alignment::trailing()));
    }
    return ui::VStack(ui::HorizontalAlignment::center, kTitleGap, {box, titleRow});
}

}  // namespace quillmar
