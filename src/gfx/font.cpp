#include "gfx/font.h"

#include "gfx/font_region.h"

namespace quillmar::gfx {

namespace {

// Noto Sans CJK in the design of the interface language's region. It has a regular and a bold
// face, so a heavy label keeps its weight in Han, Kana and Hangul as in its Latin letters.
const char* cjkSansFamily(FontRegion region) {
    switch (region) {
        case FontRegion::korea: return "Noto Sans CJK KR";
        case FontRegion::simplifiedChinese: return "Noto Sans CJK SC";
        case FontRegion::traditionalChinese: return "Noto Sans CJK TC";
        case FontRegion::japan: break;
    }
    return "Noto Sans CJK JP";
}

}  // namespace

FontFaces Font::faces(FontRegion region) const {
    // The interface face is Inter (real medium and semibold faces, tabular figures); DejaVu
    // covers the symbols it lacks. The CJK face follows the Latin ones in every list, so Han,
    // Kana and Hangul always find a face even on machines without other fallbacks. The serif
    // design leads with Noto Serif CJK, so Han, Kana and Hangul are drawn in a serif face too.
    switch (design) {
        case FontDesign::serif:
            return {"Noto Serif CJK JP,DejaVu Serif,WenQuanYi Micro Hei", "", ""};
        case FontDesign::monospaced: return {"DejaVu Sans Mono,WenQuanYi Micro Hei Mono,WenQuanYi Micro Hei", "", ""};
        case FontDesign::rounded:
        case FontDesign::standard: break;
    }
    const std::string cjk = cjkSansFamily(region);
    return {"Inter,DejaVu Sans," + cjk, "Inter", cjk};
}

int Font::numericWeight() const {
    switch (weight) {
        case FontWeight::ultraLight: return 100;
        case FontWeight::thin: return 200;
        case FontWeight::light: return 300;
        case FontWeight::regular: return 400;
        case FontWeight::medium: return 500;
        case FontWeight::semibold: return 600;
        case FontWeight::bold: return 700;
        case FontWeight::heavy: return 800;
        case FontWeight::black: return 900;
    }
    return 400;
}

}  // namespace quillmar::gfx
