#pragma once
// Menus as the system shows them: a menu is a list of items; an item has a title, an optional
// image, a check state, an enabled flag, a key equivalent, an optional submenu and an action
// that receives the item (with the value the item represents). Separators are items too.
//
// A menu's delegate hears menuWillOpen before the menu shows, which is where a menu that is
// rebuilt on every opening refills itself. Whoever shows a menu (the status bar, the main menu)
// calls open() and then perform() on the item the user picked.
//
// Main thread only.

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillmar::platform {

// An image shown in a menu or a status-bar button. What draws it belongs to the layer that made
// it; this layer only passes it through.
class MenuImage {
public:
    virtual ~MenuImage() = default;
    virtual double width() const = 0;
    virtual double height() const = 0;
    // A template image is a shape that the presenter tints (black in light menus, white in dark).
    virtual bool isTemplate() const = 0;
};
using MenuImageRef = std::shared_ptr<const MenuImage>;

// Modifier bits of key equivalents.
namespace key_modifiers {
inline constexpr std::uint32_t command = 1u << 20;
inline constexpr std::uint32_t shift = 1u << 17;
inline constexpr std::uint32_t option = 1u << 19;
inline constexpr std::uint32_t control = 1u << 18;
}  // namespace key_modifiers

class Menu;

class MenuItem {
public:
    using Action = std::function<void(MenuItem& sender)>;

    MenuItem() = default;
    MenuItem(std::string title, std::string actionName, Action action, std::string keyEquivalent = {});
    static std::shared_ptr<MenuItem> separator();

    std::string title;
    MenuImageRef image;
    bool isSeparator = false;
    bool isEnabled = true;
    // 1 shows a check mark, 0 nothing.
    int state = 0;
    // A lower-case letter means the letter with Command; an upper-case one adds Shift.
    std::string keyEquivalent;
    std::uint32_t keyEquivalentModifiers = key_modifiers::command;
    std::shared_ptr<Menu> submenu;
    // The name of the action (for logs and look-ups) and what it does.
    std::string actionName;
    Action action;
    // The value the item stands for (a bundle identifier, an appearance name...), handed to the
    // action with the item.
    std::any representedObject;

    // Whether a user can pick it: enabled, not a separator, and with an action or a submenu.
    bool isSelectable() const { return isEnabled && !isSeparator && (action || submenu); }
    // Runs the action when the item is selectable. Returns whether it ran.
    bool perform();
    // The represented object when it is a string.
    std::optional<std::string> representedString() const;
};

class Menu {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void menuWillOpen(Menu& menu) = 0;
    };

    explicit Menu(std::string title = {}) : title(std::move(title)) {}

    std::string title;
    Delegate* delegate = nullptr;

    const std::vector<std::shared_ptr<MenuItem>>& items() const { return items_; }
    MenuItem& addItem(std::shared_ptr<MenuItem> item);
    MenuItem& addItem(std::string title, std::string actionName, MenuItem::Action action,
                      std::string keyEquivalent = {});
    void addSeparator() { addItem(MenuItem::separator()); }
    void removeAllItems() { items_.clear(); }

    // Tells the delegate that the menu is about to show (it may rebuild the items).
    void open();
    // The first item with this exact title (separators never match), or null.
    MenuItem* itemWithTitle(const std::string& title) const;
    // The first item whose key equivalent and modifiers match, searching submenus too.
    MenuItem* itemForKeyEquivalent(const std::string& key, std::uint32_t modifiers) const;

private:
    std::vector<std::shared_ptr<MenuItem>> items_;
};

}  // namespace quillmar::platform
