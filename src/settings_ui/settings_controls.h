#pragma once
// The shared controls of the Trackpad and Switching tabs, and the card surfaces every tab uses.
//
//   optionTile(GestureSchematicView{style}, selected, title, subtitle, {8, 8, 4, 4}, isDark)
//   segmentButton("3 Only", bind(settings.fingerCount), 3, isDark)
//   SettingsToggleRow{title, bind(settings.hapticFeedback)}
//   performSelection([&] { settings.triggerStyle = style; });   // spring, then the haptic tick
//
// Colours follow isDark (the palette's light-or-dark choice). Main thread only.

#include <cstdint>
#include <functional>
#include <string>

#include "gfx/path.h"
#include "ui/state.h"
#include "ui/view.h"

namespace quillmar {

// Plays the alignment haptic when the haptic-feedback setting is on; nothing otherwise.
void selectionHaptic();

// Runs `action` inside the selection spring, then plays the selection haptic (on every call,
// also when the action changes nothing).
void performSelection(const std::function<void()>& action);

// Writes `value` through `binding` inside the segment spring, then plays the selection haptic.
void selectSegment(const ui::Binding<std::int64_t>& binding, std::int64_t value);

// The four corner radii of a tile in a strip: the strip's outer corners round more than its
// inner ones.
struct TileCorners {
    double topLeading = 4, bottomLeading = 4, bottomTrailing = 4, topTrailing = 4;
    gfx::RectangleCornerRadii radii() const { return {topLeading, bottomLeading, bottomTrailing, topTrailing}; }
};

// The label of a trigger-style or cycle-scope tile: a 28 pt schematic over a title and a
// subtitle, on a tinted tile while selected.
ui::View optionTile(ui::View content, bool isSelected, const std::string& title, const std::string& subtitle,
                    TileCorners corners, bool isDark);

// A plain-style button of a choice (a tile, a tab, a segment, a layout item): selected ones
// carry the selected trait; named for tests and demo steps.
ui::View choiceButton(ui::View label, bool isSelected, std::function<void()> action, const std::string& name);

// One choice of a compact segment control: selected while the binding holds `value`.
ui::View segmentButton(const std::string& title, const ui::Binding<std::int64_t>& binding, std::int64_t value,
                       bool isDark);
ui::View segmentLabel(const std::string& title, bool isSelected, bool isDark);

// The title of a card row: one line that shrinks down to 0.88 of its size to fit the width its
// row lays out for it, then is truncated at the tail; it never wraps, so the row keeps its height.
ui::View rowTitle(const std::string& text, const gfx::Font& font, const ui::ShapeStyle& style);

// A row that ends in a control (a switch, a button): its leading part (the title, with whatever
// stands before it) takes all the width the control leaves, 8 pt from it, so a long title is cut
// only where the control begins.
ui::View trailingControlRow(ui::View leading, ui::View control);

// A switch row: the title on the leading edge, a small switch on the trailing edge, as a
// trailingControlRow.
struct SettingsToggleRow {
    std::string title;
    ui::Binding<bool> isOn;
    ui::View body() const;
};

// Surfaces shared by the tabs' cards.
// A section header: 12 pt medium, secondary, padded 4 pt on either side.
ui::View sectionHeader(const std::string& text);
// A card: continuous rounded rectangle, translucent white, with a 1 pt inner rim.
ui::View cardSurface(ui::View content, double cornerRadius, bool isDark);
// The strip under a row of option tiles.
ui::View tileStrip(ui::View tiles, bool isDark);
// The 1 pt rule between two rows of a card.
ui::View cardDivider(bool isDark);
// The dark inset under a segment control or a value read-out.
ui::View insetWell(double cornerRadius, bool isDark);

}  // namespace quillmar
