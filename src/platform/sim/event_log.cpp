#include "platform/sim/event_log.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "runtime/main_loop.h"
#include "runtime/world.h"

namespace quillmar::platform::sim {

EventLog& EventLog::shared() { return runtime::World::shared<EventLog>(); }

void EventLog::record(const std::string& event, nlohmann::ordered_json fields) {
    nlohmann::ordered_json line;
    // Milliseconds are enough for a log read by people and compared by tests.
    line["t"] = std::round((runtime::mediaTime() - origin_) * 1000.0) / 1000.0;
    line["event"] = event;
    if (fields.is_object()) {
        for (auto& [k, v] : fields.items())
            if (k != "t" && k != "event") line[k] = v;
    } else if (!fields.is_null()) {
        line["value"] = fields;
    }
    std::string text = line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (!out_) {
        lines_.push_back(std::move(text));
        return;
    }
    if (!*out_) return;  // failed before (in this world or an earlier one)
    errno = 0;
    *out_ << text << '\n' << std::flush;
    if (!*out_) writeFailure_ = errno != 0 ? std::strerror(errno) : "the stream failed";
}

}  // namespace quillmar::platform::sim
