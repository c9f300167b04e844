#include "platform/sim/sim_status_bar.h"

#include <charconv>

#include "platform/sim/sim_desktop.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

namespace {
// "#3" names the third item (separators count); anything else is a title.
MenuItem* step(Menu& menu, const std::string& part) {
    if (part.size() > 1 && part[0] == '#') {
        std::size_t n = 0;
        const auto [end, ec] = std::from_chars(part.data() + 1, part.data() + part.size(), n);
        if (ec == std::errc{} && end == part.data() + part.size() && n >= 1 && n <= menu.items().size())
            return menu.items()[n - 1].get();
        return nullptr;
    }
    return menu.itemWithTitle(part);
}
}  // namespace

SimStatusBar& SimStatusBar::install(SimDesktop& desktop) {
    auto bar = std::make_unique<SimStatusBar>(desktop);
    auto* raw = bar.get();
    runtime::World::install<StatusBar>(std::move(bar));
    return *raw;
}

std::shared_ptr<StatusItem> SimStatusBar::statusItem(double length) {
    auto item = std::make_shared<StatusItem>(length, showsButtons_);
    items_.insert(items_.begin(), item);
    desktop_.logCall(std::string("status item ") + (length == StatusItem::squareLength ? "square" : "sized") +
                     (showsButtons_ ? "" : " without button"));
    return item;
}

Menu* SimStatusBar::openMenu(std::size_t index) {
    if (index >= items_.size() || !items_[index]->menu) return nullptr;
    Menu& menu = *items_[index]->menu;
    menu.open();
    desktop_.logCall("status menu opened with " + std::to_string(menu.items().size()) + " items");
    return &menu;
}

MenuItem* SimStatusBar::find(Menu& menu, const std::vector<std::string>& path) {
    Menu* current = &menu;
    MenuItem* item = nullptr;
    for (std::size_t i = 0; i < path.size(); ++i) {
        item = step(*current, path[i]);
        if (!item) return nullptr;
        if (i + 1 < path.size()) {
            if (!item->submenu) return nullptr;
            current = item->submenu.get();
            current->open();
        }
    }
    return item;
}

bool SimStatusBar::pick(Menu& menu, const std::vector<std::string>& path) {
    MenuItem* item = find(menu, path);
    if (!item || item->submenu) return false;
    const std::string title = item->title;
    // Performing may rebuild the menu: the item is not read after this.
    if (!item->perform()) {
        desktop_.logCall("status menu pick refused " + title);
        return false;
    }
    desktop_.logCall("status menu picked " + title);
    return true;
}

}  // namespace quillmar::platform::sim
