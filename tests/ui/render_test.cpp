// Drawing through gfx: group opacity, shadows of composed subtrees, clipping, offsets that move
// drawing but not layout, and 2x rendering; checked with pixel probes.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gfx/draw_recorder.h"
#include "support/image_compare.h"
#include "support/fresh_world.h"
#include "ui/ui.h"

namespace quillmar::ui {
namespace {

class RenderTest : public quillmar::testing::FreshWorldTest {};

TEST_F(RenderTest, OpacityAppliesToTheGroupAndShadowToTheComposedSubtree) {
    // Two overlapping squares at group opacity 0.5: the overlap is no darker than either.
    auto pair = ZStack(Alignment::topLeading(), {View(Color::black()).frame(20, 20),
                                                 View(Color::black()).frame(20, 20).offset(10, 0)})
                    .frame(30, 20, Alignment::topLeading())
                    .opacity(0.5);
    HostingView host(pair.frame(40, 40), {40, 40});
    const auto img = host.renderImage(2.0);
    EXPECT_EQ(img.pixelWidth(), 80);
    const Color single = gfx::probe(img, {15, 15});
    const Color overlap = gfx::probe(img, {5, 15});
    EXPECT_NEAR(single.alpha, 0.5, 0.01);
    EXPECT_NEAR(overlap.alpha, 0.5, 0.01);

    // A shadow falls below a composed pair, not between its parts.
    auto shadowed = HStack(0, {View(Color::whiteColor()).frame(10, 10), View(Color::whiteColor()).frame(10, 10)})
                        .shadow(Color::black(), 0, 0, 6);
    HostingView s(shadowed.frame(40, 40), {40, 40});
    const auto si = s.renderImage();
    EXPECT_GT(gfx::probe(si, {15, 27}).alpha, 0.9);   // shadow below the pair
    EXPECT_NEAR(gfx::probe(si, {15, 17}).red, 1, 0.01);  // the pair itself stays white
}

TEST_F(RenderTest, ClipOffsetAndSaturation) {
    auto clipped = View(Color::rgb(1, 0, 0)).frame(40, 40).clipShape(Circle());
    HostingView c(clipped, {40, 40});
    const auto ci = c.renderImage();
    EXPECT_LT(gfx::probe(ci, {2, 2}).alpha, 0.01);
    EXPECT_NEAR(gfx::probe(ci, {20, 20}).red, 1, 0.01);

    // Offset moves the drawing, not the layout.
    auto moved = View(Color::black()).frame(10, 10).named("box").offset(20, 0);
    HostingView o(moved.frame(40, 10, Alignment::leading()), {40, 10});
    EXPECT_EQ(o.frame("box")->x, 0);
    EXPECT_EQ(o.presentedFrame("box")->x, 20);
    const auto oi = o.renderImage();
    EXPECT_LT(gfx::probe(oi, {5, 5}).alpha, 0.01);
    EXPECT_GT(gfx::probe(oi, {25, 5}).alpha, 0.99);

    HostingView g(View(Color::rgb(1, 0, 0)).saturation(0), {10, 10});
    const Color grey = gfx::probe(g.renderImage(), {5, 5});
    EXPECT_NEAR(grey.red, grey.green, 0.02);
    EXPECT_NEAR(grey.green, grey.blue, 0.02);
}

TEST_F(RenderTest, OnlyChildrenInsideTheClipAreDrawnWhereverTheContentIsMoved) {
    // A strip of 100 ten-point cells, red and blue by turns, moved 500 points left inside a
    // 100-point clip; and a list of 100 rows scrolled to the 40th inside a 50-point viewport.
    std::vector<View> cells, rows;
    for (int i = 0; i < 100; ++i) {
        const Color c = i % 2 ? Color::rgb(0, 0, 1) : Color::rgb(1, 0, 0);
        cells.push_back(View(c).frame(10, 20));
        rows.push_back(View(c).frame(30, 10).id("row" + std::to_string(i)));
    }
    auto strip = HStack(0, cells).fixedSize().offset(-500, 0).frame(100, 20, Alignment::leading()).clipped();
    std::optional<ScrollViewProxy> scroller;
    auto list = ScrollViewReader([&](const ScrollViewProxy& proxy) {
        scroller = proxy;
        return ScrollView(VStack(0, rows), false).frame(30, 50);
    });

    // Every visible cell shows its own colour (offset and scroll are followed), and only the
    // children near the clip are drawn at all.
    auto check = [](HostingView& host, Size size, Point first, Point step, int firstIndex, int visible,
                    std::size_t mostDrawn) {
        const auto image = host.renderImage(2.0);
        for (int k = 0; k < visible; ++k) {
            const Color c = gfx::probe(image, {first.x + k * step.x, first.y + k * step.y});
            EXPECT_NEAR(k % 2 ? c.blue : c.red, 1, 0.01) << "child " << firstIndex + k;
        }
        auto recorder = gfx::DrawRecorder::make(size, 2.0);
        auto ctx = gfx::DrawRecorder::contextFor(recorder);
        host.draw(ctx);
        EXPECT_GE(recorder->primitives().size(), static_cast<std::size_t>(visible));
        EXPECT_LE(recorder->primitives().size(), mostDrawn) << "children beyond the clip are left out";
    };

    HostingView s(strip, {100, 20});
    check(s, {100, 20}, {5, 10}, {10, 0}, 50, 10, 18);  // cells 50...59 fill the clip

    HostingView l(list, {30, 50});
    l.renderImage();
    ASSERT_TRUE(scroller.has_value());
    scroller->scrollTo(Id("row40"), UnitPoint::top());
    check(l, {30, 50}, {15, 5}, {0, 10}, 40, 5, 13);  // rows 40...44 fill the viewport
}

struct ListModel : runtime::ObservableObject {
    runtime::Published<double> lift{0, this};
};

TEST_F(RenderTest, ARowFarBelowTheViewportIsDrawnOnceItsContentMovesIntoIt) {
    // A list of 100 red rows in a 50-point viewport; row 30, 300 points down, has a green square
    // lifted by the model into the viewport, at once and then by a linear glide.
    ListModel m;
    struct Screen {
        ListModel* m;
        View body() const {
            observe(*m);
            std::vector<View> rows;
            for (int i = 0; i < 100; ++i) {
                View row = View(Color::rgb(1, 0, 0)).frame(30, 10);
                if (i == 30) row = ZStack({row, View(Color::rgb(0, 1, 0)).frame(10, 10).offset(0, m->lift.get())});
                rows.push_back(row);
            }
            return ScrollView(VStack(0, rows), false).frame(30, 50);
        }
    };
    HostingView host(Screen{&m}, {30, 50});
    auto greenAt = [&](double y) { return gfx::probe(host.renderImage(), {15, y}).green > 0.9; };
    EXPECT_FALSE(greenAt(25));  // drawn bounds of every row now known, row 30's far below

    m.lift = -280;  // rows 2 and 30 overlap at y 20...30
    advance(0.01);
    EXPECT_TRUE(greenAt(25)) << "an update leaves no bounds of before";

    m.lift = 0;
    advance(0.01);
    EXPECT_FALSE(greenAt(25));
    withAnimation(Animation::linear(1.0), [&] { m.lift = -280; });
    advance(0.1);
    EXPECT_FALSE(greenAt(25));  // 28 points up: still far below
    advance(0.85);
    EXPECT_TRUE(greenAt(39)) << "bounds found while the square moved are not kept";  // 266 up: y 34...44
}

// A row whose square is lifted from within: the model is watched by a component two levels inside
// the row (the list's body never sees it), and the square's offset sits below two paddings.
struct LiftedSquare {
    ListModel* m;
    View body() const {
        observe(*m);
        return View(Color::rgb(0, 1, 0)).frame(10, 10).offset(0, m->lift.get()).padding(0).padding(0);
    }
};

TEST_F(RenderTest, ARowIsDrawnWhereAChangeOrAGlideFarInsideItTakesIt) {
    ListModel m;
    std::vector<View> rows;
    for (int i = 0; i < 100; ++i) {
        View row = View(Color::rgb(1, 0, 0)).frame(30, 10);
        if (i == 30) row = ZStack({row, View(LiftedSquare{&m}).padding(0)});
        rows.push_back(row.padding(0));
    }
    HostingView host(ScrollView(VStack(0, rows), false).frame(30, 50), {30, 50});
    auto greenAt = [&](double y) { return gfx::probe(host.renderImage(), {15, y}).green > 0.9; };
    EXPECT_FALSE(greenAt(25));

    m.lift = -280;
    advance(0.01);
    EXPECT_TRUE(greenAt(25)) << "bounds kept above the changed view are found again";
    m.lift = 0;
    advance(0.01);
    EXPECT_FALSE(greenAt(25));
    withAnimation(Animation::linear(1.0), [&] { m.lift = -280; });
    advance(0.1);
    EXPECT_FALSE(greenAt(25));
    advance(0.85);
    EXPECT_TRUE(greenAt(39)) << "a glide three levels down keeps the row's bounds from being kept";
}

// One row of a long list: equal rows keep their content as it is when the list is built again.
struct ListRow {
    int index = 0;
    bool operator==(const ListRow&) const = default;
    View body() const {
        const Color c = index % 2 ? Color::rgb(0, 0, 1) : Color::rgb(1, 0, 0);
        return HStack(0, {View(c).frame(8, 10), View(c).frame(8, 10).opacity(0.9), View(c).frame(8, 10).padding(0)})
            .padding(0)
            .frame(30, 10);
    }
};

struct Selection : runtime::ObservableObject {
    runtime::Published<int> row{0, this};
};

TEST_F(RenderTest, WhatAListDrawsIsFoundInItsUpdateAndAgainOnlyWhereSomethingChanged) {
    // 200 rows of eight views each inside three of the list's own; choosing a row builds the list
    // again, every row's outer views anew around content that stays as it was.
    constexpr int kRows = 200;
    Selection sel;
    struct Screen {
        Selection* sel;
        View body() const {
            observe(*sel);
            std::vector<View> rows;
            for (int i = 0; i < kRows; ++i)
                rows.push_back(View(ListRow{i})
                                   .background(when(i == sel->row.get(), [] { return View(Color::rgb(0, 1, 0)); }))
                                   .padding(0)
                                   .id("row" + std::to_string(i)));
            return ScrollView(VStack(0, rows), false).frame(30, 50);
        }
    };
    HostingView host(Screen{&sel}, {30, 50});
    host.layoutIfNeeded();
    const auto builtWith = host.drawnBoundsFoundCount();
    EXPECT_GT(builtWith, static_cast<std::uint64_t>(kRows * 14)) << "the first update finds every row's bounds";
    auto found = [&](const std::function<void()>& step) {
        const auto before = host.drawnBoundsFoundCount();
        step();
        return host.drawnBoundsFoundCount() - before;
    };
    EXPECT_LE(found([&] { host.renderImage(2.0); }), 4u) << "a frame after an update finds next to nothing";

    sel.row = 2;
    const auto rebuilt = found([&] { host.layoutIfNeeded(); });
    EXPECT_GE(rebuilt, static_cast<std::uint64_t>(kRows));
    EXPECT_LE(rebuilt, static_cast<std::uint64_t>(kRows * 8)) << "rows' unchanged content is not walked again";
    std::optional<gfx::Image> image;
    EXPECT_LE(found([&] { image = host.renderImage(2.0); }), 4u);
    EXPECT_GT(gfx::probe(*image, {1.5, 25}).green, 0.9) << "the chosen row shows its highlight";
    EXPECT_LT(gfx::probe(*image, {1.5, 35}).green, 0.1);
}

TEST_F(RenderTest, ForegroundFollowsTheColourScheme) {
    HostingView host(View(Rectangle()).frame(10, 10), {10, 10});
    const Color light = gfx::probe(host.renderImage(), {5, 5});
    Environment dark;
    dark.colorScheme = ColorScheme::dark;
    host.setEnvironment(dark);
    const Color darkColor = gfx::probe(host.renderImage(), {5, 5});
    EXPECT_LT(light.red, 0.3);
    EXPECT_GT(darkColor.red, 0.7);
}

TEST_F(RenderTest, ProminentButtonsTextAndScales) {
    Environment env;
    HostingView host(Button("Grant Access…", [] {})
                         .buttonStyle(ButtonStyle::borderedProminent)
                         .controlSize(ControlSize::small)
                         .named("b"),
                     {200, 60});
    const Rect b = *host.frame("b");
    EXPECT_GT(b.width, 60);
    EXPECT_LT(b.height, 24);
    const auto img1 = host.renderImage(1.0);
    const auto img2 = host.renderImage(2.0);
    EXPECT_EQ(img1.pixelWidth() * 2, img2.pixelWidth());
    // The bezel is the accent colour; its corner is rounded off.
    const Color accent = env.accentColor();
    const Color edge = gfx::probe(img2, {b.x + 3, b.midY()});
    EXPECT_TRUE(gfx::colorsClose(edge, accent, 0.05));
    EXPECT_LT(gfx::probe(img2, {b.x + 0.3, b.y + 0.3}).alpha, 0.5);

    // Real text wraps at the width it is given and keeps its height when fixed vertically.
    HostingView text(Text("Shuts down the entire app and closes all of its windows.")
                         .fixedSize(false, true)
                         .frame(120)
                         .named("t"),
                     {200, 200});
    EXPECT_GT(text.frame("t")->height, 30);
    EXPECT_LE(text.frame("t")->width, 120);
}

}  // namespace
}  // namespace quillmar::ui
