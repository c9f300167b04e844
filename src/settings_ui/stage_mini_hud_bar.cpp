#include "settings_ui/stage_mini_hud_bar.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "brand/logo_image.h"
#include "settings_ui/minimized_bar_mock_stage.h"
#include "switcher/app_icon_image_cache.h"
#include "switcher/visual_effect_blur.h"
#include "ui/ui.h"
#include "windows/window_manager.h"

namespace quillmar {

using ui::Color;

namespace {

const char* kHighlightID = "stageMiniHighlight";

// The strip's tiles: an icon padded on all sides, side by side with a gap, inside the insets.
constexpr double kTileIcon = 28;
constexpr double kTilePadding = 4;
constexpr double kTileSpacing = 5;
constexpr ui::EdgeInsets kStripInsets{5, 8, 5, 8};

// The list's rows.
constexpr double kRowWidth = 204;
constexpr double kRowHeight = 17;
constexpr double kRowSpacing = 1.5;
constexpr ui::EdgeInsets kListInsets{4, 4.5, 4, 4.5};

std::string iconID(int index) { return "stageMiniIcon-" + std::to_string(index); }

ui::View fittedIcon(const platform::AppIconRef& icon) {
    auto image = AppIconImageCache::shared().image(icon);
    if (image.isNull()) return ui::RoundedRectangle(4).fill(Color::rgb(0.55, 0.58, 0.62));
    return ui::Image(image).resizable().aspectRatio(ui::ContentMode::fit).interpolation(gfx::ImageInterpolation::high);
}

// The logo as it stands in for an empty list, drawn at 64 points once per process.
ui::View logoView() {
    static const gfx::Image logo = LogoImage::makeAppIcon(64, false)->rasterize(2.0);
    return ui::Image(logo).resizable().interpolation(gfx::ImageInterpolation::high);
}

}  // namespace

std::vector<int> StageMiniHUDBar::visibleListIndices(int count, int highlightedIdx) {
    std::vector<int> rows;
    if (count <= 0) return rows;
    if (count <= 3) {
        for (int i = 0; i < count; ++i) rows.push_back(i);
        return rows;
    }
    // Wide arithmetic: the highlighted index may be anything an int holds.
    const std::int64_t start =
        std::max<std::int64_t>(0, std::min<std::int64_t>(std::int64_t{highlightedIdx} - 1, std::int64_t{count} - 3));
    for (int k = 0; k < 3; ++k) rows.push_back(static_cast<int>(start) + k);
    return rows;
}

std::string StageMiniHUDBar::rowLabel(const SwitchTarget& t) {
    if (t.isAppOnly) return t.appName;
    auto label = WindowManager::cleanWindowLabel(t.windowTitle, t.appName);
    return label.empty() ? t.appName : label;
}

double StageMiniHUDBar::width(std::size_t count, bool verticalStyle) {
    if (verticalStyle) return kRowWidth + kListInsets.leading + kListInsets.trailing;
    const double tiles = static_cast<double>(std::max<std::size_t>(count, 1));  // the logo stands in for none
    return tiles * (kTileIcon + 2 * kTilePadding) + (tiles - 1) * kTileSpacing + kStripInsets.leading +
           kStripInsets.trailing;
}

ui::View StageMiniHUDTile::body() const {
    ui::View image = fittedIcon(icon).frame(kTileIcon, kTileIcon);
    if (isMinimizedOrHidden)
        image = image.opacity(isSelected ? 0.85 : 0.5)
                    .overlay(minimizedWindowBadge(0.78, 0.35).frame(9, 9), ui::Alignment::bottomTrailing());
    return image.matchedGeometryEffect(iconGeometryID, iconNamespace)
        .padding(kTilePadding)
        .scaleEffect(isSelected ? 1.04 : 0.96);
}

ui::View StageMiniHUDBar::highlight(bool selected, double radius, double fillOpacity) const {
    return ui::when(selected, [&] {
        gfx::StrokeStyle edge;
        edge.lineWidth = 0.5;
        const auto shape = ui::RoundedRectangle(radius);
        return ui::ZStack({shape.fill(Color::whiteColor().opacity(fillOpacity)),
                           shape.strokeBorder(Color::whiteColor().opacity(0.28), edge)})
            .matchedGeometryEffect(kHighlightID, miniHUDNamespace)
            .named("stageMiniHighlight");
    });
}

ui::View StageMiniHUDBar::strip() const {
    ui::ViewList tiles;
    if (targets.empty()) {
        tiles.push_back(logoView().frame(kTileIcon, kTileIcon).padding(kTilePadding).named("stageMiniLogo"));
    } else {
        for (std::size_t i = 0; i < targets.size(); ++i) {
            const int index = static_cast<int>(i);
            const bool selected = index == highlightedIdx;
            tiles.push_back(ui::View(StageMiniHUDTile{targets[i].appIcon, targets[i].isMinimizedOrHidden, selected,
                                                      miniHUDNamespace, iconID(index)})
                                .background(highlight(selected, 8, 0.2))
                                .id(index)
                                .named("stageMiniTile." + std::to_string(index)));
        }
    }
    return ui::HStack(ui::VerticalAlignment::center, kTileSpacing, std::move(tiles)).padding(kStripInsets);
}

ui::View StageMiniHUDBar::row(int i, bool inWindow) const {
    const SwitchTarget& t = targets[static_cast<std::size_t>(i)];
    const bool selected = i == highlightedIdx;
    const bool minimised = t.isMinimizedOrHidden;

    ui::View icon = fittedIcon(t.appIcon).frame(12.5, 12.5);
    if (minimised) icon = icon.opacity(selected ? 0.9 : 0.55);
    // A row out of sight has no partner in the strip: its icon is no place for a strip icon to
    // morph to, so those simply come and go.
    icon = icon.matchedGeometryEffect(inWindow ? iconID(i) : iconID(i) + "-hidden", miniHUDNamespace);

    const double labelOpacity = selected ? 0.98 : minimised ? 0.52 : 0.78;
    ui::View label = ui::Text(rowLabel(t))
                         .font(gfx::Font::system(9.5, selected ? gfx::FontWeight::semibold : gfx::FontWeight::regular))
                         .foregroundColor(Color::whiteColor().opacity(labelOpacity))
                         .lineLimit(1)
                         .named("stageMiniRowLabel");
    ui::View trailing;
    if (minimised) {
        gfx::StrokeStyle rim;
        rim.lineWidth = 0.5;
        const auto capsule = ui::Capsule(gfx::RoundedCornerStyle::continuous);
        trailing = ui::ZStack({capsule.fill(Color::black().opacity(0.55)),
                               capsule.strokeBorder(Color::whiteColor().opacity(0.28), rim),
                               ui::Image::systemName("minus")
                                   .font(gfx::Font::system(5.5, gfx::FontWeight::bold))
                                   .foregroundColor(Color::whiteColor().opacity(0.88))})
                       .frame(12, 8.5)
                       .named("stageMiniMinusCapsule");
    } else {
        trailing = ui::Text(t.appName)
                       .font(gfx::Font::system(8.5))
                       .foregroundColor(Color::whiteColor().opacity(selected ? 0.56 : 0.34))
                       .lineLimit(1)
                       .named("stageMiniRowApp");
    }
    return ui::HStack(ui::VerticalAlignment::center, 6, {icon, label, ui::Spacer(4), trailing})
        .padding(ui::Edges::horizontal(), 6.5)
        .frame(kRowWidth, kRowHeight)
        .background(highlight(selected, 5.5, 0.22))
        .accessibilityHidden(!inWindow)
        .named("stageMiniRow." + std::to_string(i));
}

ui::View StageMiniHUDBar::list() const {
    if (targets.empty()) {
        ui::ViewList rows;
        rows.push_back(ui::HStack(ui::VerticalAlignment::center, 6,
                                  {logoView().frame(13, 13),
                                   ui::Text("Quillmar")
                                       .font(gfx::Font::system(9.5, gfx::FontWeight::semibold))
                                       .foregroundColor(Color::whiteColor().opacity(0.95)),
                                   ui::Spacer(0)})
                           .padding(ui::Edges::horizontal(), 7)
                           .frame(204, 18)
                           .named("stageMiniPlaceholderRow"));
        return ui::VStack(ui::HorizontalAlignment::center, kRowSpacing, std::move(rows)).padding(kListInsets);
    }
    // Every row is built, identified by its index, in one column that slides behind a window of
    // the visible rows, the way the real bar's strip moves its cells: on a step the rows glide
    // together and no row ever fades in where another fades out.
    const int count = static_cast<int>(targets.size());
    const auto visible = visibleListIndices(count, highlightedIdx);
    const int first = visible.front();
    const int shown = static_cast<int>(visible.size());
    auto column = ui::ForEachIndex(count, [&](int i) { return row(i, i >= first && i < first + shown); });
    const double window = shown * kRowHeight + (shown - 1) * kRowSpacing;
    return ui::VStack(ui::HorizontalAlignment::center, kRowSpacing, {column})
        .fixedSize(false, true)
        .offset(0, -first * (kRowHeight + kRowSpacing))
        .frame(kRowWidth, window, ui::Alignment::top())
        .clipped()
        .named("stageMiniListWindow")
        .padding(kListInsets);
}

ui::View StageMiniHUDBar::body() const {
    const double radius = isVerticalStyle ? 10.5 : 13;
    const auto shape = ui::RoundedRectangle(radius);
    gfx::StrokeStyle rim;
    rim.lineWidth = 0.5;
    return ui::ifElse(isVerticalStyle, list(), strip())
        .background(ui::ZStack({VisualEffectBlur{VisualEffectBlur::Material::hudWindow,
                                                 VisualEffectBlur::BlendingMode::withinWindow, false},
                                ui::Rectangle().fill(Color::black().opacity(0.23))}))
        .clipShape(shape)
        .overlay(shape.strokeBorder(Color::whiteColor().opacity(0.22), rim))
        .shadow(Color::black().opacity(isDark ? 0.42 : 0.18), 10, 0, 4)
        .animation(ui::Animation::spring(0.32, 0.82, 0), isVerticalStyle)
        .animation(ui::Animation::spring(0.2, 0.84, 0), highlightedIdx)
        .named("stageMiniHUDBar");
}

}  // namespace quillmar
