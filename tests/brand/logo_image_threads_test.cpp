#include <atomic>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "brand/logo_image.h"

namespace quillmar {
namespace {

// Threads that race for the same sizes all get usable images, and once the race is over every
// caller of a size shares one image.
TEST(LogoImageThreadsTest, ConcurrentRequestsSettleOnOneImagePerKey) {
    constexpr int kThreads = 8;
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < 200; ++i) {
                const double size = 700 + (i + t) % 16;
                auto badge = LogoImage::makeAppIcon(size, i % 2 == 0);
                auto glyph = LogoImage::makeMenuBarIcon(size);
                if (!badge || !glyph || badge->size().width != size || !glyph->isTemplate()) ++failures;
            }
        });
    }
    go = true;
    for (auto& th : threads) th.join();
    EXPECT_EQ(failures.load(), 0);
    for (int s = 700; s < 716; ++s) EXPECT_EQ(LogoImage::makeAppIcon(s, true), LogoImage::makeAppIcon(s, true));
}

}  // namespace
}  // namespace quillmar
