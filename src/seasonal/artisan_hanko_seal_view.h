#pragma once
// The emblem of the East Asian easter eggs: a small vermilion seal with two vertical columns of
// characters (the right column read first), a divider between them, a tinted ground, a dashed
// double border and a gold dot in its top-right corner. When an egg is unlocked it is pressed
// in like a stamp: 1.15 times its size at the start of the dissolve, settling by 0.15 of it.

#include <optional>
#include <string>
#include <vector>

#include "gfx/color.h"
#include "gfx/graphics_context.h"
#include "ui/view.h"

namespace quillmar {

struct ArtisanHankoSealView {
    std::vector<std::string> rightColumn;
    std::vector<std::string> leftColumn;
    bool isDark = false;
    std::optional<double> stampProgress;

    ui::View body() const;

    static gfx::Color inkColor(bool isDark);
    // The double border of a w × h canvas (nothing at 6 points or less on either side).
    static void renderBorder(gfx::GraphicsContext& context, ui::Size size, bool isDark);
    static double stampScale(std::optional<double> stampProgress);

    friend bool operator==(const ArtisanHankoSealView&, const ArtisanHankoSealView&) = default;
};

}  // namespace quillmar
