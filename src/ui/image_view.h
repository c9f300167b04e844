#pragma once
// Images: a bitmap (app icons, logos) or a named system symbol drawn in the environment's font
// and foreground. A bitmap has its own size unless made resizable; a resizable one fills the
// frame it is offered, or fits or fills it keeping its aspect ratio.

#include <functional>
#include <string>

#include "gfx/drawing_backend.h"
#include "gfx/image.h"
#include "ui/view.h"

namespace quillmar::ui {

enum class ContentMode { fit, fill };

class Image : public View {
public:
    explicit Image(gfx::Image bitmap);
    static Image systemName(std::string symbol);
    // A bitmap `size` points large that `draw` makes when the view is drawn, not when it is laid
    // out: views that are never drawn (scrolled or clipped out of sight) never make theirs.
    static Image deferred(Size size, std::function<gfx::Image()> draw);

    Image resizable() const;
    Image aspectRatio(ContentMode mode) const;
    Image interpolation(gfx::ImageInterpolation quality) const;

    struct Spec {
        gfx::Image bitmap;
        std::string symbol;
        bool resizable = false;
        std::optional<ContentMode> contentMode;
        gfx::ImageInterpolation interpolation = gfx::ImageInterpolation::high;
        std::function<gfx::Image()> deferred;
        Size deferredSize;
    };

private:
    explicit Image(Spec spec);
    Spec spec_;
};

}  // namespace quillmar::ui
