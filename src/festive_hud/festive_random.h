#pragma once
// The random source of the festive particles. The app seeds it from the system's entropy so
// that bursts differ from run to run; tests seed it so that every burst is reproducible. The
// generator (SplitMix64) and the conversions are written here rather than taken from <random>,
// whose distributions differ between standard libraries.

#include <cstdint>

namespace quillmar {

class FestiveRandom {
public:
    explicit FestiveRandom(std::uint64_t seed) : state_(seed) {}
    static FestiveRandom fromSystemEntropy();

    void reseed(std::uint64_t seed) { state_ = seed; }

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // Uniform between a and b.
    double uniform(double a, double b) { return a + (b - a) * unit(); }
    bool coin() { return (next() >> 63) != 0; }

private:
    std::uint64_t state_;
};

}  // namespace quillmar
