#include "app/demo/desktop_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <pixman.h>

#include "app/demo/nine_part_shadow.h"
#include "app/demo/window_shadow.h"
#include "gfx/pixel_effects.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_panel_windows.h"
#include "platform/system_appearance.h"
#include "runtime/wall_clock.h"
#include "switcher/app_icon_image_cache.h"
#include "switcher/non_activating_panel.h"
#include "ui/hosting_view.h"
#include "ui/ui.h"

namespace quillmar {

namespace {

using gfx::Rect;
using gfx::Size;
using ui::Color;

constexpr double kTitleBarHeight = 28;

// The window server's behind-window blur, as the system materials have it: a Gaussian of this
// standard deviation (points) and a slight lift of the colours' saturation, under the material's
// tint. What lies this far beyond the blurred area is drawn into the blur too.
constexpr double kBackdropBlurRadius = 15;
constexpr double kBackdropSaturation = 1.2;
constexpr double kBackdropReach = 3 * kBackdropBlurRadius + 2;
// The blur is worked out at this fraction of the picture's resolution.
constexpr double kBackdropResolution = 0.25;

ui::View placed(ui::View view, const ui::Rect& r) {
    return view.frame(r.width, r.height).offset(r.x, r.y);
}

ui::View background(bool dark) {
    const auto colours = dark ? std::vector<Color>{Color::rgb(0.09, 0.11, 0.2), Color::rgb(0.2, 0.13, 0.27),
                                                   Color::rgb(0.05, 0.06, 0.1)}
                              : std::vector<Color>{Color::rgb(0.55, 0.72, 0.93), Color::rgb(0.78, 0.7, 0.9),
                                                   Color::rgb(0.95, 0.78, 0.7)};
    return ui::Rectangle().fill(
        ui::ShapeStyle::linearGradient(gfx::Gradient::colors(colours), ui::UnitPoint::topLeading(), ui::UnitPoint::bottomTrailing()));
}

// One window: a rounded frame with a title bar (the three window buttons and the title) over a
// plain body with a few lines of placeholder content. (Its shadow is laid under it apart.)
ui::View windowView(const std::string& title, double width, double height, bool dark, bool isKey) {
    const Color body = dark ? Color::rgb(0.16, 0.16, 0.18) : Color::rgb(0.99, 0.99, 0.99);
    const Color bar = dark ? Color::rgb(0.22, 0.22, 0.24) : Color::rgb(0.92, 0.92, 0.93);
    const Color ink = dark ? Color::whiteColor() : Color::black();
    ui::ViewList buttons;
    const Color lights[] = {Color::rgb(1.0, 0.37, 0.34), Color::rgb(1.0, 0.74, 0.18), Color::rgb(0.16, 0.79, 0.25)};
    for (const auto& c : lights)
        buttons.push_back(ui::Circle().fill(isKey ? c : ink.opacity(0.18)).frame(12, 12));
    ui::ViewList lines;
    for (int i = 0; i < 6; ++i)
        lines.push_back(ui::RoundedRectangle(3).fill(ink.opacity(0.08)).frame(std::max(width * (0.8 - 0.1 * (i % 3)) - 40, 10.0), 8));
    ui::View titleBar = ui::ZStack({ui::Rectangle().fill(bar),
                                    ui::Text(title)
                                        .font(gfx::Font::system(13, gfx::FontWeight::semibold))
                                        .foregroundColor(ink.opacity(isKey ? 0.85 : 0.45))
                                        .lineLimit(1)
                                        .padding(ui::Edges::horizontal(), 80),
                                    ui::HStack(ui::VerticalAlignment::center, 8, std::move(buttons))
                                        .padding(ui::Edges::leading(), 12)
                                        .frame(width, kTitleBarHeight, ui::Alignment::leading())})
                             .frame(width, kTitleBarHeight);
    ui::View content = ui::VStack(ui::HorizontalAlignment::leading, 12, std::move(lines))
                           .padding(20)
                           .frame(width, std::max(height - kTitleBarHeight, 0.0), ui::Alignment::topLeading());
    gfx::StrokeStyle edge;
    edge.lineWidth = 1;
    return ui::VStack(ui::HorizontalAlignment::center, 0, {titleBar, content})
        .frame(width, height, ui::Alignment::top())
        .background(ui::Rectangle().fill(body))
        .clipShape(ui::RoundedRectangle(10))
        .overlay(ui::RoundedRectangle(10).strokeBorder(dark ? Color::whiteColor().opacity(0.16) : Color::black().opacity(0.2), edge));
}

ui::View menuBar(const std::string& appName, double width, double height, bool dark) {
    const Color ink = dark ? Color::whiteColor() : Color::black();
    const auto now = runtime::WallClock::shared().localNow();
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    char clock[32];
    std::snprintf(clock, sizeof clock, "%s %02d:%02d", days[std::clamp(now.weekday, 1, 7) - 1], now.hour, now.minute);
    ui::ViewList items;
    items.push_back(ui::Text(appName).font(gfx::Font::system(13, gfx::FontWeight::bold)).foregroundColor(ink.opacity(0.9)).lineLimit(1));
    for (const char* menu : {"File", "Edit", "View", "Window", "Help"})
        items.push_back(ui::Text(menu).font(gfx::Font::system(13)).foregroundColor(ink.opacity(0.85)));
    items.push_back(ui::Spacer());
    items.push_back(ui::Text(clock).font(gfx::Font::system(13).monospacedDigit()).foregroundColor(ink.opacity(0.85)));
    return ui::HStack(ui::VerticalAlignment::center, 18, std::move(items))
        .padding(ui::Edges::horizontal(), 16)
        .frame(width, height)
        .background(ui::Rectangle().fill(dark ? Color::black().opacity(0.45) : Color::whiteColor().opacity(0.55)));
}

// The part of a window's picture (`image`, alpha included, at `windowAlpha`) that a blurring
// material covers: within the material's frames (points), every pixel at least half as opaque as
// the window is, row by row. Its outline is thus the window's own (a rounded plate's corners stay
// sharp-edged desktop), with the softened rim of the plate counted in where it is mostly opaque.
gfx::Path behindWindowShape(const gfx::Image& image, const std::vector<ui::Rect>& frames, double windowAlpha) {
    gfx::Path shape;
    if (image.isNull() || !(windowAlpha > 0)) return shape;
    const double scale = image.scale();
    const int w = image.pixelWidth(), h = image.pixelHeight(), stride = image.stride() / 4;
    const std::uint32_t threshold = static_cast<std::uint32_t>(std::ceil(127.5 * std::min(windowAlpha, 1.0)));
    const auto* data = image.data();
    for (const auto& f : frames) {
        if (!f.isFinite()) continue;
        const int x0 = std::clamp(static_cast<int>(std::floor(f.minX() * scale)), 0, w);
        const int x1 = std::clamp(static_cast<int>(std::ceil(f.maxX() * scale)), 0, w);
        const int y0 = std::clamp(static_cast<int>(std::floor(f.minY() * scale)), 0, h);
        const int y1 = std::clamp(static_cast<int>(std::ceil(f.maxY() * scale)), 0, h);
        // Runs of rows with the same span become one rectangle.
        int runTop = y0, runFrom = -1, runTo = -1;
        auto closeRun = [&](int bottom) {
            if (runFrom < runTo)
                shape.addRect({runFrom / scale, runTop / scale, (runTo - runFrom) / scale, (bottom - runTop) / scale});
        };
        for (int y = y0; y < y1; ++y) {
            const auto* row = data + static_cast<std::ptrdiff_t>(y) * stride;
            int from = x0;
            while (from < x1 && (row[from] >> 24) < threshold) ++from;
            int to = x1;
            while (to > from && (row[to - 1] >> 24) < threshold) --to;
            if (from >= to) from = to = -1;
            if (from == runFrom && to == runTo) continue;
            closeRun(y);
            runTop = y;
            runFrom = from;
            runTo = to;
        }
        closeRun(y1);
    }
    return shape;
}

// The desktop under a panel's behind-window blur: `desk` (the screen without the panel, in
// `scheme`) blurred and a little saturated, shown through `shape` (screen points) at the window's
// alpha. The blur leaves nothing finer than a few points, so the part of the desktop it reaches
// is drawn and blurred once, at a quarter of the picture's resolution, and stretched back over it:
// a picture drawn in bands then holds no full-resolution copy of the desktop beside its own.
ui::View blurredBackdrop(const ui::View& desk, Size screen, ui::ColorScheme scheme, const gfx::Path& shape,
                         double windowAlpha, double scale) {
    const Rect bounds = shape.boundingRect().insetBy(-kBackdropReach, -kBackdropReach);
    const double reduced = scale * kBackdropResolution;
    ui::HostingView near(desk.frame(screen.width, screen.height, ui::Alignment::topLeading())
                             .offset(-bounds.x, -bounds.y)
                             .frame(bounds.width, bounds.height, ui::Alignment::topLeading())
                             .clipped(),
                         bounds.size());
    auto env = near.environment();
    env.colorScheme = scheme;
    near.setEnvironment(env);
    gfx::Image backdrop = near.renderImage(reduced);
    if (backdrop.isNull()) return ui::View();
    const int w = backdrop.pixelWidth(), h = backdrop.pixelHeight();
    gfx::gaussianBlur(backdrop.data(), w, h, backdrop.stride(), kBackdropBlurRadius * reduced);
    gfx::adjustSaturation(backdrop.data(), w, h, backdrop.stride(), kBackdropSaturation);
    backdrop.markDirty();
    const gfx::Path local = shape.offsetBy(-bounds.x, -bounds.y);
    return placed(ui::Image(backdrop)
                      .resizable()
                      .clipShape(ui::Shape::custom([local](const Rect&) { return local; }))
                      .opacity(windowAlpha),
                  bounds);
}

std::uint64_t& bodiesDrawn() {
    thread_local std::uint64_t n = 0;
    return n;
}

// Its body is opaque but for its rounded corners (and the soft edge of its outline).
constexpr double kWindowCornerRadius = 10;
constexpr std::size_t kMostWindowsDrawn = DesktopPicture::kMostWindowsDrawn;

// The pixels of `r` (points, screen-local) within a screen of `size`: the whole ones only
// (`inward`), or every one it touches.
pixman_box32_t pixelsOf(const ui::Rect& r, Size size, bool inward) {
    const double x0 = std::clamp(r.minX(), 0.0, size.width), x1 = std::clamp(r.maxX(), 0.0, size.width);
    const double y0 = std::clamp(r.minY(), 0.0, size.height), y1 = std::clamp(r.maxY(), 0.0, size.height);
    auto lo = [inward](double v) { return static_cast<std::int32_t>(inward ? std::ceil(v) : std::floor(v)); };
    auto hi = [inward](double v) { return static_cast<std::int32_t>(inward ? std::floor(v) : std::ceil(v)); };
    return {lo(x0), lo(y0), std::max(lo(x0), hi(x1)), std::max(lo(y0), hi(y1))};
}

struct ShownWindow {
    const platform::sim::SimWindow* window;
    ui::Rect local;  // its frame on the screen, in points from the screen's top-left corner
    bool contentShows = true;  // false: only its shadow can show, its body lies under a drawn window
};

// A pixman region of whole points, finished however its holder is left.
class PointRegion {
public:
    PointRegion() { pixman_region32_init(&region_); }
    ~PointRegion() { pixman_region32_fini(&region_); }
    PointRegion(const PointRegion&) = delete;
    PointRegion& operator=(const PointRegion&) = delete;

    bool contains(const pixman_box32_t& box) {
        return pixman_region32_contains_rectangle(&region_, &box) == PIXMAN_REGION_IN;
    }
    void add(const pixman_box32_t& box) {
        if (box.x2 <= box.x1 || box.y2 <= box.y1) return;
        if (!pixman_region32_union_rect(&region_, &region_, box.x1, box.y1, static_cast<unsigned>(box.x2 - box.x1),
                                        static_cast<unsigned>(box.y2 - box.y1)))
            throw std::bad_alloc();
    }

private:
    pixman_region32_t region_;
};

// Every window has the same outline, its frame with corners rounded alike: one whose frame holds
// another's holds its outline, corners and rim included. Within `slack` points: one that reaches
// that little beyond it shows no more than a sliver of that width along its edges.
bool holds(const ui::Rect& outer, const ui::Rect& inner, double slack = 0) {
    return outer.minX() <= inner.minX() + slack && outer.minY() <= inner.minY() + slack &&
           outer.maxX() + slack >= inner.maxX() && outer.maxY() + slack >= inner.maxY();
}

// How far (in pixels) a window may reach beyond one drawn in front of it and still not be drawn
// itself: what it would add to the front one's edge pixels is at most this share of a pixel.
constexpr double kUnseenSliver = 1.0 / 256;

// The desktop's windows that can show on a screen of `size` drawn at `scale`, back to front: on
// screen, on that screen, and not wholly under opaque windows in front of them: under their
// opaque bodies, or within the outline of one of them (what little of its shadow such a window
// would cast beyond them is left out with it). One within a sliver of a pixel of the outline of
// an opaque window drawn in front of it casts its shadow only: windows stacked a hair apart draw
// one body for every few of them, not one each. Nothing when more than kMostWindowsDrawn can show.
std::optional<std::vector<ShownWindow>> windowsThatShow(
    const platform::sim::SimDesktop& desktop, Size size, double scale,
    const std::function<ui::Rect(const platform::sim::SimWindow&)>& localFrame) {
    std::vector<ShownWindow> shown;
    std::vector<ui::Rect> opaque;  // the frames of the opaque windows that show
    std::vector<ui::Rect> drawn;   // those whose bodies are drawn
    PointRegion covered;           // and the whole points of their bodies
    const double sliver = std::isfinite(scale) && scale > 0 ? kUnseenSliver / scale : 0.0;
    for (const auto* w : desktop.windows()) {  // front to back
        if (w->layer != 0 || !desktop.isOnScreen(*w) || !(w->bounds.width >= 1) || !(w->bounds.height >= 1)) continue;
        const ui::Rect local = localFrame(*w);
        if (!local.isFinite() || local.maxX() <= 0 || local.maxY() <= 0 || local.x >= size.width || local.y >= size.height)
            continue;
        // Only windows that show need be held: what lies within a hidden one is hidden alike.
        if (covered.contains(pixelsOf(local, size, false)) ||
            std::any_of(opaque.begin(), opaque.end(), [&](const ui::Rect& front) { return holds(front, local); }))
            continue;
        if (shown.size() == kMostWindowsDrawn) return std::nullopt;
        // Held to the windows whose bodies are drawn, not to those left out: hidden ones never
        // reach more than a sliver beyond what is drawn, however many lie a hair apart.
        const bool contentShows = !std::any_of(drawn.begin(), drawn.end(),
                                               [&](const ui::Rect& front) { return holds(front, local, sliver); });
        shown.push_back({w, local, contentShows});
        if (w->alpha >= 1) {
            opaque.push_back(local);
            if (contentShows) drawn.push_back(local);
            for (const auto& body : {local.insetBy(kWindowCornerRadius, 1), local.insetBy(1, kWindowCornerRadius)})
                covered.add(pixelsOf(body, size, true));
        }
    }
    std::reverse(shown.begin(), shown.end());
    return shown;
}

bool castsShadow(NonActivatingPanel& panel) {
    const auto* sim = dynamic_cast<const platform::sim::SimPanelWindow*>(&panel.window());
    return !sim || sim->config().hasShadow;
}

// The screen's views, hosted at the screen's size in its appearance.
std::unique_ptr<ui::HostingView> hostScreen(const platform::sim::SimDesktop& desktop, const platform::Screen& screen,
                                            NonActivatingPanel* panel, double scale, std::string* error) {
    const bool dark = platform::SystemAppearance::currentIsDark();
    const auto& frame = screen.frame;
    // Window-server coordinates put the origin at the top left of the primary screen.
    const double primaryHeight = desktop.screens().empty() ? frame.height : desktop.screens().front().frame.height;
    const double screenTop = primaryHeight - frame.maxY();

    ui::ViewList layers;
    layers.push_back(background(dark).frame(frame.width, frame.height));

    const auto front = desktop.frontmostPid();
    std::optional<std::uint32_t> keyWindow;
    for (const auto* w : desktop.windows())
        if (w->layer == 0 && desktop.isOnScreen(*w) && front && w->ownerPid == *front) {
            keyWindow = w->number;
            break;
        }
    const auto shown = windowsThatShow(desktop, frame.size(), scale, [&](const platform::sim::SimWindow& w) {
        return ui::Rect{w.bounds.x - frame.x, w.bounds.y - screenTop, w.bounds.width, w.bounds.height};
    });
    if (!shown) {
        *error = "more than " + std::to_string(kMostWindowsDrawn) + " windows show on the screen";
        return nullptr;
    }
    // Windows of one size cast one shadow between them.
    NinePartShadow keyShadow(WindowShadow::kKeyWindow, kWindowCornerRadius, frame.size(), scale);
    NinePartShadow otherShadow(WindowShadow::kOtherWindow, kWindowCornerRadius, frame.size(), scale);
    for (const auto& [w, local, contentShows] : *shown) {
        const bool isKey = keyWindow == w->number;
        layers.push_back((isKey ? keyShadow : otherShadow).under(local));
        if (!contentShows) continue;
        std::string title = w->title;
        if (title.empty())
            if (const auto* owner = desktop.app(w->ownerPid)) title = owner->localizedName.value_or("");
        layers.push_back(placed(windowView(title, local.width, local.height, dark, isKey), local));
        ++bodiesDrawn();
    }

    const double menuHeight = frame.maxY() - screen.visibleFrame.maxY();
    if (menuHeight > 0) {
        std::string appName;
        if (front)
            if (const auto* app = desktop.app(*front)) appName = app->localizedName.value_or("");
        layers.push_back(placed(menuBar(appName, frame.width, menuHeight, dark), {0, 0, frame.width, menuHeight}));
    }

    const Size size{frame.width, frame.height};
    ui::View desk = ui::ZStack(ui::Alignment::topLeading(), layers).frame(size.width, size.height, ui::Alignment::topLeading());
    layers = {desk};
    if (panel && panel->isVisible()) {
        const auto p = panel->frame();
        const ui::Rect local{p.x - frame.x, frame.maxY() - p.maxY(), p.width, p.height};
        auto image = panel->renderImage(scale);
        if (!image.isNull()) {
            const double alpha = panel->window().alphaValue();
            // The panel's own shadow, cast from its outline as under any window that has one.
            if (castsShadow(*panel)) {
                const auto shadow = WindowShadow::of(image, alpha, WindowShadow::kKeyWindow);
                if (!shadow.image.isNull())
                    layers.push_back(placed(ui::Image(shadow.image).resizable(), shadow.frame.offsetBy(local.x, local.y)));
            }
            // Under a material that blurs what lies behind the window, the desktop is blurred
            // before the window's pixels (the material's tint and the content) are laid over it.
            const gfx::Path shape = behindWindowShape(image, panel->behindWindowBlurFrames(), alpha);
            if (!shape.isEmpty())
                layers.push_back(blurredBackdrop(desk, size, dark ? ui::ColorScheme::dark : ui::ColorScheme::light,
                                                 shape.offsetBy(local.x, local.y), alpha, scale));
            layers.push_back(placed(ui::Image(image).resizable(), local));
        }
    }

    ui::View root = ui::ZStack(ui::Alignment::topLeading(), std::move(layers)).frame(frame.width, frame.height, ui::Alignment::topLeading()).clipped();
    auto host = std::make_unique<ui::HostingView>(root, Size{frame.width, frame.height});
    auto env = host->environment();
    env.colorScheme = dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
    host->setEnvironment(env);
    return host;
}

}  // namespace

std::uint64_t DesktopPicture::windowBodiesDrawn() { return bodiesDrawn(); }

bool DesktopPicture::writePng(const platform::sim::SimDesktop& desktop, const platform::Screen& screen,
                              NonActivatingPanel* panel, double scale, const std::string& path, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    // A picture that cannot be made fails as a picture; the run goes on.
    try {
        const auto host = hostScreen(desktop, screen, panel, scale, error);
        return host && host->writePngInBands(path, scale, Color::black(), error);
    } catch (const std::bad_alloc&) {
        *error = "not enough memory to draw the screen";
    } catch (const std::exception& e) {
        *error = std::string("the screen could not be drawn: ") + e.what();
    }
    return false;
}

}  // namespace quillmar
