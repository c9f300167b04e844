#include "festive_hud/lunar_calendar.h"

#include <memory>

#include "festive_hud/chinese_lunar_calendar.h"
#include "runtime/world.h"

namespace quillmar {

LunarCalendar& LunarCalendar::shared() {
    if (auto* installed = runtime::World::find<LunarCalendar>()) return *installed;
    return runtime::World::install<LunarCalendar>(std::make_unique<ChineseLunarCalendar>());
}

}  // namespace quillmar
