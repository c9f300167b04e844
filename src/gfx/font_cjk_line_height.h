#pragma once
// Noto Sans CJK's line box (1.45 em) is much taller than Inter's (1.21 em). Left alone, one Han,
// Kana or Hangul character makes its line taller than its Latin neighbours, and views laid out
// around Latin text overflow in Chinese, Japanese and Korean. Runs drawn in the CJK face get the
// interface face's line height instead, centred on their own box as a line height is.

typedef struct _PangoLayout PangoLayout;

namespace quillmar::gfx {

struct FontFaces;

// For a layout whose text, font description (made from `faces`) and attributes are set: gives the
// runs drawn in the CJK face the line height of the line box face. Faces without a separate CJK
// face (serif, monospaced), and text without such runs, are left as they are.
void fitCJKRunsToInterfaceLineHeight(PangoLayout* layout, const FontFaces& faces);

}  // namespace quillmar::gfx
