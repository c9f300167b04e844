#include "platform/user_defaults.h"

#include <limits>

#include "runtime/main_loop.h"
#include "support/fresh_world.h"

namespace quillmar::platform {
namespace {

class UserDefaultsTest : public testing::FreshWorldTest {};

TEST_F(UserDefaultsTest, LooseTypeRules) {
    UserDefaults d;
    d.set("yes", "YES");
    d.set("trueWord", "True");
    d.set("numText", "12abc");
    d.set("zeroText", "0");
    d.set("hugeText", "1e30");
    d.set("fractionText", "0.5");
    d.set("half", 2.9);
    d.set("negHalf", -2.9);
    d.set("huge", 1e300);
    d.set("hugeUnsigned", std::numeric_limits<unsigned long long>::max());
    d.set("list", DefaultsValue::array({"a", 1}));
    d.set("names", DefaultsValue::array({"a", "b"}));

    EXPECT_TRUE(d.boolForKey("yes"));
    EXPECT_TRUE(d.boolForKey("trueWord"));
    EXPECT_TRUE(d.boolForKey("numText"));
    EXPECT_FALSE(d.boolForKey("zeroText"));
    EXPECT_TRUE(d.boolForKey("hugeText"));  // beyond every integer type, still true
    EXPECT_FALSE(d.boolForKey("fractionText"));
    EXPECT_FALSE(d.boolForKey("list"));
    EXPECT_EQ(d.integerForKey("numText"), 12);
    EXPECT_EQ(d.integerForKey("half"), 2);
    EXPECT_EQ(d.integerForKey("negHalf"), -2);
    EXPECT_GT(d.integerForKey("huge"), 9'223'372'036'854'000'000LL);  // clamped to the top of the range
    // Clamped, never wrapped into a negative number.
    EXPECT_EQ(d.integerForKey("hugeUnsigned"), std::numeric_limits<long long>::max());
    EXPECT_EQ(d.stringForKey("hugeUnsigned"), "18446744073709551615");
    EXPECT_EQ(d.stringForKey("half"), "2.9");
    EXPECT_FALSE(d.stringForKey("list"));
    EXPECT_FALSE(d.stringArrayForKey("list"));
    EXPECT_EQ(d.stringArrayForKey("names"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(d.integerForKey("absent"), 0);
}

TEST_F(UserDefaultsTest, PersistedValuesShadowRegisteredDefaultsAndAnInstantsWritesAreOneSave) {
    auto store = std::make_unique<InMemoryDefaultsStore>();
    auto* raw = store.get();
    UserDefaults d(std::move(store));
    d.registerDefaults({{"fingerCount", 3}});
    EXPECT_EQ(d.integerForKey("fingerCount"), 3);
    EXPECT_FALSE(d.hasPersistedValue("fingerCount"));
    d.set("fingerCount", 4);
    EXPECT_EQ(d.integerForKey("fingerCount"), 4);
    d.removeObject("fingerCount");
    d.removeObject("fingerCount");  // nothing to remove: no write
    EXPECT_EQ(d.integerForKey("fingerCount"), 3);
    // The changes of one instant are one save, made before the clock moves on.
    EXPECT_EQ(raw->saveCount(), 0);
    runtime::MainLoop::main().advance(0.1);
    EXPECT_EQ(raw->saveCount(), 1);
    EXPECT_TRUE(raw->load()->all().empty());
}

}  // namespace
}  // namespace quillmar::platform
