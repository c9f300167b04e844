#include "brand/logo_image.h"

#include <cmath>
#include <functional>
#include <mutex>
#include <unordered_map>

#include "gfx/path.h"
#include "gfx/shading.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::GradientExtend;
using gfx::GradientStop;
using gfx::GraphicsContext;
using gfx::Path;
using gfx::Point;
using gfx::Rect;
using gfx::Shading;

// The badge's outline: a square of half side 41.2 around (50, 50) whose corners are smoothed by
// one cubic curve per half side (design units, y up).
Path badgeOutline() {
    Path p;
    p.move(50, 91.2);
    p.addCurve({86.1, 86.1}, {72.5, 91.2}, {81, 91.2});
    p.addCurve({91.2, 50}, {91.2, 81}, {91.2, 72.5});
    p.addCurve({86.1, 13.9}, {91.2, 27.5}, {91.2, 19});
    p.addCurve({50, 8.8}, {81, 8.8}, {72.5, 8.8});
    p.addCurve({13.9, 13.9}, {27.5, 8.8}, {19, 8.8});
    p.addCurve({8.8, 50}, {8.8, 19}, {8.8, 27.5});
    p.addCurve({13.9, 86.1}, {8.8, 72.5}, {8.8, 81});
    p.addCurve({50, 91.2}, {19, 91.2}, {27.5, 91.2});
    p.closeSubpath();
    return p;
}

Path roundedRect(double x, double y, double w, double h, double r) {
    return Path::roundedRect(Rect{x, y, w, h}, r, gfx::RoundedCornerStyle::circular);
}

// A shadow for what `ctx` draws next, given in design units of the context's current space
// (y up); shadows work in canvas points, so the offset and blur go through the transform.
gfx::Filter designShadow(const GraphicsContext& ctx, double dx, double dy, double blur, const Color& color) {
    const Point offset = ctx.transform.applyToVector({dx, dy});
    return gfx::Filter::shadow(color, blur * ctx.transform.maxScale(), offset.x, offset.y);
}

bool usableRect(const Rect& rect) { return rect.isFinite() && rect.width > 0; }

std::mutex& cacheLock() {
    static std::mutex lock;
    return lock;
}

using Cache = std::unordered_map<LogoImage::CacheKey, std::shared_ptr<const DrawnImage>, LogoImage::CacheKeyHash>;
Cache& cache() {
    static Cache* entries = new Cache();  // lives until the process ends, never cleared
    return *entries;
}

std::shared_ptr<const DrawnImage> cachedOrMade(std::optional<LogoImage::CacheKey> key,
                                               const std::function<std::shared_ptr<const DrawnImage>()>& make) {
    if (!key) return make();
    {
        std::lock_guard guard(cacheLock());
        if (auto it = cache().find(*key); it != cache().end()) return it->second;
    }
    auto image = make();
    std::lock_guard guard(cacheLock());
    cache()[*key] = image;  // replaces what another thread stored meanwhile
    return image;
}

}  // namespace

std::size_t LogoImage::CacheKeyHash::operator()(const CacheKey& k) const noexcept {
    std::size_t h = std::hash<std::int64_t>{}(k.sizeHalfPt);
    h = h * 31 + std::hash<bool>{}(k.includeOuterPadding);
    h = h * 31 + std::hash<bool>{}(k.isMenuTemplate);
    return h;
}

std::optional<LogoImage::CacheKey> LogoImage::cacheKey(double size, bool includeOuterPadding, bool isMenuTemplate) {
    const double halfPoints = size * 2;
    // 2^63 is the first double outside the signed 64-bit range.
    if (!std::isfinite(halfPoints) || std::fabs(halfPoints) >= 9.2233720368547758e18) return std::nullopt;
    return CacheKey{static_cast<std::int64_t>(std::llround(halfPoints)), includeOuterPadding, isMenuTemplate};
}

std::shared_ptr<const DrawnImage> LogoImage::makeAppIcon(double size, bool includeOuterPadding) {
    auto key = cacheKey(size, includeOuterPadding, false);
    return cachedOrMade(key, [&] {
        const double side = key ? size : 0.0;
        return std::make_shared<const DrawnImage>(
            gfx::Size{side, side}, false, [includeOuterPadding](GraphicsContext& ctx, const Rect& rect) {
                return drawAppIcon(ctx, rect, includeOuterPadding);
            });
    });
}

std::shared_ptr<const DrawnImage> LogoImage::makeMenuBarIcon(double size) {
    auto key = cacheKey(size, false, true);
    return cachedOrMade(key, [&] {
        const double side = key ? size : 0.0;
        return std::make_shared<const DrawnImage>(gfx::Size{side, side}, true, &LogoImage::drawMenuBarGlyph);
    });
}

bool LogoImage::drawAppIcon(GraphicsContext& context, const Rect& rect, bool includeOuterPadding) {
    if (!usableRect(rect)) return false;
    const double W = rect.width;
    // Without padding the badge grows from 8.8...91.2 to 2...98 of the square.
    const double k = includeOuterPadding ? 1.0 : 120.0 / 103.0;
    const double unit = k * W / 100;  // points per design unit

    GraphicsContext ctx = context;
    ctx.translateBy(rect.x, rect.y);
    ctx.scaleBy(W / 100, W / 100);
    ctx.translateBy(50, 50);
    ctx.scaleBy(k, k);
    ctx.translateBy(-50, -50);

    const Path outline = badgeOutline();

    // Base and drop shadow: only where the icon sits on a background with room around it.
    if (includeOuterPadding && W >= 32) {
        GraphicsContext shadowed = ctx;
        shadowed.addFilter(designShadow(shadowed, 0, -1.6, 3.6, Color(0, 0.08, 0.25, 0.3)));
        shadowed.fill(outline, Color(0.04, 0.42, 1, 1));
    }

    GraphicsContext inside = ctx;
    inside.clip(outline);

    // Body.
    inside.paint(Shading::linearGradient(
        gfx::Gradient::withStops({GradientStop{Color(0.278, 0.671, 1, 1), 0},
                                  GradientStop{Color(0.039, 0.42, 1, 1), 0.55},
                                  GradientStop{Color(0, 0.239, 0.651, 1), 1}}),
        {50, 91.2}, {50, 8.8}, GradientExtend::pad));

    // Glow rising from the bottom edge.
    inside.paint(Shading::radialGradient(gfx::Gradient::withStops({GradientStop{Color(0.549, 0.898, 1, 0.62), 0},
                                                                   GradientStop{Color(0.549, 0.898, 1, 0), 1}}),
                                         {50, 10.5}, 0, 46, GradientExtend::none));

    // Panel: the switch bar.
    const Path panel = roundedRect(17, 41.5, 66, 31, 10.4);
    inside.fill(panel, Color(1, 1, 1, 0.18));
    inside.stroke(panel, Color(1, 1, 1, 0.34), std::max(0.95, 0.5 / unit));

    // Side bars: the neighbouring windows.
    inside.fill(roundedRect(22.4, 47.4, 13.2, 19.2, 4), Color(1, 1, 1, 0.44));
    inside.fill(roundedRect(64.4, 47.4, 13.2, 19.2, 4), Color(1, 1, 1, 0.44));

    // Centre card: the selected window, lifted by its shadow.
    {
        GraphicsContext lifted = inside;
        lifted.addFilter(designShadow(lifted, 0, -1.4, 3.8, Color(0, 0.16, 0.48, 0.36)));
        lifted.fill(roundedRect(40.4, 44.2, 19.2, 25.6, 5.3), Color(1, 1, 1, 0.98));
    }

    // Dots: the fingers, on the centre line y = 28.5.
    inside.fill(Path::ellipse(Rect{34.1, 25.1, 6.8, 6.8}), Color(1, 1, 1, 0.66));
    inside.fill(Path::ellipse(Rect{59.1, 25.1, 6.8, 6.8}), Color(1, 1, 1, 0.66));
    inside.fill(Path::ellipse(Rect{42.8, 21.3, 14.4, 14.4}), Color(1, 1, 1, 0.16));
    inside.fill(Path::ellipse(Rect{45.5, 24, 9, 9}), Color(1, 1, 1, 1));

    // Rim light: a stroke centred on the outline, of which the clip keeps the inner half.
    inside.stroke(outline,
                  Shading::linearGradient(gfx::Gradient::withStops({GradientStop{Color(1, 1, 1, 0.58), 0},
                                                                    GradientStop{Color(1, 1, 1, 0.16), 1}}),
                                          {50, 91.2}, {50, 8.8}, GradientExtend::none),
                  1.8);
    return true;
}

bool LogoImage::drawMenuBarGlyph(GraphicsContext& context, const Rect& rect) {
    if (!usableRect(rect)) return false;
    GraphicsContext ctx = context;
    ctx.translateBy(rect.x, rect.y);
    ctx.scaleBy(rect.width / 18, rect.width / 18);

    const Color black = Color::black();
    ctx.stroke(roundedRect(1.5, 4, 15, 10, 3.2), black, 1.35);
    ctx.fill(roundedRect(7, 6.2, 4, 5.6, 1.15), black);

    gfx::StrokeStyle bar;
    bar.lineWidth = 1.3;
    bar.lineCap = gfx::LineCap::round;
    const Shading faded = Shading::color(black.withAlpha(0.65));
    ctx.stroke(Path::line({4.5, 10.8}, {4.5, 7.2}), faded, bar);
    ctx.stroke(Path::line({13.5, 10.8}, {13.5, 7.2}), faded, bar);
    return true;
}

}  // namespace quillmar
