#include <string>
#include <vector>

#include "runtime/published.h"
#include "support/fresh_world.h"

namespace quillmar::runtime {
namespace {

class StreamOperatorsTest : public testing::FreshWorldTest {};

TEST_F(StreamOperatorsTest, MergeDeliversCurrentValuesInSubscriptionOrderThenByAssignment) {
    Published<int> games{0};
    Published<int> excluded{100};
    std::vector<int> got;
    // The way a monitor listens to two settings: merged, dropping one value of the merged stream.
    auto s = games.publisher().merge(excluded.publisher()).dropFirst().sink([&](const int& v) { got.push_back(v); });
    EXPECT_EQ(got, (std::vector<int>{100}));  // the first stream's current value is the one dropped
    excluded = 101;
    games = 1;
    EXPECT_EQ(got, (std::vector<int>{100, 101, 1}));
}

TEST_F(StreamOperatorsTest, RemoveDuplicatesAndMap) {
    Published<int> p{1};
    std::vector<std::string> got;
    auto s = p.publisher().map([](int v) { return v / 10; }).removeDuplicates().sink([&](const int& v) {
        got.push_back(std::to_string(v));
    });
    p = 5;
    p = 12;
    p = 19;
    p = 3;
    EXPECT_EQ(got, (std::vector<std::string>{"0", "1", "0"}));
}

TEST_F(StreamOperatorsTest, DeferredDeliveryKeepsOrderAcrossStreamsAndSeesStoredValues) {
    Published<int> a{0}, b{0};
    std::vector<std::string> got;
    auto sa = a.publisher().dropFirst().receiveOnMain().sink([&](const int& v) {
        got.push_back("a" + std::to_string(v) + " stored " + std::to_string(a.get()));
    });
    auto sb = b.publisher().dropFirst().receiveOnMain().sink([&](const int& v) { got.push_back("b" + std::to_string(v)); });
    a = 1;
    b = 1;
    a = 2;
    EXPECT_TRUE(got.empty());
    runUntilIdle();
    // Delivered after the store, so a subscriber reading the property sees the latest value.
    EXPECT_EQ(got, (std::vector<std::string>{"a1 stored 2", "b1", "a2 stored 2"}));
}

TEST_F(StreamOperatorsTest, PublisherOfADestroyedPropertyIsSilent) {
    Stream<int> stream;
    {
        Published<int> p{7};
        stream = p.publisher();
    }
    int calls = 0;
    auto s = stream.sink([&](const int&) { ++calls; });
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(s.isActive());
}

}  // namespace
}  // namespace quillmar::runtime
