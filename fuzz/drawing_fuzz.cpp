// The drawing API with wild numbers (NaN, infinities, huge and tiny values) and any Unicode text:
// every call is contained, the target keeps its size and later drawing still lands.

#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "gfx/text_layout.h"

using namespace quillmar::gfx;

namespace {

Path wildPath(quillmar::fuzz::FuzzInput& in) {
    Path p;
    const int n = in.byte() % 8;
    for (int i = 0; i < n; ++i) {
        const Point a{in.coordinate(), in.coordinate()}, b{in.coordinate(), in.coordinate()};
        switch (in.byte() % 8) {
            case 0: p.move(a); break;
            case 1: p.addLine(a); break;
            case 2: p.addPath(Path::roundedRect({a.x, a.y, b.x, b.y}, in.coordinate())); break;
            case 3: p.addPath(Path::ellipse({a.x, a.y, b.x, b.y})); break;
            case 4: p.addPath(Path::circle(a, in.coordinate())); break;
            // Curves with control points anywhere, huge ones included.
            case 5: p.addQuadCurve(a, b); break;
            case 6: {
                const Point c{in.coordinate(), in.coordinate()};
                p.addCurve(a, b, c);
                break;
            }
            default: p.closeSubpath(); break;
        }
    }
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillmar::fuzz::FuzzInput in(data, size);
    auto target = render({48, 32}, 2, [&](GraphicsContext& c) {
        for (int step = 0; step < 6 && !in.empty(); ++step) {
            GraphicsContext g = c;
            g.concatenate(AffineTransform{in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate(),
                                          in.coordinate(), in.coordinate()});
            g.opacity = in.number();
            const Color color(in.number(), in.number(), in.number(), in.number());
            switch (in.byte() % 5) {
                case 0: {
                    const Path path = wildPath(in);
                    (void)path.flattened(in.coordinate());
                    g.fill(path, color);
                    break;
                }
                case 1: g.stroke(wildPath(in), color, in.coordinate()); break;
                case 2: g.clip(wildPath(in)); g.fill(Path::rect({0, 0, 48, 32}), color); break;
                case 4: {
                    // A layer promised to lie within wild bounds, now and then casting a wild shadow.
                    const Rect bounds{in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate()};
                    if (in.byte() % 2) {
                        const double radius = in.coordinate(), dx = in.coordinate(), dy = in.coordinate();
                        g.addFilter(Filter::shadow(color, radius, dx, dy));
                    }
                    const Path content = wildPath(in);
                    g.drawLayer([&](GraphicsContext& l) { l.fill(content, color); }, bounds);
                    break;
                }
                default: {
                    TextOptions options;
                    if (in.byte() % 2) options.maxWidth = in.coordinate();
                    options.lineLimit = in.byte() % 3;
                    g.draw(TextLayout(in.string(48), Font::system(in.coordinate()), options),
                           Point{in.coordinate(), in.coordinate()}, color);
                }
            }
        }
        c.fill(Path::rect({0, 0, 4, 4}), Color(1, 0, 0));
    });
    const Image img = target->image();
    if (img.pixelWidth() != 96 || img.pixelHeight() != 64) __builtin_trap();
    if (img.pixel(2, 2).red < 0.9) __builtin_trap();  // the last fill landed
    return 0;
}
