// Renders a small panel of the view layer's pieces to PNG at a few moments of an animation:
// a tab bar whose thumb glides, a switch, a slider with its read-out, and a list whose
// highlight glides to another row. Usage: ui_gallery [output directory] (default out/ui_gallery).

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/main_loop.h"
#include "runtime/published.h"
#include "runtime/world.h"
#include "ui/ui.h"

namespace ui = quillmar::ui;
namespace gfx = quillmar::gfx;
using quillmar::runtime::Published;
using ui::Color;
using ui::View;

namespace {

struct PanelModel : quillmar::runtime::ObservableObject {
    Published<int> tab{0, this};
    Published<int> row{0, this};
    Published<bool> haptics{true, this};
    Published<double> speed{1.2, this};
};

const std::vector<std::string> kTabs{"Switching", "Trackpad", "Keys", "About"};
const std::vector<std::string> kApps{"Meridian", "Postbox", "Inkwell", "Console"};
const std::vector<Color> kAppColors{Color::rgb(0.2, 0.55, 0.95), Color::rgb(0.3, 0.7, 1.0), Color::rgb(0.98, 0.8, 0.25),
                                    Color::rgb(0.25, 0.25, 0.28)};

View card(View content) {
    return content.padding(12).background(
        ui::RoundedRectangle(11).fill(Color::white(1, 0.048)).overlay(ui::RoundedRectangle(11).strokeBorder(Color::white(1, 0.09), 1)));
}

struct TabBar {
    PanelModel* model;
    ui::Namespace ns{};
    View body() const {
        ui::observe(*model);
        return ui::HStack(2, {ui::ForEach(kTabs, [](const std::string& t) { return t; },
                                          [&](std::size_t i, const std::string& title) {
                                              const bool selected = static_cast<int>(i) == model->tab.get();
                                              auto* m = model;
                                              const int index = static_cast<int>(i);
                                              auto thumb = ui::RoundedRectangle(6)
                                                               .fill(Color::white(1, 0.16))
                                                               .overlay(ui::RoundedRectangle(6).strokeBorder(Color::white(1, 0.14), 0.5))
                                                               .shadow(Color::white(0, 0.22), 1.5, 0, 1)
                                                               .matchedGeometryEffect("thumb", ns);
                                              return ui::Button(
                                                         [m, index] {
                                                             if (m->tab.get() == index) return;
                                                             ui::withAnimation(ui::Animation::spring(0.26, 0.84),
                                                                               [m, index] { m->tab = index; });
                                                         },
                                                         ui::Text(title)
                                                             .font(gfx::Font::system(12, selected ? gfx::FontWeight::medium
                                                                                                  : gfx::FontWeight::regular))
                                                             .foregroundStyle(selected ? ui::ShapeStyle::primary()
                                                                                       : ui::ShapeStyle::secondary())
                                                             .lineLimit(1)
                                                             .padding(ui::Edges::horizontal(), 10)
                                                             .padding(ui::Edges::vertical(), 5)
                                                             .background(ui::when(selected, thumb))
                                                             .contentShape(ui::Rectangle()))
                                                  .buttonStyle(ui::ButtonStyle::plain);
                                          })})
            .padding(2)
            .background(ui::RoundedRectangle(8).fill(Color::white(0, 0.28)));
    }
};

struct AppList {
    PanelModel* model;
    ui::Namespace ns{};
    View body() const {
        ui::observe(*model);
        return ui::VStack(2, {ui::ForEach(kApps, [](const std::string& a) { return a; },
                                          [&](std::size_t i, const std::string& app) {
                                              const bool selected = static_cast<int>(i) == model->row.get();
                                              auto highlight = ui::RoundedRectangle(9.5)
                                                                   .fill(ui::ShapeStyle::linearGradient(
                                                                       gfx::Gradient::colors({Color::white(1, 0.23), Color::white(1, 0.14)}),
                                                                       ui::UnitPoint::top(), ui::UnitPoint::bottom()))
                                                                   .overlay(ui::RoundedRectangle(9.5).strokeBorder(Color::white(1, 0.28), 0.75))
                                                                   .shadow(Color::white(0, 0.2), 3, 0, 1)
                                                                   .matchedGeometryEffect("row", ns);
                                              return ui::HStack(10, {ui::RoundedRectangle(5).fill(kAppColors[i]).frame(22, 22),
                                                                     ui::Text(app)
                                                                         .font(gfx::Font::system(13, selected ? gfx::FontWeight::semibold
                                                                                                              : gfx::FontWeight::regular))
                                                                         .foregroundColor(Color::white(1, selected ? 0.98 : 0.84)),
                                                                     ui::Spacer(),
                                                                     ui::Text(i == 1 ? "Inbox — 3 unread" : "")
                                                                         .font(gfx::Font::system(11.5))
                                                                         .foregroundColor(Color::white(1, selected ? 0.62 : 0.42))
                                                                         .lineLimit(1)})
                                                  .padding(ui::Edges::horizontal(), 10)
                                                  .frame(std::nullopt, 36)
                                                  .background(ui::when(selected, highlight))
                                                  .accessibilityElement()
                                                  .accessibilityLabel(app);
                                          })})
            .animation(ui::Animation::spring(0.17, 0.88, 0.03), model->row.get());
    }
};

struct Panel {
    PanelModel* model;
    View body() const {
        ui::observe(*model);
        char speedText[16];
        std::snprintf(speedText, sizeof speedText, "%.1f×", model->speed.get());
        auto* m = model;
        View toggleRow = ui::HStack({ui::Text("Haptic alignment ticks").font(gfx::Font::system(13)), ui::Spacer(),
                                     ui::Toggle("Haptics", ui::bind(m->haptics)).labelsHidden().controlSize(ui::ControlSize::small)})
                             .frame(std::nullopt, 31.5);
        View sliderRow =
            ui::HStack(12, {ui::Text("Scrub Speed").font(gfx::Font::system(13)), ui::Spacer(),
                            ui::Slider(ui::bind(m->speed), 0.5, 2.5, 0.1).controlSize(ui::ControlSize::small).frame(148),
                            ui::Text(speedText)
                                .font(gfx::Font::system(11.5).monospacedDigit())
                                .frame(46)
                                .padding(ui::Edges::vertical(), 3)
                                .background(ui::RoundedRectangle(5).fill(Color::white(0, 0.28)))})
                .frame(std::nullopt, 40);
        return ui::ZStack({ui::RoundedRectangle(14).fill(ui::ShapeStyle::linearGradient(
                               gfx::Gradient::colors({Color::rgb(0.17, 0.14, 0.165), Color::rgb(0.11, 0.13, 0.175),
                                                      Color::rgb(0.095, 0.095, 0.11)}),
                               ui::UnitPoint::topLeading(), ui::UnitPoint::bottomTrailing())),
                           ui::VStack(ui::HorizontalAlignment::leading, 14,
                                      {TabBar{model}, card(ui::VStack(0, {toggleRow, sliderRow})), card(AppList{model})})
                               .padding(16)})
            .frame(400, 340)
            .colorScheme(ui::ColorScheme::dark);
    }
};

}  // namespace

int main(int argc, char** argv) {
    quillmar::runtime::World::reset();
    const std::string dir = argc > 1 ? argv[1] : "out/ui_gallery";
    std::filesystem::create_directories(dir);
    auto& loop = quillmar::runtime::MainLoop::main();

    PanelModel model;
    ui::HostingView host(Panel{&model}, {400, 340});
    int failures = 0;
    auto shoot = [&](const std::string& name) {
        std::string error;
        const std::string path = dir + "/" + name + ".png";
        if (!host.writePng(path, 2.0, std::nullopt, &error)) {
            std::fprintf(stderr, "could not write %s: %s\n", path.c_str(), error.c_str());
            ++failures;
        } else {
            std::printf("%s\n", path.c_str());
        }
    };

    shoot("panel-rest");
    // Tap the third tab and move the list selection two rows down, then film the glide.
    const auto tree = host.accessibilityTree();
    if (const auto* keys = tree.find("Keys")) host.click(keys->frame.center());
    ui::withAnimation(ui::Animation::spring(0.17, 0.88, 0.03), [&] { model.row = 2; });
    model.speed = 1.7;
    model.haptics = false;
    for (double t : {0.0, 0.04, 0.08, 0.16, 0.5}) {
        loop.runUntilIdle();
        char name[32];
        std::snprintf(name, sizeof name, "panel-t%03d", static_cast<int>(t * 1000 + 0.5));
        const double now = loop.now();
        static double start = now;
        loop.advance(std::max(0.0, start + t - now));
        shoot(name);
    }
    return failures == 0 ? 0 : 1;
}
