#pragma once
// Every picture a demo run writes, in the order written, with what it shows: the scenario runner
// turns it into DIR/index.html at the end of the run, so a person can look through the run.
// Steps that write a PNG report it through StepContext::pictureWritten, whether or not the write
// succeeded (a failed entry says why).

#include <cstddef>
#include <string>
#include <vector>

namespace quillmar::platform::sim {

struct PictureEntry {
    std::string file;     // relative to the output directory
    std::string caption;  // what the picture shows
    double time = 0;      // scenario time (seconds since the start) when it was written
    std::size_t step = 0; // 1-based number of the step that wrote it (0: before the first step)
    bool written = true;
    std::string error;    // why it was not written
};

class PictureIndex {
public:
    void setStep(std::size_t step, double time) {
        step_ = step;
        time_ = time;
    }
    void add(std::string file, std::string caption, bool written, std::string error) {
        entries_.push_back({std::move(file), std::move(caption), time_, step_, written, std::move(error)});
    }
    const std::vector<PictureEntry>& entries() const { return entries_; }

private:
    std::vector<PictureEntry> entries_;
    std::size_t step_ = 0;
    double time_ = 0;
};

}  // namespace quillmar::platform::sim
