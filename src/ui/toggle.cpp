#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/shape.h"
#include "ui/stack_views.h"
#include "ui/text_view.h"

namespace quillmar::ui {
namespace {

struct ToggleView {
    std::string title;
    Binding<bool> isOn;

    View body() const {
        const Environment& env = environment();
        const bool on = isOn.get();
        const bool dark = env.colorScheme == ColorScheme::dark;
        double w = 38, h = 22;
        if (env.controlSize == ControlSize::small) w = 32, h = 18;
        if (env.controlSize == ControlSize::mini) w = 26, h = 15;
        const Color offTrack = dark ? Color::white(1, 0.2) : Color::white(0, 0.1);
        const double knob = h - 4;
        View track = Capsule()
                         .fill(on ? ShapeStyle(env.accentColor()) : ShapeStyle(offTrack))
                         .overlay(Capsule().strokeBorder(Color::white(0, dark ? 0.25 : 0.08), 0.5));
        View thumb = Circle()
                         .fill(Color::whiteColor())
                         .shadow(Color::white(0, 0.3), 1, 0, 0.5)
                         .frame(knob, knob)
                         .offset((on ? 1 : -1) * (w - h) / 2, 0);
        auto binding = isOn;
        auto flip = [binding] { binding.set(!binding.get()); };
        View control = ZStack({track, thumb})
                           .frame(w, h)
                           .opacity(env.isEnabled ? 1 : 0.5)
                           .animation(Animation::easeOut(0.15), on)
                           .contentShape(Rectangle())
                           .onTapGesture(flip);
        View whole = env.labelsHidden ? control : HStack(8, {Text(title), control});
        AccessibilityProperties ax;
        ax.role = "toggle";
        ax.label = title;
        ax.value = on ? "1" : "0";
        ax.addTraits = AccessibilityTraits::isToggle() | (on ? AccessibilityTraits::isSelected() : AccessibilityTraits{});
        ax.action = flip;
        return detail::withAccessibilityProperties(whole.accessibilityElement(AccessibilityChildBehavior::ignore),
                                                   std::move(ax));
    }
};

}  // namespace

View Toggle(std::string title, Binding<bool> isOn) { return ToggleView{std::move(title), std::move(isOn)}; }

}  // namespace quillmar::ui
