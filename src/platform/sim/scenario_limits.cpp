#include "platform/sim/scenario_limits.h"

#include <algorithm>
#include <array>

#include "platform/sim/scenario_loader.h"

namespace quillmar::platform::sim {

namespace {
using K = FieldLimit::Kind;
using L = ScenarioLimits;

FieldLimit text(std::string_view field, std::size_t bytes) { return {field, K::text, bytes, 0}; }
FieldLimit word(std::string_view field) { return text(field, L::kWordBytes); }
FieldLimit anyValue(std::string_view field, std::size_t bytes, std::size_t entries) {
    return {field, K::any, bytes, entries, L::kMemberNameBytes};
}

// Sorted by field name once, for find().
const auto kTable = [] {
    std::array table{
        word("appearance"),
        text("app", L::kBundleIDBytes),
        FieldLimit{"apps", K::objects, 0, L::kApps},
        text("bundleID", L::kBundleIDBytes),
        text("bundlePath", L::kPathBytes),
        text("caption", L::kTitleBytes),
        text("characters", L::kNameBytes),
        word("control"),
        word("crop"),
        // One byte beyond the longest date: a longer one is cut, and still refused as no date.
        text("date", ScenarioLoader::kMaxDateLength + 1),
        text("description", L::kTitleBytes),
        text("device", L::kNameBytes),
        FieldLimit{"devices", K::objects, 0, L::kScreens},
        word("do"),
        word("event"),
        text("executablePath", L::kPathBytes),
        // A cut would name another file: a longer name is refused.
        FieldLimit{"file", K::whole, L::kPathBytes, 0},
        anyValue("frontmost", L::kBundleIDBytes, 0),
        word("hovered"),
        word("hudAppearance"),
        word("icon"),
        anyValue("info", L::kTitleBytes, L::kInfoEntries),
        text("key", L::kNameBytes),
        word("kind"),
        text("label", L::kTitleBytes),
        word("language"),
        FieldLimit{"languages", K::list, L::kWordBytes, 32},
        word("mode"),
        FieldLimit{"modifiers", K::list, L::kWordBytes, 8},
        text("name", L::kNameBytes),
        text("openSubmenu", L::kTitleBytes),
        FieldLimit{"ownProcess", K::objects, 0, 16},
        // A process's path, a menu's titles down to an item, or a slide's points.
        FieldLimit{"path", K::list, L::kPathBytes, 1000},
        word("phase"),
        word("policy"),
        FieldLimit{"processes", K::objects, 0, L::kApps},
        FieldLimit{"progress", K::list, 0, 12},
        word("renderer"),
        word("scheme"),
        FieldLimit{"screens", K::objects, 0, L::kScreens},
        anyValue("settings", L::kTitleBytes, L::kValueEntries),
        FieldLimit{"stacking", K::list, 0, L::kWindows},
        FieldLimit{"steps", K::objects, 0, L::kSteps},
        word("style"),
        word("switchBarStyle"),
        word("tab"),
        text("text", L::kTitleBytes),
        word("theme"),
        word("timeZone"),
        text("title", L::kTitleBytes),
        word("triggerStyle"),
        word("type"),
        FieldLimit{"urls", K::list, L::kPathBytes, 64},
        anyValue("value", L::kTitleBytes, L::kValueEntries),
        text("windowTitle", L::kTitleBytes),
        FieldLimit{"windows", K::objects, 0, L::kWindows},
    };
    std::sort(table.begin(), table.end(), [](const auto& a, const auto& b) { return a.field < b.field; });
    return table;
}();
}  // namespace

std::span<const FieldLimit> ScenarioLimits::table() { return kTable; }

const FieldLimit* ScenarioLimits::find(std::string_view field) {
    const auto it = std::lower_bound(kTable.begin(), kTable.end(), field,
                                     [](const FieldLimit& row, std::string_view f) { return row.field < f; });
    return it != kTable.end() && it->field == field ? &*it : nullptr;
}

}  // namespace quillmar::platform::sim
