#pragma once
// A closed interval lowerBound...upperBound of points, as the festive tables and geometry use.

namespace quillmar {

struct FestiveClosedRange {
    double lowerBound = 0;
    double upperBound = 1;

    friend constexpr bool operator==(const FestiveClosedRange&, const FestiveClosedRange&) = default;
};

}  // namespace quillmar
