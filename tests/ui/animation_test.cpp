// Animations on the main loop's virtual clock: curves, transactions, implicit animations,
// matched-geometry glides and transitions, read back as exact values at given times.

#include <cmath>

#include <gtest/gtest.h>

#include "support/fresh_world.h"
#include "gfx/draw_recorder.h"
#include "support/image_compare.h"
#include "ui/animated_vector.h"
#include "ui/ui.h"

namespace quillmar::ui {
namespace {

class AnimationTest : public quillmar::testing::FreshWorldTest {};

TEST_F(AnimationTest, CurvesHaveTheirShapes) {
    const auto ease = Animation::easeInOut(1.0);
    EXPECT_NEAR(ease.progress(0.5), 0.5, 1e-9);
    EXPECT_LT(ease.progress(0.25), 0.25);
    EXPECT_GT(ease.progress(0.75), 0.75);
    EXPECT_EQ(ease.progress(1.0), 1.0);
    EXPECT_NEAR(Animation::linear(2).progress(0.5), 0.25, 1e-12);
    EXPECT_GT(Animation::easeOut(1).progress(0.3), 0.3);
    EXPECT_EQ(Animation::linear(1).delay(0.5).progress(0.4), 0.0);
    EXPECT_NEAR(Animation::linear(1).delay(0.5).progress(1.0), 0.5, 1e-12);

    // An under-damped spring overshoots, then settles exactly.
    const auto spring = Animation::spring(0.3, 0.5);
    double peak = 0;
    for (double t = 0; t < 1; t += 0.005) peak = std::max(peak, spring.progress(t));
    EXPECT_GT(peak, 1.1);
    EXPECT_TRUE(spring.isFinished(spring.duration()));
    EXPECT_EQ(spring.progress(spring.duration() + 0.01), 1.0);
    // Critically damped: no overshoot, and the closed form 1 − e^(−ωt)(1 + ωt).
    const auto critical = Animation::spring(0.5, 1.0);
    const double w = 2 * 3.14159265358979323846 / 0.5;
    EXPECT_NEAR(critical.progress(0.1), 1 - std::exp(-w * 0.1) * (1 + w * 0.1), 1e-12);
    for (double t = 0; t < 2; t += 0.01) EXPECT_LE(critical.progress(t), 1.0);

    // Repeating forever with autoreverse runs the curve back on odd cycles.
    const auto pulse = Animation::linear(1).repeatForever();
    EXPECT_NEAR(pulse.progress(0.25), 0.25, 1e-12);
    EXPECT_NEAR(pulse.progress(1.25), 0.75, 1e-12);
    EXPECT_NEAR(pulse.progress(2.25), 0.25, 1e-12);
    EXPECT_FALSE(pulse.isFinished(100));
    EXPECT_NEAR(Animation::linear(1).repeatForever(false).progress(1.25), 0.25, 1e-12);
}

TEST_F(AnimationTest, RetargetingMidwayIsContinuous) {
    AnimatedVector v;
    v.setImmediate({0});
    v.animateTo({100}, Animation::linear(1), 0);
    EXPECT_NEAR(v.value(0.5, 0), 50, 1e-9);
    v.animateTo({0}, Animation::linear(1), 0.5);  // back, from where it is
    EXPECT_NEAR(v.value(0.5, 0), 50, 1e-9);
    EXPECT_NEAR(v.value(1.5, 0), 0, 1e-9);
    v.animateTo({30}, std::nullopt, 2);  // no animation: a jump
    EXPECT_EQ(v.value(2, 0), 30);
    EXPECT_FALSE(v.isAnimating(2));
}

struct Model : runtime::ObservableObject {
    runtime::Published<double> x{0, this};
    runtime::Published<bool> flag{false, this};
    runtime::Published<int> selected{0, this};
};

// A 10 x 10 black row, named "row", shown while the model's flag is on, coming and going with `transition`.
struct RowScreen {
    Model* m;
    Transition transition;
    View body() const {
        observe(*m);
        return ZStack({View(Color::clear()).frame(10, 10),
                       when(m->flag.get(), View(Color::black()).frame(10, 10).named("row").transition(transition))});
    }
};

TEST_F(AnimationTest, WithAnimationMovesFramesOnTheMainLoopClock) {
    Model m;
    struct Screen {
        Model* m;
        View body() const {
            observe(*m);
            return HStack(0, {Spacer(0).frame(m->x.get(), 10), View(Color::black()).frame(10, 10).named("box"),
                              Spacer(0)})
                .frame(200, 10);
        }
    };
    HostingView host(Screen{&m}, {200, 10});
    EXPECT_EQ(host.presentedFrame("box")->x, 0);
    withAnimation(Animation::linear(1.0), [&] { m.x = 100; });
    EXPECT_EQ(host.frame("box")->x, 100);  // layout is final at once
    EXPECT_EQ(host.presentedFrame("box")->x, 0);
    advance(0.25);
    EXPECT_NEAR(host.presentedFrame("box")->x, 25, 1e-9);
    advance(0.75);
    EXPECT_NEAR(host.presentedFrame("box")->x, 100, 1e-9);
    EXPECT_FALSE(host.isAnimating());

    // Outside withAnimation the change lands at once on the next turn.
    m.x = 40;
    runUntilIdle();
    EXPECT_EQ(host.presentedFrame("box")->x, 40);

    // A spring: exact value at a given time, settled afterwards.
    const auto spring = Animation::spring(0.17, 0.88, 0.03);
    withAnimation(spring, [&] { m.x = 140; });
    advance(0.05);
    EXPECT_NEAR(host.presentedFrame("box")->x, 40 + 100 * spring.progress(0.05), 1e-9);
    advance(1.0);
    EXPECT_EQ(host.presentedFrame("box")->x, 140);
}

TEST_F(AnimationTest, ImplicitAnimationFollowsItsValueOnly) {
    Model m;
    struct Screen {
        Model* m;
        View body() const {
            observe(*m);
            return View(Color::black())
                .frame(10, 10)
                .named("box")
                .opacity(m->flag.get() ? 0.2 : 1.0)
                .offset(m->x.get(), 0)
                .animation(Animation::linear(1), m->flag.get())
                .named("outer");
        }
    };
    HostingView host(Screen{&m}, {200, 10});
    host.layoutIfNeeded();
    m.flag = true;  // keyed value changes: opacity animates
    runUntilIdle();
    advance(0.5);
    EXPECT_NEAR(*host.presentedOpacity("box"), 0.6, 1e-9);
    advance(0.5);
    m.x = 50;  // another change: no animation
    runUntilIdle();
    EXPECT_NEAR(host.presentedFrame("box")->x, 145, 1e-9);
    EXPECT_NEAR(*host.presentedOpacity("box"), 0.2, 1e-9);
}

TEST_F(AnimationTest, MatchedGeometryHighlightGlidesBetweenCells) {
    Model m;
    struct Bar {
        Model* m;
        Namespace ns{};
        View body() const {
            observe(*m);
            // The highlight leaves its cell by itself, not with a removed cell: glided from.
            const MatchedGeometryOptions options{.glidesFromRemovedContainer = false};
            std::vector<int> cells{0, 1, 2};
            return HStack(0, {ForEach(cells, [](int i) { return i; },
                                      [&](int i) {
                                          const bool selected = i == m->selected.get();
                                          return View(Color::clear())
                                              .frame(i == 2 ? 60 : 40, 20)
                                              .background(when(selected, RoundedRectangle(6)
                                                                             .fill(Color::white(0, 0.2))
                                                                             .named("highlight")
                                                                             .matchedGeometryEffect("highlight", ns, options)));
                                      })})
                .animation(Animation::linear(1), m->selected.get());
        }
    };
    HostingView host(Bar{&m}, {140, 20});
    EXPECT_EQ(*host.presentedFrame("highlight"), (Rect{0, 0, 40, 20}));
    m.selected = 2;
    runUntilIdle();
    EXPECT_EQ(host.frames("highlight").size(), 1u);  // one source: the old one is gone at once
    EXPECT_EQ(*host.frame("highlight"), (Rect{80, 0, 60, 20}));
    EXPECT_EQ(*host.presentedFrame("highlight"), (Rect{0, 0, 40, 20}));
    advance(0.5);
    EXPECT_EQ(*host.presentedFrame("highlight"), (Rect{40, 0, 50, 20}));
    EXPECT_EQ(*host.presentedOpacity("highlight"), 1.0);  // glides, does not fade
    advance(0.5);
    EXPECT_EQ(*host.presentedFrame("highlight"), (Rect{80, 0, 60, 20}));
    // The glide is drawn: the highlight's colour is halfway along at the halfway time.
    m.selected = 0;
    runUntilIdle();
    advance(0.5);
    const auto image = host.renderImage(1.0);
    EXPECT_GT(gfx::probe(image, {60, 10}).alpha, 0.1);
    EXPECT_LT(gfx::probe(image, {5, 10}).alpha, 0.01);
}

TEST_F(AnimationTest, MatchedIconsMorphBetweenTwoLayouts) {
    Model m;
    struct Bar {
        Model* m;
        Namespace ns{};
        View icon(int i) const {
            return View(Color::black()).named("icon" + std::to_string(i)).matchedGeometryEffect("icon" + std::to_string(i), ns);
        }
        View body() const {
            observe(*m);
            const bool vertical = m->flag.get();
            return ifElse(vertical,
                          VStack(0, {ForEachIndex(2, [&](int i) { return icon(i).frame(12, 12); })}),
                          HStack(0, {ForEachIndex(2, [&](int i) { return icon(i).frame(28, 28); })}))
                .animation(Animation::linear(1), vertical)
                .frame(100, 100, Alignment::topLeading());
        }
    };
    HostingView host(Bar{&m}, {100, 100});
    EXPECT_EQ(*host.presentedFrame("icon1"), (Rect{28, 0, 28, 28}));
    m.flag = true;
    runUntilIdle();
    EXPECT_EQ(*host.frame("icon1"), (Rect{0, 12, 12, 12}));
    EXPECT_EQ(host.frames("icon1").size(), 1u);  // the strip's icon stopped drawing
    advance(0.5);
    EXPECT_EQ(*host.presentedFrame("icon1"), (Rect{14, 6, 20, 20}));
    advance(0.5);
    EXPECT_EQ(*host.presentedFrame("icon1"), (Rect{0, 12, 12, 12}));
}

TEST_F(AnimationTest, InsertionAndRemovalTransitions) {
    Model m;
    HostingView host(RowScreen{&m, Transition::scale(0.5).combined(Transition::opacity())}, {10, 10});
    withAnimation(Animation::linear(1), [&] { m.flag = true; });
    EXPECT_NEAR(*host.presentedOpacity("row"), 0.0, 1e-9);
    EXPECT_NEAR(host.presentedFrame("row")->width, 5, 1e-9);
    advance(0.5);
    EXPECT_NEAR(*host.presentedOpacity("row"), 0.5, 1e-9);
    EXPECT_NEAR(host.presentedFrame("row")->width, 7.5, 1e-9);
    advance(0.5);
    EXPECT_NEAR(*host.presentedOpacity("row"), 1.0, 1e-9);

    withAnimation(Animation::linear(1), [&] { m.flag = false; });
    // Out of the tree at once, still drawn while it shrinks and fades, then gone.
    EXPECT_FALSE(host.contains("row"));
    advance(0.5);
    EXPECT_NEAR(host.renderImage().pixel(5, 5).alpha, 0.5, 0.02);
    EXPECT_LT(host.renderImage().pixel(0, 0).alpha, 0.01);
    advance(0.6);
    EXPECT_LT(host.renderImage().pixel(5, 5).alpha, 0.01);
    EXPECT_FALSE(host.isAnimating());

    m.flag = true;  // without an animation: at once
    runUntilIdle();
    EXPECT_EQ(*host.presentedOpacity("row"), 1.0);
}

TEST_F(AnimationTest, ReinsertingWhileTheOldViewFadesOutMakesANewView) {
    Model m;
    m.flag = true;
    HostingView host(RowScreen{&m, Transition::asymmetric(Transition::offset(0, -10), Transition::opacity())}, {10, 10});
    host.layoutIfNeeded();
    withAnimation(Animation::linear(1), [&] { m.flag = false; });
    advance(0.5);
    withAnimation(Animation::linear(1), [&] { m.flag = true; });
    // The new one slides in from above while the old one keeps fading where it was.
    EXPECT_NEAR(host.presentedFrame("row")->y, -10, 1e-9);
    EXPECT_NEAR(*host.presentedOpacity("row"), 1, 1e-9);
    advance(0.5);
    EXPECT_NEAR(host.presentedFrame("row")->y, -5, 1e-9);
    advance(0.6);
    EXPECT_FALSE(host.isAnimating());
    EXPECT_EQ(host.frames("row").size(), 1u);
}

TEST_F(AnimationTest, AViewWithoutAnInsertionEffectIsThereAtOnceAndStillLeavesWithItsRemoval) {
    Model m;
    HostingView host(RowScreen{&m, Transition::asymmetric(Transition::identity(), Transition::opacity())}, {10, 10});
    host.layoutIfNeeded();
    withAnimation(Animation::linear(1), [&] { m.flag = true; });
    ASSERT_TRUE(host.presentedOpacity("row"));
    EXPECT_NEAR(*host.presentedOpacity("row"), 1, 1e-9);
    EXPECT_NEAR(gfx::probe(host.renderImage(1.0), {5, 5}).alpha, 1, 0.01);
    withAnimation(Animation::linear(1), [&] { m.flag = false; });
    advance(0.5);
    EXPECT_NEAR(gfx::probe(host.renderImage(1.0), {5, 5}).alpha, 0.5, 0.02);
    advance(0.6);
    EXPECT_NEAR(gfx::probe(host.renderImage(1.0), {5, 5}).alpha, 0, 0.01);
}

TEST_F(AnimationTest, PausedTimelineKeepsItsContent) {
    int evaluations = 0;
    HostingView host(TimelineView(1.0 / 30, [&](const TimelineContext& c) {
                         ++evaluations;
                         EXPECT_GT(c.mediaTime, 0);
                         return View(Color::black());
                     }, true),
                     {10, 10});
    host.layoutIfNeeded();
    advance(1.0);
    EXPECT_EQ(evaluations, 1);
}

TEST_F(AnimationTest, TimelineRedrawsAtSixtyHertzWhileOnScreen) {
    int evaluations = 0;
    HostingView host(TimelineView(1.0 / 60, [&](const TimelineContext&) {
                         ++evaluations;
                         return View(Color::black());
                     }),
                     {10, 10});
    host.layoutIfNeeded();
    const int first = evaluations;
    advance(1.0);
    EXPECT_NEAR(evaluations - first, 60, 1);
    host.setRootView(View(Color::black()));
    runUntilIdle();
    const int afterRemoval = evaluations;
    advance(1.0);
    EXPECT_EQ(evaluations, afterRemoval);
    EXPECT_EQ(loop().pendingTimerCount(), 0u);  // the frame clock stops when nothing moves
}

TEST_F(AnimationTest, ImagesAreMarkedInMotionOnlyWhileAnAnimationMovesOrScalesThem) {
    Model m;
    gfx::Image bitmap = gfx::Image::create(8, 8);
    struct Screen {
        Model* m;
        gfx::Image bitmap;
        View body() const {
            observe(*m);
            auto icon = [&] { return Image(bitmap).resizable().frame(20, 20); };
            // One scaled, one slid by its frame, and one that stays put.
            return VStack(0, {icon().scaleEffect(m->flag.get() ? 1.0 : 0.5),
                              HStack(0, {Spacer(0).frame(m->x.get(), 20), icon(), Spacer(0)}).frame(200, 20), icon()})
                .frame(200, 140, Alignment::topLeading());
        }
    };
    HostingView host(Screen{&m, bitmap}, {200, 140});
    auto motion = [&] {
        auto recorder = gfx::DrawRecorder::make({200, 140}, 2.0);
        auto ctx = gfx::DrawRecorder::contextFor(recorder);
        host.draw(ctx);
        std::vector<bool> out;
        for (const auto& r : recorder->ofOp(gfx::DrawRecord::Op::image)) out.push_back(r.inMotion);
        return out;
    };
    EXPECT_EQ(motion(), (std::vector<bool>{false, false, false}));
    withAnimation(Animation::linear(1.0), [&] { m.flag = true; });
    advance(0.5);
    EXPECT_EQ(motion(), (std::vector<bool>{true, false, false})) << "the scale runs";
    advance(0.6);
    withAnimation(Animation::linear(1.0), [&] { m.x = 50; });
    advance(0.5);
    EXPECT_EQ(motion(), (std::vector<bool>{false, true, false})) << "the frame slides";
    advance(0.6);
    EXPECT_EQ(motion(), (std::vector<bool>{false, false, false})) << "everything has settled";
}

}  // namespace
}  // namespace quillmar::ui
