#include "app/demo/nine_part_shadow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "gfx/path.h"
#include "gfx/render_target.h"
#include "ui/image_view.h"
#include "ui/stack_views.h"

namespace quillmar {

namespace {

// A rounded corner's curve leaves the edge less than this many radii from the corner.
constexpr double kCornerRadii = 2;
// Shadows cast for windows too small for nine parts are kept up to this many pixels together;
// beyond it, such a window's shadow is the one kept for the size nearest to its own, stretched.
constexpr std::size_t kMostCastPixels = std::size_t(1) << 24;

// How one axis of a shadow is laid: the cast's pixels [from, from + count) over the picture's
// [at, at + length), all counted from the shadow's outer edge.
struct Span {
    int from, count, at, length;
};

// The spans along one axis of the shadow of a window `size` pixels long, from a cast of a window
// `cast` pixels long whose straight stretch starts `end` pixels from either edge; `margin` pixels
// of shadow lie beyond each edge. A cast with a straight stretch is laid as its two ends and the
// stretch's first pixels drawn out between them; any other is laid whole, stretched if need be.
std::vector<Span> spansOf(int size, int cast, int end, int margin) {
    if (cast > 2 * end && size >= cast) {
        const int head = margin + end;
        return {{0, head, 0, head}, {head, 1, head, size - 2 * end}, {cast + margin - end, margin + end, size + margin - end, margin + end}};
    }
    return {{0, cast + 2 * margin, 0, size + 2 * margin}};
}

}  // namespace

gfx::Image NinePartShadow::Cast::part(int x, int y, int w, int h) {
    if (image.isNull() || (x == 0 && y == 0 && w == image.pixelWidth() && h == image.pixelHeight())) return image;
    auto [it, made] = parts.try_emplace({x, y});
    if (!made) return it->second;
    gfx::Image cut = gfx::Image::create(w, h, image.scale());
    if (cut.isNull()) return cut;
    const int inStride = image.stride() / 4, outStride = cut.stride() / 4;
    const std::uint32_t* in = std::as_const(image).data();
    std::uint32_t* out = cut.data();
    for (int row = 0; row < h; ++row)
        std::copy_n(in + std::ptrdiff_t(y + row) * inStride + x, w, out + std::ptrdiff_t(row) * outStride);
    cut.markDirty();
    return it->second = cut;
}

NinePartShadow::NinePartShadow(const WindowShadow::Style& style, double cornerRadius, ui::Size canvas, double scale)
    : style_(style), cornerRadius_(std::isfinite(cornerRadius) ? std::clamp(cornerRadius, 0.0, 256.0) : 0.0),
      scale_(std::isfinite(scale) && scale > 0 ? std::clamp(scale, 0.1, 16.0) : 1.0),
      reach_(WindowShadow::reach(style, scale_)) {
    const int corner = static_cast<int>(std::ceil(kCornerRadii * cornerRadius_ * scale_)) + 1;
    const int shift = std::abs(WindowShadow::drop(style, scale_));
    const int blur = reach_ - shift;
    ends_[0] = corner + blur;
    ends_[1] = corner + blur + shift;
    // Beyond this far outside the canvas, a window's edge casts nothing onto it but the straight
    // stretch's shadow, as it would from where the edge lies.
    const int beyond = reach_ + std::max(ends_[0], ends_[1]) + 2;
    auto pixels = [&](double points) {
        return std::isfinite(points) ? static_cast<int>(std::clamp(std::ceil(points * scale_), 0.0, 1e6)) : 0;
    };
    bounds_[0] = {-beyond, pixels(canvas.width) + beyond};
    bounds_[1] = {-beyond, pixels(canvas.height) + beyond};
}

NinePartShadow::Cast& NinePartShadow::castFor(int width, int height) {
    const int full[2] = {2 * ends_[0] + 1, 2 * ends_[1] + 1};
    std::pair<int, int> key{std::min(width, full[0]), std::min(height, full[1])};
    if (auto it = casts_.find(key); it != casts_.end()) return it->second;
    const bool nine = key.first == full[0] && key.second == full[1];
    if (!nine && castPixels_ > kMostCastPixels && !casts_.empty()) {
        auto nearest = casts_.begin();
        auto distance = [&](const std::pair<int, int>& k) {
            return std::max(std::abs(k.first - key.first), std::abs(k.second - key.second));
        };
        for (auto it = casts_.begin(); it != casts_.end(); ++it)
            if (distance(it->first) < distance(nearest->first)) nearest = it;
        return nearest->second;
    }
    Cast& cast = casts_[key];
    cast.width = key.first;
    cast.height = key.second;
    // The window's outline, as its clip shape has it, cast as a shadow.
    const ui::Size size{key.first / scale_, key.second / scale_};
    gfx::RenderTarget outline(size, scale_);
    outline.context().fill(gfx::Path::roundedRect({0, 0, size.width, size.height}, cornerRadius_),
                           gfx::Shading::color(gfx::Color::black()));
    cast.image = WindowShadow::cast(outline.takeImage(), 1, style_).image;
    if (cast.image.isNull()) return cast;
    castPixels_ += std::size_t(cast.image.pixelWidth()) * std::size_t(cast.image.pixelHeight());
    return cast;
}

ui::View NinePartShadow::under(const ui::Rect& frame) {
    if (!frame.isFinite()) return ui::View();
    // The window's edges at the nearest whole pixels, within reach of the canvas.
    auto edge = [&](double points, const std::pair<int, int>& within) {
        return static_cast<int>(std::clamp(std::round(points * scale_), double(within.first), double(within.second)));
    };
    const int left = edge(frame.minX(), bounds_[0]), right = std::max(edge(frame.maxX(), bounds_[0]), left + 1);
    const int top = edge(frame.minY(), bounds_[1]), bottom = std::max(edge(frame.maxY(), bounds_[1]), top + 1);
    Cast& cast = castFor(right - left, bottom - top);
    if (cast.image.isNull()) return ui::View();
    const auto across = spansOf(right - left, cast.width, ends_[0], reach_);
    const auto down = spansOf(bottom - top, cast.height, ends_[1], reach_);
    ui::ViewList parts;
    for (std::size_t row = 0; row < down.size(); ++row)
        for (std::size_t column = 0; column < across.size(); ++column) {
            if (row == 1 && column == 1) continue;  // under the window's opaque body
            const Span& x = across[column];
            const Span& y = down[row];
            const gfx::Image part = cast.part(x.from, y.from, x.count, y.count);
            if (part.isNull()) continue;
            parts.push_back(ui::Image(part)
                                .resizable()
                                .interpolation(gfx::ImageInterpolation::low)
                                .frame(x.length / scale_, y.length / scale_)
                                .offset((left - reach_ + x.at) / scale_, (top - reach_ + y.at) / scale_));
        }
    return ui::ZStack(ui::Alignment::topLeading(), std::move(parts));
}

}  // namespace quillmar
