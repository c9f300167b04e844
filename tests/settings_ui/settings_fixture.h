#pragma once
// A fresh world with the simulated desktop and services of the Switch Bar, plus a hosting view
// of the settings view at the window's size, shown as if its window were open.

#include <functional>
#include <memory>

#include "autopause/app_exclusion_monitor.h"
#include "localization/app_language.h"
#include "platform/sim/sim_preferred_languages.h"
#include "settings_ui/settings_ui_state.h"
#include "settings_ui/settings_view.h"
#include "switcher/switcher_fixture.h"
#include "ui/ui.h"

namespace quillmar::testing {

class SettingsViewTest : public SwitcherTest {
protected:
    void SetUp() override {
        SwitcherTest::SetUp();
        ui().isWindowVisible = true;
    }
    void TearDown() override {
        host.reset();
        SwitcherTest::TearDown();
    }

    ui::HostingView& show(bool dark = false) {
        host = std::make_unique<ui::HostingView>(SettingsView{}, ui::Size{SettingsView::windowWidth, SettingsView::windowHeight});
        auto env = host->environment();
        env.colorScheme = dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
        host->setEnvironment(env);
        host->layoutIfNeeded();
        return *host;
    }
    void settle(double seconds = 1.0) {
        advance(seconds);
        if (host) host->layoutIfNeeded();
    }
    void clickOn(const std::string& name) {
        auto frame = host->frame(name);
        ASSERT_TRUE(frame) << name;
        host->click(frame->center());
        settle(0.6);
    }

    SettingsUIState& ui() { return SettingsUIState::shared(); }

    // Shows every tab in each of the six interface languages, light, and hands each to `check`.
    void forEveryLanguageAndTab(
        const std::function<void(const char* language, SettingsTab tab, ui::HostingView&)>& check) {
        for (const char* language : {"en-US", "ja-JP", "zh-Hans-CN", "zh-Hant-TW", "de-DE", "ko-KR"}) {
            platform::sim::SimPreferredLanguages::install({language});
            AppLanguage::chooseAgain();
            for (SettingsTab tab : SettingsTab::allCases()) {
                ui().activeTab = tab;
                check(language, tab, show());
            }
        }
    }

    std::unique_ptr<ui::HostingView> host;
};

}  // namespace quillmar::testing
