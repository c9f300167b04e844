#include "switcher/visual_effect_blur.h"

#include "ui/ui.h"

namespace quillmar {

ui::View VisualEffectBlur::body() const {
    using ui::Color;
    // The material's base colour in each appearance, with a faint top-to-bottom sheen.
    const bool hud = material == Material::hudWindow;
    const Color top = isLight ? Color::rgb(0.96, 0.96, 0.97, hud ? 0.80 : 0.86) : Color::rgb(0.22, 0.22, 0.24, hud ? 0.80 : 0.86);
    const Color bottom = isLight ? Color::rgb(0.90, 0.90, 0.92, hud ? 0.80 : 0.86) : Color::rgb(0.14, 0.14, 0.16, hud ? 0.80 : 0.86);
    ui::View tint = ui::Rectangle().fill(
        ui::ShapeStyle::linearGradient(gfx::Gradient::colors({top, bottom}), ui::UnitPoint::top(), ui::UnitPoint::bottom()));
    return blendingMode == BlendingMode::behindWindow ? tint.named(kBehindWindowName) : tint;
}

}  // namespace quillmar
