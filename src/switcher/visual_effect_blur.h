#pragma once
// The frosted material under the Switch Bar's content: the material's tint, light or dark, drawn
// by the view, over what lies behind it. With the behind-window blending mode, what lies behind
// is the screen under the window, which the window server blurs when it composes the screen: the
// view is named so that the window server finds where it lies (a picture of the window alone
// shows the tint over nothing).

#include "ui/view.h"

namespace quillmar {

struct VisualEffectBlur {
    enum class Material { hudWindow, menu };
    enum class BlendingMode { behindWindow, withinWindow };

    Material material = Material::hudWindow;
    BlendingMode blendingMode = BlendingMode::behindWindow;
    bool isLight = false;

    // The name the view carries with the behind-window blending mode.
    static constexpr const char* kBehindWindowName = "visualEffectBlur.behindWindow";

    ui::View body() const;
    friend bool operator==(const VisualEffectBlur&, const VisualEffectBlur&) = default;
};

}  // namespace quillmar
