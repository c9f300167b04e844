#pragma once
// Every picture a demo run writes, in the order written, with what it shows: the scenario runner
// turns it into DIR/index.html at the end of the run, so a person can look through the run.
// Steps that write a PNG report it through StepContext::pictureWritten, whether or not the write
// succeeded (a failed entry says why). Other files of the run that fail to be written are kept
// too, so that the run's end counts them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillmar::platform::sim {

struct PixelSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size in the header of the PNG file open at fd (read at its start, whatever the offset).
std::optional<PixelSize> pngPixelSize(int fd);

struct PictureEntry {
    std::string file;      // relative to the output directory
    std::string caption;   // what the picture shows
    double scale = 2;      // pixels per point, so the page can show it at its natural 1x size
    std::size_t scenario = 0;  // index into PictureIndex::scenarios()
    std::size_t note = 0;  // the scenario's latest note before the picture, in PictureIndex::notes()
    double time = 0;       // scenario time (seconds since its start) when it was written
    std::size_t step = 0;  // 1-based number of the step that wrote it (0: before the first step)
    bool written = true;
    bool refused = false;  // not taken for a reason of the scenario's ("the Switch Bar is not shown")
    std::string error;     // why it was not written
    std::optional<PixelSize> pixels;  // as the writer wrote it
};

struct PictureScenario {
    std::string file;
    std::string description;
};

class PictureIndex {
public:
    void beginScenario(std::string file, std::string description) {
        scenarios_.push_back({std::move(file), std::move(description)});
        note_ = 0;
        step_ = 0;
        time_ = 0;
    }
    void setStep(std::size_t step, double time) {
        step_ = step;
        time_ = time;
    }
    // Each note is kept once, however many pictures follow it.
    void setNote(std::string note) {
        if (note == notes_[note_]) return;
        notes_.push_back(std::move(note));
        note_ = notes_.size() - 1;
    }
    // refused: not written for a reason of the scenario's, not for a failure to write.
    void add(std::string file, std::string caption, bool written, std::string error, double scale,
             bool refused = false, std::optional<PixelSize> pixels = std::nullopt) {
        PictureEntry e;
        e.file = std::move(file);
        e.caption = std::move(caption);
        e.scale = scale > 0 ? scale : 1;
        e.scenario = scenarios_.empty() ? 0 : scenarios_.size() - 1;
        e.note = note_;
        e.time = time_;
        e.step = step_;
        e.written = written;
        e.refused = !written && refused;
        e.error = std::move(error);
        e.pixels = pixels;
        entries_.push_back(std::move(e));
    }
    // A file of the run other than a picture (the classification dump) that could not be written.
    void addFailedFile(std::string file, std::string error) { failedFiles_.push_back({std::move(file), std::move(error)}); }
    const std::vector<std::pair<std::string, std::string>>& failedFiles() const { return failedFiles_; }

    const std::vector<PictureEntry>& entries() const { return entries_; }
    const std::vector<PictureScenario>& scenarios() const { return scenarios_; }
    // Every note in the order set; the first, "", stands before a scenario's first note.
    const std::vector<std::string>& notes() const { return notes_; }
    const std::string& noteOf(const PictureEntry& e) const { return notes_[e.note]; }
    // Whether two notes read the same (a note set again after another is a new one).
    bool sameNote(std::size_t a, std::size_t b) const { return a == b || notes_[a] == notes_[b]; }

private:
    std::vector<PictureEntry> entries_;
    std::vector<PictureScenario> scenarios_;
    std::vector<std::pair<std::string, std::string>> failedFiles_;  // file, why
    std::vector<std::string> notes_{std::string()};
    std::size_t note_ = 0;  // the current note
    std::size_t step_ = 0;
    double time_ = 0;
};

}  // namespace quillmar::platform::sim
