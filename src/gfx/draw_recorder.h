#pragma once
// A drawing backend that records each draw call instead of rasterising it, so drawing routines
// can be tested by their structure: which operations, where, in which colours, at which opacity.

#include <memory>
#include <string>
#include <vector>

#include "gfx/drawing_backend.h"
#include "gfx/graphics_context.h"

namespace quillmar::gfx {

struct DrawRecord {
    enum class Op { fill, stroke, text, image, beginLayer, endLayer };
    Op op = Op::fill;
    Path path{};                     // user-space path (fill, stroke)
    Rect bounds{};                   // path bounds in user space (text/image: their rect)
    Rect deviceBounds{};             // the same in canvas points, through the transform
    Shading::Kind shadingKind = Shading::Kind::color;
    std::vector<Color> colors{};   // shading colours (resolved stops for gradients)
    Shading shading{};
    double opacity = 1;            // the context's opacity for the call
    double effectiveOpacity = 1;   // times the opacities of all enclosing layers
    AffineTransform transform{};
    FillStyle fillStyle{};
    StrokeStyle strokeStyle{};
    std::vector<Filter> filters{};
    bool clipped = false;
    int layerDepth = 0;
    std::string text{};              // text: its string
    std::string tag{};               // e.g. "symbol:minus" for a symbol's primitives
    double fontSize = 0;
    bool inMotion = false;           // image: drawn while an animation moves or scales it
    AffineTransform layerPlacement{};  // beginLayer: what carries the layer to where it shows
    bool shadowOnly = false;           // beginLayer: only the layer's shadow is composited
};

class DrawRecorder : public DrawingBackend {
public:
    explicit DrawRecorder(Size canvas = {1000, 1000}, double scale = 1.0);

    static std::shared_ptr<DrawRecorder> make(Size canvas = {1000, 1000}, double scale = 1.0) {
        return std::make_shared<DrawRecorder>(canvas, scale);
    }
    // A context that draws into `recorder`.
    static GraphicsContext contextFor(const std::shared_ptr<DrawRecorder>& recorder) {
        return GraphicsContext(recorder);
    }

    const std::vector<DrawRecord>& records() const { return records_; }
    void clear() { records_.clear(); }
    // Records of one kind, in order.
    std::vector<DrawRecord> ofOp(DrawRecord::Op op) const;
    // Fills and strokes only (the drawn primitives).
    std::vector<DrawRecord> primitives() const;
    std::vector<DrawRecord> withTag(const std::string& tag) const;

    Size canvasSize() const override { return canvas_; }
    double deviceScale() const override { return scale_; }
    void fill(const Path& path, const Shading& shading, const FillStyle& style,
              const DrawState& state) override;
    void stroke(const Path& path, const Shading& shading, const StrokeStyle& style,
                const DrawState& state) override;
    void drawText(const TextLayout& layout, Point origin, const Shading& shading,
                  const DrawState& state) override;
    void drawImage(const Image& image, const Rect& rect, const ImageStyle& style,
                   const DrawState& state) override;
    void beginLayer(const DrawState& state, const std::optional<Rect>& contentBounds) override;
    void endLayer(const DrawState& state) override;

private:
    DrawRecord base(DrawRecord::Op op, const Shading* shading, const DrawState& state) const;
    // `r` (canvas points, as drawn in the innermost open layer) where it shows on the canvas.
    Rect placed(const Rect& r) const;
    Size canvas_;
    double scale_;
    std::vector<DrawRecord> records_;
    std::vector<std::size_t> openLayers_;  // index of each open beginLayer record
};

}  // namespace quillmar::gfx
