#include "ui/shape.h"

#include <cmath>

#include "ui/view_desc.h"

namespace quillmar::ui {
namespace detail {
namespace {

enum class PaintMode { fill, fillForeground, stroke };

double distanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return gfx::distance(p, Point{a.x + t * dx, a.y + t * dy});
}

class ShapeViewDesc final : public ViewDesc {
public:
    int primitiveCount(const Node&) const override { return 1; }
    ShapeViewDesc(Shape s, PaintMode m, ShapeStyle st, gfx::FillStyle fs, gfx::StrokeStyle ss)
        : shape(std::move(s)), mode(m), style(std::move(st)), fillStyle(fs), strokeStyle(std::move(ss)) {}
    Shape shape;
    PaintMode mode;
    ShapeStyle style;
    gfx::FillStyle fillStyle;
    gfx::StrokeStyle strokeStyle;

    ShapeStyle resolvedStyle(const Node& node) const {
        return mode == PaintMode::fillForeground ? node.env->foreground() : style;
    }

    std::vector<double> animatableData(const Node& node) const override {
        return colorsToData(resolvedStyle(node).resolvedColors(*node.env));
    }
    Size sizeThatFits(Node&, ProposedSize p, LayoutContext&) const override {
        return p.replacingUnspecified(Size{10, 10});
    }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        const Rect f{Point{}, rc.frameOf(node).size()};
        const auto data = node.data.value(rc.now);
        const auto colors = dataToColors(data.data(), data.size());
        bool visible = false;
        for (const auto& c : colors) visible = visible || c.alpha > 0;
        if (!visible) return;
        const ShapeStyle st = resolvedStyle(node);
        const auto shading = st.shading(f, colors);
        if (mode == PaintMode::stroke)
            ctx.stroke(shape.path(f), shading, strokeStyle);
        else
            ctx.fill(shape.path(f), shading, fillStyle);
    }
    Node* hitTest(Node& node, Point p, HitTestContext& hc) const override {
        const Rect f{Point{}, node.presentedFrame(hc.now).size()};
        const auto data = node.data.target();
        bool visible = false;
        for (const auto& c : dataToColors(data.data(), data.size())) visible = visible || c.alpha > 0;
        if (!visible) return nullptr;  // clear paint takes no hits (give the view a content shape)
        const gfx::Path path = shape.path(f);
        if (mode != PaintMode::stroke) return path.contains(p, fillStyle.eoFill) ? &node : nullptr;
        const double reach = std::max(0.5, strokeStyle.lineWidth / 2);
        for (const auto& line : path.flattened(0.25)) {
            const auto& pts = line.points;
            for (std::size_t i = 1; i < pts.size(); ++i)
                if (distanceToSegment(p, pts[i - 1], pts[i]) <= reach) return &node;
            if (line.closed && pts.size() > 1 && distanceToSegment(p, pts.back(), pts.front()) <= reach) return &node;
        }
        return nullptr;
    }
};

}  // namespace
}  // namespace detail

namespace {
std::shared_ptr<const detail::ViewDesc> foregroundFill(const Shape& s) {
    return std::make_shared<detail::ShapeViewDesc>(s, detail::PaintMode::fillForeground, ShapeStyle::primary(),
                                                   gfx::FillStyle{}, gfx::StrokeStyle{});
}
double finiteLength(double v) { return std::isfinite(v) ? std::max(0.0, v) : 0; }
}  // namespace

Shape::Shape(Spec spec) : View(), spec_(std::move(spec)) {
    static_cast<View&>(*this) = View(foregroundFill(*this));
}

Shape Shape::rectangle() { return Shape(Spec{}); }

Shape Shape::roundedRectangle(double cornerRadius, gfx::RoundedCornerStyle style) {
    Spec s;
    s.kind = Kind::roundedRectangle;
    s.radius = finiteLength(cornerRadius);
    s.cornerSize = {s.radius, s.radius};
    s.style = style;
    return Shape(std::move(s));
}

Shape Shape::roundedRectangle(Size cornerSize, gfx::RoundedCornerStyle style) {
    Spec s;
    s.kind = Kind::roundedRectangle;
    s.cornerSize = {finiteLength(cornerSize.width), finiteLength(cornerSize.height)};
    s.radius = s.cornerSize.width;
    s.style = style;
    return Shape(std::move(s));
}

Shape Shape::unevenRoundedRectangle(const gfx::RectangleCornerRadii& radii, gfx::RoundedCornerStyle style) {
    Spec s;
    s.kind = Kind::unevenRoundedRectangle;
    s.radii = {finiteLength(radii.topLeading), finiteLength(radii.bottomLeading), finiteLength(radii.bottomTrailing),
               finiteLength(radii.topTrailing)};
    s.style = style;
    return Shape(std::move(s));
}

Shape Shape::circle() {
    Spec s;
    s.kind = Kind::circle;
    return Shape(std::move(s));
}

Shape Shape::ellipse() {
    Spec s;
    s.kind = Kind::ellipse;
    return Shape(std::move(s));
}

Shape Shape::capsule(gfx::RoundedCornerStyle style) {
    Spec s;
    s.kind = Kind::capsule;
    s.style = style;
    return Shape(std::move(s));
}

Shape Shape::custom(std::function<gfx::Path(const Rect&)> path) {
    Spec s;
    s.kind = Kind::custom;
    s.custom = std::make_shared<const std::function<gfx::Path(const Rect&)>>(std::move(path));
    return Shape(std::move(s));
}

Shape Shape::inset(double amount) const {
    Spec s = spec_;
    s.inset += std::isfinite(amount) ? amount : 0;
    return Shape(std::move(s));
}

gfx::Path Shape::path(const Rect& in) const {
    const Rect r = spec_.inset >= 0 ? in.insetBy(spec_.inset, spec_.inset)
                                    : Rect{in.x + spec_.inset, in.y + spec_.inset, in.width - 2 * spec_.inset,
                                           in.height - 2 * spec_.inset};
    if (!r.isFinite()) return {};
    switch (spec_.kind) {
        case Kind::rectangle: return gfx::Path::rect(r);
        case Kind::roundedRectangle: {
            // An inset shape keeps its curvature: the radius shrinks with the inset.
            const double k = spec_.inset;
            Size corner{std::max(0.0, spec_.cornerSize.width - k), std::max(0.0, spec_.cornerSize.height - k)};
            return gfx::Path::roundedRect(r, corner, spec_.style);
        }
        case Kind::unevenRoundedRectangle: {
            const double k = spec_.inset;
            gfx::RectangleCornerRadii radii{std::max(0.0, spec_.radii.topLeading - k),
                                            std::max(0.0, spec_.radii.bottomLeading - k),
                                            std::max(0.0, spec_.radii.bottomTrailing - k),
                                            std::max(0.0, spec_.radii.topTrailing - k)};
            return gfx::Path::unevenRoundedRect(r, radii, spec_.style);
        }
        case Kind::circle: {
            const double d = std::min(r.width, r.height);
            return gfx::Path::ellipse(Rect{r.midX() - d / 2, r.midY() - d / 2, d, d});
        }
        case Kind::ellipse: return gfx::Path::ellipse(r);
        case Kind::capsule: return gfx::Path::capsule(r, spec_.style);
        case Kind::custom: return spec_.custom && *spec_.custom ? (*spec_.custom)(r) : gfx::Path{};
    }
    return {};
}

View Shape::fill(const ShapeStyle& style, gfx::FillStyle fillStyle) const {
    return View(std::make_shared<detail::ShapeViewDesc>(*this, detail::PaintMode::fill, style, fillStyle,
                                                        gfx::StrokeStyle{}));
}

View Shape::stroke(const ShapeStyle& style, double lineWidth) const {
    gfx::StrokeStyle s;
    s.lineWidth = finiteLength(lineWidth);
    return stroke(style, s);
}

View Shape::stroke(const ShapeStyle& style, const gfx::StrokeStyle& strokeStyle) const {
    return View(std::make_shared<detail::ShapeViewDesc>(*this, detail::PaintMode::stroke, style, gfx::FillStyle{},
                                                        strokeStyle));
}

View Shape::strokeBorder(const ShapeStyle& style, double lineWidth) const {
    gfx::StrokeStyle s;
    s.lineWidth = finiteLength(lineWidth);
    return strokeBorder(style, s);
}

View Shape::strokeBorder(const ShapeStyle& style, const gfx::StrokeStyle& strokeStyle) const {
    return inset(finiteLength(strokeStyle.lineWidth) / 2).stroke(style, strokeStyle);
}

View::View(const Color& color) : View(Shape::rectangle().fill(ShapeStyle(color))) {}

}  // namespace quillmar::ui
