#pragma once
// The frosted material under the Switch Bar's content. The system blurs what lies behind the
// window; this platform composes no other windows into ours, so the material is drawn as its own
// tint, light or dark, as the system draws it over an even background.

#include "ui/view.h"

namespace quillmar {

struct VisualEffectBlur {
    enum class Material { hudWindow, menu };
    enum class BlendingMode { behindWindow, withinWindow };

    Material material = Material::hudWindow;
    BlendingMode blendingMode = BlendingMode::behindWindow;
    bool isLight = false;

    ui::View body() const;
    friend bool operator==(const VisualEffectBlur&, const VisualEffectBlur&) = default;
};

}  // namespace quillmar
