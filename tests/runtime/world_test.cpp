#include "runtime/world.h"

#include <string>
#include <vector>

#include "runtime/main_loop.h"
#include "runtime/notification_center.h"
#include "support/fresh_world.h"

namespace quillmar::runtime {
namespace {

std::vector<std::string>& destroyed() {
    static std::vector<std::string> log;
    return log;
}

struct First {
    ~First() { destroyed().push_back("First"); }
};
struct Second {
    Second() { World::shared<First>(); }  // depends on First, which therefore exists earlier
    ~Second() {
        // Still reachable while Second goes: later objects go first.
        destroyed().push_back(World::find<First>() ? "Second (First alive)" : "Second (First gone)");
    }
};
struct Service {
    virtual ~Service() = default;
    virtual std::string name() const = 0;
};
struct FakeService : Service {
    explicit FakeService(std::string n) : n_(std::move(n)) {}
    ~FakeService() override { destroyed().push_back("fake " + n_); }
    std::string name() const override { return n_; }
    std::string n_;
};

class WorldTest : public testing::FreshWorldTest {};

TEST_F(WorldTest, ResetDestroysNewestFirstAndGivesAFreshLoop) {
    destroyed().clear();
    World::shared<Second>();
    World::install<Service>(std::make_unique<FakeService>("a"));
    auto* oldLoop = &loop();
    int ran = 0;
    loop().post([&] { ++ran; });
    World::reset();
    EXPECT_EQ(destroyed(), (std::vector<std::string>{"fake a", "Second (First alive)", "First"}));
    EXPECT_EQ(World::find<First>(), nullptr);
    // Work queued in the old world does not leak into the new one.
    EXPECT_NE(&loop(), oldLoop);
    runUntilIdle();
    EXPECT_EQ(ran, 0);
}

TEST_F(WorldTest, InstallReplacesAndDestroysTheEarlierInstance) {
    destroyed().clear();
    World::install<Service>(std::make_unique<FakeService>("a"));
    World::install<Service>(std::make_unique<FakeService>("b"));
    EXPECT_EQ(destroyed(), (std::vector<std::string>{"fake a"}));
    EXPECT_EQ(World::shared<Service>().name(), "b");
    EXPECT_EQ(&World::shared<First>(), &World::shared<First>());
}

TEST_F(WorldTest, NotificationObserversLiveAsLongAsTheirToken) {
    auto& centre = NotificationCenter::workspace();
    std::vector<std::string> got;
    Subscription keep = centre.addObserver("n", [&](const Notification& n) { got.push_back(*n.info<std::string>("k")); });
    {
        auto temporary = centre.addObserver("n", [&](const Notification&) { got.push_back("temporary"); });
        centre.post(Notification{"n", {}, {{"k", std::string("first")}}});
    }
    centre.post(Notification{"n", {}, {{"k", std::string("second")}}});
    centre.post("other");
    EXPECT_EQ(got, (std::vector<std::string>{"first", "temporary", "second"}));
    EXPECT_EQ(centre.observerCount("n"), 1u);
    // The centres belong to the world.
    keep.cancel();
    World::reset();
    EXPECT_EQ(NotificationCenter::workspace().observerCount("n"), 0u);
}

}  // namespace
}  // namespace quillmar::runtime
