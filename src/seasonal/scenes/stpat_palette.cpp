#include "seasonal/scenes/stpat_palette.h"

namespace quillmar {

namespace {

gfx::Color c(double r, double g, double b) { return gfx::Color::rgb(r, g, b); }

StpatPalette withShared(gfx::Color emeraldDeep, gfx::Color emerald, gfx::Color spring, gfx::Color gold,
                        gfx::Color goldHi, gfx::Color clover) {
    return StpatPalette{
        .emeraldDeep = emeraldDeep,
        .emerald = emerald,
        .spring = spring,
        .mint = c(0.80, 0.98, 0.86),
        .gold = gold,
        .goldHi = goldHi,
        .goldShadow = c(0.58, 0.37, 0.05),
        .cream = c(0.99, 0.96, 0.88),
        .clover = clover,
        .cloverPink = c(0.92, 0.70, 0.88),
        .iron = c(0.19, 0.21, 0.22),
        .ironHi = c(0.46, 0.49, 0.49),
        .ironDeep = c(0.05, 0.06, 0.07),
        .lantern = c(1.00, 0.74, 0.34),
    };
}

}  // namespace

// Function-local statics give the once-only, thread-safe first build.
const StpatPalette& StpatPalette::light() {
    static const StpatPalette palette = withShared(c(0.03, 0.34, 0.19), c(0.07, 0.52, 0.30), c(0.24, 0.74, 0.42),
                                                   c(0.88, 0.64, 0.14), c(1.00, 0.90, 0.52), c(0.50, 0.30, 0.68));
    return palette;
}

const StpatPalette& StpatPalette::dark() {
    static const StpatPalette palette = withShared(c(0.03, 0.30, 0.17), c(0.10, 0.62, 0.36), c(0.36, 0.86, 0.50),
                                                   c(0.95, 0.74, 0.22), c(1.00, 0.94, 0.66), c(0.62, 0.42, 0.80));
    return palette;
}

}  // namespace quillmar
