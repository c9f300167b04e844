#include "platform/screens.h"

namespace quillmar::platform {

std::optional<Screen> Screens::screenContaining(Point p) const {
    for (const auto& s : screens())
        if (s.frame.contains(p)) return s;
    return std::nullopt;
}

double Screens::primaryScreenHeight() const {
    auto all = screens();
    return all.empty() ? 0.0 : all.front().frame.maxY();
}

Rect Screens::toWindowServer(const Rect& g) const {
    const Rect s = g.standardized();
    return {s.x, primaryScreenHeight() - s.maxY(), s.width, s.height};
}

Rect Screens::fromWindowServer(const Rect& w) const {
    const Rect s = w.standardized();
    return {s.x, primaryScreenHeight() - s.maxY(), s.width, s.height};
}

}  // namespace quillmar::platform
