#include "app/demo/status_menu_picture.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "app/drawn_menu_image.h"
#include "gfx/filter.h"
#include "gfx/font.h"
#include "gfx/path.h"
#include "gfx/render_target.h"
#include "gfx/shading.h"
#include "gfx/stroke_style.h"
#include "gfx/text_layout.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Point;
using gfx::Rect;
using gfx::Size;

constexpr double kBarHeight = 24;
constexpr double kRowHeight = 22;
constexpr double kSeparatorHeight = 11;
constexpr double kPanelPadding = 5;     // above the first row and below the last
constexpr double kCheckColumn = 25;     // from the panel's left edge to the titles
constexpr double kTrailingPadding = 14;
constexpr double kKeyGap = 28;          // between a title and its key equivalent
constexpr double kArrowWidth = 14;
constexpr double kMinPanelWidth = 180;
constexpr double kCornerRadius = 6;
constexpr double kMargin = 24;          // around the panels, room for their shadow
constexpr double kButtonWidth = 30;
constexpr double kStatusItemRightInset = 8;  // from the bar's right end to the status item
constexpr double kSubmenuOverlap = 3;
constexpr double kFontSize = 13.5;
constexpr double kScreenEdgeGap = 4;      // between a cut panel and the screen's bottom edge
constexpr double kScrollArrowHeight = 18; // the strip of a cut panel's scroll arrow

struct Palette {
    Color desktopTop, desktopBottom, bar, panel, rim, text, disabledText, separator, highlight, highlightText,
        buttonPressed, glyph;
};

Palette palette(bool dark) {
    if (dark)
        return {Color::rgb(0.16, 0.18, 0.28), Color::rgb(0.08, 0.09, 0.14), Color::rgb(0.12, 0.12, 0.14, 0.92),
                Color::rgb(0.17, 0.17, 0.19, 0.98), Color::white(1, 0.16), Color::white(1, 0.88),
                Color::white(1, 0.30), Color::white(1, 0.12), Color::rgb(0.0, 0.40, 0.86), Color::white(1),
                Color::white(1, 0.22), Color::white(1)};
    return {Color::rgb(0.66, 0.78, 0.93), Color::rgb(0.86, 0.89, 0.95), Color::white(0.97, 0.88),
            Color::white(0.96, 0.98), Color::white(0, 0.14), Color::white(0, 0.86),
            Color::white(0, 0.28), Color::white(0, 0.11), Color::rgb(0.04, 0.44, 0.93), Color::white(1),
            Color::white(0, 0.14), Color::white(0)};
}

gfx::Font menuFont() { return gfx::Font::system(kFontSize); }

// The key equivalent as the menu shows it: modifier signs, then the key in capitals.
std::string keyLabel(const platform::MenuItem& item) {
    if (item.keyEquivalent.empty()) return {};
    std::string label;
    std::string key = item.keyEquivalent;
    bool shift = (item.keyEquivalentModifiers & platform::key_modifiers::shift) != 0;
    if (key.size() == 1 && std::isupper(static_cast<unsigned char>(key[0]))) shift = true;
    if (item.keyEquivalentModifiers & platform::key_modifiers::control) label += "\u2303";
    if (item.keyEquivalentModifiers & platform::key_modifiers::option) label += "\u2325";
    if (shift) label += "\u21E7";
    if (item.keyEquivalentModifiers & platform::key_modifiers::command) label += "\u2318";
    for (auto& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return label + key;
}

// What a row needs beside its title: the key equivalent and the submenu arrow.
double trailingWidth(const platform::MenuItem& item) {
    double w = 0;
    if (const std::string key = keyLabel(item); !key.empty()) w += kKeyGap + gfx::TextLayout(key, menuFont()).size().width;
    if (item.submenu) w += kKeyGap + kArrowWidth;
    return w;
}

double panelWidth(const platform::Menu& menu, double maxWidth) {
    double widest = 0;
    for (const auto& item : menu.items()) {
        if (item->isSeparator) continue;
        widest = std::max(widest, gfx::TextLayout(item->title, menuFont()).size().width + trailingWidth(*item));
    }
    return std::min(std::max(kMinPanelWidth, std::ceil(kCheckColumn + widest + kTrailingPadding)), maxWidth);
}

const platform::MenuItem* findItem(const platform::Menu& menu, const std::string& title) {
    for (const auto& item : menu.items())
        if (!item->isSeparator && item->title == title) return item.get();
    return nullptr;
}

void drawCheckmark(gfx::GraphicsContext& ctx, const Rect& row, const Color& color) {
    gfx::Path p;
    const double x = row.x + 8.5, cy = row.midY();
    p.move(Point{x, cy + 0.5});
    p.addLine(Point{x + 3.5, cy + 4});
    p.addLine(Point{x + 10, cy - 4.5});
    gfx::StrokeStyle style;
    style.lineWidth = 1.8;
    style.lineCap = gfx::LineCap::round;
    style.lineJoin = gfx::LineJoin::round;
    ctx.stroke(p, color, style);
}

void drawArrow(gfx::GraphicsContext& ctx, const Rect& row, const Color& color) {
    gfx::Path p;
    const double x = row.maxX() - kTrailingPadding + 2, cy = row.midY();
    p.move(Point{x, cy - 4.5});
    p.addLine(Point{x + 4.5, cy});
    p.addLine(Point{x, cy + 4.5});
    gfx::StrokeStyle style;
    style.lineWidth = 1.6;
    style.lineCap = gfx::LineCap::round;
    style.lineJoin = gfx::LineJoin::round;
    ctx.stroke(p, color, style);
}

void drawPanel(gfx::GraphicsContext& ctx, const platform::Menu& menu, const Rect& frame, const Palette& pal,
               const std::string* highlightedTitle) {
    const auto path = gfx::Path::roundedRect(frame, kCornerRadius);
    ctx.drawLayer([&](gfx::GraphicsContext& layer) {
        layer.addFilter(gfx::Filter::shadow(Color::white(0, 0.28), 9, 0, 5));
        layer.fill(path, pal.panel);
    });
    gfx::StrokeStyle rim;
    rim.lineWidth = 1;
    ctx.stroke(gfx::Path::roundedRect(frame.insetBy(0.5, 0.5), kCornerRadius - 0.5), pal.rim, rim);

    const auto lay = StatusMenuPicture::layout(menu, frame.width);
    const auto font = menuFont();
    // A cut panel shows the rows that fit above its scroll arrow.
    const bool cut = lay.panel.height > frame.height + 0.5;
    const double rowsEnd = frame.y + frame.height - (cut ? kScrollArrowHeight : 0);
    if (cut) {
        gfx::Path arrow;
        const double cx = frame.midX(), cy = rowsEnd + kScrollArrowHeight / 2;
        arrow.move(Point{cx - 5, cy - 3});
        arrow.addLine(Point{cx + 5, cy - 3});
        arrow.addLine(Point{cx, cy + 3.5});
        arrow.closeSubpath();
        ctx.fill(arrow, pal.text);
    }
    for (std::size_t i = 0; i < menu.items().size(); ++i) {
        const auto& item = *menu.items()[i];
        const Rect row = lay.rows[i].offsetBy(frame.x, frame.y);
        if (row.maxY() > rowsEnd + 0.01) break;
        if (item.isSeparator) {
            ctx.fill(gfx::Path::rect({row.x + 10, std::round(row.midY()) - 0.5, row.width - 20, 1}), pal.separator);
            continue;
        }
        const bool highlighted = highlightedTitle && item.title == *highlightedTitle && item.isSelectable();
        if (highlighted) ctx.fill(gfx::Path::roundedRect(row.insetBy(5, 0), 4), pal.highlight);
        const Color ink = highlighted ? pal.highlightText : item.isSelectable() ? pal.text : pal.disabledText;
        if (item.state == 1) drawCheckmark(ctx, row, ink);
        const double titleRoom = std::max(0.0, row.width - kCheckColumn - kTrailingPadding - trailingWidth(item));
        gfx::TextLayout title(item.title, font, {.maxWidth = titleRoom, .lineLimit = 1});
        ctx.draw(title, Point{row.x + kCheckColumn, row.midY()}, ink, UnitPoint::leading());
        if (const auto key = keyLabel(item); !key.empty()) {
            gfx::TextLayout keyText(key, font);
            const Color keyInk = highlighted ? pal.highlightText : item.isSelectable() ? pal.text.withAlpha(0.5) : pal.disabledText;
            ctx.draw(keyText, Point{row.maxX() - kTrailingPadding, row.midY()}, keyInk, UnitPoint::trailing());
        }
        if (item.submenu) drawArrow(ctx, row, ink);
    }
}

// The height a panel of `layout` is drawn with when at most `room` is free below its top: all of
// it when it fits, else the rows that fit whole above the scroll arrow (the last one not a
// separator), so that the arrow follows the last row shown without a blank band between them.
double cutHeight(const platform::Menu& menu, const StatusMenuPicture::Layout& layout, double room) {
    if (layout.panel.height <= room) return layout.panel.height;
    double rowsEnd = kPanelPadding;
    for (std::size_t i = 0; i < layout.rows.size(); ++i) {
        if (layout.rows[i].maxY() + kScrollArrowHeight > room) break;
        if (!menu.items()[i]->isSeparator) rowsEnd = layout.rows[i].maxY();
    }
    return rowsEnd + kScrollArrowHeight;
}

}  // namespace

StatusMenuPicture::Layout StatusMenuPicture::layout(const platform::Menu& menu, double maxWidth) {
    Layout out;
    const double width = panelWidth(menu, std::max(kMinPanelWidth, std::isfinite(maxWidth) ? maxWidth : kMinPanelWidth));
    double y = kPanelPadding;
    for (const auto& item : menu.items()) {
        const double h = item->isSeparator ? kSeparatorHeight : kRowHeight;
        out.rows.push_back({0, y, width, h});
        y += h;
    }
    out.panel = {width, y + kPanelPadding};
    return out;
}

StatusMenuPicture::Placement StatusMenuPicture::place(const platform::Menu& menu, const StatusMenuPictureOptions& options) {
    // Screen coordinates first (x from the screen's left edge); the picture is then cut to what
    // is shown, from the leftmost panel's shadow to the screen's right edge.
    const double screen = std::isfinite(options.screenWidth) ? std::max(options.screenWidth, kMinPanelWidth + 2 * kMargin)
                                                             : 1440;
    const double widest = screen - 2 * kMargin;
    // The lowest a panel reaches; a taller one is cut there (at least one row and its arrow show).
    const double panelTop = kBarHeight + 1;
    const double screenHeight = std::isfinite(options.screenHeight) ? options.screenHeight : 900;
    const double lowest =
        std::max(screenHeight - kScreenEdgeGap, panelTop + kPanelPadding + kRowHeight + kScrollArrowHeight);
    Placement p;
    p.button = {screen - kStatusItemRightInset - kButtonWidth, 0, kButtonWidth, kBarHeight};
    const auto main = layout(menu, widest);
    // The menu hangs from the button's left edge unless that would pass the screen's edge.
    const double menuX = std::max(kMargin, std::min(p.button.x, screen - kMargin - main.panel.width));
    p.menu = {menuX, panelTop, main.panel.width, cutHeight(menu, main, lowest - panelTop)};
    const bool menuCut = p.menu.height < main.panel.height;
    double left = std::min(p.menu.x, p.button.x);
    double bottom = p.menu.maxY();
    if (options.openSubmenu) {
        for (std::size_t i = 0; i < menu.items().size(); ++i) {
            const auto& item = *menu.items()[i];
            if (item.isSeparator || item.title != *options.openSubmenu || !item.submenu) continue;
            // A row cut off with the rest of a long menu opens nothing.
            if (menuCut && p.menu.y + main.rows[i].maxY() > p.menu.maxY() - kScrollArrowHeight) break;
            const auto sub = layout(*item.submenu, widest);
            double x = p.menu.maxX() - kSubmenuOverlap;
            if (x + sub.panel.width > screen - kMargin) x = std::max(kMargin, p.menu.x + kSubmenuOverlap - sub.panel.width);
            // Level with its row, moved up (not above the bar) when it would pass the bottom edge.
            const double y = std::max(panelTop, std::min(p.menu.y + main.rows[i].y - kPanelPadding, lowest - sub.panel.height));
            p.submenu = Rect{x, y, sub.panel.width, cutHeight(*item.submenu, sub, lowest - y)};
            left = std::min(left, p.submenu->x);
            bottom = std::max(bottom, p.submenu->maxY());
            break;
        }
    }
    const double cut = std::max(0.0, std::floor(left - kMargin));
    p.button = p.button.offsetBy(-cut, 0);
    p.menu = p.menu.offsetBy(-cut, 0);
    if (p.submenu) p.submenu = p.submenu->offsetBy(-cut, 0);
    p.canvas = {std::ceil(screen - cut), std::ceil(std::min(bottom + kMargin, std::max(screenHeight, lowest + kScreenEdgeGap)))};
    return p;
}

gfx::Image StatusMenuPicture::render(const platform::StatusItem* item, const platform::Menu& menu,
                                     const StatusMenuPictureOptions& options) {
    const auto pal = palette(options.dark);
    const auto where = place(menu, options);
    gfx::RenderTarget target(where.canvas, options.scale);
    auto ctx = target.context();

    ctx.paint(gfx::Shading::linearGradient(gfx::Gradient::colors({pal.desktopTop, pal.desktopBottom}), Point{0, 0},
                                           Point{0, where.canvas.height}));
    ctx.fill(gfx::Path::rect({0, 0, where.canvas.width, kBarHeight}), pal.bar);
    ctx.fill(gfx::Path::roundedRect(where.button.insetBy(1, 2), 4), pal.buttonPressed);
    if (item && item->button && item->button->image)
        if (const auto* drawn = dynamic_cast<const DrawnMenuImage*>(item->button->image.get())) {
            const double side = std::min(drawn->width(), kBarHeight - 4);
            const Rect glyph{where.button.midX() - side / 2, where.button.midY() - side / 2, side, side};
            gfx::ImageStyle style;
            if (drawn->isTemplate()) style.templateTint = pal.glyph;
            ctx.draw(drawn->drawnImage().rasterize(options.scale), glyph, style);
        }

    drawPanel(ctx, menu, where.menu, pal, options.openSubmenu ? &*options.openSubmenu : nullptr);
    if (where.submenu)
        if (const auto* parent = findItem(menu, *options.openSubmenu); parent && parent->submenu)
            drawPanel(ctx, *parent->submenu, *where.submenu, pal, nullptr);
    return target.takeImage();
}

bool StatusMenuPicture::writePng(const platform::StatusItem* item, const platform::Menu& menu,
                                 const StatusMenuPictureOptions& options, const std::string& path, std::string* error) {
    return render(item, menu, options).writePng(path, error);
}

}  // namespace quillmar
