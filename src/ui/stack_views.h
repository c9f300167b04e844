#pragma once
// Stacks, spacers, groups, lists and conditional content.
//
// - HStack / VStack place children along an axis with `spacing` between them (unset: the default
//   spacing, 8 points between views and none next to a spacer) and align them across it. Space is
//   shared the way the layout protocol does it: children of higher layout priority first, and
//   within a priority the least flexible first, each offered an equal share of what is left.
// - ZStack layers children, aligned, and is as large as the largest.
// - Spacer stretches along the stack it is in (in both directions elsewhere), never shorter than
//   its minimum length (default 8).
// - ForEach makes one child per element, identified by the element's id, so rows keep their
//   state and animate when the list changes; inside a stack its children are the stack's own.
// - when() and ifElse() give conditional content its own identity: a view that comes and goes
//   is inserted and removed (with transitions under an animation), never confused with another.

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/view.h"

namespace quillmar::ui {

View HStack(ViewList children);
View HStack(std::optional<double> spacing, ViewList children);
View HStack(VerticalAlignment alignment, std::optional<double> spacing, ViewList children);
View VStack(ViewList children);
View VStack(std::optional<double> spacing, ViewList children);
View VStack(HorizontalAlignment alignment, std::optional<double> spacing, ViewList children);
View ZStack(ViewList children);
View ZStack(Alignment alignment, ViewList children);

View Spacer(std::optional<double> minLength = std::nullopt);
View EmptyView();
// Several views in one place; inside a stack they are the stack's children.
View Group(ViewList children);

// `view` while `condition` holds, otherwise nothing (the place keeps its identity).
View when(bool condition, View view);
template <class F>
    requires std::is_invocable_r_v<View, F>
View when(bool condition, F make) {
    return condition ? View(make()) : EmptyView();
}
// One of two branches, each with an identity of its own.
View ifElse(bool condition, View then, View otherwise);

namespace detail {
View makeForEach(std::vector<std::pair<Id, View>> elements);
}

// One view per element of `data`, identified by `id(element)`; `content` takes the element, or
// its index and the element.
template <class Range, class IdFn, class ContentFn>
View ForEach(const Range& data, IdFn id, ContentFn content) {
    std::vector<std::pair<Id, View>> elements;
    std::size_t index = 0;
    for (const auto& element : data) {
        if constexpr (std::is_invocable_v<ContentFn, std::size_t, decltype(element)>) {
            elements.emplace_back(Id(id(element)), View(content(index, element)));
        } else {
            elements.emplace_back(Id(id(element)), View(content(element)));
        }
        ++index;
    }
    return detail::makeForEach(std::move(elements));
}

// One view per index 0 ..< count, identified by the index.
template <class ContentFn>
View ForEachIndex(int count, ContentFn content) {
    std::vector<std::pair<Id, View>> elements;
    for (int i = 0; i < count; ++i) elements.emplace_back(Id(i), View(content(i)));
    return detail::makeForEach(std::move(elements));
}

}  // namespace quillmar::ui
