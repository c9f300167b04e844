#include "switcher/non_activating_panel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/accessibility_display_options.h"

namespace quillmar {

platform::PanelConfig NonActivatingPanel::hudConfig() {
    platform::PanelConfig c;
    c.contentRect = {0, 0, 700, 170};
    c.nonActivating = true;
    c.floating = true;
    c.level = 101;
    // Can join all spaces, stationary, ignores window cycling, full-screen auxiliary.
    c.collectionBehavior = 1u | 16u | 64u | 256u;
    c.opaque = false;
    c.hasShadow = true;
    return c;
}

std::unique_ptr<NonActivatingPanel> NonActivatingPanel::create(ui::View root) {
    auto* factory = platform::PanelWindows::installed();
    if (!factory) return nullptr;
    auto window = factory->createPanel(hudConfig());
    if (!window) return nullptr;
    return std::make_unique<NonActivatingPanel>(std::move(window), std::move(root));
}

NonActivatingPanel::NonActivatingPanel(std::unique_ptr<platform::PanelWindow> window, ui::View root)
    : window_(std::move(window)), host_(std::move(root), window_->frame().size()) {
    host_.setOnDisplayNeeded([w = window_.get()] { w->setNeedsDisplay(); });
}

void NonActivatingPanel::setFrame(const platform::Rect& frame, bool display, bool animate) {
    window_->setFrame(frame, display, animate);
    const auto size = window_->frame().size();
    if (size.isFinite() && !(size == host_.size())) host_.setSize(size);
}

platform::Size NonActivatingPanel::fittingSize() {
    auto s = host_.fittingSize();
    if (!s.isFinite() || s.width < 0 || s.height < 0) return {640, 160};
    return s;
}

void NonActivatingPanel::refreshEnvironment(ui::ColorScheme systemScheme) {
    auto env = host_.environment();
    const auto& options = platform::AccessibilityDisplayOptions::shared();
    env.colorScheme = systemScheme;
    env.accessibilityReduceMotion = options.shouldReduceMotion();
    env.accessibilityReduceTransparency = options.shouldReduceTransparency();
    env.colorSchemeContrast =
        options.shouldIncreaseContrast() ? ui::ColorSchemeContrast::increased : ui::ColorSchemeContrast::standard;
    if (!(env == host_.environment())) host_.setEnvironment(env);
}

gfx::Image NonActivatingPanel::renderImage(double scale) {
    auto image = host_.renderImage(scale);
    const double alpha = window_->alphaValue();
    if (alpha < 1 && !image.isNull()) {
        // The window server composites the panel at its alpha; do the same to the snapshot. The
        // channels are premultiplied, so each is scaled alike: one table of the 256 products,
        // each rounded half away from zero, serves every pixel.
        const double a = std::isfinite(alpha) ? std::clamp(alpha, 0.0, 1.0) : 0.0;
        if (a == 0) {
            // Nothing shows through yet (the first frame of a fade-in): every pixel is clear.
            const int h = image.pixelHeight();
            std::fill_n(image.data(), static_cast<std::size_t>(image.stride() / 4) * static_cast<std::size_t>(h), 0u);
            image.markDirty();
            return image;
        }
        std::array<std::uint8_t, 256> scaled{};
        for (int c = 0; c < 256; ++c) scaled[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(std::lround(c * a));
        const int w = image.pixelWidth(), h = image.pixelHeight(), stride = image.stride() / 4;
        auto* data = image.data();
        for (int y = 0; y < h; ++y) {
            std::uint32_t* row = data + static_cast<std::ptrdiff_t>(y) * stride;
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = row[x];
                if (p == 0) continue;
                row[x] = static_cast<std::uint32_t>(scaled[p >> 24]) << 24 |
                         static_cast<std::uint32_t>(scaled[(p >> 16) & 0xffu]) << 16 |
                         static_cast<std::uint32_t>(scaled[(p >> 8) & 0xffu]) << 8 | scaled[p & 0xffu];
            }
        }
        image.markDirty();
    }
    return image;
}

bool NonActivatingPanel::writePng(const std::string& path, double scale, std::string* error) {
    return renderImage(scale).writePng(path, error);
}

}  // namespace quillmar
