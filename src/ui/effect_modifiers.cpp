// Modifiers that change how a subtree is drawn, not where it is laid out: offset, scale,
// rotation, group opacity, shadow, saturation and clipping. Each keeps its numbers animatable.

#include <cmath>

#include "gfx/filter.h"
#include "ui/shape.h"
#include "ui/view_desc.h"

namespace quillmar::ui {
namespace detail {
namespace {

double finite(double v, double fallback = 0) { return std::isfinite(v) ? v : fallback; }

void renderChildren(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) {
    for (auto& c : node.children) renderNode(*c, rc, ctx);
}

// Applies an affine drawing transform about the node; hit testing undoes it.
class TransformDesc : public ModifierDesc {
public:
    using ModifierDesc::ModifierDesc;
    virtual gfx::AffineTransform transformFor(const Node& node, const std::vector<double>& v, Size size) const = 0;

    gfx::AffineTransform current(const Node& node, Size size, double now) const {
        return transformFor(node, node.data.value(now), size);
    }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        const auto t = current(node, rc.frameOf(node).size(), rc.now);
        if (!t.isInvertible()) return;
        gfx::GraphicsContext c = ctx;
        c.concatenate(t);
        const MotionScope motion(rc, !rc.inMotion && node.data.isAnimating(rc.now));
        renderChildren(node, rc, c);
    }
    gfx::AffineTransform childTransform(const Node& node, double now) const override {
        return current(node, node.presentedFrame(now).size(), now);
    }
};

class OffsetDesc final : public TransformDesc {
public:
    OffsetDesc(View c, double x, double y) : TransformDesc(std::move(c)), dx(finite(x)), dy(finite(y)) {}
    double dx, dy;
    std::vector<double> animatableData(const Node&) const override { return {dx, dy}; }
    gfx::AffineTransform transformFor(const Node&, const std::vector<double>& v, Size) const override {
        return gfx::AffineTransform::translation(v[0], v[1]);
    }
};

class ScaleDesc final : public TransformDesc {
public:
    ScaleDesc(View c, double x, double y, UnitPoint a)
        : TransformDesc(std::move(c)), sx(finite(x, 1)), sy(finite(y, 1)), anchor(a) {}
    double sx, sy;
    UnitPoint anchor;
    std::vector<double> animatableData(const Node&) const override { return {sx, sy}; }
    gfx::AffineTransform transformFor(const Node&, const std::vector<double>& v, Size s) const override {
        const double ax = s.width * anchor.x, ay = s.height * anchor.y;
        return gfx::AffineTransform::translation(ax, ay).scaledBy(v[0], v[1]).translatedBy(-ax, -ay);
    }
};

class RotationDesc final : public TransformDesc {
public:
    RotationDesc(View c, Angle a, UnitPoint an) : TransformDesc(std::move(c)), radians(finite(a.rad)), anchor(an) {}
    double radians;
    UnitPoint anchor;
    std::vector<double> animatableData(const Node&) const override { return {radians}; }
    gfx::AffineTransform transformFor(const Node&, const std::vector<double>& v, Size s) const override {
        const double ax = s.width * anchor.x, ay = s.height * anchor.y;
        return gfx::AffineTransform::translation(ax, ay).rotatedBy(Angle::radians(v[0])).translatedBy(-ax, -ay);
    }
};

class OpacityDesc final : public ModifierDesc {
public:
    OpacityDesc(View c, double v) : ModifierDesc(std::move(c)), value(std::clamp(finite(v), 0.0, 1.0)) {}
    double value;
    std::vector<double> animatableData(const Node&) const override { return {value}; }
    double drawnOpacity(const Node& node, double now) const override {
        return std::clamp(node.data.value(now, 0), 0.0, 1.0);
    }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        const double v = std::clamp(node.data.value(rc.now, 0), 0.0, 1.0);
        if (v <= 0.0005) return;
        if (v >= 0.9995) return renderChildren(node, rc, ctx);
        gfx::GraphicsContext c = ctx;
        c.opacity *= v;
        drawGroup(node, rc, c, [&](gfx::GraphicsContext& layer) { renderChildren(node, rc, layer); });
    }
};

class ShadowDesc final : public ModifierDesc {
public:
    ShadowDesc(View c, Color col, double r, double x, double y)
        : ModifierDesc(std::move(c)), color(col), radius(std::max(0.0, finite(r))), dx(finite(x)), dy(finite(y)) {}
    Color color;
    double radius, dx, dy;
    std::vector<double> animatableData(const Node&) const override {
        auto v = colorsToData({color});
        v.insert(v.end(), {radius, dx, dy});
        return v;
    }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        const auto v = node.data.value(rc.now);
        const Color c = dataToColors(v.data(), 4).front();
        if (c.alpha <= 0) return renderChildren(node, rc, ctx);
        gfx::GraphicsContext g = ctx;
        g.addFilter(gfx::Filter::shadow(c, std::max(0.0, v[4]), v[5], v[6]));
        drawGroup(node, rc, g, [&](gfx::GraphicsContext& layer) { renderChildren(node, rc, layer); });
    }
    int primitiveCount(const Node&) const override { return 2; }
};

class SaturationDesc final : public ModifierDesc {
public:
    SaturationDesc(View c, double a) : ModifierDesc(std::move(c)), amount(std::max(0.0, finite(a, 1))) {}
    double amount;
    std::vector<double> animatableData(const Node&) const override { return {amount}; }
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        const double a = std::max(0.0, node.data.value(rc.now, 0));
        if (std::fabs(a - 1) < 1e-6) return renderChildren(node, rc, ctx);
        gfx::GraphicsContext g = ctx;
        g.addFilter(gfx::Filter::saturation(a));
        drawGroup(node, rc, g, [&](gfx::GraphicsContext& layer) { renderChildren(node, rc, layer); });
    }
    int primitiveCount(const Node&) const override { return 2; }
};

class ClipDesc final : public ModifierDesc {
public:
    ClipDesc(View c, Shape s) : ModifierDesc(std::move(c)), shape(std::move(s)) {}
    Shape shape;
    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        gfx::GraphicsContext g = ctx;
        g.clip(shape.path(Rect{Point{}, rc.frameOf(node).size()}));
        renderChildren(node, rc, g);
    }
    Rect drawnBounds(const Node& node, double now) const override {
        return ModifierDesc::drawnBounds(node, now).intersection(shape.path(Rect{Point{}, node.presentedFrame(now).size()})
                                                                     .boundingRect()
                                                                     .insetBy(-1, -1));
    }
    Node* hitTest(Node& node, Point p, HitTestContext& hc) const override {
        if (!shape.path(Rect{Point{}, node.presentedFrame(hc.now).size()}).contains(p)) return nullptr;
        return ModifierDesc::hitTest(node, p, hc);
    }
};

}  // namespace
}  // namespace detail

View View::offset(double x, double y) const { return View(std::make_shared<detail::OffsetDesc>(*this, x, y)); }
View View::scaleEffect(double scale, UnitPoint anchor) const { return scaleEffect(scale, scale, anchor); }
View View::scaleEffect(double x, double y, UnitPoint anchor) const {
    return View(std::make_shared<detail::ScaleDesc>(*this, x, y, anchor));
}
View View::rotationEffect(Angle angle, UnitPoint anchor) const {
    return View(std::make_shared<detail::RotationDesc>(*this, angle, anchor));
}
View View::opacity(double value) const { return View(std::make_shared<detail::OpacityDesc>(*this, value)); }
View View::shadow(Color color, double radius, double x, double y) const {
    return View(std::make_shared<detail::ShadowDesc>(*this, color, radius, x, y));
}
View View::saturation(double amount) const { return View(std::make_shared<detail::SaturationDesc>(*this, amount)); }
View View::clipShape(const Shape& shape) const { return View(std::make_shared<detail::ClipDesc>(*this, shape)); }
View View::clipped() const { return clipShape(Shape::rectangle()); }

}  // namespace quillmar::ui
