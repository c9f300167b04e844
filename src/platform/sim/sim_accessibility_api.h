#pragma once
// The Accessibility interface of the simulated desktop. Each application of the SimDesktop has an
// accessibility tree consistent with its windows:
//
//   application  AXRole, AXTitle, AXWindows, AXFocusedWindow, AXMainWindow, AXFrontmost, AXMenuBar
//   window       AXRole, AXSubrole, AXTitle, AXMinimized, AXPosition, AXSize, AXMain, AXFocused,
//                AXCloseButton; actions AXRaise
//   close button AXRole, AXSubrole, AXEnabled; action AXPress closes the window
//   menu bar     AXChildren: menu-bar items, each with AXTitle and one AXMenu child whose
//                AXChildren are menu items (AXTitle, AXMenuItemCmdChar, AXMenuItemCmdModifiers,
//                AXEnabled; action AXPress; an item that closes the focused window is disabled
//                while the app has none)
//
// The effects are the desktop's own: raising reorders the stack and makes the app frontmost,
// un-minimising shows the window, pressing a close button removes the window, setting AXFrontmost
// activates the app. An app lists the windows of the current Space (and of every Space), and its
// minimised ones, front to back; its focused and main window is its frontmost visible one.
//
// Latency: each request to an app costs the app's latency in virtual time (the main loop's
// blocking-call advance). A request whose cost exceeds the messaging timeout of the reference it
// goes through waits that timeout and fails with cannotComplete; a hung app never answers.
//
//   auto& desktop = SimDesktop::install();
//   auto& ax = SimAccessibilityApi::install(desktop);
//   ax.setTrusted(true);
//   ax.appBehaviour(pid).latency = 0.2;       // slower than any catalogue timeout
//
// Mutating requests are logged on the desktop's call log, as "ax raise window 7",
// "ax set AXMinimized=false window 7", "ax press close window 7", "ax press menu \"Close\" pid 9".

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/accessibility_api.h"

namespace quillmar::platform::sim {

class SimDesktop;
class ScenarioRegistry;

// What a menu item does when pressed.
enum class SimMenuAction { none, closeFocusedWindow };

struct SimMenuItem {
    std::string title;
    std::string keyEquivalent;  // "" for none
    int modifiers = 0;          // 0: Command alone; the platform's bits otherwise (1 Shift, 2 Option, 4 Control, 8 no Command)
    bool enabled = true;
    SimMenuAction action = SimMenuAction::none;
};

struct SimMenu {
    std::string title;
    std::vector<SimMenuItem> items;
};

// How one application answers.
struct SimAXAppBehaviour {
    double latency = 0;                   // virtual seconds per request
    bool hangs = false;                   // never answers: every request runs into its timeout
    std::optional<AXError> failsWith;     // every request fails with this error after the latency
    bool batchReadsFail = false;          // batch reads fail at once with AXError::failure
    bool listsWindowsOnOtherSpaces = false;
    std::optional<std::vector<SimMenu>> menuBar;  // the standard menus when absent
};

// How one window appears in the tree.
struct SimAXWindowBehaviour {
    std::string subrole = ax::kStandardWindowSubrole;  // "" : the subrole cannot be read
    bool hasCloseButton = true;
    bool closeButtonWorks = true;
    bool exposesWindowNumber = true;  // the private window-number call answers for it
    bool listed = true;               // appears in the app's AXWindows
};

// Per-desktop state (kept in the desktop's extensions). The trust may be read from any thread, as
// the system's trust check may.
struct SimAccessibilityState {
    std::atomic<bool> trusted{false};
    bool windowNumberCallAvailable = true;
    int promptCount = 0;
    std::map<std::int32_t, SimAXAppBehaviour> apps;
    std::map<std::uint32_t, SimAXWindowBehaviour> windows;
    std::map<std::int32_t, int> requestCounts;
};

class SimAccessibilityApi final : public AccessibilityApi {
public:
    explicit SimAccessibilityApi(SimDesktop& desktop);

    // Puts a SimAccessibilityApi for desktop into the world as the AccessibilityApi.
    static SimAccessibilityApi& install(SimDesktop& desktop);

    // ---- The simulated system -----------------------------------------------------------------
    // Changing the trust posts the distributed accessibility-changed notification on a later turn.
    void setTrusted(bool trusted);
    bool trusted() const;
    int promptCount() const;
    void setWindowNumberCallAvailable(bool available);
    SimAXAppBehaviour& appBehaviour(std::int32_t pid);
    SimAXWindowBehaviour& windowBehaviour(std::uint32_t number);
    // Requests sent to an app so far (reads, writes and actions).
    int requestCount(std::int32_t pid) const;
    // The element of a window, as the app's AXWindows would give it (null when there is no such window).
    AXElement windowElement(std::uint32_t number);
    static std::vector<SimMenu> standardMenuBar(const std::string& appName);

    // ---- AccessibilityApi ---------------------------------------------------------------------
    bool isProcessTrusted() override;
    bool isProcessTrustedWithOptions(bool prompt) override;
    AXElement createApplication(std::int32_t pid) override;
    AXReadResult copyAttributeValue(const AXElement& element, const std::string& attribute) override;
    AXReadResult copyMultipleAttributeValues(const AXElement& element, const std::vector<std::string>& attributes,
                                             int options) override;
    AXError setAttributeValue(const AXElement& element, const std::string& attribute, const AXValue& value) override;
    AXError performAction(const AXElement& element, const std::string& action) override;
    AXWindowNumberCall lookupWindowNumberCall() override;

private:
    enum class Kind { application, window, closeButton, menuBar, menuBarItem, menu, menuItem };
    struct Key {
        Kind kind;
        std::int32_t pid;
        std::uint32_t window;
        int menu;
        int item;
        auto tie() const { return std::tie(kind, pid, window, menu, item); }
        bool operator<(const Key& o) const { return tie() < o.tie(); }
    };

    SimAccessibilityState& state() const;
    AXElement element(const Key& key);
    std::optional<Key> keyOf(const AXElement& e) const;
    // Charges the cost of one request to the element's app; the error when it does not get through.
    std::optional<AXError> deliver(const AXElement& e);
    // Resolves a live element; nullopt when what it names is gone.
    std::optional<Key> live(const AXElement& e) const;
    AXReadResult read(const Key& key, const std::string& attribute);
    std::vector<SimMenu> menusOf(std::int32_t pid) const;
    std::optional<SimMenuItem> menuItem(const Key& key) const;
    std::vector<std::uint32_t> listedWindows(std::int32_t pid) const;
    std::optional<std::uint32_t> focusedWindow(std::int32_t pid) const;
    bool isEnabled(const SimMenuItem& item, std::int32_t pid) const;
    void log(const std::string& line);

    SimDesktop& desktop_;
    SimAccessibilityState* state_;
    std::map<Key, std::uint64_t> ids_;
    std::map<std::uint64_t, Key> keys_;
    std::uint64_t nextId_ = 100;
};

// Scenario support. A top-level section that installs the Accessibility service (and the URL
// opener) on the scenario's desktop before the app starts and sets it up:
//   "accessibility": {"trusted": true, "windowNumberCall": true,
//                     "apps": [{"app": "Mail", "latency": 0.2}, {"pid": 412, "hangs": true}]}
// and a step that grants or withdraws the permission while the scenario runs (the system's
// announcement follows on the next turn): {"do": "accessibilityTrust", "trusted": true}.
void registerAccessibilityScenario(ScenarioRegistry& registry);

}  // namespace quillmar::platform::sim
