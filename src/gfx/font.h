#pragma once
// A font request in the vocabulary of the system font: size in points, weight, design.
// The system font is Inter (DejaVu Sans for the symbols it lacks) with Noto Sans CJK for Chinese,
// Japanese and Korean, in the design of the interface language's region (gfx/font_region.h);
// the rounded design falls back to the same family; serif is Noto Serif CJK (its own Latin, then
// DejaVu Serif and WenQuanYi Micro Hei); monospaced is DejaVu Sans Mono with WenQuanYi.

#include <string>

#include "gfx/font_region.h"

namespace quillmar::gfx {

enum class FontWeight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };
enum class FontDesign { standard, rounded, serif, monospaced };

// The faces a font resolves to.
struct FontFaces {
    std::string familyList;  // for fontconfig, in order
    // The face whose line box the text's lines take, and the CJK face drawn on that line box
    // (taller boxes give way); both empty for designs whose first face has CJK of its own.
    std::string lineBoxFace, cjkFace;
};

struct Font {
    double size = 13;
    FontWeight weight = FontWeight::regular;
    FontDesign design = FontDesign::standard;
    bool monospacedDigits = false;  // tabular figures

    static Font system(double size, FontWeight weight = FontWeight::regular,
                       FontDesign design = FontDesign::standard) {
        return Font{size, weight, design, false};
    }
    Font withWeight(FontWeight w) const { Font f = *this; f.weight = w; return f; }
    Font withSize(double s) const { Font f = *this; f.size = s; return f; }
    Font bold() const { return withWeight(FontWeight::bold); }
    Font monospacedDigit() const { Font f = *this; f.monospacedDigits = true; return f; }

    // The faces of this font with the CJK face of `region`.
    FontFaces faces(FontRegion region) const;
    // The fontconfig family list this font resolves to in the interface language's region.
    std::string familyList() const { return faces(fontRegion()).familyList; }
    // Numeric weight 100...900 (regular 400, bold 700).
    int numericWeight() const;

    friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace quillmar::gfx
