#pragma once
// A View is an immutable description of part of the interface: a primitive (text, shape, stack,
// canvas...), a component (any type with `View body() const`, evaluated by the layer), or a
// modified view. Modifiers return a new View wrapping this one, so they compose in the order
// written, innermost first:
//
//     Text("Live").font(gfx::Font::system(11, gfx::FontWeight::medium))
//         .padding(Edges::horizontal(), 8)
//         .background(Capsule().fill(Color::black().opacity(0.34)))
//         .opacity(isDark ? 1 : 0.9)
//
// The layer evaluates components, keeps their state by identity (position in the tree, or an
// explicit id), lays the tree out, animates changes, draws through gfx, hit-tests input and
// exposes an accessibility tree. See hosting_view.h for how a tree is put on screen.

#include <concepts>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

#include "gfx/font.h"
#include "gfx/text_layout.h"
#include "runtime/notification_center.h"
#include "runtime/published.h"
#include "ui/accessibility_traits.h"
#include "ui/animation.h"
#include "ui/any_equatable.h"
#include "ui/environment.h"
#include "ui/events.h"
#include "ui/id.h"
#include "ui/layout_types.h"
#include "ui/shape_style.h"

namespace quillmar::ui {

class View;
class Shape;
class Transition;
class Namespace;

namespace detail {
class ViewDesc;

// A component's value, type-erased.
struct ComponentModel {
    virtual ~ComponentModel() = default;
    virtual View body() const = 0;
    // Whether `other` holds an equal value (false when the type has no equality).
    virtual bool equals(const ComponentModel& other) const = 0;
    virtual bool isEquatable() const = 0;
    virtual std::type_index type() const = 0;
    virtual const void* object() const = 0;
    virtual std::size_t objectSize() const = 0;
};

std::shared_ptr<const ViewDesc> makeComponentDesc(std::shared_ptr<const ComponentModel> model);
std::shared_ptr<const ViewDesc> makeChangeDesc(View content, AnyEquatable value,
                                               std::function<void(const AnyEquatable& oldValue,
                                                                  const AnyEquatable& newValue)> action);
// A subscription kept while the view is on screen. `cell` holds the latest action; on
// re-evaluation `assign` copies the new action into the cell the subscription uses. The source is
// subscribed again only when `sourceKey` changes.
struct ReceiveSpec {
    std::function<runtime::Subscription(const std::shared_ptr<void>& cell)> subscribe;
    std::shared_ptr<void> cell;
    void (*assign)(void* destination, const void* source) = nullptr;
    std::string sourceKey;
};
std::shared_ptr<const ViewDesc> makeReceiveDesc(View content, ReceiveSpec spec);
}  // namespace detail

// A type the layer can evaluate: it describes its content in body().
template <class C>
concept ViewComponent = requires(const C& c) {
    { c.body() } -> std::same_as<View>;
};

// What a matched-geometry effect matches.
enum class MatchedGeometryProperties { frame, position, size };

// How a matched-geometry effect matches, e.g. {.anchor = UnitPoint::top()}.
struct MatchedGeometryOptions {
    MatchedGeometryProperties properties = MatchedGeometryProperties::frame;
    UnitPoint anchor = UnitPoint::center();
    bool isSource = true;
    // Whether a source glides from one of the same id that left inside a larger view removed
    // under a transition (a highlight whose row was closed). When false it shows where its own
    // view puts it, and the one leaving is no longer drawn. A source that leaves by itself (the
    // highlight moving to another row) is glided from either way.
    bool glidesFromRemovedContainer = true;
};

// Flexible frame bounds; unset fields leave that bound to the content.
struct FlexibleFrame {
    std::optional<double> minWidth = std::nullopt;
    std::optional<double> idealWidth = std::nullopt;
    std::optional<double> maxWidth = std::nullopt;
    std::optional<double> minHeight = std::nullopt;
    std::optional<double> idealHeight = std::nullopt;
    std::optional<double> maxHeight = std::nullopt;
    Alignment alignment = Alignment::center();
};

class View {
public:
    View();  // an empty view: takes no space and draws nothing
    explicit View(std::shared_ptr<const detail::ViewDesc> desc);
    template <ViewComponent C>
    View(C component);  // NOLINT(google-explicit-constructor): components are views
    View(const Color& color);  // NOLINT(google-explicit-constructor): a colour fills its frame

    const std::shared_ptr<const detail::ViewDesc>& desc() const { return desc_; }

    // Layout.
    View padding(double amount = 16) const;
    View padding(Edges edges, double amount = 16) const;
    View padding(EdgeInsets insets) const;
    // A fixed frame: each given dimension is fixed, the other follows the content. Content larger
    // than the frame keeps its size and overflows it, placed by `alignment` (centred content
    // overflows equally on both sides); nothing is clipped unless clipped() follows.
    View frame(std::optional<double> width, std::optional<double> height = std::nullopt,
               Alignment alignment = Alignment::center()) const;
    // A flexible frame: the proposal clamped to the bounds (unset bounds follow the content).
    View frame(const FlexibleFrame& f) const;
    View fixedSize(bool horizontal = true, bool vertical = true) const;
    View layoutPriority(double priority) const;
    View overlay(View content, Alignment alignment = Alignment::center()) const;
    View background(View content, Alignment alignment = Alignment::center()) const;

    // Drawing effects (the layout is unchanged).
    View offset(double x, double y) const;
    View scaleEffect(double scale, UnitPoint anchor = UnitPoint::center()) const;
    View scaleEffect(double x, double y, UnitPoint anchor = UnitPoint::center()) const;
    View rotationEffect(Angle angle, UnitPoint anchor = UnitPoint::center()) const;
    View opacity(double value) const;  // of the whole subtree as one group
    View shadow(Color color, double radius, double x = 0, double y = 0) const;  // of the composed subtree
    View saturation(double amount) const;
    View clipShape(const Shape& shape) const;
    View clipped() const;

    // Environment.
    View environment(std::function<void(Environment&)> change) const;
    View font(const gfx::Font& font) const;
    View fontWeight(gfx::FontWeight weight) const;
    View monospacedDigit() const;
    View foregroundStyle(const ShapeStyle& style) const;
    View foregroundColor(const Color& color) const { return foregroundStyle(ShapeStyle(color)); }
    View tint(const Color& color) const;
    View lineLimit(int lines) const;
    View minimumScaleFactor(double factor) const;
    View lineSpacing(double spacing) const;
    View multilineTextAlignment(gfx::TextAlignment alignment) const;
    View controlSize(ControlSize size) const;
    View buttonStyle(ButtonStyle style) const;
    View labelsHidden() const;
    View disabled(bool disabled = true) const;
    View colorScheme(ColorScheme scheme) const;

    // Interaction.
    View contentShape(const Shape& shape) const;
    View allowsHitTesting(bool enabled) const;
    View onTapGesture(std::function<void()> action) const;
    View onHover(std::function<void(bool inside)> action) const;
    View onContinuousHover(std::function<void(const HoverPhase&)> action) const;
    // A drag from pointer-down to pointer-up: changed on the press and on every move, ended on
    // release. `inside` tells whether the release was over the view.
    View onDragGesture(std::function<void(const DragValue&)> changed,
                       std::function<void(const DragValue&, bool inside)> ended) const;
    View onKeyPress(std::function<bool(const KeyEvent&)> action) const;
    View help(std::string text) const;  // tooltip

    // Lifecycle.
    View onAppear(std::function<void()> action) const;
    View onDisappear(std::function<void()> action) const;
    // Runs `action` after an update in which `value` differs from the previous evaluation's (not
    // when the view first appears). `action` may take (old, new), (new) or nothing.
    template <std::equality_comparable T, class F>
    View onChange(T value, F action) const;
    template <class T>
    View onReceive(const runtime::Stream<T>& stream, std::function<void(const T&)> action) const;
    View onReceive(runtime::NotificationCenter& center, std::string name,
                   std::function<void(const runtime::Notification&)> action) const;

    // Identity and animation.
    View id(Id id) const;
    View named(std::string name) const;  // a name tests and tools look nodes up by
    // Changes inside this view animate with `animation` (none: without animation) whenever
    // `value` differs from the previous evaluation's.
    template <std::equality_comparable T>
    View animation(std::optional<Animation> animation, T value) const {
        return animationImpl(std::move(animation), AnyEquatable::of(std::move(value)));
    }
    View transition(const Transition& transition) const;
    // A source that appears as one of the same id leaves glides from where that one was drawn
    // (see MatchedGeometryOptions).
    View matchedGeometryEffect(Id id, const Namespace& ns, const MatchedGeometryOptions& options = {}) const;
    View coordinateSpace(std::string name) const;

    // Accessibility.
    View accessibilityElement(AccessibilityChildBehavior children = AccessibilityChildBehavior::ignore) const;
    View accessibilityLabel(std::string label) const;
    View accessibilityValue(std::string value) const;
    View accessibilityIdentifier(std::string identifier) const;
    View accessibilityAddTraits(AccessibilityTraits traits) const;
    View accessibilityRemoveTraits(AccessibilityTraits traits) const;
    View accessibilityAction(std::function<void()> action) const;  // the default action
    View accessibilityHidden(bool hidden = true) const;

private:
    View animationImpl(std::optional<Animation> animation, AnyEquatable value) const;
    std::shared_ptr<const detail::ViewDesc> desc_;
};

using ViewList = std::vector<View>;

namespace detail {
template <class C>
struct ComponentModelImpl final : ComponentModel {
    explicit ComponentModelImpl(C v) : value(std::move(v)) {}
    View body() const override { return value.body(); }
    bool equals(const ComponentModel& other) const override {
        if constexpr (std::equality_comparable<C>) {
            if (other.type() != typeid(C)) return false;
            return value == static_cast<const ComponentModelImpl<C>&>(other).value;
        } else {
            (void)other;
            return false;
        }
    }
    bool isEquatable() const override { return std::equality_comparable<C>; }
    std::type_index type() const override { return typeid(C); }
    const void* object() const override { return &value; }
    std::size_t objectSize() const override { return sizeof(C); }
    C value;
};
}  // namespace detail

template <ViewComponent C>
View::View(C component)
    : View(detail::makeComponentDesc(std::make_shared<detail::ComponentModelImpl<C>>(std::move(component)))) {}

template <std::equality_comparable T, class F>
View View::onChange(T value, F action) const {
    std::function<void(const AnyEquatable&, const AnyEquatable&)> fn;
    if constexpr (std::is_invocable_v<F, const T&, const T&>) {
        fn = [action](const AnyEquatable& o, const AnyEquatable& n) { action(*o.get<T>(), *n.get<T>()); };
    } else if constexpr (std::is_invocable_v<F, const T&>) {
        fn = [action](const AnyEquatable&, const AnyEquatable& n) { action(*n.get<T>()); };
    } else {
        static_assert(std::is_invocable_v<F>, "onChange action takes (old, new), (new) or nothing");
        fn = [action](const AnyEquatable&, const AnyEquatable&) { action(); };
    }
    return View(detail::makeChangeDesc(*this, AnyEquatable::of(std::move(value)), std::move(fn)));
}

template <class T>
View View::onReceive(const runtime::Stream<T>& stream, std::function<void(const T&)> action) const {
    using Action = std::function<void(const T&)>;
    detail::ReceiveSpec spec;
    spec.cell = std::make_shared<Action>(std::move(action));
    spec.subscribe = [stream](const std::shared_ptr<void>& cell) {
        auto typed = std::static_pointer_cast<Action>(cell);
        return stream.sink([typed](const T& v) {
            auto fn = *typed;  // the action may replace itself while running
            if (fn) fn(v);
        });
    };
    spec.assign = [](void* dst, const void* src) { *static_cast<Action*>(dst) = *static_cast<const Action*>(src); };
    return View(detail::makeReceiveDesc(*this, std::move(spec)));
}

}  // namespace quillmar::ui
