#include "app/demo/scene_steps.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/demo/pointer_arrow.h"
#include "gfx/render_target.h"
#include "platform/sim/event_log.h"
#include "gfx/text_layout.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/scenes/spectacle_renderers.h"

namespace quillmar {

namespace {
using platform::sim::Need;
using platform::sim::ScenarioFields;
using platform::sim::StepContext;

enum class SceneKind { window, dissolve, mark };

using DissolveWithCentre = void (*)(gfx::GraphicsContext&, bool, double, double, double, double, double);
using MarkRenderer = void (*)(gfx::GraphicsContext&, ArtisanCanvasTheme, int, bool, double, double);

struct SceneEntry {
    const char* name;
    SceneKind kind;
    SpectacleRenderer renderer = nullptr;
    DissolveWithCentre centred = nullptr;
    MarkRenderer mark = nullptr;
    double markReach = 0;  // how far a mark reaches from its centre, in mark sizes (a glow's edge)
};

const std::vector<SceneEntry>& sceneTable() {
    static const std::vector<SceneEntry> table = {
        {"fireworksWindow", SceneKind::window, drawFireworksWindowSpectacle},
        {"christmasWindow", SceneKind::window, drawChristmasWindowSpectacle},
        {"halloweenWindow", SceneKind::window, drawHalloweenWindowSpectacle},
        {"stPatricksWindow", SceneKind::window, drawStPatricksWindowSpectacle},
        {"easterMeadowDissolve", SceneKind::dissolve, drawEasterMeadowDissolve},
        {"fireworksDissolve", SceneKind::dissolve, nullptr, drawFireworksDissolve},
        {"halloweenDissolve", SceneKind::dissolve, drawHalloweenDissolve},
        {"autumnHarvestOakDissolve", SceneKind::dissolve, drawAutumnHarvestOakDissolve},
        {"christmasDissolve", SceneKind::dissolve, drawChristmasDissolve},
        {"springMeadowDissolve", SceneKind::dissolve, drawSpringMeadowDissolve},
        {"summerStarlightDissolve", SceneKind::dissolve, drawSummerStarlightDissolve},
        {"winterAuroraHearthDissolve", SceneKind::dissolve, drawWinterAuroraHearthDissolve},
        // The summer star's glow reaches 1.1 sizes; the glowing snowflake's 1.75 of its 0.95.
        {"natureMark", SceneKind::mark, nullptr, nullptr, drawNatureSeasonalMark, 1.1},
        {"winterMark", SceneKind::mark, nullptr, nullptr, drawWinterSeasonalMark, 1.75 * 0.95},
    };
    return table;
}

const SceneEntry* findScene(const std::string& name) {
    for (const auto& e : sceneTable())
        if (name == e.name) return &e;
    return nullptr;
}

std::optional<ArtisanCanvasTheme> themeNamed(const std::string& name) {
    static const char* const names[] = {
        "stPatricksWindowSpectacle", "easterMeadow",         "fireworksCelebration", "halloweenSpectacle",
        "autumnHarvestOak",          "christmasSpectacle",   "springMeadow",         "summerStarlight",
        "winterAuroraHearth",        "lunarNewYearSpectacle", "summerJadeLotus",     "koreanCranesGeumbak",
        "harvestMoonOsmanthus",      "kyotoSpringSakura",    "kyotoSummerAoMomiji",  "kyotoAutumnMomiji",
        "kyotoWinterPlum"};
    for (int i = 0; i < kArtisanCanvasThemeCount; ++i)
        if (name == names[i]) return static_cast<ArtisanCanvasTheme>(i);
    return std::nullopt;
}

constexpr double kMarkSize = 5.6;  // the size the icon hint draws its marks at
constexpr double kMarkMagnification = 7;
constexpr double kMarkMargin = 6;
constexpr double kCardCornerRadius = 12;  // the About card's, which clips its dissolve

// The default canvas of each host: the settings window, the About card's dissolve canvas, and a
// magnified cell for a mark that holds all of it, glow included.
gfx::Size defaultCanvas(const SceneEntry& scene) {
    switch (scene.kind) {
        case SceneKind::window: return {480, 592};
        case SceneKind::dissolve: return {448, 80};
        case SceneKind::mark: {
            const double side = 2 * std::ceil(scene.markReach * kMarkSize * kMarkMagnification + kMarkMargin);
            return {side, side};
        }
    }
    return {480, 592};
}

gfx::Color windowBackground(bool isDark) {
    return isDark ? gfx::Color::rgb(0.118, 0.118, 0.129) : gfx::Color::rgb(0.941, 0.941, 0.949);
}

// One cell: the host's backdrop, then the scene, clipped to the canvas (a dissolve also to the
// card's rounded corners), and the pointer where the step rests it (the system would draw it).
void drawCell(gfx::GraphicsContext& sheet, const SceneEntry& scene, gfx::Rect cell, bool isDark,
              double progress, std::optional<ArtisanCanvasTheme> theme, int column,
              std::optional<gfx::Point> pointer = std::nullopt) {
    gfx::GraphicsContext ctx = sheet;
    ctx.clipToRect(cell);
    ctx.translateBy(cell.x, cell.y);
    const gfx::Rect local{0, 0, cell.width, cell.height};
    ctx.fill(gfx::Path::rect(local), windowBackground(isDark));
    switch (scene.kind) {
        case SceneKind::window:
            scene.renderer(ctx, isDark, cell.width, cell.height, progress);
            break;
        case SceneKind::dissolve: {
            gfx::GraphicsContext card = ctx;
            card.clip(gfx::Path::roundedRect(local, kCardCornerRadius));
            card.fill(gfx::Path::roundedRect(local, kCardCornerRadius),
                      gfx::Color::whiteColor().opacity(isDark ? 0.048 : 0.76));
            if (scene.centred)
                scene.centred(card, isDark, cell.width, cell.height, progress, cell.width - 29, cell.height * 0.5);
            else
                scene.renderer(card, isDark, cell.width, cell.height, progress);
            break;
        }
        case SceneKind::mark: {
            gfx::GraphicsContext mark = ctx;
            mark.translateBy(cell.width / 2, cell.height / 2);
            mark.scaleBy(kMarkMagnification, kMarkMagnification);
            const double intensity = std::sin(3.14159265358979323846 * progress);
            scene.mark(mark, theme.value_or(ArtisanCanvasTheme::winterAuroraHearth), column, isDark, kMarkSize,
                       intensity);
            break;
        }
    }
    // The pointer may reach past the cell, as it would past the canvas.
    if (pointer) drawPointerArrow(sheet, {cell.x + pointer->x, cell.y + pointer->y});
}

// Puts a resting pointer over the canvas for the length of one drawing and takes it away after.
class PointerOverCanvas {
public:
    PointerOverCanvas(std::optional<gfx::Point> canvasPoint, SceneKind kind) {
        if (!canvasPoint) return;
        auto& wake = PointerWake::shared();
        saved_ = wake.currentWindowCursor;
        const gfx::Point origin = kind == SceneKind::dissolve ? wake.aboutCardOriginInWindow : gfx::Point{};
        wake.currentWindowCursor = *canvasPoint + origin;
        active_ = true;
    }
    ~PointerOverCanvas() {
        if (!active_) return;
        auto& wake = PointerWake::shared();
        wake.currentWindowCursor = saved_;
        wake.pendingContactHaptic = false;
    }
    PointerOverCanvas(const PointerOverCanvas&) = delete;
    PointerOverCanvas& operator=(const PointerOverCanvas&) = delete;

private:
    std::optional<gfx::Point> saved_;
    bool active_ = false;
};

struct SceneFields {
    const SceneEntry* scene = nullptr;
    std::optional<ArtisanCanvasTheme> theme;
    gfx::Size canvas;
    double scale = 1;
    std::optional<gfx::Point> pointer;
};

// Reads the fields every scene step shares.
SceneFields readSceneFields(ScenarioFields& f) {
    SceneFields out;
    auto name = f.string("renderer");
    auto themeName = f.string("theme", Need::optional);
    auto width = f.number("width", Need::optional, 9, 4096);
    auto height = f.number("height", Need::optional, 9, 4096);
    auto scale = f.number("scale", Need::optional, 0.5, 4);
    out.pointer = f.point("pointer", Need::optional);
    if (name) {
        out.scene = findScene(*name);
        if (!out.scene) f.fail("renderer", "unknown scene renderer " + ScenarioFields::quoted(*name));
    }
    if (themeName) {
        out.theme = themeNamed(*themeName);
        if (!out.theme) f.fail("theme", "unknown canvas theme " + ScenarioFields::quoted(*themeName));
    }
    const gfx::Size def = out.scene ? defaultCanvas(*out.scene) : gfx::Size{480, 592};
    out.canvas = {width.value_or(def.width), height.value_or(def.height)};
    out.scale = scale.value_or(1);
    return out;
}

std::string progressLabel(double p, bool isDark, SceneKind kind, int column) {
    char buf[64];
    if (kind == SceneKind::mark)
        std::snprintf(buf, sizeof buf, "v%d  i %.2f  %s", column,
                      std::sin(3.14159265358979323846 * p), isDark ? "dark" : "light");
    else
        std::snprintf(buf, sizeof buf, "p = %.6g, %s", p, isDark ? "dark" : "light");
    return buf;
}

void renderSheet(StepContext& ctx, const SceneFields& s, const std::vector<double>& progress,
                 const std::string& file, const std::string& caption) {
    constexpr double kMargin = 12, kGap = 12, kLabel = 18;
    // Wide canvases (the card's dissolves) stack the moments in rows with dark and light side by
    // side; tall ones put the moments in columns with dark above light.
    const bool rowsAreMoments = s.canvas.width > 2 * s.canvas.height;
    const auto moments = static_cast<double>(progress.size());
    const double cols = rowsAreMoments ? 2 : moments, rows = rowsAreMoments ? moments : 2;
    const gfx::Size sheetSize{kMargin * 2 + cols * s.canvas.width + (cols - 1) * kGap,
                              kMargin * 2 + rows * (s.canvas.height + kLabel) + (rows - 1) * kGap};
    gfx::RenderTarget target(sheetSize, s.scale);
    gfx::GraphicsContext sheet = target.context();
    sheet.fill(gfx::Path::rect({0, 0, sheetSize.width, sheetSize.height}), gfx::Color::rgb(0.5, 0.5, 0.52));
    const gfx::Font font = gfx::Font::system(11, gfx::FontWeight::medium);
    PointerOverCanvas pointer(s.pointer, s.scene->kind);
    for (int look = 0; look < 2; ++look) {
        const bool isDark = look == 0;
        for (std::size_t i = 0; i < progress.size(); ++i) {
            const double col = rowsAreMoments ? look : static_cast<double>(i);
            const double row = rowsAreMoments ? static_cast<double>(i) : look;
            const gfx::Rect cell{kMargin + col * (s.canvas.width + kGap),
                                 kMargin + row * (s.canvas.height + kLabel + kGap), s.canvas.width,
                                 s.canvas.height};
            drawCell(sheet, *s.scene, cell, isDark, progress[i], s.theme, static_cast<int>(i), s.pointer);
            gfx::TextLayout label(progressLabel(progress[i], isDark, s.scene->kind, static_cast<int>(i)), font);
            sheet.draw(label, gfx::Point{cell.x, cell.maxY() + 3}, gfx::Color::white(0.08));
        }
    }
    ctx.writePicture(
        "sceneSheet", file, caption,
        [&](const std::string& path, std::string* error) { return target.writePng(path, error); },
        {{"renderer", s.scene->name}}, target.scale());
}

std::string frameFileName(const std::string& file, int index) {
    const std::filesystem::path p(file);
    char num[16];
    std::snprintf(num, sizeof num, "_%03d", index);
    std::string ext = p.extension().string();
    if (ext.empty()) ext = ".png";
    return (p.parent_path() / (p.stem().string() + num + ext)).string();
}


void renderSceneSheetStep(ScenarioFields& f, StepContext* ctx) {
    SceneFields s = readSceneFields(f);
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    std::vector<double> progress{0.1, 0.35, 0.6, 0.85};
    if (const auto* list = f.array("progress", Need::optional)) {
        progress.clear();
        for (const auto& v : *list) {
            if (!v.is_number() || !std::isfinite(v.get<double>()) || v.get<double>() < 0 || v.get<double>() > 1) {
                f.fail("progress", "expected numbers in 0...1");
                break;
            }
            progress.push_back(v.get<double>());
        }
        if (progress.empty() || progress.size() > 12) f.fail("progress", "expected 1 to 12 values");
    }
    if (!ctx || !file || !s.scene || !f.ok()) return;
    renderSheet(*ctx, s, progress, *file, caption.value_or(std::string("Scene ") + s.scene->name));
}

void renderSceneFramesStep(ScenarioFields& f, StepContext* ctx) {
    SceneFields s = readSceneFields(f);
    auto file = f.string("file");
    auto caption = f.string("caption", Need::optional);
    auto frames = f.integer("frames", Need::optional, 1, 600);
    auto from = f.number("from", Need::optional, 0, 1);
    auto to = f.number("to", Need::optional, 0, 1);
    auto dark = f.boolean("dark", Need::optional);
    if (s.scene && s.scene->kind == SceneKind::mark) f.fail("renderer", "frames are for spectacles and dissolves");
    if (!ctx || !file || !s.scene || !f.ok()) return;
    const int n = static_cast<int>(frames.value_or(24));
    const double p0 = from.value_or(0), p1 = to.value_or(1);
    const bool isDark = dark.value_or(true);
    PointerOverCanvas pointer(s.pointer, s.scene->kind);
    auto files = nlohmann::ordered_json::array();
    for (int i = 0; i < n; ++i) {
        const double p = n == 1 ? p0 : p0 + (p1 - p0) * i / (n - 1);
        gfx::RenderTarget target(s.canvas, s.scale);
        gfx::GraphicsContext c = target.context();
        drawCell(c, *s.scene, {0, 0, s.canvas.width, s.canvas.height}, isDark, p, s.theme, 0, s.pointer);
        const std::string name = frameFileName(*file, i);
        std::string error;
        std::optional<platform::sim::PixelSize> pixels;
        const bool ok = ctx->writeOutputFile(
            name, [&](const std::string& path, std::string* why) { return target.writePng(path, why); }, &error,
            &pixels);
        char what[64];
        std::snprintf(what, sizeof what, " (frame %d, p = %.3f)", i, p);
        ctx->pictureWritten(name, caption.value_or(std::string("Scene ") + s.scene->name) + what, ok, error, s.scale,
                            pixels);
        if (ok) files.push_back(name);
    }
    // The files written, each numbered after the name the step was given.
    ctx->log.record("sceneFrames", {{"files", std::move(files)}, {"renderer", s.scene->name}, {"frames", n}});
}

constexpr platform::sim::NamedStep kSceneSteps[] = {
    {"renderSceneSheet", renderSceneSheetStep},
    {"renderSceneFrames", renderSceneFramesStep},
};

}  // namespace

void registerSceneSteps(platform::sim::ScenarioRegistry& registry) {
    registry.registerSteps(kSceneSteps);
}

}  // namespace quillmar
