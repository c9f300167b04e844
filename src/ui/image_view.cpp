#include "ui/image_view.h"

#include <cmath>

#include "gfx/symbol_library.h"
#include "ui/view_desc.h"

namespace quillmar::ui {
namespace detail {
namespace {

class ImageDesc final : public ViewDesc {
public:
    int primitiveCount(const Node&) const override { return 1; }
    gfx::Image bitmap;
    std::string symbol;
    bool resizable = false;
    std::optional<ContentMode> mode;
    gfx::ImageInterpolation interpolation = gfx::ImageInterpolation::high;
    std::function<gfx::Image()> deferred;
    Size deferredSize;

    bool isSymbol() const { return !symbol.empty(); }
    Size natural(const Node& node) const {
        if (isSymbol()) return gfx::SymbolLibrary::glyph(symbol, node.env->font).size;
        if (deferred) return deferredSize;
        return bitmap.isNull() ? Size{} : bitmap.size();
    }

    std::vector<double> animatableData(const Node& node) const override {
        if (!isSymbol()) return {};
        return colorsToData(node.env->foreground().resolvedColors(*node.env));
    }

    Size sizeThatFits(Node& node, ProposedSize p, LayoutContext&) const override {
        const Size n = natural(node);
        if (!resizable || isSymbol()) return n;
        if (!mode || !(n.width > 0 && n.height > 0)) return p.replacingUnspecified(n);
        if (!p.width && !p.height) return n;
        const double ratio = n.width / n.height;
        if (!p.width) return {*p.height * ratio, *p.height};
        if (!p.height) return {*p.width, *p.width / ratio};
        const double k = *mode == ContentMode::fit ? std::min(*p.width / n.width, *p.height / n.height)
                                                   : std::max(*p.width / n.width, *p.height / n.height);
        if (!std::isfinite(k)) return p.replacingUnspecified(n);
        return {n.width * k, n.height * k};
    }

    void render(Node& node, RenderContext& rc, gfx::GraphicsContext& ctx) const override {
        const Rect f{Point{}, rc.frameOf(node).size()};
        if (f.isEmpty()) return;
        if (isSymbol()) {
            const auto data = node.data.value(rc.now);
            const auto colors = dataToColors(data.data(), data.size());
            ctx.drawSymbol(symbol, node.env->font, f, node.env->foreground().shading(f, colors));
            return;
        }
        const gfx::Image bitmap = deferred ? deferred() : this->bitmap;
        if (bitmap.isNull()) return;
        Rect target = f;
        if (mode == ContentMode::fit) target = gfx::aspectFit(bitmap.size(), f);
        if (mode == ContentMode::fill) target = gfx::aspectFill(bitmap.size(), f);
        gfx::ImageStyle style;
        style.interpolation = interpolation;
        style.inMotion = rc.inMotion;
        ctx.draw(bitmap, target, style);
    }

    Node* hitTest(Node& node, Point p, HitTestContext& hc) const override {
        return Rect{Point{}, node.presentedFrame(hc.now).size()}.contains(p) ? &node : nullptr;
    }
};

}  // namespace
}  // namespace detail

namespace {
std::shared_ptr<const detail::ViewDesc> makeImageDesc(const Image::Spec& spec) {
    auto d = std::make_shared<detail::ImageDesc>();
    d->bitmap = spec.bitmap;
    d->symbol = spec.symbol;
    d->resizable = spec.resizable;
    d->mode = spec.contentMode;
    d->interpolation = spec.interpolation;
    d->deferred = spec.deferred;
    d->deferredSize = spec.deferredSize;
    return d;
}
}  // namespace

Image::Image(Spec spec) : View(makeImageDesc(spec)), spec_(std::move(spec)) {}

Image::Image(gfx::Image bitmap) : Image(Spec{std::move(bitmap), {}, false, std::nullopt, gfx::ImageInterpolation::high, {}, {}}) {}

Image Image::systemName(std::string symbol) {
    Spec s;
    s.symbol = std::move(symbol);
    return Image(std::move(s));
}

Image Image::deferred(Size size, std::function<gfx::Image()> draw) {
    Spec s;
    s.deferred = std::move(draw);
    s.deferredSize = size;
    return Image(std::move(s));
}

Image Image::resizable() const {
    Spec s = spec_;
    s.resizable = true;
    return Image(std::move(s));
}

Image Image::aspectRatio(ContentMode mode) const {
    Spec s = spec_;
    s.contentMode = mode;
    return Image(std::move(s));
}

Image Image::interpolation(gfx::ImageInterpolation quality) const {
    Spec s = spec_;
    s.interpolation = quality;
    return Image(std::move(s));
}

}  // namespace quillmar::ui
