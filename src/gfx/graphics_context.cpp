#include "gfx/graphics_context.h"

#include <algorithm>
#include <cmath>

#include "gfx/symbol_library.h"

namespace quillmar::gfx {

GraphicsContext::GraphicsContext(std::shared_ptr<DrawingBackend> backend) : backend_(std::move(backend)) {}

Size GraphicsContext::size() const { return backend_->canvasSize(); }
double GraphicsContext::deviceScale() const { return backend_->deviceScale(); }

void GraphicsContext::translateBy(double x, double y) { transform = transform.translatedBy(x, y); }
void GraphicsContext::scaleBy(double x, double y) { transform = transform.scaledBy(x, y); }
void GraphicsContext::rotate(Angle angle) { transform = transform.rotatedBy(angle); }
void GraphicsContext::concatenate(const AffineTransform& t) { transform = transform.concatenating(t); }

void GraphicsContext::clip(const Path& path, const FillStyle& style) {
    auto next = std::make_shared<std::vector<ClipEntry>>(clips_ ? *clips_ : std::vector<ClipEntry>{});
    next->push_back({path, transform, style.eoFill});
    clips_ = std::move(next);
}

Rect GraphicsContext::clipBoundingRect() const {
    Size canvas = size();
    Rect device{0, 0, canvas.width, canvas.height};
    if (clips_) {
        for (const ClipEntry& c : *clips_) {
            if (!c.transform.isInvertible()) return {};
            device = device.intersection(c.transform.apply(c.path.boundingRect()));
        }
    }
    if (!transform.isInvertible()) return {};
    return transform.inverted().apply(device);
}

void GraphicsContext::addFilter(const Filter& filter) { filters_.push_back(filter); }
void GraphicsContext::clearFilters() { filters_.clear(); }

std::optional<DrawState> GraphicsContext::prepare() const {
    double alpha = std::isnan(opacity) ? 0.0 : std::clamp(opacity, 0.0, 1.0);
    if (alpha <= 0) return std::nullopt;
    if (!transform.isInvertible()) return std::nullopt;
    DrawState s;
    s.transform = transform;
    s.opacity = alpha;
    s.clips = clips_;
    s.filters = filters_;
    s.tag = tag_;
    return s;
}

DrawState GraphicsContext::drawState() const {
    if (auto s = prepare()) return *s;
    DrawState s;
    s.transform = transform;
    s.opacity = 0;
    s.clips = clips_;
    s.filters = filters_;
    return s;
}

void GraphicsContext::withFilters(const DrawState& state, const std::optional<Rect>& userBounds,
                                  const std::function<void(const DrawState&)>& draw) {
    if (state.filters.empty()) {
        draw(state);
        return;
    }
    std::optional<Rect> bounds;
    if (userBounds && userBounds->isFinite()) bounds = state.transform.apply(*userBounds);
    backend_->beginLayer(state, bounds);
    DrawState inner;
    inner.transform = state.transform;
    inner.tag = state.tag;
    draw(inner);
    backend_->endLayer(state);
}

void GraphicsContext::fill(const Path& path, const Shading& shading, const FillStyle& style) {
    auto state = prepare();
    if (!state || path.isEmpty()) return;
    if (state->filters.empty()) {
        // The common case, kept free of the layer set-up (and of measuring the path for it).
        backend_->fill(path, shading, style, *state);
        return;
    }
    withFilters(*state, path.boundingRect(),
                [&](const DrawState& s) { backend_->fill(path, shading, style, s); });
}

void GraphicsContext::stroke(const Path& path, const Shading& shading, const StrokeStyle& style) {
    auto state = prepare();
    if (!state || path.isEmpty()) return;
    if (state->filters.empty()) {
        backend_->stroke(path, shading, style, *state);
        return;
    }
    std::optional<Rect> bounds;
    if (std::isfinite(style.lineWidth)) {
        // Miter joins can reach out further than half the width.
        double reach = style.lineWidth / 2 * std::max(1.0, style.lineJoin == LineJoin::miter ? std::min(style.miterLimit, 10.0) : 1.5);
        bounds = path.boundingRect().insetBy(-reach, -reach);
    }
    withFilters(*state, bounds, [&](const DrawState& s) { backend_->stroke(path, shading, style, s); });
}

void GraphicsContext::stroke(const Path& path, const Shading& shading, double lineWidth) {
    StrokeStyle style;
    style.lineWidth = lineWidth;
    stroke(path, shading, style);
}

void GraphicsContext::paint(const Shading& shading) {
    Rect area = clipBoundingRect();
    if (area.isEmpty()) return;
    fill(Path::rect(area.insetBy(-1, -1)), shading);
}

void GraphicsContext::draw(const TextLayout& text, Point at, const Shading& shading, UnitPoint anchor) {
    auto state = prepare();
    if (!state || !at.isFinite()) return;
    Size s = text.size();
    Point origin{at.x - s.width * anchor.x, at.y - s.height * anchor.y};
    withFilters(*state, Rect{origin, s}.insetBy(-2, -2),
                [&](const DrawState& st) { backend_->drawText(text, origin, shading, st); });
}

void GraphicsContext::draw(const TextLayout& text, const Rect& rect, const Shading& shading, UnitPoint anchor) {
    if (!rect.isFinite()) return;
    Size s = text.size();
    Point origin{rect.x + (rect.width - s.width) * anchor.x, rect.y + (rect.height - s.height) * anchor.y};
    draw(text, origin, shading, UnitPoint::topLeading());
}

void GraphicsContext::draw(const Image& image, const Rect& rect, const ImageStyle& style) {
    auto state = prepare();
    if (!state || image.isNull() || !rect.isFinite() || rect.isEmpty()) return;
    withFilters(*state, rect, [&](const DrawState& s) { backend_->drawImage(image, rect, style, s); });
}

void GraphicsContext::drawSymbol(std::string_view name, const Font& font, Point center, const Shading& shading) {
    SymbolGlyph glyph = SymbolLibrary::glyph(name, font);
    Rect box{center.x - glyph.size.width / 2, center.y - glyph.size.height / 2, glyph.size.width, glyph.size.height};
    drawSymbol(name, font, box, shading);
}

void GraphicsContext::drawSymbol(std::string_view name, const Font& font, const Rect& rect, const Shading& shading) {
    if (!rect.isFinite() || !prepare()) return;
    SymbolGlyph glyph = SymbolLibrary::glyph(name, font);
    Point origin{rect.midX() - glyph.size.width / 2, rect.midY() - glyph.size.height / 2};
    int parts = !glyph.fill.isEmpty() + !glyph.fillEvenOdd.isEmpty() + !glyph.stroke.isEmpty();
    auto paintGlyph = [&](GraphicsContext& c) {
        c.tag_ = "symbol:" + std::string(name);
        c.translateBy(origin.x, origin.y);
        if (!glyph.fill.isEmpty()) c.fill(glyph.fill, shading);
        if (!glyph.fillEvenOdd.isEmpty()) c.fill(glyph.fillEvenOdd, shading, FillStyle{true, true});
        if (!glyph.stroke.isEmpty()) c.stroke(glyph.stroke, shading, glyph.strokeStyle);
    };
    // A glyph of several overlapping parts is one shape: fade or filter it as a group.
    if (parts > 1 && (opacity < 1 || !filters_.empty())) {
        Rect bounds{origin.x, origin.y, glyph.size.width, glyph.size.height};
        drawLayer([&](GraphicsContext& layer) { paintGlyph(layer); }, bounds.insetBy(-2, -2));
    } else {
        GraphicsContext c = *this;
        paintGlyph(c);
    }
}

void GraphicsContext::drawLayer(const std::function<void(GraphicsContext&)>& content, const std::optional<Rect>& bounds,
                                const LayerStyle& style) {
    auto state = prepare();
    if (!state) return;
    if (style.inMotion && state->filters.size() == 1 && state->filters.front().kind == Filter::Kind::shadow &&
        drawShadowedInMotion(*state, content, bounds))
        return;
    std::optional<Rect> deviceBounds;
    if (bounds && bounds->isFinite()) deviceBounds = transform.apply(*bounds);
    backend_->beginLayer(*state, deviceBounds);
    GraphicsContext layer(backend_);
    layer.transform = transform;
    layer.tag_ = tag_;
    content(layer);
    backend_->endLayer(*state);
}

bool GraphicsContext::drawShadowedInMotion(const DrawState& state, const std::function<void(GraphicsContext&)>& content,
                                           const std::optional<Rect>& bounds) {
    // The shadow is cast by the content drawn at the whole device pixel nearest to where its
    // origin shows, without the scale or rotation, which are left to the composite together with
    // the fraction of a pixel: while only the transform changes, the cast pixels stay the same and
    // the backend can keep their filtered result. Within these limits the unscaled layer stays
    // about as large as the placed one.
    const double s = deviceScale(), grow = transform.maxScale();
    const double shrink = std::fabs(transform.determinant()) / std::max(grow, 1e-300);
    if (!(state.filters.front().color.alpha > 0) || !(s > 0) || !std::isfinite(s) || !transform.isFinite() ||
        !(grow <= 4) || !(shrink >= 0.25) || !(std::fabs(transform.tx) < 1e6) || !(std::fabs(transform.ty) < 1e6))
        return false;
    const double px = std::round(transform.tx * s) / s, py = std::round(transform.ty * s) / s;
    const AffineTransform& t = transform;
    const AffineTransform inside = AffineTransform::translation(px, py);

    // Shadow and content are composited as one group when the opacity asks for it.
    const bool group = state.opacity < 1;
    const Filter& shadow = state.filters.front();
    if (group) {
        DrawState plain = state;
        plain.filters.clear();
        std::optional<Rect> reach;
        if (bounds && bounds->isFinite()) {
            // The shadow reaches as far as the backend's filter margin, carried by the transform.
            const double spread = (3 * shadow.radius + 1) * std::max(1.0, grow);
            reach = t.apply(*bounds).unionWith(t.apply(bounds->offsetBy(shadow.x, shadow.y)).insetBy(-spread, -spread));
        }
        backend_->beginLayer(plain, reach);
    }
    DrawState cast = state;
    cast.transform = inside;
    if (group) {
        cast.opacity = 1;
        cast.clips.reset();
    }
    cast.layerPlacement = {t.a, t.b, t.c, t.d, t.tx - (t.a * px + t.c * py), t.ty - (t.b * px + t.d * py)};
    cast.layerShadowOnly = true;
    std::optional<Rect> castBounds;
    if (bounds && bounds->isFinite()) castBounds = inside.apply(*bounds);
    backend_->beginLayer(cast, castBounds);
    {
        GraphicsContext layer(backend_);
        layer.transform = inside;
        layer.tag_ = tag_;
        content(layer);
    }
    backend_->endLayer(cast);

    GraphicsContext shown(backend_);
    shown.transform = transform;
    shown.tag_ = tag_;
    if (!group) {
        shown.clips_ = state.clips;
        shown.opacity = state.opacity;
    }
    content(shown);
    if (group) {
        DrawState plain = state;
        plain.filters.clear();
        backend_->endLayer(plain);
    }
    return true;
}

}  // namespace quillmar::gfx
