#pragma once
// How a view looks while it is inserted or removed under an animation: it starts from (or ends
// at) the transition's look and animates to (or from) its normal look. Without an animation,
// views appear and disappear at once.

#include <memory>
#include <vector>

#include "ui/layout_types.h"

namespace quillmar::ui {

class Transition {
public:
    Transition() = default;  // identity: no visible change

    static Transition identity() { return {}; }
    static Transition opacity();
    static Transition scale(double scale = 0, UnitPoint anchor = UnitPoint::center());
    static Transition offset(double x, double y);
    // Both effects at once.
    Transition combined(const Transition& other) const;
    // One transition for insertion, another for removal.
    static Transition asymmetric(const Transition& insertion, const Transition& removal);

    // The look at `amount` (0 normal, 1 fully transitioned).
    struct Effect {
        double opacity = 1;
        double scale = 1;
        UnitPoint anchor = UnitPoint::center();
        Point offset;
        bool isIdentity() const { return opacity == 1 && scale == 1 && offset.x == 0 && offset.y == 0; }
    };
    Effect effect(double amount, bool removal) const;
    bool isIdentity() const;
    // No visible change while the view is inserted (it may still have one for its removal).
    bool isIdentityOnInsertion() const { return insertion_.empty(); }

private:
    struct Part {
        enum class Kind { opacity, scale, offset } kind;
        double scale = 1;
        UnitPoint anchor;
        Point offset;
    };
    std::vector<Part> insertion_;
    std::vector<Part> removal_;
};

}  // namespace quillmar::ui
