#include "runtime/geometry.h"

#include <cmath>

#include <gtest/gtest.h>

namespace quillmar {
namespace {

TEST(GeometryTest, EdgesContainmentAndInsetFollowTheStandardisedRectangle) {
    const Rect r{10, 10, -4, 6};  // negative width: spans 6...10
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxX(), 10);
    EXPECT_EQ(r.standardized(), (Rect{6, 10, 4, 6}));
    EXPECT_TRUE(r.contains({6, 10}));
    EXPECT_FALSE(r.contains({10, 10}));  // max edge is outside
    EXPECT_TRUE(r.insetBy(-1, -1).contains({10, 10}));
    EXPECT_FALSE(Rect(0, 0, 0, 5).contains({0, 0}));
    // Overlap is judged on the spanned area too.
    EXPECT_TRUE(r.intersects({9, 11, 5, 5}));
    EXPECT_EQ(r.intersection({9, 11, 5, 5}), (Rect{9, 11, 1, 5}));
    EXPECT_EQ(r.unionWith({0, 0, 1, 1}), (Rect{0, 0, 10, 16}));
    // Nothing to draw as stored, though it spans an area.
    EXPECT_TRUE(r.isEmpty());
    EXPECT_FALSE(r.standardized().isEmpty());
}

TEST(GeometryTest, InsetPastTheMiddleAndNonFiniteSizesStayContained) {
    EXPECT_EQ(Rect(0, 0, 4, 10).insetBy(3, 1), (Rect{2, 1, 0, 8}));
    EXPECT_EQ(Rect(0, 0, -4, 10).insetBy(3, 1), (Rect{-2, 1, 0, 8}));
    const Rect nan{0, 0, NAN, 10};
    EXPECT_TRUE(std::isnan(nan.maxX()));
    EXPECT_FALSE(nan.contains({0, 5}));
    EXPECT_FALSE(nan.intersects({0, 0, 10, 10}));
    EXPECT_TRUE(nan.isEmpty());
}

}  // namespace
}  // namespace quillmar
