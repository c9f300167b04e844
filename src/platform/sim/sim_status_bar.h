#pragma once
// The simulated status bar: keeps the items made, with or without buttons (a bar that cannot
// show them), and lets the simulated user open an item's menu and pick an item in it. Opening
// and picking are written to the desktop's call log.

#include <memory>
#include <string>
#include <vector>

#include "platform/status_bar.h"

namespace quillmar::platform::sim {

class SimDesktop;

class SimStatusBar final : public StatusBar {
public:
    explicit SimStatusBar(SimDesktop& desktop) : desktop_(desktop) {}
    static SimStatusBar& install(SimDesktop& desktop);

    std::shared_ptr<StatusItem> statusItem(double length) override;

    // Later items get no button (the status bar is unavailable).
    void setShowsButtons(bool on) { showsButtons_ = on; }
    const std::vector<std::shared_ptr<StatusItem>>& items() const { return items_; }

    // Opens the menu of an item (the newest when index is absent): its delegate rebuilds it.
    // Null when there is no such item or it has no menu.
    Menu* openMenu(std::size_t index = 0);
    // Picks an item of the open menu by a path of titles or 1-based positions ("#3"), following
    // submenus; returns whether an item ran (false when none matched or it could not be picked).
    bool pick(Menu& menu, const std::vector<std::string>& path);
    // The item a path names, without picking it.
    static MenuItem* find(Menu& menu, const std::vector<std::string>& path);

private:
    SimDesktop& desktop_;
    bool showsButtons_ = true;
    std::vector<std::shared_ptr<StatusItem>> items_;
};

}  // namespace quillmar::platform::sim
