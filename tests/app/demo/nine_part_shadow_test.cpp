// Window shadows laid in nine parts from one cast: the shadow a window casts through the view
// layer's own shadow, wherever it lies and whatever its size.

#include "app/demo/nine_part_shadow.h"

#include <algorithm>

#include "support/fresh_world.h"
#include "support/image_compare.h"
#include "ui/hosting_view.h"
#include "ui/ui.h"

namespace quillmar::testing {
namespace {

using gfx::Color;
using gfx::Rect;

class NinePartShadowTest : public FreshWorldTest {};

ui::View placed(ui::View view, const Rect& r) { return view.frame(r.width, r.height).offset(r.x, r.y); }

TEST_F(NinePartShadowTest, LooksAsTheShadowTheWindowCastsWhole) {
    const gfx::Size canvas{640, 480};
    // Large (at whole pixels and between them) and small, narrow, partly off the canvas.
    const Rect frames[] = {{60, 40, 500, 360}, {60.3, 40.6, 499.7, 360.2}, {300, 200, 30, 26}, {120, 60, 90, 380}, {-400, 150, 700, 160}};
    for (const auto* style : {&WindowShadow::kKeyWindow, &WindowShadow::kOtherWindow})
        for (double scale : {1.0, 2.0})
            for (const Rect& frame : frames) {
                SCOPED_TRACE(::testing::Message() << frame.x << "," << frame.y << " " << frame.width << "x" << frame.height
                                                << " at " << scale << "x, radius " << style->radius);
                const ui::View body = ui::Rectangle().fill(Color::rgb(0.95, 0.95, 0.95)).clipShape(ui::RoundedRectangle(10));
                const ui::View desk = ui::Rectangle().fill(Color::rgb(0.4, 0.6, 0.9)).frame(canvas.width, canvas.height);
                auto picture = [&](ui::ViewList layers) {
                    ui::HostingView host(ui::ZStack(ui::Alignment::topLeading(), std::move(layers)), canvas);
                    return host.renderImage(scale);
                };
                const auto whole = picture(
                    {desk, placed(body.shadow(Color::black().opacity(style->opacity), style->radius, 0, style->offsetY), frame)});
                NinePartShadow shadows(*style, 10, canvas, scale);
                const auto parts = picture({desk, shadows.under(frame), placed(body, frame)});
                EXPECT_LE(gfx::compareImages(whole, parts).maxChannelDelta, 3.0 / 255);
                // Not for want of a shadow: it darkens the desk below the window, less further off.
                const double x = std::clamp(frame.midX(), 10.0, canvas.width - 10);
                auto shade = [&](double below) {
                    const gfx::Point at{x, frame.maxY() + below};
                    return gfx::probe(picture({desk}), at).blue - gfx::probe(parts, at).blue;
                };
                EXPECT_GT(shade(2), shade(style->radius));
                EXPECT_GT(shade(style->radius), 0.02);
            }
}

}  // namespace
}  // namespace quillmar::testing
