#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/lifetime.h"
#include "runtime/text_case.h"

namespace quillmar::runtime {
namespace {

TEST(TextCaseTest, LowercasesWholeUnicodeText) {
    EXPECT_EQ(lowercased("ZH-Hant_TW"), "zh-hant_tw");
    EXPECT_EQ(lowercased("/Volumes/GAMES/SteamApps/Common/"), "/volumes/games/steamapps/common/");
    // Beyond ASCII: accented and Greek capitals, with the final sigma in its word-final form.
    EXPECT_EQ(lowercased("ÄPFEL ÉCOLE"), "äpfel école");
    EXPECT_EQ(lowercased("ΣΑΣ"), "σας");
    EXPECT_EQ(lowercased(""), "");
    // A broken sequence is replaced, never passed on half.
    EXPECT_EQ(lowercased("A\xC3"), "a\xEF\xBF\xBD");
}

TEST(LifetimeTest, WorkHeldByATokenStopsWithItsOwner) {
    std::vector<std::function<void()>> queued;  // work that outlives whoever queued it
    int ran = 0;
    struct Owner {
        Lifetime lifetime;
    };
    auto owner = std::make_unique<Owner>();
    auto queue = [&] {
        queued.push_back([token = owner->lifetime.token(), &ran] {
            if (token.alive()) ++ran;
        });
    };
    queue();
    queued.back()();
    EXPECT_EQ(ran, 1);

    queue();
    owner.reset();
    queued.back()();
    EXPECT_EQ(ran, 1);

    // Ended early by its owner, before the owner itself goes.
    owner = std::make_unique<Owner>();
    queue();
    owner->lifetime.end();
    queued.back()();
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace quillmar::runtime
