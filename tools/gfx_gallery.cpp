// Renders one sheet per feature group of the graphics layer to PNG, for looking at:
// paths and strokes, gradients, effects, text in the six interface languages, and symbols.
//
// Usage: gfx_gallery [output-directory]   (default: out/gfx_gallery)

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/graphics_context.h"
#include "gfx/render_target.h"
#include "gfx/symbol_library.h"
#include "gfx/system_color.h"

using namespace quillmar::gfx;

namespace {

constexpr double kPi = 3.14159265358979323846;

void label(GraphicsContext& ctx, const std::string& text, double x, double y) {
    ctx.draw(TextLayout(text, Font::system(10)), Point{x, y}, Shading::color(Color::white(0.25)));
}

void background(GraphicsContext& ctx, Color c = Color::white(0.97)) {
    ctx.fill(Path::rect({0, 0, ctx.size().width, ctx.size().height}), c);
}

bool save(RenderTarget& target, const std::filesystem::path& dir, const char* name) {
    std::string error;
    std::string file = (dir / name).string();
    if (!target.writePng(file, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s\n", file.c_str());
    return true;
}

void pathsSheet(GraphicsContext& ctx) {
    background(ctx);
    Color ink = Color::rgb(0.1, 0.3, 0.8);
    // Row 1: rounded rects, circular vs continuous, a capsule and an uneven rect.
    label(ctx, "circular r=18", 20, 8);
    ctx.fill(Path::roundedRect({20, 24, 100, 70}, 18, RoundedCornerStyle::circular), ink.opacity(0.25));
    ctx.stroke(Path::roundedRect({20, 24, 100, 70}, 18, RoundedCornerStyle::circular), ink, 1);
    label(ctx, "continuous r=18", 140, 8);
    ctx.fill(Path::roundedRect({140, 24, 100, 70}, 18, RoundedCornerStyle::continuous), ink.opacity(0.25));
    ctx.stroke(Path::roundedRect({140, 24, 100, 70}, 18, RoundedCornerStyle::continuous), ink, 1);
    label(ctx, "overlay (red circular)", 260, 8);
    ctx.stroke(Path::roundedRect({260, 24, 100, 70}, 24, RoundedCornerStyle::continuous), ink, 1);
    ctx.stroke(Path::roundedRect({260, 24, 100, 70}, 24, RoundedCornerStyle::circular), Color::rgb(0.9, 0.1, 0.1), 0.6);
    label(ctx, "capsule", 380, 8);
    ctx.fill(Path::capsule({380, 40, 100, 36}), ink.opacity(0.6));
    ctx.fill(Path::capsule({380, 80, 40, 14}, RoundedCornerStyle::continuous), ink);
    label(ctx, "uneven 8,4,4,8", 500, 8);
    ctx.fill(Path::unevenRoundedRect({500, 24, 100, 70}, {20, 4, 4, 20}), ink.opacity(0.5));

    // Row 2: arcs and direction, ellipse, curves.
    label(ctx, "arc 0..90 cw=false (down)", 20, 110);
    Path a;
    a.addArc({70, 170}, 40, Angle::degrees(0), Angle::degrees(90), false);
    ctx.stroke(a, ink, StrokeStyle{.lineWidth = 3, .lineCap = LineCap::round});
    ctx.fill(Path::circle({110, 170}, 3), Color::rgb(0, 0.6, 0));  // start
    label(ctx, "arc 0..90 cw=true", 160, 110);
    Path b;
    b.addArc({210, 170}, 40, Angle::degrees(0), Angle::degrees(90), true);
    ctx.stroke(b, ink, StrokeStyle{.lineWidth = 3, .lineCap = LineCap::round});
    label(ctx, "ellipse + quad + cubic", 300, 110);
    ctx.stroke(Path::ellipse({300, 130, 90, 60}), ink, 2);
    Path q;
    q.move(410, 190);
    q.addQuadCurve({470, 190}, {440, 120});
    q.move(490, 190);
    q.addCurve({590, 190}, {510, 110}, {570, 250});
    ctx.stroke(q, Color::rgb(0.7, 0.2, 0.5), 2);

    // Row 3: caps, joins, dashes.
    const LineCap caps[] = {LineCap::butt, LineCap::round, LineCap::square};
    for (int i = 0; i < 3; ++i) {
        Path l = Path::line({30, 240 + i * 22.0}, {150, 240 + i * 22.0});
        ctx.stroke(l, Color::black(), StrokeStyle{.lineWidth = 12, .lineCap = caps[i]});
        ctx.stroke(l, Color::rgb(1, 0.2, 0.2), 1);
    }
    label(ctx, "caps: butt, round, square", 30, 222);
    const LineJoin joins[] = {LineJoin::miter, LineJoin::round, LineJoin::bevel};
    for (int i = 0; i < 3; ++i) {
        Path z;
        z.addLines({{190 + i * 70.0, 300}, {215 + i * 70.0, 240}, {240 + i * 70.0, 300}});
        ctx.stroke(z, Color::black(), StrokeStyle{.lineWidth = 10, .lineJoin = joins[i]});
    }
    label(ctx, "joins: miter, round, bevel", 190, 222);
    label(ctx, "dash 3/3, 27/1.8/38/1.5/44/1.6, phase 4", 410, 222);
    ctx.stroke(Path::line({410, 250}, {600, 250}), ink, StrokeStyle{.lineWidth = 1, .dash = {3, 3}});
    ctx.stroke(Path::roundedRect({410, 262, 60, 50}, 4.2), Color::rgb(0.78, 0.16, 0.14),
               StrokeStyle{.lineWidth = 1.35, .lineCap = LineCap::round, .dash = {27, 1.8, 38, 1.5, 44, 1.6}});
    ctx.stroke(Path::line({490, 280}, {600, 280}), ink, StrokeStyle{.lineWidth = 4, .dash = {8, 4}, .dashPhase = 4});

    // Row 4: fill rules, non-uniform stroke scale, mirrored drawing, transforms.
    Path ring;
    ring.addEllipse({30, 340, 80, 80});
    ring.addEllipse({50, 360, 40, 40});
    ctx.fill(ring, ink);
    label(ctx, "non-zero (same dir)", 20, 324);
    ctx.fill(ring.offsetBy(110, 0), ink, FillStyle{.eoFill = true});
    label(ctx, "even-odd", 140, 324);
    {
        GraphicsContext c = ctx;
        c.translateBy(300, 380);
        c.scaleBy(3, 1);
        c.stroke(Path::circle({0, 0}, 14), Color::rgb(0.1, 0.6, 0.3), 2);
        label(ctx, "scale(3,1) stroke", 250, 324);
    }
    Path leaf;
    leaf.move(0, 0);
    leaf.addQuadCurve({30, -10}, {10, -16});
    leaf.addQuadCurve({0, 0}, {24, 4});
    leaf.closeSubpath();
    for (int sx : {1, -1}) {
        for (int sy : {1, -1}) {
            GraphicsContext c = ctx;
            c.translateBy(470, 380);
            c.scaleBy(sx, sy);
            c.fill(leaf.offsetBy(4, -4), Color::rgb(0.1, 0.5, 0.2));
        }
    }
    label(ctx, "mirrored x4", 440, 324);
    for (int i = 0; i < 12; ++i) {
        GraphicsContext c = ctx;
        c.translateBy(580, 380);
        c.rotate(Angle::radians(i * kPi / 6));
        c.opacity = 0.3 + i * 0.05;
        c.fill(Path::roundedRect({10, -3, 26, 6}, 3), ink);
    }
}

void gradientsSheet(GraphicsContext& ctx) {
    background(ctx);
    // The settings palette's two gradients, both appearances.
    Gradient dark = Gradient::colors({Color(0.17, 0.14, 0.165), Color(0.11, 0.13, 0.175), Color(0.095, 0.095, 0.11)});
    Gradient light = Gradient::colors({Color(0.86, 0.91, 0.96), Color(0.92, 0.915, 0.90), Color(0.84, 0.87, 0.91)});
    ctx.fill(Path::roundedRect({20, 20, 140, 90}, 8.5), Shading::linearGradient(dark, {20, 20}, {160, 110}));
    ctx.fill(Path::roundedRect({180, 20, 140, 90}, 8.5), Shading::linearGradient(light, {180, 20}, {320, 110}));
    label(ctx, "backdrop dark / light", 20, 4);
    // Hard edges from equal stop locations.
    Gradient hard({{Color::rgb(1, 0, 0), 0}, {Color::rgb(1, 0, 0), 0.5}, {Color::rgb(0, 0, 1), 0.5}, {Color::rgb(0, 0, 1), 1}});
    ctx.fill(Path::rect({340, 20, 140, 90}), Shading::linearGradient(hard, {340, 0}, {480, 0}));
    label(ctx, "hard edge at 0.5", 340, 4);
    // Fade to clear must not darken: on a white background the middle stays light.
    ctx.fill(Path::rect({20, 140, 300, 40}),
             Shading::linearGradient(Gradient::colors({Color::rgb(1, 0.8, 0.2), Color::clear()}), {20, 0}, {320, 0}));
    ctx.fill(Path::rect({20, 190, 300, 40}),
             Shading::linearGradient(Gradient::colors({Color::clear(), Color::rgb(0.2, 0.6, 1), Color::clear()}), {20, 0}, {320, 0}));
    label(ctx, "fades to clear (no grey band)", 20, 124);
    // Radial: glow from radius 0, ring from a start radius > 0, not extended.
    ctx.fill(Path::rect({340, 130, 140, 110}), Color::white(0.15));
    ctx.fill(Path::circle({410, 185}, 50),
             Shading::radialGradient(Gradient::colors({Color(0.549, 0.898, 1, 0.62), Color(0.549, 0.898, 1, 0)}), {410, 185}, 0, 50));
    ctx.fill(Path::rect({500, 130, 140, 110}),
             Shading::radialGradient(Gradient::colors({Color::rgb(1, 0.9, 0.3), Color::rgb(0.9, 0.2, 0.1)}), {570, 185}, 20, 50,
                                     GradientExtend::none));
    label(ctx, "radial glow / start radius 20, no extend", 340, 114);
    // Degenerate gradients paint their last colour.
    ctx.fill(Path::rect({20, 260, 60, 40}),
             Shading::linearGradient(Gradient::colors({Color::rgb(1, 0, 0), Color::rgb(0, 0.6, 0)}), {50, 280}, {50, 280}));
    ctx.fill(Path::rect({90, 260, 60, 40}),
             Shading::radialGradient(Gradient::colors({Color::rgb(1, 0, 0), Color::rgb(0, 0.6, 0)}), {120, 280}, 0, 0));
    label(ctx, "degenerate -> last colour (green)", 20, 244);
    // Gradient strokes: rim of a logo-like badge.
    Path outline;
    outline.move(250, 255);
    outline.addCurve({290, 265}, {270, 255}, {285, 258});
    outline.addCurve({300, 300}, {298, 275}, {300, 285});
    outline.addLine({200, 300});
    outline.closeSubpath();
    ctx.stroke(Path::roundedRect({200, 255, 100, 60}, 14),
               Shading::linearGradient(Gradient::colors({Color::rgb(1, 0.3, 0.4), Color::rgb(0.3, 0.4, 1)}), {200, 255}, {300, 315}),
               StrokeStyle{.lineWidth = 6});
    label(ctx, "gradient stroke", 200, 244);
    // Rainbow stripes as strokes with opacity.
    const Color ramp[] = {Color(0.95, 0.36, 0.40), Color(0.98, 0.62, 0.26), Color(0.99, 0.86, 0.38), Color(0.52, 0.86, 0.44),
                          Color(0.12, 0.68, 0.50), Color(0.38, 0.70, 0.92), Color(0.60, 0.44, 0.82)};
    for (int i = 0; i < 7; ++i) {
        Path arc;
        arc.addArc({500, 360}, 90 - i * 5.0, Angle::degrees(180), Angle::degrees(360), false);
        ctx.stroke(arc, Shading::color(ramp[i].opacity(0.8)), StrokeStyle{.lineWidth = 5, .lineCap = LineCap::round});
    }
    label(ctx, "rainbow stripes", 420, 256);
    // A berry: radial gradient with three stops and an offset centre.
    for (int i = 0; i < 3; ++i) {
        Point c{60 + i * 40.0, 360};
        ctx.fill(Path::circle(c, 14),
                 Shading::radialGradient(Gradient({{Color(1, 0.38, 0.4, 0.98), 0}, {Color(0.84, 0.08, 0.16, 0.98), 0.58},
                                                   {Color(0.44, 0.02, 0.06, 0.98), 1}}),
                                         {c.x - 5, c.y - 5}, 0, 19));
        ctx.fill(Path::circle({c.x - 5, c.y - 5}, 4), Color(1, 1, 1, 0.86));
    }
    label(ctx, "berries", 20, 330);
}

void effectsSheet(GraphicsContext& ctx) {
    background(ctx);
    // Opacity is per call: overlapping fills show their overlap.
    {
        GraphicsContext c = ctx;
        c.opacity = 0.5;
        c.fill(Path::circle({60, 70}, 35), Color::rgb(0.9, 0.1, 0.1));
        c.fill(Path::circle({100, 70}, 35), Color::rgb(0.9, 0.1, 0.1));
        label(ctx, "opacity 0.5 per call", 20, 8);
    }
    // Group opacity via a layer: no overlap visible.
    {
        GraphicsContext c = ctx;
        c.opacity = 0.5;
        c.drawLayer([](GraphicsContext& l) {
            l.fill(Path::circle({210, 70}, 35), Color::rgb(0.9, 0.1, 0.1));
            l.fill(Path::circle({250, 70}, 35), Color::rgb(0.9, 0.1, 0.1));
        });
        label(ctx, "layer at 0.5 (group)", 170, 8);
    }
    // Shadow per shape (the pad body of the trackpad stage).
    {
        GraphicsContext c = ctx;
        c.addFilter(Filter::shadow(Color(0, 0, 0, 0.45), 10, 0, 5));
        c.fill(Path::roundedRect({320, 30, 150, 90}, 10),
               Shading::linearGradient(Gradient::colors({Color(0.97, 0.972, 0.98), Color(0.895, 0.90, 0.92)}), {0, 30}, {0, 120}));
        label(ctx, "shadow r10 y5", 320, 8);
    }
    // Keycap: small shadow.
    {
        GraphicsContext c = ctx;
        c.addFilter(Filter::shadow(Color(0, 0, 0, 0.1 * 3), 1, 0, 1.5));
        c.fill(Path::roundedRect({500, 40, 34, 22}, 5.5), Color::white(1));
        label(ctx, "keycap shadow", 500, 8);
    }
    // Blur of a layer.
    {
        GraphicsContext c = ctx;
        c.addFilter(Filter::blur(8));
        c.drawLayer([](GraphicsContext& l) {
            l.fill(Path::rect({40, 170, 60, 60}), Color::rgb(0.1, 0.4, 0.9));
            l.fill(Path::circle({130, 200}, 30), Color::rgb(0.95, 0.6, 0.1));
        });
        label(ctx, "blur 8 on a layer", 20, 148);
    }
    // Saturation of a layer.
    for (int i = 0; i < 3; ++i) {
        GraphicsContext c = ctx;
        c.addFilter(Filter::saturation(1.0 - i * 0.5));
        c.drawLayer([&](GraphicsContext& l) {
            l.fill(Path::roundedRect({200 + i * 70.0, 170, 60, 60}, 12),
                   Shading::linearGradient(Gradient::colors({Color::rgb(1, 0.2, 0.3), Color::rgb(0.2, 0.6, 1)}),
                                           {200 + i * 70.0, 170}, {260 + i * 70.0, 230}));
        });
    }
    label(ctx, "saturation 1, 0.5, 0", 200, 148);
    // Clip, and a clip plus transform.
    {
        GraphicsContext c = ctx;
        c.clip(Path::circle({460, 200}, 35));
        for (int i = 0; i < 8; ++i) c.fill(Path::rect({420 + i * 10.0, 160, 5, 80}), Color::rgb(0.2, 0.2, 0.25));
        label(ctx, "clip to circle", 420, 148);
    }
    // An image drawn scaled with high quality, aspect-fit, desaturated, template-tinted.
    Image icon = Image::create(64, 64, 2);
    {
        RenderTarget t({32, 32}, 2);
        GraphicsContext ic = t.context();
        ic.fill(Path::roundedRect({1, 1, 30, 30}, 7),
                Shading::linearGradient(Gradient::colors({Color::rgb(0.3, 0.8, 0.4), Color::rgb(0.1, 0.4, 0.9)}), {0, 0}, {32, 32}));
        ic.fill(Path::circle({16, 16}, 7), Color::white(1));
        icon = t.image();
    }
    ctx.draw(icon, aspectFit(icon.size(), {20, 270, 120, 80}));
    ctx.draw(icon, {150, 290, 40, 40}, ImageStyle{.saturation = 0.0});
    {
        GraphicsContext c = ctx;
        c.opacity = 0.52;
        c.draw(icon, {200, 290, 40, 40}, ImageStyle{.saturation = 0.82});
    }
    ctx.draw(icon, {250, 290, 40, 40}, ImageStyle{.templateTint = Color::rgb(0.9, 0.3, 0.1)});
    label(ctx, "image: fit, grey, 0.52+sat .82, template", 20, 254);
    // A HUD-like plate with a border inset by half a line.
    {
        Rect plate{330, 270, 260, 90};
        ctx.fill(Path::rect(plate.insetBy(-10, -10)),
                 Shading::linearGradient(Gradient::colors({Color::rgb(0.4, 0.5, 0.7), Color::rgb(0.7, 0.5, 0.4)}), plate.origin(),
                                         {plate.maxX(), plate.maxY()}));
        ctx.fill(Path::roundedRect(plate, 18), Color(0.1, 0.11, 0.13, 0.96));
        ctx.stroke(Path::roundedRect(plate.insetBy(0.4, 0.4), 18 - 0.4), Color(1, 1, 1, 0.28),
                   StrokeStyle{.lineWidth = 0.8});
        GraphicsContext c = ctx;
        c.addFilter(Filter::shadow(Color(0, 0, 0, 0.2), 3, 0, 1));
        Rect hl{350, 285, 60, 60};
        c.fill(Path::roundedRect(hl, 9.5),
               Shading::linearGradient(Gradient::colors({Color(1, 1, 1, 0.23), Color(1, 1, 1, 0.14)}), {0, hl.minY()}, {0, hl.maxY()}));
        ctx.drawSymbol("minus", Font::system(8.5, FontWeight::bold), Rect{420, 300, 20, 15}, Shading::color(Color(1, 1, 1, 0.92)));
        label(ctx, "plate + highlight", 330, 254);
    }
}

void textSheet(GraphicsContext& ctx) {
    background(ctx);
    const char* samples[][2] = {
        {"English", "Switch windows with a gesture — Hold & Slide"},
        {"Japanese", "ジェスチャーでウィンドウを切り替え · 新春万福"},
        {"Simplified Chinese", "用手势切换窗口 · 新春大吉 万事如意"},
        {"Traditional Chinese", "用手勢切換視窗 · 花好月圓 闔家團圓"},
        {"German", "Fenster per Geste wechseln – Größe ändern, 2 Finger"},
        {"Korean", "제스처로 창 전환 · 새해 축복 만사형통"},
    };
    double y = 14;
    for (auto& s : samples) {
        label(ctx, s[0], 20, y);
        ctx.draw(TextLayout(s[1], Font::system(15)), Point{150, y - 2}, Shading::color(Color::black()));
        y += 26;
    }
    const FontWeight weights[] = {FontWeight::regular, FontWeight::medium, FontWeight::semibold,
                                  FontWeight::bold, FontWeight::heavy, FontWeight::black};
    const char* names[] = {"regular", "medium", "semibold", "bold", "heavy", "black"};
    double x = 20;
    for (int i = 0; i < 6; ++i) {
        TextLayout t(std::string(names[i]) + " 新春", Font::system(13, weights[i]));
        ctx.draw(t, Point{x, y}, Shading::color(Color::black()));
        x += t.size().width + 14;
    }
    y += 26;
    ctx.draw(TextLayout("Rounded W Q esc", Font::system(15, FontWeight::bold, FontDesign::rounded)), Point{20, y},
             Shading::color(Color::black()));
    ctx.draw(TextLayout("新 春 萬 福", Font::system(10.5, FontWeight::bold, FontDesign::serif)), Point{200, y + 3},
             Shading::color(Color(0.78, 0.16, 0.14)));
    ctx.draw(TextLayout("v1.0.11  0123456789", Font::system(11, FontWeight::medium).monospacedDigit()), Point{300, y + 2},
             Shading::color(Color::black()));
    ctx.draw(TextLayout("1111 / 8888", Font::system(11).monospacedDigit()), Point{300, y + 18}, Shading::color(Color::black()));
    y += 40;
    // Truncation and shrink-to-fit in a 200-point box.
    auto box = [&](const std::string& text, const TextOptions& o, const char* what) {
        ctx.stroke(Path::rect({20, y, *o.maxWidth, 18}), Color(1, 0, 0, 0.4), 0.5);
        TextLayout t(text, Font::system(13, FontWeight::semibold), o);
        ctx.draw(t, Rect{20, y, *o.maxWidth, 18}, Shading::color(Color::black()), UnitPoint::leading());
        char info[160];
        std::snprintf(info, sizeof info, "%s: size %.2f, truncated %d", what, t.appliedFontSize(), t.isTruncated());
        label(ctx, info, 240, y + 3);
        y += 24;
    };
    TextOptions trunc{.maxWidth = 200, .lineLimit = 1};
    TextOptions shrink{.maxWidth = 200, .lineLimit = 1, .minimumScaleFactor = 0.88};
    box("Accessibility Granted", trunc, "fits");
    box("Accessibility Needed for Window Raising", trunc, "tail truncation");
    box("Accessibility Access Granted", shrink, "shrinks to fit");
    box("Barrierefreiheit wird für das Anheben von Fenstern benötigt", shrink, "shrink then truncate");
    box("アクセシビリティの許可がウィンドウの切り替えに必要です", shrink, "CJK shrink/truncate");
    // Wrapping with line spacing.
    TextOptions wrap{.maxWidth = 260, .lineSpacing = 1.5};
    std::string letter =
        "Every pixel of this window is drawn by hand, in code, without borrowed artwork. 每一个像素都是手工绘制的。 모든 픽셀은 직접 그렸습니다.";
    TextLayout w(letter, Font::system(12), wrap);
    ctx.stroke(Path::rect({20, y, 260, w.size().height}), Color(0, 0, 1, 0.3), 0.5);
    ctx.draw(w, Point{20, y}, Shading::color(Color::white(0.3)));
    TextOptions centred{.maxWidth = 260, .lineLimit = 2, .alignment = TextAlignment::center};
    TextLayout c(letter, Font::system(12), centred);
    ctx.stroke(Path::rect({320, y, 260, c.size().height}), Color(0, 0, 1, 0.3), 0.5);
    ctx.draw(c, Point{320, y}, Shading::color(Color::white(0.3)));
    // Baseline alignment and anchors.
    double by = y + 110;
    ctx.stroke(Path::line({320, by}, {580, by}), Color(1, 0, 0, 0.5), 0.5);
    TextLayout big("Ag 가나 新", Font::system(24));
    ctx.draw(big, Point{320, by - big.firstBaseline()}, Shading::color(Color::black()));
    TextLayout small("Ag baseline", Font::system(11));
    ctx.draw(small, Point{470, by - small.firstBaseline()}, Shading::color(Color::black()));
    // Gradient text.
    ctx.draw(TextLayout("Gradient text", Font::system(22, FontWeight::black)), Point{320, by + 14},
             Shading::linearGradient(Gradient::colors({Color::rgb(1, 0.4, 0.2), Color::rgb(0.3, 0.3, 1)}), {320, 0}, {480, 0}));
}

void symbolsSheet(GraphicsContext& ctx) {
    background(ctx);
    std::vector<std::string> names;
    for (auto n : SymbolLibrary::names()) names.emplace_back(n);
    names.push_back("no.such.symbol");
    const FontWeight weights[] = {FontWeight::regular, FontWeight::semibold, FontWeight::bold, FontWeight::black};
    const double sizes[] = {8.5, 10, 16, 32};
    double y = 20;
    for (const std::string& name : names) {
        label(ctx, name, 10, y + 8);
        double x = 150;
        for (double size : sizes) {
            for (FontWeight w : weights) {
                Font f = Font::system(size, w);
                SymbolGlyph g = SymbolLibrary::glyph(name, f);
                Rect cell{x, y, g.size.width, g.size.height};
                ctx.stroke(Path::rect(cell), Color(0, 0.5, 1, 0.25), 0.5);
                ctx.drawSymbol(name, f, cell, Shading::color(Color::black()));
                x += g.size.width + 10;
            }
            x += 10;
        }
        y += 44;
    }
    // Tinted, in context: close button, arrow, badge, keycap.
    double by = y + 10;
    ctx.fill(Path::circle({40, by}, 8.5), Color(1, 0.37, 0.34, 0.3));
    ctx.fill(Path::circle({40, by}, 5.75), Color(1, 0.37, 0.34));
    ctx.drawSymbol("xmark", Font::system(6.5, FontWeight::black), Point{40, by}, Shading::color(Color(0, 0, 0, 0.75)));
    ctx.drawSymbol("arrow.right", Font::system(10, FontWeight::bold), Point{70, by}, Shading::color(Color(1, 0.37, 0.34)));
    ctx.fill(Path::circle({100, by}, 10), Color(0, 0, 0, 0.72));
    ctx.drawSymbol("minus", Font::system(8, FontWeight::bold), Point{100, by}, Shading::color(Color(1, 1, 1, 0.92)));
    ctx.fill(Path::roundedRect({120, by - 11, 40, 22}, 5.5), Color::white(1));
    ctx.stroke(Path::roundedRect({120.425, by - 10.575, 39.15, 21.15}, 5.1), Color(0, 0, 0, 0.11), 0.85);
    ctx.drawSymbol("power", Font::system(9.5, FontWeight::bold), Point{140, by}, Shading::color(Color::rgb(0.9, 0.2, 0.2)));
    ctx.fill(Path::roundedRect({180, by - 17, 34, 34}, 9), systemColor(SystemColor::accent, Appearance::light).opacity(0.28));
    ctx.drawSymbol("app.fill", Font::system(16), Point{197, by}, Shading::color(Color(0, 0, 0, 0.5)));
    ctx.drawSymbol("envelope", Font::system(12, FontWeight::medium), Point{240, by},
                   Shading::color(systemColor(SystemColor::secondaryLabel, Appearance::light)));
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path dir = argc > 1 ? argv[1] : "out/gfx_gallery";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    bool ok = true;
    struct Sheet {
        const char* file;
        Size size;
        void (*draw)(GraphicsContext&);
    };
    const Sheet sheets[] = {{"paths_strokes.png", {640, 440}, pathsSheet},
                            {"gradients.png", {660, 460}, gradientsSheet},
                            {"effects.png", {620, 380}, effectsSheet},
                            {"text.png", {640, 520}, textSheet},
                            {"symbols.png", {1000, 460}, symbolsSheet}};
    for (const Sheet& s : sheets) {
        RenderTarget target(s.size, 2);
        GraphicsContext ctx = target.context();
        s.draw(ctx);
        ok = save(target, dir, s.file) && ok;
    }
    return ok ? 0 : 1;
}
