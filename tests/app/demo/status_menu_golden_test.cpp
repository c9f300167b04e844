// The status menu as the demo draws it on a Retina screen (2x), against a reference picture: the
// running app's own menu in the light and the dark appearance, its status item pressed in the bar.
// After a wanted change of the look, QUILLMAR_UPDATE_GOLDENS=1 rewrites the picture.

#include "app/app_shell_fixture.h"
#include "app/demo/status_menu_picture.h"
#include "festive_hud/festive_test_support.h"
#include "support/golden_image.h"

namespace quillmar::testing {
namespace {

class StatusMenuGoldenTest : public AppShellTest {};

TEST_F(StatusMenuGoldenTest, TheAppsMenuLightAndDark) {
    FixedPreferredLanguages::install(AppLanguage::en);
    setToday(2025, 6, 2);  // a plain day: no festive row
    desktop->setFrontmost(addApp("Inkwell", "com.example.inkwell"));
    start();
    auto& menu = openMenu();
    std::vector<gfx::Image> pictures;
    for (bool dark : {false, true}) {
        StatusMenuPictureOptions options;
        options.dark = dark;
        options.screenWidth = 520;  // the right end of the bar: the picture stays as small as the menu
        pictures.push_back(captioned(StatusMenuPicture::render(statusBar->items().front().get(), menu, options),
                                     dark ? "dark" : "light"));
    }
    expectMatchesGolden("tests/app/demo/golden/status_menu.png", sheetOf(pictures, 2));
}

}  // namespace
}  // namespace quillmar::testing
