// Layout: frames of named views for the stack, frame, padding, alignment and overflow rules.

#include <cmath>

#include <gtest/gtest.h>

#include "support/fresh_world.h"
#include "ui/ui.h"
#include "fixed_text_measurer.h"

namespace quillmar::ui {
namespace {

class LayoutTest : public quillmar::testing::FreshWorldTest {
protected:
    std::unique_ptr<HostingView> host(View root, Size size) {
        auto h = std::make_unique<HostingView>(std::move(root), size);
        h->setTextMeasurer(std::make_shared<testing::FixedTextMeasurer>());
        return h;
    }
    static View box(const char* name, double w, double h) { return View(Color::black()).frame(w, h).named(name); }
};

void expectRect(std::optional<Rect> r, Rect expected) {
    ASSERT_TRUE(r.has_value());
    EXPECT_NEAR(r->x, expected.x, 1e-9);
    EXPECT_NEAR(r->y, expected.y, 1e-9);
    EXPECT_NEAR(r->width, expected.width, 1e-9);
    EXPECT_NEAR(r->height, expected.height, 1e-9);
}

TEST_F(LayoutTest, StacksUseDefaultAndExplicitSpacingAndCentreInTheWindow) {
    auto h = host(HStack({box("a", 10, 20), box("b", 30, 10), Spacer().frame(std::nullopt, 5), box("c", 5, 5)})
                      .frame(200, 100, Alignment::topLeading()),
                  {200, 100});
    // Default spacing: 8 between views, none next to the spacer; the spacer takes the rest.
    expectRect(h->frame("a"), {0, 0, 10, 20});
    expectRect(h->frame("b"), {18, 5, 30, 10});
    expectRect(h->frame("c"), {195, 7.5, 5, 5});

    auto v = host(VStack(HorizontalAlignment::leading, 4, {box("a", 10, 10), box("b", 30, 10)}), {100, 100});
    // The stack is 30 × 24 and centred in the window; children lean left inside it.
    expectRect(v->frame("a"), {35, 38, 10, 10});
    expectRect(v->frame("b"), {35, 52, 30, 10});
}

TEST_F(LayoutTest, SpacerMinimumAndLayoutPriorityShareTheRow) {
    const auto label = [](const char* n, const char* t) { return Text(t).lineLimit(1).named(n); };
    // 100 points for two texts of 70 and 35: the less flexible one gets its size first.
    auto h = host(HStack(0, {label("long", "0123456789"), label("short", "01234")}).frame(100, 20), {100, 20});
    EXPECT_NEAR(h->frame("short")->width, 35, 1e-9);
    EXPECT_NEAR(h->frame("long")->width, 65, 1e-9);

    // A higher layout priority is served first.
    auto p = host(HStack(0, {label("long", "0123456789"), label("short", "01234").layoutPriority(1)}).frame(60, 20),
                  {60, 20});
    EXPECT_NEAR(p->frame("short")->width, 35, 1e-9);
    EXPECT_NEAR(p->frame("long")->width, 25, 1e-9);

    // A spacer never gets shorter than its minimum, even when the row overflows.
    auto s = host(HStack(0, {box("a", 50, 10), Spacer(12).named("gap"), box("b", 50, 10)}).frame(100, 10), {100, 10});
    EXPECT_NEAR(s->frame("gap")->width, 12, 1e-9);
}

TEST_F(LayoutTest, PaddingPerEdgeAndFlexibleFramesWithAlignment) {
    auto h = host(VStack(0, {box("a", 20, 10)
                                  .padding(EdgeInsets{1, 2, 3, 4})
                                  .background(View(Color::white(0.5)).named("bg"))
                                  .frame(FlexibleFrame{.maxWidth = infinity, .alignment = Alignment::trailing()})
                                  .named("row")}),
                  {200, 100});
    expectRect(h->frame("row"), {0, 43, 200, 14});
    expectRect(h->frame("bg"), {174, 43, 26, 14});
    expectRect(h->frame("a"), {176, 44, 20, 10});

    // Flexible bounds clamp the proposal; the lower bound wins and the content is centred.
    auto m = host(box("a", 10, 10).frame(FlexibleFrame{.minWidth = 40, .maxWidth = 60, .minHeight = 30}).named("f"),
                  {100, 100});
    expectRect(m->frame("f"), {20, 35, 60, 30});
    expectRect(m->frame("a"), {45, 45, 10, 10});
}

TEST_F(LayoutTest, ContentOverflowingAFixedFrameKeepsItsSizeAndFollowsTheAlignment) {
    auto centred = host(box("a", 60, 10).frame(40, 40).named("f"), {100, 100});
    expectRect(centred->frame("f"), {30, 30, 40, 40});
    expectRect(centred->frame("a"), {20, 45, 60, 10});  // 10 points out on each side

    auto leading = host(box("a", 60, 10).frame(40, 40, Alignment::topLeading()).named("f"), {100, 100});
    expectRect(leading->frame("a"), {30, 30, 60, 10});  // 20 points out on the trailing side
}

TEST_F(LayoutTest, FixedSizeTextIgnoresTheProposalInOneAxis) {
    // Wrapping text in a narrow frame: its height follows the lines it needs.
    auto h = host(VStack(0, {Text("abcdefghij").fixedSize(false, true).named("t")}).frame(35, 10), {100, 100});
    EXPECT_NEAR(h->frame("t")->width, 35, 1e-9);
    EXPECT_NEAR(h->frame("t")->height, 32, 1e-9);
    auto w = host(Text("abcdefghij").lineLimit(1).fixedSize().frame(35, 16).named("f"), {100, 100});
    EXPECT_NEAR(w->frame("f")->width, 35, 1e-9);
}

TEST_F(LayoutTest, ZStackOverlayAndBackgroundAlign) {
    auto h = host(ZStack(Alignment::bottomTrailing(), {box("big", 50, 40), box("small", 10, 10)})
                      .overlay(box("badge", 6, 6), Alignment::topLeading()),
                  {50, 40});
    expectRect(h->frame("small"), {40, 30, 10, 10});
    expectRect(h->frame("badge"), {0, 0, 6, 6});
}

TEST_F(LayoutTest, ConditionalContentAndListsKeepTheirPlaces) {
    struct Model : runtime::ObservableObject {
        runtime::Published<bool> show{false, this};
        runtime::Published<std::vector<int>> items{{1, 2, 3}, this};
    };
    Model m;
    struct Screen {
        Model* m;
        View body() const {
            observe(*m);
            return VStack(0, {when(m->show.get(), View(Color::black()).frame(10, 10).named("extra")),
                              ForEach(m->items.get(), [](int i) { return i; },
                                      [](int i) { return View(Color::black()).frame(10, 10).named("item" + std::to_string(i)); })});
        }
    };
    auto h = host(Screen{&m}, {10, 60});
    EXPECT_FALSE(h->contains("extra"));
    EXPECT_NEAR(h->frame("item3")->y, 35, 1e-9);
    m.show = true;
    m.items = {3, 1};
    runUntilIdle();
    EXPECT_TRUE(h->contains("extra"));
    EXPECT_FALSE(h->contains("item2"));
    EXPECT_NEAR(h->frame("item3")->y, 25, 1e-9);
    EXPECT_NEAR(h->frame("item1")->y, 35, 1e-9);
}

TEST_F(LayoutTest, NamedCoordinateSpacesAndFittingSize) {
    std::optional<Rect> seen;
    auto content = VStack(0, {box("top", 50, 30),
                              View(Color::clear())
                                  .frame(20, 20)
                                  .background(GeometryReader([&](const GeometryProxy& g) {
                                      return View(Color::clear()).onAppear(
                                          [&seen, r = g.frame(CoordinateSpace::named("card"))] { seen = r; });
                                  }))})
                       .padding(5)
                       .coordinateSpace("card");
    auto h = host(content, {200, 200});
    EXPECT_EQ(h->fittingSize(), (Size{60, 60}));
    h->layoutIfNeeded();
    runUntilIdle();
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(*seen, (Rect{20, 35, 20, 20}));
}

TEST_F(LayoutTest, MeasuringHooksFollowTheLaidOutSize) {
    struct Model : runtime::ObservableObject {
        runtime::Published<int> count{2, this};
    } m;
    std::vector<Size> reported;
    struct Strip {
        Model* m;
        std::vector<Size>* reported;
        View body() const {
            observe(*m);
            auto* r = reported;
            const int n = m->count.get();
            return HStack(0, {ForEachIndex(n, [](int) { return View(Color::black()).frame(30, 20); })})
                .background(GeometryReader([r, n](const GeometryProxy& g) {
                    const Size size = g.size();
                    return View(Color::clear())
                        .onAppear([r, size] { r->push_back(size); })
                        .onChange(size, [r](const Size& s) { r->push_back(s); })
                        .onChange(n, [r, size] { r->push_back(size); });
                }));
        }
    };
    auto h = host(Strip{&m, &reported}, {200, 50});
    h->layoutIfNeeded();
    runUntilIdle();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], (Size{60, 20}));
    m.count = 3;  // a longer strip: the size changes and the count changes
    runUntilIdle();
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[1], (Size{90, 20}));
    EXPECT_EQ(reported[2], (Size{90, 20}));
    m.count = 3;  // same layout: nothing reported
    runUntilIdle();
    EXPECT_EQ(reported.size(), 3u);
}

TEST_F(LayoutTest, LayoutIsKeptWhereNothingChangedAndRedoneWhereSomethingDid) {
    struct Model : runtime::ObservableObject {
        runtime::Published<double> width{10, this};
        runtime::Published<std::string> label{"ab", this};
    } m;
    struct Left {
        Model* m;
        View body() const {
            observe(*m);
            return HStack(0, {View(Color::black()).frame(m->width.get(), 10), Text(m->label.get()).lineLimit(1)})
                .padding(2)
                .named("left");
        }
    };
    // Equal to itself, so it is not evaluated again; a reader inside reports where it is drawn.
    struct Right {
        int* evaluations;
        std::vector<Rect>* seen;
        View body() const {
            ++*evaluations;
            auto* s = seen;
            return View(Color::black()).frame(20, 10).background(GeometryReader([s](const GeometryProxy& g) {
                const Rect r = g.frame(CoordinateSpace::global());
                return View(Color::clear()).onAppear([s, r] { s->push_back(r); }).onChange(r, [s](const Rect& x) {
                    s->push_back(x);
                });
            }));
        }
        bool operator==(const Right&) const { return true; }
    };
    int evaluations = 0;
    std::vector<Rect> seen;
    // The right box sits at the top of a stack of its own: when the row moves it, its frame in
    // that stack stays the same.
    auto h = host(HStack(0, {Left{&m}, VStack(0, {Right{&evaluations, &seen}}).named("right")})
                      .frame(200, 30, Alignment::topLeading()),
                  {200, 30});
    h->layoutIfNeeded();
    runUntilIdle();
    // 10 + 2 × 7 (text) + 4 (padding); the row is as tall as the padded text.
    expectRect(h->frame("right"), {28, 5, 20, 10});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen.back(), (Rect{28, 5, 20, 10}));

    // A change deep in the left subtree sizes the row again and moves what follows it; the
    // reader of the unchanged right subtree sees the move although its own frame did not change.
    m.width = 30;
    runUntilIdle();
    EXPECT_EQ(h->frame("left")->width, 48);
    expectRect(h->frame("right"), {48, 5, 20, 10});
    EXPECT_EQ(evaluations, 1);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen.back(), (Rect{48, 5, 20, 10}));

    // A change that leaves the right box where it was, then one that moves it again.
    m.width = 37;
    m.label = "a";
    runUntilIdle();
    expectRect(h->frame("right"), {48, 5, 20, 10});
    m.label = "abcd";
    runUntilIdle();
    expectRect(h->frame("right"), {69, 5, 20, 10});
    EXPECT_EQ(seen.back(), (Rect{69, 5, 20, 10}));

    // Another text measurer measures every text again, changed or not.
    struct Wide final : TextMeasurer {
        Size measure(const std::string& text, const TextStyle&, std::optional<double>) override {
            return {10.0 * static_cast<double>(text.size()), 10};
        }
    };
    h->setTextMeasurer(std::make_shared<Wide>());
    runUntilIdle();
    EXPECT_EQ(h->frame("right")->x, 81);
    EXPECT_EQ(evaluations, 1);
    EXPECT_EQ(seen.back().x, 81);
}

TEST_F(LayoutTest, BadNumbersAreContained) {
    const double nan = std::nan("");
    auto h = host(VStack(nan, {View(Color::black()).frame(nan, infinity).named("a"),
                               View(Color::black()).frame(-5, 10).padding(nan).offset(nan, infinity).named("b"),
                               Spacer(nan),
                               View(Color::black()).frame(FlexibleFrame{.minWidth = nan, .maxWidth = -3}).named("c")})
                      .opacity(nan)
                      .scaleEffect(nan),
                  {100, 100});
    for (const char* n : {"a", "b", "c"}) {
        ASSERT_TRUE(h->frame(n).has_value()) << n;
        EXPECT_TRUE(h->frame(n)->isFinite()) << n;
        EXPECT_GE(h->frame(n)->width, 0) << n;
    }
    EXPECT_EQ(h->frame("b")->width, 0);
    h->setSize({nan, 10});
    EXPECT_EQ(h->size(), (Size{100, 100}));
    const auto image = h->renderImage(nan);
    EXPECT_EQ(image.pixelWidth(), 100);
}

TEST_F(LayoutTest, SpacersOutsideStacksAndIdealSizes) {
    // A spacer on its own stretches both ways; a stack's ideal size is its children's.
    auto h = host(ZStack({Spacer().named("s"), View(Color::black()).frame(10, 10)}), {80, 60});
    EXPECT_EQ(*h->frame("s"), (Rect{0, 0, 80, 60}));
    auto panel = host(VStack(HorizontalAlignment::leading, 6,
                             {Text("Calibration"), HStack({Text("Scrub Speed"), Spacer(), View(Color::black()).frame(148, 20)})})
                          .padding(16),
                      {400, 400});
    // Ideal: the row is 77 + 8 (spacer minimum) + 148 wide, the column 16 + 6 + 20 high.
    EXPECT_EQ(panel->fittingSize(), (Size{77 + 8 + 148 + 32, 16 + 6 + 20 + 32}));
}

}  // namespace
}  // namespace quillmar::ui
