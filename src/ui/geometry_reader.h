#pragma once
// GeometryReader: a view that takes all the space it is offered and builds its content from its
// own geometry (its size, and its frame in the window or in a named coordinate space declared
// by an ancestor with coordinateSpace()). The content is placed at its top-leading corner and
// rebuilt whenever that geometry changes.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/view.h"

namespace quillmar::ui {

struct CoordinateSpace {
    enum class Kind { local, global, named };
    Kind kind = Kind::local;
    std::string name;

    static CoordinateSpace local() { return {}; }
    static CoordinateSpace global() { return {Kind::global, {}}; }
    static CoordinateSpace named(std::string n) { return {Kind::named, std::move(n)}; }
};

class GeometryProxy {
public:
    GeometryProxy() = default;
    GeometryProxy(Size size, Rect global, std::vector<std::pair<std::string, Rect>> named)
        : size_(size), global_(global), named_(std::move(named)) {}

    Size size() const { return size_; }
    // The reader's frame in `space`; a name no ancestor declares reads as the window.
    Rect frame(const CoordinateSpace& space) const;

    friend bool operator==(const GeometryProxy&, const GeometryProxy&) = default;

private:
    Size size_{};
    Rect global_{};
    std::vector<std::pair<std::string, Rect>> named_;
};

View GeometryReader(std::function<View(const GeometryProxy&)> content);

}  // namespace quillmar::ui
