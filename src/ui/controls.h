#pragma once
// Controls built from the layer's own views.
//
// - Button: runs its action when a press is released over it. The plain style shows the label
//   as it is (dimmed while pressed); the bordered-prominent style (buttonStyle()) puts it in
//   white on a rounded tint-coloured bezel sized by controlSize(). One accessibility element
//   with the button trait, labelled by the texts inside, whose default action is the action.
// - Toggle: a switch bound to a Boolean; a tap flips it. labelsHidden() hides the title, which
//   stays its accessibility label.
// - Slider: a track with a knob over a closed range, optionally on a step grid. The knob shows
//   the bound value clamped into the range, but the slider writes only when the user moves it
//   (pressing the knob alone writes nothing), and every write is snapped to the grid and
//   clamped to the range, so a value that arrived from elsewhere outside the range stays as it is
//   until then. A write happens only when the snapped value differs from the bound one.

#include <functional>
#include <optional>
#include <string>

#include "ui/state.h"
#include "ui/view.h"

namespace quillmar::ui {

View Button(std::function<void()> action, View label);
View Button(std::string title, std::function<void()> action);

View Toggle(std::string title, Binding<bool> isOn);

View Slider(Binding<double> value, double lower, double upper, std::optional<double> step = std::nullopt,
            std::function<void(bool editing)> onEditingChanged = {});

// The value a slider over [lower, upper] with `step` writes for the raw position `raw`: the
// nearest grid point lower + k × step within the range (or raw clamped, without a step).
double sliderSnap(double raw, double lower, double upper, std::optional<double> step);

}  // namespace quillmar::ui
