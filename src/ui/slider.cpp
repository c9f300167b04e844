#include <cmath>
#include <cstdio>

#include "gfx/filter.h"
#include "gfx/path.h"
#include "ui/accessibility.h"
#include "ui/canvas.h"
#include "ui/controls.h"

namespace quillmar::ui {

double sliderSnap(double raw, double lower, double upper, std::optional<double> step) {
    if (!std::isfinite(lower) || !std::isfinite(upper)) return std::isfinite(raw) ? raw : 0;
    if (upper < lower) std::swap(lower, upper);
    if (!std::isfinite(raw)) raw = lower;
    double v = std::clamp(raw, lower, upper);
    if (step && std::isfinite(*step) && *step > 0) {
        const double k = std::round((v - lower) / *step);
        v = lower + k * *step;
        if (v > upper + 1e-9 * std::max(1.0, std::fabs(upper))) v -= *step;
        v = std::clamp(v, lower, upper);
        // Grid points as the decimal numbers they stand for (0.5 + 7 × 0.1 is 1.2, not 1.2000000000000002).
        if (std::fabs(v) < 1e9) v = std::round(v * 1e9) / 1e9;
    }
    return v;
}

namespace {

struct SliderView {
    Binding<double> value;
    double lower = 0, upper = 1;
    std::optional<double> step;
    std::function<void(bool)> onEditingChanged;
    // The knob's fraction when a press began on it; NaN when the press began on the track.
    State<double> grabbed{0};
    State<bool> dragging{false};

    double fraction(double v) const {
        const double span = upper - lower;
        if (!std::isfinite(v) || !(span > 0)) return 0;
        return std::clamp((v - lower) / span, 0.0, 1.0);
    }

    View body() const {
        const Environment& env = environment();
        double knob = 20, trackHeight = 4;
        if (env.controlSize == ControlSize::small) knob = 16, trackHeight = 3;
        if (env.controlSize == ControlSize::mini) knob = 12, trackHeight = 3;
        const double current = value.get();
        const double frac = fraction(current);
        const bool dark = env.colorScheme == ColorScheme::dark;
        const Color trackColor = dark ? Color::white(1, 0.2) : Color::white(0, 0.12);
        const Color fill = env.accentColor();
        const bool enabled = env.isEnabled;

        View canvas = Canvas([=](gfx::GraphicsContext& ctx, Size s) {
            if (!enabled) ctx.opacity *= 0.5;
            const double usable = std::max(0.0, s.width - knob);
            const double cy = s.height / 2;
            const Rect track{knob / 2 - trackHeight / 2, cy - trackHeight / 2, usable + trackHeight, trackHeight};
            ctx.fill(gfx::Path::capsule(track), trackColor);
            const double kx = knob / 2 + frac * usable;
            ctx.fill(gfx::Path::capsule(Rect{track.x, track.y, kx - track.x, trackHeight}), fill);
            gfx::GraphicsContext k = ctx;
            k.addFilter(gfx::Filter::shadow(Color::white(0, 0.3), 1, 0, 0.5));
            const Rect knobRect{kx - knob / 2 + 0.5, cy - knob / 2 + 0.5, knob - 1, knob - 1};
            k.fill(gfx::Path::ellipse(knobRect), Color::whiteColor());
            ctx.stroke(gfx::Path::ellipse(knobRect), Color::white(0, 0.12), 0.5);
        });

        auto v = value;
        const double lo = lower, hi = upper;
        const auto st = step;
        auto grab = grabbed;
        auto drag = dragging;
        auto editing = onEditingChanged;
        auto self = *this;
        auto changed = [=](const DragValue& d) {
            const double usable = std::max(1.0, d.viewSize.width - knob);
            if (!drag.get()) {
                drag.set(true);
                const double kx = knob / 2 + self.fraction(v.get()) * usable;
                grab.set(std::fabs(d.startLocation.x - kx) <= knob / 2 ? self.fraction(v.get()) : std::nan(""));
                if (editing) editing(true);
            }
            const double g = grab.get();
            const bool onKnob = !std::isnan(g);
            if (onKnob && d.location == d.startLocation) return;  // a press on the knob moves nothing
            const double f = onKnob ? g + (d.location.x - d.startLocation.x) / usable : (d.location.x - knob / 2) / usable;
            const double snapped = sliderSnap(lo + std::clamp(f, 0.0, 1.0) * (hi - lo), lo, hi, st);
            if (snapped != v.get()) v.set(snapped);
        };
        auto ended = [=](const DragValue&, bool) {
            drag.set(false);
            if (editing) editing(false);
        };

        const double increment = step && *step > 0 ? *step : (upper - lower) / 10;
        AccessibilityProperties ax;
        ax.role = "slider";
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", current);
        ax.value = buf;
        ax.addTraits = AccessibilityTraits::isAdjustable();
        ax.increment = [=] { v.set(sliderSnap(v.get() + increment, lo, hi, st)); };
        ax.decrement = [=] { v.set(sliderSnap(v.get() - increment, lo, hi, st)); };
        return detail::withAccessibilityProperties(
            canvas.frame(FlexibleFrame{knob, 120.0, infinity, {}, {}, {}, Alignment::center()})
                .frame(std::nullopt, knob)
                .onDragGesture(changed, ended)
                .accessibilityElement(AccessibilityChildBehavior::ignore),
            std::move(ax));
    }
};

}  // namespace

View Slider(Binding<double> value, double lower, double upper, std::optional<double> step,
            std::function<void(bool)> onEditingChanged) {
    return SliderView{std::move(value), lower, upper, step, std::move(onEditingChanged)};
}

}  // namespace quillmar::ui
