#include "settings_ui/hardware_stage_view.h"

#include <algorithm>
#include <string>

#include "autopause/app_exclusion_monitor.h"
#include "localization/l10n.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "settings_ui/anodized_trackpad_surface.h"
#include "settings_ui/checked_number.h"
#include "settings_ui/hardware_stage_state.h"
#include "settings_ui/settings_controls.h"
#include "settings_ui/settings_ui_state.h"
#include "settings_ui/stage_mini_hud_bar.h"
#include "switcher/switcher_controller.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

namespace {

bool tabShowsStage(SettingsTab tab) { return tab == SettingsTab::switching || tab == SettingsTab::trackpad; }

// The status badge sits this far inside the card's top-trailing corner and keeps at least this
// gap to the miniature bar, which is centred at the same height: a long status (the Zen text in
// Korean or German) shrinks its text, down to this factor, before it could run into the bar.
constexpr double kBadgeInset = 9;
constexpr double kBadgeGapToBar = 6;
constexpr double kBadgeTextMinimumScale = 0.75;

}  // namespace

int HardwareStageView::highlightedIndex(int n, bool barVisible, int barSelection,
                                        const std::vector<TouchDot>& touches, int simulatedIndex) {
    if (n <= 0) return 0;
    if (barVisible) return std::min(barSelection, n - 1);
    if (touches.empty()) return std::clamp(simulatedIndex, 0, n - 1);
    double sum = 0;
    for (const auto& t : touches) sum += t.x;
    const double m = sum / static_cast<double>(touches.size());
    const double r = m >= 0.88 ? 1.0 : (std::max(m, 0.12) - 0.12) / 0.76;
    return static_cast<int>(checkedWhole(n * r, 0, n - 1));
}

std::optional<int> HardwareStageView::hoverScrubIndex(double x, int n) {
    if (n <= 0) return std::nullopt;
    const double v = std::clamp((x - 0.12) / 0.76, 0.0, 0.999);
    return static_cast<int>(checkedWhole(n * v, 0, n - 1));
}

std::string HardwareStageView::statusText(bool isEnabled, bool isPaused, std::size_t touchCount, bool isHovered) {
    if (!isEnabled) return L10n::telemetryPaused();
    if (isPaused) return L10n::telemetryGamePaused();
    if (touchCount >= 5) return L10n::telemetryFiveFingerZen();
    if (touchCount > 0) return L10n::telemetryTouchCount(static_cast<std::int64_t>(touchCount));
    return isHovered ? L10n::previewButton() : L10n::telemetryLive();
}

// ---- The steps of the card, top to bottom and back to front ------------------------------------

std::vector<SwitchTarget> HardwareStageView::shownTargets() const {
    const auto& controller = SwitcherController::shared();
    if (!controller.isVisible || controller.targets->empty()) return previewTargets;
    const auto& open = controller.targets.get();
    return {open.begin(), open.begin() + static_cast<std::ptrdiff_t>(std::min(open.size(), kMaxStageTargets))};
}

// The miniature bar and, for the strip, the caption under it.
ui::View HardwareStageView::barGroup(const std::vector<SwitchTarget>& targets, int highlighted, bool vertical) const {
    const bool dark = palette.isDark;
    const int n = static_cast<int>(targets.size());
    ui::ViewList group;
    group.push_back(StageMiniHUDBar{targets, highlighted, vertical, dark, {}});
    if (!vertical) {
        const std::string caption = highlighted >= 0 && highlighted < n
                                        ? targets[static_cast<std::size_t>(highlighted)].displayLabel
                                        : L10n::stageEmptyPrompt();
        group.push_back(ui::Text(caption)
                            .font(gfx::Font::system(11.5, gfx::FontWeight::medium))
                            .foregroundColor(dark ? Color::whiteColor().opacity(0.86) : Color::black().opacity(0.75))
                            .lineLimit(1)
                            .frame(ui::FlexibleFrame{.maxWidth = 300})
                            .transition(ui::Transition::opacity().combined(ui::Transition::scale(0.95)))
                            .named("stageCaption"));
    }
    return ui::VStack(ui::HorizontalAlignment::center, 3, std::move(group))
        .frame(std::nullopt, 62)
        .padding(ui::Edges::top(), 8)
        .animation(ui::Animation::spring(0.32, 0.82), vertical);
}

// The drawn trackpad; a hover over it scrubs the miniature bar's n entries.
ui::View HardwareStageView::trackpad(const std::vector<TouchDot>& touches, int n) const {
    auto& settings = SwitcherSettings::shared();
    auto& stage = HardwareStageState::shared();
    auto* stagePtr = &stage;
    auto scrub = [stagePtr, n](double x) {
        const auto index = hoverScrubIndex(x, n);
        if (!index || *index == stagePtr->simulatedIndex.get()) return;
        stagePtr->simulatedIndex = *index;
        selectionHaptic();
    };
    return ui::View(AnodizedTrackpadSurface{palette,
                                            touches,
                                            settings.isEnabled,
                                            settings.triggerStyle,
                                            settings.fingerCount,
                                            settings.sensitivity,
                                            stage.isFiveFingerZen,
                                            stage.zenSandWavePhase,
                                            touchTint,
                                            ui::bind(stage.hoverRatioX),
                                            ui::bind(stage.hoverRatioY),
                                            scrub})
        .frame(260, 74);
}

// The status badge, kept in the card's top-trailing corner clear of the bar of width barWidth.
ui::View HardwareStageView::statusBadge(const std::vector<TouchDot>& touches, double barWidth) const {
    const auto& settings = SwitcherSettings::shared();
    const auto& stage = HardwareStageState::shared();
    const bool zen = stage.isFiveFingerZen;
    gfx::StrokeStyle badgeRim;
    badgeRim.lineWidth = 0.5;
    const ui::View badge =
        ui::HStack(ui::VerticalAlignment::center, 5,
                   {ui::Circle().fill(zen ? Color::rgb(0.94, 0.80, 0.42) : statusDotColor).frame(6, 6).named("stageStatusDot"),
                    ui::Text(statusText(settings.isEnabled, AppExclusionMonitor::shared().activePauseReason->has_value(),
                                        touches.size(), stage.hoverRatioX->has_value()))
                        .font(gfx::Font::system(11, gfx::FontWeight::medium).monospacedDigit())
                        .foregroundColor(Color::whiteColor().opacity(0.92))
                        .lineLimit(1)
                        .minimumScaleFactor(kBadgeTextMinimumScale)
                        .named("stageStatusText")})
            .padding(ui::EdgeInsets{3.5, 8, 3.5, 8})
            .background(ui::Capsule().fill(Color::black().opacity(palette.isDark ? 0.34 : 0.46)))
            .overlay(ui::Capsule().strokeBorder(
                zen ? Color::rgb(0.96, 0.82, 0.44, 0.45) : Color::whiteColor().opacity(0.16), badgeRim))
            .named("stageStatusBadge");
    return ui::GeometryReader([badge, barWidth](const ui::GeometryProxy& g) {
               const double room = (g.size().width - barWidth) / 2 - kBadgeGapToBar - kBadgeInset;
               return badge.frame(ui::FlexibleFrame{.maxWidth = std::max(0.0, room), .alignment = ui::Alignment::trailing()})
                   .padding(kBadgeInset)
                   .frame(ui::FlexibleFrame{.maxWidth = ui::infinity,
                                            .maxHeight = ui::infinity,
                                            .alignment = ui::Alignment::topTrailing()});
           })
        .allowsHitTesting(false);
}

// Live telemetry runs while a stage tab of the visible window shows the card, one turn after it
// appears; leaving both stage tabs turns it off and clears the stage.
ui::View HardwareStageView::followingTheTrackpad(ui::View card) {
    auto onAppear = [] {
        runtime::MainLoop::main().post([] {
            const auto& ui = SettingsUIState::shared();
            if (ui.isWindowVisible && tabShowsStage(ui.activeTab))
                TrackpadTouchMonitor::shared().setLiveTelemetryEnabled(true);
        });
    };
    auto onDisappear = [] {
        runtime::MainLoop::main().post([] {
            if (tabShowsStage(SettingsUIState::shared().activeTab)) return;
            TrackpadTouchMonitor::shared().setLiveTelemetryEnabled(false);
            HardwareStageState::shared().reset();
        });
    };
    auto* stage = &HardwareStageState::shared();
    auto* settings = &SwitcherSettings::shared();
    auto ingest = [stage, settings](const std::vector<TouchDot>& list) { stage->ingestTouches(list, settings->hapticFeedback); };
    return std::move(card)
        .onAppear(onAppear)
        .onDisappear(onDisappear)
        .onReceive(TrackpadTouchMonitor::shared().telemetry.liveTouches.publisher().dropFirst(),
                   std::function<void(const std::vector<TouchDot>&)>(ingest));
}

ui::View HardwareStageView::body() const {
    auto& settings = SwitcherSettings::shared();
    auto& controller = SwitcherController::shared();
    auto& telemetry = TrackpadTouchMonitor::shared().telemetry;
    auto& stage = HardwareStageState::shared();
    ui::observe(settings);
    ui::observe(AppExclusionMonitor::shared());
    ui::observe(controller);
    ui::observe(telemetry);
    ui::observe(stage);

    const auto& touches = telemetry.liveTouches.get();
    const std::vector<SwitchTarget> targets = shownTargets();
    const int n = static_cast<int>(targets.size());
    const bool vertical = settings.switchBarStyle == SwitchBarStyle::vertical;
    const int highlighted = highlightedIndex(n, controller.isVisible, controller.selectedIndex, touches, stage.simulatedIndex);

    const ui::View content = ui::VStack(ui::HorizontalAlignment::center, 6,
                                        {barGroup(targets, highlighted, vertical), trackpad(touches, n)})
                                 .frame(ui::FlexibleFrame{.maxWidth = ui::infinity, .maxHeight = ui::infinity});
    const ui::View badge = statusBadge(touches, StageMiniHUDBar::width(targets.size(), vertical));
    const auto card = ui::RoundedRectangle(12);
    gfx::StrokeStyle cardRim;
    cardRim.lineWidth = 1;
    return followingTheTrackpad(
               ui::ZStack(ui::Alignment::topTrailing(), {content, badge})
                   .frame(ui::FlexibleFrame{.maxWidth = ui::infinity})
                   .frame(std::nullopt, kHeight)
                   .background(ui::Rectangle().fill(palette.backdropGradient()))
                   .clipShape(card)
                   .overlay(card.strokeBorder(palette.isDark ? Color::whiteColor().opacity(0.09) : Color::black().opacity(0.075),
                                              cardRim)))
        .named("hardwareStage");
}

}  // namespace quillmar
