// The status item and its menu, rebuilt from the current state each time it opens.

#include <algorithm>
#include <string_view>
#include <vector>

#include "app/app_delegate.h"
#include "app/drawn_menu_image.h"
#include "autopause/app_exclusion_monitor.h"
#include "brand/logo_image.h"
#include "festive_hud/hud_festive_state.h"
#include "festive_hud/hud_festive_theme.h"
#include "localization/l10n.h"
#include "platform/workspace.h"
#include "runtime/text_case.h"
#include "runtime/world.h"
#include "settings/switcher_settings.h"
#include "windows/window_manager.h"
#include "windows/window_text.h"

namespace quillmar {

namespace {

constexpr double kMenuBarIconSize = 18;
// Between the two Accessibility texts of the permission item: a space, an em dash, a space.
constexpr const char* kPermissionSeparator = " \u2014 ";

struct AppearanceChoice {
    HUDAppearanceStyle style;
    std::string (*title)();
};

const AppearanceChoice kAppearances[] = {
    {HUDAppearanceStyle::darkGlass, &L10n::menuAppearanceDarkGlass},
    {HUDAppearanceStyle::solidDark, &L10n::menuAppearanceSolidDark},
    {HUDAppearanceStyle::lightGlass, &L10n::menuAppearanceLightGlass},
    {HUDAppearanceStyle::adaptive, &L10n::menuAppearanceAdaptive},
};

std::string appearanceMenuTitle(HUDAppearanceStyle style) {
    for (const auto& a : kAppearances)
        if (a.style == style) return a.title();
    return L10n::menuAppearanceDarkGlass();
}

}  // namespace

void AppDelegate::installStatusItem() {
    auto* bar = platform::StatusBar::installed();
    auto menu = std::make_shared<platform::Menu>();
    menu->delegate = this;
    if (bar) {
        auto item = bar->statusItem(platform::StatusItem::squareLength);
        if (item->button) {
            item->button->image = DrawnMenuImage::wrap(LogoImage::makeMenuBarIcon(kMenuBarIconSize));
            item->button->imagePosition = platform::ImagePosition::imageOnly;
            item->button->toolTip = "Quillmar";
            item->button->accessibilityLabel = "Quillmar";
        }
        item->menu = menu;
        statusItem_ = std::move(item);
    }
    statusMenu_ = menu;
    rebuildStatusMenu(*menu);
}

void AppDelegate::menuWillOpen(platform::Menu& menu) {
    SwitcherSettings::shared().refreshLaunchAtLoginStatus();
    AppExclusionMonitor::shared().refreshFrontmostState();
    WindowManager::shared().refreshAccessibilityTrust();
    rebuildStatusMenu(menu);
}

std::string AppDelegate::statusGestureDescription() const {
    const auto& settings = SwitcherSettings::shared();
    if (settings.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger) return L10n::menuFingerTopEdge();
    if (settings.fingerCount.get() != 0) return L10n::menuFingerExact(settings.fingerCount.get());
    return L10n::menuFingerAuto();
}

std::string AppDelegate::statusLineText(const std::string& gesture) const {
    if (!SwitcherSettings::shared().isEnabled.get()) return L10n::menuStatusPaused();
    if (const auto& reason = AppExclusionMonitor::shared().activePauseReason.get())
        return L10n::menuStatusAutoPaused(reason->appName());
    return L10n::menuStatusActive(gesture);
}

std::string AppDelegate::displayName(const std::string& bundleID) {
    auto* workspace = runtime::World::find<platform::Workspace>();
    if (!workspace) return bundleID;
    for (const auto& app : workspace->runningApplications())
        if (app.bundleIdentifier == bundleID) {
            if (app.localizedName && !app.localizedName->empty()) return *app.localizedName;
            break;
        }
    if (auto path = workspace->urlForApplication(bundleID)) {
        // The bundle's folder name, whether or not the path ends in "/", without ".app" in any case.
        std::string_view rest = *path;
        while (rest.size() > 1 && rest.back() == '/') rest.remove_suffix(1);
        const auto slash = rest.rfind('/');
        std::string name(slash == std::string_view::npos ? rest : rest.substr(slash + 1));
        if (name.size() >= 4 && runtime::lowercased(name.substr(name.size() - 4)) == ".app") name.resize(name.size() - 4);
        if (!name.empty()) return name;
    }
    return bundleID;
}

platform::MenuItem& AppDelegate::addAction(platform::Menu& menu, std::string title, std::string actionName,
                                           void (AppDelegate::*action)(), std::string key) {
    const auto alive = lifetime_.token();
    return menu.addItem(std::move(title), std::move(actionName),
                        [this, alive, action](platform::MenuItem&) {
                            if (alive.alive()) (this->*action)();
                        },
                        std::move(key));
}

void AppDelegate::rebuildStatusMenu(platform::Menu& menu) {
    menu.removeAllItems();
    const auto& settings = SwitcherSettings::shared();
    auto& festive = HUDFestiveState::shared();
    auto& pause = AppExclusionMonitor::shared();
    const auto alive = lifetime_.token();

    if (auto theme = festive.resolveFestiveTheme()) {
        auto& item = addAction(menu, menuEmoji(*theme) + " " + L10n::menuHolidaySparkle(), "toggleHolidaySparkle",
                               &AppDelegate::toggleHolidaySparkle);
        item.state = settings.holidaySparkle.get() ? 1 : 0;
        menu.addSeparator();
    }

    if (settings.qaModeEnabled.get()) {
        addAction(menu, "QA \u00B7 Turn Off QA Mode (Switch to User Version)", "toggleQAModeFromMenu",
                  &AppDelegate::toggleQAModeFromMenu);
        auto& perimeter = addAction(menu, "QA \u00B7 \U0001F384 Christmas HUD Perimeter (Dec 24\u201325)",
                                    "toggleQAChristmasPerimeter", &AppDelegate::toggleQAChristmasPerimeter);
        perimeter.state = festive.qaShowChristmasPerimeter.get() ? 1 : 0;
        addAction(menu,
                  "QA \u00B7 HUD Appearance: " + appearanceMenuTitle(settings.hudAppearance.get()) +
                      " (Click to Cycle & Preview)",
                  "cycleQAHUDAppearance", &AppDelegate::cycleQAHUDAppearance);
        menu.addSeparator();
    }

    auto& status = menu.addItem(statusLineText(statusGestureDescription()), "", nullptr);
    status.isEnabled = false;

    if (!WindowManager::shared().isAccessibilityTrusted.get())
        addAction(menu, "\u26A0\uFE0F " + L10n::accessibilityNeeded() + kPermissionSeparator + L10n::grantAccessButton(),
                  "grantAccessibilityFromMenu", &AppDelegate::grantAccessibilityFromMenu);

    addAction(menu, settings.isEnabled.get() ? L10n::menuPauseQuillmar() : L10n::menuEnableQuillmar(), "toggleEnabled",
              &AppDelegate::toggleEnabled, "e");

    const auto& frontBundle = pause.lastRegularBundleID.get();
    const auto& frontName = pause.lastRegularAppName.get();
    if (frontBundle && !frontBundle->empty() && frontName) {
        auto& item = addAction(menu, L10n::menuPauseInApp(*frontName), "toggleIgnoreCurrentApp",
                               &AppDelegate::toggleIgnoreCurrentApp);
        item.state = settings.isAppIgnored(*frontBundle) ? 1 : 0;
    }

    // An identifier of nothing but white space in the stored list names no app and would give a
    // row without a visible title: it gets no row (and is not counted).
    std::vector<std::string> sorted;
    for (const auto& bundleID : settings.ignoredBundleIDs.get())
        if (!trimWhitespaceAndNewlines(bundleID).empty()) sorted.push_back(bundleID);
    if (!sorted.empty()) {
        auto submenu = std::make_shared<platform::Menu>();
        std::sort(sorted.begin(), sorted.end());
        for (const auto& bundleID : sorted) {
            auto& row = submenu->addItem(displayName(bundleID), "unignoreBundleIDFromMenu:",
                                         [this, alive](platform::MenuItem& sender) {
                                             if (alive.alive()) unignoreBundleIDFromMenu(sender);
                                         });
            row.representedObject = bundleID;
            row.state = 1;
        }
        submenu->addSeparator();
        addAction(*submenu, L10n::menuResumeAllPausedApps(), "resumeAllPausedApps", &AppDelegate::resumeAllPausedApps);
        auto& parent = menu.addItem(L10n::menuPausedAppsSubmenu(static_cast<std::int64_t>(sorted.size())), "", nullptr);
        parent.submenu = std::move(submenu);
    }

    auto& games = addAction(menu, L10n::menuAutoPauseGames(), "togglePauseInGames", &AppDelegate::togglePauseInGames);
    games.state = settings.pauseInGames.get() ? 1 : 0;
    menu.addSeparator();

    auto appearanceMenu = std::make_shared<platform::Menu>();
    for (const auto& choice : kAppearances) {
        auto& row = appearanceMenu->addItem(choice.title(), "selectHUDAppearanceFromMenu:",
                                            [this, alive](platform::MenuItem& sender) {
                                                if (alive.alive()) selectHUDAppearanceFromMenu(sender);
                                            });
        row.representedObject = std::string(rawValue(choice.style));
        row.state = settings.hudAppearance.get() == choice.style ? 1 : 0;
    }
    auto& appearance = menu.addItem(L10n::menuHUDAppearance(), "", nullptr);
    appearance.submenu = std::move(appearanceMenu);

    auto& space = addAction(menu, L10n::menuCurrentSpaceOnly(), "toggleCurrentSpaceOnly",
                            &AppDelegate::toggleCurrentSpaceOnly);
    space.state = settings.currentSpaceOnly.get() ? 1 : 0;
    auto& keys = addAction(menu, L10n::menuQuickKeys(), "toggleQuickKeys", &AppDelegate::toggleQuickKeys);
    keys.state = settings.allowQuickCloseQuit.get() ? 1 : 0;
    auto& login = addAction(menu, L10n::menuLaunchAtLogin(), "toggleLaunchAtLogin", &AppDelegate::toggleLaunchAtLogin);
    login.state = settings.launchAtLogin.get() ? 1 : 0;
    menu.addSeparator();

    addAction(menu, L10n::menuSettings(), "openSettingsWindow", &AppDelegate::openSettingsWindow, ",");
    addAction(menu, L10n::menuAboutQuillmar(), "openAboutTab", &AppDelegate::openAboutTab);
    menu.addSeparator();
    addAction(menu, L10n::menuQuit(), "quitApp", &AppDelegate::quitApp, "q");
}

}  // namespace quillmar
