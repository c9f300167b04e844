// The Switch Bar's panel: its creation and placement on the screen under the pointer, the
// fade-in, the re-fit when the content changes size, and the appearance and accessibility
// display options handed to its content.

#include <algorithm>
#include <cmath>
#include <limits>

#include "gfx/cairo_backend.h"
#include "platform/accessibility_display_options.h"
#include "platform/system_appearance.h"
#include "runtime/main_loop.h"
#include "settings/switcher_settings.h"
#include "switcher/hud_panel_placement.h"
#include "switcher/round_half_away_from_zero.h"
#include "switcher/switcher_controller.h"
#include "switcher/switcher_hud_view.h"
#include "ui/transaction.h"
#include "windows/window_manager.h"

namespace quillmar {

namespace {
constexpr double kFadeInDuration = 0.13;
constexpr platform::TimingCurve kFadeInCurve{0.2, 0.9, 0.3, 1.0};
// The bar grows to its full size as it fades in.
ui::Animation bloomAnimation() { return ui::Animation::spring(0.22, 0.84, 0); }
bool reduceMotion() { return platform::AccessibilityDisplayOptions::shared().shouldReduceMotion(); }
}  // namespace

ui::View SwitcherController::makeRootView() const {
    // Held to the top of the panel: while a panel is briefly taller than the bar (a list closing
    // up), the bar's top edge stays where it is.
    constexpr double kUnbounded = std::numeric_limits<double>::infinity();
    return ui::View(SwitcherHUDView())
        .frame(ui::FlexibleFrame{.maxWidth = kUnbounded, .maxHeight = kUnbounded, .alignment = ui::Alignment::top()});
}

void SwitcherController::refreshPanelEnvironment() {
    if (panel_) panel_->refreshEnvironment(systemColorScheme());
}

ui::ColorScheme SwitcherController::systemColorScheme() {
    return platform::SystemAppearance::currentIsDark() ? ui::ColorScheme::dark : ui::ColorScheme::light;
}

void SwitcherController::makeHUDPanel(const std::optional<platform::Screen>& screenArg) {
    if (!panel_) panel_ = NonActivatingPanel::create(makeRootView());
    ++presentationGeneration_;
    const bool reduce = reduceMotion();
    isPresentedBloom = reduce;
    if (!panel_) return;

    refreshPanelEnvironment();
    panel_->setRootView(makeRootView());
    const auto size = panel_->fittingSize();
    auto screen = screenArg ? screenArg : screenUnderMouse();
    if (screen) panel_->setFrame(hudPanelFrame(*screen, size), true);
    panel_->window().invalidateShadow();

    auto& window = panel_->window();
    if (reduce) {
        window.setAlphaValue(1.0);
        window.orderFrontRegardless();
        return;
    }
    if (!window.isVisible()) window.setAlphaValue(0);
    window.orderFrontRegardless();
    window.animateAlpha(1.0, kFadeInDuration, kFadeInCurve, nullptr);
    ui::withAnimation(bloomAnimation(), [this] { isPresentedBloom = true; });
}

void SwitcherController::warmUp() {
    if (isVisible) return;
    auto list = WindowManager::shared().fetchTargets(SwitcherSettings::shared().switcherMode);
    if (list.empty()) return;
    if (!panel_) panel_ = NonActivatingPanel::create(makeRootView());
    if (!panel_) return;
    auto screen = screenUnderMouse();
    if (screen) {
        const double w = screen->visibleFrame.width, h = screen->visibleFrame.height;
        if (std::isfinite(w) && activeScreenWidth.get() != w) activeScreenWidth = w;
        if (std::isfinite(h) && activeScreenHeight.get() != h) activeScreenHeight = h;
    }
    const int start = openingIndex(list);
    // What a first opening needs warm (code, fonts, the icons in sight) comes from the entries a
    // screen can show: a desktop of thousands of windows must not build them all at start-up.
    constexpr std::size_t kWarmUpEntries = 64;
    if (list.size() > kWarmUpEntries)
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(std::max(kWarmUpEntries, static_cast<std::size_t>(start) + 1)),
                   list.end());
    targets = std::move(list);
    resetSelectionReach(start);
    selectedIndex = start;
    refreshPanelEnvironment();
    panel_->setRootView(makeRootView());
    if (screen) panel_->setFrame(hudPanelFrame(*screen, panel_->fittingSize()), false);
    // The first frame of an opening, the bar still a little small as its bloom begins (the icons
    // in sight get the tiles an opening's frames draw them from while they move), then the bar at
    // rest twice: an icon drawn twice in the same place is resampled at its best and kept, so the
    // frame where the bloom settles does not resample every icon in sight.
    const bool bloom = isPresentedBloom;
    const double scale = std::clamp(
        screen && std::isfinite(screen->backingScaleFactor) ? screen->backingScaleFactor : 2.0, 1.0, 4.0);
    const ui::Transaction still{std::nullopt, true};
    if (!reduceMotion()) {
        ui::withTransaction(still, [this] { isPresentedBloom = false; });
        ui::withAnimation(bloomAnimation(), [this] { isPresentedBloom = true; });
        panel_->contentView().renderImage(scale);
        // The bloom ends at once (the clock does not run during the warm-up).
        ui::withTransaction(still, [this] { isPresentedBloom = false; });
    }
    ui::withTransaction(still, [this] { isPresentedBloom = true; });
    for (int i = 0; i < 2; ++i) panel_->contentView().renderImage(scale);
    gfx::CairoBackend::forgetImagePlacements();
    isPresentedBloom = bloom;
    clearTargets();
}

void SwitcherController::ensurePanelCentered(platform::Size size) {
    if (!isVisible || !panel_ || !size.isFinite() || !(size.width > 40) || !(size.height > 40)) return;
    auto screen = screenUnderMouse();
    if (!screen) return;
    const auto current = panel_->frame();
    // A list still closing up keeps its panel until it comes to rest (then it is re-fitted).
    if (runtime::mediaTime() < removalSettlesAt_ &&
        (size.width < current.width - 1.0 || size.height < current.height - 1.0))
        return;
    const auto target = hudPanelFrame(*screen, size);
    if (std::fabs(target.x - current.x) > 1.0 || std::fabs(target.y - current.y) > 1.0 ||
        std::fabs(target.width - current.width) > 1.0 || std::fabs(target.height - current.height) > 1.0) {
        panel_->setFrame(target, true);
        panel_->window().invalidateShadow();
    }
}

void SwitcherController::relayoutHUDPanel(bool animated) {
    if (!isVisible || !panel_) return;
    panel_->setRootView(makeRootView());
    const auto size = panel_->fittingSize();
    const auto old = panel_->frame();
    platform::Rect next{0, 0, size.width, size.height};
    if (auto screen = screenUnderMouse()) {
        const auto placed = hudPanelFrame(*screen, size);
        next.x = placed.x;
        if (animated) next.y = placed.y;
        else if (SwitcherSettings::shared().switchBarStyle.get() == SwitchBarStyle::vertical)
            next.y = clampHUDPanelY(*screen, old.maxY() - size.height, size.height);
        else next.y = old.y;
    } else {
        next.x = roundHalfAwayFromZero(old.midX() - size.width / 2);
        next.y = old.y;
    }
    panel_->setFrame(next, true, animated);
    panel_->window().invalidateShadow();
}

std::optional<platform::Screen> SwitcherController::screenUnderMouse() {
    auto* screens = runtime::World::find<platform::Screens>();
    if (!screens) return std::nullopt;
    const auto all = screens->screens();
    const auto p = screens->mouseLocation();
    // A screen that holds the pointer wins, its far edges belonging to the neighbour; only then
    // does a point just outside every screen go to the first whose frame, grown by one point on
    // every side, reaches it.
    if (auto holding = screens->screenContaining(p)) return holding;
    for (const auto& s : all) {
        const auto f = s.frame.standardized();
        if (p.x >= f.minX() - 1 && p.x <= f.maxX() + 1 && p.y >= f.minY() - 1 && p.y <= f.maxY() + 1) return s;
    }
    if (auto main = screens->mainScreen()) return main;
    if (!all.empty()) return all.front();
    return std::nullopt;
}

}  // namespace quillmar
