#pragma once
// The system's Chinese calendar (ICU) behind LunarCalendar. Main thread only: it keeps one
// calendar object per time zone asked last.

#include <memory>
#include <optional>
#include <string>

#include <unicode/uversion.h>

#include "festive_hud/lunar_calendar.h"

U_NAMESPACE_BEGIN
class Calendar;
U_NAMESPACE_END

namespace quillmar {

class ChineseLunarCalendar final : public LunarCalendar {
public:
    ChineseLunarCalendar();
    ~ChineseLunarCalendar() override;

    std::optional<LunarDate> lunarDate(double date, const std::string& timeZone) const override;

private:
    mutable std::string zone_;
    mutable std::unique_ptr<icu::Calendar> calendar_;
};

}  // namespace quillmar
