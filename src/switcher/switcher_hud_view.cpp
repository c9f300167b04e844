#include "switcher/switcher_hud_view.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include "festive_hud/hud_festive_state.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "switcher/cmd_tab_item_view.h"
#include "switcher/hud_background.h"
#include "switcher/hud_strip_viewport.h"
#include "switcher/switcher_controller.h"
#include "switcher/vertical_list_row_content.h"
#include "ui/ui.h"

namespace quillmar {

using ui::Color;

namespace {

// Kept with the world's shared objects, so a fresh world starts without an overlay.
struct FestiveOverlaySeam {
    SwitcherHUDView::FestiveOverlayFactory factory;
};

SwitcherHUDView::FestiveOverlayFactory& festiveOverlayFactory() {
    return runtime::World::shared<FestiveOverlaySeam>().factory;
}

std::optional<ui::Animation> selectionAnimation(bool reduceMotion) {
    if (reduceMotion) return std::nullopt;
    return ui::Animation::spring(0.17, 0.88, 0.03);
}

ui::View gradientFill(const ui::Shape& shape, Color top, Color bottom) {
    return shape.fill(ui::ShapeStyle::linearGradient(gfx::Gradient::colors({top, bottom}), ui::UnitPoint::top(),
                                                     ui::UnitPoint::bottom()));
}

// The app names of `entries` entries from `from` on.
std::vector<std::string> entryNames(const std::vector<SwitchTarget>& targets, int from, int entries) {
    std::vector<std::string> names;
    for (int i = from; i < from + entries && i < static_cast<int>(targets.size()); ++i)
        names.push_back(targets[static_cast<std::size_t>(i)].appName);
    return names;
}

// The index of the first minimized or hidden entry (-1: none); a rule stands above it.
int firstParkedIndex(const std::vector<SwitchTarget>& targets) {
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (targets[i].isMinimizedOrHidden) return static_cast<int>(i);
    return -1;
}

// The room the rule above the first parked entry takes in the list: its 1 point, 3 above and
// below, and the stack's spacing (none without a rule, or with one above the first row).
double ruleRoom(const VerticalHUDMetrics& v, int firstParked) { return firstParked > 0 ? 7 + v.rowSpacing : 0; }

// Stands for `entries` unbuilt entries from `from` on, taking `room` in the layout. Assistive
// technology reads each as a built entry reads (see entryCell): a button labelled by the app name
// that commits its entry, the k-th (entry `index`) at place(k, index, the stand-in's frame).
ui::View entryStandIn(ui::View room, const std::vector<SwitchTarget>& targets, int from, int entries,
                      std::function<Rect(std::size_t k, int index, const Rect& standIn)> place) {
    auto elements = [names = entryNames(targets, from, entries), from, place = std::move(place)](const Rect& f) {
        std::vector<ui::AccessibilityElement> out;
        out.reserve(names.size());
        for (std::size_t k = 0; k < names.size(); ++k) {
            ui::AccessibilityElement e;
            e.role = "group";
            e.label = names[k];
            e.traits = ui::AccessibilityTraits::isButton();
            const int index = from + static_cast<int>(k);
            e.action = [index] { SwitcherController::shared().selectAndCommit(index); };
            e.frame = place(k, index, f);
            out.push_back(std::move(e));
        }
        return out;
    };
    return ui::accessibilityStandIn(room, std::move(elements));
}

// Commit on a click or the accessibility default action; one element labelled by the app name.
ui::View entryCell(ui::View cell, const SwitchTarget& target, int index, bool selected, const std::string& name) {
    auto commit = [index] { SwitcherController::shared().selectAndCommit(index); };
    auto traits = selected ? ui::AccessibilityTraits::isButton() | ui::AccessibilityTraits::isSelected()
                           : ui::AccessibilityTraits::isButton();
    return cell.contentShape(ui::Rectangle())
        .onTapGesture(commit)
        .accessibilityElement(ui::AccessibilityChildBehavior::ignore)
        .accessibilityLabel(target.appName)
        .accessibilityAddTraits(traits)
        .accessibilityAction(commit)
        .named(name + "." + std::to_string(index));
}

}  // namespace

void SwitcherHUDView::setFestiveOverlayFactory(FestiveOverlayFactory factory) {
    festiveOverlayFactory() = std::move(factory);
}

bool SwitcherHUDView::isLightAppearance() {
    return HUDBackground::isLightAppearance(SwitcherSettings::shared().hudAppearance,
                                            ui::environment().colorScheme,
                                            HUDFestiveState::shared().shouldShowChristmasPerimeter());
}

namespace {

// The bar's content for one state of the switch. A component of its own, compared by that
// state, so that an update that only moves the bloom scale on leaves every entry as it was.
struct SwitchBarContent {
    std::vector<SwitchTarget> targets;
    int selected = 0;
    double screenWidth = 0, screenHeight = 0;
    bool isLight = false;
    SwitcherController::SelectionReach reach;
    ui::Namespace ns;
    friend bool operator==(const SwitchBarContent&, const SwitchBarContent&) = default;

    ui::View body() const;
    ui::View horizontalStrip() const;
    ui::View verticalList() const;

    // The list's steps: the stand-in for `rows` unbuilt rows from `from` on, the group of entry
    // i (the rule above the first parked entry, and the row), the selection highlight behind the
    // selected row, and the viewport a long list scrolls in.
    ui::View listStandIn(const VerticalHUDMetrics& metrics, int firstParked, int from, int rows) const;
    ui::View listGroup(const VerticalHUDMetrics& metrics, int index, int firstParked) const;
    ui::View listHighlight(const VerticalHUDMetrics& metrics) const;
    ui::View scrollingList(ui::View stack, const VerticalHUDMetrics& metrics, double width) const;
};

ui::View wrap(ui::View content, double cornerRadius, bool isLight) {
    const auto& settings = SwitcherSettings::shared();
    ui::View wrapped =
        content.background(HUDBackground::make(cornerRadius, settings.hudAppearance, isLight, ui::environment()));
    if (const auto& factory = festiveOverlayFactory()) wrapped = wrapped.overlay(factory(!isLight, cornerRadius));
    return wrapped.clipShape(ui::RoundedRectangle(cornerRadius));
}

ui::View SwitchBarContent::horizontalStrip() const {
    const int count = static_cast<int>(targets.size());
    const auto metrics = HUDMetrics::make(std::max(count, 1), screenWidth);
    const auto viewport = HUDStripViewport::make(metrics, count, selected, screenWidth);
    const bool reduceMotion = ui::environment().accessibilityReduceMotion;

    // A strip of hundreds of entries builds those in reach of the selection; a plain frame of the
    // same width stands for each run of the others on either side.
    HUDStripViewport::EntryRange built{0, count - 1};
    if (viewport.scrolls())
        built = HUDStripViewport::builtEntries(metrics, count, reach.lowest, reach.highest, screenWidth);
    std::vector<std::size_t> shown;
    shown.reserve(static_cast<std::size_t>(built.count()));
    for (int i = built.first; i <= built.last; ++i) shown.push_back(static_cast<std::size_t>(i));
    // Assistive technology still finds every entry, where the row puts it, as a built one reads.
    const auto standIn = [&](int from, int entries) {
        return ui::when(entries > 0, [&] {
            const double slot = metrics.boxSize + metrics.itemSpacing;
            const double cellHeight = metrics.boxSize + CmdTabItemView::kTitleGap + CmdTabItemView::kTitleRowHeight;
            return entryStandIn(ui::View(Color::clear()).frame(entries * slot - metrics.itemSpacing, 0), targets, from,
                                entries, [slot, box = metrics.boxSize, cellHeight](std::size_t k, int, const Rect& f) {
                                    return Rect{f.x + static_cast<double>(k) * slot, f.midY() - cellHeight / 2, box,
                                                cellHeight};
                                });
        });
    };
    // An entry built as the selection reaches it was there all along: it appears as it is.
    const auto cellTransition = ui::Transition::asymmetric(ui::Transition::identity(), ui::Transition::opacity());

    auto cells = ui::ForEach(shown, [&](std::size_t i) { return targets[i].id; },
                             [&](std::size_t i) {
                                 const SwitchTarget& t = targets[i];
                                 const bool isSel = static_cast<int>(i) == selected;
                                 CmdTabItemView item{t, isSel, isLight, metrics};
                                 if (isSel) {
                                     const auto room = viewport.titleRoom(static_cast<int>(i));
                                     item.titleRoomBefore = room.before;
                                     item.titleRoomAfter = room.after;
                                     item.titleWidth = viewport.titleWidth();
                                 }
                                 ui::View cell = item;
                                 // The highlight slot stays in the tree whether or not this cell is
                                 // selected, so a selection change is one glide, not a rebuild.
                                 ui::View highlight = ui::when(isSel, [&] {
                                     gfx::StrokeStyle edge;
                                     edge.lineWidth = 0.65;
                                     const auto shape = ui::RoundedRectangle(metrics.boxCornerRadius);
                                     return ui::ZStack({isLight ? gradientFill(shape, Color::black().opacity(0.11),
                                                                            Color::black().opacity(0.06))
                                                             : gradientFill(shape, Color::whiteColor().opacity(0.22),
                                                                            Color::whiteColor().opacity(0.14)),
                                                     shape.strokeBorder(isLight ? Color::black().opacity(0.15)
                                                                                : Color::whiteColor().opacity(0.24),
                                                                        edge)})
                                             .frame(metrics.boxSize, metrics.boxSize)
                                             .matchedGeometryEffect("hudHorizontalHighlight", ns)
                                             .named("hudHighlight");
                                 });
                                 cell = cell.background(highlight, ui::Alignment::top());
                                 return entryCell(cell, t, static_cast<int>(i), isSel, "hudItem")
                                     .transition(cellTransition);
                             });
    ui::View row = ui::HStack(ui::VerticalAlignment::center, metrics.itemSpacing,
                              {standIn(0, built.first), cells, standIn(built.last + 1, count - 1 - built.last)})
                       .padding(ui::EdgeInsets{metrics.topPadding, metrics.horizontalPadding, metrics.bottomPadding,
                                               metrics.horizontalPadding});
    if (viewport.scrolls()) {
        // Wider than the screen: show a screen's width of the row, moved so the selection and
        // its title stay inside; the move glides with the highlight.
        row = row.fixedSize()
                  .offset(-viewport.scrollOffset, 0)
                  .frame(viewport.viewportWidth, std::nullopt, ui::Alignment::leading())
                  .clipped()
                  .named("hudStripViewport");
    }
    row = row.animation(selectionAnimation(reduceMotion), selected);
    return wrap(row, metrics.hudCornerRadius, isLight);
}

ui::View SwitchBarContent::listStandIn(const VerticalHUDMetrics& metrics, int firstParked, int from, int rows) const {
    if (rows <= 0) return ui::EmptyView();
    const double step = metrics.rowHeight + metrics.rowSpacing;
    // The rule stands before the first parked row: in this run when that row is.
    const bool withRule = firstParked > 0 && firstParked >= from && firstParked < from + rows;
    const double rule = withRule ? ruleRoom(metrics, firstParked) : 0;
    const double height = rows * metrics.rowHeight + (rows - 1) * metrics.rowSpacing + rule;
    return entryStandIn(ui::View(Color::clear()).frame(std::nullopt, height), targets, from, rows,
                        [step, rowHeight = metrics.rowHeight, rule, firstParked](std::size_t k, int index, const Rect& f) {
                            const double y = static_cast<double>(k) * step + (index >= firstParked ? rule : 0);
                            return Rect{f.x, f.y + y, f.width, rowHeight};
                        });
}

ui::View SwitchBarContent::listHighlight(const VerticalHUDMetrics& metrics) const {
    gfx::StrokeStyle edge;
    edge.lineWidth = 0.75;
    const auto shape = ui::RoundedRectangle(metrics.rowCornerRadius);
    return ui::ZStack({isLight ? gradientFill(shape, Color::black().opacity(0.1), Color::black().opacity(0.06))
                               : gradientFill(shape, Color::whiteColor().opacity(0.23), Color::whiteColor().opacity(0.14)),
                       shape.strokeBorder(isLight ? Color::black().opacity(0.16) : Color::whiteColor().opacity(0.28), edge)})
        .shadow(Color::black().opacity(isLight ? 0.08 : 0.2), 3, 0, 1)
        .named("hudHighlight")
        // Glides from row to row with the selection; when its row leaves the list, it goes
        // straight to the row taking the selection and moves with that row.
        .matchedGeometryEffect("hudVerticalHighlight", ns, {.glidesFromRemovedContainer = false});
}

ui::View SwitchBarContent::listGroup(const VerticalHUDMetrics& metrics, int index, int firstParked) const {
    const SwitchTarget& t = targets[static_cast<std::size_t>(index)];
    const bool isSel = index == selected;
    // The highlight slot stays in the tree whether or not this row is selected.
    ui::View row = ui::View(VerticalListRowContent{t, isSel, isLight, metrics})
                       .background(ui::when(isSel, [&] { return listHighlight(metrics); }));
    // A row comes and goes scaling between 0.96 and 1 about its centre as it fades; a row built
    // for an entry the list had before (the selection has come near it) appears as it is.
    const auto transition = ui::environment().accessibilityReduceMotion
                                ? ui::Transition::opacity()
                                : ui::Transition::scale(0.96).combined(ui::Transition::opacity());
    const bool isNew = SwitcherController::shared().isNewEntry(t.id);
    row = entryCell(row, t, index, isSel, "hudRow")
              .id("row:" + t.id)
              .transition(isNew ? transition : ui::Transition::asymmetric(ui::Transition::identity(), transition));
    ui::View rule = ui::when(index == firstParked && index > 0, [&] {
        return ui::Rectangle()
            .fill((isLight ? Color::black() : Color::whiteColor()).opacity(0.11))
            .frame(std::nullopt, 1)
            .padding(ui::EdgeInsets{3, 10, 3, 10})
            .accessibilityHidden()
            .named("hudRule");
    });
    return ui::Group({rule, row});
}

ui::View SwitchBarContent::scrollingList(ui::View stack, const VerticalHUDMetrics& metrics, double width) const {
    std::vector<std::string> ids;
    ids.reserve(targets.size());
    for (const auto& t : targets) ids.push_back("row:" + t.id);
    return ui::ScrollViewReader([stack, ids, metrics, selected = selected, width](const ui::ScrollViewProxy& proxy) {
        return ui::ScrollView(stack, false)
            .frame(width, metrics.maxViewportHeight)
            .onChange(selected, [proxy, ids](int i) {
                if (i < 0 || i >= static_cast<int>(ids.size())) return;
                ui::withAnimation(ui::Animation::spring(0.18, 0.9, 0), [&] {
                    proxy.scrollTo(ui::Id(ids[static_cast<std::size_t>(i)]), ui::UnitPoint::center());
                });
            });
    });
}

ui::View SwitchBarContent::verticalList() const {
    const int count = static_cast<int>(targets.size());
    const auto metrics = VerticalHUDMetrics::make(count, screenWidth, screenHeight);
    const int firstParked = firstParkedIndex(targets);

    // A list of hundreds of rows in its viewport builds those in reach of the selection; a plain
    // frame as tall as each run of the others (the rule included) stands for it, read by
    // assistive technology as the rows it stands for, where the list puts them.
    HUDStripViewport::EntryRange built{0, count - 1};
    if (metrics.usesScrollViewport)
        built = SwitcherHUDView::builtListRows(metrics, targets, reach.lowest, reach.highest);
    std::vector<int> shown;
    shown.reserve(static_cast<std::size_t>(built.count()));
    for (int i = built.first; i <= built.last; ++i) shown.push_back(i);
    auto groups = ui::ForEach(shown, [&](int i) { return targets[static_cast<std::size_t>(i)].id; },
                              [&](int i) { return listGroup(metrics, i, firstParked); });
    ui::View stack = ui::VStack(ui::HorizontalAlignment::center, metrics.rowSpacing,
                                {listStandIn(metrics, firstParked, 0, built.first), groups,
                                 listStandIn(metrics, firstParked, built.last + 1, count - 1 - built.last)})
                         .animation(selectionAnimation(ui::environment().accessibilityReduceMotion), selected)
                         .padding(metrics.outerPadding);
    // Never wider than the screen can show (the panel keeps 12 points free on either side).
    const double width = std::max(std::min(metrics.panelWidth, screenWidth - 24), 120.0);
    ui::View list = metrics.usesScrollViewport ? scrollingList(stack, metrics, width) : stack.frame(width);
    return wrap(list, metrics.hudCornerRadius, isLight);
}

ui::View SwitchBarContent::body() const {
    ui::observe(SwitcherSettings::shared());
    const bool vertical = SwitcherSettings::shared().switchBarStyle.get() == SwitchBarStyle::vertical;
    const int count = static_cast<int>(targets.size());
    // A scrolling strip or list moves its anchors with the selection, so the geometry is written
    // again then.
    const double scroll =
        vertical ? SwitcherHUDView::listScrollOffset(VerticalHUDMetrics::make(count, screenWidth, screenHeight), targets,
                                                     selected)
                 : HUDStripViewport::make(HUDMetrics::make(std::max(count, 1), screenWidth), count, selected, screenWidth)
                       .scrollOffset;

    ui::View content = vertical ? verticalList() : horizontalStrip();
    return content.background(ui::GeometryReader([count, scroll](const ui::GeometryProxy& proxy) {
        const auto size = proxy.size();
        return ui::View(Color::clear())
            .onAppear([size] { SwitcherHUDView::handleContentSize(size); })
            .onChange(size, [](const ui::Size& s) { SwitcherHUDView::handleContentSize(s); })
            .onChange(count, [size] { SwitcherHUDView::handleContentSize(size); })
            .onChange(scroll, [size] { SwitcherHUDView::handleContentSize(size); });
    }));
}

}  // namespace

ui::View SwitcherHUDView::body() const {
    auto& controller = SwitcherController::shared();
    ui::observe(controller);
    ui::observe(SwitcherSettings::shared());
    ui::View content = SwitchBarContent{controller.targets.get(),     controller.selectedIndex,
                                        controller.activeScreenWidth, controller.activeScreenHeight,
                                        isLightAppearance(),          controller.selectionReach,
                                        hudSelectionNamespace};
    return content.scaleEffect(controller.isPresentedBloom ? 1.0 : 0.968).named("switchBar");
}

double SwitcherHUDView::listScrollOffset(const VerticalHUDMetrics& v, const std::vector<SwitchTarget>& targets,
                                         int selected) {
    const int count = static_cast<int>(targets.size());
    if (!v.usesScrollViewport || count == 0 || selected < 0 || selected >= count) return 0;
    const int firstParked = firstParkedIndex(targets);
    const double rule = ruleRoom(v, firstParked);
    const double content = 2 * v.outerPadding + count * v.rowHeight + (count - 1) * v.rowSpacing + rule;
    const double centre = v.outerPadding + selected * (v.rowHeight + v.rowSpacing) + v.rowHeight / 2 +
                          (firstParked > 0 && selected >= firstParked ? rule : 0);
    return std::clamp(centre - v.maxViewportHeight / 2, 0.0, std::max(0.0, content - v.maxViewportHeight));
}

HUDStripViewport::EntryRange SwitcherHUDView::builtListRows(const VerticalHUDMetrics& v,
                                                           const std::vector<SwitchTarget>& targets,
                                                           int lowestSelection, int highestSelection) {
    const int count = static_cast<int>(targets.size());
    if (count <= 0) return {};
    if (!v.usesScrollViewport) return {0, count - 1};
    // The rows within a viewport and a half of a selected row's middle. The viewport never reaches
    // further than a viewport's height from the selected row's middle (half of one where it scrolls
    // freely, a whole one where it is held at the list's ends), so this holds what it shows for any
    // selection from low to high (the scroll glides between those offsets) and half a viewport or
    // more on either side for a glide that overshoots or a selection that jumps on.
    const double step = v.rowHeight + v.rowSpacing;
    const double rows = std::floor((1.5 * v.maxViewportHeight + v.rowHeight / 2) / step);
    if (!std::isfinite(rows) || rows < 0) return {0, count - 1};
    return HUDStripViewport::EntryRange::around(count, lowestSelection, highestSelection,
                                                static_cast<int>(std::min(rows, static_cast<double>(count))));
}

HUDFestiveGeometry SwitcherHUDView::festiveGeometry(ui::Size size, int count, bool vertical, const HUDMetrics& h,
                                                    const VerticalHUDMetrics& v, double scrollOffset) {
    HUDFestiveGeometry g;
    g.size = size;
    g.floorY = size.height - 5;
    g.isVertical = vertical;
    for (int i = 0; i < count; ++i) {
        if (vertical) {
            // The row's middle where the scrolled list shows it.
            double y = i * (v.rowHeight + v.rowSpacing) + v.outerPadding + v.rowHeight / 2 - scrollOffset;
            y = std::min(y, size.height - 14);
            g.itemAnchors.push_back({size.width / 2, y});
        } else {
            g.itemAnchors.push_back({i * (h.itemSpacing + h.boxSize) + h.horizontalPadding + h.boxSize / 2 - scrollOffset,
                                     0.45 * h.boxSize + h.topPadding});
        }
    }
    if (vertical) {
        const double lower = v.outerPadding + 14;
        g.rowSpanX = {lower, std::max(lower + 1, size.width - v.outerPadding - 14)};
    } else {
        g.rowSpanX = {0, size.width};
    }
    return g;
}

void SwitcherHUDView::handleContentSize(ui::Size size) {
    if (!(size.width > 20) || !(size.height > 20) || !size.isFinite()) return;
    auto& controller = SwitcherController::shared();
    const int n = static_cast<int>(controller.targets->size());
    const bool vertical = SwitcherSettings::shared().switchBarStyle.get() == SwitchBarStyle::vertical;
    const auto strip = HUDMetrics::make(std::max(n, 1), controller.activeScreenWidth);
    const auto list = VerticalHUDMetrics::make(n, controller.activeScreenWidth, controller.activeScreenHeight);
    const double scroll =
        vertical ? listScrollOffset(list, controller.targets.get(), controller.selectedIndex)
                 : HUDStripViewport::make(strip, n, controller.selectedIndex, controller.activeScreenWidth).scrollOffset;
    const auto geometry = festiveGeometry(size, n, vertical, strip, list, scroll);
    auto& festive = HUDFestiveState::shared();
    if (!(festive.geometry == geometry)) festive.geometry = geometry;
    controller.ensurePanelCentered(size);
}

}  // namespace quillmar
