#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/shape.h"

namespace quillmar::ui {
namespace {

struct ButtonView {
    std::function<void()> action;
    View label;
    State<bool> pressed{false};

    View body() const {
        const Environment& env = environment();
        const bool isPressed = pressed.get();
        View face;
        if (env.buttonStyle == ButtonStyle::borderedProminent) {
            const bool small = env.controlSize == ControlSize::small || env.controlSize == ControlSize::mini;
            const Color fill = isPressed ? env.accentColor().scaled(0.82) : env.accentColor();
            face = label.font(gfx::Font::system(small ? 11 : 13))
                       .foregroundColor(Color::whiteColor())
                       .lineLimit(1)
                       .padding(Edges::horizontal(), small ? 8 : 10)
                       .padding(Edges::vertical(), small ? 3 : 4)
                       .background(RoundedRectangle(small ? 5 : 6).fill(fill))
                       .opacity(env.isEnabled ? 1 : 0.5);
        } else {
            face = label.opacity(isPressed ? 0.6 : 1);
        }
        auto p = pressed;
        auto act = action;
        AccessibilityProperties ax;
        ax.role = "button";
        ax.addTraits = AccessibilityTraits::isButton();
        ax.action = act;
        return detail::withAccessibilityProperties(
            face.onDragGesture(
                    [p](const DragValue&) {
                        if (!p.get()) p.set(true);
                    },
                    [p, act](const DragValue&, bool inside) {
                        p.set(false);
                        if (inside && act) act();
                    })
                .accessibilityElement(AccessibilityChildBehavior::combine),
            std::move(ax));
    }
};

}  // namespace

View Button(std::function<void()> action, View label) { return ButtonView{std::move(action), std::move(label)}; }

}  // namespace quillmar::ui

#include "ui/text_view.h"

namespace quillmar::ui {

View Button(std::string title, std::function<void()> action) { return Button(std::move(action), Text(std::move(title))); }

}  // namespace quillmar::ui
