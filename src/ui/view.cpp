#include "ui/view.h"

#include "ui/view_desc.h"

namespace quillmar::ui {
namespace detail {
namespace {

// Takes no space and draws nothing; stacks leave no spacing around it.
class EmptyDesc final : public ViewDesc {
public:
    Size sizeThatFits(Node&, ProposedSize, LayoutContext&) const override { return {}; }
    bool isEmptyView(const Node&) const override { return true; }
};

}  // namespace

std::shared_ptr<const ViewDesc> emptyDesc() {
    static const auto empty = std::make_shared<EmptyDesc>();
    return empty;
}

}  // namespace detail

View::View() : desc_(detail::emptyDesc()) {}

View::View(std::shared_ptr<const detail::ViewDesc> desc) : desc_(desc ? std::move(desc) : detail::emptyDesc()) {}

}  // namespace quillmar::ui
