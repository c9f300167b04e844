#pragma once
// A hosting view puts a root view in a window or panel of a given size: it keeps the evaluated
// tree up to date (coalesced per main-loop turn), renders it through gfx (1x or 2x, to an image
// or a PNG), takes injected input (pointer, wheel, keys), and answers questions tests ask (frames
// of named views, the accessibility tree, tooltips).
//
//     HostingView host(SettingsView{}, {480, 592});
//     host.click({240, 40});
//     runtime::MainLoop::main().advance(0.3);
//     host.writePng("out/settings.png", 2.0);

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/graphics_context.h"
#include "gfx/image.h"
#include "ui/accessibility.h"
#include "ui/environment.h"
#include "ui/events.h"
#include "ui/text_measurer.h"
#include "ui/view.h"

namespace quillmar::ui {

namespace detail {
class ViewGraph;
class Node;
}  // namespace detail

class HostingView {
public:
    // The environment starts from the platform's accessibility display options (Reduce Motion,
    // Reduce Transparency, Increase Contrast) and the light scheme; the owner keeps it current
    // with setEnvironment().
    explicit HostingView(View root, Size size = {});
    ~HostingView();
    HostingView(const HostingView&) = delete;
    HostingView& operator=(const HostingView&) = delete;

    void setRootView(View root);
    void setSize(Size size);
    Size size() const;
    // The root view's ideal size (what it asks for when offered nothing in particular).
    Size fittingSize();
    void setEnvironment(const Environment& environment);
    const Environment& environment() const;
    void setTextMeasurer(std::shared_ptr<TextMeasurer> measurer);

    // Brings evaluation and layout up to date now; otherwise they follow on the next turn of the
    // main loop. Every query below does this first.
    void layoutIfNeeded();

    // Drawing.
    void draw(gfx::GraphicsContext& context);
    gfx::Image renderImage(double scale = 1.0, std::optional<Color> background = std::nullopt);
    bool writePng(const std::string& path, double scale = 1.0, std::optional<Color> background = std::nullopt,
                  std::string* error = nullptr);
    // The same file drawn a band of rows at a time, for pictures the size of a screen: a fraction
    // of the memory, the same bytes but for what gfx/banded_png.h says of large or moving images.
    bool writePngInBands(const std::string& path, double scale = 1.0, std::optional<Color> background = std::nullopt,
                         std::string* error = nullptr);
    // Called whenever what is drawn may have changed (updates and animation frames).
    void setOnDisplayNeeded(std::function<void()> callback);

    // Input, in the hosting view's coordinates.
    void pointerMoved(Point p);
    void pointerExited();
    void pointerDown(Point p);
    void pointerUp(Point p);
    void click(Point p);  // move there, press and release
    // Drags from `from` to `to` in `steps` moves, then releases.
    void drag(Point from, Point to, int steps = 8);
    void scrollWheel(Point p, double deltaY);
    // Key presses go to the views' key handlers, front-most first; true when one handled it.
    bool keyDown(const KeyEvent& event);

    // Key window routing: key presses injected without a target go to the key hosting view.
    void makeKey();
    bool isKey() const;
    static bool sendKeyToKeyWindow(const KeyEvent& event);

    // Inspection (for tests and tools), by names given with View::named().
    bool contains(std::string_view name);
    std::optional<Rect> frame(std::string_view name);           // layout frame, window coordinates
    std::optional<Rect> presentedFrame(std::string_view name);  // as drawn now: animations, scroll and effects
    std::optional<double> presentedOpacity(std::string_view name);  // composed opacity as drawn now
    std::vector<Rect> frames(std::string_view name);
    // Every view of that name as drawn now, with its composed opacity, views still leaving under
    // a removal transition included: what a person sees of them on this frame.
    struct PresentedView {
        Rect frame;
        double opacity = 1;
    };
    std::vector<PresentedView> presentedViews(std::string_view name);
    // The name of the innermost named view hit at `p` (hit testing as for a click).
    std::optional<std::string> nameAt(Point p);
    AccessibilityElement accessibilityTree();
    std::optional<std::string> tooltip(Point p);
    std::vector<std::pair<std::string, Rect>> tooltips();

    // Statistics.
    std::uint64_t bodyEvaluationCount() const;
    std::uint64_t updateCount() const;
    // Views looked at while finding what their parents draw: none where that was kept from before.
    std::uint64_t drawnBoundsFoundCount() const;
    bool isAnimating();

private:
    detail::Node* hitTest(Point p);
    detail::Node* findNamed(std::string_view name);
    void updateHover(std::optional<Point> p);

    std::unique_ptr<detail::ViewGraph> graph_;
    struct Press;
    std::unique_ptr<Press> press_;
    struct HoverEntry {
        std::weak_ptr<detail::Node*> node;
        bool continuous;
    };
    std::vector<HoverEntry> hovered_;
};

}  // namespace quillmar::ui
