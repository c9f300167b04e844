#pragma once
// A vertical scroll viewport. The content is offered the viewport's width and its ideal height;
// the viewport shows a window of it, scrolled by the pointer's wheel or by a ScrollViewProxy.
// Scroll indicators are not drawn.

#include <functional>
#include <memory>
#include <optional>

#include "ui/view.h"

namespace quillmar::ui {

namespace detail {
class Node;
}

View ScrollView(View content, bool showsIndicators = true);

class ScrollViewProxy {
public:
    ScrollViewProxy() = default;
    explicit ScrollViewProxy(std::weak_ptr<detail::Node*> reader) : reader_(std::move(reader)) {}

    // Scrolls the scroll view holding the view with identity `id` (from .id() or a ForEach
    // element) so that the view's `anchor` point lies at the viewport's `anchor` point, clamped
    // to the content; without an anchor, by the least amount that shows the whole view. Animates
    // with the transaction of the caller (withAnimation). Returns false when no such view exists.
    bool scrollTo(const Id& id, std::optional<UnitPoint> anchor = std::nullopt) const;

private:
    std::weak_ptr<detail::Node*> reader_;
};

View ScrollViewReader(std::function<View(const ScrollViewProxy&)> content);

}  // namespace quillmar::ui
