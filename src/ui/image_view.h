#pragma once
// Images: a bitmap (app icons, logos) or a named system symbol drawn in the environment's font
// and foreground. A bitmap has its own size unless made resizable; a resizable one fills the
// frame it is offered, or fits or fills it keeping its aspect ratio.

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

    Image resizable() const;
    Image aspectRatio(ContentMode mode) const;
    Image interpolation(gfx::ImageInterpolation quality) const;

    struct Spec {
        gfx::Image bitmap;
        std::string symbol;
        bool resizable = false;
        std::optional<ContentMode> contentMode;
        gfx::ImageInterpolation interpolation = gfx::ImageInterpolation::high;
    };

private:
    explicit Image(Spec spec);
    Spec spec_;
};

}  // namespace quillmar::ui
