// Evaluation: state kept by identity, observation coalesced per main-loop turn, equatable
// components skipped, environment, and lifecycle hooks.

#include <gtest/gtest.h>

#include "platform/accessibility_display_options.h"
#include "runtime/notification_center.h"
#include "support/fresh_world.h"
#include "ui/ui.h"

namespace quillmar::ui {
namespace {

class StateTest : public quillmar::testing::FreshWorldTest {};

struct Model : runtime::ObservableObject {
    runtime::Published<int> selected{0, this};
    runtime::Published<int> count{3, this};
    runtime::Published<bool> show{true, this};
};

TEST_F(StateTest, LocalStateLivesAsLongAsTheViewsIdentity) {
    Model m;
    struct Counter {
        std::string name;
        State<int> taps{0};
        View body() const {
            auto t = taps;
            return View(Color::black()).frame(10, 10).named(name + std::to_string(taps.get())).onTapGesture([t] {
                t.set(t.get() + 1);
            });
        }
    };
    struct Screen {
        Model* m;
        View body() const {
            observe(*m);
            return HStack(0, {Counter{"a"}, when(m->show.get(), Counter{"b"})});
        }
    };
    HostingView host(Screen{&m}, {20, 10});
    host.click({5, 5});
    host.click({5, 5});
    host.click({15, 5});
    runUntilIdle();
    EXPECT_TRUE(host.contains("a2"));
    EXPECT_TRUE(host.contains("b1"));
    m.show = false;  // b leaves: its state goes with it
    runUntilIdle();
    m.show = true;
    runUntilIdle();
    EXPECT_TRUE(host.contains("a2"));
    EXPECT_TRUE(host.contains("b0"));
}

TEST_F(StateTest, ChangesCoalescePerTurnAndEqualComponentsAreNotReevaluated) {
    Model m;
    static int cellBodies = 0;
    struct Cell {
        int index;
        bool isSelected;
        bool operator==(const Cell& o) const { return index == o.index && isSelected == o.isSelected; }
        View body() const {
            ++cellBodies;
            return View(isSelected ? Color::black() : Color::white(1)).frame(10, 10);
        }
    };
    struct Bar {
        Model* m;
        View body() const {
            observe(*m);
            return HStack(0, {ForEachIndex(m->count.get(), [&](int i) { return Cell{i, i == m->selected.get()}; })});
        }
    };
    cellBodies = 0;
    HostingView host(Bar{&m}, {100, 10});
    host.layoutIfNeeded();
    EXPECT_EQ(cellBodies, 3);
    const auto updates = host.updateCount();
    m.selected = 1;
    m.selected = 2;
    m.count = 4;
    runUntilIdle();
    EXPECT_EQ(host.updateCount(), updates + 1);  // three writes, one re-evaluation
    // Cell 0 lost the selection, 2 gained it, 3 is new; cell 1 is equal and not re-evaluated.
    EXPECT_EQ(cellBodies, 6);
    m.count = 4;  // an assignment of the same value re-evaluates the bar, no cell
    runUntilIdle();
    EXPECT_EQ(cellBodies, 6);
}

TEST_F(StateTest, EnvironmentReachesComponentsAndReevaluatesThemOnChange) {
    std::vector<ColorScheme> seen;
    struct Probe {
        std::vector<ColorScheme>* seen;
        bool operator==(const Probe&) const { return true; }
        View body() const {
            seen->push_back(environment().colorScheme);
            return View(Color::black());
        }
    };
    HostingView host(VStack({Probe{&seen}}), {10, 10});
    host.layoutIfNeeded();
    Environment dark;
    dark.colorScheme = ColorScheme::dark;
    host.setEnvironment(dark);
    host.layoutIfNeeded();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], ColorScheme::dark);
    HostingView nested(View(Probe{&seen}).colorScheme(ColorScheme::dark), {10, 10});
    nested.layoutIfNeeded();
    EXPECT_EQ(seen.back(), ColorScheme::dark);
}

TEST_F(StateTest, LifecycleHooksRunAfterTheUpdateInOrder) {
    Model m;
    std::vector<std::string> log;
    struct Screen {
        Model* m;
        std::vector<std::string>* log;
        View body() const {
            observe(*m);
            auto* l = log;
            return VStack({when(m->show.get(), View(Color::black())
                                                   .onAppear([l] { l->push_back("appear"); })
                                                   .onDisappear([l] { l->push_back("disappear"); })),
                           View(Color::black())
                               .onChange(m->selected.get(),
                                         [l](int o, int n) { l->push_back(std::to_string(o) + "->" + std::to_string(n)); })
                               .onReceive(runtime::NotificationCenter::defaultCenter(), "ping",
                                          [l](const runtime::Notification&) { l->push_back("ping"); })});
        }
    };
    HostingView host(Screen{&m, &log}, {10, 10});
    host.layoutIfNeeded();
    EXPECT_EQ(log, (std::vector<std::string>{"appear"}));  // no change reported on first appearance
    m.selected = 4;
    m.show = false;
    runUntilIdle();
    runtime::NotificationCenter::defaultCenter().post("ping");
    EXPECT_EQ(log, (std::vector<std::string>{"appear", "disappear", "0->4", "ping"}));
    host.setRootView(EmptyView());
    runUntilIdle();
    runtime::NotificationCenter::defaultCenter().post("ping");  // unsubscribed with the view
    EXPECT_EQ(log.back(), "ping");
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(StateTest, ReceivingAPublishedStreamRunsAfterAppearanceWithTheLatestAction) {
    Model m;
    std::vector<int> got;
    struct Screen {
        Model* m;
        std::vector<int>* got;
        View body() const {
            observe(*m);
            const int tag = m->show.get() ? 100 : 200;
            auto* g = got;
            return View(Color::black()).onReceive(m->count.publisher(), std::function<void(const int&)>(
                                                                            [g, tag](const int& v) { g->push_back(v + tag); }));
        }
    };
    HostingView host(Screen{&m, &got}, {10, 10});
    host.layoutIfNeeded();
    EXPECT_EQ(got, (std::vector<int>{103}));  // current value at once, after the update
    m.show = false;
    runUntilIdle();
    m.count = 7;
    EXPECT_EQ(got, (std::vector<int>{103, 207}));  // the re-evaluated action, no second subscription
}

TEST_F(StateTest, StateInsideAnEqualComponentStillReevaluatesIt) {
    static int bodies = 0;
    struct Badge {
        int value;
        State<bool> expanded{false};
        bool operator==(const Badge& o) const { return value == o.value; }
        View body() const {
            ++bodies;
            auto e = expanded;
            return View(Color::black())
                .frame(expanded.get() ? 40 : 20, 10)
                .named("badge")
                .onTapGesture([e] { e.set(!e.get()); });
        }
    };
    bodies = 0;
    HostingView host(HStack({Badge{1}}), {50, 10});
    host.layoutIfNeeded();
    EXPECT_EQ(bodies, 1);
    host.click(host.frame("badge")->center());
    runUntilIdle();
    EXPECT_EQ(bodies, 2);
    EXPECT_EQ(host.frame("badge")->width, 40);
}

TEST_F(StateTest, EnvironmentStartsFromTheSystemsDisplayOptions) {
    auto& options = platform::AccessibilityDisplayOptions::shared();
    options.setReduceMotion(true);
    options.setIncreaseContrast(true);
    std::optional<Environment> seen;
    struct Probe {
        std::optional<Environment>* seen;
        View body() const {
            *seen = environment();
            return EmptyView();
        }
    };
    HostingView host(Probe{&seen}, {10, 10});
    host.layoutIfNeeded();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(seen->accessibilityReduceMotion);
    EXPECT_FALSE(seen->accessibilityReduceTransparency);
    EXPECT_EQ(seen->colorSchemeContrast, ColorSchemeContrast::increased);
}

TEST_F(StateTest, ReceivingANotificationFollowsItsName) {
    Model m;
    std::vector<std::string> got;
    struct Screen {
        Model* m;
        std::vector<std::string>* got;
        View body() const {
            observe(*m);
            auto* g = got;
            const std::string name = m->show.get() ? "first" : "second";
            return EmptyView().onReceive(runtime::NotificationCenter::defaultCenter(), name,
                                         [g, name](const runtime::Notification&) { g->push_back(name); });
        }
    };
    HostingView host(Screen{&m, &got}, {10, 10});
    host.layoutIfNeeded();
    auto& center = runtime::NotificationCenter::defaultCenter();
    center.post("first");
    m.show = false;
    runUntilIdle();
    center.post("first");
    center.post("second");
    EXPECT_EQ(got, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(center.observerCount("first"), 0u);
}

}  // namespace
}  // namespace quillmar::ui
