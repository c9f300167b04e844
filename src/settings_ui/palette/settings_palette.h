#pragma once
// The settings window's palette: the light-or-dark choice handed by value to every settings view
// (and to the About card), and the two gradients shared by the illustrated stages.
//
//   SettingsPalette palette(isDark);
//   RoundedRectangle(14).fill(palette.backdropGradient());   // stage and mock-stage backdrops
//   RoundedRectangle(10).fill(palette.surfaceGradient());    // trackpad and mock window surfaces
//
// Views read isDark for their own light and dark colours. Each gradient call returns a new value.

#include "ui/shape_style.h"

namespace quillmar {

struct SettingsPalette {
    bool isDark = false;

    SettingsPalette() = default;
    explicit SettingsPalette(bool dark) : isDark(dark) {}

    // Top-leading to bottom-trailing, three evenly spaced stops.
    ui::ShapeStyle backdropGradient() const;
    // Top to bottom, two stops.
    ui::ShapeStyle surfaceGradient() const;

    friend bool operator==(const SettingsPalette&, const SettingsPalette&) = default;
};

}  // namespace quillmar
