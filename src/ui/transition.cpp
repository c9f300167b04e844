#include "ui/transition.h"

#include <algorithm>
#include <cmath>

namespace quillmar::ui {

Transition Transition::opacity() {
    Transition t;
    t.insertion_.push_back({Part::Kind::opacity, 1, {}, {}});
    t.removal_ = t.insertion_;
    return t;
}

Transition Transition::scale(double scale, UnitPoint anchor) {
    Transition t;
    t.insertion_.push_back({Part::Kind::scale, std::isfinite(scale) ? scale : 0, anchor, {}});
    t.removal_ = t.insertion_;
    return t;
}

Transition Transition::offset(double x, double y) {
    Transition t;
    t.insertion_.push_back({Part::Kind::offset, 1, {}, {std::isfinite(x) ? x : 0, std::isfinite(y) ? y : 0}});
    t.removal_ = t.insertion_;
    return t;
}

Transition Transition::combined(const Transition& other) const {
    Transition t = *this;
    t.insertion_.insert(t.insertion_.end(), other.insertion_.begin(), other.insertion_.end());
    t.removal_.insert(t.removal_.end(), other.removal_.begin(), other.removal_.end());
    return t;
}

Transition Transition::asymmetric(const Transition& insertion, const Transition& removal) {
    Transition t;
    t.insertion_ = insertion.insertion_;
    t.removal_ = removal.removal_;
    return t;
}

Transition::Effect Transition::effect(double amount, bool removal) const {
    Effect e;
    const double a = std::clamp(std::isfinite(amount) ? amount : 0.0, 0.0, 1.0);
    for (const auto& p : removal ? removal_ : insertion_) {
        switch (p.kind) {
            case Part::Kind::opacity: e.opacity *= 1 - a; break;
            case Part::Kind::scale:
                e.scale *= 1 + (p.scale - 1) * a;
                e.anchor = p.anchor;
                break;
            case Part::Kind::offset:
                e.offset = e.offset + p.offset * a;
                break;
        }
    }
    return e;
}

bool Transition::isIdentity() const { return insertion_.empty() && removal_.empty(); }

}  // namespace quillmar::ui
