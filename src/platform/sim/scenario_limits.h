#pragma once
// The bound of every field a scenario gives, in one table that ScenarioFields applies wherever a
// string, list or object field is read, so that nothing a scenario says can grow a label, a log
// line or a step's cost without end. A field read through ScenarioFields that has no row here is a
// problem of the scenario's loading (so a field added later cannot be left unbounded).
//
// One rule per kind: a string longer than its bound is cut (before the character that would cross
// it), but a file name, which a cut would turn into another name, is refused; a list or object
// with more entries than its bound is refused, naming the place and the bound. The member names
// of an object in a free value are cut as keys are. docs/scenarios.md lists the table for users.

#include <cstddef>
#include <span>
#include <string_view>

#include "platform/sim/sim_app.h"
#include "platform/sim/sim_window.h"

namespace quillmar::platform::sim {

struct FieldLimit {
    enum class Kind {
        text,     // a string: cut to `bytes`
        whole,    // a string used as it is (a file name): refused when longer than `bytes`
        list,     // a list of strings, numbers or points: at most `entries`; its strings cut to `bytes`
        objects,  // a list of objects (or an object) each read with its own fields: at most `entries`
        any,      // any JSON: every list and object in it at most `entries`, every string cut to
                  // `bytes`, every member name cut to `nameBytes`
    };
    std::string_view field;
    Kind kind;
    std::size_t bytes = 0;
    std::size_t entries = 0;
    std::size_t nameBytes = 0;
};

struct ScenarioLimits {
    static constexpr std::size_t kNameBytes = SimApp::kMaxNameBytes;    // an app's, a screen's, a device's
    static constexpr std::size_t kTitleBytes = SimWindow::kMaxTitleBytes;  // a window's, a menu row's, text
    static constexpr std::size_t kBundleIDBytes = 255;  // a reverse-DNS name; a reference to an app alike
    static constexpr std::size_t kPathBytes = 4096;     // PATH_MAX
    static constexpr std::size_t kWordBytes = 64;       // a choice among names ("dark"), a language, a zone
    static constexpr std::size_t kApps = 1000;          // the apps (or processes) a desktop holds
    static constexpr std::size_t kWindows = 4096;       // the windows a desktop holds, all apps together
    static constexpr std::size_t kScreens = 16;
    static constexpr std::size_t kSteps = 10000;  // room for a run of thousands of saves, each with its advance
    static constexpr std::size_t kValueEntries = 1000;  // of a list or object in a free value (settings)
    static constexpr std::size_t kInfoEntries = 64;     // of an Info.plist or a window-list override
    static constexpr std::size_t kMemberNameBytes = kNameBytes;  // in a free value or an Info.plist, as a key

    // "app" and frontmost name an app by its name or its bundle identifier, cut alike.
    static_assert(kBundleIDBytes == kNameBytes);

    static std::span<const FieldLimit> table();
    // The row of a field, or null when it has none.
    static const FieldLimit* find(std::string_view field);
};

}  // namespace quillmar::platform::sim
