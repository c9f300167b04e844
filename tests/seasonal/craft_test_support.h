#pragma once
// Test helpers of the seasonal folder: a fixed day and language, recorded haptics, and a window
// list whose pointer the test moves.

#include <memory>
#include <vector>

#include "festive_hud/festive_test_support.h"
#include "platform/app_window_list.h"
#include "platform/sim/sim_user_feedback.h"
#include "runtime/world.h"

namespace quillmar::testing {

class FakeWindowList final : public platform::AppWindowList {
public:
    static FakeWindowList& install() {
        return static_cast<FakeWindowList&>(
            runtime::World::install<platform::AppWindowList>(std::make_unique<FakeWindowList>()));
    }
    std::vector<platform::AppWindowState> windows() const override { return list; }

    // One settings-sized window (480 × 600) with the pointer at `p` (content, top-left origin).
    void settingsWindowWithPointer(Point p, double width = 480, bool isKey = false) {
        list = {{Rect{100, 100, width, 600}, true, isKey, Size{width, 600}, Point{p.x, 600 - p.y}}};
    }
    std::vector<platform::AppWindowState> list;
};

}  // namespace quillmar::testing
