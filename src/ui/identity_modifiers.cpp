// Explicit identity (.id), names for tests and tools (.named) and named coordinate spaces.

#include "ui/view_desc.h"
#include "ui/view_graph.h"

namespace quillmar::ui {
namespace detail {
namespace {

class IdDesc final : public ModifierDesc {
public:
    IdDesc(View c, Id i) : ModifierDesc(std::move(c)), id(std::move(i)) {}
    Id id;
    const Id* explicitId() const override { return &id; }
    void evaluate(Node& node, ViewGraph& graph, const EvalInput&) const override {
        // The id is part of the content's identity: a new id makes a new view.
        std::vector<KeyedView> specs;
        specs.push_back(KeyedView{ChildKey{0, id, 0, content.desc()->kind()}, content});
        graph.reconcileChildren(node, specs, node.env, node.transaction);
    }
};

class NameDesc final : public ModifierDesc {
public:
    NameDesc(View c, std::string n) : ModifierDesc(std::move(c)), name(std::move(n)) {}
    std::string name;
    const std::string* nodeName() const override { return &name; }
};

class CoordinateSpaceDesc final : public ModifierDesc {
public:
    CoordinateSpaceDesc(View c, std::string n) : ModifierDesc(std::move(c)), name(std::move(n)) {}
    std::string name;
    const std::string* coordinateSpaceName() const override { return &name; }
};

}  // namespace
}  // namespace detail

View View::id(Id id) const { return View(std::make_shared<detail::IdDesc>(*this, std::move(id))); }
View View::named(std::string name) const { return View(std::make_shared<detail::NameDesc>(*this, std::move(name))); }
View View::coordinateSpace(std::string name) const {
    return View(std::make_shared<detail::CoordinateSpaceDesc>(*this, std::move(name)));
}

}  // namespace quillmar::ui
