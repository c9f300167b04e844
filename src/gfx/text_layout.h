#pragma once
// Laid-out text (Pango): measures and holds one piece of text in one font, ready to draw.
//
// Single-line text (lineLimit 1) that is wider than `maxWidth` first shrinks, down to
// `minimumScaleFactor` of its size, and is then truncated at the tail with an ellipsis.
// Multi-line text wraps at `maxWidth` (word boundaries, or between Chinese and Japanese
// characters; Korean words only at their spaces, unless one is wider than the line), with
// `lineSpacing` extra points between lines, and is truncated at the tail of its last allowed line.
// Text that can only be one line (lineLimit 1, or no width and no line break) is laid out up to
// what a line can ever show (SingleLineText); a longer line ends in an ellipsis and is truncated.

#include <memory>
#include <optional>
#include <string>

#include "gfx/font.h"
#include "gfx/geometry.h"

namespace quillmar::gfx {

enum class TextAlignment { leading, center, trailing };

struct TextOptions {
    std::optional<double> maxWidth{};  // none: unlimited
    int lineLimit = 0;                // 0: unlimited
    double minimumScaleFactor = 1.0;  // single-line shrink-to-fit floor (0 < f <= 1)
    double lineSpacing = 0;           // extra points between lines
    TextAlignment alignment = TextAlignment::leading;
};

class TextLayout {
public:
    TextLayout(std::string text, const Font& font, const TextOptions& options = {});
    ~TextLayout();
    TextLayout(const TextLayout&);
    TextLayout& operator=(const TextLayout&);
    TextLayout(TextLayout&&) noexcept;
    TextLayout& operator=(TextLayout&&) noexcept;

    const std::string& text() const;
    const Font& font() const;            // the requested font
    double appliedFontSize() const;      // after shrink-to-fit
    const TextOptions& options() const;

    // Size of the laid-out block (width at most maxWidth when given).
    Size size() const;
    // Distance from the top of the block to the first line's baseline.
    double firstBaseline() const;
    int lineCount() const;
    bool isTruncated() const;
    // Characters no installed face could show (drawn as boxes); 0 when every script is covered.
    int missingGlyphCount() const;

    // Internal, for the drawing backend: the PangoLayout* and the offset of the block's top-left
    // corner inside it.
    void* pangoLayout() const;
    Point layoutOffset() const;

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace quillmar::gfx
