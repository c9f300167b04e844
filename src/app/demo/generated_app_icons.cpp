#include "app/demo/generated_app_icons.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "platform/sim/sim_desktop.h"
#include "runtime/subscription.h"
#include "runtime/world.h"
#include "ui/hosting_view.h"
#include "ui/ui.h"

namespace quillmar {

namespace {

constexpr int kIconPixels = 128;

// The first character of a name, upper-cased when it has an upper case.
std::string initial(const std::string& name) {
    if (name.empty()) return "?";
    const auto* s = reinterpret_cast<const uint8_t*>(name.data());
    const int32_t length = static_cast<int32_t>(name.size());
    int32_t i = 0;
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    if (c < 0) return "?";
    c = u_toupper(c);
    char out[U8_MAX_LENGTH] = {};
    int32_t n = 0;
    UBool error = false;
    U8_APPEND(reinterpret_cast<uint8_t*>(out), n, U8_MAX_LENGTH, c, error);
    return error ? std::string("?") : std::string(out, static_cast<std::size_t>(n));
}

double luminance(const ui::Color& c) {
    auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.red) + 0.7152 * lin(c.green) + 0.0722 * lin(c.blue);
}

// Keeps the icons already given, so an app is only drawn once.
struct GeneratedIconState {
    std::set<const platform::AppIcon*> given;
    runtime::SubscriptionBag bag;
};

void giveIcons(platform::sim::SimDesktop& desktop) {
    auto& state = runtime::World::shared<GeneratedIconState>();
    for (const auto* process : desktop.processes()) {
        if (!process->isApplication || process->iconColor == 0) continue;
        if (state.given.count(process->icon.get())) continue;
        auto* app = desktop.app(process->pid);
        if (!app) continue;
        app->icon = GeneratedAppIcons::letterIcon(app->localizedName.value_or(app->bundleIdentifier.value_or("")),
                                                  app->iconColor);
        state.given.insert(app->icon.get());
    }
}

}  // namespace

platform::AppIconRef GeneratedAppIcons::letterIcon(const std::string& name, std::uint32_t argb) {
    // Drawn when first shown: most apps of a large desktop never are.
    return std::make_shared<platform::AppIcon>(kIconPixels, kIconPixels, [letter = initial(name), argb](std::vector<std::uint32_t>& pixels) {
        const ui::Color colour = ui::Color::hex(argb & 0xffffffu);
        const ui::Color top = colour.mix(ui::Color::whiteColor(), 0.3);
        const bool light = luminance(colour) > 0.45;
        const ui::Color ink = light ? ui::Color::rgb(0.1, 0.1, 0.12, 0.9) : ui::Color::whiteColor();

        // The tile fills 80% of the canvas, as icons leave a margin around their artwork.
        const double side = kIconPixels * 0.8;
        ui::View tile = ui::ZStack({ui::RoundedRectangle(side * 0.225)
                                        .fill(ui::ShapeStyle::linearGradient(gfx::Gradient::colors({top, colour}),
                                                                             ui::UnitPoint::top(), ui::UnitPoint::bottom())),
                                    ui::RoundedRectangle(side * 0.225)
                                        .strokeBorder(ui::Color::black().opacity(0.12), gfx::StrokeStyle{}),
                                    ui::Text(letter)
                                        .font(gfx::Font::system(side * 0.56, gfx::FontWeight::semibold))
                                        .foregroundColor(ink)
                                        .lineLimit(1)})
                            .frame(side, side)
                            .frame(kIconPixels, kIconPixels);
        ui::HostingView host(tile, {kIconPixels, kIconPixels});
        auto image = host.renderImage(1.0);
        if (image.isNull()) return;
        const int stride = image.stride() / 4;
        for (int y = 0; y < kIconPixels && y < image.pixelHeight(); ++y)
            std::memcpy(pixels.data() + static_cast<std::ptrdiff_t>(y) * kIconPixels,
                        image.data() + static_cast<std::ptrdiff_t>(y) * stride,
                        sizeof(std::uint32_t) * static_cast<std::size_t>(std::min(kIconPixels, image.pixelWidth())));
    });
}

void GeneratedAppIcons::install(platform::sim::SimDesktop& desktop) {
    giveIcons(desktop);
    desktop.changed.connect([&desktop] { giveIcons(desktop); }).store(runtime::World::shared<GeneratedIconState>().bag);
}

}  // namespace quillmar
