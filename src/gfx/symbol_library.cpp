#include "gfx/symbol_library.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quillmar::gfx {
namespace {

// Stroke weight per font weight, as a fraction of the font size.
double strokeFraction(FontWeight w) {
    switch (w) {
        case FontWeight::ultraLight: return 0.035;
        case FontWeight::thin: return 0.048;
        case FontWeight::light: return 0.065;
        case FontWeight::regular: return 0.085;
        case FontWeight::medium: return 0.096;
        case FontWeight::semibold: return 0.108;
        case FontWeight::bold: return 0.122;
        case FontWeight::heavy: return 0.138;
        case FontWeight::black: return 0.155;
    }
    return 0.085;
}

// Each symbol is designed in a box one em high (y down) and `width` ems wide; `build` draws it
// with the em length `s` and the stroke width `lw` (already in points).
struct SymbolDef {
    std::string_view name;
    double width;
    void (*build)(SymbolGlyph& g, double s, double lw);
};

void roundPen(SymbolGlyph& g) {
    g.strokeStyle.lineCap = LineCap::round;
    g.strokeStyle.lineJoin = LineJoin::round;
}

const std::array<SymbolDef, 8> kSymbols{{
    {"minus", 0.86,
     [](SymbolGlyph& g, double s, double) {
         roundPen(g);
         g.stroke.move(0.12 * s, 0.5 * s);
         g.stroke.addLine(0.74 * s, 0.5 * s);
     }},
    {"xmark", 0.74,
     [](SymbolGlyph& g, double s, double) {
         roundPen(g);
         g.stroke.move(0.12 * s, 0.2 * s);
         g.stroke.addLine(0.62 * s, 0.7 * s);
         g.stroke.move(0.62 * s, 0.2 * s);
         g.stroke.addLine(0.12 * s, 0.7 * s);
     }},
    {"arrow.right", 0.94,
     [](SymbolGlyph& g, double s, double) {
         roundPen(g);
         g.stroke.move(0.1 * s, 0.5 * s);
         g.stroke.addLine(0.8 * s, 0.5 * s);
         g.stroke.move(0.5 * s, 0.2 * s);
         g.stroke.addLine(0.82 * s, 0.5 * s);
         g.stroke.addLine(0.5 * s, 0.8 * s);
     }},
    {"power", 0.9,
     [](SymbolGlyph& g, double s, double) {
         roundPen(g);
         // A ring open at the top, and the stem through the gap.
         g.stroke.addArc({0.45 * s, 0.54 * s}, 0.34 * s, Angle::degrees(-58), Angle::degrees(238), false);
         g.stroke.move(0.45 * s, 0.1 * s);
         g.stroke.addLine(0.45 * s, 0.5 * s);
     }},
    {"app.fill", 0.94,
     [](SymbolGlyph& g, double s, double) {
         g.fill.addRoundedRect({0.07 * s, 0.07 * s, 0.8 * s, 0.8 * s}, {0.2 * s, 0.2 * s});
     }},
    {"envelope", 1.2,
     [](SymbolGlyph& g, double s, double) {
         roundPen(g);
         g.stroke.addRoundedRect({0.08 * s, 0.2 * s, 1.04 * s, 0.64 * s}, {0.1 * s, 0.1 * s});
         g.stroke.move(0.14 * s, 0.27 * s);
         g.stroke.addLine(0.6 * s, 0.6 * s);
         g.stroke.addLine(1.06 * s, 0.27 * s);
     }},
    {"rectangle.grid.1x2", 1.0,
     [](SymbolGlyph& g, double s, double) {
         roundPen(g);
         g.stroke.addRoundedRect({0.1 * s, 0.1 * s, 0.8 * s, 0.34 * s}, {0.08 * s, 0.08 * s});
         g.stroke.addRoundedRect({0.1 * s, 0.56 * s, 0.8 * s, 0.34 * s}, {0.08 * s, 0.08 * s});
     }},
    {"list.bullet.rectangle", 1.2,
     [](SymbolGlyph& g, double s, double lw) {
         roundPen(g);
         g.stroke.addRoundedRect({0.07 * s, 0.12 * s, 1.06 * s, 0.76 * s}, {0.14 * s, 0.14 * s});
         for (double y : {0.33, 0.5, 0.67}) {
             g.fill.addEllipse({0.3 * s - lw * 0.65, y * s - lw * 0.65, lw * 1.3, lw * 1.3});
             g.stroke.move(0.45 * s, y * s);
             g.stroke.addLine(0.9 * s, y * s);
         }
     }},
}};

}  // namespace

bool SymbolLibrary::contains(std::string_view name) {
    return std::any_of(kSymbols.begin(), kSymbols.end(), [&](const SymbolDef& d) { return d.name == name; });
}

std::vector<std::string_view> SymbolLibrary::names() {
    std::vector<std::string_view> out;
    for (const SymbolDef& d : kSymbols) out.push_back(d.name);
    return out;
}

SymbolGlyph SymbolLibrary::glyph(std::string_view name, const Font& font) {
    double s = std::isfinite(font.size) ? std::clamp(font.size, 0.0, 2048.0) : 13.0;
    double lw = s * strokeFraction(font.weight);
    SymbolGlyph g;
    g.strokeStyle.lineWidth = lw;
    g.baseline = 0.8 * s;
    for (const SymbolDef& d : kSymbols) {
        if (d.name == name) {
            g.size = {d.width * s, s};
            d.build(g, s, lw);
            return g;
        }
    }
    // Unknown: a neutral rounded square with a dot, so a missing glyph shows but never fails.
    g.isPlaceholder = true;
    g.size = {0.9 * s, s};
    g.strokeStyle.lineJoin = LineJoin::round;
    g.stroke.addRoundedRect({0.12 * s, 0.14 * s, 0.66 * s, 0.72 * s}, {0.14 * s, 0.14 * s});
    g.fill.addEllipse({0.45 * s - lw, 0.5 * s - lw, 2 * lw, 2 * lw});
    return g;
}

}  // namespace quillmar::gfx
