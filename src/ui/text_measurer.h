#pragma once
// How text is measured for layout. The default measures with the graphics layer's text layout
// (Pango); tests may install a measurer of their own on a hosting view for exact numbers.

#include <memory>
#include <optional>
#include <string>

#include "gfx/font.h"
#include "gfx/text_layout.h"
#include "ui/layout_types.h"

namespace quillmar::ui {

struct TextStyle {
    gfx::Font font;
    int lineLimit = 0;  // 0: unlimited
    double minimumScaleFactor = 1;
    double lineSpacing = 0;
    gfx::TextAlignment alignment = gfx::TextAlignment::leading;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;

    gfx::TextOptions options(std::optional<double> maxWidth) const;
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // The size of `text` laid out with `style`, wrapped or truncated at `maxWidth` when given.
    virtual Size measure(const std::string& text, const TextStyle& style, std::optional<double> maxWidth) = 0;

    // The shared measurer backed by gfx::TextLayout (results cached).
    static std::shared_ptr<TextMeasurer> standard();
};

}  // namespace quillmar::ui
