#pragma once
// The interface between a GraphicsContext and what it draws onto (a Cairo surface, a recorder).
// Every call carries the full drawing state, so a backend keeps none of its own between calls
// except its stack of open layers.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/affine_transform.h"
#include "gfx/filter.h"
#include "gfx/image.h"
#include "gfx/path.h"
#include "gfx/shading.h"
#include "gfx/stroke_style.h"

namespace quillmar::gfx {

class TextLayout;

struct ClipEntry {
    Path path{};                 // in the coordinates of `transform`
    AffineTransform transform{}; // user to points at the time of clipping
    bool eoFill = false;
};

struct DrawState {
    AffineTransform transform{};   // user space to points
    double opacity = 1;          // 0...1, already validated
    std::shared_ptr<const std::vector<ClipEntry>> clips{};  // null: no clip
    std::vector<Filter> filters{}; // applied when a layer is composited
    std::string tag{};             // what a group of primitives stands for ("symbol:minus"); for recorders
    // beginLayer and endLayer only: the transform (canvas points to canvas points) that carries
    // the layer's pixels to where they show when it is composited; identity when its content
    // was drawn in place.
    AffineTransform layerPlacement{};
    // beginLayer and endLayer only: composite only what the layer's one shadow filter casts, not
    // the content itself.
    bool layerShadowOnly = false;
};

enum class ImageInterpolation { none, low, high };

struct LayerStyle {
    // Moved or scaled by an animation in this frame: the shadow of a layer with one shadow filter
    // may be cast by the content drawn without the scale of the transform, at a whole-pixel
    // place, and carried to where it shows (resampled), so that it stays the one of the frame
    // before while only the transform changes (close, not exact). The content itself is drawn
    // where it shows, as always.
    bool inMotion = false;
};

struct ImageStyle {
    ImageInterpolation interpolation = ImageInterpolation::high;
    double saturation = 1;                // 0 grey ... 1 unchanged
    std::optional<Color> templateTint{};  // draw the image's alpha as a mask of this colour
    // Moved or scaled by an animation in this frame: a backend may draw it from pixels resampled
    // on an earlier frame, stretched by what the size changed since (close, not exact).
    bool inMotion = false;
};

class DrawingBackend {
public:
    virtual ~DrawingBackend() = default;

    // The size in points of the drawing area and the pixels per point.
    virtual Size canvasSize() const = 0;
    virtual double deviceScale() const = 0;

    virtual void fill(const Path& path, const Shading& shading, const FillStyle& style,
                      const DrawState& state) = 0;
    virtual void stroke(const Path& path, const Shading& shading, const StrokeStyle& style,
                        const DrawState& state) = 0;
    // Draws `layout` with its top-left corner at `origin` (user space).
    virtual void drawText(const TextLayout& layout, Point origin, const Shading& shading,
                          const DrawState& state) = 0;
    virtual void drawImage(const Image& image, const Rect& rect, const ImageStyle& style,
                           const DrawState& state) = 0;

    // Opens a transparent layer that endLayer() will composite with `state` (its opacity,
    // filters, clip and layer placement). `contentBounds` (canvas points, before the placement)
    // is where the content will land when known, so the backend may allocate and filter less.
    virtual void beginLayer(const DrawState& state, const std::optional<Rect>& contentBounds) = 0;
    // Closes the innermost layer and composites it; `state` is the one given to beginLayer.
    virtual void endLayer(const DrawState& state) = 0;
};

}  // namespace quillmar::gfx
