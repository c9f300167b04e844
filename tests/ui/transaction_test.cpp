// Transactions: which changes animate. Writes inside withAnimation animate from the end of the
// block; writes pending from before it do not; nested blocks keep their own animations; a
// reordered list glides its rows and keeps their state.

#include <gtest/gtest.h>

#include "support/fresh_world.h"
#include "ui/ui.h"

namespace quillmar::ui {
namespace {

class TransactionTest : public quillmar::testing::FreshWorldTest {};

struct Model : runtime::ObservableObject {
    runtime::Published<double> a{0, this};
    runtime::Published<double> b{0, this};
    runtime::Published<std::vector<int>> order{{1, 2, 3}, this};
};

struct TwoBoxes {
    Model* m;
    View body() const {
        observe(*m);
        return VStack(0, {View(Color::black()).frame(10, 10).named("a").offset(m->a.get(), 0),
                          View(Color::black()).frame(10, 10).named("b").offset(m->b.get(), 0)})
            .frame(200, 20, Alignment::topLeading());
    }
};

TEST_F(TransactionTest, OnlyWritesInsideTheBlockAnimate) {
    Model m;
    HostingView host(TwoBoxes{&m}, {200, 20});
    host.layoutIfNeeded();
    m.a = 100;  // pending, not yet evaluated
    withAnimation(Animation::linear(1), [&] { m.b = 100; });
    EXPECT_EQ(host.presentedFrame("a")->x, 100);  // landed at once
    EXPECT_EQ(host.presentedFrame("b")->x, 0);    // starts moving now
    advance(0.5);
    EXPECT_NEAR(host.presentedFrame("b")->x, 50, 1e-9);

    // Nested blocks: the inner animation is used for what is written inside it.
    withAnimation(Animation::linear(2), [&] {
        m.a = 0;
        withAnimation(Animation::linear(1), [&] { m.b = 0; });
    });
    advance(0.5);
    EXPECT_NEAR(host.presentedFrame("a")->x, 75, 1e-9);
    // b was at 50 on its way to 100 when it was sent back; the two motions add up: the first
    // has arrived, the return is halfway.
    EXPECT_NEAR(host.presentedFrame("b")->x, 50, 1e-9);
    advance(2);
    EXPECT_EQ(host.presentedFrame("a")->x, 0);
    EXPECT_EQ(host.presentedFrame("b")->x, 0);

    // A transaction that disables animations.
    withTransaction(Transaction{Animation::linear(1), true}, [&] { m.a = 30; });
    EXPECT_EQ(host.presentedFrame("a")->x, 30);
}

TEST_F(TransactionTest, ReorderedListRowsGlideAndKeepTheirState) {
    Model m;
    struct Row {
        int id;
        State<int> taps{0};
        View body() const {
            auto t = taps;
            return View(Color::black()).frame(10, 10).named("row" + std::to_string(id) + "-" + std::to_string(taps.get()))
                .onTapGesture([t] { t.set(t.get() + 1); });
        }
    };
    struct List {
        Model* m;
        View body() const {
            observe(*m);
            return VStack(0, {ForEach(m->order.get(), [](int i) { return i; }, [](int i) { return Row{i}; })})
                .frame(10, 30, Alignment::top());
        }
    };
    HostingView host(List{&m}, {10, 30});
    host.click({5, 25});  // row 3
    runUntilIdle();
    ASSERT_TRUE(host.contains("row3-1"));
    withAnimation(Animation::linear(1), [&] { m.order = {3, 1, 2}; });
    EXPECT_EQ(host.frame("row3-1")->y, 0);
    EXPECT_EQ(host.presentedFrame("row3-1")->y, 20);
    advance(0.5);
    EXPECT_NEAR(host.presentedFrame("row3-1")->y, 10, 1e-9);
    EXPECT_NEAR(host.presentedFrame("row1-0")->y, 5, 1e-9);
}

TEST_F(TransactionTest, RepeatingAnimationsKeepRunningAndColoursAnimate) {
    struct Pulse {
        Model* m;
        View body() const {
            observe(*m);
            const bool on = m->a.get() > 0;
            return View(Color::white(on ? 1 : 0, 1))
                .frame(10, 10)
                .animation(Animation::linear(1).repeatForever(), on);
        }
    };
    Model m;
    HostingView host(Pulse{&m}, {10, 10});
    host.layoutIfNeeded();
    m.a = 1;
    runUntilIdle();
    advance(0.25);
    EXPECT_NEAR(host.renderImage().pixel(5, 5).red, 0.25, 0.01);
    advance(1.0);  // on its way back
    EXPECT_NEAR(host.renderImage().pixel(5, 5).red, 0.75, 0.01);
    advance(10.0);
    EXPECT_TRUE(host.isAnimating());
}

}  // namespace
}  // namespace quillmar::ui
