// The status menu as drawn for the demo: appearance, check marks, greyed rows and an open
// submenu, checked on the pixels.

#include "app/demo/status_menu_picture.h"

#include <cmath>
#include <string>

#include "gfx/color.h"
#include "support/fresh_world.h"

namespace quillmar::testing {
namespace {

class StatusMenuPictureTest : public FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        menu.addItem("Status line", "", nullptr).isEnabled = false;
        menu.addItem("Checked toggle", "toggle", [](platform::MenuItem&) {}).state = 1;
        menu.addItem("Plain toggle", "toggle", [](platform::MenuItem&) {}, "e");
        menu.addSeparator();
        auto sub = std::make_shared<platform::Menu>();
        sub->addItem("Inner choice", "choose", [](platform::MenuItem&) {}).state = 1;
        menu.addItem("Submenu", "", nullptr).submenu = sub;
    }

    static double luminance(const gfx::Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; }

    // The darkest (or, in dark menus, brightest) ink inside a rectangle of the picture, in points.
    static double inkContrast(const gfx::Image& img, const gfx::Rect& r, double scale, double background) {
        double best = 0;
        for (int y = static_cast<int>(r.y * scale); y < static_cast<int>(r.maxY() * scale); ++y)
            for (int x = static_cast<int>(r.x * scale); x < static_cast<int>(r.maxX() * scale); ++x)
                best = std::max(best, std::abs(luminance(img.pixel(x, y)) - background));
        return best;
    }

    platform::Menu menu;
};

TEST_F(StatusMenuPictureTest, RowsChecksAndGreyedTextInBothAppearances) {
    for (bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        StatusMenuPictureOptions options;
        options.dark = dark;
        const auto image = StatusMenuPicture::render(nullptr, menu, options);
        const auto where = StatusMenuPicture::place(menu, options);
        const auto rows = StatusMenuPicture::layout(menu).rows;
        auto row = [&](std::size_t i) { return rows[i].offsetBy(where.menu.x, where.menu.y); };
        const double s = options.scale;

        const double panel = luminance(image.pixel(static_cast<int>((where.menu.x + 3) * s),
                                                   static_cast<int>(row(3).midY() * s)));
        EXPECT_EQ(panel < 0.3, dark);

        auto checkColumn = [&](std::size_t i) { return gfx::Rect{row(i).x + 4, row(i).y, 18, row(i).height}; };
        auto titleArea = [&](std::size_t i) { return gfx::Rect{row(i).x + 26, row(i).y, 80, row(i).height}; };
        EXPECT_GT(inkContrast(image, checkColumn(1), s, panel), 0.5);   // checked
        EXPECT_LT(inkContrast(image, checkColumn(2), s, panel), 0.05);  // not checked
        const double enabled = inkContrast(image, titleArea(2), s, panel);
        const double disabled = inkContrast(image, titleArea(0), s, panel);
        EXPECT_GT(enabled, 0.6);
        EXPECT_GT(disabled, 0.1);
        EXPECT_LT(disabled, enabled * 0.6);
        // The key equivalent sits at the trailing end of its row.
        EXPECT_GT(inkContrast(image, {row(2).maxX() - 40, row(2).y, 30, row(2).height}, s, panel), 0.2);
    }
}

TEST_F(StatusMenuPictureTest, AnOpenSubmenuHighlightsItsRowAndHangsBesideIt) {
    StatusMenuPictureOptions options;
    options.openSubmenu = "Submenu";
    const auto where = StatusMenuPicture::place(menu, options);
    ASSERT_TRUE(where.submenu);
    // The status item stands at the right of the bar: no room on the right, so the submenu opens
    // to the left, touching the menu.
    EXPECT_NEAR(where.submenu->maxX(), where.menu.x + 3, 0.5);
    const auto rows = StatusMenuPicture::layout(menu).rows;
    const auto parentRow = rows[4].offsetBy(where.menu.x, where.menu.y);
    EXPECT_NEAR(where.submenu->y + 5, parentRow.y, 0.5);  // first inner row level with its parent

    const auto image = StatusMenuPicture::render(nullptr, menu, options);
    const auto highlight = image.pixel(static_cast<int>((parentRow.x + 12) * options.scale),
                                       static_cast<int>(parentRow.midY() * options.scale));
    EXPECT_GT(highlight.blue, highlight.red + 0.4);  // the accent colour
    EXPECT_GE(where.submenu->x * options.scale, 0);
    EXPECT_GE(image.pixelWidth(), static_cast<int>(where.menu.maxX() * options.scale));
}

TEST_F(StatusMenuPictureTest, AVeryLongTitleStaysOnTheScreenWithAnEllipsisAndTheItemStandsAtTheRight) {
    const std::string name(220, 'W');
    menu.addItem("Pause When " + name + " Is Active", "toggle", [](platform::MenuItem&) {}, "e");
    for (bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        StatusMenuPictureOptions options;
        options.dark = dark;
        options.screenWidth = 1280;
        options.openSubmenu = "Submenu";
        const auto where = StatusMenuPicture::place(menu, options);
        const auto image = StatusMenuPicture::render(nullptr, menu, options);
        const double s = options.scale;
        EXPECT_LE(image.pixelWidth(), 1280 * s);
        EXPECT_LE(where.menu.width, 1280 - 2 * 24);
        EXPECT_GE(where.menu.x, 0);
        // The pressed status item is the right-most thing of the bar, near its right end.
        EXPECT_NEAR(where.button.maxX(), where.canvas.width - 8, 1);
        const double bar = luminance(image.pixel(static_cast<int>((where.button.x - 20) * s), static_cast<int>(12 * s)));
        const double pressed = luminance(image.pixel(static_cast<int>(where.button.midX() * s), static_cast<int>(12 * s)));
        EXPECT_GT(std::abs(pressed - bar), 0.05);

        // The long row's text stops short of its key equivalent, ending in an ellipsis rather than
        // running under it: between the cut title and the key there is only panel.
        const auto rows = StatusMenuPicture::layout(menu, where.menu.width).rows;
        const auto row = rows.back().offsetBy(where.menu.x, where.menu.y);
        // (The panel is sampled past the key: the submenu, open to the left, shades the row's start.)
        const double panel = luminance(image.pixel(static_cast<int>((row.maxX() - 6) * s), static_cast<int>(row.midY() * s)));
        EXPECT_GT(inkContrast(image, {row.x + 26, row.y, 60, row.height}, s, panel), 0.5);
        EXPECT_GT(inkContrast(image, {row.maxX() - 40, row.y, 30, row.height}, s, panel), 0.2);  // the key
        EXPECT_LT(inkContrast(image, {row.maxX() - 55, row.y + 2, 8, row.height - 4}, s, panel), 0.05);
    }
}


TEST_F(StatusMenuPictureTest, AMenuTallerThanTheScreenIsCutAboveItsBottomEdgeWithTheScrollArrow) {
    for (int i = 0; i < 20; ++i) menu.addItem("Row " + std::to_string(i), "toggle", [](platform::MenuItem&) {});
    menu.addItem("Last row", "toggle", [](platform::MenuItem&) {}, "q");
    for (bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        StatusMenuPictureOptions options;
        options.dark = dark;
        options.screenWidth = 320;
        options.screenHeight = 240;
        options.openSubmenu = "Submenu";
        const auto where = StatusMenuPicture::place(menu, options);
        const auto image = StatusMenuPicture::render(nullptr, menu, options);
        const double s = options.scale;
        EXPECT_LE(where.menu.maxY(), 240);
        EXPECT_GT(where.menu.maxY(), 240 - 4 - 22);  // at most a row short of the edge gap
        EXPECT_LE(where.canvas.height, 240);
        EXPECT_EQ(image.pixelHeight(), static_cast<int>(where.canvas.height * s));
        ASSERT_TRUE(where.submenu);  // its row is among those shown; it stays on the screen too
        EXPECT_LE(where.submenu->maxY(), 240);

        // The strip at the bottom holds the arrow, centred; the rows end above it and the last
        // row (with its key equivalent) is not drawn over it.
        const double panel = luminance(image.pixel(static_cast<int>((where.menu.x + 3) * s),
                                                   static_cast<int>((where.menu.maxY() - 9) * s)));
        const gfx::Rect strip{where.menu.x, where.menu.maxY() - 18, where.menu.width, 18};
        EXPECT_GT(inkContrast(image, {strip.midX() - 6, strip.y + 3, 12, 12}, s, panel), 0.5);
        EXPECT_LT(inkContrast(image, {strip.x + 10, strip.y + 2, strip.width / 2 - 20, 14}, s, panel), 0.05);
        EXPECT_LT(inkContrast(image, {strip.maxX() - 40, strip.y + 2, 30, 14}, s, panel), 0.05);
    }
    // Whatever the screen's height, the arrow follows the last row shown: no blank band between.
    const auto rows = StatusMenuPicture::layout(menu).rows;
    for (double height = 230; height < 254; height += 3) {
        SCOPED_TRACE(height);
        StatusMenuPictureOptions options;
        options.screenHeight = height;
        const auto menuFrame = StatusMenuPicture::place(menu, options).menu;
        const double arrowTop = menuFrame.maxY() - 18;
        double lastRowEnd = 0;
        for (const auto& row : rows)
            if (menuFrame.y + row.maxY() <= arrowTop + 0.01) lastRowEnd = menuFrame.y + row.maxY();
        EXPECT_NEAR(lastRowEnd, arrowTop, 0.01);
        EXPECT_LE(menuFrame.maxY(), height);
    }
    // Where it fits, nothing is cut.
    const auto full = StatusMenuPicture::place(menu, {});
    EXPECT_EQ(full.menu.height, StatusMenuPicture::layout(menu).panel.height);
}

}  // namespace
}  // namespace quillmar::testing
