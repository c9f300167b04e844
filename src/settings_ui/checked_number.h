#pragma once
// The one gate between stored numbers and what the settings window shows, indexes or converts
// to an integer: values from the user defaults, URL commands or other components may be out of
// range or not finite, and must never reach an integer conversion or a slider as they are.
//
//   checkedWhole(75.9, 0, 1000)   -> 75     (truncated toward zero)
//   checkedWhole(NaN, 0, 1000)    -> 0      (the lower bound)
//   checkedWhole(1e300, 0, 1000)  -> 1000
//   checkedValue(inf, 0.3, 3.0)   -> 3.0

#include <cstdint>

namespace quillmar {

// `value` clamped to lo ... hi; NaN gives lo.
double checkedValue(double value, double lo, double hi);
// `value` clamped to lo ... hi, then truncated toward zero; NaN gives lo.
std::int64_t checkedWhole(double value, std::int64_t lo, std::int64_t hi);

}  // namespace quillmar
