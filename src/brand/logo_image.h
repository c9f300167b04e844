#pragma once
// The app's logo, drawn in code: the full-colour badge (application icon, settings window, About
// card) and the monochrome menu-bar glyph (a template image the menu bar tints). Both are vector
// images that redraw at any resolution, cached per size for the life of the process:
//
//   LogoImage::makeAppIcon(512, true)   // the application icon, with its outer padding and shadow
//   LogoImage::makeAppIcon(128, false)  // About card: the badge widened to fill the square
//   LogoImage::makeMenuBarIcon(18)      // the status item
//
// Sizes are cached in half-point steps (rounded half away from zero): every request in one step
// gets the same image object, made at the size of the first request. Any thread may ask; a lock
// guards only the cache lookups and stores, images are made outside it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "brand/drawn_image.h"

namespace quillmar {

class LogoImage {
public:
    LogoImage() = delete;

    struct CacheKey {
        std::int64_t sizeHalfPt = 0;
        bool includeOuterPadding = false;
        bool isMenuTemplate = false;
        friend bool operator==(const CacheKey&, const CacheKey&) = default;
    };
    struct CacheKeyHash {
        std::size_t operator()(const CacheKey& k) const noexcept;
    };

    // The key of a request; nullopt for a size that is not finite or whose half points have no
    // 64-bit integer value (such requests get a fresh image of no size, never cached).
    static std::optional<CacheKey> cacheKey(double size, bool includeOuterPadding, bool isMenuTemplate);

    static std::shared_ptr<const DrawnImage> makeAppIcon(double size, bool includeOuterPadding);
    static std::shared_ptr<const DrawnImage> makeMenuBarIcon(double size);

    // The drawing routines behind the images: y-up space, `rect` = (0, 0, W, W). The badge is
    // designed in a 100-unit square (8.8...91.2 with outer padding, widened to 2...98 without);
    // the glyph in an 18-unit square. Return false for an empty or non-finite rectangle.
    static bool drawAppIcon(gfx::GraphicsContext& context, const gfx::Rect& rect, bool includeOuterPadding);
    static bool drawMenuBarGlyph(gfx::GraphicsContext& context, const gfx::Rect& rect);
};

}  // namespace quillmar
