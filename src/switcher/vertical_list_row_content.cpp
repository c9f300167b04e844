#include "switcher/vertical_list_row_content.h"

#include "switcher/cmd_tab_item_view.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

bool VerticalListRowContent::showsAppName() const {
    return !target.isAppOnly && !target.cleanedWindowTitle.empty() && target.cleanedWindowTitle != target.appName;
}

double VerticalListRowContent::titleOpacity() const {
    if (target.isMinimizedOrHidden) return isSelected ? 0.88 : 0.54;
    if (isSelected) return isLight ? 0.92 : 0.98;
    return isLight ? 0.78 : 0.84;
}

ui::View VerticalListRowContent::body() const {
    const Color primary = isLight ? Color::black() : Color::whiteColor();
    const bool parked = target.isMinimizedOrHidden;
    const bool withApp = showsAppName();

    ui::ViewList children;
    ui::View icon = targetIconView(target).frame(metrics.iconSize, metrics.iconSize);
    if (parked) icon = icon.saturation(0.82).opacity(isSelected ? 0.9 : 0.54);
    children.push_back(icon);
    children.push_back(ui::Text(withApp ? target.cleanedWindowTitle : target.appName)
                           .font(gfx::Font::system(metrics.titleFontSize,
                                                   isSelected ? gfx::FontWeight::semibold : gfx::FontWeight::regular))
                           .foregroundColor(primary.opacity(titleOpacity()))
                           .lineLimit(1)
                           .named("hudRowTitle"));
    children.push_back(ui::Spacer());
    if (withApp) {
        children.push_back(ui::Text(target.appName)
                               .font(gfx::Font::system(metrics.appFontSize))
                               .foregroundColor(primary.opacity(isSelected ? 0.62 : 0.42))
                               .lineLimit(1)
                               .layoutPriority(1)
                               .named("hudRowApp"));
    }
    if (parked) {
        gfx::StrokeStyle ring;
        ring.lineWidth = 0.65;
        const Color plate = isLight ? primary.opacity(isSelected ? 0.14 : 0.1) : primary.opacity(0);
        const Color under = isLight ? Color::clear() : Color::black().opacity(isSelected ? 0.55 : 0.42);
        children.push_back(ui::ZStack({ui::Capsule().fill(under), ui::Capsule().fill(plate),
                                       ui::Capsule().strokeBorder(primary.opacity(isSelected ? 0.36 : 0.22), ring),
                                       ui::Image::systemName("minus")
                                           .font(gfx::Font::system(8.5, gfx::FontWeight::bold))
                                           .foregroundColor(primary.opacity(isSelected ? 0.92 : 0.72))})
                               .frame(20, 15)
                               .named("hudMinimizedBadge"));
    }
    return ui::HStack(ui::VerticalAlignment::center, 10, std::move(children))
        .padding(ui::Edges::horizontal(), 10)
        .frame(std::nullopt, metrics.rowHeight);
}

}  // namespace quillmar
