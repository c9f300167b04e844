// The rules that decide whether open or osascript inherit their parent's trust, and which bytes
// of the event name the sender: each case is a process tree that a wrong rule would misjudge.

#include <cstring>

#include "app/url_sender_check.h"
#include "app_shell_fixture.h"
#include "platform/process_info.h"

namespace quillmar::testing {
namespace {

class UrlSenderParentTest : public AppShellTest {
protected:
    // A process with a chosen pid and program.
    std::int32_t addProcessAt(std::int32_t pid, const std::string& path, std::optional<std::int32_t> parent) {
        platform::sim::SimApp p;
        p.pid = pid;
        p.isApplication = false;
        p.executablePath = path;
        p.parentPid = parent;
        return desktop->addApp(std::move(p)).pid;
    }
};

TEST_F(UrlSenderParentTest, AnAppParentIsJudgedByItsIdentifierNotByWhereItsProgramLies) {
    // Programs of apps live in /usr/bin here as elsewhere: the folder rule is for plain programs.
    const auto unlisted = addApp("Scratchpad", "org.example.scratchpad", std::nullopt, "/usr/bin/scratchpad");
    const auto listed = addApp("Kitty", "net.kovidgoyal.kitty", std::nullopt, "/usr/bin/kitty");
    EXPECT_FALSE(senderTrusted(addProcess("/usr/bin/open", unlisted)));
    EXPECT_FALSE(senderTrusted(addProcess("/usr/bin/osascript", unlisted)));
    EXPECT_TRUE(senderTrusted(addProcess("/usr/bin/open", listed)));
    // The same program as a plain process (no app identity) is trusted by its folder.
    EXPECT_TRUE(senderTrusted(addProcess("/usr/bin/open", addProcess("/usr/bin/scratchpad", std::nullopt))));
}

TEST_F(UrlSenderParentTest, TheInitProcessIsNoParentToTrustWhereverItsProgramLies) {
    ASSERT_EQ(addProcessAt(1, "/usr/bin/init", std::nullopt), 1);
    EXPECT_FALSE(senderTrusted(addProcess("/usr/bin/open", 1)));
    // A parent in the same folder with any other pid passes.
    EXPECT_TRUE(senderTrusted(addProcess("/usr/bin/open", addProcessAt(2, "/usr/bin/init", std::nullopt))));
}

TEST_F(UrlSenderParentTest, OnlyPlainProgramFoldersCount) {
    const auto localTool = addProcess("/usr/local/bin/fish", std::nullopt);
    const auto localLib = addProcess("/usr/local/libexec/agent", std::nullopt);
    EXPECT_TRUE(senderTrusted(addProcess("/usr/bin/open", localTool)));
    EXPECT_FALSE(senderTrusted(addProcess("/usr/bin/open", localLib)));
}

TEST_F(UrlSenderParentTest, TheAppItselfIsTrustedWhateverItsIdentifier) {
    platform::sim::SimApp own;
    own.bundleIdentifier = "org.example.quillmar-nightly";  // a build under a name of its own
    own.localizedName = "Quillmar";
    own.activationPolicy = platform::ActivationPolicy::accessory;
    desktop->setOwnProcess(std::move(own));
    const auto self = platform::ProcessInfo::shared().processIdentifier();
    EXPECT_TRUE(senderTrusted(self));
    EXPECT_TRUE(senderTrusted(std::nullopt, self));
}

TEST_F(UrlSenderParentTest, ATokenOfAnyOtherSizeIsIgnoredInFavourOfTheSenderAttribute) {
    const auto terminal = addApp("Terminal", "com.apple.Terminal");
    const auto browser = addApp("Browser", "com.example.browser");
    for (std::size_t size : {std::size_t{31}, std::size_t{33}, std::size_t{64}}) {
        auto event = platform::AppleEvent::fromSender(browser, std::nullopt);
        std::vector<std::uint8_t> token(size, 0);
        std::memcpy(token.data() + 20, &terminal, 4);  // where a 32-byte token keeps the pid
        event.attributes[platform::kAuditTokenAttribute] = token;
        EXPECT_EQ(UrlSenderCheck::senderPID(event), browser) << size;
        EXPECT_FALSE(UrlSenderCheck::isTrusted(&event)) << size;
    }
    // A sender attribute of 0 names nobody.
    EXPECT_FALSE(UrlSenderCheck::senderPID(platform::AppleEvent::fromSender(0, std::nullopt)));
}

}  // namespace
}  // namespace quillmar::testing
