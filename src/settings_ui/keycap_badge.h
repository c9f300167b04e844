#pragma once
// One keyboard key drawn as a small raised cap with a glyph: a named symbol when one is given,
// otherwise the label, set a little smaller when it has two or more characters ("esc").
// Fixed at `width` × 22 points.

#include <optional>
#include <string>
#include <string_view>

#include "settings_ui/palette/settings_palette.h"
#include "ui/view.h"

namespace quillmar {

struct KeycapBadge {
    std::optional<std::string> label;
    std::optional<std::string> symbol;
    double width = 22;
    SettingsPalette palette;

    // User-perceived characters of `text` (extended grapheme clusters): "é" written as e and a
    // combining accent, or a family emoji joined from several code points, count once.
    static std::size_t graphemeCount(std::string_view text);
    // The label's point size: 11.5 for fewer than two characters, 10.5 otherwise.
    static double labelFontSize(std::string_view label);

    ui::View body() const;
};

}  // namespace quillmar
