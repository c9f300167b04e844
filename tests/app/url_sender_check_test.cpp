// Who may send state-changing URL commands: decisions over a table of process trees, and the
// reading of the sender's pid from the event's raw attributes.

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "app/url_sender_check.h"
#include "app_shell_fixture.h"
#include "platform/proc_process_info.h"
#include "platform/sim/sim_backends.h"

namespace quillmar::testing {
namespace {

class UrlSenderTrustTest : public AppShellTest {};

TEST_F(UrlSenderTrustTest, ProcessTrees) {
    const auto terminal = addApp("Terminal", "com.apple.Terminal");
    const auto raycast = addApp("Raycast", "com.raycast.macos");
    const auto browser = addApp("Browser", "com.example.browser");
    const auto shell = addProcess("/bin/zsh", terminal);
    const auto homebrewTool = addProcess("/opt/homebrew/bin/fish", terminal);
    const auto daemon = addProcess("/usr/libexec/helperd", 1);

    struct Case {
        const char* what;
        std::int32_t sender;
        bool expected;
    } cases[] = {
        {"Quillmar itself", 300, true},
        {"a listed automation tool", raycast, true},
        {"a listed terminal", terminal, true},
        {"an unlisted app", browser, false},
        {"open from a shell in /bin", addProcess("/usr/bin/open", shell), true},
        {"osascript from a Homebrew program", addProcess("/usr/bin/osascript", homebrewTool), true},
        {"open started by a listed app", addProcess("/usr/bin/open", raycast), true},
        {"open started directly by launchd", addProcess("/usr/bin/open", 1), false},
        {"open started by an unlisted app", addProcess("/usr/bin/open", browser), false},
        {"open started by a program elsewhere", addProcess("/usr/bin/open", daemon), false},
        {"open whose parent is gone", addProcess("/usr/bin/open", 9999), false},
        {"open with no parent recorded", addProcess("/usr/bin/open", std::nullopt), false},
        {"another tool from a shell", addProcess("/usr/bin/curl", shell), false},
        {"a look-alike path", addProcess("/usr/bin/open2", shell), false},
        {"a process that does not exist", 4242, false},
    };
    for (const auto& c : cases) EXPECT_EQ(senderTrusted(c.sender), c.expected) << c.what;
}

TEST_F(UrlSenderTrustTest, ThePidComesFromTheTokenThenTheSenderAttribute) {
    const auto terminal = addApp("Terminal", "com.apple.Terminal");
    const auto browser = addApp("Browser", "com.example.browser");
    EXPECT_TRUE(senderTrusted(browser, terminal));    // a valid token wins
    EXPECT_FALSE(senderTrusted(terminal, browser));
    EXPECT_TRUE(senderTrusted(terminal, 0));          // a token pid of 0 falls back
    EXPECT_FALSE(senderTrusted(std::nullopt, std::nullopt));
    EXPECT_FALSE(senderTrusted(0));
    EXPECT_FALSE(senderTrusted(-5));
    EXPECT_FALSE(UrlSenderCheck::isTrusted(nullptr));

    // Attributes of the wrong length are not read.
    platform::AppleEvent event;
    std::vector<std::uint8_t> shortToken(31, 0);
    std::memcpy(shortToken.data() + 20, &terminal, 4);
    event.attributes[platform::kAuditTokenAttribute] = shortToken;
    EXPECT_FALSE(UrlSenderCheck::senderPID(event));
    std::vector<std::uint8_t> longPid(8, 0);
    std::memcpy(longPid.data(), &terminal, 4);
    event.attributes[platform::kSenderPIDAttribute] = longPid;
    EXPECT_FALSE(UrlSenderCheck::senderPID(event));
    event.attributes[platform::kSenderPIDAttribute].resize(4);
    EXPECT_EQ(UrlSenderCheck::senderPID(event), terminal);
}

TEST_F(UrlSenderTrustTest, ARefusedSenderStillOpensSettingsButChangesNothing) {
    start();
    const auto browser = addApp("Browser", "com.example.browser");
    const int writes = defaults().writeCount();
    const int requests = delegate().settingsWindowRequests();
    app->deliverURLs({"quillmar://toggle"}, platform::AppleEvent::fromSender(browser, std::nullopt));
    EXPECT_TRUE(settings().isEnabled.get());
    EXPECT_EQ(defaults().writeCount(), writes);
    app->deliverURLs({"quillmar://toggle", "quillmar://trackpad"}, platform::AppleEvent::fromSender(browser, std::nullopt));
    EXPECT_TRUE(settings().isEnabled.get());
    EXPECT_EQ(delegate().settingsWindowRequests(), requests + 1);
}

TEST_F(UrlSenderTrustTest, PathsAreCutAtNulAndRepaired) {
    const auto weird = addProcess(std::string("/usr/bin/open\0/extra", 20), std::nullopt);
    EXPECT_EQ(UrlSenderCheck::processPath(weird), "/usr/bin/open");
    const auto broken = addProcess("/bin/\xFFsh", std::nullopt);
    EXPECT_EQ(UrlSenderCheck::processPath(broken), "/bin/\xEF\xBF\xBDsh");
    EXPECT_FALSE(UrlSenderCheck::processPath(4242));
}

// An application object with no simulated desktop behind it, as on a real system.
class BareApplication final : public platform::Application {
public:
    void setDelegate(platform::ApplicationDelegate* d) override { delegate_ = d; }
    platform::ApplicationDelegate* delegate() const override { return delegate_; }
    bool setActivationPolicy(platform::ActivationPolicy) override { return true; }
    void setApplicationIconImage(platform::MenuImageRef) override {}
    void setMainMenu(std::shared_ptr<platform::Menu>) override {}
    std::shared_ptr<platform::Menu> mainMenu() const override { return nullptr; }
    void activate(std::uint32_t) override {}
    void run() override {}  // what the entry point puts in place before the run is what counts here
    void terminate() override {}

private:
    platform::ApplicationDelegate* delegate_ = nullptr;
};

class RealProcessTableTest : public FreshWorldTest {};

TEST_F(RealProcessTableTest, TheApplicationsOwnStartUpLooksSendersUpInProc) {
    runtime::World::install<platform::Application>(std::make_unique<BareApplication>());
    runApplication();
    ASSERT_NE(dynamic_cast<platform::ProcProcessInfo*>(runtime::World::find<platform::ProcessInfo>()), nullptr);
    // The sender's executable comes from /proc: here, this test program's own.
    EXPECT_EQ(UrlSenderCheck::processPath(::getpid()), std::filesystem::read_symlink("/proc/self/exe").string());
    const auto event = platform::AppleEvent::fromSender(::getpid(), std::nullopt);
    EXPECT_TRUE(UrlSenderCheck::isTrusted(&event));  // Quillmar itself
}

TEST_F(UrlSenderTrustTest, TheSimulatedDesktopKeepsItsOwnProcessTable) {
    start();
    EXPECT_NE(dynamic_cast<platform::sim::SimProcessInfo*>(runtime::World::find<platform::ProcessInfo>()), nullptr);
}

}  // namespace
}  // namespace quillmar::testing
