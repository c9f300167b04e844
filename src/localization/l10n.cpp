#include "localization/l10n.h"

#include "localization/app_language.h"

namespace quillmar {

namespace {

// Six texts in the order en, ja, zh-Hans, zh-Hant, de, ko.
using Row = const char* const[6];

std::string pick(const Row& row) { return row[AppLanguage::current()]; }

// The fixed text before and after the argument in one language.
struct Affix {
    const char* before;
    const char* after;
};
using Pattern = const Affix[6];

std::string place(const Pattern& pattern, std::string_view argument) {
    const Affix& a = pattern[AppLanguage::current()];
    std::string out(a.before);
    out.append(argument);
    out.append(a.after);
    return out;
}

// Plain decimal: no grouping, a leading minus when negative.
std::string place(const Pattern& pattern, std::int64_t number) { return place(pattern, std::to_string(number)); }

}  // namespace

// ---- Settings tabs and header ------------------------------------------------------------------

std::string L10n::tabTrackpad() { return pick({"Trackpad", "トラックパッド", "触控板", "觸控板", "Trackpad", "트랙패드"}); }
std::string L10n::tabSwitching() { return pick({"Switching", "切り替え", "切换", "切換", "Wechseln", "전환"}); }
std::string L10n::tabShortcuts() {
    return pick({"Shortcuts", "ショートカット", "快捷键", "快速鍵", "Kurzbefehle", "단축키"});
}
std::string L10n::tabAbout() { return pick({"About", "情報", "关于", "關於", "Über", "정보"}); }
std::string L10n::previewButton() { return pick({"Preview", "プレビュー", "预览", "預覽", "Vorschau", "미리보기"}); }
std::string L10n::previewTooltip() {
    return pick({"Show the floating Switch Bar for 2.5 seconds", "フローティングの Switch Bar を 2.5 秒間表示",
                 "显示浮动的 Switch Bar 2.5 秒", "顯示浮動的 Switch Bar 2.5 秒", "Switch Bar für 2,5 Sekunden einblenden",
                 "떠 있는 Switch Bar를 2.5초 동안 표시"});
}
std::string L10n::statusActiveTooltip() {
    return pick({"Quillmar is Active", "Quillmar は有効です", "Quillmar 已启用", "Quillmar 已啟用", "Quillmar ist aktiv",
                 "Quillmar 활성화됨"});
}
std::string L10n::statusPausedTooltip() {
    return pick({"Quillmar is Paused", "Quillmar は一時停止中です", "Quillmar 已暂停", "Quillmar 已暫停",
                 "Quillmar ist pausiert", "Quillmar 일시 정지됨"});
}
std::string L10n::headlinePaused() {
    return pick({"Quillmar — Paused", "Quillmar — 一時停止中", "Quillmar — 已暂停", "Quillmar — 已暫停",
                 "Quillmar — Pausiert", "Quillmar — 일시 정지됨"});
}
std::string L10n::headlineAutoPaused(std::string_view appName) {
    return place({{"Quillmar — Paused in ", ""},
                  {"Quillmar — ", " で自動停止中"},
                  {"Quillmar — 在 ", " 中已自动暂停"},
                  {"Quillmar — 在 ", " 中已自動暫停"},
                  {"Quillmar — Pausiert in ", ""},
                  {"Quillmar — ", "에서 자동 일시 정지"}},
                 appName);
}
std::string L10n::headlineWaitingTrackpad() {
    return pick({"Waiting for Trackpad…", "トラックパッドを待機中…", "正在等待触控板…", "正在等待觸控板…",
                 "Warte auf Trackpad…", "트랙패드를 기다리는 중…"});
}

// ---- Live trackpad stage -----------------------------------------------------------------------

std::string L10n::telemetryPaused() {
    return pick({"Paused", "一時停止中", "已暂停", "已暫停", "Pausiert", "일시 정지됨"});
}
std::string L10n::telemetryGamePaused() {
    return pick({"App Paused", "アプリで停止中", "应用已暂停", "應用程式已暫停", "App pausiert", "앱 일시 정지됨"});
}
std::string L10n::telemetryLive() { return pick({"Live", "待機中", "就绪", "就緒", "Aktiv", "대기 중"}); }
std::string L10n::telemetryTouchCount(std::int64_t fingers) {
    return place({{"", "F Touch"},
                  {"", "本指タッチ"},
                  {"", " 指触控"},
                  {"", " 指觸控"},
                  {"", " Finger aufgelegt"},
                  {"", "손가락 터치"}},
                 fingers);
}
std::string L10n::telemetryFiveFingerZen() {
    return pick({"5-Finger Zen 🍵", "5本指で禅 🍵", "五指禅定 🍵", "五指禪定 🍵", "5-Finger-Zen 🍵", "다섯 손가락 명상 🍵"});
}
std::string L10n::stageEmptyPrompt() {
    return pick({"Touch trackpad to preview", "トラックパッドに触れてプレビュー", "触摸触控板以预览", "觸碰觸控板以預覽",
                 "Trackpad berühren für Vorschau", "트랙패드를 터치해 미리보기"});
}
std::string L10n::stageTopEdgeZone() {
    return pick({"Top-Edge Zone", "上端ゾーン", "顶部边缘区域", "頂部邊緣區域", "Zone am oberen Rand", "상단 가장자리 영역"});
}

// ---- Trackpad tab ------------------------------------------------------------------------------

std::string L10n::sectionTriggerGesture() {
    return pick({"Trigger Gesture", "起動ジェスチャ", "触发手势", "觸發手勢", "Auslösegeste", "실행 제스처"});
}
std::string L10n::tileHoldAndSlide() {
    return pick({"Hold & Slide", "ホールド＆スライド", "按住并滑动", "按住並滑動", "Halten & Gleiten", "누른 채 슬라이드"});
}
std::string L10n::tileHoldSubtitle(std::int64_t milliseconds) {
    return place({{"", " ms dwell"},
                  {"", " ms ホールド"},
                  {"停留 ", " ms"},
                  {"停留 ", " ms"},
                  {"", " ms Halten"},
                  {"", " ms 유지"}},
                 milliseconds);
}
std::string L10n::tileInstantSlide() {
    return pick({"Instant Slide", "即時スライド", "即时滑动", "即時滑動", "Sofort gleiten", "즉시 슬라이드"});
}
std::string L10n::tileInstantSubtitle() {
    return pick({"Immediate", "すぐに開始", "立即", "立即", "Sofort", "즉시"});
}
std::string L10n::tileTopEdge() {
    return pick({"Top Edge", "上端", "顶部边缘", "頂部邊緣", "Oberer Rand", "상단 가장자리"});
}
std::string L10n::tileTopEdgeSubtitle() {
    return pick({"2 Fingers", "2本指", "双指", "雙指", "2 Finger", "두 손가락"});
}
std::string L10n::sectionCalibration() {
    return pick({"Calibration", "キャリブレーション", "校准", "校準", "Kalibrierung", "보정"});
}
std::string L10n::rowRecognizedFingers() {
    return pick({"Recognized Fingers", "認識する指の本数", "识别的手指数", "識別的手指數", "Erkannte Finger",
                 "인식할 손가락 수"});
}
std::string L10n::fingers3or4() { return pick({"3 or 4", "3本または4本", "3 或 4 指", "3 或 4 指", "3 oder 4", "3개 또는 4개"}); }
std::string L10n::fingers3Only() { return pick({"3 Only", "3本のみ", "仅 3 指", "僅 3 指", "Nur 3", "3개만"}); }
std::string L10n::fingers4Only() { return pick({"4 Only", "4本のみ", "仅 4 指", "僅 4 指", "Nur 4", "4개만"}); }
std::string L10n::rowScrubSpeed() {
    return pick({"Scrub Speed", "スクラブ速度", "滑动速度", "滑動速度", "Scrub-Tempo", "스크럽 속도"});
}
std::string L10n::rowHoldDwell() {
    return pick({"Hold Dwell", "ホールド時間", "停留时间", "停留時間", "Haltedauer", "유지 시간"});
}

// ---- Switching tab -----------------------------------------------------------------------------

std::string L10n::sectionCycleScope() {
    return pick({"Cycle Scope", "切り替え範囲", "切换范围", "切換範圍", "Wechselbereich", "전환 범위"});
}
std::string L10n::styleHorizontalShort() { return pick({"Icons", "アイコン", "图标", "圖像", "Symbole", "아이콘"}); }
std::string L10n::styleVerticalShort() { return pick({"List", "リスト", "列表", "列表", "Liste", "목록"}); }
std::string L10n::modeAllWindowsShort() {
    return pick({"All Windows", "すべてのウインドウ", "所有窗口", "所有視窗", "Alle Fenster", "모든 윈도우"});
}
std::string L10n::modeAllWindowsSub() {
    return pick({"Across apps", "アプリをまたいで", "跨应用", "跨應用程式", "App-übergreifend", "모든 앱에서"});
}
std::string L10n::modeAppsOnlyShort() {
    return pick({"Apps Only", "アプリのみ", "仅应用", "僅應用程式", "Nur Apps", "앱만"});
}
std::string L10n::modeAppsOnlySub() {
    return pick({"Like Cmd + Tab", "Cmd + Tab と同じ", "如同 Cmd + Tab", "如同 Cmd + Tab", "Wie Cmd + Tab", "기본 Cmd + Tab"});
}
std::string L10n::modeActiveAppShort() {
    return pick({"Current App", "現在のアプリ", "当前应用", "目前的應用程式", "Aktuelle App", "현재 앱"});
}
std::string L10n::modeActiveAppSub() {
    return pick({"Like Cmd + `", "同一アプリ内", "如同 Cmd + `", "如同 Cmd + `", "Wie Cmd + `", "기본 Cmd + `"});
}
std::string L10n::sectionTactileAndPermissions() {
    return pick({"Tactile Response & Smart Pause", "触覚フィードバックとスマート停止", "触感反馈与智能暂停",
                 "觸感回饋與智慧暫停", "Haptik & smarte Pause", "촉각 반응 및 스마트 일시 정지"});
}
std::string L10n::toggleHaptics() {
    return pick({"Haptic alignment ticks while scrubbing", "スクラブ中、項目ごとに触覚で知らせる", "滑动时逐项触感提示",
                 "滑動時逐項觸感提示", "Haptische Rastpunkte beim Scrubben", "스크럽할 때 항목마다 햅틱 틱"});
}
std::string L10n::toggleSingleFinger() {
    return pick({"Keep switch bar open when dropping to 1 finger", "指が1本になっても Switch Bar を開いたままにする",
                 "只剩 1 指时保持 Switch Bar 打开", "只剩 1 指時保持 Switch Bar 開啟",
                 "Switch Bar offen halten, wenn nur noch 1 Finger aufliegt", "손가락이 1개로 줄어도 Switch Bar 유지"});
}
std::string L10n::toggleSuppressScroll() {
    return pick({"Suppress background scroll while switch bar is open", "Switch Bar 表示中は背後のスクロールを止める",
                 "Switch Bar 打开时阻止后台滚动", "Switch Bar 開啟時阻止背景捲動",
                 "Scrollen im Hintergrund unterdrücken, solange die Switch Bar offen ist",
                 "Switch Bar가 열려 있는 동안 배경 스크롤 차단"});
}
std::string L10n::togglePauseInGames() {
    return pick({"Auto-pause in fullscreen games", "フルスクリーンのゲームでは自動停止", "在全屏游戏中自动暂停",
                 "在全螢幕遊戲中自動暫停", "In Vollbildspielen automatisch pausieren", "전체 화면 게임에서 자동 일시 정지"});
}
std::string L10n::toggleLaunchAtLogin() {
    return pick({"Launch Quillmar automatically at login", "ログイン時に Quillmar を自動で起動", "登录时自动启动 Quillmar",
                 "登入時自動啟動 Quillmar", "Quillmar bei der Anmeldung automatisch starten", "로그인 시 Quillmar 자동 실행"});
}
std::string L10n::menuLaunchAtLogin() {
    return pick({"Launch at Login", "ログイン時に起動", "登录时启动", "登入時啟動", "Bei Anmeldung starten", "로그인 시 실행"});
}
std::string L10n::menuQuickKeys() {
    return pick({"Quick Keys in Switch Bar (W / Q)", "Switch Bar のクイックキー (W / Q)", "Switch Bar 快捷键 (W / Q)",
                 "Switch Bar 快速鍵 (W / Q)", "Schnelltasten in der Switch Bar (W / Q)", "Switch Bar 빠른 키 (W / Q)"});
}

// ---- Shortcuts tab -----------------------------------------------------------------------------

std::string L10n::shortcutWTitle() {
    return pick({"Close 1 Window", "ウインドウを1つ閉じる", "关闭 1 个窗口", "關閉 1 個視窗", "1 Fenster schließen",
                 "윈도우 1개 닫기"});
}
std::string L10n::shortcutWBody() {
    return pick({"Clicks the window’s red × button. Other windows stay open.",
                 "ウインドウの赤い × ボタンをクリックします。ほかのウインドウは開いたままです。",
                 "点按窗口的红色 × 按钮。其他窗口保持打开。", "按下視窗的紅色 × 按鈕。其他視窗保持開啟。",
                 "Klickt auf den roten ×-Knopf des Fensters. Andere Fenster bleiben offen.",
                 "윈도우의 빨간색 × 버튼을 클릭합니다. 다른 윈도우는 열린 채로 유지됩니다."});
}
std::string L10n::shortcutQTitle() {
    return pick({"Quit Whole App", "アプリ全体を終了", "退出整个应用", "結束整個應用程式", "Ganze App beenden", "앱 전체 종료"});
}
std::string L10n::shortcutQBody() {
    return pick({"Shuts down the entire app and closes all of its windows.",
                 "アプリ全体を終了し、そのウインドウをすべて閉じます。", "退出整个应用并关闭它的所有窗口。",
                 "結束整個應用程式並關閉它的所有視窗。", "Beendet die gesamte App und schließt alle ihre Fenster.",
                 "앱 전체를 종료하고 모든 윈도우를 닫습니다."});
}
std::string L10n::sectionSwitchBarKeys() {
    return pick({"Switch Bar Keys", "Switch Bar のキー", "Switch Bar 按键", "Switch Bar 按鍵", "Switch-Bar-Tasten",
                 "Switch Bar 키"});
}
std::string L10n::toggleQuickKeysShort() {
    return pick({"Quick Close & Quit keys", "すばやく閉じる／終了するキー", "快速关闭与退出键", "快速關閉與結束鍵",
                 "Tasten für schnelles Schließen & Beenden", "빠른 닫기 및 종료 키"});
}
std::string L10n::shortcutAccessibilityHint() {
    return pick({"Accessibility required for W to close windows", "W でウインドウを閉じるにはアクセシビリティが必要です",
                 "W 关闭窗口需要辅助功能权限", "W 關閉視窗需要輔助使用權限",
                 "Für W zum Schließen von Fenstern ist Bedienungshilfen-Zugriff nötig",
                 "W로 윈도우를 닫으려면 손쉬운 사용 권한이 필요합니다"});
}
std::string L10n::navEscapeTitle() {
    return pick({"Cancel and close Switch Bar", "キャンセルして Switch Bar を閉じる", "取消并关闭 Switch Bar",
                 "取消並關閉 Switch Bar", "Abbrechen und Switch Bar schließen", "취소하고 Switch Bar 닫기"});
}
std::string L10n::navEscapeRightNote() {
    return pick({"Keeps current", "現在のまま", "保持当前", "保持目前", "Aktuelles bleibt", "현재 유지"});
}
std::string L10n::sectionMinimizedWindows() {
    return pick({"Minimized Windows", "しまったウインドウ", "最小化的窗口", "最小化的視窗", "Minimierte Fenster",
                 "최소화된 윈도우"});
}
std::string L10n::minimizedCardTitle() {
    return pick({"Parked at the End", "右端に待機 — 離して復元", "静置在末尾 — 松手恢复", "靜置於末尾 — 鬆手恢復",
                 "Am Ende geparkt", "맨 끝에 대기 — 떼면 복원"});
}
std::string L10n::minimizedCardBody() {
    return pick({"Minimized (−) windows wait quietly at the right end. Slide over and lift to restore.",
                 "しまった (−) ウインドウは右端で静かに待機します。そこまでスライドして指を離すと元に戻ります。",
                 "最小化 (−) 的窗口静静地排在最右端。滑过去并松手即可恢复。",
                 "最小化 (−) 的視窗靜靜地排在最右端。滑過去並鬆手即可恢復。",
                 "Minimierte (−) Fenster warten ruhig am rechten Ende. Hingleiten und loslassen stellt sie wieder her.",
                 "최소화된 (−) 윈도우는 오른쪽 끝에서 조용히 기다립니다. 그곳까지 밀고 손을 떼면 복원됩니다."});
}

// ---- Permission and About ----------------------------------------------------------------------

std::string L10n::accessibilityGranted() {
    return pick({"Accessibility Access Granted", "アクセシビリティを許可済み", "已授予辅助功能权限", "已授予輔助使用權限",
                 "Bedienungshilfen-Zugriff erteilt", "손쉬운 사용 권한 허용됨"});
}
std::string L10n::accessibilityNeeded() {
    return pick({"Accessibility Needed for Window Raising", "ウインドウを手前に出すにはアクセシビリティが必要です",
                 "需要辅助功能权限才能前置窗口", "需要輔助使用權限才能將視窗移到最前",
                 "Bedienungshilfen nötig, um Fenster nach vorne zu holen",
                 "윈도우를 앞으로 가져오려면 손쉬운 사용 권한이 필요합니다"});
}
std::string L10n::verifiedBadge() { return pick({"Verified", "確認済み", "已验证", "已驗證", "Bestätigt", "확인됨"}); }
std::string L10n::grantAccessButton() {
    return pick({"Grant Access…", "アクセスを許可…", "授予权限…", "授予權限…", "Zugriff erlauben…", "접근 허용…"});
}
std::string L10n::aboutAppSummary() {
    return pick({"Trackpad window switching, built to feel native to macOS.",
                 "macOS になじむように作った、トラックパッドでのウインドウ切り替え。",
                 "触控板窗口切换，为 macOS 原生手感而打造。", "觸控板視窗切換，為 macOS 原生手感而打造。",
                 "Fensterwechsel per Trackpad, gebaut, um sich auf macOS wie zu Hause anzufühlen.",
                 "macOS에 자연스럽게 어울리도록 만든 트랙패드 윈도우 전환."});
}
std::string L10n::sectionIndependentCraft() {
    return pick({"From the Maker", "作り手より", "来自开发者", "來自開發者", "Vom Entwickler", "만든 사람의 한마디"});
}
std::string L10n::independentCraftBody() {
    return pick({
        "I build Quillmar on my own, in the evenings, because I wanted switching windows to feel as light as "
        "scrolling. There is no company behind it, no tracking and no account, just a small tool I use every day "
        "and keep polishing. If a gesture ever feels wrong or an app misbehaves, please tell me: I read every "
        "message, and most of them shape the next version.",
        "ウインドウの切り替えをスクロールのように軽くしたくて、Quillmar は夜の時間にひとりで作っています。"
        "会社も、トラッキングも、アカウントもありません。毎日自分で使いながら磨き続けている小さな道具です。"
        "ジェスチャが思いどおりに動かないときや、うまく動かないアプリがあれば、ぜひ教えてください。"
        "いただいたメッセージはすべて読んでいて、その多くが次のバージョンに生きています。",
        "Quillmar 是我利用晚上的时间独自打造的，因为我希望切换窗口能像滚动一样轻松。它背后没有公司，"
        "没有追踪，也不需要账户，只是一个我每天都在用、也一直在打磨的小工具。如果某个手势感觉不对，"
        "或者某个应用表现异常，请告诉我：每一条消息我都会读，其中大多数都会影响下一个版本。",
        "Quillmar 是我利用晚上的時間獨自打造的，因為我希望切換視窗能像捲動一樣輕鬆。它背後沒有公司，"
        "沒有追蹤，也不需要帳號，只是一個我每天都在用、也一直在打磨的小工具。如果某個手勢感覺不對，"
        "或者某個應用程式表現異常，請告訴我：每一則訊息我都會讀，其中大多數都會影響下一個版本。",
        "Ich entwickle Quillmar allein, abends, weil sich der Fensterwechsel so leicht anfühlen sollte wie "
        "Scrollen. Dahinter steht keine Firma, es gibt kein Tracking und kein Konto, nur ein kleines Werkzeug, "
        "das ich jeden Tag selbst benutze und weiter verfeinere. Fühlt sich eine Geste falsch an oder macht eine "
        "App Ärger, schreib mir bitte: Ich lese jede Nachricht, und die meisten prägen die nächste Version.",
        "윈도우 전환이 스크롤처럼 가볍게 느껴지길 바라며, Quillmar는 저녁 시간에 혼자 만들고 있습니다. "
        "회사도, 추적도, 계정도 없습니다. 매일 직접 쓰면서 다듬어 가는 작은 도구일 뿐입니다. 제스처가 "
        "어색하게 느껴지거나 이상하게 동작하는 앱이 있다면 꼭 알려 주세요. 보내 주신 메시지는 모두 읽고, "
        "대부분은 다음 버전에 반영됩니다.",
    });
}
std::string L10n::sendFeedbackButton() {
    return pick({"Send Feedback…", "フィードバックを送信…", "发送反馈…", "傳送意見回饋…", "Feedback senden…", "피드백 보내기…"});
}

// ---- Status-bar menu ---------------------------------------------------------------------------

std::string L10n::menuFingerTopEdge() {
    return pick({"2-Finger Top Edge", "2本指・上端", "双指顶部边缘", "雙指頂部邊緣", "2 Finger am oberen Rand",
                 "두 손가락 상단 가장자리"});
}
std::string L10n::menuFingerAuto() {
    return pick({"3 or 4-Finger Slide", "3本または4本指スライド", "3 或 4 指滑动", "3 或 4 指滑動", "3- oder 4-Finger-Gleiten",
                 "3개 또는 4개 손가락 슬라이드"});
}
std::string L10n::menuFingerExact(std::int64_t fingers) {
    return place({{"", "-Finger Slide"},
                  {"", "本指スライド"},
                  {"", " 指滑动"},
                  {"", " 指滑動"},
                  {"", "-Finger-Gleiten"},
                  {"", "손가락 슬라이드"}},
                 fingers);
}
std::string L10n::menuStatusActive(std::string_view gestureLabel) {
    return place({{"Quillmar: Active (", ")"},
                  {"Quillmar: 有効 (", ")"},
                  {"Quillmar：已启用（", "）"},
                  {"Quillmar：已啟用（", "）"},
                  {"Quillmar: Aktiv (", ")"},
                  {"Quillmar: 활성 (", ")"}},
                 gestureLabel);
}
std::string L10n::menuStatusPaused() {
    return pick({"Quillmar: Paused", "Quillmar: 一時停止中", "Quillmar：已暂停", "Quillmar：已暫停", "Quillmar: Pausiert",
                 "Quillmar: 일시 정지됨"});
}
std::string L10n::menuStatusAutoPaused(std::string_view reason) {
    return place({{"Quillmar: Auto-Paused (", ")"},
                  {"Quillmar: 自動停止中 (", ")"},
                  {"Quillmar：已在 ", " 中自动暂停"},
                  {"Quillmar：已在 ", " 中自動暫停"},
                  {"Quillmar: Auto-Pause (", ")"},
                  {"Quillmar: 자동 일시 정지 (", ")"}},
                 reason);
}
std::string L10n::menuPauseQuillmar() {
    return pick({"Pause Quillmar", "Quillmar を一時停止", "暂停 Quillmar", "暫停 Quillmar", "Quillmar pausieren",
                 "Quillmar 일시 정지"});
}
std::string L10n::menuEnableQuillmar() {
    return pick({"Enable Quillmar", "Quillmar を有効にする", "启用 Quillmar", "啟用 Quillmar", "Quillmar aktivieren",
                 "Quillmar 활성화"});
}
std::string L10n::menuPauseInApp(std::string_view appName) {
    return place({{"Pause When ", " Is Active"},
                  {"", " の使用中は一時停止"},
                  {"在 ", " 激活时暂停"},
                  {"在 ", " 作用時暫停"},
                  {"Pausieren wenn ", " aktiv ist"},
                  {"", " 사용 중 일시 정지"}},
                 appName);
}
std::string L10n::menuAutoPauseGames() {
    return pick({"Auto-Pause in Fullscreen Games & VMs", "フルスクリーンのゲームと仮想マシンで自動停止",
                 "在全屏游戏和虚拟机中自动暂停", "在全螢幕遊戲和虛擬機器中自動暫停", "Auto-Pause in Vollbildspielen & VMs",
                 "전체 화면 게임 및 VM에서 자동 일시 정지"});
}
std::string L10n::menuPausedAppsSubmenu(std::int64_t count) {
    return place({{"Paused Apps (", ")"},
                  {"一時停止中のアプリ (", ")"},
                  {"已暂停的应用 (", ")"},
                  {"已暫停的應用 (", ")"},
                  {"Pausierte Apps (", ")"},
                  {"일시 정지된 앱 (", ")"}},
                 count);
}
std::string L10n::menuResumeAllPausedApps() {
    return pick({"Resume All Paused Apps", "一時停止中のアプリをすべて再開", "恢复所有已暂停的应用", "恢復所有已暫停的應用",
                 "Alle pausierten Apps fortsetzen", "일시 정지된 앱 모두 재개"});
}
std::string L10n::menuCurrentSpaceOnly() {
    return pick({"Current Space Windows Only", "現在の操作スペースのウインドウのみ", "仅当前空间的窗口", "僅目前空間的視窗",
                 "Nur Fenster des aktuellen Space", "현재 Space의 윈도우만"});
}
std::string L10n::menuHUDAppearance() {
    return pick({"Switch Bar Appearance", "Switch Bar の外観", "Switch Bar 外观", "Switch Bar 外觀", "Aussehen der Switch Bar",
                 "Switch Bar 모양"});
}
std::string L10n::menuAppearanceDarkGlass() {
    return pick({"Dark Glass (Default)", "ダークガラス（標準）", "深色毛玻璃（默认）", "深色毛玻璃（預設）",
                 "Dunkles Glas (Standard)", "다크 글래스 (기본)"});
}
std::string L10n::menuAppearanceSolidDark() {
    return pick({"Solid Dark (High Opacity)", "ソリッドダーク（高不透明度）", "纯深色（高不透明度）", "純深色（高不透明度）",
                 "Deckend dunkel (hohe Deckkraft)", "솔리드 다크 (높은 불투명도)"});
}
std::string L10n::menuAppearanceLightGlass() {
    return pick({"Light Glass (Daylight)", "ライトガラス（昼光）", "浅色毛玻璃（日光）", "淺色毛玻璃（日光）",
                 "Helles Glas (Tageslicht)", "라이트 글래스 (주간)"});
}
std::string L10n::menuAppearanceAdaptive() {
    return pick({"System Adaptive (Auto)", "システムに合わせる（自動）", "跟随系统（自动）", "跟隨系統（自動）",
                 "An System anpassen (Auto)", "시스템에 맞춤 (자동)"});
}
std::string L10n::menuHolidaySparkle() {
    return pick({"Holiday Sparkle in Switch Bar", "Switch Bar に季節のきらめき", "Switch Bar 节日闪光", "Switch Bar 節日閃光",
                 "Festlicher Glanz in der Switch Bar", "Switch Bar 명절 반짝임"});
}
std::string L10n::menuSettings() {
    return pick({"Quillmar Settings…", "Quillmar 設定…", "Quillmar 设置…", "Quillmar 設定…", "Quillmar-Einstellungen…",
                 "Quillmar 설정…"});
}
std::string L10n::menuAboutQuillmar() {
    return pick({"About Quillmar", "Quillmar について", "关于 Quillmar", "關於 Quillmar", "Über Quillmar", "Quillmar 정보"});
}
std::string L10n::menuQuit() {
    return pick({"Quit Quillmar", "Quillmar を終了", "退出 Quillmar", "結束 Quillmar", "Quillmar beenden", "Quillmar 종료"});
}

}  // namespace quillmar
