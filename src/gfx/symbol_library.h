#pragma once
// Named system symbols drawn as our own vector glyphs.
//
// A glyph is laid out in a box whose height follows the font size (about the cap height of the
// system font plus a little) and whose width depends on the symbol; strokes thicken with the
// weight. Unknown names give a neutral placeholder (a rounded square with a dot), never an error.

#include <string_view>
#include <vector>

#include "gfx/font.h"
#include "gfx/geometry.h"
#include "gfx/path.h"
#include "gfx/stroke_style.h"

namespace quillmar::gfx {

struct SymbolGlyph {
    Size size;             // the glyph's box, origin at its top-left corner
    double baseline = 0;   // from the box top, for aligning with text
    Path fill;             // filled with the non-zero rule
    Path fillEvenOdd;      // filled with the even-odd rule (cut-outs)
    Path stroke;           // stroked with `strokeStyle`
    StrokeStyle strokeStyle;
    bool isPlaceholder = false;
};

class SymbolLibrary {
public:
    static bool contains(std::string_view name);
    static std::vector<std::string_view> names();
    // The glyph of `name` for `font`, or the placeholder for an unknown name.
    static SymbolGlyph glyph(std::string_view name, const Font& font);
};

}  // namespace quillmar::gfx
