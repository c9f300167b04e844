#include "settings_ui/minimized_bar_mock_stage.h"

#include <cstring>
#include <string>

#include "brand/logo_image.h"
#include "platform/workspace.h"
#include "runtime/world.h"
#include "settings_ui/mock_stage_frame.h"
#include "switcher/app_icon_image_cache.h"
#include "switcher/visual_effect_blur.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

namespace {

const Color kMinimiseAmber = Color::rgb(0.99, 0.74, 0.18);

platform::AppIconRef workspaceIcon(const char* path) {
    if (auto* workspace = runtime::World::find<platform::Workspace>()) return workspace->iconForFile(path);
    return platform::AppIcon::roundedSquare(64, 0xff9aa3adu, 0xff6b737cu);
}

// The logo drawn at 64 points, kept as pixels at 2x like the platform's icons.
platform::AppIconRef logoIcon() {
    const gfx::Image image = LogoImage::makeAppIcon(64, false)->rasterize(2.0);
    const int width = image.pixelWidth(), height = image.pixelHeight();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const int stride = image.stride() / 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels.data() + static_cast<std::ptrdiff_t>(y) * width, image.data() + static_cast<std::ptrdiff_t>(y) * stride,
                    sizeof(std::uint32_t) * static_cast<std::size_t>(width));
    auto icon = std::make_shared<platform::AppIcon>(width, height, std::move(pixels));
    return icon;
}

ui::View iconImage(const platform::AppIconRef& icon) {
    auto image = AppIconImageCache::shared().image(icon);
    if (image.isNull()) return ui::RoundedRectangle(5).fill(Color::rgb(0.55, 0.58, 0.62));
    return ui::Image(image).resizable().interpolation(gfx::ImageInterpolation::high);
}

}  // namespace

const std::array<platform::AppIconRef, 3>& mockStageSampleIcons() {
    static const std::array<platform::AppIconRef, 3> icons = {
        workspaceIcon("/System/Library/CoreServices/Finder.app"), workspaceIcon("/Applications/Safari.app"),
        logoIcon()};
    return icons;
}

ui::View minimizedWindowBadge(double fillOpacity, double rimOpacity) {
    gfx::StrokeStyle rim;
    rim.lineWidth = 0.5;
    return ui::ZStack({ui::Circle().fill(Color::black().opacity(fillOpacity)),
                       ui::Circle().strokeBorder(Color::whiteColor().opacity(rimOpacity), rim),
                       ui::Image::systemName("minus")
                           .font(gfx::Font::system(5, gfx::FontWeight::bold))
                           .foregroundColor(Color::whiteColor())})
        .frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .maxHeight = ui::infinity})
        .named("minimizedWindowBadge");
}

std::array<platform::AppIconRef, 3> MinimizedBarMockStage::displayIcons() const {
    std::array<platform::AppIconRef, 3> icons;
    std::size_t n = 0;
    for (const auto& t : targets) {
        if (n == icons.size()) break;
        icons[n++] = t.appIcon;
    }
    // Three targets need no sample icons: they are never made then.
    if (n == icons.size()) return icons;
    for (const auto& sample : mockStageSampleIcons()) {
        if (n == icons.size()) break;
        icons[n++] = sample;
    }
    return icons;
}

ui::View MinimizedBarMockStage::body() const {
    const auto icons = displayIcons();

    const ui::View button = ui::ZStack({ui::Circle().fill(kMinimiseAmber.opacity(0.26)).frame(17, 17),
                                        ui::Circle().fill(kMinimiseAmber).frame(11.5, 11.5),
                                        ui::Image::systemName("minus")
                                            .font(gfx::Font::system(6.5, gfx::FontWeight::black))
                                            .foregroundColor(Color::black().opacity(0.75))});

    ui::ViewList entries;
    for (int i = 0; i < 2; ++i) {
        const bool lit = i == 0 && !isHovered;
        entries.push_back(iconImage(icons[static_cast<std::size_t>(i)])
                              .frame(21, 21)
                              .padding(3)
                              .background(ui::RoundedRectangle(6).fill(lit ? Color::whiteColor().opacity(0.18)
                                                                           : Color::clear()))
                              .named("minimizedBarEntry." + std::to_string(i)));
    }
    entries.push_back(ui::Rectangle().fill(Color::whiteColor().opacity(0.16)).frame(1, 16).padding(ui::Edges::horizontal(), 1));
    entries.push_back(iconImage(icons[2])
                          .frame(21, 21)
                          .named("minimizedBarParkedIcon")
                          .opacity(isHovered ? 1 : 0.52)
                          .saturation(isHovered ? 1 : 0.8)
                          .overlay(minimizedWindowBadge(0.82, 0.38).frame(8.5, 8.5).offset(1.5, 1.5),
                                   ui::Alignment::bottomTrailing())
                          .padding(3)
                          .background(ui::RoundedRectangle(6).fill(isHovered ? Color::whiteColor().opacity(0.24)
                                                                             : Color::clear()))
                          .named("minimizedBarParked")
                          .scaleEffect(isHovered ? 1.05 : 1.0));

    gfx::StrokeStyle rim;
    rim.lineWidth = 0.5;
    const auto barShape = ui::RoundedRectangle(10);
    const ui::View bar =
        ui::HStack(ui::VerticalAlignment::center, 4, std::move(entries))
            .padding(ui::Edges::horizontal(), 6)
            .padding(ui::Edges::vertical(), 4)
            .background(ui::ZStack({VisualEffectBlur{VisualEffectBlur::Material::hudWindow,
                                                     VisualEffectBlur::BlendingMode::withinWindow, false},
                                    ui::Rectangle().fill(Color::black().opacity(0.24))}))
            .clipShape(barShape)
            .overlay(barShape.strokeBorder(Color::whiteColor().opacity(0.22), rim));

    return mockStageFrame(palette,
                          ui::HStack(ui::VerticalAlignment::center, 7,
                                     {button, mockStageArrow(9, kMinimiseAmber), bar}))
        .named("minimizedBarMockStage");
}

}  // namespace quillmar
