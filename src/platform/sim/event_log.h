#pragma once
// The demo's event log: one JSON object a line, {"t": seconds since the start, "event": name, ...}.
// Anything on the simulated desktop may record into it; the scenario runner points it at standard
// output. While it has no output (as in tests) the lines are kept in memory instead; with one they
// go straight to it, so a long run holds none of them. A line the output cannot take is kept as
// the reason (the first one only); after it the output is not written to again.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace quillmar::platform::sim {

class EventLog {
public:
    static EventLog& shared();

    // Where lines go (null: into memory).
    void setOutput(std::ostream* out) { out_ = out; }
    // The media-clock instant that counts as t = 0.
    void setOrigin(double mediaTime) { origin_ = mediaTime; }

    // fields must be an object (anything else is recorded under "value"), written in the order
    // given after "t" and "event", which are set here.
    void record(const std::string& event, nlohmann::ordered_json fields = nlohmann::ordered_json::object());

    // The lines recorded while there was no output.
    const std::vector<std::string>& lines() const { return lines_; }
    // Why a line could not be written to the output, as the system said it (nullopt: none failed).
    const std::optional<std::string>& writeFailure() const { return writeFailure_; }

private:
    std::ostream* out_ = nullptr;
    double origin_ = 0;
    std::vector<std::string> lines_;
    std::optional<std::string> writeFailure_;
};

}  // namespace quillmar::platform::sim
