#pragma once
// A text measurer with round numbers for layout tests: every character is 7 points wide
// (scaled with the font size over 13), every line 16 points high; wrapping breaks anywhere.

#include <algorithm>
#include <cmath>

#include "ui/text_measurer.h"

namespace quillmar::ui::testing {

class FixedTextMeasurer final : public TextMeasurer {
public:
    Size measure(const std::string& text, const TextStyle& style, std::optional<double> maxWidth) override {
        const double advance = 7 * style.font.size / 13;
        const double natural = advance * static_cast<double>(text.size());
        if (!maxWidth || natural <= *maxWidth) return {natural, 16};
        if (style.lineLimit == 1) return {std::max(0.0, *maxWidth), 16};
        const double perLine = std::max(1.0, std::floor(*maxWidth / advance));
        double lines = std::ceil(static_cast<double>(text.size()) / perLine);
        if (style.lineLimit > 0) lines = std::min(lines, static_cast<double>(style.lineLimit));
        return {std::min(natural, perLine * advance), 16 * lines};
    }
};

}  // namespace quillmar::ui::testing
