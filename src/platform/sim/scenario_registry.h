#pragma once
// What a scenario can say beyond the built-in desktop: named steps ({"do": name, ...}) and extra
// top-level sections ({name: {...}}), each handled by one function that is called twice: first
// with a null context while the scenario loads, to read (and so check) its fields, then with a
// context to act. A handler reads every field it accepts before it looks at the context, so that
// a misspelt or mistyped field is reported when the scenario loads, before anything runs. Each
// step is a small named function, and a table registers a file's steps at once:
//
//     void tapStep(ScenarioFields& f, StepContext* ctx) {
//         auto at = f.point("at");
//         if (!ctx || !at) return;
//         ... act on *at ...
//     }
//     constexpr NamedStep kSteps[] = {{"tap", tapStep}, ...};
//     registry.registerSteps(kSteps);

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "platform/sim/picture_index.h"
#include "platform/sim/scenario_fields.h"

namespace quillmar::platform::sim {

class SimDesktop;
class EventLog;

struct StepContext {
    SimDesktop& desktop;
    EventLog& log;
    std::filesystem::path outputDirectory;  // where snapshots go
    std::string scenarioFile;

    PictureIndex* pictures = nullptr;       // the run's picture list (null in tests that need none)

    // The folder the files go to ("out" when the run names none).
    std::filesystem::path outputFolder() const;
    // Where a file of the output folder is, for messages and the log; nothing is created.
    std::filesystem::path outputPath(const std::string& fileName) const;
    // Every step that writes a picture reports it here, written or not, with a caption that says
    // what it shows; the run's index page lists them in this order.
    // scale is the picture's pixels per point.
    // pixels: the size the writer wrote (writeOutputFile reports it).
    void pictureWritten(const std::string& fileName, const std::string& caption, bool written = true,
                        const std::string& error = {}, double scale = 2,
                        std::optional<PixelSize> pixels = std::nullopt) const {
        if (pictures) pictures->add(fileName, caption, written, error, scale, /*refused=*/false, pixels);
    }

    // Writes one picture: `write` gets the file's path and says whether it wrote it (and why not,
    // in *error, without naming the file: the message names it once). The log gets `event` with {"file": fileName, ...fields, "written", "reason"},
    // and the index page lists the picture with its caption. Returns whether it was written.
    using PictureWriter = std::function<bool(const std::string& path, std::string* error)>;
    // Writes one file of the output folder: `write` gets a name that opens a fresh temporary file,
    // which is renamed over fileName once written (platform/folder_writer.h: nothing that stands
    // in the folder is followed, a failure leaves nothing behind). False with why in *error
    // ("cannot write <file>: <why>"); *pixels gets the size of a PNG written.
    bool writeOutputFile(const std::string& fileName, const PictureWriter& write, std::string* error,
                         std::optional<PixelSize>* pixels = nullptr) const;
    bool writePicture(const std::string& event, const std::string& fileName, const std::string& caption,
                      const PictureWriter& write, const nlohmann::ordered_json& fields = {},
                      double scale = 2) const;
    // The same record for a picture that cannot be taken now; reason says why.
    void pictureUnavailable(const std::string& event, const std::string& fileName, const std::string& caption,
                            const std::string& reason) const;
};

using ScenarioHandler = std::function<void(ScenarioFields& fields, StepContext* context)>;

// One entry of a table of steps (or sections): the name a scenario uses and its function.
struct NamedStep {
    const char* name;
    void (*run)(ScenarioFields& fields, StepContext* context);
};

class ScenarioRegistry {
public:
    // A later registration under the same name replaces the earlier one.
    void registerStep(const std::string& name, ScenarioHandler handler) { steps_[name] = std::move(handler); }
    void registerSection(const std::string& name, ScenarioHandler handler) { sections_[name] = std::move(handler); }
    // Every entry of a table, in order.
    void registerSteps(std::span<const NamedStep> table) {
        for (const auto& entry : table) registerStep(entry.name, entry.run);
    }

    // A name in the output folder that the run itself writes (whose: "the index page's"): no
    // step's file may take it, lie under it or hold it.
    void reserveOutputName(const std::string& name, const std::string& whose) { reserved_[name] = whose; }
    const std::map<std::string, std::string>& reservedOutputNames() const { return reserved_; }

    const ScenarioHandler* step(const std::string& name) const;
    const ScenarioHandler* section(const std::string& name) const;
    const std::map<std::string, ScenarioHandler>& steps() const { return steps_; }
    const std::map<std::string, ScenarioHandler>& sections() const { return sections_; }

private:
    std::map<std::string, ScenarioHandler> steps_;
    std::map<std::string, ScenarioHandler> sections_;
    std::map<std::string, std::string> reserved_;
};

}  // namespace quillmar::platform::sim
