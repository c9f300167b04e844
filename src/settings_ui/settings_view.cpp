#include "settings_ui/settings_view.h"

#include <algorithm>

#include "autopause/app_exclusion_monitor.h"
#include "localization/l10n.h"
#include "platform/url_opener.h"
#include "platform/workspace.h"
#include "settings/switcher_links.h"
#include "settings/switcher_settings.h"
#include "settings_ui/palette/adaptive_window_vibrancy.h"
#include "settings_ui/settings_slots.h"
#include "switcher/switcher_controller.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "ui/ui.h"
#include "windows/window_manager.h"

namespace quillmar {

using ui::Color;

namespace {

Color white(double a) { return Color::white(1, a); }
Color black(double a) { return Color::white(0, a); }

// Two preview lists show the same when their entries agree on what the previews draw.
bool samePreview(const std::vector<SwitchTarget>& a, const std::vector<SwitchTarget>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const SwitchTarget& x, const SwitchTarget& y) {
               return x.id == y.id && x.cleanedWindowTitle == y.cleanedWindowTitle && x.displayLabel == y.displayLabel &&
                      x.isMinimizedOrHidden == y.isMinimizedOrHidden && x.hasOpenWindow == y.hasOpenWindow;
           });
}

}  // namespace

// ---- Status ------------------------------------------------------------------------------------

gfx::Color SettingsView::statusDotColor(bool isDark) {
    const auto appearance = isDark ? gfx::Appearance::dark : gfx::Appearance::light;
    if (!SwitcherSettings::shared().isEnabled) return gfx::systemColor(gfx::SystemColor::orange, appearance);
    if (AppExclusionMonitor::shared().activePauseReason->has_value())
        return gfx::systemColor(gfx::SystemColor::yellow, appearance);
    if (TrackpadTouchMonitor::shared().isHardwareConnected) return gfx::systemColor(gfx::SystemColor::green, appearance);
    return gfx::systemColor(gfx::SystemColor::orange, appearance);
}

std::string SettingsView::statusText() {
    if (!SwitcherSettings::shared().isEnabled) return L10n::headlinePaused();
    if (const auto& reason = AppExclusionMonitor::shared().activePauseReason.get())
        return L10n::headlineAutoPaused(reason->appName());
    if (TrackpadTouchMonitor::shared().isHardwareConnected) return "Quillmar";
    return L10n::headlineWaitingTrackpad();
}

// ---- Previews ----------------------------------------------------------------------------------

std::int64_t restingStageIndex(const std::vector<SwitchTarget>& targets) {
    if (targets.size() >= 2 && !targets[1].isMinimizedOrHidden && targets[1].hasOpenWindow) return 1;
    return 0;
}

std::optional<std::int64_t> reaimedStageIndex(std::int64_t current, bool hovered, std::int64_t resting,
                                              std::size_t count) {
    if (!hovered) return current != resting ? std::optional<std::int64_t>(resting) : std::nullopt;
    const auto n = static_cast<std::int64_t>(count);
    if (current >= n) return n > 0 ? n - 1 : 0;
    return std::nullopt;
}

void SettingsView::refreshPreviewTargets() {
    auto& ui = SettingsUIState::shared();
    if (!ui.isWindowVisible) return;
    if (ui.activeTab.get() == SettingsTab::about) return;
    auto targets = WindowManager::shared().fetchTargets(SwitcherSettings::shared().switcherMode);
    if (targets.size() > SettingsUIState::maxPreviewTargets)
        targets.erase(targets.begin() + SettingsUIState::maxPreviewTargets, targets.end());
    if (!samePreview(targets, ui.previewTargets)) ui.previewTargets = targets;

    const auto stage = hardwareStageSelection();
    if (auto next = reaimedStageIndex(stage.simulatedIndex, stage.hovered, restingStageIndex(targets), targets.size()))
        setHardwareStageSimulatedIndex(*next);
}

void SettingsView::selectTabTapped(SettingsTab tab) {
    auto& ui = SettingsUIState::shared();
    if (ui.activeTab.get() == tab) return;
    ui::withAnimation(ui::Animation::spring(0.26, 0.84, 0), [&] { ui.activeTab = tab; });
    refreshPreviewTargets();
}

void SettingsView::sendFeedback() {
    if (auto url = SwitcherLinks::feedbackMailtoURL()) platform::UrlOpener::shared().openURL(*url);
}

// ---- Frame, header and tab bar -----------------------------------------------------------------

ui::View SettingsView::statusRow(bool isDark) const {
    return ui::HStack(ui::VerticalAlignment::center, 6,
                      {
                          ui::Spacer(),
                          ui::Circle().fill(statusDotColor(isDark)).frame(6, 6).named("statusDot"),
                          ui::Text(statusText())
                              .font(gfx::Font::system(11.5, gfx::FontWeight::medium))
                              .foregroundStyle(ui::ShapeStyle::secondary())
                              .lineLimit(1)
                              .named("statusText"),
                          ui::Spacer(),
                      })
        .frame(std::nullopt, 28)
        .background(isDark ? white(0.015) : black(0.012));
}

ui::View SettingsView::tabSegment(bool isDark) const {
    const auto active = SettingsUIState::shared().activeTab.get();
    const auto ns = tabNamespace;
    ui::ViewList buttons;
    for (SettingsTab tab : SettingsTab::allCases()) {
        const bool selected = tab == active;
        const auto thumbShape = ui::RoundedRectangle(6);
        ui::View thumb = ui::when(selected, [&] {
            return thumbShape.fill(isDark ? white(0.16) : white(1))
                .overlay(thumbShape.strokeBorder(isDark ? white(0.14) : black(0.08), 0.5))
                .shadow(black(isDark ? 0.22 : 0.08), 1.5, 0, 1)
                .matchedGeometryEffect("settingsTabThumb", ns)
                .named("tabThumb");
        });
        ui::View label = ui::Text(tab.title())
                             .font(gfx::Font::system(12, selected ? gfx::FontWeight::medium : gfx::FontWeight::regular))
                             .foregroundStyle(selected ? ui::ShapeStyle::primary() : ui::ShapeStyle::secondary())
                             .lineLimit(1)
                             .minimumScaleFactor(0.88)
                             .padding(ui::EdgeInsets{5, 10, 5, 10})
                             .background(thumb)
                             .contentShape(ui::Rectangle());
        buttons.push_back(ui::Button([tab] { selectTabTapped(tab); }, label)
                              .buttonStyle(ui::ButtonStyle::plain)
                              .accessibilityAddTraits(selected ? ui::AccessibilityTraits::isSelected()
                                                               : ui::AccessibilityTraits::none())
                              .named("tab." + std::string(tab.rawValue())));
    }
    return ui::HStack(ui::VerticalAlignment::center, 2, buttons)
        .padding(2)
        .background(ui::RoundedRectangle(8).fill(black(isDark ? 0.28 : 0.06)));
}

ui::View SettingsView::headerControls(bool isDark) const {
    auto& settings = SwitcherSettings::shared();
    const auto shape = ui::RoundedRectangle(6);
    ui::View preview =
        ui::Button([] { SwitcherController::shared().presentPreviewHUD(2.5); },
                   ui::Text(L10n::previewButton())
                       .font(gfx::Font::system(12, gfx::FontWeight::medium))
                       .foregroundStyle(ui::ShapeStyle::primary())
                       .lineLimit(1)
                       .minimumScaleFactor(0.88)
                       .padding(ui::EdgeInsets{4, 9, 4, 9})
                       .background(shape.fill(isDark ? white(0.075) : white(1)))
                       .overlay(shape.strokeBorder(isDark ? white(0.12) : black(0.11), 0.75)))
            .buttonStyle(ui::ButtonStyle::plain)
            .help(L10n::previewTooltip())
            .named("previewButton");
    ui::View master = ui::Toggle("Quillmar", ui::bind(settings.isEnabled))
                          .labelsHidden()
                          .controlSize(ui::ControlSize::small)
                          .accessibilityLabel("Quillmar")
                          .help(settings.isEnabled ? L10n::statusActiveTooltip() : L10n::statusPausedTooltip())
                          .named("masterSwitch");
    return ui::HStack(ui::VerticalAlignment::center, 10, {preview, master});
}

ui::View SettingsView::tabBarRow(bool isDark) const {
    return ui::HStack(ui::VerticalAlignment::center, 12, {tabSegment(isDark), ui::Spacer(), headerControls(isDark)})
        .padding(ui::EdgeInsets{4, 16, 10, 16})
        .background(isDark ? white(0.015) : black(0.012));
}

ui::View SettingsView::body() const {
    auto& settings = SwitcherSettings::shared();
    auto& monitor = TrackpadTouchMonitor::shared();
    auto& windowManager = WindowManager::shared();
    auto& exclusion = AppExclusionMonitor::shared();
    auto& ui = SettingsUIState::shared();
    ui::observe(settings);
    ui::observe(monitor);
    ui::observe(windowManager);
    ui::observe(exclusion);
    ui::observe(ui);
    const bool isDark = ui::environment().colorScheme == ui::ColorScheme::dark;

    ui::View column = ui::VStack(ui::HorizontalAlignment::center, 0,
                                 {
                                     statusRow(isDark),
                                     tabBarRow(isDark),
                                     ui::Rectangle().fill(isDark ? white(0.085) : black(0.08)).frame(std::nullopt, 1),
                                     tabContent(isDark).padding(ui::EdgeInsets{14, 16, 16, 16}),
                                 });
    const Color tint = isDark ? Color::rgb(0.16, 0.15, 0.16, 0.62) : Color::rgb(0.965, 0.961, 0.953, 0.76);
    return ui::ZStack({
                          AdaptiveWindowVibrancy{},
                          ui::Rectangle().fill(tint),
                          column.frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .maxHeight = ui::infinity,
                                                         .alignment = ui::Alignment::top()}),
                          windowSpectacleSlot(isDark),
                      })
        .coordinateSpace("settingsWindowSpace")
        .frame(windowWidth, windowHeight)
        .onAppear([] {
            SwitcherSettings::shared().refreshLaunchAtLoginStatus();
            refreshPreviewTargets();
        })
        .onDisappear([] {
            runtime::MainLoop::main().post([] { stopSeasonalAnimations(); });
        })
        .onChange(settings.switcherMode.get(), [] { refreshPreviewTargets(); })
        .onReceive(runtime::NotificationCenter::workspace(), platform::Workspace::didActivateApplicationNotification,
                   [](const runtime::Notification&) {
                       const auto& state = SettingsUIState::shared();
                       if (state.isWindowVisible && state.activeTab.get() != SettingsTab::about) refreshPreviewTargets();
                   })
        .named("settingsView");
}

}  // namespace quillmar
