#pragma once
// GraphicsContext: the immediate-mode drawing context every view, logo, particle and scene
// draws through, in the vocabulary of a declarative UI toolkit's canvas.
//
// - Coordinates: points, y down (see geometry.h); arcs: see path.h.
// - A context is a value: copying it gives an independent transform, opacity, clip and filter
//   list that share the same drawing target. Changes to a copy never reach the original.
// - `opacity` multiplies the alpha of every later draw call (it is not a group: overlapping
//   shapes drawn at 0.5 show their overlap). Values are clamped to 0...1; NaN counts as 0.
// - A stroke is drawn under the current transform, so a non-uniform scale distorts its width.
// - Filters added with addFilter() apply to each later draw call on its own (a shadow per
//   shape); to apply them to a group, draw the group with drawLayer().
// - drawLayer() gives a fresh context (same transform, opacity 1, no filters) that draws into a
//   transparent layer; the layer is then composited with this context's opacity, filters and
//   clip.
// - Non-finite numbers are dropped: a transform that is not finite or not invertible is not
//   applied to later draws (they are skipped), non-finite path points are ignored.

#include <functional>
#include <memory>
#include <string_view>

#include "gfx/drawing_backend.h"
#include "gfx/font.h"
#include "gfx/text_layout.h"

namespace quillmar::gfx {

class GraphicsContext {
public:
    explicit GraphicsContext(std::shared_ptr<DrawingBackend> backend);

    // State, as plain members: `ctx.opacity = 0.5` affects the draw calls that follow.
    double opacity = 1;
    AffineTransform transform;

    Size size() const;           // the canvas size in points
    double deviceScale() const;  // pixels per point of the target

    // Transforms (each prepends to the current transform, as on a canvas).
    void translateBy(double x, double y);
    void scaleBy(double x, double y);
    void rotate(Angle angle);
    void rotateBy(double radians) { rotate(Angle::radians(radians)); }
    void concatenate(const AffineTransform& t);

    // Clipping (intersects with the current clip).
    void clip(const Path& path, const FillStyle& style = {});
    void clipToRect(const Rect& r) { clip(Path::rect(r)); }
    // Bounding box of the current clip in user space; the canvas when unclipped.
    Rect clipBoundingRect() const;

    // Filters applied to every later draw call.
    void addFilter(const Filter& filter);
    void clearFilters();

    // Drawing.
    void fill(const Path& path, const Shading& shading, const FillStyle& style = {});
    void stroke(const Path& path, const Shading& shading, const StrokeStyle& style);
    void stroke(const Path& path, const Shading& shading, double lineWidth);
    // Fills the whole clip area (or canvas).
    void paint(const Shading& shading);

    // Text: `anchor` says which point of the text's box lands on `at`.
    void draw(const TextLayout& text, Point at, const Shading& shading,
              UnitPoint anchor = UnitPoint::topLeading());
    // Text aligned in a rectangle (its box is placed with `anchor` inside `rect`).
    void draw(const TextLayout& text, const Rect& rect, const Shading& shading,
              UnitPoint anchor = UnitPoint::center());

    // Images, drawn to fill `rect` (use aspectFit() for a kept aspect ratio).
    void draw(const Image& image, const Rect& rect, const ImageStyle& style = {});

    // A named symbol in `font` centred in `rect` (or centred on a point), tinted by `shading`.
    void drawSymbol(std::string_view name, const Font& font, const Rect& rect, const Shading& shading);
    void drawSymbol(std::string_view name, const Font& font, Point center, const Shading& shading);

    // Draws `content` into a layer composited as a group (see the header comment). `bounds`
    // (user space), when given, promises where the content lies so the layer and its filters
    // work on that area only (content outside it may be lost). In motion (see LayerStyle) the
    // content may be drawn twice: once to cast the shadow, once where it shows.
    void drawLayer(const std::function<void(GraphicsContext&)>& content,
                   const std::optional<Rect>& bounds = std::nullopt, const LayerStyle& style = {});

    // Internal access for the layers above (ui): the full state of this context.
    DrawState drawState() const;
    DrawingBackend& backend() const { return *backend_; }

private:
    // The state of a draw call, or nothing when the call must be skipped (invisible, or a
    // transform that is not finite or not invertible).
    std::optional<DrawState> prepare() const;
    // Runs `draw` directly, or inside a layer carrying this context's filters when it has any.
    // `userBounds` is the drawing's extent in user space, when known.
    void withFilters(const DrawState& state, const std::optional<Rect>& userBounds,
                     const std::function<void(const DrawState&)>& draw);
    // drawLayer in motion with one shadow filter: false when the transform does not allow it.
    bool drawShadowedInMotion(const DrawState& state, const std::function<void(GraphicsContext&)>& content,
                              const std::optional<Rect>& bounds);

    std::shared_ptr<DrawingBackend> backend_;
    std::shared_ptr<const std::vector<ClipEntry>> clips_;
    std::vector<Filter> filters_;
    std::string tag_;
};

}  // namespace quillmar::gfx
