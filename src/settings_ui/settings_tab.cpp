#include "settings_ui/settings_tab.h"

#include "localization/app_language.h"

namespace quillmar {

std::string SettingsTab::title() const {
    // One row per tab, one column per interface language (en, ja, zh-Hans, zh-Hant, de, ko). The
    // tab bar uses short words of its own, shorter than some of the menu's texts.
    static constexpr std::string_view titles[4][6] = {
        {"Switching", "切り替え", "切换", "切換", "Wechseln", "전환"},
        {"Trackpad", "トラックパッド", "触控板", "觸控板", "Trackpad", "트랙패드"},
        {"Keys", "キー", "按键", "按鍵", "Tasten", "키"},
        {"About", "情報", "关于", "關於", "Info", "정보"},
    };
    return std::string(titles[value_][static_cast<int>(AppLanguage::current().operator AppLanguage::Value())]);
}

}  // namespace quillmar
