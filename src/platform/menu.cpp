#include "platform/menu.h"

namespace quillmar::platform {

MenuItem::MenuItem(std::string title_, std::string actionName_, Action action_, std::string keyEquivalent_)
    : title(std::move(title_)),
      keyEquivalent(std::move(keyEquivalent_)),
      actionName(std::move(actionName_)),
      action(std::move(action_)) {}

std::shared_ptr<MenuItem> MenuItem::separator() {
    auto item = std::make_shared<MenuItem>();
    item->isSeparator = true;
    item->isEnabled = false;
    return item;
}

bool MenuItem::perform() {
    if (!isSelectable() || !action) return false;
    // The action may rebuild the menu that holds this item: keep a copy of it for the call.
    auto run = action;
    run(*this);
    return true;
}

std::optional<std::string> MenuItem::representedString() const {
    if (const auto* s = std::any_cast<std::string>(&representedObject)) return *s;
    return std::nullopt;
}

MenuItem& Menu::addItem(std::shared_ptr<MenuItem> item) {
    items_.push_back(std::move(item));
    return *items_.back();
}

MenuItem& Menu::addItem(std::string title_, std::string actionName, MenuItem::Action action, std::string keyEquivalent) {
    return addItem(std::make_shared<MenuItem>(std::move(title_), std::move(actionName), std::move(action),
                                              std::move(keyEquivalent)));
}

void Menu::open() {
    if (delegate) delegate->menuWillOpen(*this);
}

MenuItem* Menu::itemWithTitle(const std::string& wanted) const {
    for (const auto& item : items_)
        if (!item->isSeparator && item->title == wanted) return item.get();
    return nullptr;
}

MenuItem* Menu::itemForKeyEquivalent(const std::string& key, std::uint32_t modifiers) const {
    for (const auto& item : items_) {
        if (item->isSeparator) continue;
        if (!item->keyEquivalent.empty() && item->keyEquivalent == key && item->keyEquivalentModifiers == modifiers)
            return item.get();
        if (item->submenu)
            if (auto* found = item->submenu->itemForKeyEquivalent(key, modifiers)) return found;
    }
    return nullptr;
}

}  // namespace quillmar::platform
