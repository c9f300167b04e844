// Input: hit testing with content shapes and disabled or pass-through regions, taps, hover,
// continuous hover, slider drags, toggles, keys, tooltips and scrolling to an id.

#include <gtest/gtest.h>

#include "support/fresh_world.h"
#include "ui/ui.h"

namespace quillmar::ui {
namespace {

class InteractionTest : public quillmar::testing::FreshWorldTest {};

TEST_F(InteractionTest, HitTestingRespectsShapesOrderAndSwitches) {
    std::vector<std::string> taps;
    auto tap = [&](std::string s) { return [&taps, s] { taps.push_back(s); }; };
    auto root = ZStack(Alignment::topLeading(),
                       {View(Color::white(1)).frame(100, 100).onTapGesture(tap("back")),
                        // A clear shape takes no hits...
                        View(Color::clear()).frame(20, 20).onTapGesture(tap("clear")),
                        // ...unless given a content shape.
                        View(Color::clear()).frame(20, 20).contentShape(Rectangle()).onTapGesture(tap("shaped")).offset(30, 0),
                        // A circle takes hits inside the circle only.
                        Circle().fill(Color::black()).frame(20, 20).onTapGesture(tap("circle")).offset(60, 0),
                        // Hit testing off lets the back take the tap; disabled swallows it.
                        View(Color::black()).frame(20, 20).onTapGesture(tap("ghost")).allowsHitTesting(false).offset(0, 30),
                        View(Color::black()).frame(20, 20).onTapGesture(tap("off")).disabled(true).offset(30, 30)});
    HostingView host(root, {100, 100});
    for (Point p : {Point{5, 5}, Point{35, 5}, Point{70, 10}, Point{61, 1}, Point{5, 35}, Point{35, 35}}) host.click(p);
    EXPECT_EQ(taps, (std::vector<std::string>{"back", "shaped", "circle", "back", "back"}));
}

TEST_F(InteractionTest, PressesCompleteOnlyOverTheTarget) {
    int taps = 0;
    HostingView host(Button([&] { ++taps; }, View(Color::black()).frame(40, 20)).named("b"), {100, 100});
    host.pointerDown({50, 50});
    host.pointerUp({90, 90});  // released elsewhere: cancelled
    host.click({50, 50});
    EXPECT_EQ(taps, 1);
}

TEST_F(InteractionTest, HoverReportsEnterExitAndContinuousLocation) {
    std::vector<std::string> log;
    auto row = HStack(0, {View(Color::black()).frame(50, 50).onHover([&](bool in) { log.push_back(in ? "A+" : "A-"); }),
                          View(Color::black()).frame(50, 50).onContinuousHover([&](const HoverPhase& p) {
                              log.push_back(p.active ? "B@" + std::to_string(int(p.location.x)) : "B-");
                          })});
    HostingView host(row, {100, 50});
    host.pointerMoved({10, 10});
    host.pointerMoved({20, 10});
    host.pointerMoved({60, 10});  // straight from A to B: A exits before B enters
    host.pointerMoved({75, 10});
    host.pointerExited();
    EXPECT_EQ(log, (std::vector<std::string>{"A+", "A-", "B@10", "B@25", "B-"}));
}

TEST_F(InteractionTest, SliderSnapsWritesToTheGridAndNeverWritesBackADisplayedValue) {
    EXPECT_DOUBLE_EQ(sliderSnap(1.23, 0.5, 2.5, 0.1), 1.2);
    EXPECT_DOUBLE_EQ(sliderSnap(217, 40, 220, 5), 215);
    EXPECT_DOUBLE_EQ(sliderSnap(219, 40, 220, 5), 220);
    EXPECT_DOUBLE_EQ(sliderSnap(9.9, 0, 10, 3), 9);  // the grid stops short of the upper bound
    EXPECT_DOUBLE_EQ(sliderSnap(std::nan(""), 0, 10, 1), 0);

    double value = 300;  // outside 40 ... 220, e.g. read from the user defaults
    std::vector<double> writes;
    Binding<double> b([&] { return value; }, [&](const double& v) {
        value = v;
        writes.push_back(v);
    });
    HostingView host(Slider(b, 40, 220, 5).frame(200, std::nullopt), {200, 20});
    host.layoutIfNeeded();
    runUntilIdle();
    host.renderImage();
    EXPECT_TRUE(writes.empty());  // shown pinned at the end, not written
    host.click({190, 10});        // pressing the knob moves nothing
    EXPECT_TRUE(writes.empty());
    host.drag({190, 10}, {100, 10}, 12);  // a drag writes snapped values, one per step crossed
    ASSERT_FALSE(writes.empty());
    for (double w : writes) {
        EXPECT_GE(w, 40);
        EXPECT_LE(w, 220);
        EXPECT_EQ(std::fmod(w - 40, 5), 0);
    }
    for (std::size_t i = 1; i < writes.size(); ++i) EXPECT_NE(writes[i], writes[i - 1]);
    EXPECT_NEAR(value, 40 + 180 * (90.0 / 180), 5);
    writes.clear();
    host.click({10, 10});  // a click on the track jumps there
    EXPECT_EQ(writes, (std::vector<double>{40}));
}

TEST_F(InteractionTest, ToggleKeysAndTooltips) {
    bool on = false;
    Binding<bool> b([&] { return on; }, [&](const bool& v) { on = v; });
    std::vector<std::string> keys;
    auto root = HStack({Toggle("Quillmar", b).labelsHidden().help("Quillmar is Paused"),
                        View(Color::black()).frame(20, 20).onKeyPress([&](const KeyEvent& e) {
                            keys.push_back(e.characters);
                            return e.characters == "w";
                        })});
    HostingView host(root, {100, 40});
    HostingView other(View(Color::black()), {10, 10});
    const auto tree = host.accessibilityTree();
    ASSERT_NE(tree.find("Quillmar"), nullptr);
    host.click(tree.find("Quillmar")->frame.center());
    EXPECT_TRUE(on);
    EXPECT_EQ(host.tooltip(host.accessibilityTree().find("Quillmar")->frame.center()), "Quillmar is Paused");
    EXPECT_EQ(host.tooltips().size(), 1u);
    other.makeKey();
    EXPECT_FALSE(HostingView::sendKeyToKeyWindow(KeyEvent{13, "w", {}, false}));
    host.makeKey();
    EXPECT_TRUE(HostingView::sendKeyToKeyWindow(KeyEvent{13, "w", {}, false}));
    EXPECT_FALSE(HostingView::sendKeyToKeyWindow(KeyEvent{12, "q", {}, false}));
    EXPECT_EQ(keys, (std::vector<std::string>{"w", "q"}));
}

TEST_F(InteractionTest, ScrollViewScrollsAnIdToTheCentreAnimatedOrNot) {
    std::optional<ScrollViewProxy> proxy;
    auto list = ScrollViewReader([&](const ScrollViewProxy& p) {
        proxy = p;
        return ScrollView(VStack(0, {ForEachIndex(20, [](int i) {
                              return View(Color::black()).frame(100, 30).named("row" + std::to_string(i));
                          })}),
                          false)
            .frame(100, 150);
    });
    HostingView host(list, {100, 150});
    host.layoutIfNeeded();
    ASSERT_TRUE(proxy);
    EXPECT_TRUE(proxy->scrollTo(17, UnitPoint::center()));
    // Row 17 spans 510 ... 540: its centre goes to the middle (75), offset 450 of at most 450.
    EXPECT_NEAR(host.presentedFrame("row17")->y, 510 - 450, 1e-9);
    withAnimation(Animation::linear(1), [&] { proxy->scrollTo(5, UnitPoint::center()); });
    // Row 5 centre 165 → offset 90; halfway there after half a second.
    advance(0.5);
    EXPECT_NEAR(host.presentedFrame("row5")->y, 150 - (450 + 90) / 2.0, 1e-9);
    advance(0.5);
    EXPECT_NEAR(host.presentedFrame("row5")->y, 150 - 90, 1e-9);
    EXPECT_EQ(host.nameAt({50, 75}), "row5");
    EXPECT_FALSE(proxy->scrollTo(99));
}

TEST_F(InteractionTest, WheelScrollsClampedAndHitsStayInsideTheViewport) {
    int taps = 0;
    auto list = VStack(0, {ScrollView(VStack(0, {ForEachIndex(10, [](int i) {
                                          return View(Color::black()).frame(50, 20).named("r" + std::to_string(i));
                                      })}))
                               .frame(50, 60),
                           View(Color::white(1)).frame(50, 20).onTapGesture([&] { ++taps; }).named("below")});
    HostingView host(list, {50, 80});
    host.scrollWheel({25, 30}, 30);
    EXPECT_EQ(host.presentedFrame("r2")->y, 10);
    EXPECT_EQ(host.nameAt({25, 30}), "r3");
    host.scrollWheel({25, 30}, 1000);  // clamped to the end: 200 − 60
    EXPECT_EQ(host.presentedFrame("r9")->y, 40);
    // Content scrolled out of the viewport takes no hits: the row below does.
    host.click({25, 70});
    EXPECT_EQ(taps, 1);
    host.scrollWheel({25, 70}, -50);  // outside any scroll view: nothing moves
    EXPECT_EQ(host.presentedFrame("r9")->y, 40);
}

TEST_F(InteractionTest, HoverSkipsDisabledAndPassThroughViews) {
    std::vector<std::string> log;
    auto row = HStack(0, {View(Color::black()).frame(20, 20).onHover([&](bool in) { log.push_back(in ? "A+" : "A-"); }).disabled(),
                          View(Color::black()).frame(20, 20).onHover([&](bool in) { log.push_back(in ? "B+" : "B-"); })
                              .allowsHitTesting(false),
                          View(Color::black()).frame(20, 20).onHover([&](bool in) { log.push_back(in ? "C+" : "C-"); })
                              .scaleEffect(2)});
    HostingView host(row, {60, 20});
    host.pointerMoved({10, 10});
    host.pointerMoved({30, 10});
    host.pointerMoved({38, 10});  // C is drawn twice as large: its hover region grows with it
    host.pointerExited();
    EXPECT_EQ(log, (std::vector<std::string>{"C+", "C-"}));
}

TEST_F(InteractionTest, ButtonsRunTheirActionOnceAndNotWhenDisabled) {
    int plain = 0, prominent = 0;
    auto root = VStack(0, {Button("Preview", [&] { ++plain; }).named("plain"),
                           Button("Grant Access…", [&] { ++prominent; })
                               .buttonStyle(ButtonStyle::borderedProminent)
                               .controlSize(ControlSize::small)
                               .named("prominent")});
    HostingView host(root, {200, 100});
    host.click(host.frame("plain")->center());
    host.click(host.frame("prominent")->center());
    EXPECT_EQ(plain, 1);
    EXPECT_EQ(prominent, 1);
    host.setRootView(root.disabled());
    host.click(host.frame("plain")->center());
    EXPECT_EQ(plain, 1);
}

TEST_F(InteractionTest, HitsAndDragsFollowDrawingTransforms) {
    std::vector<Point> drags;
    // A 40 × 10 bar turned a quarter turn about its centre, then moved right by 50.
    auto bar = View(Color::black())
                   .frame(40, 10)
                   .named("bar")
                   .onDragGesture([&](const DragValue& d) { drags.push_back(d.location); }, {})
                   .rotationEffect(Angle::degrees(90))
                   .offset(50, 0);
    HostingView host(bar.frame(100, 100, Alignment::topLeading()), {100, 100});
    EXPECT_EQ(host.nameAt({5, 5}), std::nullopt);  // where it is laid out, nothing is drawn
    EXPECT_EQ(host.nameAt({70, 16}), "bar");       // where it is drawn, it takes the hit
    host.pointerDown({70, 16});
    host.pointerMoved({70, 20});
    host.pointerUp({70, 20});
    ASSERT_EQ(drags.size(), 2u);
    // In the bar's own coordinates: turned clockwise, 11 points below its centre is 11 points
    // right of it (x 31 of 40), at mid height; 4 points further down is 4 further along.
    EXPECT_NEAR(drags[0].x, 31, 1e-9);
    EXPECT_NEAR(drags[0].y, 5, 1e-9);
    EXPECT_NEAR(drags[1].x, 35, 1e-9);
    const Rect drawn = *host.presentedFrame("bar");
    EXPECT_NEAR(drawn.width, 10, 1e-9);
    EXPECT_NEAR(drawn.height, 40, 1e-9);
}

TEST_F(InteractionTest, SliderReportsEditingAndIgnoresInputWhileDisabled) {
    double value = 1.0;
    std::vector<bool> editing;
    Binding<double> b([&] { return value; }, [&](const double& v) { value = v; });
    auto slider = [&](bool disabled) {
        return Slider(b, 0.5, 2.5, 0.1, [&](bool e) { editing.push_back(e); }).frame(200).disabled(disabled);
    };
    HostingView host(slider(false), {200, 20});
    host.drag({100, 10}, {140, 10}, 4);
    EXPECT_EQ(editing, (std::vector<bool>{true, false}));
    EXPECT_GT(value, 1.0);
    const double before = value;
    host.setRootView(slider(true));
    host.drag({20, 10}, {10, 10}, 4);
    EXPECT_EQ(value, before);
    EXPECT_EQ(editing.size(), 2u);
    // Assistive adjustments step along the grid and stop at the ends.
    host.setRootView(slider(false));
    value = 2.45;
    auto tree = host.accessibilityTree();
    const auto sliders = tree.findAll([](const AccessibilityElement& e) { return e.role == "slider"; });
    ASSERT_EQ(sliders.size(), 1u);
    sliders[0]->increment();
    EXPECT_DOUBLE_EQ(value, 2.5);
    sliders[0]->increment();
    EXPECT_DOUBLE_EQ(value, 2.5);
}

TEST_F(InteractionTest, ScrollToWithoutAnchorMovesAsLittleAsNeeded) {
    std::optional<ScrollViewProxy> proxy;
    HostingView host(ScrollViewReader([&](const ScrollViewProxy& p) {
                         proxy = p;
                         return ScrollView(VStack(0, {ForEachIndex(10, [](int i) {
                                               return View(Color::black()).frame(50, 20).id(i).named("r" + std::to_string(i));
                                           })}))
                             .frame(50, 60);
                     }),
                     {50, 60});
    host.layoutIfNeeded();
    proxy->scrollTo(4);  // 80 ... 100 must end at the bottom edge: offset 40
    EXPECT_EQ(host.presentedFrame("r4")->y, 40);
    proxy->scrollTo(3);  // already fully visible: no move
    EXPECT_EQ(host.presentedFrame("r4")->y, 40);
    proxy->scrollTo(0);
    EXPECT_EQ(host.presentedFrame("r0")->y, 0);
}

TEST_F(InteractionTest, KeyRoutingForgetsAClosedWindow) {
    int handled = 0;
    {
        HostingView host(View(Color::black()).onKeyPress([&](const KeyEvent&) { return ++handled > 0; }), {10, 10});
        host.makeKey();
        EXPECT_TRUE(host.isKey());
        EXPECT_TRUE(HostingView::sendKeyToKeyWindow(KeyEvent{53, "\x1b", {}, false}));
    }
    EXPECT_FALSE(HostingView::sendKeyToKeyWindow(KeyEvent{53, "\x1b", {}, false}));
    EXPECT_EQ(handled, 1);
}

}  // namespace
}  // namespace quillmar::ui
