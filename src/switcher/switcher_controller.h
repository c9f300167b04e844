#pragma once
// One switch, from the first gesture callback to the commit: the entries shown in the Switch
// Bar, the selection as the fingers scrub, the bar's panel (placement on the screen under the
// pointer, fades), the quick keys that are live while it is up (Esc, W, Q), and every stop
// condition (cancel, pause, sleep, switching off). The bar's views observe its published
// properties.
//
//   auto& c = SwitcherController::shared();   // wires the trackpad's five gesture callbacks
//   c.presentHUD(false);                       // gesture start
//   c.handleScrub(0.08);                       // travel as a fraction of the pad
//   c.commitSelection();                       // fade out, then raise the chosen target
//
// Main thread only. Stale fade completions are recognised by presentationGeneration.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/hot_keys.h"
#include "platform/screens.h"
#include "runtime/delayed_work_item.h"
#include "runtime/published.h"
#include "runtime/subscription.h"
#include "switcher/non_activating_panel.h"
#include "ui/environment.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

class SwitcherController : public runtime::ObservableObject {
public:
    static constexpr std::uint32_t kHotKeySignature = platform::fourCharCode("QLMR");
    enum HotKeyAction : std::uint32_t { cancelAction = 1, closeAction = 2, closeAltAction = 3, quitAction = 4, quitAltAction = 5 };
    static constexpr double kHotKeyDebounce = 0.06;

    static SwitcherController& shared();
    SwitcherController();
    ~SwitcherController() override;

    runtime::Published<std::vector<SwitchTarget>> targets{{}, this};
    runtime::Published<int> selectedIndex{0, this};
    runtime::Published<bool> isVisible{false, this};
    runtime::Published<bool> isPresentedBloom{false, this};
    runtime::Published<double> activeScreenWidth{1440, this};
    runtime::Published<double> activeScreenHeight{900, this};
    // The lowest and highest selection since the bar was presented (widened by the entries a
    // close or quit takes out): a strip wider than its screen, or a list in its scroll viewport,
    // builds only the entries those selections showed (see HUDStripViewport::builtEntries and
    // SwitcherHUDView::builtListRows).
    struct SelectionReach {
        int lowest = 0, highest = 0;
        friend bool operator==(const SelectionReach&, const SelectionReach&) = default;
    };
    runtime::Published<SelectionReach> selectionReach{{}, this};
    // Whether the last change of which entries are listed brought this one in: its row comes in
    // with the row transition, where a row built for an entry the list had before appears as it
    // is. A fresh list marks none (the bar comes in as a whole).
    bool isNewEntry(const std::string& id) const { return newEntryIds_.contains(id); }

    // ---- One switch ----------------------------------------------------------------------------
    void presentHUD(bool isPreview);
    // Lays out and draws the bar once, unseen, for the windows open now (its panel, the icons,
    // the text and drawing caches), so that the first opening finds them ready. For start-up,
    // off the gesture's path; nothing when the bar is up or no window is open.
    void warmUp();
    void presentPreviewHUD(double duration);
    void handleScrub(double deltaX);
    void commitSelection();
    void dismissHUD(bool immediate);
    void selectAndCommit(int index);
    // A swipe across the bar's axis does not change the bar.
    void handleCrossAxisSwipe(int direction) { (void)direction; }
    void announceForVoiceOver(const std::string& text);

    // ---- Panel and screen choice ---------------------------------------------------------------
    void makeHUDPanel(const std::optional<platform::Screen>& screen);
    void ensurePanelCentered(platform::Size contentSize);
    void relayoutHUDPanel(bool animated);
    static std::optional<platform::Screen> screenUnderMouse();
    NonActivatingPanel* panel() { return panel_.get(); }
    // The scheme the system shows (for the adaptive appearance): light without an appearance service.
    static ui::ColorScheme systemColorScheme();
    // Hands the system's scheme and accessibility display options to the panel's content, which
    // is drawn again when they changed.
    void refreshPanelEnvironment();

    // ---- Quick keys ----------------------------------------------------------------------------
    void registerHUDHotKeys(bool includeQuickKeys);
    void unregisterHUDHotKeys();
    void registerHotKey(std::uint32_t id, std::uint32_t keyCode, std::uint32_t modifiers);
    void performHotKeyAction(std::uint32_t id);
    bool interceptHUDKeyDown(int keyCode);
    void closeSelectedTarget();
    void quitSelectedTargetApp();
    void removeTargetsAfterClose();
    void removeTargetsAfterQuit(std::int32_t pid);
    // Shows what is left after a close or quit, keeping the selection in range.
    void replaceTargetsAfterRemoval(std::vector<SwitchTarget> remaining);
    void refreshDisplayLabels();

    // ---- Read-only state -----------------------------------------------------------------------
    std::uint64_t presentationGeneration() const { return presentationGeneration_; }
    double accumulatedDeltaX() const { return accumulatedDeltaX_; }
    int anchorIndex() const { return anchorIndex_; }
    bool isPreviewPresentation() const { return isPreviewPresentation_; }
    bool hasPendingPreviewDismiss() const { return previewDismissWorkItem_.isPending(); }
    std::size_t activeHotKeyCount() const { return activeHotKeyRefs_.size(); }
    // Reported travel per entry for the current sensitivity.
    static double scrubStep();

    // Every presentation, selection change, commit and dismissal, for observers (the demo log).
    struct Event {
        enum class Kind { presented, selectionChanged, committed, dismissed } kind;
        int index = 0;
        std::string label;
    };
    runtime::Signal<Event> events;

private:
    // The entry an opening selects first: the second when the first is the frontmost app's.
    static int openingIndex(const std::vector<SwitchTarget>& list);
    void wireGestureCallbacks();
    void installHotKeyHandler();
    void subscribeToSettingsAndSystem();
    void clearTargets();
    // A new presentation (or warm-up) starts its selection reach at `start`.
    void resetSelectionReach(int start);
    // Marks the entries listed now that `before` did not hold (see isNewEntry).
    void markNewEntries(const std::vector<SwitchTarget>& before);
    void fadeIn();
    bool gestureIsActive() const;
    void playHaptic(bool alignment);
    ui::View makeRootView() const;
    // Runs a key action on a later turn of the main loop (the event tap's callback returns at once).
    void postKeyAction(std::function<void(SwitcherController&)> action);
    bool passesDebounce();
    // Applies a removal of `leaving` entries from the list inside the spring that closes it up (at
    // once under Reduce Motion).
    void closeUpList(const std::function<void()>& update, int leaving);
    // Whether the strip or list shows a stand-in for some of its entries now.
    bool leavesEntriesUnbuilt() const;
    // After a close or quit: announces the new selection and re-fits the panel once the list has
    // closed up (on the next turn when it was not animated).
    void announceAndRelayoutAfterRemoval();

    std::unique_ptr<NonActivatingPanel> panel_;
    std::uint64_t presentationGeneration_ = 0;
    double accumulatedDeltaX_ = 0;
    int anchorIndex_ = 0;
    bool isPreviewPresentation_ = false;
    runtime::DelayedWorkItem previewDismissWorkItem_;
    // While a removal animates (until removalSettlesAt_, media time) the panel does not shrink;
    // removalRefit_ re-fits it when the list has closed up.
    double removalSettlesAt_ = -1;
    runtime::DelayedWorkItem removalRefit_;
    std::vector<runtime::TimerHandle> glowSweep_;
    std::vector<platform::HotKeyRef> activeHotKeyRefs_;
    runtime::SubscriptionBag cancellables_;
    double lastHotKeyActionTimestamp_ = -10;
    std::unordered_set<std::string> newEntryIds_;
    std::shared_ptr<bool> lifetime_ = std::make_shared<bool>(true);
};

}  // namespace quillmar
